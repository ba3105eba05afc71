#include "platform/core/SettingsStore.h"

#include <QSettings>
#include <QVariant>

namespace platform {

namespace {

const QString KLanguageValue = QStringLiteral("CurrentLanguage");
const QString KWindowGroup = QStringLiteral("Window");

QSettings Store()
{
#ifdef Q_OS_WIN
    // Organisation and application would add a level below Software\Twinlens;
    // the choice sits directly in the key of the program.
    return QSettings(QStringLiteral("HKEY_CURRENT_USER\\Software\\Twinlens"), QSettings::NativeFormat);
#else
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Twinlens"));
#endif
}

} // namespace

std::optional<QString> ReadSavedLanguage()
{
    const QSettings store = Store();
    const QVariant value = store.value(KLanguageValue);
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

bool WriteSavedLanguage(const QString& code)
{
    QSettings store = Store();
    store.setValue(KLanguageValue, code);
    store.sync();
    return store.status() == QSettings::NoError;
}

QVariantMap ReadWindowSettings()
{
    QSettings store = Store();
    store.beginGroup(KWindowGroup);
    QVariantMap values;
    for (const QString& key : store.childKeys())
        values.insert(key, store.value(key));
    return values;
}

bool WriteWindowSettings(const QVariantMap& values)
{
    QSettings store = Store();
    store.remove(KWindowGroup);
    store.beginGroup(KWindowGroup);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        store.setValue(it.key(), it.value());
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}

QString SettingsLocation()
{
    return Store().fileName();
}

} // namespace platform
