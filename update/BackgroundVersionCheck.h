#pragma once
// The version check of start-up, run so that nothing waits for it: the
// documents are fetched on a thread of their own, and the answer is composed
// and announced on the thread that started the check, whenever it comes.
//
// A server that accepts the connection and never answers holds only that
// thread (for UpdateSettings' bounds); destroying the check ends the wait at
// once, so closing the window is never held up either.

#include "update/uNewVersionCheck.h"

#include <QObject>

#include <atomic>

class QThread;

class TBackgroundVersionCheck : public QObject {
    Q_OBJECT
public:
    explicit TBackgroundVersionCheck(QObject* parent = nullptr);
    // Ends a fetch that is still under way (it fails) and waits for its
    // thread, which then has nothing left to wait for; Finished is not sent.
    ~TBackgroundVersionCheck() override;

    // Starts the fetch; only the first call does anything.
    void Start();
    // Between Start and Finished.
    bool IsRunning() const { return FThread && !FDone; }

signals:
    // Once, on the starting thread: CheckForNewVersion's result, with
    // NewVersionMessage and UpdateForced set as it sets them.
    void Finished(bool announce);

private:
    QThread* FThread = nullptr;
    TVersionDocuments FDocuments; // written by the fetch thread until it ends
    std::atomic<bool> FCancel = false;
    bool FDone = false;
};
