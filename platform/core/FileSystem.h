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
//   entered. The walk over a whole tree is in TreeWalk.h.

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

// Prepares the process for a scan: raises the soft limit of open descriptors
// to the hard limit, so that walks of deep trees (one descriptor per level)
// go as deep as allowed, and keeps the C library to one heap for every
// thread: the scan's threads allocate little, and memory they free in a heap
// of their own would stay with that heap instead of going back to the system.
void PrepareForScan();

// Descriptors this process may still open: the soft limit of open files,
// less those open now, less reserve (kept for everything else the process
// does meanwhile); never below 0. Counted anew at each call, so a bound taken
// from it fits what is open at the time.
int FreeDescriptors(int reserve);

// Hands memory that was freed back to the system (the heaps of the C library
// keep it otherwise), after a step whose working memory is gone.
void ReleaseFreeMemory();

// Existence tests, links followed.
bool DirectoryExists(const QString& path);
bool RegularFileExists(const QString& path);
// Size of the object at path (links followed); -1 when it cannot be read.
qint64 FileSize(const QString& path);
// Identity of the object at path (links followed); false when it cannot be read.
bool GetFileId(const QString& path, FileId& id);

// What is at a path now, the last component itself (a link is not followed).
enum class ObjectKind { Missing, RegularFile, Directory, Link, Other, Unreadable };
struct ObjectState {
    ObjectKind Kind = ObjectKind::Missing;
    FileId Id;
    qint64 Size = -1;    // regular files
    qint64 Modified = 0; // nanoseconds since the epoch
    qint64 Changed = 0;  // status change time, the same way
};
// Paths of any length; Unreadable when the path exists but cannot be looked
// at (no search permission on a folder of it, say).
ObjectState ReadObjectState(const QByteArray& nativePath);

// True for directories that a scan never enters: pseudo file systems, the
// home trash, and .Trash / .Trash-<uid> at the top of a mounted volume.
bool IsExcludedDirectory(const QString& path);

// Open descriptors for paths of any length (past the longest path the system
// accepts in one call, the path is opened piece by piece). -1 with errno set
// on failure. A folder: O_DIRECTORY. A file: the last component is never
// followed as a link (O_NOFOLLOW), and opening never blocks (O_NONBLOCK).
int OpenDirectoryPath(const QByteArray& nativePath);
int OpenFileNoFollow(const QByteArray& nativePath);

enum class EntryKind {
    Directory,   // a directory, or a link to one
    RegularFile, // a regular file (not a link)
    FileLink,    // a symbolic link to a regular file
    Other,       // FIFO, socket, device, dangling link
    Unreadable,  // an entry whose type could not be read (no search permission)
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
