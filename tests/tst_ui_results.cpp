// Results that explain themselves, in the window on the offscreen platform:
// the note after a scan's closing text (counts, Max groups and Min size when
// they hid results, the check marks the first time), "Cancelled" after a stop
// in hashing, the bytes of tiny sizes, paths kept left to right in a mirrored
// window (the CSV bare), and Remove Selected on the keyboard's current item.

#include "support/RecordingDesktop.h"
#include "support/WindowTests.h"
#include "support/TestDir.h"

#include "engine/ResultList.h"
#include "ui/Application.h"
#include "ui/ResultModel.h"
#include "ui/ResultNote.h"
#include "ui/StatusLine.h"
#include "ui/uMainForm.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>

#include <unistd.h>

Q_DECLARE_METATYPE(TResultCounts)

namespace {
constexpr char16_t Lri = u'\u2066';
constexpr char16_t Pdi = u'\u2069';
} // namespace

class TestResults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        StartWindowTests();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void cleanup() { QGuiApplication::setLayoutDirection(Qt::LeftToRight); }

    void note_data()
    {
        QTest::addColumn<TResultCounts>("counts");
        QTest::addColumn<QString>("note");
        TResultCounts smallFiles; // a default scan of many small files
        smallFiles.Files = 0;
        smallFiles.FileClones = true;
        smallFiles.MaxGroups = 100;
        smallFiles.MinSizeMB = 1;
        smallFiles.FirstNote = true;
        QTest::newRow("nothing over the minimum")
            << smallFiles << "0 files, 0 groups, 0.00 MB in copies; files under 1 MB were left out: Min size";
        TResultCounts cut;
        cut.Files = 21480;
        cut.FileClones = true;
        cut.FileGroupsListed = 100;
        cut.FileGroupsFound = 5000;
        cut.CopyBytes = 412LL * 1048576;
        cut.MaxGroups = 100;
        QTest::newRow("cut by Max groups")
            << cut << "21,480 files, 100 groups, 412.00 MB in copies; 100 of 5,000 groups shown: Max groups";
        TResultCounts first = cut;
        first.FirstNote = true;
        first.FolderClones = true;
        first.FolderGroupsListed = 7;
        QTest::newRow("first note, folders too")
            << first
            << "21,480 files, 100 groups, 412.00 MB in copies; 7 folder groups; names and sizes compared; contents "
               "are compared before removal; 100 of 5,000 groups shown: Max groups; all but the first file of each "
               "group are checked";
        TResultCounts all = cut;
        all.MaxGroups = 0; // 0 lists all: nothing was cut
        all.FileGroupsListed = 5000;
        QTest::newRow("all listed") << all << "21,480 files, 5,000 groups, 412.00 MB in copies";
        TResultCounts foldersOnly;
        foldersOnly.Files = 12;
        foldersOnly.FolderClones = true;
        foldersOnly.FolderGroupsListed = 2;
        QTest::newRow("folder clones only")
            << foldersOnly << "12 files; 2 folder groups; names and sizes compared; contents are compared before removal";
        // Groups split by content are true copies; no groups, nothing to say.
        foldersOnly.FolderContents = true;
        QTest::newRow("folder contents compared") << foldersOnly << "12 files; 2 folder groups";
        foldersOnly.FolderContents = false;
        foldersOnly.FolderGroupsListed = 0;
        QTest::newRow("no folder groups") << foldersOnly << "12 files; 0 folder groups";
    }

    void note()
    {
        QFETCH(TResultCounts, counts);
        QFETCH(QString, note);
        QCOMPARE(ResultNote(counts), note);
    }

    void windowAddsTheNote()
    {
        RecordingDesktop desktop;
        TestDir dir;
        for (int i = 0; i < 3; ++i) {
            const QByteArray content = "group " + QByteArray::number(i) + QByteArray(i * 10, 'x');
            dir.createFile(QStringLiteral("a/%1.txt").arg(i), content);
            dir.createFile(QStringLiteral("b/%1.txt").arg(i), content);
        }
        TMainForm w;
        w.show();
        w.AddFolder(dir.path());

        // The defaults: every file is under 1 MB, the list stays empty.
        w.btnScan->click();
        QCOMPARE(w.lvFiles.ItemCount(), 0);
        QCOMPARE(w.lblStatus->text(),
            QStringLiteral("  Done.  0 files, 0 groups, 0.00 MB in copies; files under 1 MB were left out: Min size"));

        // Two of three groups shown; the first result with groups says what
        // the check marks mean, the next one no longer.
        w.seMinSizeMB->setValue(0);
        w.seMaxGroups->setValue(2);
        w.btnScan->click();
        QCOMPARE(w.lvFiles.GroupCount(), 2);
        QCOMPARE(w.lblStatus->text(),
            QStringLiteral("  Done.  6 files, 2 groups, 0.00 MB in copies; 2 of 3 groups shown: Max groups; all but the "
                           "first file of each group are checked"));
        w.btnScan->click();
        QVERIFY2(!w.lblStatus->text().contains(QStringLiteral("checked")), qPrintable(w.lblStatus->text()));

        // A size that shows as 0.00 MB tells its bytes.
        auto* model = static_cast<ResultModel*>(w.lvFilesView->model());
        const QModelIndex size = model->IndexOfItem(0).siblingAtColumn(3);
        QCOMPARE(size.data().toString(), QStringLiteral("0.00 MB"));
        QCOMPARE(size.data(Qt::ToolTipRole).toString(),
            QStringLiteral("%1 bytes").arg(w.lvFiles.Item(0).Data->Size));
    }

    // What the scan could not read or left out follows the note, by reason,
    // and the status line's tooltip names the paths.
    void skippedFollowsTheNote()
    {
        RecordingDesktop desktop;
        TestDir dir;
        dir.createFile("a/one.txt", 10);
        const QByteArray bad = dir.createRawFile("a/bad\xff.txt", "x");
        TMainForm w;
        w.show();
        w.AddFolder(dir.path());
        w.seMinSizeMB->setValue(0);
        w.btnScan->click();
        QVERIFY2(w.lblStatus->text().endsWith(QStringLiteral("; 1 names are not valid UTF-8 and were left out")),
            qPrintable(w.lblStatus->text()));
        QVERIFY2(w.lblStatus->toolTip().contains(QString::fromUtf8(bad.left(bad.size() - 5))), qPrintable(w.lblStatus->toolTip()));

        // In a narrow window the line is cut short; its tooltip then starts
        // with the whole text, and the paths follow it.
        w.resize(800, 600);
        auto* status = static_cast<StatusLine*>(w.lblStatus);
        QTRY_VERIFY(status->IsElided());
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), status->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(status, &help);
        QVERIFY2(QToolTip::text().startsWith(w.lblStatus->text() + QStringLiteral("\n\n")), qPrintable(QToolTip::text()));
        QVERIFY(QToolTip::text().endsWith(w.lblStatus->toolTip()));
        QToolTip::hideText();
        dir.remove("a/bad\xff.txt");
        ::unlink(bad.constData());
        w.btnScan->click();
        QVERIFY(!w.lblStatus->text().contains(QStringLiteral("UTF-8")));
        QCOMPARE(w.lblStatus->toolTip(), QString());
    }

    void stopInHashingSaysCancelled()
    {
        RecordingDesktop desktop;
        TestDir dir;
        // Same size, other contents: every file is hashed.
        for (int i = 0; i < 200; ++i)
            dir.createFile(QStringLiteral("f%1.bin").arg(i, 3, 10, QLatin1Char('0')), QByteArray::number(1000 + i));
        TMainForm w;
        w.show();
        w.seMinSizeMB->setValue(0);
        w.AddFolder(dir.path());
        bool stopped = false;
        QTimer watch;
        watch.setInterval(0);
        connect(&watch, &QTimer::timeout, this, [&] {
            if (!stopped && w.IsRunning() && w.StatusText().startsWith(QStringLiteral("Computing SHA-1"))) {
                stopped = true;
                w.btnStop->click();
            }
        });
        watch.start();
        w.btnScan->click();
        QVERIFY(stopped);
        QVERIFY2(w.lblStatus->text().startsWith(QStringLiteral("Cancelled  ")), qPrintable(w.lblStatus->text()));
    }

    void pathsReadLeftToRightWhenMirrored()
    {
        RecordingDesktop desktop;
        TestDir dir;
        const QString a = dir.createFile("tree/a/same.bin", "twin");
        dir.createFile("tree/b/same.bin", "twin");
        TMainForm w;
        // As the Arabic catalogue lays it out (the window sets the direction
        // of its language when it is made).
        QGuiApplication::setLayoutDirection(Qt::RightToLeft);
        w.show();
        w.seMinSizeMB->setValue(0);
        w.AddFolder(dir.path());
        QCOMPARE(w.lbFolders->item(0)->text(), QChar(Lri) + w.Folders().value(0) + QChar(Pdi));
        w.btnScan->click();
        QCOMPARE(w.lvFiles.ItemCount(), 2);

        auto* model = static_cast<ResultModel*>(w.lvFilesView->model());
        const QModelIndex folder = model->IndexOfItem(0).siblingAtColumn(2);
        const QString folderPath = a.left(a.lastIndexOf(u'/'));
        QCOMPARE(folder.data().toString(), QChar(Lri) + folderPath + QChar(Pdi));
        // The data, and so the CSV, keep the bare path.
        QCOMPARE(w.lvFiles.Item(0).Text(1), folderPath);
        QVERIFY(!QString::fromUtf8(CsvText(w.lvFiles)).contains(QChar(Lri)));

        // The status line isolates the path it names, also one with " (" in it.
        const QString odd = dir.path() + QStringLiteral("/photo (1).jpg");
        QCOMPARE(ui::IsolatedPaths(QStringLiteral("Scanning: %1 (3/9)").arg(odd)),
            QStringLiteral("Scanning: ") + QChar(Lri) + odd + QChar(Pdi) + " (3/9)");
        QCOMPARE(ui::IsolatedPaths(QStringLiteral("Scanning folder list: %1   [*.*]").arg(a)),
            QStringLiteral("Scanning folder list: ") + QChar(Lri) + a + QChar(Pdi) + "   [*.*]");
    }

    void removeSelectedTakesTheCurrentItem()
    {
        RecordingDesktop desktop;
        TestDir dir;
        dir.createDir("one");
        dir.createDir("two");
        TMainForm w;
        w.show();
        w.AddFolder(dir.path() + "/one");
        w.AddFolder(dir.path() + "/two");
        QCOMPARE(w.lbFolders->count(), 2);
        // The keyboard's current item, not selected.
        w.lbFolders->setCurrentRow(1, QItemSelectionModel::NoUpdate);
        QVERIFY(w.lbFolders->selectedItems().isEmpty());
        w.btnRemoveFolder->click();
        QCOMPARE(w.Folders().size(), 1);
        QVERIFY2(w.Folders()[0].contains(QStringLiteral("/one")), qPrintable(w.Folders()[0]));
        QVERIFY(desktop.Messages.isEmpty());
    }

    // A long scan that ends while the window is not active is announced; in
    // the active window it is not.
    void longScanInTheBackgroundNotifies()
    {
        RecordingDesktop desktop;
        TestDir dir;
        dir.createFile("a.txt", "same");
        dir.createFile("b.txt", "same");
        TMainForm w;
        w.show();
        w.seMinSizeMB->setValue(0);
        w.AddFolder(dir.path());
        w.NotifyAfterMs = -1; // every scan counts as long here
        QWidget elsewhere; // where the person works meanwhile
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        QVERIFY(!w.isActiveWindow());
        w.btnScan->click();
        QCOMPARE(desktop.Notifications.size(), 1);
        QCOMPARE(desktop.Notifications[0].first, QStringLiteral("Scan finished"));
        QCOMPARE(desktop.Notifications[0].second, w.lblStatus->text());

        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.btnScan->click();
        QCOMPARE(desktop.Notifications.size(), 1);
    }
};


QTEST_MAIN(TestResults)
#include "tst_ui_results.moc"
