// twinlens-cli end to end: the built program on a real tree, its CSV bytes,
// its exit statuses and its answer to Ctrl-C.

#include "BuildInfo.h"
#include "cli/CliOptions.h"
#include "cli/JsonOutput.h"
#include "engine/ScopeExit.h"
#include "support/OtherUser.h"
#include "support/TestDir.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QThread>

#include <cmath>
#include <memory>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using PathSet = QSet<QString>;

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

// Checks value against a JSON Schema made of the keywords below, with their
// meaning in JSON Schema; any other keyword fails the check, so that the
// schema file cannot hold a rule that is silently not checked. Returns the
// first violation and where it is ("$.file_groups[0].entries[1].sha1"), or
// the empty text.
QString SchemaViolation(const QJsonValue& value, const QJsonObject& schema, const QString& where = "$")
{
    static const QSet<QString> known = { "$schema", "title", "type", "required", "additionalProperties",
        "properties", "items", "enum", "pattern", "minimum" };
    for (const QString& key : schema.keys())
        if (!known.contains(key))
            return where + ": the schema uses " + key + ", which this check does not know";
    if (schema.contains("type")) {
        const QString type = schema["type"].toString();
        const bool ok = type == "object" ? value.isObject()
            : type == "array"            ? value.isArray()
            : type == "string"           ? value.isString()
            : type == "boolean"          ? value.isBool()
            : type == "null"             ? value.isNull()
            : type == "integer"          ? value.isDouble() && std::trunc(value.toDouble()) == value.toDouble()
            : type == "number"           ? value.isDouble()
                                         : false;
        if (!ok)
            return where + ": not of type " + type;
    }
    if (schema.contains("enum") && !schema["enum"].toArray().contains(value))
        return where + ": not one of the listed values";
    if (schema.contains("pattern")) {
        // PCRE takes no text with a lone surrogate; for the pattern, one
        // counts as U+FFFD.
        QString text = value.toString();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
            else if (text[i].isSurrogate())
                text[i] = QChar::ReplacementCharacter;
        }
        if (!QRegularExpression(schema["pattern"].toString()).match(text).hasMatch())
            return where + ": \"" + text + "\" does not match " + schema["pattern"].toString();
    }
    if (schema.contains("minimum") && value.toDouble() < schema["minimum"].toDouble())
        return where + ": below the minimum";
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (const QJsonValue& name : schema["required"].toArray())
            if (!object.contains(name.toString()))
                return where + ": " + name.toString() + " is missing";
        const QJsonObject properties = schema["properties"].toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (properties.contains(it.key())) {
                const QString violation = SchemaViolation(it.value(), properties[it.key()].toObject(), where + "." + it.key());
                if (!violation.isEmpty())
                    return violation;
            } else if (schema["additionalProperties"] == QJsonValue(false)) {
                return where + ": " + it.key() + " is not allowed";
            }
        }
    }
    if (value.isArray() && schema.contains("items")) {
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QString violation = SchemaViolation(array[i], schema["items"].toObject(), QStringLiteral("%1[%2]").arg(where).arg(i));
            if (!violation.isEmpty())
                return violation;
        }
    }
    return {};
}

QJsonObject Schema()
{
    const QByteArray text = ReadAll(TWINLENS_SOURCE_DIR "/tests/cli_json.schema.json");
    const QJsonDocument doc = QJsonDocument::fromJson(text);
    if (!doc.isObject())
        qFatal("tests/cli_json.schema.json is not a JSON object");
    return doc.object();
}

// The document of a run: parsed, and checked against the schema and for raw
// controls, which the writer always escapes.
QJsonObject ParseDocument(const QByteArray& text)
{
    QJsonParseError error {};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        qWarning("not JSON (%s at %d): %s", qPrintable(error.errorString()), error.offset, text.constData());
        return {};
    }
    const QString violation = SchemaViolation(doc.object(), Schema());
    if (!violation.isEmpty()) {
        qWarning("%s", qPrintable(violation));
        return {};
    }
    if (HasStrayControls(text, "\n") || !QUtf8StringView(text).isValidUtf8() || !text.endsWith("}\n")) {
        qWarning("raw controls, bytes that are not UTF-8, or no line end: %s", text.constData());
        return {};
    }
    return doc.object();
}

// The paths of every entry of a document's groups ("file_groups" or
// "folder_groups"), relative to base, by group.
QList<QStringList> GroupPaths(const QJsonObject& doc, const char* groups, const QString& base)
{
    QList<QStringList> out;
    for (const QJsonValue& g : doc[groups].toArray()) {
        QStringList paths;
        for (const QJsonValue& e : g["entries"].toArray())
            paths << e["path"].toString().mid(base.size() + 1);
        out << paths;
    }
    return out;
}

void SetModified(const QString& path, qint64 seconds, long nanoseconds)
{
    const struct timespec times[2] = { { 0, UTIME_OMIT }, { time_t(seconds), nanoseconds } };
    if (::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        qFatal("cannot set the time of %s", qPrintable(path));
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
    void jsonDocument();
    void jsonTextsAndPaths();
    void jsonInPieces();
    void isoTimes_data();
    void isoTimes();
    void referenceFolders();
    void exclusions_data();
    void exclusions();
    void linksAndMounts_data();
    void linksAndMounts();
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
    QTest::newRow("bad format") << QStringList { "--format", "xml", "/" }
                                << QByteArray("--format must be one of csv, json: xml");
    QTest::newRow("format without value") << QStringList { "/", "--format" } << QByteArray("--format needs a value: csv|json");
    QTest::newRow("empty exclusion") << QStringList { "--exclude", "", "/" } << QByteArray("--exclude needs a pattern");
    QTest::newRow("blank exclusion") << QStringList { "--exclude= \t ", "/" } << QByteArray("--exclude needs a pattern");
    QTest::newRow("exclusion of nothing") << QStringList { "--exclude", "/", "/" }
                                          << QByteArray("--exclude matches nothing: /");
    QTest::newRow("reference without value") << QStringList { "/", "--reference" }
                                             << QByteArray("--reference needs a value: FOLDER");
    QTest::newRow("missing reference folder") << QStringList { "--reference", "/nonexistent-twinlens-folder" }
                                              << QByteArray("no such folder, skipped: /nonexistent-twinlens-folder\n"
                                                            "twinlens-cli: no folder to scan");
    QTest::newRow("JSON with a CSV file") << QStringList { "--folders-csv", "/tmp/f.csv", "--format", "json", "/" }
                                          << QByteArray("--folders-csv writes CSV and cannot go with --format json");
    QTest::newRow("JSON file with CSV") << QStringList { "--json", "/tmp/x.json", "--format=csv", "/" }
                                        << QByteArray("--json writes JSON and cannot go with --format csv");
    QTest::newRow("JSON file without a name") << QStringList { "--json=", "/" } << QByteArray("--json needs a file name");
    QTest::newRow("JSON folder missing") << QStringList { "--json", "/nonexistent-twinlens/out.json", "/" }
                                         << QByteArray("--json cannot be written: "
                                                       "/nonexistent-twinlens/out.json: No such file or directory");
}

// What a run could not read or left out is said at the end, one line per
// reason with the first paths, and the exit status tells a script: 0 when
// only system or trash folders were left out (by rule), 3 when something
// below the folders could not be read, 1 when a listed folder could not be.
void TestCliScan::skipReport()
{
    TestDir dir;
    dir.createFile("t/a", 10);
    dir.createFile("t/b", 10);
    Run r = RunCli({ "--quiet", "--min-size-mb", "0", dir.path("t"), "/proc" });
    QCOMPARE(r.Exit, 0);
    QVERIFY2(r.Err.contains("1 folders were left out (system or trash folders): /proc/\n"), r.Err);

    dir.createRawFile("t/bad\xff.bin", "12345");
    r = RunCli({ "--quiet", "--min-size-mb", "0", dir.path("t"), "/proc" });
    QCOMPARE(r.Exit, 3);
    QVERIFY2(r.Err.contains("1 names are not valid UTF-8 and were left out: " + QFile::encodeName(dir.path("t")) + "/bad\\xFF.bin\n"), r.Err);
    QVERIFY2(!HasStrayControls(r.Err, "\n"), r.Err);
    QVERIFY2(r.Out.contains("\"a\",") && r.Out.contains("\"b\","), r.Out); // the lists are written all the same
    QCOMPARE(::unlink((QFile::encodeName(dir.path("t")) + "/bad\xff.bin").constData()), 0);

    // As another user, so that permissions bind: a folder below that cannot
    // be read is 3, a listed folder that cannot be read is 1.
    dir.createFile("t/locked/f", 10);
    QCOMPARE(::chmod(QFile::encodeName(dir.path("t/locked")).constData(), 0), 0);
    QCOMPARE(::chmod(QFile::encodeName(dir.createDir("locked")).constData(), 0), 0);
    MakeReachable(dir.path("t"));
    r = RunCli({ "--quiet", "--min-size-mb", "0", dir.path("t") }, true);
    if (r.Exit == -1 || r.Err.contains("setpriv"))
        QSKIP("cannot run as another user here");
    QCOMPARE(r.Exit, 3);
    QVERIFY2(r.Err.contains("1 folders could not be read: " + QFile::encodeName(dir.folder("t/locked"))), r.Err);
    r = RunCli({ "--quiet", dir.path("t"), dir.path("locked") }, true);
    QCOMPARE(r.Exit, 1);
    QVERIFY2(r.Err.contains("2 folders could not be read: "), r.Err);
    QVERIFY2(r.Err.contains(QFile::encodeName(dir.folder("locked"))), r.Err);
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
    // One line says what is wrong; only folders that were skipped are named
    // before it.
    QCOMPARE(r.Err.count('\n') - r.Err.count(", skipped: "), 1);
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

    // The document says that its lists are cut short.
    QProcess json;
    err.clear();
    QVERIFY2(StartUntil(json, { "--serial", "--format", "json", dir.path("a") }, "Scanning folders...", err), err);
    ::kill(pid_t(json.processId()), SIGINT);
    QVERIFY(json.waitForFinished(60000));
    QCOMPARE(json.exitCode(), 130);
    const QJsonObject doc = ParseDocument(json.readAllStandardOutput());
    QCOMPARE(doc["stopped"], QJsonValue(true));
    QCOMPARE(doc["file_groups"].toArray(), QJsonArray());
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

// --format json: one document with the settings and both lists, the same on
// standard output and in the file of --json; texts come back exact, sizes in
// bytes, times with their nanoseconds, the SHA-1 in content mode only.
void TestCliScan::jsonDocument()
{
    TestDir dir;
    const QByteArray content(3000, 'j');
    const QString odd = "t/q\"\\\x01\x7f\u0085\U0001F600 \u00E9.bin";
    SetModified(dir.createFile("t/a.bin", content), 981173106, 123456789);
    dir.createFile(odd, content);
    dir.createFile("t/other.bin", QByteArray(3000, 'k')); // same size, other bytes
    dir.createFile("x/a/f", QByteArray("folder!!"));
    dir.createFile("x/b/f", QByteArray("folder!!"));
    const QStringList args = { "--quiet", "--format", "json", "--folders", "--min-size-mb", "0", "--max-groups", "0",
        "--masks", "*.bin f", "--exclude", "ignored", dir.path("t"), dir.path("x") };

    Run r = RunCli(args);
    QCOMPARE(r.Exit, 0);
    QCOMPARE(r.Err, QByteArray());
    const QJsonObject doc = ParseDocument(r.Out);
    QVERIFY2(!doc.isEmpty(), r.Out);
    QCOMPARE(doc["program"].toString(), QStringLiteral("Twinlens " TWINLENS_VERSION));
    QCOMPARE(doc["stopped"], QJsonValue(false));
    const QJsonObject settings = doc["settings"].toObject();
    QCOMPARE(settings["folders"].toArray(),
        QJsonArray({ QJsonObject { { "path", dir.folder("t") }, { "reference", false } },
            QJsonObject { { "path", dir.folder("x") }, { "reference", false } } }));
    QCOMPARE(settings["masks"].toArray(), QJsonArray({ "*.bin", "f" }));
    QCOMPARE(settings["compare"].toString(), QStringLiteral("content"));
    QCOMPARE(settings["min_size_mb"].toInteger(), 0);
    QCOMPARE(settings["max_groups"].toInteger(), 0);
    QCOMPARE(settings["min_group_size"].toInteger(), 2);
    QCOMPARE(settings["exclude"].toArray(), QJsonArray({ "ignored" }));
    QCOMPARE(settings["file_clones"], QJsonValue(true));
    QCOMPARE(settings["folder_clones"], QJsonValue(true));

    QList<QStringList> files = GroupPaths(doc, "file_groups", dir.path());
    QCOMPARE(files.size(), 2);
    files[0].sort();
    QCOMPARE(files[0], QStringList({ "t/a.bin", odd }));
    QCOMPARE(files[1], QStringList({ "x/a/f", "x/b/f" }));
    const QJsonObject first = doc["file_groups"][0].toObject();
    QCOMPARE(first["number"].toInteger(), 1);
    QCOMPARE(first["total_size"].toInteger(), 6000);
    QCOMPARE(doc["file_groups"][1]["total_size"].toInteger(), 16);
    const QString sha1 = QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex();
    for (const QJsonValue& e : first["entries"].toArray()) {
        QCOMPARE(e["size"].toInteger(), 3000);
        QCOMPARE(e["sha1"].toString(), sha1);
        QCOMPARE(e["reference"], QJsonValue(false));
        QVERIFY(!e.toObject().contains("path_bytes"));
        if (e["path"].toString().endsWith("/a.bin")) {
            QCOMPARE(e["modified"].toString(), QStringLiteral("2001-02-03T04:05:06.123456789Z"));
            QCOMPARE(e["modified_ns"].toInteger(), Q_INT64_C(981173106123456789));
        }
    }
    QCOMPARE(doc["folder_groups"].toArray(),
        QJsonArray({ QJsonObject { { "number", 1 }, { "total_size", 16 },
            { "entries",
                QJsonArray { QJsonObject { { "path", dir.path("x/a") }, { "size", 8 }, { "reference", false } },
                    QJsonObject { { "path", dir.path("x/b") }, { "size", 8 }, { "reference", false } } } } } }));

    // The same document in a file, written whole.
    const QString json = dir.path("out/clones.json");
    dir.createDir("out");
    r = RunCli(QStringList { "--json", json } + args.mid(3));
    QCOMPARE(r.Exit, 0);
    QCOMPARE(r.Out, QByteArray());
    QCOMPARE(ReadAll(json), RunCli(args).Out);
    QCOMPARE(Entries(dir.path("out")), QStringList { "clones.json" });

    // No digest where none was the key; a list not looked for is empty.
    r = RunCli({ "--quiet", "--format=json", "--compare", "size", "--min-size-mb", "0", dir.path("t") });
    QCOMPARE(r.Exit, 0);
    QVERIFY2(!r.Out.contains("sha1"), r.Out);
    QCOMPARE(GroupPaths(ParseDocument(r.Out), "file_groups", dir.path()).value(0).size(), 3);
    QCOMPARE(ParseDocument(r.Out)["folder_groups"].toArray(), QJsonArray());
    r = RunCli({ "--quiet", "--json", json, "--no-files", "--folders", dir.path("x") });
    QCOMPARE(r.Exit, 0);
    const QJsonObject folders = ParseDocument(ReadAll(json));
    QCOMPARE(folders["settings"]["file_clones"], QJsonValue(false));
    QCOMPARE(folders["file_groups"].toArray(), QJsonArray());
    QCOMPARE(GroupPaths(folders, "folder_groups", dir.path()), QList<QStringList>({ { "x/a", "x/b" } }));
}

// The writer's texts: a path whose bytes are not UTF-8 comes back exact
// through "path_bytes", with U+FFFD for each stray byte in "path"; controls,
// quotes, backslashes and lone surrogates are escaped and come back exact.
void TestCliScan::jsonTextsAndPaths()
{
    struct Name {
        QByteArray Native;
        QString Path; // as "path" shows it
        bool Exact;
    };
    const QList<Name> names = {
        { "caf\xE9.bin", QStringLiteral("/data/caf\uFFFD.bin"), false }, // Latin-1
        { "s\xED\xA0\x80.bin", QStringLiteral("/data/s\uFFFD\uFFFD\uFFFD.bin"), false }, // an encoded surrogate
        { "o\xC0\xAF", QStringLiteral("/data/o\uFFFD\uFFFD"), false }, // an overlong "/"
        { "cut\xE2\x82", QStringLiteral("/data/cut\uFFFD\uFFFD"), false },
        { "ok\xC2\x85\x1B\"\\\xF0\x9F\x98\x80\t", QStringLiteral("/data/ok\u0085\u001B\"\\\U0001F600\t"), true },
    };
    const QByteArray prefix = "/data/";
    std::vector<std::unique_ptr<TFileInfo>> records;
    ResultList files;
    files.AddGroup(1, "Group 1");
    for (const Name& n : names) {
        records.push_back(std::make_unique<TFileInfo>(&prefix, n.Native.constData(), quint32(n.Native.size()), 4,
            platform::FileId {}, Q_INT64_C(-1), Q_INT64_C(-1)));
        ResultItem item;
        item.GroupId = 1;
        item.Data = records.back().get();
        files.AddItem(item);
    }
    const QString folder = QStringLiteral("/data/d") + QChar(0xDC80) + QStringLiteral("\x01\x7f\u009B\u2028");
    ResultList dirs;
    ResultItem row;
    row.GroupId = 1;
    row.SubItems = QStringList { folder, "0.00 MB" };
    row.Size = 5;
    row.Reference = true;
    dirs.AddItem(row);
    dirs.AddItem(row);

    JsonRun run;
    run.Settings.DirDuplicates = true;
    run.Settings.Exclude = QStringList { "a\"b\\c" };
    run.Folders = QStringList { "/data/" };
    run.Files = &files;
    run.Dirs = &dirs;
    QByteArray text;
    QVERIFY(WriteJson(run, [&text](QByteArrayView piece) {
        text += piece;
        return true;
    }));
    const QJsonObject doc = ParseDocument(text);
    QVERIFY2(!doc.isEmpty(), text);

    const QJsonArray entries = doc["file_groups"][0]["entries"].toArray();
    QCOMPARE(entries.size(), names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QJsonObject e = entries[i].toObject();
        QCOMPARE(e["path"].toString(), names[i].Path);
        QCOMPARE(e.contains("path_bytes"), !names[i].Exact);
        if (!names[i].Exact)
            QCOMPARE(QByteArray::fromBase64(e["path_bytes"].toString().toLatin1()), prefix + names[i].Native);
        QCOMPARE(e["modified"].toString(), QStringLiteral("1969-12-31T23:59:59.999999999Z"));
    }
    QCOMPARE(doc["file_groups"][0]["total_size"].toInteger(), 4 * names.size());
    QVERIFY2(text.contains("\\udc80\\u0001\\u007f\\u009b\xE2\x80\xA8\""), text);
    QCOMPARE(doc["folder_groups"][0]["entries"][1]["path"].toString(), folder);
    QCOMPARE(doc["folder_groups"][0]["entries"][1]["reference"], QJsonValue(true));
    QCOMPARE(doc["folder_groups"][0]["total_size"].toInteger(), 10);
    QCOMPARE(doc["settings"]["exclude"][0].toString(), QStringLiteral("a\"b\\c"));
}

// A long list goes out in pieces of about 64 KiB, never whole, and a piece
// that cannot be written ends the writing.
void TestCliScan::jsonInPieces()
{
    const QByteArray prefix = "/data/some/folder/of/photos/";
    QByteArrayList names;
    for (int i = 0; i < 20000; ++i)
        names << "picture-" + QByteArray::number(i) + ".jpg";
    std::vector<std::unique_ptr<TFileInfo>> records;
    ResultList files;
    for (int i = 0; i < names.size(); ++i) {
        records.push_back(std::make_unique<TFileInfo>(
            &prefix, names[i].constData(), quint32(names[i].size()), 1000, platform::FileId {}, 0, 0));
        ResultItem item;
        item.GroupId = i / 4 + 1;
        item.Data = records.back().get();
        files.AddItem(item);
    }
    JsonRun run;
    run.Files = &files;
    QByteArrayList pieces;
    QVERIFY(WriteJson(run, [&pieces](QByteArrayView piece) {
        pieces << piece.toByteArray();
        return true;
    }));
    QVERIFY2(pieces.size() > 20, qPrintable(QString::number(pieces.size())));
    for (const QByteArray& piece : pieces)
        QVERIFY2(piece.size() < 64 * 1024 + 1024, qPrintable(QString::number(piece.size())));
    const QJsonObject doc = ParseDocument(pieces.join());
    QCOMPARE(doc["file_groups"].toArray().size(), 5000);
    QCOMPARE(doc["file_groups"][4999]["entries"][3]["path"].toString(), QStringLiteral("/data/some/folder/of/photos/picture-19999.jpg"));

    int calls = 0;
    QVERIFY(!WriteJson(run, [&calls](QByteArrayView) { return ++calls < 2; }));
    QCOMPARE(calls, 2);
}

void TestCliScan::isoTimes_data()
{
    QTest::addColumn<qint64>("nanoseconds");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("the epoch") << Q_INT64_C(0) << QByteArray("1970-01-01T00:00:00.000000000Z");
    QTest::newRow("just before it") << Q_INT64_C(-1) << QByteArray("1969-12-31T23:59:59.999999999Z");
    QTest::newRow("all digits") << Q_INT64_C(981173106123456789) << QByteArray("2001-02-03T04:05:06.123456789Z");
    QTest::newRow("leap day of 2000") << Q_INT64_C(951782400000000000) << QByteArray("2000-02-29T00:00:00.000000000Z");
    QTest::newRow("2100 has no leap day") << Q_INT64_C(4107542399999999999)
                                          << QByteArray("2100-02-28T23:59:59.999999999Z");
    QTest::newRow("1900") << Q_INT64_C(-2208988800000000000) << QByteArray("1900-01-01T00:00:00.000000000Z");
    QTest::newRow("latest") << std::numeric_limits<qint64>::max() << QByteArray("2262-04-11T23:47:16.854775807Z");
    QTest::newRow("earliest") << std::numeric_limits<qint64>::min() << QByteArray("1677-09-21T00:12:43.145224192Z");
}

void TestCliScan::isoTimes()
{
    QFETCH(qint64, nanoseconds);
    QFETCH(QByteArray, text);
    QCOMPARE(IsoTimeUtc(nanoseconds), text);
}

// --reference adds a folder as a FOLDER argument does, in the order given
// among them, and marks what lies in it; the CSV is the same as without.
void TestCliScan::referenceFolders()
{
    TestDir dir;
    const QByteArray same(2000, 'r');
    dir.createFile("a/one.bin", same);
    dir.createFile("ref/two.bin", same);
    dir.createFile("c/three.bin", same);
    dir.createFile("a/d/f", QByteArray("inner"));
    dir.createFile("ref/d/f", QByteArray("inner"));
    const QStringList common = { "--quiet", "--min-size-mb", "0", "--folders" };

    Run r = RunCli(common + QStringList { "--format", "json", dir.path("a"), "--reference", dir.path("ref"), dir.path("c") });
    QCOMPARE(r.Exit, 0);
    const QJsonObject doc = ParseDocument(r.Out);
    QVERIFY2(!doc.isEmpty(), r.Out);
    QCOMPARE(doc["settings"]["folders"].toArray(),
        QJsonArray({ QJsonObject { { "path", dir.folder("a") }, { "reference", false } },
            QJsonObject { { "path", dir.folder("ref") }, { "reference", true } },
            QJsonObject { { "path", dir.folder("c") }, { "reference", false } } }));
    PathSet marked, unmarked;
    for (const char* groups : { "file_groups", "folder_groups" })
        for (const QJsonValue& g : doc[groups].toArray())
            for (const QJsonValue& e : g["entries"].toArray())
                (e["reference"].toBool() ? marked : unmarked) << e["path"].toString().mid(dir.path().size() + 1);
    QCOMPARE(marked, PathSet({ "ref/two.bin", "ref/d/f", "ref/d" }));
    QCOMPARE(unmarked, PathSet({ "a/one.bin", "c/three.bin", "a/d/f", "a/d" }));

    // Named both ways, a folder is listed once, as a reference folder.
    r = RunCli(common + QStringList { "--format", "json", dir.path("ref"), dir.path("a"), "--reference", dir.path("ref") });
    QCOMPARE(r.Exit, 0);
    const QJsonObject both = ParseDocument(r.Out);
    QCOMPARE(both["settings"]["folders"].toArray(),
        QJsonArray({ QJsonObject { { "path", dir.folder("ref") }, { "reference", true } },
            QJsonObject { { "path", dir.folder("a") }, { "reference", false } } }));

    const Run plain = RunCli(common + QStringList { dir.path("a"), dir.path("ref") });
    r = RunCli(common + QStringList { dir.path("a"), "--reference", dir.path("ref") });
    QCOMPARE(r.Exit, 0);
    QVERIFY(plain.Out.contains("two.bin"));
    QCOMPARE(r.Out, plain.Out);
}

// --exclude: each option one pattern, as Exclusions.h reads it: names at any
// depth, folder names with "/" at the end, paths below a listed folder.
void TestCliScan::exclusions_data()
{
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<PathSet>("excluded");
    QTest::newRow("none") << QStringList {} << PathSet {};
    QTest::newRow("a folder name") << QStringList { ".git" } << PathSet { ".git/obj.bin" };
    QTest::newRow("folders only") << QStringList { "cache/" } << PathSet { "sub/cache/c.bin" };
    QTest::newRow("a path at the top") << QStringList { "/build" } << PathSet { "build/out.bin" };
    QTest::newRow("a folder at any depth") << QStringList { "*/cache/*" } << PathSet { "sub/cache/c.bin" };
    QTest::newRow("two options") << QStringList { "*.tmp", ".git" } << PathSet { "sub/x.tmp", ".git/obj.bin" };
    QTest::newRow("one pattern, not split") << QStringList { "semi;colon.bin" } << PathSet { "semi;colon.bin" };
    QTest::newRow("letter case counts") << QStringList { "KEEP.BIN" } << PathSet {};
}

void TestCliScan::exclusions()
{
    QFETCH(QStringList, patterns);
    QFETCH(PathSet, excluded);
    TestDir dir;
    const PathSet all = { "keep.bin", ".git/obj.bin", "sub/cache/c.bin", "keep/cache", "build/out.bin",
        "sub/build/in.bin", "sub/x.tmp", "semi;colon.bin" };
    for (const QString& rel : all)
        dir.createFile("t/" + rel, QByteArray("same bytes"));
    QStringList args = { "--quiet", "--format", "json", "--min-size-mb", "0" };
    for (const QString& p : patterns)
        args << "--exclude" << p;
    const Run r = RunCli(args << dir.path("t"));
    QCOMPARE(r.Exit, 0);
    const QJsonObject doc = ParseDocument(r.Out);
    QVERIFY2(!doc.isEmpty(), r.Out);
    const QList<QStringList> groups = GroupPaths(doc, "file_groups", dir.path("t"));
    QCOMPARE(groups.size(), 1);
    QCOMPARE(PathSet(groups[0].begin(), groups[0].end()), all - excluded);
    QCOMPARE(doc["settings"]["exclude"].toArray(), QJsonArray::fromStringList(patterns));

    // A pattern must read back to the bytes it was given.
    CliOptions options;
    const char* const argv[] = { "twinlens-cli", "--exclude", "caf\xE9", "/" };
    const ParseResult parsed = ParseCommandLine(4, argv, options);
    QVERIFY(!parsed.Ok);
    QCOMPARE(parsed.Error, QStringLiteral("--exclude is not valid UTF-8: caf\\xE9"));
}

// --no-follow leaves links to folders unwalked, a link to / among them;
// --one-file-system leaves other file systems and bind mounts out (mnt2 is
// a bind mount of the tree's own file system), also where a link leads to
// one. The tree is a file system of its own (a tmpfs),
// so that / is another one; mounting needs root.
void TestCliScan::linksAndMounts_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<PathSet>("found");
    QTest::newRow("one file system") << QStringList { "--one-file-system" }
                                     << PathSet { "a.bin", "b.bin", "same/d.bin" };
    QTest::newRow("no links") << QStringList { "--no-follow" }
                              << PathSet { "a.bin", "b.bin", "mnt/c.bin", "mnt2/d.bin" };
    QTest::newRow("both") << QStringList { "--no-follow", "--one-file-system" } << PathSet { "a.bin", "b.bin" };
}

void TestCliScan::linksAndMounts()
{
    QFETCH(QStringList, options);
    QFETCH(PathSet, found);
    if (::geteuid() != 0)
        QSKIP("mounting a file system and a bind mount needs root");
    TestDir dir;
    const QByteArray fs = QFile::encodeName(dir.createDir("fs"));
    if (::mount("twinlens-test", fs.constData(), "tmpfs", 0, "size=4m") != 0)
        QSKIP(qPrintable("cannot mount a tmpfs here: " + QString::fromLocal8Bit(std::strerror(errno))));
    const ScopeExit unmountFs([&] { ::umount2(fs.constData(), MNT_DETACH); });
    const QByteArray content("the same bytes in each");
    for (const char* rel : { "fs/tree/a.bin", "fs/tree/b.bin", "fs/other/d.bin", "outside/c.bin" })
        dir.createFile(rel, content);
    dir.createLink("/", "fs/tree/root");
    dir.createLink("../other", "fs/tree/same");
    const QByteArray mnt = QFile::encodeName(dir.createDir("fs/tree/mnt"));
    QCOMPARE(::mount(QFile::encodeName(dir.path("outside")).constData(), mnt.constData(), nullptr, MS_BIND, nullptr), 0);
    const ScopeExit unmountBind([&] { ::umount2(mnt.constData(), MNT_DETACH); });
    const QByteArray mnt2 = QFile::encodeName(dir.createDir("fs/tree/mnt2"));
    QCOMPARE(::mount(QFile::encodeName(dir.path("fs/other")).constData(), mnt2.constData(), nullptr, MS_BIND, nullptr), 0);
    const ScopeExit unmountBind2([&] { ::umount2(mnt2.constData(), MNT_DETACH); });

    const Run r = RunCli(QStringList { "--quiet", "--format", "json", "--min-size-mb", "0", "--max-groups", "0" } + options
        << dir.path("fs/tree"));
    QCOMPARE(r.Exit, 0);
    const QJsonObject doc = ParseDocument(r.Out);
    QVERIFY2(!doc.isEmpty(), r.Out);
    const QList<QStringList> groups = GroupPaths(doc, "file_groups", dir.path("fs/tree"));
    QCOMPARE(groups.size(), 1);
    QCOMPARE(PathSet(groups[0].begin(), groups[0].end()), found);
}

QTEST_GUILESS_MAIN(TestCliScan)
#include "tst_cli_scan.moc"
