#include "members/memberfiles.h"

#include "core/decimalid.h"
#include "core/longvalue.h"
#include "core/safefile.h"
#include "core/sharedxml.h"
#include "core/textfiles.h"
#include "core/uireport.h"
#include "core/xmlclass.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
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

// The key of the OUT element's folder among a member document's root attributes.
const QString kOut = QStringLiteral("OUT");

// The root's first child element of that name; made when missing, after `after` or, without
// one, at the end (first when `first` is set).
QDomElement ensureChild(QDomElement &root, const QString &tag, const QDomElement &after, bool first = false)
{
    QDomElement e = root.firstChildElement(tag);
    if (!e.isNull())
        return e;
    e = root.ownerDocument().createElement(tag);
    if (!after.isNull())
        root.insertAfter(e, after);
    else if (first)
        root.insertBefore(e, root.firstChild());
    else
        root.appendChild(e);
    return e;
}

// The values a member document's writer sets, as the document holds them; a value missing is no key.
QMap<QString, QString> fieldsOf(const QDomElement &root)
{
    QMap<QString, QString> fields;
    for (const char *name :
         {"User", "Email", "ID", "MaxID", "ProcEmail", "StartDate", "TargetDate", "CompletionDate"}) {
        const QString key = QLatin1String(name);
        if (root.hasAttribute(key))
            fields.insert(key, root.attribute(key));
    }
    const QDomElement out = root.firstChildElement(kOut);
    if (out.hasAttribute(QStringLiteral("DIR")))
        fields.insert(kOut, out.attribute(QStringLiteral("DIR")));
    return fields;
}

// A member file's bytes as its reader takes them: a document, holding no value past what a member
// types. *parsed tells such a value from bytes that do not parse.
bool takeMemberBytes(int index, const QByteArray &bytes, QDomDocument *doc, QString *message, int *line,
                     int *column, bool *parsed)
{
    *parsed = SharedXml::SetContent(*doc, bytes, message, line, column);
    return *parsed && LongValue::Check(bytes, message, line, column, LongValue::JudgedApart(index));
}

bool hasField(const QDomElement &root, const QString &key)
{
    return key == kOut ? root.firstChildElement(kOut).hasAttribute(QStringLiteral("DIR"))
                       : root.hasAttribute(key);
}

void setField(QDomElement &root, const QString &key, const QString &value)
{
    if (key == kOut)
        ensureChild(root, kOut, root.firstChildElement(QStringLiteral("GROUP")))
            .setAttribute(QStringLiteral("DIR"), value);
    else
        root.setAttribute(key, value);
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
        bool parsed = false;
        if (takeMemberBytes(index, bytes, &doc, &message, &line, &column, &parsed)) {
            xml->AddXmlDocFile(index, doc, path, SafeFile::Seen::Of(bytes));
            takeAsRead(index, doc);
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

void MemberFiles::takeAsRead(int index, const QDomDocument &doc)
{
    m_fields.insert(index, Fields{fieldsOf(doc.documentElement()), {}});
}

bool MemberFiles::newDoc(int index, const QString &root, const QString &path,
                         const QMap<QString, QString> &attrs, bool close, const SafeFile::Seen &seen)
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
    xml->SetSeen(index, seen);
    takeAsRead(index, doc);
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
    m_users.clear();
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
    takeAsRead(index, doc);
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
                  false, SafeFile::Seen::Absent());
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

namespace
{
// One USER entry of manager.xml as the reader judges it.
struct UserVerdict {
    QDomElement element;
    int id = 0;
    bool badId = false;
    bool tooLong = false;
    bool Accepted() const { return !badId && !tooLong; }
};

// Every USER entry of the document in document order, judged as the reader takes them: the
// group's save updates the very entries the open accepted, and leaves the others as they are.
QVector<UserVerdict> judgeUsers(const QDomElement &root)
{
    // A live node list rebuilds itself after every change to the document: read it into a plain
    // list once, or 200,000 entries take hours.
    const QDomNodeList list = root.elementsByTagName(QStringLiteral("USER"));
    QVector<UserVerdict> verdicts;
    verdicts.reserve(list.size());
    QSet<int> seen;
    for (int i = 0, count = list.size(); i < count; ++i) {
        UserVerdict v;
        v.element = list.item(i).toElement();
        bool ok = false;
        v.id = v.element.attribute(QStringLiteral("ID")).toInt(&ok);
        // 0 is the group, and numbers past 9999 would reach other documents' store indexes. A
        // name or address no one types would hold every view that shows the member.
        v.badId = !ok || v.id < 1 || v.id > MemberFiles::MaxMemberId || seen.contains(v.id);
        v.tooLong = LongValue::Exceeds(v.element.attribute(QStringLiteral("Name"))) ||
                    LongValue::Exceeds(v.element.attribute(QStringLiteral("Email")));
        if (v.Accepted())
            seen.insert(v.id);
        verdicts.append(v);
    }
    return verdicts;
}

// What follows an entry up to the next USER element (unknown elements, comments) belongs to it and
// goes with it; an entry the reader refused is an item of its own and stays.
void removeEntry(const QDomElement &entry)
{
    QDomNode parent = entry.parentNode();
    QDomNode next = entry.nextSibling();
    while (!next.isNull() && !(next.isElement() && next.toElement().tagName() == QLatin1String("USER"))) {
        const QDomNode after = next.nextSibling();
        parent.removeChild(next);
        next = after;
    }
    parent.removeChild(entry);
}
} // namespace

GroupData MemberFiles::ReadGroup()
{
    GroupData data;
    m_users.clear();
    xmlclass *xml = store();
    QDomDocument *doc = xml ? xml->GetXmlDoc(XmlIndex::Manager) : nullptr;
    if (!doc)
        return data;
    const QDomElement root = doc->documentElement();
    if (root.isNull() || root.tagName() != kRoot)
        return data;
    data.hasRoot = true;
    bool ok = false;
    const int maxId = root.attribute(QStringLiteral("MaxID")).toInt(&ok);
    data.maxId = ok && maxId >= 1 ? maxId : 1;
    data.user = root.attribute(QStringLiteral("User"));
    data.email = root.attribute(QStringLiteral("Email"));
    // Entries left out for a value too long go back to the file as they were read: the writer
    // is told they are no edit of ours.
    QVector<QDomElement> keptLong;
    for (const UserVerdict &v : judgeUsers(root)) {
        const QString name = v.element.attribute(QStringLiteral("Name"));
        if (!v.Accepted()) {
            if (++data.skippedCount <= MaxSkippedLines) {
                QString line = QStringLiteral("manager.xml: USER ID \"%1\" (%2) skipped")
                                   .arg(LongValue::Shown(v.element.attribute(QStringLiteral("ID"))),
                                        LongValue::Shown(name));
                if (!v.badId)
                    line += QCoreApplication::translate("MemberFiles", ": a name or address of more than %1 "
                                                                       "characters")
                                .arg(LongValue::MaxChars);
                data.skipped.append(line);
            }
            if (v.tooLong)
                keptLong.append(v.element);
            // Its number stays taken: the entry is written back.
            if (!v.badId)
                data.maxId = std::max(data.maxId, v.id + 1);
            continue;
        }
        data.users.append({v.id, name, v.element.attribute(QStringLiteral("Email"))});
        m_users.insert(v.id, v.element);
        data.maxId = std::max(data.maxId, v.id + 1);
    }
    xml->KeepAsRead(XmlIndex::Manager, keptLong);
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

int MemberFiles::MemberNumberOf(const QString &fileName)
{
    // Every name a member's files take: its member file and notes, instance, questions, answers,
    // their elements' texts and histories, its output selection, its mails and its marker.
    static const QRegularExpression named(
        QStringLiteral("^(?:manager|instance|question|answer|refoutput|mail)_(\\d{1,9})(?:[._]|$)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression marker(QStringLiteral("^(\\d{1,9})\\.iod$"),
                                           QRegularExpression::CaseInsensitiveOption);
    QRegularExpressionMatch match = named.match(fileName);
    if (!match.hasMatch())
        match = marker.match(fileName);
    if (!match.hasMatch())
        return -1;
    const int n = match.captured(1).toInt();
    return n <= MaxMemberId ? n : -1;
}

QSet<int> MemberFiles::listedNumbers() const
{
    // Every USER of the group's document with a member's number, the ones its reader refuses
    // included: their entries are written back, and a member removed since the open is listed
    // until the group is saved.
    QSet<int> numbers;
    xmlclass *xml = store();
    QDomDocument *doc = xml ? xml->GetXmlDoc(XmlIndex::Manager) : nullptr;
    if (!doc)
        return numbers;
    const QDomNodeList list = doc->elementsByTagName(QStringLiteral("USER"));
    for (int i = 0, count = list.size(); i < count; ++i) {
        bool ok = false;
        const int n = list.item(i).toElement().attribute(QStringLiteral("ID")).toInt(&ok);
        if (ok && n >= 1 && n <= MaxMemberId)
            numbers.insert(n);
    }
    return numbers;
}

int MemberFiles::NextFreeNumber(int from, QString *why) const
{
    // A write that failed, a crash between a new member's file writes, or a member file removed
    // by hand leaves files that no USER lists: a member given their number would take over the
    // question, instance and notes of another. A number above all in use comes first; once none
    // is left there, a lower one that no member and no file uses.
    QStringList names;
    if (!DecimalId::ListFolder(m_dir, &names, why))
        return -1;
    QSet<int> used = listedNumbers();
    for (const QString &name : qAsConst(names)) {
        if (const int n = MemberNumberOf(name); n > 0)
            used.insert(n);
    }
    qint64 above = std::max(1, from);
    for (const int n : qAsConst(used))
        above = std::max(above, qint64(n) + 1);
    const int next = DecimalId::FirstFree(above, used, 1, MaxMemberId);
    if (next < 0 && why)
        *why = QCoreApplication::translate("MemberFiles", "no member number is left: members and their "
                                                          "files in %1 use every number from 1 to %2")
                   .arg(m_dir)
                   .arg(MaxMemberId);
    return next;
}

void MemberFiles::SaveGroup(const MemberSaveData &group, const QList<GroupUser> &users, int redmineId,
                            int redmineType)
{
    xmlclass *xml = store();
    QDomDocument *doc = xml ? xml->GetXmlDoc(XmlIndex::Manager) : nullptr;
    if (!doc)
        return;
    QDomElement root = doc->documentElement();
    if (root.isNull() || root.tagName() != kRoot)
        return;
    QDomElement model = ensureChild(root, QStringLiteral("Model"), QDomElement(), true);
    model.setAttribute(QStringLiteral("Name"), GetStrVar(RegSlot::StrModelName));
    model.setAttribute(QStringLiteral("Version"), GetStrVar(RegSlot::StrModelVersion));
    QDomElement redmine = ensureChild(root, QStringLiteral("REDMINE"), model);
    redmine.setAttribute(QStringLiteral("ID"), QString::number(redmineId));
    redmine.setAttribute(QStringLiteral("TYPE"), QString::number(redmineType));
    QDomElement grp = ensureChild(root, QStringLiteral("GROUP"), redmine);
    // The entries are those of a read of another document (the store read the file again since):
    // taken as this one's reader takes them.
    if (m_users.isEmpty() || m_users.cbegin()->ownerDocument() != *doc)
        ReadGroup();
    QHash<int, QDomElement> gone = m_users;
    for (const GroupUser &u : users) {
        QDomElement e = gone.take(u.id);
        if (e.isNull()) {
            e = doc->createElement(QStringLiteral("USER"));
            e.setAttribute(QStringLiteral("ID"), QString::number(u.id));
            grp.appendChild(e);
            m_users.insert(u.id, e);
        }
        if (!u.name.isNull() || !u.email.isNull()) {
            e.setAttribute(QStringLiteral("Name"), u.name);
            e.setAttribute(QStringLiteral("Email"), u.email);
        }
    }
    // Members removed since the open.
    for (auto it = gone.begin(); it != gone.end(); ++it) {
        removeEntry(*it);
        m_users.remove(it.key());
    }
    WriteMemberData(0, group);
}

void MemberFiles::WriteMemberData(int n, const MemberSaveData &data)
{
    xmlclass *xml = store();
    const int index = XmlIndex::Manager + n;
    QDomDocument *doc = xml ? xml->GetXmlDoc(index) : nullptr;
    if (!doc)
        return;
    QDomElement root = doc->documentElement();
    if (root.isNull() || root.tagName() != kRoot)
        return;
    QMap<QString, QString> wanted{{QStringLiteral("ID"), QString::number(n)},
                                  {QStringLiteral("StartDate"), data.startDate},
                                  {QStringLiteral("TargetDate"), data.targetDate},
                                  {QStringLiteral("CompletionDate"), data.completionDate},
                                  {QStringLiteral("ProcEmail"), data.procEmail},
                                  {kOut, data.outDir}};
    if (data.writeIdentity) {
        wanted.insert(QStringLiteral("User"), data.user);
        wanted.insert(QStringLiteral("Email"), data.email);
    }
    if (n == 0 && data.maxId >= 0)
        wanted.insert(QStringLiteral("MaxID"), QString::number(data.maxId));
    auto it = m_fields.find(index);
    if (it == m_fields.end())
        it = m_fields.insert(index, Fields{fieldsOf(root), {}});
    // A value shown as read is another program's to change; one taken back after an edit not yet
    // written is still an edit. A value the file lacks is written as the program shows it.
    for (auto w = wanted.cbegin(); w != wanted.cend(); ++w) {
        if (w.value() != it->shown.value(w.key()) || it->edited.contains(w.key()))
            it->edited.insert(w.key(), w.value());
        if (it->edited.contains(w.key()) || !hasField(root, w.key()))
            setField(root, w.key(), w.value());
    }
}

bool MemberFiles::readAgain(int n)
{
    xmlclass *xml = store();
    const int index = XmlIndex::Manager + n;
    const QString path = xml->DocFileName(index);
    QByteArray bytes;
    QDomDocument fresh;
    QString why;
    QString message;
    int line = 0;
    int column = 0;
    bool parsed = false;
    if (!SafeFile::ReadAll(path, &bytes)) {
        why = SafeFile::LastError().isEmpty()
                  ? QCoreApplication::translate("MemberFiles", "it can not be read")
                  : SafeFile::LastError();
    } else if (!takeMemberBytes(index, bytes, &fresh, &message, &line, &column, &parsed)) {
        why = QCoreApplication::translate("MemberFiles", "line %1, column %2: %3")
                  .arg(line)
                  .arg(column)
                  .arg(message);
    } else if (fresh.documentElement().tagName() != kRoot) {
        why = UiReport::WrongRoot(fresh.documentElement().tagName(), kRoot);
    }
    if (!why.isEmpty()) {
        UiReport::Fatal(QCoreApplication::translate("MemberFiles", "File error"),
                        QCoreApplication::translate("MemberFiles",
                                                    "%1 was not written: another program changed it since it "
                                                    "was read, and it does not read again (%2). Your changes "
                                                    "are kept.")
                            .arg(path, why));
        SetBoolVar(RegSlot::FlagWriteFailed, true);
        return false;
    }
    *xml->GetXmlDoc(index) = fresh;
    xml->SetSeen(index, SafeFile::Seen::Of(bytes));
    QDomElement root = fresh.documentElement();
    const Fields fields = m_fields.value(index);
    for (auto e = fields.edited.cbegin(); e != fields.edited.cend(); ++e)
        setField(root, e.key(), e.value());
    return true;
}

bool MemberFiles::SaveMemberDoc(int n)
{
    xmlclass *xml = store();
    const int index = XmlIndex::Manager + n;
    if (!xml)
        return false;
    // A member file has two writers, the member and the manager's hand-over: each puts only its
    // own edits into the file as it is now. The group file is the manager's alone: a copy older
    // than the file is refused by the store, the edits kept.
    if (n == 0 || !xml->HasDoc(index)) {
        if (xml->SaveXmlDoc(index) != 1)
            return false;
    } else if (xml->SaveMerging(index, [this, n] {
                   return readAgain(n) ? xmlclass::Merge::Merged : xmlclass::Merge::Refused;
               }) != 1) {
        return false;
    }
    if (auto it = m_fields.find(index); it != m_fields.end()) {
        for (auto e = it->edited.cbegin(); e != it->edited.cend(); ++e)
            it->shown.insert(e.key(), e.value());
        it->edited.clear();
    }
    return true;
}

bool MemberFiles::HasMemberRoot(int n) const
{
    xmlclass *xml = store();
    QDomDocument *doc = xml ? xml->GetXmlDoc(XmlIndex::Manager + n) : nullptr;
    return doc && doc->documentElement().tagName() == kRoot;
}

bool MemberFiles::WriteMarker(int n, const QString &state)
{
    return SafeFile::WriteUtf8(MarkerPath(n), state);
}

bool MemberFiles::WriteNotes(int n, const QString &text)
{
    // The same member may have the notes open on another desktop: never written over its save.
    return TextFiles::Write(NotesPath(n), text);
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

QString MemberFiles::LongIdentity(const QString &name, const QString &address)
{
    for (const QString &value : {name, address}) {
        if (LongValue::Exceeds(value))
            return QCoreApplication::translate(
                       "MemberFiles", "%1 holds more than %2 characters: no name or address is that long")
                .arg(LongValue::Shown(value))
                .arg(LongValue::MaxChars);
    }
    return QString();
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
