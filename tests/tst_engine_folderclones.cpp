// Folder clone detection: signatures, which folders are clones, grouping,
// order, status and progress, stops, and the file system's links, repeats and
// odd names.

#include "engine/FolderSignature.h"
#include "support/OtherUser.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

using Mutation = std::function<void(TestDir&)>;
Q_DECLARE_METATYPE(Mutation)
using Groups = QList<QStringList>;

namespace {

// The listed groups, each folder relative to the test folder ("." for itself).
Groups GroupsOf(const ScanWindow& w, const TestDir& d)
{
    Groups out;
    int lastId = -1;
    for (const ResultItem& item : w.lvDirs.Items()) {
        if (out.isEmpty() || item.GroupId != lastId)
            out.append(QStringList());
        lastId = item.GroupId;
        const QString path = item.SubItems.value(0);
        out.last() << (path == d.path() ? QStringLiteral(".") : QDir(d.path()).relativeFilePath(path));
    }
    return out;
}

// The number of folders the analysis counted, from its first text.
int AnalysedCount(const RecordingWindow& w)
{
    for (const QString& s : w.Statuses()) {
        if (s.startsWith(QStringLiteral("Analyzing directories (0/")))
            return s.section(u'/', 1).section(u')', 0, 0).toInt();
    }
    return -1;
}

void RunFolders(RecordingWindow& w, const TestDir& d, const QStringList& roots)
{
    QStringList folders;
    for (const QString& r : roots)
        folders << d.folder(r == QStringLiteral(".") ? QString() : r);
    w.AddFolders(folders);
    w.FindDirectoryDuplicates();
}

bool SameGroup(const Groups& groups, const QString& a, const QString& b)
{
    for (const QStringList& g : groups)
        if (g.contains(a) && g.contains(b))
            return true;
    return false;
}

void BuildTree(TestDir& d, const QString& top)
{
    d.createFile(top + QStringLiteral("/notes.txt"), QByteArray("abc"));
    d.createFile(top + QStringLiteral("/Photo.JPG"), 10);
    d.createFile(top + QStringLiteral("/sub/y.bin"), 20);
    d.createFile(top + QStringLiteral("/Music/s.mp3"), 7);
}

FolderDigest Sha1(const QByteArray& bytes)
{
    const QByteArray h = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    FolderDigest out {};
    std::copy(h.begin(), h.end(), out.begin());
    return out;
}

} // namespace

class TestFolderClones : public QObject {
    Q_OBJECT

private slots:
    void signatureText();
    void entriesAreAMultiset();
    void pathOrder_data();
    void pathOrder();
    void pathHelpers();
    void clones_data();
    void clones();
    void nestedGroupsAndLimit();
    void emptyFoldersAndMinimumSize_data();
    void emptyFoldersAndMinimumSize();
    void statusAndProgress();
    void stop_data();
    void stop();
    void vanishedAfterCollection();
    void oneFolderOneEntry_data();
    void oneFolderOneEntry();
    void unrepresentableFolderIsNotCollected();
    void unreadableFolderIsNoEmptyFolder();
    void incompleteTreesNeverMatch_data();
    void incompleteTreesNeverMatch();
};

void TestFolderClones::signatureText()
{
    FolderSignatureBuilder b;
    QCOMPARE(DigestHex(b.Digest()), QStringLiteral("da39a3ee5e6b4b0d3255bfef95601890afd80709"));

    const FolderDigest sub = Sha1("F|x|7\r\n");
    b.AddFile(u"Read Me.TXT", 5);
    b.AddDir(u"Sub", sub, 7);
    b.AddFile(u"b.dat", 0);
    const QByteArray expected = "D|sub|" + DigestHex(sub).toLatin1() + "|7\r\nF|b.dat|0\r\nF|read me.txt|5\r\n";
    QCOMPARE(b.Text(), expected);
    QCOMPARE(b.Digest(), Sha1(expected));
    QCOMPARE(DigestHex(b.Digest()), QString::fromLatin1(QCryptographicHash::hash(expected, QCryptographicHash::Sha1).toHex()));

    // Non-ASCII names are lower-cased and written in UTF-8; markers stand bare;
    // a name cannot forge a line of its own.
    b.Clear();
    b.AddFile(u"ÄRGER.txt", -1);
    b.AddMarker(u"!FILES_ACCESS_ERROR!");
    b.AddFile(u"a\r\nF|b|1", 2);
    QCOMPARE(b.Text(), QByteArray("!FILES_ACCESS_ERROR!\r\nF|a%0D%0Af|b|1|2\r\nF|\xc3\xa4rger.txt|-1\r\n"));
}

void TestFolderClones::entriesAreAMultiset()
{
    FolderSignatureBuilder one, two, twoOtherOrder;
    one.AddFile(u"a.txt", 5);
    two.AddFile(u"a.txt", 5);
    two.AddFile(u"A.txt", 5);
    twoOtherOrder.AddFile(u"A.TXT", 5);
    twoOtherOrder.AddFile(u"a.txt", 5);
    QCOMPARE(two.Text(), QByteArray("F|a.txt|5\r\nF|a.txt|5\r\n"));
    QVERIFY(one.Digest() != two.Digest());
    QCOMPARE(two.Digest(), twoOtherOrder.Digest());
}

void TestFolderClones::pathOrder_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("folded"); // sign of CompareDirPathsAscii(first, second)
    QTest::newRow("other top folder") << "/Backup/Data" << "/data" << -1;
    QTest::newRow("a before B") << "/x/a" << "/x/B" << -1;
    QTest::newRow("letters fold to capitals, before _") << "/ax" << "/_x" << -1;
    QTest::newRow("ancestor first") << "/a" << "/a/b" << -1;
    QTest::newRow("only a to z fold") << "/\u00c9" << "/\u00e9" << -1;
    QTest::newRow("equal when folded, then exact") << "/ABC" << "/abc" << 0;
}

void TestFolderClones::pathOrder()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, folded);
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    QCOMPARE(sign(CompareDirPathsAscii(first, second)), folded);
    QCOMPARE(sign(CompareDirPathsAscii(second, first)), -folded);
    QVERIFY(DirPathLess(first, second));
    QVERIFY(!DirPathLess(second, first));
}

void TestFolderClones::pathHelpers()
{
    QCOMPARE(NormalizeDirPath(QStringLiteral("/data/x/")), QStringLiteral("/data/x"));
    QCOMPARE(NormalizeDirPath(QStringLiteral("/data/./y/../x")), QStringLiteral("/data/x"));
    QCOMPARE(NormalizeDirPath(QStringLiteral("/")), QStringLiteral("/"));
    QCOMPARE(NormalizeDirPath(QStringLiteral("//")), QStringLiteral("/"));
    QCOMPARE(NormalizeDirPath(QStringLiteral("rel")), QDir::cleanPath(QDir::currentPath() + QStringLiteral("/rel")));
    QCOMPARE(LowerDirName(QStringLiteral("/data/Photos")), QStringLiteral("photos"));
    QCOMPARE(LowerDirName(QStringLiteral("/")), QString());

    const QSet<QString> kept { QStringLiteral("/a"), QStringLiteral("/x/y") };
    QVERIFY(HasKeptAncestor(QStringLiteral("/a/b/c"), kept));
    QVERIFY(HasKeptAncestor(QStringLiteral("/x/y/z"), kept));
    QVERIFY(!HasKeptAncestor(QStringLiteral("/a"), kept));
    QVERIFY(!HasKeptAncestor(QStringLiteral("/ab/c"), kept));
    QVERIFY(!HasKeptAncestor(QStringLiteral("/A/b"), kept));
    QVERIFY(!HasKeptAncestor(QStringLiteral("/x"), kept));
    QVERIFY(HasKeptAncestor(QStringLiteral("/q"), QSet<QString> { QStringLiteral("/") }));
    QVERIFY(!HasKeptAncestor(QStringLiteral("/"), QSet<QString> { QStringLiteral("/") }));
}

void TestFolderClones::clones_data()
{
    QTest::addColumn<Mutation>("mutate");
    QTest::addColumn<bool>("clones");

    QTest::newRow("same names and sizes, other content")
        << Mutation([](TestDir& d) { d.createFile("B/notes.txt", QByteArray("xyz")); }) << true;
    QTest::newRow("names differ in letter case only") << Mutation([](TestDir& d) {
        QVERIFY(QFile::rename(d.path("B/Photo.JPG"), d.path("B/photo.jpg")));
        QVERIFY(QDir().rename(d.path("B/Music"), d.path("B/MUSIC")));
    }) << true;
    QTest::newRow("one size differs, deep") << Mutation([](TestDir& d) { d.createFile("B/sub/y.bin", 21); }) << false;
    QTest::newRow("extra empty file") << Mutation([](TestDir& d) { d.createFile("B/sub/empty", 0); }) << false;
    QTest::newRow("extra empty folder") << Mutation([](TestDir& d) { d.createDir("B/sub/new"); }) << false;
    QTest::newRow("extra hidden file") << Mutation([](TestDir& d) { d.createFile("B/.hidden", 1); }) << false;
    QTest::newRow("empty folder against empty file") << Mutation([](TestDir& d) {
        d.createDir("A/a");
        d.createFile("B/a", 0);
    }) << false;
    QTest::newRow("link to a file in place of the file") << Mutation([](TestDir& d) {
        d.remove("B/notes.txt");
        d.createLink(d.path("A/notes.txt"), "B/notes.txt");
    }) << false;
    QTest::newRow("extra FIFO") << Mutation([](TestDir& d) { d.createFifo("B/pipe"); }) << false;
    QTest::newRow("extra dangling link") << Mutation([](TestDir& d) { d.createLink("nowhere", "B/dead"); }) << false;
    QTest::newRow("extra file named in invalid UTF-8")
        << Mutation([](TestDir& d) { d.createRawFile("B/n\xff", "1234"); }) << false;
    QTest::newRow("same invalid UTF-8 name in both") << Mutation([](TestDir& d) {
        d.createRawFile("A/n\xff", "1234");
        d.createRawFile("B/N\xff", "abcd");
    }) << true;
    QTest::newRow("a.txt and A.txt against a.txt alone") << Mutation([](TestDir& d) {
        d.createFile("A/sub/k.txt", 5);
        d.createFile("B/sub/k.txt", 5);
        d.createFile("B/sub/K.txt", 5);
    }) << false;
    QTest::newRow("a.txt and A.txt against A.TXT and a.txt") << Mutation([](TestDir& d) {
        d.createFile("A/sub/k.txt", 5);
        d.createFile("A/sub/K.txt", 5);
        d.createFile("B/sub/K.TXT", 5);
        d.createFile("B/sub/k.txt", 5);
    }) << true;
}

void TestFolderClones::clones()
{
    QFETCH(Mutation, mutate);
    QFETCH(bool, clones);
    TestDir d;
    BuildTree(d, "A");
    BuildTree(d, "B");
    mutate(d);
    RecordingWindow w;
    RunFolders(w, d, { "A", "B" });
    const Groups groups = GroupsOf(w, d);
    QCOMPARE(SameGroup(groups, "A", "B"), clones);
    // The untouched Music folders stay clones either way.
    QVERIFY2(SameGroup(groups, "A/Music", "B/Music") || SameGroup(groups, "A/Music", "B/MUSIC"), qPrintable(w.Describe()));
    QCOMPARE(w.StatusText(), QStringLiteral("Duplicate directory groups listed."));
}

void TestFolderClones::nestedGroupsAndLimit()
{
    TestDir d;
    for (const char* top : { "A", "B" }) {
        d.createFile(QString::fromLatin1(top) + "/X/f", 1048576);
        d.createFile(QString::fromLatin1(top) + "/g", 50);
    }
    RecordingWindow w;
    w.FSettings.MaxGroups = 0;
    RunFolders(w, d, { "." });
    QCOMPARE(GroupsOf(w, d), (Groups { { "A", "B" }, { "A/X", "B/X" } }));

    // What AddDirGroup made of them.
    QCOMPARE(w.lvDirs.GroupCount(), 2);
    QCOMPARE(w.lvDirs.Groups()[0].Id, 1);
    QCOMPARE(w.lvDirs.Groups()[0].Header, QStringLiteral("Group 1 (%1)").arg(FormatSizeMB(2 * (1048576 + 50))));
    QCOMPARE(w.lvDirs.Groups()[1].Header, QStringLiteral("Group 2 (%1)").arg(FormatSizeMB(2 * 1048576)));
    const ResultItem& row = w.lvDirs.Item(2);
    QCOMPARE(row.Caption, QStringLiteral("2"));
    QCOMPARE(row.GroupId, 2);
    QCOMPARE(row.SubItems, (QStringList { d.path("A/X"), FormatSizeMB(1048576) }));
    QCOMPARE(row.Size, qint64(1048576));
    QCOMPARE(w.lvDirs.Item(0).Size, qint64(1048576 + 50));
    for (const ResultItem& item : w.lvDirs.Items()) {
        QVERIFY(!item.Checked);
        QVERIFY(item.Data == nullptr);
    }

    RecordingWindow one;
    one.FSettings.MaxGroups = 1;
    RunFolders(one, d, { "." });
    QCOMPARE(GroupsOf(one, d), (Groups { { "A", "B" } }));
}

void TestFolderClones::emptyFoldersAndMinimumSize_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<Groups>("groups");
    const QStringList empties { "e1", "E2", "_e3" };
    QTest::newRow("2") << 2 << Groups { { "A", "B" }, empties };
    QTest::newRow("below 2 acts as 2") << 1 << Groups { { "A", "B" }, empties };
    QTest::newRow("3 drops pairs") << 3 << Groups { empties };
    QTest::newRow("4") << 4 << Groups {};
}

void TestFolderClones::emptyFoldersAndMinimumSize()
{
    QFETCH(int, minimum);
    QFETCH(Groups, groups);
    TestDir d;
    d.createFile("A/f", 10);
    d.createFile("B/f", 10);
    for (const char* e : { "_e3", "E2", "e1" })
        d.createDir(QString::fromLatin1(e));
    RecordingWindow w;
    w.FSettings.MinGroupSize = minimum;
    RunFolders(w, d, { "." });
    QCOMPARE(GroupsOf(w, d), groups);
}

namespace {

// One root holding twelve pairs of clones of distinct sizes: 25 folders and
// 12 groups.
void BuildPairs(TestDir& d)
{
    for (int i = 1; i <= 12; ++i) {
        d.createFile(QStringLiteral("p%1a/f").arg(i, 2, 10, QLatin1Char('0')), i);
        d.createFile(QStringLiteral("p%1b/f").arg(i, 2, 10, QLatin1Char('0')), i);
    }
}

} // namespace

void TestFolderClones::statusAndProgress()
{
    TestDir d;
    BuildPairs(d);
    RecordingWindow w;
    RunFolders(w, d, { "." });

    const QString collecting = QStringLiteral("Collecting directories: ") + d.folder();
    const QStringList texts { collecting, "Analyzing directories (0/25)...", "Analyzing directories (10/25)...",
        "Analyzing directories (20/25)...", "Analyzing directories (25/25)...", "Grouping duplicate directories...",
        "Listing directory groups...", "Listing directory groups (5/12)...", "Listing directory groups (10/12)..." };
    QCOMPARE(w.Statuses(), texts + QStringList { "Duplicate directory groups listed." });
    QCOMPARE(w.StatusAtPumps(), (QStringList { collecting, collecting } + texts));
    QCOMPARE(GroupsOf(w, d).size(), 12);
    QCOMPARE(GroupsOf(w, d).first(), (QStringList { "p12a", "p12b" }));

    const auto progress = w.Progress();
    QVERIFY(std::any_of(progress.begin(), progress.end(), [](const auto& p) { return p.Marquee; }));
    QVERIFY(progress.contains(RecordingWindow::ProgressState { 0, 25, 25, false }));
    QVERIFY(progress.contains(RecordingWindow::ProgressState { 0, 12, 12, false }));
    QCOMPARE(w.CurrentProgress(), (RecordingWindow::ProgressState { 0, 12, 0, false }));
    QCOMPARE(w.lvDirs.BatchCount(), 0);
    QVERIFY(w.lvDirs.GroupView());
    QVERIFY(w.lvDirs.Redraw());

    // A new run starts from an empty list.
    w.FindDirectoryDuplicates();
    QCOMPARE(GroupsOf(w, d).size(), 12);
    QCOMPARE(w.lvDirs.Groups().first().Id, 1);
}

void TestFolderClones::stop_data()
{
    QTest::addColumn<int>("pump");
    QTest::addColumn<QString>("textAtStop");
    QTest::addColumn<QStringList>("textsAfterStop");
    QTest::addColumn<int>("listed");
    // Two roots, the second inside the first: pumps 1-3 and 4-6 collect, 7-10
    // analyse, 11 groups, 12-14 list.
    const QStringList cancelled { "Directory scan cancelled." };
    QTest::newRow("collection") << 1 << "Collecting directories: " << QStringList {} << 0;
    QTest::newRow("analysis") << 8 << "Analyzing directories (10/25)..." << QStringList {} << 0;
    QTest::newRow("right after the analysis") << 10 << "Analyzing directories (25/25)..." << QStringList {} << 0;
    QTest::newRow("grouping") << 11 << "Grouping duplicate directories..."
                              << QStringList { "Listing directory groups..." } + cancelled << 0;
    QTest::newRow("listing begins") << 12 << "Listing directory groups..." << cancelled << 0;
    QTest::newRow("listing") << 13 << "Listing directory groups (5/12)..." << cancelled << 5;
}

void TestFolderClones::stop()
{
    QFETCH(int, pump);
    QFETCH(QString, textAtStop);
    QFETCH(QStringList, textsAfterStop);
    QFETCH(int, listed);
    TestDir d;
    BuildPairs(d);
    RecordingWindow w;
    w.AddFolders({ d.folder(), d.folder("p01a") });
    w.StopAtPump(pump);
    w.FindDirectoryDuplicates();

    QVERIFY2(w.StatusAtPumps().value(pump - 1).startsWith(textAtStop), qPrintable(w.Describe()));
    const QStringList statuses = w.Statuses();
    const qsizetype stopping = statuses.indexOf(QStringLiteral("Stopping..."));
    QVERIFY(stopping >= 0);
    QCOMPARE(statuses.mid(stopping + 1), textsAfterStop);
    QCOMPARE(GroupsOf(w, d).size(), listed);
    QCOMPARE(statuses.filter(QStringLiteral("Collecting directories")).size(), qsizetype(pump <= 3 ? 1 : 2));
    QCOMPARE(w.lvDirs.BatchCount(), 0);
    QVERIFY(w.lvDirs.Redraw());
    if (!textsAfterStop.isEmpty())
        QCOMPARE(w.ProgressPosition(), 0);
}

void TestFolderClones::vanishedAfterCollection()
{
    TestDir d;
    d.createFile("A/s/f", 1);
    d.createFile("B/s/f", 1);
    d.createFile("C/s/f", 1);
    RecordingWindow w;
    w.OnEveryPump([&](int) {
        if (w.StatusText().startsWith(QStringLiteral("Analyzing directories (0/")))
            QVERIFY(d.remove("A/s"));
    });
    RunFolders(w, d, { "A", "B", "C" });
    const Groups groups = GroupsOf(w, d);
    QCOMPARE(w.StatusText(), QStringLiteral("Duplicate directory groups listed."));
    QVERIFY2(SameGroup(groups, "B", "C"), qPrintable(w.Describe()));
    QVERIFY(!SameGroup(groups, "A", "B"));
    QVERIFY(!SameGroup(groups, "A/s", "B/s"));
}

void TestFolderClones::oneFolderOneEntry_data()
{
    QTest::addColumn<Mutation>("setup");
    QTest::addColumn<QStringList>("roots");
    QTest::addColumn<int>("analysed");
    QTest::addColumn<Groups>("groups");

    const Mutation tree = [](TestDir& d) {
        d.createFile("T/sub/f", 5);
        d.createFile("T/other/f", 5);
    };
    const Groups treeGroups { { "T/other", "T/sub" } };
    QTest::newRow("a root and its subfolder") << tree << QStringList { "T", "T/sub" } << 3 << treeGroups;
    QTest::newRow("the subfolder listed first") << tree << QStringList { "T/sub", "T" } << 3 << treeGroups;
    QTest::newRow("a root twice, once through a link") << Mutation([tree](TestDir& d) {
        tree(d);
        d.createLink("T", "L");
    }) << QStringList { "T", "L" } << 3 << treeGroups;
    // Entries are met in byte order: "alias" before "real", so the link's
    // path stands for the folder.
    QTest::newRow("a link beside its target") << Mutation([](TestDir& d) {
        d.createFile("T/real/f", 5);
        d.createLink("real", "T/alias");
        d.createFile("U/real/f", 5);
    }) << QStringList { "T", "U" } << 4 << Groups { { "T/alias", "U/real" } };
    QTest::newRow("a link back to its parent") << Mutation([](TestDir& d) {
        d.createFile("T/f", 1);
        d.createLink("..", "T/sub/up");
        d.createFile("U/f", 1);
        d.createDir("U/sub/up");
    }) << QStringList { "T", "U" } << 5 << Groups {};
    QTest::newRow("a copy that links into the original") << Mutation([](TestDir& d) {
        d.createFile("A/x/f", 5);
        d.createDir("B");
        d.createLink("../A/x", "B/x");
    }) << QStringList { "A", "B" } << 3 << Groups {};
    QTest::newRow("the same, the copy listed first") << Mutation([](TestDir& d) {
        d.createFile("A/x/f", 5);
        d.createDir("B");
        d.createLink("../A/x", "B/x");
    }) << QStringList { "B", "A" } << 3 << Groups {};
    QTest::newRow("two folders linking to one shared folder") << Mutation([](TestDir& d) {
        d.createFile("S/f", 5);
        d.createDir("A");
        d.createLink("../S", "A/l");
        d.createDir("B");
        d.createLink("../S", "B/l");
    }) << QStringList { "S", "A", "B" } << 3 << Groups { { "A", "B" } };
}

void TestFolderClones::oneFolderOneEntry()
{
    QFETCH(Mutation, setup);
    QFETCH(QStringList, roots);
    QFETCH(int, analysed);
    QFETCH(Groups, groups);
    TestDir d;
    setup(d);
    RecordingWindow w;
    RunFolders(w, d, roots);
    QCOMPARE(AnalysedCount(w), analysed);
    const Groups found = GroupsOf(w, d);
    QCOMPARE(found, groups);
    for (const QStringList& g : found)
        QCOMPARE(QSet<QString>(g.begin(), g.end()).size(), g.size());
}

void TestFolderClones::unrepresentableFolderIsNotCollected()
{
    TestDir d;
    d.createFile("A/good/f", 5);
    d.createFile("B/good/f", 5);
    d.createRawDir("A/bad\xfe");
    d.createRawFile("A/bad\xfe/inner", "12");
    RecordingWindow w;
    RunFolders(w, d, { "A", "B" });
    QCOMPARE(AnalysedCount(w), 4);
    const Groups groups = GroupsOf(w, d);
    QCOMPARE(groups, (Groups { { "A/good", "B/good" } }));
    for (const ResultItem& item : w.lvDirs.Items())
        QVERIFY(!item.SubItems[0].contains(QChar::ReplacementCharacter));
}

void TestFolderClones::unreadableFolderIsNoEmptyFolder()
{
    if (::geteuid() == 0)
        QSKIP("permissions do not bind root");
    TestDir d;
    d.createFile("A/locked/f", 1);
    d.createFile("B/locked/f", 9);
    d.createDir("E");
    d.createDir("F");
    QCOMPARE(::chmod(QFile::encodeName(d.path("A/locked")).constData(), 0), 0);
    QCOMPARE(::chmod(QFile::encodeName(d.path("B/locked")).constData(), 0), 0);
    RecordingWindow w;
    RunFolders(w, d, { "A", "B", "E", "F" });
    QCOMPARE(GroupsOf(w, d), (Groups { { "E", "F" } }));
}

// Two folders whose trees differ where the scan could once not look are no
// clones: a .Trash folder deep in a tree is a folder like any other, a tree
// past the longest path is listed whole, and a folder whose entries cannot be
// looked at (no search permission) matches nothing.
void TestFolderClones::incompleteTreesNeverMatch_data()
{
    QTest::addColumn<Mutation>("setup");
    QTest::addColumn<bool>("unprivileged");
    QTest::newRow(".Trash inside a tree") << Mutation([](TestDir& d) {
        d.createFile("A/x/.Trash/precious", 1000);
        d.createFile("B/x/.Trash/other", 1);
        d.createFile("A/x/.Trash-1000/kept", 3);
        d.createFile("B/x/.Trash-1000/kept", 3);
    }) << false;
    QTest::newRow("past the longest path") << Mutation([](TestDir& d) {
        d.createDeepChain("A", 2200, "f", QByteArray(10, 'a'));
        d.createDeepChain("B", 2200, "f", QByteArray(11, 'b'));
    }) << false;
    QTest::newRow("no search permission") << Mutation([](TestDir& d) {
        d.createFile("A/sub/f", 1000);
        d.createFile("B/sub/f", 1);
        for (const char* sub : { "A/sub", "B/sub" })
            ::chmod(QFile::encodeName(d.path(QString::fromLatin1(sub))).constData(), 0444);
    }) << true;
}

void TestFolderClones::incompleteTreesNeverMatch()
{
    QFETCH(Mutation, setup);
    QFETCH(bool, unprivileged);
    TestDir d;
    setup(d);
    d.createFile("C/same", 5); // a pair that must still be found
    d.createFile("D/same", 5);
    MakeReachable(d.path());
    RecordingWindow w;
    auto check = [&] {
        RunFolders(w, d, { "A", "B", "C", "D" });
        const Groups groups = GroupsOf(w, d);
        return SameGroup(groups, "C", "D") && !SameGroup(groups, "A", "B") ? 0 : 1;
    };
    const int result = unprivileged ? RunUnprivileged(check) : check();
    if (result == kCannotDropRoot)
        QSKIP("cannot run as another user here");
    QVERIFY2(result == 0, qPrintable(w.Describe()));
}

QTEST_GUILESS_MAIN(TestFolderClones)
#include "tst_engine_folderclones.moc"
