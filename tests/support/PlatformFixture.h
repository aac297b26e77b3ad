#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/FakePlatform.h"
#include "support/TempFiles.h"

namespace gapwell::test {

// A core test on the platform double: a fresh program folder (where Bug.log goes), the double
// installed as the current platform, and the message routine's and error handler's cached
// system facts forgotten before and after each test.
class PlatformFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path BugLogPath() const { return folder.Path() / "Bug.log"; }
    std::string BugLog() const { return ReadText(BugLogPath()); }
    bool BugLogExists() const { return std::filesystem::exists(BugLogPath()); }

    TempFolder folder;
    FakePlatform platform;
};

}  // namespace gapwell::test
