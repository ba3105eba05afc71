// The shipped catalogue against the program's sources: every text that the
// program hands to Translate or TrFill (or marks with TR_KEY where a table
// hands it over later) must be a key of resources/transl.dt, translated into
// every language with the same placeholders in the same order.
//
// The sources are read with a small C++ lexer (comments, character literals,
// raw strings and adjacent literals understood), so the check sees what the
// compiler sees. A call whose text is not a literal is listed, not failed: its
// texts must carry TR_KEY where they are written.

#include "i18n/translation.h"
#include "support/TestDir.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Token {
    enum Kind { Ident, String, Punct } kind;
    QString text;
    int line;
};

// Decodes the escapes of an ordinary literal's body.
QString Unescape(QStringView body)
{
    QString out;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        if (c != u'\\' || i + 1 >= body.size()) {
            out += c;
            continue;
        }
        const QChar e = body[++i];
        switch (e.unicode()) {
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case '0': out += QChar(0); break;
        case 'x': case 'u': case 'U': {
            const int width = e == u'u' ? 4 : e == u'U' ? 8 : 2;
            bool ok = false;
            const uint code = body.mid(i + 1, width).toUInt(&ok, 16);
            if (ok) {
                out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
                i += width;
            }
            break;
        }
        default: out += e; break; // \" \\ \' \?
        }
    }
    return out;
}

QList<Token> Lex(const QString& src)
{
    QList<Token> tokens;
    int line = 1;
    const qsizetype n = src.size();
    qsizetype i = 0;
    const auto isIdentStart = [](QChar c) { return c.isLetter() || c == u'_'; };
    const auto isIdent = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    while (i < n) {
        const QChar c = src[i];
        if (c == u'\n') {
            ++line;
            ++i;
        } else if (c.isSpace()) {
            ++i;
        } else if (src.mid(i, 2) == u"//") {
            while (i < n && src[i] != u'\n')
                ++i;
        } else if (src.mid(i, 2) == u"/*") {
            const qsizetype end = src.indexOf(u"*/", i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            line += int(QStringView(src).mid(i, stop - i).count(u'\n'));
            i = stop;
        } else if (isIdentStart(c)) {
            qsizetype j = i;
            while (j < n && isIdent(src[j]))
                ++j;
            const QString word = src.mid(i, j - i);
            const bool prefix = word == u"u8" || word == u"u" || word == u"U" || word == u"L";
            const bool rawPrefix = word == u"R" || word == u"u8R" || word == u"uR" || word == u"UR" || word == u"LR";
            if (j < n && src[j] == u'"' && rawPrefix) {
                // R"delim( ... )delim"
                const qsizetype open = src.indexOf(u'(', j);
                const QString delim = src.mid(j + 1, open - j - 1);
                const QString close = u')' + delim + u'"';
                const qsizetype end = src.indexOf(close, open);
                const qsizetype stop = end < 0 ? n : end;
                tokens.append({Token::String, src.mid(open + 1, stop - open - 1), line});
                line += int(QStringView(src).mid(i, stop - i).count(u'\n'));
                i = end < 0 ? n : end + close.size();
            } else if (j < n && (src[j] == u'"' || src[j] == u'\'') && prefix) {
                i = j; // the literal follows; the prefix changes nothing here
            } else {
                tokens.append({Token::Ident, word, line});
                i = j;
            }
        } else if (c.isDigit()) {
            // Numbers, with digit separators (1'000) and suffixes.
            while (i < n && (isIdent(src[i]) || src[i] == u'.' || (src[i] == u'\'' && i + 1 < n && isIdent(src[i + 1]))))
                ++i;
        } else if (c == u'"' || c == u'\'') {
            qsizetype j = i + 1;
            while (j < n && src[j] != c && src[j] != u'\n') {
                if (src[j] == u'\\')
                    ++j;
                ++j;
            }
            if (c == u'"')
                tokens.append({Token::String, Unescape(QStringView(src).mid(i + 1, j - i - 1)), line});
            i = j + 1;
        } else {
            tokens.append({Token::Punct, QString(c), line});
            ++i;
        }
    }
    return tokens;
}

struct Use {
    QString text;
    QString where;
};

// Texts handed to Translate / TrFill / TR_KEY as literals, and the places
// where a call's text is not a literal.
void CollectTexts(const QString& file, const QString& shownName, QList<Use>& texts, QStringList& indirect)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QList<Token> t = Lex(QString::fromUtf8(f.readAll()));
    static const QSet<QString> calls{QStringLiteral("Translate"), QStringLiteral("TrFill"), QStringLiteral("TR_KEY")};
    for (qsizetype i = 0; i + 1 < t.size(); ++i) {
        if (t[i].kind != Token::Ident || !calls.contains(t[i].text) || t[i + 1].text != u"(")
            continue;
        // Declarations and definitions of the functions themselves.
        if (i > 0 && (t[i - 1].text == u"QString" || t[i - 1].text == u"define"))
            continue;
        // Every literal of the first argument is a text: a plain literal,
        // one inside a wrapper (QStringLiteral, u""_s), adjacent literals
        // joined, or each side of a choice (cond ? "a" : "b").
        QStringList found;
        QString current;
        bool inLiteral = false;
        int depth = 0;
        for (qsizetype j = i + 2; j < t.size(); ++j) {
            const Token& tok = t[j];
            if (tok.kind == Token::String) {
                current += tok.text;
                inLiteral = true;
                continue;
            }
            if (inLiteral) {
                found << current;
                current.clear();
                inLiteral = false;
            }
            if (tok.text == u"(" || tok.text == u"{" || tok.text == u"[")
                ++depth;
            else if (tok.text == u")" || tok.text == u"}" || tok.text == u"]") {
                if (depth-- == 0)
                    break;
            } else if (tok.text == u"," && depth == 0)
                break;
            else if (tok.text == u";")
                break;
        }
        const QString where = shownName + u':' + QString::number(t[i].line);
        for (const QString& text : std::as_const(found))
            texts.append({text, where});
        if (found.isEmpty())
            indirect.append(where);
    }
}

} // namespace

class TstI18nTexts : public QObject {
    Q_OBJECT

private slots:
    void lexer()
    {
        // The scanner itself, on the forms the program uses and the traps
        // around them.
        const QString src = QStringLiteral(
            "// Translate(\"commented out\")\n"
            "/* Translate(\"block\") */ x = Translate(\"plain\");\n"
            "y = TrFill(QStringLiteral(\"Group %d (%s)\"), {1, s});\n"
            "z = Translate(u\"utf16 \\\"quoted\\\"\"_s) + Translate(QString::fromUtf8(\"split \" \"literal\"));\n"
            "c = '\"'; n = 1'000; w = TR_KEY(\"Name && Size\");\n"
            "r = Translate(R\"(raw \"x\")\"); v = Translate(variable);\n"
            "s = TrFill(stop ? QStringLiteral(\"Stopping %d\") : u\"Going %d\"_s, {n});\n");
        TestDir dir;
        const QString path = dir.createFile(QStringLiteral("sample.cpp"), src.toUtf8());
        QList<Use> texts;
        QStringList indirect;
        CollectTexts(path, QStringLiteral("sample.cpp"), texts, indirect);
        QStringList found;
        for (const Use& u : texts)
            found << u.text;
        QCOMPARE(found,
            QStringList({"plain", "Group %d (%s)", "utf16 \"quoted\"", "split literal", "Name && Size", "raw \"x\"", "Stopping %d",
                "Going %d"}));
        QCOMPARE(indirect, QStringList{QStringLiteral("sample.cpp:6")});
    }

    void everyTextIsTranslated()
    {
        const QString root = QStringLiteral(TWINLENS_SOURCE_DIR);
        QList<Use> texts;
        QStringList indirect;
        for (const char* folder : {"app", "engine", "ui", "update", "i18n", "cli"}) {
            QDirIterator it(root + u'/' + QLatin1String(folder), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString file = it.next();
                CollectTexts(file, file.mid(root.size() + 1), texts, indirect);
            }
        }
        QVERIFY2(!texts.isEmpty(), "no Translate call found in the sources");
        if (!indirect.isEmpty())
            qInfo().noquote() << "Calls without a literal text (their texts need TR_KEY):" << indirect.join(u", ");

        // The shipped file, read by the program's own loader.
        QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        LoadTranslationFile(root + QStringLiteral("/resources/transl.dt"));
        QVERIFY2(TranslationTable.size() > 1, "resources/transl.dt did not load");
        const QStringList& keys = TranslationTable[0];

        QStringList problems;
        QSet<QString> seen;
        for (const Use& use : texts) {
            if (seen.contains(use.text))
                continue;
            seen.insert(use.text);
            const qsizetype row = keys.indexOf(use.text);
            if (row < 2) {
                problems << QStringLiteral("missing key \"%1\" (%2)").arg(use.text, use.where);
                continue;
            }
            for (qsizetype k = 1; k < TranslationTable.size(); ++k) {
                if (TranslationTable[k][row].isEmpty())
                    problems << QStringLiteral("no %1 translation of \"%2\"").arg(TranslationTable[k][1], use.text);
            }
        }

        // Every row of the file, used or not: placeholders kept, a mnemonic
        // (a single "&") exactly where the key has one, a literal "&" doubled
        // (a single one would turn into a mnemonic), no key twice (the second
        // could never be found).
        const auto mnemonics = [](QString text) { return text.remove(QStringLiteral("&&")).count(u'&'); };
        QSet<QString> keySet;
        for (qsizetype row = 2; row < keys.size(); ++row) {
            const QString& key = keys[row];
            if (keySet.contains(key))
                problems << QStringLiteral("key twice: \"%1\"").arg(key);
            keySet.insert(key);
            for (qsizetype k = 1; k < TranslationTable.size(); ++k) {
                const QString& entry = TranslationTable[k][row];
                if (entry.isEmpty())
                    continue;
                if (!PlaceholdersMatch(key, entry))
                    problems << QStringLiteral("%1 placeholders differ: \"%2\" -> \"%3\"").arg(TranslationTable[k][1], key, entry);
                if (mnemonics(entry) != mnemonics(key) || mnemonics(key) > 1)
                    problems << QStringLiteral("%1 single \"&\": \"%2\"").arg(TranslationTable[k][1], entry);
            }
        }

        // Every code that the system language can yield has its column.
        QStringList codes;
        for (const QStringList& column : TranslationTable)
            codes << column[1];
        for (const char* code : {"en", "ar", "cn", "cs", "de", "el", "es", "fr", "hu", "it", "jp", "kr", "nl", "pl", "pt", "tr"}) {
            if (!codes.contains(QLatin1String(code)))
                problems << QStringLiteral("no column for the code %1").arg(QLatin1String(code));
        }

        QStringList unused;
        for (const QString& key : std::as_const(keySet)) {
            if (!seen.contains(key))
                unused << key;
        }
        unused.sort();
        if (!unused.isEmpty())
            qInfo().noquote() << "Keys no source uses:" << unused.join(u" | ");

        QVERIFY2(problems.isEmpty(), qPrintable(u'\n' + problems.join(u'\n')));
    }
};

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    TstI18nTexts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_i18n_texts.moc"
