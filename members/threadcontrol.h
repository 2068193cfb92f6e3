#pragma once

#include "core/globalvar.h"
#include "core/workercontrol.h"
#include "members/sharedfilecheck.h"

#include <memory>

// The file-check worker: runs one shared-file check on its own thread each time it is started.
class TimeLoad final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit TimeLoad(std::shared_ptr<SharedFileCheck> check);

public slots:
    void DoLoad();
signals:
    void resultReady(int status, bool newDay, int generation);

private:
    std::shared_ptr<SharedFileCheck> m_check;
};

// Controller of the file-check thread. CheckTimer's ten-second tick calls Trigger; the result
// goes to the main window's "modify other user" button (otherUpdate) and to the dispatcher as
// code 153, which applies the queued presence changes.
class ThreadControl final : public WorkerControl, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ThreadControl(QObject *parent = nullptr);
    ~ThreadControl() override;

    SharedFileCheck &Check() { return *m_check; }
    int LastResult() const { return m_lastResult; }
    bool IsChecking() const { return m_checking; }
    // True once after a result that began a new day.
    bool TakeNewDay();

signals:
    void do_start();
    void otherUpdate(int status);

public slots:
    // A tick while the previous check still runs (a slow share) is skipped, not queued.
    void Trigger();
    void handleResults(int status, bool newDay, int generation);

private:
    std::shared_ptr<SharedFileCheck> m_check;
    int m_lastResult = 0;
    bool m_checking = false;
    bool m_newDay = false;
};
