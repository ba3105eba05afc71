#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <string>
#include <vector>
#include <dirent.h>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const char* what, const QString& path, int err = 0)
{
    qFatal("TestDir: cannot %s %s%s%s", what, qPrintable(path), err ? ": " : "", err ? std::strerror(err) : "");
}

int RemoveEntry(const char* p, const struct stat*, int type, struct FTW*)
{
    if (type == FTW_DP || type == FTW_DNR)
        ::rmdir(p);
    else
        ::unlink(p);
    return 0;
}

// Opens a folder that a test closed (chmod 000), so the walk can empty it.
int OpenUp(const char* p, const struct stat*, int type, struct FTW*)
{
    if (type == FTW_DNR)
        ::chmod(p, 0700);
    return 0;
}

// mkdir -p on native bytes, so that parents named in invalid UTF-8 are not
// turned into other names on the way.
void MakeNativeParents(const QByteArray& path, int from)
{
    for (int i = path.indexOf('/', from + 1); i > 0; i = path.indexOf('/', i + 1))
        ::mkdir(path.left(i).constData(), 0755);
}

// Removes what a folder holds, relative to its descriptor, so that trees
// deeper than the longest path the system accepts go too.
void EmptyAt(int dirFd)
{
    DIR* d = ::fdopendir(::dup(dirFd));
    if (!d)
        return;
    std::vector<std::string> names;
    while (dirent* de = ::readdir(d))
        if (std::strcmp(de->d_name, ".") != 0 && std::strcmp(de->d_name, "..") != 0)
            names.emplace_back(de->d_name);
    ::closedir(d);
    for (const std::string& n : names) {
        struct stat st;
        if (::fstatat(dirFd, n.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
            ::fchmodat(dirFd, n.c_str(), 0700, 0);
            const int sub = ::openat(dirFd, n.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0) {
                EmptyAt(sub);
                ::close(sub);
            }
            ::unlinkat(dirFd, n.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(dirFd, n.c_str(), 0);
        }
    }
}

} // namespace

TestDir::TestDir()
{
    if (!FDir.isValid())
        Fail("create a temporary folder", FDir.errorString());
    FDir.setAutoRemove(false);
}

TestDir::~TestDir()
{
    const QByteArray root = nativePath();
    ::chmod(root.constData(), 0700);
    // Each pass opens one more level of closed folders.
    for (int pass = 0; pass < 8; ++pass)
        ::nftw(root.constData(), OpenUp, 16, FTW_PHYS);
    ::nftw(root.constData(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    // What the walk could not reach (past the longest path) goes this way.
    const int fd = ::open(root.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        EmptyAt(fd);
        ::close(fd);
        ::rmdir(root.constData());
    }
}

QByteArray TestDir::createDeepChain(const QString& rel, int depth, const QByteArray& fileName, const QByteArray& content)
{
    const QString top = createDir(rel);
    int fd = ::open(QFile::encodeName(top).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        Fail("open", top, errno);
    QByteArray path = QFile::encodeName(top);
    for (int i = 0; i < depth; ++i) {
        if (::mkdirat(fd, "d", 0755) != 0 && errno != EEXIST)
            Fail("create a level of", top, errno);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        if (next < 0)
            Fail("open a level of", top, errno);
        fd = next;
        path += "/d";
    }
    const int f = ::openat(fd, fileName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written = f >= 0 && ::write(f, content.constData(), size_t(content.size())) == content.size();
    if (f >= 0)
        ::close(f);
    ::close(fd);
    if (!written)
        Fail("write the file at the bottom of", top);
    return path + '/' + fileName;
}

QString TestDir::path() const
{
    return QDir::cleanPath(FDir.path());
}

QString TestDir::path(const QString& rel) const
{
    return rel.isEmpty() ? path() : path() + QLatin1Char('/') + rel;
}

QString TestDir::folder(const QString& rel) const
{
    QString p = path(rel);
    if (!p.endsWith(QLatin1Char('/')))
        p += QLatin1Char('/');
    return p;
}

QByteArray TestDir::nativePath() const
{
    return QFile::encodeName(path());
}

void TestDir::makeParent(const QString& rel)
{
    const QString parent = QFileInfo(path(rel)).path();
    if (!QDir().mkpath(parent))
        Fail("create folder", parent);
}

QString TestDir::createFile(const QString& rel, const QByteArray& content)
{
    makeParent(rel);
    const QString p = path(rel);
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        Fail("write", p);
    return p;
}

QString TestDir::createFile(const QString& rel, qint64 size, char fill)
{
    makeParent(rel);
    const QString p = path(rel);
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        Fail("write", p);
    const QByteArray chunk(int(qMin<qint64>(size, 1 << 20)), fill);
    for (qint64 left = size; left > 0;) {
        const qint64 n = qMin<qint64>(left, chunk.size());
        if (f.write(chunk.constData(), n) != n)
            Fail("write", p);
        left -= n;
    }
    return p;
}

QString TestDir::createSparseFile(const QString& rel, qint64 size)
{
    makeParent(rel);
    const QString p = path(rel);
    const int fd = ::open(QFile::encodeName(p).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        Fail("create", p, errno);
    const int rc = ::ftruncate(fd, size);
    const int err = errno;
    ::close(fd);
    if (rc != 0)
        Fail("size", p, err);
    return p;
}

QString TestDir::createDir(const QString& rel)
{
    const QString p = path(rel);
    if (!QDir().mkpath(p))
        Fail("create folder", p);
    return p;
}

QString TestDir::createLink(const QString& target, const QString& rel)
{
    makeParent(rel);
    const QString p = path(rel);
    if (::symlink(QFile::encodeName(target).constData(), QFile::encodeName(p).constData()) != 0)
        Fail("create link", p, errno);
    return p;
}

QString TestDir::createHardLink(const QString& existingRel, const QString& rel)
{
    makeParent(rel);
    const QString p = path(rel);
    if (::link(QFile::encodeName(path(existingRel)).constData(), QFile::encodeName(p).constData()) != 0)
        Fail("create hard link", p, errno);
    return p;
}

QString TestDir::createFifo(const QString& rel)
{
    makeParent(rel);
    const QString p = path(rel);
    if (::mkfifo(QFile::encodeName(p).constData(), 0644) != 0)
        Fail("create FIFO", p, errno);
    return p;
}

QByteArray TestDir::createRawFile(const QByteArray& relNative, const QByteArray& content)
{
    const QByteArray p = nativePath() + '/' + relNative;
    MakeNativeParents(p, int(nativePath().size()));
    const int fd = ::open(p.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        Fail("create", QString::fromLatin1(p.toPercentEncoding("/")), errno);
    const ssize_t n = ::write(fd, content.constData(), size_t(content.size()));
    ::close(fd);
    if (n != content.size())
        Fail("write", QString::fromLatin1(p.toPercentEncoding("/")));
    return p;
}

QByteArray TestDir::createRawDir(const QByteArray& relNative)
{
    const QByteArray p = nativePath() + '/' + relNative;
    MakeNativeParents(p, int(nativePath().size()));
    if (::mkdir(p.constData(), 0755) != 0 && errno != EEXIST)
        Fail("create folder", QString::fromLatin1(p.toPercentEncoding("/")), errno);
    return p;
}

bool TestDir::remove(const QString& rel)
{
    const QString p = path(rel);
    const QFileInfo fi(p);
    if (fi.isDir() && !fi.isSymLink())
        return QDir(p).removeRecursively();
    QFile::remove(p);
    return !QFileInfo::exists(p) && !QFileInfo(p).isSymLink();
}
