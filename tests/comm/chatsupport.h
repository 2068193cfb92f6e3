#pragma once

// One member's chat as the program runs it: registry, member table, chat window, worker thread
// and the one-second tick (faster here), over one workspace folder.

#include "comm/chat.h"
#include "comm/chatcdata.h"
#include "comm/chattable.h"
#include "comm/semaphorecontrol.h"
#include "core/globalmutex.h"
#include "members/memberinfo.h"
#include "shell/numeditor.h"

#include <QDate>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <memory>

class ChatSession : protected virtual globalvar
{
public:
    // members: account and name pairs; the one whose account is `own` is the user's record.
    ChatSession(const QString &instanceDir, const QString &own, const QList<QPair<QString, QString>> &members)
    {
        SetObj(RegSlot::ObjGlobalMutex, &m_mutex);
        SetStrVar(RegSlot::StrInstanceDir, instanceDir);
        SetStrVar(RegSlot::StrUserEmail, own);
        int id = 0;
        for (const auto &member : members) {
            auto *record = new MemberInfo;
            record->ID = id;
            record->Email = member.first;
            record->Name = member.second;
            record->OtherUser = member.first == own ? 0 : 1;
            m_table.insert(id++, record);
        }
        SetObj(RegSlot::ObjMemberTable, &m_table);
        m_control = std::make_unique<SemaphoreControl>();
        m_chat = std::make_unique<Chat>();
        m_chat->ConnectSemaphore(m_control->GetWorker());
        QObject::connect(&m_tick, &QTimer::timeout, [this] { Tick(); });
    }
    ~ChatSession() override
    {
        m_tick.stop();
        m_control.reset(); // the worker ends before the store it uses goes
        m_chat.reset();
        qDeleteAll(m_table);
        SetObj<MemberTable>(RegSlot::ObjMemberTable, nullptr);
        SetObj<GlobalMutex>(RegSlot::ObjGlobalMutex, nullptr);
    }

    // What the member manager does when a workspace opens (or, not `existing`, is created), with
    // a tick of `tickMs`.
    void Open(int tickMs = 200, bool existing = true)
    {
        m_chat->SetOwnerAddress();
        {
            MutexHold chat(MutexNo::Chat);
            for (int flag = RegSlot::FlagChatFirstLoad; flag <= RegSlot::FlagChatRefresh; ++flag)
                SetBoolVar(flag, false);
            SetBoolVar(RegSlot::FlagChatFirstLoad, existing);
        }
        emit m_control->do_start();
        if (existing)
            Wake()->release();
        m_chat->SetPollDate(QDate::currentDate());
        if (tickMs > 0)
            m_tick.start(tickMs);
    }
    // Opens, shows the window unless told not to, and waits for the first load.
    bool OpenLoaded(int tickMs, bool show = true)
    {
        QSignalSpy loaded(m_control->GetWorker(), &Semaphore::procFinished);
        Open(tickMs);
        if (show)
            m_chat->ShowChat();
        return loaded.wait(120000);
    }
    // Anna, Ben, Cleo and Dora, whose accounts are a@x ... d@x.
    static QList<QPair<QString, QString>> FourMembers()
    {
        return {{QStringLiteral("a@x"), QStringLiteral("Anna")},
                {QStringLiteral("b@x"), QStringLiteral("Ben")},
                {QStringLiteral("c@x"), QStringLiteral("Cleo")},
                {QStringLiteral("d@x"), QStringLiteral("Dora")}};
    }
    // Anna (the user, a@x) and Ben (b@x), whose day file Anna's chat polls.
    static QList<QPair<QString, QString>> AnnaAndBen()
    {
        return {{QStringLiteral("a@x"), QStringLiteral("Anna")},
                {QStringLiteral("b@x"), QStringLiteral("Ben")}};
    }
    // Ben's day file in the chat folder of instanceDir, made if missing.
    static QString BenDayPath(const QString &instanceDir, const QDate &day)
    {
        QDir().mkpath(instanceDir + QStringLiteral("/chat"));
        return instanceDir + QStringLiteral("/chat/") + ChatCdata::DayFileName(QStringLiteral("b@x"), day);
    }
    // Ben's day file as his program writes it, holding his messages "m1" to "m<count>".
    static QByteArray BenDay(const QDate &day, int count)
    {
        QByteArray cases;
        for (int n = 1; n <= count; ++n)
            cases += "<CASE TYPE=\"0\" ID=\"" + QByteArray::number(n) +
                     "\" MID=\"1\" TIME=\"10:00:00\"><![CDATA[m" + QByteArray::number(n) + "]]></CASE>";
        return "<Root_Chat MaxID=\"" + QByteArray::number(count) + "\" DATE=\"" +
               day.toString(QStringLiteral("yyyy/MM/dd")).toLatin1() +
               "\"><USERS OwnerID=\"2\" MaxID=\"2\"><USER ACCOUNT=\"a@x\" NAME=\"Anna\" ID=\"1\"/>"
               "<USER ACCOUNT=\"b@x\" NAME=\"Ben\" ID=\"2\"/></USERS>" +
               cases + "</Root_Chat>";
    }
    void Tick()
    {
        {
            MutexHold chat(MutexNo::Chat);
            SetBoolVar(RegSlot::FlagChatTick, true);
        }
        Wake()->release();
    }
    // What the member manager does when the workspace closes.
    void Close()
    {
        m_tick.stop();
        m_chat->ResetChat();
        auto *request = GetObj<QSemaphore>(RegSlot::ObjChatRequestSem);
        if (request->available() == 0)
            request->release();
        else if (request->available() > 1)
            request->acquire(request->available() - 1);
        Wake()->tryAcquire(Wake()->available());
    }
    void Send(const QString &text)
    {
        m_chat->findChild<NumEditor *>()->setPlainText(text);
        m_chat->findChild<QPushButton *>(QStringLiteral("SEND"))->click();
    }
    QString Status() const { return m_chat->findChild<QLineEdit *>(QStringLiteral("MSG2"))->text(); }
    // Every cell text of a table, row by row, columns joined by "|"; with colours, the two
    // background colours follow.
    QStringList Cells(int table = 0, bool colours = false) const
    {
        QStringList rows;
        ChatTable *t = m_chat->Table(table);
        for (int r = 0; r < t->rowCount(); ++r) {
            QStringList row{t->item(r, 0)->text(), t->item(r, 1)->text()};
            if (colours)
                row << t->item(r, 0)->background().color().name()
                    << t->item(r, 1)->background().color().name();
            rows << row.join(QLatin1Char('|'));
        }
        return rows;
    }
    QSemaphore *Wake() const { return GetObj<QSemaphore>(RegSlot::ObjChatWakeSem); }
    Chat *chat() const { return m_chat.get(); }
    SemaphoreControl *control() const { return m_control.get(); }
    MemberTable &table() { return m_table; }

private:
    GlobalMutex m_mutex;
    MemberTable m_table;
    std::unique_ptr<SemaphoreControl> m_control;
    std::unique_ptr<Chat> m_chat;
    QTimer m_tick;
};

#ifdef CHAT_PEER
// Another member's program (chatpeer) on the same workspace, as member a@x (or `own`) with b@x
// beside it.
class ChatPeer
{
public:
    // tickMs 0: the peer never polls, so what it shows came with its first load.
    bool Start(const QString &instanceDir, const QString &own = QStringLiteral("a@x"), int tickMs = 200)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CHAT_PEER_TICK_MS"), QString::number(tickMs));
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(CHAT_PEER),
                        {instanceDir, own, QStringLiteral("a@x"), QStringLiteral("Anna"),
                         QStringLiteral("b@x"), QStringLiteral("Ben")});
        return m_process.waitForStarted(-1) && Answer() == QLatin1String("ready");
    }
    void Command(const QByteArray &line) { m_process.write(line + '\n'); }
    // The next line the peer writes, however long a busy machine takes; the empty text once the peer
    // has ended. ctest's time-out is the bound against a peer that hangs.
    QString Answer()
    {
        while (!m_process.canReadLine() && m_process.state() != QProcess::NotRunning)
            m_process.waitForReadyRead(100);
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    // The peer's table as "dump" lists it, one row a line ("~" for line breaks).
    QStringList Dump()
    {
        Command("dump");
        QStringList rows;
        for (QString line = Answer(); line.startsWith(QLatin1String("row ")); line = Answer())
            rows << line.mid(4);
        return rows;
    }
    // Dumps until the rows are what the test waits for: the peer's own polls or first load bring
    // them, however long a busy machine takes. ctest's time-out is the bound, as for Answer().
    template <typename Done> QStringList DumpUntil(Done done)
    {
        QStringList rows = Dump();
        while (!done(rows) && m_process.state() != QProcess::NotRunning) {
            QThread::msleep(50); // leaves the peer's event loop to its own work between dumps
            rows = Dump();
        }
        return rows;
    }
    bool Quit()
    {
        Command("quit");
        return m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
};
#endif
