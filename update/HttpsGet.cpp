#include "update/HttpsGet.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace {

// A chunk-size line, a trailer line: far shorter in any real answer.
constexpr qsizetype MaxLineBytes = 4096;

bool IsDigits(const QByteArray& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

THttpAnswerReader::THttpAnswerReader(qint64 maxHeaderBytes, qint64 maxBodyBytes)
    : FMaxHeaderBytes(maxHeaderBytes)
    , FMaxBodyBytes(maxBodyBytes)
{
}

qint64 THttpAnswerReader::Room() const
{
    if (FState != State::Reading)
        return 0;
    const qint64 limit = FPhase == Phase::Head ? FMaxHeaderBytes : FMaxBodyBytes + MaxLineBytes;
    return std::max<qint64>(0, limit + 1 - FIn.size());
}

THttpAnswerReader::State THttpAnswerReader::Feed(const QByteArray& bytes)
{
    if (FState != State::Reading)
        return FState;
    if (bytes.size() > Room()) {
        Fail();
        return FState;
    }
    FIn += bytes;
    Parse();
    return FState;
}

THttpAnswerReader::State THttpAnswerReader::Close()
{
    if (FState == State::Reading) {
        if (FPhase == Phase::UntilClose)
            FState = State::Done;
        else
            Fail(); // the head or a framed body was cut short
    }
    return FState;
}

void THttpAnswerReader::Parse()
{
    while (FState == State::Reading) {
        switch (FPhase) {
        case Phase::Head:
            if (!ParseHead())
                return;
            break;
        case Phase::Fixed:
            if (FIn.size() > FRemaining) {
                Fail();
            } else if (FIn.size() == FRemaining) {
                FBody = FIn;
                FIn.clear();
                FState = State::Done;
            }
            return;
        case Phase::Chunked:
            if (!ParseChunk())
                return;
            break;
        case Phase::Trailers:
            if (!ParseTrailer())
                return;
            break;
        case Phase::UntilClose:
            if (FIn.size() > FMaxBodyBytes)
                Fail();
            else
                FBody = FIn;
            return;
        }
    }
}

// True when a complete head was taken and parsing may go on.
bool THttpAnswerReader::ParseHead()
{
    const qsizetype end = FIn.indexOf("\r\n\r\n");
    if (end < 0 || end + 4 > FMaxHeaderBytes) {
        if (FIn.size() > FMaxHeaderBytes)
            Fail();
        return false;
    }
    const QList<QByteArray> lines = FIn.left(end).split('\n');
    FIn.remove(0, end + 4);
    const QList<QByteArray> status = lines.first().trimmed().split(' ');
    bool ok = false;
    const int code = status.value(1).toInt(&ok);
    if (!status.first().startsWith("HTTP/1.") || !ok || code < 100 || code > 599) {
        Fail();
        return false;
    }
    QByteArray length;
    QByteArray encoding;
    QByteArray location;
    int lengths = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            length = value;
            ++lengths;
        } else if (name == "transfer-encoding") {
            encoding = value.toLower();
        } else if (name == "location") {
            location = value;
        }
    }
    if (code < 200) // an interim answer; the real one follows
        return true;
    if (code == 301 || code == 302 || code == 303 || code == 307 || code == 308) {
        FLocation = QUrl(QString::fromLatin1(location), QUrl::StrictMode);
        if (location.isEmpty() || !FLocation.isValid())
            Fail();
        else
            FState = State::Redirect;
        return false;
    }
    if (code > 299) {
        Fail();
        return false;
    }
    if (encoding.contains("chunked")) {
        FPhase = Phase::Chunked;
    } else if (lengths > 0) {
        if (lengths > 1 || !IsDigits(length) || length.size() > 18 || length.toLongLong() > FMaxBodyBytes) {
            Fail();
            return false;
        }
        FRemaining = length.toLongLong();
        FPhase = Phase::Fixed;
    } else {
        FPhase = Phase::UntilClose;
    }
    return true;
}

qsizetype THttpAnswerReader::FramingLineEnd()
{
    const qsizetype end = FIn.indexOf("\r\n");
    if (end >= 0 && end <= MaxLineBytes)
        return end;
    if (FIn.size() > MaxLineBytes)
        Fail();
    return -1;
}

// True when a chunk was taken and parsing may go on.
bool THttpAnswerReader::ParseChunk()
{
    const qsizetype lineEnd = FramingLineEnd();
    if (lineEnd < 0)
        return false;
    QByteArray sizeText = FIn.left(lineEnd);
    if (const qsizetype semicolon = sizeText.indexOf(';'); semicolon >= 0)
        sizeText.truncate(semicolon);
    sizeText = sizeText.trimmed();
    bool ok = false;
    const qint64 size = !sizeText.isEmpty() && sizeText.size() <= 15 ? sizeText.toLongLong(&ok, 16) : -1;
    if (!ok || size < 0 || sizeText.startsWith('-') || sizeText.startsWith('+') || FBody.size() + size > FMaxBodyBytes) {
        Fail();
        return false;
    }
    if (size == 0) {
        FIn.remove(0, lineEnd + 2);
        FPhase = Phase::Trailers;
        return true;
    }
    if (FIn.size() < lineEnd + 2 + size + 2)
        return false;
    if (FIn.mid(lineEnd + 2 + size, 2) != "\r\n") {
        Fail();
        return false;
    }
    FBody += FIn.mid(lineEnd + 2, size);
    FIn.remove(0, lineEnd + 2 + size + 2);
    return true;
}

// True when a trailer line was taken and parsing may go on.
bool THttpAnswerReader::ParseTrailer()
{
    const qsizetype end = FramingLineEnd();
    if (end < 0)
        return false;
    FIn.remove(0, end + 2);
    if (end == 0)
        FState = State::Done;
    return true;
}

namespace {

// One request: connect, send, read the answer, within the time left.
THttpAnswerReader::State Request(const QUrl& url, const THttpsGetOptions& options, const QDeadlineTimer& deadline,
    THttpAnswerReader& reader)
{
    QSslSocket socket;
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (!options.ExtraCaCertificates.isEmpty())
        tls.setCaCertificates(tls.caCertificates() + options.ExtraCaCertificates);
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    socket.setSslConfiguration(tls);
    socket.setReadBufferSize(64 * 1024);

    QEventLoop loop;
    bool ended = false;
    bool failed = false;
    const auto end = [&](bool failure) {
        failed = failed || failure;
        ended = true;
        loop.quit();
    };
    // Reads what has arrived, never more than the reader may still take.
    const auto take = [&] {
        while (reader.Current() == THttpAnswerReader::State::Reading && socket.bytesAvailable() > 0) {
            const qint64 room = reader.Room();
            if (room <= 0 || reader.Feed(socket.read(room)) != THttpAnswerReader::State::Reading)
                break;
        }
        if (reader.Current() != THttpAnswerReader::State::Reading)
            end(false);
    };

    QTimer silence;
    silence.setSingleShot(true);
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&silence, &QTimer::timeout, &loop, [&] { end(true); });
    QObject::connect(&bound, &QTimer::timeout, &loop, [&] { end(true); });
    QObject::connect(&socket, &QSslSocket::encrypted, &loop, [&] {
        QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
        if (url.port() > 0 && url.port() != 443)
            host += ':' + QByteArray::number(url.port());
        QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
        if (target.isEmpty())
            target = "/";
        if (url.hasQuery())
            target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
        socket.write("GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\nUser-Agent: " + options.UserAgent
            + "\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n");
        silence.start(options.ReadTimeoutMs);
    });
    QObject::connect(&socket, &QSslSocket::sslErrors, &loop, [&] { end(true); });
    QObject::connect(&socket, &QSslSocket::readyRead, &loop, [&] {
        silence.start(options.ReadTimeoutMs);
        take();
    });
    QObject::connect(&socket, &QSslSocket::disconnected, &loop, [&] {
        take();
        reader.Close();
        end(false);
    });
    QObject::connect(&socket, &QSslSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError error) {
        // The end of an answer read up to the close comes as the disconnect.
        if (error != QAbstractSocket::RemoteHostClosedError)
            end(true);
    });

    const qint64 left = deadline.remainingTime();
    if (left == 0)
        return THttpAnswerReader::State::Failed;
    bound.start(int(std::min<qint64>(left < 0 ? options.BoundMs : left, std::numeric_limits<int>::max())));
    silence.start(options.ReadTimeoutMs);
    socket.connectToHostEncrypted(url.host(), quint16(url.port(443)));
    if (!ended)
        loop.exec();
    socket.disconnect();
    socket.abort();
    return failed ? THttpAnswerReader::State::Failed : reader.Current();
}

} // namespace

std::optional<QByteArray> HttpsGet(const QUrl& first, const THttpsGetOptions& options)
{
    const QDeadlineTimer deadline(options.BoundMs);
    QUrl url = first;
    for (int redirects = 0;; ++redirects) {
        if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty())
            return std::nullopt;
        THttpAnswerReader reader(options.MaxHeaderBytes, options.MaxBodyBytes);
        const THttpAnswerReader::State state = Request(url, options, deadline, reader);
        if (state == THttpAnswerReader::State::Done)
            return reader.Body();
        if (state != THttpAnswerReader::State::Redirect || redirects == options.MaxRedirects)
            return std::nullopt;
        url = url.resolved(reader.Location());
    }
}
