#pragma once
// What every test of the main window does first: test-mode settings (the
// person's own are never read or written), no settings kept from an earlier
// run (each window starts from the defaults), and no quitting when a test
// closes its last window. Header only: the support library links no widgets.

#include "platform/core/SettingsStore.h"

#include <QApplication>
#include <QStandardPaths>

inline void StartWindowTests()
{
    QStandardPaths::setTestModeEnabled(true);
    platform::WriteWindowSettings({});
    QApplication::setQuitOnLastWindowClosed(false);
}
