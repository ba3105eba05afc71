// Content hashing: SHA-1 of every collected file whose size occurs twice.

#include "engine/ScanWindow.h"

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
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
    if (!ctx || !Sha1() || EVP_DigestInit_ex(ctx.get(), Sha1(), nullptr) != 1)
        throw ScanError(QStringLiteral("SHA-1 is not available"));

    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kReadBlock]);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.get(), kReadBlock);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            Fail(QStringLiteral("Cannot read file"), FileName, errno);
        }
        if (got == 0)
            break;
        if (EVP_DigestUpdate(ctx.get(), buffer.get(), size_t(got)) != 1)
            throw ScanError(QStringLiteral("SHA-1 digest failed"));
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest, &len) != 1 || len != sizeof(FolderDigest))
        throw ScanError(QStringLiteral("SHA-1 digest failed"));
    FolderDigest sha1;
    std::memcpy(sha1.data(), digest, sha1.size());
    return DigestHex(sha1);
}

void ScanWindow::ComputeAllHashes()
{
    if (FFiles.empty())
        return;
    SetStatus(Translate(QStringLiteral("Computing SHA-1 hashes (size filtered)...")));
    PumpMessages();

    QHash<qint64, QList<TFileInfo*>> bySize;
    for (const auto& f : FFiles) {
        if (FStopRequested)
            break;
        if (f->Size < 1)
            continue;
        bySize[f->Size].append(f.get());
    }

    // Sizes in falling order: the workers claim files one at a time, and the
    // largest files first leave the small ones to even out the end.
    QList<qint64> sizes;
    for (auto it = bySize.cbegin(); it != bySize.cend(); ++it) {
        if (FStopRequested)
            break;
        if (it.value().size() >= 2)
            sizes.append(it.key());
    }
    std::sort(sizes.begin(), sizes.end(), std::greater<qint64>());
    std::vector<TFileInfo*> hashTargets;
    for (qint64 s : sizes) {
        const QList<TFileInfo*>& list = bySize[s];
        hashTargets.insert(hashTargets.end(), list.begin(), list.end());
    }

    if (hashTargets.empty() || FStopRequested) {
        SetProgressPosition(0);
        return;
    }
    const int N = int(hashTargets.size());

    auto hashOne = [](TFileInfo* f) {
        if (!f->ContentHash.isEmpty())
            return;
        try {
            f->ContentHash = HashFile(f->FullPath);
        } catch (...) {
            f->ContentHash.clear(); // an unreadable file takes part in no group
        }
    };

    if (!ParallelHashChecked()) {
        SetProgressPosition(0);
        SetProgressMax(N);
        for (int i = 0; i < N; ++i) {
            if (FStopRequested)
                break;
            hashOne(hashTargets[size_t(i)]);
            SetProgressPosition(i + 1);
            if (i % 10 == 0 || i == N - 1) {
                SetStatus(TrFill(QStringLiteral("Computing SHA-1 hashes (size filtered)... %d / %d"), { i + 1, N }));
                PumpMessages();
            }
        }
    } else {
        std::atomic<int> completedCount { 0 };
        std::atomic<int> nextIndex { -1 };
        std::atomic<int> running { 0 };
        // Raised by each worker as it ends, so the wait below ends with the
        // last worker instead of sleeping out its 30 milliseconds.
        std::counting_semaphore<> ended { 0 };
        std::atomic<bool> abandon { false };
        SetProgressStyleMarquee(false);
        SetProgressMin(0);
        SetProgressMax(N);
        SetProgressPosition(0);

        int T = QThread::idealThreadCount();
        if (T < 1)
            T = 1;
        {
            std::vector<std::jthread> workers;
            // On every way out (an error starting a worker or while pumping
            // included) the workers are told to end before they are joined;
            // on the normal way they have ended already.
            ScopeExit guard([&abandon] { abandon = true; });
            workers.reserve(size_t(T));
            for (int t = 0; t < T; ++t) {
                ++running;
                try {
                    workers.emplace_back([&] {
                        for (;;) {
                            if (FStopRequested || abandon)
                                break;
                            const int index = ++nextIndex;
                            if (index >= N)
                                break;
                            hashOne(hashTargets[size_t(index)]);
                            ++completedCount;
                        }
                        --running;
                        ended.release();
                    });
                } catch (...) {
                    --running;
                    throw;
                }
            }

            for (;;) {
                const int done = completedCount;
                SetProgressPosition(done);
                SetStatus(TrFill(FStopRequested ? QStringLiteral("Stopping SHA-1 hashing... %d / %d")
                                                : QStringLiteral("Computing SHA-1 hashes (size filtered)... %d / %d"),
                    { done, N }));
                PumpMessages();
                if (running == 0)
                    break;
                (void)ended.try_acquire_for(std::chrono::milliseconds(30));
            }
        } // the workers are joined here
        SetProgressPosition(completedCount);
    }
    SetProgressPosition(0);
}
