#pragma once
// A small HTTP/1.1 server on 127.0.0.1 (or ::1) for the update tests, over TLS
// with a certificate made at run time, or plain. It runs on threads of its
// own (one per connection), so the code under test may block the test's
// thread while it waits for an answer.
//
// TLS is OpenSSL's, driven directly, so that a test can end a connection in
// each of the ways that matter to a client: with close_notify, with
// close_notify and then silence, by a TCP close without close_notify (as a
// forged FIN on the path would end it), or by a reset.
//
// Header only: only the tests that link the update code (and OpenSSL::SSL)
// include it.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QProcess>
#include <QTemporaryDir>
#include <QtGlobal>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// A CA and a server certificate for 127.0.0.1, ::1 and localhost signed by
// it, made with the openssl command, as PEM files in a folder that lives as
// long as any copy. Only a client given CaFile trusts the server.
struct TestCertificates {
    std::shared_ptr<QTemporaryDir> Dir;
    QByteArray CaFile;
    QByteArray LeafFile;
    QByteArray KeyFile;

    // Ends the test program when the certificates cannot be made: every TLS
    // test would only report nonsense without them.
    static TestCertificates Make()
    {
        auto dir = std::make_shared<QTemporaryDir>();
        if (!dir->isValid())
            qFatal("no temporary folder for the test certificates");
        const QString d = dir->path() + QLatin1Char('/');
        auto run = [&](const QStringList& args) {
            QProcess p;
            p.setWorkingDirectory(dir->path());
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
            ext.write("subjectAltName=IP:127.0.0.1,IP:::1,DNS:localhost\nbasicConstraints=CA:FALSE\n"
                      "extendedKeyUsage=serverAuth\n");
        }
        run({ QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), d + QStringLiteral("leaf.csr"),
            QStringLiteral("-CA"), d + QStringLiteral("ca.pem"), QStringLiteral("-CAkey"), d + QStringLiteral("ca.key"),
            QStringLiteral("-CAcreateserial"), QStringLiteral("-out"), d + QStringLiteral("leaf.pem"),
            QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"), d + QStringLiteral("leaf.ext") });

        TestCertificates c;
        c.Dir = dir;
        c.CaFile = QFile::encodeName(d + QStringLiteral("ca.pem"));
        c.LeafFile = QFile::encodeName(d + QStringLiteral("leaf.pem"));
        c.KeyFile = QFile::encodeName(d + QStringLiteral("leaf.key"));
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
        Unframed, // no Content-Length (Headers may add a bogus one), the body, then the End (Cut unless set)
        Raw,      // Body is the whole answer, sent as it stands
    };
    // How the connection ends once the answer is out.
    enum class End {
        Keep,        // open for the next request (Partial, Raw: held silent)
        Cut,         // TCP closed without close_notify
        Reset,       // TCP reset (RST) without close_notify
        CloseNotify, // close_notify, then the TCP close
        CloseNotifyThenSilence, // close_notify, and the TCP connection held open
    };
    int Status = 200;
    QByteArray Reason = "OK";
    QByteArray Body;
    QList<QPair<QByteArray, QByteArray>> Headers;
    Mode How = Mode::Whole;
    qsizetype HoldAfter = 0;
    // Partial and Chunked: once HoldAfter bytes of the body are out, the
    // connection is cut (End::Cut) instead of held open.
    bool Cut = false;
    End Ending = End::Keep;
    // Chunked: one chunk of this many bytes after another, sent at once (0:
    // pieces shrinking towards 300 bytes, 10 ms apart).
    qsizetype ChunkSize = 0;
    // Chunked: written after the size of every chunk (";name=value").
    QByteArray ChunkExtension {};
    // Whole: the body a byte at a time, this many milliseconds apart.
    int TrickleMs = 0;

    static TestResponse Ok(const QByteArray& body) { return TestResponse { 200, "OK", body, {}, Mode::Whole, 0 }; }
    static TestResponse NotFound() { return TestResponse { 404, "Not Found", "no such page", {}, Mode::Whole, 0 }; }
    static TestResponse Redirect(const QByteArray& location)
    {
        return TestResponse { 302, "Found", "moved", { { "Location", location } }, Mode::Whole, 0 };
    }
    static TestResponse RawAnswer(const QByteArray& bytes, End ending = End::Keep)
    {
        TestResponse r { 200, "OK", bytes, {}, Mode::Raw, 0 };
        r.Ending = ending;
        return r;
    }
};

class TestHttpServer {
public:
    // With certificates the server speaks TLS, otherwise plain HTTP; it
    // listens on 127.0.0.1, or on ::1 with ipv6.
    explicit TestHttpServer(const TestCertificates* tls = nullptr, bool ipv6 = false)
        : FIpv6(ipv6)
    {
        // A client that goes away mid-answer must not end the test program.
        std::signal(SIGPIPE, SIG_IGN);
        if (tls) {
            FCtx = SSL_CTX_new(TLS_server_method());
            if (!FCtx || SSL_CTX_use_certificate_file(FCtx, tls->LeafFile.constData(), SSL_FILETYPE_PEM) != 1
                || SSL_CTX_use_PrivateKey_file(FCtx, tls->KeyFile.constData(), SSL_FILETYPE_PEM) != 1)
                qFatal("the test server's certificate does not load");
        }
        FListen = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(FListen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        int bound = -1;
        if (ipv6) {
            sockaddr_in6 a {};
            a.sin6_family = AF_INET6;
            a.sin6_addr = in6addr_loopback;
            bound = ::bind(FListen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        } else {
            sockaddr_in a {};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            bound = ::bind(FListen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        }
        if (FListen < 0 || bound != 0 || ::listen(FListen, 16) != 0)
            qFatal("the test server cannot listen");
        sockaddr_storage a {};
        socklen_t len = sizeof a;
        ::getsockname(FListen, reinterpret_cast<sockaddr*>(&a), &len);
        FPort = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&a)->sin6_port : reinterpret_cast<sockaddr_in*>(&a)->sin_port);
        FAcceptor = std::thread([this] { AcceptLoop(); });
    }

    ~TestHttpServer()
    {
        {
            std::lock_guard lock(FMutex);
            FStop = true;
            for (int fd : FOpen)
                ::shutdown(fd, SHUT_RDWR);
        }
        FWake.notify_all();
        FAcceptor.join();
        for (std::thread& t : FWorkers)
            t.join();
        ::close(FListen);
        if (FCtx)
            SSL_CTX_free(FCtx);
    }

    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    // "https://127.0.0.1:port" (or http, or [::1]), no trailing "/".
    QString Origin() const
    {
        return QLatin1String(FCtx ? "https" : "http") + QLatin1String(FIpv6 ? "://[::1]:" : "://127.0.0.1:")
            + QString::number(FPort);
    }
    quint16 Port() const { return FPort; }

    // A port on 127.0.0.1 where nothing listens.
    static quint16 UnusedPort()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        ::close(fd);
        return ntohs(a.sin_port);
    }

    // Before the client asks.
    void Route(const QByteArray& path, const TestResponse& response)
    {
        std::lock_guard lock(FMutex);
        FRoutes.insert(path, response);
    }

    // What the server was asked, one entry per request, in order: the path,
    // the User-Agent, the HTTP version of the request line ("HTTP/1.1"),
    // the Host header and the whole request head.
    QList<QByteArray> Paths() const { return Read(&TestHttpServer::FPaths); }
    QList<QByteArray> UserAgents() const { return Read(&TestHttpServer::FUserAgents); }
    QList<QByteArray> Versions() const { return Read(&TestHttpServer::FVersions); }
    QList<QByteArray> Hosts() const { return Read(&TestHttpServer::FHosts); }
    QList<QByteArray> Heads() const { return Read(&TestHttpServer::FHeads); }
    // TCP connections accepted (TLS ones after their handshake).
    int Connections() const
    {
        std::lock_guard lock(FMutex);
        return FConnections;
    }

private:
    // One accepted connection, plain or TLS.
    struct Conn {
        int Fd = -1;
        SSL* Tls = nullptr;

        qsizetype Read(char* buf, int n)
        {
            if (Tls)
                return SSL_read(Tls, buf, n);
            return ::recv(Fd, buf, size_t(n), 0);
        }
        bool Write(const QByteArray& bytes)
        {
            const char* p = bytes.constData();
            qsizetype left = bytes.size();
            while (left > 0) {
                const int chunk = int(std::min<qsizetype>(left, 1 << 20));
                const qsizetype n = Tls ? SSL_write(Tls, p, chunk) : ::send(Fd, p, size_t(chunk), MSG_NOSIGNAL);
                if (n <= 0)
                    return false;
                p += n;
                left -= n;
            }
            return true;
        }
    };

    QList<QByteArray> Read(QList<QByteArray> TestHttpServer::*list) const
    {
        std::lock_guard lock(FMutex);
        return this->*list;
    }

    // Waits ms milliseconds, or until the server stops (then false). A
    // negative ms waits for the stop alone.
    bool Pause(int ms)
    {
        std::unique_lock lock(FMutex);
        if (ms < 0) {
            FWake.wait(lock, [this] { return FStop; });
            return false;
        }
        return !FWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return FStop; });
    }

    void AcceptLoop()
    {
        for (;;) {
            {
                std::lock_guard lock(FMutex);
                if (FStop)
                    return;
            }
            pollfd p { FListen, POLLIN, 0 };
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const int fd = ::accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            std::lock_guard lock(FMutex);
            if (FStop) {
                ::close(fd);
                return;
            }
            FOpen.push_back(fd);
            FWorkers.emplace_back([this, fd] { Serve(fd); });
        }
    }

    void Serve(int fd)
    {
        Conn c { fd, nullptr };
        bool closed = false;
        if (FCtx) {
            c.Tls = SSL_new(FCtx);
            SSL_set_fd(c.Tls, fd);
            if (SSL_accept(c.Tls) != 1)
                closed = true;
        }
        if (!closed) {
            std::lock_guard lock(FMutex);
            ++FConnections;
        }
        QByteArray buffer;
        while (!closed) {
            const qsizetype end = buffer.indexOf("\r\n\r\n");
            if (end < 0) {
                char chunk[16384];
                const qsizetype n = c.Read(chunk, int(sizeof chunk));
                if (n <= 0 || buffer.size() > (1 << 20))
                    break;
                buffer.append(chunk, n);
                continue;
            }
            const QByteArray head = buffer.left(end);
            buffer.remove(0, end + 4);
            const std::optional<TestResponse::End> ending = Answer(c, head);
            if (!ending)
                break; // the client went away
            if (*ending == TestResponse::End::Keep)
                continue;
            Finish(c, *ending);
            closed = true;
        }
        {
            std::lock_guard lock(FMutex);
            FOpen.erase(std::remove(FOpen.begin(), FOpen.end(), fd), FOpen.end());
        }
        if (c.Tls)
            SSL_free(c.Tls);
        ::close(fd);
    }

    // Ends the connection as asked; the descriptor is closed by Serve.
    void Finish(Conn& c, TestResponse::End ending)
    {
        using E = TestResponse::End;
        switch (ending) {
        case E::Keep:
            break;
        case E::Cut:
            ::shutdown(c.Fd, SHUT_WR); // a FIN, nothing of TLS
            break;
        case E::Reset: {
            const linger l { 1, 0 };
            ::setsockopt(c.Fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
            break; // the close that follows sends RST
        }
        case E::CloseNotify:
            if (c.Tls)
                SSL_shutdown(c.Tls);
            ::shutdown(c.Fd, SHUT_WR);
            break;
        case E::CloseNotifyThenSilence:
            if (c.Tls)
                SSL_shutdown(c.Tls);
            Pause(-1);
            break;
        }
    }

    // Answers one request; the way the connection then ends, or nothing
    // when the client has gone.
    std::optional<TestResponse::End> Answer(Conn& c, const QByteArray& head)
    {
        using M = TestResponse::Mode;
        using E = TestResponse::End;
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> request = lines.value(0).trimmed().split(' ');
        const QByteArray path = request.value(1);
        QByteArray agent, host;
        for (const QByteArray& line : lines) {
            const QByteArray lower = line.toLower();
            if (lower.startsWith("user-agent:"))
                agent = line.mid(11).trimmed();
            else if (lower.startsWith("host:"))
                host = line.mid(5).trimmed();
        }
        TestResponse r;
        {
            std::lock_guard lock(FMutex);
            FPaths << path;
            FVersions << request.value(2);
            FUserAgents << agent;
            FHosts << host;
            FHeads << head;
            r = FRoutes.value(path, TestResponse::NotFound());
        }
        if (r.How == M::Silent) {
            Pause(-1);
            return std::nullopt;
        }
        if (r.How == M::Raw)
            return c.Write(r.Body) ? std::optional(r.Ending) : std::nullopt;

        QByteArray out = "HTTP/1.1 " + QByteArray::number(r.Status) + ' ' + r.Reason + "\r\n";
        for (const auto& h : r.Headers)
            out += h.first + ": " + h.second + "\r\n";
        if (r.How == M::Chunked) {
            if (!c.Write(out + "Transfer-Encoding: chunked\r\n\r\n"))
                return std::nullopt;
            QByteArray rest = r.Cut ? r.Body.left(r.HoldAfter) : r.Body;
            while (!rest.isEmpty()) {
                const qsizetype size = r.ChunkSize > 0 ? r.ChunkSize : std::max<qsizetype>(300, rest.size() / 8);
                const QByteArray piece = rest.left(size);
                rest.remove(0, piece.size());
                if (!c.Write(QByteArray::number(piece.size(), 16) + r.ChunkExtension + "\r\n" + piece + "\r\n"))
                    return std::nullopt;
                // Apart, so that the client sees several progress calls.
                if (r.ChunkSize == 0 && !rest.isEmpty() && !Pause(10))
                    return std::nullopt;
            }
            if (r.Cut)
                return E::Cut;
            if (!c.Write("0\r\n\r\n"))
                return std::nullopt;
            return r.Ending;
        }
        if (r.How == M::Unframed) {
            if (!c.Write(out + "\r\n" + r.Body))
                return std::nullopt;
            return r.Ending == E::Keep ? E::Cut : r.Ending;
        }
        out += "Content-Length: " + QByteArray::number(r.Body.size()) + "\r\n\r\n";
        if (r.How == M::Partial) {
            if (!c.Write(out + r.Body.left(r.HoldAfter)))
                return std::nullopt;
            if (r.Cut)
                return E::Cut;
            if (r.Ending == E::Keep) {
                Pause(-1); // held: the rest never comes
                return std::nullopt;
            }
            return r.Ending;
        }
        if (r.TrickleMs > 0) {
            if (!c.Write(out))
                return std::nullopt;
            for (char b : r.Body) {
                if (!Pause(r.TrickleMs) || !c.Write(QByteArray(1, b)))
                    return std::nullopt;
            }
            return r.Ending;
        }
        if (!c.Write(out + r.Body))
            return std::nullopt;
        return r.Ending;
    }

    bool FIpv6 = false;
    SSL_CTX* FCtx = nullptr;
    int FListen = -1;
    quint16 FPort = 0;
    std::thread FAcceptor;
    std::vector<std::thread> FWorkers;

    mutable std::mutex FMutex; // guards everything below
    std::condition_variable FWake;
    bool FStop = false;
    std::vector<int> FOpen;
    QHash<QByteArray, TestResponse> FRoutes;
    QList<QByteArray> FPaths;
    QList<QByteArray> FUserAgents;
    QList<QByteArray> FVersions;
    QList<QByteArray> FHosts;
    QList<QByteArray> FHeads;
    int FConnections = 0;
};
