// Folder trees compared by their bytes: the comparison of a checked folder
// with the folders of its group that stay, and folder clone groups split by
// content at a scan, against an independent reading of generated trees.

#include "engine/FolderContents.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QtTest>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Mutation = std::function<void(TestDir&)>;
Q_DECLARE_METATYPE(Mutation)

namespace {

// The listed groups, each as its folders' paths joined by a tab (the form
// folder_groups.py prints), sorted.
QStringList GroupLines(const ScanWindow& w)
{
    QMap<int, QStringList> byGroup;
    for (const ResultItem& item : w.lvDirs.Items())
        byGroup[item.GroupId] << item.SubItems.value(0);
    QStringList lines;
    for (QStringList g : byGroup) {
        g.sort();
        lines << g.join(u'\t');
    }
    lines.sort();
    return lines;
}

// The same, relative to the test folder.
QStringList RelativeGroups(const ScanWindow& w, const TestDir& d)
{
    QStringList lines = GroupLines(w);
    for (QString& l : lines)
        l.replace(d.path() + u'/', QString());
    return lines;
}

QStringList Oracle(const QString& root, const char* mode)
{
    QProcess p;
    p.start(QStringLiteral("python3"),
        { QStringLiteral(TWINLENS_SOURCE_DIR "/tests/support/folder_groups.py"), root, QLatin1String(mode) });
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        qFatal("folder_groups.py failed: %s", p.readAllStandardError().constData());
    QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

void ScanFolders(RecordingWindow& w, const QStringList& folders, bool contents)
{
    w.FSettings.FileDuplicates = false;
    w.FSettings.DirDuplicates = true;
    w.FSettings.MaxGroups = 0;
    w.FSettings.FolderContents = contents;
    w.AddFolders(folders);
    w.btnScanClick();
}

// Writes bytes over the start of the file at path, keeping its size and its
// modification time.
void Overwrite(const QString& path, const QByteArray& bytes)
{
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    QVERIFY(::stat(native.constData(), &st) == 0);
    const int fd = ::open(native.constData(), O_WRONLY);
    QVERIFY(fd >= 0);
    QCOMPARE(::pwrite(fd, bytes.constData(), size_t(bytes.size()), 0), ssize_t(bytes.size()));
    ::close(fd);
    const struct timespec times[2] = { st.st_atim, st.st_mtim };
    QVERIFY(::utimensat(AT_FDCWD, native.constData(), times, 0) == 0);
}

QByteArray Noise(int size, int seed)
{
    QByteArray b(size, '\0');
    quint32 x = quint32(seed) * 2654435761u + 1;
    for (char& c : b) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    return b;
}

// a/docs and b/docs: a database of 2 MB and a note of 6 bytes each.
void MakeDocs(TestDir& d, const QString& top, int seed, const QByteArray& note)
{
    d.createFile(top + QStringLiteral("/docs/db.bin"), Noise(2 * 1024 * 1024, seed));
    d.createFile(top + QStringLiteral("/docs/note.txt"), note);
}

} // namespace

class TestFolderContents : public QObject {
    Q_OBJECT

private slots:
    // What names and sizes group, and what the bytes then keep together.
    void scanSplitsByContent_data()
    {
        QTest::addColumn<Mutation>("change"); // made to b, a copy of a
        QTest::addColumn<QStringList>("without");
        QTest::addColumn<QStringList>("with");
        const QStringList both { "a\tb", "a/docs\tb/docs" };
        QTest::newRow("a true copy") << Mutation([](TestDir&) { }) << both << both;
        QTest::newRow("other bytes in every file") << Mutation([](TestDir& d) {
            MakeDocs(d, QStringLiteral("b"), 2, "HELLO\n");
        }) << both << QStringList {};
        QTest::newRow("one byte at the end of the database") << Mutation([](TestDir& d) {
            QByteArray db = Noise(2 * 1024 * 1024, 1);
            db[db.size() - 1] = char(db.back() ^ 1);
            d.createFile(QStringLiteral("b/docs/db.bin"), db);
        }) << both << QStringList {};
        QTest::newRow("a difference beside docs keeps docs together") << Mutation([](TestDir& d) {
            d.createFile(QStringLiteral("a/top.txt"), QByteArray("one"));
            d.createFile(QStringLiteral("b/top.txt"), QByteArray("two"));
        }) << both << QStringList { "a/docs\tb/docs" };
        QTest::newRow("letter case of a name") << Mutation([](TestDir& d) {
            QVERIFY(QFile::rename(d.path(QStringLiteral("b/docs/note.txt")), d.path(QStringLiteral("b/docs/Note.txt"))));
        }) << both << QStringList {};
        QTest::newRow("a link's text") << Mutation([](TestDir& d) {
            d.createFile(QStringLiteral("a/docs/t1"), QByteArray("same"));
            d.createFile(QStringLiteral("b/docs/t1"), QByteArray("same"));
            d.createFile(QStringLiteral("a/docs/t2"), QByteArray("same"));
            d.createFile(QStringLiteral("b/docs/t2"), QByteArray("same"));
            d.createLink(QStringLiteral("t1"), QStringLiteral("a/docs/link"));
            d.createLink(QStringLiteral("t2"), QStringLiteral("b/docs/link"));
        }) << both << QStringList {};
        QTest::newRow("empty files and folders") << Mutation([](TestDir& d) {
            for (const char* top : { "a", "b" }) {
                d.createFile(QString::fromLatin1(top) + QStringLiteral("/docs/empty"), QByteArray());
                d.createDir(QString::fromLatin1(top) + QStringLiteral("/docs/none"));
            }
        }) << QStringList { "a\tb", "a/docs\tb/docs", "a/docs/none\tb/docs/none" }
           << QStringList { "a\tb", "a/docs\tb/docs", "a/docs/none\tb/docs/none" };
    }

    void scanSplitsByContent()
    {
        QFETCH(Mutation, change);
        QFETCH(QStringList, without);
        QFETCH(QStringList, with);
        for (const bool contents : { false, true }) {
            TestDir d;
            MakeDocs(d, QStringLiteral("a"), 1, "hello\n");
            MakeDocs(d, QStringLiteral("b"), 1, "hello\n");
            change(d);
            RecordingWindow w;
            w.FContentOptions.SameSplitDigests = true; // only the side-by-side reads tell files apart
            ScanFolders(w, { d.folder() }, contents);
            QCOMPARE(RelativeGroups(w, d), contents ? with : without);
            // The step names itself, with its progress.
            const QStringList statuses = w.Statuses();
            QCOMPARE(std::any_of(statuses.cbegin(), statuses.cend(),
                         [](const QString& s) { return s.startsWith(QStringLiteral("Comparing folder contents (")); }),
                contents);
        }
    }

    // A group of three splits into the pair that agrees; the third member
    // alone is no group.
    void groupOfThreeSplits()
    {
        TestDir d;
        MakeDocs(d, QStringLiteral("a"), 1, "hello\n");
        MakeDocs(d, QStringLiteral("b"), 2, "HELLO\n");
        MakeDocs(d, QStringLiteral("c"), 1, "hello\n");
        RecordingWindow w;
        ScanFolders(w, { d.folder() }, true);
        QCOMPARE(RelativeGroups(w, d), (QStringList { "a\tc", "a/docs\tc/docs" }));
        // Ordered as without the option: largest total first.
        QCOMPARE(w.lvDirs.Items().first().SubItems.value(0), d.path(QStringLiteral("a")));
        QCOMPARE(w.lvDirs.Groups().size(), 2);
    }

    // A stop while contents are compared lists nothing, as one while grouping.
    void stopDuringTheSplit()
    {
        TestDir d;
        MakeDocs(d, QStringLiteral("a"), 1, "hello\n");
        MakeDocs(d, QStringLiteral("b"), 1, "hello\n");
        RecordingWindow w;
        w.OnEveryPump([&w](int) {
            if (w.StatusText().startsWith(QStringLiteral("Reading folders to compare")))
                w.btnStopClick();
        });
        ScanFolders(w, { d.folder() }, true);
        QCOMPARE(w.lvDirs.ItemCount(), 0);
        QVERIFY2(w.Statuses().contains(QStringLiteral("Directory scan cancelled.")), qPrintable(w.Describe()));
        QCOMPARE(w.Statuses().last(), QStringLiteral("Cancelled"));
    }

    // The comparison before a removal, on its own: which kept folder is
    // equal, and the first entry that differs from the first kept folder.
    void compareWithKept_data()
    {
        QTest::addColumn<Mutation>("change"); // made to c, a copy of k1 and k2
        QTest::addColumn<int>("sameAs");
        QTest::addColumn<QString>("difference"); // below the test folder
        QTest::newRow("equal to the first") << Mutation([](TestDir&) { }) << 0 << "";
        QTest::newRow("equal to the second only") << Mutation([](TestDir& d) {
            d.createFile(QStringLiteral("k1/docs/note.txt"), QByteArray("HELLO\n"));
        }) << 1 << "";
        QTest::newRow("bytes differ from both") << Mutation([](TestDir& d) {
            MakeDocs(d, QStringLiteral("c"), 9, "HELLO\n");
        }) << -1 << "c/docs/db.bin";
        QTest::newRow("the later file differs") << Mutation([](TestDir& d) {
            d.createFile(QStringLiteral("c/docs/note.txt"), QByteArray("HELLO\n"));
        }) << -1 << "c/docs/note.txt";
        QTest::newRow("an entry the checked folder lacks") << Mutation([](TestDir& d) {
            d.createFile(QStringLiteral("k1/docs/extra"), QByteArray());
            d.createFile(QStringLiteral("k2/docs/extra"), QByteArray());
        }) << -1 << "k1/docs/extra";
        QTest::newRow("an empty folder more") << Mutation([](TestDir& d) { d.createDir(QStringLiteral("c/docs/new")); })
                                              << -1 << "c/docs/new";
        QTest::newRow("a link in place of a folder") << Mutation([](TestDir& d) {
            QVERIFY(d.remove(QStringLiteral("c/docs")));
            d.createLink(d.path(QStringLiteral("k1/docs")), QStringLiteral("c/docs"));
        }) << -1 << "c/docs";
        QTest::newRow("a FIFO for a file") << Mutation([](TestDir& d) {
            QVERIFY(d.remove(QStringLiteral("c/docs/note.txt")));
            d.createFifo(QStringLiteral("c/docs/note.txt"));
        }) << -1 << "c/docs/note.txt";
        QTest::newRow("the checked folder is gone") << Mutation([](TestDir& d) { QVERIFY(d.remove(QStringLiteral("c"))); })
                                                    << -1 << "c";
    }

    void compareWithKept()
    {
        QFETCH(Mutation, change);
        QFETCH(int, sameAs);
        QFETCH(QString, difference);
        TestDir d;
        for (const char* top : { "c", "k1", "k2" })
            MakeDocs(d, QString::fromLatin1(top), 1, "hello\n");
        change(d);
        std::vector<FolderCopyCheck> checks(1);
        checks[0].Folder = d.path(QStringLiteral("c"));
        checks[0].Kept = QStringList { d.path(QStringLiteral("k1")), d.path(QStringLiteral("k2")) };
        const std::atomic<bool> stop { false };
        FolderCompareProgress progress;
        ContentOptions options;
        options.SameSplitDigests = true;
        QVERIFY(CompareFolderCopies(checks, options, stop, progress));
        QCOMPARE(checks[0].SameAs, sameAs);
        QCOMPARE(checks[0].Difference, difference.isEmpty() ? QString() : d.path(difference));
        QCOMPARE(progress.FoldersRead.load(), 3);
    }

    // Trees deeper than the longest path the system takes at once are read
    // and compared all the way down, by descriptors.
    void deepTreesCompared()
    {
        TestDir d;
        const QByteArray bytes = Noise(64 * 1024, 3);
        d.createDeepChain(QStringLiteral("c"), 3000, "f.bin", bytes);
        d.createDeepChain(QStringLiteral("k"), 3000, "f.bin", bytes);
        QByteArray other = bytes;
        other[100] = char(other[100] ^ 1);
        const QByteArray deepOther = d.createDeepChain(QStringLiteral("o"), 3000, "f.bin", other);
        QVERIFY(deepOther.size() > 4096);
        std::vector<FolderCopyCheck> checks(2);
        checks[0].Folder = d.path(QStringLiteral("c"));
        checks[0].Kept = QStringList { d.path(QStringLiteral("k")) };
        checks[1].Folder = d.path(QStringLiteral("o"));
        checks[1].Kept = QStringList { d.path(QStringLiteral("k")) };
        const std::atomic<bool> stop { false };
        FolderCompareProgress progress;
        QVERIFY(CompareFolderCopies(checks, ContentOptions(), stop, progress));
        QCOMPARE(checks[0].SameAs, 0);
        QCOMPARE(checks[1].SameAs, -1);
        QCOMPARE(checks[1].Difference, QString::fromUtf8(deepOther));
    }

    // On generated trees (copies whole, copies with other letter case, near
    // misses), with files of some copies rewritten in place: the groups
    // without the option are those of names and sizes, with it those of
    // paths, sizes and bytes, each read by folder_groups.py.
    void generatedTreesMatchTheOracle()
    {
        TestDir d;
        QProcess gen;
        gen.start(QStringLiteral("python3"),
            { QStringLiteral(TWINLENS_SOURCE_DIR "/bench/gen_dirs.py"), QStringLiteral("--dirs"), QStringLiteral("1500"),
                QStringLiteral("--out"), d.path(QStringLiteral("t")), QStringLiteral("--seed"), QStringLiteral("5") });
        QVERIFY(gen.waitForFinished(120000) && gen.exitCode() == 0);
        // Every 9th non-empty file, in name order, gets bytes of its own.
        QStringList files;
        for (QDirIterator it(d.path(QStringLiteral("t")), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            files << it.next();
        files.sort();
        int rewritten = 0;
        for (int i = 0; i < files.size(); i += 9) {
            if (QFileInfo(files[i]).size() >= 8) {
                Overwrite(files[i], Noise(8, i));
                ++rewritten;
            }
        }
        QVERIFY(rewritten > 20);

        const QStringList names = Oracle(d.path(QStringLiteral("t")), "names");
        const QStringList bytes = Oracle(d.path(QStringLiteral("t")), "bytes");
        QVERIFY(names.size() > 50);
        QVERIFY(bytes.size() < names.size()); // the rewrites split some groups
        QVERIFY(bytes.size() > 10);
        for (const bool contents : { false, true }) {
            RecordingWindow w;
            ScanFolders(w, { d.folder(QStringLiteral("t")) }, contents);
            QCOMPARE(GroupLines(w), contents ? bytes : names);
        }
    }
};

QTEST_GUILESS_MAIN(TestFolderContents)
#include "tst_engine_foldercontents.moc"
