#pragma once
// One GET of a small document over HTTPS, with every part the server
// controls bounded: the version check reads the update server's documents
// with it before any window exists, so no answer may block start-up for long
// or take the program's memory. (Qt's own HTTP client reads response headers
// of any size into memory, and cannot be told otherwise.)

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QUrl>

#include <optional>

struct THttpsGetOptions {
    QByteArray UserAgent;
    // Longest silence of the server while the request runs.
    int ReadTimeoutMs = 10000;
    // Longest wait for the whole request, connecting, the TLS handshake and
    // the redirects included.
    int BoundMs = 10000;
    int MaxRedirects = 10;
    // The status line and the headers of one answer, together.
    qint64 MaxHeaderBytes = 64 * 1024;
    qint64 MaxBodyBytes = 1 << 20;
    // Authorities trusted in addition to the system's.
    QList<QSslCertificate> ExtraCaCertificates;
};

// The answer to one GET, read as its bytes arrive: the status line and the
// headers (together at most maxHeaderBytes), interim 1xx answers skipped,
// then a body framed by Content-Length (one, of digits only) or chunked
// encoding (with its closing chunk), or else ending with the connection; a
// body over maxBodyBytes fails. A 301, 302, 303, 307 or 308 with a Location
// ends with Redirect, without reading its body; any other status but 2xx fails.
class THttpAnswerReader {
public:
    enum class State { Reading, Done, Redirect, Failed };

    THttpAnswerReader(qint64 maxHeaderBytes, qint64 maxBodyBytes);
    // How many bytes Feed may take next; the reader never holds more than its
    // bounds (and a line of chunked framing).
    qint64 Room() const;
    // Takes the next bytes of the answer (at most Room()).
    State Feed(const QByteArray& bytes);
    // The server closed the connection.
    State Close();
    State Current() const { return FState; }
    const QByteArray& Body() const { return FBody; }
    const QUrl& Location() const { return FLocation; }

private:
    enum class Phase { Head, Fixed, Chunked, Trailers, UntilClose };
    void Parse();
    bool ParseHead();
    bool ParseChunk();
    bool ParseTrailer();
    // The end of the next CR LF line of chunked framing in the input, or -1
    // while it is incomplete (failing once it is longer than a line may be).
    qsizetype FramingLineEnd();
    void Fail() { FState = State::Failed; }

    qint64 FMaxHeaderBytes;
    qint64 FMaxBodyBytes;
    State FState = State::Reading;
    Phase FPhase = Phase::Head;
    QByteArray FIn;
    QByteArray FBody;
    QUrl FLocation;
    qint64 FRemaining = 0;
};

// GETs url (https only) as HTTP/1.1 with the User-Agent, "Accept-Encoding:
// identity" and "Connection: close", the certificate checked against the
// system's authorities (and the extra ones) for url's host. Follows up to
// MaxRedirects redirects (301, 302, 303, 307, 308), each to https only.
// Reads a body framed by Content-Length or chunked encoding, or else ending
// with the connection. Returns the body of a 2xx answer; nothing on any
// failure: a transport or TLS error, a status that is neither success nor a
// followed redirect, headers or a body over their bound, a malformed answer,
// a silence or a request over its time.
// Runs a local event loop on the calling thread until the request ends, so a
// server living in the same thread is served meanwhile.
std::optional<QByteArray> HttpsGet(const QUrl& url, const THttpsGetOptions& options);
