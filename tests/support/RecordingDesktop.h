#pragma once
// A Desktop for tests: records every box, dialog and hand-over instead of
// showing or starting anything, and answers questions and dialogs from
// scripted queues. It installs itself for its lifetime (platform::SetDesktop)
// and restores the real Desktop when destroyed.
//
// Header-only, so that every test executable that links the desktop part can
// use it. Main thread only, like the Desktop it stands in for.

#include "platform/desktop/Desktop.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class RecordingDesktop : public platform::Desktop {
public:
    struct Message {
        QWidget* Parent = nullptr;
        platform::BoxKind Kind = platform::BoxKind::Plain;
        QString Title;
        QString Text;
    };
    struct Question {
        QWidget* Parent = nullptr;
        QString Title;
        QString Text;
    };
    struct Choice {
        QWidget* Parent = nullptr;
        QString Title;
        QString Text;
        QStringList Buttons;
        int Default = -1;
        int Escape = -1;
    };
    struct FolderRequest {
        QWidget* Parent = nullptr;
        QString Title;
        QString StartFolder;
    };
    struct SaveRequest {
        QWidget* Parent = nullptr;
        QString Filter;
        QString DefaultName;
    };

    // ---- what was asked for, in order
    QList<Message> Messages;
    QList<Question> Questions;
    QList<Choice> Choices;
    QList<FolderRequest> FolderRequests;
    QList<SaveRequest> SaveRequests;
    QStringList ShownInFileManager;
    QList<QUrl> OpenedUrls;
    QStringList StartedPrograms;
    QList<QPair<QString, QString>> Notifications; // title, text

    // ---- scripted answers, consumed from the front
    // Confirm: the next answer, or DefaultConfirm when none is left.
    QList<bool> ConfirmAnswers;
    bool DefaultConfirm = false;
    // What happens while a confirmation box is open (the disk changing under
    // it, say), one action per box from the front; run before the answer.
    QList<std::function<void()>> WhileConfirming;
    // Choose: the next answer (a button index), or the escape button when
    // none is left.
    QList<int> ChoiceAnswers;
    // ChooseFolder / ChooseSaveFile: the next answer, or "" (cancelled).
    QStringList FolderAnswers;
    QStringList SaveAnswers;
    // Whether a file manager and a browser answer (ShowInFileManager, OpenUrl).
    bool FileManagerAnswers = true;
    bool BrowserAnswers = true;

    RecordingDesktop() { platform::SetDesktop(this); }
    ~RecordingDesktop() override { platform::SetDesktop(nullptr); }
    RecordingDesktop(const RecordingDesktop&) = delete;
    RecordingDesktop& operator=(const RecordingDesktop&) = delete;

    QStringList MessageTexts() const
    {
        QStringList texts;
        for (const Message& m : Messages)
            texts << m.Text;
        return texts;
    }

    void Clear()
    {
        Messages.clear();
        Questions.clear();
        Choices.clear();
        FolderRequests.clear();
        SaveRequests.clear();
        ShownInFileManager.clear();
        OpenedUrls.clear();
        StartedPrograms.clear();
    }

    void ShowMessage(QWidget* parent, platform::BoxKind kind, const QString& title, const QString& text) override
    {
        Messages.append({ parent, kind, title, text });
    }

    bool Confirm(QWidget* parent, const QString& title, const QString& text) override
    {
        Questions.append({ parent, title, text });
        if (!WhileConfirming.isEmpty())
            WhileConfirming.takeFirst()();
        return ConfirmAnswers.isEmpty() ? DefaultConfirm : ConfirmAnswers.takeFirst();
    }

    int Choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons,
        int defaultButton, int escapeButton) override
    {
        Choices.append({ parent, title, text, buttons, defaultButton, escapeButton });
        return ChoiceAnswers.isEmpty() ? escapeButton : ChoiceAnswers.takeFirst();
    }

    QString ChooseFolder(QWidget* parent, const QString& title, const QString& startFolder) override
    {
        FolderRequests.append({ parent, title, startFolder });
        return FolderAnswers.isEmpty() ? QString() : FolderAnswers.takeFirst();
    }

    QString ChooseSaveFile(QWidget* parent, const QString& filter, const QString& defaultName) override
    {
        SaveRequests.append({ parent, filter, defaultName });
        return SaveAnswers.isEmpty() ? QString() : SaveAnswers.takeFirst();
    }

    void ShowInFileManager(const QString& filePath, std::function<void()> onFailure) override
    {
        ShownInFileManager.append(filePath);
        if (!FileManagerAnswers && onFailure)
            onFailure();
    }
    bool OpenUrl(const QUrl& url) override
    {
        OpenedUrls.append(url);
        return BrowserAnswers;
    }
    void StartProgram(const QString& path) override { StartedPrograms.append(path); }
    void Notify(const QString& title, const QString& text) override { Notifications.append({ title, text }); }
};
