// The result commands against real files and the real trash in Qt's test
// mode. HOME (and the temporary folder) point into a private folder below the
// real home, so every fixture lies on the home volume, the trash is the
// test-mode home trash, and nothing here touches another test's or the user's
// trash.

#include "BuildInfo.h"
#include "engine/ResultList.h"
#include "engine/TFileInfo.h"
#include "i18n/translation.h"
#include "platform/core/FileSystem.h"
#include "support/RecordingDesktop.h"
#include "support/RecordingWindow.h"
#include "support/TestDir.h"
#include "platform/core/SettingsStore.h"
#include "ui/ResultCommands.h"
#include "ui/ResultModel.h"
#include "ui/uMainForm.h"
#include "platform/core/Trash.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QString Checks(const ResultList& list)
{
    QString s;
    for (const ResultItem& item : list.Items())
        s += item.Reference ? (item.Checked ? u'R' : u'r') : item.Checked ? u'x' : u'.';
    return s;
}

// Everything the list shows, to compare a list before and after a command.
QStringList Snapshot(const ResultList& list)
{
    QStringList s;
    for (const ResultGroup& g : list.Groups())
        s << QStringLiteral("group %1 %2").arg(g.Id).arg(g.Header);
    for (const ResultItem& item : list.Items())
        s << QStringLiteral("%1|%2|%3|%4").arg(item.Caption, item.Texts().join(u'|')).arg(item.GroupId).arg(item.Checked);
    return s;
}

// The first sub-item (file name or folder path) of every row.
QStringList Firsts(const ResultList& list)
{
    QStringList s;
    for (const ResultItem& item : list.Items())
        s << item.Text(0);
    return s;
}

// Other bytes of the same size, with the modification time put back as it
// was: only the status change time tells.
void RewriteKeepingTime(const QString& path)
{
    // The status change time ticks coarsely; the record's must be older.
    QTest::qSleep(20);
    const QByteArray native = QFile::encodeName(path);
    struct stat before;
    QVERIFY(::stat(native.constData(), &before) == 0);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    const QByteArray bytes = f.readAll();
    f.seek(0);
    f.write(QByteArray(bytes.size(), '#'));
    f.close();
    const struct timespec times[2] = { before.st_atim, before.st_mtim };
    QVERIFY(::utimensat(AT_FDCWD, native.constData(), times, 0) == 0);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Result lists over files and folders of a test folder, as the scan fills them.
struct Fixture {
    TestDir Dir;
    std::vector<std::unique_ptr<TFileInfo>> Records;
    ResultList Files;
    ResultList Dirs;

    static void EnsureGroup(ResultList& list, int group)
    {
        for (const ResultGroup& g : list.Groups())
            if (g.Id == group)
                return;
        list.AddGroup(group, QStringLiteral("Group %1 (1.00 MB)").arg(group));
    }

    // A file row for a new file of rel (its content is rel itself).
    QString AddFile(int group, const QString& rel, bool checked)
    {
        const QString path = Dir.createFile(rel, rel.toUtf8());
        Records.push_back(std::make_unique<TFileInfo>(path));
        TFileInfo* info = Records.back().get();
        EnsureGroup(Files, group);
        Files.AddItem({ QString::number(group), { info->Name(), FolderPart(path), FormatSizeMB(info->Size) }, group,
            checked, info });
        return path;
    }

    // A folder row for rel (made with one file in it unless it exists).
    QString AddDir(int group, const QString& rel, bool checked)
    {
        const QString path = Dir.path(rel);
        if (!QFileInfo::exists(path))
            Dir.createFile(rel + QStringLiteral("/content.txt"), QByteArray("same"));
        EnsureGroup(Dirs, group);
        ResultItem item { QString::number(group), { path, FormatSizeMB(4) }, group, checked, nullptr };
        platform::GetFileId(path, item.Id); // as the scan met it
        Dirs.AddItem(std::move(item));
        return path;
    }
};

enum Command { ButOne, All, None };

} // namespace

class TestResultCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> FHome;

    QString TrashFolder() const
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
    }

    // Names in the trash's files/ folder, sorted.
    QStringList Trashed() const
    {
        return QDir(TrashFolder() + QStringLiteral("/files"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

private slots:
    void initTestCase()
    {
        FHome = std::make_unique<QTemporaryDir>(QDir::homePath() + QStringLiteral("/.twinlens-test-XXXXXX"));
        QVERIFY(FHome->isValid());
        qputenv("HOME", QFile::encodeName(FHome->path()));
        QVERIFY(QDir().mkpath(FHome->path() + QStringLiteral("/tmp")));
        qputenv("TMPDIR", QFile::encodeName(FHome->path() + QStringLiteral("/tmp")));
        QStandardPaths::setTestModeEnabled(true);
        // Windows start from the defaults: none kept by an earlier run.
        platform::WriteWindowSettings({});
        QVERIFY(TrashFolder().startsWith(FHome->path() + u'/'));
    }

    void init()
    {
        // Each test starts without a trash, so its files/ shows what that test moved.
        const QFileInfo trash(TrashFolder());
        if (trash.isDir() && !trash.isSymLink())
            QDir(TrashFolder()).removeRecursively();
        else
            QFile::remove(TrashFolder());
        InstallTranslationTable({});
        CurrentLanguageIndex = 0;
        QDir::setCurrent(FHome->path());
    }

    void checkCommands_data()
    {
        QTest::addColumn<QList<int>>("groups");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("after");

        QTest::newRow("empty list") << QList<int> {} << "" << int(ButOne) << "";
        QTest::newRow("one item alone in its group") << QList<int> { 1 } << "x" << int(ButOne) << ".";
        QTest::newRow("first checked by hand, later unchecked") << QList<int> { 1, 1, 1 } << "x.." << int(ButOne) << ".xx";
        QTest::newRow("two groups") << QList<int> { 1, 1, 2, 2, 2 } << "....." << int(ButOne) << ".x.xx";
        QTest::newRow("items in no group are left") << QList<int> { -1, 1, 1, -1 } << "x..." << int(ButOne) << "x.x.";
        QTest::newRow("check all") << QList<int> { 1, 1, -1 } << ".x." << int(All) << "xxx";
        QTest::newRow("uncheck all") << QList<int> { 1, 1, -1 } << "xx." << int(None) << "...";
        // r: a reference row, R: one checked all the same (forced in).
        QTest::newRow("the reference copy is the one kept") << QList<int> { 1, 1, 1, 2, 2 } << ".r..." << int(ButOne) << "xrx.x";
        QTest::newRow("two reference copies") << QList<int> { 1, 1, 1 } << "r.r" << int(ButOne) << "rxr";
        QTest::newRow("only reference copies") << QList<int> { 1, 1 } << "rR" << int(ButOne) << "rr";
        QTest::newRow("check all passes reference rows over") << QList<int> { 1, 1, -1 } << "r.r" << int(All) << "rxr";
        QTest::newRow("uncheck all takes a forced check off") << QList<int> { 1, 1 } << "R." << int(None) << "r.";
    }

    void checkCommands()
    {
        QFETCH(QList<int>, groups);
        QFETCH(QString, before);
        QFETCH(int, command);
        QFETCH(QString, after);

        ResultList list;
        for (int i = 0; i < groups.size(); ++i)
            list.AddItem({ QString::number(groups[i]), { QStringLiteral("f%1").arg(i) }, groups[i],
                before[i] == u'x' || before[i] == u'R', nullptr, before[i].toLower() == u'r' });
        switch (Command(command)) {
        case ButOne: CheckAllButOneInGroup(list); break;
        case All: CheckAll(list); break;
        case None: UncheckAll(list); break;
        }
        QCOMPARE(Checks(list), after);
    }

    // The selection rules on file rows: path lengths and times of real
    // records; the kept entry and reference rows stay unchecked.
    void checkRules_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<QString>("after"); // rows: g1: kk/a, b, c (reference)  g2: d, eeee/e
        QTest::newRow("newest (the reference copy)") << int(KeepRule::Newest) << "xxxr.x";
        QTest::newRow("oldest") << int(KeepRule::Oldest) << ".xxrx.";
        QTest::newRow("shortest path") << int(KeepRule::ShortestPath) << "x.xr.x";
        QTest::newRow("longest path") << int(KeepRule::LongestPath) << ".xxrx.";
        QTest::newRow("first in a folder") << int(KeepRule::InFolder) << "x.xr..";
    }

    void checkRules()
    {
        QFETCH(int, rule);
        QFETCH(QString, after);
        Fixture fx;
        const QDateTime base = QDateTime::currentDateTime().addDays(-10);
        const auto add = [&](int group, const QString& rel, int age, bool reference = false) {
            const QString path = fx.Dir.path(rel);
            fx.Dir.createFile(rel, rel.toUtf8());
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(base.addSecs(-age), QFileDevice::FileModificationTime));
            f.close();
            fx.Records.push_back(std::make_unique<TFileInfo>(path));
            fx.Records.back()->Reference = reference;
            Fixture::EnsureGroup(fx.Files, group);
            ResultItem item { QString::number(group), {}, group, false, fx.Records.back().get(), reference };
            fx.Files.AddItem(std::move(item));
        };
        add(1, QStringLiteral("kk/aaa.bin"), 300); // oldest, longest
        add(1, QStringLiteral("b/b.bin"), 100);    // in the chosen folder "b"
        add(1, QStringLiteral("c/cc.bin"), 200);
        add(1, QStringLiteral("r/r.bin"), 0, true); // newest, but a reference copy
        add(2, QStringLiteral("d/d.bin"), 20);      // newest, shortest
        add(2, QStringLiteral("eeee/e.bin"), 50);
        CheckAll(fx.Files);

        const int without = CheckAllButKept(fx.Files, ResultPage::Files, KeepRule(rule), fx.Dir.folder(QStringLiteral("b")));
        QCOMPARE(Checks(fx.Files), after);
        QCOMPARE(without, KeepRule(rule) == KeepRule::InFolder ? 1 : 0);
    }

    // On folder rows the time rules find nothing and change nothing.
    void checkRulesOnFolders()
    {
        Fixture fx;
        fx.AddDir(1, QStringLiteral("A"), true);
        fx.AddDir(1, QStringLiteral("BB"), false);
        QCOMPARE(CheckAllButKept(fx.Dirs, ResultPage::Dirs, KeepRule::Newest), 1);
        QCOMPARE(Checks(fx.Dirs), QStringLiteral("x."));
        QCOMPARE(CheckAllButKept(fx.Dirs, ResultPage::Dirs, KeepRule::LongestPath), 0);
        QCOMPARE(Checks(fx.Dirs), QStringLiteral("x."));
        QCOMPARE(CheckAllButKept(fx.Dirs, ResultPage::Dirs, KeepRule::ShortestPath), 0);
        QCOMPARE(Checks(fx.Dirs), QStringLiteral(".x"));
    }

    // A reference entry checked all the same (forced into the list) is never
    // moved, nor a folder that holds a reference folder; both are named.
    void referenceIsNeverMoved()
    {
        Fixture fx;
        const QString kept = fx.AddFile(1, QStringLiteral("k/a.bin"), false);
        const QString other = fx.AddFile(1, QStringLiteral("o/a.bin"), true);
        const QString ref = fx.AddFile(1, QStringLiteral("ref/a.bin"), false);
        ResultItem forced = fx.Files.Item(2);
        forced.Checked = true;
        forced.Reference = true;
        fx.Files.DeleteItem(2);
        fx.Files.AddItem(forced);

        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { true, true };
        DeleteCheckedToRecycleBin(nullptr, fx.Files, ResultPage::Files);
        QCOMPARE(desktop.MessageTexts(),
            QStringList { QStringLiteral("Files were moved to the Recycle Bin.\n\n1 checked entries were left out:\n") + ref
                + QStringLiteral(": in a reference folder") });
        QVERIFY(QFileInfo::exists(ref) && QFileInfo::exists(kept) && !QFileInfo::exists(other));

        // A folder that holds a listed reference folder stays, and so does
        // one inside a reference folder, whatever its row says.
        fx.Dir.createFile(QStringLiteral("box/refin/f.txt"), QByteArray("x"));
        fx.Dir.createFile(QStringLiteral("plain/refin/f.txt"), QByteArray("x"));
        const QString box = fx.AddDir(2, QStringLiteral("box"), true);
        fx.AddDir(2, QStringLiteral("plain"), false);
        const QString refDir = fx.AddDir(3, QStringLiteral("ref"), true);
        fx.AddDir(3, QStringLiteral("k"), false);
        desktop.Clear();
        DeleteCheckedToRecycleBin(nullptr, fx.Dirs, ResultPage::Dirs,
            { fx.Dir.folder(QStringLiteral("box/refin")), fx.Dir.folder(QStringLiteral("ref")) });
        QVERIFY(desktop.Questions.isEmpty());
        QCOMPARE(desktop.MessageTexts(),
            QStringList { QStringLiteral("2 checked entries were left out:\n") + box + QStringLiteral(": holds a reference folder\n")
                + refDir + QStringLiteral(": in a reference folder") });
        QVERIFY(QFileInfo::exists(fx.Dir.path(QStringLiteral("box/refin/f.txt"))) && QFileInfo::exists(ref));
    }

    void moveCheckedFiles()
    {
        Fixture fx;
        const QString a = fx.AddFile(1, QStringLiteral("one/a.bin"), false);
        const QString b = fx.AddFile(1, QStringLiteral("two/b.bin"), true);
        const QString c = fx.AddFile(1, QStringLiteral("three/c.bin"), true);
        const QString d = fx.AddFile(2, QStringLiteral("one/d.bin"), false);
        const QString e = fx.AddFile(2, QStringLiteral("two/e.bin"), true);
        const QStringList groupsBefore = Snapshot(fx.Files).mid(0, 2);

        QStringList gathered;
        for (const platform::TrashEntry& entry : CheckedEntries(fx.Files, ResultPage::Files))
            gathered << entry.Path;
        QCOMPARE(gathered, (QStringList { b, c, e }));

        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { true };
        DeleteCheckedToRecycleBin(nullptr, fx.Files, ResultPage::Files);

        QCOMPARE(desktop.Questions.size(), 1);
        QCOMPARE(desktop.Questions[0].Text, QStringLiteral("Move 3 files to Recycle Bin?"));
        QCOMPARE(desktop.MessageTexts(), QStringList { QStringLiteral("Files were moved to the Recycle Bin.") });
        QCOMPARE(desktop.Messages[0].Kind, platform::BoxKind::Plain);

        QCOMPARE(Firsts(fx.Files), (QStringList { QStringLiteral("a.bin"), QStringLiteral("d.bin") }));
        QCOMPARE(Snapshot(fx.Files).mid(0, 2), groupsBefore);
        QCOMPARE(Trashed(), (QStringList { QStringLiteral("b.bin"), QStringLiteral("c.bin"), QStringLiteral("e.bin") }));
        QCOMPARE(ReadAll(TrashFolder() + QStringLiteral("/files/c.bin")), QByteArray("three/c.bin"));
        QVERIFY(ReadAll(TrashFolder() + QStringLiteral("/info/c.bin.trashinfo")).contains("Path=" + QUrl::toPercentEncoding(c, "/")));
        for (const QString& gone : { b, c, e })
            QVERIFY(!QFileInfo::exists(gone));
        QVERIFY(QFileInfo::exists(a) && QFileInfo::exists(d));
    }

    void moveCheckedFolders()
    {
        Fixture fx;
        const QString a = fx.AddDir(1, QStringLiteral("A"), false);
        fx.AddDir(1, QStringLiteral("B"), true);
        fx.AddDir(2, QStringLiteral("C"), true);
        const QString d = fx.AddDir(2, QStringLiteral("D"), false);

        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { true };
        DeleteCheckedToRecycleBin(nullptr, fx.Dirs, ResultPage::Dirs);

        QCOMPARE(desktop.Questions[0].Text, QStringLiteral("Move 2 directories to Recycle Bin?"));
        QCOMPARE(desktop.MessageTexts(), QStringList { QStringLiteral("Directories were moved to the Recycle Bin.") });
        QCOMPARE(Firsts(fx.Dirs), (QStringList { a, d }));
        QCOMPARE(Trashed(), (QStringList { QStringLiteral("B"), QStringLiteral("C") }));
        QCOMPARE(ReadAll(TrashFolder() + QStringLiteral("/files/B/content.txt")), QByteArray("same"));
        QVERIFY(QFileInfo(a).isDir() && QFileInfo(d).isDir());
    }

    void nothingChecked_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("expected");
        QTest::newRow("file page") << int(ResultPage::Files) << "No files selected.";
        QTest::newRow("folder page") << int(ResultPage::Dirs) << "No directories selected.";
    }

    void nothingChecked()
    {
        QFETCH(int, page);
        QFETCH(QString, expected);

        Fixture fx;
        fx.AddFile(1, QStringLiteral("a.bin"), false);
        fx.AddDir(1, QStringLiteral("A"), false);
        // Checked rows that yield no path count as nothing.
        fx.Files.AddItem({ QStringLiteral("1"), { QStringLiteral("lost.bin") }, 1, true, nullptr });
        fx.Dirs.AddItem({ QStringLiteral("1"), {}, 1, true, nullptr });
        ResultList& list = ResultPage(page) == ResultPage::Files ? fx.Files : fx.Dirs;
        const QStringList before = Snapshot(list);

        RecordingDesktop desktop;
        desktop.DefaultConfirm = true;
        DeleteCheckedToRecycleBin(nullptr, list, ResultPage(page));

        QVERIFY(desktop.Questions.isEmpty());
        QCOMPARE(desktop.MessageTexts(), QStringList { expected });
        QCOMPARE(Snapshot(list), before);
    }

    void answerNo()
    {
        Fixture fx;
        fx.AddFile(1, QStringLiteral("a.bin"), false);
        const QString b = fx.AddFile(1, QStringLiteral("b.bin"), true);
        const QStringList before = Snapshot(fx.Files);

        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { false };
        DeleteCheckedToRecycleBin(nullptr, fx.Files, ResultPage::Files);

        QCOMPARE(desktop.Questions.size(), 1);
        QVERIFY(desktop.Messages.isEmpty());
        QCOMPARE(Snapshot(fx.Files), before);
        QVERIFY(QFileInfo::exists(b));
        QVERIFY(Trashed().isEmpty());
    }

    // "Check all" then removal: every group would lose every copy. The
    // warning names them; leaving one keeps exactly the first copy of each.
    void lastCopyGuard_data()
    {
        QTest::addColumn<int>("choice"); // 0 leave one, 1 go on, 2 cancel
        QTest::addColumn<QStringList>("remaining");
        QTest::newRow("leave one") << 0 << QStringList { "a1.bin", "b1.bin", "c1.bin" };
        QTest::newRow("go on anyway") << 1 << QStringList {};
        QTest::newRow("cancel") << 2 << QStringList { "a1.bin", "a2.bin", "b1.bin", "b2.bin", "b3.bin", "c1.bin", "c2.bin" };
    }

    void lastCopyGuard()
    {
        QFETCH(int, choice);
        QFETCH(QStringList, remaining);

        Fixture fx;
        QStringList all;
        for (const QString name : { "a1", "a2", "b1", "b2", "b3", "c1", "c2" })
            all << fx.AddFile(name[0].unicode() - 'a' + 1, QStringLiteral("%1/%2.bin").arg(name, name), false);
        CheckAll(fx.Files);

        RecordingDesktop desktop;
        desktop.ChoiceAnswers = { choice };
        desktop.ConfirmAnswers = { true };
        DeleteCheckedToRecycleBin(nullptr, fx.Files, ResultPage::Files);

        QCOMPARE(desktop.Choices.size(), 1);
        QCOMPARE(desktop.Choices[0].Text,
            QStringLiteral("Groups that would keep no copy: 3\nGroup 1 (1.00 MB)\nGroup 2 (1.00 MB)\nGroup 3 (1.00 MB)"));
        QCOMPARE(desktop.Choices[0].Buttons,
            (QStringList { QStringLiteral("&Leave one copy in each"), QStringLiteral("&Go on anyway"), QStringLiteral("&Cancel") }));
        QCOMPARE(desktop.Choices[0].Default, 0);
        QCOMPARE(desktop.Questions.size(), choice == 2 ? 0 : 1);
        if (choice == 0)
            QCOMPARE(desktop.Questions[0].Text, QStringLiteral("Move 4 files to Recycle Bin?"));
        QStringList exist;
        for (const QString& path : all)
            if (QFileInfo::exists(path))
                exist << QFileInfo(path).fileName();
        QCOMPARE(exist, remaining);
        QCOMPARE(Firsts(fx.Files), remaining);
        QCOMPARE(Trashed().size(), all.size() - remaining.size());
    }

    // The kept copy of a group vanished since the scan: the checked one is
    // the last copy, and is guarded; leaving one keeps the copy that is
    // still there, not the vanished one.
    void keptCopyVanished()
    {
        Fixture fx;
        const QString a = fx.AddFile(1, QStringLiteral("x/a.bin"), false);
        const QString b = fx.AddFile(1, QStringLiteral("y/a.bin"), true);
        const QString c = fx.AddFile(2, QStringLiteral("x/c.bin"), false);
        const QString d = fx.AddFile(2, QStringLiteral("y/c.bin"), true);
        QVERIFY(QFile::remove(a));

        RecordingDesktop desktop;
        desktop.ChoiceAnswers = { 0 };
        desktop.ConfirmAnswers = { true };
        DeleteCheckedToRecycleBin(nullptr, fx.Files, ResultPage::Files);

        QCOMPARE(desktop.Choices.size(), 1);
        QCOMPARE(desktop.Choices[0].Text, QStringLiteral("Groups that would keep no copy: 1\nGroup 1 (1.00 MB)"));
        QVERIFY(QFileInfo::exists(b) && QFileInfo::exists(c));
        QVERIFY(!QFileInfo::exists(d));
        QCOMPARE(Trashed(), QStringList { QStringLiteral("c.bin") });
    }

    // An entry that is not what the scan saw any more stays where it is and
    // in the list; the others go, and the message names it and why.
    void changedSinceScan_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("sabotage");
        QTest::addColumn<QString>("reason");
        const int files = int(ResultPage::Files);
        const int dirs = int(ResultPage::Dirs);
        QTest::newRow("a checked file vanished") << files << "vanish" << "gone since the scan";
        QTest::newRow("a link to the kept copy swapped in") << files << "link" << "changed since the scan";
        QTest::newRow("a checked file changed size") << files << "resize" << "changed since the scan";
        QTest::newRow("a checked file rewritten in place") << files << "rewrite" << "changed since the scan";
        QTest::newRow("a file of the same name put in its place") << files << "replace" << "changed since the scan";
        QTest::newRow("a link to the kept folder swapped in") << dirs << "link" << "changed since the scan";
        QTest::newRow("a checked folder vanished") << dirs << "vanish" << "gone since the scan";
        QTest::newRow("another folder put in its place") << dirs << "replace" << "changed since the scan";
    }

    void changedSinceScan()
    {
        QFETCH(int, page);
        QFETCH(QString, sabotage);
        QFETCH(QString, reason);
        const bool onFiles = ResultPage(page) == ResultPage::Files;

        Fixture fx;
        const QString keptFile = fx.AddFile(1, QStringLiteral("k/a.bin"), false);
        QStringList checked;
        checked << fx.AddFile(1, QStringLiteral("b/a.bin"), true);
        checked << fx.AddFile(1, QStringLiteral("c/a.bin"), true);
        const QString keptDir = fx.AddDir(2, QStringLiteral("K"), false);
        if (!onFiles) {
            checked.clear();
            checked << fx.AddDir(2, QStringLiteral("B"), true) << fx.AddDir(2, QStringLiteral("C"), true);
        }
        const QString victim = checked[1];
        const QString rel = victim.mid(fx.Dir.path().size() + 1);
        const QString kept = onFiles ? keptFile : keptDir;

        if (sabotage == u"vanish") {
            QVERIFY(fx.Dir.remove(rel));
        } else if (sabotage == u"link") {
            QVERIFY(fx.Dir.remove(rel));
            fx.Dir.createLink(kept, rel);
        } else if (sabotage == u"resize") {
            fx.Dir.createFile(rel, QByteArray("changed since the scan"));
        } else if (sabotage == u"rewrite") {
            // Same size, new bytes: only the time tells.
            QFile f(victim);
            QVERIFY(f.open(QIODevice::ReadWrite));
            const QByteArray bytes = f.readAll();
            f.seek(0);
            f.write(QByteArray(bytes.size(), 'z'));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        } else if (sabotage == u"replace") {
            // The old one kept aside, so that the new one cannot reuse its inode.
            QVERIFY(QFile::rename(victim, victim + QStringLiteral(".old")));
            if (onFiles)
                fx.Dir.createFile(rel, rel.toUtf8()); // same bytes, another file
            else
                fx.Dir.createFile(rel + QStringLiteral("/content.txt"), QByteArray("same"));
        }
        ResultList& list = onFiles ? fx.Files : fx.Dirs;

        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { true };
        DeleteCheckedToRecycleBin(nullptr, list, ResultPage(page));

        QCOMPARE(desktop.Questions.size(), 1);
        QCOMPARE(desktop.Questions[0].Text,
            onFiles ? QStringLiteral("Move 1 files to Recycle Bin?") : QStringLiteral("Move 1 directories to Recycle Bin?"));
        const QString success = onFiles ? QStringLiteral("Files were moved to the Recycle Bin.")
                                        : QStringLiteral("Directories were moved to the Recycle Bin.");
        QCOMPARE(desktop.MessageTexts(),
            QStringList { success + QStringLiteral("\n\n1 checked entries were left out:\n") + victim + QStringLiteral(": ") + reason });
        QCOMPARE(Trashed(), QStringList { QFileInfo(checked[0]).fileName() });
        QVERIFY(Firsts(list).contains(onFiles ? QFileInfo(victim).fileName() : victim));
        QVERIFY(QFileInfo::exists(kept) && !QFileInfo(kept).isSymLink());
        QCOMPARE(QFileInfo(victim).exists() || QFileInfo(victim).isSymLink(), sabotage != u"vanish");
    }

    // A move the trash refuses moves nothing, says which entry stopped it,
    // and leaves the list as it was.
    void failedMove_data()
    {
        QTest::addColumn<QString>("sabotage");
        QTest::newRow("the trash folder is a file") << "trash-file";
        QTest::newRow("the trash info folder is a file") << "info-file";
        QTest::newRow("a name too long for the trash") << "long-name";
    }

    void failedMove()
    {
        QFETCH(QString, sabotage);

        Fixture fx;
        const QString kept = fx.AddFile(1, QStringLiteral("k/a.bin"), false);
        QStringList checked;
        checked << fx.AddFile(1, QStringLiteral("b/a.bin"), true);
        checked << fx.AddFile(1, QStringLiteral("c/a.bin"), true);
        if (sabotage == u"long-name")
            checked << fx.AddFile(1, QString(246, u'n'), true);
        if (sabotage == u"trash-file") {
            QVERIFY(QDir().mkpath(QFileInfo(TrashFolder()).path()));
            QFile f(TrashFolder());
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (sabotage == u"info-file") {
            QVERIFY(QDir().mkpath(TrashFolder() + QStringLiteral("/files")));
            QFile f(TrashFolder() + QStringLiteral("/info"));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QStringList before = Snapshot(fx.Files);
        QDir::setCurrent(fx.Dir.path()); // where Qt itself would drop files without a trash

        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { true };
        DeleteCheckedToRecycleBin(nullptr, fx.Files, ResultPage::Files);

        // Nothing went, and the message says so: the entry that stopped the
        // move with why, then the ones it held back.
        const QString stopped = sabotage == u"long-name" ? checked.back() : checked.front();
        QString expected = QStringLiteral("No files were moved to the Recycle Bin.\n") + stopped
            + QStringLiteral(": the trash cannot take it");
        for (const QString& path : checked)
            if (path != stopped)
                expected += u'\n' + path + QStringLiteral(": left in place when the move stopped");
        QCOMPARE(desktop.MessageTexts(), QStringList { expected });
        QCOMPARE(Snapshot(fx.Files), before);
        QVERIFY(Trashed().isEmpty());
        QVERIFY(!QFileInfo::exists(fx.Dir.path(QStringLiteral("files"))));
        QVERIFY(QFileInfo::exists(kept));
        for (const QString& path : checked)
            QVERIFY(QFileInfo::exists(path));
    }

    // While "Move 5 files" is open, the kept copies of two groups are deleted
    // and a checked file is rewritten (same size, old time). The Yes does not
    // move anything: the plan is made again, the groups without a copy are
    // put to the person, then the question again with what changed; only a
    // Yes to that moves, and only what is still as scanned.
    void diskChangesWhileConfirming_data()
    {
        QTest::addColumn<bool>("yesAgain");
        QTest::newRow("asked again: yes") << true;
        QTest::newRow("asked again: no") << false;
    }

    void diskChangesWhileConfirming()
    {
        QFETCH(bool, yesAgain);
        Fixture fx;
        const QString keptPhoto = fx.AddFile(1, QStringLiteral("ref/photo1.jpg"), false);
        const QString photo = fx.AddFile(1, QStringLiteral("x/photo1.jpg"), true);
        const QString keptDone = fx.AddFile(2, QStringLiteral("a/100% done #1.bin"), false);
        const QString done = fx.AddFile(2, QStringLiteral("b/100% done #1.bin"), true);
        fx.AddFile(3, QStringLiteral("c/k.bin"), false);
        const QString rewritten = fx.AddFile(3, QStringLiteral("d/k.bin"), true);
        const QString k = fx.AddFile(3, QStringLiteral("e/k.bin"), true);
        fx.AddFile(4, QStringLiteral("f/m.bin"), false);
        const QString m = fx.AddFile(4, QStringLiteral("g/m.bin"), true);
        const QStringList checked { photo, done, rewritten, k, m };

        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { true, yesAgain };
        desktop.ChoiceAnswers = { 0 }; // leave one copy in each
        desktop.WhileConfirming.append([&] {
            QVERIFY(QFile::remove(keptPhoto) && QFile::remove(keptDone));
            RewriteKeepingTime(rewritten);
        });
        bool untouched = false;
        desktop.WhileConfirming.append([&] {
            untouched = Trashed().isEmpty()
                && std::all_of(checked.begin(), checked.end(), [](const QString& p) { return QFileInfo::exists(p); });
        });
        DeleteCheckedToRecycleBin(nullptr, fx.Files, ResultPage::Files);

        QVERIFY2(untouched, "something moved before the second answer");
        const QString changed = QStringLiteral("The disk changed after you confirmed:\n") + rewritten
            + QStringLiteral(": changed since the scan");
        QCOMPARE(desktop.Choices.size(), 1);
        QCOMPARE(desktop.Choices[0].Text,
            changed + QStringLiteral("\n\nGroups that would keep no copy: 2\nGroup 1 (1.00 MB)\nGroup 2 (1.00 MB)"));
        // The disk did not change again under the second question: it is the last.
        QCOMPARE(desktop.Questions.size(), 2);
        QCOMPARE(desktop.Questions[0].Text, QStringLiteral("Move 5 files to Recycle Bin?"));
        // One copy left in each group that lost its kept one: the photo and
        // the "100%" file stay checked no longer.
        QCOMPARE(desktop.Questions[1].Text, changed + QStringLiteral("\n\nMove 2 files to Recycle Bin?"));
        QVERIFY(QFileInfo::exists(photo) && QFileInfo::exists(done) && QFileInfo::exists(rewritten));
        if (!yesAgain) {
            QVERIFY(desktop.Messages.isEmpty());
            QVERIFY(Trashed().isEmpty());
            QVERIFY(QFileInfo::exists(k) && QFileInfo::exists(m));
            return;
        }
        QCOMPARE(Trashed(), (QStringList { QStringLiteral("k.bin"), QStringLiteral("m.bin") }));
        QCOMPARE(desktop.MessageTexts(),
            QStringList { QStringLiteral("Files were moved to the Recycle Bin.\n\n1 checked entries were left out:\n")
                + rewritten + QStringLiteral(": changed since the scan") });
        QCOMPARE(Firsts(fx.Files),
            (QStringList { "photo1.jpg", "photo1.jpg", "100% done #1.bin", "100% done #1.bin", "k.bin", "k.bin", "m.bin" }));
    }

    // An entry swapped for another file of its name and size after the plan
    // was made again, at the last moments of its move: it stays (the swapped
    // in file where it is, the original where the swap put it), the one
    // before it went, the one after it is held back, and the message says so.
    void swappedAtTheMove_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("before its check") << int(platform::TrashStep::BeforeCheck);
        QTest::newRow("between its check and its rename") << int(platform::TrashStep::BeforeRename);
    }

    void swappedAtTheMove()
    {
        QFETCH(int, step);
        Fixture fx;
        fx.AddFile(1, QStringLiteral("k/a.bin"), false);
        const QString first = fx.AddFile(1, QStringLiteral("b/a.bin"), true);
        const QString victim = fx.AddFile(1, QStringLiteral("c/a.bin"), true);
        const QString third = fx.AddFile(1, QStringLiteral("d/a.bin"), true);
        const QString aside = victim + QStringLiteral(".aside");
        const QByteArray original = ReadAll(victim);

        platform::SetTrashStepHook([&](platform::TrashStep at, qsizetype index) {
            if (index != 1 || at != platform::TrashStep(step))
                return;
            QVERIFY(QFile::rename(victim, aside));
            QFile f(victim);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(original.size(), '#'));
        });
        struct Unhook {
            ~Unhook() { platform::SetTrashStepHook({}); }
        } unhook;

        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { true };
        DeleteCheckedToRecycleBin(nullptr, fx.Files, ResultPage::Files);

        QCOMPARE(desktop.MessageTexts(),
            QStringList { QStringLiteral("Failed to delete some files.\nMoved to the Recycle Bin: 1 of 3\n") + first
                + QStringLiteral("\n\nNot moved: 2\n") + victim + QStringLiteral(": changed since the scan\n") + third
                + QStringLiteral(": left in place when the move stopped") });
        QCOMPARE(Trashed(), QStringList { QStringLiteral("a.bin") });
        QCOMPARE(ReadAll(TrashFolder() + QStringLiteral("/files/a.bin")), QByteArray("b/a.bin"));
        QVERIFY(QDir(TrashFolder() + QStringLiteral("/info")).entryList(QDir::Files) == QStringList { QStringLiteral("a.bin.trashinfo") });
        QCOMPARE(ReadAll(victim), QByteArray(original.size(), '#'));
        QCOMPARE(ReadAll(aside), original);
        QCOMPARE(ReadAll(third), QByteArray("d/a.bin"));
        QCOMPARE(Firsts(fx.Files), (QStringList { "a.bin", "a.bin", "a.bin" }));
    }

    // The listed folder is the user's link; after the scan it is pointed at
    // another tree holding hard links of the same files (same inodes, same
    // times, so every entry still reads as scanned). The walk compares the
    // listed folder with the one the scan met, and nothing moves from the
    // other tree.
    void listedFolderReplaced()
    {
        TestDir dir;
        dir.createFile(QStringLiteral("T1/a/x.bin"), QByteArray("twin"));
        dir.createFile(QStringLiteral("T1/b/x.bin"), QByteArray("twin"));
        dir.createHardLink(QStringLiteral("T1/a/x.bin"), QStringLiteral("T2/a/x.bin"));
        dir.createHardLink(QStringLiteral("T1/b/x.bin"), QStringLiteral("T2/b/x.bin"));
        const QString listed = dir.createLink(QStringLiteral("T1"), QStringLiteral("L"));
        RecordingDesktop desktop;
        TMainForm w;
        w.seMinSizeMB->setValue(0);
        QVERIFY(w.AddFolder(listed));
        w.btnScan->click();
        QCOMPARE(Checks(w.lvFiles), QStringLiteral(".x"));
        platform::FileId t1;
        QVERIFY(platform::GetFileId(dir.path(QStringLiteral("T1")), t1));
        QCOMPARE(w.ScannedFolders().size(), 1);
        QCOMPARE(w.ScannedFolders()[0].NativePath, QFile::encodeName(listed));
        QCOMPARE(w.ScannedFolders()[0].Id, t1);

        QVERIFY(dir.remove(QStringLiteral("L")));
        dir.createLink(QStringLiteral("T2"), QStringLiteral("L"));
        const QString checked = w.lvFiles.Item(1).Data->FullPath();
        desktop.ConfirmAnswers = { true };
        w.btnDeleteSelected->click();

        // Left out before the question, as the move would refuse it.
        QVERIFY(desktop.Questions.isEmpty());
        QCOMPARE(desktop.MessageTexts(),
            QStringList { QStringLiteral("1 checked entries were left out:\n") + checked
                + QStringLiteral(": a folder on its way is a link or was replaced") });
        QVERIFY(Trashed().isEmpty());
        for (const char* rel : { "T1/a/x.bin", "T1/b/x.bin", "T2/a/x.bin", "T2/b/x.bin" })
            QCOMPARE(ReadAll(dir.path(QString::fromLatin1(rel))), QByteArray("twin"));
        QCOMPARE(w.lvFiles.ItemCount(), 2);
    }

    // A folder takes its subfolders along, and they may be rows of their own:
    // rows that went along leave the list, and a group whose unchecked rows
    // would all go along raises the warning.
    void nestedFolders_data()
    {
        QTest::addColumn<QString>("checks"); // rows A, B, A/X, B/X
        QTest::addColumn<int>("choice");     // the warning's answer; -1: no warning
        QTest::addColumn<QStringList>("trashed");
        QTest::addColumn<QStringList>("remaining");
        QTest::newRow("all but one in each group") << ".x.x" << -1 << QStringList { "B" } << QStringList { "A", "A/X" };
        QTest::newRow("only the outer folder") << ".x.." << -1 << QStringList { "B" } << QStringList { "A", "A/X" };
        QTest::newRow("inner copy would go along: cancel") << ".xx." << 2 << QStringList {} << QStringList { "A", "B", "A/X", "B/X" };
        QTest::newRow("inner copy would go along: leave one") << ".xx." << 0 << QStringList { "B" } << QStringList { "A", "A/X" };
        QTest::newRow("inner copy would go along: go on") << ".xx." << 1 << QStringList { "B", "X" } << QStringList { "A" };
    }

    void nestedFolders()
    {
        QFETCH(QString, checks);
        QFETCH(int, choice);
        QFETCH(QStringList, trashed);
        QFETCH(QStringList, remaining);

        Fixture fx;
        const QStringList rels { "A", "B", "A/X", "B/X" };
        for (const QString& rel : rels)
            fx.Dir.createFile(rel + QStringLiteral("/X/f.txt"), QByteArray("x"));
        for (int i = 0; i < rels.size(); ++i)
            fx.AddDir(i < 2 ? 1 : 2, rels[i], checks[i] == u'x');

        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { true };
        if (choice >= 0)
            desktop.ChoiceAnswers = { choice };
        DeleteCheckedToRecycleBin(nullptr, fx.Dirs, ResultPage::Dirs);

        QCOMPARE(desktop.Choices.size(), choice >= 0 ? 1 : 0);
        if (choice >= 0) {
            QCOMPARE(desktop.Choices[0].Text, QStringLiteral("Groups that would keep no copy: 1\n") + fx.Dirs.Groups()[1].Header);
            QCOMPARE(desktop.Choices[0].Default, 0);
            QCOMPARE(desktop.Choices[0].Escape, 2);
        }
        QCOMPARE(desktop.MessageTexts(),
            choice == 2 ? QStringList {} : QStringList { QStringLiteral("Directories were moved to the Recycle Bin.") });
        QCOMPARE(Trashed(), trashed);
        QStringList shown;
        for (const QString& path : Firsts(fx.Dirs))
            shown << path.mid(fx.Dir.path().size() + 1);
        QCOMPARE(shown, remaining);
        QCOMPARE(QFileInfo::exists(fx.Dir.path(QStringLiteral("A/X/f.txt"))), choice != 1);
    }

    // Folder groups agree by names and sizes; before a folder goes, its
    // files are compared with those of the folders of its group that stay.
    // Rows: groups {a, b} and {a/docs, b/docs}, each docs with a database of
    // 2 MB and a note of 6 bytes; b/docs's bytes as the row says.
    void contentsComparedBeforeRemoval_data()
    {
        QTest::addColumn<QString>("copy");   // b: same, other (bytes), rewritten (after the scan, size and time kept)
        QTest::addColumn<QString>("checks"); // rows a, b, a/docs, b/docs; r: a reference row
        QTest::addColumn<QStringList>("trashed");
        QTest::addColumn<QStringList>("leftOut"); // rows named in the message, in order
        QTest::newRow("a true copy") << "same" << ".x.." << QStringList { "b" } << QStringList {};
        QTest::newRow("other bytes, same names and sizes") << "other" << ".x.." << QStringList {} << QStringList { "b" };
        QTest::newRow("rewritten after the scan") << "rewritten" << ".x.." << QStringList {} << QStringList { "b" };
        QTest::newRow("nested, a true copy") << "same" << ".x.x" << QStringList { "b" } << QStringList {};
        QTest::newRow("nested, other bytes") << "other" << ".x.x" << QStringList {} << QStringList { "b", "b/docs" };
        QTest::newRow("only the inner folder") << "other" << "...x" << QStringList {} << QStringList { "b/docs" };
        QTest::newRow("a reference folder kept, a true copy") << "same" << "rx.." << QStringList { "b" } << QStringList {};
        QTest::newRow("a reference folder kept, other bytes") << "other" << "rx.." << QStringList {} << QStringList { "b" };
    }

    void contentsComparedBeforeRemoval()
    {
        QFETCH(QString, copy);
        QFETCH(QString, checks);
        QFETCH(QStringList, trashed);
        QFETCH(QStringList, leftOut);

        Fixture fx;
        QByteArray db(2 * 1024 * 1024, '\0');
        for (int i = 0; i < db.size(); ++i)
            db[i] = char((quint32(i) * 7919u) >> 5);
        for (const char* top : { "a", "b" }) {
            const QString t = QString::fromLatin1(top);
            fx.Dir.createFile(t + QStringLiteral("/docs/db.bin"), copy == u"other" && t == u"b" ? QByteArray(db).fill('z') : db);
            fx.Dir.createFile(t + QStringLiteral("/docs/note.txt"), copy == u"other" && t == u"b" ? "HELLO\n" : "hello\n");
        }
        const QStringList rels { "a", "b", "a/docs", "b/docs" };
        for (int i = 0; i < rels.size(); ++i)
            fx.AddDir(i < 2 ? 1 : 2, rels[i], checks[i] == u'x');
        if (checks[0] == u'r') {
            ResultItem ref = fx.Dirs.Item(0);
            ref.Reference = true;
            fx.Dirs.DeleteItem(0);
            fx.Dirs.AddItem(ref);
        }
        if (copy == u"rewritten") {
            // After the scan: new bytes, the old size and modification time.
            const QByteArray path = QFile::encodeName(fx.Dir.path(QStringLiteral("b/docs/db.bin")));
            struct stat st;
            QVERIFY(::stat(path.constData(), &st) == 0);
            const int fd = ::open(path.constData(), O_WRONLY);
            QVERIFY(fd >= 0);
            QCOMPARE(::pwrite(fd, "changed", 7, 1024 * 1024), ssize_t(7));
            ::close(fd);
            const struct timespec times[2] = { st.st_atim, st.st_mtim };
            QVERIFY(::utimensat(AT_FDCWD, path.constData(), times, 0) == 0);
        }

        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { true };
        DeleteCheckedToRecycleBin(nullptr, fx.Dirs, ResultPage::Dirs);

        QCOMPARE(Trashed(), trashed);
        QCOMPARE(desktop.MessageTexts().size(), 1);
        const QString message = desktop.MessageTexts().constFirst();
        if (leftOut.isEmpty()) {
            QCOMPARE(message, QStringLiteral("Directories were moved to the Recycle Bin."));
        } else {
            QStringList lines;
            for (const QString& rel : leftOut)
                lines << fx.Dir.path(rel) + QStringLiteral(": contents differ from every kept copy, first at ")
                        + fx.Dir.path(QStringLiteral("b/docs/db.bin"));
            QCOMPARE(message,
                QStringLiteral("%1 checked entries were left out:\n").arg(leftOut.size()) + lines.join(u'\n'));
            // What stayed stays listed, still checked.
            for (const QString& rel : leftOut)
                QVERIFY(Firsts(fx.Dirs).contains(fx.Dir.path(rel)));
        }
        QVERIFY(QFileInfo::exists(fx.Dir.path(QStringLiteral("a/docs/db.bin"))));
        QCOMPARE(QFileInfo::exists(fx.Dir.path(QStringLiteral("b/docs/db.bin"))), trashed.isEmpty());
    }

    // Stop during the comparison: nothing moves, the message says so, and
    // the window shows the comparison's progress while it runs.
    void stopDuringTheComparison()
    {
        Fixture fx;
        for (const char* top : { "a", "b" })
            fx.Dir.createFile(QString::fromLatin1(top) + QStringLiteral("/docs/db.bin"), 4 * 1024 * 1024, 'q');
        fx.AddDir(1, QStringLiteral("a"), false);
        fx.AddDir(1, QStringLiteral("b"), true);
        const QStringList before = Snapshot(fx.Dirs);

        RecordingWindow w;
        w.OnEveryPump([&w](int) {
            if (w.IsRunning())
                w.btnStopClick();
        });
        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { true };
        DeleteCheckedToRecycleBin(nullptr, fx.Dirs, ResultPage::Dirs, {}, {}, &w);

        QCOMPARE(desktop.MessageTexts(), QStringList { QStringLiteral("The comparison was stopped; nothing was moved.") });
        QVERIFY(Trashed().isEmpty());
        QCOMPARE(Snapshot(fx.Dirs), before);
        QVERIFY(!w.IsRunning());
        QVERIFY2(w.Statuses().contains(QStringLiteral("Reading folders to compare (0/2)...")), qPrintable(w.Describe()));
        QCOMPARE(w.StatusText(), QString()); // the text it had before

        // Without a stop the same window runs it to its end, and the copy goes.
        w.ClearHooks();
        w.ClearLog();
        desktop.Clear();
        desktop.ConfirmAnswers = { true };
        DeleteCheckedToRecycleBin(nullptr, fx.Dirs, ResultPage::Dirs, {}, {}, &w);
        QCOMPARE(desktop.MessageTexts(), QStringList { QStringLiteral("Directories were moved to the Recycle Bin.") });
        QCOMPARE(Trashed(), QStringList { QStringLiteral("b") });
        QVERIFY2(w.Statuses().contains(QStringLiteral("Comparing folder contents (2/2)...")), qPrintable(w.Describe()));
    }

    void exportCsv_data()
    {
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QList<QStringList>>("rows"); // caption, sub-items
        QTest::addColumn<QString>("defaultName");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray bom("\xEF\xBB\xBF");
        QTest::newRow("file clones")
            << QStringList { "Group", "File \"name\"", "Directory", "File size (MB)" }
            << QList<QStringList> { { "1", "a \"quoted\" name.txt", "/data/x, y", "1,50 MB" }, { "1", "b.txt", "/data", "1,50 MB" } }
            << DefaultFileClonesCsvName()
            << bom + "Group,File \"name\",Directory,File size (MB)\r\n"
                     "\"1\",\"a \"\"quoted\"\" name.txt\",\"/data/x, y\",\"1,50 MB\"\r\n"
                     "\"1\",\"b.txt\",\"/data\",\"1,50 MB\"\r\n";
        QTest::newRow("folder clones, one row short of a field")
            << QStringList { "Gruppe", "Verzeichnis", "Größe" }
            << QList<QStringList> { { "2", "/srv/a,b", "0.00 MB" }, { "3", "/srv/ü" } }
            << DefaultFolderClonesCsvName()
            << bom + "Gruppe,Verzeichnis,Gr\xC3\xB6\xC3\x9F" "e\r\n\"2\",\"/srv/a,b\",\"0.00 MB\"\r\n\"3\",\"/srv/\xC3\xBC\"\r\n";
        QTest::newRow("empty list")
            << QStringList { "Group", "Directory", "Size" } << QList<QStringList> {} << DefaultFolderClonesCsvName()
            << bom + "Group,Directory,Size\r\n";
    }

    void exportCsv()
    {
        QFETCH(QStringList, columns);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QString, defaultName);
        QFETCH(QByteArray, expected);

        ResultList list;
        list.Columns = columns;
        bool checked = true;
        for (const QStringList& row : rows) {
            list.AddItem({ row[0], row.mid(1), row[0].toInt(), checked, nullptr });
            checked = !checked; // checked and unchecked rows are written alike
        }
        TestDir dir;
        // An existing, longer file is replaced without a question.
        const QString target = dir.createFile(QStringLiteral("out"), QByteArray(4096, 'z'));

        RecordingDesktop desktop;
        desktop.SaveAnswers = { target };
        ExportWithDialog(nullptr, list, defaultName);

        QCOMPARE(desktop.SaveRequests.size(), 1);
        QCOMPARE(desktop.SaveRequests[0].Filter, QStringLiteral("CSV files (*.csv);;All files (*)"));
        QCOMPARE(desktop.SaveRequests[0].DefaultName, defaultName);
        QVERIFY(desktop.Messages.isEmpty());
        QCOMPARE(ReadAll(target), expected);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList { "out" });
    }

    void exportCancelled()
    {
        ResultList list;
        list.Columns = QStringList { "Group" };
        TestDir dir;
        QDir::setCurrent(dir.path());
        RecordingDesktop desktop; // no answer: the dialog is cancelled
        ExportWithDialog(nullptr, list, DefaultFileClonesCsvName());
        QCOMPARE(desktop.SaveRequests.size(), 1);
        QVERIFY(desktop.Messages.isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    void exportUnwritable_data()
    {
        QTest::addColumn<QString>("rel");
        QTest::newRow("a missing folder") << "missing/out.csv";
        QTest::newRow("a folder in the way") << "folder";
    }

    void exportUnwritable()
    {
        QFETCH(QString, rel);
        TestDir dir;
        dir.createDir(QStringLiteral("folder"));
        const QString target = dir.path(rel);
        ResultList list;
        list.Columns = QStringList { "Group" };

        QString error;
        try {
            ExportListToCsv(list, target);
        } catch (const ExportError& e) {
            error = QString::fromStdString(e.what());
        }
        QVERIFY2(error.startsWith(QStringLiteral("Cannot write the file %1: ").arg(target)), qPrintable(error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList { "folder" });
        QVERIFY(QDir(dir.path(QStringLiteral("folder"))).isEmpty());
    }

    // An export onto a FIFO or a device writes through it and leaves the node
    // as it was; one that cannot be written is reported and kept.
    void exportOntoSpecialFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("written");
        QTest::newRow("a FIFO with a reader") << "fifo" << true;
        QTest::newRow("a FIFO nobody reads") << "lonely-fifo" << false;
        QTest::newRow("a copy of the null device") << "null" << true;
    }

    void exportOntoSpecialFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, written);
        TestDir dir;
        const QString target = dir.path(QStringLiteral("out.csv"));
        const QByteArray native = QFile::encodeName(target);
        int reader = -1;
        if (kind == u"null") {
            if (::mknod(native.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("no device node can be made here (needs root)");
        } else {
            dir.createFifo(QStringLiteral("out.csv"));
            if (kind == u"fifo")
                reader = ::open(native.constData(), O_RDONLY | O_NONBLOCK);
        }
        struct stat before;
        QCOMPARE(::stat(native.constData(), &before), 0);

        ResultList list;
        list.Columns = QStringList { "Group", "Directory", "Size" };
        list.AddItem({ "1", { "/srv/a", "1.00 MB" }, 1, true, nullptr });
        QString error;
        try {
            ExportListToCsv(list, target);
        } catch (const ExportError& e) {
            error = QString::fromStdString(e.what());
        }
        QCOMPARE(error.isEmpty(), written);
        if (!written)
            QVERIFY2(error.startsWith(QStringLiteral("Cannot write the file %1: ").arg(target)), qPrintable(error));

        struct stat after;
        QCOMPARE(::stat(native.constData(), &after), 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_rdev, before.st_rdev);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { "out.csv" });
        if (reader >= 0) {
            QByteArray got(4096, '\0');
            const ssize_t n = ::read(reader, got.data(), size_t(got.size()));
            ::close(reader);
            QCOMPARE(got.left(n < 0 ? 0 : n), CsvText(list));
        }
    }

    void openLocation_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("message"); // %1: the row's path
        const int files = int(ResultPage::Files);
        const int dirs = int(ResultPage::Dirs);
        QTest::newRow("file page, nothing selected") << files << "none" << "Please select an item first.";
        QTest::newRow("folder page, nothing selected") << dirs << "none" << "Please select an item first.";
        QTest::newRow("file row without a record") << files << "bare" << "No file path available for the selected item.";
        QTest::newRow("file removed since the scan") << files << "missing" << "File does not exist: %1";
        QTest::newRow("file") << files << "present" << "";
        QTest::newRow("folder row without sub-items") << dirs << "bare" << "Directory does not exist: ";
        QTest::newRow("folder removed since the scan") << dirs << "missing" << "Directory does not exist: %1";
        QTest::newRow("folder") << dirs << "present" << "";
    }

    void openLocation()
    {
        QFETCH(int, page);
        QFETCH(QString, row);
        QFETCH(QString, message);
        const bool onFiles = ResultPage(page) == ResultPage::Files;

        Fixture fx;
        QString path;
        int index = 0;
        if (row == u"none") {
            fx.AddFile(1, QStringLiteral("a.bin"), false);
            fx.AddDir(1, QStringLiteral("A"), false);
            index = -1;
        } else if (row == u"bare") {
            fx.Files.AddItem({ QStringLiteral("1"), { QStringLiteral("a.bin") }, 1, false, nullptr });
            fx.Dirs.AddItem({ QStringLiteral("1"), {}, 1, false, nullptr });
        } else {
            path = onFiles ? fx.AddFile(1, QStringLiteral("sub/a.bin"), false) : fx.AddDir(1, QStringLiteral("sub/A"), false);
            if (row == u"missing")
                QVERIFY(fx.Dir.remove(path.mid(fx.Dir.path().size() + 1)));
        }

        RecordingDesktop desktop;
        OpenLocation(nullptr, onFiles ? fx.Files : fx.Dirs, ResultPage(page), index);

        if (message.isEmpty()) {
            QVERIFY(desktop.Messages.isEmpty());
            QCOMPARE(desktop.ShownInFileManager, onFiles ? QStringList { path } : QStringList {});
            QCOMPARE(desktop.OpenedUrls, onFiles ? QList<QUrl> {} : QList<QUrl> { QUrl::fromLocalFile(path) });
        } else {
            QCOMPARE(desktop.MessageTexts(), QStringList { message.contains(u"%1") ? message.arg(path) : message });
            QCOMPARE(desktop.Messages[0].Kind, platform::BoxKind::Plain);
            QVERIFY(desktop.ShownInFileManager.isEmpty() && desktop.OpenedUrls.isEmpty());
        }
    }

    void webLinks()
    {
        RecordingDesktop desktop;
        OpenTutorial();
        OpenContactUs();
        OpenWebsite();
        const QString site = QStringLiteral(TWINLENS_WEBSITE);
        QCOMPARE(desktop.OpenedUrls,
            (QList<QUrl> { QUrl(site + "/redirect/tutorial-twinlens.html"), QUrl(site + "/support.html"), QUrl(site) }));
        QVERIFY(desktop.Messages.isEmpty());
    }

    // A file manager or browser that does not answer is named in an error
    // box, with what was to be shown.
    void unreachableHandlersAreNamed()
    {
        Fixture fx;
        const QString file = fx.AddFile(1, QStringLiteral("sub/a.bin"), false);
        const QString dir = fx.AddDir(1, QStringLiteral("sub/A"), false);
        RecordingDesktop desktop;
        desktop.FileManagerAnswers = false;
        desktop.BrowserAnswers = false;
        OpenLocation(nullptr, fx.Files, ResultPage::Files, 0);
        OpenLocation(nullptr, fx.Dirs, ResultPage::Dirs, 0);
        OpenContactUs();
        const QString site = QStringLiteral(TWINLENS_WEBSITE);
        QCOMPARE(desktop.MessageTexts(),
            (QStringList { QStringLiteral("The file manager could not be reached to show %1.").arg(file),
                QStringLiteral("The file manager could not be reached to show %1.").arg(dir),
                QStringLiteral("The web browser could not be reached to open %1/support.html.").arg(site) }));
        for (const RecordingDesktop::Message& m : desktop.Messages)
            QCOMPARE(m.Kind, platform::BoxKind::Error);
    }

    void aboutBox_data()
    {
        QTest::addColumn<bool>("translated");
        QTest::newRow("English") << false;
        QTest::newRow("translated") << true;
    }

    void aboutBox()
    {
        QFETCH(bool, translated);
        const QString legal = QStringLiteral("This software is protected by copyright law and international treaties. "
                                             "Unauthorized copying or distribution of this program, or any portion of it, "
                                             "may result in severe civil and criminal penalties.");
        if (translated) {
            InstallTranslationTable({ { "English", "en", "Version:", "Website:", legal, "All rights reserved." },
                { "Deutsch", "de", "Fassung:", "Netzseite:", "Geschützt.", "Alle Rechte vorbehalten." } });
            CurrentLanguageIndex = 1;
        }
        const QString site = QStringLiteral(TWINLENS_WEBSITE);

        RecordingDesktop desktop;
        const int yearBefore = QDate::currentDate().year();
        ShowAbout(nullptr);
        const int yearAfter = QDate::currentDate().year();

        QCOMPARE(desktop.Messages.size(), 1);
        QCOMPARE(desktop.Messages[0].Kind, platform::BoxKind::Information);
        QCOMPARE(desktop.Messages[0].Title, QStringLiteral("Twinlens"));
        auto expected = [&](int year) {
            return translated
                ? QStringLiteral("Twinlens\nFassung: " TWINLENS_VERSION "\n\nNetzseite: %1\n\nGeschützt.\n\nCopyright (C) %2 Twinlens. Alle Rechte vorbehalten.").arg(site).arg(year)
                : QStringLiteral("Twinlens\nVersion: " TWINLENS_VERSION "\n\nWebsite: %1\n\n%2\n\nCopyright (C) %3 Twinlens. All rights reserved.").arg(site, legal).arg(year);
        };
        const QString text = desktop.Messages[0].Text;
        QVERIFY2(text == expected(yearBefore) || text == expected(yearAfter), qPrintable(text));
    }

    // Through the real window: the page that shows decides the list of the
    // check commands, the removal and Open location; the exports write their
    // own list whatever shows; a failure reaches the general error handler.
    // In the window: a scan of folders that agree by names and sizes only
    // says so, the removal compares them while Stop is on and the other
    // commands wait, the folder stays, and the status line shows the scan's
    // text again; with "Compare folder contents" the pair is not listed.
    void windowComparesBeforeTheMove()
    {
        TestDir dir;
        for (const char* top : { "a", "b" }) {
            const QString t = QString::fromLatin1(top);
            dir.createFile(t + QStringLiteral("/docs/db.bin"), 2 * 1024 * 1024, t == u"a" ? 'a' : 'b');
            dir.createFile(t + QStringLiteral("/docs/note.txt"), t == u"a" ? "hello\n" : "HELLO\n");
        }
        TMainForm w;
        QVERIFY(!w.chkFolderContents->isChecked());
        QCOMPARE(w.chkFolderContents->accessibleName(), QStringLiteral("Compare folder contents byte by byte"));
        w.chkFileDuplicates->setChecked(false);
        w.chkDirDuplicates->setChecked(true);
        QVERIFY(w.AddFolder(dir.path()));
        w.btnScan->click();
        QCOMPARE(w.lvDirs.GroupCount(), 2);
        QVERIFY2(w.lblStatus->text().contains(QStringLiteral("names and sizes compared; contents are compared before removal")),
            qPrintable(w.lblStatus->text()));
        const QString shown = w.lblStatus->text();

        w.FolderClones1->trigger();
        w.lvDirs.SetChecked(1, true); // b
        RecordingDesktop desktop;
        desktop.ConfirmAnswers = { true };
        bool stopOn = false;
        bool deleteOff = false;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, &w, [&] {
            if (w.IsRunning()) {
                stopOn = stopOn || w.btnStop->isEnabled();
                deleteOff = deleteOff || !w.btnDeleteSelected->isEnabled();
            }
        });
        probe.start(0);
        w.btnDeleteSelected->click();
        probe.stop();
        QVERIFY(stopOn && deleteOff);
        QCOMPARE(desktop.MessageTexts(),
            QStringList { QStringLiteral("1 checked entries were left out:\n") + dir.path(QStringLiteral("b"))
                + QStringLiteral(": contents differ from every kept copy, first at ")
                + dir.path(QStringLiteral("b/docs/db.bin")) });
        QVERIFY(Trashed().isEmpty());
        QCOMPARE(w.lblStatus->text(), shown);
        QVERIFY(w.btnDeleteSelected->isEnabled() && !w.btnStop->isEnabled());

        w.chkFolderContents->setChecked(true);
        w.btnScan->click();
        QCOMPARE(w.lvDirs.GroupCount(), 0);
        QVERIFY(!w.lblStatus->text().contains(QStringLiteral("names and sizes compared")));
    }

    void windowCommandsFollowThePage()
    {
        TestDir dir;
        TMainForm w;
        for (const char* rel : { "k/a.bin", "x/a.bin" })
            w.FFiles.push_back(std::make_unique<TFileInfo>(dir.createFile(QString::fromLatin1(rel), QByteArray("same"))));
        int group = 1;
        w.AddFileGroup({ w.FFiles[0], w.FFiles[1] }, 8, group); // the second row is checked
        const QString keptDir = dir.createDir(QStringLiteral("A"));
        const QString otherDir = dir.createDir(QStringLiteral("B"));
        group = 1;
        w.AddDirGroup(TDirGroupRec { { keptDir, otherDir } }, {}, group);

        RecordingDesktop desktop;
        w.FolderClones1->trigger();
        w.btnDeleteSelected->click();
        QCOMPARE(desktop.MessageTexts(), QStringList { QStringLiteral("No directories selected.") });
        w.Checkall1->trigger();
        QCOMPARE(Checks(w.lvDirs), QStringLiteral("xx"));
        w.btnSelectAllButOne->click();
        QCOMPARE(Checks(w.lvDirs), QStringLiteral(".x"));
        w.lvDirsView->setCurrentIndex(w.ModelOf(w.lvDirs)->IndexOfItem(1));
        QCOMPARE(Checks(w.lvFiles), QStringLiteral(".x"));

        desktop.Clear();
        w.FileClones1->trigger();
        w.btnUncheckAll->click();
        QCOMPARE(Checks(w.lvFiles), QStringLiteral(".."));
        QCOMPARE(Checks(w.lvDirs), QStringLiteral(".x"));
        w.Checkallbutoneingroup1->trigger();
        w.Button1->click(); // the selection on the folder page does not count here
        QCOMPARE(desktop.MessageTexts(), QStringList { QStringLiteral("Please select an item first.") });
        desktop.ConfirmAnswers = { true };
        w.MoveCheckedtoRecycleBin1->trigger();
        QCOMPARE(desktop.Questions.last().Text, QStringLiteral("Move 1 files to Recycle Bin?"));
        QCOMPARE(Firsts(w.lvFiles), QStringList { QStringLiteral("a.bin") });
        QCOMPARE(w.lvFiles.Item(0).Data->FullPath(), dir.path(QStringLiteral("k/a.bin")));
        QCOMPARE(Trashed(), QStringList { QStringLiteral("a.bin") });
        QCOMPARE(Checks(w.lvDirs), QStringLiteral(".x"));

        desktop.Clear();
        const QString csv = dir.path(QStringLiteral("dirs.csv"));
        desktop.SaveAnswers = { csv, dir.path(QStringLiteral("missing/files.csv")) };
        w.ExportFolderClones1->trigger();
        w.btnExportFiles->click();
        QCOMPARE(desktop.SaveRequests.size(), 2);
        QCOMPARE(desktop.SaveRequests[0].DefaultName, QStringLiteral("duplicate_directories.csv"));
        QCOMPARE(desktop.SaveRequests[1].DefaultName, QStringLiteral("duplicate_files.csv"));
        QCOMPARE(ReadAll(csv), CsvText(w.lvDirs));
        QCOMPARE(desktop.Messages.size(), 1);
        QCOMPARE(desktop.Messages[0].Kind, platform::BoxKind::Error);
        QVERIFY(desktop.Messages[0].Text.startsWith(QStringLiteral("Cannot write the file ") + dir.path(QStringLiteral("missing/files.csv"))));

        desktop.Clear();
        w.About1->trigger();
        w.utorial1->trigger();
        QCOMPARE(desktop.Messages.size(), 1);
        QCOMPARE(desktop.Messages[0].Kind, platform::BoxKind::Information);
        QVERIFY(desktop.Messages[0].Text.startsWith(QStringLiteral("Twinlens\nVersion: " TWINLENS_VERSION "\n")));
        QCOMPARE(desktop.OpenedUrls, QList<QUrl> { WebsiteUrl(QStringLiteral("/redirect/tutorial-twinlens.html")) });
    }
};

QTEST_MAIN(TestResultCommands)
#include "tst_ui_resultcommands.moc"
