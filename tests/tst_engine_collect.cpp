// File collection: which files a scan takes, in what order, with what it shows
// meanwhile, and the rule that one file system object is one entry.

#include "engine/Listing.h"
#include "engine/RemovalPlan.h"
#include "platform/core/FileSystem.h"
#include "platform/core/TreeWalk.h"
#include "support/ChildProcess.h"
#include "support/OtherUser.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QFile>

#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestCollect : public QObject {
    Q_OBJECT
private slots:
    void sizeFilter_data();
    void sizeFilter();
    void statusAndPumps();
    void oneObjectOneEntry();
    void masksInOneWalk();
    void deepTreeWalkedWhole_data();
    void deepTreeWalkedWhole();
    void stopDuringListing();
    void bigFolderInPieces();
    void skippedIsCounted_data();
    void skippedIsCounted();
};

void TestCollect::sizeFilter_data()
{
    QTest::addColumn<int>("minMB");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("kept");
    QTest::newRow("empty, no minimum") << 0 << qint64(0) << false;
    QTest::newRow("1 byte, no minimum") << 0 << qint64(1) << true;
    QTest::newRow("just below 1 MB") << 1 << qint64(1048575) << false;
    QTest::newRow("exactly 1 MB") << 1 << qint64(1048576) << true;
    // 4096 * 1048576 overflows 32 bits: the minimum must be computed in 64.
    QTest::newRow("just below 4096 MB") << 4096 << qint64(4294967295LL) << false;
    QTest::newRow("exactly 4096 MB") << 4096 << qint64(4294967296LL) << true;
    QTest::newRow("above 4096 MB") << 4096 << qint64(5000000000LL) << true;
}

void TestCollect::sizeFilter()
{
    QFETCH(int, minMB);
    QFETCH(qint64, size);
    QFETCH(bool, kept);
    TestDir dir;
    const QString path = size > (1 << 24) ? dir.createSparseFile("f.bin", size) : dir.createFile("f.bin", size);
    RecordingWindow w;
    w.FSettings.MinSizeMB = minMB;
    w.FSettings.FileDuplicates = false;
    w.AddFolder(dir.path());
    w.btnScanClick();
    QCOMPARE(int(w.FFiles.size()), kept ? 1 : 0);
    QVERIFY(w.Statuses().contains(QStringLiteral("Found %1 files (after filters).").arg(kept ? 1 : 0)));
    if (kept) {
        QCOMPARE(w.FFiles[0]->FullPath(), path);
        QCOMPARE(w.FFiles[0]->Name(), "f.bin");
        QCOMPARE(w.FFiles[0]->Size, size);
        QCOMPARE(w.FFileMap.value(path), w.FFiles[0]);
    }
}

// 120 kept files in one listing: the per-file status and a pump at listing
// positions 0, 50, 100 and 119, the progress set for every file.
void TestCollect::statusAndPumps()
{
    TestDir dir;
    for (int i = 0; i < 120; ++i)
        dir.createFile(QStringLiteral("d/f%1.bin").arg(i, 3, 10, QLatin1Char('0')), QByteArray(i + 1, 'a'));
    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.FSettings.FileDuplicates = false;
    w.AddFolder(dir.path());
    w.btnScanClick();
    QCOMPARE(int(w.FFiles.size()), 120);

    const QString folder = dir.folder();
    QStringList expected = { "Scanning folders...", QStringLiteral("Scanning folder list: %1   [*.*]").arg(folder) };
    for (int i : { 0, 50, 100, 119 })
        expected << QStringLiteral("Scanning: %1 (%2/120)").arg(w.FFiles[i]->FullPath()).arg(i + 1);
    expected << "Found 120 files (after filters)." << "  Done.";
    QStringList shown = w.Statuses();
    shown.removeAll(QString()); // the run clears the status first
    QCOMPARE(shown, expected);

    // Pumps: after the first text, around the listing (marquee on, off), and
    // after each per-file text.
    const QStringList atPumps = w.StatusAtPumps();
    QCOMPARE(atPumps.size(), 7);
    QCOMPARE(atPumps[0], "Scanning folders...");
    QCOMPARE(atPumps[1], expected[1]);
    QCOMPARE(atPumps[2], expected[1]);
    QCOMPARE(atPumps.mid(3), expected.mid(2, 4));

    // Listing order is the order of the names.
    for (int i = 1; i < 120; ++i)
        QVERIFY(w.FFiles[i - 1]->FullPath() < w.FFiles[i]->FullPath());

    QList<int> positions;
    bool sawMarquee = false;
    for (const auto& p : w.Progress()) {
        sawMarquee = sawMarquee || p.Marquee;
        if (positions.isEmpty() || positions.last() != p.Position)
            positions << p.Position;
    }
    QVERIFY(sawMarquee);
    QCOMPARE(w.CurrentProgress().Max, 120);
    QVERIFY(!w.CurrentProgress().Marquee);
    QCOMPARE(w.ProgressPosition(), 0);
    QList<int> counted;
    for (int p : positions)
        if (p > 0)
            counted << p;
    QCOMPARE(counted.size(), 120);
    QCOMPARE(counted.first(), 1);
    QCOMPARE(counted.last(), 120);
}

// Links, hard links, nested listed folders, overlapping masks, a FIFO, a
// directory link loop and a name that is not UTF-8, all in one tree: every
// object is collected once, under a path that names it, and no group holds a
// file twice.
void TestCollect::oneObjectOneEntry()
{
    TestDir dir;
    const QByteArray same(3000, 's');
    dir.createFile("a/one.txt", same);
    dir.createFile("a/two.txt", same);
    dir.createFile("a/sub/three.bin", same);
    dir.createFile("a/other.txt", QByteArray(3000, 'o'));
    dir.createHardLink("a/one.txt", "a/hard.txt");
    dir.createLink("one.txt", "a/link.txt");
    dir.createLink(dir.path("a/sub"), "b");        // directory link into the tree
    dir.createLink("..", "a/sub/up");              // loop back to a
    dir.createLink("missing.txt", "a/dangling.txt");
    dir.createFifo("a/pipe.txt");
    dir.createRawFile("a/bad\xff\xfe.txt", same);

    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.FSettings.Masks = "*.*,*.txt,*.TXT";
    w.FSettings.MaxGroups = 0;
    w.AddFolders({ dir.path(), dir.path("a"), dir.path("b") });
    w.btnScanClick();
    QCOMPARE(w.StatusText(), "  Done.");
    QVERIFY(w.Messages().isEmpty());

    QSet<QString> paths;
    QHash<platform::FileId, QString> ids;
    for (const auto& f : w.FFiles) {
        QVERIFY2(!paths.contains(f->FullPath()), qPrintable("twice: " + f->FullPath()));
        paths.insert(f->FullPath());
        platform::FileId id;
        QVERIFY2(platform::GetFileId(f->FullPath(), id), qPrintable("names nothing: " + f->FullPath()));
        QVERIFY2(!ids.contains(id), qPrintable(f->FullPath() + " is " + ids.value(id)));
        ids.insert(id, f->FullPath());
        QVERIFY2(!f->FullPath().contains(QChar::ReplacementCharacter), qPrintable(f->FullPath()));
        QVERIFY(!f->FullPath().endsWith("pipe.txt"));
        QVERIFY(!f->FullPath().endsWith("link.txt"));
    }
    // one.txt (or its hard link), two.txt, three.bin, other.txt; the file
    // with the non-UTF-8 name may be carried or left out, never renamed.
    QVERIFY2(w.FFiles.size() == 4 || w.FFiles.size() == 5, qPrintable(QStringList(paths.values()).join('\n')));
    QVERIFY(paths.contains(dir.path("a/two.txt")));
    QVERIFY(paths.contains(dir.path("a/other.txt")));
    QVERIFY(paths.contains(dir.path("a/one.txt")) != paths.contains(dir.path("a/hard.txt")));
    QCOMPARE(w.FFileMap.size(), w.FFiles.size());

    // The content group: one.txt, two.txt, three.bin, each once.
    QCOMPARE(w.lvFiles.GroupCount(), 1);
    QSet<TFileInfo*> members;
    for (const ResultItem& item : w.lvFiles.Items()) {
        QVERIFY(item.Data);
        QVERIFY2(!members.contains(item.Data), qPrintable("twice in a group: " + item.Data->FullPath()));
        members.insert(item.Data);
    }
    QVERIFY(members.size() == 3 || members.size() == 4);
}

// Several masks share one walk of each folder, and FFiles still holds, for
// each folder, the files of the first mask, then those of the second.
void TestCollect::masksInOneWalk()
{
    TestDir dir;
    for (const char* n : { "a.txt", "b.jpg", "c.TXT", "d.png", "sub/e.jpg", "sub/f.txt" })
        dir.createFile(QString::fromLatin1(n), 10);
    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.FSettings.FileDuplicates = false;
    w.FSettings.Masks = "*.jpg;*.txt;*.[!t]*";
    w.AddFolders({ dir.path("sub"), dir.path() });
    w.btnScanClick();
    QStringList names;
    for (const TFileInfo* f : w.FFiles)
        names << f->FullPath().mid(dir.path().size() + 1);
    QCOMPARE(names, QStringList({ "sub/e.jpg", "sub/f.txt", "b.jpg", "a.txt", "c.TXT", "d.png" }));
    const QStringList folderTexts = w.Statuses().filter("Scanning folder list:");
    QCOMPARE(folderTexts.size(), 6); // one per folder and mask, as before
    QCOMPARE(folderTexts[2], QStringLiteral("Scanning folder list: %1   [*.[!t]*]").arg(dir.folder("sub")));
}

// 3 000 folders deep, past the longest path the system takes at once: the
// bottom file is collected, read and grouped with its copies halfway down
// and at the top. With 64 descriptors the walk cannot hold one per level: it
// gives up ancestors on the way down and reopens them on the way back up (the
// copy halfway down is met only after the climb), and closes all it opened.
void TestCollect::deepTreeWalkedWhole_data()
{
    QTest::addColumn<int>("descriptorLimit");
    QTest::newRow("descriptors to spare") << 0;
    QTest::newRow("64 descriptors") << 64;
}

void TestCollect::deepTreeWalkedWhole()
{
    QFETCH(int, descriptorLimit);
    TestDir dir;
    const QByteArray content(5000, 'q');
    const QByteArray bottom = dir.createDeepChain("deep", 3000, "bottom.bin", content);
    const QString middle = dir.createFile("deep" + QString("/d").repeated(1500) + "/z.bin", content);
    dir.createFile("top.bin", content);
    QVERIFY(bottom.size() > 6000);
    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.AddFolder(dir.path());
    const auto scan = [&]() -> int {
        const int before = OpenDescriptorCount();
        w.btnScanClick();
        if (w.StatusText() != "  Done." || !w.FSkips.Empty())
            return 2;
        if (w.FFiles.size() != 3 || w.FFiles[0]->NativePath() != bottom || w.FFiles[1]->FullPath() != middle)
            return 3;
        if (w.lvFiles.GroupCount() != 1 || w.lvFiles.ItemCount() != 3)
            return 4;
        return OpenDescriptorCount() == before ? 0 : 5;
    };
    if (descriptorLimit > 0) {
        QCOMPARE(RunWithOpenFileLimit(descriptorLimit, scan), 0);
        return;
    }
    QCOMPARE(scan(), 0);

    // The removal's look at the disk reaches the bottom file too: all are
    // as scanned, so checking all leaves the group without a copy.
    for (int i = 0; i < 3; ++i)
        w.lvFiles.SetChecked(i, true);
    const RemovalPlan plan = PlanRemoval(w.lvFiles, ResultPage::Files);
    QCOMPARE(plan.Items, (QList<int> { 0, 1, 2 }));
    QVERIFY(plan.LeftOut.isEmpty());
    QCOMPARE(plan.GroupsLosingEveryCopy.size(), 1);
}

// A stop seen while a folder is listed (the listing runs off the window's
// thread, and the window pumps meanwhile) abandons the listing, and none of
// its files is taken.
void TestCollect::stopDuringListing()
{
    TestDir dir;
    for (int i = 0; i < 200; ++i)
        dir.createFile(QStringLiteral("d%1/f").arg(i), 10);
    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.AddFolder(dir.path());
    w.OnEveryPump([&](int) {
        if (w.CurrentProgress().Marquee && !w.FStopRequested)
            w.btnStopClick();
    });
    w.btnScanClick();
    const QStringList statuses = w.Statuses();
    QCOMPARE(statuses.mid(statuses.indexOf("Stopping...") + 1),
        QStringList { "Scanning cancelled. 0 files collected so far." });
    QCOMPARE(int(w.FFiles.size()), 0);
    QVERIFY(!w.IsRunning());
}

namespace {
// Stops the walk at the k-th poll, and counts what it was told.
class StopAtPoll : public platform::TreeWalkSink {
public:
    explicit StopAtPoll(int k)
        : FStopAt(k)
    {
    }
    bool Abandon() override { return ++Polls >= FStopAt; }
    const void* EnterFolder(const QByteArray&) override { return nullptr; }
    void File(const void*, const platform::WalkedFile&) override { ++Files; }
    void Skipped(platform::SkipReason, const QByteArray&) override { ++Skips; }
    int Polls = 0;
    int Files = 0;
    int Skips = 0;

private:
    const int FStopAt;
};
} // namespace

// A folder of 300 000 entries: listed whole, every name comes in byte order
// (across the record blocks of the listing, small ones first); with a stop
// during its reading the walk returns at that poll, between two pieces of
// names, before any file is reported or the names are sorted.
void TestCollect::bigFolderInPieces()
{
    constexpr int kEntries = 300000;
    TestDir dir;
    // Hard links to a few files: quick to make, and each is a file.
    for (int s = 0; s < 5; ++s)
        dir.createFile(QStringLiteral("src%1").arg(s), 10 + s);
    const QByteArray big = QFile::encodeName(dir.createDir("big"));
    const int root = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QVERIFY(root >= 0);
    const int into = ::openat(root, "big", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QVERIFY(into >= 0);
    const auto name = [](int i) { return QByteArray("f") + QByteArray::number(i).rightJustified(6, '0'); };
    for (int i = 0; i < kEntries; ++i)
        QVERIFY2(::linkat(root, ("src" + QByteArray::number(i % 5)).constData(), into, name(i).constData(), 0) == 0,
            qPrintable(QString::number(i)));
    ::close(into);
    ::close(root);

    const std::atomic<bool> noStop { false };
    const auto listing = ListFolder(QFile::decodeName(big), { "*.*" }, 0, noStop);
    QVERIFY(!listing->Abandoned);
    QCOMPARE(int(listing->Store->FileCount()), kEntries);
    QCOMPARE(int(listing->Events.size()), kEntries);
    for (int i : { 0, 15, 16, 47, 48, 4079, 4080, 4081, 8175, 8176, 150000, kEntries - 1 }) {
        const TFileInfo* r = listing->Store->File(size_t(i));
        QCOMPARE(r->NativeName(), name(i));
        QCOMPARE(r->NativeFolder(), big + '/');
        QCOMPARE(r->Size, qint64(10 + i % 5));
    }

    StopAtPoll sink(3);
    platform::WalkTree(QFile::decodeName(big), sink);
    QCOMPARE(sink.Polls, 3);
    QCOMPARE(sink.Files, 0);
    QCOMPARE(sink.Skips, 0);
}

// What a scan could not read or left out is counted by reason, with the path.
void TestCollect::skippedIsCounted_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("kind");
    QTest::newRow("listed folder gone") << "gone" << int(SkipKind::FolderMissing);
    QTest::newRow("name not UTF-8") << "utf8" << int(SkipKind::NameNotUtf8);
    QTest::newRow("invalid mask") << "mask" << int(SkipKind::InvalidMask);
    QTest::newRow("pseudo file system") << "proc" << int(SkipKind::Excluded);
    QTest::newRow("unreadable folder") << "locked" << int(SkipKind::FolderUnreadable);
}

void TestCollect::skippedIsCounted()
{
    QFETCH(QString, what);
    QFETCH(int, kind);
    TestDir dir;
    dir.createFile("ok/a", 10);
    QByteArray expected;
    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.FSettings.FileDuplicates = false;
    w.AddFolder(dir.path("ok"));
    if (what == "gone") {
        w.AddFolder(dir.createDir("gone"));
        QVERIFY(dir.remove("gone"));
        expected = QFile::encodeName(dir.folder("gone"));
    } else if (what == "utf8") {
        expected = dir.createRawFile("ok/bad\xff.bin", "x");
    } else if (what == "mask") {
        w.FSettings.Masks = "*.*;[ab";
        expected = "[ab";
    } else if (what == "proc") {
        w.AddFolder("/proc");
        expected = "/proc/";
    } else {
        dir.createFile("ok/locked/f", 10);
        QCOMPARE(::chmod(QFile::encodeName(dir.path("ok/locked")).constData(), 0), 0);
        expected = QFile::encodeName(dir.folder("ok/locked"));
        MakeReachable(dir.path("ok"));
        const int result = RunUnprivileged([&] {
            w.btnScanClick();
            return w.FSkips.Count(SkipKind::FolderUnreadable) == 1 && w.FSkips.Examples(SkipKind::FolderUnreadable).value(0) == expected
                    && w.FFiles.size() == 1
                ? 0
                : 1;
        });
        if (result == kCannotDropRoot)
            QSKIP("cannot run as another user here");
        QCOMPARE(result, 0);
        return;
    }
    w.btnScanClick();
    QCOMPARE(w.StatusText(), "  Done.");
    QCOMPARE(w.FSkips.Count(SkipKind(kind)), 1);
    QCOMPARE(w.FSkips.Examples(SkipKind(kind)).value(0), expected);
    for (int k = 0; k < int(SkipKind::Count_); ++k)
        if (k != kind)
            QCOMPARE(w.FSkips.Count(SkipKind(k)), 0);
    QCOMPARE(int(w.FFiles.size()), 1);
}

QTEST_GUILESS_MAIN(TestCollect)
#include "tst_engine_collect.moc"
