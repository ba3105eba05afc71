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

#include <QDialog>
#include <QFile>
#include <QList>
#include <QPointer>
#include <QSslCertificate>
#include <QString>
#include <QStringList>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QProgressBar;
class QTimer;
class QPushButton;

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
    // Authorities trusted in addition to the system's (a test's own CA).
    QList<QSslCertificate> ExtraCaCertificates;
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
// 1 MiB, headers over 64 KiB (HttpsGet) and an answer over its time.
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
// The network half: fetches both documents. Runs on any thread that has no
// event loop of its own running (it waits in one of its own); translates and
// shows nothing, touches none of the values above. Never throws; any failure
// gives Fetched false. QThread::quit on its thread ends a wait at once (the
// fetch then fails).
TVersionDocuments FetchVersionDocuments();
// The other half, on the user-interface thread: parses the first line and
// sets NewVersionMessage and UpdateForced; returns what CheckForNewVersion
// returns for these documents. Never throws.
bool ComposeNewVersionMessage(const TVersionDocuments& documents);

// The new-version dialog. Shows NewVersionMessage with "Update Now" and
// "Skip" (optional update) or "Exit" (forced update). Update Now downloads the
// installer over HTTPS into the temporary folder as "quillmere_update.exe",
// with progress and Abort, starts it through platform::Desktop, and ends the
// program; a failure shows an error box and opens the vendor's site instead.
// The installer is streamed to its file, and only a body whose end the server
// declared counts as complete: a Content-Length that the bytes written match,
// or a chunked body with its closing chunk. A body that ends when the
// connection closes may have been cut by anyone on the path and is refused,
// as are an installer over MaxInstallerBytes and a download that outlasts
// DownloadBoundMs. After any failure the partial file is removed.
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
    void DownloadHeaders();
    void DownloadReadyRead();
    bool WriteArrived();
    void DownloadFinished();
    void FailDownload(const QString& errorText);
    void FinishDownload(const QString& errorText);

    int FContinueStartup = 1;
    bool FDownloading = false;
    qint64 FBytesSoFar = 0;
    // The installer's declared length; -1 for a chunked body, -2 until the
    // headers have been read.
    qint64 FExpectedBytes = -2;
    QString FDownloadError;
    QNetworkAccessManager* FClient = nullptr;
    QTimer* FDownloadBound = nullptr;
    QPointer<QNetworkReply> FReply;
    QFile FTarget;
};
