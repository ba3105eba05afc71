// The main window's start-up with the version check in the background,
// against a real HTTPS server on 127.0.0.1: a server that never answers keeps
// neither the window nor its closing waiting; an announced update shows its
// dialog modally over the window, and a forced one closes the window after it.

#include "support/RecordingDesktop.h"
#include "support/WindowTests.h"
#include "support/TestHttpServer.h"

#include "i18n/translation.h"
#include "ui/uMainForm.h"
#include "update/BackgroundVersionCheck.h"
#include "update/uNewVersionCheck.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {
const QByteArray VersionPath = "/download/version/twinlens-version.html";
const QByteArray ChangesPath = "/download/version/twinlens-changes.html";
} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private:
    TestCertificates FCerts;
    TUpdateSettings FDefaults;

private slots:
    void initTestCase()
    {
        StartWindowTests();
        FCerts = TestCertificates::Make();
        FDefaults = UpdateSettings;
    }

    void init()
    {
        // The program's own bounds (10 s): the window must not depend on them.
        UpdateSettings = FDefaults;
        UpdateSettings.CaFile = FCerts.CaFile;
        UpdateForced = false;
        NewVersionMessage.clear();
    }

    void silentServerKeepsNobodyWaiting()
    {
        RecordingDesktop desktop;
        TestHttpServer server(&FCerts);
        server.Route(VersionPath, TestResponse { 200, "OK", {}, {}, TestResponse::Mode::Silent, 0 });
        UpdateSettings.Server = server.Origin();

        QElapsedTimer t;
        t.start();
        auto w = std::make_unique<TMainForm>();
        w->show();
        w->StartVersionCheck();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        // The server has the request and holds it; the window answers a
        // command meanwhile.
        QTRY_COMPARE(server.Paths(), (QList<QByteArray> { VersionPath }));
        w->FolderClones1->trigger();
        QCOMPARE(w->PageControl1->currentWidget(), w->tsDirs);
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        auto* check = w->findChild<TBackgroundVersionCheck*>();
        QVERIFY(check && check->IsRunning());

        // Closing does not wait for the server either.
        t.restart();
        w.reset();
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(NewVersionMessage, QString());
    }

    void announcedUpdateShowsItsDialogOverTheWindow_data()
    {
        QTest::addColumn<QByteArray>("versionLine");
        QTest::addColumn<bool>("windowStays");
        QTest::newRow("optional, Skip") << QByteArray("24/20") << true;
        QTest::newRow("forced, Exit") << QByteArray("24/24") << false;
    }

    void announcedUpdateShowsItsDialogOverTheWindow()
    {
        QFETCH(QByteArray, versionLine);
        QFETCH(bool, windowStays);
        RecordingDesktop desktop;
        TestHttpServer server(&FCerts);
        server.Route(VersionPath, TestResponse::Ok(versionLine));
        server.Route(ChangesPath, TestResponse::Ok("Faster scans"));
        UpdateSettings.Server = server.Origin();

        TMainForm w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // The dialog runs its own loop: it is answered from inside it.
        QWidget* dialogParent = nullptr;
        QString dialogText;
        bool answered = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<TfrmNewVersion*>(QApplication::activeModalWidget());
            if (!dialog || answered)
                return;
            dialogParent = dialog->parentWidget();
            dialogText = dialog->Label1->text();
            answered = true;
            dialog->btCancel->click();
        });
        poll.start(20);
        w.StartVersionCheck();
        QTRY_VERIFY_WITH_TIMEOUT(answered, 10000);
        QCOMPARE(dialogParent, &w);
        QVERIFY2(dialogText.contains(QStringLiteral("2.4")) && dialogText.contains(QStringLiteral("Faster scans")),
            qPrintable(dialogText));
        QTRY_COMPARE(w.isVisible(), windowStays);
        QVERIFY(desktop.StartedPrograms.isEmpty());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_ui_startup.moc"
