#include "comm/smtpcontrol.h"

void SmtpLoad::DoSend()
{
    // Nothing is queued until member mail exists; an empty queue counts as all sent.
    emit resultReady(0);
}

SmtpControl::SmtpControl(QObject *parent) : WorkerControl(parent)
{
    auto *worker = new SmtpLoad;
    connect(this, &SmtpControl::do_start, worker, &SmtpLoad::DoSend);
    connect(worker, &SmtpLoad::resultReady, this, &SmtpControl::handleResults);
    startWorker(worker);
}

void SmtpControl::handleResults(int result)
{
    SetBoolVar(RegSlot::FlagMailSent, result == 0);
}
