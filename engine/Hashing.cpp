// Content hashing: SHA-1 of every collected file whose size occurs twice.

#include "engine/ScanWindow.h"

#include "engine/ContentStages.h"
#include "engine/FolderSignature.h"
#include "engine/ScopeExit.h"

#include "i18n/translation.h"
#include "platform/core/FileSystem.h"

#include <QHash>
#include <QThread>

#include <openssl/evp.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <semaphore>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// 64 KiB per read: on this class of machine, 4 KiB reads halve the throughput.
constexpr size_t kReadBlock = 64 * 1024;

// Fetched once: an implicit fetch on every digest costs a lock and a look-up.
const EVP_MD* Sha1()
{
    static EVP_MD* md = EVP_MD_fetch(nullptr, "SHA1", nullptr);
    return md;
}

struct MdCtxFree {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};

[[noreturn]] void Fail(const QString& what, const QString& file, int err)
{
    throw ScanError(QStringLiteral("%1 \"%2\": %3").arg(what, file, QString::fromLocal8Bit(std::strerror(err))));
}

} // namespace

namespace {

// SHA-1 of everything an open regular file holds from its start. Throws
// ScanError, naming the file, when reading or the digest fails.
using BlockHook = std::function<void(qint64 offset)>;

Sha1Digest DigestOf(int fd, const QString& name, qint64 expectSize, const std::atomic<bool>* stop = nullptr,
    const BlockHook& blockRead = {})
{
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
    if (!ctx || !Sha1() || EVP_DigestInit_ex(ctx.get(), Sha1(), nullptr) != 1)
        throw ScanError(QStringLiteral("SHA-1 is not available"));
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kReadBlock]);
    qint64 total = 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.get(), kReadBlock);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            Fail(QStringLiteral("Cannot read file"), name, errno);
        }
        if (got == 0)
            break;
        if (stop && *stop)
            throw ScanError(QStringLiteral("Stopped"));
        if (blockRead)
            blockRead(total);
        total += got;
        if (EVP_DigestUpdate(ctx.get(), buffer.get(), size_t(got)) != 1)
            throw ScanError(QStringLiteral("SHA-1 digest failed"));
    }
    if (expectSize >= 0 && total != expectSize)
        throw ScanError(QStringLiteral("File changed during the scan: \"%1\"").arg(name));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    Sha1Digest sha1;
    if (EVP_DigestFinal_ex(ctx.get(), digest, &len) != 1 || len != sha1.size())
        throw ScanError(QStringLiteral("SHA-1 digest failed"));
    std::memcpy(sha1.data(), digest, sha1.size());
    return sha1;
}

// The digest of a collected file, read only when it is still the regular file
// collection saw (no link in its last component, same identity, size and
// times), and kept only when after the last read its path still names that
// file unchanged. False when it is not, cannot be read, or stop was seen
// between blocks.
bool DigestRecord(const TFileInfo& f, Sha1Digest& out, const std::atomic<bool>& stop,
    const std::function<void(const TFileInfo&, qint64)>& blockRead)
{
    const QByteArray path = f.NativePath();
    const int fd = platform::OpenFileNoFollow(path);
    if (fd < 0)
        return false;
    ScopeExit closer([fd] { ::close(fd); });
    if (!f.Matches(platform::ReadDescriptorState(fd)))
        return false;
    try {
        BlockHook hook;
        if (blockRead)
            hook = [&](qint64 offset) { blockRead(f, offset); };
        out = DigestOf(fd, QString(), f.Size, &stop, hook);
    } catch (const ScanError&) {
        return false;
    }
    return f.Matches(platform::ReadObjectState(path));
}

} // namespace

QString ScanWindow::HashFile(const QString& FileName)
{
    if (!platform::RegularFileExists(FileName))
        return QString();
    // O_NONBLOCK: should the path have become a FIFO since the test, opening it
    // must not hang; the descriptor is checked to be a regular file below.
    const int fd = ::open(platform::NativePath(FileName).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        Fail(QStringLiteral("Cannot open file"), FileName, errno);
    ScopeExit closer([fd] { ::close(fd); });
    struct stat st;
    if (::fstat(fd, &st) != 0)
        Fail(QStringLiteral("Cannot read file"), FileName, errno);
    if (!S_ISREG(st.st_mode))
        throw ScanError(QStringLiteral("Not a regular file: \"%1\"").arg(FileName));
    return DigestHex(DigestOf(fd, FileName, -1));
}

void ScanWindow::ComputeAllHashes()
{
    if (FFiles.empty())
        return;
    SetStatus(Translate(QStringLiteral("Computing SHA-1 hashes (size filtered)...")));
    PumpMessages();

    // Size classes: the files of each size in FFiles order, sizes in falling
    // order; a size that only one file has is no class.
    std::vector<std::pair<qint64, quint32>> bySize;
    bySize.reserve(FFiles.size());
    for (size_t i = 0; i < FFiles.size(); ++i) {
        if (FStopRequested)
            break;
        if (FFiles[i]->Size >= 1)
            bySize.emplace_back(FFiles[i]->Size, quint32(i));
    }
    std::sort(bySize.begin(), bySize.end(),
        [](const auto& a, const auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
    std::vector<TFileInfo*> hashTargets;
    std::vector<SizeClass> classes;
    for (size_t s = 0; s < bySize.size() && !FStopRequested;) {
        size_t e = s + 1;
        while (e < bySize.size() && bySize[e].first == bySize[s].first)
            ++e;
        if (e - s >= 2) {
            classes.push_back(SizeClass { hashTargets.size(), e - s });
            for (size_t k = s; k < e; ++k)
                hashTargets.push_back(FFiles[bySize[k].second]);
        }
        s = e;
    }
    std::vector<std::pair<qint64, quint32>>().swap(bySize);

    if (hashTargets.empty() || FStopRequested) {
        SetProgressPosition(0);
        return;
    }
    const int N = int(hashTargets.size());

    if (!ParallelHashChecked()) {
        SetProgressPosition(0);
        SetProgressMax(N);
        for (int i = 0; i < N; ++i) {
            if (FStopRequested)
                break;
            TFileInfo* f = hashTargets[size_t(i)];
            if (!f->HasContentHash()) {
                Sha1Digest d;
                if (DigestRecord(*f, d, FStopRequested, FContentOptions.BlockRead)) {
                    f->SetDigest(d);
                } else if (!FStopRequested) {
                    f->ClearContentHash(); // an unreadable file takes part in no group
                    FSkips.Add(SkipKind::FileUnreadable, f->NativePath());
                }
            }
            SetProgressPosition(i + 1);
            if (i % 10 == 0 || i == N - 1) {
                SetStatus(TrFill(QStringLiteral("Computing SHA-1 hashes (size filtered)... %d / %d"), { i + 1, N }));
                PumpMessages();
            }
        }
    } else {
        std::atomic<int> settled { 0 };
        SetProgressStyleMarquee(false);
        SetProgressMin(0);
        SetProgressMax(N);
        SetProgressPosition(0);

        ContentOptions options = FContentOptions;
        if (options.Threads < 1)
            options.Threads = std::max(1, QThread::idealThreadCount());
        SkipReport skips;
        RunOffThread([&] { SettleContents(hashTargets, classes, options, FStopRequested, settled, skips); },
            [&] {
                const int done = settled;
                SetProgressPosition(done);
                SetStatus(TrFill(FStopRequested ? QStringLiteral("Stopping SHA-1 hashing... %d / %d")
                                                : QStringLiteral("Computing SHA-1 hashes (size filtered)... %d / %d"),
                    { done, N }));
            });
        FSkips.Merge(skips);
        SetProgressPosition(settled);
    }
    // The comparison's working memory goes before the rows take theirs.
    std::vector<TFileInfo*>().swap(hashTargets);
    std::vector<SizeClass>().swap(classes);
    platform::ReleaseFreeMemory();
    SetProgressPosition(0);
}
