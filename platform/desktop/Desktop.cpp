#include "platform/desktop/Desktop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

namespace platform {
namespace {

// Box texts carry file names, error texts and the server's words: shown as
// they are, never as markup (a name like "<img src=...>" is just a name).
int RunBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return box.exec();
}

class QtDesktop final : public Desktop {
public:
    void ShowMessage(QWidget* parent, BoxKind kind, const QString& title, const QString& text) override
    {
        const QMessageBox::Icon icon = kind == BoxKind::Information ? QMessageBox::Information
            : kind == BoxKind::Error                                ? QMessageBox::Critical
                                                                    : QMessageBox::NoIcon;
        RunBox(parent, icon, title, text, QMessageBox::Ok);
    }

    bool Confirm(QWidget* parent, const QString& title, const QString& text) override
    {
        return RunBox(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    }

    int Choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons,
        int defaultButton, int escapeButton) override
    {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
        box.setTextFormat(Qt::PlainText);
        QList<QAbstractButton*> made;
        for (const QString& caption : buttons)
            made.append(box.addButton(caption, QMessageBox::ActionRole));
        if (defaultButton >= 0 && defaultButton < made.size())
            box.setDefaultButton(static_cast<QPushButton*>(made[defaultButton]));
        if (escapeButton >= 0 && escapeButton < made.size())
            box.setEscapeButton(made[escapeButton]);
        box.exec();
        const int pressed = int(made.indexOf(box.clickedButton()));
        return pressed >= 0 ? pressed : escapeButton;
    }

    QString ChooseFolder(QWidget* parent, const QString& title, const QString& startFolder) override
    {
        return QFileDialog::getExistingDirectory(parent, title, startFolder,
            QFileDialog::ShowDirsOnly);
    }

    QString ChooseSaveFile(QWidget* parent, const QString& filter, const QString& defaultName) override
    {
        return QFileDialog::getSaveFileName(parent, QString(), defaultName, filter, nullptr,
            QFileDialog::DontConfirmOverwrite);
    }

    void ShowInFileManager(const QString& filePath, std::function<void()> onFailure) override
    {
        // The freedesktop file manager interface selects the file, and the bus
        // starts a file manager that is installed but not running; when none
        // answers, the folder is opened instead. The call is asynchronous so a
        // slow start never stalls the window, and the item is sent fully
        // encoded: a decoded URL with blanks or "#" is not a valid URI.
        const QUrl folder = QUrl::fromLocalFile(QFileInfo(filePath).absolutePath());
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            if (!QDesktopServices::openUrl(folder) && onFailure)
                onFailure();
            return;
        }
        const QString service = QStringLiteral("org.freedesktop.FileManager1");
        QDBusMessage call = QDBusMessage::createMethodCall(service,
            QStringLiteral("/org/freedesktop/FileManager1"), service, QStringLiteral("ShowItems"));
        call << QStringList { QString::fromUtf8(QUrl::fromLocalFile(filePath).toEncoded()) } << QString();
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 10000));
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
            [folder, onFailure](QDBusPendingCallWatcher* w) {
                if (w->isError() && !QDesktopServices::openUrl(folder) && onFailure)
                    onFailure();
                w->deleteLater();
            });
    }

    bool OpenUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }

    void Notify(const QString& title, const QString& text) override
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return;
        const QString service = QStringLiteral("org.freedesktop.Notifications");
        QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
            service, QStringLiteral("Notify"));
        call << QCoreApplication::applicationName() << uint(0) << QString() << title << text << QStringList()
             << QVariantMap() << int(-1);
        // The answer is not needed: a missing service only means no bubble.
        bus.call(call, QDBus::NoBlock);
    }

    void StartProgram(const QString& path) override
    {
        if (!QProcess::startDetached(path, {}))
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

Desktop* GInstalled = nullptr;

} // namespace

Desktop& CurrentDesktop()
{
    static QtDesktop real;
    return GInstalled ? *GInstalled : real;
}

void SetDesktop(Desktop* d) { GInstalled = d; }

} // namespace platform
