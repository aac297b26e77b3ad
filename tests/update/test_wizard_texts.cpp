// The wizard's progress lines and shortened paths.

#include <gtest/gtest.h>

#include <string>

#include "support/PlatformFixture.h"
#include "update/WizardTexts.h"

namespace gapwell {
namespace {

using ProgressTextTest = test::PlatformFixture;

TEST_F(ProgressTextTest, KilobyteLinesFor358656Bytes) {
    EXPECT_EQ(DownloadProgressText(12800, 358656, '.'), "12.50 / 350.25 KB  downloaded...");
    EXPECT_EQ(DownloadCompleteText(358656, '.'), "Download of 350.25 KB  complete.");
}

TEST_F(ProgressTextTest, UnitChangesAtOneMebibyte) {
    EXPECT_EQ(DownloadProgressText(1048575, 1048575, '.'), "1024.00 / 1024.00 KB  downloaded...");
    EXPECT_EQ(DownloadCompleteText(1048575, '.'), "Download of 1024.00 KB  complete.");
    EXPECT_EQ(DownloadProgressText(0, 1048576, '.'), "0.00 / 1.00 MB  downloaded...");
    EXPECT_EQ(DownloadCompleteText(1048576, '.'), "Download of 1.00 MB  complete.");
}

TEST_F(ProgressTextTest, GermanTextsWithDecimalComma) {
    platform.locale.lang = "de_DE.UTF-8";
    EXPECT_EQ(DownloadProgressText(12800, 358656, ','), "12,50 / 350,25 KB  heruntergeladen...");
    EXPECT_EQ(DownloadCompleteText(268435456, ','), "Download von 256,00 MB  abgeschlossen.");
}

TEST_F(ProgressTextTest, ConfigurationLineRepeatsTheByteCount) {
    EXPECT_EQ(ConfigurationRetrievedText(57), "57 / 57 bytes of configuration retrieved.");
}

TEST(FormatHundredthsTest, RoundsHalfUpWithoutThousandsSeparator) {
    EXPECT_EQ(FormatHundredths(0, 1024, '.'), "0.00");
    EXPECT_EQ(FormatHundredths(5, 1024, '.'), "0.00");     // 0.0049
    EXPECT_EQ(FormatHundredths(6, 1024, '.'), "0.01");     // 0.0059
    EXPECT_EQ(FormatHundredths(1, 8, '.'), "0.13");        // 0.125 exactly
    EXPECT_EQ(FormatHundredths(1023, 1024, '.'), "1.00");  // 0.999
    EXPECT_EQ(FormatHundredths(123456789, 100, ','), "1234567,89");
}

TEST(CompactPathTest, ShortPathsStayWhole) {
    const std::string path = "/home/ann/Gapwell/Updates/GPW.zip";
    EXPECT_EQ(CompactPath(path, 70), path);
    EXPECT_EQ(CompactPath(path, static_cast<std::int32_t>(path.size())), path);
}

TEST(CompactPathTest, InnerFoldersGiveWayToAnEllipsis) {
    const std::string path = "/home/ann/programs/Gapwell/Updates/GPW_1.3.zip";  // 46 characters
    EXPECT_EQ(CompactPath(path, 45), "/home/ann/programs/Gapwell/.../GPW_1.3.zip");
    EXPECT_EQ(CompactPath(path, 25), "/home/ann/.../GPW_1.3.zip");
    EXPECT_EQ(CompactPath(path, 16), "/.../GPW_1.3.zip");
    EXPECT_EQ(CompactPath(path, 15), ".../GPW_1.3.zip");
    EXPECT_EQ(CompactPath(path, 10), "GPW_1.3...");
    EXPECT_EQ(CompactPath(path, 2), "..");
}

TEST(CompactPathTest, CountsCharactersNotBytes) {
    const std::string path = "/home/J\xC3\xBCrgen/\xC3\xBC\xC3\xBC/Aktualisierungen/GPW.zip";
    EXPECT_EQ(CompactPath(path, 40), path);  // 40 characters in 43 bytes
    EXPECT_EQ(CompactPath(path, 39), "/home/J\xC3\xBCrgen/\xC3\xBC\xC3\xBC/.../GPW.zip");
    EXPECT_EQ(CompactPath("/x/\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC.zip", 5), "\xC3\xBC\xC3\xBC...");
}

}  // namespace
}  // namespace gapwell
