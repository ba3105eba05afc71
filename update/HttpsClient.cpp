#include "update/HttpsClient.h"

#include <QByteArrayList>
#include <QElapsedTimer>

#include <curl/curl.h>
#include <openssl/ssl.h>

#include <mutex>

namespace {

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool IsDigits(QByteArrayView v)
{
    if (v.isEmpty() || v.size() > 18)
        return false;
    for (char c : v) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

// What one Run learns from libcurl's callbacks, on the running thread.
struct THttpsTransfer {
    THttpsGet* Get = nullptr;
    const THttpsGetOptions* Options = nullptr;
    // The answer whose headers are being read (each redirect and interim
    // answer starts anew).
    qint64 HeaderBytes = 0;
    bool AtAnswerStart = true;
    THttpsHead Head;
    QByteArray StatusLine;
    int ContentLengths = 0;
    bool LengthMalformed = false;
    bool HeadHanded = false;
    // Why a callback ended the transfer.
    bool HeadersTooLong = false;
    bool TooLarge = false;
    bool Refused = false;
    bool BadStatus = false;
    // The TLS session of the answer ended with close_notify.
    bool CloseNotify = false;
    CURL* Easy = nullptr;
    const SSL* WatchedTls = nullptr;
    QElapsedTimer Clock;
    qint64 LastActivityMs = 0;

    // The TLS callback has no room for a pointer of ours; a Run keeps all
    // of its callbacks on its own thread.
    static inline thread_local THttpsTransfer* Current = nullptr;

    static void OnTlsInfo(const SSL*, int where, int value)
    {
        // The server's alert, not the one libcurl sends when it closes.
        if ((where & SSL_CB_ALERT) && (where & SSL_CB_READ) && (value & 0xff) == SSL3_AD_CLOSE_NOTIFY && Current)
            Current->CloseNotify = true;
    }

    // Watches the answer's TLS session for its close_notify alert.
    void WatchTls()
    {
        curl_tlssessioninfo* info = nullptr;
        if (curl_easy_getinfo(Easy, CURLINFO_TLS_SSL_PTR, &info) != CURLE_OK || !info
            || info->backend != CURLSSLBACKEND_OPENSSL || !info->internals)
            return;
        SSL* tls = static_cast<SSL*>(info->internals);
        if (tls == WatchedTls)
            return;
        WatchedTls = tls;
        SSL_set_info_callback(tls, &THttpsTransfer::OnTlsInfo);
    }

    bool IsSuccess() const { return Head.Status >= 200 && Head.Status <= 299; }

    static size_t OnHeader(char* data, size_t size, size_t count, void* self)
    {
        auto* t = static_cast<THttpsTransfer*>(self);
        const size_t n = size * count;
        const QByteArray line(data, qsizetype(n));
        t->LastActivityMs = t->Clock.elapsed();
        // Only a status line after a blank one, before the final answer's
        // body, starts an answer: neither a header that looks like one nor
        // a trailer resets the count.
        if (t->AtAnswerStart && !t->HeadHanded && line.startsWith("HTTP/")) {
            t->WatchTls();
            t->CloseNotify = false;
            t->HeaderBytes = 0;
            t->Head = THttpsHead {};
            t->ContentLengths = 0;
            t->LengthMalformed = false;
            t->StatusLine = line.trimmed();
            const QList<QByteArray> parts = t->StatusLine.split(' ');
            t->Head.Status = parts.value(1).toLong();
        }
        if (line == "\r\n" || line == "\n")
            t->AtAnswerStart = true;
        t->HeaderBytes += qint64(n);
        if (t->HeaderBytes > t->Options->MaxHeaderBytes) {
            t->HeadersTooLong = true;
            return 0;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) {
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-length") {
                ++t->ContentLengths;
                if (IsDigits(value))
                    t->Head.DeclaredLength = value.toLongLong();
                else
                    t->LengthMalformed = true;
            } else if (name == "transfer-encoding") {
                if (value.toLower().contains("chunked"))
                    t->Head.Chunked = true;
            }
        }
        return n;
    }

    // The head of the final answer, handed over once before its body (or
    // at the end, for an answer without one).
    bool HandHead()
    {
        if (HeadHanded)
            return true;
        HeadHanded = true;
        if (Head.Chunked)
            Head.DeclaredLength = -1;
        if (!IsSuccess()) {
            BadStatus = true;
            return false;
        }
        if (Get->OnHead && !Get->OnHead(Head)) {
            Refused = true;
            return false;
        }
        return true;
    }

    static size_t OnWrite(char* data, size_t size, size_t count, void* self)
    {
        auto* t = static_cast<THttpsTransfer*>(self);
        const size_t n = size * count;
        t->LastActivityMs = t->Clock.elapsed();
        if (!t->HandHead())
            return CURL_WRITEFUNC_ERROR;
        if (t->Get->FBytes + qint64(n) > t->Options->MaxBodyBytes) {
            t->TooLarge = true;
            return CURL_WRITEFUNC_ERROR;
        }
        // Counted first, so that whoever OnBody tells sees the piece counted.
        t->Get->FBytes += qint64(n);
        if (t->Get->OnBody && !t->Get->OnBody(QByteArrayView(data, qsizetype(n)))) {
            t->Refused = true;
            return CURL_WRITEFUNC_ERROR;
        }
        return n;
    }

    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<THttpsTransfer*>(self)->Get->IsCancelled() ? 1 : 0;
    }
};

THttpsResult THttpsGet::Run(const QByteArray& url, const THttpsGetOptions& options)
{
    GlobalInit();
    FBytes = 0;
    THttpsResult result;
    THttpsTransfer t;
    t.Get = this;
    t.Options = &options;
    char error[CURL_ERROR_SIZE] = {};

    CURL* e = curl_easy_init();
    CURLM* m = curl_multi_init();
    if (!e || !m) {
        if (e)
            curl_easy_cleanup(e);
        if (m)
            curl_multi_cleanup(m);
        result.Error = QStringLiteral("libcurl could not start a transfer");
        return result;
    }
    const QByteArray agent = options.UserAgent;
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(e, CURLOPT_USERAGENT, agent.constData());
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, options.MaxRedirects > 0 ? 1L : 0L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, long(options.MaxRedirects));
    // Identity only: no Accept-Encoding is sent (CURLOPT_ACCEPT_ENCODING
    // stays unset), and a body encoded all the same is not decoded.
    curl_easy_setopt(e, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(options.MaxBodyBytes));
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, long(options.BoundMs));
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, long(options.ConnectBoundMs));
    t.Easy = e;
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, options.LowSpeedBytes);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, options.LowSpeedSeconds);
    if (!options.CaFile.isEmpty()) {
        curl_easy_setopt(e, CURLOPT_CAINFO, options.CaFile.constData());
        curl_easy_setopt(e, CURLOPT_CAPATH, static_cast<const char*>(nullptr));
    }
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &THttpsTransfer::OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &THttpsTransfer::OnWrite);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &THttpsTransfer::OnProgress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);

    QElapsedTimer& clock = t.Clock;
    clock.start();
    THttpsTransfer* const outer = THttpsTransfer::Current;
    THttpsTransfer::Current = &t;
    curl_multi_add_handle(m, e);
    CURLcode code = CURLE_OK;
    bool cancelled = false;
    bool silent = false;
    for (;;) {
        if (IsCancelled()) {
            cancelled = true;
            break;
        }
        if (options.SilenceMs > 0 && clock.elapsed() - t.LastActivityMs > options.SilenceMs) {
            silent = true;
            break;
        }
        int running = 0;
        if (curl_multi_perform(m, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg* msg = curl_multi_info_read(m, &left)) {
                if (msg->msg == CURLMSG_DONE)
                    code = msg->data.result;
            }
            break;
        }
        // Short steps, so that a Cancel from another thread is taken at once.
        curl_multi_poll(m, nullptr, 0, 20, nullptr);
    }
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    curl_multi_remove_handle(m, e);
    curl_easy_cleanup(e);
    curl_multi_cleanup(m);
    THttpsTransfer::Current = outer;

    result.BodyBytes = FBytes;
    result.Status = status;
    using O = THttpsResult::Outcome;
    const QString curlText = error[0] ? QString::fromUtf8(error).trimmed() : QString::fromUtf8(curl_easy_strerror(code));
    if (cancelled || IsCancelled() || code == CURLE_ABORTED_BY_CALLBACK) {
        result.How = O::Cancelled;
        result.Error = QStringLiteral("cancelled");
        return result;
    }
    if (silent) {
        result.How = O::Silent;
        result.Error = QStringLiteral("The server sent nothing for %1 ms").arg(options.SilenceMs);
        return result;
    }
    if (code == CURLE_OK && !t.HeadHanded && t.Head.Status != 0)
        t.HandHead(); // an answer without a body
    if (t.BadStatus || (code == CURLE_OK && !t.IsSuccess())) {
        result.How = O::Status;
        result.Status = t.Head.Status ? t.Head.Status : status;
        result.Error = QString::fromLatin1(t.StatusLine.isEmpty() ? QByteArray("HTTP ") + QByteArray::number(status)
                                                                  : t.StatusLine);
        return result;
    }
    if (t.HeadersTooLong) {
        result.How = O::Failed;
        result.Error = QStringLiteral("The answer's headers are longer than %1 bytes").arg(options.MaxHeaderBytes);
        return result;
    }
    if (t.TooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.How = O::TooLarge;
        result.Error = curlText;
        return result;
    }
    if (t.Refused) {
        result.How = O::Refused;
        return result;
    }
    if (code == CURLE_OPERATION_TIMEDOUT && options.BoundMs > 0 && clock.elapsed() >= options.BoundMs - 50) {
        result.How = O::TimedOut;
        result.Error = curlText;
        return result;
    }
    // Once the final answer's body has begun, an end before its declared end
    // is a cut, however the connection ended.
    const bool bodyBegun = t.HeadHanded && t.IsSuccess();
    if (code == CURLE_PARTIAL_FILE
        || (bodyBegun
            && (code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING || code == CURLE_SSL_CONNECT_ERROR
                || code == CURLE_WEIRD_SERVER_REPLY))) {
        result.How = O::Incomplete;
        result.Error = curlText;
        return result;
    }
    if (code != CURLE_OK) {
        result.How = O::Failed;
        result.Error = curlText;
        return result;
    }
    // libcurl took these; a length that is not one number of digits, or two
    // of them, leaves the body's end undeclared.
    if (!t.Head.Chunked && (t.ContentLengths > 1 || t.LengthMalformed)) {
        result.How = O::Incomplete;
        result.Error = QStringLiteral("The answer declares its length more than once or not as a number");
        return result;
    }
    // A body framed by neither: only the TLS session's own end vouches for it.
    if (!t.Head.Chunked && t.Head.DeclaredLength < 0 && !t.CloseNotify) {
        result.How = O::Incomplete;
        result.Error = QStringLiteral("The connection ended without the end of the TLS session");
        return result;
    }
    result.How = O::Done;
    return result;
}

std::optional<QByteArray> HttpsGetDocument(const QByteArray& url, const THttpsGetOptions& options,
    const std::atomic<bool>* cancel)
{
    QByteArray body;
    THttpsGet get;
    get.AlsoCancelOn = cancel;
    get.OnBody = [&body](QByteArrayView piece) {
        body.append(piece);
        return true;
    };
    if (get.Run(url, options).How != THttpsResult::Outcome::Done)
        return std::nullopt;
    return body;
}
