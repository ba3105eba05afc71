#pragma once
// Moving result entries to the desktop trash (the freedesktop trash here, the
// Recycle Bin on Windows). Nothing is ever deleted for good: the only removal
// is QFile::moveToTrash, and a move that fails is reported, never retried as a
// plain delete.
//
// Main thread only (it reads QStandardPaths and may create the trash folders).

#include <QList>
#include <QString>

namespace platform {

// What a result row says the object at its path is.
enum class TrashKind { RegularFile, Directory };

struct TrashEntry {
    QString Path;
    TrashKind Kind = TrashKind::RegularFile;
    // Regular files: the size the row was listed with; -1 skips that test.
    qint64 Size = -1;
};

struct TrashOutcome {
    bool Complete = false; // every entry was moved
    int Moved = 0;         // entries moved, counted from the first
    QString FailedPath;    // the entry that stopped the operation
    QString Reason;        // why, in English, for diagnostics (never shown)
};

// Moves entries to the trash, in order, as one operation.
//
// First every entry is checked, and nothing moves unless all pass:
// - Path is absolute, and the object at Path itself (a last component that is
//   a link is not followed) is still of Kind: a regular file, or a directory
//   that is not the top of a volume. A link swapped in for either is refused,
//   so the trash never takes something other than what the row shows.
// - A regular file still has Size bytes (when Size >= 0).
// - The trash that QFile::moveToTrash picks for it is usable: on a volume
//   other than the home volume $top/.Trash/$uid (when $top/.Trash is a sticky
//   directory, not a link) or else $top/.Trash-$uid, otherwise the home trash
//   GenericDataLocation/Trash; that folder and its files/ and info/ folders
//   are directories (made when missing, mode 0700), writable, on the entry's
//   volume, not inside the entry, and the entry's name leaves room for its
//   info file name. Qt 6.4 itself would put the entry into files/ of the
//   working folder when the home trash cannot be made, and would never return
//   when the info file cannot be created; these checks keep both from
//   happening.
// Then each path goes to the trash with QFile::moveToTrash, except a path that
// lies inside a directory of the same list (or repeats one): it goes with that
// directory and counts as moved. The first failure ends the operation; the entries moved before it stay in the trash (Moved
// says how many). An empty list moves nothing and is not Complete.
TrashOutcome MoveToTrash(const QList<TrashEntry>& entries);

// True when path is dir or lies below it, comparing clean absolute paths
// lexically (what a move of dir takes along).
bool IsSameOrInside(const QString& path, const QString& dir);

} // namespace platform
