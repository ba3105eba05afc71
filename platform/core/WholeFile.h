#pragma once
// Writing a file the person named (an export), whatever lies at the name.

#include <QByteArray>
#include <QString>

namespace platform {

// Writes bytes as the whole content of the file at path, by what is there
// (links followed):
// - nothing, or a regular file: through a temporary file renamed over it, so
//   the file either gets the whole text or keeps what it held (written in
//   place when its folder takes no new file);
// - a FIFO or a character device: opened as it is and written directly, so the
//   node stays what it is (a FIFO that nobody reads fails at once instead of
//   waiting for a reader);
// - anything else (a folder, a block device, a socket): refused, untouched.
// Returns false with reason (the system's text) when the file is not written.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& reason);

} // namespace platform
