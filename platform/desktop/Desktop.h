#pragma once
// Everything that blocks on a person or leaves the process goes through
// Desktop: message boxes, the folder and save dialogs, the file manager, the
// browser and starting a program. Tests install their own Desktop so that no
// test opens a real box, browser or file manager.

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

namespace platform {

enum class BoxKind { Plain, Information, Error };

class Desktop {
public:
    virtual ~Desktop() = default;

    // Box texts are shown as plain text, never as markup: they carry file
    // names, error texts and the update server's words.
    // A box with one OK button. Blocks until it is closed.
    virtual void ShowMessage(QWidget* parent, BoxKind kind, const QString& title, const QString& text) = 0;
    // A question box with Yes and No; true only for Yes.
    virtual bool Confirm(QWidget* parent, const QString& title, const QString& text) = 0;
    // A warning box with the buttons given (captions may carry a mnemonic),
    // defaultButton taking Return; the index of the button pressed, or
    // escapeButton when the box is closed or Escape pressed.
    virtual int Choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons,
        int defaultButton, int escapeButton)
        = 0;
    // Folder dialog; the chosen folder, or the empty text when cancelled.
    virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& startFolder) = 0;
    // Save dialog with a Qt filter ("CSV files (*.csv);;All files (*)") and a
    // default file name; the chosen path, or the empty text when cancelled. No
    // default suffix is added and no question asked before replacing a file.
    virtual QString ChooseSaveFile(QWidget* parent, const QString& filter, const QString& defaultName) = 0;
    // Shows a file selected in the file manager (its folder when none
    // answers). The answer may come later: onFailure runs on this thread,
    // once, when neither the file manager nor the folder could be shown.
    virtual void ShowInFileManager(const QString& filePath, std::function<void()> onFailure = {}) = 0;
    // Opens a folder, a web page or any other URL with the desktop's handler;
    // false when no handler took it.
    virtual bool OpenUrl(const QUrl& url) = 0;
    // A desktop notification (org.freedesktop.Notifications); nothing when
    // no notification service answers. Never blocks.
    virtual void Notify(const QString& title, const QString& text) = 0;
    // Starts a downloaded program.
    virtual void StartProgram(const QString& path) = 0;
};

// The Desktop in use: the real one unless a test installed another.
Desktop& CurrentDesktop();
// Installs d (not owned) for the rest of the run; nullptr restores the real one.
void SetDesktop(Desktop* d);

} // namespace platform
