#include "comm/mailtitle.h"
#include "comm/membermail.h"
#include "comm/smtpcontrol.h"
#include "qa/historyfile.h"
#include "qa/qasession.h"
#include "shell/numeditor.h"
#include "smtppeer.h"

#include <QComboBox>
#include <QDomDocument>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace TestSupport;

namespace
{
// Member 2 is the running user's; 1 and 3 have processing addresses, 4 has none.
const QList<QPair<int, QString>> kMembers{{1, QStringLiteral("m1@x")},
                                          {2, QStringLiteral("m2@x")},
                                          {3, QStringLiteral("m3@x")},
                                          {4, QStringLiteral("m4@x")}};

QList<QDomElement> cases(const QString &path, QString *maxId = nullptr)
{
    QDomDocument doc;
    doc.setContent(readFile(path));
    if (maxId)
        *maxId = doc.documentElement().attribute(QStringLiteral("MaxID"));
    QList<QDomElement> all;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        all << e;
    return all;
}

// A workspace with member 2's mail panel, the mail thread and the status routing of the program.
struct MailRig {
    MailRig(const QString &dir, int port) : session(dir, QStringLiteral("m2@x"), kMembers)
    {
        session.SetStrVar(RegSlot::StrUserName, QStringLiteral("Bob"));
        session.SetStrVar(RegSlot::StrMailIsConnect, QStringLiteral("1"));
        session.SetStrVar(RegSlot::StrMailServer, QStringLiteral("localhost"));
        session.SetStrVar(RegSlot::StrMailPort, QString::number(port));
        session.SetStrVar(RegSlot::StrMailSecurity, QStringLiteral("0"));
        session.SetStrVar(RegSlot::StrMailAuth, QStringLiteral("0"));
        session.SetStrVar(RegSlot::StrMailAddress, QStringLiteral("bob@pel.example"));
        session.member(1)->ProcEmail = QStringLiteral("one@pel.example");
        session.member(3)->ProcEmail = QStringLiteral("three@pel.example");
        session.SetObj(RegSlot::ObjSmtpControl, &control);
        QObject::connect(&control, &SmtpControl::statusMessage, &control, [this](const QString &text) {
            StatusWindow *w = session.GetObj<StatusWindow>(RegSlot::ObjStatusWindow);
            if (session.GetIntVar(RegSlot::IntStatusMode) == 1 && w)
                w->SendResult(text);
            else
                statusBar << text;
        });
        panel.SetUser(session.member(2));
    }
    template <class T> T *child(const char *name) { return panel.findChild<T *>(QLatin1String(name)); }
    QPushButton *button(const char *name) { return child<QPushButton>(name); }
    QString msg() { return child<QLineEdit>("MSG")->text(); }
    QTreeWidgetItem *hist(int i) { return child<QTreeWidget>("HIST")->topLevelItem(i); }
    void write(const QString &title, const QString &text)
    {
        session.whenModal<MailTitle>([title](MailTitle *d) {
            d->findChild<QLineEdit *>(QStringLiteral("TITLE"))->setText(title);
            d->findChild<QPushButton *>(QStringLiteral("SET"))->click();
        });
        button("NEW")->click();
        panel.GetEditor()->setPlainText(text);
    }
    // Checks exactly the members given.
    void address(const QList<int> &ids)
    {
        QTreeWidgetItem *all = child<QTreeWidget>("USER")->topLevelItem(0);
        all->setCheckState(0, Qt::Unchecked);
        for (int i = 0; i < all->childCount(); ++i)
            all->child(i)->setCheckState(
                0, ids.contains(all->child(i)->data(0, Qt::UserRole).toInt()) ? Qt::Checked : Qt::Unchecked);
    }
    QString file() const
    {
        return session.GetStrVar(RegSlot::StrInstanceDir) + QStringLiteral("/mail_2_.eml");
    }

    QaSession session;
    SmtpControl control;
    MemberMail panel;
    QStringList statusBar;
};
} // namespace

class tst_membermail : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void mail_saveUnsentThenSend_roundTrip();
    void send_refused_data();
    void send_refused();
    void send_serverDown_unsentAndSaveGoesToStatusBar();
    void send_duringRun_saveAndDeleteRefused();
    void panel_otherMembersPage_lockedWithoutButtons();
    void notify_newEntries_mailedOnceToOthers_data();
    void notify_newEntries_mailedOnceToOthers();
    void notify_entryFreedDuringRun_skipped();
    void mail_pastHistoryLimit_refusedKeptInEditor();
    void save_otherMembersHistoryShown_neverWritten();
    void save_historyNotReadable_saveStaysOnWrittenOnceMended();

private:
    SmtpPeer m_peer;
    QTemporaryDir *m_dir = nullptr;
};

void tst_membermail::initTestCase()
{
    watchConnections();
    QVERIFY(m_peer.start());
}

void tst_membermail::cleanupTestCase()
{
    delete m_dir;
    m_dir = nullptr;
}

void tst_membermail::init()
{
    delete m_dir;
    m_dir = new QTemporaryDir;
    m_peer.clear("open");
}

void tst_membermail::mail_saveUnsentThenSend_roundTrip()
{
    MailRig rig(m_dir->path(), m_peer.port("open"));
    // "ALL member" checks only members with an address in their account.
    rig.session.member(4)->Email = QStringLiteral("noaddress");
    rig.panel.SetUser(rig.session.member(2));
    rig.write(QStringLiteral("hello"), QStringLiteral("first line\nsecond"));
    QTreeWidgetItem *all = rig.child<QTreeWidget>("USER")->topLevelItem(0);
    QCOMPARE(all->child(2)->checkState(0), Qt::Unchecked);
    QVERIFY(!(all->child(2)->flags() & Qt::ItemIsEnabled));
    QVERIFY(!rig.button("NEW")->isEnabled());
    QCOMPARE(rig.hist(0)->text(3), QStringLiteral("newhist"));
    rig.address({1});
    rig.button("NSENDSAVE")->click();
    QString maxId;
    QList<QDomElement> stored = cases(rig.file(), &maxId);
    QCOMPARE(stored.size(), 1);
    QCOMPARE(maxId, QStringLiteral("1"));
    QCOMPARE(stored.at(0).attribute("MID"), QStringLiteral("1"));
    QCOMPARE(stored.at(0).attribute("IS_SEND"), QStringLiteral("0"));
    QCOMPARE(stored.at(0).attribute("TITLE"), QStringLiteral("hello"));
    QCOMPARE(stored.at(0).attribute("NAME"), QStringLiteral("Bob"));
    QCOMPARE(stored.at(0).text(), QStringLiteral("first line\nsecond"));
    QCOMPARE(rig.hist(0)->text(3), QStringLiteral("unsended"));
    QCOMPARE(rig.hist(0)->background(3).color(), QColor("#fae992"));
    QVERIFY(rig.button("NEW")->isEnabled());

    // Sending the stored mail updates it in place; a save-all meanwhile leaves it to the result.
    rig.address({1, 3});
    rig.button("SEND")->click();
    emit rig.control.statusMessage(QStringLiteral("save end"));
    QCOMPARE(rig.hist(0)->text(3), QStringLiteral("unsended"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.hist(0)->text(3), QStringLiteral("sended"), 15000);
    QCOMPARE(rig.statusBar, QStringList{QStringLiteral("save end")});
    QCOMPARE(rig.hist(0)->background(3).color(), QColor("#82fb83"));
    QVERIFY(rig.button("NEW")->isEnabled() && !rig.button("SEND")->isEnabled());
    stored = cases(rig.file());
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored.at(0).attribute("IS_SEND"), QStringLiteral("1"));
    QCOMPARE(stored.at(0).attribute("MID"), QStringLiteral("1,3"));
    const QStringList events = m_peer.events("open");
    QCOMPARE(events.filter(QStringLiteral("RCPT")),
             QStringList({QStringLiteral("RCPT one@pel.example"), QStringLiteral("RCPT three@pel.example")}));
    const QList<QByteArray> mails = m_peer.messages("open");
    QCOMPARE(mails.size(), 1);
    QVERIFY(
        mails.at(0).contains("Subject:=?utf-8?B?" + QByteArray("Bobmr. have a email message").toBase64()));
    const QString body = QString::fromUtf8(mails.at(0));
    for (const char *line : {"[Model]", "message number[1]", "Date:", "title:hello",
                             "--------- contents----------", "first line"})
        QVERIFY2(body.contains(QLatin1String(line)), line);
    // A sent mail's title is no longer changed.
    emit rig.child<QTreeWidget>("HIST")->itemDoubleClicked(rig.hist(0), 4);
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_membermail::send_refused_data()
{
    QTest::addColumn<QString>("connected");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("to");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("storedUnsent");
    QTest::newRow("not confirmed") << "0"
                                   << "x" << QList<int>{1} << "SMTP is not connect. Check Option Mail" << 0;
    QTest::newRow("empty") << "1"
                           << "" << QList<int>{1} << "contents is empty" << 0;
    QTest::newRow("nobody") << "1"
                            << "x" << QList<int>{} << "Send user is not selected" << 0;
    QTest::newRow("no proc address") << "1"
                                     << "x" << QList<int>{4} << "Send user is not proc email address" << 1;
}

void tst_membermail::send_refused()
{
    QFETCH(QString, connected);
    QFETCH(QString, text);
    QFETCH(QList<int>, to);
    QFETCH(QString, expected);
    QFETCH(int, storedUnsent);
    MailRig rig(m_dir->path(), m_peer.port("open"));
    rig.session.SetStrVar(RegSlot::StrMailIsConnect, connected);
    if (connected == QLatin1String("0")) {
        rig.button("NEW")->click();
        QCOMPARE(rig.msg(), expected);
        QCOMPARE(rig.child<QLineEdit>("MSG")->styleSheet(), QStringLiteral("color: #FF0000"));
        return;
    }
    rig.write(QStringLiteral("t"), text);
    rig.address(to);
    rig.button("SEND")->click();
    QCOMPARE(rig.msg(), expected);
    QCOMPARE(cases(rig.file()).size(), storedUnsent);
    if (!storedUnsent)
        return;
    // Stored unsent and out of the new-mail state: a second send or save keeps one mail.
    QCOMPARE(cases(rig.file()).at(0).attribute("IS_SEND"), QStringLiteral("0"));
    QVERIFY(rig.button("NEW")->isEnabled());
    QCOMPARE(rig.hist(0)->text(3), QStringLiteral("unsended"));
    rig.button("SEND")->click();
    rig.button("NSENDSAVE")->click();
    QCOMPARE(cases(rig.file()).size(), 1);
    QVERIFY(rig.panel.Queue().isEmpty());
}

void tst_membermail::send_serverDown_unsentAndSaveGoesToStatusBar()
{
    MailRig rig(m_dir->path(), m_peer.port("closed"));
    rig.write(QStringLiteral("t"), QStringLiteral("body"));
    rig.address({1});
    rig.button("SEND")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.msg().isEmpty(), 15000);
    QCOMPARE(rig.msg(), QStringLiteral("send was failed"));
    QCOMPARE(rig.child<QLineEdit>("MSG")->styleSheet(), QStringLiteral("color: #FF0000"));
    QCOMPARE(rig.hist(0)->text(3), QStringLiteral("unsended"));
    emit rig.control.statusMessage(QStringLiteral("save end"));
    QCOMPARE(rig.statusBar, QStringList{QStringLiteral("save end")});
    QCOMPARE(rig.msg(), QStringLiteral("send was failed"));
    QCOMPARE(cases(rig.file()).at(0).attribute("IS_SEND"), QStringLiteral("0"));
}

// The result marks the mail the run took: saving or deleting it meanwhile would have the result
// mark a text that never went out, or a deleted mail, as sent.
void tst_membermail::send_duringRun_saveAndDeleteRefused()
{
    MailRig rig(m_dir->path(), m_peer.port("open"));
    rig.write(QStringLiteral("t"), QStringLiteral("as sent"));
    rig.address({1});
    rig.button("SEND")->click();
    rig.panel.GetEditor()->setPlainText(QStringLiteral("changed during the run"));
    rig.button("NSENDSAVE")->click();
    bool asked = false;
    QTimer::singleShot(300, [&asked] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (QPushButton *yes = box ? box->findChild<QPushButton *>(QStringLiteral("yes")) : nullptr) {
            asked = true;
            yes->click();
        }
    });
    rig.button("CANCEL")->click();
    QTRY_COMPARE_WITH_TIMEOUT(rig.hist(0) ? rig.hist(0)->text(3) : QString(), QStringLiteral("sended"),
                              15000);
    QVERIFY(!asked);
    const QList<QDomElement> stored = cases(rig.file());
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored.at(0).text(), QStringLiteral("as sent"));
    QCOMPARE(stored.at(0).attribute("IS_SEND"), QStringLiteral("1"));
    QVERIFY(!stored.at(0).hasAttribute("DELETE") || stored.at(0).attribute("DELETE") == QStringLiteral("0"));
}

void tst_membermail::panel_otherMembersPage_lockedWithoutButtons()
{
    {
        MailRig rig(m_dir->path(), m_peer.port("open"));
        rig.write(QStringLiteral("t"), QStringLiteral("body"));
        rig.address({1});
        rig.button("NSENDSAVE")->click();
    }
    // Another member's program shows member 2's page: no buttons, every mail locked.
    QaSession other(m_dir->path(), QStringLiteral("m1@x"), kMembers);
    MemberMail panel;
    panel.SetUser(other.member(2));
    QVERIFY(panel.findChild<QPushButton *>(QStringLiteral("SEND"))->isHidden());
    auto *hist = panel.findChild<QTreeWidget *>(QStringLiteral("HIST"));
    QCOMPARE(hist->topLevelItemCount(), 1);
    QVERIFY(panel.GetEditor()->isReadOnly());
    QCOMPARE(panel.GetEditor()->toPlainText(), QStringLiteral("body"));
}

void tst_membermail::notify_newEntries_mailedOnceToOthers_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("port");
    QTest::newRow("on") << "1" << m_peer.port("open");
    QTest::newRow("off") << "0" << m_peer.port("open");
    QTest::newRow("server down, then up") << "1" << m_peer.port("closed");
}

void tst_membermail::notify_newEntries_mailedOnceToOthers()
{
    QFETCH(QString, setting);
    QFETCH(int, port);
    MailRig rig(m_dir->path(), port);
    rig.session.SetStrVar(RegSlot::StrMailIsSend, setting);
    QandA *qa = rig.session.panel();
    // Asked on member 2's element, addressed to 2 itself, 1 and 4 (no processing address).
    rig.session.Ask(1, QStringLiteral("why"), {2, 1, 4});
    qa->findChild<QComboBox *>(QStringLiteral("STATECBX"))->setCurrentIndex(1);
    answerNextBox(QStringLiteral("yes"));
    qa->findChild<QPushButton *>(QStringLiteral("SET"))->click();
    rig.session.Save();
    if (setting != QLatin1String("1")) {
        QVERIFY(qa->MailQueue().isEmpty());
        QTest::qWait(200);
        QVERIFY(rig.statusBar.isEmpty());
        return;
    }
    QCOMPARE(qa->MailQueue().size(), 2);
    const MailQueueItem &second = qa->MailQueue().at(1);
    QCOMPARE(second.Recipients.size(), 1);
    QCOMPARE(second.Recipients.at(0).Address, QStringLiteral("one@pel.example"));
    QCOMPARE(second.Subject, QStringLiteral("Bobmr. have a question"));
    QVERIFY(second.Body.contains(QStringLiteral("\nNo.2    Status:Progressing\n")));
    QVERIFY(second.Body.contains(QStringLiteral("[instance Lclass]\nLclass ID:I2-5\n")));
    QTRY_COMPARE_WITH_TIMEOUT(rig.statusBar.size(), 1, 15000);
    if (port == m_peer.port("closed")) {
        // Nothing was marked sent: the next save-all mails both again.
        rig.session.SetStrVar(RegSlot::StrMailPort, QString::number(m_peer.port("open")));
        rig.session.Save();
        QCOMPARE(qa->MailQueue().size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(rig.statusBar.size(), 2, 15000);
    }
    QCOMPARE(rig.statusBar.last(), QStringLiteral("send was complete"));
    QCOMPARE(m_peer.messages("open").size(), 2);
    rig.session.Save();
    QVERIFY(qa->MailQueue().isEmpty());
}

// A reload frees the entries a run reports on; the mark is then skipped.
void tst_membermail::notify_entryFreedDuringRun_skipped()
{
    RegistryScope reg;
    reg.SetStrVar(RegSlot::StrMailServer, QStringLiteral("localhost"));
    reg.SetStrVar(RegSlot::StrMailPort, QString::number(m_peer.port("open")));
    SmtpControl control;
    QSignalSpy results(&control, &SmtpControl::statusMessage);
    auto *entry = new DocCdataCase;
    const QList<MailQueueItem> queue{{entry,
                                      {{QStringLiteral("M"), QStringLiteral("a@pel.example")}},
                                      QStringLiteral("s"),
                                      QStringLiteral("b")}};
    control.SetQueue(&queue);
    emit control.do_start();
    delete entry;
    auto *reused = new DocCdataCase;
    QVERIFY(results.wait(120000));
    QVERIFY(!reused->IsSend);
    delete reused;
}

// A member's mail history near its reader's limit: a new mail that would pass it is neither saved
// nor sent and stays in the editor; one "]]>" less is saved and reads back whole; the saved mail
// changed past the limit keeps what was saved.
void tst_membermail::mail_pastHistoryLimit_refusedKeptInEditor()
{
    const QString file = m_dir->filePath(QStringLiteral("mail_2_.eml"));
    // Room for a mail whose text holds "]]>" twice.
    const qint64 count =
        DocCdata::MaxHistoryNodes - HistoryFile::OneEntryNodes(2, 0) - HistoryFile::EntryNodes(2, 2);
    writeFile(file, HistoryFile::OneEntry(2, count));
    const QByteArray before = readFile(file);
    MailRig rig(m_dir->path(), m_peer.port("open"));
    QCOMPARE(rig.file(), file);
    const QString refused = QStringLiteral("a]]>b]]>c]]>d");
    rig.write(QStringLiteral("t"), refused);
    rig.address({1});
    for (const char *button : {"NSENDSAVE", "SEND"}) {
        rig.button(button)->click();
        QVERIFY2(rig.msg().startsWith("The mail was not saved") && rig.msg().contains(file) &&
                     rig.msg().contains("\"]]>\""),
                 qPrintable(rig.msg()));
        QCOMPARE(rig.panel.GetEditor()->toPlainText(), refused);
        QCOMPARE(readFile(file), before);
        QVERIFY(rig.panel.Queue().isEmpty());
    }
    const QString taken = QStringLiteral("a]]>b]]>c");
    rig.panel.GetEditor()->setPlainText(taken);
    rig.button("NSENDSAVE")->click();
    const QByteArray saved = readFile(file);
    {
        DocCdata reader;
        reader.SetMode(DocCdata::MailKind);
        const QList<DocCdataCase *> *entries = reader.LoadIfChanged("m", file);
        QCOMPARE(entries->size(), 2);
        QCOMPARE(entries->at(1)->Text, taken);
        QCOMPARE(entries->at(0)->Text.size(), 3 * count);
    }
    rig.panel.GetEditor()->setPlainText(refused);
    rig.button("NSENDSAVE")->click();
    QVERIFY2(rig.msg().startsWith("The mail was not saved"), qPrintable(rig.msg()));
    QCOMPARE(rig.panel.GetEditor()->toPlainText(), refused);
    QCOMPARE(readFile(file), saved);
}

// Member 2 showed member 1's mails; member 1 then wrote a second mail; member 2's save of a mail
// of its own wrote member 1's file again from the copy shown: the second mail, the file's comments
// and attributes were gone.
// The panel's save could not read its history again: the mail stays, the save is marked needed,
// and the main window's save writes it once the file reads.
void tst_membermail::save_historyNotReadable_saveStaysOnWrittenOnceMended()
{
    MailRig rig(m_dir->path(), m_peer.port("open"));
    rig.write(QStringLiteral("first"), QStringLiteral("one"));
    rig.address({1});
    rig.button("NSENDSAVE")->click();
    QCOMPARE(cases(rig.file()).size(), 1);
    const QByteArray good = readFile(rig.file());
    const QByteArray half = good.left(good.size() / 2);
    writeFile(rig.file(), half);
    rig.write(QStringLiteral("second"), QStringLiteral("two"));
    rig.address({1});
    rig.session.SetBoolVar(RegSlot::FlagSaveNeeded, false);
    rig.session.SetBoolVar(RegSlot::FlagWriteFailed, false);
    rig.button("NSENDSAVE")->click();
    QCOMPARE(readFile(rig.file()), half);
    QVERIFY(rig.session.GetBoolVar(RegSlot::FlagSaveNeeded));
    QVERIFY(rig.session.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(!rig.panel.SaveUnwritten());
    writeFile(rig.file(), good);
    QVERIFY(rig.panel.SaveUnwritten());
    const QList<QDomElement> written = cases(rig.file());
    QCOMPARE(written.size(), 2);
    QCOMPARE(written.at(1).attribute(QStringLiteral("ID")), QStringLiteral("2"));
    QCOMPARE(written.at(1).text(), QStringLiteral("two"));
}

void tst_membermail::save_otherMembersHistoryShown_neverWritten()
{
    const QString theirs = m_dir->filePath(QStringLiteral("mail_1_.eml"));
    const QByteArray mail = "<CASE ID=\"1\" MID=\"2\" IS_SEND=\"1\" TITLE=\"hi\" NAME=\"Ann\" "
                            "DATETIME=\"2026/01/01 10:00\" x=\"y\"><![CDATA[first]]></CASE><!-- note -->";
    writeAt(theirs, "<Root_Instance MaxID=\"1\">" + mail + "</Root_Instance>",
            QDateTime::currentDateTime().addSecs(-60));
    MailRig rig(m_dir->path(), m_peer.port("open"));
    rig.panel.SetUser(rig.session.member(1));
    QCOMPARE(rig.child<QTreeWidget>("HIST")->topLevelItemCount(), 1);
    const QByteArray second =
        "<Root_Instance MaxID=\"2\">" + mail +
        "<CASE ID=\"2\" MID=\"2\" IS_SEND=\"0\" TITLE=\"again\" NAME=\"Ann\" DATETIME=\"2026/01/02 10:00\">"
        "<![CDATA[second]]></CASE></Root_Instance>";
    writeAt(theirs, second, QDateTime::currentDateTime().addSecs(-30));
    rig.panel.SetUser(rig.session.member(2));
    rig.write(QStringLiteral("mine"), QStringLiteral("own mail"));
    rig.address({1});
    rig.button("NSENDSAVE")->click();
    QCOMPARE(cases(rig.file()).size(), 1);
    rig.button("SEND")->click();
    QTRY_COMPARE_WITH_TIMEOUT(rig.hist(0)->text(3), QStringLiteral("sended"), 15000);
    QCOMPARE(readFile(theirs), second);
}

QTEST_MAIN(tst_membermail)
#include "tst_membermail.moc"
