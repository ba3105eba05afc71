// The folder list and the masks: what the person types or picks becomes the
// folders and masks a scan walks.

#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QDir>
#include <QTest>

class TestFolders : public QObject {
    Q_OBJECT
private slots:
    void parseMasks_data();
    void parseMasks();
    void maskMatches_data();
    void maskMatches();
    void normalizeFolder_data();
    void normalizeFolder();
    void addFolder();
    void removedFolderIsSkipped();
};

void TestFolders::parseMasks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("masks");
    QTest::newRow("empty") << "" << QStringList { "*.*" };
    QTest::newRow("only separators") << " ;, |\t " << QStringList { "*.*" };
    QTest::newRow("mixed separators") << "*.jpg; *.png|*.gif" << QStringList { "*.jpg", "*.png", "*.gif" };
    QTest::newRow("space splits") << "my photos*.jpg" << QStringList { "my", "photos*.jpg" };
    QTest::newRow("repeats kept") << "*.jpg,*.jpg" << QStringList { "*.jpg", "*.jpg" };
    // Spaces become separators before quotes are read, so a quoted space
    // survives as a comma inside the mask.
    QTest::newRow("quoted") << "\"a b\",c" << QStringList { "a,b", "c" };
    QTest::newRow("doubled quote") << "\"x\"\"y\",z" << QStringList { "x\"y", "z" };
    QTest::newRow("trimmed") << ",\t*.txt\t," << QStringList { "*.txt" };
}

void TestFolders::parseMasks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, masks);
    QCOMPARE(ScanWindow::ParseMasks(text), masks);
}

void TestFolders::maskMatches_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("*.* without dot") << "*.*" << "README" << true;
    QTest::newRow("*.* many dots") << "*.*" << "a.b.c" << true;
    QTest::newRow("letter case") << "*.JPG" << "photo.jpg" << true;
    QTest::newRow("whole name") << "*.jpg" << "photo.jpeg" << false;
    QTest::newRow("whole name, tail") << "a*b" << "aXXbc" << false;
    QTest::newRow("star backtracks") << "*a*a" << "banana" << true;
    QTest::newRow("star empty") << "a*.txt" << "a.txt" << true;
    QTest::newRow("? one") << "?.txt" << "a.txt" << true;
    QTest::newRow("? not two") << "?.txt" << "ab.txt" << false;
    QTest::newRow("? not none") << "?.txt" << ".txt" << false;
    QTest::newRow("set range") << "[a-c]*" << "b1" << true;
    QTest::newRow("set outside") << "[a-c]*" << "d1" << false;
    QTest::newRow("negated set") << "[!a-c]*" << "b1" << false;
    QTest::newRow("negated set, outside") << "[!a-c]*" << "d1" << true;
    QTest::newRow("set of singles") << "x[13]" << "x3" << true;
    QTest::newRow("unclosed set") << "[abc" << "a" << false;
    // Only a to z fold: other letters compare exactly.
    QTest::newRow("accented exact") << "\u00C9*" << "\u00C9t\u00E9" << true;
    QTest::newRow("accented no fold") << "\u00C9*" << "\u00E9t\u00E9" << false;
    QTest::newRow("literal dot") << "a.b" << "aXb" << false;
    QTest::newRow("empty mask") << "" << "a" << false;
}

void TestFolders::maskMatches()
{
    QFETCH(QString, mask);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(ScanWindow::MaskMatches(mask, name), matches);
}

void TestFolders::normalizeFolder_data()
{
    const QString cwd = QDir::currentPath();
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folder");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("blank") << " \t " << "";
    QTest::newRow("plain") << "/tmp" << "/tmp/";
    QTest::newRow("trailing slash") << "/tmp/" << "/tmp/";
    QTest::newRow("trimmed") << "  /tmp  " << "/tmp/";
    QTest::newRow("dots and doubled") << "/tmp//x/../y/." << "/tmp/y/";
    QTest::newRow("root") << "/" << "/";
    QTest::newRow("relative") << "sub/dir" << cwd + "/sub/dir/";
    QTest::newRow("current") << "." << cwd + "/";
    // Letter case is the folder's identity here.
    QTest::newRow("case kept") << "/Data/Photos" << "/Data/Photos/";
}

void TestFolders::normalizeFolder()
{
    QFETCH(QString, text);
    QFETCH(QString, folder);
    QCOMPARE(ScanWindow::NormalizeFolder(text), folder);
}

void TestFolders::addFolder()
{
    TestDir dir;
    dir.createDir("a/b");
    dir.createDir("A");
    RecordingWindow w;
    QVERIFY(w.AddFolder(dir.path("a/b")));
    QCOMPARE(w.FLastAddFolderParent, dir.path("a"));
    QVERIFY(!w.AddFolder(dir.path("a/b/")));   // the same folder
    QVERIFY(!w.AddFolder(dir.path("a/./b"))); // the same after normalizing
    QVERIFY(!w.AddFolder(QString()));
    QVERIFY(!w.AddFolder("   "));
    QVERIFY(w.AddFolder(dir.path("a")));      // nesting is allowed
    QVERIFY(w.AddFolder(dir.path("A")));      // another folder on this system
    QCOMPARE(w.Folders(), (QStringList { dir.folder("a/b"), dir.folder("a"), dir.folder("A") }));

    // The folder dialog starts at the parent of the last folder chosen, also
    // when that folder was listed already.
    w.FolderDialogAnswers = { dir.path("a/b"), QString() };
    w.btnAddFolderClick();
    QCOMPARE(w.Folders().size(), 3);
    QCOMPARE(w.FLastAddFolderParent, dir.path("a"));
    w.btnAddFolderClick(); // cancelled
    QCOMPARE(w.Folders().size(), 3);
    QCOMPARE(w.FolderDialogStarts.size(), 2);
    QCOMPARE(w.FolderDialogStarts.last(), dir.path("a"));

    w.SelectedFolder = 1;
    w.btnRemoveFolderClick();
    QCOMPARE(w.Folders(), (QStringList { dir.folder("a/b"), dir.folder("A") }));
    w.SelectedFolder = -1;
    w.btnRemoveFolderClick();
    QCOMPARE(w.Folders().size(), 2);
}

void TestFolders::removedFolderIsSkipped()
{
    TestDir dir;
    dir.createFile("keep/x.bin", QByteArray("abc"));
    dir.createFile("gone/y.bin", QByteArray("abc"));
    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.AddFolders({ dir.path("gone"), dir.path("keep") });
    QVERIFY(dir.remove("gone"));
    w.btnScanClick();
    QVERIFY(w.Messages().isEmpty());
    QVERIFY2(w.Statuses().contains("Found 1 files (after filters)."), qPrintable(w.Describe()));
    QCOMPARE(w.StatusText(), "  Done.");
}

QTEST_GUILESS_MAIN(TestFolders)
#include "tst_engine_folders.moc"
