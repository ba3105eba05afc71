// The catalogue loader: file format, failures, the choice of the language, the
// settings store. The process runs under a Japanese environment (set in main,
// before the system locale is first read), so the system language is known.

#include "i18n/translation.h"
#include "platform/core/SettingsStore.h"
#include "support/TestDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QByteArray KThreeLanguages = "3\nEnglish\nDeutsch\nFran\xc3\xa7" "ais\nen\nde\nfr\nHello\nHallo\nBonjour\n";

struct SavedValue {
    enum Kind { None, Text, Bytes, List } kind = None;
    QString text;
};

} // namespace
Q_DECLARE_METATYPE(SavedValue)

class TstI18nCatalogue : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDir> FDir;

    QString WriteCatalogue(const QByteArray& bytes) { return FDir->createFile(QStringLiteral("transl.dt"), bytes); }

    static void Save(const SavedValue& v)
    {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Twinlens"));
        switch (v.kind) {
        case SavedValue::None:
            s.remove(QStringLiteral("CurrentLanguage"));
            break;
        case SavedValue::Text:
            s.setValue(QStringLiteral("CurrentLanguage"), v.text);
            break;
        case SavedValue::Bytes:
            s.setValue(QStringLiteral("CurrentLanguage"), v.text.toUtf8());
            break;
        case SavedValue::List:
            s.setValue(QStringLiteral("CurrentLanguage"), QStringList{v.text, v.text});
            break;
        }
        s.sync();
    }

    static void ExpectEnglishWithoutCatalogue()
    {
        QVERIFY(TranslationTable.isEmpty());
        QCOMPARE(CurrentLanguageIndex, 0);
        QCOMPARE(Translate(QStringLiteral("Hello")), QStringLiteral("Hello"));
    }

private slots:
    void init()
    {
        FDir = std::make_unique<TestDir>();
        // A fresh store for every case, inside the test's own folder.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FDir->path());
        InstallTranslationTable({});
        CurrentLanguageIndex = 0;
        CurrentLanguageCode.clear();
    }

    void cleanup()
    {
        InstallTranslationTable({});
        CurrentLanguageIndex = 0;
    }

    // Files that load: the line breaks, the byte-order mark, the dropped last
    // block. German is the saved choice; "Hello" must come back in German and
    // every column must hold the expected number of entries.
    void fileFormat_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("hello");

        const QByteArray base = "2\nEnglish\nDeutsch\nen\nde\nHello\nHallo";
        QTest::newRow("LF, final break") << base + "\n" << 3 << "Hallo";
        QTest::newRow("no final break") << base << 3 << "Hallo";
        QTest::newRow("CR LF") << QByteArray(base).replace("\n", "\r\n") + "\r\n" << 3 << "Hallo";
        QTest::newRow("lone CR") << QByteArray(base).replace("\n", "\r") + "\r" << 3 << "Hallo";
        QTest::newRow("mixed breaks") << QByteArray("2\r\nEnglish\rDeutsch\nen\r\nde\rHello\nHallo\r\n") << 3 << "Hallo";
        QTest::newRow("byte-order mark") << "\xef\xbb\xbf" + base + "\n" << 3 << "Hallo";
        QTest::newRow("incomplete last block dropped") << base + "\nBye\n" << 3 << "Hallo";
        QTest::newRow("empty entry is untranslated") << QByteArray("2\nEnglish\nDeutsch\nen\nde\nHello\n\n") << 3 << "Hello";
        // With one column every line is an entry: a break after the last line
        // must not add an empty one, a blank line before it must.
        QTest::newRow("one column") << QByteArray("1\nEnglish\nde\nHello\n") << 3 << "Hello";
        QTest::newRow("one column, blank last line") << QByteArray("1\nEnglish\nde\nHello\n\n") << 4 << "Hello";
        QTest::newRow("count with spaces") << " 2 \n" + base.mid(2) << 3 << "Hallo";
    }

    void fileFormat()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, entries);
        QFETCH(QString, hello);
        Save({SavedValue::Text, QStringLiteral("de")});
        LoadTranslationFile(WriteCatalogue(bytes));
        QVERIFY(!TranslationTable.isEmpty());
        for (const QStringList& column : TranslationTable)
            QCOMPARE(column.size(), entries);
        QCOMPARE(TranslationTable[0][0], QStringLiteral("English"));
        QCOMPARE(Translate(QStringLiteral("Hello")), hello);
    }

    // The look-up with German chosen: a translation whose '%' sequences are
    // not its key's is not used, and the language rows are not program texts.
    void lookUp_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("german");
        QTest::addColumn<bool>("used");
        QTest::newRow("same placeholders") << "%d files in %s" << "%d Dateien in %s" << true;
        QTest::newRow("placeholders swapped") << "%d files in %s" << "in %s: %d Dateien" << false;
        QTest::newRow("a lone percent sign added") << "%d files" << "%d Dateien %" << false;
        QTest::newRow("%n added") << "%d files" << "%d Dateien %n" << false;
        QTest::newRow("%%d is no placeholder") << "%d files" << "%%d Dateien" << false;
        QTest::newRow("%% the key holds too") << "100%% of %d" << "%d zu 100%%" << true;
    }

    void lookUp()
    {
        QFETCH(QString, key);
        QFETCH(QString, german);
        QFETCH(bool, used);
        InstallTranslationTable({ { QStringLiteral("English"), QStringLiteral("en"), key },
            { QStringLiteral("Deutsch"), QStringLiteral("de"), german } });
        CurrentLanguageIndex = 1;
        QCOMPARE(Translate(key), used ? german : key);
        QCOMPARE(PlaceholdersMatch(key, german), used);
    }

    void languageRowsAreNoTexts()
    {
        LoadTranslationFile(WriteCatalogue(KThreeLanguages));
        CurrentLanguageIndex = 1;
        QCOMPARE(Translate(QStringLiteral("Hello")), QStringLiteral("Hallo"));
        QCOMPARE(Translate(QStringLiteral("English")), QStringLiteral("English"));
        QCOMPARE(Translate(QStringLiteral("en")), QStringLiteral("en"));
    }

    void fillReadsDoublePercentAsOne()
    {
        QCOMPARE(Fill(QStringLiteral("%%d of %d: 100%%, %s"), { 5, QStringLiteral("%d") }), QStringLiteral("%d of 5: 100%, %d"));
    }

    // Files that do not load: the program runs in English with an empty table
    // (so the language menu has no item), whatever the saved choice.
    void brokenFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("only a byte-order mark") << QByteArray("\xef\xbb\xbf");
        QTest::newRow("first line not a number") << QByteArray("three\n") + KThreeLanguages.mid(2);
        QTest::newRow("number with text") << QByteArray("3 languages\n") + KThreeLanguages.mid(2);
        QTest::newRow("zero columns") << QByteArray("0\nEnglish\nen\nHello\n");
        QTest::newRow("negative count") << QByteArray("-3\n") + KThreeLanguages.mid(2);
        QTest::newRow("count past 32 bits") << QByteArray("99999999999999999999\n") + KThreeLanguages.mid(2);
        QTest::newRow("huge count") << QByteArray("2000000000\n") + KThreeLanguages.mid(2);
        QTest::newRow("names only") << QByteArray("3\nEnglish\nDeutsch\nFrancais\n");
        QTest::newRow("codes incomplete") << QByteArray("3\nEnglish\nDeutsch\nFrancais\nen\nde\n");
        QTest::newRow("empty code") << QByteArray("3\nEnglish\nDeutsch\nFrancais\nen\n\nfr\nHello\nHallo\nBonjour\n");
        QTest::newRow("empty name") << QByteArray("3\nEnglish\n\nFrancais\nen\nde\nfr\nHello\nHallo\nBonjour\n");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 131 + 7) % 256));
        QTest::newRow("binary") << binary;
    }

    void brokenFile()
    {
        QFETCH(QByteArray, bytes);
        Save({SavedValue::Text, QStringLiteral("de")});
        LoadTranslationFile(WriteCatalogue(bytes));
        ExpectEnglishWithoutCatalogue();
        QCOMPARE(CurrentLanguageCode, QStringLiteral("de"));
    }

    void missingOrOversizedFile()
    {
        Save({SavedValue::Text, QStringLiteral("de")});
        LoadTranslationFile(FDir->path(QStringLiteral("transl.dt")));
        ExpectEnglishWithoutCatalogue();

        // A folder of that name is no file either.
        QVERIFY(QDir(FDir->path()).mkdir(QStringLiteral("folder.dt")));
        LoadTranslationFile(FDir->path(QStringLiteral("folder.dt")));
        ExpectEnglishWithoutCatalogue();

        // A valid catalogue padded past the limit is refused, not read.
        QByteArray big = KThreeLanguages;
        big.append(QByteArray(MaxTranslationFileBytes, '\n'));
        LoadTranslationFile(WriteCatalogue(big));
        ExpectEnglishWithoutCatalogue();

        // A previously loaded catalogue is dropped by a failed load.
        LoadTranslationFile(WriteCatalogue(KThreeLanguages));
        QCOMPARE(Translate(QStringLiteral("Hello")), QStringLiteral("Hallo"));
        LoadTranslationFile(FDir->path(QStringLiteral("nothing-here.dt")));
        ExpectEnglishWithoutCatalogue();
    }

    // The saved choice against the system language (Japanese here).
    void languageChoice_data()
    {
        QTest::addColumn<SavedValue>("saved");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("rightToLeft");

        QTest::newRow("no choice: system language") << SavedValue{} << "jp" << 2 << false;
        QTest::newRow("saved DE matches de") << SavedValue{SavedValue::Text, "DE"} << "DE" << 1 << false;
        QTest::newRow("saved ar") << SavedValue{SavedValue::Text, "ar"} << "ar" << 3 << true;
        QTest::newRow("saved key language") << SavedValue{SavedValue::Text, "en"} << "en" << 0 << false;
        QTest::newRow("saved code the file lacks") << SavedValue{SavedValue::Text, "xx"} << "xx" << 0 << false;
        QTest::newRow("saved empty text") << SavedValue{SavedValue::Text, ""} << "" << 0 << false;
        QTest::newRow("saved binary ignored") << SavedValue{SavedValue::Bytes, "de"} << "jp" << 2 << false;
        QTest::newRow("saved list ignored") << SavedValue{SavedValue::List, "de"} << "jp" << 2 << false;
    }

    void languageChoice()
    {
        QFETCH(SavedValue, saved);
        QFETCH(QString, code);
        QFETCH(int, index);
        QFETCH(bool, rightToLeft);
        Save(saved);
        LoadTranslationFile(WriteCatalogue(QByteArray(
            "4\nEnglish\nDeutsch\n\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\nArabic\nen\nde\njp\nar\nHello\nHallo\n"
            "\xe3\x81\x93\xe3\x82\x93\xe3\x81\xab\xe3\x81\xa1\xe3\x81\xaf\nmarhaba\n")));
        QCOMPARE(CurrentLanguageCode, code);
        QCOMPARE(CurrentLanguageIndex, index);
        QCOMPARE(CurrentLanguageIsRightToLeft(), rightToLeft);
        QCOMPARE(Translate(QStringLiteral("Hello")), TranslationTable[index][2]);
    }

    void systemLanguageCode_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("code");
        const auto row = [](const char* name, QLocale::Language l, QLocale::Territory t, const char* code) {
            QTest::newRow(name) << QLocale(l, t) << QString::fromLatin1(code);
        };
        row("Arabic (Egypt)", QLocale::Arabic, QLocale::Egypt, "ar");
        row("Chinese (China)", QLocale::Chinese, QLocale::China, "cn");
        row("Chinese (Taiwan)", QLocale::Chinese, QLocale::Taiwan, "cn");
        row("Czech", QLocale::Czech, QLocale::Czechia, "cs");
        row("German (Austria)", QLocale::German, QLocale::Austria, "de");
        row("Greek", QLocale::Greek, QLocale::Greece, "el");
        row("Spanish (Mexico)", QLocale::Spanish, QLocale::Mexico, "es");
        row("French (Canada)", QLocale::French, QLocale::Canada, "fr");
        row("Hungarian", QLocale::Hungarian, QLocale::Hungary, "hu");
        row("Italian", QLocale::Italian, QLocale::Italy, "it");
        row("Japanese", QLocale::Japanese, QLocale::Japan, "jp");
        row("Korean", QLocale::Korean, QLocale::SouthKorea, "kr");
        row("Dutch (Belgium)", QLocale::Dutch, QLocale::Belgium, "nl");
        row("Polish", QLocale::Polish, QLocale::Poland, "pl");
        row("Portuguese (Brazil)", QLocale::Portuguese, QLocale::Brazil, "pt");
        row("Turkish", QLocale::Turkish, QLocale::Turkey, "tr");
        row("English", QLocale::English, QLocale::UnitedStates, "en");
        row("Russian", QLocale::Russian, QLocale::Russia, "en");
        row("Swedish", QLocale::Swedish, QLocale::Sweden, "en");
        QTest::newRow("C") << QLocale::c() << "en";
    }

    void systemLanguageCode()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, code);
        QCOMPARE(SystemLanguageCode(locale), code);
    }

    void settingsStore()
    {
        const QString location = platform::SettingsLocation();
        QCOMPARE(QFileInfo(location).absolutePath(), QFileInfo(FDir->path()).absoluteFilePath());
        QCOMPARE(QFileInfo(location).fileName(), QStringLiteral("Twinlens.conf"));
        QVERIFY(!platform::ReadSavedLanguage().has_value());

        QVERIFY(platform::WriteSavedLanguage(QStringLiteral("pl")));
        QVERIFY(QFileInfo(location).isFile());
        QCOMPARE(platform::ReadSavedLanguage().value_or(QString()), QStringLiteral("pl"));

        // A store that cannot be written says so (a folder where the file
        // belongs defeats root as well as anyone).
        QTemporaryDir blocked;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocked.path());
        QVERIFY(QDir(blocked.path()).mkdir(QStringLiteral("Twinlens.conf")));
        QVERIFY(!platform::WriteSavedLanguage(QStringLiteral("pl")));
    }
};

int main(int argc, char** argv)
{
    // The system language is read from the environment when the system locale
    // is first built: set it before anything touches QLocale.
    qputenv("LC_ALL", "ja_JP.UTF-8");
    qputenv("LANG", "ja_JP.UTF-8");
    qputenv("LANGUAGE", "ja");
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    TstI18nCatalogue test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_i18n_catalogue.moc"
