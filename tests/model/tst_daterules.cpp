#include "model/daterules.h"

#include <QtTest>

class tst_daterules : public QObject
{
    Q_OBJECT
private slots:
    void strToDate_data();
    void strToDate();
    void checkOrder_data();
    void checkOrder();
};

void tst_daterules::strToDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("short parts") << QStringLiteral("2023/4/5") << QDate(2023, 4, 5);
    QTest::newRow("stored form") << QStringLiteral("2023/04/05") << QDate(2023, 4, 5);
    QTest::newRow("dashes") << QStringLiteral("2023-04-05") << QDate(2014, 1, 1);
    QTest::newRow("empty") << QString() << QDate(2014, 1, 1);
    QTest::newRow("not a number") << QStringLiteral("x/4/5") << QDate();
}

void tst_daterules::strToDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(DateRules::StrToDate(text), date);
}

void tst_daterules::checkOrder_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QDate>("chosen");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("compareTarget");
    QTest::addColumn<QString>("message");
    const QDate day(2024, 3, 10);
    const QString s = QStringLiteral("2024/03/10");
    QTest::newRow("start equal to target") << 0 << day << QString() << s << true << QString();
    QTest::newRow("start a day after target")
        << 0 << day.addDays(1) << QString() << s << true << QStringLiteral("Start Date > Target Date");
    QTest::newRow("start without target")
        << 0 << day.addYears(5) << QString() << QString() << true << QString();
    QTest::newRow("output definition: no start/target rule")
        << 0 << day.addDays(1) << QString() << s << false << QString();
    QTest::newRow("target without start")
        << 1 << day << QString() << QString() << true << QStringLiteral("Start Date is not set");
    QTest::newRow("target before start")
        << 1 << day.addDays(-1) << s << QString() << true << QStringLiteral("Start Date > Target Date");
    QTest::newRow("target on start") << 1 << day << s << QString() << true << QString();
    QTest::newRow("completion without start")
        << 2 << day << QString() << s << true << QStringLiteral("Start Date is not set");
    QTest::newRow("completion before start")
        << 2 << day.addDays(-1) << s << QString() << true << QStringLiteral("Start Date > Completion Date");
    QTest::newRow("completion on start") << 2 << day << s << QString() << true << QString();
    QTest::newRow("completion ignores target")
        << 2 << day.addDays(1) << s << QStringLiteral("2030/01/01") << true << QString();
}

void tst_daterules::checkOrder()
{
    QFETCH(int, mode);
    QFETCH(QDate, chosen);
    QFETCH(QString, start);
    QFETCH(QString, target);
    QFETCH(bool, compareTarget);
    QFETCH(QString, message);
    QCOMPARE(DateRules::CheckOrder(mode, chosen, start, target, compareTarget), message);
}

QTEST_GUILESS_MAIN(tst_daterules)
#include "tst_daterules.moc"
