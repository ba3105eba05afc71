#include "engine/Listing.h"

#include "engine/Masks.h"
#include "platform/core/TreeWalk.h"

namespace {

SkipKind KindOf(platform::SkipReason r)
{
    switch (r) {
    case platform::SkipReason::FolderUnreadable:
        return SkipKind::FolderUnreadable;
    case platform::SkipReason::EntryUnreadable:
        return SkipKind::EntryUnreadable;
    case platform::SkipReason::NameNotUtf8:
        return SkipKind::NameNotUtf8;
    case platform::SkipReason::TooDeep:
        return SkipKind::TooDeep;
    case platform::SkipReason::Excluded:
        break;
    }
    return SkipKind::Excluded;
}

class ListingSink : public platform::TreeWalkSink {
public:
    ListingSink(FolderListing& out, const QStringList& masks, qint64 minBytes, const std::atomic<bool>& stop,
        const ExclusionSet& exclude)
        : FOut(out)
        , FMasks(masks)
        , FMinBytes(minBytes)
        , FStop(stop)
        , FExclude(exclude)
    {
        for (const QString& m : masks) {
            const bool valid = MaskIsValid(m);
            FValid.push_back(valid);
            if (m != u"*.*")
                FAllMatchAll = false;
        }
        FOut.MaskCounts.assign(size_t(masks.size()), 0);
    }

    bool Abandon() override
    {
        if (FStop.load(std::memory_order_relaxed))
            FOut.Abandoned = true;
        return FOut.Abandoned;
    }

    const void* EnterFolder(const QByteArray& prefix) override { return FOut.Store->AddFolder(prefix); }

    void File(const void* folder, const platform::WalkedFile& f) override
    {
        quint32 bits = 0;
        if (FAllMatchAll) {
            bits = (1u << FMasks.size()) - 1;
        } else {
            const QString name = QString::fromUtf8(f.Name);
            for (int i = 0; i < FMasks.size(); ++i)
                if (FValid[size_t(i)] && MaskMatches(FMasks[i], name))
                    bits |= 1u << i;
        }
        if (bits == 0)
            return;
        for (int i = 0; i < FMasks.size(); ++i)
            if (bits & (1u << i))
                ++FOut.MaskCounts[size_t(i)];
        if (f.Size != 0 && (FMinBytes <= 0 || f.Size >= FMinBytes)) {
            FOut.Store->AddFile(static_cast<const QByteArray*>(folder), f.Name, f.Size, f.Id, f.Modified, f.Changed);
            bits |= FolderListing::kKept;
        }
        FOut.Events.push_back(bits);
    }

    void Skipped(platform::SkipReason reason, const QByteArray& path) override { FOut.Skips.Add(KindOf(reason), path); }

    bool Excludes(QByteArrayView relativeFolder, const char* name, bool folder) override
    {
        return !FExclude.Empty() && FExclude.Excludes(relativeFolder, name, folder);
    }

private:
    FolderListing& FOut;
    const QStringList& FMasks;
    const qint64 FMinBytes;
    const std::atomic<bool>& FStop;
    const ExclusionSet& FExclude;
    std::vector<bool> FValid;
    bool FAllMatchAll = true;
};

} // namespace

std::unique_ptr<FolderListing> ListFolder(
    const QString& root, const QStringList& masks, qint64 minBytes, const std::atomic<bool>& stop,
    const ExclusionSet& exclude, const platform::WalkOptions& walk)
{
    auto out = std::make_unique<FolderListing>();
    ListingSink sink(*out, masks, minBytes, stop, exclude);
    platform::WalkTree(root, sink, walk);
    return out;
}
