#include "core/defvar.h"
#include "core/globalmutex.h"
#include "core/globalvar.h"
#include "core/treeitemdata.h"

#include <QScopeGuard>
#include <QtTest>
#include <thread>

class tst_registry : public QObject
{
    Q_OBJECT
private slots:
    void firstObject_buildsInitialTables();
    void shortLivedObject_leavesSlotsAlone();
    void lastObject_releasesTables();
    void typedObjects_refuseTheWrongClass();
    void delLastSlash_data();
    void delLastSlash();
    void defVar_fillsFixedStrings();
    void defVar_missingIcon_leavesItEmpty();
    void treeItemData_attributesAndGrid();
    void mutexHold_blocksSecondHolder();
};

void tst_registry::firstObject_buildsInitialTables()
{
    QCOMPARE(globalvar::LiveCount(), 0u);
    RegistryScope reg;
    QCOMPARE(globalvar::LiveCount(), 1u);
    for (int i = 0; i < RegSize::Objects; ++i)
        QVERIFY(!reg.GetPtrVar(i));
    for (int i = 0; i < RegSize::Strings; ++i)
        QVERIFY(reg.GetStrVar(i).isEmpty());
    for (int i = 0; i < RegSize::Integers; ++i)
        QCOMPARE(reg.GetIntVar(i), 0);
    for (int i = 0; i < RegSize::Flags; ++i)
        QVERIFY(!reg.GetBoolVar(i));
    QCOMPARE(reg.GetIntVar(RegSlot::IntDocKind), 0);
}

void tst_registry::shortLivedObject_leavesSlotsAlone()
{
    RegistryScope reg;
    reg.SetStrVar(RegSlot::StrWorkspaceDir, QStringLiteral("/w"));
    reg.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    {
        GlobalMutex shortLived;
        QCOMPARE(globalvar::LiveCount(), 2u);
    }
    QCOMPARE(globalvar::LiveCount(), 1u);
    QCOMPARE(reg.GetStrVar(RegSlot::StrWorkspaceDir), QStringLiteral("/w"));
    QVERIFY(reg.GetBoolVar(RegSlot::FlagSaveNeeded));
}

void tst_registry::lastObject_releasesTables()
{
    {
        RegistryScope reg;
        reg.SetIntVar(RegSlot::IntDocKind, 4);
    }
    QCOMPARE(globalvar::LiveCount(), 0u);
    RegistryScope again;
    QCOMPARE(again.GetIntVar(RegSlot::IntDocKind), 0);
}

void tst_registry::typedObjects_refuseTheWrongClass()
{
    RegistryScope reg;
    GlobalMutex mutex;
    reg.SetObj(RegSlot::ObjGlobalMutex, &mutex);
    QCOMPARE(reg.GetObj<GlobalMutex>(RegSlot::ObjGlobalMutex), &mutex);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("registry object slot 95 holds")));
    QVERIFY(!reg.GetObj<QObject>(RegSlot::ObjGlobalMutex));
    reg.SetObj<GlobalMutex>(RegSlot::ObjGlobalMutex, nullptr);
    QVERIFY(!reg.GetObj<GlobalMutex>(RegSlot::ObjGlobalMutex));
}

void tst_registry::delLastSlash_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("one slash") << "/a/b/"
                               << "/a/b";
    QTest::newRow("two slashes keep one") << "/a/b//"
                                          << "/a/b/";
    QTest::newRow("no slash") << "/a/b"
                              << "/a/b";
    QTest::newRow("lone slash") << "/"
                                << "";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_registry::delLastSlash()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(globalvar::DelLastSlash(in), out);
}

void tst_registry::defVar_fillsFixedStrings()
{
    RegistryScope reg;
    DefVar().InitVar();
    QCOMPARE(reg.GetStrVar(RegSlot::StrAttrRefScope), QStringLiteral("RefScope"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrColRefScope), QStringLiteral("Ref Scope"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrTabModel), QStringLiteral("Model"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrAttrName), QStringLiteral("Name"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrProjectFileName), QStringLiteral("pelmorine.prj"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrAttrInterval), QStringLiteral("interval"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrMarkerDollar), QStringLiteral("[$$]"));
    QCOMPARE(reg.GetStrVar(RegSlot::StrColLast), QStringLiteral("Unset"));
    QCOMPARE(reg.GetIntVar(RegSlot::IntQandAMode), -1);
    QVERIFY(!SharedIcon::Get(SharedIcon::User).isNull());
}

void tst_registry::defVar_missingIcon_leavesItEmpty()
{
    // Every icon we ship exists; a name outside the resources gives an empty icon, no error.
    QVERIFY(QFile::exists(SharedIcon::ResourceName(SharedIcon::TblD)));
    QVERIFY(!QFile::exists(QStringLiteral(":src/nothing-here.png")));
}

void tst_registry::treeItemData_attributesAndGrid()
{
    TreeItemData data;
    QVERIFY(data.GetAttr(QStringLiteral("ID")).isEmpty());
    QVERIFY(!data.HasAttr(QStringLiteral("ID")));
    data.SetAttr(QStringLiteral("Name"), QStringLiteral("a"));
    data.SetAttr(QStringLiteral("Name"), QStringLiteral("b"));
    QCOMPARE(data.Attrs().size(), 1);
    QCOMPARE(data.GetAttr(QStringLiteral("Name")), QStringLiteral("b"));
    // The grid costs nothing until a value arrives; empty writes do not allocate it.
    QVERIFY(!data.HasGrid());
    QVERIFY(data.Cell(29, 29).isEmpty());
    data.SetCell(3, 4, QString());
    QVERIFY(!data.HasGrid());
    data.SetGridRow(30, QStringLiteral("x"));
    QVERIFY(!data.HasGrid() && !data.GridLoaded());
    data.SetCell(2, 2, QStringLiteral("keep"));
    data.SetGridRow(2, QStringLiteral("a,,c"));
    QVERIFY(data.HasGrid() && data.GridLoaded());
    QCOMPARE(data.Cell(2, 0), QStringLiteral("a"));
    QCOMPARE(data.Cell(2, 1), QString());
    QCOMPARE(data.Cell(2, 2), QStringLiteral("c"));
    data.SetCell(5, 5, QStringLiteral("k"));
    data.SetGridRow(5, QStringLiteral("x"));
    QCOMPARE(data.Cell(5, 5), QStringLiteral("k")); // beyond the parts: kept
    data.SetCell(30, 0, QStringLiteral("out"));
    QVERIFY(data.Cell(30, 0).isEmpty());
    QCOMPARE(data.gridSize, 30);
}

void tst_registry::mutexHold_blocksSecondHolder()
{
    RegistryScope reg;
    GlobalMutex mutex;
    reg.SetObj(RegSlot::ObjGlobalMutex, &mutex);
    QAtomicInt entered = 0;
    std::thread other;
    // A failed check returns with the thread started: the hold is gone by then, so it ends.
    const auto joinOther = qScopeGuard([&other] {
        if (other.joinable())
            other.join();
    });
    {
        MutexHold hold(MutexNo::Chat);
        other = std::thread([&entered, &mutex] {
            mutex.Lock(MutexNo::Chat);
            entered = 1;
            mutex.Unlock(MutexNo::Chat);
        });
        QTest::qWait(100);
        QCOMPARE(entered.loadRelaxed(), 0);
        MutexHold spare(MutexNo::Spare);
    }
    other.join();
    QCOMPARE(entered.loadRelaxed(), 1);
}

QTEST_GUILESS_MAIN(tst_registry)
#include "tst_registry.moc"
