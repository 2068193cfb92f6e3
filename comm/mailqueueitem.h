#pragma once

#include <QList>
#include <QString>

struct DocCdataCase;

// One addressee of a queued mail.
struct MailRecipient {
    QString Name;
    QString Address;
};

// One mail a panel queues for the mail thread; Entry is the history entry marked sent afterwards.
struct MailQueueItem {
    DocCdataCase *Entry = nullptr;
    QList<MailRecipient> Recipients;
    QString Subject;
    QString Body;
};
