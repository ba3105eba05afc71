#pragma once
// Moving result entries to the desktop trash: the freedesktop.org trash on
// POSIX systems, written by the program itself. Nothing is ever deleted for
// good: the only removal is a rename into a trash folder on the entry's own
// volume, never a copy and delete, and a move that fails is reported, never
// retried as a plain delete.
//
// Main thread only (it reads QStandardPaths and may create the trash folders).

#include <QByteArray>
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
    // The path as the file system spells it, for a name that has no faithful
    // QString (bytes that are not UTF-8); when empty, Path in the file-name
    // encoding is used.
    QByteArray Native;
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
// - The path is absolute and clean, and the object there itself (a last
//   component that is a link is not followed) is still of Kind: a regular
//   file, or a directory that is not the top of a volume. A link swapped in
//   for either is refused, so the trash never takes something other than what
//   the row shows.
// - A regular file still has Size bytes (when Size >= 0).
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
// created with O_EXCL, and the entry is renamed to files/NAME without
// replacing anything there (NAME gets ".2", ".3", ... on a clash). A rename
// that fails takes its info file away again. A path that lies inside a
// directory of the same list (or repeats one) goes with that directory and
// counts as moved. The first failure ends the operation; the entries moved
// before it stay in the trash (Moved says how many). An empty list moves
// nothing and is not Complete.
TrashOutcome MoveToTrash(const QList<TrashEntry>& entries);

// True when path is dir or lies below it, comparing clean absolute paths
// lexically (what a move of dir takes along).
bool IsSameOrInside(const QString& path, const QString& dir);

} // namespace platform
