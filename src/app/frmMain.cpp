#include "app/frmMain.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "about/ShowAbout.h"
#include "app/clsHexBox.h"
#include "base/Version.h"
#include "services/ErrorScope.h"
#include "ui/EditStyles.h"
#include "ui/LoadedForms.h"
#include "ui/Localize.h"
#include "ui/SingleWindow.h"
#include "ui/modIcon.h"

namespace gapwell {

frmMain::frmMain(QWidget* parent, bool releasedOnUnload) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    CreateControls();
    CreateMenus();
    SetTabOrder();
    SetWindowFrame();
    ConnectEvents();

    OwnSingleWindow(
        this, {.moduleName = "frmMain", .deleteOnClose = releasedOnUnload, .escapeCloses = false});
    Form_Load();
}

void frmMain::Form_Load() {
    ErrorScope scope("Form_Load", "frmMain");
    scope.Step([&] { SetIcon(this, QStringLiteral("AAA"), true); });
    scope.Step([&] { Localize(this); });
    // The localized menu texts may need a higher menu bar (the Chinese ones do).
    scope.Step([&] { FitToMenuBar(); });
    // The offset box has no label of its own: it is announced by the option button beside it.
    scope.Step([&] { txtOffset->setAccessibleName(optOffset[0]->text()); });
    scope.Step([&] {
        setWindowTitle(QString::fromUtf8(version::kAppTitle) + QStringLiteral(" - ") +
                       QString::fromUtf8(version::kProductName));
    });
    scope.Step([&] { lblCopyright->setText(QString::fromUtf8(version::kCopyright)); });

    scope.Step([&] {
        byteTypeHexBox_ = new clsHexBox(this);
        offsetHexBox_ = new clsHexBox(this);
        converterHexBox_ = new clsHexBox(this);
        byteTypeHexBox_->SetTextBox(txtByteType);
        offsetHexBox_->SetTextBox(txtOffset);
        converterHexBox_->SetTextBox(txtHex);
    });
    scope.Step([&] {
        AddDigitsOnlyStyle(txtNeededBytes);
        AddDigitsOnlyStyle(txtSearchInterval);
        AddDigitsOnlyStyle(txtDec);
    });

    scope.Step([&] { lblGameCode->setText(QStringLiteral("ROM: ???")); });

    scope.Step([&] { CheckCommandLine(); });

    scope.Step([&] { UpdateCheck(); });
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload() {
    ErrorScope scope("Form_Unload", "frmMain");
    scope.Step([&] { LoadedForms::Remove(this); });
    // Unload every other window, the last loaded first. A window that stays loaded after its
    // close (it refused or unloads later) is dropped from the list all the same, so the loop ends.
    scope.Step([&] {
        for (auto forms = LoadedForms::All(); !forms.empty(); forms = LoadedForms::All()) {
            QWidget* last = forms.back();
            last->close();
            LoadedForms::Remove(last);
        }
    });
}

bool frmMain::IsOpen(const QString& formName) {
    bool open = false;
    ErrorScope scope("IsOpen", "frmMain");
    scope.Step([&] { open = LoadedForms::AnyNamed(formName); });
    return open;
}

void frmMain::mnuExit_Click() {
    close();
}

void frmMain::mnuAbout_Click() {
    ShowAbout(this);
}

}  // namespace gapwell
