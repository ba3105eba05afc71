// The desktop program: title, catalogue, main window, version check in the
// background, message loop.

#include "BuildInfo.h"
#include "i18n/translation.h"
#include "platform/desktop/Desktop.h"
#include "ui/Application.h"
#include "ui/uMainForm.h"

#include <QIcon>

namespace {

// The desktop entry's id ties the running window to its menu entry and icon
// (the Wayland app id; on X11 the window class "Twinlens" matches the entry's
// StartupWMClass). The window icon is the theme's icon, built in, so a
// program run from its build folder shows it too.
void SetDesktopIdentity(QApplication& app)
{
    QGuiApplication::setDesktopFileName(QStringLiteral(TWINLENS_APP_ID));
    QIcon icon;
    for (int size : { 16, 32, 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/appicon/%1.png").arg(size), QSize(size, size));
    app.setWindowIcon(icon);
}

} // namespace

int main(int argc, char** argv)
{
    ui::Application app(argc, argv);
    SetDesktopIdentity(app);
    try {
        // Before any window: every text below is shown in the chosen language.
        LoadTranslation();
        ApplyLanguageLayout();

        // The window shows at once; the version check answers in the
        // background, and a forced update (or Update Now) ends the program
        // after its dialog.
        TMainForm form;
        form.show();
        form.StartVersionCheck();
        return app.exec();
    } catch (...) {
        // Start-up itself failed (the window could not be made): say why.
        ui::ShowCurrentException();
        return 1;
    }
}
