#pragma once
// Where twinlens-cli writes a result list: standard output, or a file named
// on the command line.
//
// A file is written whole or not at all. The text goes to a temporary file in
// the target's folder, is flushed to disk, and only then replaces the target
// by rename; so a full disk or any other failure leaves an old file as it was,
// and no half-written file behind. A target that is not a regular file (a
// FIFO, a terminal, /dev/null, /dev/full, /dev/stdout and its like) is written
// directly and never replaced: renaming over /dev/stdout would swap a link of
// the system for a file. A symbolic link to a regular file is followed: the
// file it names is replaced, the link stays. Only an existing file that may
// be written in a folder that may not is written in place, the one way left.
//
// Links are followed as Linux's fs.protected_symlinks would have the shell
// follow them: a link in a sticky folder that everyone may write (/tmp) is
// refused when its owner is neither the user nor the folder's owner, and a
// link to nothing is refused everywhere (the file it names is never
// created). A FIFO is opened without waiting: one that nothing reads fails
// at once ("nothing reads from this FIFO").
//
// Paths are the native bytes of the command line, used as given (a name need
// not be valid UTF-8). Failures are the system's own reasons
// (std::strerror), e.g. "No space left on device". All of it runs on the
// calling thread.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// A text handed over in pieces, so that a long list is never held whole: the
// source calls write with each piece in order and returns false as soon as
// write refuses one (write's caller then has the reason), else true.
using PieceWriter = std::function<bool(QByteArrayView)>;
using TextSource = std::function<bool(const PieceWriter& write)>;

// Whether a file can be written at path, tested before a scan so that a typing
// error or a planted link does not cost the run: the empty text when it can,
// else the reason. Nothing is created. A FIFO is opened here (failing when
// nothing reads it) and held open for WriteOutputFile of the same path, so a
// reader that came for the check still finds its writer.
QString CheckOutputTarget(const QByteArray& path);

// True when a and b name one file: the same device and inode when both exist,
// else the same absolute path once "." and ".." are taken out and the folder
// part is resolved as far as it exists.
bool SameOutputFile(const QByteArray& a, const QByteArray& b);

// Writes the source's text to path as described above; the file is replaced
// only after the last piece is on disk. The link rules are applied again.
// Returns the empty text on success, else the reason.
QString WriteOutputFile(const QByteArray& path, const TextSource& source);

// Writes bytes to standard output and flushes it. Returns the empty text on
// success, else the reason.
QString WriteStandardOutput(QByteArrayView bytes);
