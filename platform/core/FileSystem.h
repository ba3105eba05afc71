#pragma once
// The file system as the scan sees it, on POSIX systems.
//
// Rules every caller can rely on:
// - Paths are exact: letter case is significant, "/" separates components.
// - Only names that are valid in the file-name encoding (UTF-8 here) are ever
//   turned into a QString; an entry whose name is not is reported with
//   Representable == false and never under another name.
// - Listings follow links to directories, but enter a directory identity
//   (device, inode) at most once per listing, so link loops and bind mounts
//   end. Pseudo file systems (proc, sysfs, ...) and trash folders are not
//   entered.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <stdexcept>
#include <vector>

namespace platform {

// The identity of a file system object: one object, one FileId, however many
// paths reach it (hard links, directory links, bind mounts).
struct FileId {
    quint64 Device = 0;
    quint64 Inode = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};
inline size_t qHash(const FileId& id, size_t seed = 0) noexcept
{
    return ::qHashMulti(seed, id.Device, id.Inode);
}

// A listing that could not run at all (missing folder, not a folder, a path
// the system does not accept).
class ListingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

QByteArray NativePath(const QString& path);
// True when a native name reads as a QString and converts back to the same bytes.
bool IsRepresentable(const QByteArray& nativeName);

// Absolute form: relative to the working folder, "." and ".." removed
// lexically, repeated "/" collapsed; "/" stays "/"; no trailing "/" otherwise.
QString AbsolutePath(const QString& path);

// Existence tests, links followed.
bool DirectoryExists(const QString& path);
bool RegularFileExists(const QString& path);
// Size of the object at path (links followed); -1 when it cannot be read.
qint64 FileSize(const QString& path);
// Identity of the object at path (links followed); false when it cannot be read.
bool GetFileId(const QString& path, FileId& id);

// True for directories that a scan never enters: pseudo file systems and the
// trash folders of the desktop.
bool IsExcludedDirectory(const QString& path);

struct ListedFile {
    QString Path; // root + "/" + relative path (root as given, see below)
    FileId Id;
    qint64 Size = -1; // as the listing read it
};

// All regular files below root at every depth whose name (last component)
// satisfies match. Symbolic links to files, FIFOs, sockets and devices are not
// yielded; links to directories are entered like directories. Order: the
// entries of a folder sorted by their native bytes, a subfolder's files where
// the subfolder is met. Paths are root followed by the relative path; root is
// used as given (a trailing "/" is not doubled). A folder below that cannot be
// opened yields nothing. Throws ListingError when root is not an existing
// directory.
void ListFilesRecursive(const QString& root, const std::function<bool(const QString& name)>& match,
    std::vector<ListedFile>& out);

enum class EntryKind {
    Directory,   // a directory, or a link to one
    RegularFile, // a regular file (not a link)
    FileLink,    // a symbolic link to a regular file
    Other,       // FIFO, socket, device, dangling link, unreadable entry
};

struct DirEntry {
    QByteArray NativeName;
    QString Name;       // empty when !Representable
    bool Representable = true;
    EntryKind Kind = EntryKind::Other;
    FileId Id;          // of the target for links; zero when unreadable
    qint64 Size = -1;   // regular files and file links; -1 otherwise
};

enum class ListStatus {
    Ok,
    Refused, // exists, but may not be read (no permission): lists as empty
    Failed,  // vanished, not a directory, or not acceptable as a path
};

// The entries directly in dir, sorted by native name, "." and ".." left out.
ListStatus ListDirectory(const QString& dir, std::vector<DirEntry>& out);

} // namespace platform
