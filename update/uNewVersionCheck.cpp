#include "update/uNewVersionCheck.h"

#include "i18n/translation.h"
#include "platform/desktop/Desktop.h"
#include "update/VersionDocuments.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

// The resource lives in this static library; without an explicit reference the
// linker would drop it.
static void InitUpdateResources() { Q_INIT_RESOURCE(updateicon); }

TUpdateSettings UpdateSettings;
bool UpdateForced = false;
QString NewVersionMessage;
bool AbortRequested = false;

namespace {

const char* const UserAgent = "Mozilla/4.0 (compatible; MyApp)";
const QString VersionPath = QStringLiteral("/download/version/twinlens-version.html");
const QString ChangesPath = QStringLiteral("/download/version/twinlens-changes.html");
const QString InstallerPath = QStringLiteral("/download/twinlens.exe");
const QString InstallerFileName = QStringLiteral("quillmere_update.exe");
// Both documents are a line or two; a server that sends more is not the
// update server, and start-up does not buffer it.
constexpr qint64 MaxDocumentBytes = 1 << 20;

// Thrown inside the check; the catch-all turns it into "no update".
struct TCheckFailed {};

// The server's URL for path, or an invalid URL when the server is not https.
QUrl ServerUrl(const QString& path)
{
    QString server = UpdateSettings.Server;
    if (server.endsWith(u'/'))
        server.chop(1);
    QUrl url(server + path, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return QUrl();
    return url;
}

// GETs one document of the check; throws on any failure.
QByteArray FetchDocument(const QString& path, const std::atomic<bool>* cancel)
{
    const QUrl url = ServerUrl(path);
    if (!url.isValid())
        throw TCheckFailed {};
    THttpsGetOptions options;
    options.UserAgent = UserAgent;
    options.MaxRedirects = 10;
    options.BoundMs = UpdateSettings.RequestBoundMs;
    options.ConnectBoundMs = UpdateSettings.RequestBoundMs;
    options.SilenceMs = UpdateSettings.ReadTimeoutMs;
    options.MaxBodyBytes = MaxDocumentBytes;
    options.CaFile = UpdateSettings.CaFile;
    std::optional<QByteArray> body = HttpsGetDocument(url.toEncoded(), options, cancel);
    if (!body)
        throw TCheckFailed {};
    return *body;
}

} // namespace

TVersionDocuments FetchVersionDocuments(const std::atomic<bool>* cancel)
{
    TVersionDocuments documents;
    try {
        // Both are always fetched.
        documents.Version = FetchDocument(VersionPath, cancel);
        documents.Changes = FetchDocument(ChangesPath, cancel);
        documents.Fetched = true;
    } catch (...) {
        return {};
    }
    return documents;
}

bool ComposeNewVersionMessage(const TVersionDocuments& documents)
{
    try {
        if (!documents.Fetched)
            return false;
        const std::optional<TVersionOffer> offer
            = ReadVersionDocuments(documents.Version, documents.Changes, RunningVersion);
        if (!offer)
            return false;
        NewVersionMessage = offer->Message;
        if (offer->Forced)
            UpdateForced = true;
        return true;
    } catch (...) {
        return false;
    }
}

bool CheckForNewVersion() { return ComposeNewVersionMessage(FetchVersionDocuments()); }

// ---------------------------------------------------------------------------

TfrmNewVersion::TfrmNewVersion(QWidget* parent)
    : QDialog(parent)
{
    InitUpdateResources();
    setObjectName(QStringLiteral("frmNewVersion"));
    setWindowTitle(QStringLiteral("New Version"));
    QFont f = font();
    f.setFamilies({ QStringLiteral("Segoe UI"), f.family() });
    f.setPixelSize(12);
    setFont(f);
    setFixedSize(425, 187);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(90, 11, 315, 106);
    Label1->setWordWrap(true);
    // The change log is the server's text, shown as it stands, never as markup.
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    VirtualImage1 = new QLabel(this);
    VirtualImage1->setObjectName(QStringLiteral("VirtualImage1"));
    VirtualImage1->setGeometry(9, 15, 70, 75);
    VirtualImage1->setAlignment(Qt::AlignCenter);
    const QPixmap icon(QStringLiteral(":/update-icon.png"));
    if (!icon.isNull()) {
        QPixmap shown = icon.scaled(VirtualImage1->size() * devicePixelRatioF(), Qt::KeepAspectRatio,
            Qt::SmoothTransformation);
        shown.setDevicePixelRatio(devicePixelRatioF());
        VirtualImage1->setPixmap(shown);
    }

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 127, 397, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    btUpdateNow = new QPushButton(QStringLiteral("&Update Now"), this);
    btUpdateNow->setObjectName(QStringLiteral("btUpdateNow"));
    btUpdateNow->setGeometry(214, 151, 100, 25);
    btUpdateNow->setAutoDefault(false);

    btCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btCancel->setObjectName(QStringLiteral("btCancel"));
    btCancel->setGeometry(327, 151, 75, 25);
    btCancel->setAutoDefault(false);

    setTabOrder(btUpdateNow, btCancel);
    btUpdateNow->setFocus();

    connect(btUpdateNow, &QPushButton::clicked, this, &TfrmNewVersion::btUpdateNowClick);
    connect(btCancel, &QPushButton::clicked, this, &TfrmNewVersion::btCancelClick);
}

TfrmNewVersion::~TfrmNewVersion() { StopTransfer(); }

// Ends a running transfer and waits for its thread, which then writes no more.
void TfrmNewVersion::StopTransfer()
{
    if (!FTransferThread)
        return;
    if (FTransfer)
        FTransfer->Cancel();
    FTransferThread->disconnect(this);
    FTransferThread->wait();
    delete FTransferThread;
    FTransferThread = nullptr;
}

QString TfrmNewVersion::DownloadTargetPath()
{
    QString dir = QDir::tempPath();
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    if (!canonical.isEmpty())
        dir = canonical;
    return dir + u'/' + InstallerFileName;
}

void TfrmNewVersion::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (const QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
    FormShow();
}

void TfrmNewVersion::FormShow()
{
    FContinueStartup = 1;
    setWindowTitle(u' ' + QApplication::applicationName());
    btUpdateNow->setText(Translate(QStringLiteral("&Update Now")));
    btCancel->setText(UpdateForced ? Translate(QStringLiteral("E&xit")) : Translate(QStringLiteral("&Skip")));
    Label1->setText(NewVersionMessage);
}

void TfrmNewVersion::FormClose()
{
    if (UpdateForced)
        FContinueStartup = 0;
}

void TfrmNewVersion::done(int r)
{
    FormClose();
    // The download owns the end of the dialog: it closes it itself once the
    // installer has started or the failure has been shown.
    if (FDownloading)
        return;
    QDialog::done(r);
}

void TfrmNewVersion::btCancelClick()
{
    // A running download is told by the state, not by the caption, which
    // is the person's language and carries a mnemonic.
    if (FDownloading) {
        AbortRequested = true;
        // Taken at once rather than at the next piece of data, so that Abort
        // also ends a download from a server that has gone silent.
        DownloadWork(this, 0, FBytesSoFar);
        return;
    }
    close();
}

void TfrmNewVersion::btUpdateNowClick()
{
    if (FDownloading)
        return;
    // Update Now leaves UpdateForced as the check set it: an optional update
    // that fails (or whose installer starts) returns to the program.
    AbortRequested = false;
    FDownloadError.clear();
    FBytesSoFar = 0;
    FHead = THttpsHead {};
    FWriteError = 0;
    FDownloading = true;

    btCancel->setText(Translate(QStringLiteral("&Abort")));
    btUpdateNow->setEnabled(false);
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    ProgressBar1->repaint();
    QCoreApplication::processEvents();

    const QUrl url = ServerUrl(InstallerPath);
    if (!url.isValid()) {
        FinishDownload(TrFill(QStringLiteral("The update server is not reached over HTTPS: %s"),
            { UpdateSettings.Server }));
        return;
    }

    // A fresh file of our own: whatever lay at this name in the shared
    // temporary folder (a file of someone else's, a link) is not written through.
    const QString target = DownloadTargetPath();
    const QFileInfo existing(target);
    if (existing.exists() || existing.isSymLink())
        QFile::remove(target);
    FTarget.setFileName(target);
    if (!FTarget.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        const QString reason = FTarget.errorString();
        FTarget.setFileName(QString()); // not ours: never removed
        FinishDownload(TrFill(QStringLiteral("Cannot create file %s: %s"), { target, reason }));
        return;
    }
    FTarget.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    THttpsGetOptions options;
    options.UserAgent = UserAgent;
    options.MaxRedirects = 0; // the download follows no redirect
    options.BoundMs = UpdateSettings.DownloadBoundMs;
    options.LowSpeedBytes = UpdateSettings.DownloadLowSpeedBytes;
    options.LowSpeedSeconds = UpdateSettings.DownloadLowSpeedSeconds;
    options.MaxBodyBytes = UpdateSettings.MaxInstallerBytes;
    options.CaFile = UpdateSettings.CaFile;

    FTransfer = std::make_unique<THttpsGet>();
    const int fd = FTarget.handle();
    // On the transfer's thread: the head and the progress go to this one
    // queued, in order; the bytes go straight to the file.
    FTransfer->OnHead = [this](const THttpsHead& head) {
        QMetaObject::invokeMethod(this, [this, head] { FHead = head; }, Qt::QueuedConnection);
        return true;
    };
    FTransfer->OnBody = [this, fd](QByteArrayView piece) {
        const char* p = piece.constData();
        qsizetype left = piece.size();
        while (left > 0) {
            const ssize_t n = ::write(fd, p, size_t(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                FWriteError = errno;
                return false;
            }
            p += n;
            left -= n;
        }
        // One report at a time: the window is never flooded with them.
        if (!FProgressPosted.exchange(true)) {
            QMetaObject::invokeMethod(this, [this] {
                FProgressPosted = false;
                if (FTransfer && FDownloading) {
                    FBytesSoFar = FTransfer->BytesSoFar();
                    DownloadWork(this, 0, FBytesSoFar);
                }
            }, Qt::QueuedConnection);
        }
        return true;
    };
    auto result = std::make_shared<THttpsResult>();
    THttpsGet* transfer = FTransfer.get();
    const QByteArray address = url.toEncoded();
    FTransferThread = QThread::create([transfer, options, address, result] { *result = transfer->Run(address, options); });
    FTransferThread->setObjectName(QStringLiteral("UpdateDownload"));
    // finished comes once the thread is done with the file and the dialog.
    connect(FTransferThread, &QThread::finished, this, [this, result] { DownloadFinished(*result); },
        Qt::QueuedConnection);
    FTransferThread->start();
}

void TfrmNewVersion::DownloadWork(QObject* sender, int direction, qint64 bytesSoFar)
{
    Q_UNUSED(sender);
    Q_UNUSED(direction);
    if (!FDownloading || !FTransfer)
        return;
    if (AbortRequested) {
        FailDownload(Translate(QStringLiteral("Download is cancelled. Please download manually.")));
        return;
    }
    const qint64 length = FHead.DeclaredLength;
    if (FHead.Chunked || length <= 0)
        return;
    const qint64 percent = std::clamp<qint64>(bytesSoFar * 100 / length, 0, 100);
    ProgressBar1->setValue(static_cast<int>(percent));
    ProgressBar1->repaint();
}

// Ends the running GET with errorText as its error.
void TfrmNewVersion::FailDownload(const QString& errorText)
{
    if (FDownloadError.isEmpty())
        FDownloadError = errorText;
    if (FTransfer)
        FTransfer->Cancel();
}

void TfrmNewVersion::DownloadFinished(const THttpsResult& result)
{
    StopTransfer();
    FBytesSoFar = result.BodyBytes;
    using O = THttpsResult::Outcome;
    QString error = FDownloadError;
    if (error.isEmpty()) {
        switch (result.How) {
        case O::Done:
            if (result.BodyBytes == 0)
                error = Translate(QStringLiteral("The download of the installer is incomplete."));
            break;
        case O::TooLarge:
            error = Translate(QStringLiteral("The installer is too large."));
            break;
        case O::Incomplete:
            error = Translate(QStringLiteral("The download of the installer is incomplete."));
            break;
        case O::Silent:
        case O::TimedOut:
            error = Translate(QStringLiteral("The download took too long."));
            break;
        case O::Refused:
            error = TrFill(QStringLiteral("Cannot write file %s: %s"),
                { FTarget.fileName(), QString::fromLocal8Bit(std::strerror(FWriteError)) });
            break;
        case O::Cancelled:
            error = Translate(QStringLiteral("Download is cancelled. Please download manually."));
            break;
        case O::Status:
        case O::Failed:
            error = result.Error;
            break;
        }
    }
    FTransfer.reset();
    if (FTarget.isOpen() && !FTarget.flush() && error.isEmpty())
        error = TrFill(QStringLiteral("Cannot write file %s: %s"), { FTarget.fileName(), FTarget.errorString() });
    FTarget.close();
    FinishDownload(error);
}

// Clean-up, the failure box or the installer's start, and the end of the dialog.
void TfrmNewVersion::FinishDownload(const QString& errorText)
{
    QString error = errorText;
    StopTransfer();
    FTransfer.reset();
    if (FTarget.isOpen())
        FTarget.close();
    // Nothing half written is left for someone to start later; only the file
    // this download made goes.
    if (!error.isEmpty() && !FTarget.fileName().isEmpty()) {
        QFile::remove(FTarget.fileName());
        FTarget.setFileName(QString());
    }

    if (error.isEmpty()) {
        const QString target = DownloadTargetPath();
        if (!QFileInfo::exists(target)) {
            error = Translate(QStringLiteral("Cannot find downloaded file."));
        } else {
            // The installer came complete over a verified connection; it is
            // made runnable for its owner only.
            QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            platform::CurrentDesktop().StartProgram(target);
        }
    }
    if (!error.isEmpty()) {
        platform::CurrentDesktop().ShowMessage(this, platform::BoxKind::Error, QApplication::applicationName(),
            Translate(QStringLiteral("Failed to download update. Please download manually on website."))
                + QStringLiteral("\r\n\r\n") + error);
        QUrl site(QStringLiteral(TWINLENS_WEBSITE));
        if (site.path().isEmpty())
            site.setPath(QStringLiteral("/"));
        platform::CurrentDesktop().OpenUrl(site);
    }
    FDownloading = false;
    done(QDialog::Accepted);
}
