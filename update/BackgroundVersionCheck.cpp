#include "update/BackgroundVersionCheck.h"

#include <QThread>

TBackgroundVersionCheck::TBackgroundVersionCheck(QObject* parent)
    : QObject(parent)
{
}

TBackgroundVersionCheck::~TBackgroundVersionCheck()
{
    if (!FThread)
        return;
    // The fetch sees the flag within a few milliseconds and fails.
    FCancel = true;
    FThread->disconnect(this);
    FThread->wait();
    delete FThread;
}

void TBackgroundVersionCheck::Start()
{
    if (FThread)
        return;
    FThread = QThread::create([this] { FDocuments = FetchVersionDocuments(&FCancel); });
    FThread->setObjectName(QStringLiteral("VersionCheck"));
    // finished comes from the fetch thread once it is done with FDocuments;
    // the queued call reads them here.
    connect(FThread, &QThread::finished, this, [this] {
        FDone = true;
        emit Finished(ComposeNewVersionMessage(FDocuments));
    }, Qt::QueuedConnection);
    FThread->start();
}
