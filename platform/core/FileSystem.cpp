#include "platform/core/FileSystem.h"

#include "platform/core/FileSystemPrivate.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <QUtf8StringView>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>

#include <dirent.h>
#include <malloc.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace platform {
namespace {

bool IsTrashName(const QByteArray& name)
{
    // ".Trash" and ".Trash-<uid>" at the top of a mounted volume.
    if (name == ".Trash")
        return true;
    if (!name.startsWith(".Trash-") || name.size() == 7)
        return false;
    return std::all_of(name.begin() + 7, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

bool IsPseudoFileSystem(long type)
{
    switch (static_cast<unsigned long>(type)) {
    case 0x9fa0UL:     // proc
    case 0x62656572UL: // sysfs
    case 0x1cd1UL:     // devpts
    case 0x27e0ebUL:   // cgroup
    case 0x63677270UL: // cgroup2
    case 0x64626720UL: // debugfs
    case 0x74726163UL: // tracefs
    case 0x73636673UL: // securityfs
    case 0x6165676cUL: // pstore
    case 0xcafe4a11UL: // bpf
    case 0x62656570UL: // configfs
    case 0x65735543UL: // fusectl
    case 0x19800202UL: // mqueue
    case 0x42494e4dUL: // binfmt_misc
    case 0xf97cff8cUL: // selinuxfs
    case 0x6e736673UL: // nsfs
        return true;
    default:
        return false;
    }
}

namespace {

// Reads the names of a directory, sorted by their bytes. Returns false with
// errno set when the directory cannot be opened.
bool ReadNames(int dirFd, std::vector<QByteArray>& names)
{
    int fd = ::dup(dirFd);
    if (fd < 0)
        return false;
    DIR* d = ::fdopendir(fd);
    if (!d) {
        const int e = errno;
        ::close(fd);
        errno = e;
        return false;
    }
    while (dirent* de = ::readdir(d)) {
        const char* n = de->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        names.emplace_back(n);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return true;
}

// Opens a path of any length: a path the system refuses as too long is
// opened a piece at a time, each piece relative to the folder before it.
// Links are followed on the way; flags apply to the last piece.
int OpenLongPath(const QByteArray& native, int flags)
{
    const int fd = ::open(native.constData(), flags | O_CLOEXEC);
    if (fd >= 0 || errno != ENAMETOOLONG)
        return fd;
    constexpr qsizetype kPiece = 2048;
    int dirFd = native.startsWith('/') ? ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : AT_FDCWD;
    if (dirFd == -1)
        return -1;
    qsizetype start = native.startsWith('/') ? 1 : 0;
    for (;;) {
        const qsizetype rest = native.size() - start;
        if (rest <= kPiece) {
            const int out = ::openat(dirFd, native.constData() + start, flags | O_CLOEXEC);
            const int e = errno;
            if (dirFd != AT_FDCWD)
                ::close(dirFd);
            errno = e;
            return out;
        }
        const qsizetype cut = native.lastIndexOf('/', start + kPiece);
        if (cut <= start) {
            if (dirFd != AT_FDCWD)
                ::close(dirFd);
            errno = ENAMETOOLONG; // one name longer than any piece
            return -1;
        }
        const QByteArray piece = native.mid(start, cut - start);
        const int next = ::openat(dirFd, piece.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int e = errno;
        if (dirFd != AT_FDCWD)
            ::close(dirFd);
        if (next < 0) {
            errno = e;
            return -1;
        }
        dirFd = next;
        start = cut + 1;
    }
}

int OpenDirectory(const QByteArray& native)
{
    return OpenLongPath(native, O_RDONLY | O_DIRECTORY);
}

} // namespace

QByteArray NativePath(const QString& path)
{
    return QFile::encodeName(path);
}

bool IsRepresentable(const QByteArray& nativeName)
{
    return QUtf8StringView(nativeName).isValidUtf8() && !nativeName.contains('\0');
}

QString AbsolutePath(const QString& path)
{
    if (path.isEmpty())
        return QDir::cleanPath(QDir::currentPath());
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path);
}

bool DirectoryExists(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::stat(NativePath(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RegularFileExists(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::stat(NativePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

qint64 FileSize(const QString& path)
{
    struct stat st;
    if (path.isEmpty() || ::stat(NativePath(path).constData(), &st) != 0)
        return -1;
    return qint64(st.st_size);
}

bool GetFileId(const QString& path, FileId& id)
{
    struct stat st;
    if (path.isEmpty() || ::stat(NativePath(path).constData(), &st) != 0)
        return false;
    id = IdOf(st);
    return true;
}

ObjectState StateOf(const struct stat& st)
{
    ObjectState state;
    state.Id = IdOf(st);
    state.Modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    state.Changed = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    if (S_ISREG(st.st_mode)) {
        state.Kind = ObjectKind::RegularFile;
        state.Size = qint64(st.st_size);
    } else if (S_ISDIR(st.st_mode)) {
        state.Kind = ObjectKind::Directory;
    } else if (S_ISLNK(st.st_mode)) {
        state.Kind = ObjectKind::Link;
    } else {
        state.Kind = ObjectKind::Other;
    }
    return state;
}

ObjectState ReadObjectState(const QByteArray& nativePath)
{
    ObjectState state;
    if (!nativePath.startsWith('/') || nativePath.contains('\0'))
        return state;
    QByteArray path = nativePath;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    // One look by the whole path; only a path too long for the kernel pays
    // for opening its parent piece by piece.
    struct stat st;
    int r = ::fstatat(AT_FDCWD, path.constData(), &st, AT_SYMLINK_NOFOLLOW);
    int e = errno;
    if (r != 0 && e == ENAMETOOLONG) {
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray parent = slash == 0 ? QByteArray("/") : path.left(slash);
        const QByteArray name = path.mid(slash + 1);
        const int dir = OpenDirectoryPath(parent);
        if (dir < 0) {
            state.Kind = errno == ENOENT || errno == ENOTDIR ? ObjectKind::Missing : ObjectKind::Unreadable;
            return state;
        }
        r = ::fstatat(dir, name.constData(), &st, AT_SYMLINK_NOFOLLOW);
        e = errno;
        ::close(dir);
    }
    if (r != 0) {
        state.Kind = e == ENOENT || e == ENOTDIR ? ObjectKind::Missing : ObjectKind::Unreadable;
        return state;
    }
    return StateOf(st);
}

ObjectState ReadDescriptorState(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ObjectState state;
        state.Kind = ObjectKind::Unreadable;
        return state;
    }
    return StateOf(st);
}

void PrepareForScan()
{
    struct rlimit lim;
    if (::getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur < lim.rlim_max) {
        lim.rlim_cur = lim.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &lim);
    }
#ifdef __GLIBC__
    ::mallopt(M_ARENA_MAX, 1);
#endif
}

int FreeDescriptors(int reserve)
{
    struct rlimit lim;
    if (::getrlimit(RLIMIT_NOFILE, &lim) != 0)
        return 0;
    const qint64 limit = lim.rlim_cur == RLIM_INFINITY ? qint64(1) << 30 : qint64(lim.rlim_cur);
    qint64 open = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (const dirent* de = ::readdir(d))
            if (de->d_name[0] != '.')
                ++open;
        ::closedir(d);
        --open; // the listing's own descriptor
    } else {
        // No /proc: ask each number below the limit (bounded, as that may be vast).
        const int upTo = int(std::min<qint64>(limit, 65536));
        for (int fd = 0; fd < upTo; ++fd)
            if (::fcntl(fd, F_GETFD) != -1)
                ++open;
    }
    return int(std::clamp<qint64>(limit - open - reserve, 0, INT_MAX));
}

void ReleaseFreeMemory()
{
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

QString HomeTrashPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
}

int OpenDirectoryPath(const QByteArray& nativePath)
{
    return OpenLongPath(nativePath, O_RDONLY | O_DIRECTORY | O_NONBLOCK);
}

int OpenFileNoFollow(const QByteArray& nativePath)
{
    return OpenLongPath(nativePath, O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
}

bool IsExcludedDirectory(const QString& path)
{
    const QString abs = AbsolutePath(path);
    if (abs == u"/proc" || abs == u"/sys" || abs == u"/dev" || abs == HomeTrashPath())
        return true;
    const QByteArray native = NativePath(abs);
    const int fd = OpenDirectory(native);
    if (fd < 0)
        return false;
    bool excluded = false;
    struct statfs fs;
    struct stat st, up;
    if (::fstatfs(fd, &fs) == 0 && IsPseudoFileSystem(long(fs.f_type))) {
        excluded = true;
    } else if (IsTrashName(native.mid(native.lastIndexOf('/') + 1)) && ::fstatat(fd, "..", &up, 0) == 0) {
        // .Trash and .Trash-<uid> are trash folders only at the top of a
        // mounted volume; anywhere else they are folders like any other.
        struct stat upUp;
        const int upFd = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (upFd >= 0) {
            excluded = ::fstatat(upFd, "..", &upUp, 0) == 0 && ::fstat(upFd, &st) == 0
                && (upUp.st_dev != st.st_dev || upUp.st_ino == st.st_ino);
            ::close(upFd);
        }
    }
    ::close(fd);
    return excluded;
}

ListStatus ListDirectory(const QString& dir, std::vector<DirEntry>& out)
{
    out.clear();
    if (dir.isEmpty())
        return ListStatus::Failed;
    const QByteArray native = NativePath(dir);
    const int fd = OpenDirectory(native);
    if (fd < 0) {
        const int e = errno;
        if (e == EACCES || e == EPERM) {
            struct stat st;
            if (::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode))
                return ListStatus::Refused;
        }
        return ListStatus::Failed;
    }
    std::vector<QByteArray> names;
    if (!ReadNames(fd, names)) {
        const int e = errno;
        ::close(fd);
        return (e == EACCES || e == EPERM) ? ListStatus::Refused : ListStatus::Failed;
    }
    out.reserve(names.size());
    for (QByteArray& name : names) {
        DirEntry e;
        e.Representable = IsRepresentable(name);
        if (e.Representable)
            e.Name = QString::fromUtf8(name);
        struct stat st;
        if (::fstatat(fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            e.Kind = EntryKind::Unreadable;
        } else {
            if (S_ISDIR(st.st_mode)) {
                e.Kind = EntryKind::Directory;
                e.Id = IdOf(st);
            } else if (S_ISREG(st.st_mode)) {
                e.Kind = EntryKind::RegularFile;
                e.Id = IdOf(st);
                e.Size = qint64(st.st_size);
            } else if (S_ISLNK(st.st_mode) && ::fstatat(fd, name.constData(), &st, 0) == 0) {
                e.Id = IdOf(st);
                if (S_ISDIR(st.st_mode)) {
                    e.Kind = EntryKind::Directory;
                } else if (S_ISREG(st.st_mode)) {
                    e.Kind = EntryKind::FileLink;
                    e.Size = qint64(st.st_size);
                }
            }
        }
        e.NativeName = std::move(name);
        out.push_back(std::move(e));
    }
    ::close(fd);
    return ListStatus::Ok;
}

} // namespace platform
