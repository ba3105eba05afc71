// The Scan command as a whole: which steps run, Stop at every point of a run,
// errors inside a step, and commands that arrive while a run is under way.

#include "support/RecordingWindow.h"
#include "support/TestDir.h"
#include "engine/FileGroups.h"

#include <QRegularExpression>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

// 60 pairs of equal files of distinct sizes and 5 files of sizes of their own:
// 125 files, 120 to hash, 60 groups.
void MakeTree(TestDir& dir)
{
    for (int j = 0; j < 60; ++j)
        for (const char* side : { "a", "b" })
            dir.createFile(QStringLiteral("d/p%1_%2.bin").arg(j, 2, 10, QLatin1Char('0')).arg(side),
                qint64(10 * (j + 1)), char('A' + j % 26));
    for (int u = 0; u < 5; ++u)
        dir.createFile(QStringLiteral("u%1.txt").arg(u), qint64(1000 + u));
}

void Configure(RecordingWindow& w, const TestDir& dir)
{
    w.FSettings.MinSizeMB = 0;
    w.FSettings.MaxGroups = 0;
    w.FSettings.ParallelHash = false;
    w.FSettings.Masks = "*.*;*.bin"; // a second listing that finds nothing new
    w.AddFolder(dir.path());
}

int Hashed(const ScanWindow& w)
{
    int n = 0;
    for (const auto& f : w.FFiles)
        n += !f->ContentHash().isEmpty();
    return n;
}

QStringList Digests(const ScanWindow& w)
{
    QStringList out;
    for (const auto& f : w.FFiles)
        out << f->ContentHash();
    return out;
}

// Whatever way a run ended, the window is back to idle.
void VerifyRestored(const RecordingWindow& w)
{
    QVERIFY(!w.IsRunning());
    QCOMPARE(w.ProgressPosition(), 0);
    QVERIFY(!w.Log.isEmpty());
    QCOMPARE(w.Log.last().kind, RecordingWindow::Event::Running);
    QVERIFY(!w.Log.last().IsRunning);
    QCOMPARE(w.lvFiles.BatchCount(), 0);
    QVERIFY(w.lvFiles.Redraw());
    QVERIFY(w.lvFiles.GroupView());
}

} // namespace

class TestScanRun : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void emptyFolderList();
    void steps_data();
    void steps();
    void stopAtEveryPump_data();
    void stopAtEveryPump();
    void stopWhileWorkersHash();
    void errorInsideAStep_data();
    void errorInsideAStep();
    void commandsDuringRun();
    void workOffTheWindowThread();

private:
    std::unique_ptr<TestDir> FTree;
    QStringList FStatusAtPumps; // of a whole run on the window thread
};

void TestScanRun::initTestCase()
{
    FTree = std::make_unique<TestDir>();
    MakeTree(*FTree);
    RecordingWindow w;
    Configure(w, *FTree);
    w.btnScanClick();
    QCOMPARE(w.StatusText(), "  Done.");
    QCOMPARE(int(w.FFiles.size()), 125);
    QCOMPARE(w.lvFiles.GroupCount(), 60);
    FStatusAtPumps = w.StatusAtPumps();
    QVERIFY(FStatusAtPumps.size() > 20);
}

void TestScanRun::emptyFolderList()
{
    RecordingWindow w;
    w.lvFiles.AddGroup(7, "kept");
    w.btnScanClick();
    QCOMPARE(w.Messages(), QStringList { "Please add at least one folder." });
    QCOMPARE(w.Log.size(), 1); // no run began: no status, no progress
    QCOMPARE(w.lvFiles.GroupCount(), 1);
    QVERIFY(!w.FStopRequested);
}

void TestScanRun::steps_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("files");
    QTest::addColumn<bool>("folders");
    QTest::addColumn<bool>("hashes");
    QTest::addColumn<int>("groups");
    QTest::newRow("content, file clones") << 3 << true << false << true << 60;
    // Folder clones read no digest: nothing is hashed for them.
    QTest::newRow("content, folder clones only") << 3 << false << true << false << 0;
    QTest::newRow("content, neither") << 3 << false << false << false << 0;
    QTest::newRow("name") << 0 << true << true << false << 0;
    QTest::newRow("size") << 1 << true << false << false << 60;
    QTest::newRow("name and size") << 2 << true << false << false << 0;
}

void TestScanRun::steps()
{
    QFETCH(int, mode);
    QFETCH(bool, files);
    QFETCH(bool, folders);
    QFETCH(bool, hashes);
    QFETCH(int, groups);
    RecordingWindow w;
    Configure(w, *FTree);
    w.FSettings.CompareIndex = mode;
    w.FSettings.FileDuplicates = files;
    w.FSettings.DirDuplicates = folders;
    w.btnScanClick();
    QCOMPARE(w.StatusText(), "  Done.");
    QCOMPARE(Hashed(w), hashes ? 120 : 0);
    QCOMPARE(w.Statuses().filter("Computing SHA-1").isEmpty(), !hashes);
    QCOMPARE(w.lvFiles.GroupCount(), groups);
    QVERIFY(w.Messages().isEmpty());
    VerifyRestored(w);
}

// Stop pressed inside pump k, for every pump of a whole run: the run ends at
// once with the closing text of the step it was in, and keeps what it made.
void TestScanRun::stopAtEveryPump_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("statusAtPump");
    for (int k = 1; k <= FStatusAtPumps.size(); ++k) {
        QString name = FStatusAtPumps[k - 1];
        name.replace(FTree->path(), QStringLiteral("<tree>"));
        QTest::addRow("pump %d: %s", k, qPrintable(name)) << k << FStatusAtPumps[k - 1];
    }
}

void TestScanRun::stopAtEveryPump()
{
    QFETCH(int, k);
    QFETCH(QString, statusAtPump);
    RecordingWindow w;
    Configure(w, *FTree);
    w.StopAtPump(k);
    w.btnScanClick();
    VerifyRestored(w);
    QVERIFY(w.FStopRequested);
    QVERIFY(w.Messages().isEmpty());
    const QStringList statuses = w.Statuses();
    const qsizetype stopAt = statuses.indexOf("Stopping...");
    QVERIFY2(stopAt >= 0, qPrintable(w.Describe()));
    const QStringList after = statuses.mid(stopAt + 1);

    if (statusAtPump.startsWith("Scanning")) {
        QCOMPARE(after, QStringList { QStringLiteral("Scanning cancelled. %1 files collected so far.").arg(w.FFiles.size()) });
        QCOMPARE(Hashed(w), 0);
        QCOMPARE(w.lvFiles.GroupCount(), 0);
    } else if (statusAtPump.startsWith("Computing")) {
        // The loop ends before the next file: exactly the files the status
        // counted; once the workers have ended the run says "Cancelled".
        QCOMPARE(after, QStringList { "Cancelled" });
        static const QRegularExpression count(QStringLiteral("(\\d+) / \\d+$"));
        const auto m = count.match(statusAtPump);
        QCOMPARE(Hashed(w), m.hasMatch() ? m.captured(1).toInt() : 0);
        // The groups of the files hashed by then are listed.
        QCOMPARE(w.lvFiles.GroupCount(), int(GroupFiles(w.FFiles, CompareMode::ByContent, 2).size()));
    } else {
        QVERIFY2(statusAtPump.startsWith("Listing file groups"), qPrintable(statusAtPump));
        QCOMPARE(after, QStringList { "Cancelled" });
        QCOMPARE(w.lvFiles.GroupCount(), 50); // the groups listed so far stay
        QCOMPARE(w.lvFiles.Groups().last().Id, 50);
    }
}

// On workers, Stop shows the stopping text, lets each worker finish its file,
// and every worker has ended when the run returns.
void TestScanRun::stopWhileWorkersHash()
{
    TestDir dir;
    for (int i = 0; i < 12; ++i)
        dir.createFile(QStringLiteral("f%1").arg(i), qint64(4 << 20) + i / 2, char('a' + i / 2));
    RecordingWindow w;
    w.FSettings.MinSizeMB = 0;
    w.AddFolder(dir.path());
    bool stopped = false;
    w.OnEveryPump([&](int) {
        if (!stopped && w.StatusText().startsWith("Computing SHA-1 hashes (size filtered)... ")) {
            stopped = true;
            w.btnStopClick();
        }
    });
    w.btnScanClick();
    QVERIFY(stopped);
    VerifyRestored(w);
    // The stopping text while the workers finish, "Cancelled" once they have.
    const QStringList statuses = w.Statuses();
    QVERIFY(std::any_of(statuses.cbegin(), statuses.cend(),
        [](const QString& s) { return s.startsWith(QStringLiteral("Stopping SHA-1 hashing...")); }));
    QCOMPARE(w.StatusText(), QStringLiteral("Cancelled"));
    // Pairs settled before the stop are listed, each with both its files.
    QCOMPARE(w.lvFiles.ItemCount(), 2 * w.lvFiles.GroupCount());
    const QStringList digests = Digests(w);
    QThread::msleep(150);
    QCOMPARE(Digests(w), digests); // nothing is still writing
}

// An error that escapes a step is shown once as "Error: " and its text; the
// status keeps its text, what was made so far stays, and the window is idle
// and ready for the next run.
void TestScanRun::errorInsideAStep_data()
{
    QTest::addColumn<QString>("statusPrefix");
    QTest::addColumn<bool>("parallel");
    QTest::newRow("collection start") << "Scanning folders..." << false;
    QTest::newRow("listing marquee") << "Scanning folder list: " << false;
    QTest::newRow("collection per file") << "Scanning: " << false;
    QTest::newRow("hashing, window thread") << "Computing SHA-1 hashes (size filtered)... 11" << false;
    QTest::newRow("hashing, workers") << "Computing SHA-1 hashes (size filtered)... " << true;
    QTest::newRow("grouping") << "Listing file groups" << false;
}

void TestScanRun::errorInsideAStep()
{
    QFETCH(QString, statusPrefix);
    QFETCH(bool, parallel);
    RecordingWindow w;
    Configure(w, *FTree);
    w.FSettings.ParallelHash = parallel;
    QString statusAtError;
    w.OnEveryPump([&](int) {
        if (statusAtError.isEmpty() && w.StatusText().startsWith(statusPrefix)) {
            statusAtError = w.StatusText();
            throw ScanError("disk on fire");
        }
    });
    w.btnScanClick();
    QVERIFY2(!statusAtError.isEmpty(), qPrintable(w.Describe()));
    QCOMPARE(w.Messages(), QStringList { "Error: disk on fire" });
    QCOMPARE(w.StatusText(), statusAtError);
    VerifyRestored(w);
    QVERIFY(!w.FStopRequested);
    if (statusPrefix.startsWith("Listing"))
        QCOMPARE(w.lvFiles.GroupCount(), 50);
    if (statusPrefix.startsWith("Computing"))
        QCOMPARE(int(w.FFiles.size()), 125);
    const QStringList digests = Digests(w);
    QThread::msleep(50);
    QCOMPARE(Digests(w), digests);

    w.ClearHooks();
    w.ClearLog();
    w.btnScanClick();
    QCOMPARE(w.StatusText(), "  Done.");
    QCOMPARE(w.lvFiles.GroupCount(), 60);
}

// Pumps deliver every command; those that would change the folder list or
// free what the running step uses wait for the run to end.
void TestScanRun::commandsDuringRun()
{
    RecordingWindow w;
    Configure(w, *FTree);
    const QStringList folders = w.Folders();
    int tried = 0;
    w.OnEveryPump([&](int) {
        if (!w.StatusText().startsWith("Computing SHA-1 hashes (size filtered)... "))
            return;
        ++tried;
        w.btnScanClick();
        QVERIFY(!w.AddFolder(FTree->path("d")));
        w.FolderDialogAnswers = { FTree->path("d") };
        w.btnAddFolderClick();
        w.SelectedFolder = 0;
        w.btnRemoveFolderClick();
    });
    w.btnScanClick();
    QVERIFY(tried > 0);
    QCOMPARE(w.Folders(), folders);
    QCOMPARE(w.StatusText(), "  Done.");
    QCOMPARE(int(w.FFiles.size()), 125);
    QCOMPARE(w.lvFiles.GroupCount(), 60);
    QCOMPARE(std::count_if(w.Log.cbegin(), w.Log.cend(),
                 [](const RecordingWindow::Event& e) { return e.kind == RecordingWindow::Event::Running; }),
        2); // one run began and ended
}

// Work off the window's thread: the window pumps every 30 milliseconds while
// it runs (a Stop there reaches the work), and what the work throws comes back.
void TestScanRun::workOffTheWindowThread()
{
    RecordingWindow w;
    w.OnEveryPump([&](int) {
        if (w.KeepAlivePumps() == 3)
            w.btnStopClick();
    });
    QElapsedTimer clock;
    clock.start();
    w.RunOffThread([&] {
        while (!w.FStopRequested && clock.elapsed() < 10000)
            QThread::msleep(1);
    });
    QCOMPARE(w.KeepAlivePumps(), 3);
    QCOMPARE(w.Pumps(), 0); // the numbered pumps stay the steps' own
    QVERIFY(clock.elapsed() < 5000);

    QVERIFY_THROWS_EXCEPTION(std::runtime_error, w.RunOffThread([] { throw std::runtime_error("in the work"); }));
    int ticks = 0;
    w.RunOffThread([] {}, [&] { ++ticks; });
    QVERIFY(ticks >= 2); // one at once, one after the work ended
    QCOMPARE(w.Pumps(), ticks); // a tick's pump is one of the step's own
}

QTEST_GUILESS_MAIN(TestScanRun)
#include "tst_engine_scanrun.moc"
