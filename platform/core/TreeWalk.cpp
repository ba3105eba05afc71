#include "platform/core/TreeWalk.h"

#include "platform/core/FileSystemPrivate.h"

#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace platform {
namespace {

struct Name {
    quint32 Offset = 0;
    quint16 Length = 0;
    unsigned char Type = DT_UNKNOWN;
};

struct Frame {
    int Fd = -1;
    QByteArray Prefix; // the folder's path, ending in "/"
    quint64 Device = 0;
    bool VolumeTop = false; // the top folder of a mounted volume
    QByteArray NameBytes;
    std::vector<Name> Names;
    size_t Next = 0;
    const void* Token = nullptr;

    QByteArrayView NameAt(const Name& n) const { return QByteArrayView(NameBytes.constData() + n.Offset, n.Length); }
};

// Reads every name of the open folder, sorted by bytes. False with errno set
// when the folder cannot be read.
bool ReadNames(Frame& f)
{
    alignas(8) char buffer[32 * 1024];
    for (;;) {
        const long got = ::getdents64(f.Fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            break;
        for (long pos = 0; pos < got;) {
            const auto* de = reinterpret_cast<const struct dirent64*>(buffer + pos);
            pos += de->d_reclen;
            const char* n = de->d_name;
            if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
                continue;
            const size_t len = std::strlen(n);
            f.Names.push_back(Name { quint32(f.NameBytes.size()), quint16(len), de->d_type });
            f.NameBytes.append(n, qsizetype(len));
        }
    }
    std::sort(f.Names.begin(), f.Names.end(), [&f](const Name& a, const Name& b) {
        const int c = std::memcmp(f.NameBytes.constData() + a.Offset, f.NameBytes.constData() + b.Offset,
            std::min(a.Length, b.Length));
        return c != 0 ? c < 0 : a.Length < b.Length;
    });
    return true;
}

bool IsTrashFolderName(QByteArrayView name)
{
    if (name == ".Trash")
        return true;
    if (!name.startsWith(".Trash-") || name.size() == 7)
        return false;
    return std::all_of(name.begin() + 7, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

class Walker {
public:
    Walker(TreeWalkSink& sink)
        : FSink(sink)
        , FWhole(sink.WholeTree())
    {
        struct stat st;
        const QByteArray home = NativePath(HomeTrashPath());
        if (::stat(home.constData(), &st) == 0) {
            FHomeTrash = IdOf(st);
            FHaveHomeTrash = true;
        }
    }

    ~Walker()
    {
        for (Frame& f : FStack)
            ::close(f.Fd);
    }

    void Run(const QString& root)
    {
        QByteArray prefix = NativePath(root);
        const int fd = prefix.isEmpty() ? -1 : OpenDirectoryPath(prefix);
        struct stat st;
        if (fd < 0 || ::fstat(fd, &st) != 0) {
            if (fd >= 0)
                ::close(fd);
            throw ListingError("not an existing folder: " + root.toStdString());
        }
        struct stat up;
        const bool top = ::fstatat(fd, "..", &up, 0) != 0 || up.st_dev != st.st_dev || up.st_ino == st.st_ino;
        if (!prefix.endsWith('/'))
            prefix += '/';
        FRootLength = prefix.size();
        if (IsPseudoFd(fd) || IsHomeTrash(st)) {
            ::close(fd);
            FSink.Skipped(SkipReason::Excluded, prefix);
            return;
        }
        FVisited.insert(IdOf(st));
        Push(fd, std::move(prefix), st, top);

        while (!FStack.empty()) {
            Frame& f = FStack.back();
            if (f.Next >= f.Names.size()) {
                ::close(f.Fd);
                FStack.pop_back();
                continue;
            }
            // A folder of very many entries is abandoned between entries too.
            if ((++FVisits & 1023) == 0 && FSink.Abandon())
                return;
            const Name n = f.Names[f.Next++];
            Visit(f, n); // may push a frame: f is not used after
            if (FAbandoned)
                return;
        }
    }

private:
    void Push(int fd, QByteArray prefix, const struct stat& st, bool volumeTop)
    {
        Frame f;
        f.Fd = fd;
        f.Device = quint64(st.st_dev);
        f.VolumeTop = volumeTop;
        if (!ReadNames(f)) {
            FSink.Skipped(SkipReason::FolderUnreadable, prefix);
            ::close(fd);
            return;
        }
        f.Prefix = std::move(prefix);
        if (FWhole)
            FSink.Folder(f.Prefix);
        FStack.push_back(std::move(f));
    }

    bool IsHomeTrash(const struct stat& st) const { return FHaveHomeTrash && IdOf(st) == FHomeTrash; }

    static bool IsPseudoFd(int fd)
    {
        struct statfs fs;
        return ::fstatfs(fd, &fs) == 0 && IsPseudoFileSystem(long(fs.f_type));
    }

    QByteArray PathOf(const Frame& f, QByteArrayView name) const
    {
        QByteArray p = f.Prefix;
        p += name;
        return p;
    }

    void Visit(Frame& f, const Name& n)
    {
        const QByteArrayView name = f.NameAt(n);
        const QByteArray cname(name.data(), name.size()); // NUL-terminated for the calls below
        if (n.Type == DT_FIFO || n.Type == DT_SOCK || n.Type == DT_CHR || n.Type == DT_BLK) {
            if (FWhole)
                FSink.Other(f.Prefix, name, false, {});
            return; // never opened, and no file of ours
        }
        if (!IsRepresentable(QByteArray::fromRawData(name.data(), name.size()))) {
            FSink.Skipped(SkipReason::NameNotUtf8, PathOf(f, name));
            return;
        }
        if (n.Type == DT_DIR) {
            if (!Excluded(f, cname, true))
                Enter(f, name, cname);
            return;
        }
        if (n.Type == DT_REG && Excluded(f, cname, false))
            return; // spares the stat
        struct stat st;
        if (::fstatat(f.Fd, cname.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) // gone since the listing: nothing to report
                FSink.Skipped(SkipReason::EntryUnreadable, PathOf(f, name));
            return;
        }
        if (S_ISREG(st.st_mode)) {
            if (n.Type != DT_REG && Excluded(f, cname, false))
                return;
            if (!f.Token)
                f.Token = FSink.EnterFolder(f.Prefix);
            FSink.File(f.Token,
                WalkedFile { name, IdOf(st), qint64(st.st_size),
                    qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                    qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec });
        } else if (S_ISDIR(st.st_mode)) {
            if (!Excluded(f, cname, true))
                Enter(f, name, cname);
        } else if (S_ISLNK(st.st_mode) && FWhole) {
            char target[4096];
            const ssize_t got = ::readlinkat(f.Fd, cname.constData(), target, sizeof target);
            if (got < 0 || size_t(got) >= sizeof target)
                FSink.Skipped(SkipReason::EntryUnreadable, PathOf(f, name));
            else
                FSink.Other(f.Prefix, name, true, QByteArrayView(target, got));
        } else if (S_ISLNK(st.st_mode)) {
            // Links to folders are entered like folders; links to files are
            // no files of their own.
            struct stat target;
            if (::fstatat(f.Fd, cname.constData(), &target, 0) == 0 && S_ISDIR(target.st_mode)
                && !Excluded(f, cname, true))
                Enter(f, name, cname);
        } else if (FWhole) {
            FSink.Other(f.Prefix, name, false, {});
        }
    }

    bool Excluded(const Frame& f, const QByteArray& cname, bool folder)
    {
        return FSink.Excludes(QByteArrayView(f.Prefix).sliced(FRootLength), cname.constData(), folder);
    }

    void Enter(Frame& parent, QByteArrayView name, const QByteArray& cname)
    {
        if (FSink.Abandon()) {
            FAbandoned = true;
            return;
        }
        const int fd = ::openat(parent.Fd, cname.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            const int e = errno;
            if (e == EMFILE || e == ENFILE)
                FSink.Skipped(SkipReason::TooDeep, PathOf(parent, name) + '/');
            else if (e != ENOENT && e != ENOTDIR)
                FSink.Skipped(SkipReason::FolderUnreadable, PathOf(parent, name) + '/');
            return;
        }
        struct stat st;
        if (::fstat(fd, &st) != 0 || FVisited.contains(IdOf(st))) {
            ::close(fd);
            return;
        }
        FVisited.insert(IdOf(st));
        const bool newVolume = quint64(st.st_dev) != parent.Device;
        if ((newVolume && IsPseudoFd(fd)) || IsHomeTrash(st) || (parent.VolumeTop && IsTrashFolderName(name))) {
            ::close(fd);
            FSink.Skipped(SkipReason::Excluded, PathOf(parent, name) + '/');
            return;
        }
        QByteArray prefix = PathOf(parent, name);
        prefix += '/';
        Push(fd, std::move(prefix), st, newVolume); // parent may move now
    }

    TreeWalkSink& FSink;
    const bool FWhole;
    std::vector<Frame> FStack;
    QSet<FileId> FVisited;
    FileId FHomeTrash;
    bool FHaveHomeTrash = false;
    bool FAbandoned = false;
    unsigned FVisits = 0;
    qsizetype FRootLength = 0;
};

} // namespace

void WalkTree(const QString& root, TreeWalkSink& sink)
{
    Walker(sink).Run(root);
}

} // namespace platform
