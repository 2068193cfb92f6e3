#include "comm/chatcdata.h"
#include "core/globalmutex.h"
#include "filesizelimit.h"
#include "members/memberinfo.h"
#include "testsupport.h"

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
    void saveAll_fullDisk_dayKeptDirtyAndMarked_writtenOnceRoom_data();
    void saveAll_fullDisk_dayKeptDirtyAndMarked_writtenOnceRoom();
    void firstRead_ownFileAbsent_keepsMessageSentBefore();
    void read_moreMessagesThanADayHolds_refusedNamedKept_data();
    void read_moreMessagesThanADayHolds_refusedNamedKept();
    void read_nameOfMegabytes_refusedMessageOfMegabytesRead();

private:
    MemberInfo *member(const QString &account, const QString &name, bool own);
    QString path(const QString &account, const QDate &date = QDate::currentDate()) const
    {
        return m_dir->path() + QStringLiteral("/chat/") + ChatCdata::DayFileName(account, date);
    }
    // B's day file: users A=1, B=2, C=3, owner B, and the given CASE elements.
    QByteArray bFile(int maxId, const QByteArray &cases) const;

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

QTEST_GUILESS_MAIN(tst_chatstore)
#include "tst_chatstore.moc"
