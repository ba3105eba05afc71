// The desktop program: title, catalogue, main window, version check in the
// background, message loop.

#include "i18n/translation.h"
#include "platform/desktop/Desktop.h"
#include "ui/Application.h"
#include "ui/uMainForm.h"

int main(int argc, char** argv)
{
    ui::Application app(argc, argv);
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
