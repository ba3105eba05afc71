#include "platform/core/WholeFile.h"

#include "platform/core/FileSystem.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A FIFO or a device node: never replaced by a regular file.
bool WriteInPlace(const QByteArray& native, const QByteArray& bytes, QString& reason)
{
    const int fd = ::open(native.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = errno == ENXIO ? QStringLiteral("nothing reads from this FIFO") : SystemReason(errno);
        return false;
    }
    // The reader is there; from now on wait for it rather than fail on a full pipe.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            reason = SystemReason(n < 0 ? errno : EIO);
            ::close(fd);
            return false;
        }
        done += n;
    }
    if (::close(fd) != 0) {
        reason = SystemReason(errno);
        return false;
    }
    return true;
}

} // namespace

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& reason)
{
    const QByteArray native = NativePath(path);
    struct stat st;
    if (::stat(native.constData(), &st) == 0) {
        if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))
            return WriteInPlace(native, bytes, reason);
        if (S_ISDIR(st.st_mode)) {
            reason = SystemReason(EISDIR);
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            reason = QStringLiteral("not a regular file");
            return false;
        }
    }
    QSaveFile file(path);
    // A file that may be written in a folder that may not still gets the
    // text, written in place; a failure then is reported all the same.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace platform
