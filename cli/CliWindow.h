#pragma once
// The scan window of twinlens-cli: settings from the command line, status and
// progress on standard error, message boxes as error lines, and Ctrl-C as the
// Stop command.

#include "engine/ScanWindow.h"

#include <QElapsedTimer>
#include <QString>

#include <atomic>

class CliWindow : public ScanWindow {
public:
    explicit CliWindow(bool quiet);

    // Installs the SIGINT handler for this window's runs: the first Ctrl-C
    // raises FStopRequested at once, so every test of the flag in a step sees
    // it without waiting for a pump, and a flag that the next pump turns into
    // btnStopClick (its status text, and a stop that arrived before the run
    // cleared FStopRequested). The handler then steps aside, so a second
    // Ctrl-C ends the program at once.
    void CatchInterrupt();

    ~CliWindow() override;

    // Whether the last run was cut short by a stop. A Ctrl-C after the run
    // has ended does not count: the lists were complete.
    bool RunStopped() const { return FRunStopped; }

    // Whether a message box was shown (an error of the run).
    bool ErrorShown() const { return FErrorShown; }

    // Writes one line to standard error as Say does, ending the redrawn
    // status line first so that the two do not run together. For notes of the
    // run that are not errors; the text is made safe for a terminal here.
    void Report(const QString& text);

    // Writes the last status for good: the redrawn line is closed.
    void FinishStatus();

protected:
    void ProcessPendingEvents() override;
    void ShowMessage(const QString& text) override;
    void StatusChanged() override;
    void RunningChanged() override;

private:
    void Show(bool force);

    // Set from the signal handler; lock-free, so async-signal-safe.
    static std::atomic<bool> FInterrupted;
    static std::atomic<std::atomic<bool>*> FStopTarget; // the window's FStopRequested
    bool FStopDelivered = false;
    bool FRunStopped = false;

    bool FQuiet;
    bool FTerminal; // StderrTakesEscapes(): one line redrawn in place
    bool FErrorShown = false;
    bool FLineOpen = false; // a redrawn line is on the terminal
    QElapsedTimer FClock;
    qint64 FLastShown = -1;
    QString FLastText;
};
