#include "about/frmAbout.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <cerrno>

#include "about/ShowAbout.h"
#include "base/RuntimeError.h"
#include "base/Version.h"
#include "platform/Platform.h"
#include "services/ErrorScope.h"
#include "ui/Localize.h"
#include "ui/SingleWindow.h"

namespace gapwell {

namespace {

constexpr const char* kModuleName = "frmAbout";
const QString kPicturePath = QStringLiteral(":/about/about.png");

QString VersionText() {
    return QStringLiteral("v%1.%2.%3")
        .arg(version::kMajor)
        .arg(version::kMinor)
        .arg(version::kRevision);
}

}  // namespace

frmAbout::frmAbout(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    BuildControls();
    OwnSingleWindow(this, {kModuleName});
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdWeb, &QPushButton::clicked, this, &frmAbout::cmdWeb_Click);
    Form_Load();
}

void frmAbout::Form_Load() {
    ErrorScope scope("Form_Load", kModuleName);
    scope.Step([&] {
        Localize(this);
        lblDescription->adjustSize();
    });
    scope.Step([&] {
        lblAppName->setText(QString::fromUtf8(version::kProductName));
        lblAppName->adjustSize();
    });
    scope.Step([&] {
        lblVersion->setText(VersionText());
        lblVersion->adjustSize();
    });
    scope.Step([&] {
        lblCopyright->setText(QStringLiteral(" %1 ").arg(QString::fromUtf8(version::kCopyright)));
        lblCopyright->adjustSize();
    });
    scope.Step([&] {
        const QPixmap picture(kPicturePath);
        if (picture.isNull()) {
            throw ErrnoError(ENOENT, kPicturePath.toStdString());
        }
        imgIcon->setPixmap(picture);
    });
}

void frmAbout::cmdOK_Click() {
    ErrorScope scope("cmdOK_Click", kModuleName);
    scope.Step([&] { close(); });
}

void frmAbout::cmdWeb_Click() {
    // Like a shell "open" whose result nobody inspects: a browser that cannot be started leaves
    // the window as it is instead of ending the program from inside a click.
    try {
        CurrentPlatform().OpenUrl(version::kHomePage);
    } catch (const RuntimeError&) {
    }
}

void ShowAbout(QWidget* owner) {
    ShowInFront(&LoadSingleWindow<frmAbout>([owner] { return new frmAbout(owner); }));
}

}  // namespace gapwell
