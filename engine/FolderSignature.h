#pragma once
// Folder signatures and the path rules of folder clone detection.
//
// A folder's signature is the SHA-1 of a text that lists its direct entries:
// files by name and size, subfolders by name, signature and total. Folders
// with equal signatures hold the same names (letter case ignored) and sizes at
// every depth. Everything here is pure and runs on any thread; a
// FolderSignatureBuilder is used by one thread at a time.

#include "platform/core/FileSystem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

// One folder clone group: its folders in DirPathLess order, and the sum of
// their totals in bytes (a folder without a known total counts 0).
struct TDirGroupRec {
    QStringList Dirs;
    qint64 TotalSize = 0;
    // Beside Dirs, when known: each folder's identity as the scan met it,
    // and whether it lies in a reference folder.
    QList<platform::FileId> Ids {};
    QList<bool> Reference {};
};

// Absolute form of a folder path: "." and ".." resolved, no trailing "/"; the
// root "/" keeps its separator.
QString NormalizeDirPath(const QString& path);

// Last component of a normalized path, lower-cased ("/data/Photos" ->
// "photos"); the empty text for "/".
QString LowerDirName(const QString& normalizedPath);

// The order of paths in a group: UTF-16 code units compared after folding only
// "a".."z" to "A".."Z"; a prefix sorts first. Returns <0, 0 or >0.
int CompareDirPathsAscii(QStringView a, QStringView b);
// CompareDirPathsAscii, and for paths equal under it ("/a" and "/A" are two
// folders here) the exact text, so that sorting is deterministic.
bool DirPathLess(const QString& a, const QString& b);

// True when a proper ancestor of the normalized path dir is in keptSet (exact
// match). "/" is an ancestor of every other absolute path.
bool HasKeptAncestor(const QString& dir, const QSet<QString>& keptSet);

// dir joined with a name ("/" + "a" -> "/a", "/x" + "a" -> "/x/a").
QString JoinDirPath(const QString& dir, const QString& name);

using FolderDigest = std::array<unsigned char, 20>;
// 40 lower-case hexadecimal digits.
QString DigestHex(const FolderDigest& digest);

// Collects the entries of one folder and turns them into its signature text
// and digest. Entries, one line each:
//   F|name|size            a regular file (name lower-cased)
//   L|name|size            a symbolic link to a regular file (target's size)
//   O|name                 a FIFO, socket, device, dangling or unreadable entry
//   D|name|sig|total       a subfolder met at this path first (sig: 40 hex
//                          digits, or !UNKNOWN_CHILD_SIG! with total 0)
//   R|name|dev:ino         a subfolder whose object was already met under
//                          another path (a link, a bind mount, a loop)
//   ?F|esc|size, ?L|esc|size, ?O|esc, ?D|esc|dev:ino
//                          the same for a name that is not valid UTF-8; esc is
//                          the native bytes, ASCII letters folded, every byte
//                          outside printable ASCII and "%" written as %XX
//   !FILES_ACCESS_ERROR!, !DIRS_ACCESS_ERROR!
//                          the folder could not be listed
//   !LISTING_REFUSED!|dev:ino, !LISTING_FAILED!|dev:ino
//                          the folder exists but its content is unknown; the
//                          identity keeps it from matching any other folder
// In names, "%", CR and LF are written as %25, %0D and %0A, so that no name
// can forge a line. Entries form a multiset: equal entries are all kept
// ("a.txt" and "A.txt" of one size are two lines). The text lists them sorted
// (letter case ignored, then the exact text), each followed by CR LF, in UTF-8.
class FolderSignatureBuilder {
public:
    FolderSignatureBuilder();
    ~FolderSignatureBuilder();
    FolderSignatureBuilder(const FolderSignatureBuilder&) = delete;
    FolderSignatureBuilder& operator=(const FolderSignatureBuilder&) = delete;

    // Forgets every entry; buffers keep their capacity.
    void Clear();

    void AddFile(QStringView name, qint64 size);
    void AddFileLink(QStringView name, qint64 size);
    void AddOther(QStringView name);
    void AddDir(QStringView name, const FolderDigest& signature, qint64 total);
    void AddUnknownDir(QStringView name);
    void AddRepeatDir(QStringView name, const platform::FileId& id);
    // A name that is not valid UTF-8: kind is 'F', 'L', 'O' or 'D'; size is
    // written for F and L, id for D.
    void AddUnrepresentable(char kind, QByteArrayView nativeName, qint64 size, const platform::FileId& id);
    // "!FILES_ACCESS_ERROR!" or "!DIRS_ACCESS_ERROR!".
    void AddMarker(QStringView marker);
    // A marker bound to one object: "marker|dev:ino".
    void AddMarker(QStringView marker, const platform::FileId& id);

    int EntryCount() const { return int(FEntries.size()); }
    // The signature text of the entries so far (valid until the next change).
    const QByteArray& Text();
    // SHA-1 of Text(). Throws std::runtime_error when the digest fails.
    FolderDigest Digest();

private:
    void BeginEntry(QLatin1StringView kind);
    void AppendName(QStringView name);
    void AppendNumber(qint64 v);
    void AppendId(const platform::FileId& id); // "dev:ino"
    void AppendSeparator() { FArena.append(u'|'); }
    void EndEntry();

    QString FArena;                          // every entry, back to back
    std::vector<std::pair<int, int>> FEntries; // offset and length in FArena
    int FStart = 0;
    QString FLower;                           // scratch for lower-casing
    QByteArray FText;
    bool FTextValid = false;
    void* FContext = nullptr; // EVP_MD_CTX
    void* FMd = nullptr;      // EVP_MD
};
