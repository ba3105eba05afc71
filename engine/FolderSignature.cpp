#include "engine/FolderSignature.h"

#include <openssl/evp.h>

#include <algorithm>
#include <stdexcept>

QString NormalizeDirPath(const QString& path)
{
    QString p = platform::AbsolutePath(path);
    if (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    if (p.isEmpty())
        p = QStringLiteral("/");
    return p;
}

QString LowerDirName(const QString& normalizedPath)
{
    QStringView p(normalizedPath);
    if (p.endsWith(u'/'))
        p.chop(1);
    const qsizetype cut = p.lastIndexOf(u'/');
    QStringView name = p.mid(cut + 1);
    if (name.isEmpty())
        name = p;
    return name.toString().toLower();
}

namespace {

inline char16_t FoldAscii(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
}

} // namespace

int CompareDirPathsAscii(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* pa = a.utf16();
    const char16_t* pb = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = FoldAscii(pa[i]);
        const char16_t cb = FoldAscii(pb[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool DirPathLess(const QString& a, const QString& b)
{
    const int c = CompareDirPathsAscii(a, b);
    if (c != 0)
        return c < 0;
    return QStringView(a).compare(QStringView(b)) < 0;
}

bool HasKeptAncestor(const QString& dir, const QSet<QString>& keptSet)
{
    if (keptSet.isEmpty() || dir.size() <= 1)
        return false;
    // Every proper ancestor is a prefix ending before a "/"; the raw-data view
    // spares a copy per level.
    qsizetype cut = dir.lastIndexOf(u'/', dir.size() - 1);
    while (cut > 0) {
        if (keptSet.contains(QString::fromRawData(dir.constData(), cut)))
            return true;
        cut = dir.lastIndexOf(u'/', cut - 1);
    }
    return cut == 0 && keptSet.contains(QStringLiteral("/"));
}

QString JoinDirPath(const QString& dir, const QString& name)
{
    if (dir.endsWith(u'/'))
        return dir + name;
    QString out;
    out.reserve(dir.size() + 1 + name.size());
    out += dir;
    out += u'/';
    out += name;
    return out;
}

QString DigestHex(const FolderDigest& digest)
{
    static const char16_t digits[] = u"0123456789abcdef";
    QString out(40, Qt::Uninitialized);
    QChar* p = out.data();
    for (unsigned char b : digest) {
        *p++ = QChar(digits[b >> 4]);
        *p++ = QChar(digits[b & 15]);
    }
    return out;
}

// ---- FolderSignatureBuilder

FolderSignatureBuilder::FolderSignatureBuilder()
{
    FContext = EVP_MD_CTX_new();
    FMd = EVP_MD_fetch(nullptr, "SHA1", nullptr);
    if (!FContext || !FMd) {
        EVP_MD_free(static_cast<EVP_MD*>(FMd));
        EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(FContext));
        throw std::runtime_error("SHA-1 is not available");
    }
}

FolderSignatureBuilder::~FolderSignatureBuilder()
{
    EVP_MD_free(static_cast<EVP_MD*>(FMd));
    EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(FContext));
}

void FolderSignatureBuilder::Clear()
{
    FArena.clear();
    FEntries.clear();
    FTextValid = false;
}

void FolderSignatureBuilder::BeginEntry(QLatin1StringView kind)
{
    FTextValid = false;
    FStart = int(FArena.size());
    FArena.append(kind);
}

void FolderSignatureBuilder::EndEntry()
{
    FEntries.emplace_back(FStart, int(FArena.size()) - FStart);
}

namespace {

inline bool NeedsEscape(char16_t c) { return c == u'%' || c == u'\r' || c == u'\n'; }

void AppendEscaped(QString& out, char16_t c)
{
    static const char hex[] = "0123456789ABCDEF";
    out.append(u'%');
    out.append(QChar(char16_t(hex[(c >> 4) & 15])));
    out.append(QChar(char16_t(hex[c & 15])));
}

} // namespace

void FolderSignatureBuilder::AppendName(QStringView name)
{
    // Most names are ASCII: fold them here and spare the copy of toLower.
    bool ascii = true;
    for (QChar c : name) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    QStringView lower = name;
    if (!ascii) {
        FLower = name.toString().toLower();
        lower = FLower;
    }
    for (QChar qc : lower) {
        char16_t c = qc.unicode();
        if (NeedsEscape(c))
            AppendEscaped(FArena, c);
        else
            FArena.append(QChar(ascii && c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c));
    }
}

void FolderSignatureBuilder::AppendNumber(qint64 v)
{
    char buf[24];
    int n = 0;
    // Through the unsigned value, so that the smallest qint64 has its digits.
    quint64 u = v < 0 ? quint64(0) - quint64(v) : quint64(v);
    do {
        buf[n++] = char('0' + u % 10);
        u /= 10;
    } while (u);
    if (v < 0)
        buf[n++] = '-';
    std::reverse(buf, buf + n);
    FArena.append(QLatin1StringView(buf, n));
}

void FolderSignatureBuilder::AppendId(const platform::FileId& id)
{
    AppendNumber(qint64(id.Device));
    FArena.append(u':');
    AppendNumber(qint64(id.Inode));
}

void FolderSignatureBuilder::AddFile(QStringView name, qint64 size)
{
    BeginEntry(QLatin1StringView("F|"));
    AppendName(name);
    AppendSeparator();
    AppendNumber(size);
    EndEntry();
}

void FolderSignatureBuilder::AddFileLink(QStringView name, qint64 size)
{
    BeginEntry(QLatin1StringView("L|"));
    AppendName(name);
    AppendSeparator();
    AppendNumber(size);
    EndEntry();
}

void FolderSignatureBuilder::AddOther(QStringView name)
{
    BeginEntry(QLatin1StringView("O|"));
    AppendName(name);
    EndEntry();
}

void FolderSignatureBuilder::AddDir(QStringView name, const FolderDigest& signature, qint64 total)
{
    BeginEntry(QLatin1StringView("D|"));
    AppendName(name);
    AppendSeparator();
    FArena.append(DigestHex(signature));
    AppendSeparator();
    AppendNumber(total);
    EndEntry();
}

void FolderSignatureBuilder::AddUnknownDir(QStringView name)
{
    BeginEntry(QLatin1StringView("D|"));
    AppendName(name);
    FArena.append(QLatin1StringView("|!UNKNOWN_CHILD_SIG!|0"));
    EndEntry();
}

void FolderSignatureBuilder::AddRepeatDir(QStringView name, const platform::FileId& id)
{
    BeginEntry(QLatin1StringView("R|"));
    AppendName(name);
    AppendSeparator();
    AppendId(id);
    EndEntry();
}

void FolderSignatureBuilder::AddUnrepresentable(
    char kind, QByteArrayView nativeName, qint64 size, const platform::FileId& id)
{
    const char k[3] = { '?', kind, '|' };
    BeginEntry(QLatin1StringView(k, 3));
    for (char ch : nativeName) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x20 && b < 0x7f && b != '%')
            FArena.append(QChar(char16_t(b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b)));
        else
            AppendEscaped(FArena, b);
    }
    if (kind == 'F' || kind == 'L') {
        AppendSeparator();
        AppendNumber(size);
    } else if (kind == 'D') {
        AppendSeparator();
        AppendId(id);
    }
    EndEntry();
}

void FolderSignatureBuilder::AddMarker(QStringView marker)
{
    BeginEntry(QLatin1StringView(""));
    FArena.append(marker);
    EndEntry();
}

void FolderSignatureBuilder::AddMarker(QStringView marker, const platform::FileId& id)
{
    BeginEntry(QLatin1StringView(""));
    FArena.append(marker);
    AppendSeparator();
    AppendId(id);
    EndEntry();
}

namespace {

void AppendUtf8(QByteArray& out, QStringView s)
{
    const char16_t* p = s.utf16();
    const char16_t* end = p + s.size();
    while (p < end) {
        char32_t c = *p++;
        if (c < 0x80) {
            out.append(char(c));
            continue;
        }
        if (c >= 0xD800 && c < 0xDC00 && p < end && *p >= 0xDC00 && *p < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(*p++) - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD; // a lone surrogate has no UTF-8 form
        if (c < 0x800) {
            out.append(char(0xC0 | (c >> 6)));
            out.append(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.append(char(0xE0 | (c >> 12)));
            out.append(char(0x80 | ((c >> 6) & 0x3F)));
            out.append(char(0x80 | (c & 0x3F)));
        } else {
            out.append(char(0xF0 | (c >> 18)));
            out.append(char(0x80 | ((c >> 12) & 0x3F)));
            out.append(char(0x80 | ((c >> 6) & 0x3F)));
            out.append(char(0x80 | (c & 0x3F)));
        }
    }
}

} // namespace

const QByteArray& FolderSignatureBuilder::Text()
{
    if (FTextValid)
        return FText;
    const QStringView arena(FArena);
    std::sort(FEntries.begin(), FEntries.end(), [arena](const auto& x, const auto& y) {
        const QStringView a = arena.mid(x.first, x.second);
        const QStringView b = arena.mid(y.first, y.second);
        const int c = a.compare(b, Qt::CaseInsensitive);
        if (c != 0)
            return c < 0;
        return a.compare(b, Qt::CaseSensitive) < 0;
    });
    FText.clear();
    for (const auto& [offset, length] : FEntries) {
        AppendUtf8(FText, arena.mid(offset, length));
        FText.append("\r\n", 2);
    }
    FTextValid = true;
    return FText;
}

FolderDigest FolderSignatureBuilder::Digest()
{
    const QByteArray& text = Text();
    auto* ctx = static_cast<EVP_MD_CTX*>(FContext);
    FolderDigest out {};
    unsigned int len = 0;
    if (EVP_DigestInit_ex(ctx, static_cast<EVP_MD*>(FMd), nullptr) != 1
        || EVP_DigestUpdate(ctx, text.constData(), size_t(text.size())) != 1
        || EVP_DigestFinal_ex(ctx, out.data(), &len) != 1 || len != out.size())
        throw std::runtime_error("SHA-1 digest failed");
    return out;
}
