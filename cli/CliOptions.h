#pragma once
// The command line of twinlens-cli.
//
//   twinlens-cli [options] FOLDER...
//
// Options are given as "--name value" or "--name=value"; "--" ends the
// options. Every option is one row of the table in CliOptions.cpp, which also
// yields the --help text, so a new option is one row there and, when it sets
// something new, one field here.

#include "engine/ScanWindow.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A folder to scan, from a FOLDER argument or --reference.
struct FolderArgument {
    // Native bytes (a name need not be valid UTF-8; the caller decides what
    // to do with one that is not).
    QByteArray Path;
    bool Reference = false;
};

enum class OutputFormat { Csv, Json };

struct CliOptions {
    // The settings of the scan window, at the window's defaults.
    ScanSettings Settings;
    // FOLDER and --reference arguments, in the order given.
    QList<FolderArgument> Folders;

    // The CSV lists, or one JSON document holding both (JsonOutput.h).
    OutputFormat Format = OutputFormat::Csv;
    bool FormatGiven = false; // --format was given: --json cannot override it
    // Output files as native bytes, used as given (see OutputFile.h); empty:
    // the list or the document goes to standard output.
    QByteArray FilesCsv;
    QByteArray FoldersCsv;
    QByteArray Json;
    bool Quiet = false;
    bool Help = false;
    bool Version = false;
};

struct ParseResult {
    bool Ok = true;
    QString Error; // one line, without the program name
};

// Parses argv[1..argc-1], and refuses options that contradict each other.
// Never exits and never prints.
ParseResult ParseCommandLine(int argc, const char* const* argv, CliOptions& options);

// The --help text, ending in a newline.
QString UsageText();

// "Twinlens 2.3"
QString VersionText();
