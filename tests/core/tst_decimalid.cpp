#include "core/decimalid.h"
#include "testsupport.h"

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
    void numberInName_data();
    void numberInName();
    void firstFree_data();
    void firstFree();
    void firstFree_counterAtTheCeiling_takesTheLowestGap();
    void firstFree_onlyTheCeilingFree_givesTheCeiling();
    void listFolder_unreadable_refusedWithReason();
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

void TestDecimalId::numberInName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("number");
    QTest::newRow("plain") << "Seq_3.txt" << qint64(3);
    QTest::newRow("other letter case") << "sEQ_12.TXT" << qint64(12);
    QTest::newRow("leading zeros") << "Seq_007.txt" << qint64(7);
    QTest::newRow("zero") << "Seq_0.txt" << qint64(0);
    QTest::newRow("ceiling") << "Seq_999999999.txt" << qint64(999999999);
    QTest::newRow("above the ceiling") << "Seq_1000000000.txt" << qint64(-1);
    QTest::newRow("past any integer") << "Seq_99999999999999999999999.txt" << qint64(-1);
    QTest::newRow("zeros before the ceiling") << "Seq_0000000000999999999.txt" << qint64(999999999);
    QTest::newRow("no digits") << "Seq_.txt" << qint64(-1);
    QTest::newRow("sign") << "Seq_-3.txt" << qint64(-1);
    QTest::newRow("plus sign") << "Seq_+3.txt" << qint64(-1);
    QTest::newRow("blank before") << "Seq_ 3.txt" << qint64(-1);
    QTest::newRow("blank after") << "Seq_3 .txt" << qint64(-1);
    QTest::newRow("blank before zeros") << "Seq_ 03.txt" << qint64(-1);
    QTest::newRow("sign before zeros") << "Seq_+03.txt" << qint64(-1);
    QTest::newRow("only zeros") << "Seq_000.txt" << qint64(0);
    QTest::newRow("other suffix") << "Seq_3.txt.bak" << qint64(-1);
    QTest::newRow("other prefix") << "File_3.txt" << qint64(-1);
    QTest::newRow("arabic-indic digit") << QStringLiteral("Seq_") + QChar(0x0665) + ".txt" << qint64(-1);
}

void TestDecimalId::numberInName()
{
    QFETCH(QString, name);
    QFETCH(qint64, number);
    QCOMPARE(DecimalId::NumberInName(name, QStringLiteral("Seq_"), QStringLiteral(".txt")), number);
}

void TestDecimalId::firstFree_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<QList<int>>("used");
    QTest::addColumn<int>("lowest");
    QTest::addColumn<int>("ceiling");
    QTest::addColumn<int>("first");
    QTest::newRow("the counter is free") << qint64(3) << QList<int>{1, 2} << 1 << 9 << 3;
    QTest::newRow("a leftover at the counter") << qint64(3) << QList<int>{1, 2, 3, 4} << 1 << 9 << 5;
    QTest::newRow("above before a gap below") << qint64(5) << QList<int>{2} << 1 << 9 << 5;
    QTest::newRow("a stray at the ceiling") << qint64(3) << QList<int>{1, 2, 9} << 1 << 9 << 3;
    QTest::newRow("counter past the ceiling: a gap") << qint64(10) << QList<int>{1, 2, 4, 9} << 1 << 9 << 3;
    QTest::newRow("counter past any int") << qint64(1) << QList<int>{} << 1 << 9 << 1;
    QTest::newRow("zero is a number") << qint64(0) << QList<int>{} << 0 << 9 << 0;
    QTest::newRow("below lowest") << qint64(-5) << QList<int>{1} << 1 << 9 << 2;
    QTest::newRow("every number used") << qint64(4) << QList<int>{1, 2, 3, 4, 5} << 1 << 5 << -1;
    QTest::newRow("the last one free") << qint64(6) << QList<int>{2, 3, 4, 5} << 1 << 5 << 1;
    QTest::newRow("only the ceiling free, from below") << qint64(1) << QList<int>{1, 2, 3, 4} << 1 << 5 << 5;
    QTest::newRow("only the ceiling free, from it") << qint64(5) << QList<int>{1, 2, 3, 4} << 1 << 5 << 5;
    QTest::newRow("only the ceiling free, from above") << qint64(6) << QList<int>{1, 2, 3, 4} << 1 << 5 << 5;
    QTest::newRow("only the lowest free, from it") << qint64(1) << QList<int>{2, 3, 4, 5} << 1 << 5 << 1;
    QTest::newRow("one number, free") << qint64(7) << QList<int>{} << 7 << 7 << 7;
    QTest::newRow("one number, used") << qint64(7) << QList<int>{7} << 7 << 7 << -1;
}

void TestDecimalId::firstFree()
{
    QFETCH(qint64, from);
    QFETCH(QList<int>, used);
    QFETCH(int, lowest);
    QFETCH(int, ceiling);
    QFETCH(int, first);
    const QSet<int> set(used.cbegin(), used.cend());
    QCOMPARE(DecimalId::FirstFree(from, set, lowest, ceiling), first);
}

// One stray number at the ceiling leaves every lower free number to find, and no counter, however
// large, wraps.
void TestDecimalId::firstFree_counterAtTheCeiling_takesTheLowestGap()
{
    QSet<int> used;
    for (int n = 1; n <= 1000; ++n)
        used.insert(n);
    used.insert(DecimalId::Ceiling);
    QCOMPARE(DecimalId::FirstFree(qint64(DecimalId::Ceiling), used), 1001);
    QCOMPARE(DecimalId::FirstFree(std::numeric_limits<qint64>::max(), used), 1001);
    QCOMPARE(DecimalId::FirstFree(qint64(DecimalId::Ceiling) - 1, used), DecimalId::Ceiling - 1);
}

// The last number of a range is given like any other: a ceiling of 9999 with every number below
// it used gives 9999, from wherever the search starts.
void TestDecimalId::firstFree_onlyTheCeilingFree_givesTheCeiling()
{
    QSet<int> used;
    for (int n = 1; n < 9999; ++n)
        used.insert(n);
    for (const qint64 from : {qint64(1), qint64(5000), qint64(9999), qint64(10000)})
        QCOMPARE(DecimalId::FirstFree(from, used, 1, 9999), 9999);
    used.insert(9999);
    QCOMPARE(DecimalId::FirstFree(1, used, 1, 9999), -1);
    // The same at the shared ceiling.
    const QSet<int> below{DecimalId::Ceiling - 1};
    QCOMPARE(DecimalId::FirstFree(qint64(DecimalId::Ceiling) - 1, below, DecimalId::Ceiling - 1),
             DecimalId::Ceiling);
}

void TestDecimalId::listFolder_unreadable_refusedWithReason()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("Seq_3.txt"));
    TestSupport::writeFile(file, QByteArray());
    QStringList names;
    QString why;
    QVERIFY(DecimalId::ListFolder(dir.path(), &names, &why));
    QCOMPARE(names, QStringList{QStringLiteral("Seq_3.txt")});
    // A file where the folder should be, a folder that is gone, and no folder at all (which would
    // otherwise list the working folder) are not empty folders.
    for (const QString &folder : {file, dir.filePath(QStringLiteral("gone")), QString()}) {
        names = QStringList{QStringLiteral("kept")};
        QVERIFY(!DecimalId::ListFolder(folder, &names, &why));
        QCOMPARE(why, QStringLiteral("folder not readable:") + folder);
        QCOMPARE(names, QStringList{QStringLiteral("kept")});
    }
}

QTEST_GUILESS_MAIN(TestDecimalId)
#include "tst_decimalid.moc"
