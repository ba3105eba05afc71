#include "platform/core/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStandardPaths>
#include <QUtf8StringView>

#include <algorithm>
#include <cerrno>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace platform {
namespace {

FileId IdOf(const struct stat& st)
{
    return FileId { quint64(st.st_dev), quint64(st.st_ino) };
}

bool IsTrashName(const QByteArray& name)
{
    // ".Trash" and ".Trash-<uid>" at the top of a mounted volume.
    if (name == ".Trash")
        return true;
    if (!name.startsWith(".Trash-") || name.size() == 7)
        return false;
    return std::all_of(name.begin() + 7, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

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

QString Join(const QString& dir, const QString& name)
{
    return dir.endsWith(u'/') ? dir + name : dir + u'/' + name;
}

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

int OpenDirectory(const QByteArray& native)
{
    return ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

bool IsExcludedDirectory(const QString& path)
{
    const QString abs = AbsolutePath(path);
    if (abs == u"/proc" || abs == u"/sys" || abs == u"/dev")
        return true;
    const QByteArray native = NativePath(abs);
    const qsizetype slash = native.lastIndexOf('/');
    if (IsTrashName(native.mid(slash + 1)))
        return true;
    const QString homeTrash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Trash");
    if (abs == homeTrash)
        return true;
    struct statfs fs;
    if (::statfs(native.constData(), &fs) == 0 && IsPseudoFileSystem(long(fs.f_type)))
        return true;
    return false;
}

void ListFilesRecursive(const QString& root, const std::function<bool(const QString&)>& match,
    std::vector<ListedFile>& out)
{
    struct stat rootSt;
    const QByteArray rootNative = NativePath(root);
    if (root.isEmpty() || ::stat(rootNative.constData(), &rootSt) != 0 || !S_ISDIR(rootSt.st_mode))
        throw ListingError("not an existing folder: " + root.toStdString());

    // Depth first with an explicit stack, so that very deep trees cannot
    // exhaust the call stack. A frame holds one folder's entries, already
    // typed, and no open descriptor, so the depth is bounded by neither.
    struct Entry {
        QString Name;
        bool IsDir = false;
        FileId Id;
        qint64 Size = -1;
    };
    struct Frame {
        QString Path;
        std::vector<Entry> Entries;
        size_t Next = 0;
    };
    QSet<FileId> visited;
    std::vector<Frame> stack;

    // A folder's identity is the one its parent's listing read: opening it
    // fails should it have stopped being a folder since.
    auto enter = [&](const QString& path, const QByteArray& native, FileId id) {
        if (visited.contains(id))
            return;
        visited.insert(id);
        if (IsExcludedDirectory(path))
            return;
        const int fd = OpenDirectory(native);
        if (fd < 0)
            return; // a folder that cannot be opened yields nothing
        std::vector<QByteArray> names;
        const bool read = ReadNames(fd, names);
        Frame f;
        f.Path = path;
        if (read) {
            f.Entries.reserve(names.size());
            for (const QByteArray& name : names) {
                if (!IsRepresentable(name))
                    continue; // never mistaken for another path
                struct stat st;
                if (::fstatat(fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                if (S_ISLNK(st.st_mode)) {
                    // Links to folders are entered like folders; links to
                    // files are not files of their own.
                    if (::fstatat(fd, name.constData(), &st, 0) != 0 || !S_ISDIR(st.st_mode))
                        continue;
                } else if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) {
                    continue; // FIFOs, sockets and devices are never opened
                }
                f.Entries.push_back(
                    Entry { QString::fromUtf8(name), S_ISDIR(st.st_mode), IdOf(st), qint64(st.st_size) });
            }
        }
        ::close(fd);
        if (!f.Entries.empty())
            stack.push_back(std::move(f));
    };

    enter(root, rootNative, IdOf(rootSt));
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.Next >= top.Entries.size()) {
            stack.pop_back();
            continue;
        }
        const Entry& e = top.Entries[top.Next++];
        if (!e.IsDir) {
            if (match(e.Name))
                out.push_back(ListedFile { Join(top.Path, e.Name), e.Id, e.Size });
            continue;
        }
        if (visited.contains(e.Id))
            continue;
        const QString childPath = Join(top.Path, e.Name);
        enter(childPath, NativePath(childPath), e.Id); // may reallocate the stack: top is not used after
    }
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
        if (::fstatat(fd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
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
