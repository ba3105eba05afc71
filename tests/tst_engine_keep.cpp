// What a scan leaves out (exclusions) and what it must never offer for
// removal (reference folders), through whole scans of small real trees.

#include "engine/Exclusions.h"
#include "support/OtherUser.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

class TestKeep : public QObject {
    Q_OBJECT

private:
    // The collected files, as paths below dir.
    static QStringList Collected(const RecordingWindow& w, const TestDir& dir)
    {
        QStringList paths;
        for (TFileInfo* f : w.FFiles)
            paths << f->FullPath().mid(dir.path().size() + 1);
        paths.sort();
        return paths;
    }

    // The rows of lvFiles as "path" or "path*" (checked), "path!" (reference).
    static QStringList Rows(const ResultList& list, const TestDir& dir, bool files = true)
    {
        QStringList rows;
        for (const ResultItem& item : list.Items()) {
            QString path = files ? item.Data->FullPath() : item.SubItems.value(0);
            path = path.mid(dir.path().size() + 1);
            if (item.Reference)
                path += u'!';
            if (item.Checked)
                path += u'*';
            rows << path;
        }
        return rows;
    }

private slots:
    void patternsAgainstATree_data()
    {
        QTest::addColumn<QString>("patterns");
        QTest::addColumn<QStringList>("collected");
        const QStringList all { "a.tmp", "build/out.bin", "docs/cache/c.bin", "docs/x.md", "node_modules/m.js",
            "src/.git/HEAD", "src/cache/d.bin", "src/main.c", "src/node_modules/n.js" };
        QTest::newRow("nothing excluded") << "" << all;
        QTest::newRow("blank pieces exclude nothing") << " ; ;\n" << all;
        QTest::newRow("a name at any depth") << "node_modules"
                                             << QStringList { "a.tmp", "build/out.bin", "docs/cache/c.bin", "docs/x.md",
                                                    "src/.git/HEAD", "src/cache/d.bin", "src/main.c" };
        QTest::newRow("two names") << ".git; node_modules"
                                   << QStringList { "a.tmp", "build/out.bin", "docs/cache/c.bin", "docs/x.md",
                                          "src/cache/d.bin", "src/main.c" };
        QTest::newRow("a glob of file names") << "*.tmp;*.md"
                                              << QStringList { "build/out.bin", "docs/cache/c.bin", "node_modules/m.js",
                                                     "src/.git/HEAD", "src/cache/d.bin", "src/main.c",
                                                     "src/node_modules/n.js" };
        QTest::newRow("a folder at any depth by path") << "*/cache/*"
                                                       << QStringList { "a.tmp", "build/out.bin", "docs/x.md",
                                                              "node_modules/m.js", "src/.git/HEAD", "src/main.c",
                                                              "src/node_modules/n.js" };
        QTest::newRow("a path from the top") << "/build; src/node_modules"
                                             << QStringList { "a.tmp", "docs/cache/c.bin", "docs/x.md",
                                                    "node_modules/m.js", "src/.git/HEAD", "src/cache/d.bin",
                                                    "src/main.c" };
        QTest::newRow("folders alone") << "cache/; a.tmp/"
                                       << QStringList { "a.tmp", "build/out.bin", "docs/x.md", "node_modules/m.js",
                                              "src/.git/HEAD", "src/main.c", "src/node_modules/n.js" };
        QTest::newRow("case counts") << "NODE_MODULES; *.TMP" << all;
        QTest::newRow("the listed folder's own name") << "tree" << all;
    }

    void patternsAgainstATree()
    {
        QFETCH(QString, patterns);
        QFETCH(QStringList, collected);
        TestDir dir;
        for (const char* rel : { "a.tmp", "build/out.bin", "docs/cache/c.bin", "docs/x.md", "node_modules/m.js",
                 "src/.git/HEAD", "src/cache/d.bin", "src/main.c", "src/node_modules/n.js" })
            dir.createFile(QStringLiteral("tree/") + QLatin1String(rel), 10);

        RecordingWindow w;
        w.FSettings.MinSizeMB = 0;
        w.FSettings.FileDuplicates = false;
        w.FSettings.Exclude = ParseExclusions(patterns);
        w.AddFolder(dir.path("tree"));
        w.btnScanClick();

        QStringList expected;
        for (const QString& rel : collected)
            expected << QStringLiteral("tree/") + rel;
        QCOMPARE(Collected(w, dir), expected);
        QVERIFY(w.FSkips.Empty());
    }

    // An excluded folder is never opened: one that may not be read gives no
    // error when it is excluded.
    void excludedFolderIsNeverOpened()
    {
        TestDir dir;
        dir.createFile("tree/a.bin", 10);
        dir.createFile("tree/private/b.bin", 10);
        QCOMPARE(::chmod(QFile::encodeName(dir.path("tree/private")).constData(), 0), 0);
        MakeReachable(dir.path("tree"));
        const int result = RunUnprivileged([&] {
            for (const bool excluded : { false, true }) {
                RecordingWindow w;
                w.FSettings.MinSizeMB = 0;
                w.FSettings.FileDuplicates = false;
                if (excluded)
                    w.FSettings.Exclude = { QStringLiteral("private") };
                w.AddFolder(dir.path("tree"));
                w.btnScanClick();
                if (w.FSkips.Count(SkipKind::FolderUnreadable) != (excluded ? 0 : 1) || w.FFiles.size() != 1)
                    return 1;
            }
            return 0;
        });
        ::chmod(QFile::encodeName(dir.path("tree/private")).constData(), 0700);
        if (result == kCannotDropRoot)
            QSKIP("cannot run as another user here");
        QCOMPARE(result, 0);
    }

    // Folder clones: an excluded folder is no candidate, and the folder that
    // holds it is not known whole, so it matches no other; excluded files
    // still count in their folder.
    void exclusionsAndFolderClones()
    {
        TestDir dir;
        for (const QString top : { "p1", "p2" }) {
            dir.createFile(top + QStringLiteral("/src/main.c"), 100);
            dir.createFile(top + QStringLiteral("/node_modules/m.js"), 50);
        }
        dir.createFile("p1/src/x.tmp", 5); // p1/src and p2/src differ by an excluded file

        RecordingWindow w;
        w.FSettings.MinSizeMB = 0;
        w.FSettings.FileDuplicates = false;
        w.FSettings.DirDuplicates = true;
        w.FSettings.Exclude = { QStringLiteral("node_modules"), QStringLiteral("*.tmp") };
        w.AddFolder(dir.path());
        w.btnScanClick();
        QCOMPARE(Rows(w.lvDirs, dir, false), QStringList {});

        w.FSettings.Exclude = { QStringLiteral("node_modules") };
        QFile::remove(dir.path("p1/src/x.tmp"));
        w.btnScanClick();
        QCOMPARE(Rows(w.lvDirs, dir, false), (QStringList { "p1/src", "p2/src" }));
    }

    // Files met in a reference folder, by any path, are marked; the list
    // keeps them unchecked and checks the other copies of their group.
    void referenceFiles()
    {
        TestDir dir;
        dir.createFile("archive/a.bin", QByteArray("same a"));
        dir.createFile("archive/sub/b.bin", QByteArray("same b"));
        dir.createFile("work/a.bin", QByteArray("same a"));
        dir.createFile("work/a2.bin", QByteArray("same a"));
        dir.createFile("work/c1.bin", QByteArray("same c"));
        dir.createFile("work/c2.bin", QByteArray("same c"));
        dir.createLink(dir.path("archive/sub"), "work/link"); // the archive's b.bin, reached from work first

        RecordingWindow w;
        w.FSettings.MinSizeMB = 0;
        w.AddFolders({ dir.path("work"), dir.path("archive") });
        w.SetReferenceFolder(w.Folders()[1], true);
        QCOMPARE(w.ReferenceFolders(), QStringList { w.Folders()[1] });
        w.btnScanClick();

        QCOMPARE(Rows(w.lvFiles, dir),
            (QStringList { "work/a.bin*", "work/a2.bin*", "archive/a.bin!", "work/c1.bin", "work/c2.bin*" }));
        for (TFileInfo* f : w.FFiles)
            if (f->Name() == u"b.bin")
                QVERIFY2(f->Reference, qPrintable(f->FullPath()));

        // A folder leaves the list with its mark.
        w.SelectedFolder = 1;
        w.btnRemoveFolderClick();
        QVERIFY(w.ReferenceFolders().isEmpty());
    }

    // Folder rows in or below a reference folder are marked, also when an
    // earlier listed folder holds the reference folder.
    void referenceFolders()
    {
        TestDir dir;
        for (const QString top : { "data/ref/x", "data/y", "data/z" })
            dir.createFile(top + QStringLiteral("/f.bin"), 100);

        RecordingWindow w;
        w.FSettings.MinSizeMB = 0;
        w.FSettings.FileDuplicates = false;
        w.FSettings.DirDuplicates = true;
        w.AddFolders({ dir.path("data"), dir.path("data/ref") });
        w.SetReferenceFolder(w.Folders()[1], true);
        w.btnScanClick();

        QCOMPARE(Rows(w.lvDirs, dir, false), (QStringList { "data/ref/x!", "data/y", "data/z" }));
    }
};

QTEST_GUILESS_MAIN(TestKeep)
#include "tst_engine_keep.moc"
