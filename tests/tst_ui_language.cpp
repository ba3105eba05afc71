// The Language menu of the main window: its items, a switch re-captioning the
// whole window (also during a scan), the saved choice surviving a restart, a
// store that cannot be written, and the right-to-left layout of Arabic.
//
// The catalogue is a fixture in which every translation is the English text
// behind a marker ("[rd] File"), so each caption shows which language set it.

#include "support/RecordingDesktop.h"
#include "support/WindowTests.h"
#include "support/TestDir.h"

#include "i18n/translation.h"
#include "platform/core/SettingsStore.h"
#include "ui/Application.h"
#include "ui/ResultModel.h"
#include "ui/uMainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

struct Caption {
    const char* Where;
    std::function<QString(const TMainForm&)> Shown;
    const char* English;
};

// Every caption that a refresh sets, in the window's order, with the English
// text it carries.
QList<Caption> Captions()
{
    using W = const TMainForm&;
    const auto column = [](ResultList ScanWindow::*list, int c) {
        return [list, c](W w) { return (w.*list).Columns.value(c); };
    };
    return {
        { "File1", [](W w) { return w.File1->title(); }, "&File" },
        { "Action1", [](W w) { return w.Action1->title(); }, "&Action" },
        { "Edit1", [](W w) { return w.Edit1->title(); }, "&Edit" },
        { "View1", [](W w) { return w.View1->title(); }, "&View" },
        { "Help1", [](W w) { return w.Help1->title(); }, "&Help" },
        { "AddFolder1", [](W w) { return w.AddFolder1->text(); }, "&Add Folder..." },
        { "ExportFileClones1", [](W w) { return w.ExportFileClones1->text(); }, "Export F&ile Clones..." },
        { "ExportFolderClones1", [](W w) { return w.ExportFolderClones1->text(); }, "Export Fo&lder Clones..." },
        { "Exit1", [](W w) { return w.Exit1->text(); }, "E&xit" },
        { "Scan1", [](W w) { return w.Scan1->text(); }, "&Scan" },
        { "Stop1", [](W w) { return w.Stop1->text(); }, "S&top" },
        { "MoveCheckedtoRecycleBin1", [](W w) { return w.MoveCheckedtoRecycleBin1->text(); }, "&Remove Checked" },
        { "Checkallbutoneingroup1", [](W w) { return w.Checkallbutoneingroup1->text(); },
            "Check all but one in &group" },
        { "Checkall1", [](W w) { return w.Checkall1->text(); }, "&Check All" },
        { "Uncheckall1", [](W w) { return w.Uncheckall1->text(); }, "&Uncheck All" },
        { "Page1", [](W w) { return w.Page1->title(); }, "&Page" },
        { "FileClones1", [](W w) { return w.FileClones1->text(); }, "&File Clones" },
        { "FolderClones1", [](W w) { return w.FolderClones1->text(); }, "F&older Clones" },
        { "ShowSettingsPanel1", [](W w) { return w.ShowSettingsPanel1->text(); }, "&Show Settings Panel" },
        { "mmLanguage", [](W w) { return w.mmLanguage->title(); }, "&Language" },
        { "utorial1", [](W w) { return w.utorial1->text(); }, "&Tutorial" },
        { "ContactUs1", [](W w) { return w.ContactUs1->text(); }, "&Contact Us" },
        { "VisitWebsite1", [](W w) { return w.VisitWebsite1->text(); }, "&Visit Website" },
        { "About1", [](W w) { return w.About1->text(); }, "&About..." },
        { "Label1", [](W w) { return w.Label1->text(); }, "Folders &to scan:" },
        { "btnAddFolder", [](W w) { return w.btnAddFolder->text(); }, "Add f&older..." },
        { "btnRemoveFolder", [](W w) { return w.btnRemoveFolder->text(); }, "&Remove Selected" },
        { "chkFileDuplicates", [](W w) { return w.chkFileDuplicates->text(); }, "Fin&d file clones" },
        { "chkDirDuplicates", [](W w) { return w.chkDirDuplicates->text(); }, "Find fo&lder clones" },
        { "rgCompare", [](W w) { return w.rgCompare->title(); }, "Compare files &by" },
        { "rgCompare 0", [](W w) { return w.rgCompare->Item(0)->text(); }, "&Name" },
        { "rgCompare 1", [](W w) { return w.rgCompare->Item(1)->text(); }, "S&ize" },
        { "rgCompare 2", [](W w) { return w.rgCompare->Item(2)->text(); }, "Na&me && Size" },
        { "rgCompare 3", [](W w) { return w.rgCompare->Item(3)->text(); }, "&Content (SHA-1)" },
        { "Label2", [](W w) { return w.Label2->text(); }, "File mas&ks (CSV):" },
        { "Label3", [](W w) { return w.Label3->text(); }, "Min si&ze (MB):" },
        { "chkParallelHash", [](W w) { return w.chkParallelHash->text(); }, "&Parallel hashing" },
        { "chkFollowLinks", [](W w) { return w.chkFollowLinks->text(); }, "Follo&w folder links" },
        { "Label4", [](W w) { return w.Label4->text(); }, "Max &groups (0 = all):" },
        { "Label5", [](W w) { return w.Label5->text(); }, "Min gro&up size:" },
        { "btnScan", [](W w) { return w.btnScan->text(); }, "&Scan" },
        { "tsFiles", [](W w) { return w.PageControl1->tabText(w.PageControl1->indexOf(w.tsFiles)); }, "File Clones" },
        { "tsDirs", [](W w) { return w.PageControl1->tabText(w.PageControl1->indexOf(w.tsDirs)); }, "Folder Clones" },
        { "btnSelectAllButOne", [](W w) { return w.btnSelectAllButOne->text(); }, "Check all but one in &group" },
        { "btnCheckAll", [](W w) { return w.btnCheckAll->text(); }, "&Check all" },
        { "btnUncheckAll", [](W w) { return w.btnUncheckAll->text(); }, "&Uncheck all" },
        { "Button1", [](W w) { return w.Button1->text(); }, "&Open location" },
        { "btnDeleteSelected", [](W w) { return w.btnDeleteSelected->text(); }, "&Delete checked to Recycle Bin" },
        { "btnExportFiles", [](W w) { return w.btnExportFiles->text(); }, "Export F&ile Clones..." },
        { "btnExportDirs", [](W w) { return w.btnExportDirs->text(); }, "Export Fo&lder Clones..." },
        { "btnStop", [](W w) { return w.btnStop->text(); }, "S&top" },
        { "lblStatus", [](W w) { return w.lblStatus->text(); }, "Ready" },
        { "lvFiles 0", column(&TMainForm::lvFiles, 0), "Group" },
        { "lvFiles 1", column(&TMainForm::lvFiles, 1), "File name" },
        { "lvFiles 2", column(&TMainForm::lvFiles, 2), "Directory" },
        { "lvFiles 3", column(&TMainForm::lvFiles, 3), "File size (MB)" },
        { "lvDirs 0", column(&TMainForm::lvDirs, 0), "Group" },
        { "lvDirs 1", column(&TMainForm::lvDirs, 1), "Directory" },
        { "lvDirs 2", column(&TMainForm::lvDirs, 2), "Size" },
    };
}

// Languages of the fixture: code, display name, marker of its texts.
struct Language {
    const char* Code;
    const char* Name;
};
const Language KLanguages[] = {
    { "en", "English" }, { "de", "Deutsch" }, { "rd", "R&D" }, { "ar", "\xd8\xa7\xd9\x84\xd8\xb9\xd8\xb1\xd8\xa8\xd9\x8a\xd8\xa9" },
};
constexpr int KLanguageCount = int(std::size(KLanguages));

QString Marked(int column, const QString& english)
{
    return column == 0 ? english : QStringLiteral("[%1] ").arg(QLatin1String(KLanguages[column].Code)) + english;
}

QByteArray FixtureCatalogue()
{
    QStringList keys;
    for (const Caption& c : Captions())
        keys << QString::fromUtf8(c.English);
    keys << QStringLiteral("Done.") << QStringLiteral("Scanning folders...");
    keys.removeDuplicates();

    QStringList lines { QString::number(KLanguageCount) };
    for (const Language& l : KLanguages)
        lines << QString::fromUtf8(l.Name);
    for (const Language& l : KLanguages)
        lines << QString::fromUtf8(l.Code);
    for (const QString& key : keys)
        for (int k = 0; k < KLanguageCount; ++k)
            lines << Marked(k, key);
    return lines.join(u'\n').toUtf8() + '\n';
}

} // namespace

class TstUiLanguage : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDir> FDir;
    QString FCatalogue;

    static QList<QAction*> Items(const TMainForm& w) { return w.mmLanguage->actions(); }

    // The check marks and every caption; the status line too unless a scan
    // has written it since.
    static void ExpectLanguage(const TMainForm& w, int column, bool withStatus = true)
    {
        QCOMPARE(CurrentLanguageIndex, column);
        const QList<QAction*> items = Items(w);
        QCOMPARE(items.size(), KLanguageCount);
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(items[i]->isChecked(), i == column);
        for (const Caption& c : Captions())
            if (withStatus || QByteArray(c.Where) != "lblStatus")
                QVERIFY2(c.Shown(w) == Marked(column, QString::fromUtf8(c.English)),
                    qPrintable(QStringLiteral("%1 shows \"%2\"").arg(QLatin1String(c.Where), c.Shown(w))));
    }

private slots:
    void initTestCase()
    {
        StartWindowTests();
    }

    void init()
    {
        FDir = std::make_unique<TestDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, FDir->path());
        FCatalogue = FDir->createFile(QStringLiteral("transl.dt"), FixtureCatalogue());
    }

    void cleanup()
    {
        InstallTranslationTable({});
        CurrentLanguageIndex = 0;
        ApplyLanguageLayout();
    }

    void menuItems()
    {
        QVERIFY(platform::WriteSavedLanguage(QStringLiteral("de")));
        LoadTranslationFile(FCatalogue);
        TMainForm w;
        const QList<QAction*> items = Items(w);
        QCOMPARE(items.size(), KLanguageCount);
        for (int i = 0; i < items.size(); ++i) {
            QVERIFY(items[i]->isCheckable());
            QCOMPARE(items[i]->data().toInt(), i);
        }
        // Names as they are, never translated; "&" is no mnemonic.
        QCOMPARE(items[0]->text(), QStringLiteral("English"));
        QCOMPARE(items[1]->text(), QStringLiteral("Deutsch"));
        QCOMPARE(items[2]->text(), QStringLiteral("R&&D"));
        QCOMPARE(items[0]->actionGroup()->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive);
        ExpectLanguage(w, 1);

        // Without a catalogue the submenu stays empty and the window English.
        LoadTranslationFile(FDir->path(QStringLiteral("missing.dt")));
        TMainForm english;
        QVERIFY(Items(english).isEmpty());
        QCOMPARE(english.mmLanguage->title(), QStringLiteral("&Language"));
        QCOMPARE(english.lblStatus->text(), QStringLiteral("Ready"));
    }

    void switchSavesAndSurvivesRestart()
    {
        RecordingDesktop desktop;
        LoadTranslationFile(FCatalogue);
        {
            TMainForm w;
            ExpectLanguage(w, 0);
            w.rgCompare->SetItemIndex(1);
            w.lblStatus->setText(QStringLiteral("  Done."));

            Items(w)[2]->trigger();
            ExpectLanguage(w, 2);
            QCOMPARE(CurrentLanguageCode, QStringLiteral("rd"));
            QCOMPARE(w.rgCompare->ItemIndex(), 1);
            QCOMPARE(platform::ReadSavedLanguage().value_or(QString()), QStringLiteral("rd"));
            QVERIFY(desktop.Messages.isEmpty());
        }
        // Next start: the saved choice picks the language.
        LoadTranslationFile(FCatalogue);
        {
            TMainForm w;
            ExpectLanguage(w, 2);
            // Back to the first language: English texts, its code saved.
            Items(w)[0]->trigger();
            ExpectLanguage(w, 0);
            QCOMPARE(platform::ReadSavedLanguage().value_or(QString()), QStringLiteral("en"));
        }
    }

    void switchDuringScan()
    {
        RecordingDesktop desktop;
        TestDir dir;
        for (int i = 0; i < 30; ++i) {
            const QByteArray content = "pair " + QByteArray::number(i);
            dir.createFile(QStringLiteral("%1/x.dat").arg(i), content);
            dir.createFile(QStringLiteral("%1/y.dat").arg(i), content);
        }
        LoadTranslationFile(FCatalogue);
        TMainForm w;
        w.seMinSizeMB->setValue(0);
        w.seMaxGroups->setValue(0);
        QVERIFY(w.AddFolder(dir.path()));

        QString statusAfterClick;
        QTimer::singleShot(0, &w, [&] {
            QVERIFY(w.IsRunning());
            Items(w)[1]->trigger();
            statusAfterClick = w.lblStatus->text();
        });
        QTest::mouseClick(w.btnScan, Qt::LeftButton);

        QCOMPARE(statusAfterClick, QStringLiteral("[de] Ready"));
        ExpectLanguage(w, 1, false);
        // The scan went on to its end, and its later texts are German.
        QCOMPARE(w.lvFiles.ItemCount(), 60);
        QVERIFY2(w.lblStatus->text().startsWith(QStringLiteral("  [de] Done.  ")), qPrintable(w.lblStatus->text()));
        QVERIFY(desktop.Messages.isEmpty());
    }

    void storeNotWritable()
    {
        RecordingDesktop desktop;
        LoadTranslationFile(FCatalogue);
        TMainForm w;
        // A folder where the settings file belongs: no one can write it.
        QTemporaryDir blocked;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocked.path());
        QVERIFY(QDir(blocked.path()).mkdir(QStringLiteral("Twinlens.conf")));

        Items(w)[1]->trigger();
        // The switch applies to this run; the general error handler says why
        // it was not kept.
        ExpectLanguage(w, 1);
        QCOMPARE(desktop.Messages.size(), 1);
        QCOMPARE(desktop.Messages[0].Kind, platform::BoxKind::Error);
        QVERIFY2(desktop.Messages[0].Text.contains(QStringLiteral("Twinlens.conf")), qPrintable(desktop.Messages[0].Text));
    }

    void arabicIsRightToLeft()
    {
        RecordingDesktop desktop;
        QVERIFY(platform::WriteSavedLanguage(QStringLiteral("ar")));
        LoadTranslationFile(FCatalogue);
        ApplyLanguageLayout(); // as start-up does
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::RightToLeft);
        TMainForm w;
        QVERIFY(w.isRightToLeft());
        Items(w)[1]->trigger();
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
        QVERIFY(!w.isRightToLeft());
        Items(w)[3]->trigger();
        QVERIFY(w.isRightToLeft());
    }
};

int main(int argc, char** argv)
{
    ui::Application app(argc, argv);
    TstUiLanguage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_language.moc"
