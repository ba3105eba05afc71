#include "ui/Application.h"

#include "platform/desktop/Desktop.h"

#include <QWidget>

namespace ui {

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
