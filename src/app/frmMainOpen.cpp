#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "app/frmMain.h"
#include "app/modOpenDialog.h"
#include "platform/Platform.h"
#include "search/Numbers.h"
#include "search/RomFacts.h"
#include "services/ErrorScope.h"
#include "services/modLocalize.h"
#include "services/modLocalizedIDs.h"
#include "services/modMisc.h"
#include "ui/InputMaxLength.h"

namespace gapwell {

namespace {
const char* const kRomFilter = "GameBoy Advance ROMs (*.gba, *.agb, *.bin)|*.gba;*.agb;*.bin|";
constexpr std::array<std::string_view, 3> kRomExtensions{"gba", "agb", "bin"};
constexpr int kOffsetDigitsAfterOpen = 7;

std::string WithoutDoubleQuotes(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    return text;
}

// The one local file that a drag carries, or "" when it carries anything else.
std::string DraggedLocalFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().front().isLocalFile()) {
        return {};
    }
    return data->urls().front().toLocalFile().toStdString();
}

bool IsRomPath(const std::string& path) {
    const std::string extension = frmMain::GetExtension(path);
    return FileExists(path) && std::find(kRomExtensions.begin(), kRomExtensions.end(), extension) !=
                                   kRomExtensions.end();
}
}  // namespace

void frmMain::mnuOpen_Click() {
    std::string chosen;
    if (m_FromCommandLine) {
        m_FromCommandLine = false;
        chosen = m_FileName;
    } else {
        chosen = ShowOpen(LoadString(kStrOpeningRom), std::string(), kRomFilter, 0, std::string(),
                          OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
    }
    if (chosen.empty()) {
        return;
    }
    m_FileName = chosen;
    m_KnownMarks.clear();
    ShowKnownCount();
    DisableControls();
    EnableControls();

    ErrorScope scope("mnuOpen_Click", "frmMain");
    RomFacts facts;
    scope.Step([&] { facts = ReadRomFacts(m_FileName); });
    scope.Step([&] { SetInputMaxLength(txtOffset, kOffsetDigitsAfterOpen); });
    scope.Step([&] {
        const auto half = static_cast<std::uint64_t>(facts.length / 2);
        const QString proposed = QString::fromStdString(ToHex(half));
        // The text the box already holds (the same ROM again) raises no change, yet the length
        // rule must follow the ROM just opened.
        const bool unchanged = txtOffset->text() == proposed;
        SetTextUncut(txtOffset, proposed);
        if (unchanged) {
            txtOffset_Change();
        }
    });
    scope.Step([&] {
        lblGameCode->setText(QStringLiteral("ROM: ") + QString::fromStdString(facts.gameCode));
    });
}

bool frmMain::OpenRomFromPath(const std::string& path) {
    if (!IsRomPath(path)) {
        return false;
    }
    m_FileName = path;
    m_FromCommandLine = true;
    mnuOpen_Click();
    return true;
}

void frmMain::CheckCommandLine() {
    OpenRomFromPath(WithoutDoubleQuotes(CurrentPlatform().CommandLine()));
}

std::string frmMain::GetExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) {
        return {};
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// A ROM opens; any other file, while a ROM is open, is read as build symbols for it.
void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    const std::string path = DraggedLocalFile(event->mimeData());
    if (IsRomPath(path) || (!m_FileName.empty() && FileExists(path))) {
        event->acceptProposedAction();
    }
}

void frmMain::dropEvent(QDropEvent* event) {
    const std::string path = DraggedLocalFile(event->mimeData());
    if (OpenRomFromPath(path) ||
        (!m_FileName.empty() && FileExists(path) && LoadBuildSymbols(path))) {
        event->acceptProposedAction();
    }
}

}  // namespace gapwell
