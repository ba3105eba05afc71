#pragma once
// The settings store. The program keeps the code of the language the person
// chose (value "CurrentLanguage") and the settings of the main window (group
// "Window": the scan settings, the window's size, the lists' columns; never
// the folder list). On Windows
// it lives in the registry under HKEY_CURRENT_USER\Software\Twinlens; on other
// systems in the native settings file of the organisation "Twinlens"
// (~/.config/Twinlens.conf on Linux).
//
// Tests call QStandardPaths::setTestModeEnabled(true) before the first use (or
// point QSettings::setPath at a temporary folder), so that the person's own
// settings are never read or written.
//
// Used from the user-interface thread only.

#include <QString>
#include <QVariantMap>

#include <optional>

namespace platform {

// The saved language code, exactly as stored (also when it is empty);
// std::nullopt when nothing is saved or the stored value is not a text (a
// number, a list, binary data), which the program never writes.
std::optional<QString> ReadSavedLanguage();

// Saves code as the language choice and flushes it to the store. False when
// the store could not be written (its file or folder cannot be created,
// replaced or locked); the value may then be lost at exit.
bool WriteSavedLanguage(const QString& code);

// The kept settings of the main window, by name; empty when none are kept.
// The caller checks each value's type and range.
QVariantMap ReadWindowSettings();
// Replaces the kept settings of the main window with values (an empty map
// forgets them) and flushes the store. False when it could not be written.
bool WriteWindowSettings(const QVariantMap& values);

// Where the store lives, for messages: a file path, or the registry key.
QString SettingsLocation();

} // namespace platform
