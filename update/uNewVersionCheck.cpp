#include "update/uNewVersionCheck.h"

#include "i18n/translation.h"
#include "platform/desktop/Desktop.h"
#include "update/HttpsGet.h"
#include "update/VersionDocuments.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

#include <algorithm>

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
// What Qt may hold of a response before the program has read it.
constexpr qint64 ReadBufferBytes = 256 * 1024;

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

QNetworkRequest BaseRequest(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(UserAgent));
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    if (!UpdateSettings.ExtraCaCertificates.isEmpty()) {
        // Left untouched otherwise, so that the system's authorities load as usual.
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QList<QSslCertificate> cas = tls.caCertificates();
        cas += UpdateSettings.ExtraCaCertificates;
        tls.setCaCertificates(cas);
        request.setSslConfiguration(tls);
    }
    return request;
}

bool IsSuccessStatus(const QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status <= 299;
}

// GETs one document of the check; throws on any failure.
QByteArray FetchDocument(const QString& path)
{
    const QUrl url = ServerUrl(path);
    if (!url.isValid())
        throw TCheckFailed {};
    THttpsGetOptions options;
    options.UserAgent = UserAgent;
    options.ReadTimeoutMs = UpdateSettings.ReadTimeoutMs;
    options.BoundMs = UpdateSettings.RequestBoundMs;
    options.MaxRedirects = 10;
    options.MaxBodyBytes = MaxDocumentBytes;
    options.ExtraCaCertificates = UpdateSettings.ExtraCaCertificates;
    std::optional<QByteArray> body = HttpsGet(url, options);
    if (!body)
        throw TCheckFailed {};
    return *body;
}

} // namespace

TVersionDocuments FetchVersionDocuments()
{
    TVersionDocuments documents;
    try {
        // Both are always fetched.
        documents.Version = FetchDocument(VersionPath);
        documents.Changes = FetchDocument(ChangesPath);
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

TfrmNewVersion::~TfrmNewVersion()
{
    if (FReply) {
        FReply->disconnect(this);
        FReply->abort();
    }
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
        if (FReply)
            DownloadWork(FReply, 0, FBytesSoFar);
        return;
    }
    close();
}

void TfrmNewVersion::btUpdateNowClick()
{
    if (FDownloading)
        return;
    UpdateForced = true;
    AbortRequested = false;
    FDownloadError.clear();
    FBytesSoFar = 0;
    FExpectedBytes = -2;
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
    if (!FTarget.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        const QString reason = FTarget.errorString();
        FTarget.setFileName(QString()); // not ours: never removed
        FinishDownload(TrFill(QStringLiteral("Cannot create file %s: %s"), { target, reason }));
        return;
    }
    FTarget.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    QNetworkRequest request = BaseRequest(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(0);
    FClient = new QNetworkAccessManager(this);
    FReply = FClient->get(request);
    // Streamed to the file: Qt holds no more than this ahead of the writes.
    FReply->setReadBufferSize(ReadBufferBytes);
    connect(FReply, &QNetworkReply::metaDataChanged, this, &TfrmNewVersion::DownloadHeaders);
    FDownloadBound = new QTimer(this);
    FDownloadBound->setSingleShot(true);
    connect(FDownloadBound, &QTimer::timeout, this,
        [this] { FailDownload(Translate(QStringLiteral("The download took too long."))); });
    FDownloadBound->start(UpdateSettings.DownloadBoundMs);
    // Progress follows the bytes as they are written: the reply's own progress
    // signal is throttled and would miss the last piece before a pause.
    connect(FReply, &QNetworkReply::readyRead, this, &TfrmNewVersion::DownloadReadyRead);
    connect(FReply, &QNetworkReply::finished, this, &TfrmNewVersion::DownloadFinished);
}

void TfrmNewVersion::DownloadWork(QObject* sender, int direction, qint64 bytesSoFar)
{
    Q_UNUSED(direction);
    auto* reply = qobject_cast<QNetworkReply*>(sender);
    if (!reply || reply != FReply)
        return;
    if (AbortRequested) {
        FailDownload(Translate(QStringLiteral("Download is cancelled. Please download manually.")));
        return;
    }
    bool hasLength = false;
    const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&hasLength);
    const bool chunked = reply->rawHeader("Transfer-Encoding").toLower().contains("chunked");
    if (chunked || !hasLength || length <= 0)
        return;
    const qint64 percent = std::clamp<qint64>(bytesSoFar * 100 / length, 0, 100);
    ProgressBar1->setValue(static_cast<int>(percent));
    ProgressBar1->repaint();
}

// The installer's length as the server declares it, read once the headers
// are in: a Content-Length of digits only, or a chunked body (whose closing
// chunk Qt requires). Anything else ends the download.
void TfrmNewVersion::DownloadHeaders()
{
    if (!FReply || FExpectedBytes != -2 || !IsSuccessStatus(FReply))
        return;
    if (FReply->rawHeader("Transfer-Encoding").toLower().contains("chunked")) {
        FExpectedBytes = -1;
        return;
    }
    const QByteArray declared = FReply->rawHeader("Content-Length").trimmed();
    const bool digits = !declared.isEmpty() && declared.size() <= 18
        && std::all_of(declared.begin(), declared.end(), [](char c) { return c >= '0' && c <= '9'; });
    const qint64 length = digits ? declared.toLongLong() : 0;
    if (length <= 0) {
        FailDownload(Translate(QStringLiteral("The download of the installer is incomplete.")));
        return;
    }
    if (length > UpdateSettings.MaxInstallerBytes) {
        FailDownload(Translate(QStringLiteral("The installer is too large.")));
        return;
    }
    FExpectedBytes = length;
}

void TfrmNewVersion::DownloadReadyRead()
{
    if (!FReply || !FTarget.isOpen() || !FDownloadError.isEmpty())
        return;
    if (FExpectedBytes == -2)
        DownloadHeaders();
    if (!FDownloadError.isEmpty())
        return;
    // An error page is no installer; the failure is reported when it ends.
    if (!IsSuccessStatus(FReply)) {
        FReply->readAll();
        return;
    }
    WriteArrived();
}

// Writes what has arrived and reports it to the progress handler.
bool TfrmNewVersion::WriteArrived()
{
    const QByteArray data = FReply->readAll();
    if (data.isEmpty())
        return true;
    const qint64 allowed = FExpectedBytes >= 0 ? FExpectedBytes : UpdateSettings.MaxInstallerBytes;
    if (FBytesSoFar + data.size() > allowed) {
        FailDownload(FExpectedBytes >= 0 ? Translate(QStringLiteral("The download of the installer is incomplete."))
                                         : Translate(QStringLiteral("The installer is too large.")));
        return false;
    }
    if (FTarget.write(data) != data.size()) {
        FailDownload(TrFill(QStringLiteral("Cannot write file %s: %s"), { FTarget.fileName(), FTarget.errorString() }));
        return false;
    }
    FBytesSoFar += data.size();
    DownloadWork(FReply, 0, FBytesSoFar);
    return FDownloadError.isEmpty();
}

// Ends the running GET with errorText as its error.
void TfrmNewVersion::FailDownload(const QString& errorText)
{
    if (FDownloadError.isEmpty())
        FDownloadError = errorText;
    if (FReply && FReply->isRunning())
        FReply->abort();
}

void TfrmNewVersion::DownloadFinished()
{
    QNetworkReply* reply = FReply;
    if (!reply)
        return;
    QString error = FDownloadError;
    if (error.isEmpty()) {
        if (reply->error() != QNetworkReply::NoError) {
            error = reply->errorString();
        } else if (!IsSuccessStatus(reply)) {
            // A redirect is not followed here, so it is a failure too, not an installer.
            error = QStringLiteral("HTTP/1.1 %1 %2")
                        .arg(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt())
                        .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        } else if (FTarget.isOpen() && !WriteArrived()) {
            error = FDownloadError;
        } else if (FExpectedBytes == -2) {
            DownloadHeaders();
            error = FDownloadError;
        }
        if (error.isEmpty() && FExpectedBytes >= 0 && FBytesSoFar != FExpectedBytes)
            error = Translate(QStringLiteral("The download of the installer is incomplete."));
    }
    if (FTarget.isOpen() && !FTarget.flush() && error.isEmpty())
        error = TrFill(QStringLiteral("Cannot write file %s: %s"), { FTarget.fileName(), FTarget.errorString() });
    FTarget.close();
    FinishDownload(error);
}

// Clean-up, the failure box or the installer's start, and the end of the dialog.
void TfrmNewVersion::FinishDownload(const QString& errorText)
{
    QString error = errorText;
    if (FReply) {
        FReply->disconnect(this);
        FReply->deleteLater();
        FReply = nullptr;
    }
    if (FClient) {
        FClient->deleteLater();
        FClient = nullptr;
    }
    if (FDownloadBound) {
        FDownloadBound->stop();
        FDownloadBound->deleteLater();
        FDownloadBound = nullptr;
    }
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
