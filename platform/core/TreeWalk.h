#pragma once
// A walk over every regular file below a folder, with directory descriptors:
// each folder is opened relative to its parent and its entries are read
// relative to it, so no path is rebuilt or parsed per call, and depth is
// bounded neither by the longest path the system accepts nor by the
// descriptors free: the walk keeps the root and a window of the deepest
// folders open, and reopens an ancestor it had closed when it climbs back.
// Memory is linear in the tree: a level holds its entries' names, and the
// path of the current folder is kept once.
//
// The rules of FileSystem.h hold: names that are not valid UTF-8 are never
// turned into other paths, links to folders are followed with one entry per
// folder identity, pseudo file systems and trash folders are not entered,
// FIFOs, sockets and devices are never opened.

#include "platform/core/FileSystem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// Why a walk passed something over.
enum class SkipReason {
    FolderUnreadable, // a folder that could not be opened or read
    EntryUnreadable,  // an entry whose type or size could not be read
    NameNotUtf8,      // a name that is not valid UTF-8
    TooDeep,          // no descriptor could be had to enter a folder
    Excluded,         // a pseudo file system or a trash folder
};

struct WalkedFile {
    QByteArrayView Name; // valid UTF-8, no "/"
    FileId Id;
    qint64 Size = 0;
    qint64 Modified = 0; // nanoseconds since the epoch
    qint64 Changed = 0;  // status change time, the same way
};

class TreeWalkSink {
public:
    virtual ~TreeWalkSink() = default;
    // Polled before each folder, between the pieces in which a folder's
    // names are read, and between entries of a large folder; true ends the
    // walk at once (a folder being read is dropped unsorted).
    virtual bool Abandon() = 0;
    // The first file of a folder is about to be reported; prefix is the
    // folder's path ending in "/". The token comes back with its files.
    virtual const void* EnterFolder(const QByteArray& prefix) = 0;
    virtual void File(const void* folder, const WalkedFile& file) = 0;
    // path: native, of the entry passed over; a folder's ends in "/".
    virtual void Skipped(SkipReason reason, const QByteArray& path) = 0;
    // Asked of each entry below root whose type is known, before a folder is
    // entered or a file looked at further: true leaves it out in silence (an
    // excluded folder is never opened). relativeFolder: the path of its
    // folder below root, empty or ending in "/"; name: NUL-terminated.
    virtual bool Excludes(QByteArrayView relativeFolder, const char* name, bool folder)
    {
        (void)relativeFolder;
        (void)name;
        (void)folder;
        return false;
    }

    // A walk that must see a tree whole (to compare two trees entry by
    // entry) rather than its files: links to folders are not followed but
    // reported with the other entries, and every folder is reported.
    virtual bool WholeTree() const { return false; }
    // WholeTree only: each folder entered, root included, before its entries.
    virtual void Folder(const QByteArray& prefix) { (void)prefix; }
    // WholeTree only: an entry that is neither a regular file nor an entered
    // folder. target: a symbolic link's text, empty for the others.
    virtual void Other(const QByteArray& prefix, QByteArrayView name, bool link, QByteArrayView target)
    {
        (void)prefix;
        (void)name;
        (void)link;
        (void)target;
    }
};

struct WalkOptions {
    // Links to folders below root are entered like folders (with one entry
    // per folder identity); false leaves them unwalked, in silence. root
    // itself is entered even when it is a link: it was named.
    bool FollowFolderLinks = true;
    // Folders on another mount than root (another file system, or a bind
    // mount) are left out in silence.
    bool OneFileSystem = false;
};

// Reports every regular file below root, at every depth: the entries of each
// folder in the order of their native bytes, a subfolder's files where the
// subfolder is met. root is used as given (a trailing "/" is not doubled).
// Descriptors: at most what FreeDescriptors leaves at the start (at least
// two), fewer after an open fails for want of one; all closed on return.
// Runs on the calling thread; any thread may call it. Throws ListingError when
// root is not an existing folder.
void WalkTree(const QString& root, TreeWalkSink& sink, const WalkOptions& options = WalkOptions());

} // namespace platform
