#pragma once
// Exclusions: names and paths below a listed folder that a scan leaves out.
// An excluded folder is never entered, an excluded file never collected.
//
// A pattern is a glob: "*" any run (also across "/"), "?" one character,
// [set] and [!set] with ranges, "\" quoting the next character; case counts.
// - Without "/", it is matched against the name of every file and folder at
//   any depth: ".git", "node_modules", "*.tmp". One "/" at the end only
//   ("cache/") makes it a name of folders alone.
// - With "/", against the path below the listed folder, "/a/b" for the
//   entry b in the folder a, and a folder's path also with a "/" after it:
//   "/build" only at the top, "*/cache/*" any folder named cache, "docs/*.md".
//   The path is tried with and without its leading "/", so "build/out" and
//   "/build/out" are the same.
// A listed folder itself is never excluded: patterns apply below it.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

class ExclusionSet {
public:
    ExclusionSet() = default;
    // Blank patterns are dropped; the others are kept as they are, trimmed.
    explicit ExclusionSet(const QStringList& patterns);

    bool Empty() const { return FPatterns.isEmpty(); }
    const QStringList& Patterns() const { return FPatterns; }

    // Whether the entry name (NUL-terminated) of the folder relativeFolder
    // (its path below the listed folder: empty, or ending in "/") is left out.
    bool Excludes(QByteArrayView relativeFolder, const char* name, bool folder) const;
    // The same for a path below the listed folder ("a/b", no leading "/").
    bool ExcludesPath(QByteArrayView relativePath, bool folder) const;

private:
    QStringList FPatterns;
    std::vector<QByteArray> FNamePatterns; // native, NUL-terminated
    std::vector<QByteArray> FFolderNamePatterns;
    std::vector<QByteArray> FPathPatterns;
};

// The patterns of an "Exclude" text: separated by ";" or line breaks, blanks
// at either end of each dropped, empty ones left out.
QStringList ParseExclusions(const QString& text);
