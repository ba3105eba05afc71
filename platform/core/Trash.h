#pragma once
// Moving result entries to the desktop trash: the freedesktop.org trash on
// POSIX systems, written by the program itself. Nothing is ever deleted for
// good: the only removal is a rename into a trash folder on the entry's own
// volume, never a copy and delete, and a move that fails is reported, never
// retried as a plain delete.
//
// Main thread only (it reads QStandardPaths and may create the trash folders).

#include "platform/core/PathWalk.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace platform {

// What a result row says the object at its path is.
enum class TrashKind { RegularFile, Directory };

struct TrashEntry {
    QString Path;
    TrashKind Kind = TrashKind::RegularFile;
    // Regular files: the size the row was listed with; -1 skips that test.
    qint64 Size = -1;
    // The path as the file system spells it, for a name that has no faithful
    // QString (bytes that are not UTF-8); when empty, Path in the file-name
    // encoding is used.
    QByteArray Native;
    // What the scan recorded of the object; zero: not compared. Modified and
    // Changed (nanoseconds) are compared for regular files only.
    FileId Id {};
    qint64 Modified = 0;
    qint64 Changed = 0;
    // Folders on the way whose identity the scan recorded (the listed folder
    // the entry was found in, folder rows above it).
    QList<KnownFolder> Folders {};
};

// Why an entry did not go.
enum class TrashFailure {
    None,
    Gone,       // nothing is at its path any more
    Changed,    // another object, or the same one changed, is there
    Unreadable, // it or a folder on the way cannot be looked at
    Way,        // a folder on the way is a link others could have put there, or was swapped
    Trash,      // no usable trash on its volume, or the trash refused it
    Other,      // an unusable path, a name too long for the trash ...
};

struct TrashOutcome {
    bool Complete = false; // every entry was moved
    int Moved = 0;         // entries moved, counted from the first
    QString FailedPath;    // the entry that stopped the operation
    TrashFailure Failure = TrashFailure::None;
    QString Reason;        // why, in English, for diagnostics (never shown)
};

// Moves entries to the trash, in order, as one operation. When it is not
// Complete, FailedPath, Failure and Reason name the entry that stopped it.
//
// First every entry is checked, and nothing moves unless all pass:
// - The path is absolute and clean, and its folder is reached by WalkToEntry
//   (PathWalk.h: folder by folder from "/", no link others could have put
//   there followed, the Folders compared).
// - The object there itself (a last component that is a link is not
//   followed), looked at relative to that folder, is still of Kind: a
//   regular file, or a directory that is not the top of a volume; of the
//   recorded identity, and for a regular file of the recorded size,
//   modification and change time. A link or another object swapped in is
//   refused, so the trash never takes something other than what the row
//   shows.
// - Its trash can be had on its own volume:
//   - the home trash GenericDataLocation/Trash (made when missing, mode 0700)
//     when the entry lies on the volume of GenericDataLocation;
//   - otherwise, on the volume's top folder $top, $top/.Trash/$uid when
//     $top/.Trash is a directory (not a link) with the sticky bit, and $uid,
//     its files/ and info/ (made 0700 when missing) are directories, not links,
//     owned by the user and writable by nobody else;
//   - failing that $top/.Trash-$uid, made 0700 when missing, under the same
//     conditions for it and its files/ and info/.
//   A trash folder of another user, a link, or one others may write is never
//   used: the entry would be read or removed by them.
// - The trash does not lie inside the entry, and the entry's name leaves room
//   for its info file name.
// Then each entry goes to the trash: its info file
// (info/NAME.trashinfo with the percent-encoded original path, absolute for
// the home trash and relative to $top otherwise, and the deletion date) is
// created with O_EXCL in the trash's info/ descriptor, and the entry, walked
// to and checked again as above just before, is renamed relative to its
// folder's descriptor to files/NAME without replacing anything there (NAME
// gets ".2", ".3", ... on a clash). The object that arrived in files/ is
// compared with the record once more: one swapped in between the check and
// the rename is put back where it was and fails the entry. A rename that
// fails takes its info file away again. A path that lies inside a
// directory of the same list (or repeats one) goes with that directory and
// counts as moved. The first failure ends the operation; the entries moved
// before it stay in the trash (Moved says how many). An empty list moves
// nothing and is not Complete.
TrashOutcome MoveToTrash(const QList<TrashEntry>& entries);

// For tests: the moments of each entry's move at which a swap can slip in,
// after its preflight. BeforeCheck: before it is walked to and checked;
// BeforeRename: after that, right before its rename. index: in the list
// given to MoveToTrash. An empty hook (the default) does nothing.
enum class TrashStep { BeforeCheck, BeforeRename };
void SetTrashStepHook(std::function<void(TrashStep step, qsizetype index)> hook);

// True when path is dir or lies below it, comparing clean absolute paths
// lexically (what a move of dir takes along).
bool IsSameOrInside(const QString& path, const QString& dir);

} // namespace platform
