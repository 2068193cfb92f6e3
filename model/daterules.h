#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The order rules every date dialog applies before it writes a start, target or completion
// date; the texts are those the dialog shows for a refused date.
namespace DateRules
{
enum Mode { Start = 0, Target = 1, Completion = 2 };
// What is dated; a level tells the classes of types InstanceClass and ModelClass apart.
enum Type { Member = 0, InstanceClass = 1, ModelClass = 2, OutputDefinition = 3, QandARow = 4 };
enum Level { ModelLevel = 0, LclassLevel = 1, SclassLevel = 2 };

// "yyyy/M/d" with three parts; a part that is not a number gives an invalid date; any other
// number of parts gives 2014/01/01.
QDate StrToDate(const QString &text);
QString DateText(const QDate &date);

// The earliest or latest of the dates that are set, as its text; empty when none is set. Of
// equal dates the first wins.
QString Earliest(const QStringList &dates);
QString Latest(const QStringList &dates);

// The three dates of a row below the dated object.
struct Dates {
    QString start;
    QString target;
    QString completion;
};

// Everything a date is checked against. The summary dates (member and model bounds) are what
// an accepted date updates; the caller writes them back only when Check accepts.
struct Context {
    int type = Member;
    int level = ModelLevel;
    QString start;  // the object's own start date
    QString target; // and target date
    // The rows below: a member's large-class instances, a large class's small classes, a
    // model's large classes. Empty entries matter for completion, not for start and target.
    QList<Dates> children;
    Dates parent; // the large class of a small class
    // The member of types Member and InstanceClass.
    QString memberStart;
    QString memberTarget;
    QString memberEarliestStart; // of the member's large-class instances
    QString memberLatestTarget;
    // The open model's bounds (type ModelClass).
    QString lclassEarliestStart;
    QString lclassLatestTarget;
    QString modelStart;
    QString modelTarget;
};

// The message of the first rule of the mode that the chosen date breaks, or an empty text when
// the date is accepted; then the summary dates of the context are updated.
QString Check(int mode, const QDate &chosen, Context *context);
} // namespace DateRules
