#include "core/decimalid.h"

#include <QDomDocument>
#include <QtTest>

// The one counter every shared format uses: a file may hold any MaxID or ID.
class TestDecimalId : public QObject
{
    Q_OBJECT

private slots:
    void isId_data();
    void isId();
    void next_data();
    void next();
    void seeTree_countsEveryDepthAndRefusedElements();
    void take_atCeiling_refusesWithoutWrapping();
};

void TestDecimalId::isId_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("ceiling") << "999999999" << 999999999;
    QTest::newRow("ten digits") << "1000000000" << -1;
    QTest::newRow("int max") << "2147483647" << -1;
    QTest::newRow("negative") << "-1" << -1;
    QTest::newRow("plus") << "+5" << -1;
    QTest::newRow("blank") << " 5" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("arabic-indic digit") << QString(QChar(0x0665)) << -1;
}

void TestDecimalId::isId()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(DecimalId::IsId(text), value >= 0);
    QCOMPARE(DecimalId::Value(text), value);
}

void TestDecimalId::next_data()
{
    QTest::addColumn<QString>("maxId");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<int>("next");
    QTest::newRow("maxid leads") << "7" << QStringList{"1", "2"} << 7;
    QTest::newRow("no maxid") << "" << QStringList{"0", "1", "2"} << 3;
    QTest::newRow("low maxid") << "1" << QStringList{"5"} << 6;
    QTest::newRow("garbage maxid") << "-1" << QStringList{"3"} << 4;
    QTest::newRow("non-decimal ids ignored") << "" << QStringList{"x9", "-4"} << 0;
    QTest::newRow("last id") << "" << QStringList{"999999998"} << 999999999;
    QTest::newRow("maxid beyond ceiling") << "2147483646" << QStringList{} << -1;
    QTest::newRow("id beyond ceiling") << "" << QStringList{"2147483647"} << -1;
    QTest::newRow("id at ceiling") << "" << QStringList{"999999999"} << -1;
    QTest::newRow("huge digits") << "" << QStringList{"99999999999999999999999"} << -1;
}

void TestDecimalId::next()
{
    QFETCH(QString, maxId);
    QFETCH(QStringList, ids);
    QFETCH(int, next);
    DecimalId::Counter counter;
    counter.SeeMaxId(maxId);
    for (const QString &id : qAsConst(ids))
        counter.SeeId(id);
    QCOMPARE(counter.Peek(), next);
    QCOMPARE(counter.HasNext(), next >= 0);
    QCOMPARE(counter.Take(), next);
}

void TestDecimalId::seeTree_countsEveryDepthAndRefusedElements()
{
    QDomDocument doc;
    QVERIFY(doc.setContent(QStringLiteral("<Root MaxID=\"2\"><LClass ID=\"1\"/><LClass ID=\"1\">"
                                          "<SClass ID=\"5\"><P ID=\"11\"/></SClass></LClass>"
                                          "<X><Y><Z ID=\"8\"/></Y></X></Root>")));
    DecimalId::Counter counter;
    counter.SeeMaxId(doc.documentElement().attribute(QStringLiteral("MaxID")));
    counter.SeeTree(doc.documentElement());
    QCOMPARE(counter.Take(), 12);

    // A lone element with no children is walked without leaving it.
    DecimalId::Counter lone;
    lone.SeeTree(doc.documentElement().firstChildElement());
    QCOMPARE(lone.Take(), 2);
}

void TestDecimalId::take_atCeiling_refusesWithoutWrapping()
{
    DecimalId::Counter counter;
    counter.SeeId(QStringLiteral("999999998"));
    QCOMPARE(counter.Take(), 999999999);
    QCOMPARE(counter.Take(), -1);
    QCOMPARE(counter.Take(), -1);
    QCOMPARE(counter.MaxIdText(), QStringLiteral("1000000000"));
    QVERIFY(!DecimalId::IsId(counter.MaxIdText()));
}

QTEST_GUILESS_MAIN(TestDecimalId)
#include "tst_decimalid.moc"
