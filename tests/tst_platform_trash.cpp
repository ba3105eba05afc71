// The trash as other programs read it back: the info file of every entry
// names its original path, and a trash folder on a shared volume that another
// user prepared is never used.
//
// HOME points into a private folder below the real home (Qt's test mode), so
// the home trash is a test trash on the home volume. The shared volume is a
// tmpfs of mode 1777 mounted for the test, its other user "nobody" (a child
// process switched to it); without root both are skipped.

#include "platform/core/FileSystem.h"
#include "platform/core/PathWalk.h"
#include "platform/core/Trash.h"
#include "support/OtherUser.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray ReadNative(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return "<unreadable>";
    QByteArray bytes(4096, '\0');
    const ssize_t n = ::read(fd, bytes.data(), size_t(bytes.size()));
    ::close(fd);
    return bytes.left(n < 0 ? 0 : n);
}

bool ExistsNative(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

QByteArray RealPath(const QByteArray& path)
{
    char buffer[PATH_MAX];
    return ::realpath(path.constData(), buffer) ? QByteArray(buffer) : QByteArray();
}

// The Path value of an info file, read as a file manager restoring it reads it:
// the key of the [Trash Info] group, percent-decoded to the bytes of a path.
QByteArray OriginalPath(const QByteArray& infoText)
{
    const QList<QByteArray> lines = infoText.split('\n');
    if (lines.value(0) != "[Trash Info]")
        return "<no [Trash Info] group>";
    for (const QByteArray& line : lines) {
        if (line.startsWith("Path="))
            return QByteArray::fromPercentEncoding(line.mid(5));
    }
    return "<no Path key>";
}

// Each entry of a trash folder: its name in files/ -> the original path its
// info file gives.
// Native listing: the names need not be UTF-8.
QMap<QByteArray, QByteArray> Entries(const QByteArray& trash)
{
    QMap<QByteArray, QByteArray> entries;
    DIR* info = ::opendir((trash + "/info").constData());
    if (!info)
        return entries;
    while (const dirent* e = ::readdir(info)) {
        const QByteArray name(e->d_name);
        if (name.endsWith(".trashinfo"))
            entries.insert(name.chopped(int(qstrlen(".trashinfo"))), OriginalPath(ReadNative(trash + "/info/" + name)));
    }
    ::closedir(info);
    return entries;
}

// Removes a tree whatever its names are.
void RemoveTree(const QByteArray& path)
{
    ::nftw(path.constData(), [](const char* p, const struct stat*, int, FTW*) { return ::remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

QByteArray Uid()
{
    return QByteArray::number(::geteuid());
}

} // namespace

class TestTrash : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> FHome;

    QByteArray HomeTrash() const
    {
        return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) + "/Trash";
    }

private slots:
    void initTestCase()
    {
        FHome = std::make_unique<QTemporaryDir>(QDir::homePath() + QStringLiteral("/.twinlens-test-XXXXXX"));
        QVERIFY(FHome->isValid());
        qputenv("HOME", QFile::encodeName(FHome->path()));
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(QFile::decodeName(HomeTrash()).startsWith(FHome->path() + u'/'));
    }

    void init()
    {
        RemoveTree(HomeTrash());
    }

    void cleanupTestCase()
    {
        RemoveTree(HomeTrash());
    }

    // A name that other programs would read as another name, or that is not
    // UTF-8, restores under its own name from the home trash.
    void entryRestoresUnderItsName_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("percent sign before hex digits") << QByteArray("sale 100%41.txt");
        QTest::newRow("hash and spaces") << QByteArray("#1 a  b.txt");
        QTest::newRow("newline") << QByteArray("two\nlines.txt");
        QTest::newRow("bytes that are not UTF-8") << QByteArray("caf\xE9 \xFF\xFE.bin");
        QTest::newRow("plus and question mark") << QByteArray("a+b?c=d&e.txt");
    }

    void entryRestoresUnderItsName()
    {
        QFETCH(QByteArray, name);
        TestDir dir;
        const QByteArray path = dir.createRawFile("sub dir/" + name, "content of " + name);
        const QByteArray real = RealPath(dir.nativePath()) + "/sub dir/" + name;

        const platform::TrashOutcome outcome
            = platform::MoveToTrash({ { QString(), platform::TrashKind::RegularFile, -1, path } });
        QVERIFY2(outcome.Complete, qPrintable(outcome.Reason));
        QVERIFY(!ExistsNative(path));

        const QMap<QByteArray, QByteArray> entries = Entries(HomeTrash());
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first(), real);
        const QByteArray info = ReadNative(HomeTrash() + "/info/" + entries.firstKey() + ".trashinfo");
        QVERIFY2(QRegularExpression(QStringLiteral("^\\[Trash Info\\]\nPath=/[A-Za-z0-9%/._~-]+\n"
                                                   "DeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$"))
                     .match(QString::fromLatin1(info))
                     .hasMatch(),
            info.constData());

        // Restored as a file manager does: files/NAME back to the decoded path.
        QCOMPARE(::rename((HomeTrash() + "/files/" + entries.firstKey()).constData(), entries.first().constData()), 0);
        QCOMPARE(ReadNative(path), "content of " + name);
    }

    // A second entry of the same name takes another name in files/ and
    // replaces nothing; each still restores to its own folder.
    void sameNameTwice()
    {
        TestDir dir;
        const QString a = dir.createFile(QStringLiteral("a/copy.txt"), QByteArray("first"));
        const QString b = dir.createFile(QStringLiteral("b/copy.txt"), QByteArray("second"));
        const platform::TrashOutcome outcome = platform::MoveToTrash(
            { { a, platform::TrashKind::RegularFile, 5, {} }, { b, platform::TrashKind::RegularFile, 6, {} } });
        QVERIFY2(outcome.Complete, qPrintable(outcome.Reason));
        QCOMPARE(outcome.Moved, 2);

        const QMap<QByteArray, QByteArray> entries = Entries(HomeTrash());
        QCOMPARE(entries.keys(), (QList<QByteArray> { "copy.txt", "copy.txt.2" }));
        QCOMPARE(entries.value("copy.txt"), RealPath(QFile::encodeName(dir.path())) + "/a/copy.txt");
        QCOMPARE(entries.value("copy.txt.2"), RealPath(QFile::encodeName(dir.path())) + "/b/copy.txt");
        QCOMPARE(ReadNative(HomeTrash() + "/files/copy.txt"), QByteArray("first"));
        QCOMPARE(ReadNative(HomeTrash() + "/files/copy.txt.2"), QByteArray("second"));
    }

    // A volume other than the home volume, prepared by its administrator
    // (setup, as root) and by another user (theirs, as that user) before the
    // user's file goes to the trash.
    void sharedVolume_data()
    {
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<QByteArray>("theirs");
        QTest::addColumn<QByteArray>("trash"); // where the entry lands; empty: refused
        QTest::addColumn<QByteArray>("reason"); // part of the refusal's reason

        QTest::newRow("no .Trash: .Trash-$uid is made")
            << QByteArray() << QByteArray() << QByteArray(".Trash-UID") << QByteArray();
        QTest::newRow("a sticky .Trash: $uid is made in it")
            << QByteArray("mkdir -m 1777 .Trash") << QByteArray() << QByteArray(".Trash/UID") << QByteArray();
        QTest::newRow(".Trash without the sticky bit is passed over")
            << QByteArray("mkdir -m 0777 .Trash") << QByteArray("mkdir -p .Trash/UID/files .Trash/UID/info")
            << QByteArray(".Trash-UID") << QByteArray();
        QTest::newRow(".Trash a link to a sticky folder is passed over")
            << QByteArray() << QByteArray("mkdir -m 1777 sticky && ln -s sticky .Trash") << QByteArray(".Trash-UID")
            << QByteArray();
        QTest::newRow("files/ writable by others in .Trash/$uid")
            << QByteArray("mkdir -m 1777 .Trash && mkdir -m 0700 .Trash/UID && mkdir -m 0777 .Trash/UID/files")
            << QByteArray() << QByteArray(".Trash-UID") << QByteArray();
        QTest::newRow("both trash folders made by the other user, mode 0777")
            << QByteArray("mkdir -m 1777 .Trash")
            << QByteArray("mkdir -p .Trash/UID/files .Trash/UID/info .Trash-UID/files .Trash-UID/info && "
                          "chmod -R 0777 .Trash/UID .Trash-UID")
            << QByteArray() << QByteArray("belongs to user 65534");
        QTest::newRow(".Trash-$uid a link to the other user's folder")
            << QByteArray() << QByteArray("mkdir -m 0777 mine mine/files mine/info && ln -s mine .Trash-UID")
            << QByteArray() << QByteArray("is a link");
        QTest::newRow(".Trash-$uid/info a link to the other user's folder")
            << QByteArray("mkdir -m 0700 .Trash-UID && mkdir -m 0700 .Trash-UID/files && "
                          "mkdir -m 0777 mine && ln -s ../mine .Trash-UID/info")
            << QByteArray() << QByteArray() << QByteArray("is a link");
    }

    void sharedVolume()
    {
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, theirs);
        QFETCH(QByteArray, trash);
        QFETCH(QByteArray, reason);

        // The mount point lies where the other user can reach it.
        QTemporaryDir point(QStringLiteral("/tmp/twinlens-volume-XXXXXX"));
        QVERIFY(point.isValid());
        const QByteArray top = QFile::encodeName(point.path());
        if (::mount("tmpfs", top.constData(), "tmpfs", 0, "mode=1777,size=4m") != 0)
            QSKIP(qPrintable(QStringLiteral("a tmpfs cannot be mounted here (%1); run as root to test a shared volume")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
        struct Unmount {
            QByteArray Point;
            ~Unmount() { ::umount2(Point.constData(), MNT_DETACH); }
        } unmount { top };

        // A shell script in the volume's top folder, as root or as the other user.
        auto run = [&](const QByteArray& script, bool asOther) {
            if (script.isEmpty())
                return 0;
            const QByteArray command = QByteArray(script).replace("UID", Uid());
            const auto body = [&] {
                if (::chdir(top.constData()) != 0)
                    return 125;
                ::execl("/bin/sh", "sh", "-c", command.constData(), static_cast<char*>(nullptr));
                return 125;
            };
            if (asOther)
                return RunUnprivileged(body);
            const pid_t pid = ::fork();
            if (pid == 0)
                ::_exit(body());
            int status = 0;
            return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : 1;
        };
        QCOMPARE(run(setup, false), 0);
        const int theirResult = run(theirs, true);
        if (theirResult == kCannotDropRoot)
            QSKIP("cannot switch to a second user");
        QCOMPARE(theirResult, 0);

        // The user's private file, in a folder only the user may enter.
        QVERIFY(::mkdir((top + "/private").constData(), 0700) == 0);
        const QByteArray file = top + "/private/secret.txt";
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "secret", 6), ssize_t(6));
        ::close(fd);

        const platform::TrashOutcome outcome
            = platform::MoveToTrash({ { QFile::decodeName(file), platform::TrashKind::RegularFile, 6, {} } });

        if (trash.isEmpty()) {
            QVERIFY(!outcome.Complete);
            QCOMPARE(outcome.Moved, 0);
            QCOMPARE(outcome.FailedPath, QFile::decodeName(file));
            QVERIFY2(outcome.Reason.contains(QString::fromUtf8(reason)), qPrintable(outcome.Reason));
            QCOMPARE(ReadNative(file), QByteArray("secret"));
            // Nothing of the user's went into a folder of theirs.
            QProcess find;
            find.start(QStringLiteral("find"), { point.path(), QStringLiteral("-name"), QStringLiteral("secret*") });
            QVERIFY(find.waitForFinished(10000));
            QCOMPARE(find.readAll().trimmed(), file);
            return;
        }
        QVERIFY2(outcome.Complete, qPrintable(outcome.Reason));
        QVERIFY(!ExistsNative(file));
        const QByteArray folder = top + '/' + QByteArray(trash).replace("UID", Uid());
        QCOMPARE(ReadNative(folder + "/files/secret.txt"), QByteArray("secret"));
        // Relative to the volume's top, so it restores wherever the volume is mounted.
        QCOMPARE(Entries(folder), (QMap<QByteArray, QByteArray> { { "secret.txt", "private/secret.txt" } }));
        for (const QByteArray& made : { folder, folder + "/files", folder + "/info" }) {
            struct stat st;
            QCOMPARE(::lstat(made.constData(), &st), 0);
            QVERIFY2(S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0, made.constData());
        }
    }

    // The walk to an entry's folder: links only the user or root could have
    // put there are followed (their targets walked the same way), any other
    // link on the way fails it, and so does a folder that is not the one
    // the scan recorded.
    void walkToEntry_data()
    {
        QTest::addColumn<QByteArray>("setup"); // shell, in the test folder
        QTest::addColumn<QByteArray>("entry"); // relative to the test folder
        QTest::addColumn<QByteArray>("reached"); // the folder reached, relative; empty: refused
        QTest::addColumn<int>("failure");
        QTest::addColumn<bool>("needsRoot");
        const int none = int(platform::WalkFailure::None);
        QTest::newRow("plain folders") << QByteArray("mkdir -p a/b") << QByteArray("a/b/f") << QByteArray("a/b") << none << false;
        QTest::newRow("the user's link in a private folder")
            << QByteArray("mkdir -p real/b && ln -s real a") << QByteArray("a/b/f") << QByteArray("real/b") << none << false;
        QTest::newRow("a link whose target climbs with ..")
            << QByteArray("mkdir -p x/y real && ln -s ../../real x/y/up") << QByteArray("x/y/up/f") << QByteArray("real")
            << none << false;
        QTest::newRow("the user's link in a sticky folder others may write")
            << QByteArray("mkdir -p real open && chmod 1777 open && ln -s ../real open/l") << QByteArray("open/l/f")
            << QByteArray("real") << none << false;
        QTest::newRow("the user's link in a folder others may write")
            << QByteArray("mkdir -p real open && chmod 0777 open && ln -s ../real open/l") << QByteArray("open/l/f")
            << QByteArray() << int(platform::WalkFailure::UntrustedLink) << false;
        QTest::newRow("another user's link in a sticky folder")
            << QByteArray("mkdir -p real open && chmod 1777 open && ln -s ../real open/l && chown -h 65534 open/l")
            << QByteArray("open/l/f") << QByteArray() << int(platform::WalkFailure::UntrustedLink) << true;
        QTest::newRow("a loop of links")
            << QByteArray("ln -s b a && ln -s a b") << QByteArray("a/f") << QByteArray() << int(platform::WalkFailure::Missing)
            << false;
        QTest::newRow("the recorded folder replaced by another")
            << QByteArray("mkdir -p listed/b && mv listed listed.old && mkdir -p listed/b") << QByteArray("listed/b/f")
            << QByteArray() << int(platform::WalkFailure::Swapped) << false;
        QTest::newRow("a missing folder") << QByteArray() << QByteArray("gone/f") << QByteArray()
                                          << int(platform::WalkFailure::Missing) << false;
    }

    void walkToEntry()
    {
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, reached);
        QFETCH(int, failure);
        QFETCH(bool, needsRoot);
        if (needsRoot && ::geteuid() != 0)
            QSKIP("giving a link to another user needs root");
        TestDir dir;
        const QByteArray base = RealPath(dir.nativePath());
        // The listed folder as the scan met it, before the setup replaces it.
        QVERIFY(::mkdir((base + "/listed").constData(), 0755) == 0);
        const platform::KnownFolder listed { base + "/listed", platform::ReadObjectState(base + "/listed").Id };
        if (!setup.isEmpty()) {
            QProcess sh;
            sh.setWorkingDirectory(QFile::decodeName(base));
            sh.start(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), QString::fromUtf8(setup) });
            QVERIFY(sh.waitForFinished(10000));
            QCOMPARE(sh.exitCode(), 0);
        }

        platform::PinnedFolder folder;
        platform::WalkFailure why = platform::WalkFailure::None;
        QString reason;
        const bool ok = platform::WalkToEntry(base + '/' + entry, { listed }, folder, why, reason);
        QCOMPARE(int(why), failure);
        QCOMPARE(ok, !reached.isEmpty());
        if (!ok)
            return;
        QCOMPARE(folder.FolderPath, base + '/' + reached);
        QCOMPARE(folder.Name, QByteArray("f"));
        QCOMPARE(folder.Id, platform::ReadObjectState(base + '/' + reached).Id);
        QVERIFY(folder.IsOpen() && folder.TopFd() >= 0);
    }

    // Another user who may write an ancestor of the checked files swaps it
    // for a link to the user's private folder of the same names and sizes,
    // over and over, while the files go to the trash one by one: every move
    // takes the file the row showed, or fails and names it; the private
    // files stay where they are.
    void ancestorSwappedForALink()
    {
        QTemporaryDir point(QStringLiteral("/tmp/twinlens-volume-XXXXXX"));
        QVERIFY(point.isValid());
        const QByteArray top = QFile::encodeName(point.path());
        if (::mount("tmpfs", top.constData(), "tmpfs", 0, "mode=1777,size=8m") != 0)
            QSKIP(qPrintable(QStringLiteral("a tmpfs cannot be mounted here (%1); run as root to test another user's swaps")
                                 .arg(QString::fromLocal8Bit(std::strerror(errno)))));
        struct Unmount {
            QByteArray Point;
            ~Unmount() { ::umount2(Point.constData(), MNT_DETACH); }
        } unmount { top };

        constexpr int kFiles = 100;
        const QByteArray shared = top + "/shared";
        QVERIFY(::mkdir(shared.constData(), 0777) == 0 && ::chmod(shared.constData(), 0777) == 0);
        QVERIFY(::mkdir((shared + "/sub").constData(), 0755) == 0);
        QVERIFY(::mkdir((top + "/private").constData(), 0700) == 0);
        QVERIFY(::mkdir((top + "/private/victim").constData(), 0700) == 0);
        const auto write = [](const QByteArray& path, const QByteArray& bytes) {
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            const bool ok = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
            if (fd >= 0)
                ::close(fd);
            return ok;
        };
        const auto name = [](int i) { return "f" + QByteArray::number(i); };
        const auto checkedBytes = [](int i) { return "checked " + QByteArray::number(i).rightJustified(3, '0'); };
        const auto privateBytes = [](int i) { return "private " + QByteArray::number(i).rightJustified(3, '0'); };
        QList<platform::TrashEntry> entries;
        for (int i = 0; i < kFiles; ++i) {
            const QByteArray path = shared + "/sub/" + name(i);
            QVERIFY(write(path, checkedBytes(i)));
            QVERIFY(write(top + "/private/victim/" + name(i), privateBytes(i)));
            // The record, as a scan makes it.
            const platform::ObjectState st = platform::ReadObjectState(path);
            platform::TrashEntry entry { QFile::decodeName(path), platform::TrashKind::RegularFile, st.Size, path };
            entry.Id = st.Id;
            entry.Modified = st.Modified;
            entry.Changed = st.Changed;
            entry.Folders = { { top, platform::ReadObjectState(top).Id } };
            entries.append(entry);
        }

        // The other user's loop, until told to stop: sub goes aside, a link
        // to the private folder takes its place, then sub comes back.
        const pid_t swapper = ::fork();
        QVERIFY(swapper >= 0);
        if (swapper == 0) {
            ::_exit(RunUnprivileged([&] {
                if (::chdir(shared.constData()) != 0)
                    return 1;
                long cycles = 0;
                const int started = ::open("started", O_WRONLY | O_CREAT, 0644);
                if (started < 0)
                    return 2;
                ::close(started);
                while (::access("stop", F_OK) != 0 && cycles < 10000000) {
                    if (::rename("sub", "sub.real") != 0)
                        return 3;
                    if (::symlink("../private/victim", "sub") != 0)
                        return 4;
                    ::usleep(50);
                    ::unlink("sub");
                    if (::rename("sub.real", "sub") != 0)
                        return 5;
                    ++cycles;
                    // Some moves find the folder in place.
                    ::usleep(300);
                }
                const QByteArray count = QByteArray::number(cycles);
                const int fd = ::open("cycles", O_WRONLY | O_CREAT, 0644);
                if (fd < 0 || ::write(fd, count.constData(), size_t(count.size())) != count.size())
                    return 6;
                ::close(fd);
                return 0;
            }));
        }
        struct Stop {
            QByteArray Flag;
            pid_t Pid;
            int Status = -1;
            int Wait()
            {
                if (Pid > 0) {
                    const int fd = ::open(Flag.constData(), O_WRONLY | O_CREAT, 0644);
                    if (fd >= 0)
                        ::close(fd);
                    int status = 0;
                    Status = ::waitpid(Pid, &status, 0) == Pid && WIFEXITED(status) ? WEXITSTATUS(status) : 1;
                    Pid = -1;
                }
                return Status;
            }
            ~Stop() { Wait(); }
        } stop { shared + "/stop", swapper };
        QTRY_VERIFY_WITH_TIMEOUT(ExistsNative(shared + "/started") || ::waitpid(swapper, nullptr, WNOHANG) != 0, 10000);
        if (!ExistsNative(shared + "/started")) {
            const int result = stop.Wait();
            if (result == kCannotDropRoot)
                QSKIP("cannot switch to a second user");
            QFAIL(qPrintable(QStringLiteral("the other user's loop did not start (%1)").arg(result)));
        }

        QList<platform::TrashOutcome> outcomes;
        for (const platform::TrashEntry& entry : entries) {
            outcomes.append(platform::MoveToTrash({ entry }));
            ::usleep(200); // the moves spread over many of the other user's swaps
        }
        QCOMPARE(stop.Wait(), 0);

        const QByteArray trash = top + "/.Trash-" + Uid();
        int moved = 0;
        for (int i = 0; i < kFiles; ++i) {
            const platform::TrashOutcome& o = outcomes[i];
            // The private file never moves.
            QCOMPARE(ReadNative(top + "/private/victim/" + name(i)), privateBytes(i));
            if (o.Complete) {
                ++moved;
                QCOMPARE(ReadNative(trash + "/files/" + name(i)), checkedBytes(i));
                QVERIFY(!ExistsNative(shared + "/sub/" + name(i)));
                QCOMPARE(Entries(trash).value(name(i)), "shared/sub/" + name(i));
            } else {
                QCOMPARE(o.Moved, 0);
                QCOMPARE(o.FailedPath, entries[i].Path);
                QVERIFY2(o.Failure == platform::TrashFailure::Way || o.Failure == platform::TrashFailure::Gone,
                    qPrintable(o.Reason));
                QCOMPARE(ReadNative(shared + "/sub/" + name(i)), checkedBytes(i));
                QVERIFY(!ExistsNative(trash + "/files/" + name(i)));
            }
        }
        // Nothing but the checked files is in the trash.
        QCOMPARE(Entries(trash).size(), moved);
        qInfo("%d of %d moves went, the others failed named; the other user swapped the folder %s times",
            moved, kFiles, ReadNative(shared + "/cycles").constData());
    }
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_platform_trash.moc"
