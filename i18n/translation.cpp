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
    for (int r = keys.size() - 1; r >= 0; --r)
        GKeyIndex.insert(keys[r], r);
}

QString PlaceholderKinds(const QString& text)
{
    QString kinds;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'%' && (text[i + 1] == u'd' || text[i + 1] == u's')) {
            kinds += text[i + 1];
            ++i;
        }
    }
    return kinds;
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
    if (PlaceholderKinds(entry) != PlaceholderKinds(Text))
        return Text;
    return entry;
}

QString Fill(const QString& text, std::initializer_list<FillArg> args)
{
    QString out;
    out.reserve(text.size() + 32);
    auto arg = args.begin();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && (text[i + 1] == u'd' || text[i + 1] == u's')
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
