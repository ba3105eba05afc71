#pragma once
// The version check at start-up and the new-version dialog.
//
// The desktop program runs the check in the background once its main window
// shows (TBackgroundVersionCheck); when the answer announces an update, the
// window shows TfrmNewVersion modally and reads its ContinueStartup: 0 ends
// the program.
//
// Everything here runs on the user-interface thread, except
// FetchVersionDocuments.
//
// The update server is reached over HTTPS only, with the certificate checked
// against the system's authorities: the check decides whether the program may
// start and the dialog starts what it downloaded, so neither may be open to
// whoever sits on the network path. A server address that is not https is
// refused; a redirect to a less safe scheme is never followed.

#include "BuildInfo.h"

#include "update/HttpsClient.h"

#include <QDialog>
#include <QFile>
#include <QString>

#include <atomic>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;

// Where and how the update server is reached. The program uses the defaults;
// tests point them at a server of their own.
struct TUpdateSettings {
    // Scheme and host, optional port, no trailing "/". Only https is used.
    QString Server = QStringLiteral(TWINLENS_UPDATE_SERVER);
    // Longest silence while a document of the check is transferred.
    int ReadTimeoutMs = 10000;
    // Longest wait for one document of the check as a whole, connecting and
    // the TLS handshake included (the read time-out only starts once the
    // request is under way, so it alone does not bound a hanging connect).
    int RequestBoundMs = 10000;
    // The installer: the largest accepted, and the longest the whole download
    // may take (a server that trickles or stalls is cut off here, besides the
    // person's Abort).
    qint64 MaxInstallerBytes = 512LL * 1024 * 1024;
    int DownloadBoundMs = 30 * 60 * 1000;
    // A download slower than this many bytes a second for this many seconds
    // has stalled, and ends.
    long DownloadLowSpeedBytes = 1000;
    long DownloadLowSpeedSeconds = 30;
    // A PEM file of the only authorities trusted (a test's own CA); empty:
    // the system's certificate store.
    QByteArray CaFile;
};
extern TUpdateSettings UpdateSettings;

// The hand-over between the check, the dialog and start-up.
// True when the running version may no longer be used; also set by Update Now.
extern bool UpdateForced;
// The text the dialog shows; empty until the check finds an update.
extern QString NewVersionMessage;
// The user asked to stop the running download.
extern bool AbortRequested;

// The running version as the check compares it (2.3 -> 23).
constexpr int RunningVersion = TWINLENS_VERSION_MAJOR * 10 + TWINLENS_VERSION_MINOR;

// Fetches the version document and the change log from the update server
// (both always), and, when the server announces a newer version or a higher
// minimum than RunningVersion, sets NewVersionMessage (and UpdateForced for a
// forced update) and returns true. Any failure (no network, a name that does
// not resolve, a certificate that does not verify, a time-out, an error
// status, more than 10 redirects, a malformed first line) returns false
// without a word and leaves both values as they were; so do a document over
// 1 MiB, headers over 64 KiB, a document cut short (HttpsClient) and an
// answer over its time.
// Waits at most UpdateSettings.RequestBoundMs per document.
bool CheckForNewVersion();

// CheckForNewVersion in its two halves, so that start-up can leave the
// network half to a thread of its own (TBackgroundVersionCheck) and the main
// window never waits for the server.
struct TVersionDocuments {
    bool Fetched = false; // both documents arrived
    QByteArray Version;   // the version document, as it came
    QByteArray Changes;   // the change log, as it came
};
// The network half: fetches both documents, blocking the calling thread (any
// thread; no event loop is needed). Translates and shows nothing, touches
// none of the values above. Never throws; any failure gives Fetched false.
// cancel, set from any thread, ends a wait at once (the fetch then fails).
TVersionDocuments FetchVersionDocuments(const std::atomic<bool>* cancel = nullptr);
// The other half, on the user-interface thread: parses the first line and
// sets NewVersionMessage and UpdateForced; returns what CheckForNewVersion
// returns for these documents. Never throws.
bool ComposeNewVersionMessage(const TVersionDocuments& documents);

// The new-version dialog. Shows NewVersionMessage with "Update Now" and
// "Skip" (optional update) or "Exit" (forced update). Update Now downloads the
// installer over HTTPS into the temporary folder as "quillmere_update.exe",
// with progress and Abort, and starts it through platform::Desktop; a failure
// shows an error box and opens the vendor's site instead. Only a forced
// update ends the program when the dialog closes (ContinueStartup 0); after
// an optional one, started or failed, the program goes on.
// The download runs on a thread of its own, so the dialog stays responsive
// and Abort is taken at once. The installer is streamed to its file as the
// bytes were sent (never decoded), and only a complete body counts
// (HttpsClient: a declared length met, a closing chunk, or a TLS close_notify
// after a body framed by neither); an empty body, an installer over
// MaxInstallerBytes, a stalled download and one that outlasts DownloadBoundMs
// are refused. After any failure the partial file is removed.
class TfrmNewVersion : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNewVersion(QWidget* parent = nullptr);
    ~TfrmNewVersion() override;

    // 1: start-up goes on to the main window; 0: the program ends.
    int ContinueStartup() const { return FContinueStartup; }
    // The file the installer is downloaded into.
    static QString DownloadTargetPath();

    QLabel* Label1;
    QLabel* VirtualImage1;
    QProgressBar* ProgressBar1;
    QPushButton* btUpdateNow;
    QPushButton* btCancel;

    void FormShow();
    void FormClose();
    void btUpdateNowClick();
    void btCancelClick();
    // Progress of the download; an abort request ends the transfer here.
    void DownloadWork(QObject* sender, int direction, qint64 bytesSoFar);

    // Every way of closing (buttons, title bar, Escape) passes through here.
    void done(int r) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void DownloadFinished(const THttpsResult& result);
    void FailDownload(const QString& errorText);
    void FinishDownload(const QString& errorText);
    void StopTransfer();

    int FContinueStartup = 1;
    bool FDownloading = false;
    qint64 FBytesSoFar = 0;
    // The head of the installer's answer, once it has come.
    THttpsHead FHead;
    QString FDownloadError;
    // The transfer and the thread it runs on; the thread writes FTarget's
    // descriptor until it has ended.
    std::unique_ptr<THttpsGet> FTransfer;
    QThread* FTransferThread = nullptr;
    // A progress report is on its way to this thread.
    std::atomic<bool> FProgressPosted = false;
    int FWriteError = 0; // errno of a failed write, read once the thread ended
    QFile FTarget;
};
