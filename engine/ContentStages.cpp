#include "engine/ContentStages.h"

#include "engine/ScopeExit.h"
#include "platform/core/FileSystem.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <openssl/evp.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <numeric>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// A class of small files is settled in one piece, its contents held in
// memory, when they take at most this much.
constexpr size_t kSmallClassBytes = 256 * 1024;
// Files whose heads or tails one piece of work reads.
constexpr size_t kChunkFiles = 256;
// Memory for the blocks of one side-by-side comparison.
constexpr size_t kLockstepBudget = 4 * 1024 * 1024;
// Larger classes of files no longer than the head block are held in memory
// whole while their heads are read, within this much for all of them: their
// head is their whole content, so they are settled from it without a second
// open (on many tiny files the opens are the run).
constexpr size_t kHeldBudget = 32 * 1024 * 1024;
// Descriptors left for everything else while the stages run.
constexpr size_t kDescriptorReserve = 32;
// How long a full descriptor table is waited out before a file is given up.
constexpr int kFullTableWaits = 400; // of 5 ms

const EVP_MD* Sha1()
{
    static EVP_MD* md = EVP_MD_fetch(nullptr, "SHA1", nullptr);
    return md;
}

struct CtxFree {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
using Ctx = std::unique_ptr<EVP_MD_CTX, CtxFree>;

struct Fd {
    int Value = -1;
    Fd() = default;
    explicit Fd(int v)
        : Value(v)
    {
    }
    Fd(Fd&& o) noexcept
        : Value(std::exchange(o.Value, -1))
    {
    }
    Fd& operator=(Fd&& o) noexcept
    {
        Reset();
        Value = std::exchange(o.Value, -1);
        return *this;
    }
    ~Fd() { Reset(); }
    void Reset()
    {
        if (Value >= 0)
            ::close(Value);
        Value = -1;
    }
};

// What one worker keeps between pieces of work: its buffer, and the folder
// of the last file it opened, so that the next file of that folder is opened
// relative to it instead of by its whole path.
struct Worker {
    std::vector<char> Buffer;
    const QByteArray* Folder = nullptr;
    Fd FolderFd;
};

class Run {
public:
    Run(const std::vector<TFileInfo*>& files, const ContentOptions& options, const std::atomic<bool>& stop,
        std::atomic<int>& settled, SkipReport& skips)
        : FFiles(files)
        , FOptions(options)
        , FStop(stop)
        , FSettled(settled)
        , FSkips(skips)
        , FSplit(files.size())
        , FFailed(files.size())
    {
        FThreads = options.Threads >= 1 ? options.Threads : std::max(1, int(std::thread::hardware_concurrency()));
        FOpenBound = options.OpenBound;
        if (FOpenBound == 0) {
            // Each worker holds at most its share; a share below two reads
            // every set one file at a time.
            const size_t free = size_t(platform::FreeDescriptors(0));
            const size_t reserve = std::min(kDescriptorReserve, free / 4);
            FOpenBound = std::min<size_t>((free - reserve) / size_t(FThreads), 128);
        }
    }

    void Go(const std::vector<SizeClass>& classes)
    {
        // Heads: small classes are settled whole; the others get a head digest.
        std::vector<Item> heads;
        std::vector<SizeClass> split;
        size_t held = 0;
        for (const SizeClass& c : classes) {
            const qint64 size = FFiles[c.First]->Size;
            const size_t bytes = size_t(size) * c.Count;
            if (size_t(size) <= FOptions.HeadBlock && bytes <= kSmallClassBytes) {
                heads.push_back(Item { Kind::SmallClass, c.First, c.Count, Cost(size, c.Count) });
            } else if (size_t(size) <= FOptions.HeadBlock && held + bytes <= kHeldBudget) {
                held += bytes;
                FHeld.push_back(Held { c, std::make_unique_for_overwrite<char[]>(bytes) });
                for (size_t i = 0; i < c.Count; i += kChunkFiles)
                    heads.push_back(Item { Kind::HeldHeads, c.First + i, std::min(kChunkFiles, c.Count - i),
                        Cost(size, std::min(kChunkFiles, c.Count - i)), FHeld.size() - 1 });
            } else {
                split.push_back(c);
                for (size_t i = 0; i < c.Count; i += kChunkFiles)
                    heads.push_back(Item { Kind::Heads, c.First + i, std::min(kChunkFiles, c.Count - i),
                        Cost(std::min<qint64>(size, qint64(FOptions.HeadBlock)), c.Count) });
            }
        }
        Stage(0);
        RunItems(heads);
        if (FStop)
            return;
        std::vector<Item> sorts;
        for (size_t h = 0; h < FHeld.size(); ++h)
            sorts.push_back(Item { Kind::HeldSort, h, 0, qint64(FHeld[h].Class.Count) });
        RunItems(sorts);
        FHeld.clear();
        if (FStop)
            return;

        // Tails, for the sets the heads left whose files go past the head.
        std::vector<std::vector<size_t>> sets;
        SplitBy(split, sets);
        std::vector<std::vector<size_t>> whole;
        std::vector<size_t> tailFiles;
        std::vector<std::vector<size_t>> tailSets;
        for (auto& s : sets) {
            if (size_t(FFiles[s.front()]->Size) <= FOptions.HeadBlock) {
                whole.push_back(std::move(s));
            } else {
                tailFiles.insert(tailFiles.end(), s.begin(), s.end());
                tailSets.push_back(std::move(s));
            }
        }
        std::vector<Item> tails;
        for (size_t i = 0; i < tailFiles.size(); i += kChunkFiles)
            tails.push_back(Item { Kind::Tails, i, std::min(kChunkFiles, tailFiles.size() - i), 0 });
        FTailFiles = &tailFiles;
        Stage(1);
        RunItems(tails);
        if (FStop)
            return;
        for (auto& s : tailSets)
            SplitSet(s, whole);

        // The whole content, side by side, largest sets first. A set too large
        // to hold open falls back to one SHA-1 per file.
        std::vector<Item> rest;
        FSets = &whole;
        for (size_t i = 0; i < whole.size(); ++i) {
            const std::vector<size_t>& s = whole[i];
            const qint64 size = FFiles[s.front()]->Size;
            if (s.size() <= FOpenBound) {
                rest.push_back(Item { Kind::Lockstep, i, s.size(), Cost(size, s.size()) });
            } else {
                for (size_t k = 0; k < s.size(); ++k)
                    rest.push_back(Item { Kind::HashOne, i, k, Cost(size, 1) });
            }
        }
        Stage(2);
        RunItems(rest);
        // Also after a stop: the files hashed whole so far are settled.
        for (const std::vector<size_t>& s : whole)
            if (s.size() > FOpenBound)
                KeepSharedDigests(s);
    }

private:
    enum class Kind { SmallClass, Heads, HeldHeads, HeldSort, Tails, Lockstep, HashOne };
    struct Item {
        Kind What;
        size_t A = 0; // first file, first tail file, set or held class
        size_t B = 0; // count, or the file within the set
        qint64 Cost = 0;
        size_t C = 0; // the held class of held heads
    };
    // A class of small files whose contents are held while the heads are read.
    struct Held {
        SizeClass Class;
        std::unique_ptr<char[]> Bytes; // Count contents of the class's Size
    };

    void Stage(int stage)
    {
        if (FOptions.StageStarted)
            FOptions.StageStarted(stage);
    }

    static qint64 Cost(qint64 bytes, size_t files) { return bytes * qint64(files) + 4096 * qint64(files); }

    void RunItems(std::vector<Item>& items)
    {
        if (items.empty())
            return;
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.Cost > b.Cost; });
        std::atomic<size_t> next { 0 };
        auto work = [&] {
            Worker worker;
            for (;;) {
                if (FStop)
                    return;
                const size_t i = next.fetch_add(1);
                if (i >= items.size())
                    return;
                Do(items[i], worker);
            }
        };
        const int n = int(std::min<size_t>(size_t(FThreads), items.size()));
        std::vector<std::jthread> workers;
        workers.reserve(size_t(n));
        for (int t = 1; t < n; ++t)
            workers.emplace_back(work);
        work();
    }

    void Do(const Item& item, Worker& w)
    {
        std::vector<char>& buffer = w.Buffer;
        switch (item.What) {
        case Kind::SmallClass:
            SettleSmallClass(item.A, item.B, w);
            break;
        case Kind::Heads:
            for (size_t i = item.A; i < item.A + item.B && !FStop; ++i)
                ReadSplit(i, 0, w);
            break;
        case Kind::HeldHeads: {
            const Held& h = FHeld[item.C];
            const size_t size = size_t(FFiles[h.Class.First]->Size);
            for (size_t i = item.A; i < item.A + item.B && !FStop; ++i) {
                if (!ReadWhole(i, h.Bytes.get() + size * (i - h.Class.First), size, &w)) {
                    FFailed[i] = true;
                    Fail(i);
                }
            }
            break;
        }
        case Kind::HeldSort: {
            const Held& h = FHeld[item.A];
            std::vector<size_t> read;
            for (size_t i = h.Class.First; i < h.Class.First + h.Class.Count; ++i)
                if (!FFailed[i])
                    read.push_back(i);
            SettleEqualRuns(read, h.Class.First, size_t(FFiles[h.Class.First]->Size), h.Bytes.get());
            break;
        }
        case Kind::Tails:
            for (size_t k = item.A; k < item.A + item.B && !FStop; ++k) {
                const size_t i = (*FTailFiles)[k];
                const qint64 size = FFiles[i]->Size;
                ReadSplit(i, std::max<qint64>(qint64(FOptions.HeadBlock), size - qint64(FOptions.HeadBlock)), w);
            }
            break;
        case Kind::Lockstep:
            Lockstep((*FSets)[item.A], buffer);
            break;
        case Kind::HashOne:
            HashWhole((*FSets)[item.A][item.B], buffer);
            break;
        }
    }

    // ---- reading

    // Opens file i as collection saw it: a regular file, no link in its last
    // component, of its recorded identity, size and times. A full descriptor
    // table is waited out (other workers close theirs) unless wait is false;
    // errno tells EMFILE and ENFILE from the rest.
    // With w, the file is opened relative to its folder, which w keeps open.
    Fd Open(size_t i, bool wait = true, Worker* w = nullptr) const
    {
        const TFileInfo& f = *FFiles[i];
        auto once = [&] {
            if (w && w->Folder != &f.NativeFolder()) {
                w->Folder = &f.NativeFolder();
                // A stored prefix may share its bytes with a longer one: the
                // copy ends where it does.
                const QByteArray folder(f.NativeFolder().constData(), f.NativeFolder().size());
                w->FolderFd = Fd(platform::OpenDirectoryPath(folder));
            }
            char name[NAME_MAX + 1];
            if (w && w->FolderFd.Value >= 0 && size_t(f.NativeName().size()) <= NAME_MAX) {
                std::memcpy(name, f.NativeName().data(), size_t(f.NativeName().size()));
                name[f.NativeName().size()] = 0;
                return Fd(::openat(w->FolderFd.Value, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
            }
            return Fd(platform::OpenFileNoFollow(f.NativePath()));
        };
        Fd fd = once();
        for (int k = 0; wait && fd.Value < 0 && (errno == EMFILE || errno == ENFILE) && k < kFullTableWaits && !FStop;
             ++k) {
            if (w) { // the folder's descriptor goes first
                w->Folder = nullptr;
                w->FolderFd.Reset();
                w = nullptr;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            fd = once();
        }
        if (fd.Value < 0)
            return fd;
        if (!f.Matches(platform::ReadDescriptorState(fd.Value))) {
            fd.Reset();
            errno = ESTALE;
        }
        return fd;
    }

    // True when, after its last read, file i's path still names the file
    // that was opened, unchanged: no rename over it, no link in its place, no
    // write (the change time cannot be set back, unlike the modification
    // time), checked without following a last link.
    bool StillAsListed(size_t i) const
    {
        const TFileInfo& f = *FFiles[i];
        return f.Matches(platform::ReadObjectState(f.NativePath()));
    }

    void BlockRead(size_t i, qint64 offset) const
    {
        if (FOptions.BlockRead)
            FOptions.BlockRead(*FFiles[i], offset);
    }

    // The whole content of a file no longer than the head block, read in one
    // call that also shows nothing follows it; false when it cannot be read.
    bool ReadWhole(size_t i, char* out, size_t size, Worker* w)
    {
        Fd fd = Open(i, true, w);
        if (fd.Value < 0)
            return false;
        // Asking for one byte more shows in the same call that the file has
        // not grown; a short answer is read on and checked for its end.
        char more[1];
        struct iovec parts[2] = { { out, size }, { more, 1 } };
        ssize_t got;
        do
            got = ::preadv(fd.Value, parts, 2, 0);
        while (got < 0 && errno == EINTR);
        if (got < 0 || size_t(got) > size)
            return false;
        if (size_t(got) < size
            && (!ReadAt(fd.Value, out + got, size - size_t(got), got) || !EndsAt(fd.Value, qint64(size))))
            return false;
        BlockRead(i, 0);
        return true;
    }

    // Reads exactly length bytes at offset; false on an error or a short file.
    static bool ReadAt(int fd, char* out, size_t length, qint64 offset)
    {
        while (length > 0) {
            const ssize_t got = ::pread(fd, out, length, offset);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            out += got;
            length -= size_t(got);
            offset += got;
        }
        return true;
    }

    // True when nothing follows the recorded size: the file has not grown.
    static bool EndsAt(int fd, qint64 size)
    {
        char c;
        for (;;) {
            const ssize_t got = ::pread(fd, &c, 1, size);
            if (got < 0 && errno == EINTR)
                continue;
            return got == 0;
        }
    }

    void Settle(size_t count = 1) { FSettled.fetch_add(int(count), std::memory_order_relaxed); }

    void Fail(size_t i)
    {
        FFiles[i]->ClearContentHash();
        {
            std::lock_guard lock(FSkipsLock);
            FSkips.Add(SkipKind::FileUnreadable, FFiles[i]->NativePath());
        }
        Settle();
    }

    void ReadSplit(size_t i, qint64 offset, Worker& w)
    {
        std::vector<char>& buffer = w.Buffer;
        const qint64 size = FFiles[i]->Size;
        const size_t length = size_t(std::min<qint64>(qint64(FOptions.HeadBlock), size - offset));
        buffer.resize(std::max(buffer.size(), length));
        Fd fd = Open(i, true, &w);
        // Only the block is wanted: no read-ahead past it from a cold disk.
        if (fd.Value >= 0 && size > qint64(FOptions.HeadBlock))
            ::posix_fadvise(fd.Value, 0, 0, POSIX_FADV_RANDOM);
        if (fd.Value < 0 || !ReadAt(fd.Value, buffer.data(), length, offset)) {
            FFailed[i] = true;
            Fail(i);
            return;
        }
        BlockRead(i, offset);
        FSplit[i] = FOptions.SameSplitDigests ? XXH128_hash_t { 0, 0 } : XXH3_128bits(buffer.data(), length);
    }

    // ---- splitting

    // Sets of the classes' files whose split digests are equal (two or more,
    // in FFiles order); a file alone is settled without a digest.
    void SplitBy(const std::vector<SizeClass>& classes, std::vector<std::vector<size_t>>& sets)
    {
        for (const SizeClass& c : classes) {
            std::vector<size_t> members(c.Count);
            std::iota(members.begin(), members.end(), c.First);
            SplitSet(members, sets);
        }
    }

    void SplitSet(std::vector<size_t>& members, std::vector<std::vector<size_t>>& sets)
    {
        std::erase_if(members, [this](size_t i) { return FFailed[i]; });
        std::stable_sort(members.begin(), members.end(), [this](size_t a, size_t b) {
            const XXH128_hash_t& x = FSplit[a];
            const XXH128_hash_t& y = FSplit[b];
            return x.high64 != y.high64 ? x.high64 < y.high64 : x.low64 < y.low64;
        });
        for (size_t s = 0; s < members.size();) {
            size_t e = s + 1;
            while (e < members.size() && XXH128_isEqual(FSplit[members[e]], FSplit[members[s]]))
                ++e;
            if (e - s == 1) {
                Settle();
            } else {
                std::vector<size_t> set(members.begin() + qsizetype(s), members.begin() + qsizetype(e));
                std::sort(set.begin(), set.end());
                sets.push_back(std::move(set));
            }
            s = e;
        }
    }

    // ---- settling

    static bool Digest(EVP_MD_CTX* ctx, Sha1Digest& out)
    {
        unsigned int len = 0;
        unsigned char d[EVP_MAX_MD_SIZE];
        if (EVP_DigestFinal_ex(ctx, d, &len) != 1 || len != out.size())
            return false;
        std::memcpy(out.data(), d, out.size());
        return true;
    }

    static Ctx NewCtx()
    {
        Ctx c(EVP_MD_CTX_new());
        if (!c || !Sha1() || EVP_DigestInit_ex(c.get(), Sha1(), nullptr) != 1)
            return Ctx();
        return c;
    }

    // Every member's last read is done: those still as listed share the
    // digest, the others are dropped as changed under the scan.
    void GiveDigest(std::vector<size_t> members, Sha1Digest d)
    {
        std::erase_if(members, [this](size_t i) {
            if (StillAsListed(i))
                return false;
            Fail(i);
            return true;
        });
        if (members.size() < 2) {
            Settle(members.size());
            return;
        }
        if (FOptions.SameFinalDigests)
            d.fill(0);
        const quint32 set = FNextSet.fetch_add(1) + 1;
        for (size_t i : members) {
            FFiles[i]->SetDigest(d);
            FFiles[i]->ContentSet = set;
        }
        Settle(members.size());
    }

    // A class of small files: every content read once and held, the class
    // sorted by its bytes, one SHA-1 per content that occurs twice.
    void SettleSmallClass(size_t first, size_t count, Worker& w)
    {
        std::vector<char>& buffer = w.Buffer;
        const size_t size = size_t(FFiles[first]->Size);
        buffer.resize(std::max(buffer.size(), size * count));
        std::vector<size_t> read;
        for (size_t i = first; i < first + count; ++i) {
            if (FStop)
                return;
            if (!ReadWhole(i, buffer.data() + size * (i - first), size, &w))
                Fail(i);
            else
                read.push_back(i);
        }
        SettleEqualRuns(read, first, size, buffer.data());
    }

    // Files of one size whose contents are held (file i's at base + size *
    // (i - first)): sorted by their bytes, one SHA-1 per content met twice.
    void SettleEqualRuns(std::vector<size_t>& read, size_t first, size_t size, const char* base)
    {
        auto bytes = [&](size_t i) { return base + size * (i - first); };
        std::stable_sort(read.begin(), read.end(),
            [&](size_t a, size_t b) { return std::memcmp(bytes(a), bytes(b), size) < 0; });
        for (size_t s = 0; s < read.size();) {
            size_t e = s + 1;
            while (e < read.size() && std::memcmp(bytes(read[e]), bytes(read[s]), size) == 0)
                ++e;
            if (e - s == 1) {
                Settle();
            } else {
                std::vector<size_t> set(read.begin() + qsizetype(s), read.begin() + qsizetype(e));
                Ctx ctx = NewCtx();
                Sha1Digest d;
                if (ctx && EVP_DigestUpdate(ctx.get(), bytes(read[s]), size) == 1 && Digest(ctx.get(), d))
                    GiveDigest(set, d);
                else
                    Settle(set.size()); // a digest that fails is no digest
            }
            s = e;
        }
    }

    // One set of equal size and equal split digests, every file open, read
    // block by block side by side. A block that differs splits the set; each
    // part goes on with its own copy of the digest state.
    void Lockstep(const std::vector<size_t>& set, std::vector<char>& buffer)
    {
        const qint64 size = FFiles[set.front()]->Size;
        struct Member {
            size_t File;
            Fd Handle;
        };
        struct Part {
            std::vector<size_t> Members; // indexes into members
            Ctx Digest;
        };
        std::vector<Member> members;
        members.reserve(set.size());
        for (size_t n = 0; n < set.size(); ++n) {
            const size_t i = set[n];
            Fd fd = Open(i, false);
            if (fd.Value < 0 && (errno == EMFILE || errno == ENFILE)) {
                // Something else holds the descriptors this set was given:
                // it is read one file at a time instead, as a set too large
                // to hold open is (the files that failed to open are settled).
                std::vector<size_t> rest;
                for (const Member& m : members)
                    rest.push_back(m.File);
                members.clear();
                rest.insert(rest.end(), set.begin() + qsizetype(n), set.end());
                for (size_t k : rest)
                    if (!FStop)
                        HashWhole(k, buffer);
                KeepSharedDigests(rest);
                return;
            }
            if (fd.Value < 0) {
                Fail(i);
                continue;
            }
            ::posix_fadvise(fd.Value, 0, 0, POSIX_FADV_SEQUENTIAL);
            members.push_back(Member { i, std::move(fd) });
        }
        if (members.size() < 2) {
            Settle(members.size());
            return;
        }
        std::vector<Part> parts(1);
        parts[0].Digest = NewCtx();
        if (!parts[0].Digest) {
            Settle(members.size());
            return;
        }
        for (size_t m = 0; m < members.size(); ++m)
            parts[0].Members.push_back(m);

        // Few files read side by side take long blocks, so that a disk reads
        // each in long runs instead of seeking between them at every block;
        // many share the budget.
        // No block is longer than the file itself.
        const size_t block = std::min(std::clamp<size_t>(kLockstepBudget / members.size() / 4096 * 4096, 4096,
                                          std::max<size_t>(FOptions.ReadBlock, 4096)),
            (size_t(size) + 4095) / 4096 * 4096);
        const auto buffers = std::make_unique_for_overwrite<char[]>(block * members.size());
        auto bufferOf = [&](size_t m) { return buffers.get() + block * m; };

        // A member that fails leaves its part; a part of one is settled.
        auto dropSingles = [&] {
            std::erase_if(parts, [&](const Part& p) {
                if (p.Members.size() >= 2)
                    return false;
                Settle(p.Members.size());
                return true;
            });
        };

        qint64 offset = 0;
        while (offset < size && !parts.empty()) {
            if (FStop)
                return;
            const size_t length = size_t(std::min<qint64>(qint64(block), size - offset));
            std::vector<Part> next;
            for (Part& p : parts) {
                std::erase_if(p.Members, [&](size_t m) {
                    if (ReadAt(members[m].Handle.Value, bufferOf(m), length, offset)) {
                        BlockRead(members[m].File, offset);
                        return false;
                    }
                    Fail(members[m].File);
                    return true;
                });
                // Members equal to the first of a new part join it.
                std::vector<std::vector<size_t>> groups;
                for (size_t m : p.Members) {
                    auto g = std::find_if(groups.begin(), groups.end(),
                        [&](const std::vector<size_t>& g) { return std::memcmp(bufferOf(g.front()), bufferOf(m), length) == 0; });
                    if (g == groups.end())
                        groups.push_back({ m });
                    else
                        g->push_back(m);
                }
                for (size_t g = 0; g < groups.size(); ++g) {
                    Part part;
                    part.Members = std::move(groups[g]);
                    if (part.Members.size() < 2) {
                        // Alone now; it may have been changed under its read
                        // (its head and tail agreed), which is said.
                        for (size_t m : part.Members) {
                            members[m].Handle.Reset();
                            if (StillAsListed(members[m].File))
                                Settle();
                            else
                                Fail(members[m].File);
                        }
                        continue;
                    }
                    if (g + 1 == groups.size()) {
                        part.Digest = std::move(p.Digest); // the last part takes the state itself
                    } else {
                        part.Digest.reset(EVP_MD_CTX_new());
                        if (!part.Digest || EVP_MD_CTX_copy_ex(part.Digest.get(), p.Digest.get()) != 1) {
                            Settle(part.Members.size());
                            continue;
                        }
                    }
                    if (EVP_DigestUpdate(part.Digest.get(), bufferOf(part.Members.front()), length) != 1) {
                        Settle(part.Members.size());
                        continue;
                    }
                    next.push_back(std::move(part));
                }
            }
            parts = std::move(next);
            dropSingles();
            offset += qint64(length);
        }

        for (Part& p : parts) {
            // A file that grew is not the file collection saw.
            std::erase_if(p.Members, [&](size_t m) {
                if (EndsAt(members[m].Handle.Value, size))
                    return false;
                Fail(members[m].File);
                return true;
            });
            if (p.Members.size() < 2) {
                Settle(p.Members.size());
                continue;
            }
            Sha1Digest d;
            std::vector<size_t> files;
            for (size_t m : p.Members)
                files.push_back(members[m].File);
            if (Digest(p.Digest.get(), d))
                GiveDigest(files, d);
            else
                Settle(files.size());
        }
    }

    // The fall-back for a set too large to hold open: SHA-1 of one file.
    void HashWhole(size_t i, std::vector<char>& buffer)
    {
        const qint64 size = FFiles[i]->Size;
        Fd fd = Open(i);
        Ctx ctx = fd.Value >= 0 ? NewCtx() : Ctx();
        if (!ctx) {
            Fail(i);
            return;
        }
        ::posix_fadvise(fd.Value, 0, 0, POSIX_FADV_SEQUENTIAL);
        buffer.resize(std::max(buffer.size(), FOptions.ReadBlock));
        for (qint64 offset = 0; offset < size;) {
            if (FStop)
                return;
            const size_t length = size_t(std::min<qint64>(qint64(FOptions.ReadBlock), size - offset));
            if (!ReadAt(fd.Value, buffer.data(), length, offset)) {
                Fail(i);
                return;
            }
            BlockRead(i, offset);
            if (EVP_DigestUpdate(ctx.get(), buffer.data(), length) != 1) {
                Fail(i);
                return;
            }
            offset += qint64(length);
        }
        Sha1Digest d;
        if (!EndsAt(fd.Value, size) || !StillAsListed(i) || !Digest(ctx.get(), d)) {
            Fail(i);
            return;
        }
        FFiles[i]->SetDigest(d);
        Settle();
    }

    // After the fall-back: a digest no other file of the set shares marks a
    // file without a content clone, which keeps no digest.
    void KeepSharedDigests(const std::vector<size_t>& set)
    {
        std::vector<size_t> hashed;
        for (size_t i : set)
            if (FFiles[i]->HasContentHash())
                hashed.push_back(i);
        std::sort(hashed.begin(), hashed.end(),
            [this](size_t a, size_t b) { return FFiles[a]->Digest() < FFiles[b]->Digest(); });
        for (size_t s = 0; s < hashed.size();) {
            size_t e = s + 1;
            while (e < hashed.size() && FFiles[hashed[e]]->Digest() == FFiles[hashed[s]]->Digest())
                ++e;
            const quint32 set = FNextSet.fetch_add(1) + 1;
            for (size_t k = s; k < e; ++k)
                FFiles[hashed[k]]->ContentSet = set;
            if (e - s == 1)
                FFiles[hashed[s]]->ClearContentHash();
            s = e;
        }
    }

    const std::vector<TFileInfo*>& FFiles;
    const ContentOptions& FOptions;
    const std::atomic<bool>& FStop;
    std::atomic<int>& FSettled;
    SkipReport& FSkips;
    std::mutex FSkipsLock;
    std::atomic<quint32> FNextSet { 0 };
    std::vector<Held> FHeld;
    std::vector<XXH128_hash_t> FSplit; // the head, then the tail digest of each file
    std::vector<char> FFailed;         // one worker writes each; bytes, not bits
    int FThreads = 1;
    size_t FOpenBound = 8;
    const std::vector<size_t>* FTailFiles = nullptr;
    const std::vector<std::vector<size_t>>* FSets = nullptr;
};

} // namespace

void SettleContents(const std::vector<TFileInfo*>& files, const std::vector<SizeClass>& classes,
    const ContentOptions& options, const std::atomic<bool>& stop, std::atomic<int>& settled, SkipReport& skips)
{
    Run(files, options, stop, settled, skips).Go(classes);
}
