// The version check against a real HTTPS server on 127.0.0.1 whose
// certificate only this test trusts.

#include "i18n/translation.h"
#include "support/TestHttpServer.h"
#include "update/VersionDocuments.h"
#include "update/uNewVersionCheck.h"

#include <QElapsedTimer>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
const QByteArray VersionPath = "/download/version/twinlens-version.html";
const QByteArray ChangesPath = "/download/version/twinlens-changes.html";
const QByteArray UserAgent = "Mozilla/4.0 (compatible; MyApp)";
const QString OptionalHead = QStringLiteral("The new version %1 is available");
const QString ForcedHead = QStringLiteral("This version of the software is out of date. You must download the "
                                          "current version %1 to continue using the software.");

QString Message(const QString& head, const QStringList& changes)
{
    QString m = head + QStringLiteral("\r\n\r\nWhat's new:\r\n");
    for (const QString& line : changes)
        m += line + QStringLiteral("\r\n");
    return m;
}
} // namespace
Q_DECLARE_METATYPE(TestResponse)

class TestUpdateCheck : public QObject {
    Q_OBJECT

private:
    TestCertificates FCerts;
    TUpdateSettings FDefaults;

    bool RunCheck(TestHttpServer& server)
    {
        UpdateSettings.Server = server.Origin();
        return CheckForNewVersion();
    }

private slots:
    void initTestCase()
    {
        FCerts = TestCertificates::Make();
        FDefaults = UpdateSettings;
    }

    void init()
    {
        UpdateSettings = FDefaults;
        UpdateSettings.CaFile = FCerts.CaFile;
        UpdateForced = false;
        NewVersionMessage.clear();
        InstallTranslationTable({});
        CurrentLanguageIndex = 0;
    }

    void defaultsAreTheBuildsServerOverHttps()
    {
        QCOMPARE(FDefaults.Server, QStringLiteral(TWINLENS_UPDATE_SERVER));
        QVERIFY(FDefaults.Server.startsWith(QLatin1String("https://")));
        QCOMPARE(FDefaults.ReadTimeoutMs, 10000);
        QVERIFY(FDefaults.CaFile.isEmpty());
    }

    void documents_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QByteArray>("changes");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("forced");
        QTest::addColumn<QString>("head");
        QTest::addColumn<QStringList>("lines");

        const QByteArray log = "Faster scans\r\nFewer bugs\r\n";
        const QStringList logLines { "Faster scans", "Fewer bugs" };
        QTest::newRow("24/20 optional") << QByteArray("24/20\r\n") << log << true << false << OptionalHead.arg("2.4") << logLines;
        QTest::newRow("24/24 forced") << QByteArray("24/24\r\n") << log << true << true << ForcedHead.arg("2.4") << logLines;
        QTest::newRow("forced ignores latest") << QByteArray("20/24") << log << true << true << ForcedHead.arg("2.0") << logLines;
        QTest::newRow("23/23 none") << QByteArray("23/23\r\n") << log << false << false << QString() << QStringList();
        QTest::newRow("20/10 none") << QByteArray("20/10") << log << false << false << QString() << QStringList();
        QTest::newRow("only the first line counts") << QByteArray("20/10\n30/30\n") << log << false << false << QString() << QStringList();
        QTest::newRow("100 shows 10.0") << QByteArray("100/5") << log << true << false << OptionalHead.arg("10.0") << logLines;
        QTest::newRow("5 shows .5") << QByteArray("5/24") << log << true << true << ForcedHead.arg(".5") << logLines;
        QTest::newRow("blanks and signs before the digits") << QByteArray(" 24/ +20") << log << true << false
                                                            << OptionalHead.arg(" 2.4") << logLines;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF" "24/20\r\n") << QByteArray("\xEF\xBB\xBF" "Faster scans\r\nFewer bugs")
                                         << true << false << OptionalHead.arg("2.4") << logLines;
        QTest::newRow("empty lines dropped, blank lines kept")
            << QByteArray("30/5") << QByteArray("one\r\n\r\nthree\r\n  \r\n\r\n\r\n") << true << false
            << OptionalHead.arg("3.0") << QStringList { "one", "three", "  " };
        QTest::newRow("CR, LF and CR LF breaks") << QByteArray("24/20\rnoise") << QByteArray("a\rb\nc\r\nd")
                                                 << true << false << OptionalHead.arg("2.4") << QStringList { "a", "b", "c", "d" };
        QTest::newRow("UTF-8 change log") << QByteArray("24/20") << QByteArray("Schneller \xC3\xBC" "berall\n")
                                          << true << false << OptionalHead.arg("2.4") << QStringList { QString::fromUtf8("Schneller \xC3\xBC" "berall") };
        QTest::newRow("empty change log") << QByteArray("24/20") << QByteArray() << true << false << OptionalHead.arg("2.4") << QStringList();

        const auto malformed = [](const char* name, const QByteArray& version) {
            QTest::newRow(name) << version << QByteArray("x\n") << false << false << QString() << QStringList();
        };
        malformed("no slash", "24");
        malformed("point in a number", "2.4/20");
        malformed("blank after a number", "24/20 ");
        malformed("blank after the first number", "24 /20");
        malformed("empty latest", "/20");
        malformed("empty minimum", "24/");
        malformed("sign without digits", "-/20");
        malformed("beyond the integer range", "99999999999/1");
        malformed("empty version document", "");
        malformed("empty first line", "\r\n24/20");
    }

    void documents()
    {
        QFETCH(QByteArray, version);
        QFETCH(QByteArray, changes);
        QFETCH(bool, result);
        QFETCH(bool, forced);
        QFETCH(QString, head);
        QFETCH(QStringList, lines);

        TestHttpServer server(&FCerts);
        server.Route(VersionPath, TestResponse::Ok(version));
        server.Route(ChangesPath, TestResponse::Ok(changes));

        QCOMPARE(RunCheck(server), result);
        QCOMPARE(UpdateForced, forced);
        QCOMPARE(NewVersionMessage, result ? Message(head, lines) : QString());
        // Both documents, always, as HTTP/1.1 with the program's agent.
        QCOMPARE(server.Paths(), (QList<QByteArray> { VersionPath, ChangesPath }));
        QCOMPARE(server.UserAgents(), (QList<QByteArray> { UserAgent, UserAgent }));
        QCOMPARE(server.Versions(), (QList<QByteArray> { "HTTP/1.1", "HTTP/1.1" }));
        // Nothing asks for compression.
        for (const QByteArray& head : server.Heads())
            QVERIFY2(!head.toLower().contains("accept-encoding"), head.constData());
    }

    // An IPv6 literal goes into the Host header in brackets.
    void ipv6Server()
    {
        const int probe = ::socket(AF_INET6, SOCK_STREAM, 0);
        sockaddr_in6 a {};
        a.sin6_family = AF_INET6;
        a.sin6_addr = in6addr_loopback;
        const bool hasIpv6 = probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        if (probe >= 0)
            ::close(probe);
        if (!hasIpv6)
            QSKIP("no IPv6 loopback here");
        TestHttpServer server(&FCerts, true);
        server.Route(VersionPath, TestResponse::Ok("24/20"));
        server.Route(ChangesPath, TestResponse::Ok("new"));
        QVERIFY(RunCheck(server));
        const QByteArray host = "[::1]:" + QByteArray::number(server.Port());
        QCOMPARE(server.Hosts(), (QList<QByteArray> { host, host }));
    }

    void textsAreTranslatedBeforeFilling()
    {
        InstallTranslationTable({
            { "English", "en", "The new version %s is available", "What's new:" },
            { "Deutsch", "de", "Version %s ist da", "Neu:" },
        });
        CurrentLanguageIndex = 1;
        TestHttpServer server(&FCerts);
        server.Route(VersionPath, TestResponse::Ok("24/20"));
        server.Route(ChangesPath, TestResponse::Ok("Eins"));
        QVERIFY(RunCheck(server));
        QCOMPARE(NewVersionMessage, QStringLiteral("Version 2.4 ist da\r\n\r\nNeu:\r\nEins\r\n"));
    }

    void failuresGiveFalse_data()
    {
        QTest::addColumn<QByteArray>("versionAnswer"); // "404", "redirect:N", "http-redirect", "ok"
        QTest::addColumn<QByteArray>("changesAnswer");
        QTest::addColumn<bool>("result");

        QTest::newRow("404 for the version document") << QByteArray("404") << QByteArray("ok") << false;
        QTest::newRow("404 for the change log") << QByteArray("ok") << QByteArray("404") << false;
        QTest::newRow("500 for the change log") << QByteArray("ok") << QByteArray("500") << false;
        QTest::newRow("10 redirects are followed") << QByteArray("redirect:10") << QByteArray("ok") << true;
        QTest::newRow("11 redirects are too many") << QByteArray("redirect:11") << QByteArray("ok") << false;
        QTest::newRow("redirect to plain HTTP refused") << QByteArray("http-redirect") << QByteArray("ok") << false;
        QTest::newRow("change log redirected to plain HTTP") << QByteArray("ok") << QByteArray("http-redirect") << false;
    }

    void failuresGiveFalse()
    {
        QFETCH(QByteArray, versionAnswer);
        QFETCH(QByteArray, changesAnswer);
        QFETCH(bool, result);

        TestHttpServer server(&FCerts);
        TestHttpServer plain; // serves the same documents without TLS
        plain.Route(VersionPath, TestResponse::Ok("24/20"));
        plain.Route(ChangesPath, TestResponse::Ok("plain"));
        const auto answer = [&](const QByteArray& path, const QByteArray& how, const QByteArray& body) {
            if (how == "ok") {
                server.Route(path, TestResponse::Ok(body));
            } else if (how == "404") {
                server.Route(path, TestResponse::NotFound());
            } else if (how == "500") {
                server.Route(path, TestResponse { 500, "Internal Server Error", "oops", {}, TestResponse::Mode::Whole, 0 });
            } else if (how == "http-redirect") {
                server.Route(path, TestResponse::Redirect(plain.Origin().toUtf8() + path));
            } else if (how.startsWith("redirect:")) {
                const int n = how.mid(9).toInt();
                const auto hop = [](int k) { return "/hop/" + QByteArray::number(k); };
                server.Route(path, TestResponse::Redirect(hop(1)));
                for (int k = 1; k < n; ++k)
                    server.Route(hop(k), TestResponse::Redirect(hop(k + 1)));
                server.Route(hop(n), TestResponse::Ok(body));
            }
        };
        answer(VersionPath, versionAnswer, "24/20");
        answer(ChangesPath, changesAnswer, "new");

        QElapsedTimer t;
        t.start();
        QCOMPARE(RunCheck(server), result);
        qInfo("%lld ms", t.elapsed());
        QVERIFY2(t.elapsed() < 2 * UpdateSettings.RequestBoundMs, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(UpdateForced, false);
        QCOMPARE(NewVersionMessage, result ? Message(OptionalHead.arg("2.4"), { "new" }) : QString());
        QCOMPARE(plain.Paths(), QList<QByteArray>());
    }

    void refusesWhatIsNotVerifiedHttps()
    {
        // A server whose certificate no system authority signed.
        {
            TestHttpServer server(&FCerts);
            server.Route(VersionPath, TestResponse::Ok("24/24"));
            server.Route(ChangesPath, TestResponse::Ok("new"));
            UpdateSettings.CaFile.clear();
            QVERIFY(!RunCheck(server));
            QCOMPARE(server.Paths(), QList<QByteArray>());
        }
        // A server address that is not https is never asked.
        {
            TestHttpServer plain;
            plain.Route(VersionPath, TestResponse::Ok("24/24"));
            plain.Route(ChangesPath, TestResponse::Ok("new"));
            QVERIFY(!RunCheck(plain));
            QCOMPARE(plain.Connections(), 0);
        }
        QCOMPARE(UpdateForced, false);
        QCOMPARE(NewVersionMessage, QString());
    }

    void waitsAreBounded()
    {
        // A server that takes the request and then says nothing: the read
        // time-out ends the wait.
        {
            TestHttpServer server(&FCerts);
            server.Route(VersionPath, TestResponse { 200, "OK", {}, {}, TestResponse::Mode::Silent, 0 });
            UpdateSettings.ReadTimeoutMs = 300;
            QElapsedTimer t;
            t.start();
            QVERIFY(!RunCheck(server));
            QCOMPARE(server.Paths(), (QList<QByteArray> { VersionPath }));
            QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        }
        // A server that answers the change log with half its body, then stalls.
        {
            TestHttpServer server(&FCerts);
            server.Route(VersionPath, TestResponse::Ok("24/20"));
            server.Route(ChangesPath, TestResponse { 200, "OK", QByteArray(100, 'x'), {}, TestResponse::Mode::Partial, 50 });
            UpdateSettings.ReadTimeoutMs = 300;
            QElapsedTimer t;
            t.start();
            QVERIFY(!RunCheck(server));
            QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        }
        // A peer that accepts the connection but never completes the TLS
        // handshake: the bound on the whole request ends it.
        {
            UpdateSettings = FDefaults;
            UpdateSettings.CaFile = FCerts.CaFile;
            UpdateSettings.RequestBoundMs = 400;
            TestHttpServer mute; // plain TCP: a TLS hello gets no answer
            UpdateSettings.Server = QStringLiteral("https://127.0.0.1:") + QString::number(mute.Port());
            QElapsedTimer t;
            t.start();
            QVERIFY(!CheckForNewVersion());
            QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        }
        QCOMPARE(NewVersionMessage, QString());
    }

    // Documents over the cap are refused however they are sent; one at the
    // cap is read.
    void documentCap_data()
    {
        QTest::addColumn<int>("how"); // TestResponse::Mode
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("result");
        const int cap = 1 << 20;
        for (const auto& [name, how] : { std::pair { "declared length", TestResponse::Mode::Whole },
                 std::pair { "chunked", TestResponse::Mode::Chunked },
                 std::pair { "no length, close_notify", TestResponse::Mode::Unframed } }) {
            QTest::addRow("%s, 1 MiB", name) << int(how) << cap << true;
            QTest::addRow("%s, 1 MiB + 1", name) << int(how) << cap + 1 << false;
            QTest::addRow("%s, 2 MiB", name) << int(how) << 2 * cap << false;
        }
    }

    void documentCap()
    {
        QFETCH(int, how);
        QFETCH(int, size);
        QFETCH(bool, result);
        TestHttpServer server(&FCerts);
        server.Route(VersionPath, TestResponse::Ok("24/20"));
        QByteArray changes = "first\n" + QByteArray(size - 11, 'x') + "\nlast";
        TestResponse r { 200, "OK", changes, {}, TestResponse::Mode(how), 0 };
        r.Ending = TestResponse::End::CloseNotify; // the end of a body framed by nothing
        server.Route(ChangesPath, r);
        QCOMPARE(RunCheck(server), result);
        if (result)
            QCOMPARE(NewVersionMessage, Message(OptionalHead.arg("2.4"), { "first", QString(500, u'x'), "last" }));
    }

    // The headers of an answer count too: a server cannot make the check
    // hold an arbitrarily long header line.
    void headersAreBounded_data()
    {
        QTest::addColumn<int>("headerBytes");
        QTest::addColumn<bool>("result");
        QTest::newRow("32 KiB of headers") << 32 * 1024 << true;
        QTest::newRow("a header line over 64 KiB") << 64 * 1024 << false;
        QTest::newRow("a header line of 64 MiB") << 64 * 1024 * 1024 << false;
    }

    void headersAreBounded()
    {
        QFETCH(int, headerBytes);
        QFETCH(bool, result);
        TestHttpServer server(&FCerts);
        TestResponse version = TestResponse::Ok("24/20");
        version.Headers << qMakePair(QByteArray("X-Padding"), QByteArray(headerBytes, 'a'));
        server.Route(VersionPath, version);
        server.Route(ChangesPath, TestResponse::Ok("new"));
        QElapsedTimer t;
        t.start();
        QCOMPARE(RunCheck(server), result);
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
    }

    // How the framing of an answer and the way its connection ends decide
    // whether the version document counts, against the real server: only a
    // body whose end was declared and met, or that ended with close_notify,
    // is read. Each case ends well within the check's own bounds.
    void answerFraming_data()
    {
        QTest::addColumn<TestResponse>("answer");
        QTest::addColumn<bool>("result");
        using E = TestResponse::End;
        const auto raw = [](const QByteArray& bytes, E end = E::Keep) { return TestResponse::RawAnswer(bytes, end); };
        const QByteArray ok = "HTTP/1.1 200 OK\r\n";
        const QByteArray chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
        QTest::newRow("Content-Length") << raw(ok + "Content-Length: 5\r\n\r\n24/20") << true;
        QTest::newRow("Content-Length, then a TCP close") << raw(ok + "Content-Length: 5\r\n\r\n24/20", E::Cut) << true;
        QTest::newRow("Content-Length, cut by a TCP close") << raw(ok + "Content-Length: 6\r\n\r\n24/20", E::Cut) << false;
        QTest::newRow("Content-Length, cut by a reset") << raw(ok + "Content-Length: 6\r\n\r\n24/20", E::Reset) << false;
        QTest::newRow("Content-Length, cut by close_notify")
            << raw(ok + "Content-Length: 6\r\n\r\n24/20", E::CloseNotify) << false;
        QTest::newRow("Content-Length, close_notify then silence")
            << raw(ok + "Content-Length: 6\r\n\r\n24/20", E::CloseNotifyThenSilence) << false;
        QTest::newRow("two Content-Lengths") << raw(ok + "Content-Length: 5\r\nContent-Length: 5\r\n\r\n24/20", E::CloseNotify) << false;
        QTest::newRow("Content-Length -1, TCP close") << raw(ok + "Content-Length: -1\r\n\r\n24/20", E::Cut) << false;
        QTest::newRow("no length, TCP close without close_notify") << raw(ok + "\r\n24/20", E::Cut) << false;
        QTest::newRow("no length, reset") << raw(ok + "\r\n24/20", E::Reset) << false;
        QTest::newRow("no length, close_notify") << raw(ok + "\r\n24/20", E::CloseNotify) << true;
        QTest::newRow("no length, close_notify then silence") << raw(ok + "\r\n24/20", E::CloseNotifyThenSilence) << true;
        QTest::newRow("no length, cut to 24/2") << raw(ok + "\r\n24/2", E::Cut) << false;
        QTest::newRow("until the close, after an interim answer")
            << raw("HTTP/1.1 100 Continue\r\n\r\n" + ok + "\r\n24/20", E::CloseNotify) << true;
        QTest::newRow("chunked with extension and trailer")
            << raw(chunked + "3;a=b\r\n24/\r\n2\r\n20\r\n0\r\nX: y\r\n\r\n") << true;
        QTest::newRow("chunked without its closing chunk, TCP close") << raw(chunked + "3\r\n24/\r\n2\r\n20\r\n", E::Cut) << false;
        QTest::newRow("chunked without its closing chunk, close_notify")
            << raw(chunked + "3\r\n24/\r\n2\r\n20\r\n", E::CloseNotify) << false;
        QTest::newRow("a negative chunk size") << raw(chunked + "-5\r\n24/20\r\n0\r\n\r\n", E::CloseNotify) << false;
        QTest::newRow("chunk size 0x5") << raw(chunked + "0x5\r\n24/20\r\n0\r\n\r\n", E::CloseNotify) << false;
        QTest::newRow("chunk size with blanks") << raw(chunked + " 5 \r\n24/20\r\n0\r\n\r\n", E::CloseNotify) << false;
        QTest::newRow("chunk size that overflows")
            << raw(chunked + "10000000000000005\r\n24/20\r\n0\r\n\r\n", E::CloseNotify) << false;
        QTest::newRow("not HTTP") << raw("SSH-2.0-OpenSSH\r\n\r\n", E::CloseNotify) << false;

        // A full-size chunk whose size line carries a 5,000-byte extension.
        TestResponse big { 200, "OK", "24/20\n" + QByteArray((1 << 20) - 6, 'x'), {}, TestResponse::Mode::Chunked, 0 };
        big.ChunkSize = 1 << 20;
        big.ChunkExtension = ";" + QByteArray(4999, 'e');
        QTest::newRow("a 1 MiB chunk with a 5,000-byte extension") << big << true;
        // A body trickled in below the low-speed bound, and one above it
        // that outlasts the bound on the whole request.
        TestResponse slow = TestResponse::Ok("24/20 and some more text");
        slow.TrickleMs = 1500;
        QTest::newRow("trickle below a byte a second") << slow << false;
        slow.TrickleMs = 200;
        QTest::newRow("trickle that outlasts the request bound") << slow << false;
    }

    void answerFraming()
    {
        QFETCH(TestResponse, answer);
        QFETCH(bool, result);
        TestHttpServer server(&FCerts);
        server.Route(VersionPath, answer);
        server.Route(ChangesPath, TestResponse::Ok("new"));
        UpdateSettings.ReadTimeoutMs = 1000;
        UpdateSettings.RequestBoundMs = 3000;
        QElapsedTimer t;
        t.start();
        QCOMPARE(RunCheck(server), result);
        const qint64 ms = t.elapsed();
        qInfo("%s: %s in %lld ms", QTest::currentDataTag(), result ? "read" : "refused", ms);
        // Within the bound on one document, however the answer ends.
        QVERIFY2(ms < UpdateSettings.RequestBoundMs + 1000, qPrintable(QString::number(ms)));
        if (result)
            QCOMPARE(NewVersionMessage, Message(OptionalHead.arg("2.4"), { "new" }));
    }

    // Empty lines go in one pass; what a dialog cannot show is not kept.
    void changeLogIsBounded_data()
    {
        QTest::addColumn<QByteArray>("changes");
        QTest::addColumn<QStringList>("lines");
        const QByteArray empties(1024 * 1024 - 12, '\n');
        QTest::newRow("1 MiB of empty lines") << "first\n" + empties + "last\n" << QStringList { "first", "last" };
        QTest::newRow("1 MiB of empty CR LF lines")
            << "first" + QByteArray(empties).replace("\n\n", "\r\n") + "last" << QStringList { "first", "last" };
        QByteArray many;
        QStringList first100;
        for (int i = 1; i <= 5000; ++i) {
            many += "line " + QByteArray::number(i) + "\n";
            if (i <= 100)
                first100 << QStringLiteral("line %1").arg(i);
        }
        QTest::newRow("5000 lines") << many << first100;
    }

    void changeLogIsBounded()
    {
        QFETCH(QByteArray, changes);
        QFETCH(QStringList, lines);
        QElapsedTimer t;
        t.start();
        const std::optional<TVersionOffer> offer = ReadVersionDocuments("30/5", changes, RunningVersion);
        const qint64 ms = t.elapsed();
        QVERIFY(offer);
        QCOMPARE(offer->Message, Message(OptionalHead.arg("3.0"), lines));
        qInfo("parsed %lld bytes in %lld ms", qint64(changes.size()), ms);
        QVERIFY2(ms < 250, qPrintable(QString::number(ms)));
    }

    void nameThatDoesNotResolve()
    {
        UpdateSettings.Server = QStringLiteral("https://twinlens.invalid");
        QVERIFY(!CheckForNewVersion());
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "tst_update_check.moc"
