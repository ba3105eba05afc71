// twinlens-cli end to end: the built program on a real tree, its CSV bytes,
// its exit statuses and its answer to Ctrl-C.

#include "BuildInfo.h"
#include "support/TestDir.h"

#include <QProcess>
#include <QTest>

#include <csignal>

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

Run RunCli(const QStringList& args)
{
    QProcess p;
    p.setProcessEnvironment(Env());
    p.start(TWINLENS_CLI, args);
    if (!p.waitForFinished(60000))
        qFatal("twinlens-cli did not finish");
    return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
        p.readAllStandardError() };
}

const QByteArray Header = "\xEF\xBB\xBFGroup,File name,Directory,File size (MB)\r\n";

} // namespace

class TestCliScan : public QObject {
    Q_OBJECT
private slots:
    void csvOfATree();
    void badCommandLines_data();
    void badCommandLines();
    void interruptStops();
    void folderClones();
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
    QTest::newRow("out of range") << QStringList { "--max-groups=-1", "/" } << QByteArray("must be between");
    QTest::newRow("bad mode") << QStringList { "--compare", "colour", "/" } << QByteArray("must be one of");
    QTest::newRow("missing value") << QStringList { "/", "--masks" } << QByteArray("needs a value");
    QTest::newRow("value on a switch") << QStringList { "--quiet=yes", "/" } << QByteArray("takes no value");
    QTest::newRow("no folder") << QStringList { "--quiet" } << QByteArray("no folder given");
    QTest::newRow("no existing folder") << QStringList { "/nonexistent-twinlens-folder" }
                                        << QByteArray("no folder to scan");
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
    p.setProcessEnvironment(Env());
    p.setReadChannel(QProcess::StandardError);
    p.start(TWINLENS_CLI, { "--serial", dir.path("a") });
    QVERIFY(p.waitForStarted());
    QByteArray err;
    while (!err.contains("Scanning folders...") && p.waitForReadyRead(20000))
        err += p.readAllStandardError();
    QVERIFY2(err.contains("Scanning folders..."), err);
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

QTEST_GUILESS_MAIN(TestCliScan)
#include "tst_cli_scan.moc"
