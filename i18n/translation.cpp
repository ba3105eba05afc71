#include "i18n/translation.h"

#include <QHash>

QList<QStringList> TranslationTable;
int CurrentLanguageIndex = 0;
QString CurrentLanguageCode;

namespace {
// Key text -> first row holding it, so a look-up does not walk the key column.
QHash<QString, int> GKeyIndex;
}

void InstallTranslationTable(QList<QStringList> table)
{
    TranslationTable = std::move(table);
    GKeyIndex.clear();
    if (TranslationTable.isEmpty())
        return;
    const QStringList& keys = TranslationTable.first();
    // From the last row up, so that the first row of a repeated key wins.
    // Rows 0 and 1 are the languages' names and codes, not program texts.
    for (int r = keys.size() - 1; r >= 2; --r)
        GKeyIndex.insert(keys[r], r);
}

namespace {

// The '%' sequences of a text: the placeholders as a string of 'd' and 's',
// and every other sequence ("%%", "%n", a lone "%" at the end) in order.
struct PercentSequences {
    QString Kinds;
    QStringList Others;
};

PercentSequences ScanPercents(const QString& text)
{
    PercentSequences found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'%')
            continue;
        if (i + 1 == text.size()) {
            found.Others << QStringLiteral("%");
            break;
        }
        const QChar next = text[i + 1];
        if (next == u'd' || next == u's')
            found.Kinds += next;
        else
            found.Others << QString(u'%') + next;
        ++i;
    }
    return found;
}

} // namespace

QString PlaceholderKinds(const QString& text)
{
    return ScanPercents(text).Kinds;
}

bool PlaceholdersMatch(const QString& key, const QString& translation)
{
    const PercentSequences want = ScanPercents(key);
    const PercentSequences got = ScanPercents(translation);
    if (got.Kinds != want.Kinds)
        return false;
    QStringList allowed = want.Others;
    for (const QString& seq : got.Others) {
        if (!allowed.removeOne(seq))
            return false;
    }
    return true;
}

QString Translate(const QString& Text)
{
    if (CurrentLanguageIndex <= 0 || CurrentLanguageIndex >= TranslationTable.size())
        return Text;
    const auto it = GKeyIndex.constFind(Text);
    if (it == GKeyIndex.constEnd())
        return Text;
    const QStringList& column = TranslationTable[CurrentLanguageIndex];
    if (*it >= column.size())
        return Text;
    const QString& entry = column[*it];
    if (entry.isEmpty())
        return Text;
    if (!PlaceholdersMatch(Text, entry))
        return Text;
    return entry;
}

QString Fill(const QString& text, std::initializer_list<FillArg> args)
{
    QString out;
    out.reserve(text.size() + 32);
    auto arg = args.begin();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] == u'%') {
            out += u'%';
            ++i;
        } else if (text[i] == u'%' && i + 1 < text.size() && (text[i + 1] == u'd' || text[i + 1] == u's')
            && arg != args.end()) {
            out += arg->Text();
            ++arg;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
