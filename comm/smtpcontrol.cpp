#include "comm/smtpcontrol.h"

#include "comm/qasmtp.h"
#include "core/statuswindow.h"
#include "qa/doccdata.h"

#include <QThread>

void SmtpLoad::DoLoad(const MailJob &job)
{
    m_jobs.append(job);
    // The client waits for a connection in an event loop of its own, where the next posting can
    // arrive: it waits its turn.
    if (m_running)
        return;
    m_running = true;
    while (!m_jobs.isEmpty())
        run(m_jobs.takeFirst());
    m_running = false;
}

void SmtpLoad::run(const MailJob &job)
{
    QThread *thread = QThread::currentThread();
    int sent = 0;
    int failed = 0;
    for (int i = 0; i < job.Items.size(); ++i) {
        // At program exit nobody waits for the result any more.
        if (thread->isInterruptionRequested())
            return;
        const MailQueueItem &item = job.Items.at(i);
        delete m_client;
        m_client = new QaSmtp(this);
        m_client->SetServer(job.Settings.Server);
        m_client->SetPort(job.Settings.Port);
        m_client->SetPassword(job.Settings.Password);
        m_client->SetSecurity(job.Settings.Security);
        m_client->SetAuth(job.Settings.Auth);
        m_client->SetSender(job.Settings.SenderName, job.Settings.SenderAddress);
        for (const MailRecipient &recipient : item.Recipients)
            m_client->AddRecipient(recipient.Name, recipient.Address);
        m_client->SetSubject(item.Subject);
        m_client->SetBody(item.Body);
        if (m_client->Send() == QaSmtp::Sent) {
            ++sent;
            emit mailSent(i);
        } else {
            ++failed;
        }
    }
    if (!thread->isInterruptionRequested())
        emit resultReady(failed == 0 ? 0 : (sent > 0 ? 1 : 2));
}

SmtpControl::SmtpControl(QObject *parent) : WorkerControl(parent), m_worker(new SmtpLoad)
{
    connect(this, &SmtpControl::do_start, this, &SmtpControl::post);
    connect(m_worker, &SmtpLoad::mailSent, this, &SmtpControl::markSent);
    connect(m_worker, &SmtpLoad::resultReady, this, &SmtpControl::handleResults);
    startWorker(m_worker);
}

QString SmtpControl::ResultText(int status)
{
    if (status == 0)
        return tr("send was complete");
    if (status == 2)
        return tr("send was failed");
    return tr("Send failed for some recipients");
}

QStringList SmtpControl::HeaderLines() const
{
    return {tr("[Model]"),
            tr("Model Name:") + GetStrVar(RegSlot::StrModelName),
            tr("Model version") + GetStrVar(RegSlot::StrModelVersion),
            QString(),
            tr("[Instance]"),
            tr("Instance Name:") + GetStrVar(RegSlot::StrInstanceName),
            tr("Instance Version") + GetStrVar(RegSlot::StrInstanceVersion)};
}

void SmtpControl::Trigger()
{
    emit do_start();
}

// The poster may refill its queue and Options may change the settings while the run goes on:
// the run takes copies now, on the poster's thread.
void SmtpControl::post()
{
    if (!m_queue)
        return;
    MailJob job;
    MailSettings &settings = job.Settings;
    settings.Server = GetStrVar(RegSlot::StrMailServer);
    settings.Port = GetStrVar(RegSlot::StrMailPort).toInt();
    settings.Security = GetStrVar(RegSlot::StrMailSecurity).toInt();
    settings.Auth = GetStrVar(RegSlot::StrMailAuth).toInt();
    settings.SenderName = GetStrVar(RegSlot::StrUserName);
    settings.SenderAddress = GetStrVar(RegSlot::StrMailAddress);
    settings.Password = GetStrVar(RegSlot::StrMailPassword);
    Run run;
    run.StatusMode = GetIntVar(RegSlot::IntStatusMode);
    run.Poster = GetObj<StatusWindow>(RegSlot::ObjStatusWindow);
    // The entries stay on this thread: the worker only says which of its mails went out.
    for (MailQueueItem item : *m_queue) {
        run.Entries.append(item.Entry ? item.Entry->Serial() : 0);
        item.Entry = nullptr;
        job.Items.append(item);
    }
    m_runs.append(run);
    // The routing now belongs to this run; until its result, status texts go to the status bar.
    SetIntVar(RegSlot::IntStatusMode, 0);
    SmtpLoad *worker = m_worker;
    QMetaObject::invokeMethod(
        worker, [worker, job] { worker->DoLoad(job); }, Qt::QueuedConnection);
}

void SmtpControl::markSent(int index)
{
    if (m_runs.isEmpty() || index < 0 || index >= m_runs.first().Entries.size())
        return;
    // An entry freed by a reload since the posting is skipped.
    if (DocCdataCase *entry = DocCdataCase::Live(m_runs.first().Entries.at(index)))
        entry->IsSend = true;
}

// Runs end in the order they were posted, so the oldest run is the one that reports.
void SmtpControl::handleResults(int status)
{
    const Run run = m_runs.isEmpty() ? Run() : m_runs.takeFirst();
    SetBoolVar(RegSlot::FlagMailSent, status == 0);
    const int mode = GetIntVar(RegSlot::IntStatusMode);
    StatusWindow *window = GetObj<StatusWindow>(RegSlot::ObjStatusWindow);
    SetIntVar(RegSlot::IntStatusMode, run.StatusMode);
    SetObj<StatusWindow>(RegSlot::ObjStatusWindow, run.Poster);
    emit statusMessage(ResultText(status));
    SetIntVar(RegSlot::IntStatusMode, mode);
    SetObj<StatusWindow>(RegSlot::ObjStatusWindow, window);
}
