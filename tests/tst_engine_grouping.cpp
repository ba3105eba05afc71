// File clone grouping: the four ways of comparing, the group size and count
// limits, the ranking, and how groups land in the file clone list.

#include "support/RecordingWindow.h"

#include <QTest>

namespace {

// "folder/name:size[:digest]" -> a record; no file is needed to group.
void AddRecords(ScanWindow& w, const QStringList& records)
{
    for (const QString& record : records) {
        const QStringList parts = record.split(QLatin1Char(':'));
        const QString path = QStringLiteral("/data/") + parts[0];
        w.FFiles.push_back(std::make_unique<TFileInfo>(path, parts[1].toLongLong()));
        if (parts.size() > 2)
            w.FFiles.back()->SetContentHash(parts[2].repeated(40 / parts[2].size()));
        w.FFileMap.insert(path, w.FFiles.back());
    }
}

// The groups of lvFiles in list order, each as its members' paths below /data/.
QList<QStringList> Groups(const ScanWindow& w)
{
    QList<QStringList> out;
    int id = -1;
    for (const ResultItem& item : w.lvFiles.Items()) {
        if (item.GroupId != id) {
            out << QStringList();
            id = item.GroupId;
        }
        out.last() << item.Data->FullPath().mid(6);
    }
    return out;
}

} // namespace

class TestGrouping : public QObject {
    Q_OBJECT
private slots:
    void modes_data();
    void modes();
    void listing();
    void maxGroupsKeepsLargest();
    void statusEvery50Groups();
};

void TestGrouping::modes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("minGroupSize");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QList<QStringList>>("groups");

    const QStringList mixed = { "x/Photo.JPG:100", "y/photo.jpg:200", "z/a.txt:100", "z/b.txt:1000", "w/a.txt:1000",
        "v/A.TXT:100" };
    QTest::newRow("name folds case, any size")
        << 0 << 2 << mixed
        << QList<QStringList> { { "z/a.txt", "w/a.txt", "v/A.TXT" }, { "x/Photo.JPG", "y/photo.jpg" } };
    QTest::newRow("size") << 1 << 2 << mixed
                          << QList<QStringList> { { "z/b.txt", "w/a.txt" }, { "x/Photo.JPG", "z/a.txt", "v/A.TXT" } };
    QTest::newRow("name and size") << 2 << 2 << mixed << QList<QStringList> { { "z/a.txt", "v/A.TXT" } };
    QTest::newRow("content") << 3 << 2
                             << QStringList { "a/1:10:ab", "b/2:10:ab", "c/3:10:cd", "d/4:10", "e/5:10", "f/6:10:cd", "g/7:10:ab" }
                             << QList<QStringList> { { "a/1", "b/2", "g/7" }, { "c/3", "f/6" } };
    QTest::newRow("content skips empty digests") << 3 << 2 << QStringList { "a/1:10", "b/2:10" } << QList<QStringList> {};

    // A group of two 5 MB files (10 MB) ranks above three of 3 MB (9 MB).
    const QStringList sizes = { "a:3145728", "b:5242880", "c:3145728", "d:5242880", "e:3145728", "f:7", "g:7" };
    QTest::newRow("ranked by total size") << 1 << 2 << sizes
                                          << QList<QStringList> { { "b", "d" }, { "a", "c", "e" }, { "f", "g" } };
    QTest::newRow("minimum 3") << 1 << 3 << sizes << QList<QStringList> { { "a", "c", "e" } };
    QTest::newRow("minimum 1 acts as 2") << 1 << 1 << QStringList { "a:1", "b:2" } << QList<QStringList> {};
    QTest::newRow("minimum 0 acts as 2") << 1 << 0 << QStringList { "a:1", "b:2", "c:2" }
                                         << QList<QStringList> { { "b", "c" } };
    QTest::newRow("nothing") << 3 << 2 << QStringList {} << QList<QStringList> {};
    // An unknown choice compares by content.
    QTest::newRow("no choice marked") << -1 << 2 << QStringList { "a:1:ab", "b:1:ab", "c:1" }
                                      << QList<QStringList> { { "a", "b" } };
}

void TestGrouping::modes()
{
    QFETCH(int, mode);
    QFETCH(int, minGroupSize);
    QFETCH(QStringList, files);
    QFETCH(QList<QStringList>, groups);
    RecordingWindow w;
    w.FSettings.CompareIndex = mode;
    w.FSettings.MinGroupSize = minGroupSize;
    w.FSettings.MaxGroups = 0;
    AddRecords(w, files);
    w.FindFileDuplicates();
    QCOMPARE(Groups(w), groups);
    QCOMPARE(w.lvFiles.GroupCount(), groups.size());
    QCOMPARE(w.StatusText(), "Duplicate file groups populated.");
    QCOMPARE(w.CurrentProgress().Max, qMax<int>(1, int(groups.size())));
    QCOMPARE(w.ProgressPosition(), int(groups.size()));
}

// Group ids, headers, captions, check marks and columns of the listed rows;
// the list is left redrawing and in group view.
void TestGrouping::listing()
{
    RecordingWindow w;
    w.FSettings.CompareIndex = 1;
    AddRecords(w, { "p/a.bin:1048576", "q/b.bin:1048576", "a.bin:1048576", "s/c.bin:10", "t/c.bin:10" });
    w.FindFileDuplicates();
    QCOMPARE(w.lvFiles.GroupCount(), 2);
    QCOMPARE(w.lvFiles.Groups()[0].Id, 1);
    QCOMPARE(w.lvFiles.Groups()[0].Header, QString("Group 1 (%1)").arg(FormatSizeMB(3 * 1048576)));
    QCOMPARE(w.lvFiles.Groups()[1].Id, 2);
    QCOMPARE(w.lvFiles.ItemCount(), 5);
    const ResultItem& first = w.lvFiles.Item(0);
    QCOMPARE(first.Caption, "1");
    QCOMPARE(first.GroupId, 1);
    QVERIFY(!first.Checked);
    QCOMPARE(first.Texts(), (QStringList { "a.bin", "/data/p", FormatSizeMB(1048576) }));
    QVERIFY(w.lvFiles.Item(1).Checked);
    QVERIFY(w.lvFiles.Item(2).Checked);
    QCOMPARE(w.lvFiles.Item(2).Text(1), "/data");
    QVERIFY(!w.lvFiles.Item(3).Checked);
    QCOMPARE(w.lvFiles.Item(4).Caption, "2");
    QCOMPARE(w.lvFiles.Item(4).GroupId, 2);
    QVERIFY(w.lvFiles.GroupView());
    QVERIFY(w.lvFiles.Redraw());
    QCOMPARE(w.lvFiles.BatchCount(), 0);

    // A second run rebuilds the list from nothing.
    w.FindFileDuplicates();
    QCOMPARE(w.lvFiles.GroupCount(), 2);
    QCOMPARE(w.lvFiles.ItemCount(), 5);
}

// A maximum of 3 of 10 groups lists the three largest, numbered 1 to 3.
void TestGrouping::maxGroupsKeepsLargest()
{
    RecordingWindow w;
    w.FSettings.CompareIndex = 1;
    w.FSettings.MaxGroups = 3;
    QStringList records;
    for (int g = 1; g <= 10; ++g)
        for (int k = 0; k < 2; ++k)
            records << QStringLiteral("g%1_%2:%3").arg(g).arg(k).arg(g * 100);
    AddRecords(w, records);
    w.FindFileDuplicates();
    QCOMPARE(Groups(w), (QList<QStringList> { { "g10_0", "g10_1" }, { "g9_0", "g9_1" }, { "g8_0", "g8_1" } }));
    QCOMPARE(w.lvFiles.Groups()[2].Id, 3);
    QCOMPARE(w.CurrentProgress().Max, 3);
}

// 120 groups: progress and status after groups 50 and 100, position 120 at the end.
void TestGrouping::statusEvery50Groups()
{
    RecordingWindow w;
    w.FSettings.CompareIndex = 1;
    w.FSettings.MaxGroups = 0;
    QStringList records;
    for (int g = 1; g <= 120; ++g)
        records << QStringLiteral("a%1:%2").arg(g).arg(g) << QStringLiteral("b%1:%2").arg(g).arg(g);
    AddRecords(w, records);
    w.FindFileDuplicates();
    const QStringList expected = { "Listing file groups (50/120)...", "Listing file groups (100/120)...",
        "Duplicate file groups populated." };
    QCOMPARE(w.Statuses(), expected);
    QCOMPARE(w.StatusAtPumps(), expected.mid(0, 2));
    QCOMPARE(w.lvFiles.GroupCount(), 120);
    QCOMPARE(w.ProgressPosition(), 120);
    QCOMPARE(w.CurrentProgress().Max, 120);
}

QTEST_GUILESS_MAIN(TestGrouping)
#include "tst_engine_grouping.moc"
