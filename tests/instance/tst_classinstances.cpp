#include "instance/classinstanceindex.h"
#include "instance/createinstance.h"
#include "instance/instancepanes.h"
#include "instanceworkspace.h"
#include "model/calendar.h"
#include "shell/numeditor.h"
#include "views/statuswidget.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace
{
// A model with a plain small class of three parameters, a state and a transition class, and an
// arbitrary second large class; member 0 holds a global L1 with a state and a transition
// instance, member 1 a local L1.
const QByteArray kPaneModel =
    "<Root_Model Name=\"M\" User=\"o\" Email=\"owner@x\" Version=\"1.0.0\" MaxID=\"12\">"
    "<LClass ID=\"1\" Name=\"L1\" Element=\"E1\"><REFERENCE/>"
    "<SClass ID=\"2\" Name=\"S1\" Element=\"SE\"><REFERENCE/><PARAM>"
    "<P ID=\"3\" Name=\"P1\" Row=\"1\" Col=\"1\"/><P ID=\"4\" Name=\"P2\" Row=\"1\" Col=\"2\"/>"
    "<P ID=\"5\" Name=\"P3\" Row=\"1\" Col=\"3\"/></PARAM></SClass>"
    "<SClass ID=\"6\" Name=\"State\" Element=\"@A\" Param_type=\"1\" State=\"Open\"><REFERENCE/>"
    "<PARAM><P ID=\"8\" Name=\"st\" Row=\"N\" Col=\"1\"/></PARAM></SClass>"
    "<SClass ID=\"7\" Name=\"Trans\" Element=\"T\" Param_type=\"2\" State=\"6\" "
    "Transition=\"go\"><REFERENCE/>"
    "<PARAM><P ID=\"9\" Name=\"tn\" Row=\"N\" Col=\"1\"/></PARAM></SClass></LClass>"
    "<LClass ID=\"12\" Name=\"L2\" Element=\"@A\"><REFERENCE/></LClass></Root_Model>";
const QByteArray kPaneOwn =
    "<Root_Instance ID=\"0\" MaxID=\"7\"><LClass ID=\"1\" MID=\"1\" SCOPE=\"0\" ProgressRate=\"100\">"
    "<SClass ID=\"2\" MID=\"6\" Param_type=\"1\" State=\"Open\" Element=\"st1\"><PARAM>"
    "<P ID=\"3\" MID=\"8\" Row=\"N\" Col=\"1\"/></PARAM></SClass>"
    "<SClass ID=\"4\" MID=\"7\" Param_type=\"2\" State=\"\"><PARAM><P ID=\"5\" MID=\"9\" Row=\"N\" "
    "Col=\"1\"/>"
    "</PARAM></SClass></LClass></Root_Instance>";
const QByteArray kPaneOther =
    "<Root_Instance ID=\"1\" MaxID=\"2\"><LClass ID=\"1\" MID=\"1\" SCOPE=\"1\"/></Root_Instance>";

struct PaneWorkspace : Workspace {
    PaneWorkspace()
    {
        writeFile(mdl->VersionFolder() + QStringLiteral("/model.xml"), kPaneModel);
        writeFile(path("instance.xml"), kPaneOwn);
        writeFile(path("instance_1.xml"), kPaneOther);
        open();
    }
};

template <class W> W *child(QObject *parent, const char *name)
{
    return parent->findChild<W *>(QString::fromLatin1(name));
}

QTreeWidgetItem *modelRow(deftab *tab, const QString &name)
{
    QList<QTreeWidgetItem *> rows =
        tab->GetModelTree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive, 0);
    rows += tab->GetModelTree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive, 1);
    return rows.value(0);
}

void select(Workspace &w, const QString &key, const QString &model = QString())
{
    if (!model.isEmpty())
        w.tab->GetModelTree()->setCurrentItem(modelRow(w.tab, model));
    w.tab->GetUserTree()->setCurrentItem(key.contains('-') ? w.row(key)
                                                           : w.tab->GetUserTree()->topLevelItem(key.toInt()));
    if (!model.isEmpty())
        w.tab->GetModelTree()->setCurrentItem(modelRow(w.tab, model));
}

QString attr(Workspace &w, const QString &key, int slot)
{
    return deftab::RecordOf(w.row(key))->GetAttr(w.GetStrVar(slot));
}

NumEditor *explanation(Workspace &w)
{
    return qobject_cast<NumEditor *>(w.tab->findChild<QTabWidget *>("CLASSTAB")->widget(3));
}
} // namespace

class tst_classinstances : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY(g_badConnections.isEmpty()); }
    void addLclass_refusalsAndGlobalAcrossMembers();
    void addSclass_consecutiveIdsAndRefusals_savedAsGiven();
    void deleteSclass_whileShown_everyViewLetsGo_data();
    void deleteSclass_whileShown_everyViewLetsGo();
    void deleteLclass_withChildren_releasesGlobalElement();
    void deleteDialog_onlyYesRemoves_data();
    void deleteDialog_onlyYesRemoves();
    void pane_otherMember_readOnly_ownEditable();
    void progress_hundredOnlyWhenCompleted();
    void scope_iconsAndIndexFollowTheChange();
    void stateCombo_noneStoredEmpty_choiceSaved();
    void stateCombo_firstReaderAfterOpen_offersUnbuiltMembersStates();
    void addSclass_craftedCounter_numbersNoElementUses_data();
    void addSclass_craftedCounter_numbersNoElementUses();
    void addSclass_leftoverOfFailedSave_nextSessionShowsNothingOfIt();
    void addElement_folderNotListed_refusedWithReasonNothingAdded();
    void stateDiagram_refusedGrids_notMarkedLoaded();
    void addSclass_sameIdSavedElsewhere_keptNothingOfTheFileWritten();
};

void tst_classinstances::addLclass_refusalsAndGlobalAcrossMembers()
{
    Workspace w; // member 1 holds a global E1, member 0 a local one
    w.open();
    select(w, "0-1", "S1");
    w.tab->AddLclassInstance();
    QCOMPARE(UiReport::LastTitle(), QString("Model Set Error"));
    QCOMPARE(UiReport::LastText(), QString("Please select Model LClass"));
    select(w, "0", "L1");
    w.tab->AddLclassInstance();
    QCOMPARE(UiReport::LastText(), QString("LClass is exist in instance"));
    QVERIFY(!w.tab->CreateLclassInstance("L1", "E1", 1));
    QCOMPARE(w.GetStrVar(RegSlot::StrLastError), QString("Element name is already exist"));

    select(w, "0-1");
    QVERIFY(w.tab->DeleteLclassItem());
    QVERIFY(!w.row("0-1") && !w.row("0-2"));
    UiReport::ClearLast();
    select(w, "0", "L1");
    w.tab->AddLclassInstance();
    CreateInstance *dialog = w.tab->GetCreateDialog();
    QVERIFY(dialog->isVisible());
    auto *scope = child<QComboBox>(dialog, "L_Scope_Cbx");
    QCOMPARE(scope->currentIndex(), 1); // local proposed: another member holds the global E1
    QVERIFY(!scope->itemIcon(0).isNull());
    scope->setCurrentIndex(0);
    child<QPushButton>(dialog, "OK")->click();
    QCOMPARE(dialog->Message(), QString("global of Element name is already exist"));
    QVERIFY(dialog->isVisible());
    scope->setCurrentIndex(1);
    child<QPushButton>(dialog, "OK")->click();
    QVERIFY(!dialog->isVisible());
    QTreeWidgetItem *added = w.tab->GetCurrentUserItem();
    QCOMPARE(added->text(5), QString("I0-20"));
    QCOMPARE(deftab::RecordOf(added)->GetAttr("SCOPE"), QString("1"));
    QCOMPARE(deftab::RecordOf(added)->GetAttr("StartDate"), QDate::currentDate().toString("yyyy/MM/dd"));
    QVERIFY(UiReport::LastText().isEmpty());

    // An arbitrary large class leaves the element to the member, who must give one.
    select(w, "0", "L2");
    dialog->SetMode(false, false);
    dialog->SetLclass("L2", w.GetStrVar(RegSlot::StrLabelArbitary), 0, true);
    child<QPushButton>(dialog, "OK")->click();
    QCOMPARE(dialog->Message(), QString("Element name of Lclass is not set"));
}

void tst_classinstances::addSclass_consecutiveIdsAndRefusals_savedAsGiven()
{
    PaneWorkspace w;
    select(w, "0-1", "L1");
    w.tab->AddSclassInstance();
    QCOMPARE(UiReport::LastText(), QString("sclass of model is not select"));
    select(w, "0-1", "S1");
    QVERIFY(w.tab->CreateSclassInstance("SE", 0));
    QTreeWidgetItem *s = w.row("0-7");
    QVERIFY(s && w.tab->GetCurrentUserItem() == s);
    QCOMPARE(s->childCount(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(s->child(i)->text(5), QString("I0-%1").arg(8 + i));
    select(w, "0-7", "S1");
    w.tab->AddSclassInstance();
    QCOMPARE(UiReport::LastText(), QString("sclass of model exist same class"));

    // The arbitrary state class asks for an element; a transition that names a state keeps it.
    select(w, "0-1", "State");
    w.tab->AddSclassInstance();
    CreateInstance *dialog = w.tab->GetCreateDialog();
    child<QPushButton>(dialog, "OK")->click();
    QCOMPARE(dialog->Message(), QString("Element name of Sclass is not set"));
    child<QLineEdit>(dialog, "S_El_Edit")->setText("st2");
    child<QPushButton>(dialog, "OK")->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(w.tab->GetCurrentUserItem()->text(5), QString("I0-11"));
    QCOMPARE(attr(w, "0-4", RegSlot::StrAttrState), QString("0-2"));

    w.table.value(0)->InstanceModified = true; // the member manager's part
    w.tab->SaveInstance();
    const QDomElement root = w.root("instance.xml");
    QCOMPARE(root.attribute("MaxID"), QString("13"));
    const QDomElement lclass = root.firstChildElement("LClass");
    QCOMPARE(childIds(lclass, "SClass"), QStringList({"2", "4", "7", "11"}));
    QDomElement sclass = lclass.firstChildElement("SClass").nextSiblingElement().nextSiblingElement();
    QDomElement p = sclass.firstChildElement("PARAM").firstChildElement("P");
    for (int i = 0; i < 3; ++i, p = p.nextSiblingElement()) {
        QCOMPARE(p.attribute("ID"), QString::number(8 + i));
        QCOMPARE(p.attribute("MID"), QString::number(3 + i));
        QCOMPARE(p.attribute("Row") + p.attribute("Col"), QString("1%1").arg(1 + i));
    }
}

void tst_classinstances::deleteSclass_whileShown_everyViewLetsGo_data()
{
    QTest::addColumn<bool>("parameterShown");
    QTest::addColumn<bool>("memberRemoved");
    QTest::newRow("small class shown") << false << false;
    QTest::newRow("parameter shown") << true << false;
    QTest::newRow("member removed") << true << true;
}

// Run under AddressSanitizer: a view left pointing at the freed rows shows up at the save.
void tst_classinstances::deleteSclass_whileShown_everyViewLetsGo()
{
    QFETCH(bool, parameterShown);
    QFETCH(bool, memberRemoved);
    PaneWorkspace w;
    writeFile(w.path("instance_0_2.txt"), "kept");
    auto *table = w.tab->findChild<ValueTable *>();
    auto *pane = w.tab->findChild<InstanceSclass *>();
    Calendar *calendar = pane->GetCalendar();
    QTreeWidgetItem *s = w.row("0-2");
    ClassInstanceIndex *index = deftab::ClassIndexOf(deftab::LinkedRow(s, 4));
    QCOMPARE(index->Count("E1:st1"), 1);
    select(w, "0-3");
    w.tab->UserDblTreeClicked(w.row("0-3"), 0);
    QVERIFY(table->GetShownRow());
    select(w, "0-2");
    child<QPushButton>(pane, "SBTN")->click();
    QVERIFY(calendar && calendar->Item() == s);
    if (parameterShown)
        select(w, "0-3");
    else
        QCOMPARE(pane->GetCurrentItem(), s);
    QSignalSpy deleting(w.tab, &deftab::RowDeleting);
    QVERIFY(deleting.isValid());
    QTreeWidgetItem *member = w.tab->GetUserTree()->topLevelItem(0);
    QList<QTreeWidgetItem *> going;
    const std::function<void(QTreeWidgetItem *)> collect = [&](QTreeWidgetItem *row) {
        going.append(row);
        for (int i = 0; i < row->childCount(); ++i)
            collect(row->child(i));
    };
    collect(memberRemoved ? member : s);
    QVERIFY(going.contains(w.row("0-3")));
    if (memberRemoved) {
        w.tab->RemoveUser(member);
    } else {
        select(w, "0-2");
        QVERIFY(w.tab->DeleteCurrentSclass());
    }

    // Every row that goes is announced once, before it is freed, and no other row is.
    QList<QTreeWidgetItem *> announced;
    for (const QList<QVariant> &args : qAsConst(deleting))
        announced.append(args.at(0).value<QTreeWidgetItem *>());
    QCOMPARE(QSet<QTreeWidgetItem *>(announced.cbegin(), announced.cend()).size(), announced.size());
    std::sort(announced.begin(), announced.end());
    std::sort(going.begin(), going.end());
    QCOMPARE(announced, going);
    QVERIFY(!w.row("0-2") && !w.row("0-3"));
    QVERIFY(!table->GetShownRow());
    QVERIFY(pane->GetCurrentItem() != s && !calendar->isVisible() && calendar->Item() != s);
    if (memberRemoved)
        return;
    QCOMPARE(index->Count("E1:st1"), 0); // the "L:S" key is given back
    // The row shown after the deletion is committed like any other when the user moves on.
    QTreeWidgetItem *shown = w.tab->GetCurrentUserItem();
    QWidget *shownPane = deftab::Level(shown) == 1
                             ? static_cast<QWidget *>(w.tab->findChild<InstanceLclass *>())
                             : static_cast<QWidget *>(pane);
    auto *properties = child<QTreeWidget>(shownPane, "PR_TREE");
    qobject_cast<QLineEdit *>(properties->itemWidget(properties->topLevelItem(3), 1))->setText("v1");
    select(w, "0");
    QCOMPARE(deftab::RecordOf(shown)->GetAttr("OutVar"), QString("v1"));
    QVERIFY(w.GetBoolVar(RegSlot::FlagInstanceModified));
    w.table.value(0)->InstanceModified = true;
    w.tab->SaveInstance();
    QCOMPARE(childIds(w.root("instance.xml").firstChildElement("LClass"), "SClass"), QStringList({"4"}));
    QVERIFY(QFile::exists(w.path("instance_0_2.txt")));
    // The numbers stay taken.
    select(w, "0-1", "S1");
    QVERIFY(w.tab->CreateSclassInstance("SE", 1));
    QVERIFY(w.row("0-7"));
}

void tst_classinstances::deleteLclass_withChildren_releasesGlobalElement()
{
    PaneWorkspace w;
    QTreeWidgetItem *l = w.row("0-1");
    ClassInstanceIndex *index = deftab::ClassIndexOf(deftab::LinkedRow(l, 4));
    QCOMPARE(index->Count("E1"), 1);
    select(w, "0-1");
    auto *pane = w.tab->findChild<InstanceLclass *>();
    QCOMPARE(pane->GetCurrentItem(), l);
    QVERIFY(w.tab->DeleteLclassItem());
    QVERIFY(!pane->GetCurrentItem());
    for (const char *key : {"0-1", "0-2", "0-3", "0-4", "0-5"})
        QVERIFY2(!w.row(key), key);
    QCOMPARE(index->Count("E1"), 0);
    QVERIFY(w.tab->GetKeyedItems("6").isEmpty());
    select(w, "0", "L1");
    QVERIFY(w.tab->CreateLclassInstance("L1", "E1", 0));
    QCOMPARE(index->Count("E1"), 1);
}

void tst_classinstances::deleteDialog_onlyYesRemoves_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("removed");
    QTest::newRow("no") << "no" << false;
    QTest::newRow("escape") << "" << false;
    QTest::newRow("yes") << "yes" << true;
}

void tst_classinstances::deleteDialog_onlyYesRemoves()
{
    QFETCH(QString, answer);
    QFETCH(bool, removed);
    PaneWorkspace w;
    select(w, "0-2");
    w.tab->DelSclassInstance();
    CreateInstance *dialog = w.tab->GetCreateDialog();
    QCOMPARE(dialog->windowTitle(), QString("Delete Sclass Instance"));
    QVERIFY(!child<QComboBox>(dialog, "S_Scope_Cbx")->isEnabled());
    QString title;
    if (answer.isEmpty()) {
        QTimer::singleShot(0, [] {
            if (QWidget *box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Escape);
        });
    } else {
        answerNextBox(answer, &title);
    }
    child<QPushButton>(dialog, "OK")->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(!w.row("0-2"), removed);
    QCOMPARE(!w.row("0-3"), removed);
    if (!answer.isEmpty())
        QCOMPARE(title, QString("Delete Sclass"));
}

void tst_classinstances::pane_otherMember_readOnly_ownEditable()
{
    PaneWorkspace w;
    auto *pane = w.tab->findChild<InstanceLclass *>();
    for (const char *key : {"1-1", "0-1"}) {
        select(w, key);
        const bool own = key[0] == '0';
        QCOMPARE(child<QLineEdit>(pane, "ELEMENT")->isReadOnly(), true); // E1 is no arbitrary element
        for (const char *button : {"SDATEBTN", "TDATEBTN", "CDATEBTN"})
            QCOMPARE(child<QPushButton>(pane, button)->isEnabled(), own);
        QCOMPARE(pane->findChild<QComboBox *>()->isEnabled(), own);
        for (QSpinBox *spin : pane->findChildren<QSpinBox *>())
            QCOMPARE(spin->isEnabled(), own);
    }
    auto *spane = w.tab->findChild<InstanceSclass *>();
    select(w, "0-2");
    QVERIFY(!child<QLineEdit>(spane, "ELEMENT")->isReadOnly()); // the state class is arbitrary
    QVERIFY(child<QPushButton>(spane, "CBTN")->isEnabled());
}

void tst_classinstances::progress_hundredOnlyWhenCompleted()
{
    PaneWorkspace w;
    auto *pane = w.tab->findChild<InstanceLclass *>();
    auto *progress = pane->findChildren<QSpinBox *>().value(0);
    select(w, "0-1");
    QCOMPARE(progress->value(), 99);
    QCOMPARE(progress->maximum(), 99);
    select(w, "0-2");
    QCOMPARE(attr(w, "0-1", RegSlot::StrAttrProgressRate), QString("99"));

    // What the date dialog does on completion: writes the field, then the tab refreshes.
    select(w, "0-1");
    child<QLineEdit>(pane, "CDATE")->setText("2026/05/01");
    w.tab->RefreshCurrentItem();
    QCOMPARE(attr(w, "0-1", RegSlot::StrAttrProgressRate), QString("100"));
    QVERIFY(!child<QPushButton>(pane, "SDATEBTN")->isEnabled());
    QVERIFY(child<QPushButton>(pane, "CDATEBTN")->isEnabled());
    child<QLineEdit>(pane, "CDATE")->clear();
    w.tab->RefreshCurrentItem();
    QCOMPARE(attr(w, "0-1", RegSlot::StrAttrProgressRate), QString("99"));
}

void tst_classinstances::scope_iconsAndIndexFollowTheChange()
{
    Workspace w; // member 1 holds a global E1, member 0 a local one
    w.open();
    const auto icon = [](QTreeWidgetItem *row) { return row->icon(1).cacheKey(); };
    const auto shared = [](SharedIcon::Id id) { return SharedIcon::Get(id).cacheKey(); };
    ClassInstanceIndex *index = deftab::ClassIndexOf(deftab::LinkedRow(w.row("0-1"), 4));
    auto *scope = w.tab->findChild<InstanceLclass *>()->findChild<QComboBox *>();
    select(w, "0-1");
    scope->setCurrentIndex(0);
    QCOMPARE(attr(w, "0-1", RegSlot::StrAttrScope), QString("0"));
    QCOMPARE(icon(w.row("0-1")), shared(SharedIcon::EGlobal));
    QCOMPARE(index->Count("E1"), 2);
    select(w, "1-1");
    QVERIFY(!scope->itemIcon(0).isNull()); // the element is global twice
    select(w, "0-1");
    scope->setCurrentIndex(1);
    QCOMPARE(index->Count("E1"), 1);
    QCOMPARE(icon(w.row("1-1")), shared(SharedIcon::Global));
    QCOMPARE(icon(w.row("0-1")), shared(SharedIcon::Local));
    scope->setCurrentIndex(2);
    QCOMPARE(attr(w, "0-1", RegSlot::StrAttrScope), QString("2"));
    QCOMPARE(icon(w.row("0-1")), shared(SharedIcon::None));
    QCOMPARE(index->Count("E1"), 1);
}

void tst_classinstances::stateCombo_noneStoredEmpty_choiceSaved()
{
    PaneWorkspace w;
    auto *pane = w.tab->findChild<InstanceSclass *>();
    select(w, "0-5");
    auto *combo = child<QTreeWidget>(pane, "P_TREE")->findChild<QComboBox *>();
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), QString("NONE"));
    QCOMPARE(combo->itemText(1), QString("I0-2"));
    QVERIFY(combo->isEnabled());
    combo->setCurrentIndex(1);
    QCOMPARE(attr(w, "0-4", RegSlot::StrAttrState), QString("0-2"));
    select(w, "0-1");
    select(w, "0-5");
    QCOMPARE(combo->currentText(), QString("I0-2"));
    w.table.value(0)->InstanceModified = true;
    w.tab->SaveInstance();
    QDomElement sclass = w.root("instance.xml").firstChildElement("LClass").firstChildElement("SClass");
    QCOMPARE(sclass.nextSiblingElement().attribute("State"), QString("0-2"));
    // The state page lists the transition beside the state it leads from, until none is chosen.
    StatusWidget status;
    w.SetObj(RegSlot::ObjStatusWidget, &status);
    w.tab->SyncStatusWidget();
    QCOMPARE(status.GetTree()->topLevelItemCount(), 1);
    QTreeWidgetItem *pair = status.GetTree()->topLevelItem(0);
    QCOMPARE(QStringList({pair->text(1), pair->text(2), pair->text(3), pair->text(4)}),
             QStringList({"Open", "I0-2", "", "I0-4"}));
    combo->setCurrentIndex(0);
    QCOMPARE(attr(w, "0-4", RegSlot::StrAttrState), QString());
    w.tab->SyncStatusWidget();
    QCOMPARE(status.GetTree()->topLevelItemCount(), 0);
    w.SetObj<StatusWidget>(RegSlot::ObjStatusWidget, nullptr);
}

// The state choice of a small-class pane may be the first to read every member's rows after an
// open: another member's state instances, whose rows are still unbuilt then, are offered too.
void tst_classinstances::stateCombo_firstReaderAfterOpen_offersUnbuiltMembersStates()
{
    Workspace w;
    writeFile(w.mdl->VersionFolder() + QStringLiteral("/model.xml"), kPaneModel);
    // A local transition: the pane counts no global element over every member first.
    QByteArray own = kPaneOwn;
    own.replace("<SClass ID=\"4\" MID=\"7\"", "<SClass ID=\"4\" MID=\"7\" SCOPE=\"1\"");
    writeFile(w.path("instance.xml"), own);
    writeFile(w.path("instance_1.xml"),
              "<Root_Instance ID=\"1\" MaxID=\"4\"><LClass ID=\"1\" MID=\"1\" SCOPE=\"1\">"
              "<SClass ID=\"2\" MID=\"6\" Param_type=\"1\" State=\"Open\" Element=\"st9\"><PARAM>"
              "<P ID=\"3\" MID=\"8\" Row=\"N\" Col=\"1\"/></PARAM></SClass></LClass></Root_Instance>");
    w.open();
    QVERIFY(!w.tab->HasMemberRows(1));
    auto *pane = w.tab->findChild<InstanceSclass *>();
    // Not through the member tree: handing it out builds every member's rows.
    w.tab->SelectTreeItem("0-5");
    auto *combo = child<QTreeWidget>(pane, "P_TREE")->findChild<QComboBox *>();
    QVERIFY(combo);
    QStringList offered;
    for (int i = 0; i < combo->count(); ++i)
        offered << combo->itemText(i);
    QCOMPARE(offered, (QStringList{"NONE", "I0-2", "I1-2"}));
    QVERIFY(w.tab->HasMemberRows(1));
}

// Whatever MaxID the file holds, a new element never shares instance_<n>_<ID> files with one in
// the file, refused ones included: numbers above all come first, then the lowest no element uses.
void tst_classinstances::addSclass_craftedCounter_numbersNoElementUses_data()
{
    QTest::addColumn<QByteArray>("maxId");
    QTest::addColumn<QString>("numbers"); // of the new small class, its three parameters, then MaxID
    QTest::newRow("no MaxID") << QByteArray() << "8 9 10 11 12";
    QTest::newRow("MaxID behind") << QByteArray(" MaxID=\"0\"") << "8 9 10 11 12";
    QTest::newRow("negative MaxID") << QByteArray(" MaxID=\"-1\"") << "8 9 10 11 12";
    QTest::newRow("four numbers left")
        << QByteArray(" MaxID=\"999999996\"") << "999999996 999999997 999999998 999999999 1000000000";
    QTest::newRow("MaxID at the largest int") << QByteArray(" MaxID=\"2147483646\"") << "0 6 8 9 1000000000";
}

void tst_classinstances::addSclass_craftedCounter_numbersNoElementUses()
{
    QFETCH(QByteArray, maxId);
    QFETCH(QString, numbers);
    Workspace w;
    writeFile(w.mdl->VersionFolder() + QStringLiteral("/model.xml"), kPaneModel);
    // A refused element (its model class is unknown) holds the highest ID.
    QByteArray own = QByteArray(kPaneOwn).replace(" MaxID=\"7\"", maxId);
    own.replace("</LClass></Root_Instance>", "<SClass ID=\"7\" MID=\"77\"/></LClass></Root_Instance>");
    writeFile(w.path("instance.xml"), own);
    writeFile(w.path("instance_1.xml"), kPaneOther);
    w.open();
    select(w, "0-1", "S1");
    QVERIFY(w.tab->CreateSclassInstance("SE", 1));
    w.table.value(0)->InstanceModified = true;
    w.tab->SaveInstance();
    const QDomElement root = w.root("instance.xml");
    const QDomElement lclass = root.firstChildElement("LClass");
    const QStringList ids = numbers.split(' ');
    QCOMPARE(childIds(lclass, "SClass"), (QStringList{"2", "4", "7", ids.first()}));
    QCOMPARE(childIds(lclass.lastChildElement("SClass").firstChildElement("PARAM"), "P"), ids.mid(1, 3));
    QCOMPARE(root.attribute("MaxID"), ids.last());
}

// The explanation is written before instance.xml: a save that failed at the document left the text
// of I0-7, which the next session's new element took from MaxID 7 and showed.
void tst_classinstances::addSclass_leftoverOfFailedSave_nextSessionShowsNothingOfIt()
{
    PaneWorkspace w;
    select(w, "0-1", "S1");
    QVERIFY(w.tab->CreateSclassInstance("SE", 1));
    QCOMPARE(w.tab->GetCurrentUserItem()->text(5), QString("I0-7"));
    QTest::keyClicks(explanation(w), "left");
    QVERIFY(QFile::remove(w.path("instance.xml")));
    QVERIFY(QDir(w.dir.path()).mkdir("instance.xml"));
    w.table.value(0)->InstanceModified = true;
    w.tab->SaveInstance();
    QVERIFY(w.GetBoolVar(RegSlot::FlagWriteFailed));

    w.tab->ClearTab();
    QVERIFY(QDir(w.dir.path()).rmdir("instance.xml"));
    writeFile(w.path("instance.xml"), kPaneOwn);
    writeFile(w.path("instance_0_7.csv"), "left\r\n");
    w.tab->LoadModelTree();
    w.tab->LoadInstanceDocument(&w.members);
    select(w, "0-1", "S1");
    QVERIFY(w.tab->CreateSclassInstance("SE", 1));
    QCOMPARE(w.tab->GetCurrentUserItem()->text(5), QString("I0-8"));
    QVERIFY(explanation(w)->toPlainText().isEmpty());
}

// A folder that cannot be listed is not one without leftovers: no number is known to be free.
void tst_classinstances::addElement_folderNotListed_refusedWithReasonNothingAdded()
{
    PaneWorkspace w;
    const QString folder = w.dir.path();
    QVERIFY(QDir().rename(folder, folder + "-away"));
    auto back = qScopeGuard([&] { QDir().rename(folder + "-away", folder); });
    const QString reason = QStringLiteral("folder not readable:") + folder;
    select(w, "0-1", "S1");
    QVERIFY(!w.tab->CreateSclassInstance("SE", 1));
    QCOMPARE(w.GetStrVar(RegSlot::StrLastError), reason);
    QCOMPARE(w.row("0-1")->childCount(), 2);
    w.SetStrVar(RegSlot::StrLastError, QString());
    select(w, "0", "L2");
    QVERIFY(!w.tab->CreateLclassInstance("L2", "free", 1));
    QCOMPARE(w.GetStrVar(RegSlot::StrLastError), reason);
    QCOMPARE(w.tab->GetUserTree()->topLevelItem(0)->childCount(), 1);
}

// Marked loaded, a refused grid's empty stand-in rows would be taken for the member's values.
void tst_classinstances::stateDiagram_refusedGrids_notMarkedLoaded()
{
    Workspace w;
    writeFile(w.mdl->VersionFolder() + QStringLiteral("/model.xml"), kPaneModel);
    writeFile(w.path("instance.xml"), QByteArray(kPaneOwn).replace("State=\"\"", "State=\"0-2\""));
    writeFile(w.path("instance_1.xml"), kPaneOther);
    writeFile(w.path("instance_0_2.csv"), "caf\xE9\r\n");
    writeFile(w.path("instance_0_4.csv"), "caf\xE9\r\n");
    w.open();
    StatusWidget status;
    w.SetObj(RegSlot::ObjStatusWidget, &status);
    auto release = qScopeGuard([&w] { w.SetObj<StatusWidget>(RegSlot::ObjStatusWidget, nullptr); });
    w.tab->SyncStatusWidget();
    QCOMPARE(status.GetTree()->topLevelItemCount(), 1);
    status.GetTree()->setCurrentItem(status.GetTree()->topLevelItem(0));
    QVERIFY(!deftab::RecordOf(w.row("0-2"))->GridLoaded());
    QVERIFY(!deftab::RecordOf(w.row("0-4"))->GridLoaded());
}

// The member's other desktop gave the next ID to its own small class and saved. This one's small
// class of that ID is refused with the file, and its explanation, grid and points with it: written,
// they would belong to the other desktop's element.
void tst_classinstances::addSclass_sameIdSavedElsewhere_keptNothingOfTheFileWritten()
{
    PaneWorkspace w;
    QByteArray theirs = kPaneOwn;
    theirs.replace("MaxID=\"7\"", "MaxID=\"8\"")
        .replace("</LClass>", "<SClass ID=\"7\" MID=\"2\" Element=\"theirs\"/></LClass>");
    writeFile(w.path("instance.xml"), theirs);
    select(w, "0-1", "S1");
    QVERIFY(w.tab->CreateSclassInstance("SE", 1));
    TreeItemData *added = deftab::RecordOf(w.tab->GetCurrentUserItem());
    QCOMPARE(added->GetAttr("ID"), QStringLiteral("7"));
    added->SetAttr("Expression", "mine");
    added->TextChanged() = true;
    added->GridChanged() = true;
    w.table.value(0)->InstanceModified = true; // as the member manager marks it
    w.SetBoolVar(RegSlot::FlagWriteFailed, false);
    w.tab->SaveInstance();
    QCOMPARE(readFile(w.path("instance.xml")), theirs);
    QCOMPARE(QDir(w.dir.path()).entryList({"instance_0_7*"}), QStringList());
    QVERIFY(w.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(w.table.value(0)->InstanceModified && added->TextChanged() && added->GridChanged());
}

QTEST_MAIN(tst_classinstances)
#include "tst_classinstances.moc"
