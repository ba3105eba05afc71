// The Language submenu of the main window and the saved language choice.

#include "ui/uMainForm.h"

#include "i18n/translation.h"
#include "platform/core/SettingsStore.h"
#include "ui/Application.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>

#include <exception>
#include <stdexcept>

void SaveLanguageChoice()
{
    if (!platform::WriteSavedLanguage(CurrentLanguageCode))
        throw std::runtime_error(
            TrFill(QStringLiteral("Cannot save the language choice to %s."), { platform::SettingsLocation() })
                .toStdString());
}

void ApplyLanguageLayout()
{
    QGuiApplication::setLayoutDirection(CurrentLanguageIsRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
}

void TMainForm::BuildLanguageMenu()
{
    // Made once with the window; the catalogue does not change while the
    // program runs.
    if (FLanguageItems)
        return;
    FLanguageItems = new QActionGroup(this);
    FLanguageItems->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (int i = 0; i < TranslationTable.size(); ++i) {
        // A language's own name, as it is: an "&" in it is no mnemonic.
        QString name = TranslationTable[i].value(0);
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto* item = new QAction(name, mmLanguage);
        item->setObjectName(QStringLiteral("mmLanguageItem%1").arg(i));
        item->setCheckable(true);
        item->setData(i);
        item->setChecked(i == CurrentLanguageIndex);
        FLanguageItems->addAction(item);
        mmLanguage->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { LanguageMenuClick(item); });
    }
}

void TMainForm::LanguageMenuClick(QAction* sender)
{
    ui::RunGuarded(this, [&] {
        if (!sender || !FLanguageItems || !FLanguageItems->actions().contains(sender))
            return;
        const int index = sender->data().toInt();
        if (index < 0 || index >= TranslationTable.size())
            return;
        for (QAction* item : FLanguageItems->actions())
            item->setChecked(item == sender);
        CurrentLanguageIndex = index;
        CurrentLanguageCode = TranslationTable[index].value(1);

        // A choice that cannot be saved still applies to this run: the window
        // is re-captioned first, then the failure is reported.
        std::exception_ptr saveError;
        try {
            SaveLanguageChoice();
        } catch (...) {
            saveError = std::current_exception();
        }
        ApplyLanguageLayout();
        ApplyTranslation();
        if (saveError)
            std::rethrow_exception(saveError);
    });
}
