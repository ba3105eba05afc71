// The desktop program: title, catalogue, version check, main window, message
// loop.

#include "BuildInfo.h"
#include "i18n/translation.h"
#include "platform/desktop/Desktop.h"
#include "ui/Application.h"
#include "ui/uMainForm.h"
#if TWINLENS_UPDATE_CHECK
#include "update/uNewVersionCheck.h"
#endif

int main(int argc, char** argv)
{
    ui::Application app(argc, argv);
    try {
        // Before any window: every text below is shown in the chosen language.
        LoadTranslation();
        ApplyLanguageLayout();

#if TWINLENS_UPDATE_CHECK
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
#endif

        TMainForm form;
        form.show();
        return app.exec();
    } catch (...) {
        // Start-up itself failed (the window could not be made): say why.
        ui::ShowCurrentException();
        return 1;
    }
}
