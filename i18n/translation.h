#pragma once
// Text look-up: every shown text is English in the program and passes through
// Translate at the moment it is shown. Texts with %d and %s are translated first
// and filled afterwards with Fill / TrFill, never through a printf-style format.
//
// Used only from the user-interface thread.

#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <optional>

class QLocale;

// The catalogue: one column per language, in file order; entry 0 of a column is
// the language's display name, entry 1 its code, entries 2.. its texts. Column 0
// is the key column (the program's English texts). Empty until a catalogue is
// installed.
extern QList<QStringList> TranslationTable;
// Column of the current language; 0 (or less) means no translation.
extern int CurrentLanguageIndex;
// Code of the chosen language, such as "de".
extern QString CurrentLanguageCode;

// Replaces the catalogue (and its look-up index). Does not touch the language
// index or code.
void InstallTranslationTable(QList<QStringList> table);

// English text -> text of the current language; the text itself when the
// catalogue lacks it as a program text (the language names and codes are not
// looked up), its entry is empty, or PlaceholdersMatch refuses the entry, so a
// damaged catalogue can neither crash a fill nor garble a message.
QString Translate(const QString& Text);

// The placeholders of a text in order, as a string of 'd' and 's' ("ds" for
// "Group %d (%s)"). "%%" is a literal percent sign, so "%%d" holds none.
QString PlaceholderKinds(const QString& text);
// True when translation may stand for key: the same placeholders in the same
// order, and no other '%' sequence ("%%", "%n", a lone "%") that key does not
// hold as well.
bool PlaceholdersMatch(const QString& key, const QString& translation);

// One value for a placeholder: %d takes a whole number, %s a text.
class FillArg {
public:
    FillArg(int v) : FIsNumber(true), FNumber(v) {}
    FillArg(long v) : FIsNumber(true), FNumber(v) {}
    FillArg(long long v) : FIsNumber(true), FNumber(v) {}
    FillArg(unsigned v) : FIsNumber(true), FNumber(v) {}
    FillArg(const QString& v) : FIsNumber(false), FText(v) {}
    FillArg(const char* v) : FIsNumber(false), FText(QString::fromUtf8(v)) {}
    bool IsNumber() const { return FIsNumber; }
    QString Text() const { return FIsNumber ? QString::number(FNumber) : FText; }

private:
    bool FIsNumber;
    long long FNumber = 0;
    QString FText;
};

// Fills %d and %s of text, in order, with args, and writes "%%" as one "%".
// A placeholder without a value stays as it is; surplus values are ignored.
// Anything else in text is kept literally, and the values are never read for
// placeholders (a '%' in a path is harmless).
QString Fill(const QString& text, std::initializer_list<FillArg> args);

// Translate, then Fill.
inline QString TrFill(const QString& english, std::initializer_list<FillArg> args)
{
    return Fill(Translate(english), args);
}

// Loads "transl.dt" beside the running program and picks the current language
// from the saved choice or the system language. Never fails: on any error the
// program runs in English.
void LoadTranslation();
// The catalogue code of the system's user-interface language ("en" for others).
QString SystemLanguageCode();

// The file LoadTranslation reads: "transl.dt" in the folder of the running
// program's file when one is there (a build folder, a program unpacked as it
// is), else the installed one in ../share/twinlens/ relative to that folder.
// When neither exists, the path beside the program (whose absence the loader
// reports to itself).
QString TranslationFilePath();

// LoadTranslation with the catalogue at path. Sets CurrentLanguageCode to the
// saved choice (platform::ReadSavedLanguage), or else to SystemLanguageCode;
// then reads the file and picks the first column whose code equals it without
// regard to case (the key column, 0, when none does).
// The file: UTF-8 (a byte-order mark is skipped); lines end at CR LF, CR or LF,
// a break after the last line adds none; line 1 is N, the number of columns;
// the following lines form blocks of N lines, one entry each (names, codes,
// then the texts); an incomplete last block is ignored.
// On any failure (no regular file at path, a file larger than
// MaxTranslationFileBytes or unreadable, a first line that is not a whole
// number from 1 on, fewer lines than the names and codes need, an empty name or
// code) the catalogue is dropped whole: TranslationTable empty,
// CurrentLanguageIndex 0, nothing shown. No language item can then lack its
// name or code.
void LoadTranslationFile(const QString& path);
// The catalogue in bytes (the file's whole content) as LoadTranslationFile
// reads it: its columns, or nothing when it does not load.
std::optional<QList<QStringList>> ParseCatalogue(const QByteArray& bytes);
// A catalogue is a few hundred kilobytes; far larger files are refused rather
// than read into memory.
inline constexpr qint64 MaxTranslationFileBytes = 4 * 1024 * 1024;

// The catalogue code of the user-interface language of locale: its first UI
// language (QLocale::uiLanguages), else its language, by primary language:
// ar cn cs de el es fr hu it jp kr nl pl pt tr, any other "en".
QString SystemLanguageCode(const QLocale& locale);

// True when the current language (the code of column CurrentLanguageIndex) is
// written right to left, so the window is laid out mirrored.
bool CurrentLanguageIsRightToLeft();

// Marks a key text that reaches Translate indirectly (a table of captions), so
// that the catalogue check of the tests finds it among the program's texts.
// Expands to the literal itself.
#define TR_KEY(text) text
