// twinlens-cli: the scan engine without a display, for servers, scripts and
// benchmarks. It adds the folders as "Add folder..." does, runs the Scan
// command and writes the result lists as the CSV export would, or one JSON
// document holding them (JsonOutput.h).

#include "cli/CliOptions.h"
#include "cli/CliWindow.h"
#include "cli/JsonOutput.h"
#include "cli/OutputFile.h"
#include "cli/TerminalText.h"
#include "engine/Masks.h"
#include "engine/ResultList.h"
#include "platform/core/FileSystem.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum ExitStatus { ExitOk = 0, ExitError = 1, ExitUsage = 2, ExitIncomplete = 3, ExitInterrupted = 130 };

// Something the scan was to look at and could not: the lists are complete for
// what was read, and a script can tell. Pseudo file systems and trash folders
// are left out by rule, not for want of reading them.
bool SomethingSkipped(const SkipReport& skips)
{
    for (int k = 0; k < int(SkipKind::Count_); ++k)
        if (SkipKind(k) != SkipKind::Excluded && skips.Count(SkipKind(k)) > 0)
            return true;
    return false;
}

// Set when the program was started with standard output closed: a list
// bound for it cannot be written, and that is said.
bool StdoutWasClosed = false;

// Standard error is only for the person watching: when it is closed, or a
// pipe whose reader has gone, the scan goes on and the lists are still
// written. A closed descriptor 0, 1 or 2 is held open on /dev/null, so that no
// file opened later takes its number and receives status lines or a list.
void GuardStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            if (fd == STDOUT_FILENO)
                StdoutWasClosed = true;
            const int null = ::open("/dev/null", O_RDWR);
            if (null >= 0 && null != fd) {
                ::dup2(null, fd);
                ::close(null);
            }
        }
    }
    // A write to a closed pipe then fails with EPIPE instead of ending the
    // program; a failed write to standard output is reported as such.
    std::signal(SIGPIPE, SIG_IGN);
}

// One output and where it goes: a CSV list, or the JSON document. An empty
// File is standard output.
struct Output {
    QByteArray File;
    const char* Option;
    TextSource Text;
    // A CSV list on a terminal is made terminal-safe line by line; the JSON
    // document is safe as it is (JsonOutput.h).
    const ResultList* CsvList = nullptr;
};

// The CSV as a terminal may show it: each line made terminal-safe, so that
// a name cannot drive the terminal it is listed on. Redirected, standard
// output carries the names as they are.
QByteArray ForTerminal(const QByteArray& csv)
{
    QStringList lines = QString::fromUtf8(csv).split(QStringLiteral("\r\n"));
    for (QString& line : lines)
        line = TerminalSafe(line);
    return lines.join(QStringLiteral("\r\n")).toUtf8();
}

bool WriteOutput(const Output& out)
{
    if (out.File.isEmpty()) {
        QString error;
        if (StdoutWasClosed) {
            error = QString::fromLocal8Bit(std::strerror(EBADF));
        } else if (out.CsvList && ::isatty(STDOUT_FILENO) == 1) {
            error = WriteStandardOutput(ForTerminal(CsvText(*out.CsvList)));
        } else {
            // In pieces: a long list is never held whole.
            out.Text([&error](QByteArrayView piece) {
                error = WriteStandardOutput(piece);
                return error.isEmpty();
            });
        }
        if (!error.isEmpty())
            Say(QStringLiteral("cannot write to standard output: %1").arg(error));
        return error.isEmpty();
    }
    const QString error = WriteOutputFile(out.File, out.Text);
    if (!error.isEmpty())
        Say(QStringLiteral("cannot write %1: %2").arg(TerminalSafeNative(out.File), error));
    return error.isEmpty();
}

// Why a folder argument cannot be scanned, in a few words.
QString WhyNotScannable(const QString& folder)
{
    QByteArray native = platform::NativePath(folder);
    while (native.size() > 1 && native.endsWith('/'))
        native.chop(1);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? QStringLiteral("cannot be scanned") : QStringLiteral("not a folder");
    if (errno == ENOENT || errno == ENOTDIR)
        return QStringLiteral("no such folder");
    return QStringLiteral("cannot open folder (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

int main(int argc, char** argv)
{
    GuardStandardStreams();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Twinlens"));

    CliOptions options;
    const ParseResult parsed = ParseCommandLine(argc, argv, options);
    if (!parsed.Ok) {
        Say(parsed.Error);
        return ExitUsage;
    }
    if (options.Help) {
        std::fputs(UsageText().toUtf8().constData(), stdout);
        return ExitOk;
    }
    if (options.Version) {
        std::puts(VersionText().toUtf8().constData());
        return ExitOk;
    }
    if (options.Folders.isEmpty()) {
        Say(QStringLiteral("no folder given (see --help)"));
        return ExitUsage;
    }

    for (const QString& mask : ScanWindow::ParseMasks(options.Settings.Masks)) {
        if (!MaskIsValid(mask)) {
            Say(QStringLiteral("not a valid file mask: %1").arg(TerminalSafe(mask)));
            return ExitUsage;
        }
    }

    CliWindow window(options.Quiet);
    window.FSettings = options.Settings;

    QList<Output> outputs;
    if (options.Format == OutputFormat::Json) {
        // One document, written after the run: the lists and the folders as
        // the run had them.
        outputs << Output { options.Json, "--json", [&window](const PieceWriter& write) {
                               JsonRun run;
                               run.Settings = window.FSettings;
                               run.Folders = window.Folders();
                               run.ReferenceFolders = window.ReferenceFolders();
                               run.Files = &window.lvFiles;
                               run.Dirs = &window.lvDirs;
                               run.Stopped = window.RunStopped();
                               return WriteJson(run, write);
                           } };
    } else {
        // Lists bound for standard output follow each other there, each a
        // whole CSV text with its own byte-order mark and header.
        const auto csv = [](const ResultList& list, const QByteArray& file, const char* option) {
            return Output { file, option, [&list](const PieceWriter& write) { return WriteCsv(list, write); }, &list };
        };
        if (options.Settings.FileDuplicates)
            outputs << csv(window.lvFiles, options.FilesCsv, "--files-csv");
        if (options.Settings.DirDuplicates)
            outputs << csv(window.lvDirs, options.FoldersCsv, "--folders-csv");
    }

    // Output files are checked before the scan: a mistyped folder must not
    // cost a whole run, and one file for both lists would keep only one.
    if (!options.FilesCsv.isEmpty() && !options.FoldersCsv.isEmpty()
        && SameOutputFile(options.FilesCsv, options.FoldersCsv)) {
        Say(QStringLiteral("--files-csv and --folders-csv name the same file: %1")
                .arg(TerminalSafeNative(options.FoldersCsv)));
        return ExitUsage;
    }
    for (const Output& out : outputs) {
        if (out.File.isEmpty())
            continue;
        const QString error = CheckOutputTarget(out.File);
        if (!error.isEmpty()) {
            Say(QStringLiteral("%1 cannot be written: %2: %3")
                    .arg(QLatin1String(out.Option), TerminalSafeNative(out.File), error));
            return ExitUsage;
        }
    }

    for (const FolderArgument& argument : options.Folders) {
        const QByteArray& native = argument.Path;
        // A name that does not read back to the same bytes would be another
        // folder, or none.
        if (!platform::IsRepresentable(native)) {
            Say(QStringLiteral("folder name is not valid UTF-8, skipped: %1").arg(TerminalSafeNative(native)));
            continue;
        }
        const QString folder = QFile::decodeName(native);
        const QString normalized = ScanWindow::NormalizeFolder(folder);
        if (!platform::DirectoryExists(normalized)) {
            Say(QStringLiteral("%1, skipped: %2").arg(WhyNotScannable(normalized), folder));
            continue;
        }
        window.AddFolder(folder);
        // Also a folder listed already as a FOLDER argument: one reference
        // mark is enough to keep its files.
        if (argument.Reference)
            window.SetReferenceFolder(normalized, true);
    }
    if (window.Folders().isEmpty()) {
        Say(QStringLiteral("no folder to scan"));
        return ExitUsage;
    }

    window.CatchInterrupt();
    window.btnScanClick();
    window.FinishStatus();
    // Nothing is passed over in silence: what could not be read or was left
    // out, by reason, with the first paths.
    for (const QString& line : window.FSkips.Lines([](const QByteArray& p) { return TerminalSafeNative(p); }))
        Say(line);

    // Written also after a stop or an error: what the run listed stays valid.
    bool written = true;
    for (const Output& out : outputs)
        written = WriteOutput(out) && written;

    if (!written || window.ErrorShown() || window.FSkips.ListedFolderFailed)
        return ExitError;
    // A Ctrl-C after the last step has no effect on the lists: they are
    // written in full and the run ends as a finished one.
    if (window.RunStopped())
        return ExitInterrupted;
    return SomethingSkipped(window.FSkips) ? ExitIncomplete : ExitOk;
}
