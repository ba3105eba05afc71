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
    int Fd = -1;          // -1 while closed to spare descriptors
    qsizetype PathEnd = 0; // the walker's path up to here is this folder's, ending in "/"
    FileId Id;            // to know the folder again when it is reopened
    bool VolumeTop = false; // the top folder of a mounted volume
    QByteArray NameBytes;
    std::vector<Name> Names;
    size_t Next = 0;
    const void* Token = nullptr;

    QByteArrayView NameAt(const Name& n) const { return QByteArrayView(NameBytes.constData() + n.Offset, n.Length); }
};

enum class ReadResult { Read, Failed, Abandoned };

// Reads every name of the open folder in pieces, with a stop test between
// them, then sorts them by bytes (only once the folder is whole), with stop
// tests between the steps of a large sort. Failed with errno set when the
// folder cannot be read.
ReadResult ReadNames(Frame& f, TreeWalkSink& sink)
{
    alignas(8) char buffer[32 * 1024];
    for (bool first = true;; first = false) {
        if (!first && sink.Abandon())
            return ReadResult::Abandoned;
        const long got = ::getdents64(f.Fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return ReadResult::Failed;
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
    const auto less = [&f](const Name& a, const Name& b) {
        const int c = std::memcmp(f.NameBytes.constData() + a.Offset, f.NameBytes.constData() + b.Offset,
            std::min(a.Length, b.Length));
        return c != 0 ? c < 0 : a.Length < b.Length;
    };
    // A large folder is sorted in runs, then merged run by run, with a stop
    // test between: no step takes more than a few milliseconds.
    constexpr size_t kRun = 8192;
    const auto all = f.Names.begin();
    const size_t n = f.Names.size();
    for (size_t i = 0; i < n; i += kRun) {
        if (i > 0 && sink.Abandon())
            return ReadResult::Abandoned;
        std::sort(all + i, all + std::min(n, i + kRun), less);
    }
    for (size_t width = kRun; width < n; width *= 2) {
        for (size_t i = 0; i + width < n; i += 2 * width) {
            if (sink.Abandon())
                return ReadResult::Abandoned;
            std::inplace_merge(all + i, all + i + width, all + std::min(n, i + 2 * width), less);
        }
    }
    return ReadResult::Read;
}

// The mount a folder lies on: a bind mount of the same file system is a mount
// of its own. The device where the system cannot tell.
quint64 MountOf(int fd, const struct stat& st)
{
    struct statx sx;
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &sx) == 0 && (sx.stx_mask & STATX_MNT_ID))
        return sx.stx_mnt_id;
    return quint64(st.st_dev) | (quint64(1) << 63);
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
    Walker(TreeWalkSink& sink, const WalkOptions& options)
        : FSink(sink)
        , FOptions(options)
        , FWhole(sink.WholeTree())
    {
        struct stat st;
        const QByteArray home = NativePath(HomeTrashPath());
        if (::stat(home.constData(), &st) == 0) {
            FHomeTrash = IdOf(st);
            FHaveHomeTrash = true;
        }
        // What the process leaves free now, with room for the window's own
        // work meanwhile; the root and the folder being read at least.
        FBudget = std::max(2, FreeDescriptors(kReserve));
    }

    ~Walker()
    {
        for (Frame& f : FStack)
            if (f.Fd >= 0)
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
        if (FOptions.OneFileSystem)
            FRootMount = MountOf(fd, st);
        FVisited.insert(IdOf(st));
        FPath = std::move(prefix);
        Push(fd, st, top);

        while (!FStack.empty() && !FAbandoned) {
            Frame& f = FStack.back();
            if (f.Next >= f.Names.size()) {
                Pop();
                continue;
            }
            // A folder of very many entries is abandoned between entries too.
            if ((++FVisits & 1023) == 0 && FSink.Abandon())
                return;
            const Name n = f.Names[f.Next++];
            Visit(f, n); // may push a frame: f is not used after
        }
    }

private:
    static constexpr int kReserve = 16;

    // The path of the top frame ends at FPath's end; fd is open on it.
    void Push(int fd, const struct stat& st, bool volumeTop)
    {
        Frame f;
        f.Fd = fd;
        f.PathEnd = FPath.size();
        f.Id = IdOf(st);
        f.VolumeTop = volumeTop;
        const ReadResult read = ReadNames(f, FSink);
        if (read != ReadResult::Read) {
            if (read == ReadResult::Abandoned)
                FAbandoned = true;
            else
                FSink.Skipped(SkipReason::FolderUnreadable, FPath);
            ::close(fd);
            FPath.truncate(FStack.empty() ? 0 : FStack.back().PathEnd);
            return;
        }
        ++FOpen;
        if (FWhole)
            FSink.Folder(FPath);
        FStack.push_back(std::move(f));
    }

    // Leaves the top folder for its parent, reopening the parent when its
    // descriptor was given up.
    void Pop()
    {
        Frame& top = FStack.back();
        const size_t parent = FStack.size() - 2; // wraps for the root: not used then
        if (FStack.size() >= 2 && FStack[parent].Fd < 0)
            Reopen(parent, top.Fd);
        if (top.Fd >= 0) {
            ::close(top.Fd);
            --FOpen;
        }
        FStack.pop_back();
        if (!FStack.empty())
            FPath.truncate(FStack.back().PathEnd);
    }

    // Opens frame k again, checked to be the folder it was: through ".." of
    // its child (one call, right unless the child was reached by a link or
    // has moved), else by name from the deepest ancestor still open. A folder
    // that cannot be had again is reported, and what is left of it dropped.
    void Reopen(size_t k, int childFd)
    {
        Frame& f = FStack[k];
        int fd = childFd >= 0 ? OpenFolderAt(childFd, "..") : -1;
        if (fd >= 0 && !IsFolder(fd, f.Id)) {
            ::close(fd);
            fd = -1;
        }
        if (fd < 0) {
            size_t j = k;
            while (FStack[--j].Fd < 0) { } // the root stays open
            int at = FStack[j].Fd;
            for (size_t i = j + 1; i <= k && at >= 0; ++i) {
                const qsizetype from = FStack[i - 1].PathEnd;
                const QByteArray name = FPath.mid(from, FStack[i].PathEnd - from - 1);
                const int next = OpenFolderAt(at, name.constData());
                if (at != FStack[j].Fd)
                    ::close(at);
                at = next;
            }
            if (at >= 0 && !IsFolder(at, f.Id)) {
                ::close(at);
                at = -1;
            }
            fd = at;
        }
        if (fd < 0) {
            FSink.Skipped(SkipReason::FolderUnreadable, FPath.left(f.PathEnd));
            f.Next = f.Names.size();
            return;
        }
        f.Fd = fd;
        ++FOpen;
        FLowestOpen = std::min(FLowestOpen, k);
    }

    static int OpenFolderAt(int at, const char* name)
    {
        return ::openat(at, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    }

    static bool IsFolder(int fd, const FileId& id)
    {
        struct stat st;
        return ::fstat(fd, &st) == 0 && IdOf(st) == id;
    }

    // Gives up the descriptor of the shallowest open folder below the root
    // and above the top; false when there is none.
    bool GiveUpOne()
    {
        for (size_t i = std::max<size_t>(FLowestOpen, 1); i + 1 < FStack.size(); ++i) {
            if (FStack[i].Fd >= 0) {
                ::close(FStack[i].Fd);
                FStack[i].Fd = -1;
                --FOpen;
                FLowestOpen = i + 1;
                return true;
            }
        }
        return false;
    }

    bool IsHomeTrash(const struct stat& st) const { return FHaveHomeTrash && IdOf(st) == FHomeTrash; }

    static bool IsPseudoFd(int fd)
    {
        struct statfs fs;
        return ::fstatfs(fd, &fs) == 0 && IsPseudoFileSystem(long(fs.f_type));
    }

    QByteArray PathOf(QByteArrayView name) const
    {
        QByteArray p = FPath;
        p += name;
        return p;
    }

    // f is the top frame: its path is FPath.
    void Visit(Frame& f, const Name& n)
    {
        const QByteArrayView name = f.NameAt(n);
        const QByteArray cname(name.data(), name.size()); // NUL-terminated for the calls below
        if (n.Type == DT_FIFO || n.Type == DT_SOCK || n.Type == DT_CHR || n.Type == DT_BLK) {
            if (FWhole)
                FSink.Other(FPath, name, false, {});
            return; // never opened, and no file of ours
        }
        if (n.Type == DT_LNK && !FOptions.FollowFolderLinks && !FWhole)
            return; // a link to a file is none of ours either
        if (!IsRepresentable(QByteArray::fromRawData(name.data(), name.size()))) {
            FSink.Skipped(SkipReason::NameNotUtf8, PathOf(name));
            return;
        }
        if (n.Type == DT_DIR) {
            if (!Excluded(cname, true))
                Enter(f, name, cname);
            return;
        }
        if (n.Type == DT_REG && Excluded(cname, false))
            return; // spares the stat
        struct stat st;
        if (::fstatat(f.Fd, cname.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) // gone since the listing: nothing to report
                FSink.Skipped(SkipReason::EntryUnreadable, PathOf(name));
            return;
        }
        if (S_ISREG(st.st_mode)) {
            if (n.Type != DT_REG && Excluded(cname, false))
                return;
            if (!f.Token)
                f.Token = FSink.EnterFolder(FPath);
            FSink.File(f.Token,
                WalkedFile { name, IdOf(st), qint64(st.st_size),
                    qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                    qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec });
        } else if (S_ISDIR(st.st_mode)) {
            if (!Excluded(cname, true))
                Enter(f, name, cname);
        } else if (S_ISLNK(st.st_mode) && FWhole) {
            char target[4096];
            const ssize_t got = ::readlinkat(f.Fd, cname.constData(), target, sizeof target);
            if (got < 0 || size_t(got) >= sizeof target)
                FSink.Skipped(SkipReason::EntryUnreadable, PathOf(name));
            else
                FSink.Other(FPath, name, true, QByteArrayView(target, got));
        } else if (S_ISLNK(st.st_mode) && FOptions.FollowFolderLinks) {
            // Links to folders are entered like folders; links to files are
            // no files of their own.
            struct stat target;
            if (::fstatat(f.Fd, cname.constData(), &target, 0) == 0 && S_ISDIR(target.st_mode)
                && !Excluded(cname, true))
                Enter(f, name, cname);
        } else if (FWhole && !S_ISLNK(st.st_mode)) {
            FSink.Other(FPath, name, false, {});
        }
    }

    bool Excluded(const QByteArray& cname, bool folder)
    {
        return FSink.Excludes(QByteArrayView(FPath).sliced(FRootLength), cname.constData(), folder);
    }

    // Opens a folder of the top frame, making room for its descriptor.
    int OpenChild(int parentFd, const char* name)
    {
        if (FOpen >= FBudget)
            GiveUpOne();
        for (int attempt = 0;; ++attempt) {
            const int fd = OpenFolderAt(parentFd, name);
            if (fd >= 0 || (errno != EMFILE && errno != ENFILE))
                return fd;
            // Someone else holds more than was free at the start: keep to
            // fewer from now on, or, with nothing left to give up, wait a
            // little for the others to close theirs.
            if (GiveUpOne()) {
                FBudget = std::max(2, FOpen);
                continue;
            }
            if (attempt >= 20 || FSink.Abandon()) {
                errno = EMFILE;
                return -1;
            }
            ::usleep(5000);
        }
    }

    void Enter(Frame& parent, QByteArrayView name, const QByteArray& cname)
    {
        if (FSink.Abandon()) {
            FAbandoned = true;
            return;
        }
        const int fd = OpenChild(parent.Fd, cname.constData());
        if (fd < 0) {
            const int e = errno;
            if (e == EMFILE || e == ENFILE)
                FSink.Skipped(SkipReason::TooDeep, PathOf(name) + '/');
            else if (e != ENOENT && e != ENOTDIR)
                FSink.Skipped(SkipReason::FolderUnreadable, PathOf(name) + '/');
            return;
        }
        struct stat st;
        if (::fstat(fd, &st) != 0 || FVisited.contains(IdOf(st))) {
            ::close(fd);
            return;
        }
        if (FOptions.OneFileSystem && MountOf(fd, st) != FRootMount) {
            ::close(fd);
            return;
        }
        FVisited.insert(IdOf(st));
        const quint64 parentDevice = FStack.back().Id.Device;
        const bool newVolume = quint64(st.st_dev) != parentDevice;
        if ((newVolume && IsPseudoFd(fd)) || IsHomeTrash(st) || (parent.VolumeTop && IsTrashFolderName(name))) {
            ::close(fd);
            FSink.Skipped(SkipReason::Excluded, PathOf(name) + '/');
            return;
        }
        FPath += name;
        FPath += '/';
        Push(fd, st, newVolume); // parent may move now
    }

    TreeWalkSink& FSink;
    const WalkOptions FOptions;
    const bool FWhole;
    std::vector<Frame> FStack;
    QByteArray FPath; // the path of the top frame, ending in "/"
    QSet<FileId> FVisited;
    FileId FHomeTrash;
    bool FHaveHomeTrash = false;
    bool FAbandoned = false;
    unsigned FVisits = 0;
    qsizetype FRootLength = 0;
    quint64 FRootMount = 0;
    int FBudget = 2;         // descriptors the walk may hold
    int FOpen = 0;           // descriptors of frames held now
    size_t FLowestOpen = 1;  // no frame below the root and above this one is open
};

} // namespace

void WalkTree(const QString& root, TreeWalkSink& sink, const WalkOptions& options)
{
    Walker(sink, options).Run(root);
}

} // namespace platform
