#include "platform/QtPlatform.h"

#include <sys/utsname.h>

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/DetachedProcess.h"
#include "platform/OnlineState.h"
#include "platform/QtDialogs.h"

namespace gapwell {

std::optional<OsVersionInfo> QtPlatform::GetVersionEx() {
    return OsVersionInfo{10, 0, 0, 2};
}

OsVersionInfo QtPlatform::SystemVersion() {
    OsVersionInfo version;
    version.platformId = 2;
    utsname system{};
    if (uname(&system) == 0) {
        std::sscanf(system.release, "%d.%d.%d", &version.major, &version.minor, &version.build);
    }
    return version;
}

int QtPlatform::TaskDialog(const TaskDialogRequest& request) {
    return ShowTaskDialog(request);
}

int QtPlatform::ClassicMessageBox(const std::string& text, const std::string& title, int style) {
    return ShowClassicMessageBox(text, title, style);
}

std::string QtPlatform::GetOpenFileName(const OpenFileRequest& request) {
    return ShowOpenFileDialog(request);
}

void QtPlatform::Beep() {
    QApplication::beep();
}

void QtPlatform::DoEvents() {
    QCoreApplication::processEvents();
}

void QtPlatform::ClearClipboard() {
    QGuiApplication::clipboard()->clear();
}

void QtPlatform::SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

std::vector<std::string> QtPlatform::ScreenFonts() {
    std::vector<std::string> fonts;
    for (const QString& family : QFontDatabase::families()) {
        fonts.push_back(family.toStdString());
    }
    return fonts;
}

void QtPlatform::OpenUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void QtPlatform::StartHiddenProcess(const std::string& program,
                                    const std::vector<std::string>& arguments,
                                    const std::string& workingFolder) {
    StartDetachedProcess(program, arguments, workingFolder);
}

bool QtPlatform::IsOnline() {
    return LooksOnline(HasConfiguredProxy([](const char* name) { return std::getenv(name); }),
                       ReadRoutingTable(kIpv4RoutesFile), ReadRoutingTable(kIpv6RoutesFile));
}

std::string QtPlatform::ProgramFolder() {
    return QCoreApplication::applicationDirPath().toStdString();
}

std::string QtPlatform::ProgramFileName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
}

std::string QtPlatform::TempFolder() {
    return QDir::tempPath().toStdString();
}

FileLocations QtPlatform::Locations() {
    return ProgramFileLocations(ProgramFolder());
}

LocaleSettings QtPlatform::UserLocale() {
    return LocaleSettingsFromEnvironment();
}

std::string QtPlatform::CommandLine() {
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty()) {
        arguments.removeFirst();
    }
    return arguments.join(QLatin1Char(' ')).toStdString();
}

LocalDateTime QtPlatform::Now() {
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().year(), now.date().month(),  now.date().day(),
            now.time().hour(), now.time().minute(), now.time().second()};
}

QtPlatform::QtPlatform(std::function<void()> unloadMainWindow)
    : unloadMainWindow_(std::move(unloadMainWindow)) {}

void QtPlatform::UnloadMainWindow() {
    if (unloadMainWindow_) {
        unloadMainWindow_();
    }
}

void QtPlatform::EndProgram(int exitStatus) {
    std::fflush(nullptr);
    std::_Exit(exitStatus);
}

}  // namespace gapwell
