#pragma once

#include "core/globalvar.h"
#include "core/workercontrol.h"

// The mail-sending worker: sends the queued member mails on its own thread and reports 0 (all
// sent), 1 (some failed) or 2 (all failed).
class SmtpLoad final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public slots:
    void DoSend();
signals:
    void resultReady(int result);
};

// Controller of the mail thread; created once while the settings are established.
class SmtpControl final : public WorkerControl, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit SmtpControl(QObject *parent = nullptr);

signals:
    void do_start();

public slots:
    void handleResults(int result);
};
