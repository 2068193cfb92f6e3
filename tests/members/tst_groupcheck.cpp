#include "core/longvalue.h"
#include "members/groupcheck.h"

#include <QDomDocument>
#include <QtTest>

namespace
{
ChildUserRow row(const QString &name, const QString &email, const QString &send = QString())
{
    return {name, email, send, {}, {}, {}};
}

const QList<ChildUserRow> kTable{row(QStringLiteral("bob"), QStringLiteral("bob@x.org")),
                                 row(QStringLiteral("eve"), QStringLiteral("eve@x.org"))};
} // namespace

class tst_groupcheck : public QObject
{
    Q_OBJECT
private slots:
    void check_data();
    void check();
    void check_emptySendAddress_takesAccountAddress();
    void check_givenSendAddress_isKept();
    void check_refusedForDuplicate_stillFillsSendAddress();
    void accounts_managerFirstThenChildrenInFileOrder();
    void accounts_withoutSettingsOrChildElement_onlyManager();
    void check_longValue_refusedAtTyping_data();
    void check_longValue_refusedAtTyping();
};

void tst_groupcheck::check_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("email");
    QTest::addColumn<bool>("adding");
    QTest::addColumn<QString>("refusal");

    const QString none;
    QTest::newRow("no name") << none << "new@x.org" << true << "name is not set";
    QTest::newRow("no name nor address: name first") << none << none << true << "name is not set";
    QTest::newRow("no address") << "new" << none << true << "email is not set";
    QTest::newRow("no address when modifying") << "bob" << none << false << "email is not set";
    QTest::newRow("name taken, other address") << "bob"
                                               << "other@x.org" << true << "name:bob exist";
    QTest::newRow("address taken, new name") << "new"
                                             << "eve@x.org" << true << "email:eve@x.org exist";
    // Row 0 has the address, row 1 the name: the first clashing row decides.
    QTest::newRow("first clashing row decides") << "eve"
                                                << "bob@x.org" << true << "email:bob@x.org exist";
    QTest::newRow("same row: name before address") << "bob"
                                                   << "bob@x.org" << true << "name:bob exist";
    QTest::newRow("names compare exactly") << "Bob"
                                           << "bob2@x.org" << true << none;
    QTest::newRow("new account") << "new"
                                 << "new@x.org" << true << none;
    QTest::newRow("modify to another row's name") << "eve"
                                                  << "eve@x.org" << false << none;
}

void tst_groupcheck::check()
{
    QFETCH(QString, name);
    QFETCH(QString, email);
    QFETCH(bool, adding);
    QFETCH(QString, refusal);
    ChildUserRow entry = row(name, email, QStringLiteral("send@x.org"));
    QCOMPARE(GroupCheck::Check(kTable, entry, adding), refusal);
}

void tst_groupcheck::check_emptySendAddress_takesAccountAddress()
{
    ChildUserRow entry = row(QStringLiteral("new"), QStringLiteral("new@x.org"));
    QVERIFY(GroupCheck::Check(kTable, entry, true).isEmpty());
    QCOMPARE(entry.procEmail, QStringLiteral("new@x.org"));
}

void tst_groupcheck::check_givenSendAddress_isKept()
{
    ChildUserRow entry = row(QStringLiteral("new"), QStringLiteral("new@x.org"), QStringLiteral("out@x.org"));
    QVERIFY(GroupCheck::Check(kTable, entry, true).isEmpty());
    QCOMPARE(entry.procEmail, QStringLiteral("out@x.org"));
}

void tst_groupcheck::check_refusedForDuplicate_stillFillsSendAddress()
{
    ChildUserRow entry = row(QStringLiteral("bob"), QStringLiteral("b@x.org"));
    QCOMPARE(GroupCheck::Check(kTable, entry, true), QStringLiteral("name:bob exist"));
    QCOMPARE(entry.procEmail, QStringLiteral("b@x.org"));
}

void tst_groupcheck::accounts_managerFirstThenChildrenInFileOrder()
{
    QDomDocument doc;
    QVERIFY(doc.setContent(
        QByteArrayLiteral("<Init Name=\"ann\" Email=\"ann@x.org\"><CHILD>"
                          "<ChildUser Name=\"zed\" Email=\"zed@x.org\" Proc_Email=\"z@x.org\"/>"
                          "<ChildUser Name=\"amy\" Email=\"amy@x.org\"/>"
                          "</CHILD></Init>")));
    const QList<ChildUserRow> list =
        GroupCheck::Accounts(QStringLiteral("boss"), QStringLiteral("boss@x.org"), &doc);
    QCOMPARE(list.size(), 3);
    QCOMPARE(list.at(0).name, QStringLiteral("boss"));
    QCOMPARE(list.at(0).email, QStringLiteral("boss@x.org"));
    QCOMPARE(list.at(1).name, QStringLiteral("zed"));
    QCOMPARE(list.at(1).email, QStringLiteral("zed@x.org"));
    QCOMPARE(list.at(2).name, QStringLiteral("amy"));
}

void tst_groupcheck::accounts_withoutSettingsOrChildElement_onlyManager()
{
    QCOMPARE(GroupCheck::Accounts(QStringLiteral("boss"), QStringLiteral("b@x.org"), nullptr).size(), 1);
    QDomDocument doc;
    QVERIFY(doc.setContent(QByteArrayLiteral("<Init Name=\"ann\" Email=\"ann@x.org\"/>")));
    const QList<ChildUserRow> list = GroupCheck::Accounts(QString(), QString(), &doc);
    QCOMPARE(list.size(), 1);
    QVERIFY(list.at(0).name.isEmpty());
}

void tst_groupcheck::check_longValue_refusedAtTyping_data()
{
    QTest::addColumn<int>("field"); // 0 name, 1 address, 2 send address
    QTest::addColumn<int>("chars");
    QTest::addColumn<bool>("adding");
    QTest::addColumn<bool>("refused");
    const int max = LongValue::MaxChars;
    QTest::newRow("name at the limit") << 0 << max << true << false;
    QTest::newRow("name past it") << 0 << max + 1 << true << true;
    QTest::newRow("name of 5,000") << 0 << 5000 << true << true;
    QTest::newRow("address at the limit") << 1 << max << true << false;
    QTest::newRow("address past it") << 1 << max + 1 << true << true;
    QTest::newRow("send address past it") << 2 << max + 1 << true << true;
    QTest::newRow("name past it, modifying") << 0 << max + 1 << false << true;
}

// The group's reader leaves out a member whose name or address is that long: such an account is
// never taken where it is typed.
void tst_groupcheck::check_longValue_refusedAtTyping()
{
    QFETCH(int, field);
    QFETCH(int, chars);
    QFETCH(bool, adding);
    QFETCH(bool, refused);
    const QString value = QString(chars - 2, QLatin1Char('n')) + QStringLiteral("@x");
    ChildUserRow entry = row(QStringLiteral("new"), QStringLiteral("new@x.org"), QStringLiteral("s@x.org"));
    (field == 0 ? entry.name : field == 1 ? entry.email : entry.procEmail) = value;
    const QString refusal = GroupCheck::Check(kTable, entry, adding);
    QCOMPARE(!refusal.isEmpty(), refused);
    if (refused)
        QVERIFY2(refusal.startsWith(LongValue::Shown(value)) && refusal.size() < 200, qPrintable(refusal));
}

QTEST_GUILESS_MAIN(tst_groupcheck)
#include "tst_groupcheck.moc"
