#include "platform/core/PathWalk.h"

#include "platform/core/FileSystemPrivate.h"

#include <QHash>

#include <memory>
#include <vector>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int MaxLinks = 40; // as the kernel allows in one resolution
// O_PATH: a folder the user may pass through but not list (mode 0711) is
// walked as the kernel walks it; the descriptor serves every *at() call.
constexpr int FolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

QString Shown(const QByteArray& native)
{
    return QString::fromUtf8(native);
}

struct OwnedFd {
    explicit OwnedFd(int fd)
        : Fd(fd)
    {
    }
    ~OwnedFd()
    {
        if (Fd >= 0)
            ::close(Fd);
    }
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;
    int Fd;
};

// One folder of the walk so far, from "/" down.
struct Step {
    QByteArray Name; // empty for "/"
    struct stat St {};
    // Open when this folder is the first of its device on the way (a volume
    // top); the others need no descriptor once the walk has passed them.
    std::shared_ptr<OwnedFd> TopFd;
};

bool MayFollow(const struct stat& folder, const struct stat& link)
{
    const uid_t me = ::geteuid();
    const auto ours = [me](uid_t uid) { return uid == me || uid == 0; };
    if (!ours(link.st_uid) || !ours(folder.st_uid))
        return false;
    return !(folder.st_mode & (S_IWGRP | S_IWOTH)) || (folder.st_mode & S_ISVTX);
}

class Walker {
public:
    Walker(WalkFailure& why, QString& reason)
        : FWhy(why)
        , FReason(reason)
    {
    }
    ~Walker()
    {
        if (FFd >= 0)
            ::close(FFd);
    }

    bool Start()
    {
        FStack.clear();
        if (FFd >= 0)
            ::close(FFd);
        FFd = ::open("/", FolderFlags);
        Step root;
        if (FFd < 0 || ::fstat(FFd, &root.St) != 0)
            return Fail(WalkFailure::Unreadable, QStringLiteral("/ cannot be opened"));
        root.TopFd = std::make_shared<OwnedFd>(::dup(FFd));
        FStack.push_back(std::move(root));
        return true;
    }

    // Enters name (a component of the path or of a link's target) from the
    // current folder.
    bool Enter(const QByteArray& name)
    {
        if (name.isEmpty() || name == ".")
            return true;
        if (name == "..")
            return Up();
        const int fd = ::openat(FFd, name.constData(), FolderFlags | O_NOFOLLOW);
        if (fd >= 0)
            return Push(fd, name);
        const int error = errno;
        if (error == ENOENT)
            return Fail(WalkFailure::Missing, QStringLiteral("%1 is not there").arg(Shown(Here(name))));
        if (error == EACCES || error == EPERM)
            return Fail(WalkFailure::Unreadable, QStringLiteral("%1 cannot be opened: %2").arg(Shown(Here(name)),
                                                      QString::fromLocal8Bit(std::strerror(error))));
        if (error != ELOOP && error != ENOTDIR)
            return Fail(WalkFailure::Unreadable, QStringLiteral("%1 cannot be opened: %2").arg(Shown(Here(name)),
                                                      QString::fromLocal8Bit(std::strerror(error))));
        // A link, or something that is no folder. The link itself is held
        // open, so the one whose owner is checked is the one that is read.
        const OwnedFd link(::openat(FFd, name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat st;
        if (link.Fd < 0 || ::fstat(link.Fd, &st) != 0)
            return Fail(WalkFailure::Missing, QStringLiteral("%1 is not there").arg(Shown(Here(name))));
        if (!S_ISLNK(st.st_mode))
            return Fail(WalkFailure::Missing, QStringLiteral("%1 is not a folder").arg(Shown(Here(name))));
        if (!MayFollow(FStack.back().St, st))
            return Fail(WalkFailure::UntrustedLink,
                QStringLiteral("%1 is a link another user could have put there").arg(Shown(Here(name))));
        if (++FLinks > MaxLinks)
            return Fail(WalkFailure::Missing, QStringLiteral("too many links on the way to %1").arg(Shown(Here(name))));
        QByteArray target(qsizetype(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlinkat(link.Fd, "", target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            return Fail(WalkFailure::Missing, QStringLiteral("the link %1 cannot be read").arg(Shown(Here(name))));
        target.truncate(n);
        if (target.startsWith('/') && !Start())
            return false;
        for (const QByteArray& part : target.split('/'))
            if (!Enter(part))
                return false;
        return true;
    }

    // The folder reached compared with what the scan recorded of it.
    bool Compare(const QByteArray& logicalPath, const FileId& recorded)
    {
        if (IdOf(FStack.back().St) == recorded)
            return true;
        return Fail(WalkFailure::Swapped,
            QStringLiteral("%1 is not the folder the scan saw there").arg(Shown(logicalPath)));
    }

    void Finish(PinnedFolder& out, QByteArray name, int& fd, int& topFd)
    {
        out.Name = std::move(name);
        out.FolderPath = PathOf(FStack.size());
        out.Id = IdOf(FStack.back().St);
        size_t top = FStack.size() - 1;
        while (!FStack[top].TopFd)
            --top;
        out.TopPath = PathOf(top + 1);
        topFd = ::dup(FStack[top].TopFd->Fd);
        fd = FFd;
        FFd = -1;
    }

private:
    bool Fail(WalkFailure why, const QString& reason)
    {
        FWhy = why;
        FReason = reason;
        return false;
    }

    bool Push(int fd, const QByteArray& name)
    {
        Step step;
        step.Name = name;
        if (::fstat(fd, &step.St) != 0) {
            ::close(fd);
            return Fail(WalkFailure::Unreadable, QStringLiteral("%1 cannot be read").arg(Shown(Here(name))));
        }
        if (step.St.st_dev != FStack.back().St.st_dev)
            step.TopFd = std::make_shared<OwnedFd>(::dup(fd));
        ::close(FFd);
        FFd = fd;
        FStack.push_back(std::move(step));
        return true;
    }

    // ".." of a link's target: the folder the walk came through, which must
    // still be the parent of this one.
    bool Up()
    {
        if (FStack.size() == 1)
            return true;
        const int fd = ::openat(FFd, "..", FolderFlags | O_NOFOLLOW);
        struct stat st;
        if (fd < 0 || ::fstat(fd, &st) != 0 || IdOf(st) != IdOf(FStack[FStack.size() - 2].St)) {
            if (fd >= 0)
                ::close(fd);
            return Fail(WalkFailure::Swapped, QStringLiteral("%1 was moved during the walk").arg(Shown(PathOf(FStack.size()))));
        }
        ::close(FFd);
        FFd = fd;
        FStack.pop_back();
        return true;
    }

    // The path of the first count folders of the walk.
    QByteArray PathOf(size_t count) const
    {
        QByteArray path;
        for (size_t i = 1; i < count; ++i)
            path += '/' + FStack[i].Name;
        return path.isEmpty() ? QByteArray("/") : path;
    }
    QByteArray Here(const QByteArray& name) const
    {
        const QByteArray folder = PathOf(FStack.size());
        return folder.endsWith('/') ? folder + name : folder + '/' + name;
    }

    WalkFailure& FWhy;
    QString& FReason;
    int FFd = -1;
    int FLinks = 0;
    std::vector<Step> FStack;
};

} // namespace

PinnedFolder::~PinnedFolder()
{
    Reset();
}

PinnedFolder::PinnedFolder(PinnedFolder&& other) noexcept
{
    *this = std::move(other);
}

PinnedFolder& PinnedFolder::operator=(PinnedFolder&& other) noexcept
{
    if (this != &other) {
        Reset();
        Name = std::move(other.Name);
        FolderPath = std::move(other.FolderPath);
        TopPath = std::move(other.TopPath);
        Id = other.Id;
        FFd = other.FFd;
        FTopFd = other.FTopFd;
        other.FFd = -1;
        other.FTopFd = -1;
    }
    return *this;
}

void PinnedFolder::Reset()
{
    if (FFd >= 0)
        ::close(FFd);
    if (FTopFd >= 0)
        ::close(FTopFd);
    FFd = -1;
    FTopFd = -1;
}

QByteArray PinnedFolder::EntryPath() const
{
    return FolderPath.endsWith('/') ? FolderPath + Name : FolderPath + '/' + Name;
}

bool WalkToEntry(const QByteArray& nativePath, const QList<KnownFolder>& known, PinnedFolder& out, WalkFailure& why,
    QString& reason)
{
    out.Reset();
    why = WalkFailure::None;
    const QByteArray& p = nativePath;
    if (!p.startsWith('/') || p == "/" || p.endsWith('/') || p.contains("//") || p.contains("/./")
        || p.contains("/../") || p.endsWith("/.") || p.endsWith("/..") || p.contains('\0')) {
        why = WalkFailure::BadPath;
        reason = QStringLiteral("not an absolute, clean path of an entry");
        return false;
    }
    QHash<QByteArray, FileId> recorded;
    for (const KnownFolder& k : known)
        if (k.Id.Device != 0 || k.Id.Inode != 0)
            recorded.insert(k.NativePath, k.Id);

    Walker walker(why, reason);
    if (!walker.Start())
        return false;
    if (const auto it = recorded.constFind(QByteArray("/")); it != recorded.constEnd() && !walker.Compare("/", *it))
        return false;
    const QList<QByteArray> parts = p.mid(1).split('/');
    QByteArray logical;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        logical += '/' + parts[i];
        if (!walker.Enter(parts[i]))
            return false;
        if (const auto it = recorded.constFind(logical); it != recorded.constEnd() && !walker.Compare(logical, *it))
            return false;
    }
    walker.Finish(out, parts.back(), out.FFd, out.FTopFd);
    return true;
}

ObjectState ReadObjectStateAt(int dirFd, const QByteArray& name)
{
    ObjectState state;
    struct stat st;
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        state.Kind = errno == ENOENT || errno == ENOTDIR ? ObjectKind::Missing : ObjectKind::Unreadable;
        return state;
    }
    return StateOf(st);
}

EntryVerdict CompareEntry(const ObjectState& now, const ExpectedObject& expected)
{
    if (now.Kind == ObjectKind::Missing)
        return EntryVerdict::Missing;
    if (now.Kind == ObjectKind::Unreadable)
        return EntryVerdict::Unreadable;
    const bool knownId = expected.Id.Device != 0 || expected.Id.Inode != 0;
    if (now.Kind != expected.Kind || (knownId && now.Id != expected.Id))
        return EntryVerdict::Changed;
    if (expected.Kind == ObjectKind::RegularFile
        && ((expected.Size >= 0 && now.Size != expected.Size) || (expected.Modified != 0 && now.Modified != expected.Modified)
            || (expected.Changed != 0 && now.Changed != expected.Changed)))
        return EntryVerdict::Changed;
    return EntryVerdict::Same;
}

} // namespace platform
