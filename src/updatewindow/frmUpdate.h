#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/Version.h"
#include "update/LiveUpdate.h"
#include "update/transfer/TransferBounds.h"
#include "update/transfer/clsDownload.h"

class QCloseEvent;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace gapwell {

class LiveProgressLabel;

// The Live Update wizard: Welcome, the version check and the archive download, one step frame
// at a time, with Cancel (Finish after a download) and Next. A fixed-size dialog owned by the
// main window; at most one is loaded (see UpdateWizard.h, SingleWindow). Unloading it destroys it,
// once any transfer it runs has returned.
//
// Members named as the behaviour names them (the wizard's fields, its controls and its
// handlers) keep those names; members of the implementation end in "_".
class frmUpdate : public QDialog {
    Q_OBJECT

  public:
    // Builds the controls and runs the load handling. `showTimer` is the main window's timer
    // that shows the wizard after an unattended check found an update.
    frmUpdate(QWidget* owner, QTimer* showTimer);
    ~frmUpdate() override;

    // Runs hidden: the result of the version check decides whether the wizard is shown.
    bool IsUnattended = false;
    // Does exactly what a click on Next does.
    void NextStep();

    // The version check's transfer bounds, for tests; by default short when unattended (so that
    // an unreachable host keeps start-up short) and long enough for a slow link when attended.
    void SetVersionCheckBounds(const TransferBounds& bounds) { versionCheckBounds_ = bounds; }
    // The public key (base64) that a downloaded release's signature is checked with; the
    // built-in one by default. Empty: no signature is asked for.
    void SetReleasePublicKey(const std::string& publicKey) { releasePublicKey_ = publicKey; }

    // Controls, as created from the design.
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdSkip = nullptr;  // only when the start-up check offers the update
    QPushButton* cmdCancel = nullptr;
    std::array<QGroupBox*, 3> fraFrame{};
    QLabel* lblStep1 = nullptr;
    QLabel* lblNext = nullptr;
    QLabel* lblStep2 = nullptr;
    QLabel* lblProgress = nullptr;
    QLabel* lblThisVersion = nullptr;
    QLabel* lblNewestVersion = nullptr;
    QLabel* lblNo = nullptr;
    QLabel* lblYes = nullptr;
    QLabel* lblNotes = nullptr;          // the release notes' caption
    QPlainTextEdit* txtNotes = nullptr;  // the release notes, plain text, read-only
    QLabel* lblDownloading = nullptr;
    QLabel* lblDestination = nullptr;
    QLabel* lblArchivePath = nullptr;
    QLabel* lblProgressUpdate = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // Creates the controls with their design texts and positions (frmUpdateLayout.cpp).
    void BuildControls();

    void Form_Load();
    // Whether a request to close must be refused.
    bool Form_QueryUnload() const;
    void Form_Unload();
    void cmdNext_Click();
    void cmdCancel_Click();
    // Runs a step of the Live Update sequence, whose transfers go through Updater; a wizard
    // unloaded meanwhile is destroyed once it returns.
    void RunTransfers(const std::function<void()>& transfers);
    void Finish();

    // What the wizard shows of the sequence (frmUpdateTransfers.cpp).
    void CheckForUpdate();
    void FetchArchive();
    void Updater_DownloadProgress(const std::string& fileName, std::int32_t currentBytes,
                                  std::int32_t totalBytes);
    void Updater_DownloadWaiting();
    // The Updater's downloads completed: the version file (the check), or the archive.
    void Updater_DownloadComplete(const VersionCheck& check);
    void ShowVersions(bool updateAvailable);
    // The release notes below the versions (frmUpdateNotes.cpp): hidden controls at first; the
    // wizard grows to show them when an update has notes.
    void BuildNotesControls();
    void ShowReleaseNotes(const std::string& notes);
    // Skipping a version (frmUpdateSkip.cpp): the start-up check offers "Skip this version" and
    // stays silent about a skipped version; "Check Now..." offers it marked as skipped.
    void BuildSkipButton();
    bool OfferIsSkipped(const VersionCheck& check) const;
    void ShowSkipChoice(bool skipped);
    void cmdSkip_Click();
    void Updater_DownloadComplete(const FetchedArchive& archive);

    // The wizard's own reporting wrappers of the path helpers.
    std::string GetTempPath();
    std::string CompactPath(const std::string& path, std::int32_t maxChars);

    std::string CurrentVersion;
    std::string TempFile;
    std::string VersionUrl;
    std::string UpdatesFolder;
    std::int32_t Step = 0;
    bool UpdateAvailable = false;  // an update was found and offered
    bool Downloaded = false;
    bool Installing = false;
    clsDownload Updater;

    QPointer<QTimer> showTimer_;
    std::unique_ptr<LiveUpdate> liveUpdate_;  // made by the version check: the offer's holder
    std::optional<TransferBounds> versionCheckBounds_;
    std::string releasePublicKey_ = version::kUpdatePublicKey;
    std::unique_ptr<LiveProgressLabel> progressLine_;
    char decimalSeparator_ = '.';
    bool transferRunning_ = false;
    bool unloaded_ = false;
};

}  // namespace gapwell
