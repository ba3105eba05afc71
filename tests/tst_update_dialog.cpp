// The new-version dialog: its offer, how each way of closing decides
// start-up, and the download from a real HTTPS server on 127.0.0.1.

#include "support/RecordingDesktop.h"
#include "support/TestDir.h"
#include "support/TestHttpServer.h"
#include "i18n/translation.h"
#include "update/uNewVersionCheck.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QByteArray InstallerPath = "/download/twinlens.exe";
const QString FailureText = QStringLiteral("Failed to download update. Please download manually on website.");

QByteArray Installer(int size)
{
    QByteArray b;
    for (int i = 0; i < size; ++i)
        b += char('a' + i % 26);
    return b;
}

QUrl Site()
{
    return QUrl(QStringLiteral(TWINLENS_WEBSITE "/"));
}

QList<QStringList> ShippedCatalogue()
{
    QFile f(QStringLiteral(TWINLENS_SOURCE_DIR "/resources/transl.dt"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return ParseCatalogue(f.readAll()).value_or(QList<QStringList> {});
}

} // namespace
Q_DECLARE_METATYPE(TestResponse)

class TestUpdateDialog : public QObject {
    Q_OBJECT

private:
    TestCertificates FCerts;
    std::unique_ptr<RecordingDesktop> FDesktop;
    std::unique_ptr<TestDir> FTemp;
    QString FTarget; // where the installer must land

    QByteArray ReadTarget() const
    {
        QFile f(FTarget);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private slots:
    void initTestCase()
    {
        QApplication::setApplicationName(QStringLiteral("Twinlens"));
        FCerts = TestCertificates::Make();
        // The temporary folder is reached through a link, so the target must
        // come out in its canonical form.
        FTemp = std::make_unique<TestDir>();
        const QString real = FTemp->createDir(QStringLiteral("real"));
        const QString link = FTemp->createLink(real, QStringLiteral("tmp-link"));
        qputenv("TMPDIR", link.toLocal8Bit());
        FTarget = QFileInfo(real).canonicalFilePath() + QStringLiteral("/quillmere_update.exe");
        FDesktop = std::make_unique<RecordingDesktop>();
    }

    void cleanupTestCase() { FDesktop.reset(); }

    void init()
    {
        UpdateSettings = TUpdateSettings {};
        UpdateSettings.CaFile = FCerts.CaFile;
        UpdateForced = false;
        AbortRequested = false;
        NewVersionMessage = QStringLiteral("The new version 2.4 is available\r\n\r\nWhat's new:\r\nFaster\r\n");
        FDesktop->Clear();
        QFile::remove(FTarget);
        InstallTranslationTable({});
        CurrentLanguageIndex = 0;
    }

    void offer_data()
    {
        QTest::addColumn<bool>("forced");
        QTest::addColumn<QString>("cancelCaption");
        QTest::newRow("optional") << false << QStringLiteral("&Skip");
        QTest::newRow("forced") << true << QStringLiteral("E&xit");
    }

    void offer()
    {
        QFETCH(bool, forced);
        QFETCH(QString, cancelCaption);
        UpdateForced = forced;
        TfrmNewVersion dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));

        QCOMPARE(dlg.windowTitle(), QStringLiteral(" Twinlens"));
        QCOMPARE(dlg.Label1->text(), NewVersionMessage);
        QVERIFY(dlg.Label1->wordWrap());
        QCOMPARE(dlg.btUpdateNow->text(), QStringLiteral("&Update Now"));
        QCOMPARE(dlg.btCancel->text(), cancelCaption);
        QVERIFY(dlg.btUpdateNow->isEnabled());
        QVERIFY(!dlg.ProgressBar1->isVisible());
        QVERIFY(!dlg.VirtualImage1->pixmap().isNull());
        QCOMPARE(dlg.size(), QSize(425, 187));
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
        const QPoint centre = dlg.screen()->availableGeometry().center();
        QVERIFY((dlg.frameGeometry().center() - centre).manhattanLength() <= 2);
        QCOMPARE(dlg.ContinueStartup(), 1);
    }

    void closing_data()
    {
        QTest::addColumn<bool>("forced");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("continueStartup");
        QTest::newRow("optional, Skip") << false << "button" << 1;
        QTest::newRow("optional, title-bar close") << false << "close" << 1;
        QTest::newRow("optional, Escape") << false << "escape" << 1;
        QTest::newRow("forced, Exit") << true << "button" << 0;
        QTest::newRow("forced, title-bar close") << true << "close" << 0;
        QTest::newRow("forced, Escape") << true << "escape" << 0;
    }

    void closing()
    {
        QFETCH(bool, forced);
        QFETCH(QString, how);
        QFETCH(int, continueStartup);
        UpdateForced = forced;
        TfrmNewVersion dlg;
        // Modal, as start-up shows it.
        QTimer::singleShot(0, &dlg, [&] {
            if (how == QLatin1String("button"))
                dlg.btCancel->click();
            else if (how == QLatin1String("close"))
                dlg.close();
            else
                QTest::keyClick(&dlg, Qt::Key_Escape);
        });
        QTimer::singleShot(10000, &dlg, [&] { dlg.QDialog::done(-1); }); // a failing test must not hang
        const int r = dlg.exec();
        QVERIFY(r != -1);
        QCOMPARE(dlg.ContinueStartup(), continueStartup);
        QCOMPARE(UpdateForced, forced);
        QVERIFY(FDesktop->Messages.isEmpty());
        QVERIFY(FDesktop->OpenedUrls.isEmpty());
        QVERIFY(FDesktop->StartedPrograms.isEmpty());
    }

    // In every language of the catalogue, each caption the two buttons take
    // has a mnemonic of its own, and Alt with it pushes its button alone (an
    // ambiguous key pushes none); the Abort key stops the running download.
    void buttonMnemonics_data()
    {
        QTest::addColumn<int>("column");
        const QList<QStringList> catalogue = ShippedCatalogue();
        QVERIFY(catalogue.size() >= 16);
        for (int c = 0; c < catalogue.size(); ++c)
            QTest::newRow(qPrintable(catalogue[c].value(1))) << c;
    }

    void buttonMnemonics()
    {
        QFETCH(int, column);
        InstallTranslationTable(ShippedCatalogue());
        CurrentLanguageIndex = column;
        TestHttpServer server(&FCerts);
        server.Route(InstallerPath, TestResponse { 200, "OK", {}, {}, TestResponse::Mode::Silent, 0 });
        UpdateSettings.Server = server.Origin();
        QList<QKeySequence> keys;
        // Alt + the mnemonic of button's caption, when no other caption of the
        // dialog has it; true when that pushed the button down.
        const auto press = [&](QPushButton* button) {
            const QKeySequence key = QKeySequence::mnemonic(button->text());
            if (key.isEmpty() || keys.contains(key))
                return false;
            keys << key;
            // Sent as the key alone: QTest would look for a Latin-1 text of
            // the letter, which Arabic and Greek letters have not.
            QTest::sendKeyEvent(QTest::Click, button->window(), key[0].key(), QString(), key[0].keyboardModifiers());
            return button->isDown();
        };
        const auto shown = [](QDialog& dlg) {
            dlg.show();
            dlg.activateWindow();
            return QTest::qWaitForWindowActive(&dlg);
        };
        const QString notPushed = QStringLiteral(": no mnemonic of its own, or Alt with it did not push it");

        for (const bool forced : { false, true }) {
            UpdateForced = forced;
            TfrmNewVersion dlg;
            QVERIFY(shown(dlg));
            QVERIFY2(press(dlg.btCancel), qPrintable(dlg.btCancel->text() + notPushed));
            if (!forced)
                QVERIFY2(press(dlg.btUpdateNow), qPrintable(dlg.btUpdateNow->text() + notPushed));
        }

        UpdateForced = false;
        TfrmNewVersion dlg;
        QVERIFY(shown(dlg));
        dlg.btUpdateNow->click();
        QVERIFY2(press(dlg.btCancel), qPrintable(dlg.btCancel->text() + notPushed));
        QTRY_VERIFY(!dlg.isVisible());
        QVERIFY(AbortRequested);
        QCOMPARE(FDesktop->Messages.size(), 1);
        QVERIFY(FDesktop->StartedPrograms.isEmpty());
        QCOMPARE(keys.size(), 4);
    }

    void updateNowStartsTheInstaller_data()
    {
        QTest::addColumn<bool>("forced");
        QTest::addColumn<TestResponse>("response");
        QTest::addColumn<QByteArray>("body"); // as it must land
        QTest::addColumn<bool>("staleLink"); // a link, not a file, lies at the target
        QTest::addColumn<bool>("progress"); // the bar follows a declared length
        const QByteArray body = Installer(5000);
        QTest::newRow("optional offer, declared length, older file") << false << TestResponse::Ok(body) << body << false << true;
        // A length declared beside the chunked encoding is no measure of the
        // body either.
        TestResponse chunked { 200, "OK", body, { { "Content-Length", "1000" } }, TestResponse::Mode::Chunked, 0 };
        QTest::newRow("forced offer, chunked body, link at the target") << true << chunked << body << true << false;
        // A body framed by nothing is complete when TLS says so.
        TestResponse closed { 200, "OK", body, {}, TestResponse::Mode::Unframed, 0 };
        closed.Ending = TestResponse::End::CloseNotify;
        QTest::newRow("no length, ended with close_notify") << false << closed << body << false << false;
        const QByteArray big = Installer(1 << 20);
        TestResponse bigChunk { 200, "OK", big, {}, TestResponse::Mode::Chunked, 0 };
        bigChunk.ChunkSize = 1 << 20;
        bigChunk.ChunkExtension = ";" + QByteArray(4999, 'e');
        QTest::newRow("a 1 MiB chunk with a 5,000-byte extension") << false << bigChunk << big << false << false;
        // Encoded by the server although nobody asked: written as sent.
        QProcess gzip;
        gzip.start(QStringLiteral("gzip"), { QStringLiteral("-c") });
        gzip.write(Installer(200000));
        gzip.closeWriteChannel();
        QVERIFY(gzip.waitForFinished());
        const QByteArray packed = gzip.readAllStandardOutput();
        QVERIFY(packed.startsWith("\x1f\x8b"));
        TestResponse encoded = TestResponse::Ok(packed);
        encoded.Headers << qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip"));
        QTest::newRow("gzip-encoded body, declared length") << false << encoded << packed << false << true;
        encoded.How = TestResponse::Mode::Chunked;
        QTest::newRow("gzip-encoded body, chunked") << false << encoded << packed << false << false;
    }

    void updateNowStartsTheInstaller()
    {
        QFETCH(bool, forced);
        QFETCH(TestResponse, response);
        QFETCH(QByteArray, body);
        QFETCH(bool, staleLink);
        QFETCH(bool, progress);
        UpdateForced = forced;
        TestHttpServer server(&FCerts);
        server.Route(InstallerPath, response);
        UpdateSettings.Server = server.Origin();
        // An older download is replaced, not appended to; a link left at
        // the name is replaced too, and what it points to is not written.
        const QByteArray older = Installer(9000).toUpper();
        const QString victim = FTemp->createFile(QStringLiteral("victim"), older);
        if (staleLink) {
            QVERIFY(QFile::link(victim, FTarget));
        } else {
            QFile old(FTarget);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write(older);
        }

        TfrmNewVersion dlg;
        dlg.show();
        QSignalSpy values(dlg.ProgressBar1, &QProgressBar::valueChanged);
        dlg.btUpdateNow->click();
        QCOMPARE(dlg.btCancel->text(), QStringLiteral("&Abort"));
        QVERIFY(!dlg.btUpdateNow->isEnabled());
        QVERIFY(dlg.ProgressBar1->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.isVisible(), 15000);

        QCOMPARE(FDesktop->StartedPrograms, QStringList { FTarget });
        QVERIFY(FDesktop->Messages.isEmpty());
        QVERIFY(FDesktop->OpenedUrls.isEmpty());
        QVERIFY(ReadTarget() == body);
        QVERIFY(!QFileInfo(FTarget).isSymLink());
        QFile v(victim);
        QVERIFY(v.open(QIODevice::ReadOnly));
        QCOMPARE(v.readAll(), older);
        const QFile::Permissions p = QFileInfo(FTarget).permissions();
        QVERIFY(p & QFileDevice::ExeOwner);
        QVERIFY(!(p & (QFileDevice::WriteGroup | QFileDevice::WriteOther)));
        // Only a forced update ends the program once its installer runs.
        QCOMPARE(dlg.ContinueStartup(), forced ? 0 : 1);
        QCOMPARE(UpdateForced, forced);
        QCOMPARE(server.Paths(), QList<QByteArray> { InstallerPath });
        QCOMPARE(server.UserAgents(), QList<QByteArray> { "Mozilla/4.0 (compatible; MyApp)" });
        QVERIFY(!server.Heads().value(0).toLower().contains("accept-encoding"));
        if (progress) {
            QCOMPARE(dlg.ProgressBar1->value(), 100);
        } else {
            QCOMPARE(dlg.ProgressBar1->value(), 0);
            QVERIFY(values.isEmpty());
        }
    }

    void progressThenAbort()
    {
        TestHttpServer server(&FCerts);
        server.Route(InstallerPath, TestResponse { 200, "OK", Installer(1000), {}, TestResponse::Mode::Partial, 250 });
        UpdateSettings.Server = server.Origin();
        TfrmNewVersion dlg;
        dlg.show();
        dlg.btUpdateNow->click();
        QTRY_COMPARE(dlg.ProgressBar1->value(), 25);

        // Closing while the download runs does not cut it short.
        dlg.close();
        QVERIFY(dlg.isVisible());

        // The server has gone quiet: Abort must not wait for more data.
        QElapsedTimer t;
        t.start();
        dlg.btCancel->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.isVisible(), 5000);
        qInfo("aborted in %lld ms", t.elapsed());
        QCOMPARE(FDesktop->Messages.size(), 1);
        QCOMPARE(FDesktop->Messages[0].Kind, platform::BoxKind::Error);
        QCOMPARE(FDesktop->Messages[0].Text,
            FailureText + QStringLiteral("\r\n\r\nDownload is cancelled. Please download manually."));
        QCOMPARE(FDesktop->OpenedUrls, QList<QUrl> { Site() });
        QVERIFY(FDesktop->StartedPrograms.isEmpty());
        // An optional update: the program goes on.
        QCOMPARE(dlg.ContinueStartup(), 1);
        // What had arrived is not left for anyone to start.
        QVERIFY(!QFileInfo::exists(FTarget));
    }

    // An installer that ends before its declared end, or whose end nothing
    // vouches for, is never started, and its partial file goes; each case
    // ends at once, well before the low-speed bound.
    void cutInstallerIsRefused_data()
    {
        QTest::addColumn<TestResponse>("response");
        QTest::addColumn<qint64>("bound"); // UpdateSettings.MaxInstallerBytes
        QTest::addColumn<QString>("error"); // the error's text, or a piece of libcurl's
        using E = TestResponse::End;
        const QByteArray body = Installer(5000);
        const QString incomplete = QStringLiteral("The download of the installer is incomplete.");
        const QString tooLarge = QStringLiteral("The installer is too large.");
        auto unframed = [&](const QByteArray& length, E end) {
            TestResponse r { 200, "OK", body, {}, TestResponse::Mode::Unframed, 0 };
            if (!length.isEmpty())
                r.Headers << qMakePair(QByteArray("Content-Length"), length);
            r.Ending = end;
            return r;
        };
        auto partial = [&](E end) {
            TestResponse r { 200, "OK", body, {}, TestResponse::Mode::Partial, 2000 };
            r.Ending = end;
            return r;
        };
        const qint64 roomy = 1 << 20;
        QTest::newRow("no length, TCP close without close_notify") << unframed({}, E::Cut) << roomy << incomplete;
        QTest::newRow("no length, reset") << unframed({}, E::Reset) << roomy << QStringLiteral("reset");
        QTest::newRow("Content-Length -1, close_notify") << unframed("-1", E::CloseNotify) << roomy << QStringLiteral("Content-Length");
        QTest::newRow("Content-Length that overflows") << unframed("184467440737095516160", E::CloseNotify) << roomy << tooLarge;
        QTest::newRow("declared length, cut by a TCP close") << partial(E::Cut) << roomy << incomplete;
        QTest::newRow("declared length, cut by a reset") << partial(E::Reset) << roomy << QStringLiteral("reset");
        QTest::newRow("declared length, cut by close_notify") << partial(E::CloseNotify) << roomy << incomplete;
        QTest::newRow("declared length, close_notify then silence") << partial(E::CloseNotifyThenSilence) << roomy << incomplete;
        QTest::newRow("chunked, cut before the closing chunk")
            << TestResponse { 200, "OK", body, {}, TestResponse::Mode::Chunked, 1200, true } << roomy << incomplete;
        QTest::newRow("chunk size 0x6")
            << TestResponse::RawAnswer("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0x6\r\nabcdef\r\n0\r\n\r\n", E::CloseNotify)
            << roomy << QStringLiteral("chunked");
        QTest::newRow("empty body") << TestResponse::Ok({}) << roomy << incomplete;
        QTest::newRow("declared length over the bound") << TestResponse::Ok(body) << qint64(body.size() - 1) << tooLarge;
        QTest::newRow("chunked, over the bound")
            << TestResponse { 200, "OK", body, {}, TestResponse::Mode::Chunked, 0 } << qint64(body.size() - 1) << tooLarge;
        QTest::newRow("no length, over the bound") << unframed({}, E::CloseNotify) << qint64(body.size() - 1) << tooLarge;
    }

    void cutInstallerIsRefused()
    {
        QFETCH(TestResponse, response);
        QFETCH(qint64, bound);
        QFETCH(QString, error);
        TestHttpServer server(&FCerts);
        server.Route(InstallerPath, response);
        UpdateSettings.Server = server.Origin();
        UpdateSettings.MaxInstallerBytes = bound;
        UpdateSettings.DownloadLowSpeedSeconds = 5;
        TfrmNewVersion dlg;
        dlg.show();
        QElapsedTimer t;
        t.start();
        dlg.btUpdateNow->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.isVisible(), 15000);
        qInfo("%s: refused in %lld ms", QTest::currentDataTag(), t.elapsed());
        QVERIFY2(t.elapsed() < UpdateSettings.DownloadLowSpeedSeconds * 1000, qPrintable(QString::number(t.elapsed())));

        QCOMPARE(FDesktop->Messages.size(), 1);
        const QString text = FDesktop->Messages[0].Text;
        QVERIFY2(text.startsWith(FailureText + QStringLiteral("\r\n\r\n")), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("\r\n") + error) || text.contains(error, Qt::CaseInsensitive), qPrintable(text));
        QVERIFY(FDesktop->StartedPrograms.isEmpty());
        QCOMPARE(FDesktop->OpenedUrls, QList<QUrl> { Site() });
        QVERIFY(!QFileInfo::exists(FTarget));
    }

    // A server that sends less than the low-speed bound asks is cut off
    // once the bound has passed.
    void trickleIsCutOff()
    {
        TestHttpServer server(&FCerts);
        TestResponse slow = TestResponse::Ok(Installer(2000));
        slow.TrickleMs = 50;
        server.Route(InstallerPath, slow);
        UpdateSettings.Server = server.Origin();
        UpdateSettings.DownloadLowSpeedBytes = 1000;
        UpdateSettings.DownloadLowSpeedSeconds = 1;
        TfrmNewVersion dlg;
        dlg.show();
        QElapsedTimer t;
        t.start();
        dlg.btUpdateNow->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.isVisible(), 15000);
        qInfo("cut off in %lld ms", t.elapsed());
        QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(FDesktop->Messages.size(), 1);
        QVERIFY2(FDesktop->Messages[0].Text.contains(QStringLiteral("slow"), Qt::CaseInsensitive),
            qPrintable(FDesktop->Messages[0].Text));
        QVERIFY(!QFileInfo::exists(FTarget));
    }

    void downloadTimeBound()
    {
        TestHttpServer server(&FCerts);
        server.Route(InstallerPath, TestResponse { 200, "OK", Installer(1000), {}, TestResponse::Mode::Partial, 250 });
        UpdateSettings.Server = server.Origin();
        UpdateSettings.DownloadBoundMs = 500;
        TfrmNewVersion dlg;
        dlg.show();
        dlg.btUpdateNow->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.isVisible(), 5000);
        QCOMPARE(FDesktop->Messages.size(), 1);
        QCOMPARE(FDesktop->Messages[0].Text, FailureText + QStringLiteral("\r\n\r\nThe download took too long."));
        QVERIFY(!QFileInfo::exists(FTarget));
    }

    void failureOpensTheSite_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("errorPart"); // a piece of the error's own text
        QTest::newRow("404") << "404" << "Not Found";
        QTest::newRow("redirect not followed") << "redirect" << "302";
        QTest::newRow("redirect to plain HTTP") << "http-redirect" << "302";
        QTest::newRow("certificate not trusted") << "untrusted" << "SSL";
        QTest::newRow("server address not https") << "plain" << "HTTPS";
        QTest::newRow("connection refused") << "refused" << "connect";
    }

    void failureOpensTheSite()
    {
        QFETCH(QString, setup);
        QFETCH(QString, errorPart);
        TestHttpServer server(&FCerts);
        TestHttpServer plain;
        plain.Route(InstallerPath, TestResponse::Ok(Installer(100)));
        UpdateSettings.Server = server.Origin();
        if (setup == QLatin1String("404")) {
            server.Route(InstallerPath, TestResponse::NotFound());
        } else if (setup == QLatin1String("redirect")) {
            // Even to the same verified server: the download follows no redirect.
            server.Route(InstallerPath, TestResponse::Redirect(server.Origin().toUtf8() + "/elsewhere.exe"));
            server.Route("/elsewhere.exe", TestResponse::Ok(Installer(100)));
        } else if (setup == QLatin1String("http-redirect")) {
            server.Route(InstallerPath, TestResponse::Redirect(plain.Origin().toUtf8() + InstallerPath));
        } else if (setup == QLatin1String("untrusted")) {
            server.Route(InstallerPath, TestResponse::Ok(Installer(100)));
            UpdateSettings.CaFile.clear();
        } else if (setup == QLatin1String("plain")) {
            UpdateSettings.Server = plain.Origin();
        } else if (setup == QLatin1String("refused")) {
            UpdateSettings.Server = QStringLiteral("https://127.0.0.1:") + QString::number(TestHttpServer::UnusedPort());
        }

        TfrmNewVersion dlg;
        dlg.show();
        dlg.btUpdateNow->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.isVisible(), 15000);

        QCOMPARE(FDesktop->Messages.size(), 1);
        QCOMPARE(FDesktop->Messages[0].Kind, platform::BoxKind::Error);
        const QString text = FDesktop->Messages[0].Text;
        QVERIFY2(text.startsWith(FailureText + QStringLiteral("\r\n\r\n")), qPrintable(text));
        QVERIFY2(text.contains(errorPart, Qt::CaseInsensitive), qPrintable(text));
        QCOMPARE(FDesktop->OpenedUrls, QList<QUrl> { Site() });
        QVERIFY(FDesktop->StartedPrograms.isEmpty());
        // An optional update that failed: back to the program.
        QCOMPARE(dlg.ContinueStartup(), 1);
        QCOMPARE(UpdateForced, false);
        QCOMPARE(plain.Paths(), QList<QByteArray>());
    }

    // A failed download of a forced update ends the program after the box;
    // of an optional one, the program goes on (the main window stays).
    void failedDownloadEndsOnlyAForcedUpdate_data()
    {
        QTest::addColumn<bool>("forced");
        QTest::newRow("optional") << false;
        QTest::newRow("forced") << true;
    }

    void failedDownloadEndsOnlyAForcedUpdate()
    {
        QFETCH(bool, forced);
        UpdateForced = forced;
        TestHttpServer server(&FCerts);
        server.Route(InstallerPath, TestResponse::NotFound());
        UpdateSettings.Server = server.Origin();
        TfrmNewVersion dlg;
        dlg.show();
        dlg.btUpdateNow->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.isVisible(), 15000);
        QCOMPARE(FDesktop->Messages.size(), 1);
        QVERIFY(FDesktop->Messages[0].Text.startsWith(FailureText));
        QCOMPARE(FDesktop->OpenedUrls, QList<QUrl> { Site() });
        QCOMPARE(dlg.ContinueStartup(), forced ? 0 : 1);
        QCOMPARE(UpdateForced, forced);
    }
};

QTEST_MAIN(TestUpdateDialog)
#include "tst_update_dialog.moc"
