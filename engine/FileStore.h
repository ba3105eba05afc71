#pragma once
// Storage of the collected files: the listings' records, the collection-order
// list FFiles and the path index FFileMap, all compact (a few bytes per file
// beyond the record itself).

#include "engine/TFileInfo.h"

#include <QByteArray>
#include <QString>

#include <bit>
#include <deque>
#include <memory>
#include <vector>

// What one listing made: folder prefixes, names and records, at addresses
// that never move while the store lives. Filled by one thread, then handed
// over whole.
class ListingStore {
public:
    ListingStore() = default;
    ListingStore(const ListingStore&) = delete;
    ListingStore& operator=(const ListingStore&) = delete;

    // A folder prefix (ending in "/"); valid while the store lives.
    const QByteArray* AddFolder(QByteArray prefix);
    TFileInfo* AddFile(const QByteArray* prefix, QByteArrayView name, qint64 size, const platform::FileId& id,
        qint64 modified, qint64 changed);
    size_t FileCount() const { return FCount; }
    TFileInfo* File(size_t i)
    {
        // Blocks of 16, 32, ... 2048 records, then of kChunk each: a listing
        // of a few files costs a few records, a large one a block per 4096.
        if (i < kSmall) {
            const int c = std::bit_width(i / kFirst + 1) - 1;
            return Chunk(size_t(c)) + (i - kFirst * ((size_t(1) << c) - 1));
        }
        i -= kSmall;
        return Chunk(kSmallChunks + i / kChunk) + i % kChunk;
    }

    ~ListingStore();

private:
    static constexpr size_t kChunk = 4096; // records per block of storage, once grown
    static constexpr size_t kFirst = 16;   // records of the first block
    static constexpr size_t kSmallChunks = 8; // blocks of kFirst << c records
    static constexpr size_t kSmall = kFirst * ((size_t(1) << kSmallChunks) - 1); // records in them
    static_assert((kFirst << (kSmallChunks - 1)) * 2 == kChunk);
    static size_t ChunkRecords(size_t c) { return c < kSmallChunks ? kFirst << c : kChunk; }
    const char* CopyName(QByteArrayView name);
    TFileInfo* Chunk(size_t c) { return reinterpret_cast<TFileInfo*>(FChunks[c].get()); }

    std::deque<QByteArray> FFolders;
    std::vector<std::unique_ptr<std::byte[]>> FChunks; // raw storage, records built in place
    size_t FCount = 0;
    size_t FCapacity = 0; // records the blocks hold
    std::vector<std::unique_ptr<char[]>> FNameChunks;
    size_t FChunkUsed = 0;
    size_t FChunkSize = 0;
};

// FFiles: the collected records in collection order. It owns them: the
// listings it adopted and the records given to it alone.
class TFileList {
public:
    using const_iterator = std::vector<TFileInfo*>::const_iterator;

    size_t size() const { return FItems.size(); }
    bool empty() const { return FItems.empty(); }
    TFileInfo* operator[](size_t i) const { return FItems[i]; }
    TFileInfo* back() const { return FItems.back(); }
    const_iterator begin() const { return FItems.begin(); }
    const_iterator end() const { return FItems.end(); }
    void reserve(size_t n) { FItems.reserve(n); }

    // A record made alone; the list owns it from now on.
    TFileInfo* push_back(std::unique_ptr<TFileInfo> record);
    // Appends a record of an adopted listing.
    void Append(TFileInfo* record) { FItems.push_back(record); }
    // Keeps the listing (and every record in it) alive as long as the list.
    void Adopt(std::unique_ptr<ListingStore> store) { FStores.push_back(std::move(store)); }
    void clear();

private:
    std::vector<TFileInfo*> FItems;
    std::vector<std::unique_ptr<ListingStore>> FStores;
    std::vector<std::unique_ptr<TFileInfo>> FAlone;
};

// An open-addressing set of records by a key of theirs, holding only record
// pointers: KeyOps gives Hash(record) and Equal(record, record).
template <typename KeyOps>
class RecordSet {
public:
    size_t size() const { return FCount; }
    void clear()
    {
        FSlots.clear();
        FCount = 0;
    }
    // The record already held under r's key, or nullptr after inserting r.
    TFileInfo* Insert(TFileInfo* r)
    {
        if ((FCount + 1) * 2 > FSlots.size())
            Grow();
        size_t i = KeyOps::Hash(*r) & (FSlots.size() - 1);
        while (TFileInfo* s = FSlots[i]) {
            if (KeyOps::Equal(*s, *r))
                return s;
            i = (i + 1) & (FSlots.size() - 1);
        }
        FSlots[i] = r;
        ++FCount;
        return nullptr;
    }
    // Replaces the record under r's key with r, or inserts it.
    void Assign(TFileInfo* r)
    {
        if ((FCount + 1) * 2 > FSlots.size())
            Grow();
        size_t i = KeyOps::Hash(*r) & (FSlots.size() - 1);
        while (TFileInfo* s = FSlots[i]) {
            if (KeyOps::Equal(*s, *r)) {
                FSlots[i] = r;
                return;
            }
            i = (i + 1) & (FSlots.size() - 1);
        }
        FSlots[i] = r;
        ++FCount;
    }
    template <typename Probe>
    TFileInfo* Find(size_t hash, const Probe& matches) const
    {
        if (FSlots.empty())
            return nullptr;
        size_t i = hash & (FSlots.size() - 1);
        while (TFileInfo* s = FSlots[i]) {
            if (matches(*s))
                return s;
            i = (i + 1) & (FSlots.size() - 1);
        }
        return nullptr;
    }

private:
    void Grow()
    {
        std::vector<TFileInfo*> old;
        old.swap(FSlots);
        FSlots.assign(old.empty() ? 64 : old.size() * 2, nullptr);
        FCount = 0;
        for (TFileInfo* r : old)
            if (r)
                Insert(r);
    }
    std::vector<TFileInfo*> FSlots;
    size_t FCount = 0;
};

size_t HashPath(QByteArrayView prefix, QByteArrayView name);

struct PathKey {
    static size_t Hash(const TFileInfo& r) { return HashPath(r.NativeFolder(), r.NativeName()); }
    static bool Equal(const TFileInfo& a, const TFileInfo& b)
    {
        return a.NativeName() == b.NativeName() && a.NativeFolder() == b.NativeFolder();
    }
};

struct IdKey {
    static size_t Hash(const TFileInfo& r) { return qHash(r.Id); }
    static bool Equal(const TFileInfo& a, const TFileInfo& b) { return a.Id == b.Id; }
};

// FFileMap: the records by exact FullPath (paths are exact on this platform).
class FileIndex {
public:
    size_t size() const { return FSet.size(); }
    void clear() { FSet.clear(); }
    // Sets the record under its own path, replacing an earlier one. The path
    // argument is the record's FullPath (kept for callers that name it).
    void insert(const QString& path, TFileInfo* record);
    void insert(TFileInfo* record) { FSet.Assign(record); }
    TFileInfo* value(const QString& path) const;

private:
    RecordSet<PathKey> FSet;
};
