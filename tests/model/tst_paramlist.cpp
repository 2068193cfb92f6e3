#include "model/paramlist.h"
#include "model/statetables.h"

#include <QtTest>

using namespace ParamList;

namespace
{
// "1.1 2.1 N.2" -> the addresses K[1][1], K[2][1], K[N][2].
QList<Address> addresses(const QString &text)
{
    QList<Address> list;
    for (const QString &a : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        list.append({a.section(QLatin1Char('.'), 0, 0), a.section(QLatin1Char('.'), 1, 1)});
    return list;
}

// The list after the changes are applied and position removed (-1: nothing removed).
QString applied(QList<Address> params, const QList<Change> &changes, int removed)
{
    for (const Change &c : changes)
        params[c.index] = c.address;
    if (removed >= 0)
        params.removeAt(removed);
    QStringList out;
    for (const Address &a : params)
        out << a.row + QLatin1Char('.') + a.col;
    return out.join(QLatin1Char(' '));
}
} // namespace

class tst_paramlist : public QObject
{
    Q_OBJECT
private slots:
    void parseLabel_data();
    void parseLabel();
    void makeLabel_nRow_showsN();
    void renumber_data();
    void renumber();
    void shiftRow_movesOnlyTheRestOfTheRow();
    void candidates_data();
    void candidates();
    void states_nameUniqueWithinLargeClassOnly();
    void states_thirtyStatesAndRename();
    void transitions_severalPerStateEachNameOnce();
    void transitions_loadedDuplicatesRemovedOneAtATime();
};

void tst_paramlist::parseLabel_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::newRow("numbers") << "K[10][11]" << 10 << 11;
    QTest::newRow("N row") << "K[N][1]" << -1 << 1;
    QTest::newRow("no numbers") << "K[][]" << 1 << 1;
    QTest::newRow("one number") << "K[7]" << 7 << 1;
    QTest::newRow("overflow") << "K[99999999999][2]" << 1 << 2;
}

void tst_paramlist::parseLabel()
{
    QFETCH(QString, label);
    QFETCH(int, row);
    QFETCH(int, col);
    int parsedRow = 0;
    int parsedCol = 0;
    ParseLabel(label, &parsedRow, &parsedCol);
    QCOMPARE(parsedRow, row);
    QCOMPARE(parsedCol, col);
}

void tst_paramlist::makeLabel_nRow_showsN()
{
    QCOMPARE(MakeLabel(-1, 3), QStringLiteral("K[N][3]"));
    QCOMPARE(MakeLabel(12, 3), QStringLiteral("K[12][3]"));
}

void tst_paramlist::renumber_data()
{
    QTest::addColumn<QString>("params");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QString>("after");
    QTest::newRow("middle of a row closes up") << "1.1 2.1 2.2 2.3 3.1" << 2 << "1.1 2.1 2.2 3.1";
    QTest::newRow("first of a row closes up") << "2.1 2.2 2.3" << 0 << "2.1 2.2";
    QTest::newRow("alone in its row: rows move up") << "1.1 2.1 3.1 3.2 4.1" << 1 << "1.1 2.1 2.2 3.1";
    QTest::newRow("last of a row with others") << "2.1 2.2 2.3 3.1" << 2 << "2.1 2.2 3.1";
    QTest::newRow("last parameter") << "1.1 1.2" << 1 << "1.1";
    QTest::newRow("only parameter") << "1.1" << 0 << "";
    QTest::newRow("N row closes up") << "N.1 N.2 N.3" << 0 << "N.1 N.2";
    QTest::newRow("out of range") << "1.1" << 5 << "1.1";
}

void tst_paramlist::renumber()
{
    QFETCH(QString, params);
    QFETCH(int, deleted);
    const QList<Address> list = addresses(params);
    const int removed = deleted < list.size() ? deleted : -1;
    QFETCH(QString, after);
    QCOMPARE(applied(list, Renumber(list, deleted), removed), after);
}

void tst_paramlist::shiftRow_movesOnlyTheRestOfTheRow()
{
    const QList<Address> list = addresses(QStringLiteral("1.1 2.1 2.2 3.1"));
    QCOMPARE(applied(list, ShiftRow(list, 1), -1), QStringLiteral("1.1 2.2 2.3 3.1"));
    QCOMPARE(applied(list, ShiftRow(list, 2), -1), QStringLiteral("1.1 2.1 2.3 3.1"));
    QVERIFY(ShiftRow(list, 4).isEmpty());
}

void tst_paramlist::candidates_data()
{
    QTest::addColumn<QString>("params");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("cols");
    QTest::addColumn<bool>("follows");
    QTest::addColumn<bool>("two");
    QTest::addColumn<int>("reference");
    QTest::addColumn<int>("rowEnd");
    QTest::newRow("empty class") << "" << -1 << "1 N"
                                 << "1" << false << false << -1 << -1;
    QTest::newRow("class with params") << "1.1 1.2" << -1 << "1"
                                       << "1" << true << false << 0 << -1;
    QTest::newRow("followed in its row") << "1.1 1.2" << 0 << "1"
                                         << "2" << true << false << 1 << -1;
    QTest::newRow("ends its row") << "1.1 1.2 2.1" << 1 << "1 2"
                                  << "3 1" << true << true << 2 << 1;
    QTest::newRow("last in row N") << "N.1 N.2" << 1 << "N"
                                   << "3" << false << false << 1 << -1;
    QTest::newRow("last numbered") << "1.1 2.1" << 1 << "2 3"
                                   << "2 1" << false << false << 1 << -1;
}

void tst_paramlist::candidates()
{
    QFETCH(QString, params);
    QFETCH(int, current);
    const Candidates c = ForCurrent(addresses(params), current);
    QFETCH(QString, rows);
    QCOMPARE(c.rows.join(QLatin1Char(' ')), rows);
    QFETCH(QString, cols);
    QCOMPARE(c.cols.join(QLatin1Char(' ')), cols);
    QFETCH(bool, follows);
    QCOMPARE(c.follows, follows);
    QFETCH(bool, two);
    QCOMPARE(c.twoPositions, two);
    QFETCH(int, reference);
    QCOMPARE(c.reference, reference);
    QFETCH(int, rowEnd);
    QCOMPARE(c.rowEnd, rowEnd);
}

void tst_paramlist::states_nameUniqueWithinLargeClassOnly()
{
    StateTables t;
    QVERIFY(t.AddState("5", "1", "Open"));
    QVERIFY(!t.AddState("6", "1", "Open"));
    QVERIFY(!t.AddState("5", "1", "Closed"));
    QVERIFY(t.AddState("7", "2", "Open"));
    QCOMPARE(t.States().size(), 2);
    QVERIFY(t.RemoveState("5"));
    QVERIFY(!t.RemoveState("5"));
    QVERIFY(t.AddState("6", "1", "Open"));
}

void tst_paramlist::states_thirtyStatesAndRename()
{
    StateTables t;
    for (int i = 1; i <= 30; ++i)
        QVERIFY(t.AddState(QString::number(i), "L", QStringLiteral("S%1").arg(i)));
    QCOMPARE(t.States().size(), 30);
    QCOMPARE(t.States().last().name, QStringLiteral("S30"));
    QVERIFY(!t.RenameState("3", "S3"));
    QVERIFY(!t.RenameState("3", "S4"));
    QVERIFY(t.RenameState("3", "Third"));
    QCOMPARE(t.StateName("3"), QStringLiteral("Third"));
    QVERIFY(!t.RenameState("99", "X"));
}

void tst_paramlist::transitions_severalPerStateEachNameOnce()
{
    StateTables t;
    QVERIFY(t.AddTransition("5", "go"));
    QVERIFY(t.AddTransition("5", "stop"));
    QVERIFY(!t.AddTransition("5", "go"));
    QVERIFY(t.AddTransition("6", "go"));
    QCOMPARE(t.TransitionsOf("5"), QStringList({"go", "stop"}));
    QVERIFY(t.RemoveTransition("5", "go"));
    QVERIFY(t.HasTransitionsOf("5"));
    QVERIFY(t.RemoveTransition("5", "stop"));
    QVERIFY(!t.HasTransitionsOf("5"));
    QVERIFY(!t.AddTransition("", "x"));
}

void tst_paramlist::transitions_loadedDuplicatesRemovedOneAtATime()
{
    StateTables t;
    t.LoadTransition("5", "go");
    t.LoadTransition("5", "go");
    QVERIFY(t.RemoveTransition("5", "go"));
    QVERIFY(t.HasTransition("5", "go"));
}

QTEST_APPLESS_MAIN(tst_paramlist)
#include "tst_paramlist.moc"
