#pragma once
// A scan window for tests: no display, settings from FSettings, and a log of
// everything the engine shows, in order: status texts, progress changes,
// pumps, plain message boxes and the start and end of runs.
//
// Pumps are counted from 1 over the window's life (ClearLog does not reset the
// count); a pump that only keeps the window alive while a listing runs takes
// no number (see KeepAlivePumps). A hook set with AtPump runs inside the k-th pump, as a command the
// person gives at that moment would; StopAtPump(k) presses Stop there.
//
//     RecordingWindow w;
//     w.FSettings.MinSizeMB = 0;
//     w.AddFolders({dir.folder()});
//     w.StopAtPump(3);
//     w.btnScanClick();
//     QCOMPARE(w.Statuses().last(), ...);

#include "engine/ScanWindow.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

class RecordingWindow : public ScanWindow {
public:
    struct ProgressState {
        int Min = 0;
        int Max = 0;
        int Position = 0;
        bool Marquee = false;
        friend bool operator==(const ProgressState&, const ProgressState&) = default;
    };

    struct Event {
        enum Kind { Status, Progress, Pump, Message, Running };
        Kind kind = Status;
        QString Text;           // Status, Message; Pump: the status text then
        ProgressState State;    // Progress: the state after the change
        int PumpNumber = 0;     // Pump
        bool IsRunning = false; // Running
    };

    // ---- the log
    QList<Event> Log;
    void ClearLog() { Log.clear(); }

    // Every status text, in order.
    QStringList Statuses() const { return TextsOf(Event::Status); }
    QList<ProgressState> Progress() const; // every progress change, in order
    // Every plain message box, in order.
    QStringList Messages() const { return TextsOf(Event::Message); }
    int Pumps() const { return FPumps; }  // pumps so far
    // Pumps that only kept the window alive while a listing ran off the
    // window's thread; they take no number and are not logged.
    int KeepAlivePumps() const { return FKeepAlivePumps; }
    // The status text at the moment of each pump since ClearLog, in order.
    QStringList StatusAtPumps() const { return TextsOf(Event::Pump); }
    // The log as text, one event a line, for failure messages.
    QString Describe() const;

    // ---- hooks
    // Runs action inside pump number k (counted from 1). One action per k; a
    // later call for the same k replaces it.
    void AtPump(int k, std::function<void()> action);
    // Presses Stop (btnStopClick) inside pump number k.
    void StopAtPump(int k);
    // Runs action inside every pump, with the pump's number, after any AtPump
    // action of that pump.
    void OnEveryPump(std::function<void(int)> action) { FEveryPump = std::move(action); }
    void ClearHooks();

    // ---- folders
    // AddFolder for each path, in order.
    void AddFolders(const QStringList& paths);
    // What the folder dialog answers, one answer per call (then empty: cancelled),
    // and the start folders it was opened with.
    QStringList FolderDialogAnswers;
    QStringList FolderDialogStarts;
    // The folder item btnRemoveFolderClick sees as selected; -1 for none.
    int SelectedFolder = -1;

    // ---- snapshot of the display state
    ProgressState CurrentProgress() const;

protected:
    void ProcessPendingEvents() override;
    void ShowMessage(const QString& text) override;
    QString ChooseFolder(const QString& title, const QString& startFolder) override;
    int SelectedFolderIndex() const override { return SelectedFolder; }
    void StatusChanged() override;
    void ProgressChanged() override;
    void RunningChanged() override;

private:
    QStringList TextsOf(Event::Kind kind) const;

    int FPumps = 0;
    int FKeepAlivePumps = 0;
    QMap<int, std::function<void()>> FAtPump;
    std::function<void(int)> FEveryPump;
};
