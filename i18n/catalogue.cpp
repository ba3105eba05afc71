#include "i18n/translation.h"

#include "BuildInfo.h"
#include "platform/core/FileSystem.h"
#include "platform/core/SettingsStore.h"
#include "platform/core/TextLines.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringDecoder>

#include <stdexcept>

namespace {

// Stays inside the loader: a catalogue that cannot be used is never reported,
// the program simply shows its English texts.
class CatalogueError : public std::runtime_error {
public:
    explicit CatalogueError(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }
};

QByteArray ReadWhole(const QString& path)
{
    if (!platform::RegularFileExists(path))
        throw CatalogueError(QStringLiteral("Cannot find translation file:") + path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CatalogueError(QStringLiteral("Cannot read translation file:") + path);
    // One byte more than allowed tells a file at the limit from a larger one,
    // also when it grows while being read.
    QByteArray bytes = file.read(MaxTranslationFileBytes + 1);
    if (bytes.size() > MaxTranslationFileBytes)
        throw CatalogueError(QStringLiteral("Translation file too large:") + path);
    if (file.error() != QFileDevice::NoError)
        throw CatalogueError(QStringLiteral("Cannot read translation file:") + path);
    return bytes;
}

QList<QStringList> ParseCatalogueOrThrow(const QByteArray& bytes)
{
    // Invalid UTF-8 turns into replacement characters, as any UTF-8 reader
    // does: a stray byte damages one text, not the whole catalogue.
    QString text = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless).decode(bytes);
    QStringView view(text);
    if (view.startsWith(QChar(0xFEFF)))
        view = view.mid(1);
    const QList<QStringView> lines = platform::SplitLines(view);

    if (lines.isEmpty())
        throw CatalogueError(QStringLiteral("Empty translation file"));
    bool ok = false;
    const int n = lines.first().trimmed().toInt(&ok, 10);
    if (!ok || n <= 0)
        throw CatalogueError(QStringLiteral("Invalid language count: ") + lines.first().left(40).toString());
    // The names and the codes must be complete; checked before anything is
    // allocated, so a huge N costs nothing.
    const qsizetype entries = (lines.size() - 1) / n;
    if (entries < 2)
        throw CatalogueError(QStringLiteral("Translation file too short for its codes"));

    // Every language item needs its name and its code.
    for (int k = 0; k < n; ++k) {
        if (lines[k + 1].isEmpty() || lines[n + k + 1].isEmpty())
            throw CatalogueError(QStringLiteral("Language without a name or a code"));
    }

    QList<QStringList> table(n);
    for (int k = 0; k < n; ++k) {
        QStringList& column = table[k];
        column.reserve(entries);
        for (qsizetype r = 0; r < entries; ++r)
            column.append(lines[r * n + k + 1].toString());
    }
    return table;
}

} // namespace

std::optional<QList<QStringList>> ParseCatalogue(const QByteArray& bytes)
{
    try {
        return ParseCatalogueOrThrow(bytes);
    } catch (...) {
        return std::nullopt;
    }
}

QString TranslationFilePath()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString beside = programDir + QStringLiteral("/transl.dt");
    if (platform::RegularFileExists(beside))
        return beside;
    const QString installed = QDir::cleanPath(programDir + QStringLiteral("/" TWINLENS_DATA_FROM_BINDIR "/transl.dt"));
    return platform::RegularFileExists(installed) ? installed : beside;
}

void LoadTranslation()
{
    LoadTranslationFile(TranslationFilePath());
}

void LoadTranslationFile(const QString& path)
{
    CurrentLanguageCode = SystemLanguageCode();
    if (const std::optional<QString> saved = platform::ReadSavedLanguage())
        CurrentLanguageCode = *saved;

    try {
        QList<QStringList> table = ParseCatalogueOrThrow(ReadWhole(path));
        int index = 0;
        for (int k = 0; k < table.size(); ++k) {
            if (QString::compare(table[k][1], CurrentLanguageCode, Qt::CaseInsensitive) == 0) {
                index = k;
                break;
            }
        }
        InstallTranslationTable(std::move(table));
        CurrentLanguageIndex = index;
    } catch (...) {
        // Whatever went wrong (a bad file, no memory for a huge one), start-up
        // goes on in English.
        InstallTranslationTable({});
        CurrentLanguageIndex = 0;
    }
}

QString SystemLanguageCode(const QLocale& locale)
{
    QLocale::Language language = locale.language();
    const QStringList uiLanguages = locale.uiLanguages();
    if (!uiLanguages.isEmpty())
        language = QLocale(uiLanguages.first()).language();
    switch (language) {
    case QLocale::Arabic:
        return QStringLiteral("ar");
    case QLocale::Chinese:
        return QStringLiteral("cn");
    case QLocale::Czech:
        return QStringLiteral("cs");
    case QLocale::German:
        return QStringLiteral("de");
    case QLocale::Greek:
        return QStringLiteral("el");
    case QLocale::Spanish:
        return QStringLiteral("es");
    case QLocale::French:
        return QStringLiteral("fr");
    case QLocale::Hungarian:
        return QStringLiteral("hu");
    case QLocale::Italian:
        return QStringLiteral("it");
    case QLocale::Japanese:
        return QStringLiteral("jp");
    case QLocale::Korean:
        return QStringLiteral("kr");
    case QLocale::Dutch:
        return QStringLiteral("nl");
    case QLocale::Polish:
        return QStringLiteral("pl");
    case QLocale::Portuguese:
        return QStringLiteral("pt");
    case QLocale::Turkish:
        return QStringLiteral("tr");
    default:
        return QStringLiteral("en");
    }
}

QString SystemLanguageCode()
{
    return SystemLanguageCode(QLocale::system());
}

bool CurrentLanguageIsRightToLeft()
{
    if (CurrentLanguageIndex <= 0 || CurrentLanguageIndex >= TranslationTable.size())
        return false;
    const QStringList& column = TranslationTable[CurrentLanguageIndex];
    return column.size() > 1 && QString::compare(column[1], QStringLiteral("ar"), Qt::CaseInsensitive) == 0;
}
