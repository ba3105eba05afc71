// The translation catalogue as it comes from the file: parse it, install it,
// and look up and fill its own key texts in every language.

#include "FuzzTarget.h"

#include "i18n/translation.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QList<QStringList>> table = ParseCatalogue(bytes);
    if (!table)
        return 0;
    const int columns = int(table->size());
    if (columns < 1)
        FuzzPropertyFailed("a catalogue without columns loaded");
    for (const QStringList& column : *table) {
        if (column.size() != table->first().size() || column.size() < 2 || column[0].isEmpty() || column[1].isEmpty())
            FuzzPropertyFailed("a column lacks its name or code, or its length differs");
    }
    const QStringList keys = table->first();
    InstallTranslationTable(*table);
    for (int k = 0; k < columns && k < 20; ++k) {
        CurrentLanguageIndex = k;
        CurrentLanguageIsRightToLeft();
        for (qsizetype r = 0; r < keys.size() && r < 50; ++r) {
            const QString shown = Translate(keys[r]);
            if (!PlaceholdersMatch(keys[r], shown))
                FuzzPropertyFailed("Translate gave a text whose placeholders differ from its key's");
            Fill(shown, { 42, QStringLiteral("%s%d"), -1 });
        }
    }
    InstallTranslationTable({});
    CurrentLanguageIndex = 0;
    return 0;
}
