#pragma once

#include "comm/mailqueueitem.h"
#include "core/globalvar.h"
#include "core/workercontrol.h"

class QaSmtp;
class StatusWindow;

// The mail settings one run sends with, read when the run was posted.
struct MailSettings {
    QString Server;
    int Port = 0;
    int Security = 0;
    int Auth = 0;
    QString SenderName;
    QString SenderAddress;
    QString Password;
};

// One posting: copies of the queued mails and of the settings, so that neither a later posting
// nor the Options dialog changes what this run sends.
struct MailJob {
    MailSettings Settings;
    QList<MailQueueItem> Items;
};

// The mail-sending worker: sends the queued mails of each run on the mail thread, one fresh
// client each, says which went out and reports 0 (all sent), 1 (some failed) or 2 (all failed).
class SmtpLoad final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    // Runs the job, or queues it behind the run in progress.
    void DoLoad(const MailJob &job);

signals:
    void mailSent(int index);
    void resultReady(int status);

private:
    void run(const MailJob &job);

    QaSmtp *m_client = nullptr;
    QList<MailJob> m_jobs;
    bool m_running = false;
};

// Controller of the mail thread; created once while the settings are established. A panel
// registers its queue with the main window and emits do_start; the result goes to that panel.
class SmtpControl final : public WorkerControl, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit SmtpControl(QObject *parent = nullptr);

    // The queue of the panel that posts next (the main window hands it on).
    void SetQueue(const QList<MailQueueItem> *queue) { m_queue = queue; }
    static QString ResultText(int status);
    // The model and instance lines that open every mail the program writes.
    QStringList HeaderLines() const;

signals:
    void do_start();
    // The run's result text, said while the status routing is that of the run's poster.
    void statusMessage(const QString &text);

public slots:
    void Trigger();
    void handleResults(int status);

private:
    // What the GUI thread keeps of a run in progress: whom to tell and which entries to mark.
    struct Run {
        QList<quint64> Entries; // serials of the entries, 0 for none
        int StatusMode = 0;
        StatusWindow *Poster = nullptr;
    };
    void post();
    void markSent(int index);

    SmtpLoad *m_worker;
    const QList<MailQueueItem> *m_queue = nullptr;
    QList<Run> m_runs;
};
