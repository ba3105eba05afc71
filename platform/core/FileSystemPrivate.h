#pragma once
// Helpers the POSIX file system files share; not for callers outside
// platform/core.

#include "platform/core/FileSystem.h"

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace platform {

inline FileId IdOf(const struct stat& st)
{
    return FileId { quint64(st.st_dev), quint64(st.st_ino) };
}

// What a stat says of an object, as ReadObjectState gives it.
ObjectState StateOf(const struct stat& st);

// proc, sysfs, devpts, cgroup and the like, by statfs type.
bool IsPseudoFileSystem(long type);

// The desktop's home trash folder (~/.local/share/Trash).
QString HomeTrashPath();

} // namespace platform
