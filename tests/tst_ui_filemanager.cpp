// The real Desktop's "show in file manager" on a private session bus: a file
// manager of the test's own answers ShowItems, and file URLs that reach
// QDesktopServices are caught by the test, so nothing is ever started.

#include "platform/desktop/Desktop.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QProcess>
#include <QTest>
#include <QUrl>

class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> Shown;
public slots:
    void ShowItems(const QStringList& uris, const QString&) { Shown.append(uris); }
};

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened.append(url); }
};

class TestFileManager : public QObject {
    Q_OBJECT
    QProcess FBus;
    QString FAddress;
    UrlCatcher FCatcher;

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &FCatcher, "Open");
        FBus.start(QStringLiteral("dbus-daemon"), { "--session", "--nofork", "--print-address=1" });
        if (!FBus.waitForStarted(5000))
            QSKIP("dbus-daemon is not available");
        QVERIFY(FBus.waitForReadyRead(5000));
        FAddress = QString::fromUtf8(FBus.readLine()).trimmed();
        QVERIFY(!FAddress.isEmpty());
        // The Desktop uses the session bus, first connected below.
        qputenv("DBUS_SESSION_BUS_ADDRESS", FAddress.toUtf8());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        if (FBus.state() != QProcess::NotRunning) {
            FBus.terminate();
            FBus.waitForFinished(5000);
        }
    }

    void init() { FCatcher.Opened.clear(); }

    void fileIsShownSelected()
    {
        QDBusConnection fm = QDBusConnection::connectToBus(FAddress, QStringLiteral("fm"));
        FakeFileManager manager;
        QVERIFY(fm.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager, QDBusConnection::ExportAllSlots));
        QVERIFY(fm.registerService(QStringLiteral("org.freedesktop.FileManager1")));

        platform::CurrentDesktop().ShowInFileManager(QStringLiteral("/data/a b#1.txt"));

        QTRY_COMPARE(manager.Shown.size(), 1);
        QCOMPARE(manager.Shown[0], QStringList { QStringLiteral("file:///data/a%20b%231.txt") });
        QTest::qWait(50);
        QVERIFY(FCatcher.Opened.isEmpty());

        fm.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fm"));
    }

    void withoutFileManagerTheFolderOpens()
    {
        platform::CurrentDesktop().ShowInFileManager(QStringLiteral("/data/sub/a.txt"));
        QTRY_COMPARE(FCatcher.Opened, QList<QUrl> { QUrl::fromLocalFile(QStringLiteral("/data/sub")) });
    }
};

QTEST_MAIN(TestFileManager)
#include "tst_ui_filemanager.moc"
