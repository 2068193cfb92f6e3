#include "core/sharedxml.h"
#include "core/xmlclass.h"
#include "redmine/nwredmine.h"

namespace
{
// Document slots, as offsets from the store's first tracker index.
enum Doc : int {
    Trackers = 0,
    Categories = 1,
    Projects = 2,
    Project = 3,
    Statuses = 4,
    Users = 5,
    Groups = 6,
    Issues = 7,
    Versions = 8,
    Memberships = 9,
    Priorities = 10,
};

QStringList roots(std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *name : names)
        list << QLatin1String(name);
    return list;
}

// Empties the document without detaching it from the copy registered in the store.
void clearInPlace(QDomDocument &doc)
{
    while (doc.hasChildNodes())
        doc.removeChild(doc.firstChild());
}

QString childText(const QDomElement &e, const QString &tag, bool *found)
{
    const QDomElement child = e.firstChildElement(tag);
    if (child.isNull())
        *found = false;
    return child.text();
}
} // namespace

// Keeps one page of a paged list and asks for the next while the list's total claims more. A page
// that does not parse ends the list as it came, so that the parse reports it. The pages are held
// together until the last, so they count together against the listing's limits.
NwRedmine::PageStep NwRedmine::takePage(const QByteArray &body)
{
    m_pagedBytes += body.size();
    const qint64 left = MaxListNodes - m_pagedNodes;
    QDomDocument page;
    qint64 nodes = 0;
    if (const int refused = parseBody(page, body, qMin(MaxReplyNodes, left), &nodes)) {
        if (refused != ReplyTooManyNodesError)
            return PageStep::Broken;
        if (left < MaxReplyNodes)
            m_refusedLimit = MaxListNodes;
        return PageStep::Crowded;
    }
    m_pagedNodes += nodes;
    QDomElement root = page.documentElement();
    int count = 0;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        ++count;
    if (m_pagedDoc.isNull() || m_pagedDoc.documentElement().isNull()) {
        m_pagedDoc = page;
    } else {
        QDomElement into = m_pagedDoc.documentElement();
        for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            into.appendChild(m_pagedDoc.importNode(e, true));
    }
    ++m_pagedCount;
    bool ok = false;
    const qint64 total = root.attribute(QStringLiteral("total_count")).toLongLong(&ok);
    // A tracker that does not page (no total) or a page without items ends the list.
    if (!ok || count == 0 || m_pagedOffset + count >= total)
        return PageStep::Done;
    if (m_pagedCount >= MaxPages)
        return PageStep::Capped;
    m_pagedOffset += count;
    sendPage();
    return PageStep::More;
}

// Parses an answer into doc: 0, or ReplyTooManyNodesError for well-formed XML of more than maxNodes
// nodes (its tree is not built), or XmlErrorCode for anything else the parse refuses. *nodes, when
// given, gets the count of a document taken.
int NwRedmine::parseBody(QDomDocument &doc, const QByteArray &body, qint64 maxNodes, qint64 *nodes)
{
    QString message;
    int line = 0;
    int column = 0;
    SharedXml::Counted counted;
    if (SharedXml::SetContent(doc, body, &message, &line, &column, maxNodes, &counted)) {
        if (nodes)
            *nodes = counted.nodes;
        return 0;
    }
    m_xmlErrorMessage = QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(message);
    if (!counted.crowded)
        return XmlErrorCode;
    m_refusedLimit = maxNodes;
    return ReplyTooManyNodesError;
}

// A body that does not parse, or parses to something other than the tracker's answer to the
// request (an HTML page that happens to be well-formed, say), is not the reply.
int NwRedmine::parseInto(int slot, const QStringList &roots)
{
    if (m_replyError != 0)
        return m_replyError;
    QDomDocument &doc = m_docs[slot];
    clearInPlace(doc);
    if (const int refused = parseBody(doc, m_replyBody, m_replyNodeLimit)) {
        clearInPlace(doc);
        m_replyError = refused;
        return m_replyError;
    }
    if (!roots.contains(doc.documentElement().tagName())) {
        m_xmlErrorMessage = QStringLiteral("unexpected root element %1").arg(doc.documentElement().tagName());
        clearInPlace(doc);
        m_replyError = XmlErrorCode;
        return m_replyError;
    }
    if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore)) {
        const int index = XmlIndex::RedmineFirst + slot;
        // The store keeps a handle on the same document, so a refill shows there at once; only a
        // document another owner put under the index is replaced.
        if (!store->HasDoc(index) || *store->GetXmlDoc(index) != doc)
            store->AddXmlDocFile(index, doc, QString());
    }
    return 0;
}

void NwRedmine::buildPairs(int slot, const QString &tag, QList<RedminePair> &list)
{
    list.clear();
    const QDomNodeList nodes = m_docs[slot].elementsByTagName(tag);
    for (int i = 0; i < nodes.size(); ++i) {
        const QDomElement e = nodes.at(i).toElement();
        bool found = true;
        const QString id = childText(e, QStringLiteral("id"), &found);
        const QString name = childText(e, QStringLiteral("name"), &found);
        if (found)
            list.append({id, name});
    }
}

void NwRedmine::buildUsers(UserSource source)
{
    m_userList.clear();
    const QDomNodeList nodes = m_docs[Users].elementsByTagName(QStringLiteral("user"));
    for (int i = 0; i < nodes.size(); ++i) {
        const QDomElement e = nodes.at(i).toElement();
        if (source == UserSource::Group) {
            if (e.hasAttribute(QStringLiteral("id")) && e.hasAttribute(QStringLiteral("name")))
                m_userList.append({e.attribute(QStringLiteral("id")), e.attribute(QStringLiteral("name"))});
            continue;
        }
        bool found = true;
        const QString id = childText(e, QStringLiteral("id"), &found);
        const QString first = childText(e, QStringLiteral("firstname"), &found);
        const QString last = childText(e, QStringLiteral("lastname"), &found);
        if (found)
            m_userList.append({id, first + QLatin1Char(' ') + last});
    }
}

int NwRedmine::ParseTrackers()
{
    return parseInto(Trackers, roots({"trackers"}));
}

int NwRedmine::ParseUsers()
{
    const int error = parseInto(Users, roots({"users"}));
    if (error == 0)
        buildUsers(UserSource::Search);
    return error;
}

int NwRedmine::ParseGroupUsers()
{
    const int error = parseInto(Users, roots({"group"}));
    if (error == 0)
        buildUsers(UserSource::Group);
    return error;
}

int NwRedmine::ParseGroups()
{
    const int error = parseInto(Groups, roots({"groups"}));
    if (error == 0)
        buildPairs(Groups, QStringLiteral("group"), m_groupList);
    return error;
}

int NwRedmine::ParseMemberships()
{
    return parseInto(Memberships, roots({"memberships"}));
}

int NwRedmine::ParseIssueStatuses()
{
    return parseInto(Statuses, roots({"issue_statuses"}));
}

int NwRedmine::ParseVersions()
{
    return parseInto(Versions, roots({"versions", "version"}));
}

int NwRedmine::ParseIssueCategories()
{
    return parseInto(Categories, roots({"issue_categories", "issue_category"}));
}

int NwRedmine::ParsePriorities()
{
    return parseInto(Priorities, roots({"issue_priorities"}));
}

int NwRedmine::ParseProjects()
{
    const int error = parseInto(Projects, roots({"projects"}));
    if (error == 0)
        buildPairs(Projects, QStringLiteral("project"), m_projectList);
    return error;
}

int NwRedmine::ParseProject()
{
    return parseInto(Project, roots({"project"}));
}

int NwRedmine::ParseIssues()
{
    return parseInto(Issues, roots({"issues", "issue"}));
}

QString NwRedmine::GetErrorText(int mode, int error) const
{
    const QString n = QString::number(error);
    const bool apiKey = GetBoolVar(RegSlot::FlagRedmineKeySet);
    if (error == XmlErrorCode)
        return tr("received data is not xml format");
    if (error == PageCapError)
        return tr("the tracker lists more than %1 items: the list stops there").arg(MaxPages * PageSize);
    if (error == ReplyTooLargeError)
        return tr("the tracker's answer is larger than %1 MB: it was left unread")
            .arg(m_refusedLimit / (1024 * 1024));
    if (error == ReplyTooManyNodesError)
        return tr("the tracker's answer holds more than %1 elements, attributes and texts: it was left "
                  "unread")
            .arg(m_refusedLimit);
    if (mode == 0)
        return tr("1.not connect 2.not URL(check Toole Option) error(") + n + QLatin1Char(')');
    if (mode == 1)
        return tr("maybe project is deleted");
    if (mode == 2)
        return (apiKey ? tr("check Api error(") : tr("check basic author  error(")) + n + QLatin1Char(')');
    return (apiKey ? tr("1.not connect 2.not URL(check Toole Option) 3.check Api error(")
                   : tr("1.not connect 2.not URL(check Toole Option) 3.check basic author error(")) +
           n + QLatin1Char(')');
}
