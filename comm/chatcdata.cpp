#include "comm/chatcdata.h"

#include "core/decimalid.h"
#include "core/safefile.h"
#include "core/sharedxml.h"
#include "core/xmltext.h"
#include "members/memberinfo.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace
{
const QString TimeFormat = QStringLiteral("hh:mm:ss");
const QString StampFormat = QStringLiteral("yyyy/MM/dd hh:mm:ss");
// What a deletion adds to a message's element: MDTIME="yyyy/MM/dd hh:mm:ss".
const qint64 DeletionBytes = 40;

// An attribute value as QDom escapes it: an escaped character takes at most six bytes ("&quot;").
qint64 attributeBytes(const QString &value)
{
    qint64 bytes = XmlText::CleanUtf8Size(value);
    for (const QChar c : value) {
        if (c == QLatin1Char('<') || c == QLatin1Char('&') || c == QLatin1Char('"') ||
            c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
            bytes += 5;
    }
    return bytes;
}

// What a CASE takes as the writer lays it out, indented by four on a line of its own with its
// CDATA sections inline.
qint64 elementBytes(const QDomElement &element)
{
    const qint64 tag = element.tagName().size();
    qint64 bytes = 4 + 1 + tag;
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.size(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        bytes += 4 + attribute.name().size() + attributeBytes(attribute.value());
    }
    bool children = false;
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling()) {
        children = true;
        const QString data =
            child.isCDATASection() ? child.toCDATASection().data() : child.toCharacterData().data();
        bytes += 12 + XmlText::CleanUtf8Size(data);
    }
    return bytes + (children ? 1 + tag + 4 : 3);
}
} // namespace

ChatCdata::ChatCdata(QObject *parent) : QObject(parent) {}

ChatCdata::~ChatCdata()
{
    Reset();
}

bool ChatCdata::SafeAccount(const QString &account)
{
    return !account.isEmpty() && !account.contains(QLatin1Char('/')) &&
           !account.contains(QLatin1Char('\\')) && !account.contains(QLatin1Char(':')) &&
           !account.contains(QLatin1String(".."));
}

QString ChatCdata::DayFileName(const QString &account, const QDate &date)
{
    return account + QStringLiteral("___") + date.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral(".cht");
}

QString ChatCdata::ChatFolder() const
{
    return GetStrVar(RegSlot::StrInstanceDir) + QStringLiteral("/chat/");
}

void ChatCdata::OpenToday(const QString &account)
{
    OpenDay(account, QDate::currentDate());
}

ChatDay *ChatCdata::OpenDay(const QString &account, const QDate &date)
{
    if (!SafeAccount(account))
        return nullptr;
    const QString path = ChatFolder() + DayFileName(account, date);
    ChatAccount *entry = GetAccount(account);
    ChatDay *day = GetDay(entry, date);
    const bool hadPath = !day->Path.isEmpty();
    day->Path = path;
    // An existing file is only written back once it was read: until then the day has no
    // document, so nothing can replace it. A day that already holds records keeps its document:
    // they are what its file is to hold.
    if (!day->IdTable.isEmpty() && (hadPath || !QFileInfo::exists(path)))
        return day;
    if (!QFileInfo::exists(path)) {
        day->Doc = NewDayDocument(date);
        day->FileBytes = day->AddedBytes = 0;
    } else if (day->IdTable.isEmpty() && day->Users.isEmpty())
        day->Doc = QDomDocument();
    return day;
}

ChatAccount *ChatCdata::GetAccount(const QString &account)
{
    ChatAccount *&entry = m_accounts[account];
    if (!entry)
        entry = new ChatAccount;
    return entry;
}

ChatDay *ChatCdata::GetDay(ChatAccount *entry, const QDate &date)
{
    ChatDay *&day = entry->Days[date];
    if (!day) {
        day = new ChatDay;
        day->Date = date;
        QDomDocument doc;
        QDomElement root = doc.createElement(QStringLiteral("Root_Chat"));
        root.setAttribute(QStringLiteral("MaxID"), QStringLiteral("0"));
        root.setAttribute(QStringLiteral("DATE"), date.toString(QStringLiteral("yyyy/MM/dd")));
        doc.appendChild(root);
        day->Doc = doc;
    }
    return day;
}

ChatDay *ChatCdata::FindDay(const QString &account, const QDate &date)
{
    return GetDay(GetAccount(account), date);
}

ChatDay *ChatCdata::LookupDay(const QString &account, const QDate &date) const
{
    const ChatAccount *entry = m_accounts.value(account);
    return entry ? entry->Days.value(date) : nullptr;
}

QDomDocument ChatCdata::NewDayDocument(const QDate &date)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("Root_Chat"));
    root.setAttribute(QStringLiteral("MaxID"), QStringLiteral("0"));
    root.setAttribute(QStringLiteral("DATE"), date.toString(QStringLiteral("yyyy/MM/dd")));
    QDomElement users = doc.createElement(QStringLiteral("USERS"));
    users.setAttribute(QStringLiteral("MaxID"), QStringLiteral("0"));
    root.appendChild(users);
    doc.appendChild(root);
    return doc;
}

QDomDocument ChatCdata::GetDayDocument(ChatAccount *entry, const QDate &date)
{
    ChatDay *day = GetDay(entry, date);
    if (day->Doc.isNull())
        day->Doc = NewDayDocument(date);
    return day->Doc;
}

void ChatCdata::SetDayDocument(ChatAccount *entry, const QDate &date, const QDomDocument &doc)
{
    GetDay(entry, date)->Doc = doc;
}

ChatRecord *ChatCdata::newRecord()
{
    auto *record = new ChatRecord;
    record->Seq = ++m_counter;
    m_records.insert(record->Seq, record);
    return record;
}

ChatRecord *ChatCdata::take(QList<int> &queue, ChatRecord *&current)
{
    current = queue.isEmpty() ? nullptr : m_records.value(queue.takeFirst());
    return current;
}

void ChatCdata::QueueModified(ChatRecord *record)
{
    if (record)
        m_modQueue << record->Seq;
}

void ChatCdata::SortByTime()
{
    std::stable_sort(
        m_timeList.begin(), m_timeList.end(),
        [](const QPair<int, QDateTime> &a, const QPair<int, QDateTime> &b) { return a.second < b.second; });
}

int ChatCdata::GetUserNo(const QString &account, const QDate &date)
{
    return FindDay(account, date)->AccountNo.value(account, -1);
}

int ChatCdata::GetRecipientNo(const QString &sender, const QDate &date, const QString &member)
{
    return FindDay(sender, date)->AccountNo.value(member, 0);
}

void ChatCdata::SyncUsers(const QString &account, const QDate &date)
{
    ChatDay *day = FindDay(account, date);
    const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    if (!table)
        return;
    QSet<QString> seen;
    for (const MemberInfo *member : *table) {
        if (seen.contains(member->Email))
            continue;
        seen.insert(member->Email);
        const int number = day->AccountNo.value(member->Email, -1);
        if (number != -1) {
            if (day->Users.value(number).Name != member->Name)
                day->Users[number] = ChatUser{member->Email, member->Name};
            continue;
        }
        // With no number left the member is named by no message of the day, rather than by another's.
        if (day->UserMaxID >= DecimalId::Ceiling)
            continue;
        ++day->UserMaxID;
        day->Users.insert(day->UserMaxID, ChatUser{member->Email, member->Name});
        day->AccountNo.insert(member->Email, day->UserMaxID);
    }
}

void ChatCdata::writeUsers(ChatDay *day, int owner)
{
    QDomElement users = day->Doc.documentElement().firstChildElement(QStringLiteral("USERS"));
    if (users.isNull())
        return;
    users.setAttribute(QStringLiteral("OwnerID"), owner);
    users.setAttribute(QStringLiteral("MaxID"), day->UserMaxID);
    // The members this program numbers are written anew; what it does not (a USER without a
    // decimal ID, another element, a comment) belongs to another program and stays as it was.
    for (QDomNode node = users.firstChild(); !node.isNull();) {
        const QDomNode next = node.nextSibling();
        const QDomElement user = node.toElement();
        if (user.tagName() == QLatin1String("USER") && DecimalId::IsId(user.attribute(QStringLiteral("ID"))))
            users.removeChild(node);
        node = next;
    }
    for (auto it = day->Users.cbegin(); it != day->Users.cend(); ++it) {
        QDomElement user = day->Doc.createElement(QStringLiteral("USER"));
        user.setAttribute(QStringLiteral("ACCOUNT"), XmlText::Clean(it->Account));
        user.setAttribute(QStringLiteral("NAME"), XmlText::Clean(it->Name));
        user.setAttribute(QStringLiteral("ID"), it.key());
        users.appendChild(user);
    }
}

void ChatCdata::addCaseElement(ChatDay *day, ChatRecord *record)
{
    QDomElement element = day->Doc.createElement(QStringLiteral("CASE"));
    record->Element = element;
    QStringList numbers;
    for (int n : qAsConst(record->Recipients))
        numbers << QString::number(n);
    element.setAttribute(QStringLiteral("TYPE"), record->Type);
    element.setAttribute(QStringLiteral("ID"), record->ID);
    element.setAttribute(QStringLiteral("MID"), numbers.join(QLatin1Char(',')));
    element.setAttribute(QStringLiteral("TIME"), record->Time.toString(TimeFormat));
    if (record->Type == 0)
        XmlText::AppendCData(day->Doc, element, record->Text);
    if (record->Type != 0)
        element.setAttribute(QStringLiteral("MDTIME"), record->ModTime.toString(StampFormat));
    if (record->Type == 2) {
        element.setAttribute(QStringLiteral("DSTNO"), record->AnsweredID);
        element.setAttribute(QStringLiteral("DSTMSG"), record->Kind);
    }
    day->Doc.documentElement().appendChild(element);
    if (day->CountedRoot == day->Doc.documentElement())
        ++day->Cases;
}

int ChatCdata::countCases(const QDomElement &root, int stop)
{
    int count = 0;
    for (QDomElement item = root.firstChildElement(QStringLiteral("CASE")); !item.isNull() && count < stop;
         item = item.nextSiblingElement(QStringLiteral("CASE")))
        ++count;
    return count;
}

qint64 ChatCdata::caseBytes(const QString &text, int recipients)
{
    // The element on its line, indented, with every attribute a message or a response carries
    // (about 110 bytes), its CDATA sections, recipients of nine digits.
    const qint64 sections = text.count(QStringLiteral("]]>")) + 1;
    return XmlText::CleanUtf8Size(text) + sections * 12 + qint64(recipients) * 10 + 160;
}

qint64 ChatCdata::dayBytes(const ChatDay *day)
{
    // The members are counted whole on top of the file, which held some of them: USERS is written
    // anew with every message. An attribute's character takes at most six bytes ("&quot;").
    qint64 users = 512; // the declaration, the root and USERS with their attributes
    for (const ChatUser &user : day->Users)
        users += 64 + 6 * qint64(user.Account.size() + user.Name.size());
    return day->FileBytes + day->AddedBytes + users;
}

// Whether the day's file, with one more CASE (of the text, for a message), is still one the reader
// takes: a file it refused would take the user's messages of the day from every member.
bool ChatCdata::roomFor(ChatDay *day, const QString &text, int recipients)
{
    const QDomElement root = day->Doc.documentElement();
    if (day->CountedRoot != root) {
        day->Cases = countCases(root, MaxDayEntries + 1);
        day->CountedRoot = root;
    }
    if (day->Cases >= MaxDayEntries) {
        m_refusal = tr("%1 holds %2 messages, as many as the chat file of a day takes")
                        .arg(day->Path)
                        .arg(day->Cases);
        return false;
    }
    if (day->Users.size() > MaxDayUsers) {
        m_refusal = tr("%1 names more than %2 members, more than the chat file of a day takes")
                        .arg(day->Path)
                        .arg(MaxDayUsers);
        return false;
    }
    if (text.count(QStringLiteral("]]>")) >= MaxTextSections) {
        m_refusal = tr("its text holds \"]]>\" more than %1 times").arg(MaxTextSections - 1);
        return false;
    }
    const qint64 bytes = XmlText::CleanUtf8Size(text);
    if (bytes > MaxTextBytes) {
        m_refusal = tr("its text takes %1 bytes, more than the %2 a chat message may take")
                        .arg(bytes)
                        .arg(MaxTextBytes);
        return false;
    }
    // Every message of the day may still be deleted, which lengthens its element.
    if (dayBytes(day) + qint64(day->Cases) * DeletionBytes + caseBytes(text, recipients) >
        SafeFile::MaxReadBytes) {
        m_refusal = tr("%1 would grow past %2 bytes, more than the chat file of a day takes")
                        .arg(day->Path)
                        .arg(SafeFile::MaxReadBytes);
        return false;
    }
    if (day->MaxID >= DecimalId::Ceiling) {
        m_refusal = DecimalId::ExhaustedMessage(day->Path);
        return false;
    }
    return true;
}

int ChatCdata::AddMessage(const QDate &date, const QString &account, int author, const QList<int> &recipients,
                          const QString &text, bool own, const QDateTime &time)
{
    m_refusal = tr("no chat file");
    ChatAccount *entry = m_accounts.value(account);
    if (!entry)
        return 0;
    ChatDay *day = GetDay(entry, date);
    // The first message after midnight may come before anyone opened the new day: it is opened
    // here, or the message would live in a day without a file.
    if (own && day->Path.isEmpty())
        OpenDay(account, date);
    // Without a document (its file not read yet, or unreadable) the message could not be written.
    if (day->Doc.isNull() || day->Path.isEmpty()) {
        if (!day->Refused.isEmpty())
            m_refusal = day->Refused;
        return 0;
    }
    // What is shown is what every member reads back from the file.
    const QString clean = XmlText::Clean(text);
    if (!roomFor(day, clean, recipients.size()))
        return 0;
    m_refusal.clear();
    ChatRecord *record = newRecord();
    record->ID = ++day->MaxID;
    record->Author = author;
    record->Time = time.isValid() ? time : QDateTime::currentDateTime();
    record->Text = clean;
    day->IdTable.insert(record->ID, record->Seq);
    record->Owner = entry;
    record->Recipients = recipients;
    record->Account = account;
    record->Own = own;
    record->Type = 0;
    record->Day = day;
    day->Doc.documentElement().setAttribute(QStringLiteral("MaxID"), record->ID);
    writeUsers(day, author);
    addCaseElement(day, record);
    // What it really takes: the check's bound would leave room unused until the next write.
    day->AddedBytes += elementBytes(record->Element);
    day->Dirty = true;
    if (own)
        MarkPending(day, record);
    m_newQueue << record->Seq;
    return record->Seq;
}

bool ChatCdata::AddResponse(const QDate &date, const QString &account, int kind, int seq)
{
    m_refusal.clear();
    ChatAccount *entry = m_accounts.value(account);
    ChatRecord *answered = m_records.value(seq);
    if (!entry || !answered)
        return false;
    ChatDay *day = GetDay(entry, date);
    if (day->Path.isEmpty())
        OpenDay(account, date);
    // A member who joined after the day's table was written has no number yet: without one the
    // response would name nobody and be lost to its author.
    if (!day->AccountNo.contains(answered->Account))
        SyncUsers(account, date);
    const int number = day->AccountNo.value(answered->Account, 0);
    const QString key = QString::number(number) + QLatin1Char('_') + QString::number(answered->ID);
    if (day->ResponseKeys.contains(key)) {
        ChatRecord *response = m_records.value(day->IdTable.value(day->ResponseKeys.value(key)));
        if (!response)
            return false;
        response->Kind = kind;
        response->ModTime = QDateTime::currentDateTime();
        response->Element.setAttribute(QStringLiteral("DSTMSG"), kind);
        day->Dirty = true;
        MarkPending(day, response);
        m_respQueue << response->Seq;
        return true;
    }
    if (day->Doc.isNull() || !roomFor(day, QString(), 1)) {
        if (day->Doc.isNull())
            m_refusal = day->Refused.isEmpty() ? tr("no chat file") : day->Refused;
        return false;
    }
    ChatRecord *response = newRecord();
    response->ID = ++day->MaxID;
    response->Author = qMax(0, day->AccountNo.value(account, 0));
    day->IdTable.insert(response->ID, response->Seq);
    response->Owner = entry;
    response->Type = 2;
    response->Row = answered->Row;
    response->Account = account;
    response->Own = true;
    response->Time = answered->Time;
    response->ModTime = QDateTime::currentDateTime();
    response->Recipients = {number};
    response->Kind = kind;
    response->AnsweredID = answered->ID;
    response->AnsweredAccount = answered->Account;
    response->Day = day;
    day->ResponseKeys.insert(key, response->ID);
    day->Doc.documentElement().setAttribute(QStringLiteral("MaxID"), response->ID);
    writeUsers(day, response->Author);
    addCaseElement(day, response);
    day->AddedBytes += elementBytes(response->Element);
    day->Dirty = true;
    MarkPending(day, response);
    m_respQueue << response->Seq;
    return true;
}

bool ChatCdata::saveDay(ChatDay *day)
{
    m_saveRefusal.clear();
    // A day without a file has nowhere to go: with records in it, that is a failed save.
    if (day->Path.isEmpty())
        return !day->Dirty;
    // A day whose file exists but was never read (it could not be opened) is not replaced by an
    // empty document; with the user's records in it, that is a failed save.
    if (day->Doc.isNull() && QFileInfo::exists(day->Path)) {
        if (day->Dirty)
            m_saveRefusal =
                tr("%1 could not be read: the messages of its day are not written").arg(day->Path);
        return !day->Dirty;
    }
    if (day->Doc.isNull())
        day->Doc = NewDayDocument(day->Date);
    if (!day->Doc.firstChild().isProcessingInstruction())
        day->Doc.insertBefore(
            day->Doc.createProcessingInstruction(QStringLiteral("xml"),
                                                 QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")),
            day->Doc.firstChild());
    const QByteArray bytes = day->Doc.toByteArray(4);
    // The sends are held to the reader's limit; a file read that was laid out otherwise (a hand
    // edit) may still grow past it when written, and is then kept as it is.
    if (bytes.size() > SafeFile::MaxReadBytes) {
        m_saveRefusal = tr("%1 would take %2 bytes, more than the chat file of a day takes: not written")
                            .arg(day->Path)
                            .arg(bytes.size());
        return false;
    }
    // The chat folder is made inside the workspace folder only: a workspace folder that is gone
    // (an unmounted share) is never made again here, and the write fails with its reason.
    const QDir workspace(GetStrVar(RegSlot::StrInstanceDir));
    if (workspace.exists() && !workspace.exists(QStringLiteral("chat")))
        workspace.mkdir(QStringLiteral("chat"));
    // Only what reads back, over the file the document was made from; a read-only mark of the
    // user's own is cleared first.
    QString why;
    const SharedXml::Written written =
        SharedXml::Write(day->Path, bytes, day->Seen, SafeFile::MakeWritable, &why, MaxDayNodes);
    if (written != SharedXml::Written::Yes) {
        if (written != SharedXml::Written::Failed)
            m_saveRefusal = why;
        return false;
    }
    day->Seen = SafeFile::Seen::Of(bytes);
    day->FileBytes = bytes.size();
    day->AddedBytes = 0;
    return true;
}

bool ChatCdata::SaveAll()
{
    ChatAccount *entry = m_accounts.value(GetStrVar(RegSlot::StrUserEmail));
    if (!entry)
        return true;
    const QDate today = QDate::currentDate();
    const bool failedBefore = m_unsaved;
    QStringList failed;
    for (ChatDay *day : qAsConst(entry->Days)) {
        if (day->Date != today && !day->Dirty)
            continue;
        // The day stays dirty until its file is written: a day that failed on a full disk is
        // written once there is room again, not dropped.
        if (!saveDay(day)) {
            // Told once per failure, not on every retry: the flag is the main window's.
            if (!failedBefore || !m_failedPaths.contains(day->Path))
                SetBoolVar(RegSlot::FlagWriteFailed, true);
            // Written on the chat worker: the window shows it with its other notes.
            const bool refused = !m_saveRefusal.isEmpty() || SafeFile::LastRefused();
            const QString why = m_saveRefusal.isEmpty() ? SafeFile::LastError() : m_saveRefusal;
            if (refused && !m_notes.contains(why))
                m_notes << why;
            m_failedReason = refused ? QString() : why;
            failed << day->Path;
            settlePending(day, true);
            continue;
        }
        day->Dirty = false;
        settlePending(day, false);
    }
    m_unsaved = !failed.isEmpty();
    if (m_unsaved != failedBefore || (m_unsaved && failed != m_failedPaths))
        m_saveNews = true;
    m_failedPaths = failed;
    return !m_unsaved;
}

bool ChatCdata::NeedsSave() const
{
    const ChatAccount *entry = m_accounts.value(GetStrVar(RegSlot::StrUserEmail));
    if (!entry)
        return false;
    for (const ChatDay *day : entry->Days) {
        if (day->Dirty)
            return true;
    }
    return m_unsaved;
}

int ChatCdata::UnsavedCount() const
{
    int count = 0;
    for (const ChatRecord *record : m_records)
        count += record->Unsaved ? 1 : 0;
    return count;
}

void ChatCdata::MarkPending(ChatDay *day, const ChatRecord *record)
{
    if (day && record && !day->Pending.contains(record->Seq))
        day->Pending << record->Seq;
}

void ChatCdata::settlePending(ChatDay *day, bool unsaved)
{
    for (int seq : qAsConst(day->Pending)) {
        ChatRecord *record = m_records.value(seq);
        if (!record || record->Unsaved == unsaved)
            continue;
        record->Unsaved = unsaved;
        m_changedMarks << seq;
        m_saveNews = true;
    }
    if (!unsaved)
        day->Pending.clear();
}

ChatCdata::SaveNews ChatCdata::TakeSaveNews()
{
    SaveNews news;
    if (!m_saveNews)
        return news;
    news.Changed.swap(m_changedMarks);
    news.Failed = m_failedPaths;
    news.Reason = m_failedReason;
    news.Recovered = !m_unsaved;
    m_saveNews = false;
    return news;
}

QList<int> ChatCdata::ResponseCounts(const ChatRecord *message) const
{
    QList<int> counts{0, 0, 0, 0, 0, 0};
    for (int seq : message->Responses) {
        const ChatRecord *response = m_records.value(seq);
        if (response && response->Kind >= 0 && response->Kind <= 5)
            ++counts[response->Kind];
    }
    return counts;
}

QStringList ChatCdata::TakeNotes()
{
    QStringList notes;
    notes.swap(m_notes);
    return notes;
}

void ChatCdata::Reset()
{
    m_currentNew = m_currentMod = m_currentResp = nullptr;
    m_counter = 0;
    m_timeList.clear();
    m_newQueue.clear();
    m_modQueue.clear();
    m_respQueue.clear();
    for (ChatAccount *entry : qAsConst(m_accounts)) {
        qDeleteAll(entry->Days);
        delete entry;
    }
    m_accounts.clear();
    qDeleteAll(m_records);
    m_records.clear();
    m_unsaved = false;
    m_saveNews = false;
    m_failedPaths.clear();
    m_changedMarks.clear();
    m_recheck.clear();
    ++m_generation;
}
