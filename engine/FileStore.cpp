#include "engine/FileStore.h"

#include <QHashFunctions>

#include <algorithm>
#include <cstring>
#include <new>

const QByteArray* ListingStore::AddFolder(QByteArray prefix)
{
    // The prefixes have blocks of their own, apart from the names: a folder
    // met right below the last one stored (the walk goes depth first) only
    // adds its name after that one's bytes, and the two share them; one
    // above it shares them as they are. So a chain of folders costs its
    // names, not the sum of its paths. The
    // prefixes are not followed by a NUL.
    if (!FFolders.empty()) {
        const QByteArray& last = FFolders.back();
        if (last.startsWith(prefix)) { // a folder above the last one (its files came after a subfolder's)
            FFolders.push_back(QByteArray::fromRawData(last.constData(), prefix.size()));
            return &FFolders.back();
        }
        const qsizetype more = prefix.size() - last.size();
        if (last.constData() + last.size() == FPrefixBlocks.back().get() + FPrefixUsed && more > 0
            && FPrefixUsed + size_t(more) <= FPrefixSize && prefix.startsWith(last)) {
            std::memcpy(FPrefixBlocks.back().get() + FPrefixUsed, prefix.constData() + last.size(), size_t(more));
            FPrefixUsed += size_t(more);
            FFolders.push_back(QByteArray::fromRawData(last.constData(), prefix.size()));
            return &FFolders.back();
        }
    }
    const size_t need = size_t(prefix.size());
    if (FPrefixBlocks.empty() || FPrefixUsed + need > FPrefixSize) {
        // Twice the last block, up to 256 KiB, and room for twice this
        // prefix: a deepening chain moves to a new block only now and then.
        const size_t next = FPrefixBlocks.empty() ? 1024 : std::min<size_t>(FPrefixSize * 2, 256 * 1024);
        FPrefixSize = std::max(next, need * 2);
        FPrefixBlocks.push_back(std::make_unique_for_overwrite<char[]>(FPrefixSize));
        FPrefixUsed = 0;
    }
    char* out = FPrefixBlocks.back().get() + FPrefixUsed;
    std::memcpy(out, prefix.constData(), need);
    FPrefixUsed += need;
    FFolders.push_back(QByteArray::fromRawData(out, prefix.size()));
    return &FFolders.back();
}

const char* ListingStore::CopyName(QByteArrayView name)
{
    const size_t need = size_t(name.size()) + 1;
    if (FNameChunks.empty() || FChunkUsed + need > FChunkSize) {
        // Each block twice the last, up to one large enough to be mapped on
        // its own: a listing of a few names costs a few bytes, not a block.
        const size_t next = FNameChunks.empty() ? 1024 : std::min<size_t>(FChunkSize * 2, 256 * 1024);
        FChunkSize = std::max(next, need);
        FNameChunks.push_back(std::make_unique_for_overwrite<char[]>(FChunkSize));
        FChunkUsed = 0;
    }
    char* out = FNameChunks.back().get() + FChunkUsed;
    std::memcpy(out, name.data(), size_t(name.size()));
    out[name.size()] = 0;
    FChunkUsed += need;
    return out;
}

TFileInfo* ListingStore::AddFile(
    const QByteArray* prefix, QByteArrayView name, qint64 size, const platform::FileId& id, qint64 modified,
    qint64 changed)
{
    const char* n = CopyName(name);
    if (FCount == FCapacity) {
        const size_t records = ChunkRecords(FChunks.size());
        FChunks.push_back(std::make_unique_for_overwrite<std::byte[]>(records * sizeof(TFileInfo)));
        FCapacity += records;
    }
    TFileInfo* slot = File(FCount);
    new (slot) TFileInfo(prefix, n, quint32(name.size()), size, id, modified, changed);
    ++FCount;
    return slot;
}

ListingStore::~ListingStore()
{
    for (size_t i = 0; i < FCount; ++i)
        File(i)->~TFileInfo();
}

TFileInfo* TFileList::push_back(std::unique_ptr<TFileInfo> record)
{
    TFileInfo* r = record.get();
    FAlone.push_back(std::move(record));
    FItems.push_back(r);
    return r;
}

void TFileList::clear()
{
    std::vector<TFileInfo*>().swap(FItems);
    FAlone.clear();
    FStores.clear();
}

size_t HashPath(QByteArrayView prefix, QByteArrayView name)
{
    // One hash over the concatenation, however the path is split.
    size_t h = 1469598103934665603ull;
    for (char c : prefix)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    for (char c : name)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h ^ (h >> 29);
}

void FileIndex::insert(const QString&, TFileInfo* record)
{
    FSet.Assign(record);
}

TFileInfo* FileIndex::value(const QString& path) const
{
    const QByteArray native = platform::NativePath(path);
    const qsizetype slash = native.lastIndexOf('/');
    const QByteArrayView prefix(native.constData(), slash + 1);
    const QByteArrayView name(native.constData() + slash + 1, native.size() - slash - 1);
    return FSet.Find(HashPath(prefix, name),
        [&](const TFileInfo& r) { return r.NativeName() == name && r.NativeFolder() == prefix; });
}
