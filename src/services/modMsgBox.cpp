#include "services/modMsgBox.h"

#include "base/Version.h"
#include "platform/Platform.h"
#include "services/ErrorScope.h"

namespace gapwell {

namespace {

constexpr int kNtPlatformId = 2;
constexpr int kFirstTaskDialogVersion = 6;
constexpr int kFirstTryAgainVersion = 5;

// Bits of `Buttons` beside the button-set code.
constexpr int kButtonSetMask = 0xF;
constexpr int kAddCloseButton = 0x20;
constexpr int kAddHelpButton = 0x4000;

// Classic button sets.
constexpr int kAbortRetryIgnore = 2;
constexpr int kCancelTryContinue = 6;

// Task-dialog common buttons and icons.
constexpr int kTdOk = 0x01;
constexpr int kTdYes = 0x02;
constexpr int kTdNo = 0x04;
constexpr int kTdCancel = 0x08;
constexpr int kTdRetry = 0x10;
constexpr int kTdClose = 0x20;
constexpr int kTdWarningIcon = 0xFFFF;
constexpr int kTdErrorIcon = 0xFFFE;
constexpr int kTdInformationIcon = 0xFFFD;

// Classic icons.
constexpr int kIconCritical = 16;
constexpr int kIconQuestion = 32;
constexpr int kIconExclamation = 48;
constexpr int kIconInformation = 64;

int cachedNTMajorVersion = 0;

int TaskDialogButtons(int buttons) {
    int common = 0;
    switch (buttons & kButtonSetMask) {
        case 0:
            common = kTdOk;
            break;
        case 1:
            common = kTdOk | kTdCancel;
            break;
        case 2:
        case 6:
            common = kTdRetry | kTdCancel | kTdClose;
            break;
        case 3:
            common = kTdYes | kTdNo | kTdCancel;
            break;
        case 4:
            common = kTdYes | kTdNo;
            break;
        case 5:
            common = kTdRetry | kTdCancel;
            break;
        default:
            break;
    }
    if ((buttons & kAddCloseButton) != 0) {
        common |= kTdClose;
    }
    return common;
}

int TaskDialogIcon(int icon) {
    switch (icon & 0xFFFF) {
        case kIconCritical:
            return kTdErrorIcon;
        case kIconQuestion:
        case kIconInformation:
            return kTdInformationIcon;
        case kIconExclamation:
            return kTdWarningIcon;
        default:
            return icon & 0xFFFF;
    }
}

// The task dialog answers with its own buttons; give the caller the classic answers of the
// requested set.
int ClassicAnswerOfTaskDialog(int buttons, int result) {
    switch (buttons & kButtonSetMask) {
        case kAbortRetryIgnore:
            if (result == kIdCancel) {
                return kIdIgnore;
            }
            if (result == kIdClose) {
                return kIdAbort;
            }
            return result;
        case kCancelTryContinue:
            if (result == kIdCancel) {
                return kIdContinue;
            }
            if (result == kIdRetry) {
                return kIdTryAgain;
            }
            if (result == kIdClose) {
                return kIdCancel;
            }
            return result;
        default:
            return result;
    }
}

// Main instruction: the text before the first line break (CR LF preferred, then CR, then LF);
// content: the rest after it, absent when the text has no break.
void SplitText(const std::string& text, TaskDialogRequest& request) {
    std::size_t breakAt = text.find("\r\n");
    std::size_t breakLength = 2;
    if (breakAt == std::string::npos) {
        breakAt = text.find('\r');
        breakLength = 1;
    }
    if (breakAt == std::string::npos) {
        breakAt = text.find('\n');
    }
    if (breakAt == std::string::npos) {
        request.mainInstruction = text;
        request.content.reset();
        return;
    }
    request.mainInstruction = text.substr(0, breakAt);
    request.content = text.substr(breakAt + breakLength);
}

int ShowTaskDialog(const std::string& prompt, const std::string& title, int buttons, int icon) {
    TaskDialogRequest request;
    request.title = title;
    SplitText(prompt, request);
    request.commonButtons = TaskDialogButtons(buttons);
    request.icon = TaskDialogIcon(icon);
    const int result = CurrentPlatform().TaskDialog(request);
    return ClassicAnswerOfTaskDialog(buttons, result);
}

int ClassicIcon(int icon) {
    switch (icon & 0xFFFF) {
        case 0xFFF9:
            return kIconCritical;
        case 0xFFFA:
            return kIconExclamation;
        case 0xFFF7:
        case 0xFFF8:
        case 0xFFFB:
        case 0xFFFC:
            return kIconInformation;
        default:
            return icon & 0xFFFF;
    }
}

int ShowClassicBox(const std::string& prompt, const std::string& title, int buttons, int icon,
                   int options) {
    int style = (buttons & kAddHelpButton) != 0 ? kAddHelpButton : 0;
    const int buttonSet = buttons & kButtonSetMask;
    // Systems before version 5 have no Cancel/Try Again/Continue set: Abort/Retry/Ignore stands
    // in for it and its answers are translated back.
    const bool replaced = (buttonSet & 0x6) == 0x6 && NTMajorVersion() < kFirstTryAgainVersion;
    style |= replaced ? kAbortRetryIgnore : buttonSet;
    style |= ClassicIcon(icon) | (options & 0xFFFF00);
    const int answer = CurrentPlatform().ClassicMessageBox(prompt, title, style);
    if (!replaced) {
        return answer;
    }
    switch (answer) {
        case kIdAbort:
            return kIdCancel;
        case kIdRetry:
            return kIdTryAgain;
        case kIdIgnore:
            return kIdContinue;
        default:
            return answer;
    }
}

}  // namespace

int ShowMessage(const std::string& prompt, int style, const std::optional<std::string>& title) {
    return MessageBox(prompt, title, style & 0xF, style & 0xF0, style & 0xFFFF00, false);
}

int MessageBox(const std::string& prompt, const std::optional<std::string>& title, int buttons,
               int icon, int options, bool forceClassic) {
    int answer = 0;
    ErrorScope scope("MessageBox", "modMsgBox");
    scope.Step([&] {
        const std::string shownTitle = title.value_or(version::kAppTitle);
        if (NTMajorVersion() >= kFirstTaskDialogVersion && !forceClassic) {
            answer = ShowTaskDialog(prompt, shownTitle, buttons, icon);
        } else {
            answer = ShowClassicBox(prompt, shownTitle, buttons, icon, options);
        }
    });
    return answer;
}

int NTMajorVersion() {
    if (cachedNTMajorVersion != 0) {
        return cachedNTMajorVersion;
    }
    const std::optional<OsVersionInfo> version = CurrentPlatform().GetVersionEx();
    if (version && version->platformId == kNtPlatformId) {
        cachedNTMajorVersion = version->major;
    }
    return cachedNTMajorVersion;
}

void ForgetNTMajorVersion() {
    cachedNTMajorVersion = 0;
}

}  // namespace gapwell
