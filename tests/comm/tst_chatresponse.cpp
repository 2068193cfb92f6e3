#include "chatsupport.h"
#include "comm/chatcdata.h"
#include "comm/chatnotif.h"
#include "comm/chatresponse.h"
#include "testsupport_widgets.h"

#include <QCalendarWidget>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTreeWidget>

// Clicks on the message tables (recipients, deletion, responses) and the notification, with the
// real worker and real files; answers and deletions crossing between two programs.
class tst_chatresponse : public QObject, protected virtual globalvar
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void exchange_answerChangedTwice_deletionSeen();
    void ownMessage_headShowsRecipients_textDeletesOnce();
    void earlierDay_textClickIgnored_headShowsSender();
    void notification_onlyOutOfView_opensFirstTab();

private:
    QString file(const QString &account, const QDate &date = QDate::currentDate()) const
    {
        return m_dir->path() + QStringLiteral("/chat/") + ChatCdata::DayFileName(account, date);
    }
    // B's day file with messages 1..count to A (user 1), each "m<n>" (or `text` for the last).
    QByteArray fromB(const QDate &date, int count, const QByteArray &text = QByteArray()) const;
    ChatSession *open(const QString &own, bool show = true);
    // Clicks a cell as the user does; a confirmation that comes up is answered with `button`.
    // Tells whether one came up.
    bool click(ChatTable *table, int row, int column, const QString &button = QStringLiteral("cancel"));
    // The CASE elements of a day file.
    static QList<QDomElement> cases(const QString &path);

    std::unique_ptr<RegistryScope> m_scope;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ChatSession> m_session;
    bool m_asked = false;
};

void tst_chatresponse::init()
{
    m_scope = std::make_unique<RegistryScope>();
    m_dir = std::make_unique<QTemporaryDir>();
    QDir().mkpath(m_dir->path() + QStringLiteral("/chat"));
}

void tst_chatresponse::cleanup()
{
    m_session.reset();
    m_scope.reset();
}

QByteArray tst_chatresponse::fromB(const QDate &date, int count, const QByteArray &text) const
{
    QByteArray bytes = "<Root_Chat MaxID=\"" + QByteArray::number(count) + "\" DATE=\"" +
                       date.toString(QStringLiteral("yyyy/MM/dd")).toLatin1() +
                       "\"><USERS OwnerID=\"2\" MaxID=\"2\"><USER ACCOUNT=\"a@x\" NAME=\"Anna\" ID=\"1\"/>"
                       "<USER ACCOUNT=\"b@x\" NAME=\"Ben\" ID=\"2\"/></USERS>";
    for (int n = 1; n <= count; ++n)
        bytes += "<CASE TYPE=\"0\" ID=\"" + QByteArray::number(n) + "\" MID=\"1\" TIME=\"09:00:0" +
                 QByteArray::number(n % 10) + "\"><![CDATA[" +
                 (n == count && !text.isEmpty() ? text : "m" + QByteArray::number(n)) + "]]></CASE>";
    return bytes + "</Root_Chat>";
}

ChatSession *tst_chatresponse::open(const QString &own, bool show)
{
    m_session = std::make_unique<ChatSession>(m_dir->path(), own, ChatSession::FourMembers());
    if (!m_session->OpenLoaded(50, show))
        qWarning("first load not reported");
    return m_session.get();
}

bool tst_chatresponse::click(ChatTable *table, int row, int column, const QString &button)
{
    m_asked = false;
    QTimer::singleShot(0, this, [this, button] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            m_asked = box->windowTitle() == QLatin1String("DelMessage") &&
                      box->informativeText() == QLatin1String("Is delete message?");
            box->findChild<QPushButton *>(button)->click();
        }
    });
    table->scrollToItem(table->item(row, column));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualItemRect(table->item(row, column)).center());
    QCoreApplication::processEvents();
    return m_asked;
}

QList<QDomElement> tst_chatresponse::cases(const QString &path)
{
    QDomDocument doc;
    doc.setContent(TestSupport::readFile(path));
    QList<QDomElement> list;
    for (QDomElement e = doc.documentElement().firstChildElement(QStringLiteral("CASE")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("CASE")))
        list << e;
    return list;
}

void tst_chatresponse::exchange_answerChangedTwice_deletionSeen()
{
    ChatPeer peer;
    QVERIFY(peer.Start(m_dir->path()));
    // A's text row of its first message: summary text and colour.
    auto summary = [&] {
        peer.Command("dump");
        QStringList rows;
        for (QString line = peer.Answer(); line.startsWith(QLatin1String("row ")); line = peer.Answer())
            rows << line.mid(4);
        return rows.size() > 1 ? rows.at(1).section(QLatin1Char('|'), 0, 0) + QLatin1Char('|') +
                                     rows.at(1).section(QLatin1Char('|'), 2, 2)
                               : QString();
    };
    ChatSession *b = open(QStringLiteral("b@x"));
    peer.Command("send hi <&>");
    QCOMPARE(peer.Answer(), QStringLiteral("sent"));
    ChatTable *table = b->chat()->Table(0);
    QTRY_COMPARE_WITH_TIMEOUT(table->item(1, 0)->text(), QStringLiteral("hi <&>\n"), 120000);
    QVERIFY(table->item(0, 0)->text().startsWith(QStringLiteral("Anna  ")));
    // A's file as A wrote it (B polled it, and wrote nothing): A is user 1 there, B user 2.
    const QString aFile = file(QStringLiteral("a@x"));
    QDomDocument doc;
    QVERIFY(doc.setContent(TestSupport::readFile(aFile)));
    QCOMPARE(doc.documentElement().attribute(QStringLiteral("MaxID")), QStringLiteral("1"));
    QCOMPARE(doc.documentElement().firstChildElement().tagName(), QStringLiteral("USERS"));
    QCOMPARE(doc.documentElement().firstChildElement().attribute(QStringLiteral("OwnerID")),
             QStringLiteral("1"));
    const QDomElement sent = cases(aFile).value(0);
    QCOMPARE(sent.attribute(QStringLiteral("MID")), QStringLiteral("2"));
    QCOMPARE(sent.firstChild().toCDATASection().data(), QStringLiteral("hi <&>"));
    QCOMPARE(QDir(m_dir->path() + QStringLiteral("/chat")).entryList(QDir::Files),
             QStringList{QFileInfo(aFile).fileName()});
    ChatResponse *dialog = b->chat()->Response();
    auto choose = [dialog](const char *kind) {
        if (kind)
            dialog->findChild<QRadioButton *>(QLatin1String(kind))->click();
        dialog->findChild<QPushButton *>(QStringLiteral("SET"))->click();
    };
    QVERIFY(!click(table, 1, 0));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("USER"))->text(), QStringLiteral("Anna"));
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("TIME"))->text(),
             sent.attribute(QStringLiteral("TIME")).left(5));
    choose("AGREE");
    QTRY_COMPARE_WITH_TIMEOUT(cases(file(QStringLiteral("b@x"))).size(), 1, 120000);
    const QDomElement response = cases(file(QStringLiteral("b@x"))).first();
    QCOMPARE(response.attribute(QStringLiteral("TYPE")), QStringLiteral("2"));
    QCOMPARE(response.attribute(QStringLiteral("DSTNO")), sent.attribute(QStringLiteral("ID")));
    QCOMPARE(response.attribute(QStringLiteral("DSTMSG")), QStringLiteral("1"));
    QCOMPARE(response.attribute(QStringLiteral("MID")), QStringLiteral("1"));
    QCOMPARE(response.attribute(QStringLiteral("TIME")), sent.attribute(QStringLiteral("TIME")));
    const QString first = response.attribute(QStringLiteral("MDTIME"));
    QVERIFY(QDateTime::fromString(first, QStringLiteral("yyyy/MM/dd hh:mm:ss")).isValid());
    QTRY_COMPARE_WITH_TIMEOUT(summary(), QStringLiteral("AGREE  1num~|#7af7cb"), 120000);
    // B's own table is refreshed by B's chat worker after it wrote the file, which A may read first.
    QTRY_COMPARE_WITH_TIMEOUT(table->item(1, 1)->text(), QStringLiteral("AGREE"), 120000);

    click(table, 1, 0);
    QVERIFY(dialog->findChild<QRadioButton *>(QStringLiteral("AGREE"))->isChecked());
    choose(nullptr);
    QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("MSG"))->text(), QStringLiteral("same type"));
    choose("OPPO");
    QTRY_COMPARE_WITH_TIMEOUT(summary(), QStringLiteral("OPPO  1num~|#7af7cb"), 120000);
    click(table, 1, 0);
    choose("NONE");
    QTRY_COMPARE_WITH_TIMEOUT(summary(), QStringLiteral("|#99bfe9"), 120000);
    const QList<QDomElement> answers = cases(file(QStringLiteral("b@x")));
    QCOMPARE(answers.size(), 1);
    QCOMPARE(answers.first().attribute(QStringLiteral("DSTMSG")), QStringLiteral("0"));
    QCOMPARE(answers.first().attribute(QStringLiteral("MDTIME")), first);

    peer.Command("delete 1");
    QCOMPARE(peer.Answer(), QStringLiteral("deleted"));
    QTRY_COMPARE_WITH_TIMEOUT(cases(file(QStringLiteral("a@x"))).value(0).attribute(QStringLiteral("TYPE")),
                              QStringLiteral("1"), 120000);
    const QDomElement deleted = cases(file(QStringLiteral("a@x"))).first();
    QVERIFY(deleted.hasAttribute(QStringLiteral("MDTIME")));
    QCOMPARE(deleted.firstChild().toCDATASection().data(), QStringLiteral("hi <&>"));
    QTRY_COMPARE_WITH_TIMEOUT(table->item(1, 0)->text(), QStringLiteral(" delete "), 120000);
    QCOMPARE(table->item(1, 0)->background().color().name(), QStringLiteral("#f3c6d7"));
    QVERIFY(peer.Quit());
}

void tst_chatresponse::ownMessage_headShowsRecipients_textDeletesOnce()
{
    ChatSession *a = open(QStringLiteral("a@x"));
    QTreeWidgetItem *top = a->chat()->findChild<QTreeWidget *>(QStringLiteral("USER"))->topLevelItem(0);
    top->setCheckState(0, Qt::Unchecked);
    top->child(0)->setCheckState(0, Qt::Checked);
    top->child(1)->setCheckState(0, Qt::Checked);
    a->Send(QStringLiteral("mine"));
    QTRY_COMPARE_WITH_TIMEOUT(a->chat()->MessageCount(), 1, 120000);
    top->setCheckState(0, Qt::Checked);
    ChatTable *table = a->chat()->Table(0);
    click(table, 0, 1);
    QCOMPARE(top->checkState(0), Qt::Unchecked);
    QCOMPARE(QList<int>(
                 {top->child(0)->checkState(0), top->child(1)->checkState(0), top->child(2)->checkState(0)}),
             QList<int>({Qt::Checked, Qt::Checked, Qt::Unchecked}));
    QVERIFY(!click(table, 1, 0)); // column 0 of an own message: nothing to answer
    QVERIFY(!a->chat()->Response()->isVisible());
    QVERIFY(click(table, 1, 1, QStringLiteral("cancel")));
    QCOMPARE(a->chat()->Store(0)->Record(1)->Type, 0);
    QVERIFY(click(table, 1, 1, QStringLiteral("del")));
    QTRY_COMPARE_WITH_TIMEOUT(table->item(1, 1)->text(), QStringLiteral(" delete "), 120000);
    QVERIFY(table->item(0, 1)->text().contains(QStringLiteral("deletedate")));
    QTRY_COMPARE_WITH_TIMEOUT(cases(file(QStringLiteral("a@x"))).value(0).attribute(QStringLiteral("TYPE")),
                              QStringLiteral("1"), 120000);
    QCOMPARE(cases(file(QStringLiteral("a@x"))).first().firstChild().toCDATASection().data(),
             QStringLiteral("mine"));
    QVERIFY(!click(table, 1, 1, QStringLiteral("del")));
}

void tst_chatresponse::earlierDay_textClickIgnored_headShowsSender()
{
    const QDate yesterday = QDate::currentDate().addDays(-1);
    TestSupport::writeFile(file(QStringLiteral("b@x"), yesterday), fromB(yesterday, 1, "old"));
    TestSupport::writeFile(file(QStringLiteral("b@x")), fromB(QDate::currentDate(), 1, "new"));
    ChatSession *a = open(QStringLiteral("a@x"));
    QCOMPARE(a->chat()->MessageCount(), 1);
    a->chat()->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
    emit a->chat()->findChild<QCalendarWidget *>(QStringLiteral("CALENDAR"))->clicked(yesterday);
    a->chat()->SelectProc();
    ChatTable *earlier = a->chat()->Table(1);
    QCOMPARE(earlier->item(1, 0)->text(), QStringLiteral("old\n"));
    // Both stores number their first record 1: the click must not answer today's message.
    click(earlier, 1, 0);
    QVERIFY(!a->chat()->Response()->isVisible());
    QTreeWidgetItem *top = a->chat()->findChild<QTreeWidget *>(QStringLiteral("USER"))->topLevelItem(0);
    click(earlier, 0, 0);
    QCOMPARE(QList<int>({top->child(0)->checkState(0), top->child(1)->checkState(0)}),
             QList<int>({Qt::Checked, Qt::Unchecked}));
    // A head text without the two-blank separator names nobody.
    a->chat()->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(0);
    ChatTable *today = a->chat()->Table(0);
    today->item(0, 0)->setText(QStringLiteral("Ben"));
    click(today, 1, 0);
    QVERIFY(a->chat()->Response()->isVisible());
    QCOMPARE(a->chat()->Response()->findChild<QLineEdit *>(QStringLiteral("USER"))->text(), QString());
    QCOMPARE(a->chat()->Response()->findChild<QLineEdit *>(QStringLiteral("TIME"))->text(), QString());
}

void tst_chatresponse::notification_onlyOutOfView_opensFirstTab()
{
    ChatSession *a = open(QStringLiteral("a@x"), false);
    ChatNotif *notif = a->chat()->Notification();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    TestSupport::writeFile(file(QStringLiteral("b@x")), fromB(QDate::currentDate(), 2));
    QTRY_VERIFY_WITH_TIMEOUT(notif->isVisible(), 120000);
    QTRY_COMPARE_WITH_TIMEOUT(a->chat()->MessageCount(), 2, 120000);
    QCOMPARE(notif->pos(), QPoint(screen.width() - 400, screen.height() - 150));
    QCOMPARE(notif->minimumWidth(), 270);
    QVERIFY(notif->windowFlags() & Qt::WindowStaysOnTopHint);

    a->chat()->ShowChat();
    QVERIFY(!notif->isVisible());
    TestSupport::writeFile(file(QStringLiteral("b@x")), fromB(QDate::currentDate(), 3));
    QTRY_COMPARE_WITH_TIMEOUT(a->chat()->MessageCount(), 3, 120000);
    QVERIFY(!notif->isVisible());

    a->chat()->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
    a->chat()->showMinimized();
    TestSupport::writeFile(file(QStringLiteral("b@x")), fromB(QDate::currentDate(), 4));
    QTRY_VERIFY_WITH_TIMEOUT(notif->isVisible(), 120000);
    notif->findChild<QPushButton *>(QStringLiteral("COPEN"))->click();
    QVERIFY(!notif->isVisible());
    QVERIFY(a->chat()->isVisible() && !a->chat()->isMinimized());
    QCOMPARE(a->chat()->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->currentIndex(), 0);
}

QTEST_MAIN(tst_chatresponse)
#include "tst_chatresponse.moc"
