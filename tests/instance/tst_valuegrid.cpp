#include "core/treeitemdata.h"
#include "instance/valuegrid.h"

#include <QtTest>

using namespace ValueGrid;

namespace
{
// The cells of the kind, as "r,c" texts in row order.
QStringList cellsOf(const QVector<CellKind> &cells, CellKind kind)
{
    QStringList out;
    for (int i = 0; i < cells.size(); ++i) {
        if (cells.at(i) == kind)
            out << QStringLiteral("%1,%2").arg(i / Size).arg(i % Size);
    }
    return out;
}
} // namespace

class tst_valuegrid : public QObject
{
    Q_OBJECT
private slots:
    void normalLayout_numberedRows_onlyParameterCells();
    void normalLayout_nRows_columnsDownToMaxParam();
    void transitionLayout_usedRowsOnly();
    void isStorable_data();
    void isStorable();
    void stateList_stopsAtFirstEmptyName();
    void stateList_fullGridListsAllThirty();
    void stateList_noStateClass_isEmpty();
    void stateText_indexOutsideList_showsNone();
    void choices_data();
    void choices();
};

void tst_valuegrid::normalLayout_numberedRows_onlyParameterCells()
{
    const QVector<CellKind> cells = NormalLayout({{"1", "1"}, {"2", "3"}, {"31", "1"}, {"x", "1"}}, 5);
    QCOMPARE(cellsOf(cells, Value), QStringList({"0,0", "1,2"}));
}

void tst_valuegrid::normalLayout_nRows_columnsDownToMaxParam()
{
    const QVector<CellKind> cells = NormalLayout({{"N", "1"}, {"N", "2"}, {"1", "3"}}, 2);
    QCOMPARE(cellsOf(cells, Value), QStringList({"0,0", "0,1", "1,0", "1,1"}));
    QCOMPARE(cellsOf(NormalLayout({{"N", "1"}}, 99), Value).size(), Size);
}

void tst_valuegrid::transitionLayout_usedRowsOnly()
{
    const QVector<CellKind> cells = TransitionLayout(2);
    QCOMPARE(cellsOf(cells, Value), QStringList({"0,0", "1,0"}));
    QCOMPARE(cellsOf(cells, State), QStringList({"0,1", "0,2", "1,1", "1,2"}));
}

void tst_valuegrid::isStorable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("storable");
    QTest::newRow("plain") << "42" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("comma") << "4,2" << false;
    QTest::newRow("line feed") << "4\n2" << false;
    QTest::newRow("carriage return") << "4\r" << false;
    QTest::newRow("NUL") << QString(QStringLiteral("4") + QChar(0) + "2") << false;
}

void tst_valuegrid::isStorable()
{
    QFETCH(QString, text);
    QFETCH(bool, storable);
    QCOMPARE(IsStorable(text), storable);
}

void tst_valuegrid::stateList_stopsAtFirstEmptyName()
{
    TreeItemData states;
    states.SetCell(0, 0, "Open");
    states.SetCell(1, 0, "Closed");
    states.SetCell(3, 0, "Lost");
    QCOMPARE(StateList(&states, "None"), QStringList({"None", "Open", "Closed"}));
}

void tst_valuegrid::stateList_fullGridListsAllThirty()
{
    TreeItemData states;
    for (int r = 0; r < Size; ++r)
        states.SetCell(r, 0, QStringLiteral("S%1").arg(r + 1));
    const QStringList list = StateList(&states, "None");
    QCOMPARE(list.size(), Size + 1);
    QCOMPARE(list.last(), QStringLiteral("S30"));
}

void tst_valuegrid::stateList_noStateClass_isEmpty()
{
    QVERIFY(StateList(nullptr, "None").isEmpty());
    QVERIFY(Choices({}, {{0, 0}}, 0, true).isEmpty());
    QCOMPARE(StateText({}, "1"), QString());
}

void tst_valuegrid::stateText_indexOutsideList_showsNone()
{
    const QStringList states{"None", "A"};
    QCOMPARE(StateText(states, "1"), QStringLiteral("A"));
    QCOMPARE(StateText(states, "7"), QStringLiteral("None"));
    QCOMPARE(StateText(states, "x"), QStringLiteral("None"));
}

void tst_valuegrid::choices_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("fromEnd");
    QTest::addColumn<QList<int>>("offered");
    // States None, A, B, C. Row 0 goes A -> B, row 1 C -> B, row 2 None -> None.
    QTest::newRow("From of row 0: not B itself, not A or C already paired with B")
        << 0 << true << QList<int>{0};
    QTest::newRow("To of row 0: not A, not B already used from A") << 0 << false << QList<int>{0, 3};
    QTest::newRow("From of an open row") << 2 << true << QList<int>{0, 1, 2, 3};
}

void tst_valuegrid::choices()
{
    QFETCH(int, row);
    const QStringList states{"None", "A", "B", "C"};
    QFETCH(bool, fromEnd);
    QFETCH(QList<int>, offered);
    QCOMPARE(Choices(states, {{1, 2}, {3, 2}, {0, 0}}, row, fromEnd), offered);
}

QTEST_APPLESS_MAIN(tst_valuegrid)
#include "tst_valuegrid.moc"
