#include "support/PlatformFixture.h"

#include "services/modErrorHandler.h"
#include "services/modMsgBox.h"

namespace gapwell::test {

void PlatformFixture::SetUp() {
    platform.programFolder = folder.Path().string();
    SetCurrentPlatform(&platform);
    ForgetNTMajorVersion();
    ForgetVersionTexts();
}

void PlatformFixture::TearDown() {
    ForgetNTMajorVersion();
    ForgetVersionTexts();
    SetCurrentPlatform(nullptr);
}

}  // namespace gapwell::test
