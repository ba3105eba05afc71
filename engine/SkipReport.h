#pragma once
// What a scan could not read or chose to leave out, counted by reason, with
// the first few paths of each: nothing is passed over in silence.

#include <QByteArray>
#include <QList>
#include <QString>

#include <QStringList>

#include <array>
#include <functional>

enum class SkipKind {
    FolderMissing,    // a listed folder that is not an existing folder
    FolderUnreadable, // a folder that could not be opened or listed
    EntryUnreadable,  // an entry whose type or size could not be read
    NameNotUtf8,      // a name that is not valid UTF-8
    TooDeep,          // a folder past the open-descriptor budget
    Excluded,         // a pseudo file system or a trash folder
    InvalidMask,      // a file mask that cannot be read as one
    FileUnreadable,   // a file that could not be read, or changed under the scan
    Count_
};

class SkipReport {
public:
    static constexpr int kExamples = 5;

    void Add(SkipKind kind, const QByteArray& nativePath);
    void Merge(const SkipReport& other);
    void Clear() { *this = SkipReport(); }

    int Count(SkipKind kind) const { return FCounts[size_t(kind)]; }
    bool Empty() const;
    // The first paths met, native bytes (a name may not be valid UTF-8).
    const QList<QByteArray>& Examples(SkipKind kind) const { return FExamples[size_t(kind)]; }

    // A folder of the folder list itself could not be read (or no longer
    // exists), or a mask is invalid: part of what was asked was not looked at.
    bool ListedFolderFailed = false;

    // One line per reason, in English: "3 files could not be read or changed
    // during the scan: /a, /b, /c"; pathText turns a native path into text.
    QStringList Lines(const std::function<QString(const QByteArray&)>& pathText) const;
    // The same counts in the current language, one text per reason and no
    // paths ("3 files could not be read or changed during the scan"), for the
    // window's status line.
    QStringList Notes() const;

private:
    std::array<int, size_t(SkipKind::Count_)> FCounts {};
    std::array<QList<QByteArray>, size_t(SkipKind::Count_)> FExamples;
};
