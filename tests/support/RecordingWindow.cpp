#include "support/RecordingWindow.h"

QStringList RecordingWindow::TextsOf(Event::Kind kind) const
{
    QStringList out;
    for (const Event& e : Log)
        if (e.kind == kind)
            out << e.Text;
    return out;
}

QList<RecordingWindow::ProgressState> RecordingWindow::Progress() const
{
    QList<ProgressState> out;
    for (const Event& e : Log)
        if (e.kind == Event::Progress)
            out << e.State;
    return out;
}

QString RecordingWindow::Describe() const
{
    QStringList lines;
    for (const Event& e : Log) {
        switch (e.kind) {
        case Event::Status: lines << QStringLiteral("status \"%1\"").arg(e.Text); break;
        case Event::Progress:
            lines << QStringLiteral("progress %1..%2 at %3%4")
                         .arg(e.State.Min)
                         .arg(e.State.Max)
                         .arg(e.State.Position)
                         .arg(e.State.Marquee ? QStringLiteral(" marquee") : QString());
            break;
        case Event::Pump: lines << QStringLiteral("pump %1").arg(e.PumpNumber); break;
        case Event::Message: lines << QStringLiteral("message \"%1\"").arg(e.Text); break;
        case Event::Running: lines << (e.IsRunning ? QStringLiteral("run begins") : QStringLiteral("run ends")); break;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

void RecordingWindow::AtPump(int k, std::function<void()> action)
{
    FAtPump.insert(k, std::move(action));
}

void RecordingWindow::StopAtPump(int k)
{
    AtPump(k, [this] { btnStopClick(); });
}

void RecordingWindow::ClearHooks()
{
    FAtPump.clear();
    FEveryPump = nullptr;
}

void RecordingWindow::AddFolders(const QStringList& paths)
{
    for (const QString& p : paths)
        AddFolder(p);
}

RecordingWindow::ProgressState RecordingWindow::CurrentProgress() const
{
    return { ProgressMin(), ProgressMax(), ProgressPosition(), ProgressMarquee() };
}

void RecordingWindow::ProcessPendingEvents()
{
    // A pump that keeps the window alive while a listing runs comes when the
    // machine's speed says: it takes no number, so that the numbered pumps
    // stay the steps' own. OnEveryPump still runs in it (number 0).
    if (InKeepAlivePump()) {
        ++FKeepAlivePumps;
        if (FEveryPump) {
            const std::function<void(int)> every = FEveryPump;
            every(0);
        }
        return;
    }
    const int k = ++FPumps;
    Event e;
    e.kind = Event::Pump;
    e.PumpNumber = k;
    e.Text = StatusText();
    Log << e;
    // Copied first: the action may replace the hooks.
    if (auto it = FAtPump.constFind(k); it != FAtPump.constEnd()) {
        const std::function<void()> action = it.value();
        action();
    }
    if (FEveryPump) {
        const std::function<void(int)> every = FEveryPump;
        every(k);
    }
}

void RecordingWindow::ShowMessage(const QString& text)
{
    Event e;
    e.kind = Event::Message;
    e.Text = text;
    Log << e;
}

QString RecordingWindow::ChooseFolder(const QString&, const QString& startFolder)
{
    FolderDialogStarts << startFolder;
    return FolderDialogAnswers.isEmpty() ? QString() : FolderDialogAnswers.takeFirst();
}

void RecordingWindow::StatusChanged()
{
    Event e;
    e.kind = Event::Status;
    e.Text = StatusText();
    Log << e;
}

void RecordingWindow::ProgressChanged()
{
    Event e;
    e.kind = Event::Progress;
    e.State = CurrentProgress();
    Log << e;
}

void RecordingWindow::RunningChanged()
{
    Event e;
    e.kind = Event::Running;
    e.IsRunning = IsRunning();
    Log << e;
}
