#include "engine/SkipReport.h"

#include <algorithm>

void SkipReport::Add(SkipKind kind, const QByteArray& nativePath)
{
    const size_t k = size_t(kind);
    ++FCounts[k];
    if (FExamples[k].size() < kExamples)
        FExamples[k].append(nativePath);
}

void SkipReport::Merge(const SkipReport& other)
{
    for (size_t k = 0; k < FCounts.size(); ++k) {
        FCounts[k] += other.FCounts[k];
        for (const QByteArray& p : other.FExamples[k])
            if (FExamples[k].size() < kExamples)
                FExamples[k].append(p);
    }
}

bool SkipReport::Empty() const
{
    return std::all_of(FCounts.begin(), FCounts.end(), [](int c) { return c == 0; });
}
