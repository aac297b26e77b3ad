#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "base/Version.h"
#include "platform/FileLocations.h"
#include "support/TempFiles.h"

namespace gapwell {
namespace {

const std::string kAppId = version::kAppId;

// Sets or unsets one environment variable for the life of the object.
class EnvironmentValue {
  public:
    EnvironmentValue(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            previous_ = old;
        }
        Apply(value);
    }
    ~EnvironmentValue() { Apply(previous_); }
    EnvironmentValue(const EnvironmentValue&) = delete;
    EnvironmentValue& operator=(const EnvironmentValue&) = delete;

  private:
    void Apply(const std::optional<std::string>& value) {
        if (value) {
            setenv(name_, value->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    const char* name_;
    std::optional<std::string> previous_;
};

TEST(FileLocations, WritableProgramFolderIsAPortableCopy) {
    const UserFolders user{"/home/ann", "/var/state", "/etc/ann"};
    EXPECT_EQ(LocationsFor("/opt/gapwell", true, user),
              (FileLocations{"/opt/gapwell", "/opt/gapwell", true}));
}

TEST(FileLocations, UnwritableProgramFolderIsAnInstalledCopyInTheXdgFolders) {
    EXPECT_EQ(LocationsFor("/usr/bin", false, {"/home/ann", "/var/state", "/etc/ann"}),
              (FileLocations{"/var/state/" + kAppId, "/etc/ann/" + kAppId, false}));
    // Unset (empty) or relative variables fall back to the defaults under the home folder.
    const FileLocations defaults{"/home/ann/.local/state/" + kAppId, "/home/ann/.config/" + kAppId,
                                 false};
    EXPECT_EQ(LocationsFor("/usr/bin", false, {"/home/ann", "", ""}), defaults);
    EXPECT_EQ(LocationsFor("/usr/bin", false, {"/home/ann", "state", "config"}), defaults);
}

TEST(FileLocations, WritabilityFollowsThePermissionBitsEvenForRoot) {
    const test::TempFolder folder;
    const std::string path = folder.Path().string();
    EXPECT_TRUE(IsWritableFolder(path));
    EXPECT_FALSE(IsWritableFolder(path + "/missing"));
    EXPECT_FALSE(IsWritableFolder(folder.Write("file", {1})));

    ASSERT_EQ(chmod(path.c_str(), 0555), 0);
    EXPECT_FALSE(IsWritableFolder(path));
    chmod(path.c_str(), 0755);
}

TEST(FileLocations, SystemProgramFoldersAreInstalledCopiesEvenForRoot) {
    for (const char* folder : {"/usr/bin", "/usr/local/bin", "/opt/gapwell"}) {
        EXPECT_TRUE(IsSystemProgramFolder(folder)) << folder;
    }
    for (const char* folder : {"/home/ann/gapwell", "/usrx/bin", "/tmp/opt/gapwell"}) {
        EXPECT_FALSE(IsSystemProgramFolder(folder)) << folder;
    }
    if (IsWritableFolder("/usr/bin")) {  // as root: writable, and still installed
        EXPECT_FALSE(ProgramFileLocations("/usr/bin").selfUpdating);
    }
}

TEST(FileLocations, ThisProgramReadsItsFolderAndTheEnvironment) {
    const test::TempFolder folder;
    const std::string path = folder.Path().string();
    const EnvironmentValue home("HOME", "/home/bo");
    const EnvironmentValue state("XDG_STATE_HOME", "/srv/state");
    {
        const EnvironmentValue config("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(ProgramFileLocations(path), PortableLocations(path));
        ASSERT_EQ(chmod(path.c_str(), 0555), 0);
        EXPECT_EQ(ProgramFileLocations(path),
                  (FileLocations{"/srv/state/" + kAppId, "/home/bo/.config/" + kAppId, false}));
    }
    const EnvironmentValue config("XDG_CONFIG_HOME", "/srv/config");
    EXPECT_EQ(ProgramFileLocations(path).configFolder, "/srv/config/" + kAppId);
    chmod(path.c_str(), 0755);
}

}  // namespace
}  // namespace gapwell
