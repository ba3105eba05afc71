// The desktop program: title, catalogue, version check, main window, message
// loop.

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

        // ---- version check -------------------------------------------------
        // The update check goes here: when CheckForNewVersion() reports a new
        // version, the new-version dialog runs modally with no owner, and a
        // ContinueStartup of 0 ends the program before the main window exists.
        // --------------------------------------------------------------------

        TMainForm form;
        form.show();
        return app.exec();
    } catch (...) {
        // Start-up itself failed (the window could not be made): say why.
        ui::ShowCurrentException();
        return 1;
    }
}
