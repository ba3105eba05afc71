#include "platform/core/Trash.h"

#include "platform/core/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <QStorageInfo>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// The longest suffix QFile::moveToTrash adds to a name in info/: a counter on
// a name clash and the extension ("-0001.trashinfo").
constexpr int InfoSuffixLength = 15;

bool LStat(const QString& path, struct stat& st)
{
    return ::lstat(NativePath(path).constData(), &st) == 0;
}

// Makes dir when it is missing; true when a directory is there afterwards.
// Links are followed, as QFile::moveToTrash follows them.
bool EnsureDirectory(const QString& dir)
{
    const QByteArray native = NativePath(dir);
    if (::mkdir(native.constData(), 0700) == 0)
        return true;
    struct stat st;
    return ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsWritableDirectory(const QString& dir)
{
    return EnsureDirectory(dir) && ::access(NativePath(dir).constData(), W_OK | X_OK) == 0;
}

// The trash that QFile::moveToTrash takes for an object on the volume source,
// made ready; the empty text (and reason) when it cannot be had.
QString PrepareTrashFolder(const QStorageInfo& source, QString& reason)
{
    QString trash;
    if (source != QStorageInfo(QDir::home())) {
        const QString top = source.rootPath();
        const QString uid = QString::number(::getuid());
        const QString shared = QDir::cleanPath(top + QStringLiteral("/.Trash"));
        struct stat st;
        if (LStat(shared, st) && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) && EnsureDirectory(shared + u'/' + uid))
            trash = shared + u'/' + uid;
        else if (const QString own = QDir::cleanPath(top + QStringLiteral("/.Trash-") + uid); EnsureDirectory(own))
            trash = own;
    }
    if (trash.isEmpty()) {
        // Qt makes Trash but not the folders above it, and falls back to the
        // working folder when it cannot.
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QDir().mkpath(data);
        trash = QDir::cleanPath(data + QStringLiteral("/Trash"));
        if (!EnsureDirectory(trash)) {
            reason = QStringLiteral("the trash folder %1 cannot be made").arg(trash);
            return QString();
        }
    }
    for (const QString& sub : { QStringLiteral("files"), QStringLiteral("info") }) {
        if (!IsWritableDirectory(trash + u'/' + sub)) {
            reason = QStringLiteral("%1/%2 is not a writable folder").arg(trash, sub);
            return QString();
        }
    }
    if (QStorageInfo(trash) != source) {
        // The move is a rename; Qt does not copy across volumes.
        reason = QStringLiteral("the trash %1 is on another volume").arg(trash);
        return QString();
    }
    return trash;
}

class Preflight {
public:
    // The trash folder for entry, or the empty text with reason set.
    QString Check(const TrashEntry& entry, QString& reason)
    {
        const QString& path = entry.Path;
        if (!QDir::isAbsolutePath(path) || QDir::cleanPath(path) != path || path == u"/") {
            reason = QStringLiteral("not an absolute, clean path of an entry");
            return QString();
        }
        struct stat st;
        if (!LStat(path, st)) {
            reason = QStringLiteral("it no longer exists");
            return QString();
        }
        const QStorageInfo volume(path);
        if (entry.Kind == TrashKind::RegularFile) {
            if (!S_ISREG(st.st_mode)) {
                reason = QStringLiteral("it is no longer a regular file");
                return QString();
            }
            if (entry.Size >= 0 && qint64(st.st_size) != entry.Size) {
                reason = QStringLiteral("its size changed from %1 to %2 bytes").arg(entry.Size).arg(qint64(st.st_size));
                return QString();
            }
        } else {
            if (!S_ISDIR(st.st_mode)) {
                reason = QStringLiteral("it is no longer a directory");
                return QString();
            }
            if (QDir::cleanPath(volume.rootPath()) == path) {
                reason = QStringLiteral("it is the top folder of a volume");
                return QString();
            }
        }

        const QString root = volume.rootPath();
        auto known = FTrashByVolume.constFind(root);
        if (known == FTrashByVolume.cend())
            known = FTrashByVolume.insert(root, PrepareTrashFolder(volume, FTrashReason[root]));
        const QString trash = *known;
        if (trash.isEmpty()) {
            reason = FTrashReason.value(root);
            return QString();
        }
        if (IsSameOrInside(trash, path)) {
            reason = QStringLiteral("the trash %1 lies inside it").arg(trash);
            return QString();
        }
        const long nameMax = ::pathconf(NativePath(trash + QStringLiteral("/info")).constData(), _PC_NAME_MAX);
        const qsizetype nameLength = NativePath(QFileInfo(path).fileName()).size();
        if (nameMax > 0 && nameLength + InfoSuffixLength > nameMax) {
            reason = QStringLiteral("its name is too long for the trash");
            return QString();
        }
        return trash;
    }

private:
    QHash<QString, QString> FTrashByVolume; // volume root -> trash folder ("" when unusable)
    QHash<QString, QString> FTrashReason;
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
    QStringList trashOf;
    trashOf.reserve(entries.size());
    for (const TrashEntry& entry : entries) {
        const QString trash = preflight.Check(entry, outcome.Reason);
        if (trash.isEmpty()) {
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
        const QString& path = entries[i].Path;
        if (anyDirectory && takenAlong(i)) {
            ++outcome.Moved;
            continue;
        }
        QString where;
        if (!QFile::moveToTrash(path, &where)) {
            outcome.FailedPath = path;
            outcome.Reason = QStringLiteral("the move to the trash failed");
            return outcome;
        }
        if (QFileInfo(where).absolutePath() != trashOf[i] + QStringLiteral("/files")) {
            // Moved, but not where it can be restored from; stop before more go.
            outcome.FailedPath = path;
            outcome.Reason = QStringLiteral("it was moved to %1 instead of the trash").arg(where);
            return outcome;
        }
        ++outcome.Moved;
    }
    outcome.Complete = true;
    return outcome;
}

} // namespace platform
