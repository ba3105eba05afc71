#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the update tests, over TLS with a
// certificate made at run time, or plain. It runs on the test's own thread:
// the code under test waits in an event loop, which serves it too.
//
// Header only, so that the test support library (which links no QtNetwork)
// does not have to build it; only tests that link the update code include it.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtGlobal>

#include <algorithm>
#include <memory>

// A CA and a server certificate for 127.0.0.1 and localhost signed by it, made
// with the openssl command. Only a client given Ca trusts the server.
struct TestCertificates {
    QSslCertificate Ca;
    QSslCertificate Leaf;
    QSslKey Key;

    // Ends the test program when the certificates cannot be made: every TLS
    // test would only report nonsense without them.
    static TestCertificates Make()
    {
        QTemporaryDir dir;
        if (!dir.isValid())
            qFatal("no temporary folder for the test certificates");
        const QString d = dir.path() + QLatin1Char('/');
        auto run = [&](const QStringList& args) {
            QProcess p;
            p.setWorkingDirectory(dir.path());
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(QStringLiteral("openssl"), args);
            if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
                qFatal("openssl %s failed: %s", qPrintable(args.join(u' ')), p.readAll().constData());
        };
        const QStringList ecKey { QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
            QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes") };
        run(QStringList { QStringLiteral("req"), QStringLiteral("-x509") } + ecKey
            + QStringList { QStringLiteral("-keyout"), d + QStringLiteral("ca.key"), QStringLiteral("-out"),
                d + QStringLiteral("ca.pem"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                QStringLiteral("/CN=Twinlens test CA"), QStringLiteral("-addext"),
                QStringLiteral("basicConstraints=critical,CA:TRUE"), QStringLiteral("-addext"),
                QStringLiteral("keyUsage=critical,keyCertSign,cRLSign") });
        run(QStringList { QStringLiteral("req"), QStringLiteral("-new") } + ecKey
            + QStringList { QStringLiteral("-keyout"), d + QStringLiteral("leaf.key"), QStringLiteral("-out"),
                d + QStringLiteral("leaf.csr"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1") });
        {
            QFile ext(d + QStringLiteral("leaf.ext"));
            if (!ext.open(QIODevice::WriteOnly))
                qFatal("cannot write leaf.ext");
            ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n"
                      "extendedKeyUsage=serverAuth\n");
        }
        run({ QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), d + QStringLiteral("leaf.csr"),
            QStringLiteral("-CA"), d + QStringLiteral("ca.pem"), QStringLiteral("-CAkey"), d + QStringLiteral("ca.key"),
            QStringLiteral("-CAcreateserial"), QStringLiteral("-out"), d + QStringLiteral("leaf.pem"),
            QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"), d + QStringLiteral("leaf.ext") });

        auto read = [&](const QString& name) {
            QFile f(d + name);
            if (!f.open(QIODevice::ReadOnly))
                qFatal("cannot read %s", qPrintable(name));
            return f.readAll();
        };
        TestCertificates c;
        c.Ca = QSslCertificate(read(QStringLiteral("ca.pem")));
        c.Leaf = QSslCertificate(read(QStringLiteral("leaf.pem")));
        c.Key = QSslKey(read(QStringLiteral("leaf.key")), QSsl::Ec);
        if (c.Ca.isNull() || c.Leaf.isNull() || c.Key.isNull())
            qFatal("the test certificates do not load");
        return c;
    }
};

// One canned answer.
struct TestResponse {
    enum class Mode {
        Whole,   // status line, Content-Length, body
        Chunked, // Transfer-Encoding: chunked, the body in pieces sent apart
        Partial, // Content-Length of the whole body, then only HoldAfter bytes
        Silent,  // reads the request and never answers
        Unframed, // no Content-Length (Headers may add a bogus one), the body, then Cut
    };
    int Status = 200;
    QByteArray Reason = "OK";
    QByteArray Body;
    QList<QPair<QByteArray, QByteArray>> Headers;
    Mode How = Mode::Whole;
    qsizetype HoldAfter = 0;
    // Partial and Chunked: once HoldAfter bytes of the body are out, the TCP
    // connection is cut without a TLS close_notify (as a forged FIN on the
    // path would end it) instead of held open.
    bool Cut = false;

    static TestResponse Ok(const QByteArray& body) { return TestResponse { 200, "OK", body, {}, Mode::Whole, 0 }; }
    static TestResponse NotFound() { return TestResponse { 404, "Not Found", "no such page", {}, Mode::Whole, 0 }; }
    static TestResponse Redirect(const QByteArray& location)
    {
        return TestResponse { 302, "Found", "moved", { { "Location", location } }, Mode::Whole, 0 };
    }
};

class TestHttpServer {
public:
    // With certificates the server speaks TLS, otherwise plain HTTP.
    explicit TestHttpServer(const TestCertificates* tls = nullptr)
    {
        if (tls) {
            auto* s = new QSslServer;
            QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
            conf.setLocalCertificate(tls->Leaf);
            conf.setPrivateKey(tls->Key);
            conf.setPeerVerifyMode(QSslSocket::VerifyNone);
            s->setSslConfiguration(conf);
            FServer.reset(s);
            FScheme = QStringLiteral("https");
        } else {
            FServer = std::make_unique<QTcpServer>();
            FScheme = QStringLiteral("http");
        }
        QObject::connect(FServer.get(), &QTcpServer::pendingConnectionAvailable, FServer.get(), [this] {
            while (QTcpSocket* s = FServer->nextPendingConnection())
                Serve(s);
        });
        if (!FServer->listen(QHostAddress::LocalHost, 0))
            qFatal("the test server cannot listen: %s", qPrintable(FServer->errorString()));
    }

    ~TestHttpServer()
    {
        for (const QPointer<QTcpSocket>& s : FSockets) {
            if (s)
                s->abort();
        }
    }

    // "https://127.0.0.1:port" (or http), no trailing "/".
    QString Origin() const { return FScheme + QStringLiteral("://127.0.0.1:") + QString::number(Port()); }
    quint16 Port() const { return FServer->serverPort(); }

    void Route(const QByteArray& path, const TestResponse& response) { FRoutes.insert(path, response); }

    // What the server was asked: the path of each request, in order.
    QList<QByteArray> Paths;
    // The User-Agent of each request.
    QList<QByteArray> UserAgents;
    // The HTTP version of each request line ("HTTP/1.1").
    QList<QByteArray> Versions;
    // TCP connections accepted (TLS ones after their handshake).
    int Connections = 0;

private:
    void Serve(QTcpSocket* socket)
    {
        ++Connections;
        FSockets << socket;
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            *buffer += socket->readAll();
            for (;;) {
                const qsizetype end = buffer->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                const QByteArray head = buffer->left(end);
                buffer->remove(0, end + 4);
                Answer(socket, head);
            }
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            QMetaObject::invokeMethod(socket, "readyRead", Qt::QueuedConnection);
    }

    void Answer(QTcpSocket* socket, const QByteArray& head)
    {
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
        const QByteArray path = request.value(1);
        Paths << path;
        Versions << request.value(2);
        QByteArray agent;
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("user-agent:"))
                agent = line.mid(11).trimmed();
        }
        UserAgents << agent;

        const TestResponse r = FRoutes.value(path, TestResponse::NotFound());
        if (r.How == TestResponse::Mode::Silent)
            return;
        QByteArray out = "HTTP/1.1 " + QByteArray::number(r.Status) + ' ' + r.Reason + "\r\n";
        for (const auto& h : r.Headers)
            out += h.first + ": " + h.second + "\r\n";
        if (r.How == TestResponse::Mode::Chunked) {
            socket->write(out + "Transfer-Encoding: chunked\r\n\r\n");
            SendChunks(socket, r.Cut ? r.Body.left(r.HoldAfter) : r.Body, r.Cut);
            return;
        }
        if (r.How == TestResponse::Mode::Unframed) {
            socket->write(out + "\r\n" + r.Body);
            CutWhenSent(socket);
            return;
        }
        out += "Content-Length: " + QByteArray::number(r.Body.size()) + "\r\n\r\n";
        if (r.How == TestResponse::Mode::Partial) {
            socket->write(out + r.Body.left(r.HoldAfter));
            if (r.Cut)
                CutWhenSent(socket);
            return;
        }
        socket->write(out + r.Body);
    }

    // A piece every few milliseconds, so that the client sees several
    // progress calls, then the closing empty chunk.
    void SendChunks(QTcpSocket* socket, QByteArray rest, bool cut = false)
    {
        QPointer<QTcpSocket> s(socket);
        if (!s)
            return;
        // Pieces shrink towards 300 bytes, so a large body is not sent 300
        // bytes at a time.
        const QByteArray piece = rest.left(std::max<qsizetype>(300, rest.size() / 8));
        rest.remove(0, piece.size());
        if (piece.isEmpty()) {
            if (cut)
                CutWhenSent(s);
            else
                s->write("0\r\n\r\n");
            return;
        }
        s->write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
        QTimer::singleShot(10, s, [this, s, rest, cut] {
            if (s)
                SendChunks(s, rest, cut);
        });
    }

    // Closes the TCP connection once everything written is out, without the
    // TLS close_notify that disconnectFromHost would send first.
    static void CutWhenSent(QTcpSocket* socket)
    {
        QPointer<QTcpSocket> s(socket);
        QTimer::singleShot(20, s, [s] {
            if (!s)
                return;
            auto* tls = qobject_cast<QSslSocket*>(s.data());
            if (s->bytesToWrite() > 0 || (tls && tls->encryptedBytesToWrite() > 0))
                CutWhenSent(s);
            else
                s->abort();
        });
    }

    std::unique_ptr<QTcpServer> FServer;
    QString FScheme;
    QHash<QByteArray, TestResponse> FRoutes;
    QList<QPointer<QTcpSocket>> FSockets;
};
