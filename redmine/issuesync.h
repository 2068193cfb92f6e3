#pragma once

#include <QDomDocument>
#include <QString>

// What the issue synchronisation page needs without widgets: the link marker that ties an issue to
// its instance element, the issue fields as the tracker lists them, the comparisons between the
// workspace's values and the tracker's, and the request bodies of a create and an update.
namespace IssueSync
{
// The tracker lists issues this many at a time; a full page means there may be another.
constexpr int PageSize = 100;

// The link key ("I" + member + "-" + ID) of the last marker of a subject, or an empty text when the
// subject holds none; text after the marker (an edit on the tracker) does not unlink the issue.
QString LinkKey(const QString &subject);
// The subject before its last marker (the whole subject when it has none).
QString SubjectText(const QString &subject);
// The subject an issue is made with: the element's subject and its link marker.
QString MarkedSubject(const QString &subject, const QString &key);

// The progress as a done ratio the tracker takes: empty is "0", the last digit becomes "0".
QString DoneRatio(const QString &progress);
// The explanation as the list shows it: at most 10 characters, then "..." when longer.
QString Abbreviated(const QString &text);
// "yyyy/MM/dd" as the tracker writes dates, "yyyy-MM-dd".
QString TrackerDate(const QString &date);
// Line ends as the tracker may send them ("\r\n") compared equal to ours ("\n").
bool SameText(const QString &ours, const QString &theirs);
// Hours compared as whole hours, the way the tracker's decimals are read.
bool SameHours(const QString &ours, const QString &theirs);

// One issue of the tracker's list that carries a link key.
struct IssueRecord {
    QString id;
    QString subject; // without the link marker
    QString description;
    QString startDate;
    QString dueDate;
    QString doneRatio;
    QString estimatedHours;
    QString trackerId, trackerName;
    QString statusId, statusName;
    QString priorityId, priorityName;
    QString categoryId, categoryName;
    QString versionId, versionName;
    QString assignedId, assignedName;
    QString parentId;
    bool matched = false;
};

// Fills the record from one "issue" element; the link key of its subject, empty when none.
QString ReadIssueElement(const QDomElement &issue, IssueRecord *record);

// The fields an issue body can carry, in the order an update writes them.
enum Field {
    Assigned,
    Description,
    StartDate,
    DueDate,
    DoneRatioField,
    Hours,
    Tracker,
    Status,
    Category,
    Version,
    Priority,
    FieldCount
};

// The values of one row as the page sends them. On an update only the marked fields go out.
struct IssueBody {
    QString projectId;
    QString subject;  // with the link marker; create only
    QString parentId; // create only; empty: no parent
    QString values[FieldCount];
    bool marked[FieldCount] = {};
    // Create only: whether a category or a version was chosen at all ("None" is not sent).
    bool withCategory = false;
    bool withVersion = false;
};

// The "issue" document of a create (every required field, optional ones when set).
QDomDocument CreateBody(const IssueBody &body);
// The "issue" document of an update: the project and the marked fields; "0" as a category or
// version clears it, so it goes out as an empty element.
QDomDocument UpdateBody(const IssueBody &body);
} // namespace IssueSync
