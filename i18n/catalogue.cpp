#include "i18n/translation.h"

// Placeholder until the catalogue loader lands: the program runs in English.
void LoadTranslation()
{
    CurrentLanguageCode = SystemLanguageCode();
    CurrentLanguageIndex = 0;
}

QString SystemLanguageCode()
{
    return QStringLiteral("en");
}
