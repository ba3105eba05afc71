#include "cli/OutputFile.h"

#include <QByteArrayList>
#include <QHash>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Reason(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// Writes all of bytes, through short writes and signals; 0 or an errno.
int WriteAll(int fd, QByteArrayView bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= n;
    }
    return 0;
}

bool SameObject(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool IsStandardStream(const struct stat& st, int& fd)
{
    for (int candidate : { STDOUT_FILENO, STDERR_FILENO }) {
        struct stat s {};
        if (::fstat(candidate, &s) == 0 && SameObject(s, st)) {
            fd = candidate;
            return true;
        }
    }
    return false;
}

// Writes every piece of source; 0 or the errno of the first write that failed.
int WriteAll(int fd, const TextSource& source)
{
    int err = 0;
    source([fd, &err](QByteArrayView piece) {
        err = WriteAll(fd, piece);
        return err == 0;
    });
    return err;
}

QByteArray FolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return ".";
    if (slash == 0)
        return "/";
    return path.left(slash);
}

QByteArray NameOf(const QByteArray& path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// Absolute, with "." and ".." taken out lexically and "/" not repeated.
QByteArray LexicalAbsolute(const QByteArray& path)
{
    QByteArray full = path;
    if (!full.startsWith('/')) {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd))
            full = QByteArray(cwd) + '/' + full;
    }
    QByteArrayList parts;
    for (const QByteArray& part : full.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts << part;
    }
    return '/' + parts.join('/');
}

// The path a new file at path would get: its folder resolved as far as it
// exists (links followed), then the name.
QByteArray NormalizedPath(const QByteArray& path)
{
    const QByteArray lexical = LexicalAbsolute(path);
    char resolved[PATH_MAX];
    if (::realpath(FolderOf(lexical).constData(), resolved)) {
        const QByteArray folder(resolved);
        return (folder == "/" ? QByteArray() : folder) + '/' + NameOf(lexical);
    }
    return lexical;
}

// FIFOs the check opened, by the path given, held until they are written:
// a reader that was there for the check must still find its writer.
QHash<QByteArray, int>& HeldFifos()
{
    static QHash<QByteArray, int> held;
    return held;
}

// Opens a target that is not a regular file for writing, without waiting: a
// FIFO nobody reads fails at once (ENXIO) instead of holding the program.
// Once open, writes wait for the reader as usual.
int OpenSpecial(const QByteArray& path, bool truncate, QString& reason)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (truncate ? O_TRUNC : 0));
    if (fd < 0) {
        reason = errno == ENXIO ? QStringLiteral("nothing reads from this FIFO") : Reason(errno);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Writes all of source to fd and closes it.
QString WriteAndClose(int fd, const TextSource& source)
{
    int err = WriteAll(fd, source);
    if (::close(fd) != 0 && err == 0 && errno != EINTR)
        err = errno;
    return err ? Reason(err) : QString();
}

// The link at path that is not to be followed, as Linux's protected_symlinks
// would have it for the shell: in a sticky folder that everyone may write,
// a link owned by neither the user nor the folder's owner (someone may have
// planted it for the user to write through); and a link to nothing, whose
// target would be created wherever it points. The reason, or empty.
QString RefusedLink(const QByteArray& path)
{
    struct stat lst {};
    if (::lstat(path.constData(), &lst) != 0 || !S_ISLNK(lst.st_mode))
        return {};
    struct stat fst {};
    if (::stat(FolderOf(path).constData(), &fst) == 0 && (fst.st_mode & S_ISVTX) && (fst.st_mode & S_IWOTH)
        && lst.st_uid != ::geteuid() && lst.st_uid != fst.st_uid)
        return QStringLiteral("a link of another user's in a shared sticky folder, not followed");
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 && errno == ENOENT)
        return QStringLiteral("a link to nothing, not followed (the file it names is not created)");
    return {};
}

// A special target is written in place: opened for writing as it is, never
// truncated (a FIFO or a device has nothing to truncate).
QString WriteInPlace(const QByteArray& path, const TextSource& source, bool truncate)
{
    QString reason;
    const int fd = OpenSpecial(path, truncate, reason);
    if (fd < 0)
        return reason;
    int err = WriteAll(fd, source);
    if (::close(fd) != 0 && err == 0 && errno != EINTR)
        err = errno;
    return err ? Reason(err) : QString();
}

} // namespace

QString CheckOutputTarget(const QByteArray& path)
{
    if (path.endsWith('/'))
        return Reason(EISDIR); // names a folder, whether or not it exists
    if (const QString refused = RefusedLink(path); !refused.isEmpty())
        return refused;
    struct stat st {};
    if (::stat(path.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return Reason(EISDIR);
        if (S_ISFIFO(st.st_mode)) {
            if (HeldFifos().contains(path))
                return {};
            QString reason;
            const int fd = OpenSpecial(path, false, reason);
            if (fd < 0)
                return reason;
            HeldFifos().insert(path, fd);
            return {};
        }
        if (!S_ISREG(st.st_mode))
            return ::access(path.constData(), W_OK) == 0 ? QString() : Reason(errno);
    } else if (errno != ENOENT) {
        return Reason(errno);
    }
    // A new or replaced regular file needs a writable folder, or else an
    // existing file that can be written in place.
    const QByteArray folder = FolderOf(path);
    struct stat fst {};
    if (::stat(folder.constData(), &fst) != 0)
        return Reason(errno);
    if (!S_ISDIR(fst.st_mode))
        return Reason(ENOTDIR);
    if (::access(folder.constData(), W_OK | X_OK) == 0)
        return {};
    const int err = errno;
    return ::access(path.constData(), W_OK) == 0 ? QString() : Reason(err);
}

bool SameOutputFile(const QByteArray& a, const QByteArray& b)
{
    struct stat sa {}, sb {};
    const bool hasA = ::stat(a.constData(), &sa) == 0;
    const bool hasB = ::stat(b.constData(), &sb) == 0;
    if (hasA && hasB)
        return SameObject(sa, sb);
    if (hasA != hasB)
        return false;
    return NormalizedPath(a) == NormalizedPath(b);
}

QString WriteOutputFile(const QByteArray& path, const TextSource& source)
{
    if (const auto held = HeldFifos().find(path); held != HeldFifos().end()) {
        const int fd = held.value();
        HeldFifos().erase(held);
        return WriteAndClose(fd, source);
    }
    // Asked again: the folder may have changed since the check.
    if (const QString refused = RefusedLink(path); !refused.isEmpty())
        return refused;
    // The file that will be replaced: a link is followed to the file it names.
    QByteArray target = path;
    struct stat lst {};
    if (::lstat(path.constData(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        char resolved[PATH_MAX];
        if (!::realpath(path.constData(), resolved)) {
            // A magic link to a pipe or socket (/dev/stdout): the system
            // knows where it leads. (A link to nothing was refused above.)
            return WriteInPlace(path, source, false);
        }
        target = resolved;
    }
    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists) {
        if (!S_ISREG(st.st_mode))
            return WriteInPlace(target, source, false);
        // Standard output or error redirected to this very file: write to
        // the stream, which is where the caller looks.
        int fd = -1;
        if (IsStandardStream(st, fd)) {
            const int err = WriteAll(fd, source);
            return err ? Reason(err) : QString();
        }
    }

    QByteArray temp = FolderOf(target) + "/." + NameOf(target) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        // A writable file in a folder we may not write to: in place is the
        // only way left, without the guard of the rename.
        if (errno == EACCES && exists && ::access(target.constData(), W_OK) == 0)
            return WriteInPlace(target, source, true);
        return Reason(errno);
    }
    int err = 0;
    // The replacement keeps the old file's permissions and, where the system
    // lets us, its owner; a new file gets what the umask leaves of 0666.
    if (exists) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Not ours to give away: the file becomes the writer's, as a
            // new file would.
        }
        if (::fchmod(fd, st.st_mode & 07777) != 0)
            err = errno;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd, 0666 & ~mask) != 0)
            err = errno;
    }
    if (err == 0)
        err = WriteAll(fd, source);
    // A delayed allocation failure (a full disk) shows only here.
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0 && errno != EINTR)
        err = errno;
    if (err == 0 && ::rename(temp.constData(), target.constData()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.constData());
        return Reason(err);
    }
    return {};
}

QString WriteStandardOutput(QByteArrayView bytes)
{
    // Anything buffered in stdout goes first, so the order stays.
    if (std::fflush(stdout) != 0)
        return Reason(errno);
    const int err = WriteAll(STDOUT_FILENO, bytes);
    return err ? Reason(err) : QString();
}
