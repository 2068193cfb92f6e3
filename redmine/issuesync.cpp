#include "redmine/issuesync.h"

#include <cmath>

namespace IssueSync
{
namespace
{
const QLatin1String MarkerStart("::[I");

void addText(QDomDocument &doc, QDomElement &root, const char *tag, const QString &value)
{
    QDomElement e = doc.createElement(QLatin1String(tag));
    if (!value.isEmpty())
        e.appendChild(doc.createTextNode(value));
    root.appendChild(e);
}

const char *const Tags[FieldCount] = {"assigned_to_id", "description",      "start_date", "due_date",
                                      "done_ratio",     "estimated_hours",  "tracker_id", "status_id",
                                      "category_id",    "fixed_version_id", "priority_id"};

QDomDocument newBody(const IssueBody &body, QDomElement *root)
{
    QDomDocument doc;
    *root = doc.createElement(QStringLiteral("issue"));
    doc.appendChild(*root);
    addText(doc, *root, "project_id", body.projectId);
    return doc;
}

// The page writes its marker at the end of the subject, so the last one is read: an element's value
// may itself hold "::[I...]" (a copied subject, say), and a key read from the first occurrence would
// tie the issue to another element and leave its own to be filed again and again. What follows the
// marker is another hand's edit on the tracker (a trailing blank, which the tracker keeps, or
// " (urgent)"): the issue stays linked. Returns where the last closed marker starts and sets *close
// to its "]"; -1 when the subject holds none.
int lastMarker(const QString &subject, int *close)
{
    // The last marker closed at all is the last one that starts before the last "]".
    const int bracket = subject.lastIndexOf(QLatin1Char(']'));
    if (bracket < MarkerStart.size())
        return -1;
    const int at = subject.lastIndexOf(MarkerStart, bracket - MarkerStart.size());
    if (at < 0)
        return -1;
    *close = subject.indexOf(QLatin1Char(']'), at + MarkerStart.size());
    return at;
}
} // namespace

QString LinkKey(const QString &subject)
{
    int close = -1;
    const int at = lastMarker(subject, &close);
    return at < 0 ? QString() : subject.mid(at + 3, close - at - 3);
}

QString SubjectText(const QString &subject)
{
    int close = -1;
    const int at = lastMarker(subject, &close);
    return at < 0 ? subject : subject.left(at);
}

QString MarkedSubject(const QString &subject, const QString &key)
{
    return subject + QStringLiteral("::[") + key + QLatin1Char(']');
}

QString DoneRatio(const QString &progress)
{
    QString text = progress.isEmpty() ? QStringLiteral("0") : progress;
    text[text.size() - 1] = QLatin1Char('0');
    return text;
}

QString Abbreviated(const QString &text)
{
    return text.size() > 10 ? text.left(10) + QStringLiteral("...") : text;
}

QString TrackerDate(const QString &date)
{
    QString text = date;
    return text.replace(QLatin1Char('/'), QLatin1Char('-'));
}

bool SameText(const QString &ours, const QString &theirs)
{
    QString a = ours;
    QString b = theirs;
    return a.replace(QStringLiteral("\r\n"), QStringLiteral("\n")) ==
           b.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool SameHours(const QString &ours, const QString &theirs)
{
    // Both sides as whole hours: an element's "2.5" must not differ from the tracker's "2.5".
    const auto whole = [](const QString &text) { return std::trunc(text.trimmed().toDouble()); };
    return whole(ours) == whole(theirs);
}

QString ReadIssueElement(const QDomElement &issue, IssueRecord *record)
{
    IssueRecord r;
    QString key;
    for (QDomElement e = issue.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const QString tag = e.tagName();
        const QString id = e.attribute(QStringLiteral("id"));
        const QString name = e.attribute(QStringLiteral("name"));
        if (tag == QLatin1String("id")) {
            r.id = e.text();
        } else if (tag == QLatin1String("subject")) {
            key = LinkKey(e.text());
            r.subject = SubjectText(e.text());
        } else if (tag == QLatin1String("assigned_to")) {
            r.assignedId = id;
            r.assignedName = name;
        } else if (tag == QLatin1String("tracker")) {
            r.trackerId = id;
            r.trackerName = name;
        } else if (tag == QLatin1String("status")) {
            r.statusId = id;
            r.statusName = name;
        } else if (tag == QLatin1String("priority")) {
            r.priorityId = id;
            r.priorityName = name;
        } else if (tag == QLatin1String("category")) {
            r.categoryId = id;
            r.categoryName = name;
        } else if (tag == QLatin1String("fixed_version")) {
            r.versionId = id;
            r.versionName = name;
        } else if (tag == QLatin1String("description")) {
            r.description = e.text();
        } else if (tag == QLatin1String("start_date")) {
            r.startDate = e.text();
        } else if (tag == QLatin1String("due_date")) {
            r.dueDate = e.text();
        } else if (tag == QLatin1String("done_ratio")) {
            r.doneRatio = e.text();
        } else if (tag == QLatin1String("estimated_hours")) {
            r.estimatedHours = e.text();
        } else if (tag == QLatin1String("parent")) {
            r.parentId = id;
        }
    }
    if (record)
        *record = r;
    return key;
}

QDomDocument CreateBody(const IssueBody &body)
{
    QDomElement root;
    QDomDocument doc = newBody(body, &root);
    addText(doc, root, "subject", body.subject);
    addText(doc, root, "description", body.values[Description]);
    for (Field f : {StartDate, DueDate, DoneRatioField, Hours}) {
        if (!body.values[f].isEmpty())
            addText(doc, root, Tags[f], body.values[f]);
    }
    for (Field f : {Assigned, Tracker, Status})
        addText(doc, root, Tags[f], body.values[f]);
    if (body.withCategory)
        addText(doc, root, Tags[Category], body.values[Category]);
    if (body.withVersion)
        addText(doc, root, Tags[Version], body.values[Version]);
    addText(doc, root, Tags[Priority], body.values[Priority]);
    if (!body.parentId.isEmpty())
        addText(doc, root, "parent_issue_id", body.parentId);
    return doc;
}

QDomDocument UpdateBody(const IssueBody &body)
{
    QDomElement root;
    QDomDocument doc = newBody(body, &root);
    for (int f = 0; f < FieldCount; ++f) {
        if (!body.marked[f])
            continue;
        const bool cleared = (f == Category || f == Version) && body.values[f] == QLatin1String("0");
        addText(doc, root, Tags[f], cleared ? QString() : body.values[f]);
    }
    return doc;
}
} // namespace IssueSync
