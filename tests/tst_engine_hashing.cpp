// Content hashing: the digests, the reads at block boundaries, files that go
// away or cannot be read, and the two ways of hashing giving one result.

#include "support/RecordingWindow.h"
#include "support/TestDir.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>
#include <QThread>

#include <unistd.h>

namespace {

// Bytes that differ from block to block, so a block read twice or skipped
// changes the digest.
QByteArray Pattern(qint64 size, int seed = 0)
{
    QByteArray b(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        b[i] = char((i * 31 + seed * 7 + i / 4093) % 251);
    return b;
}

QString Sha1(const QByteArray& b)
{
    return QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Sha1).toHex());
}

void AddRecord(ScanWindow& w, const QString& path, qint64 size)
{
    w.FFiles.push_back(std::make_unique<TFileInfo>(path, size));
    w.FFileMap.insert(path, w.FFiles.back());
}

} // namespace

class TestHashing : public QObject {
    Q_OBJECT
private slots:
    void knownDigests_data();
    void knownDigests();
    void blockBoundaries_data();
    void blockBoundaries();
    void notAFile();
    void bothWaysAgree();
    void failingFiles_data();
    void failingFiles();
    void windowThreadStatus();
    void nothingToHash();
};

void TestHashing::knownDigests_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("digest");
    QTest::newRow("empty") << QByteArray() << "da39a3ee5e6b4b0d3255bfef95601890afd80709";
    QTest::newRow("abc") << QByteArray("abc") << "a9993e364706816aba3e25717850c26c9cd0d89d";
    QTest::newRow("448 bits") << QByteArray("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")
                              << "84983e441c3bd26ebaae4aa1f95129e5e54670f1";
    QTest::newRow("million a") << QByteArray(1000000, 'a') << "34aa973cd4c4daa4f61eeb2bdbad27316534016f";
}

void TestHashing::knownDigests()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, digest);
    TestDir dir;
    QCOMPARE(ScanWindow::HashFile(dir.createFile("f", content)), digest);
}

void TestHashing::blockBoundaries_data()
{
    QTest::addColumn<qint64>("size");
    for (qint64 block : { 4096, 65536 })
        for (qint64 size : { block - 1, block, block + 1, 2 * block, 2 * block + 1 })
            QTest::addRow("%lld", size) << size;
    QTest::newRow("1 byte") << qint64(1);
    QTest::newRow("3 MB + 7") << qint64(3 * 1048576 + 7);
}

void TestHashing::blockBoundaries()
{
    QFETCH(qint64, size);
    TestDir dir;
    const QByteArray content = Pattern(size);
    QCOMPARE(ScanWindow::HashFile(dir.createFile("f", content)), Sha1(content));
}

void TestHashing::notAFile()
{
    TestDir dir;
    QCOMPARE(ScanWindow::HashFile(dir.path("missing")), QString());
    QCOMPARE(ScanWindow::HashFile(dir.createDir("d")), QString());
    // A link counts by its target.
    dir.createFile("t", QByteArray("abc"));
    QCOMPARE(ScanWindow::HashFile(dir.createLink("t", "l")), "a9993e364706816aba3e25717850c26c9cd0d89d");
    QCOMPARE(ScanWindow::HashFile(dir.createLink("nothing", "dangling")), QString());
}

// The same files hashed on the window thread and on workers: the same
// groups of equal digests, and the right digests. The window thread hashes
// every file whose size another file shares; the workers give a digest to
// exactly the files whose bytes another file shares.
void TestHashing::bothWaysAgree()
{
    TestDir dir;
    QList<QByteArray> contents;
    for (int i = 0; i < 60; ++i) {
        // Sizes in pairs and triples, and a few alone; large and small.
        const qint64 size = (i % 7 == 6) ? 100000 + i : (i % 3 == 0 ? 300000 : 1 + (i % 3) * 4096);
        contents << Pattern(size, i % 4 == 0 ? 0 : i);
        dir.createFile(QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0')), contents.last());
    }
    QList<QStringList> results;
    for (bool parallel : { false, true }) {
        RecordingWindow w;
        w.FSettings.ParallelHash = parallel;
        for (int i = 0; i < contents.size(); ++i)
            AddRecord(w, dir.path(QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0'))), contents[i].size());
        w.ComputeAllHashes();
        QStringList shared; // the digest of each file whose bytes another file has
        for (int i = 0; i < contents.size(); ++i) {
            int sameSize = 0, sameBytes = 0;
            for (const QByteArray& c : contents) {
                sameSize += c.size() == contents[i].size();
                sameBytes += c == contents[i];
            }
            const QString expected = (parallel ? sameBytes > 1 : sameSize > 1) ? Sha1(contents[i]) : QString();
            QCOMPARE(w.FFiles[i]->ContentHash(), expected);
            shared << (sameBytes > 1 ? w.FFiles[i]->ContentHash() : QString());
        }
        QCOMPARE(w.ProgressPosition(), 0);
        results << shared;
    }
    QCOMPARE(results[0], results[1]);
}

// Files that cannot be hashed keep an empty digest, silently, and the others
// are hashed.
void TestHashing::failingFiles_data()
{
    QTest::addColumn<bool>("parallel");
    QTest::addColumn<QString>("failure");
    for (bool parallel : { false, true }) {
        const char* way = parallel ? "workers" : "window thread";
        QTest::addRow("vanished, %s", way) << parallel << "vanished";
        QTest::addRow("unreadable, %s", way) << parallel << "unreadable";
        QTest::addRow("replaced by a folder, %s", way) << parallel << "folder";
    }
}

void TestHashing::failingFiles()
{
    QFETCH(bool, parallel);
    QFETCH(QString, failure);
    if (failure == "unreadable" && ::geteuid() == 0)
        QSKIP("root reads files whatever their mode");
    TestDir dir;
    const QByteArray five("12345");
    dir.createFile("a", five);
    dir.createFile("b", five);
    const QString bad = dir.createFile("c", five);
    dir.createFile("d", QByteArray("1234567"));
    RecordingWindow w;
    w.FSettings.ParallelHash = parallel;
    for (const char* n : { "a", "b", "c", "d" })
        AddRecord(w, dir.path(n), QFile(dir.path(n)).size());
    if (failure == "vanished") {
        QVERIFY(dir.remove("c"));
    } else if (failure == "unreadable") {
        QVERIFY(QFile::setPermissions(bad, QFileDevice::Permissions()));
    } else {
        QVERIFY(dir.remove("c"));
        dir.createDir("c");
    }
    w.ComputeAllHashes();
    QCOMPARE(w.FFiles[0]->ContentHash(), Sha1(five));
    QCOMPARE(w.FFiles[1]->ContentHash(), Sha1(five));
    QCOMPARE(w.FFiles[2]->ContentHash(), QString());
    QCOMPARE(w.FFiles[3]->ContentHash(), QString()); // its size is unique
    QVERIFY(w.Messages().isEmpty());
}

// 25 files on the window thread: status and pump after files 1, 11, 21, 25,
// the progress after every file.
void TestHashing::windowThreadStatus()
{
    TestDir dir;
    RecordingWindow w;
    w.FSettings.ParallelHash = false;
    for (int i = 0; i < 25; ++i)
        AddRecord(w, dir.createFile(QStringLiteral("f%1").arg(i), QByteArray(10, char('a' + i))), 10);
    w.ComputeAllHashes();
    const QString base = "Computing SHA-1 hashes (size filtered)...";
    const QStringList expected = { base, base + " 1 / 25", base + " 11 / 25", base + " 21 / 25", base + " 25 / 25" };
    QCOMPARE(w.Statuses(), expected);
    QCOMPARE(w.StatusAtPumps(), expected);
    QList<int> positions;
    for (const auto& p : w.Progress())
        if (positions.isEmpty() || positions.last() != p.Position)
            positions << p.Position;
    QList<int> expectedPositions = { 0 };
    for (int i = 1; i <= 25; ++i)
        expectedPositions << i;
    expectedPositions << 0;
    QCOMPARE(positions, expectedPositions);
    QCOMPARE(w.CurrentProgress().Max, 25);
}

void TestHashing::nothingToHash()
{
    TestDir dir;
    {
        RecordingWindow w; // no files at all: not even the status
        w.ComputeAllHashes();
        QVERIFY(w.Log.isEmpty());
    }
    RecordingWindow w;
    for (int i = 1; i <= 3; ++i)
        AddRecord(w, dir.createFile(QStringLiteral("f%1").arg(i), qint64(i)), i);
    w.ComputeAllHashes();
    QCOMPARE(w.StatusText(), "Computing SHA-1 hashes (size filtered)...");
    QCOMPARE(w.ProgressPosition(), 0);
    for (const auto& f : w.FFiles)
        QVERIFY(f->ContentHash().isEmpty());
}

QTEST_GUILESS_MAIN(TestHashing)
#include "tst_engine_hashing.moc"
