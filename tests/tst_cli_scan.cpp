// twinlens-cli end to end: the built program on a real tree, its CSV bytes,
// its exit statuses and its answer to Ctrl-C.

#include "BuildInfo.h"
#include "support/OtherUser.h"
#include "support/TestDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Run {
    int Exit = -1;
    QByteArray Out;
    QByteArray Err;
};

QProcessEnvironment Env()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8"); // a full stop as decimal separator
    return env;
}

// As root, asUser runs the program as "nobody" (setpriv), so that file
// permissions bind.
Run RunCli(const QStringList& args, bool asUser = false)
{
    QProcess p;
    p.setProcessEnvironment(Env());
    if (asUser && ::geteuid() == 0)
        p.start("setpriv", QStringList { "--reuid=65534", "--regid=65534", "--clear-groups", TWINLENS_CLI } + args);
    else
        p.start(TWINLENS_CLI, args);
    if (!p.waitForFinished(60000))
        qFatal("twinlens-cli did not finish");
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
        p.readAllStandardError() };
}

const QByteArray Header = "\xEF\xBB\xBFGroup,File name,Directory,File size (MB)\r\n";

// Starts the program and waits until its standard error has shown text, which
// marks the moment a test acts at; err holds what was shown so far.
bool StartUntil(QProcess& p, const QStringList& args, const QByteArray& text, QByteArray& err)
{
    p.setProcessEnvironment(Env());
    p.setReadChannel(QProcess::StandardError);
    p.start(TWINLENS_CLI, args);
    if (!p.waitForStarted())
        return false;
    while (!err.contains(text) && p.waitForReadyRead(20000))
        err += p.readAllStandardError();
    return err.contains(text);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// The one group of a folder holding one.bin and two.bin of two equal MB.
QByteArray PairCsv(const TestDir& dir, const QString& rel)
{
    const QByteArray folder = dir.path(rel).toUtf8();
    return Header + "\"1\",\"one.bin\",\"" + folder + "\",\"2.00 MB\"\r\n" + "\"1\",\"two.bin\",\"" + folder
        + "\",\"2.00 MB\"\r\n";
}

void CreatePair(TestDir& dir, const QString& rel)
{
    const QByteArray two(2 * 1048576, 'p');
    dir.createFile(rel + "/one.bin", two);
    dir.createFile(rel + "/two.bin", two);
}

// Control characters that are not the line end, and C1 controls in UTF-8.
bool HasStrayControls(const QByteArray& text, const QByteArray& allowed)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto c = uchar(text[i]);
        if ((c < 0x20 || c == 0x7F) && !allowed.contains(char(c)))
            return true;
        if (c == 0xC2 && i + 1 < text.size() && uchar(text[i + 1]) >= 0x80 && uchar(text[i + 1]) <= 0x9F)
            return true;
    }
    return false;
}

// A run with standard error on a pseudo terminal, as from an interactive
// shell; Terminal is what the terminal received.
struct TerminalRun {
    int Exit = -1;
    QByteArray Out;
    QByteArray Terminal;
};

bool RunCliOnTerminal(const QStringList& args, const char* term, TerminalRun& run, bool stdoutToo = false)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return false;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        ::close(master);
        return false;
    }
    const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        ::close(master);
        return false;
    }
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    QProcessEnvironment env = Env();
    if (term)
        env.insert("TERM", term);
    else
        env.remove("TERM");
    QProcess p;
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([slave, stdoutToo] {
        ::dup2(slave, STDERR_FILENO);
        if (stdoutToo)
            ::dup2(slave, STDOUT_FILENO);
    });
    p.start(TWINLENS_CLI, args);
    ::close(slave);
    auto drain = [&] {
        char buf[4096];
        for (ssize_t n; (n = ::read(master, buf, sizeof buf)) > 0;)
            run.Terminal.append(buf, n);
    };
    QElapsedTimer clock;
    clock.start();
    while (!p.waitForFinished(20) && clock.elapsed() < 60000)
        drain();
    drain();
    ::close(master);
    run.Exit = p.exitStatus() == QProcess::NormalExit && p.state() == QProcess::NotRunning ? p.exitCode() : -1;
    run.Out = p.readAllStandardOutput();
    return true;
}

// Entries of a folder, for leftovers of an output written beside its target.
QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestCliScan : public QObject {
    Q_OBJECT
private slots:
    void csvOfATree();
    void badCommandLines_data();
    void badCommandLines();
    void skipReport();
    void interruptStops();
    void folderClones();
    void controlCharactersInNames();
    void outputFileReplaced();
    void outputFileFailures();
    void outputInUnwritableFolder();
    void interruptAfterResults();
    void brokenStandardError_data();
    void brokenStandardError();
    void interruptPhases_data();
    void interruptPhases();
};

void TestCliScan::csvOfATree()
{
    TestDir dir;
    const QByteArray two(2 * 1048576, 'c');
    dir.createFile("a/one.bin", two);
    dir.createFile("b/copy, \"q\".bin", two);
    dir.createFile("c/other.bin", QByteArray(2 * 1048576, 'd')); // same size, other content
    dir.createFile("c/\u00E9t\u00E9.bin", QByteArray(1048576 + 1, 'e'));
    dir.createFile("d/\u00E9t\u00E9.bin", QByteArray(1048576 + 1, 'e'));
    dir.createFile("d/small.bin", QByteArray(1000, 'c')); // below 1 MB
    dir.createFile("d/small2.bin", QByteArray(1000, 'c'));

    const QByteArray expected = Header
        + "\"1\",\"one.bin\",\"" + dir.path("a").toUtf8() + "\",\"2.00 MB\"\r\n"
        + "\"1\",\"copy, \"\"q\"\".bin\",\"" + dir.path("b").toUtf8() + "\",\"2.00 MB\"\r\n"
        + "\"2\",\"\xC3\xA9t\xC3\xA9.bin\",\"" + dir.path("c").toUtf8() + "\",\"1.00 MB\"\r\n"
        + "\"2\",\"\xC3\xA9t\xC3\xA9.bin\",\"" + dir.path("d").toUtf8() + "\",\"1.00 MB\"\r\n";

    Run r = RunCli({ dir.path(), dir.path("missing") });
    QCOMPARE(r.Exit, 0);
    QCOMPARE(r.Out, expected);
    QVERIFY2(r.Err.contains("no such folder, skipped: " + dir.path("missing").toUtf8()), r.Err);
    QVERIFY2(r.Err.contains("  Done."), r.Err);

    // To a file, quietly; and the settings reach the engine.
    const QString csv = dir.path("out.csv");
    r = RunCli({ "--quiet", "--files-csv", csv, "--max-groups=1", "--compare", "content", dir.path("a"),
        dir.path("b"), dir.path("c") });
    QCOMPARE(r.Exit, 0);
    QCOMPARE(r.Out, QByteArray());
    QCOMPARE(r.Err, QByteArray());
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), expected.left(expected.indexOf("\"2\"")));

    r = RunCli({ "--quiet", "--compare", "size", "--min-size-mb", "0", "--masks", "small*", "--serial", dir.path("d") });
    QCOMPARE(r.Exit, 0);
    QCOMPARE(r.Out.count("\r\n"), 3);
    QVERIFY(r.Out.contains("small2.bin"));

    r = RunCli({ "--version" });
    QCOMPARE(r.Exit, 0);
    QCOMPARE(r.Out, QByteArray("Twinlens " TWINLENS_VERSION "\n"));
}

void TestCliScan::badCommandLines_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("error");
    QTest::newRow("unknown option") << QStringList { "--frobnicate", "/" } << QByteArray("unknown option --frobnicate");
    QTest::newRow("bad number") << QStringList { "--min-size-mb", "1.5", "/" } << QByteArray("not a whole number");
    QTest::newRow("below the range") << QStringList { "--max-groups=-1", "/" }
                                     << QByteArray("--max-groups is too small (at least 0): -1");
    QTest::newRow("above the range") << QStringList { "--min-group-size", "1001", "/" }
                                     << QByteArray("--min-group-size is too large (at most 1000): 1001");
    QTest::newRow("beyond 64 bits") << QStringList { "--min-size-mb", "99999999999999999999", "/" }
                                    << QByteArray("--min-size-mb is too large (at most 1048576)");
    QTest::newRow("beyond 64 bits, negative") << QStringList { "--max-groups", "-99999999999999999999", "/" }
                                              << QByteArray("--max-groups is too small (at least 0)");
    QTest::newRow("control characters in an option") << QStringList { "--\x1b]2;x\x07\x1b[2J", "/" }
                                                     << QByteArray("unknown option --\\x1B]2;x\\x07\\x1B[2J");
    QTest::newRow("a file given as a folder") << QStringList { "/etc/passwd" }
                                              << QByteArray("not a folder, skipped: /etc/passwd");
    QTest::newRow("same output file, existing") << QStringList { "--files-csv", "/dev/null", "--folders-csv",
        "/dev/./null", "/" } << QByteArray("--files-csv and --folders-csv name the same file: /dev/./null");
    QTest::newRow("same output file, new") << QStringList { "--files-csv", "/nonexistent-twinlens/x/../out.csv",
        "--folders-csv=/nonexistent-twinlens//./out.csv", "/" }
                                           << QByteArray("name the same file: /nonexistent-twinlens//./out.csv");
    QTest::newRow("output folder missing") << QStringList { "--files-csv", "/nonexistent-twinlens/out.csv", "/" }
                                           << QByteArray("--files-csv cannot be written: "
                                                         "/nonexistent-twinlens/out.csv: No such file or directory");
    QTest::newRow("output is a folder") << QStringList { "--folders-csv", "/tmp", "/" }
                                        << QByteArray("--folders-csv cannot be written: /tmp: Is a directory");
    QTest::newRow("bad mode") << QStringList { "--compare", "colour", "/" } << QByteArray("must be one of");
    QTest::newRow("missing value") << QStringList { "/", "--masks" } << QByteArray("needs a value");
    QTest::newRow("value on a switch") << QStringList { "--quiet=yes", "/" } << QByteArray("takes no value");
    QTest::newRow("no folder") << QStringList { "--quiet" } << QByteArray("no folder given");
    QTest::newRow("no existing folder") << QStringList { "/nonexistent-twinlens-folder" }
                                        << QByteArray("no folder to scan");
    QTest::newRow("invalid mask") << QStringList { "--masks", "*.jpg;[ab", "/" } << QByteArray("not a valid file mask: [ab");
}

// What a run could not read or left out is said at the end, one line per
// reason with the first paths; a listed folder that could not be read makes
// the exit status 1, what lay below it does not.
void TestCliScan::skipReport()
{
    TestDir dir;
    dir.createFile("t/a", 10);
    dir.createRawFile("t/bad\xff.bin", "12345");
    Run r = RunCli({ "--quiet", "--min-size-mb", "0", dir.path("t"), "/proc" });
    QCOMPARE(r.Exit, 0);
    QVERIFY2(r.Err.contains("1 names are not valid UTF-8 and were left out: " + QFile::encodeName(dir.path("t")) + "/bad\\xFF.bin\n"), r.Err);
    QVERIFY2(r.Err.contains("1 folders were left out (system or trash folders): /proc/\n"), r.Err);
    QVERIFY2(!HasStrayControls(r.Err, "\n"), r.Err);

    QCOMPARE(::chmod(QFile::encodeName(dir.createDir("locked")).constData(), 0), 0);
    MakeReachable(dir.path("t"));
    r = RunCli({ "--quiet", dir.path("t"), dir.path("locked") }, true);
    if (r.Exit == -1 || r.Err.contains("setpriv"))
        QSKIP("cannot run as another user here");
    QCOMPARE(r.Exit, 1);
    QVERIFY2(r.Err.contains("1 folders could not be read: " + QFile::encodeName(dir.folder("locked"))), r.Err);
}

void TestCliScan::badCommandLines()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, error);
    const Run r = RunCli(args);
    QCOMPARE(r.Exit, 2);
    QCOMPARE(r.Out, QByteArray());
    QVERIFY2(r.Err.contains(error), r.Err);
    QVERIFY2(r.Err.endsWith('\n'), r.Err);
    QVERIFY2(!HasStrayControls(r.Err, "\n"), r.Err);
}

// Ctrl-C is the Stop command: the run ends as a stopped run does, what was
// listed is written, and the exit status tells that it was cut short.
void TestCliScan::interruptStops()
{
    TestDir dir;
    // Two equal sparse files of 2 GB: seconds of hashing, no disk space.
    dir.createSparseFile("a/big1", qint64(2) << 30);
    dir.createSparseFile("a/big2", qint64(2) << 30);
    QProcess p;
    QByteArray err;
    QVERIFY2(StartUntil(p, { "--serial", dir.path("a") }, "Scanning folders...", err), err);
    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(60000));
    err += p.readAllStandardError();
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 130);
    QCOMPARE(p.readAllStandardOutput(), Header);
    QVERIFY2(err.contains("Stopping...") || err.contains("cancelled"), err);
    QVERIFY2(!err.contains("Done."), err);
}

// --folders adds the folder clone list, after the file clone list on standard
// output or in its own file; with --no-files it is the only list.
void TestCliScan::folderClones()
{
    TestDir dir;
    const QByteArray two(2 * 1048576, 'c');
    dir.createFile("x/a/one.bin", two);
    dir.createFile("x/b/one.bin", two);
    const QByteArray folders = "\xEF\xBB\xBFGroup,Directory,Size\r\n"
        "\"1\",\"" + dir.path("x/a").toUtf8() + "\",\"2.00 MB\"\r\n"
        "\"1\",\"" + dir.path("x/b").toUtf8() + "\",\"2.00 MB\"\r\n";
    const QByteArray files = Header
        + "\"1\",\"one.bin\",\"" + dir.path("x/a").toUtf8() + "\",\"2.00 MB\"\r\n"
        + "\"1\",\"one.bin\",\"" + dir.path("x/b").toUtf8() + "\",\"2.00 MB\"\r\n";

    Run r = RunCli({ "--quiet", "--no-files", "--folders", dir.path("x") });
    QCOMPARE(r.Exit, 0);
    QCOMPARE(r.Out, folders);

    r = RunCli({ "--quiet", "--folders", dir.path("x") });
    QCOMPARE(r.Exit, 0);
    QCOMPARE(r.Out, files + folders);

    const QString csv = dir.path("folders.csv");
    r = RunCli({ "--quiet", "--folders-csv", csv, dir.path("x") });
    QCOMPARE(r.Exit, 0);
    QCOMPARE(r.Out, files);
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), folders);
}

// Names reach standard error only as visible text: on a pipe (a log) no
// control character but the line end, on a terminal nothing but the
// program's own redraws, and with TERM=dumb no escape sequence at all.
void TestCliScan::controlCharactersInNames()
{
    TestDir dir;
    const QString evil = "evil\x1b]2;owned\x07\x1b[2J\nline\u009B2J";
    CreatePair(dir, evil);
    const QStringList args = { "--folders", dir.path(evil), dir.path("gone\x1b[2J") };
    const QByteArray shownMissing = "no such folder, skipped: " + dir.path("gone").toUtf8() + "\\x1B[2J\n";

    const Run r = RunCli(args);
    QCOMPARE(r.Exit, 0);
    QVERIFY2(!HasStrayControls(r.Err, "\n"), r.Err);
    QVERIFY2(r.Err.contains(shownMissing), r.Err);
    QCOMPARE(r.Out.left(PairCsv(dir, evil).size()), PairCsv(dir, evil)); // the data keeps the name as it is

    // The lists too, when standard output is the terminal.
    TerminalRun t;
    if (!RunCliOnTerminal(args, "xterm", t, true))
        QSKIP("no pseudo terminal here");
    QCOMPARE(t.Exit, 0);
    QVERIFY2(t.Terminal.contains("\x1b[K"), t.Terminal); // redrawn in place
    QByteArray rest = t.Terminal;
    rest.replace("\x1b[K", "");
    QVERIFY2(!HasStrayControls(rest, "\r\n"), t.Terminal);
    QVERIFY2(t.Terminal.contains(shownMissing.chopped(1)), t.Terminal);
    QVERIFY2(t.Terminal.contains("  Done."), t.Terminal);
    QVERIFY2(t.Terminal.contains("\"one.bin\",\"" + dir.path("evil").toUtf8() + "\\x1B]2;owned\\x07\\x1B[2J\\x0Aline\\u009B2J\""),
        t.Terminal);

    for (const char* term : { "dumb", static_cast<const char*>(nullptr) }) {
        t = TerminalRun();
        QVERIFY(RunCliOnTerminal(args, term, t));
        QCOMPARE(t.Exit, 0);
        QVERIFY2(!t.Terminal.contains('\x1b'), t.Terminal);
        QVERIFY2(!HasStrayControls(t.Terminal, "\r\n"), t.Terminal);
        QVERIFY2(t.Terminal.contains("  Done.\r\n"), t.Terminal); // a plain line each
    }
}

// An output file is replaced whole: the old one's permissions stay, a link
// stays a link, nothing is left beside it, and a name that is not valid
// UTF-8 is written under exactly its bytes.
void TestCliScan::outputFileReplaced()
{
    TestDir dir;
    CreatePair(dir, "a");
    const QByteArray csv = PairCsv(dir, "a");
    const QString out = dir.createFile("out/files.csv", QByteArray("old"));
    QVERIFY(::chmod(QFile::encodeName(out).constData(), 0640) == 0);
    const QString real = dir.createFile("out/real.csv", QByteArray("old"));
    const QString link = dir.createLink("real.csv", "out/link.csv");

    Run r = RunCli({ "--quiet", "--files-csv", out, "--folders-csv", link, dir.path("a") });
    QCOMPARE(r.Exit, 0);
    QCOMPARE(ReadAll(out), csv);
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(out).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(ReadAll(real).startsWith("\xEF\xBB\xBFGroup,Directory,Size\r\n"));
    QCOMPARE(Entries(dir.path("out")), QStringList({ "files.csv", "link.csv", "real.csv" }));

    // The shell makes the name, so its bytes never pass through a QString.
    QProcess sh;
    sh.setProcessEnvironment(Env());
    sh.start("/bin/sh",
        { "-c", "exec \"$0\" --quiet --files-csv \"$1/out/$(printf 'caf\\351.csv')\" \"$1/a\"", TWINLENS_CLI, dir.path() });
    QVERIFY(sh.waitForFinished(60000));
    QCOMPARE(sh.exitCode(), 0);
    const QByteArray latin1 = dir.nativePath() + "/out/caf\xE9.csv";
    const int fd = ::open(latin1.constData(), O_RDONLY);
    QVERIFY2(fd >= 0, "the output file is not under the name given");
    QByteArray written(csv.size() + 1, '\0');
    QCOMPARE(::read(fd, written.data(), size_t(written.size())), ssize_t(csv.size()));
    ::close(fd);
    QCOMPARE(written.left(csv.size()), csv);
}

// A write that fails names the system's reason and leaves the old file as it
// was; a device is written to, never replaced.
void TestCliScan::outputFileFailures()
{
    TestDir dir;
    CreatePair(dir, "a");
    Run r = RunCli({ "--quiet", "--files-csv", "/dev/full", dir.path("a") });
    QCOMPARE(r.Exit, 1);
    QVERIFY2(r.Err.contains("cannot write /dev/full: No space left on device"), r.Err);
    struct stat st {};
    QVERIFY(::stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode));

    // A full disk: a small file system of its own, filled to the last block.
    const QString disk = dir.createDir("disk");
    if (::geteuid() != 0 || QProcess::execute("mount", { "-t", "tmpfs", "-o", "size=64k", "tmpfs", disk }) != 0)
        QSKIP("cannot mount a small tmpfs here (needs root and mount rights); /dev/full was tested");
    struct Unmount {
        QString Path;
        ~Unmount() { QProcess::execute("umount", { Path }); }
    } unmount { disk };
    const QString old = dir.createFile("disk/files.csv", QByteArray("old list\r\n"));
    {
        const int fd = ::open(QFile::encodeName(disk + "/filler").constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0);
        const QByteArray block(4096, 'f');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) { }
        ::close(fd);
    }
    r = RunCli({ "--quiet", "--files-csv", old, dir.path("a") });
    QCOMPARE(r.Exit, 1);
    QVERIFY2(r.Err.contains("cannot write " + old.toUtf8() + ": No space left on device"), r.Err);
    QCOMPARE(ReadAll(old), QByteArray("old list\r\n"));
    QCOMPARE(Entries(disk), QStringList({ "files.csv", "filler" }));
}

// In a folder the user may not write to, a file the user may write is still
// written (in place, the one way left), and a new file is refused before the
// scan with the system's reason. Run as an unprivileged user, whom the
// permissions bind.
void TestCliScan::outputInUnwritableFolder()
{
    if (::geteuid() != 0)
        QSKIP("needs root to run the program as another user");
    TestDir dir;
    QVERIFY(::chmod(dir.nativePath().constData(), 0755) == 0);
    CreatePair(dir, "a");
    const QString own = dir.createFile("ro/files.csv", QByteArray("old"));
    QVERIFY(::chmod(QFile::encodeName(own).constData(), 0666) == 0);
    QVERIFY(::chmod(QFile::encodeName(dir.path("ro")).constData(), 0555) == 0);

    auto runAsNobody = [&](const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(Env());
        p.setChildProcessModifier([] {
            // nobody; should any step fail, exit rather than run as root.
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(99);
        });
        p.start(TWINLENS_CLI, args);
        p.waitForFinished(60000);
        return Run { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError() };
    };
    Run r = runAsNobody({ "--quiet", "--files-csv", own, dir.path("a") });
    QCOMPARE(r.Exit, 0);
    QCOMPARE(ReadAll(own), PairCsv(dir, "a"));

    r = runAsNobody({ "--quiet", "--files-csv", dir.path("ro/new.csv"), dir.path("a") });
    QCOMPARE(r.Exit, 2);
    QVERIFY2(r.Err.contains(dir.path("ro/new.csv").toUtf8() + ": Permission denied"), r.Err);
    QCOMPARE(Entries(dir.path("ro")), QStringList { "files.csv" });
}

// A Ctrl-C once the lists are complete changes nothing: they are written in
// full and the run ends as finished. The output is a FIFO, which is written
// to as it is (not replaced) and holds the program until the test reads it.
void TestCliScan::interruptAfterResults()
{
    TestDir dir;
    CreatePair(dir, "a");
    const QString fifo = dir.createFifo("out.fifo");
    QProcess p;
    QByteArray err;
    QVERIFY2(StartUntil(p, { "--files-csv", fifo, dir.path("a") }, "Done.", err), err);
    ::kill(pid_t(p.processId()), SIGINT);
    QThread::msleep(100); // the signal lands while the program waits to write
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDONLY);
    QVERIFY(fd >= 0);
    QByteArray got;
    char buf[4096];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;)
        got.append(buf, n);
    ::close(fd);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(got, PairCsv(dir, "a"));
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(fifo).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
}

// Standard error is for the person watching; when nobody is, the scan runs
// on and the lists are written all the same.
void TestCliScan::brokenStandardError_data()
{
    QTest::addColumn<bool>("closed"); // closed outright, else a pipe nobody reads
    QTest::addColumn<bool>("toFile");
    QTest::newRow("pipe nobody reads, list on standard output") << false << false;
    QTest::newRow("pipe nobody reads, list to a file") << false << true;
    QTest::newRow("closed, list on standard output") << true << false;
    QTest::newRow("closed, list to a file") << true << true;
}

void TestCliScan::brokenStandardError()
{
    QFETCH(bool, closed);
    QFETCH(bool, toFile);
    TestDir dir;
    CreatePair(dir, "a");
    int fds[2];
    QVERIFY(::pipe2(fds, O_CLOEXEC) == 0);
    ::close(fds[0]); // nobody reads
    const int writeEnd = fds[1];
    QProcess p;
    p.setProcessEnvironment(Env());
    p.setChildProcessModifier([closed, writeEnd] {
        // The test's own disposition of SIGPIPE must not shield the program.
        std::signal(SIGPIPE, SIG_DFL);
        if (closed)
            ::close(STDERR_FILENO);
        else
            ::dup2(writeEnd, STDERR_FILENO);
    });
    const QString csv = dir.path("files.csv");
    QStringList args = { "--folders", dir.path("a") };
    if (toFile)
        args = QStringList { "--files-csv", csv } + args;
    p.start(TWINLENS_CLI, args);
    QVERIFY(p.waitForFinished(60000));
    ::close(writeEnd);
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    const QByteArray files = PairCsv(dir, "a");
    const QByteArray out = p.readAllStandardOutput();
    if (toFile)
        QCOMPARE(ReadAll(csv), files);
    else
        QVERIFY2(out.startsWith(files), out);
    QVERIFY2(out.contains("\xEF\xBB\xBFGroup,Directory,Size\r\n"), out);
}

// Ctrl-C ends a run promptly in every phase, inside a listing and inside a
// file's read too. The bound asserted here is generous (the aim is 0.2 s; a
// stop that waited for a whole listing or file would take seconds); each time
// is printed.
void TestCliScan::interruptPhases_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("settleMs"); // after "Scanning folders...", into the phase
    // A folder holding a link to "/": one listing of the whole system.
    QTest::newRow("listing, a link to the root") << "root link" << QStringList { "--min-size-mb", "0" } << 200;
    QTest::newRow("hashing a big pair, serial") << "big pair" << QStringList { "--serial" } << 1000;
    QTest::newRow("hashing a big pair, parallel") << "big pair" << QStringList {} << 1000;
    QTest::newRow("hashing many files, serial") << "many files" << QStringList { "--serial" } << 1000;
    QTest::newRow("hashing many files, parallel") << "many files" << QStringList {} << 1000;
}

void TestCliScan::interruptPhases()
{
    QFETCH(QString, fixture);
    QFETCH(QStringList, options);
    QFETCH(int, settleMs);
    TestDir dir;
    if (fixture == "root link") {
        dir.createLink("/", "t/root");
    } else if (fixture == "big pair") {
        // Two equal sparse files of 4 GiB: seconds of reading each, no disk.
        dir.createSparseFile("t/big1", qint64(4) << 30);
        dir.createSparseFile("t/big2", qint64(4) << 30);
    } else {
        // 600 equal sparse files of 16 MiB: a stop between files is enough.
        for (int i = 0; i < 600; ++i)
            dir.createSparseFile(QStringLiteral("t/f%1").arg(i), qint64(16) << 20);
    }
    QProcess p;
    QByteArray err;
    QVERIFY2(StartUntil(p, options + QStringList { dir.path("t") }, "Scanning folders...", err), err);
    QThread::msleep(ulong(settleMs));
    QVERIFY2(p.state() == QProcess::Running, "the run ended before the phase was reached");

    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(120000));
    const qint64 ms = clock.elapsed();
    err += p.readAllStandardError();
    qInfo("%s: ended %lld ms after Ctrl-C", QTest::currentDataTag(), ms);
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 130);
    QVERIFY2(ms < 1000, qPrintable(QStringLiteral("%1 ms; %2").arg(ms).arg(QString::fromUtf8(err))));
    QCOMPARE(p.readAllStandardOutput(), Header);
}

QTEST_GUILESS_MAIN(TestCliScan)
#include "tst_cli_scan.moc"
