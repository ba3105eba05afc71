#include "platform/core/Trash.h"

#include "platform/core/FileSystem.h"

#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QStandardPaths>

#include <algorithm>
#include <memory>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Room an info file name needs beyond the entry's name: a clash counter
// (".9999") and ".trashinfo".
constexpr int InfoSuffixLength = 15;
// Name clashes tried in files/ before the move is given up.
constexpr int MaxClashes = 9999;

// A file descriptor that closes itself.
class Fd {
public:
    explicit Fd(int fd = -1) : FFd(fd) {}
    ~Fd()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return FFd; }
    bool IsOpen() const { return FFd >= 0; }

private:
    int FFd;
};

QString Errno()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString Shown(const QByteArray& native)
{
    return QString::fromUtf8(native);
}

QByteArray RealPath(const QByteArray& path)
{
    char buffer[PATH_MAX];
    if (!::realpath(path.constData(), buffer))
        return QByteArray();
    return QByteArray(buffer);
}

QByteArray Join(const QByteArray& dir, const QByteArray& name)
{
    return dir.endsWith('/') ? dir + name : dir + '/' + name;
}

// A trash folder, opened: its files/ and info/ stay pinned by descriptor, so
// a folder swapped in after the checks is never written through.
struct TrashFolder {
    QByteArray Path;   // real path of the trash folder
    QByteArray TopDir; // empty for the home trash (absolute Path= values)
    dev_t Device = 0;
    std::shared_ptr<Fd> Files;
    std::shared_ptr<Fd> Info;
    long NameMax = NAME_MAX;
};

// Opens name below the directory dirFd as a directory, made (0700) when
// missing. own: it must not be a link, must belong to the user and be
// writable by nobody else; otherwise links are followed (the user's own home
// trash may be one). Returns -1 with reason set.
int OpenTrashDirectory(int dirFd, const QByteArray& shownPath, const char* name, bool own, QString& reason)
{
    if (::mkdirat(dirFd, name, 0700) != 0 && errno != EEXIST) {
        reason = QStringLiteral("%1 cannot be made: %2").arg(Shown(shownPath), Errno());
        return -1;
    }
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (own ? O_NOFOLLOW : 0);
    const int fd = ::openat(dirFd, name, flags);
    if (fd < 0) {
        reason = errno == ELOOP || errno == ENOTDIR
            ? QStringLiteral("%1 is a link or not a folder").arg(Shown(shownPath))
            : QStringLiteral("%1 cannot be opened: %2").arg(Shown(shownPath), Errno());
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode)) {
        reason = QStringLiteral("%1 is not a folder").arg(Shown(shownPath));
        ::close(fd);
        return -1;
    }
    if (own && st.st_uid != ::geteuid()) {
        reason = QStringLiteral("%1 belongs to user %2").arg(Shown(shownPath)).arg(st.st_uid);
        ::close(fd);
        return -1;
    }
    if (own && (st.st_mode & (S_IWGRP | S_IWOTH))) {
        reason = QStringLiteral("%1 may be written by others").arg(Shown(shownPath));
        ::close(fd);
        return -1;
    }
    return fd;
}

// Fills trash with the folder name below parentFd (shown as path) and its
// files/ and info/; false with reason set.
bool OpenTrash(int parentFd, const QByteArray& path, const char* name, bool own, TrashFolder& trash,
    QString& reason)
{
    const Fd folder(OpenTrashDirectory(parentFd, path, name, own, reason));
    if (!folder.IsOpen())
        return false;
    auto files = std::make_shared<Fd>(OpenTrashDirectory(folder.Get(), path + "/files", "files", own, reason));
    if (!files->IsOpen())
        return false;
    auto info = std::make_shared<Fd>(OpenTrashDirectory(folder.Get(), path + "/info", "info", own, reason));
    if (!info->IsOpen())
        return false;
    if (::faccessat(files->Get(), ".", W_OK | X_OK, AT_EACCESS) != 0
        || ::faccessat(info->Get(), ".", W_OK | X_OK, AT_EACCESS) != 0) {
        reason = QStringLiteral("%1 is not writable").arg(Shown(path));
        return false;
    }
    struct stat st;
    if (::fstat(files->Get(), &st) != 0) {
        reason = QStringLiteral("%1 cannot be read").arg(Shown(path));
        return false;
    }
    trash.Path = RealPath(path);
    if (trash.Path.isEmpty())
        trash.Path = path;
    trash.Device = st.st_dev;
    trash.Files = std::move(files);
    trash.Info = std::move(info);
    const long nameMax = ::fpathconf(trash.Info->Get(), _PC_NAME_MAX);
    trash.NameMax = nameMax > 0 ? nameMax : NAME_MAX;
    return true;
}

bool OpenHomeTrash(TrashFolder& trash, QString& reason)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data)) {
        reason = QStringLiteral("the data folder %1 cannot be made").arg(data);
        return false;
    }
    const QByteArray dataNative = NativePath(data);
    const Fd dataFd(::open(dataNative.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dataFd.IsOpen()) {
        reason = QStringLiteral("the data folder %1 cannot be opened: %2").arg(data, Errno());
        return false;
    }
    return OpenTrash(dataFd.Get(), Join(dataNative, "Trash"), "Trash", false, trash, reason);
}

// The trash of the volume whose top folder is top (topFd, as the walk to an
// entry opened it), as the freedesktop.org trash rules have it for volumes
// other than the home volume.
bool OpenVolumeTrash(int topFd, const QByteArray& top, TrashFolder& trash, QString& reason)
{
    const QByteArray uid = QByteArray::number(::geteuid());

    QString sharedReason;
    const QByteArray shared = Join(top, ".Trash");
    const Fd sharedFd(::openat(topFd, ".Trash", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st;
    if (!sharedFd.IsOpen()) {
        sharedReason = errno == ENOENT ? QStringLiteral("%1 is absent").arg(Shown(shared))
                                       : QStringLiteral("%1 is a link or not a folder").arg(Shown(shared));
    } else if (::fstat(sharedFd.Get(), &st) != 0 || !(st.st_mode & S_ISVTX)) {
        sharedReason = QStringLiteral("%1 has no sticky bit").arg(Shown(shared));
    } else if (OpenTrash(sharedFd.Get(), Join(shared, uid), uid.constData(), true, trash, sharedReason)) {
        trash.TopDir = top;
        return true;
    }

    const QByteArray ownName = ".Trash-" + uid;
    QString ownReason;
    if (OpenTrash(topFd, Join(top, ownName), ownName.constData(), true, trash, ownReason)) {
        trash.TopDir = top;
        return true;
    }
    reason = sharedReason + QStringLiteral("; ") + ownReason;
    return false;
}

// An entry as the operation sees it: its folder, open, and the object there.
struct Located {
    PinnedFolder Folder;
    ObjectState Now;
    ExpectedObject Expected;
};

TrashFailure FailureOf(WalkFailure why)
{
    switch (why) {
    case WalkFailure::Missing:
        return TrashFailure::Gone;
    case WalkFailure::Unreadable:
        return TrashFailure::Unreadable;
    case WalkFailure::UntrustedLink:
    case WalkFailure::Swapped:
        return TrashFailure::Way;
    case WalkFailure::BadPath:
    case WalkFailure::None:
        break;
    }
    return TrashFailure::Other;
}

// Walks to the entry's folder and checks the object there against what its
// row says.
bool LocateEntry(const TrashEntry& entry, Located& at, TrashFailure& failure, QString& reason)
{
    const QByteArray native = entry.Native.isEmpty() ? NativePath(entry.Path) : entry.Native;
    WalkFailure why = WalkFailure::None;
    if (!WalkToEntry(native, entry.Folders, at.Folder, why, reason)) {
        failure = FailureOf(why);
        return false;
    }
    at.Expected.Kind = entry.Kind == TrashKind::RegularFile ? ObjectKind::RegularFile : ObjectKind::Directory;
    at.Expected.Id = entry.Id;
    at.Expected.Size = entry.Kind == TrashKind::RegularFile ? entry.Size : -1;
    at.Expected.Modified = entry.Modified;
    at.Expected.Changed = entry.Changed;
    at.Now = ReadObjectStateAt(at.Folder.Fd(), at.Folder.Name);
    switch (CompareEntry(at.Now, at.Expected)) {
    case EntryVerdict::Same:
        break;
    case EntryVerdict::Missing:
        failure = TrashFailure::Gone;
        reason = QStringLiteral("it no longer exists");
        return false;
    case EntryVerdict::Unreadable:
        failure = TrashFailure::Unreadable;
        reason = QStringLiteral("it cannot be looked at");
        return false;
    case EntryVerdict::Changed:
        failure = TrashFailure::Changed;
        if (at.Now.Kind != at.Expected.Kind)
            reason = entry.Kind == TrashKind::RegularFile ? QStringLiteral("it is no longer a regular file")
                                                          : QStringLiteral("it is no longer a directory");
        else if (at.Expected.Size >= 0 && at.Now.Size != at.Expected.Size)
            reason = QStringLiteral("its size changed from %1 to %2 bytes").arg(at.Expected.Size).arg(at.Now.Size);
        else
            reason = QStringLiteral("it is not the object the scan saw (identity or times differ)");
        return false;
    }
    if (entry.Kind == TrashKind::Directory && at.Now.Id.Device != at.Folder.Id.Device) {
        failure = TrashFailure::Other;
        reason = QStringLiteral("it is the top folder of a volume");
        return false;
    }
    return true;
}

std::function<void(TrashStep, qsizetype)>& StepHook()
{
    static std::function<void(TrashStep, qsizetype)> hook;
    return hook;
}

void RunHook(TrashStep step, qsizetype index)
{
    if (StepHook())
        StepHook()(step, index);
}

// The Path value of an info file: the path as a URL writes it, every byte but
// the letters, digits, "-", ".", "_", "~" and "/" percent-encoded.
QByteArray TrashInfoPathValue(const QByteArray& nativePath)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(nativePath.size() * 3);
    for (const char ch : nativePath) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
            || c == '_' || c == '~' || c == '/') {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

QByteArray InfoText(const QByteArray& pathValue)
{
    return "[Trash Info]\nPath=" + pathValue + "\nDeletionDate="
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + '\n';
}

bool RenameNoReplace(int fromDir, const char* from, int toDir, const char* to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    // A file system without the flag: the info file, made with O_EXCL, already
    // claims the name, so only a stray entry in files/ can be in the way.
    if (::faccessat(toDir, to, F_OK, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::renameat(fromDir, from, toDir, to) == 0;
}

// Writes the info file and renames the entry into files/, relative to the
// descriptors of its folder and of the trash.
bool MoveOne(const Located& at, const TrashFolder& trash, qsizetype index, TrashFailure& failure, QString& reason)
{
    const QByteArray path = at.Folder.EntryPath();
    QByteArray pathValue;
    if (trash.TopDir.isEmpty()) {
        pathValue = TrashInfoPathValue(path);
    } else {
        const QByteArray top = trash.TopDir.endsWith('/') ? trash.TopDir : trash.TopDir + '/';
        pathValue = TrashInfoPathValue(path.mid(top.size()));
    }
    const QByteArray text = InfoText(pathValue);
    const QByteArray& entryName = at.Folder.Name;

    bool hooked = false;
    for (int k = 1; k <= MaxClashes; ++k) {
        const QByteArray name = k == 1 ? entryName : entryName + '.' + QByteArray::number(k);
        const QByteArray infoName = name + ".trashinfo";
        const int fd = ::openat(trash.Info->Get(), infoName.constData(),
            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            failure = TrashFailure::Trash;
            reason = QStringLiteral("the info file cannot be made: %1").arg(Errno());
            return false;
        }
        const bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size();
        const bool closed = ::close(fd) == 0;
        if (!written || !closed) {
            failure = TrashFailure::Trash;
            reason = QStringLiteral("the info file cannot be written: %1").arg(Errno());
            ::unlinkat(trash.Info->Get(), infoName.constData(), 0);
            return false;
        }
        if (!hooked) {
            hooked = true;
            RunHook(TrashStep::BeforeRename, index);
        }
        if (RenameNoReplace(at.Folder.Fd(), entryName.constData(), trash.Files->Get(), name.constData())) {
            // What arrived must be what was checked: a swap in the moment
            // between the check and the rename is put back. The rename
            // itself sets the status change time, so that is not compared.
            ExpectedObject arrived = at.Expected;
            arrived.Changed = 0;
            if (CompareEntry(ReadObjectStateAt(trash.Files->Get(), name), arrived) == EntryVerdict::Same)
                return true;
            failure = TrashFailure::Changed;
            if (RenameNoReplace(trash.Files->Get(), name.constData(), at.Folder.Fd(), entryName.constData())) {
                ::unlinkat(trash.Info->Get(), infoName.constData(), 0);
                reason = QStringLiteral("another object was put in its place just before the move; it was put back");
            } else {
                reason = QStringLiteral("another object was put in its place just before the move; it is in %1 as %2")
                             .arg(Shown(trash.Path), Shown(name));
            }
            return false;
        }
        const int error = errno;
        ::unlinkat(trash.Info->Get(), infoName.constData(), 0);
        if (error == EEXIST || error == ENOTEMPTY)
            continue;
        if (error == ENOENT) {
            failure = TrashFailure::Gone;
            reason = QStringLiteral("it no longer exists");
            return false;
        }
        failure = TrashFailure::Trash;
        reason = error == EXDEV ? QStringLiteral("the trash is on another volume; it is not copied")
                                : QStringLiteral("the move into %1 failed: %2").arg(Shown(trash.Path),
                                      QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
    failure = TrashFailure::Trash;
    reason = QStringLiteral("too many entries of this name in the trash");
    return false;
}

class Preflight {
public:
    // The trash folder for entry (filling at), or null with failure and
    // reason set.
    const TrashFolder* Check(const TrashEntry& entry, Located& at, TrashFailure& failure, QString& reason)
    {
        if (!LocateEntry(entry, at, failure, reason))
            return nullptr;
        failure = TrashFailure::Trash;
        const TrashFolder* trash = TrashFor(at, reason);
        if (!trash)
            return nullptr;
        const QByteArray path = at.Folder.EntryPath();
        if (trash->Device != dev_t(at.Now.Id.Device)) {
            reason = QStringLiteral("the trash %1 is on another volume").arg(Shown(trash->Path));
            return nullptr;
        }
        if (trash->Path == path || trash->Path.startsWith(path + '/')) {
            reason = QStringLiteral("the trash %1 lies inside it").arg(Shown(trash->Path));
            return nullptr;
        }
        if (at.Folder.Name.size() + InfoSuffixLength > trash->NameMax) {
            failure = TrashFailure::Other;
            reason = QStringLiteral("its name is too long for the trash");
            return nullptr;
        }
        failure = TrashFailure::None;
        return trash;
    }

private:
    const TrashFolder* TrashFor(const Located& at, QString& reason)
    {
        if (!FHomeTried) {
            FHomeTried = true;
            const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
            struct stat st;
            // The data folder may not exist yet; its nearest ancestor tells the volume.
            QByteArray probe = NativePath(data);
            while (!probe.isEmpty() && ::stat(probe.constData(), &st) != 0)
                probe = probe.left(std::max<qsizetype>(probe.lastIndexOf('/'), 0));
            FHomeDevice = probe.isEmpty() ? dev_t(-1) : st.st_dev;
        }
        const bool home = dev_t(at.Now.Id.Device) == FHomeDevice;
        const QByteArray key = home ? QByteArray() : at.Folder.TopPath;
        std::shared_ptr<Slot>& slot = FTrash[key];
        if (!slot) {
            slot = std::make_shared<Slot>();
            slot->Ok = home ? OpenHomeTrash(slot->Folder, slot->Reason)
                            : OpenVolumeTrash(at.Folder.TopFd(), key, slot->Folder, slot->Reason);
        }
        if (!slot->Ok) {
            reason = slot->Reason;
            return nullptr;
        }
        return &slot->Folder;
    }

    struct Slot {
        bool Ok = false;
        TrashFolder Folder;
        QString Reason;
    };
    bool FHomeTried = false;
    dev_t FHomeDevice = 0;
    // Volume top ("" for the home trash) -> its trash; held by pointer, since
    // the operation keeps the folders' addresses.
    QHash<QByteArray, std::shared_ptr<Slot>> FTrash;
};

} // namespace

bool IsSameOrInside(const QString& path, const QString& dir)
{
    return path == dir || path.startsWith(dir == u"/" ? dir : dir + u'/');
}

TrashOutcome MoveToTrash(const QList<TrashEntry>& entries)
{
    TrashOutcome outcome;
    if (entries.isEmpty()) {
        outcome.Reason = QStringLiteral("nothing to move");
        return outcome;
    }

    Preflight preflight;
    QList<const TrashFolder*> trashOf;
    trashOf.reserve(entries.size());
    for (const TrashEntry& entry : entries) {
        Located at;
        const TrashFolder* trash = preflight.Check(entry, at, outcome.Failure, outcome.Reason);
        if (!trash) {
            outcome.FailedPath = entry.Path;
            return outcome;
        }
        trashOf.append(trash);
    }

    // A path inside a directory of the same operation (or a repeat of one)
    // goes to the trash with that directory; moving it on its own would fail
    // once the directory has gone.
    const bool anyDirectory = std::any_of(entries.begin(), entries.end(),
        [](const TrashEntry& e) { return e.Kind == TrashKind::Directory; });
    auto takenAlong = [&](qsizetype i) {
        const QString& path = entries[i].Path;
        for (qsizetype j = 0; j < entries.size(); ++j) {
            if (j == i || entries[j].Kind != TrashKind::Directory)
                continue;
            const QString& dir = entries[j].Path;
            if (path == dir ? j < i : IsSameOrInside(path, dir))
                return true;
        }
        return false;
    };

    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (anyDirectory && takenAlong(i)) {
            ++outcome.Moved;
            continue;
        }
        // Walked to and looked at again right before the move: the checks
        // above may be a while ago when the list is long, and what the
        // rename acts on is this walk's folder.
        RunHook(TrashStep::BeforeCheck, i);
        Located at;
        if (!LocateEntry(entries[i], at, outcome.Failure, outcome.Reason)
            || !MoveOne(at, *trashOf[i], i, outcome.Failure, outcome.Reason)) {
            outcome.FailedPath = entries[i].Path;
            return outcome;
        }
        ++outcome.Moved;
    }
    outcome.Complete = true;
    return outcome;
}

void SetTrashStepHook(std::function<void(TrashStep step, qsizetype index)> hook)
{
    StepHook() = std::move(hook);
}

} // namespace platform
