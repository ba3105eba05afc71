#include "cli/JsonOutput.h"

#include "BuildInfo.h"
#include "cli/TerminalText.h"
#include "engine/Exclusions.h"

#include <cstdio>

namespace {

constexpr qsizetype kPiece = 64 * 1024;

const char kHex[] = "0123456789abcdef";

void AppendUnicodeEscape(QByteArray& out, char16_t c)
{
    out += "\\u";
    out += kHex[(c >> 12) & 0xF];
    out += kHex[(c >> 8) & 0xF];
    out += kHex[(c >> 4) & 0xF];
    out += kHex[c & 0xF];
}

// An ASCII character, escaped where JSON or a terminal needs it.
void AppendAscii(QByteArray& out, char c)
{
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\f':
        out += "\\f";
        return;
    default:
        break;
    }
    if (uchar(c) < 0x20 || c == 0x7F)
        AppendUnicodeEscape(out, char16_t(uchar(c)));
    else
        out += c;
}

void AppendUtf8(QByteArray& out, char32_t cp)
{
    if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
    }
    out += char(0x80 | (cp & 0x3F));
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian), exact for
// every day a 64-bit count of nanoseconds reaches.
void CivilFromDays(qint64 z, qint64& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = qint64(yoe) + era * 400 + (m <= 2 ? 1 : 0);
}

QByteArray Bool(bool b)
{
    return b ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
}

void AppendStringArray(QByteArray& out, const QStringList& texts)
{
    out += '[';
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0)
            out += ", ";
        AppendJsonString(out, texts[i]);
    }
    out += ']';
}

const char* CompareName(int index)
{
    static const char* const names[] = { "name", "size", "name-size", "content" }; // the order of CompareMode
    return index >= 0 && index < 4 ? names[index] : nullptr;
}

// The document's text so far, handed on whenever a piece is full.
class Pieces {
public:
    explicit Pieces(const std::function<bool(QByteArrayView)>& write)
        : FWrite(write)
    {
        FText.reserve(kPiece + 4096);
    }
    QByteArray& Text() { return FText; }
    // After each entry: a full piece goes out.
    bool Mark()
    {
        if (FText.size() < kPiece)
            return true;
        return Flush();
    }
    bool Flush()
    {
        if (FText.isEmpty())
            return true;
        if (!FWrite(FText))
            return false;
        FText.clear();
        return true;
    }

private:
    const std::function<bool(QByteArrayView)>& FWrite;
    QByteArray FText;
};

void AppendFileEntry(QByteArray& out, const TFileInfo& f, bool withDigest, bool reference)
{
    const QByteArray native = f.NativePath();
    out += "{\"path\": ";
    if (!AppendJsonNative(out, native)) {
        out += ", \"path_bytes\": \"";
        out += native.toBase64();
        out += '"';
    }
    out += ", \"size\": ";
    out += QByteArray::number(f.Size);
    out += ", \"modified\": \"";
    out += IsoTimeUtc(f.Modified);
    out += "\", \"modified_ns\": ";
    out += QByteArray::number(f.Modified);
    out += ", \"reference\": ";
    out += Bool(reference);
    if (withDigest && f.HasContentHash()) {
        out += ", \"sha1\": \"";
        out += f.ContentHash().toLatin1();
        out += '"';
    }
    out += '}';
}

void AppendFolderEntry(QByteArray& out, const ResultItem& item)
{
    out += "{\"path\": ";
    AppendJsonString(out, item.SubItems.value(0));
    out += ", \"size\": ";
    out += QByteArray::number(item.Size);
    out += ", \"reference\": ";
    out += Bool(item.Reference);
    out += '}';
}

// One "groups" array: the rows of a list, a group's rows following each other
// as the scan listed them. file: rows with their record, else folder rows.
bool AppendGroups(Pieces& pieces, const ResultList* list, bool file, bool withDigest)
{
    QByteArray& out = pieces.Text();
    out += '[';
    if (!list || list->ItemCount() == 0) {
        out += ']';
        return true;
    }
    const QList<ResultItem>& items = list->Items();
    const qsizetype n = items.size();
    bool firstGroup = true;
    for (qsizetype start = 0; start < n;) {
        qsizetype end = start;
        qint64 total = 0;
        while (end < n && items[end].GroupId == items[start].GroupId) {
            const ResultItem& item = items[end];
            if (!file)
                total += item.Size;
            else if (item.Data)
                total += item.Data->Size;
            ++end;
        }
        out += firstGroup ? "\n    " : ",\n    ";
        firstGroup = false;
        out += "{\"number\": ";
        out += QByteArray::number(items[start].GroupId);
        out += ", \"total_size\": ";
        out += QByteArray::number(total);
        out += ", \"entries\": [";
        bool firstEntry = true;
        for (qsizetype i = start; i < end; ++i) {
            const ResultItem& item = items[i];
            if (file && !item.Data)
                continue;
            out += firstEntry ? "\n      " : ",\n      ";
            firstEntry = false;
            if (file)
                AppendFileEntry(out, *item.Data, withDigest, item.Reference || item.Data->Reference);
            else
                AppendFolderEntry(out, item);
            if (!pieces.Mark())
                return false;
        }
        out += "\n    ]}";
        start = end;
    }
    out += "\n  ]";
    return true;
}

} // namespace

void AppendJsonString(QByteArray& out, QStringView text)
{
    out += '"';
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            AppendAscii(out, char(c));
        } else if (c <= 0x9F) {
            AppendUnicodeEscape(out, c); // C1 controls
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            AppendUtf8(out, QChar::surrogateToUcs4(c, text[i + 1].unicode()));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            AppendUnicodeEscape(out, c); // UTF-8 has no form for it
        } else {
            AppendUtf8(out, c);
        }
    }
    out += '"';
}

bool AppendJsonNative(QByteArray& out, QByteArrayView native)
{
    out += '"';
    bool valid = true;
    const auto* p = reinterpret_cast<const unsigned char*>(native.data());
    const qsizetype n = native.size();
    for (qsizetype i = 0; i < n;) {
        const int len = WellFormedUtf8Length(p + i, n - i);
        if (len == 0) {
            out += "\xEF\xBF\xBD"; // U+FFFD
            valid = false;
            ++i;
        } else if (len == 1) {
            AppendAscii(out, char(p[i]));
            ++i;
        } else if (len == 2 && p[i] == 0xC2 && p[i + 1] <= 0x9F) {
            AppendUnicodeEscape(out, p[i + 1]); // C1 controls
            i += 2;
        } else {
            out.append(reinterpret_cast<const char*>(p + i), len);
            i += len;
        }
    }
    out += '"';
    return valid;
}

QByteArray IsoTimeUtc(qint64 nanoseconds)
{
    constexpr qint64 perSecond = 1000000000;
    constexpr qint64 perDay = 86400;
    qint64 seconds = nanoseconds / perSecond;
    qint64 fraction = nanoseconds % perSecond;
    if (fraction < 0) {
        fraction += perSecond;
        --seconds;
    }
    qint64 days = seconds / perDay;
    qint64 inDay = seconds % perDay;
    if (inDay < 0) {
        inDay += perDay;
        --days;
    }
    qint64 year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02lld:%02lld:%02lld.%09lldZ", static_cast<long long>(year), month,
        day, static_cast<long long>(inDay / 3600), static_cast<long long>(inDay / 60 % 60),
        static_cast<long long>(inDay % 60), static_cast<long long>(fraction));
    return QByteArray(text);
}

bool WriteJson(const JsonRun& run, const std::function<bool(QByteArrayView)>& write)
{
    Pieces pieces(write);
    QByteArray& out = pieces.Text();
    const ScanSettings& s = run.Settings;

    out += "{\n  \"program\": ";
    AppendJsonString(out, QStringLiteral("Twinlens " TWINLENS_VERSION));
    out += ",\n  \"format_version\": 1,\n  \"stopped\": ";
    out += Bool(run.Stopped);

    out += ",\n  \"settings\": {\n    \"folders\": [";
    for (qsizetype i = 0; i < run.Folders.size(); ++i) {
        out += i == 0 ? "\n      " : ",\n      ";
        out += "{\"path\": ";
        AppendJsonString(out, run.Folders[i]);
        out += ", \"reference\": ";
        out += Bool(run.ReferenceFolders.contains(run.Folders[i]));
        out += '}';
    }
    out += run.Folders.isEmpty() ? "]" : "\n    ]";
    out += ",\n    \"masks\": ";
    AppendStringArray(out, ScanWindow::ParseMasks(s.Masks));
    out += ",\n    \"compare\": ";
    if (const char* mode = CompareName(s.CompareIndex)) {
        out += '"';
        out += mode;
        out += '"';
    } else {
        out += "null";
    }
    out += ",\n    \"min_size_mb\": ";
    out += QByteArray::number(s.MinSizeMB);
    out += ",\n    \"max_groups\": ";
    out += QByteArray::number(s.MaxGroups);
    out += ",\n    \"min_group_size\": ";
    out += QByteArray::number(s.MinGroupSize);
    out += ",\n    \"exclude\": ";
    AppendStringArray(out, ExclusionSet(s.Exclude).Patterns());
    out += ",\n    \"file_clones\": ";
    out += Bool(s.FileDuplicates);
    out += ",\n    \"folder_clones\": ";
    out += Bool(s.DirDuplicates);
    out += ",\n    \"folder_contents\": ";
    out += Bool(s.FolderContents);
    out += "\n  },\n  \"file_groups\": ";

    const bool content = s.CompareIndex == int(CompareMode::ByContent);
    if (!AppendGroups(pieces, s.FileDuplicates ? run.Files : nullptr, true, content))
        return false;
    out += ",\n  \"folder_groups\": ";
    if (!AppendGroups(pieces, s.DirDuplicates ? run.Dirs : nullptr, false, false))
        return false;
    out += "\n}\n";
    return pieces.Flush();
}
