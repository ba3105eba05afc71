// A test-only library that the install test preloads (LD_PRELOAD) into the
// installed twinlens, so the program under test is exactly the installed file
// and has no test hook of its own. When the application object is made, the
// probe starts watching; once the main window is showing it prints what a
// person would see of the installation, one "key=value" line each:
//
//   title=   the window caption
//   menus=   the menu bar's titles, joined by "|" (they show the language, so
//            which catalogue was loaded)
//   icon=    "same" when the window icon at every size of the installed
//            theme icon (PROBE_ICON_DIR/<n>x<n>/apps/PROBE_ICON_NAME.png) has
//            exactly that file's pixels, else what differs
//   desktop= the desktop file name the program set
//
// and ends the program with status 0. Without a main window within 60
// seconds it prints "probe=timeout" and ends with status 3.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

#include <cstdio>

namespace {

void Print(const char* key, const QString& value)
{
    std::printf("%s=%s\n", key, value.toUtf8().constData());
    std::fflush(stdout);
}

QString CompareWindowIcon()
{
    const QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        return QStringLiteral("none");
    const QDir dir(qEnvironmentVariable("PROBE_ICON_DIR"));
    const QString name = qEnvironmentVariable("PROBE_ICON_NAME");
    QStringList differing;
    for (int size : { 16, 32, 48, 64, 128, 256 }) {
        const QImage installed(dir.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(name)));
        const QImage shown = icon.pixmap(QSize(size, size)).toImage();
        if (installed.isNull()
            || installed.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                != shown.convertToFormat(QImage::Format_ARGB32_Premultiplied))
            differing << QString::number(size);
    }
    return differing.isEmpty() ? QStringLiteral("same") : QStringLiteral("differs at ") + differing.join(u' ');
}

QMainWindow* ShownMainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* main = qobject_cast<QMainWindow*>(w); main && main->isVisible())
            return main;
    }
    return nullptr;
}

void Watch()
{
    static QElapsedTimer clockOfWatch; // lives as long as the program: nothing to free
    QElapsedTimer* clock = &clockOfWatch;
    clock->start();
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, clock] {
        QMainWindow* main = ShownMainWindow();
        if (!main) {
            if (clock->elapsed() > 60000) {
                Print("probe", QStringLiteral("timeout"));
                std::_Exit(3);
            }
            return;
        }
        timer->stop();
        Print("title", main->windowTitle());
        QStringList menus;
        for (QAction* a : main->menuBar()->actions())
            menus << a->text();
        Print("menus", menus.join(u'|'));
        Print("icon", CompareWindowIcon());
        Print("desktop", QGuiApplication::desktopFileName());
        QCoreApplication::exit(0);
    });
    timer->start(50);
}

// Runs inside the application object's constructor: the watch starts from
// the event loop, once the object is whole.
void StartProbe()
{
    QTimer::singleShot(0, Watch);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartProbe)
