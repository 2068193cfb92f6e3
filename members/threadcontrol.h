#pragma once

#include "core/globalvar.h"
#include "core/workercontrol.h"

// The file-check worker: runs one comparison of the shared files' times on its own thread each
// time it is started and reports 0 (nothing changed), 1 or 2.
class TimeLoad final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public slots:
    void DoLoad();
signals:
    void resultReady(int result);
};

// Controller of the file-check thread; CheckTimer's ten-second tick emits do_start, the result
// comes back to the dispatcher as code 153.
class ThreadControl final : public WorkerControl, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ThreadControl(QObject *parent = nullptr);
    int LastResult() const { return m_lastResult; }

signals:
    void do_start();

public slots:
    void handleResults(int result);

private:
    int m_lastResult = 0;
};
