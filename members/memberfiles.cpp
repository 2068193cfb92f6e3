#include "members/memberfiles.h"

#include "core/longvalue.h"
#include "core/safefile.h"
#include "core/sharedxml.h"
#include "core/xmlclass.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <algorithm>

namespace
{
const QString kRoot = QStringLiteral("Root_manager");

QString today()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
}
} // namespace

MemberFiles::MemberFiles() = default;

void MemberFiles::SetRetry(int attempts, int delayMs)
{
    m_attempts = std::max(1, attempts);
    m_delayMs = std::max(0, delayMs);
}

xmlclass *MemberFiles::store() const
{
    return GetObj<xmlclass>(RegSlot::ObjXmlStore);
}

QString MemberFiles::KindFileName(const QString &kind, int n)
{
    return n == 0 ? kind + QStringLiteral(".xml") : QStringLiteral("%1_%2.xml").arg(kind).arg(n);
}

QString MemberFiles::ManagerPath(int n) const
{
    return m_dir + QLatin1Char('/') + KindFileName(QStringLiteral("manager"), n);
}

QString MemberFiles::MarkerPath(int n) const
{
    return m_dir + QStringLiteral("/%1.iod").arg(n);
}

QString MemberFiles::NotesPath(int n) const
{
    return m_dir + QStringLiteral("/manager_%1.txt").arg(n);
}

MemberFiles::LoadResult MemberFiles::OpenMemberFile(int n)
{
    return LoadWithRetry(XmlIndex::Manager + n, ManagerPath(n));
}

MemberFiles::LoadResult MemberFiles::LoadWithRetry(int index, const QString &path)
{
    xmlclass *xml = store();
    if (!xml)
        return Failed;
    if (xml->HasDoc(index))
        return Loaded;
    QString error;
    int kind = 1;
    for (int attempt = 0; attempt < m_attempts; ++attempt) {
        if (attempt > 0)
            QThread::msleep(static_cast<unsigned long>(m_delayMs));
        QFile file(path);
        if (!file.exists()) {
            if (SafeFile::IsAbsent(path)) {
                SetStrVar(RegSlot::StrLastError,
                          QCoreApplication::translate("xmlclass", "file not exist:%1").arg(path));
                SetIntVar(RegSlot::IntLastErrorKind, 0);
                return Missing;
            }
            kind = 1;
            // A link whose target is gone sits in a folder that reads well: name the file.
            error = QFileInfo(path).isSymLink()
                        ? QCoreApplication::translate("xmlclass", "file not open %1").arg(path)
                        : QCoreApplication::translate("xmlclass", "folder not readable:%1")
                              .arg(QFileInfo(path).absolutePath());
            continue;
        }
        // Read the bytes first: another member's program may be replacing the file right now.
        QByteArray bytes;
        if (!SafeFile::ReadAll(path, &bytes)) {
            kind = 1;
            error =
                SafeFile::WithReason(QCoreApplication::translate("xmlclass", "file not open %1").arg(path));
            // A pipe, a folder or a file of gigabytes stays one: asking again only waits.
            if (SafeFile::LastRefused())
                break;
            continue;
        }
        QDomDocument doc;
        QString message;
        int line = 0;
        int column = 0;
        const bool parsed = SharedXml::SetContent(doc, bytes, &message, &line, &column);
        if (parsed && LongValue::Check(bytes, &message, &line, &column, LongValue::JudgedApart(index))) {
            xml->AddXmlDocFile(index, doc, path);
            return Loaded;
        }
        kind = 2;
        error = QCoreApplication::translate("xmlclass",
                                            "filename:%1  Dom Parse:Parse error at line %2, column %3  %4")
                    .arg(path)
                    .arg(line)
                    .arg(column)
                    .arg(message);
        // Such a value is no half-written file: reading it again finds it again.
        if (parsed)
            break;
    }
    SetIntVar(RegSlot::IntLastErrorKind, kind);
    SetStrVar(RegSlot::StrLastError, error);
    return Failed;
}

bool MemberFiles::newDoc(int index, const QString &root, const QString &path,
                         const QMap<QString, QString> &attrs, bool close)
{
    xmlclass *xml = store();
    if (!xml)
        return false;
    xml->CloseXmlDoc(index);
    QDomDocument doc;
    QDomElement element = doc.createElement(root);
    for (auto it = attrs.begin(); it != attrs.end(); ++it)
        element.setAttribute(it.key(), it.value());
    doc.appendChild(element);
    xml->AddXmlDoc(index, doc);
    xml->SetDocFileName(index, path);
    const bool ok = xml->SaveXmlDoc(index) == 1;
    if (close)
        xml->CloseXmlDoc(index);
    return ok;
}

bool MemberFiles::CreateManagerFile(const QString &user, const QString &email, const QString &name,
                                    const QString &version, const QString &modelName,
                                    const QString &modelVersion, const QString &procEmail)
{
    xmlclass *xml = store();
    if (!xml)
        return false;
    const int index = XmlIndex::Manager;
    xml->CloseXmlDoc(index);
    m_refusedUsers.clear();
    m_refusedDoc = QDomDocument();
    QDomDocument doc;
    QDomElement root = doc.createElement(kRoot);
    root.setAttribute(QStringLiteral("User"), user);
    root.setAttribute(QStringLiteral("Email"), email);
    root.setAttribute(QStringLiteral("Name"), name);
    root.setAttribute(QStringLiteral("Version"), version);
    root.setAttribute(QStringLiteral("ProcEmail"), procEmail.isEmpty() ? email : procEmail);
    root.setAttribute(QStringLiteral("ID"), QStringLiteral("0"));
    root.setAttribute(QStringLiteral("MaxID"), QStringLiteral("1"));
    root.setAttribute(QStringLiteral("StartDate"), today());
    root.setAttribute(QStringLiteral("TargetDate"), QString());
    root.setAttribute(QStringLiteral("CompletionDate"), QString());
    QDomElement model = doc.createElement(QStringLiteral("Model"));
    model.setAttribute(QStringLiteral("Name"), modelName);
    model.setAttribute(QStringLiteral("Version"), modelVersion);
    root.appendChild(model);
    root.appendChild(doc.createElement(QStringLiteral("GROUP")));
    doc.appendChild(root);
    xml->AddXmlDoc(index, doc);
    xml->SetDocFileName(index, ManagerPath(0));
    return xml->SaveXmlDoc(index) == 1;
}

bool MemberFiles::CreateMemberFile(int n, const QString &user, const QString &email, const QString &procEmail)
{
    return newDoc(XmlIndex::Manager + n, kRoot, ManagerPath(n),
                  {{QStringLiteral("ID"), QString::number(n)},
                   {QStringLiteral("User"), user},
                   {QStringLiteral("Email"), email},
                   {QStringLiteral("ProcEmail"), procEmail},
                   {QStringLiteral("StartDate"), today()},
                   {QStringLiteral("TargetDate"), QString()},
                   {QStringLiteral("CompletionDate"), QString()}},
                  false);
}

bool MemberFiles::CreateKindFile(const QString &kind, int n, bool close)
{
    int base = XmlIndex::Instance;
    QString root = QStringLiteral("Root_Instance");
    if (kind == QLatin1String("question")) {
        base = XmlIndex::Question;
        root = QStringLiteral("Root_Question");
    } else if (kind == QLatin1String("answer")) {
        base = XmlIndex::Answer;
        root = QStringLiteral("Root_Answer");
    }
    QMap<QString, QString> attrs{{QStringLiteral("ID"), QString::number(n)},
                                 {QStringLiteral("MaxID"), QStringLiteral("1")}};
    // Made here or by the instance tab, a new instance document is the same document.
    if (base == XmlIndex::Instance) {
        attrs[QStringLiteral("MaxID")] = QStringLiteral("0");
        attrs[QStringLiteral("StartDate")] = today();
        attrs[QStringLiteral("TargetDate")] = QString();
        attrs[QStringLiteral("CompletionDate")] = QString();
    }
    return newDoc(base + n, root, m_dir + QLatin1Char('/') + KindFileName(kind, n), attrs, close);
}

bool MemberFiles::CreateDocInstanceFile(const QString &name, const QString &email, const QString &version)
{
    return newDoc(XmlIndex::InstanceDoc, QStringLiteral("Root_InstanceDoc"),
                  m_dir + QStringLiteral("/DocInstance.xml"),
                  {{QStringLiteral("MaxID"), QStringLiteral("1")},
                   {QStringLiteral("Name"), name},
                   {QStringLiteral("Email"), email},
                   {QStringLiteral("Version"), version}},
                  true);
}

GroupData MemberFiles::ReadGroup()
{
    GroupData data;
    m_refusedUsers.clear();
    m_refusedDoc = QDomDocument();
    xmlclass *xml = store();
    QDomDocument *doc = xml ? xml->GetXmlDoc(XmlIndex::Manager) : nullptr;
    if (!doc)
        return data;
    m_refusedDoc = *doc;
    const QDomElement root = doc->documentElement();
    if (root.isNull() || root.tagName() != kRoot)
        return data;
    data.hasRoot = true;
    bool ok = false;
    const int maxId = root.attribute(QStringLiteral("MaxID")).toInt(&ok);
    data.maxId = ok && maxId >= 1 ? maxId : 1;
    data.user = root.attribute(QStringLiteral("User"));
    data.email = root.attribute(QStringLiteral("Email"));
    QSet<int> seen;
    // A live node list rebuilds itself after every change to the document (the clones of refused
    // entries count): read it into a plain list once, or 200,000 entries take hours.
    const QDomNodeList list = root.elementsByTagName(QStringLiteral("USER"));
    QVector<QDomElement> users;
    users.reserve(list.size());
    m_refusedUsers.reserve(list.size() - std::min(list.size(), MaxMemberId));
    for (int i = 0, count = list.size(); i < count; ++i)
        users.append(list.item(i).toElement());
    for (const QDomElement &e : qAsConst(users)) {
        const QString text = e.attribute(QStringLiteral("ID"));
        const QString name = e.attribute(QStringLiteral("Name"));
        const QString email = e.attribute(QStringLiteral("Email"));
        const int id = text.toInt(&ok);
        // 0 is the group, and numbers past 9999 would reach other documents' store indexes. A
        // name or address no one types would hold every view that shows the member.
        const bool badId = !ok || id < 1 || id > MaxMemberId || seen.contains(id);
        const bool tooLong = LongValue::Exceeds(name) || LongValue::Exceeds(email);
        if (badId || tooLong) {
            if (++data.skippedCount <= MaxSkippedLines) {
                QString line = QStringLiteral("manager.xml: USER ID \"%1\" (%2) skipped")
                                   .arg(LongValue::Shown(text), LongValue::Shown(name));
                if (!badId)
                    line += QCoreApplication::translate("MemberFiles", ": a name or address of more than %1 "
                                                                       "characters")
                                .arg(LongValue::MaxChars);
                data.skipped.append(line);
            }
            m_refusedUsers.append(e);
            // Its number stays taken: the entry is written back.
            if (!badId)
                data.maxId = std::max(data.maxId, id + 1);
            continue;
        }
        seen.insert(id);
        data.users.append({id, name, email});
        data.maxId = std::max(data.maxId, id + 1);
    }
    // A report of 190,000 lines helps nobody and costs as much as the read.
    if (data.skippedCount > MaxSkippedLines)
        data.skipped.append(QCoreApplication::translate("MemberFiles",
                                                        "manager.xml: %n more USER entries skipped", nullptr,
                                                        data.skippedCount - MaxSkippedLines));
    const QDomElement redmine = root.elementsByTagName(QStringLiteral("REDMINE")).item(0).toElement();
    if (!redmine.isNull()) {
        data.hasRedmine = true;
        data.redmineId = redmine.attribute(QStringLiteral("ID"));
        data.redmineType = redmine.attribute(QStringLiteral("TYPE"));
    }
    return data;
}

int MemberFiles::NextFreeNumber(int from) const
{
    // A crash between a new member's file writes and the save of manager.xml leaves files behind
    // that no USER lists; their number must not be handed out again.
    for (int n = std::max(1, from); n <= MaxMemberId; ++n) {
        if (!QFileInfo::exists(ManagerPath(n)))
            return n;
    }
    return -1;
}

void MemberFiles::SaveGroup(const MemberSaveData &group, const QList<GroupUser> &users, int redmineId,
                            int redmineType)
{
    xmlclass *xml = store();
    QDomDocument *doc = xml ? xml->GetXmlDoc(XmlIndex::Manager) : nullptr;
    if (!doc)
        return;
    ClearChildren(0);
    QDomElement root = doc->documentElement();
    QDomElement model = doc->createElement(QStringLiteral("Model"));
    model.setAttribute(QStringLiteral("Name"), GetStrVar(RegSlot::StrModelName));
    model.setAttribute(QStringLiteral("Version"), GetStrVar(RegSlot::StrModelVersion));
    root.appendChild(model);
    QDomElement redmine = doc->createElement(QStringLiteral("REDMINE"));
    redmine.setAttribute(QStringLiteral("ID"), QString::number(redmineId));
    redmine.setAttribute(QStringLiteral("TYPE"), QString::number(redmineType));
    root.appendChild(redmine);
    QDomElement grp = doc->createElement(QStringLiteral("GROUP"));
    for (const GroupUser &u : users) {
        QDomElement e = doc->createElement(QStringLiteral("USER"));
        e.setAttribute(QStringLiteral("ID"), QString::number(u.id));
        if (!u.name.isNull() || !u.email.isNull()) {
            e.setAttribute(QStringLiteral("Name"), u.name);
            e.setAttribute(QStringLiteral("Email"), u.email);
        }
        grp.appendChild(e);
    }
    for (const QDomElement &refused : qAsConst(m_refusedUsers))
        grp.appendChild(m_refusedDoc == *doc ? QDomNode(refused) : doc->importNode(refused, true));
    root.appendChild(grp);
    WriteMemberData(0, group);
}

void MemberFiles::WriteMemberData(int n, const MemberSaveData &data)
{
    xmlclass *xml = store();
    QDomDocument *doc = xml ? xml->GetXmlDoc(XmlIndex::Manager + n) : nullptr;
    if (!doc)
        return;
    QDomElement root = doc->documentElement();
    if (root.isNull() || root.tagName() != kRoot)
        return;
    if (data.writeIdentity) {
        root.setAttribute(QStringLiteral("User"), data.user);
        root.setAttribute(QStringLiteral("Email"), data.email);
    }
    root.setAttribute(QStringLiteral("ID"), QString::number(n));
    if (n == 0 && data.maxId >= 0)
        root.setAttribute(QStringLiteral("MaxID"), QString::number(data.maxId));
    root.setAttribute(QStringLiteral("StartDate"), data.startDate);
    root.setAttribute(QStringLiteral("TargetDate"), data.targetDate);
    root.setAttribute(QStringLiteral("CompletionDate"), data.completionDate);
    root.setAttribute(QStringLiteral("ProcEmail"), data.procEmail);
    QDomElement out = doc->createElement(QStringLiteral("OUT"));
    out.setAttribute(QStringLiteral("DIR"), data.outDir);
    root.appendChild(out);
}

bool MemberFiles::SaveMemberDoc(int n)
{
    xmlclass *xml = store();
    return xml && xml->SaveXmlDoc(XmlIndex::Manager + n) == 1;
}

bool MemberFiles::HasMemberRoot(int n) const
{
    xmlclass *xml = store();
    QDomDocument *doc = xml ? xml->GetXmlDoc(XmlIndex::Manager + n) : nullptr;
    return doc && doc->documentElement().tagName() == kRoot;
}

void MemberFiles::ClearChildren(int n)
{
    xmlclass *xml = store();
    QDomDocument *doc = xml ? xml->GetXmlDoc(XmlIndex::Manager + n) : nullptr;
    if (!doc)
        return;
    if (n == 0)
        DetachRefusedUsers();
    QDomElement root = doc->documentElement();
    QDomElement child = root.firstChildElement();
    while (!child.isNull()) {
        QDomElement next = child.nextSiblingElement();
        root.removeChild(child);
        child = next;
    }
}

void MemberFiles::DetachRefusedUsers()
{
    // Each is taken out of its parent before that parent can go: a QDom node whose parent is
    // destroyed while it is held keeps its old sibling links, and appending it later would tie
    // the tree into a loop.
    for (QDomElement &refused : m_refusedUsers) {
        QDomNode parent = refused.parentNode();
        if (!parent.isNull())
            parent.removeChild(refused);
    }
}

bool MemberFiles::WriteMarker(int n, const QString &state)
{
    return SafeFile::WriteUtf8(MarkerPath(n), state);
}

bool MemberFiles::WriteNotes(int n, const QString &text)
{
    return SafeFile::WriteUtf8(NotesPath(n), text);
}

void MemberFiles::RecordFileTimes(int n)
{
    xmlclass *xml = store();
    if (!xml)
        return;
    const QStringList kinds{QStringLiteral("manager"), QStringLiteral("instance"), QStringLiteral("question"),
                            QStringLiteral("answer")};
    const int bases[] = {XmlIndex::Manager, XmlIndex::Instance, XmlIndex::Question, XmlIndex::Answer};
    for (int i = 0; i < 4; ++i)
        xml->SetFileTime(bases[i] + n, m_dir + QLatin1Char('/') + KindFileName(kinds.at(i), n));
}

QString MemberFiles::DisplayName(const QString &name, int k)
{
    return k <= 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(k);
}

int MemberFiles::SameAddressIndex(QList<int> numbers, int n)
{
    std::sort(numbers.begin(), numbers.end());
    return numbers.indexOf(n);
}
