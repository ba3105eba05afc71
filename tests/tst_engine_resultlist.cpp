// Size texts and the CSV text of a result list.

#include "engine/ResultList.h"

#include <QTest>

class TestResultList : public QObject {
    Q_OBJECT
private slots:
    void formatSizeMB_data();
    void formatSizeMB();
    void csvText();
    void csvFormulaCells_data();
    void csvFormulaCells();
};

void TestResultList::formatSizeMB_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QChar>("point");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << QChar('.') << "0.00 MB";
    QTest::newRow("just below a half hundredth") << qint64(5242) << QChar('.') << "0.00 MB";
    QTest::newRow("just above a half hundredth") << qint64(5243) << QChar('.') << "0.01 MB";
    QTest::newRow("exactly halfway rounds up") << qint64(131072) << QChar('.') << "0.13 MB";
    QTest::newRow("1 MiB") << qint64(1048576) << QChar('.') << "1.00 MB";
    QTest::newRow("1.5 MiB") << qint64(1572864) << QChar('.') << "1.50 MB";
    QTest::newRow("10 GiB, no thousands separator") << qint64(10737418240LL) << QChar('.') << "10240.00 MB";
    QTest::newRow("1 TiB") << qint64(1099511627776LL) << QChar('.') << "1048576.00 MB";
    QTest::newRow("rounds up into the next whole") << qint64(1048576 - 1) << QChar('.') << "1.00 MB";
    QTest::newRow("unreadable") << qint64(-1) << QChar('.') << "0";
    QTest::newRow("comma") << qint64(1572864) << QChar(',') << "1,50 MB";
}

void TestResultList::formatSizeMB()
{
    QFETCH(qint64, bytes);
    QFETCH(QChar, point);
    QFETCH(QString, text);
    QCOMPARE(FormatSizeMB(bytes, point), text);
}

// Header bare, fields quoted with quotes doubled, CR LF after every line,
// UTF-8 after a byte-order mark, nothing else.
void TestResultList::csvText()
{
    ResultList list;
    list.Columns = { "Group", "Say \"hi\"", "Size" };
    QCOMPARE(CsvText(list), QByteArray("\xEF\xBB\xBFGroup,Say \"hi\",Size\r\n"));

    list.AddGroup(1, "Group 1");
    ResultItem a;
    a.Caption = "1";
    a.SubItems = { "a \"b\".txt", "/x,y/\u00E9", "1,50 MB" };
    a.GroupId = 1;
    list.AddItem(a);
    ResultItem b;
    b.Caption = "1";
    b.SubItems = { "short" }; // fewer fields, no trailing separator
    b.GroupId = 1;
    b.Checked = true;
    list.AddItem(b);
    QCOMPARE(CsvText(list),
        QByteArray("\xEF\xBB\xBFGroup,Say \"hi\",Size\r\n"
                   "\"1\",\"a \"\"b\"\".txt\",\"/x,y/\xC3\xA9\",\"1,50 MB\"\r\n"
                   "\"1\",\"short\"\r\n"));
}

// A name a spreadsheet would run as a formula is written as text: a leading '
// inside the quotes. Only the first character counts, and a name that begins
// with ' gets one too, so that "=1" and "'=1" stay apart.
void TestResultList::csvFormulaCells_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("cell");
    QTest::newRow("=") << "=HYPERLINK(\"http:evil\",\"y\")" << QByteArray("\"'=HYPERLINK(\"\"http:evil\"\",\"\"y\"\")\"");
    QTest::newRow("+") << "+1+2" << QByteArray("\"'+1+2\"");
    QTest::newRow("-") << "-3+4" << QByteArray("\"'-3+4\"");
    QTest::newRow("@") << "@SUM(A1)" << QByteArray("\"'@SUM(A1)\"");
    QTest::newRow("tab") << "\t=1" << QByteArray("\"'\t=1\"");
    QTest::newRow("carriage return") << "\r=1" << QByteArray("\"'\r=1\"");
    QTest::newRow("inside, not first") << "a=1+2-3@" << QByteArray("\"a=1+2-3@\"");
    QTest::newRow("text mark first") << "'=1" << QByteArray("\"''=1\"");
    QTest::newRow("quote first") << "\"=1" << QByteArray("\"\"\"=1\"");
    QTest::newRow("blank first") << " =1" << QByteArray("\" =1\"");
    QTest::newRow("empty") << "" << QByteArray("\"\"");
}

void TestResultList::csvFormulaCells()
{
    QFETCH(QString, field);
    QFETCH(QByteArray, cell);
    ResultList list;
    list.Columns = { "=Group", "-Name" }; // the header is the program's text: bare
    list.AddGroup(1, "Group 1");
    ResultItem item;
    item.Caption = field; // the caption is a field like any other
    item.SubItems = { field };
    item.GroupId = 1;
    list.AddItem(item);
    QCOMPARE(CsvText(list), "\xEF\xBB\xBF=Group,-Name\r\n" + cell + "," + cell + "\r\n");
}

QTEST_GUILESS_MAIN(TestResultList)
#include "tst_engine_resultlist.moc"
