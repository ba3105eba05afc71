// The main window by keyboard alone: the mnemonics of every language of the
// shipped catalogue (each caption has one, none clashes with another that Alt
// reaches at the same time), the keys of the everyday commands pressed on the
// window, the keys in a result list, the focus after a scan and in the
// compare group.

#include "support/RecordingDesktop.h"
#include "support/WindowTests.h"
#include "support/TestDir.h"

#include "i18n/translation.h"
#include "platform/core/SettingsStore.h"
#include "ui/ResultModel.h"
#include "ui/uMainForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <functional>

namespace {

// A caption's mnemonic key (Alt + the letter after the single "&"), empty
// when it has none.
QKeySequence MnemonicOf(const QString& caption) { return QKeySequence::mnemonic(caption); }

struct Scope {
    QString Name;
    QList<QPair<QString, QString>> Captions; // where, caption
};

// The captions that Alt reaches at the same time: the menu bar's titles; the
// items of each menu; each panel's controls together with the menu bar.
QList<Scope> MnemonicScopes(const TMainForm& w)
{
    Scope bar { QStringLiteral("menu bar"), {} };
    for (QAction* a : w.menuBar()->actions())
        bar.Captions.append({ a->objectName(), a->text() });
    QList<Scope> scopes { bar };
    for (QMenu* m : { w.File1, w.Action1, w.Edit1, w.View1, w.Help1, w.Page1 }) {
        Scope s { m->objectName(), {} };
        for (QAction* a : m->actions())
            if (!a->isSeparator())
                s.Captions.append({ a->objectName(), a->text() });
        scopes.append(s);
    }
    for (QWidget* panel : { w.PanelTop, w.PanelBottom }) {
        Scope s { panel->objectName(), bar.Captions };
        for (QAbstractButton* b : panel->findChildren<QAbstractButton*>())
            s.Captions.append({ b->objectName(), b->text() });
        for (QLabel* l : panel->findChildren<QLabel*>())
            if (l->buddy())
                s.Captions.append({ l->objectName(), l->text() });
        for (QGroupBox* g : panel->findChildren<QGroupBox*>())
            s.Captions.append({ g->objectName(), g->title() });
        scopes.append(s);
    }
    return scopes;
}

void AtNextPump(std::function<void()> action) { QTimer::singleShot(0, qApp, std::move(action)); }

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT

private:
    void ShowActive(TMainForm& w)
    {
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

private slots:
    void initTestCase()
    {
        StartWindowTests();
    }

    void cleanup()
    {
        InstallTranslationTable({});
        CurrentLanguageIndex = 0;
    }

    void mnemonicsNeverClash_data()
    {
        QTest::addColumn<int>("column");
        LoadTranslationFile(QStringLiteral(TWINLENS_SOURCE_DIR "/resources/transl.dt"));
        QVERIFY(TranslationTable.size() >= 16);
        for (int c = 0; c < TranslationTable.size(); ++c)
            QTest::newRow(qPrintable(TranslationTable[c].value(1))) << c;
    }

    void mnemonicsNeverClash()
    {
        QFETCH(int, column);
        LoadTranslationFile(QStringLiteral(TWINLENS_SOURCE_DIR "/resources/transl.dt"));
        CurrentLanguageIndex = column;
        TMainForm w;
        for (const Scope& scope : MnemonicScopes(w)) {
            QHash<QKeySequence, QString> taken;
            for (const auto& [where, caption] : scope.Captions) {
                const QKeySequence key = MnemonicOf(caption);
                QVERIFY2(!key.isEmpty(), qPrintable(QStringLiteral("%1: \"%2\" has no mnemonic").arg(where, caption)));
                QVERIFY2(!taken.contains(key) || taken[key] == where,
                    qPrintable(QStringLiteral("%1: %2 \"%3\" and %4 share %5")
                                   .arg(scope.Name, where, caption, taken.value(key), key.toString())));
                taken.insert(key, where);
            }
        }
    }

    void keysTriggerTheirCommands_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("focus"); // objectName of the widget with the focus
        QTest::addColumn<QString>("effect");
        const int none = Qt::NoModifier;
        QTest::newRow("F5 scans") << int(Qt::Key_F5) << none << "edMasks" << "message Please add at least one folder.";
        QTest::newRow("Ctrl+O adds a folder") << int(Qt::Key_O) << int(Qt::ControlModifier) << "lbFolders" << "folder dialog";
        QTest::newRow("Ctrl+E exports the files page") << int(Qt::Key_E) << int(Qt::ControlModifier) << "lvFiles"
                                                       << "save duplicate_files.csv";
        QTest::newRow("Ctrl+E exports the folders page") << int(Qt::Key_E) << int(Qt::ControlModifier) << "lvDirs"
                                                         << "save duplicate_directories.csv";
        QTest::newRow("Delete in a list") << int(Qt::Key_Delete) << none << "lvFiles" << "message No files selected.";
        QTest::newRow("Delete in the folder list") << int(Qt::Key_Delete) << none << "lbFolders" << "nothing";
        QTest::newRow("F1 shows About") << int(Qt::Key_F1) << none << "lvFiles" << "about";
        QTest::newRow("Ctrl+Q closes") << int(Qt::Key_Q) << int(Qt::ControlModifier) << "lvFiles" << "closed";
        QTest::newRow("Escape without a scan") << int(Qt::Key_Escape) << none << "lvFiles" << "nothing";
        QTest::newRow("F10 opens the first menu") << int(Qt::Key_F10) << none << "lvFiles" << "menu File1";
        QTest::newRow("Alt+F opens File") << int(Qt::Key_F) << int(Qt::AltModifier) << "lvFiles" << "menu File1";
        QTest::newRow("Alt+H opens Help") << int(Qt::Key_H) << int(Qt::AltModifier) << "edMasks" << "menu Help1";
    }

    void keysTriggerTheirCommands()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, focus);
        QFETCH(QString, effect);
        RecordingDesktop desktop;
        TMainForm w;
        ShowActive(w);
        if (focus == QLatin1String("lvDirs"))
            w.FolderClones1->trigger();
        QWidget* target = w.findChild<QWidget*>(focus);
        QVERIFY(target);
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);

        QString menuSeen;
        if (effect.startsWith(QLatin1String("menu "))) {
            // A menu runs its own loop: look at it from inside, then close it.
            QTimer::singleShot(50, this, [&] {
                if (QWidget* popup = QApplication::activePopupWidget()) {
                    menuSeen = popup->objectName();
                    popup->close();
                }
            });
        }
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

        if (effect.startsWith(QLatin1String("message "))) {
            QCOMPARE(desktop.MessageTexts(), QStringList { effect.mid(8) });
        } else if (effect == QLatin1String("folder dialog")) {
            QCOMPARE(desktop.FolderRequests.size(), 1);
        } else if (effect.startsWith(QLatin1String("save "))) {
            QCOMPARE(desktop.SaveRequests.size(), 1);
            QCOMPARE(desktop.SaveRequests.first().DefaultName, effect.mid(5));
        } else if (effect == QLatin1String("about")) {
            QCOMPARE(desktop.Messages.size(), 1);
            QCOMPARE(desktop.Messages.first().Kind, platform::BoxKind::Information);
        } else if (effect == QLatin1String("closed")) {
            QTRY_VERIFY(!w.isVisible());
        } else if (effect.startsWith(QLatin1String("menu "))) {
            QTRY_COMPARE(menuSeen, effect.mid(5));
        } else {
            QCOMPARE(effect, QStringLiteral("nothing"));
            QTest::qWait(20);
            QVERIFY(desktop.Messages.isEmpty() && desktop.Questions.isEmpty());
            QVERIFY(w.isVisible());
        }
    }

    void escapeStopsAScan()
    {
        RecordingDesktop desktop;
        TestDir dir;
        for (int i = 0; i < 60; ++i)
            dir.createFile(QStringLiteral("f%1.txt").arg(i), "same");
        TMainForm w;
        ShowActive(w);
        w.seMinSizeMB->setValue(0);
        w.AddFolder(dir.path());
        bool pressed = false;
        AtNextPump([&] {
            QVERIFY(w.IsRunning());
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_Escape);
            pressed = true;
        });
        QTest::keyClick(&w, Qt::Key_F5);
        QVERIFY(pressed);
        QVERIFY(w.lblStatus->text().startsWith(QStringLiteral("Scanning cancelled.")));
    }

    // After a scan the first file row has the focus; Space toggles it, Return
    // and a double-click show a file in the file manager, a group header
    // shows nothing.
    void resultListKeys()
    {
        RecordingDesktop desktop;
        TestDir dir;
        const QString a = dir.createFile("a/same.bin", "twin content");
        const QString b = dir.createFile("b/same.bin", "twin content");
        TMainForm w;
        ShowActive(w);
        w.seMinSizeMB->setValue(0);
        w.AddFolder(dir.path());
        w.btnScan->setFocus();
        QTest::keyClick(&w, Qt::Key_F5);
        QCOMPARE(w.lvFiles.ItemCount(), 2);
        QTreeView* view = w.lvFilesView;
        auto* model = static_cast<ResultModel*>(view->model());
        QCOMPARE(QApplication::focusWidget(), view);
        QCOMPARE(model->ItemIndex(view->currentIndex()), 0);

        const bool checked = w.lvFiles.Item(0).Checked;
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(w.lvFiles.Item(0).Checked, !checked);

        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(desktop.ShownInFileManager, QStringList { w.lvFiles.Item(0).Data->FullPath() });

        const QModelIndex second = model->IndexOfItem(1).siblingAtColumn(1);
        const QPoint at = view->visualRect(second).center();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(desktop.ShownInFileManager.size(), 2);
        QCOMPARE(desktop.ShownInFileManager.last(), w.lvFiles.Item(1).Data->FullPath());
        QCOMPARE(QSet<QString>(desktop.ShownInFileManager.cbegin(), desktop.ShownInFileManager.cend()),
            (QSet<QString> { a, b }));

        view->setCurrentIndex(model->index(0, 0)); // the group header
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(desktop.ShownInFileManager.size(), 2);
        QVERIFY(desktop.Messages.isEmpty());
    }

    void compareGroupFocusFollowsItsChoice()
    {
        RecordingDesktop desktop;
        TMainForm w;
        ShowActive(w);
        // Alt and the group's letter, and Tab, reach the chosen item.
        QCOMPARE(w.rgCompare->ItemIndex(), 3);
        QTest::keyClick(&w, Qt::Key_B, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), w.rgCompare->Item(3));
        w.seMinGroupSize->setFocus();
        w.rgCompare->SetItemIndex(1);
        w.edMasks->setFocus();
        QTest::keyClick(w.edMasks, Qt::Key_Backtab, Qt::ShiftModifier);
        QTRY_COMPARE(QApplication::focusWidget(), w.rgCompare->Item(1));
        // The arrows move the choice within the group.
        QTest::keyClick(w.rgCompare->Item(1), Qt::Key_Down);
        QCOMPARE(w.rgCompare->ItemIndex(), 2);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_ui_keyboard.moc"
