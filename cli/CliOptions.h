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

struct CliOptions {
    // The settings of the scan window, at the window's defaults.
    ScanSettings Settings;
    // Folder arguments in the order given, as native bytes (a name need not
    // be valid UTF-8; the caller decides what to do with one that is not).
    QList<QByteArray> Folders;

    // Output files as native bytes, used as given (see OutputFile.h); empty:
    // the list goes to standard output.
    QByteArray FilesCsv;
    QByteArray FoldersCsv;
    bool Quiet = false;
    bool Help = false;
    bool Version = false;
};

struct ParseResult {
    bool Ok = true;
    QString Error; // one line, without the program name
};

// Parses argv[1..argc-1]. Never exits and never prints.
ParseResult ParseCommandLine(int argc, const char* const* argv, CliOptions& options);

// The --help text, ending in a newline.
QString UsageText();

// "Twinlens 2.3"
QString VersionText();
