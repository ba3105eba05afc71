#include "cli/CliOptions.h"

#include "BuildInfo.h"
#include "cli/TerminalText.h"
#include "engine/Exclusions.h"
#include "engine/TrimBlanks.h"
#include "platform/core/FileSystem.h"

#include <QRegularExpression>
#include <QStringList>

#include <cstring>
#include <functional>
#include <utility>

namespace {

// The value comes as the argument's bytes: a file name is kept as given, and
// the other options read it as UTF-8.
using Apply = std::function<QString(CliOptions&, const QByteArray& value)>;

struct OptionRow {
    const char* Name;      // with the leading "--"
    const char* ValueName; // nullptr: a switch without a value
    const char* Help;
    Apply Set;             // returns an error text, or the empty text
};

// A whole number in [lo, hi], in the words of the option's help.
Apply Number(int lo, int hi, int ScanSettings::* field)
{
    return [=](CliOptions& o, const QByteArray& raw) -> QString {
        const QString v = QString::fromUtf8(raw);
        bool ok = false;
        const qlonglong n = v.toLongLong(&ok);
        if (!ok) {
            // Digits that do not fit in 64 bits are a number all the same.
            static const QRegularExpression digits(QStringLiteral("^\\s*([+-]?)[0-9]+\\s*$"));
            const QRegularExpressionMatch m = digits.match(v);
            if (!m.hasMatch())
                return QStringLiteral("is not a whole number: %1").arg(v);
            return m.captured(1) == u'-' ? QStringLiteral("is too small (at least %1): %2").arg(lo).arg(v)
                                         : QStringLiteral("is too large (at most %1): %2").arg(hi).arg(v);
        }
        if (n > hi)
            return QStringLiteral("is too large (at most %1): %2").arg(hi).arg(v);
        if (n < lo)
            return QStringLiteral("is too small (at least %1): %2").arg(lo).arg(v);
        o.Settings.*field = int(n);
        return {};
    };
}

const QList<OptionRow>& Table()
{
    static const QList<OptionRow> rows = {
        { "--reference", "FOLDER", "scan FOLDER as a FOLDER argument, as a reference folder: its files and folders "
                                   "are listed in groups but never offered for removal (\"reference\" in the JSON); "
                                   "may be given more than once",
            [](CliOptions& o, const QByteArray& v) -> QString {
                o.Folders << FolderArgument { v, true };
                return {};
            } },
        { "--compare", "name|size|name-size|content", "how files are compared (content: SHA-1)",
            [](CliOptions& o, const QByteArray& raw) -> QString {
                const QString v = QString::fromUtf8(raw);
                static const QStringList modes = { "name", "size", "name-size", "content" };
                const qsizetype i = modes.indexOf(v);
                if (i < 0)
                    return QStringLiteral("must be one of name, size, name-size, content: %1").arg(v);
                o.Settings.CompareIndex = int(i); // the order of CompareMode
                return {};
            } },
        { "--masks", "TEXT", "file masks, separated by , ; | or spaces (*.*)",
            [](CliOptions& o, const QByteArray& v) -> QString {
                o.Settings.Masks = QString::fromUtf8(v);
                return {};
            } },
        { "--exclude", "PATTERN", "leave out what PATTERN matches below the folders: a name at any depth "
                                  "(\".git\", \"*.tmp\"; \"cache/\" folders only), or with a \"/\" a path below "
                                  "a folder (\"/build\", \"*/cache/*\"); * ? [set] as in the shell, * also "
                                  "across /; letter case counts; may be given more than once",
            [](CliOptions& o, const QByteArray& v) -> QString {
                if (!platform::IsRepresentable(v))
                    return QStringLiteral("is not valid UTF-8: %1").arg(TerminalSafeNative(v));
                const QString pattern = QString::fromUtf8(v);
                if (ExclusionSet({ pattern }).Empty())
                    return TrimBlanks(pattern).isEmpty() ? QStringLiteral("needs a pattern")
                                                         : QStringLiteral("matches nothing: %1").arg(pattern);
                o.Settings.Exclude << pattern;
                return {};
            } },
        { "--min-size-mb", "N", "smallest file to collect, in MB of 1048576 bytes; 0: any non-empty file (1)",
            Number(0, 1048576, &ScanSettings::MinSizeMB) },
        { "--max-groups", "N", "largest number of groups to list; 0: all (100)",
            Number(0, 1000000, &ScanSettings::MaxGroups) },
        { "--min-group-size", "N", "smallest number of files in a group (2)",
            Number(2, 1000, &ScanSettings::MinGroupSize) },
        { "--no-follow", nullptr, "do not walk links to folders found below the folders (the folders given "
                                  "are walked even when they are links); by default such links are followed, "
                                  "each folder taken once however many links reach it",
            [](CliOptions& o, const QByteArray&) -> QString {
                o.Settings.FollowFolderLinks = false;
                return {};
            } },
        { "--one-file-system", nullptr, "stay on the file system of each folder: do not enter mounted file "
                                        "systems or bind mounts below it",
            [](CliOptions& o, const QByteArray&) -> QString {
                o.Settings.OneFileSystem = true;
                return {};
            } },
        { "--no-files", nullptr, "do not look for file clones (collect only)",
            [](CliOptions& o, const QByteArray&) -> QString {
                o.Settings.FileDuplicates = false;
                return {};
            } },
        { "--files-csv", "FILE", "write the file clone list to FILE instead of standard output; FILE is replaced only once the list is written whole",
            [](CliOptions& o, const QByteArray& v) -> QString {
                if (v.isEmpty())
                    return QStringLiteral("needs a file name");
                o.FilesCsv = v;
                return {};
            } },
        { "--folders", nullptr, "look for folder clones as well (\"Find folder clones\")",
            [](CliOptions& o, const QByteArray&) -> QString {
                o.Settings.DirDuplicates = true;
                return {};
            } },
        { "--folder-contents", nullptr, "list only folder clones whose files hold the same bytes, not only the same "
                                         "names and sizes (\"Compare folder contents\"; implies --folders)",
            [](CliOptions& o, const QByteArray&) -> QString {
                o.Settings.FolderContents = true;
                o.Settings.DirDuplicates = true;
                return {};
            } },
        { "--folders-csv", "FILE", "write the folder clone list to FILE instead of standard output, as --files-csv does (implies --folders)",
            [](CliOptions& o, const QByteArray& v) -> QString {
                if (v.isEmpty())
                    return QStringLiteral("needs a file name");
                o.FoldersCsv = v;
                o.Settings.DirDuplicates = true;
                return {};
            } },
        { "--format", "csv|json", "what is written: the CSV lists (csv), or one JSON document with the settings "
                                  "and both lists (json) (csv)",
            [](CliOptions& o, const QByteArray& raw) -> QString {
                const QString v = QString::fromUtf8(raw);
                if (v == u"csv")
                    o.Format = OutputFormat::Csv;
                else if (v == u"json")
                    o.Format = OutputFormat::Json;
                else
                    return QStringLiteral("must be one of csv, json: %1").arg(v);
                o.FormatGiven = true;
                return {};
            } },
        { "--json", "FILE", "write the JSON document to FILE instead of standard output, as --files-csv does "
                            "(implies --format json)",
            [](CliOptions& o, const QByteArray& v) -> QString {
                if (v.isEmpty())
                    return QStringLiteral("needs a file name");
                o.Json = v;
                return {};
            } },
        { "--serial", nullptr, "hash on one thread",
            [](CliOptions& o, const QByteArray&) -> QString {
                o.Settings.ParallelHash = false;
                return {};
            } },
        { "--quiet", nullptr, "no status or progress on standard error",
            [](CliOptions& o, const QByteArray&) -> QString {
                o.Quiet = true;
                return {};
            } },
        { "--help", nullptr, "show this text",
            [](CliOptions& o, const QByteArray&) -> QString {
                o.Help = true;
                return {};
            } },
        { "--version", nullptr, "show the version",
            [](CliOptions& o, const QByteArray&) -> QString {
                o.Version = true;
                return {};
            } },
    };
    return rows;
}

const OptionRow* Find(const QString& name)
{
    for (const OptionRow& r : Table())
        if (name == QLatin1String(r.Name))
            return &r;
    return nullptr;
}

} // namespace

ParseResult ParseCommandLine(int argc, const char* const* argv, CliOptions& options)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (optionsEnded || !arg.startsWith('-') || arg == "-") {
            options.Folders << FolderArgument { arg, false };
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const qsizetype eq = arg.indexOf('=');
        const QString name = TerminalSafeNative(eq < 0 ? arg : arg.left(eq));
        const OptionRow* row = Find(name);
        if (!row)
            return { false, QStringLiteral("unknown option %1 (see --help)").arg(name) };
        QByteArray value;
        if (row->ValueName) {
            if (eq >= 0)
                value = arg.mid(eq + 1);
            else if (i + 1 < argc)
                value = argv[++i];
            else
                return { false, QStringLiteral("%1 needs a value: %2").arg(name, QLatin1String(row->ValueName)) };
        } else if (eq >= 0) {
            return { false, QStringLiteral("%1 takes no value").arg(name) };
        }
        const QString error = row->Set(options, value);
        if (!error.isEmpty())
            return { false, name + QLatin1Char(' ') + error };
    }

    // One document holds both lists: there is no CSV file beside it.
    if (!options.Json.isEmpty()) {
        if (options.FormatGiven && options.Format != OutputFormat::Json)
            return { false, QStringLiteral("--json writes JSON and cannot go with --format csv") };
        options.Format = OutputFormat::Json;
    }
    if (options.Format == OutputFormat::Json) {
        for (const auto& [file, name] : { std::pair { &options.FilesCsv, "--files-csv" },
                 std::pair { &options.FoldersCsv, "--folders-csv" } }) {
            if (!file->isEmpty())
                return { false, QStringLiteral("%1 writes CSV and cannot go with --format json "
                                               "(the document goes to standard output, or to --json FILE)")
                                    .arg(QLatin1String(name)) };
        }
    }
    return {};
}

QString UsageText()
{
    QString out = QStringLiteral(
        "Usage: twinlens-cli [options] FOLDER...\n"
        "Finds file clones (and, with --folders, folder clones) under the folders\n"
        "and writes each clone list as CSV (UTF-8 with byte-order mark, CR LF\n"
        "lines) to standard output, the file clone list first; with --format json,\n"
        "one JSON document holding the settings and both lists instead.\n"
        "Status and progress go to standard error. Ctrl-C stops the scan; the\n"
        "groups found so far are written. A second Ctrl-C ends at once.\n\nOptions:\n");
    for (const OptionRow& r : Table()) {
        QString left = QLatin1String(r.Name);
        if (r.ValueName)
            left += QLatin1Char(' ') + QLatin1String(r.ValueName);
        out += QStringLiteral("  %1\n      %2\n").arg(left, QLatin1String(r.Help));
    }
    out += QStringLiteral(
        "\nExit status: 0 done; 1 an error was reported, a folder given could not be\n"
        "read, or the output could not be written; 2 bad command line or no folder\n"
        "to scan; 3 done, but files or folders below the folders could not be read\n"
        "(listed on standard error); 130 stopped by Ctrl-C.\n");
    return out;
}

QString VersionText()
{
    return QStringLiteral("Twinlens " TWINLENS_VERSION);
}
