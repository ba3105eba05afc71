// twinlens-cli: the scan engine without a display, for servers, scripts and
// benchmarks. It adds the folders as "Add folder..." does, runs the Scan
// command and writes the result list as the CSV export would.

#include "cli/CliOptions.h"
#include "cli/CliWindow.h"
#include "engine/ResultList.h"
#include "platform/core/FileSystem.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

enum ExitStatus { ExitOk = 0, ExitError = 1, ExitUsage = 2, ExitInterrupted = 130 };

void Say(const QString& text)
{
    std::fprintf(stderr, "twinlens-cli: %s\n", text.toLocal8Bit().constData());
}

// One result list and where it goes; an empty File is standard output.
struct Output {
    const ResultList* List;
    QString File;
};

bool WriteOutput(const Output& out)
{
    if (out.File.isEmpty()) {
        // In pieces: a long list is never held whole.
        const bool ok = WriteCsv(*out.List,
                            [](QByteArrayView piece) {
                                return std::fwrite(piece.data(), 1, size_t(piece.size()), stdout) == size_t(piece.size());
                            })
            && std::fflush(stdout) == 0;
        if (!ok)
            Say(QStringLiteral("cannot write to standard output"));
        return ok;
    }
    const QByteArray bytes = CsvText(*out.List);
    QFile f(out.File);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() || !f.flush()) {
        Say(QStringLiteral("cannot write %1: %2").arg(out.File, f.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Twinlens"));

    CliOptions options;
    const ParseResult parsed = ParseCommandLine(argc, argv, options);
    if (!parsed.Ok) {
        Say(parsed.Error);
        return ExitUsage;
    }
    if (options.Help) {
        std::fputs(UsageText().toLocal8Bit().constData(), stdout);
        return ExitOk;
    }
    if (options.Version) {
        std::puts(VersionText().toLocal8Bit().constData());
        return ExitOk;
    }
    if (options.Folders.isEmpty()) {
        Say(QStringLiteral("no folder given (see --help)"));
        return ExitUsage;
    }

    CliWindow window(options.Quiet);
    window.FSettings = options.Settings;

    QList<Output> outputs;
    // Lists bound for standard output follow each other there, each a whole
    // CSV text with its own byte-order mark and header.
    if (options.Settings.FileDuplicates)
        outputs << Output { &window.lvFiles, options.FilesCsv };
    if (options.Settings.DirDuplicates)
        outputs << Output { &window.lvDirs, options.FoldersCsv };

    for (const QByteArray& native : options.Folders) {
        // A name that does not read back to the same bytes would be another
        // folder, or none.
        if (!platform::IsRepresentable(native)) {
            std::fprintf(stderr, "twinlens-cli: folder name is not valid UTF-8, skipped: %s\n", native.constData());
            continue;
        }
        const QString folder = QFile::decodeName(native);
        if (!platform::DirectoryExists(ScanWindow::NormalizeFolder(folder))) {
            Say(QStringLiteral("no such folder, skipped: %1").arg(folder));
            continue;
        }
        window.AddFolder(folder);
    }
    if (window.Folders().isEmpty()) {
        Say(QStringLiteral("no folder to scan"));
        return ExitUsage;
    }

    CliWindow::CatchInterrupt();
    window.btnScanClick();
    window.FinishStatus();

    // Written also after a stop or an error: what the run listed stays valid.
    bool written = true;
    for (const Output& out : outputs)
        written = WriteOutput(out) && written;

    if (!written || window.ErrorShown())
        return ExitError;
    if (CliWindow::Interrupted())
        return ExitInterrupted;
    return ExitOk;
}
