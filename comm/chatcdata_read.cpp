#include "comm/chatcdata.h"

#include "core/decimalid.h"
#include "core/globalmutex.h"
#include "core/longvalue.h"
#include "core/safefile.h"
#include "core/sharedxml.h"
#include "core/uireport.h"
#include "core/xmltext.h"
#include "members/memberinfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QSet>

namespace
{
const QString StampFormat = QStringLiteral("yyyy/MM/dd hh:mm:ss");

// The general date parser looks up the local time zone several times per call (glibc reads
// /etc/localtime each time): eight times per message, most of a day file's load. A stamp of
// the usual shape is read here with one look-up; anything else goes to the general parser.
QDateTime stamp(const QString &text)
{
    static const QString shape = QStringLiteral("dddd/dd/dd dd:dd:dd");
    bool plain = text.size() == shape.size();
    for (int i = 0; plain && i < shape.size(); ++i) {
        const QChar c = text.at(i);
        plain = shape.at(i) == QLatin1Char('d') ? (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                                                : c == shape.at(i);
    }
    if (!plain)
        return QDateTime::fromString(text, StampFormat);
    const auto number = [&](int from, int length) { return text.midRef(from, length).toInt(); };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    return date.isValid() && time.isValid() ? QDateTime(date, time) : QDateTime();
}
} // namespace

ChatCdata::DayRead::DayRead(MemberInfo *member, int key, const QString &folder, const QDate &date)
    : Member(member), Key(key), Account(member->Email), Date(date), Path(folder + DayFileName(Account, date))
{
}

bool ChatCdata::LoadFile(bool full, const QDate &date, const QString &path, bool own, MemberInfo *member)
{
    DayRead read;
    read.Member = member;
    read.Account = member->Email;
    read.Date = date;
    read.Path = path;
    read.Own = own;
    readDay(read, full);
    return mergeDay(read, full);
}

// The half of a read that needs no lock and touches nothing of the store: the file's bytes and
// tree. A poll leaves a file alone whose time it knows, unless that time was recent.
void ChatCdata::readDay(DayRead &read, bool full)
{
    const QFileInfo info(read.Path);
    if (!info.exists()) {
        read.Result = DayRead::Absent;
        return;
    }
    read.Modified = info.lastModified();
    if (!full && read.Known.isValid() && !(read.Known < read.Modified) && !read.Recheck) {
        read.Result = DayRead::Unchanged;
        return;
    }
    // A pipe under a day's name would hold the chat worker for good, a day file of gigabytes end
    // the program: both are named in the window's notes, and the day keeps no document.
    QByteArray bytes;
    if (!SafeFile::ReadAll(read.Path, &bytes)) {
        read.Result = SafeFile::LastRefused() ? DayRead::Refused : DayRead::Failed;
        read.Note = SafeFile::LastError();
        return;
    }
    // Only the user's own day is written back: the others' are polled, and not hashed.
    if (read.Own)
        read.Seen = SafeFile::Seen::Of(bytes);
    QString message;
    int line = 0;
    int column = 0;
    SharedXml::Counted counted;
    if (!SharedXml::SetContent(read.Doc, bytes, &message, &line, &column, MaxDayNodes, &counted)) {
        read.Doc = QDomDocument();
        // A file of more than a day holds, or one that declares entities, is refused for what it
        // would cost, not damaged: another member's work, or the user's own of an earlier program,
        // kept as it is and never set aside.
        read.Result = counted.crowded || counted.entities ? DayRead::Refused : DayRead::Broken;
        read.Note =
            UiReport::LeftOutLine(read.Path, tr("line %1, column %2: %3").arg(line).arg(column).arg(message));
        return;
    }
    // A member's name of megabytes costs a minute where it is laid out; the names come from the
    // group file, which never holds one this long. Messages are not judged here: a text is no value.
    if (!LongValue::Check(bytes, &message, &line, &column, QByteArrayLiteral("CASE"))) {
        read.Doc = QDomDocument();
        read.Result = DayRead::Refused;
        read.Note =
            UiReport::LeftOutLine(read.Path, tr("line %1, column %2: %3").arg(line).arg(column).arg(message));
        return;
    }
    // The tree is bounded by its nodes; what a file costs beyond is its messages, counted as
    // elements: a text may well hold "<CASE".
    if (countCases(read.Doc.documentElement(), MaxDayEntries + 1) > MaxDayEntries) {
        read.Doc = QDomDocument();
        read.Result = DayRead::Refused;
        read.Note = UiReport::LeftOutLine(
            read.Path,
            tr("more than %1 messages, more than one member's chat of a day holds").arg(MaxDayEntries));
        return;
    }
    read.Bytes = bytes.size();
    read.Result = DayRead::Parsed;
}

// The half of a read that takes the file into the store, under the chat lock and mutex 0.
bool ChatCdata::mergeDay(DayRead &read, bool full)
{
    MemberInfo *member = read.Member;
    const QDate date = read.Date;
    if (read.Result == DayRead::Unchanged)
        return false;
    if (read.Result == DayRead::Absent) {
        if (read.Own) {
            ChatDay *day = GetDay(GetAccount(member->Email), date);
            SyncUsers(member->Email, date);
            day->Path = read.Path;
            // A message sent before this first read is already in the day's document: a new
            // one would drop it from the file.
            if (day->IdTable.isEmpty()) {
                day->Doc = NewDayDocument(date);
                day->FileBytes = day->AddedBytes = 0;
                day->Seen = SafeFile::Seen::Absent();
            }
        }
        return false;
    }
    member->ChatFlag = true;
    if (read.Result == DayRead::Failed)
        return false;
    if (read.Result == DayRead::Refused) {
        if (!read.Note.isEmpty() && !m_notes.contains(read.Note))
            m_notes << read.Note;
        if (read.Own) {
            // Nothing is written over the user's own file: a message sent is refused, saying why.
            ChatDay *day = GetDay(GetAccount(member->Email), date);
            day->Path = read.Path;
            if (day->IdTable.isEmpty())
                day->Doc = QDomDocument();
            day->Refused = read.Note;
        }
        // Read again only once it changed: a refusal costs the whole read every time.
        member->ChatTimes.insert(date, read.Modified);
        noteRead(read.Path, read.Modified);
        return false;
    }
    ChatAccount *entry = GetAccount(member->Email);
    ChatDay *day = GetDay(entry, date);
    day->Path = read.Path;
    entry->OwnFile = read.Own;
    if (read.Result == DayRead::Broken) {
        // Only today's own file is ever written back; an earlier day's stays as it is.
        if (read.Own && date == QDate::currentDate())
            setAside(read.Path, date, member);
        else if (!read.Own && full)
            m_notes << read.Note;
        return false;
    }
    // Another kind of file under a member's day file name holds none of that member's messages.
    const QString root = read.Doc.documentElement().tagName();
    if (!read.Own && root != QLatin1String("Root_Chat")) {
        if (full)
            m_notes << UiReport::LeftOutLine(read.Path,
                                             UiReport::WrongRoot(root, QStringLiteral("Root_Chat")));
        return false;
    }
    readDocument(full, read.Doc, read.Own, member, day);
    day->Doc = read.Own ? read.Doc : QDomDocument();
    if (read.Own)
        day->Seen = read.Seen;
    // Written back indented as read (the file is this program's), or the first save says otherwise.
    day->FileBytes = read.Bytes;
    day->AddedBytes = 0;
    day->Refused.clear();
    read.Doc = QDomDocument();
    // Remembered only once the file was read whole: a file caught half-written is read again.
    member->ChatTimes.insert(date, read.Modified);
    noteRead(read.Path, read.Modified);
    return true;
}

// The member a read was taken for is still in the table, under the same address: a record the
// manager removed or replaced meanwhile is not written to.
bool ChatCdata::stillMember(const DayRead &read) const
{
    const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    return table && table->value(read.Key) == read.Member && read.Member->Email == read.Account;
}

// A share may count file times in whole seconds (or two), and clocks of other machines differ: a
// write soon after our read can keep the time we remembered, and would wait for the member's next
// message. A file read while its time was that recent is read again until the time lies behind.
void ChatCdata::noteRead(const QString &path, const QDateTime &modified)
{
    const qint64 recentMs = 3000;
    if (modified.msecsTo(QDateTime::currentDateTime()) < recentMs)
        m_recheck.insert(path);
    else
        m_recheck.remove(path);
}

// The user's own day file that does not parse would be overwritten by the next message: it is
// moved aside first, and the day starts anew.
void ChatCdata::setAside(const QString &path, const QDate &date, MemberInfo *member)
{
    const QString aside = path + QStringLiteral(".damaged-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    if (!QFile::rename(path, aside)) {
        m_notes << tr("chat file is damaged and could not be moved: %1").arg(path);
        return; // the day keeps no document, so the file is not written over
    }
    m_notes << tr("chat file was damaged and moved to %1").arg(aside);
    ChatDay *day = GetDay(GetAccount(member->Email), date);
    SyncUsers(member->Email, date);
    day->Doc = NewDayDocument(date);
    day->FileBytes = day->AddedBytes = 0;
}

namespace
{
// The last number a counter fed with a file's numbers stands at: the next is one above.
int lastNumber(const DecimalId::Counter &counter)
{
    return counter.HasNext() ? counter.Peek() - 1 : DecimalId::Ceiling;
}
} // namespace

void ChatCdata::readDocument(bool full, const QDomDocument &doc, bool own, MemberInfo *member, ChatDay *day)
{
    const QDomElement root = doc.documentElement();
    // The file's MaxID is a claim: a hand edit, or a read that met a rewrite half old and half new,
    // leaves it behind the CASEs. Their IDs decide, refused ones included (the chat's MaxID is the
    // last number given, not the next).
    DecimalId::Counter ids;
    ids.SeeId(root.attribute(QStringLiteral("MaxID")));
    for (QDomElement element = root.firstChildElement(QStringLiteral("CASE")); !element.isNull();
         element = element.nextSiblingElement(QStringLiteral("CASE")))
        ids.SeeId(element.attribute(QStringLiteral("ID")));
    day->MaxID = qMax(day->MaxID, lastNumber(ids));
    if (root.attribute(QStringLiteral("DATE"), QStringLiteral("0")) == QLatin1String("0"))
        return;
    const QDomElement users = root.firstChildElement(QStringLiteral("USERS"));
    readUsers(users, day);
    if (own)
        SyncUsers(member->Email, day->Date);
    if (users.isNull())
        return;
    CaseRead read;
    read.Full = full;
    read.Own = own;
    read.Account = member->Email;
    read.Author = qMax(0, DecimalId::Value(users.attribute(QStringLiteral("OwnerID"))));
    for (QDomElement element = root.firstChildElement(QStringLiteral("CASE")); !element.isNull();
         element = element.nextSiblingElement(QStringLiteral("CASE")))
        readCase(element, read, day);
    if (full)
        return;
    const int flags[3] = {RegSlot::FlagChatSend, RegSlot::FlagChatWindowRequest, RegSlot::FlagChatResponse};
    auto *wake = GetObj<QSemaphore>(RegSlot::ObjChatWakeSem);
    for (int i = 0; i < 3; ++i) {
        if (read.Counts[i] == 0)
            continue;
        SetBoolVar(flags[i], true);
        if (wake)
            wake->release(read.Counts[i]);
    }
}

// The members the day's file numbers. Its MaxID is a claim as the messages' is: a new member's
// number lies above every number the file gives, or it would take another's messages.
void ChatCdata::readUsers(const QDomElement &users, ChatDay *day)
{
    day->Users.clear();
    day->AccountNo.clear();
    if (users.isNull())
        return;
    DecimalId::Counter numbers;
    numbers.SeeId(users.attribute(QStringLiteral("MaxID")));
    for (QDomElement user = users.firstChildElement(QStringLiteral("USER")); !user.isNull();
         user = user.nextSiblingElement(QStringLiteral("USER"))) {
        numbers.SeeId(user.attribute(QStringLiteral("ID")));
        // A member without a number is named by no message; the element stays in the file.
        const int id = DecimalId::Value(user.attribute(QStringLiteral("ID")));
        if (id < 0)
            continue;
        const QString account = user.attribute(QStringLiteral("ACCOUNT"));
        day->Users.insert(id, ChatUser{account, user.attribute(QStringLiteral("NAME"))});
        day->AccountNo.insert(account, id);
    }
    day->UserMaxID = qMax(day->UserMaxID, lastNumber(numbers));
}

void ChatCdata::readCase(const QDomElement &element, CaseRead &read, ChatDay *day)
{
    const bool full = read.Full;
    const bool own = read.Own;
    // A CASE without a number is another program's: kept in the file, never shown or answered.
    const int id = DecimalId::Value(element.attribute(QStringLiteral("ID")));
    if (id < 0)
        return;
    const QString me = GetStrVar(RegSlot::StrUserEmail);
    QList<int> recipients;
    const QStringList parts =
        element.attribute(QStringLiteral("MID")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const int number = DecimalId::Value(part);
        if (number >= 0)
            recipients << number;
    }
    bool toMe = false;
    if (!own) {
        for (int n : qAsConst(recipients))
            toMe = toMe || (day->Users.contains(n) && day->Users.value(n).Account == me);
        if (!toMe)
            return;
    }
    const QString type = element.attribute(QStringLiteral("TYPE"), QStringLiteral("0"));
    // The how-manieth message of its ID and time this one is: one taken before is not taken again,
    // and a file that holds one twice shows both, on a poll as on a full read.
    QString key;
    int seen = 0;
    if (type == QLatin1String("0") || type == QLatin1String("1")) {
        key = QString::number(id) + QLatin1Char(' ') + element.attribute(QStringLiteral("TIME"));
        seen = ++read.Seen[key];
    }
    auto make = [&](int kind) {
        ChatRecord *record = newRecord();
        record->Type = kind;
        record->ID = id;
        if (own)
            record->Element = element;
        day->IdTable.insert(id, record->Seq);
        if (kind != 2 && seen > day->Taken.value(key))
            day->Taken.insert(key, seen);
        record->Account = read.Account;
        record->Author = read.Author;
        record->Own = own;
        // Read only for a record made: a poll passes over every message the file holds.
        const QString timeText = element.attribute(QStringLiteral("TIME"), QStringLiteral("0"));
        if (timeText != QLatin1String("0"))
            record->Time = stamp(element.ownerDocument().documentElement().attribute(QStringLiteral("DATE")) +
                                 QLatin1Char(' ') + timeText);
        record->Day = day;
        record->Recipients = recipients;
        return record;
    };
    if (type == QLatin1String("0")) {
        if (!full && (!toMe || seen <= day->Taken.value(key)))
            return;
        ChatRecord *record = make(0);
        // A text holding "]]>" is split over sections: all of them make the message.
        record->Text = XmlText::ReadCData(element);
        if (full)
            m_timeList << qMakePair(record->Seq, record->Time);
        else {
            m_newQueue << record->Seq;
            ++read.Counts[0];
        }
    } else if (type == QLatin1String("1")) {
        const QDateTime modified = stamp(element.attribute(QStringLiteral("MDTIME")));
        if (full) {
            ChatRecord *record = make(1);
            record->ModTime = modified;
            m_timeList << qMakePair(record->Seq, record->Time);
            return;
        }
        ChatRecord *record = m_records.value(day->IdTable.value(id));
        if (record && record->Type != 1) {
            record->ModTime = modified;
            m_modQueue << record->Seq;
            ++read.Counts[1];
        }
    } else if (type == QLatin1String("2")) {
        const QString dstNo = element.attribute(QStringLiteral("DSTNO"));
        const int answered = DecimalId::Value(dstNo);
        if (answered < 0)
            return;
        const int kind = element.attribute(QStringLiteral("DSTMSG")).toInt();
        const QString key = (recipients.isEmpty() ? QString() : QString::number(recipients.first())) +
                            QLatin1Char('_') + dstNo;
        const QDateTime modified = stamp(element.attribute(QStringLiteral("MDTIME")));
        if (!full && day->ResponseKeys.contains(key)) {
            ChatRecord *record = m_records.value(day->IdTable.value(day->ResponseKeys.value(key)));
            if (record && record->Kind != kind) {
                record->Kind = kind;
                record->ModTime = modified;
                m_respQueue << record->Seq;
                ++read.Counts[2];
            }
            return;
        }
        ChatRecord *record = make(2);
        record->ModTime = modified;
        record->AnsweredID = answered;
        record->Kind = kind;
        if (!recipients.isEmpty())
            record->AnsweredAccount = day->Users.value(recipients.first()).Account;
        day->ResponseKeys.insert(key, id);
        m_respQueue << record->Seq;
        ++read.Counts[2];
    }
}

// Reading half of a day's load; responses are tied to their messages here, the cells follow.
void ChatCdata::ReadDayFiles(const QDate &date)
{
    // Only read: a missing chat folder (or workspace folder) holds no day, and is not made here.
    const QString folder = ChatFolder();
    QList<DayRead> reads;
    int generation = 0;
    {
        MutexHold chat(MutexNo::Chat);
        generation = m_generation;
        MutexHold members(MutexNo::Members);
        const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
        const QString me = GetStrVar(RegSlot::StrUserEmail);
        QSet<QString> seen;
        for (auto it = table ? table->cbegin() : MemberTable::const_iterator(); table && it != table->cend();
             ++it) {
            const QString account = it.value()->Email;
            if (!account.contains(QLatin1Char('@')) || seen.contains(account) || !SafeAccount(account))
                continue;
            seen.insert(account);
            DayRead read(it.value(), it.key(), folder, date);
            // Another record under the user's own address still names the user's own file.
            read.Own = it.value()->OtherUser == 0 || account == me;
            reads << read;
        }
    }
    for (DayRead &read : reads)
        readDay(read, true);
    MutexHold chat(MutexNo::Chat);
    if (generation != m_generation)
        return; // the store was emptied meanwhile: what was read belongs to no open workspace
    {
        MutexHold members(MutexNo::Members);
        for (DayRead &read : reads) {
            if (stillMember(read))
                mergeDay(read, true);
        }
    }
    SortByTime();
    attachResponses(date);
}

void ChatCdata::attachResponses(const QDate &date)
{
    const QString me = GetStrVar(RegSlot::StrUserEmail);
    while (ChatRecord *response = TakeResponse()) {
        if (response->Own) {
            const ChatDay *day = LookupDay(response->AnsweredAccount, date);
            if (ChatRecord *message =
                    day ? m_records.value(day->IdTable.value(response->AnsweredID)) : nullptr)
                message->MyResponse = response->Seq;
            continue;
        }
        const ChatDay *day = LookupDay(me, date);
        ChatRecord *message = day ? m_records.value(day->IdTable.value(response->AnsweredID)) : nullptr;
        if (message && response->CountedIn != message->Seq) {
            message->Responses << response->Seq;
            response->CountedIn = message->Seq;
        }
    }
    m_currentResp = nullptr;
}

void ChatCdata::SetPollHook(std::function<void()> hook)
{
    MutexHold chat(MutexNo::Chat);
    m_pollHook = std::move(hook);
}

// What the poll needs of the store and the member records is taken under their locks first; the
// files are read and parsed with no lock held, for the window waits on both locks and the largest
// file taken is seconds of parsing; what was read is taken in under both locks again.
void ChatCdata::Poll()
{
    const QString folder = ChatFolder();
    const QString me = GetStrVar(RegSlot::StrUserEmail);
    const QDate today = QDate::currentDate();
    QList<DayRead> reads;
    int generation = 0;
    std::function<void()> hook;
    {
        MutexHold chat(MutexNo::Chat);
        generation = m_generation;
        hook = m_pollHook;
        QList<QDate> dates{m_pollDate.isValid() ? m_pollDate : today};
        if (today > dates.first())
            dates << today;
        MutexHold members(MutexNo::Members);
        const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
        QSet<QString> seen;
        for (auto it = table ? table->cbegin() : MemberTable::const_iterator(); table && it != table->cend();
             ++it) {
            const MemberInfo *member = it.value();
            const QString account = member->Email;
            if (member->OtherUser == 0 || account == me || seen.contains(account) || !SafeAccount(account))
                continue;
            seen.insert(account);
            for (const QDate &date : qAsConst(dates)) {
                DayRead read(it.value(), it.key(), folder, date);
                read.Known = member->ChatTimes.value(date);
                read.Recheck = m_recheck.contains(read.Path);
                reads << read;
            }
        }
    }
    if (hook)
        hook();
    for (DayRead &read : reads)
        readDay(read, false);
    MutexHold chat(MutexNo::Chat);
    if (generation != m_generation)
        return;
    MutexHold members(MutexNo::Members);
    for (DayRead &read : reads) {
        if (stillMember(read))
            mergeDay(read, false);
    }
}

ChatRecord *ChatCdata::ApplyModified(ChatRecord *record)
{
    if (!record)
        return nullptr;
    if (record->Own) {
        record->Type = 1;
        if (!record->Element.isNull()) {
            record->Element.setAttribute(QStringLiteral("TYPE"), QStringLiteral("1"));
            record->Element.setAttribute(QStringLiteral("MDTIME"), record->ModTime.toString(StampFormat));
        }
        if (record->Day) {
            record->Day->Dirty = true;
            MarkPending(record->Day, record);
        }
        return record;
    }
    ChatRecord *message = record->Day ? m_records.value(record->Day->IdTable.value(record->ID)) : nullptr;
    if (!message || message->Type == 1)
        return nullptr;
    message->Type = 1;
    message->ModTime = record->ModTime;
    return message;
}

ChatRecord *ChatCdata::ApplyResponse(ChatRecord *response)
{
    if (!response || !response->Day)
        return nullptr;
    const QString me = GetStrVar(RegSlot::StrUserEmail);
    const QDate date = response->Day->Date;
    if (response->Own) {
        ChatDay *own = FindDay(me, date);
        if (own->Users.isEmpty()) {
            MutexHold members(MutexNo::Members);
            SyncUsers(me, date);
        }
        const QString account = own->Users.value(response->Recipients.value(0)).Account;
        const ChatDay *day = LookupDay(account, date);
        ChatRecord *message = day ? m_records.value(day->IdTable.value(response->AnsweredID)) : nullptr;
        if (message)
            message->MyResponse = response->Seq;
        return message;
    }
    const ChatDay *own = LookupDay(me, date);
    ChatRecord *message = own ? m_records.value(own->IdTable.value(response->AnsweredID)) : nullptr;
    if (message && response->CountedIn != message->Seq) {
        message->Responses << response->Seq;
        response->CountedIn = message->Seq;
    }
    return message;
}
