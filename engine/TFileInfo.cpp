#include "engine/TFileInfo.h"

#include <cstring>

namespace {

void SplitPath(const QByteArray& path, QByteArray*& prefix, char*& name, quint32& length)
{
    const qsizetype slash = path.lastIndexOf('/');
    prefix = new QByteArray(path.left(slash + 1));
    const QByteArray rest = path.mid(slash + 1);
    length = quint32(rest.size());
    name = new char[size_t(length) + 1];
    std::memcpy(name, rest.constData(), size_t(length) + 1);
}

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

TFileInfo::TFileInfo(const QString& APath)
    : TFileInfo(APath, platform::FileSize(APath))
{
    const platform::ObjectState state = platform::ReadObjectState(NativePath());
    if (state.Kind == platform::ObjectKind::RegularFile) {
        Id = state.Id;
        Modified = state.Modified;
        Changed = state.Changed;
    }
}

TFileInfo::TFileInfo(const QString& APath, qint64 ASize)
    : Size(ASize)
    , FOwned(true)
{
    QByteArray* prefix = nullptr;
    char* name = nullptr;
    SplitPath(platform::NativePath(APath), prefix, name, FNameLength);
    FPrefix = prefix;
    FName = name;
}

TFileInfo::TFileInfo(const QByteArray* prefix, const char* name, quint32 nameLength, qint64 size,
    const platform::FileId& id, qint64 modified, qint64 changed) noexcept
    : Size(size)
    , Id(id)
    , Modified(modified)
    , Changed(changed)
    , FPrefix(prefix)
    , FName(name)
    , FNameLength(nameLength)
{
}

TFileInfo::~TFileInfo()
{
    if (FOwned) {
        delete FPrefix;
        delete[] FName;
    }
}

QString TFileInfo::FullPath() const
{
    QString s;
    s.reserve(FPrefix->size() + qsizetype(FNameLength));
    s += QString::fromUtf8(*FPrefix);
    s += QString::fromUtf8(FName, qsizetype(FNameLength));
    return s;
}

QString TFileInfo::Name() const
{
    return QString::fromUtf8(FName, qsizetype(FNameLength));
}

QByteArray TFileInfo::NativePath() const
{
    QByteArray s;
    s.reserve(FPrefix->size() + qsizetype(FNameLength));
    s += *FPrefix;
    s += QByteArrayView(FName, qsizetype(FNameLength));
    return s;
}

QString TFileInfo::ContentHash() const
{
    if (!FHasDigest)
        return QString();
    static const char digits[] = "0123456789abcdef";
    QString hex(40, Qt::Uninitialized);
    QChar* out = hex.data();
    for (unsigned char b : FDigest) {
        *out++ = QLatin1Char(digits[b >> 4]);
        *out++ = QLatin1Char(digits[b & 15]);
    }
    return hex;
}

void TFileInfo::SetContentHash(const QString& hex)
{
    FHasDigest = false;
    if (hex.size() != 40)
        return;
    Sha1Digest d;
    for (int i = 0; i < 20; ++i) {
        const int hi = HexValue(hex[2 * i]);
        const int lo = HexValue(hex[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return;
        d[size_t(i)] = static_cast<unsigned char>(hi * 16 + lo);
    }
    SetDigest(d);
}
