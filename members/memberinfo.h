#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

class QTreeWidgetItem;
class UserInf;
class NumEditor;

// One member of the open instance workspace as the member manager keeps it in memory; a plain
// record that the manager owns and other components read through the member table.
struct MemberInfo {
    int OtherUser = 0;
    int ID = 0;
    bool InstanceModified = false;
    bool MemberModified = false;
    bool Transferred = false;
    bool Completed = false;
    QString Name;
    QString DisplayName;
    QString Email;
    QString NewName;
    QString NewEmail;
    QString ProcEmail;
    QTreeWidgetItem *TreeItem = nullptr;
    QTreeWidgetItem *InstanceItem = nullptr;
    UserInf *Page = nullptr;
    QString StartDate;
    QString TargetDate;
    QString CompletionDate;
    QString OutDir; // as read from the member file; the page holds the edited one
    // Earliest start and latest target date of the member's large-class instances, empty when
    // none; filled while the instance tab loads the member.
    QString EarliestStart;
    QString LatestTarget;
    NumEditor *Editor = nullptr;
    QDateTime MarkerTime = QDateTime::currentDateTimeUtc();
    int UnchangedChecks = 0;
    bool Open = false;
    bool ChatFlag = false;
    // Last-modified time of this member's chat day file as last read, by date; the chat worker
    // reads and writes it under mutex 0.
    QMap<QDate, QDateTime> ChatTimes;
    bool Deleted = false;
    // The next question and answer IDs this member hands out; read from and written to the
    // member's question and answer files.
    int QuestionMaxID = 1;
    int AnswerMaxID = 1;
};

// What the manager publishes in the member-table and member-list object slots.
using MemberTable = QMap<int, MemberInfo *>;
using MemberList = QList<int>;
