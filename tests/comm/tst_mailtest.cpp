#include "comm/mailtest.h"
#include "dripserver.h"
#include "shell/optfont.h"
#include "smtppeer.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

// The mail settings test dialog as the Options mail page opens it, against a real SMTP server.
class tst_mailtest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void open_keepsPort_securityChoiceSetsIt();
    void end_handsBackOnlyAfterGoodTest();
    void send_slowServer_windowKeepsAnswering();
    void openFromModalOptions_takesInput();

private:
    // Opens the dialog from a page that holds these settings.
    MailTest *open(OptFont &page, int port);
    template <class W> static W *field(MailTest *dialog, const char *name)
    {
        return dialog->findChild<W *>(QLatin1String(name));
    }

    SmtpPeer m_peer;
};

void tst_mailtest::initTestCase()
{
    QVERIFY(m_peer.start());
}

MailTest *tst_mailtest::open(OptFont &page, int port)
{
    page.SetSecurity(0);
    page.SetServer(QStringLiteral("localhost"));
    page.SetPort(port);
    page.SetAddress(QStringLiteral("ann@pel.example"));
    page.TestProc();
    MailTest *dialog = page.TestDialog();
    field<QLineEdit>(dialog, "RCV_ADDR")->setText(QStringLiteral("bob@pel.example"));
    return dialog;
}

void tst_mailtest::open_keepsPort_securityChoiceSetsIt()
{
    RegistryScope reg;
    OptFont page;
    page.SetSecurity(2);
    page.SetPort(2525);
    page.TestProc();
    MailTest *dialog = page.TestDialog();
    auto *port = field<QSpinBox>(dialog, "PORT");
    auto *security = field<QComboBox>(dialog, "SECURITY");
    QCOMPARE(port->value(), 2525);
    QCOMPARE(security->currentIndex(), 2);
    QCOMPARE(field<QComboBox>(dialog, "AUTH")->count(), 1);
    const QList<QPair<int, int>> choices{{0, 587}, {2, 465}, {1, 587}};
    for (const auto &choice : choices) {
        security->setCurrentIndex(choice.first);
        QCOMPARE(port->value(), choice.second);
    }
    port->setValue(65535);
    QCOMPARE(port->value(), 65535);
    dialog->EndProc();
}

void tst_mailtest::end_handsBackOnlyAfterGoodTest()
{
    RegistryScope reg;
    reg.SetStrVar(RegSlot::StrUserName, QStringLiteral("Ann"));
    OptFont page;
    MailTest *dialog = open(page, m_peer.port("closed"));
    auto *result = field<QLineEdit>(dialog, "RESULT");
    field<QPushButton>(dialog, "SEND")->click();
    QCOMPARE(result->text(), QStringLiteral("check connect, server, port"));
    QCOMPARE(result->styleSheet(), QStringLiteral("color:red"));
    field<QSpinBox>(dialog, "PORT")->setValue(m_peer.port("open"));
    field<QPushButton>(dialog, "END")->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(page.GetPort(), QString::number(m_peer.port("closed")));
    QCOMPARE(page.GetConnect(), QStringLiteral("0"));

    // A good test, then a field changed: END hands the fields back as they stand.
    m_peer.clear("open");
    dialog = open(page, m_peer.port("open"));
    QVERIFY(result->text().isEmpty());
    field<QPushButton>(dialog, "SEND")->click();
    QCOMPARE(result->text(), QStringLiteral("send is complete"));
    QCOMPARE(result->styleSheet(), QStringLiteral("color:blue"));
    const QList<QByteArray> mails = m_peer.messages("open");
    QCOMPARE(mails.size(), 1);
    QVERIFY(mails.first().contains("Subject:=?utf-8?B?" +
                                   QByteArray("[Pelmorine]:mail confimariton test").toBase64() + "?=\r\n"));
    field<QLineEdit>(dialog, "SERVER")->setText(QStringLiteral("127.0.0.1"));
    dialog->EndProc();
    QCOMPARE(page.GetServer(), QStringLiteral("127.0.0.1"));
    QCOMPARE(page.GetPort(), QString::number(m_peer.port("open")));
    QCOMPARE(page.GetConnect(), QStringLiteral("1"));

    // Opened again, the earlier success no longer counts.
    page.TestProc();
    QVERIFY(result->text().isEmpty());
    field<QLineEdit>(dialog, "SERVER")->setText(QStringLiteral("changed.example"));
    dialog->EndProc();
    QCOMPARE(page.GetServer(), QStringLiteral("127.0.0.1"));
}

// A server that sends a byte every 200 ms: the window goes on answering while the test waits,
// and the test ends at its reply deadline.
void tst_mailtest::send_slowServer_windowKeepsAnswering()
{
    RegistryScope reg;
    // The server drips for two minutes: a reply that waited for it would take them all.
    DripServer server(200, 120000);
    OptFont page;
    MailTest *dialog = open(page, server.open());
    dialog->SetReplyTimeout(1000);
    auto *send = field<QPushButton>(dialog, "SEND");
    bool fired = false;
    bool sendEnabled = true;
    QTimer::singleShot(300, [&] {
        fired = true;
        sendEnabled = send->isEnabled();
    });
    QElapsedTimer clock;
    clock.start();
    send->click();
    QVERIFY2(fired, "the window froze while the test mail was sent");
    QVERIFY(!sendEnabled);
    QVERIFY(send->isEnabled());
    QVERIFY2(clock.elapsed() < 60000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(field<QLineEdit>(dialog, "RESULT")->text(), QStringLiteral("check connect, server, port"));
}

// The Options dialog is modal: the test dialog it opens must still take typing.
void tst_mailtest::openFromModalOptions_takesInput()
{
    RegistryScope reg;
    QDialog options;
    auto *page = new OptFont(&options);
    options.setWindowModality(Qt::ApplicationModal);
    options.show();
    QVERIFY(QTest::qWaitForWindowExposed(&options));
    page->TestProc();
    MailTest *dialog = page->TestDialog();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QVERIFY(dialog->parentWidget() && dialog->parentWidget()->window() == &options);
    dialog->activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isActiveWindow(), 120000);
    auto *to = field<QLineEdit>(dialog, "RCV_ADDR");
    to->clear();
    to->setFocus();
    QTest::keyClick(dialog->windowHandle(), Qt::Key_A, Qt::NoModifier);
    QCOMPARE(to->text(), QStringLiteral("a"));
    dialog->EndProc();
}

QTEST_MAIN(tst_mailtest)
#include "tst_mailtest.moc"
