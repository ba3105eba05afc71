// What twinlens-cli makes of outside text before it reaches a terminal: no
// control character and no ill-formed UTF-8 gets through, everything else
// does unchanged.

#include "cli/TerminalText.h"

#include <QTest>

class TestTerminalText : public QObject {
    Q_OBJECT
private slots:
    void native_data();
    void native();
    void text();
};

void TestTerminalText::native_data()
{
    QTest::addColumn<QByteArray>("native");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << QByteArray("/data/a b.txt") << "/data/a b.txt";
    QTest::newRow("title escape") << QByteArray("x\x1b]2;owned\x07y") << "x\\x1B]2;owned\\x07y";
    QTest::newRow("clear screen") << QByteArray("\x1b[2J") << "\\x1B[2J";
    QTest::newRow("line ends and tab") << QByteArray("a\nb\rc\td") << "a\\x0Ab\\x0Dc\\x09d";
    QTest::newRow("NUL and DEL") << QByteArray("a\0b\x7f", 4) << "a\\x00b\\x7F";
    QTest::newRow("C1 CSI as UTF-8") << QByteArray("a\xC2\x9B" "2Jb") << "a\\u009B2Jb";
    QTest::newRow("C1 NEL as UTF-8") << QByteArray("\xC2\x85") << "\\u0085";
    QTest::newRow("lone C1 byte") << QByteArray("a\x9B" "2J") << "a\\x9B2J";
    QTest::newRow("Latin-1 name") << QByteArray("caf\xE9.txt") << "caf\\xE9.txt";
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << "\\xC0\\xAF";
    QTest::newRow("overlong three bytes") << QByteArray("\xE0\x80\xAF") << "\\xE0\\x80\\xAF";
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << "\\xED\\xA0\\x80";
    QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << "\\xF4\\x90\\x80\\x80";
    QTest::newRow("cut sequence at the end") << QByteArray("ab\xE2\x82") << "ab\\xE2\\x82";
    QTest::newRow("well-formed non-ASCII") << QByteArray("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xE4\xB8\xAD")
                                           << QString::fromUtf8("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xE4\xB8\xAD");
    QTest::newRow("U+00A0 is no control") << QByteArray("a\xC2\xA0" "b") << QString::fromUtf8("a\xC2\xA0" "b");
}

void TestTerminalText::native()
{
    QFETCH(QByteArray, native);
    QFETCH(QString, shown);
    QCOMPARE(TerminalSafeNative(native), shown);
    // What went out is safe already: a second pass changes nothing.
    QCOMPARE(TerminalSafe(shown), shown);
}

// A QString cannot hold ill-formed UTF-8, but it can hold lone surrogates,
// which would leave as '?' or worse.
void TestTerminalText::text()
{
    QCOMPARE(TerminalSafe(QString::fromUtf16(u"a\x1b[0m\u0090b")), QStringLiteral("a\\x1B[0m\\u0090b"));
    const QChar lone[] = { QChar(u'a'), QChar(char16_t(0xD800)), QChar(u'b'), QChar(char16_t(0xDC00)) };
    QCOMPARE(TerminalSafe(QString(lone, 4)), QStringLiteral("a\\uD800b\\uDC00"));
    const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");
    QCOMPARE(TerminalSafe(pair), pair);
}

QTEST_GUILESS_MAIN(TestTerminalText)
#include "tst_cli_terminaltext.moc"
