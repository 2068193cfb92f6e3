#include "chatsupport.h"
#include "comm/chatcdata.h"
#include "filesizelimit.h"
#include "instance/readcost.h"
#include "loadtiming.h"
#include "testsupport_widgets.h"

#include <QCalendarWidget>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>
#include <atomic>

// The chat window with its real worker thread over real day files.
class tst_chat : public QObject, protected virtual globalvar
{
    Q_OBJECT
private slots:
    void initTestCase() { TestSupport::watchConnections(); }
    void init();
    void cleanup();
    void send_refused_data();
    void send_refused();
    void send_threeRecipients_headerInColumnOne();
    void worker_pollBeforeNew_twoNewShownOnePerPass();
    void worker_chatLockHeld_noStepUntilReleased_data();
    void worker_chatLockHeld_noStepUntilReleased();
    void earlierDay_shownOnce_todayRefused();
    void close_whilePolling_semaphoresReset_reopenPolls();
    void memberTree_addressableOnce();
    void send_textsXmlCannotHold_otherMemberReadsEvery();
    void othersUnreadableFiles_namedInStatusLine();
    void manyMessages_firstLoadTimeGrowsLinearly();
    void manyMessages_polledTimeGrowsLinearly();
    void send_ownFileFull_saidAndMarkedUntilWritten_data();
    void send_ownFileFull_saidAndMarkedUntilWritten();
    void close_ownFileStillFull_boxNamesFileAndCount();
    void largestDay_shownInSeconds_data();
    void largestDay_shownInSeconds();
    void statusLines_longReason_startShownWholeInTooltip_data();
    void statusLines_longReason_startShownWholeInTooltip();
    void showAndTabChanges_repeated_rowsNotFittedAgain();
    void cleanup_noBadConnections()
    {
        QVERIFY2(TestSupport::g_badConnections.isEmpty(),
                 qPrintable(TestSupport::g_badConnections.join('\n')));
    }

private:
    QString file(const QString &account, const QDate &date = QDate::currentDate()) const
    {
        return m_dir->path() + QStringLiteral("/chat/") + ChatCdata::DayFileName(account, date);
    }
    // B's day file with one message to A (user 1).
    QByteArray fromB(const QDate &date, int id, const QByteArray &text) const
    {
        return "<Root_Chat MaxID=\"" + QByteArray::number(id) + "\" DATE=\"" +
               date.toString(QStringLiteral("yyyy/MM/dd")).toLatin1() +
               "\"><USERS OwnerID=\"2\" MaxID=\"2\"><USER ACCOUNT=\"a@x\" NAME=\"Anna\" ID=\"1\"/>"
               "<USER ACCOUNT=\"b@x\" NAME=\"Ben\" ID=\"2\"/></USERS><CASE TYPE=\"0\" ID=\"" +
               QByteArray::number(id) + "\" MID=\"1\" TIME=\"09:00:00\"><![CDATA[" + text +
               "]]></CASE></Root_Chat>";
    }
    // A session of A, opened and with its first load shown.
    ChatSession *openA(int tickMs = 100);

    std::unique_ptr<RegistryScope> m_scope;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ChatSession> m_session;
};

void tst_chat::init()
{
    m_scope = std::make_unique<RegistryScope>();
    m_dir = std::make_unique<QTemporaryDir>();
}

void tst_chat::cleanup()
{
    m_session.reset();
    m_scope.reset();
}

ChatSession *tst_chat::openA(int tickMs)
{
    m_session =
        std::make_unique<ChatSession>(m_dir->path(), QStringLiteral("a@x"), ChatSession::FourMembers());
    if (!m_session->OpenLoaded(tickMs))
        qWarning("first load not reported");
    return m_session.get();
}

// "]]>" in one message used to hide it and every later one of the day from the other members, and
// had the sender's own file set aside as damaged at the next start.
void tst_chat::send_textsXmlCannotHold_otherMemberReadsEvery()
{
    QStringList texts{QStringLiteral("x]]>y"), QStringLiteral("a\u0001b")};
    for (int i = 0; i < 20; ++i)
        texts << QStringLiteral("later %1").arg(i);
    ChatSession *a = openA(0);
    QSignalSpy shown(a->control()->GetWorker(), &Semaphore::procFinished);
    for (const QString &text : qAsConst(texts)) {
        a->Send(text);
        QVERIFY(shown.wait(120000));
        QCOMPARE(a->Status(), text.contains(QChar(1))
                                  ? QStringLiteral("characters XML cannot hold were replaced: U+0001")
                                  : QString());
    }
    // The tables read records through copies taken under the chat lock, without file elements.
    const ChatRecord copy = a->chat()->CopyMessage(1);
    QCOMPARE(copy.Text, texts.first());
    QVERIFY(copy.Element.isNull());
    QVERIFY(!a->chat()->Store(0)->Record(1)->Element.isNull());
    QCOMPARE(a->chat()->CopyMessage(999).Seq, 0);
    texts[1] = QStringLiteral("a\uFFFDb");
    const auto shownTexts = [](ChatSession *session) {
        QStringList read;
        ChatCdata *store = session->chat()->Store(0);
        for (const auto &entry : store->GetTimeList())
            read << store->Record(entry.first)->Text;
        return read;
    };
    m_session.reset();
    m_session =
        std::make_unique<ChatSession>(m_dir->path(), QStringLiteral("b@x"), ChatSession::FourMembers());
    QVERIFY(m_session->OpenLoaded(0));
    QCOMPARE(shownTexts(m_session.get()), texts);
    m_session.reset();
    a = openA(0);
    QCOMPARE(shownTexts(a), texts);
    QCOMPARE(QDir(m_dir->path() + QStringLiteral("/chat")).entryList({QStringLiteral("*damaged*")}),
             QStringList());
}

void tst_chat::send_refused_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("unreadable"); // the own day file cannot be read
    QTest::newRow("nobody") << false << QStringLiteral("hi")
                            << QStringLiteral("received account is not selected") << false;
    QTest::newRow("empty") << true << QString() << QStringLiteral("message is empty") << false;
    QTest::newRow("own file unreadable")
        << true << QStringLiteral("hi") << QStringLiteral("message can not be sent: no chat file") << true;
    QTest::newRow("text of more sections than a message may be")
        << true << QStringLiteral("]]>").repeated(ChatCdata::MaxTextSections)
        << QStringLiteral("message can not be sent: its text holds \"]]>\" more than %1 times")
               .arg(ChatCdata::MaxTextSections - 1)
        << false;
    // Lines, as a paste of a log would be: one line of a megabyte costs the editor seconds.
    QString large =
        (QString(99, QLatin1Char('x')) + QLatin1Char('\n')).repeated(int(ChatCdata::MaxTextBytes / 100));
    large += QString(int(ChatCdata::MaxTextBytes - large.size() + 1), QLatin1Char('x'));
    QTest::newRow("text of a byte more than a message may take")
        << true << large
        << QStringLiteral(
               "message can not be sent: its text takes %1 bytes, more than the %2 a chat message may take")
               .arg(ChatCdata::MaxTextBytes + 1)
               .arg(ChatCdata::MaxTextBytes)
        << false;
}

void tst_chat::send_refused()
{
    QFETCH(bool, checked);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(bool, unreadable);
    if (unreadable)
        QDir().mkpath(file(QStringLiteral("a@x")));
    ChatSession *a = openA(0);
    if (!checked)
        a->chat()
            ->findChild<QTreeWidget *>(QStringLiteral("USER"))
            ->topLevelItem(0)
            ->setCheckState(0, Qt::Unchecked);
    a->Send(text);
    QCOMPARE(a->Status(), message);
    QCOMPARE(a->chat()->findChild<NumEditor *>()->toPlainText(), text);
    QCOMPARE(a->chat()->Store(0)->NewCount(), 0);
    QCOMPARE(QFileInfo(file(QStringLiteral("a@x"))).isDir(), unreadable);
}

void tst_chat::send_threeRecipients_headerInColumnOne()
{
    ChatSession *a = openA(0);
    QSignalSpy shown(a->control()->GetWorker(), &Semaphore::procFinished);
    a->Send(QStringLiteral("to three"));
    QVERIFY(shown.wait(120000));
    QCOMPARE(shown.first().first().toInt(), -1);
    ChatTable *table = a->chat()->Table(0);
    QCOMPARE(table->rowCount(), 4);
    const QString time = a->chat()->Store(0)->Record(1)->Time.toString(QStringLiteral("hh:mm"));
    QCOMPARE(table->item(0, 1)->text(), time + QStringLiteral("  sendnum3people"));
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("to three\n"));
    QCOMPARE(table->item(0, 0)->data(Qt::UserRole).toInt(), -1);
    QCOMPARE(table->item(1, 0)->data(Qt::UserRole).toInt(), -1);
    QCOMPARE(table->item(1, 1)->data(Qt::UserRole).toInt(), 1);
    QVERIFY(TestSupport::readFile(file(QStringLiteral("a@x"))).contains("MID=\"2,3,4\""));
}

void tst_chat::worker_pollBeforeNew_twoNewShownOnePerPass()
{
    // The loop is not started: the passes are run here, one by one, with the real store.
    m_session =
        std::make_unique<ChatSession>(m_dir->path(), QStringLiteral("a@x"), ChatSession::FourMembers());
    ChatSession *a = m_session.get();
    a->chat()->SetOwnerAddress();
    a->chat()->SetPollDate(QDate::currentDate());
    a->chat()->ShowChat();
    Semaphore *worker = a->control()->GetWorker();
    QSignalSpy finished(worker, &Semaphore::procFinished);
    QByteArray two = fromB(QDate::currentDate(), 2, "second");
    two.replace("</Root_Chat>",
                "<CASE TYPE=\"0\" ID=\"1\" MID=\"1\" TIME=\"08:00:00\"><![CDATA[first]]></CASE></Root_Chat>");
    TestSupport::writeFile(file(QStringLiteral("b@x")), two);
    a->Send(QStringLiteral("mine"));
    a->Tick();
    QCOMPARE(worker->RunPass(), int(RegSlot::FlagChatTick));
    QCOMPARE(worker->RunPass(), int(RegSlot::FlagChatSend));
    QCOMPARE(worker->RunPass(), int(RegSlot::FlagChatSend));
    QCOMPARE(worker->RunPass(), int(RegSlot::FlagChatSend));
    QCOMPARE(worker->RunPass(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 3, 120000);
    for (const auto &call : qAsConst(finished))
        QCOMPARE(call.first().toInt(), -1);
    const QStringList cells = a->Cells();
    QCOMPARE(cells.size(), 8);
    QVERIFY(cells.at(1).startsWith(QStringLiteral("|mine")));
    QCOMPARE(cells.at(2), QStringLiteral("Ben  09:00  rcvnum1people|   "));
    QVERIFY(cells.at(5).startsWith(QStringLiteral("first")));
}

void tst_chat::worker_chatLockHeld_noStepUntilReleased_data()
{
    QTest::addColumn<bool>("loop");
    QTest::newRow("loop woken") << true;
    QTest::newRow("pass on another thread") << false;
}

// The GUI thread reads records and edits the tables under the chat lock: while it holds the lock,
// a woken worker may neither change the store nor write the day file, and no step may come.
void tst_chat::worker_chatLockHeld_noStepUntilReleased()
{
    QFETCH(bool, loop);
    ChatSession *a = openA(0);
    Semaphore *worker = a->control()->GetWorker();
    // Counted on the worker's thread as the step is sent: a queued count would wait for this one.
    // Only steps of a send: a step of an earlier pass may still be on its way.
    std::atomic<int> sends{0};
    const QMetaObject::Connection counting = connect(
        worker, &Semaphore::stepDone, this,
        [&](int served, int, int, int) {
            if (served == RegSlot::FlagChatSend)
                ++sends;
        },
        Qt::DirectConnection);
    auto disconnectCounting = qScopeGuard([&] { disconnect(counting); });
    const QString own = file(QStringLiteral("a@x"));
    const QByteArray before = TestSupport::readFile(own);
    std::unique_ptr<QThread> pass;
    auto endPass = qScopeGuard([&] {
        if (pass)
            pass->wait();
    });
    {
        MutexHold chat(MutexNo::Chat);
        ChatCdata *store = a->chat()->Store(0);
        const QDate today = QDate::currentDate();
        const QString me = QStringLiteral("a@x");
        QVERIFY(store->AddMessage(today, me, store->GetUserNo(me, today),
                                  {store->GetRecipientNo(me, today, QStringLiteral("b@x"))},
                                  QStringLiteral("held back"), true) != 0);
        SetBoolVar(RegSlot::FlagChatSend, true);
        if (loop) {
            a->Wake()->release();
        } else {
            pass.reset(QThread::create([worker] { worker->RunPass(); }));
            pass->start();
        }
        // No event loop here: the window's own steps would wait for the lock. The time is what a
        // pass takes many times over.
        QThread::msleep(300);
        QCOMPARE(sends.load(), 0);
        QCOMPARE(TestSupport::readFile(own), before);
    }
    QTRY_COMPARE_WITH_TIMEOUT(sends.load(), 1, 120000);
    QVERIFY(TestSupport::readFile(own).contains("held back"));
    QTRY_VERIFY_WITH_TIMEOUT(a->Cells().join(QLatin1Char('\n')).contains(QStringLiteral("held back")),
                             120000);
}

void tst_chat::earlierDay_shownOnce_todayRefused()
{
    const QDate yesterday = QDate::currentDate().addDays(-1);
    TestSupport::writeFile(file(QStringLiteral("b@x"), yesterday), fromB(yesterday, 1, "old news"));
    ChatSession *a = openA(0);
    Chat *chat = a->chat();
    auto *calendar = chat->findChild<QCalendarWidget *>(QStringLiteral("CALENDAR"));
    auto *msg = chat->findChild<QLineEdit *>(QStringLiteral("MSG"));
    auto *date = chat->findChild<QLineEdit *>(QStringLiteral("DATE"));
    emit calendar->clicked(QDate::currentDate());
    QCOMPARE(msg->text(), QStringLiteral("date is over today"));
    QVERIFY(date->text().isEmpty());
    emit calendar->clicked(yesterday);
    QCOMPARE(msg->text(), QStringLiteral("change date"));
    chat->SelectProc();
    QCOMPARE(msg->text(), QStringLiteral("message is1cases"));
    QCOMPARE(a->Cells(1).at(1), QStringLiteral("old news\n|   "));
    QFile::remove(file(QStringLiteral("b@x"), yesterday));
    emit calendar->clicked(yesterday);
    chat->SelectProc();
    QCOMPARE(a->Cells(1).size(), 4);
    QCOMPARE(msg->text(), QStringLiteral("message is1cases"));
}

void tst_chat::close_whilePolling_semaphoresReset_reopenPolls()
{
    ChatSession *a = openA(5);
    QTest::qWait(100);
    a->Close();
    auto *request = GetObj<QSemaphore>(RegSlot::ObjChatRequestSem);
    QCOMPARE(request->available(), 1);
    QCOMPARE(a->Wake()->available(), 0);
    QCOMPARE(a->chat()->Table(0)->rowCount(), 2);
    // Reopened as a new workspace: no full load, the first message goes into the blank pair.
    TestSupport::writeFile(file(QStringLiteral("b@x")), fromB(QDate::currentDate(), 1, "after reopening"));
    a->Open(50, false);
    a->chat()->ShowChat();
    a->Send(QStringLiteral("mine again"));
    QTRY_VERIFY_WITH_TIMEOUT(a->Cells().join(QLatin1Char('\n')).contains(QStringLiteral("after reopening")),
                             120000);
    QVERIFY(a->Cells().join(QLatin1Char('\n')).contains(QStringLiteral("mine again")));
}

void tst_chat::memberTree_addressableOnce()
{
    m_session = std::make_unique<ChatSession>(
        m_dir->path(), QStringLiteral("a@x"),
        QList<QPair<QString, QString>>{{QStringLiteral("a@x"), QStringLiteral("Anna")},
                                       {QStringLiteral("b@x"), QStringLiteral("Ben")},
                                       {QStringLiteral("b@x"), QStringLiteral("Ben at home")},
                                       {QStringLiteral("nobody"), QStringLiteral("No Address")}});
    m_session->chat()->ShowChat();
    QTreeWidgetItem *top =
        m_session->chat()->findChild<QTreeWidget *>(QStringLiteral("USER"))->topLevelItem(0);
    QCOMPARE(top->text(0), QStringLiteral("ALL member"));
    QCOMPARE(top->childCount(), 1);
    QCOMPARE(top->child(0)->text(1), QStringLiteral("b@x"));
}

// Another member's day file that does not parse, or is another kind of file: not shown, named in
// the status line once, and kept as it is.
void tst_chat::othersUnreadableFiles_namedInStatusLine()
{
    const QByteArray truncated = fromB(QDate::currentDate(), 1, "hello").left(120);
    const QByteArray wrong = "<Root_Question MaxID=\"1\" DATE=\"x\"/>";
    TestSupport::writeFile(file(QStringLiteral("b@x")), truncated);
    TestSupport::writeFile(file(QStringLiteral("c@x")), wrong);
    ChatSession *a = openA(0);
    QCOMPARE(a->chat()->MessageCount(), 0);
    const QString status = a->Status();
    QVERIFY2(status.contains(file(QStringLiteral("b@x"))), qPrintable(status));
    QVERIFY2(status.contains(file(QStringLiteral("c@x"))) && status.contains("\"Root_Question\""),
             qPrintable(status));
    QCOMPARE(status.count(file(QStringLiteral("b@x"))), 1);
    QCOMPARE(TestSupport::readFile(file(QStringLiteral("b@x"))), truncated);
    QCOMPARE(TestSupport::readFile(file(QStringLiteral("c@x"))), wrong);
}

// Another member's day file with many messages to the user, and answers to them: the first load
// shows them all in time growing with the messages.
void tst_chat::manyMessages_firstLoadTimeGrowsLinearly()
{
    const auto load = [this](int count) {
        const QDate today = QDate::currentDate();
        QByteArray cases;
        for (int i = 1; i <= count; ++i) {
            const QByteArray n = QByteArray::number(i);
            const QByteArray time = QTime(0, 0).addSecs(i % 86400).toString("hh:mm:ss").toLatin1();
            cases += "<CASE TYPE=\"0\" ID=\"" + n + "\" MID=\"1\" TIME=\"" + time + "\"><![CDATA[m" + n +
                     "]]></CASE>";
        }
        TestSupport::writeFile(file(QStringLiteral("b@x")),
                               "<Root_Chat MaxID=\"" + QByteArray::number(count) + "\" DATE=\"" +
                                   today.toString(QStringLiteral("yyyy/MM/dd")).toLatin1() +
                                   "\"><USERS OwnerID=\"2\" MaxID=\"2\"><USER ACCOUNT=\"a@x\" NAME=\"Anna\" "
                                   "ID=\"1\"/><USER ACCOUNT=\"b@x\" NAME=\"Ben\" ID=\"2\"/></USERS>" +
                                   cases + "</Root_Chat>");
        auto session =
            std::make_unique<ChatSession>(m_dir->path(), QStringLiteral("a@x"), ChatSession::FourMembers());
        QSignalSpy loaded(session->control()->GetWorker(), &Semaphore::procFinished);
        session->Open(0);
        session->chat()->ShowChat();
        QVERIFY(loaded.wait(300000));
        QTRY_COMPARE_WITH_TIMEOUT(session->chat()->MessageCount(), count, 300000);
        session->Close();
    };
    // The largest day a file may hold, and a tenth of it.
    TestSupport::verifyScales(load, ChatCdata::MaxDayEntries / 10, ChatCdata::MaxDayEntries);
}

// The same file appearing after the open: the poll brings every message at once, each a step of
// its own. Each step used to fit its rows among all the others' and start a timer of its own.
void tst_chat::manyMessages_polledTimeGrowsLinearly()
{
    const auto load = [this](int count) {
        QFile::remove(file(QStringLiteral("b@x")));
        auto session =
            std::make_unique<ChatSession>(m_dir->path(), QStringLiteral("a@x"), ChatSession::FourMembers());
        QVERIFY(session->OpenLoaded(1000));
        // Older than the recheck of recent files: one poll reads it.
        TestSupport::writeAt(file(QStringLiteral("b@x")), ChatSession::BenDay(QDate::currentDate(), count),
                             QDateTime::currentDateTime().addSecs(-60));
        QTRY_COMPARE_WITH_TIMEOUT(session->chat()->MessageCount(), count, 300000);
        // Fitted with the last: the rows of the text are taller than an empty one.
        ChatTable *table = session->chat()->Table(0);
        QCOMPARE(table->rowHeight(1), table->rowHeight(2 * count - 1));
        session->Close();
    };
    // Twenty times the messages: a linear poll costs twenty times as long, and nineteen was seen
    // here; a quadratic one four hundred times.
    TestSupport::verifyScales(load, ChatCdata::MaxDayEntries / 20, ChatCdata::MaxDayEntries, 60);
}

void tst_chat::send_ownFileFull_saidAndMarkedUntilWritten_data()
{
    QTest::addColumn<int>("tickMs");
    QTest::newRow("written on a tick") << 50;
    QTest::newRow("written at close") << 0;
}

// A full disk used to leave the status line empty and the message shown as sent.
void tst_chat::send_ownFileFull_saidAndMarkedUntilWritten()
{
    QFETCH(int, tickMs);
    ChatSession *a = openA(tickMs);
    ChatTable *table = a->chat()->Table(0);
    const QString own = file(QStringLiteral("a@x"));
    {
        FileSizeLimit full(64);
        QVERIFY(full.IsSet());
        a->Send(QStringLiteral("no room"));
        QTRY_VERIFY_WITH_TIMEOUT(a->Status().startsWith(QStringLiteral("message was not saved: ")), 120000);
        QVERIFY2(a->Status().contains(own), qPrintable(a->Status()));
        QTRY_VERIFY_WITH_TIMEOUT(table->item(0, 1)->text().endsWith(QStringLiteral("  not saved")), 120000);
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral("no room\n"));
        QVERIFY(!QFile::exists(own));
    }
    if (tickMs == 0) {
        a->Close();
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!table->item(0, 1)->text().contains(QStringLiteral("not saved")), 120000);
        QCOMPARE(a->Status(), QStringLiteral("unsaved messages are saved now"));
    }
    QVERIFY(TestSupport::readFile(own).contains("<![CDATA[no room]]>"));
}

// Closing while the disk was still full used to drop the unsaved messages with a line on stderr
// that named no file.
void tst_chat::close_ownFileStillFull_boxNamesFileAndCount()
{
    ChatSession *a = openA(0);
    const QString own = file(QStringLiteral("a@x"));
    QString title;
    QString text;
    {
        FileSizeLimit full(64);
        QVERIFY(full.IsSet());
        a->Send(QStringLiteral("first"));
        QTRY_VERIFY_WITH_TIMEOUT(a->Status().startsWith(QStringLiteral("message was not saved: ")), 120000);
        // Why, as the system says it: a full disk here.
        QVERIFY2(a->Status().endsWith(qt_error_string(EFBIG)), qPrintable(a->Status()));
        a->Send(QStringLiteral("second"));
        QTRY_COMPARE_WITH_TIMEOUT(a->chat()->MessageCount(), 2, 120000);
        TestSupport::answerNextBox(QStringLiteral("ok"), &title, &text);
        a->Close();
    }
    QCOMPARE(title, QStringLiteral("Chat not saved"));
    QVERIFY2(text.startsWith(QStringLiteral("2 chat messages could not be saved")), qPrintable(text));
    QVERIFY2(text.contains(own) && text.endsWith(qt_error_string(EFBIG)), qPrintable(text));
    QVERIFY(!QFile::exists(own));
    QVERIFY(!a->chat()->isVisible());
}

void tst_chat::largestDay_shownInSeconds_data()
{
    QTest::addColumn<bool>("own");
    QTest::newRow("another's") << false;
    QTest::newRow("own, the next refused") << true;
}

// The largest day a file may hold, from the open to the window drawn with both tabs walked, in
// processor time of every thread (120,000 messages took half a minute). The user's own day at its
// limit is shown, and a message more, which would have the file refused, stays in the editor.
void tst_chat::largestDay_shownInSeconds()
{
    QFETCH(bool, own);
    const int count = ChatCdata::MaxDayEntries;
    QByteArray bytes = ChatSession::BenDay(QDate::currentDate(), count);
    if (own)
        bytes.replace("OwnerID=\"2\"", "OwnerID=\"1\"").replace("MID=\"1\"", "MID=\"2\"");
    const QString path = own ? file(QStringLiteral("a@x")) : file(QStringLiteral("b@x"));
    ChatSession::BenDayPath(m_dir->path(), QDate::currentDate());
    TestSupport::writeAt(path, bytes, QDateTime::currentDateTime().addSecs(-60));
    const ReadCost cost;
    m_session =
        std::make_unique<ChatSession>(m_dir->path(), QStringLiteral("a@x"), ChatSession::FourMembers());
    ChatSession *a = m_session.get();
    a->Open(0);
    QTRY_COMPARE_WITH_TIMEOUT(a->chat()->MessageCount(), count, 300000);
    a->chat()->ShowChat();
    auto *tabs = a->chat()->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    tabs->setCurrentIndex(1);
    tabs->setCurrentIndex(0);
    a->chat()->repaint();
    const double spent = cost.spentMs();
    // What showing as many rows costs at the least: a plain table, each row given its text and
    // fitted once, in the same run, which a busy machine or a sanitizer stretches alike.
    const double plainMs = ReadCost::PlainMs([count] {
        QTableWidget plain(2 * count + 2, 2);
        for (int r = 0; r < 2 * count; r += 2) {
            plain.setItem(r, 0, new QTableWidgetItem(QStringLiteral("Ben 12:00:00")));
            plain.setItem(r + 1, 1, new QTableWidgetItem(QStringLiteral("m%1").arg(r / 2)));
        }
        plain.resizeRowsToContents();
        return quint64(plain.rowCount());
    });
    const QString report = cost.Report() + QStringLiteral(", a plain table %1 ms").arg(plainMs);
    qInfo().noquote() << count << "messages:" << report;
    QVERIFY2(cost.Kept(1024), qPrintable(report));
    QVERIFY2(ReadCost::WithinPlain(spent, plainMs, 40), qPrintable(report));
    if (!own)
        return;
    a->Send(QStringLiteral("one more"));
    const QString said = QStringLiteral("message can not be sent: %1 holds %2 messages, as many as the chat "
                                        "file of a day takes");
    QCOMPARE(a->Status(), said.arg(QFileInfo(path).fileName()).arg(count) + QStringLiteral(" \u2014 ") +
                              said.arg(path).arg(count));
    QCOMPARE(a->chat()->findChild<NumEditor *>()->toPlainText(), QStringLiteral("one more"));
    a->Close();
    QCOMPARE(TestSupport::readFile(path), bytes);
}

void tst_chat::statusLines_longReason_startShownWholeInTooltip_data()
{
    QTest::addColumn<qint64>("size");    // 0: a file cut short, else a sparse file of that size
    QTest::addColumn<QString>("reason"); // what the line says after the file's name
    QTest::newRow("damaged") << qint64(0) << QStringLiteral("is not shown and kept as it is");
    QTest::newRow("1.1 GB") << qint64(1100) * 1024 * 1024 << QStringLiteral("holds 1100 MB, more than any");
}

// The red lines began with the whole path of the file a note names, some 120 characters in a
// workspace under a temporary folder, and the reason lay past their end: the user saw a red path.
// As the window opens they show the file's name and what happened; the whole text follows the
// name's, and is their tooltip.
void tst_chat::statusLines_longReason_startShownWholeInTooltip()
{
    QFETCH(qint64, size);
    QFETCH(QString, reason);
    const QString deep = m_dir->path() + QStringLiteral("/a folder of a name long enough to pass the line");
    QDir().mkpath(deep + QStringLiteral("/chat"));
    const QString name = ChatCdata::DayFileName(QStringLiteral("b@x"), QDate::currentDate());
    const QString path = deep + QStringLiteral("/chat/") + name;
    const QByteArray cut = "<Root_Chat MaxID=\"1\"><USERS";
    if (size == 0) {
        TestSupport::writeFile(path, cut);
    } else {
        TestSupport::writeSparse(path, size);
    }
    m_session = std::make_unique<ChatSession>(deep, QStringLiteral("a@x"), ChatSession::FourMembers());
    QVERIFY(m_session->OpenLoaded(0));
    QVERIFY(QTest::qWaitForWindowExposed(m_session->chat()));
    for (const char *lineName : {"MSG2", "MSG"}) {
        auto *line = m_session->chat()->findChild<QLineEdit *>(QLatin1String(lineName));
        const QString text = line->text();
        QVERIFY2(text.startsWith(name + QLatin1Char(' ') + reason), qPrintable(text));
        QVERIFY2(text.contains(path), qPrintable(text));
        QCOMPARE(line->cursorPosition(), 0);
        QVERIFY2(line->toolTip().startsWith(QStringLiteral("<p>") + path.toHtmlEscaped() + QLatin1Char(' ')),
                 qPrintable(line->toolTip()));
        if (!line->isVisible())
            continue;
        QVERIFY2(line->fontMetrics().horizontalAdvance(text) > line->width(), lineName);
        line->grab(); // scrolled as it is drawn
        QVERIFY2(line->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() < line->width() / 4, lineName);
        // The name and what happened fit in the line as the window opens.
        const int shown = line->fontMetrics().horizontalAdvance(name + QLatin1Char(' ') + reason);
        QVERIFY2(shown < line->width() - 16,
                 qPrintable(QStringLiteral("%1 of %2").arg(shown).arg(line->width())));
    }
    // Kept as it is.
    QCOMPARE(QFileInfo(path).size(), size ? size : qint64(cut.size()));
    auto *line = m_session->chat()->findChild<QLineEdit *>(QStringLiteral("MSG2"));
    line->clear();
    QCOMPARE(line->toolTip(), QString());
}

namespace
{
// Counts what fitting rows asks of the cells: every row fitted asks each of its cells its size.
class CountingDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        ++asked;
        return QStyledItemDelegate::sizeHint(option, index);
    }
    mutable int asked = 0;
};
} // namespace

// A day's rows take seconds to fit: shown again or with the tabs changed, a table whose rows and
// widths stayed as they were is not fitted again. The whole suite used to pass with a refit of
// every row on every show.
void tst_chat::showAndTabChanges_repeated_rowsNotFittedAgain()
{
    const int count = 300;
    TestSupport::writeAt(ChatSession::BenDayPath(m_dir->path(), QDate::currentDate()),
                         ChatSession::BenDay(QDate::currentDate(), count),
                         QDateTime::currentDateTime().addSecs(-60));
    ChatSession *a = openA(0);
    QTRY_COMPARE_WITH_TIMEOUT(a->chat()->MessageCount(), count, 120000);
    Chat *chat = a->chat();
    auto *tabs = chat->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QVERIFY(QTest::qWaitForWindowExposed(chat));
    CountingDelegate counting[2];
    for (int i = 0; i < 2; ++i)
        chat->Table(i)->setItemDelegate(&counting[i]);
    const auto walk = [&] {
        chat->hide();
        chat->ShowChat();
        tabs->setCurrentIndex(1);
        tabs->setCurrentIndex(0);
        QTest::qWait(50);
    };
    // The first walks fit what they find once the window's layout is done: what it does at a show
    // comes with the events of that walk, and the widths it gives with the next.
    for (int i = 0; i < 3; ++i)
        walk();
    const int rows = chat->Table(0)->rowCount();
    QCOMPARE(rows, 2 * count + 2);
    const int before = counting[0].asked + counting[1].asked;
    for (int i = 0; i < 5; ++i)
        walk();
    const int asked = counting[0].asked + counting[1].asked - before;
    QVERIFY2(asked < rows, qPrintable(QStringLiteral("%1 cells asked for %2 rows").arg(asked).arg(rows)));
    // A message that comes is fitted, and the rest stay as they were.
    TestSupport::writeAt(ChatSession::BenDayPath(m_dir->path(), QDate::currentDate()),
                         ChatSession::BenDay(QDate::currentDate(), count + 1),
                         QDateTime::currentDateTime().addSecs(-30));
    a->Tick();
    QTRY_COMPARE_WITH_TIMEOUT(chat->MessageCount(), count + 1, 120000);
    const int afterNew = counting[0].asked + counting[1].asked;
    walk();
    QVERIFY2(counting[0].asked + counting[1].asked - afterNew < rows,
             qPrintable(QString::number(counting[0].asked + counting[1].asked - afterNew)));
    for (int i = 0; i < 2; ++i)
        chat->Table(i)->setItemDelegate(nullptr);
}

QTEST_MAIN(tst_chat)
#include "tst_chat.moc"
