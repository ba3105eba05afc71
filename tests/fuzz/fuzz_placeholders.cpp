// The placeholder check: a key and a translation, split at the first line
// break of the input.

#include "FuzzTarget.h"

#include "i18n/translation.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype cut = bytes.indexOf('\n');
    const QString key = QString::fromUtf8(cut < 0 ? bytes : bytes.left(cut));
    const QString translation = cut < 0 ? QString() : QString::fromUtf8(bytes.mid(cut + 1));

    if (!PlaceholdersMatch(key, key) || !PlaceholdersMatch(translation, translation))
        FuzzPropertyFailed("a text does not match itself");
    const bool match = PlaceholdersMatch(key, translation);
    if (match && PlaceholderKinds(key) != PlaceholderKinds(translation))
        FuzzPropertyFailed("a match with other placeholders");

    // What Translate would show, filled.
    InstallTranslationTable({ { QStringLiteral("English"), QStringLiteral("en"), key },
        { QStringLiteral("Deutsch"), QStringLiteral("de"), translation } });
    CurrentLanguageIndex = 1;
    const QString shown = Translate(key);
    if (shown != key && (!match || shown != translation))
        FuzzPropertyFailed("Translate used a translation the check refuses");
    Fill(shown, { 1, QStringLiteral("%s"), 2, QStringLiteral("%d") });
    InstallTranslationTable({});
    CurrentLanguageIndex = 0;
    return 0;
}
