#include "engine/FileStore.h"

#include <QHashFunctions>

#include <algorithm>
#include <cstring>
#include <new>

const QByteArray* ListingStore::AddFolder(QByteArray prefix)
{
    // The bytes go with the names, into blocks large enough to be mapped on
    // their own, so that nothing of a listing is left scattered in the heap
    // of the thread that made it.
    const char* bytes = CopyName(prefix);
    FFolders.push_back(QByteArray::fromRawData(bytes, prefix.size()));
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
