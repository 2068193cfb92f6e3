#include "comm/chatcdata.h"
#include "core/decimalid.h"
#include "core/globalmutex.h"
#include "core/safefile.h"
#include "filesizelimit.h"
#include "members/memberinfo.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDomDocument>
#include <QSemaphore>
#include <QTemporaryDir>

// The chat store against real day files: what it writes, and what a read or a poll takes.
class tst_chatstore : public QObject, protected virtual globalvar
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void addMessage_writesDayFile_data();
    void addMessage_writesDayFile();
    void saveAll_todayAlways_otherDaysOnlyWhenDirty();
    void poll_data();
    void poll();
    void poll_halfWrittenFile_readOnceWhole();
    void poll_afterMidnight_readsBothDays();
    void poll_times_readAsTheDateParserReadsThem_data();
    void poll_times_readAsTheDateParserReadsThem();
    void ownDamagedFile_movedAside_dayStartsAnew();
    void accounts_sameTwiceOneNumber_unsafeNeverRead();
    void text_cdataEndAndForbidden_otherMemberAndRestartReadAll();
    void send_dayAtItsLimit_readBackWhole_nextRefused();
    void send_acrossMidnight_bothDaysOnDisk();
    void saveAll_dirtyDayWithoutFile_isFailure();
    void saveAll_ownFileRewrittenByOtherDesktop_notWrittenOverFailedNamed();
    void workspaceFolderGone_neitherReadNorSaveMakesItAgain();
    void saveAll_fullDisk_dayKeptDirtyAndMarked_writtenOnceRoom_data();
    void saveAll_fullDisk_dayKeptDirtyAndMarked_writtenOnceRoom();
    void firstRead_ownFileAbsent_keepsMessageSentBefore();
    void read_moreMessagesThanADayHolds_refusedNamedKept_data();
    void read_moreMessagesThanADayHolds_refusedNamedKept();
    void read_nameOfMegabytes_refusedMessageOfMegabytesRead();
    void read_maxIdBehindItsMessages_eachShownOnce_data();
    void read_maxIdBehindItsMessages_eachShownOnce();
    void send_ownMaxIdBehindItsMessages_newIdAboveEvery_data();
    void send_ownMaxIdBehindItsMessages_newIdAboveEvery();
    void join_ownUsersMaxIdBehindItsMembers_numberAboveEveryKeepsBen_data();
    void join_ownUsersMaxIdBehindItsMembers_numberAboveEveryKeepsBen();
    void send_textOfItsLimit_takenOneByteMoreRefused_data();
    void send_textOfItsLimit_takenOneByteMoreRefused();
    void send_dayOfTheReadersSize_readBackWholeNextRefused();

private:
    MemberInfo *member(const QString &account, const QString &name, bool own);
    QString path(const QString &account, const QDate &date = QDate::currentDate()) const
    {
        return m_dir->path() + QStringLiteral("/chat/") + ChatCdata::DayFileName(account, date);
    }
    // B's day file: users A=1, B=2, C=3, owner B, and the given CASE elements.
    QByteArray bFile(int maxId, const QByteArray &cases) const;
    // Messages "m<from>" to "m<to>" to A (user 1), each of its own number as ID.
    static QByteArray messages(int from, int to);
    // The texts of what a full read listed, and of what a poll queued (taken from the queue).
    static QStringList listed(const ChatCdata &store);
    static QStringList taken(ChatCdata &store);
    // The IDs of the elements of a tag the file holds, in order.
    QStringList ids(const QString &file, const QString &tag) const;

    std::unique_ptr<RegistryScope> m_scope;
    std::unique_ptr<QTemporaryDir> m_dir;
    GlobalMutex m_mutex;
    QSemaphore m_wake;
    MemberTable m_table;
};

void tst_chatstore::init()
{
    m_scope = std::make_unique<RegistryScope>();
    m_dir = std::make_unique<QTemporaryDir>();
    SetObj(RegSlot::ObjGlobalMutex, &m_mutex);
    SetObj(RegSlot::ObjChatWakeSem, &m_wake);
    SetStrVar(RegSlot::StrInstanceDir, m_dir->path());
    QDir().mkpath(m_dir->path() + QStringLiteral("/chat"));
    SetStrVar(RegSlot::StrUserEmail, QStringLiteral("a@x"));
    member(QStringLiteral("a@x"), QStringLiteral("Anna"), true);
    member(QStringLiteral("b@x"), QStringLiteral("Ben"), false);
    member(QStringLiteral("c@x"), QStringLiteral("Cleo"), false);
    SetObj(RegSlot::ObjMemberTable, &m_table);
    m_wake.tryAcquire(m_wake.available());
}

void tst_chatstore::cleanup()
{
    qDeleteAll(m_table);
    m_table.clear();
    m_scope.reset();
}

MemberInfo *tst_chatstore::member(const QString &account, const QString &name, bool own)
{
    auto *record = new MemberInfo;
    record->ID = m_table.size();
    record->Email = account;
    record->Name = name;
    record->OtherUser = own ? 0 : 1;
    m_table.insert(record->ID, record);
    return record;
}

QByteArray tst_chatstore::bFile(int maxId, const QByteArray &cases) const
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root_Chat MaxID=\"" + QByteArray::number(maxId) +
           "\" DATE=\"" + QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")).toLatin1() +
           "\"><USERS OwnerID=\"2\" MaxID=\"3\"><USER ACCOUNT=\"a@x\" NAME=\"Anna\" ID=\"1\"/>"
           "<USER ACCOUNT=\"b@x\" NAME=\"Ben\" ID=\"2\"/><USER ACCOUNT=\"c@x\" NAME=\"Cleo\" "
           "ID=\"3\"/></USERS>" +
           cases + "</Root_Chat>";
}

QByteArray tst_chatstore::messages(int from, int to)
{
    QByteArray cases;
    for (int n = from; n <= to; ++n)
        cases += "<CASE TYPE=\"0\" ID=\"" + QByteArray::number(n) +
                 "\" MID=\"1\" TIME=\"10:00:00\"><![CDATA[m" + QByteArray::number(n) + "]]></CASE>";
    return cases;
}

QStringList tst_chatstore::listed(const ChatCdata &store)
{
    QStringList texts;
    for (const auto &entry : store.GetTimeList())
        texts << store.Record(entry.first)->Text;
    return texts;
}

QStringList tst_chatstore::taken(ChatCdata &store)
{
    QStringList texts;
    while (const ChatRecord *record = store.TakeNew())
        texts << record->Text;
    return texts;
}

QStringList tst_chatstore::ids(const QString &file, const QString &tag) const
{
    QDomDocument doc;
    if (!doc.setContent(TestSupport::readFile(file)))
        return {QStringLiteral("unreadable")};
    QStringList found;
    const QDomNodeList items = doc.elementsByTagName(tag);
    for (int i = 0; i < items.size(); ++i)
        found << items.at(i).toElement().attribute(QStringLiteral("ID"));
    return found;
}

void tst_chatstore::addMessage_writesDayFile_data()
{
    QTest::addColumn<QList<int>>("recipients");
    QTest::addColumn<QString>("mid");
    QTest::newRow("two") << QList<int>{2, 5} << QStringLiteral("2,5");
    QTest::newRow("nobody") << QList<int>{} << QString();
}

void tst_chatstore::addMessage_writesDayFile()
{
    QFETCH(QList<int>, recipients);
    QFETCH(QString, mid);
    ChatCdata store;
    const QDate today = QDate::currentDate();
    store.OpenToday(QStringLiteral("a@x"));
    store.SyncUsers(QStringLiteral("a@x"), today);
    const int own = store.GetUserNo(QStringLiteral("a@x"), today);
    QVERIFY(store.AddMessage(today, QStringLiteral("a@x"), own, recipients, QStringLiteral("hi <&>\nthere"),
                             true));
    QCOMPARE(store.NewCount(), 1);
    store.SaveAll();
    QDomDocument doc;
    QVERIFY(doc.setContent(TestSupport::readFile(path(QStringLiteral("a@x")))));
    const QDomElement root = doc.documentElement();
    QCOMPARE(root.tagName(), QStringLiteral("Root_Chat"));
    QCOMPARE(root.attribute(QStringLiteral("MaxID")), QStringLiteral("1"));
    QCOMPARE(root.attribute(QStringLiteral("DATE")), today.toString(QStringLiteral("yyyy/MM/dd")));
    const QDomElement users = root.firstChildElement();
    QCOMPARE(users.tagName(), QStringLiteral("USERS"));
    QCOMPARE(users.attribute(QStringLiteral("OwnerID")), QString::number(own));
    QCOMPARE(users.attribute(QStringLiteral("MaxID")), QStringLiteral("3"));
    QCOMPARE(users.elementsByTagName(QStringLiteral("USER")).size(), 3);
    const QDomElement item = users.nextSiblingElement();
    QCOMPARE(item.tagName(), QStringLiteral("CASE"));
    QCOMPARE(item.attribute(QStringLiteral("TYPE")), QStringLiteral("0"));
    QCOMPARE(item.attribute(QStringLiteral("ID")), QStringLiteral("1"));
    QCOMPARE(item.attribute(QStringLiteral("MID")), mid);
    QVERIFY(QTime::fromString(item.attribute(QStringLiteral("TIME")), QStringLiteral("hh:mm:ss")).isValid());
    QVERIFY(item.firstChild().isCDATASection());
    QCOMPARE(item.firstChild().toCDATASection().data(), QStringLiteral("hi <&>\nthere"));
}

void tst_chatstore::saveAll_todayAlways_otherDaysOnlyWhenDirty()
{
    ChatCdata store;
    const QDate yesterday = QDate::currentDate().addDays(-1);
    store.OpenToday(QStringLiteral("a@x"));
    ChatDay *old = store.FindDay(QStringLiteral("a@x"), yesterday);
    old->Path = path(QStringLiteral("a@x"), yesterday);
    store.SaveAll();
    QVERIFY(QFile::exists(path(QStringLiteral("a@x"))));
    QVERIFY(!QFile::exists(old->Path));
    QFile::remove(path(QStringLiteral("a@x")));
    old->Dirty = true;
    store.SaveAll();
    QVERIFY(QFile::exists(path(QStringLiteral("a@x"))));
    QVERIFY(QFile::exists(old->Path));
    QVERIFY(!old->Dirty);
}

void tst_chatstore::poll_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QList<int>>("counts"); // new, modified, responses after the second poll
    QTest::addColumn<bool>("sameStamp");    // both written within one second of a coarse share
    const QByteArray m1 = "<CASE TYPE=\"0\" ID=\"1\" MID=\"1\" TIME=\"10:00:00\"><![CDATA[one]]></CASE>";
    const QByteArray m2 = "<CASE TYPE=\"0\" ID=\"2\" MID=\"1,3\" TIME=\"10:01:00\"><![CDATA[two]]></CASE>";
    const QByteArray m3 = "<CASE TYPE=\"0\" ID=\"3\" MID=\"3\" TIME=\"10:02:00\"><![CDATA[not mine]]></CASE>";
    const QByteArray d1 =
        "<CASE TYPE=\"1\" ID=\"1\" MID=\"1\" TIME=\"10:00:00\" MDTIME=\"2020/01/01 10:05:00\">"
        "<![CDATA[one]]></CASE>";
    QTest::newRow("two new in one poll") << bFile(0, "") << bFile(2, m1 + m2) << QList<int>{2, 0, 0} << false;
    QTest::newRow("not addressed") << bFile(0, "") << bFile(3, m3) << QList<int>{0, 0, 0} << false;
    QTest::newRow("MaxID not grown, a deletion")
        << bFile(1, m1) << bFile(1, d1) << QList<int>{0, 1, 0} << false;
    QTest::newRow("unchanged file") << bFile(1, m1) << QByteArray() << QList<int>{0, 0, 0} << false;
    // The second write kept the time the first read remembered: it used to wait for a third.
    QTest::newRow("second write, same time stamp")
        << bFile(1, m1) << bFile(2, m1 + m2) << QList<int>{1, 0, 0} << true;
    QTest::newRow("recent file unchanged") << bFile(1, m1) << QByteArray() << QList<int>{0, 0, 0} << true;
}

void tst_chatstore::poll()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(QList<int>, counts);
    QFETCH(bool, sameStamp);
    ChatCdata store;
    const QString file = path(QStringLiteral("b@x"));
    QDateTime stamp = QDateTime::currentDateTime();
    stamp.setTime(QTime(stamp.time().hour(), stamp.time().minute(), stamp.time().second()));
    TestSupport::writeAt(file, first, sameStamp ? stamp : QDateTime::currentDateTime().addSecs(-60));
    store.Poll();
    while (store.TakeNew()) {
    }
    m_wake.tryAcquire(m_wake.available());
    SetBoolVar(RegSlot::FlagChatSend, false);
    if (!second.isEmpty())
        TestSupport::writeAt(file, second, sameStamp ? stamp : QDateTime::currentDateTime());
    store.Poll();
    QCOMPARE(QList<int>({store.NewCount(), store.ModifiedCount(), store.ResponseCount()}), counts);
    QCOMPARE(GetBoolVar(RegSlot::FlagChatSend), counts[0] > 0);
    QCOMPARE(GetBoolVar(RegSlot::FlagChatWindowRequest), counts[1] > 0);
    QCOMPARE(m_wake.available(), counts[0] + counts[1] + counts[2]);
}

void tst_chatstore::poll_halfWrittenFile_readOnceWhole()
{
    ChatCdata store;
    const QByteArray whole =
        bFile(1, "<CASE TYPE=\"0\" ID=\"1\" MID=\"1\" TIME=\"0\"><![CDATA[late]]></CASE>");
    const QString file = path(QStringLiteral("b@x"));
    const QDateTime when = QDateTime::currentDateTime().addSecs(-30);
    TestSupport::writeAt(file, whole.left(whole.size() / 2), when);
    store.Poll();
    QCOMPARE(store.NewCount(), 0);
    // The same time again: the file was rewritten within the writer's clock tick.
    TestSupport::writeAt(file, whole, when);
    store.Poll();
    QCOMPARE(store.NewCount(), 1);
    ChatRecord *record = store.TakeNew();
    QCOMPARE(record->Text, QStringLiteral("late"));
    QVERIFY(record->Time.isNull());
    store.Poll();
    QCOMPARE(store.NewCount(), 0);
}

void tst_chatstore::poll_afterMidnight_readsBothDays()
{
    ChatCdata store;
    const QDate today = QDate::currentDate();
    const QByteArray message = "<CASE TYPE=\"0\" ID=\"1\" MID=\"1\" TIME=\"23:59:00\"><![CDATA[x]]></CASE>";
    QByteArray yesterday = bFile(1, message);
    yesterday.replace(today.toString(QStringLiteral("yyyy/MM/dd")).toLatin1(),
                      today.addDays(-1).toString(QStringLiteral("yyyy/MM/dd")).toLatin1());
    TestSupport::writeFile(path(QStringLiteral("b@x"), today.addDays(-1)), yesterday);
    TestSupport::writeFile(path(QStringLiteral("b@x")), bFile(1, message));
    store.SetPollDate(today.addDays(-1));
    store.Poll();
    QCOMPARE(store.NewCount(), 2);
    QCOMPARE(store.TakeNew()->Time.date(), today.addDays(-1));
}

void tst_chatstore::poll_times_readAsTheDateParserReadsThem_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("modified");
    QTest::newRow("plain") << "09:05:07"
                           << "2020/02/29 23:59:59";
    QTest::newRow("hour past the day") << "24:00:00"
                                       << "2020/13/01 10:00:00";
    QTest::newRow("no such day") << "10:60:00"
                                 << "2021/02/29 10:00:00";
    QTest::newRow("one digit") << "9:05:07"
                               << "2020/2/29 9:00:00";
    QTest::newRow("not digits") << "ab:cd:ef"
                                << "２０２０/01/01 10:00:00";
    QTest::newRow("trailing text") << "09:05:07x"
                                   << "2020/01/01 10:00:00 ";
}

// Message times are read by a quick path for the usual shape; whatever the text, the result is the
// one the general date parser gives.
void tst_chatstore::poll_times_readAsTheDateParserReadsThem()
{
    QFETCH(QString, time);
    QFETCH(QString, modified);
    ChatCdata store;
    const QByteArray cases = "<CASE TYPE=\"0\" ID=\"1\" MID=\"1\" TIME=\"" + time.toUtf8() +
                             "\"><![CDATA[x]]></CASE><CASE TYPE=\"1\" ID=\"1\" MID=\"1\" TIME=\"" +
                             time.toUtf8() + "\" MDTIME=\"" + modified.toUtf8() + "\"/>";
    TestSupport::writeFile(path(QStringLiteral("b@x")), bFile(1, cases));
    store.Poll();
    ChatRecord *record = store.TakeNew();
    QVERIFY(record);
    const QString day = QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd"));
    const QString format = QStringLiteral("yyyy/MM/dd hh:mm:ss");
    QCOMPARE(record->Time, QDateTime::fromString(day + QLatin1Char(' ') + time, format));
    QCOMPARE(record->ModTime, QDateTime::fromString(modified, format));
}

void tst_chatstore::ownDamagedFile_movedAside_dayStartsAnew()
{
    ChatCdata store;
    const QString file = path(QStringLiteral("a@x"));
    TestSupport::writeFile(file, "<Root_Chat MaxID=\"3\"><USERS");
    store.OpenToday(QStringLiteral("a@x"));
    store.ReadDayFiles(QDate::currentDate());
    const QStringList notes = store.TakeNotes();
    QCOMPARE(notes.size(), 1);
    const QStringList aside =
        QDir(m_dir->path() + QStringLiteral("/chat")).entryList({QStringLiteral("*.damaged-*")});
    QCOMPARE(aside.size(), 1);
    QVERIFY(notes.first().contains(aside.first()));
    QCOMPARE(TestSupport::readFile(m_dir->path() + QStringLiteral("/chat/") + aside.first()),
             QByteArray("<Root_Chat MaxID=\"3\"><USERS"));
    const QDate today = QDate::currentDate();
    QVERIFY(store.AddMessage(today, QStringLiteral("a@x"), 1, {2}, QStringLiteral("anew"), true));
    store.SaveAll();
    QVERIFY(TestSupport::readFile(file).contains("anew"));
}

void tst_chatstore::accounts_sameTwiceOneNumber_unsafeNeverRead()
{
    member(QStringLiteral("b@x"), QStringLiteral("Ben again"), false);
    member(QStringLiteral("../evil@x"), QStringLiteral("Evil"), false);
    ChatCdata store;
    const QDate today = QDate::currentDate();
    store.SyncUsers(QStringLiteral("a@x"), today);
    ChatDay *day = store.FindDay(QStringLiteral("a@x"), today);
    QCOMPARE(day->UserMaxID, 4);
    QCOMPARE(day->AccountNo.value(QStringLiteral("b@x")), 2);
    // A file the unsafe account's name points at, outside the chat folder, addressed to the user.
    TestSupport::writeFile(
        m_dir->path() + QStringLiteral("/") + ChatCdata::DayFileName(QStringLiteral("evil@x"), today),
        bFile(1, "<CASE TYPE=\"0\" ID=\"1\" MID=\"1\" TIME=\"10:00:00\"><![CDATA[x]]></CASE>"));
    store.ReadDayFiles(today);
    store.Poll();
    QVERIFY(store.GetTimeList().isEmpty());
    QCOMPARE(store.NewCount(), 0);
}

// One text no parser could read back used to hide that message and every later one of the day
// from the other members, and set the sender's own file aside at the next start.
void tst_chatstore::text_cdataEndAndForbidden_otherMemberAndRestartReadAll()
{
    const QDate today = QDate::currentDate();
    // The reader once counted "<CASE" in the bytes, and every "]]>" is a section more to parse.
    QStringList texts{QStringLiteral("x]]>y"), QStringLiteral("a\u0001b"), QStringLiteral("]]>]]]>"),
                      QStringLiteral("<CASE").repeated(ChatCdata::MaxDayEntries + 1),
                      QStringLiteral("]]>").repeated(ChatCdata::MaxTextSections - 1)};
    for (int i = 0; i < 20; ++i)
        texts << QStringLiteral("later %1").arg(i);
    {
        ChatCdata store;
        store.OpenToday(QStringLiteral("a@x"));
        store.SyncUsers(QStringLiteral("a@x"), today);
        const int own = store.GetUserNo(QStringLiteral("a@x"), today);
        const int ben = store.GetRecipientNo(QStringLiteral("a@x"), today, QStringLiteral("b@x"));
        for (const QString &text : texts)
            QVERIFY(store.AddMessage(today, QStringLiteral("a@x"), own, {ben}, text, true));
        QCOMPARE(store.Record(2)->Text, QStringLiteral("a\uFFFDb"));
        // A text that would be more sections than the reader allows a message stays with the user.
        for (const int times : {ChatCdata::MaxTextSections, 1100000}) {
            QCOMPARE(store.AddMessage(today, QStringLiteral("a@x"), own, {ben},
                                      QStringLiteral("]]>").repeated(times), true),
                     0);
            QCOMPARE(store.Refusal(), QStringLiteral("its text holds \"]]>\" more than %1 times")
                                          .arg(ChatCdata::MaxTextSections - 1));
        }
        store.SaveAll();
    }
    texts[1] = QStringLiteral("a\uFFFDb");
    MemberInfo *anna = m_table.value(0);
    auto read = [&](const QString &me, bool own) {
        SetStrVar(RegSlot::StrUserEmail, me);
        ChatCdata store;
        QVERIFY(store.LoadFile(true, today, path(QStringLiteral("a@x")), own, anna));
        QCOMPARE(store.TakeNotes(), QStringList());
        QStringList read;
        for (const auto &entry : store.GetTimeList())
            read << store.Record(entry.first)->Text;
        QCOMPARE(read, texts);
    };
    read(QStringLiteral("b@x"), false);
    read(QStringLiteral("a@x"), true);
    QCOMPARE(QDir(m_dir->path() + QStringLiteral("/chat")).entryList({QStringLiteral("*damaged*")}),
             QStringList());
}

// The most the program writes into a day: every message with as many "]]>" as a text may hold,
// deleted, and the most members the member file numbers named. It reads back whole, and what
// comes next, a message or an answer, is refused with the reason while the file stays as it is.
void tst_chatstore::send_dayAtItsLimit_readBackWhole_nextRefused()
{
    const QDate today = QDate::currentDate();
    const QString me = QStringLiteral("a@x");
    const QString text = QStringLiteral("x]]>").repeated(ChatCdata::MaxTextSections - 1);
    TestSupport::writeFile(
        path(QStringLiteral("b@x")),
        bFile(1, "<CASE TYPE=\"0\" ID=\"1\" MID=\"1\" TIME=\"10:00:00\"><![CDATA[hi]]></CASE>"));
    {
        ChatCdata store;
        store.OpenToday(me);
        store.SyncUsers(me, today);
        for (int n = 1; n <= ChatCdata::MaxDayEntries; ++n) {
            if (n == ChatCdata::MaxDayEntries) {
                while (m_table.size() < ChatCdata::MaxDayUsers)
                    member(QStringLiteral("m%1@x").arg(m_table.size()), QStringLiteral("M"), false);
                store.SyncUsers(me, today);
            }
            ChatRecord *record = store.Record(store.AddMessage(today, me, 1, {2}, text, true));
            QVERIFY(record);
            record->ModTime = QDateTime::currentDateTime();
            QVERIFY(store.ApplyModified(record));
        }
        QVERIFY(store.SaveAll());
    }
    const auto readBack = [&](ChatCdata &store) {
        store.OpenToday(me);
        store.ReadDayFiles(today);
        QCOMPARE(store.TakeNotes(), QStringList());
        QCOMPARE(store.GetTimeList().size(), ChatCdata::MaxDayEntries + 1);
    };
    ChatCdata store;
    readBack(store);
    const QString full = QStringLiteral("%1 holds %2 messages, as many as the chat file of a day takes")
                             .arg(path(me))
                             .arg(ChatCdata::MaxDayEntries);
    QCOMPARE(store.AddMessage(today, me, 1, {2}, QStringLiteral("one more"), true), 0);
    QCOMPARE(store.Refusal(), full);
    const ChatDay *benDay = store.LookupDay(QStringLiteral("b@x"), today);
    QVERIFY(benDay && benDay->IdTable.contains(1));
    QVERIFY(!store.AddResponse(today, me, 1, benDay->IdTable.value(1)));
    QCOMPARE(store.Refusal(), full);
    store.SaveAll();
    ChatCdata again;
    readBack(again);
}

// The clock passes midnight between two messages, before anyone opened the new day.
void tst_chatstore::send_acrossMidnight_bothDaysOnDisk()
{
    const QDate today = QDate::currentDate();
    const QDate yesterday = today.addDays(-1);
    ChatCdata store;
    QVERIFY(store.OpenDay(QStringLiteral("a@x"), yesterday));
    store.SyncUsers(QStringLiteral("a@x"), yesterday);
    QVERIFY(store.AddMessage(yesterday, QStringLiteral("a@x"), 1, {2}, QStringLiteral("before"), true,
                             QDateTime(yesterday, QTime(23, 59, 59, 900))));
    store.SyncUsers(QStringLiteral("a@x"), today);
    QVERIFY(store.AddMessage(today, QStringLiteral("a@x"), 1, {2}, QStringLiteral("after"), true,
                             QDateTime(today, QTime(0, 0, 0, 100))));
    store.SaveAll();
    QVERIFY(!GetBoolVar(RegSlot::FlagWriteFailed));
    // Opening the day later keeps what it already holds.
    store.OpenToday(QStringLiteral("a@x"));
    store.SaveAll();
    for (const QDate &date : {yesterday, today}) {
        QDomDocument doc;
        QVERIFY2(doc.setContent(TestSupport::readFile(path(QStringLiteral("a@x"), date))),
                 qPrintable(date.toString()));
        const QDomElement item = doc.documentElement().firstChildElement(QStringLiteral("CASE"));
        QCOMPARE(item.text(), date == today ? QStringLiteral("after") : QStringLiteral("before"));
        QCOMPARE(item.attribute(QStringLiteral("TIME")),
                 date == today ? QStringLiteral("00:00:00") : QStringLiteral("23:59:59"));
        QCOMPARE(doc.documentElement()
                     .firstChildElement(QStringLiteral("USERS"))
                     .elementsByTagName(QStringLiteral("USER"))
                     .size(),
                 3);
    }
}

void tst_chatstore::saveAll_dirtyDayWithoutFile_isFailure()
{
    ChatCdata store;
    store.OpenToday(QStringLiteral("a@x"));
    store.SaveAll();
    QVERIFY(!GetBoolVar(RegSlot::FlagWriteFailed));
    store.FindDay(QStringLiteral("a@x"), QDate(2020, 1, 1))->Dirty = true;
    store.SaveAll();
    QVERIFY(GetBoolVar(RegSlot::FlagWriteFailed));
}

// The member's other desktop wrote the same day file in the same second, with the same size: the
// save wrote its older copy over it.
void tst_chatstore::saveAll_ownFileRewrittenByOtherDesktop_notWrittenOverFailedNamed()
{
    ChatCdata store;
    const QDate today = QDate::currentDate();
    const QString file = path(QStringLiteral("a@x"));
    store.OpenToday(QStringLiteral("a@x"));
    store.SyncUsers(QStringLiteral("a@x"), today);
    QVERIFY(store.AddMessage(today, QStringLiteral("a@x"), 1, {2}, QStringLiteral("aaaa"), true));
    QVERIFY(store.SaveAll());
    const QDateTime stamp = QFileInfo(file).lastModified();
    QByteArray theirs = TestSupport::readFile(file);
    theirs.replace("aaaa", "bbbb");
    TestSupport::writeAt(file, theirs, stamp);
    QVERIFY(store.AddMessage(today, QStringLiteral("a@x"), 1, {2}, QStringLiteral("mine"), true));
    SetBoolVar(RegSlot::FlagWriteFailed, false);
    QVERIFY(!store.SaveAll());
    QCOMPARE(TestSupport::readFile(file), theirs);
    QVERIFY(GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(store.HasUnsaved());
    const QStringList notes = store.TakeNotes();
    QVERIFY2(notes.size() == 1 && notes.first().contains(file), qPrintable(notes.join('\n')));
}

// An unmounted share: the reader and the writer used to make the whole path again, so the
// member's messages went into a local folder where the workspace had been.
void tst_chatstore::workspaceFolderGone_neitherReadNorSaveMakesItAgain()
{
    ChatCdata store;
    const QDate today = QDate::currentDate();
    store.OpenToday(QStringLiteral("a@x"));
    store.SyncUsers(QStringLiteral("a@x"), today);
    QVERIFY(store.AddMessage(today, QStringLiteral("a@x"), 1, {2}, QStringLiteral("held"), true));
    QVERIFY(QDir(m_dir->path()).removeRecursively());
    store.ReadDayFiles(today);
    QVERIFY(!store.SaveAll());
    QVERIFY(GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(!QFileInfo::exists(m_dir->path()));
    QVERIFY(store.HasUnsaved());
    // The share is back, without its chat folder: the folder is made inside it and the day written.
    QVERIFY(QDir().mkdir(m_dir->path()));
    QVERIFY(store.SaveAll());
    QVERIFY(TestSupport::readFile(path(QStringLiteral("a@x"))).contains("<![CDATA[held]]>"));
}

void tst_chatstore::saveAll_fullDisk_dayKeptDirtyAndMarked_writtenOnceRoom_data()
{
    QTest::addColumn<int>("daysBack");
    QTest::newRow("today") << 0;
    QTest::newRow("earlier day") << 1;
}

// A full disk used to leave the message shown as sent, and an earlier day marked clean: its
// message was never written, not when there was room again and not at close.
void tst_chatstore::saveAll_fullDisk_dayKeptDirtyAndMarked_writtenOnceRoom()
{
    QFETCH(int, daysBack);
    const QDate date = QDate::currentDate().addDays(-daysBack);
    const QString file = path(QStringLiteral("a@x"), date);
    ChatCdata store;
    QVERIFY(store.OpenDay(QStringLiteral("a@x"), date));
    store.SyncUsers(QStringLiteral("a@x"), date);
    QVERIFY(store.AddMessage(date, QStringLiteral("a@x"), 1, {2}, QStringLiteral("first"), true));
    QVERIFY(store.SaveAll());
    const QByteArray written = TestSupport::readFile(file);
    const int seq = store.AddMessage(date, QStringLiteral("a@x"), 1, {2}, QStringLiteral("kept"), true);
    QVERIFY(seq != 0);
    {
        FileSizeLimit full(written.size());
        QVERIFY(full.IsSet());
        QVERIFY(!store.SaveAll());
    }
    QVERIFY(GetBoolVar(RegSlot::FlagWriteFailed));
    QCOMPARE(TestSupport::readFile(file), written);
    QVERIFY(store.HasUnsaved() && store.NeedsSave());
    QVERIFY(store.FindDay(QStringLiteral("a@x"), date)->Dirty);
    QVERIFY(store.Record(seq)->Unsaved);
    QVERIFY(!store.Record(seq - 1)->Unsaved);
    ChatCdata::SaveNews news = store.TakeSaveNews();
    QCOMPARE(news.Changed, QList<int>{seq});
    QCOMPARE(news.Failed, QStringList{file});
    QVERIFY(!store.HasSaveNews());

    QVERIFY(store.SaveAll());
    QVERIFY(TestSupport::readFile(file).contains("<![CDATA[kept]]>"));
    QVERIFY(!store.FindDay(QStringLiteral("a@x"), date)->Dirty);
    QVERIFY(!store.Record(seq)->Unsaved && !store.HasUnsaved() && !store.NeedsSave());
    news = store.TakeSaveNews();
    QVERIFY(news.Recovered);
    QCOMPARE(news.Changed, QList<int>{seq});
}

// The first message of a new day sent before the first load read the (absent) own file.
void tst_chatstore::firstRead_ownFileAbsent_keepsMessageSentBefore()
{
    ChatCdata store;
    const QDate today = QDate::currentDate();
    store.OpenToday(QStringLiteral("a@x"));
    store.SyncUsers(QStringLiteral("a@x"), today);
    QVERIFY(store.AddMessage(today, QStringLiteral("a@x"), 1, {2}, QStringLiteral("early"), true));
    store.ReadDayFiles(today);
    QVERIFY(store.SaveAll());
    QVERIFY(TestSupport::readFile(path(QStringLiteral("a@x"))).contains("<![CDATA[early]]>"));
}

void tst_chatstore::read_moreMessagesThanADayHolds_refusedNamedKept_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<bool>("poll");
    QTest::addColumn<int>("extra");   // messages above the limit
    QTest::addColumn<bool>("nodes");  // instead, one message of more sections than a day's nodes
    QTest::addColumn<bool>("recent"); // read before, while its time was recent
    const QString ben = QStringLiteral("b@x");
    QTest::newRow("another's, first read") << ben << false << 1 << false << false;
    QTest::newRow("another's, polled") << ben << true << 1 << false << false;
    QTest::newRow("another's, polled, read while recent") << ben << true << 1 << false << true;
    QTest::newRow("another's, more nodes, polled") << ben << true << 0 << true << false;
    QTest::newRow("own, first read") << QStringLiteral("a@x") << false << 1 << false << false;
    QTest::newRow("own, more nodes") << QStringLiteral("a@x") << false << 0 << true << false;
    QTest::newRow("another's at the limit") << ben << true << 0 << false << false;
}

// A day file of short messages under the size ceiling used to take gigabytes and minutes: past the
// count of messages or nodes a day holds it is named and left as it is, even the user's own (once
// set aside as damaged), and a poll does not read it again until it changes, even a file that was
// to be read again for its recent time.
void tst_chatstore::read_moreMessagesThanADayHolds_refusedNamedKept()
{
    QFETCH(QString, account);
    QFETCH(bool, poll);
    QFETCH(int, extra);
    QFETCH(bool, nodes);
    QFETCH(bool, recent);
    const int count = nodes ? 1 : ChatCdata::MaxDayEntries + extra;
    QByteArray cases;
    cases.reserve(count * 32);
    for (int i = 1; i <= count; ++i)
        cases += "<CASE TYPE=\"0\" ID=\"" + QByteArray::number(i) + "\" MID=\"1\">" +
                 QByteArray("<![CDATA[x]]>").repeated(nodes ? int(ChatCdata::MaxDayNodes) : 0) + "</CASE>";
    const QString file = path(account);
    const QByteArray bytes = bFile(count, cases);
    ChatCdata store;
    store.OpenToday(QStringLiteral("a@x"));
    if (recent) {
        TestSupport::writeAt(file, bFile(0, ""), QDateTime::currentDateTime());
        store.Poll();
    }
    TestSupport::writeAt(file, bytes, QDateTime::currentDateTime().addSecs(-60));
    poll ? store.Poll() : store.ReadDayFiles(QDate::currentDate());
    const QStringList notes = store.TakeNotes();
    if (extra == 0 && !nodes) {
        QCOMPARE(notes, QStringList());
        QCOMPARE(store.NewCount(), count);
        return;
    }
    QCOMPARE(notes.size(), 1);
    const qint64 limit = nodes ? ChatCdata::MaxDayNodes : ChatCdata::MaxDayEntries;
    QVERIFY2(notes.first().contains(file) && notes.first().contains(QString::number(limit)),
             qPrintable(notes.first()));
    QCOMPARE(store.NewCount() + store.GetTimeList().size(), 0);
    for (int i = 0; i < 2; ++i) {
        store.Poll();
        QCOMPARE(store.TakeNotes(), QStringList());
    }
    const QDate today = QDate::currentDate();
    const bool own = account == QStringLiteral("a@x");
    QCOMPARE(store.AddMessage(today, QStringLiteral("a@x"), 1, {2}, QStringLiteral("x"), true) != 0, !own);
    if (own)
        QCOMPARE(store.Refusal(), notes.first());
    store.SaveAll();
    QCOMPARE(TestSupport::readFile(file), bytes);
    QCOMPARE(QDir(m_dir->path() + QStringLiteral("/chat")).entryList({QStringLiteral("*damaged*")}),
             QStringList());
    if (own)
        return;
    const int before = store.NewCount();
    TestSupport::writeAt(file, bFile(1, "<CASE TYPE=\"0\" ID=\"1\" MID=\"1\"><![CDATA[x]]></CASE>"),
                         QDateTime::currentDateTime().addSecs(-30));
    store.Poll();
    QCOMPARE(store.NewCount(), before + 1);
}

// A member's name of megabytes costs a minute wherever it is laid out: the day is named and kept,
// while a message of megabytes is no name and is read.
void tst_chatstore::read_nameOfMegabytes_refusedMessageOfMegabytesRead()
{
    const QByteArray megabytes(5000000, 'x');
    const QByteArray message = "<CASE TYPE=\"0\" ID=\"1\" MID=\"1\"><![CDATA[" + megabytes + "]]></CASE>";
    const QString file = path(QStringLiteral("b@x"));
    const QByteArray named = bFile(1, message).replace("NAME=\"Ben\"", "NAME=\"" + megabytes + '"');
    ChatCdata store;
    store.OpenToday(QStringLiteral("a@x"));
    TestSupport::writeAt(file, named, QDateTime::currentDateTime().addSecs(-60));
    store.Poll();
    const QStringList notes = store.TakeNotes();
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes.first().contains(file) && notes.first().size() < 10000,
             qPrintable(notes.first().left(500)));
    QCOMPARE(store.NewCount(), 0);
    QCOMPARE(TestSupport::readFile(file), named);
    TestSupport::writeAt(file, bFile(1, message), QDateTime::currentDateTime().addSecs(-30));
    store.Poll();
    QCOMPARE(store.TakeNotes(), QStringList());
    QCOMPARE(store.NewCount(), 1);
}

void tst_chatstore::read_maxIdBehindItsMessages_eachShownOnce_data()
{
    QTest::addColumn<bool>("fullFirst"); // the first read is the first load's, the second a poll
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("maxId"); // the day's highest ID once read, which never goes down
    QStringList seven;
    for (int n = 1; n <= 7; ++n)
        seven << QStringLiteral("m%1").arg(n);
    // What a read returns that meets a rewrite in place: the old start (MaxID 5), the new rest.
    QTest::newRow("6 under MaxID 5, then 7, polled")
        << false << bFile(5, messages(1, 6)) << bFile(7, messages(1, 7)) << seven << 7;
    QTest::newRow("6 under MaxID 5, then 7, loaded then polled")
        << true << bFile(5, messages(1, 6)) << bFile(7, messages(1, 7)) << seven << 7;
    QTest::newRow("MaxID 0 over 6, then 7")
        << false << bFile(0, messages(1, 6)) << bFile(7, messages(1, 7)) << seven << 7;
    QTest::newRow("MaxID not a number")
        << false << bFile(7, messages(1, 6)).replace("MaxID=\"7\"", "MaxID=\"x\"") << bFile(7, messages(1, 7))
        << seven << 7;
    // A MaxID ahead of the messages (a hand edit) hides none that come later.
    QTest::newRow("MaxID 9 over 6, then 7")
        << false << bFile(9, messages(1, 6)) << bFile(9, messages(1, 7)) << seven << 9;
    // Ben's day begun anew, its file set aside as damaged: its numbers start again, later.
    const QByteArray anew =
        messages(1, 2).replace("m1", "n1").replace("m2", "n2").replace("10:00:00", "11:00:00");
    QTest::newRow("the day begun anew")
        << false << bFile(3, messages(1, 3)) << bFile(2, anew)
        << QStringList{QStringLiteral("m1"), QStringLiteral("m2"), QStringLiteral("m3"), QStringLiteral("n1"),
                       QStringLiteral("n2")}
        << 3;
    // One ID twice (an earlier program's own day): both messages, once each, however read.
    const QByteArray twice = messages(1, 2) + messages(2, 2).replace("m2", "m2 again");
    const QStringList both{QStringLiteral("m1"), QStringLiteral("m2"), QStringLiteral("m2 again"),
                           QStringLiteral("m3")};
    QTest::newRow("an ID twice, polled")
        << false << bFile(2, twice) << bFile(3, twice + messages(3, 3)) << both << 3;
    QTest::newRow("an ID twice, loaded then polled")
        << true << bFile(2, twice) << bFile(3, twice + messages(3, 3)) << both << 3;
}

// The poll took every message above the last read's MaxID as new and kept the file's MaxID: a day
// read once with a MaxID behind its last message showed that message again with the next.
void tst_chatstore::read_maxIdBehindItsMessages_eachShownOnce()
{
    QFETCH(bool, fullFirst);
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(QStringList, expected);
    QFETCH(int, maxId);
    ChatCdata store;
    store.OpenToday(QStringLiteral("a@x"));
    const QString file = path(QStringLiteral("b@x"));
    TestSupport::writeAt(file, first, QDateTime::currentDateTime().addSecs(-60));
    fullFirst ? store.ReadDayFiles(QDate::currentDate()) : store.Poll();
    QStringList texts = listed(store) + taken(store);
    TestSupport::writeAt(file, second, QDateTime::currentDateTime().addSecs(-30));
    store.Poll();
    texts += taken(store);
    // The same file once more: nothing new.
    TestSupport::writeAt(file, second, QDateTime::currentDateTime().addSecs(-20));
    store.Poll();
    texts += taken(store);
    QCOMPARE(texts, expected);
    QCOMPARE(store.LookupDay(QStringLiteral("b@x"), QDate::currentDate())->MaxID, maxId);
}

void tst_chatstore::send_ownMaxIdBehindItsMessages_newIdAboveEvery_data()
{
    QTest::addColumn<QByteArray>("root");  // the root's MaxID
    QTest::addColumn<QByteArray>("cases"); // what the day holds besides messages 1 and 2
    QTest::addColumn<QString>("kept");     // the ID of the refused CASE
    QTest::addColumn<int>("next");         // 0: no number left
    QTest::newRow("MaxID 1 over 1 and 2") << QByteArray("1") << QByteArray() << QString() << 3;
    QTest::newRow("MaxID 0 over 1 and 2") << QByteArray("0") << QByteArray() << QString() << 3;
    QTest::newRow("MaxID not a number") << QByteArray("two") << QByteArray() << QString() << 3;
    QTest::newRow("MaxID ahead") << QByteArray("8") << QByteArray() << QString() << 9;
    // Elements the reader refuses keep their numbers: another program may name them.
    QTest::newRow("a CASE of an unknown type numbered 7")
        << QByteArray("2") << QByteArray("<CASE TYPE=\"9\" ID=\"7\" MID=\"2\"/>") << "7" << 8;
    QTest::newRow("a CASE numbered 0007")
        << QByteArray("2") << QByteArray("<CASE TYPE=\"9\" ID=\"0007\"/>") << "0007" << 8;
    QTest::newRow("an ID not a number")
        << QByteArray("2") << QByteArray("<CASE TYPE=\"0\" ID=\"9x\"/>") << "9x" << 3;
    QTest::newRow("an ID past the ceiling")
        << QByteArray("2") << QByteArray("<CASE TYPE=\"9\" ID=\"1000000000\"/>") << "1000000000" << 0;
    QTest::newRow("MaxID at the ceiling") << QByteArray("999999999") << QByteArray() << QString() << 0;
}

// The own day of MaxID 1 holding messages 1 and 2 had the next message written as a second 2.
void tst_chatstore::send_ownMaxIdBehindItsMessages_newIdAboveEvery()
{
    QFETCH(QByteArray, root);
    QFETCH(QByteArray, cases);
    QFETCH(QString, kept);
    QFETCH(int, next);
    const QDate today = QDate::currentDate();
    const QString me = QStringLiteral("a@x");
    const QString file = path(me);
    QByteArray own = bFile(0, messages(1, 2) + cases);
    own.replace("MaxID=\"0\"", "MaxID=\"" + root + '"').replace("OwnerID=\"2\"", "OwnerID=\"1\"");
    TestSupport::writeFile(file, own);
    {
        ChatCdata store;
        store.OpenToday(me);
        store.ReadDayFiles(today);
        QCOMPARE(listed(store), (QStringList{QStringLiteral("m1"), QStringLiteral("m2")}));
        const int seq = store.AddMessage(today, me, 1, {2}, QStringLiteral("new"), true);
        QVERIFY(store.SaveAll());
        if (next == 0) {
            QCOMPARE(seq, 0);
            QCOMPARE(store.Refusal(), DecimalId::ExhaustedMessage(file));
            QStringList expected{QStringLiteral("1"), QStringLiteral("2")};
            if (!kept.isEmpty())
                expected << kept;
            QCOMPARE(ids(file, QStringLiteral("CASE")), expected);
            return;
        }
        QVERIFY(seq != 0);
        QCOMPARE(store.Record(seq)->ID, next);
        QVERIFY(store.AddMessage(today, me, 1, {2}, QStringLiteral("newer"), true));
        QVERIFY(store.SaveAll());
    }
    // What the reader refused is written back as it was.
    QStringList expected{QStringLiteral("1"), QStringLiteral("2")};
    if (!kept.isEmpty())
        expected << kept;
    QCOMPARE(ids(file, QStringLiteral("CASE")),
             expected << QString::number(next) << QString::number(next + 1));
    QDomDocument doc;
    QVERIFY(doc.setContent(TestSupport::readFile(file)));
    QCOMPARE(doc.documentElement().attribute(QStringLiteral("MaxID")), QString::number(next + 1));
}

void tst_chatstore::join_ownUsersMaxIdBehindItsMembers_numberAboveEveryKeepsBen_data()
{
    QTest::addColumn<QByteArray>("maxId"); // USERS' MaxID
    QTest::addColumn<QByteArray>("more");  // members the day names besides Anna 1 and Ben 2
    QTest::addColumn<int>("cleo");         // Cleo's number once she joins
    QTest::addColumn<QString>("eve");      // the ID Eve's element has once written back
    QTest::newRow("MaxID 1, Ben 2") << QByteArray("1") << QByteArray() << 3 << QString();
    QTest::newRow("MaxID 0, Ben 2") << QByteArray("0") << QByteArray() << 3 << QString();
    QTest::newRow("MaxID missing") << QByteArray() << QByteArray() << 3 << QString();
    // Eve, no member of this workspace, keeps her number and her place in the file.
    QTest::newRow("a member numbered 0005")
        << QByteArray("1") << QByteArray("<USER ACCOUNT=\"e@x\" NAME=\"Eve\" ID=\"0005\"/>") << 6 << "5";
    // A member this program does not number stays in the file as she was.
    QTest::newRow("a member numbered 5x")
        << QByteArray("1") << QByteArray("<USER ACCOUNT=\"e@x\" NAME=\"Eve\" ID=\"5x\"/>") << 3 << "5x";
}

// USERS of MaxID 1 while Ben held number 2: Cleo, joining, took 2, the saved day dropped Ben, and
// Cleo's program showed her the message meant for Ben alone.
void tst_chatstore::join_ownUsersMaxIdBehindItsMembers_numberAboveEveryKeepsBen()
{
    QFETCH(QByteArray, maxId);
    QFETCH(QByteArray, more);
    QFETCH(int, cleo);
    QFETCH(QString, eve);
    const QDate today = QDate::currentDate();
    const QString me = QStringLiteral("a@x");
    const QString file = path(me);
    const QByteArray users = (maxId.isNull() ? QByteArray("<USERS OwnerID=\"1\">")
                                             : "<USERS OwnerID=\"1\" MaxID=\"" + maxId + "\">") +
                             "<USER ACCOUNT=\"a@x\" NAME=\"Anna\" ID=\"1\"/><USER ACCOUNT=\"b@x\" "
                             "NAME=\"Ben\" ID=\"2\"/>" +
                             more + "</USERS>";
    TestSupport::writeFile(file, "<Root_Chat MaxID=\"1\" DATE=\"" +
                                     today.toString(QStringLiteral("yyyy/MM/dd")).toLatin1() + "\">" + users +
                                     "<CASE TYPE=\"0\" ID=\"1\" MID=\"2\" TIME=\"10:00:00\"><![CDATA[for Ben "
                                     "alone]]></CASE></Root_Chat>");
    {
        ChatCdata store;
        store.OpenToday(me);
        store.ReadDayFiles(today);
        // As a send does: the members of the member table, Cleo among them, get their numbers.
        store.SyncUsers(me, today);
        QCOMPARE(store.GetRecipientNo(me, today, QStringLiteral("b@x")), 2);
        QCOMPARE(store.GetRecipientNo(me, today, QStringLiteral("c@x")), cleo);
        QVERIFY(store.AddMessage(today, me, 1, {cleo}, QStringLiteral("for Cleo"), true));
        QVERIFY(store.SaveAll());
    }
    QDomDocument doc;
    QVERIFY(doc.setContent(TestSupport::readFile(file)));
    QMap<QString, QString> numbers;
    for (QDomElement user =
             doc.documentElement().firstChildElement(QStringLiteral("USERS")).firstChildElement();
         !user.isNull(); user = user.nextSiblingElement())
        numbers.insert(user.attribute(QStringLiteral("ACCOUNT")), user.attribute(QStringLiteral("ID")));
    QCOMPARE(numbers.value(QStringLiteral("b@x")), QStringLiteral("2"));
    QCOMPARE(numbers.value(QStringLiteral("c@x")), QString::number(cleo));
    if (!eve.isEmpty())
        QCOMPARE(numbers.value(QStringLiteral("e@x")), eve);
    // Each member's program reads Anna's day: Ben his message, Cleo hers.
    for (const QString &reader : {QStringLiteral("b@x"), QStringLiteral("c@x")}) {
        SetStrVar(RegSlot::StrUserEmail, reader);
        ChatCdata store;
        QVERIFY(store.LoadFile(true, today, file, false, m_table.value(0)));
        QCOMPARE(listed(store), QStringList{reader == QStringLiteral("b@x") ? QStringLiteral("for Ben alone")
                                                                            : QStringLiteral("for Cleo")});
    }
}

void tst_chatstore::send_textOfItsLimit_takenOneByteMoreRefused_data()
{
    QTest::addColumn<QString>("unit"); // the text is made of it, topped up to the limit with "x"
    QTest::addColumn<int>("more");     // bytes past the limit
    const QStringList units{QStringLiteral("x"), QStringLiteral("\u00e9"), QStringLiteral("\u3042"),
                            QStringLiteral("\U0001F600"), QStringLiteral("]]>")};
    for (const QString &unit : units) {
        const QByteArray name = unit.toUtf8().toHex();
        QTest::newRow(("at the limit, " + name).constData()) << unit << 0;
        QTest::newRow(("a byte past, " + name).constData()) << unit << 1;
    }
}

// A message of 10 MB was taken, and some of them made the own day a file its reader refuses.
void tst_chatstore::send_textOfItsLimit_takenOneByteMoreRefused()
{
    QFETCH(QString, unit);
    QFETCH(int, more);
    const QDate today = QDate::currentDate();
    const QString me = QStringLiteral("a@x");
    const QString file = path(me);
    const qint64 unitBytes = unit.toUtf8().size();
    // "]]>" only as often as a text may hold it.
    const int units = unit == QStringLiteral("]]>") ? ChatCdata::MaxTextSections - 1
                                                    : int(ChatCdata::MaxTextBytes / unitBytes);
    const QString text = unit.repeated(units) +
                         QString(int(ChatCdata::MaxTextBytes - units * unitBytes) + more, QLatin1Char('x'));
    QCOMPARE(text.toUtf8().size(), ChatCdata::MaxTextBytes + more);
    QByteArray before;
    {
        ChatCdata store;
        store.OpenToday(me);
        store.SyncUsers(me, today);
        QVERIFY(store.AddMessage(today, me, 1, {2}, QStringLiteral("before"), true));
        QVERIFY(store.SaveAll());
        before = TestSupport::readFile(file);
        const int seq = store.AddMessage(today, me, 1, {2}, text, true);
        QVERIFY(store.SaveAll());
        if (more > 0) {
            QCOMPARE(seq, 0);
            QCOMPARE(store.Refusal(),
                     QStringLiteral("its text takes %1 bytes, more than the %2 a chat message may take")
                         .arg(ChatCdata::MaxTextBytes + more)
                         .arg(ChatCdata::MaxTextBytes));
            QCOMPARE(TestSupport::readFile(file), before);
            return;
        }
        QVERIFY(seq != 0);
    }
    ChatCdata store;
    store.OpenToday(me);
    store.ReadDayFiles(today);
    QCOMPARE(store.TakeNotes(), QStringList());
    QCOMPARE(listed(store), (QStringList{QStringLiteral("before"), text}));
}

// The largest own day the writer makes, of messages at their limit and then short ones, is one its
// reader takes and reads back whole; a message or an answer more is refused and nothing written,
// in the session that wrote the day and in the next.
void tst_chatstore::send_dayOfTheReadersSize_readBackWholeNextRefused()
{
    const QDate today = QDate::currentDate();
    const QString me = QStringLiteral("a@x");
    const QString file = path(me);
    TestSupport::writeFile(path(QStringLiteral("b@x")), bFile(1, messages(1, 1)));
    // Three bytes a character, the number sent after: the file holds the most for the least memory.
    const QString large = QStringLiteral("\u3042").repeated(int(ChatCdata::MaxTextBytes / 3) - 4);
    const QString full = QStringLiteral("%1 would grow past %2 bytes, more than the chat file of a day takes")
                             .arg(file)
                             .arg(SafeFile::MaxReadBytes);
    int sent = 0;
    QByteArray hash;
    const auto refusedAndKept = [&](ChatCdata &store) {
        hash = QCryptographicHash::hash(TestSupport::readFile(file), QCryptographicHash::Sha1);
        QCOMPARE(store.AddMessage(today, me, 1, {2}, QStringLiteral("one more"), true), 0);
        QCOMPARE(store.Refusal(), full);
        const ChatDay *benDay = store.LookupDay(QStringLiteral("b@x"), today);
        QVERIFY(benDay && benDay->IdTable.contains(1));
        QVERIFY(!store.AddResponse(today, me, 1, benDay->IdTable.value(1)));
        QCOMPARE(store.Refusal(), full);
        QVERIFY(store.SaveAll());
        QCOMPARE(QCryptographicHash::hash(TestSupport::readFile(file), QCryptographicHash::Sha1), hash);
    };
    {
        ChatCdata store;
        store.OpenToday(me);
        store.ReadDayFiles(today);
        store.SyncUsers(me, today);
        // As the program does, the day is written after every message: until one is refused
        // right after a write, when the writer counts the file as it is.
        // More of the large messages than the reader's limit holds would not end before memory.
        const int most = int(SafeFile::MaxReadBytes / (ChatCdata::MaxTextBytes - 12)) + 1;
        const auto fill = [&](const QString &prefix) {
            for (int round = 1; round > 0;) {
                round = 0;
                while ((prefix.isEmpty() || sent < most) &&
                       store.AddMessage(today, me, 1, {2}, prefix + QString::number(sent), true)) {
                    ++sent;
                    ++round;
                }
                QCOMPARE(store.Refusal(), full);
                QVERIFY(store.SaveAll());
            }
        };
        fill(large);
        const int large = sent;
        fill(QString());
        const qint64 size = QFileInfo(file).size();
        // Refused at the reader's limit, not far below it.
        QVERIFY2(size <= SafeFile::MaxReadBytes &&
                     size > SafeFile::MaxReadBytes - 2 * ChatCdata::MaxTextBytes,
                 qPrintable(QStringLiteral("%1 bytes, %2 messages of the limit, %3 short")
                                .arg(size)
                                .arg(large)
                                .arg(sent - large)));
        refusedAndKept(store);
    }
    ChatCdata store;
    store.OpenToday(me);
    store.ReadDayFiles(today);
    QCOMPARE(store.TakeNotes(), QStringList());
    // A day read is written back as the program lays it out, which it may not have been.
    QVERIFY(store.SaveAll());
    QStringList own;
    for (const auto &entry : store.GetTimeList()) {
        const ChatRecord *record = store.Record(entry.first);
        if (record->Own)
            own << (record->Text.startsWith(large) ? record->Text.mid(large.size()) : record->Text);
    }
    QCOMPARE(own.size(), sent);
    for (int n = 0; n < sent; ++n)
        QCOMPARE(own.at(n), QString::number(n));
    refusedAndKept(store);
}

QTEST_GUILESS_MAIN(tst_chatstore)
#include "tst_chatstore.moc"
