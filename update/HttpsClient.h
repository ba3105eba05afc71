#pragma once
// One GET over HTTPS through libcurl, for the version check and the
// installer download alike. Everything the server controls is bounded, and
// nothing the server did not declare complete is taken as complete.
//
// The request: HTTP/1.1, GET, the given User-Agent and nothing that asks for
// compression (no Accept-Encoding; a body the server encodes anyway is handed
// over as the bytes sent, never decoded). https only, for the request and for
// every redirect. The certificate is checked against the system's store, or
// against CaFile alone when one is given.
//
// The answer: the status line and headers of each answer at most
// MaxHeaderBytes together; a body over MaxBodyBytes fails (a declared length
// over it fails before any byte is read). A body is complete only when its
// declared Content-Length arrived whole, its chunks ended with the closing
// chunk, or, for a body framed by neither, the TLS session ended with
// close_notify: a connection cut or reset without it is a failure, since
// anyone on the path can end TCP. (libcurl 7.88 takes a TCP close without
// close_notify for the end of such a body; the alert is watched for here.)
//
// Runs on the calling thread and blocks it until the transfer ends (curl
// multi, polled in short steps so that Cancel is taken at once); it needs no
// event loop. Cancel and the progress counter may be used from any thread.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

struct THttpsGetOptions {
    QByteArray UserAgent;
    // 0: a redirect is not followed, and its status fails the request.
    int MaxRedirects = 0;
    // The whole request, connecting, the TLS handshake and the redirects
    // included; 0: no bound.
    qint64 BoundMs = 0;
    // Connecting and the TLS handshake.
    qint64 ConnectBoundMs = 30000;
    // The longest the server may send nothing (from the start, and between
    // any two pieces of the answer); 0: no such bound.
    qint64 SilenceMs = 0;
    // Fewer than LowSpeedBytes per second, as libcurl averages them over a
    // few seconds, for LowSpeedSeconds ends the transfer (a trickling
    // server); 0 seconds: no such bound.
    long LowSpeedBytes = 0;
    long LowSpeedSeconds = 0;
    qint64 MaxHeaderBytes = 64 * 1024;
    qint64 MaxBodyBytes = 1 << 20;
    // A PEM file of the only authorities to trust; empty: the system's store.
    QByteArray CaFile;
};

// The final answer's head, as the body starts.
struct THttpsHead {
    long Status = 0;
    // The Content-Length of digits only, -1 when none was declared (or the
    // body is chunked, which makes any length meaningless).
    qint64 DeclaredLength = -1;
    bool Chunked = false;
};

struct THttpsResult {
    enum class Outcome {
        Done,       // a 2xx answer whose body arrived complete
        Status,     // an answer that is not 2xx (a redirect not followed included)
        TooLarge,   // the body (declared or sent) over MaxBodyBytes
        Incomplete, // the body ended before its declared end
        TimedOut,   // BoundMs passed
        Silent,     // SilenceMs passed without a byte
        Cancelled,  // Cancel
        Refused,    // the body sink refused a piece
        Failed,     // anything else: transport, TLS, protocol, redirects, headers
    };
    Outcome How = Outcome::Failed;
    long Status = 0;
    // For Status: "HTTP/1.1 404 Not Found"; otherwise libcurl's own account.
    QString Error;
    qint64 BodyBytes = 0;
};

class THttpsGet {
public:
    // Each piece of the body of a 2xx answer, in order, on the calling
    // thread; false ends the transfer (Refused). Head comes first, once.
    std::function<bool(const THttpsHead&)> OnHead;
    std::function<bool(QByteArrayView)> OnBody;

    // A flag of the caller's that cancels as Cancel does (checked as often).
    const std::atomic<bool>* AlsoCancelOn = nullptr;

    THttpsResult Run(const QByteArray& url, const THttpsGetOptions& options);

    // Ends a running Run (Cancelled) within a few milliseconds; a Run that
    // starts after it ends at once. Any thread.
    void Cancel() { FCancel = true; }
    bool IsCancelled() const { return FCancel || (AlsoCancelOn && *AlsoCancelOn); }
    // Bytes of the body handed to OnBody so far. Any thread.
    qint64 BytesSoFar() const { return FBytes; }

private:
    friend struct THttpsTransfer;
    std::atomic<bool> FCancel = false;
    std::atomic<qint64> FBytes = 0;
};

// Reads the body of url into memory (at most options.MaxBodyBytes); nothing
// on any failure. cancel, when given, ends the wait as THttpsGet::Cancel does.
std::optional<QByteArray> HttpsGetDocument(const QByteArray& url, const THttpsGetOptions& options,
    const std::atomic<bool>* cancel = nullptr);
