// Content comparison in stages: where two files differ (on each side of the
// head and tail blocks, in the middle, at the ends), sets that split on the
// way, sets too large to hold open, files that change under the comparison,
// contents of one digest, and a stop in each stage.

#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include "engine/ContentStages.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>
#include <QThread>

#include <memory>

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kBlock = 4096;

QByteArray Pattern(qint64 size, int seed)
{
    QByteArray b(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        b[i] = char((i * 131 + seed * 17 + i / 509) % 253);
    return b;
}

QByteArray Flipped(QByteArray b, qint64 at)
{
    b[at] = char(b[at] ^ 0x5a);
    return b;
}

QString Sha1(const QByteArray& b)
{
    return QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Sha1).toHex());
}

// Records of files made from contents, all of one size, compared as one class.
struct Class {
    std::vector<std::unique_ptr<TFileInfo>> Records;
    std::vector<TFileInfo*> Files;

    Class(TestDir& dir, const QList<QByteArray>& contents)
    {
        for (int i = 0; i < contents.size(); ++i) {
            const QString path = dir.createFile(QStringLiteral("c/f%1").arg(i), contents[i]);
            Records.push_back(std::make_unique<TFileInfo>(path, contents[i].size()));
            Files.push_back(Records.back().get());
        }
    }

    int Settle(const ContentOptions& options, const std::atomic<bool>& stop = std::atomic<bool> { false })
    {
        std::atomic<int> settled { 0 };
        SkipReport skips;
        SettleContents(Files, { SizeClass { 0, Files.size() } }, options, stop, settled, skips);
        return settled;
    }
};

ContentOptions SmallBlocks(bool sameSplitDigests)
{
    ContentOptions o;
    o.Threads = 2;
    o.HeadBlock = kBlock;
    o.ReadBlock = kBlock;
    o.SameSplitDigests = sameSplitDigests;
    return o;
}

QStringList Digests(const ScanWindow& w)
{
    QStringList out;
    for (const TFileInfo* f : w.FFiles)
        out << f->ContentHash();
    return out;
}

} // namespace

class TestContent : public QObject {
    Q_OBJECT
private slots:
    void differences_data();
    void differences();
    void setSplitsSeveralTimes();
    void setLargerThanOpenBound();
    void changedUnderTheScan_data();
    void changedUnderTheScan();
    void changedWhileRead_data();
    void changedWhileRead();
    void heldClassOfSmallFiles();
    void oneDigestTwoContents();
    void stopInEachStage_data();
    void stopInEachStage();
};

// a, a copy of it, and b that differs from a in one byte: the copies share a's
// SHA-1 and one set; b keeps no digest.
void TestContent::differences_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("at");
    const qint64 big = 5 * kBlock + 100;
    const struct {
        const char* name;
        qint64 size, at;
    } rows[] = {
        { "first byte", big, 0 },
        { "last byte", big, big - 1 },
        { "one byte in the middle", big, big / 2 },
        { "last byte of the head", big, kBlock - 1 },
        { "first byte after the head", big, kBlock },
        { "last byte before the tail", big, big - kBlock - 1 },
        { "first byte of the tail", big, big - kBlock },
        { "shorter than a block", 100, 50 },
        { "exactly one block", kBlock, kBlock - 1 },
        { "one block and one byte", kBlock + 1, kBlock },
        { "two blocks, tail right after the head", 2 * kBlock, kBlock },
        { "tail overlapping the head", kBlock + kBlock / 2, kBlock / 2 },
    };
    for (bool same : { false, true })
        for (const auto& r : rows)
            QTest::addRow("%s%s", r.name, same ? ", bytes only" : "") << r.size << r.at;
}

void TestContent::differences()
{
    QFETCH(qint64, size);
    QFETCH(qint64, at);
    const bool bytesOnly = QString::fromLatin1(QTest::currentDataTag()).endsWith("bytes only");
    TestDir dir;
    const QByteArray a = Pattern(size, 1);
    Class c(dir, { a, a, Flipped(a, at) });
    QCOMPARE(c.Settle(SmallBlocks(bytesOnly)), 3);
    QCOMPARE(c.Files[0]->ContentHash(), Sha1(a));
    QCOMPARE(c.Files[1]->ContentHash(), Sha1(a));
    QCOMPARE(c.Files[0]->ContentSet, c.Files[1]->ContentSet);
    QVERIFY(c.Files[0]->ContentSet != 0);
    QCOMPARE(c.Files[2]->ContentHash(), QString());
}

// Compared block by block: the set splits at block 1, 3 and 4, each part going
// on with its own digest.
void TestContent::setSplitsSeveralTimes()
{
    TestDir dir;
    const QByteArray base = Pattern(6 * kBlock, 2);
    const QByteArray x3 = Flipped(base, 3 * kBlock + 7);
    const QByteArray y1 = Flipped(base, kBlock + 1);
    Class c(dir, { base, x3, y1, base, x3, Flipped(base, 5 * kBlock), y1, Flipped(y1, 4 * kBlock) });
    QCOMPARE(c.Settle(SmallBlocks(true)), 8);
    const QStringList expected = { Sha1(base), Sha1(x3), Sha1(y1), Sha1(base), Sha1(x3), QString(), Sha1(y1), QString() };
    QSet<quint32> sets;
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(c.Files[size_t(i)]->ContentHash(), expected[i]);
        if (!expected[i].isEmpty())
            sets.insert(c.Files[size_t(i)]->ContentSet);
    }
    QCOMPARE(sets.size(), 3);
    QCOMPARE(c.Files[0]->ContentSet, c.Files[3]->ContentSet);
}

// More equal files than may be open at once: each is hashed whole, and the
// one whose digest no other file shares keeps none.
void TestContent::setLargerThanOpenBound()
{
    TestDir dir;
    const QByteArray a = Pattern(3 * kBlock, 3);
    Class c(dir, { a, a, Flipped(a, 2 * kBlock), a, a, a });
    ContentOptions o = SmallBlocks(true);
    o.OpenBound = 3;
    QCOMPARE(c.Settle(o), 6);
    for (int i : { 0, 1, 3, 4, 5 }) {
        QCOMPARE(c.Files[size_t(i)]->ContentHash(), Sha1(a));
        QCOMPARE(c.Files[size_t(i)]->ContentSet, c.Files[0]->ContentSet);
    }
    QCOMPARE(c.Files[2]->ContentHash(), QString());
}

// Between collection and comparison one file is changed: it takes part in no
// group and is counted as unreadable, and the others group as before. A file
// replaced by a link to another file is never read through the link.
void TestContent::changedUnderTheScan_data()
{
    QTest::addColumn<bool>("parallel");
    QTest::addColumn<QString>("change");
    for (bool parallel : { false, true })
        for (const char* change : { "vanished", "shrunk", "grown", "link to its twin", "another file", "folder" })
            QTest::addRow("%s, %s", change, parallel ? "workers" : "window thread") << parallel << QString::fromLatin1(change);
}

void TestContent::changedUnderTheScan()
{
    QFETCH(bool, parallel);
    QFETCH(QString, change);
    TestDir dir;
    const QByteArray twin = Pattern(3 * kBlock, 4);
    const QByteArray other = Pattern(3 * kBlock, 5);
    const QString x = dir.createFile("x", other);
    dir.createFile("y", twin);
    dir.createFile("z", twin);
    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.FSettings.MaxGroups = 0;
    w.FSettings.ParallelHash = parallel;
    w.FContentOptions = SmallBlocks(false);
    w.AddFolder(dir.path());
    w.CollectFiles();
    QCOMPARE(int(w.FFiles.size()), 3);

    if (change == "another file") {
        // Made while x still exists, so it cannot take x's identity.
        const QString fresh = dir.createFile("x.new", twin);
        QCOMPARE(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(x).constData()), 0);
    } else {
        QVERIFY(dir.remove("x"));
    }
    if (change == "shrunk")
        dir.createFile("x", other.left(other.size() - 1));
    else if (change == "grown")
        dir.createFile("x", other + 'x');
    else if (change == "link to its twin")
        dir.createLink("y", "x");
    else if (change == "folder")
        dir.createDir("x");

    w.ComputeAllHashes();
    QCOMPARE(w.FFiles[0]->ContentHash(), QString());
    QCOMPARE(w.FFiles[1]->ContentHash(), Sha1(twin));
    QCOMPARE(w.FFiles[2]->ContentHash(), Sha1(twin));
    QCOMPARE(w.FSkips.Count(SkipKind::FileUnreadable), 1);
    QCOMPARE(w.FSkips.Examples(SkipKind::FileUnreadable), QList<QByteArray> { QFile::encodeName(x) });
    w.FindFileDuplicates();
    QCOMPARE(w.lvFiles.GroupCount(), 1);
    QCOMPARE(w.lvFiles.ItemCount(), 2);
    QVERIFY(w.Messages().isEmpty());
}

// A file changed between its open and its last read, in each stage and both
// hashing ways: rewritten in place with its modification time put back,
// renamed over by a file of the same size, or swapped for a link to its twin.
// Only the change time, or the path's identity, tells; the file joins no
// group and is counted, its twins stay grouped.
void TestContent::changedWhileRead_data()
{
    QTest::addColumn<bool>("parallel");
    QTest::addColumn<QString>("stage");
    QTest::addColumn<QString>("change");
    for (const char* change : { "in place", "renamed over", "link" }) {
        QTest::addRow("%s, window thread", change) << false << QString("whole") << QString::fromLatin1(change);
        for (const char* stage : { "heads", "tails", "side by side", "small class", "held class" })
            QTest::addRow("%s, %s", change, stage) << true << QString::fromLatin1(stage) << QString::fromLatin1(change);
    }
}

void TestContent::changedWhileRead()
{
    QFETCH(bool, parallel);
    QFETCH(QString, stage);
    QFETCH(QString, change);
    TestDir dir;
    // Small files settle in memory: a few in one piece, a class too large
    // for that (over 256 KiB) while its heads are read.
    const bool small = stage == "small class" || stage == "held class";
    const QByteArray twin = Pattern(small ? (stage == "held class" ? kBlock : 100) : 3 * kBlock, 4);
    dir.createFile("a", twin);
    const QString b = dir.createFile("b", twin);
    dir.createFile("c", twin);
    if (stage == "held class")
        for (int i = 0; i < 70; ++i)
            dir.createFile(QStringLiteral("other/%1").arg(i), Pattern(kBlock, 10 + i));
    // The change time counts in ticks of the kernel's clock: the change below
    // must come in a later tick than the files were made in.
    QThread::msleep(20);

    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.FSettings.MaxGroups = 0;
    w.FSettings.ParallelHash = parallel;
    w.FContentOptions = SmallBlocks(false);
    std::atomic<int> current { -1 };
    const int wanted = stage == "tails" ? 1 : stage == "side by side" ? 2 : 0;
    w.FContentOptions.StageStarted = [&](int s) { current = s; };
    std::atomic<bool> done { false };
    const QByteArray bPath = QFile::encodeName(b);
    w.FContentOptions.BlockRead = [&](const TFileInfo& f, qint64) {
        if (f.NativePath() != bPath || (parallel && current != wanted) || done.exchange(true))
            return;
        if (change == "in place") {
            struct stat before;
            QCOMPARE(::stat(bPath.constData(), &before), 0);
            const int fd = ::open(bPath.constData(), O_WRONLY);
            QVERIFY(fd >= 0);
            const char x = char(twin[twin.size() / 2] ^ 1);
            QCOMPARE(::pwrite(fd, &x, 1, twin.size() / 2), ssize_t(1));
            ::close(fd);
            const struct timespec times[2] = { before.st_atim, before.st_mtim };
            QCOMPARE(::utimensat(AT_FDCWD, bPath.constData(), times, 0), 0);
        } else if (change == "renamed over") {
            const QString fresh = dir.createFile("b.new", Flipped(twin, twin.size() / 2));
            QCOMPARE(::rename(QFile::encodeName(fresh).constData(), bPath.constData()), 0);
        } else {
            QVERIFY(dir.remove("b"));
            dir.createLink("a", "b");
        }
    };
    w.AddFolder(dir.path());
    w.btnScanClick();
    QVERIFY(done);
    QCOMPARE(w.FSkips.Count(SkipKind::FileUnreadable), 1);
    QCOMPARE(w.FSkips.Examples(SkipKind::FileUnreadable), QList<QByteArray> { bPath });
    QCOMPARE(w.lvFiles.GroupCount(), 1);
    QCOMPARE(w.lvFiles.ItemCount(), 2);
    for (const ResultItem& item : w.lvFiles.Items()) {
        QVERIFY(item.Data->NativePath() != bPath);
        QCOMPARE(item.Data->ContentHash(), Sha1(twin));
    }
}

// A class of small files too large to settle in one piece is held while its
// heads are read and settled from the bytes held: every content met twice
// makes one group of exactly its files, with its true SHA-1.
void TestContent::heldClassOfSmallFiles()
{
    TestDir dir;
    QList<QByteArray> contents;
    for (int i = 0; i < 150; ++i)
        contents << Pattern(2000, i % 60 < 30 ? i % 30 : 100 + i); // 30 contents three times, 60 alone
    Class c(dir, contents);
    ContentOptions o;
    o.Threads = 2;
    QCOMPARE(c.Settle(o), 150);
    for (int i = 0; i < 150; ++i) {
        const bool shared = i % 60 < 30;
        QCOMPARE(c.Files[size_t(i)]->ContentHash(), shared ? Sha1(contents[i]) : QString());
        for (int j = 0; j < i && shared; ++j)
            if (j % 60 < 30)
                QCOMPARE(c.Files[size_t(i)]->ContentSet == c.Files[size_t(j)]->ContentSet, contents[i] == contents[j]);
    }
}

// Two contents with one SHA-1 (a stand-in digest here, as for a published
// collision pair): the bytes keep them two groups.
void TestContent::oneDigestTwoContents()
{
    TestDir dir;
    const QByteArray a = Pattern(2 * kBlock, 6);
    const QByteArray b = Flipped(a, kBlock + 3);
    for (const char* n : { "a1", "a2" })
        dir.createFile(n, a);
    for (const char* n : { "b1", "b2" })
        dir.createFile(n, b);
    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.FSettings.MaxGroups = 0;
    w.FContentOptions = SmallBlocks(true);
    w.FContentOptions.SameFinalDigests = true;
    w.AddFolder(dir.path());
    w.btnScanClick();
    QCOMPARE(Digests(w), QStringList(4, QString(40, u'0')));
    QCOMPARE(w.lvFiles.GroupCount(), 2);
    QMap<int, QString> letters; // the first letters of each group's names
    for (const ResultItem& item : w.lvFiles.Items())
        letters[item.GroupId] += item.Data->Name().front();
    QCOMPARE(QStringList(letters.values()), QStringList({ "aa", "bb" }));
}

// A stop as each stage begins: the call returns without settling anything
// more, the status says so with the files settled before, and no file is
// given a digest.
void TestContent::stopInEachStage_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("settled");
    QTest::newRow("heads") << 0 << 0;
    QTest::newRow("tails") << 1 << 2;        // the small pair; the heads are all alike
    QTest::newRow("side by side") << 2 << 3; // and the tails set one file apart
}

void TestContent::stopInEachStage()
{
    QFETCH(int, stage);
    QFETCH(int, settled);
    TestDir dir;
    const QByteArray a = Pattern(3 * kBlock, 7);
    dir.createFile("a1", a);
    dir.createFile("a2", a);
    dir.createFile("b", Flipped(a, a.size() - 1));     // differs in the tail
    dir.createFile("c", Flipped(a, a.size() / 2));     // differs between head and tail
    // A pair of small files, settled whole as the heads are read.
    dir.createFile("s1", QByteArray("small"));
    dir.createFile("s2", QByteArray("small"));
    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.FContentOptions = SmallBlocks(false);
    w.FContentOptions.StageStarted = [&w, stage](int s) {
        if (s == stage)
            w.FStopRequested = true; // as Stop would, from any thread
    };
    w.AddFolder(dir.path());
    w.btnScanClick();
    // The last count shown, once the workers had ended; then the run's own text.
    const QStringList statuses = w.Statuses();
    QCOMPARE(statuses.value(statuses.size() - 2), QStringLiteral("Stopping SHA-1 hashing... %1 / 6").arg(settled));
    QCOMPARE(w.StatusText(), "Cancelled");
    // The sets settled before the stop are listed; nothing else has a digest.
    const QString small = stage == 0 ? QString() : Sha1("small");
    QCOMPARE(Digests(w), (QStringList { QString(), QString(), QString(), QString(), small, small }));
    QCOMPARE(w.lvFiles.GroupCount(), stage == 0 ? 0 : 1);
    QCOMPARE(w.lvFiles.ItemCount(), stage == 0 ? 0 : 2);
    QVERIFY(!w.IsRunning());
}

QTEST_GUILESS_MAIN(TestContent)
#include "tst_engine_content.moc"
