#include "cli/CliWindow.h"

#include "cli/TerminalText.h"

#include <csignal>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

std::atomic<bool> CliWindow::FInterrupted { false };
std::atomic<std::atomic<bool>*> CliWindow::FStopTarget { nullptr };

namespace {

static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");
static_assert(std::atomic<std::atomic<bool>*>::is_always_lock_free, "the signal handler needs a lock-free pointer");

// A redrawn line costs a write to the terminal; ten a second look live. Plain
// lines go to logs, where one a second is plenty.
constexpr qint64 TerminalInterval = 100;
constexpr qint64 PlainInterval = 1000;

int TerminalWidth()
{
    struct winsize ws {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        return ws.ws_col;
    return 80;
}

} // namespace

CliWindow::CliWindow(bool quiet)
    : FQuiet(quiet)
    , FTerminal(StderrTakesEscapes())
{
    FClock.start();
}

CliWindow::~CliWindow()
{
    FStopTarget.store(nullptr);
}

void CliWindow::RunningChanged()
{
    if (IsRunning())
        return;
    // From here on a Ctrl-C reaches no step; what the run left is its outcome.
    FStopTarget.store(nullptr);
    FRunStopped = FStopRequested.load();
}

void CliWindow::CatchInterrupt()
{
    struct sigaction sa {};
    FStopTarget.store(&FStopRequested);
    // Only lock-free loads and stores: nothing else is async-signal-safe.
    sa.sa_handler = [](int) {
        FInterrupted.store(true);
        if (std::atomic<bool>* stop = FStopTarget.load())
            stop->store(true);
    };
    sigemptyset(&sa.sa_mask);
    // SA_RESETHAND: the second Ctrl-C meets the default action and ends the program.
    sa.sa_flags = SA_RESETHAND | SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
}

void CliWindow::ProcessPendingEvents()
{
    if (FInterrupted.load(std::memory_order_relaxed) && !FStopDelivered) {
        FStopDelivered = true;
        btnStopClick();
    }
    // Steps pump right after they set their status and progress, so the
    // two shown here belong together.
    Show(false);
}

void CliWindow::ShowMessage(const QString& text)
{
    FErrorShown = true;
    Report(text);
}

void CliWindow::Report(const QString& text)
{
    if (FLineOpen) {
        std::fputc('\n', stderr);
        FLineOpen = false;
    }
    Say(text);
}

void CliWindow::StatusChanged()
{
    Show(false);
}


void CliWindow::Show(bool force)
{
    if (FQuiet)
        return;
    const qint64 now = FClock.elapsed();
    if (!force && FLastShown >= 0 && now - FLastShown < (FTerminal ? TerminalInterval : PlainInterval))
        return;
    QString text = TerminalSafe(StatusText());
    if (FTerminal) {
        if (!ProgressMarquee() && ProgressMax() > ProgressMin() && ProgressPosition() > ProgressMin()) {
            const qint64 pct = 100LL * (ProgressPosition() - ProgressMin()) / (ProgressMax() - ProgressMin());
            text = QStringLiteral("[%1%] ").arg(pct, 3) + text;
        }
        // One line only: a wrapped line could not be redrawn with \r. The
        // middle goes, so the counts at the end of a long path stay.
        const int width = TerminalWidth() - 1;
        if (text.size() > width && width > 12) {
            qsizetype head = width / 3;
            qsizetype tail = width - head - 3;
            // Never half a surrogate pair at the cut.
            if (text[head - 1].isHighSurrogate())
                --head;
            if (text[text.size() - tail].isLowSurrogate())
                --tail;
            text = text.left(head) + QStringLiteral("...") + text.right(tail);
        }
        std::fprintf(stderr, "\r%s\x1b[K", text.toUtf8().constData());
        FLineOpen = true;
    } else {
        if (StatusText() == FLastText)
            return;
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    }
    std::fflush(stderr);
    FLastText = StatusText();
    FLastShown = now;
}

void CliWindow::FinishStatus()
{
    if (FQuiet)
        return;
    Show(true);
    if (FLineOpen) {
        std::fputc('\n', stderr);
        FLineOpen = false;
        std::fflush(stderr);
    }
}
