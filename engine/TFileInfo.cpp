#include "engine/TFileInfo.h"

#include "platform/core/FileSystem.h"

namespace {
QString NameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}
} // namespace

TFileInfo::TFileInfo(const QString& APath)
    : FullPath(APath)
    , Name(NameOf(APath))
    , Size(platform::FileSize(APath))
{
}

TFileInfo::TFileInfo(const QString& APath, qint64 ASize)
    : FullPath(APath)
    , Name(NameOf(APath))
    , Size(ASize)
{
}
