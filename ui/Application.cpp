#include "ui/Application.h"

#include "platform/desktop/Desktop.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QWidget>

namespace ui {

namespace {
// Unicode's isolates: LEFT-TO-RIGHT ISOLATE ... POP DIRECTIONAL ISOLATE.
constexpr char16_t Lri = u'\u2066';
constexpr char16_t Pdi = u'\u2069';
} // namespace

QString IsolatedPath(const QString& path)
{
    if (!QGuiApplication::isRightToLeft() || path.isEmpty())
        return path;
    return QChar(Lri) + path + QChar(Pdi);
}

QString IsolatedPaths(const QString& text)
{
    if (!QGuiApplication::isRightToLeft())
        return text;
    // A status text names one path, from its first "/" after a blank or the
    // start to the end, less a closing count " (12/340)" or mask "   [*.*]".
    static const QRegularExpression path(
        QStringLiteral("^(.*?)(?<!\\S)(/.*?)((?: \\(\\d+/\\d+\\)|   \\[[^\\]]*\\]|\\.\\.\\.)?)$"));
    const QRegularExpressionMatch m = path.match(text);
    if (!m.hasMatch())
        return text;
    return m.captured(1) + IsolatedPath(m.captured(2)) + m.captured(3);
}

void ShowCurrentException(QWidget* parent)
{
    QString text;
    try {
        throw;
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QStringLiteral("Unknown error.");
    }
    if (!parent)
        parent = QApplication::activeWindow();
    // The box itself must not let a second failure escape the handler.
    try {
        platform::CurrentDesktop().ShowMessage(parent, platform::BoxKind::Error, ApplicationTitle(), text);
    } catch (...) {
    }
}

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(ApplicationTitle());
    setOrganizationName(ApplicationTitle());
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException(receiver && receiver->isWidgetType() ? static_cast<QWidget*>(receiver)->window() : nullptr);
        return true;
    }
}

} // namespace ui
