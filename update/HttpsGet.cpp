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

class TGet {
public:
    TGet(const THttpsGetOptions& options)
        : FOptions(options)
        , FDeadline(options.BoundMs)
    {
    }

    std::optional<QByteArray> Run(QUrl url)
    {
        for (int redirects = 0;; ++redirects) {
            if (url.scheme() != QLatin1String("https") || url.host().isEmpty() || !url.isValid())
                return std::nullopt;
            const Outcome outcome = Request(url);
            if (outcome == Outcome::Done)
                return FBody;
            if (outcome != Outcome::Redirect || redirects == FOptions.MaxRedirects)
                return std::nullopt;
            url = url.resolved(FLocation);
        }
    }

private:
    enum class Outcome { Failed, Done, Redirect };
    enum class Phase { Head, Fixed, Chunked, UntilClose, Finished };

    Outcome Request(const QUrl& url)
    {
        FIn.clear();
        FBody.clear();
        FLocation.clear();
        FPhase = Phase::Head;
        FOutcome = Outcome::Failed;
        FTrailers = false;
        FFailed = false;
        bool ended = false;

        QSslSocket socket;
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        if (!FOptions.ExtraCaCertificates.isEmpty())
            tls.setCaCertificates(tls.caCertificates() + FOptions.ExtraCaCertificates);
        tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
        socket.setSslConfiguration(tls);
        socket.setReadBufferSize(64 * 1024);

        QEventLoop loop;
        QTimer silence;
        silence.setSingleShot(true);
        QTimer bound;
        bound.setSingleShot(true);
        const auto finish = [&](Outcome outcome) {
            FOutcome = outcome;
            ended = true;
            loop.quit();
        };
        QObject::connect(&silence, &QTimer::timeout, &loop, [&] { finish(Outcome::Failed); });
        QObject::connect(&bound, &QTimer::timeout, &loop, [&] { finish(Outcome::Failed); });
        QObject::connect(&socket, &QSslSocket::encrypted, &loop, [&] {
            QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
            if (url.port() > 0 && url.port() != 443)
                host += ':' + QByteArray::number(url.port());
            const QByteArray path = url.path(QUrl::FullyEncoded).isEmpty() ? QByteArray("/")
                                                                              : url.path(QUrl::FullyEncoded).toLatin1();
            const QByteArray query = url.hasQuery() ? '?' + url.query(QUrl::FullyEncoded).toLatin1() : QByteArray();
            socket.write("GET " + path + query + " HTTP/1.1\r\nHost: " + host + "\r\nUser-Agent: " + FOptions.UserAgent
                + "\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n");
            silence.start(FOptions.ReadTimeoutMs);
        });
        QObject::connect(&socket, &QSslSocket::sslErrors, &loop, [&] { finish(Outcome::Failed); });
        QObject::connect(&socket, &QSslSocket::readyRead, &loop, [&] {
            silence.start(FOptions.ReadTimeoutMs);
            Take(socket);
            if (FPhase == Phase::Finished)
                finish(FOutcome);
            else if (FFailed)
                finish(Outcome::Failed);
        });
        QObject::connect(&socket, &QSslSocket::disconnected, &loop, [&] {
            Take(socket);
            if (FPhase == Phase::UntilClose && !FFailed)
                finish(Outcome::Done);
            else if (FPhase == Phase::Finished)
                finish(FOutcome);
            else
                finish(Outcome::Failed);
        });
        QObject::connect(&socket, &QSslSocket::errorOccurred, &loop, [&](QAbstractSocket::SocketError error) {
            // The end of a body read up to the close comes as the disconnect.
            if (error != QAbstractSocket::RemoteHostClosedError)
                finish(Outcome::Failed);
        });

        const qint64 left = FDeadline.remainingTime();
        if (left <= 0)
            return Outcome::Failed;
        bound.start(int(std::min<qint64>(left, std::numeric_limits<int>::max())));
        silence.start(FOptions.ReadTimeoutMs);
        socket.connectToHostEncrypted(url.host(), quint16(url.port(443)));
        if (!ended)
            loop.exec();
        socket.disconnect();
        socket.abort();
        if (FFailed)
            return Outcome::Failed;
        return FOutcome;
    }

    void Fail() { FFailed = true; }

    // Reads what has arrived, never more than the phase may still take.
    void Take(QSslSocket& socket)
    {
        while (!FFailed && FPhase != Phase::Finished && socket.bytesAvailable() > 0) {
            const qint64 room = FPhase == Phase::Head ? FOptions.MaxHeaderBytes + 1 - FIn.size()
                                                      : FOptions.MaxBodyBytes + MaxLineBytes + 1 - FIn.size();
            if (room <= 0) {
                Fail();
                return;
            }
            FIn += socket.read(room);
            Parse();
        }
    }

    void Parse()
    {
        for (;;) {
            switch (FPhase) {
            case Phase::Head:
                if (!ParseHead())
                    return;
                break;
            case Phase::Fixed:
                if (FIn.size() > FRemaining) {
                    Fail();
                    return;
                }
                if (FIn.size() < FRemaining)
                    return;
                FBody = FIn;
                FIn.clear();
                FPhase = Phase::Finished;
                return;
            case Phase::Chunked:
                if (!ParseChunk())
                    return;
                break;
            case Phase::UntilClose:
                if (FIn.size() > FOptions.MaxBodyBytes)
                    Fail();
                else
                    FBody = FIn;
                return;
            case Phase::Finished:
                return;
            }
            if (FFailed)
                return;
        }
    }

    // True when the head was complete and the phase moved on.
    bool ParseHead()
    {
        const qsizetype end = FIn.indexOf("\r\n\r\n");
        if (end < 0) {
            if (FIn.size() > FOptions.MaxHeaderBytes)
                Fail();
            return false;
        }
        if (end + 4 > FOptions.MaxHeaderBytes) {
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
            if (location.isEmpty() || !FLocation.isValid()) {
                Fail();
                return false;
            }
            FOutcome = Outcome::Redirect;
            FPhase = Phase::Finished;
            return false;
        }
        if (code > 299) {
            Fail();
            return false;
        }
        FOutcome = Outcome::Done;
        if (encoding.contains("chunked")) {
            FPhase = Phase::Chunked;
        } else if (lengths > 0) {
            const bool digits = lengths == 1 && !length.isEmpty() && length.size() <= 18
                && std::all_of(length.begin(), length.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (!digits || length.toLongLong() > FOptions.MaxBodyBytes) {
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

    // True when a chunk (or the end) was taken and parsing may go on.
    bool ParseChunk()
    {
        if (FTrailers) {
            const qsizetype end = FIn.indexOf("\r\n");
            if (end < 0) {
                if (FIn.size() > MaxLineBytes)
                    Fail();
                return false;
            }
            FIn.remove(0, end + 2);
            if (end == 0) {
                FPhase = Phase::Finished;
                return false;
            }
            return true;
        }
        const qsizetype lineEnd = FIn.indexOf("\r\n");
        if (lineEnd < 0) {
            if (FIn.size() > MaxLineBytes)
                Fail();
            return false;
        }
        QByteArray sizeText = FIn.left(lineEnd);
        if (const qsizetype semicolon = sizeText.indexOf(';'); semicolon >= 0)
            sizeText.truncate(semicolon);
        sizeText = sizeText.trimmed();
        bool ok = false;
        const qint64 size = sizeText.size() <= 15 ? sizeText.toLongLong(&ok, 16) : -1;
        if (!ok || size < 0 || FBody.size() + size > FOptions.MaxBodyBytes) {
            Fail();
            return false;
        }
        if (size == 0) {
            FIn.remove(0, lineEnd + 2);
            FTrailers = true;
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

    const THttpsGetOptions& FOptions;
    QDeadlineTimer FDeadline;
    QByteArray FIn;
    QByteArray FBody;
    QUrl FLocation;
    Phase FPhase = Phase::Head;
    Outcome FOutcome = Outcome::Failed;
    qint64 FRemaining = 0;
    bool FTrailers = false;
    bool FFailed = false;
};

} // namespace

std::optional<QByteArray> HttpsGet(const QUrl& url, const THttpsGetOptions& options)
{
    TGet get(options);
    return get.Run(url);
}
