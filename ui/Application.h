#pragma once
// The application object of the desktop program and its general error
// handler. A failure (std::exception) that escapes a command is shown in an
// error box with its text, and the program goes on: no exception may leave an
// event handler, because Qt's own frames are not exception-safe.

#include "BuildInfo.h"

#include <QApplication>
#include <QString>

#include <exception>
#include <utility>

class QWidget;

namespace ui {

// The application title: the first word of the window caption, the title of
// message boxes and the organisation of the stored language choice.
inline QString ApplicationTitle() { return QStringLiteral("Twinlens"); }

// The program's version as shown in the caption and the About box.
inline QString ProgramVersion() { return QStringLiteral(TWINLENS_VERSION); }

// A path (or address) as left-to-right text that keeps its order inside a
// right-to-left paragraph: wrapped in a left-to-right isolate when the
// application is laid out right to left, as it is otherwise.
QString IsolatedPath(const QString& path);
// The same for the path inside a status text ("Scanning: /data/a.txt (3/9)").
QString IsolatedPaths(const QString& text);

// Shows an error box (through platform::Desktop) with the text of the
// exception being handled; call it only inside a catch block.
void ShowCurrentException(QWidget* parent = nullptr);

// Runs a command and reports any failure that escapes it through
// ShowCurrentException. Returns false when it failed.
template <class F>
bool RunGuarded(QWidget* parent, F&& command)
{
    try {
        std::forward<F>(command)();
        return true;
    } catch (...) {
        ShowCurrentException(parent);
        return false;
    }
}

class Application : public QApplication {
    Q_OBJECT
public:
    // Sets the application name and the organisation ("Twinlens") that
    // QSettings uses. No display name is set: the platform would append it to
    // the caption, which already begins with the title.
    Application(int& argc, char** argv);

    // Delivers every event under the general error handler.
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace ui
