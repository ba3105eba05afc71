#include "platform/desktop/Desktop.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

namespace platform {
namespace {

class QtDesktop final : public Desktop {
public:
    void ShowMessage(QWidget* parent, BoxKind kind, const QString& title, const QString& text) override
    {
        const QMessageBox::Icon icon = kind == BoxKind::Information ? QMessageBox::Information
            : kind == BoxKind::Error                                ? QMessageBox::Critical
                                                                    : QMessageBox::NoIcon;
        QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
        box.exec();
    }

    bool Confirm(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
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

    void ShowInFileManager(const QString& filePath) override
    {
        // The freedesktop file manager interface selects the file; without a
        // file manager on the session bus the folder is opened instead.
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString service = QStringLiteral("org.freedesktop.FileManager1");
        if (bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(service)) {
            QDBusMessage call = QDBusMessage::createMethodCall(service,
                QStringLiteral("/org/freedesktop/FileManager1"), service, QStringLiteral("ShowItems"));
            call << QStringList { QUrl::fromLocalFile(filePath).toString() } << QString();
            const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
            if (reply.type() == QDBusMessage::ReplyMessage)
                return;
        }
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(filePath).absolutePath()));
    }

    void OpenUrl(const QUrl& url) override { QDesktopServices::openUrl(url); }

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
