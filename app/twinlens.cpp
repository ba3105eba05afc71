// The desktop program: title, catalogue, version check, main window, message
// loop.

#include "i18n/translation.h"
#include "platform/desktop/Desktop.h"
#include "ui/Application.h"
#include "ui/uMainForm.h"
#include "update/uNewVersionCheck.h"

int main(int argc, char** argv)
{
    ui::Application app(argc, argv);
    try {
        // Before any window: every text below is shown in the chosen language.
        LoadTranslation();
        ApplyLanguageLayout();

        // A forced update, or Update Now, ends the program before the main
        // window exists.
        if (CheckForNewVersion()) {
            int continueStartup = 1;
            {
                TfrmNewVersion frmNewVersion;
                frmNewVersion.exec();
                continueStartup = frmNewVersion.ContinueStartup();
            }
            if (continueStartup == 0)
                return 0;
        }

        TMainForm form;
        form.show();
        return app.exec();
    } catch (...) {
        // Start-up itself failed (the window could not be made): say why.
        ui::ShowCurrentException();
        return 1;
    }
}
