#pragma once
// What the main window's own source files share, and nothing else includes:
// the control factories with their designed sizes, the fit of controls and
// columns to longer captions, the result lists' columns, the compare choices,
// and the guards that every command of TMainForm runs under.
//
// The window's code is split by concern (see uMainForm.h); these helpers are
// the common ground of those files, so a change to how a control is made or
// fitted is made once here.

#include "i18n/translation.h"
#include "ui/Application.h"
#include "ui/uMainForm.h"

#include <QList>
#include <QStringList>

#include <cstddef>
#include <utility>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QSpinBox;
class QTreeView;
class QWidget;

namespace mainform {

// A control at least as large as designed, larger when its text needs it
// (FitToTexts). Its height is fixed; its width may grow.
void SetDesignSize(QWidget* w, int width, int height);

// Captions in other languages are often longer than the English ones the
// sizes were designed for: every control under root with a design size gets
// at least the room its caption needs, and every column of views at least the
// width of its header.
void FitToTexts(QWidget* root, const QList<QTreeView*>& views);

// Controls named after the program's controls (objectName), with their
// designed sizes. A button is never a default button: Return in a list or an
// edit box must not press one.
QPushButton* MakeButton(QWidget* parent, const char* name, int width, int height = 25);
// A label for buddy; its text is plain (a path never turns into markup).
QLabel* MakeLabel(QWidget* parent, const char* name, QWidget* buddy);
QSpinBox* MakeSpin(QWidget* parent, const char* name, int min, int max);
QCheckBox* MakeCheck(QWidget* parent, const char* name, int width);
// A menu item appended to menu, and a menu whose own item is named
// name + "Item".
QAction* MakeAction(QMenu* menu, const char* name);
QMenu* MakeMenu(QWidget* parent, const char* name);

// The columns of the two result lists, with their designed widths: captions
// in English, translated when the window is captioned.
struct ResultColumn {
    const char* Caption;
    int Width;
};
inline constexpr ResultColumn FileColumns[] = { { "Group", 60 }, { "File name", 300 }, { "Directory", 520 },
    { "File size (MB)", 100 } };
inline constexpr ResultColumn DirColumns[] = { { "Group", 60 }, { "Directory", 740 }, { "Size", 160 } };

// The captions of columns in the current language.
template <std::size_t N>
QStringList TranslatedCaptions(const ResultColumn (&columns)[N])
{
    QStringList captions;
    for (const ResultColumn& c : columns)
        captions.append(Translate(QString::fromLatin1(c.Caption)));
    return captions;
}

// The choices of "Compare files by", in the order of their item index, in the
// current language.
QStringList CompareChoices();

} // namespace mainform

template <class F>
void TMainForm::Guarded(F&& command)
{
    ui::RunGuarded(this, std::forward<F>(command));
}

template <class F>
void TMainForm::GuardedResultCommand(F&& command)
{
    // Pumps of a running scan deliver every click; the results and the folder
    // list belong to the scan until it has returned.
    if (IsRunning())
        return;
    Guarded(std::forward<F>(command));
}
