#pragma once
// Reaching the object a result row names without letting anyone who can
// write a folder on the way send the program to another object.
//
// A path handed to open() is resolved by the kernel at the moment of the
// call: a folder on the way that another user swaps for a link in between
// makes the call reach their choice. So the walk opens the path one folder at
// a time from "/", each relative to the descriptor of the one before, without
// following a link (O_NOFOLLOW | O_DIRECTORY), and whatever acts on the entry
// afterwards does so relative to the descriptor of its folder (fstatat,
// renameat2, linkat ...), which no later swap can redirect.
//
// A symbolic link on the way is followed only when nobody but the user and
// root could have made it or put it there: the link belongs to the user or
// root, and so does the folder that holds it, which nobody else may write
// unless it has the sticky bit (then only a link's owner may replace it). Its
// target is walked by the same rules (at most 40 links per walk). Any other
// link fails the walk: a folder swapped for a link is refused, not followed.
//
// Folders whose identity a scan recorded (KnownFolder) are compared by device
// and inode as the walk passes them; one that differs fails the walk.
//
// Any thread; nothing is shared between calls.

#include "platform/core/FileSystem.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// A folder on an entry's path whose identity the scan recorded: absolute,
// clean, without a trailing "/" ("/" itself allowed).
struct KnownFolder {
    QByteArray NativePath;
    FileId Id;
};

enum class WalkFailure {
    None,
    BadPath,       // not an absolute, clean path of an entry
    Missing,       // a folder on the way is not there (or is no folder)
    Unreadable,    // a folder on the way cannot be opened (permissions)
    UntrustedLink, // a folder on the way is a link others could have put there
    Swapped,       // a folder on the way is not the one the scan recorded
};

// The folder that holds an entry, open. Move-only; closes its descriptors.
class PinnedFolder {
public:
    PinnedFolder() = default;
    ~PinnedFolder();
    PinnedFolder(PinnedFolder&& other) noexcept;
    PinnedFolder& operator=(PinnedFolder&& other) noexcept;
    PinnedFolder(const PinnedFolder&) = delete;
    PinnedFolder& operator=(const PinnedFolder&) = delete;

    bool IsOpen() const { return FFd >= 0; }
    // The folder (O_PATH | O_DIRECTORY: for *at() calls, not for listing).
    int Fd() const { return FFd; }
    // The highest folder of the walk on the folder's device: the top of its
    // volume, as the trash rules mean it.
    int TopFd() const { return FTopFd; }

    QByteArray Name;       // the entry's name in the folder
    QByteArray FolderPath; // the folder as walked, links resolved
    QByteArray TopPath;    // the top of its volume as walked
    FileId Id;             // of the folder
    // The entry as walked: FolderPath + "/" + Name.
    QByteArray EntryPath() const;

private:
    friend bool WalkToEntry(const QByteArray&, const QList<KnownFolder>&, PinnedFolder&, WalkFailure&, QString&);
    void Reset();
    int FFd = -1;
    int FTopFd = -1;
};

// Walks to the folder that holds the last component of nativePath (absolute
// and clean: no "." or ".." components, no repeated or trailing "/"), by the
// rules above. The entry itself is not looked at (see ReadObjectStateAt).
// True with out filled; false with why and reason (English, for
// diagnostics) set, and out closed.
bool WalkToEntry(const QByteArray& nativePath, const QList<KnownFolder>& known, PinnedFolder& out,
    WalkFailure& why, QString& reason);

// What is at name in the folder dirFd, without following a link.
ObjectState ReadObjectStateAt(int dirFd, const QByteArray& name);

// What a row says its object is. Zero fields (an unknown identity or time)
// and a negative size are not compared.
struct ExpectedObject {
    ObjectKind Kind = ObjectKind::RegularFile; // RegularFile or Directory
    FileId Id;
    qint64 Size = -1;
    qint64 Modified = 0;
    qint64 Changed = 0;
};

enum class EntryVerdict { Same, Missing, Changed, Unreadable };

// now against expected: the kind, the identity, and for a regular file the
// size, modification and status change times.
EntryVerdict CompareEntry(const ObjectState& now, const ExpectedObject& expected);

} // namespace platform
