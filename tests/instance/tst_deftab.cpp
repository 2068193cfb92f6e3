#include "core/defvar.h"
#include "core/postbox.h"
#include "core/statuswindow.h"
#include "core/textfiles.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "instance/classinstanceindex.h"
#include "instance/deftab.h"
#include "instance/instancefiles.h"
#include "instance/instancepanes.h"
#include "instance/valuetable.h"
#include "members/memberinfo.h"
#include "model/model.h"
#include "shell/checktimer.h"
#include "shell/numeditor.h"
#include "testsupport_widgets.h"
#include "tolderrors.h"

#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

namespace
{
// The status line, as a dialog in status mode 1 takes it.
struct StatusLines : StatusWindow {
    QStringList texts;
    void SendResult(const QString &text) override { texts << text; }
};
} // namespace

#include "instanceworkspace.h"

namespace
{
// The document as text, attributes sorted (the DOM writes them in no fixed order). The attributes of
// the rows' own elements are left out: the loader completes them (names, scopes, grid sizes).
QString shape(const QDomNode &n)
{
    if (n.isComment())
        return QStringLiteral("<!--%1-->").arg(n.nodeValue());
    if (!n.isElement())
        return n.nodeValue();
    const QDomElement e = n.toElement();
    QStringList attrs;
    const bool row = QStringList{"LClass", "SClass", "P"}.contains(e.tagName()) && e.hasAttribute("MID");
    for (int i = 0; i < e.attributes().count() && !row; ++i) {
        const QDomAttr a = e.attributes().item(i).toAttr();
        attrs << QStringLiteral(" %1=\"%2\"").arg(a.name(), a.value());
    }
    attrs.sort();
    QString out = QLatin1Char('<') + e.tagName() + (row ? " ID=" + e.attribute("ID") : QString()) +
                  attrs.join(QString()) + QLatin1Char('>');
    for (QDomNode c = e.firstChild(); !c.isNull(); c = c.nextSibling())
        out += shape(c);
    return out + QStringLiteral("</") + e.tagName() + QLatin1Char('>');
}
} // namespace

class tst_deftab : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY(g_badConnections.isEmpty()); }
    void open_showsMembersClassesAndParameters();
    void open_gridPositionOfParameter_widensSmallClassAsANumber_data();
    void open_gridPositionOfParameter_widensSmallClassAsANumber();
    void save_rebuildsOwnDocumentOnly_keepsWhatItDidNotLoad();
    void save_unknownNodesOfOwnDocument_keptInPlace_noLinkInvented();
    void open_damagedOrMissingFiles_neverWrittenOver();
    void save_writeFailure_keepsMemberMarked();
    void stateLinks_keepChosenState_fallBackWhenDangling();
    void stateLinks_keptStateNotAStateOfTheModelClass_fallsBack_data();
    void stateLinks_keptStateNotAStateOfTheModelClass_fallsBack();
    void memberRemovedThenClosed_nextWorkspaceNeverReusesItsDocument();
    void selection_switchesTabsAndMarksModifiedOnce();
    void valueTable_cellsOfParameters_refusedSavedOnce_hiddenKept();
    void valueTable_transitionStates_chosenAndWrittenAsIndexes();
    void valueTable_rowPastLineLimit_keptInTableNotSaved();
    void clear_memberOfManyClasses_quickAndReusable_data();
    void clear_memberOfManyClasses_quickAndReusable();
    void ownExplanation_refusedThenMended_shownAgainEditableAndSaved_data();
    void ownExplanation_refusedThenMended_shownAgainEditableAndSaved();
    void ownExplanation_rewrittenOnAnotherDesktop_saveRefusedTextKept();
    void ownExplanation_refused_reasonDrawnAndToldOnce();
    void valueTable_refusedGrid_takesNoTypingNothingSaved();
    void classPanes_editorsWithNothingToSaveInto_takeNoTyping();
};

void tst_deftab::open_showsMembersClassesAndParameters()
{
    Workspace w;
    w.open();
    QTreeWidget *tree = w.tab->GetUserTree();
    QCOMPARE(tree->topLevelItemCount(), 2);
    QTreeWidgetItem *own = tree->topLevelItem(0);
    QCOMPARE(own->text(0), QStringLiteral("user0"));
    QCOMPARE(own->text(5), QStringLiteral("I0"));
    QCOMPARE(own->data(2, Qt::UserRole).toInt(), 20);
    QCOMPARE(w.table.value(0)->InstanceItem, own);
    QCOMPARE(w.table.value(0)->ProcEmail, QStringLiteral("proc0@x"));
    QCOMPARE(w.table.value(0)->EarliestStart, QStringLiteral("2026/02/01"));
    QCOMPARE(w.table.value(0)->LatestTarget, QStringLiteral("2026/03/01"));

    QTreeWidgetItem *lclass = w.row("0-1");
    QCOMPARE(own->childCount(), 1); // the class without model is not shown
    QCOMPARE(lclass->parent(), own);
    QCOMPARE(lclass->text(1), QStringLiteral("L1"));
    QCOMPARE(lclass->text(4), QStringLiteral("E1")); // the model's element wins
    QCOMPARE(lclass->text(5), QStringLiteral("I0-1"));
    QCOMPARE(deftab::RecordOf(lclass)->links, QStringList{"t[$$]u"});
    QTreeWidgetItem *sclass = w.row("0-2");
    QCOMPARE(sclass->text(2), QStringLiteral("S1"));
    QCOMPARE(sclass->text(5), QStringLiteral("I0-2"));
    QCOMPARE(sclass->childCount(), 2);
    QTreeWidgetItem *param = w.row("0-3");
    QCOMPARE(param->text(3), QStringLiteral("K[1][1]"));
    QCOMPARE(param->text(4), QStringLiteral("P1"));
    QCOMPARE(param->text(5), QStringLiteral("I0-3"));
    QVERIFY(!w.row("0-5") && !w.row("0-8") && !w.row("0-12"));
    // A row "N" stands for the small class's MaxParam.
    const TreeItemData *srec = deftab::RecordOf(sclass);
    QCOMPARE(srec->GetAttr("Row"), QStringLiteral("10"));
    QCOMPARE(srec->GetAttr("Col"), QStringLiteral("2"));
    QCOMPARE(w.row("0-10")->text(4), QString()); // arbitrary element: the instance's own

    // Other member's rows, the model-tree copy and its indexes.
    QCOMPARE(tree->topLevelItem(1)->text(5), QStringLiteral("I1"));
    QVERIFY(w.row("1-1"));
    QTreeWidget *models = w.tab->GetModelTree();
    QCOMPARE(models->topLevelItemCount(), 1);
    QCOMPARE(models->topLevelItem(0)->child(0)->child(2)->text(2), QStringLiteral("K[1][3]"));
    ClassInstanceIndex *index = deftab::ClassIndexOf(models->topLevelItem(0));
    QCOMPARE(index->keys, (QStringList{"0-1", "1-1"}));
    QCOMPARE(index->Count("E1"), 1); // member 1's global one; member 0's is local
    QCOMPARE(w.tab->GetUserDataHash().value("1").size(), 2);
    QCOMPARE(w.tab->GetKeyedItems("6"), (QStringList{"0-10", "0-13"}));

    // The value grid costs nothing until it is read.
    writeFile(w.path("instance_0_2.csv"), "a,b\r\n");
    QVERIFY(!srec->HasGrid());
    w.tab->LoadValueGrid(param);
    QCOMPARE(srec->Cell(0, 1), QStringLiteral("b"));
    QVERIFY(!deftab::RecordOf(w.row("0-10"))->HasGrid());
}

// The small class's grid is as wide as its widest parameter; the other parameter sits at column 2.
void tst_deftab::open_gridPositionOfParameter_widensSmallClassAsANumber_data()
{
    QTest::addColumn<QString>("col");
    QTest::addColumn<QString>("width");
    QTest::newRow("two digits") << "12"
                                << "12";
    QTest::newRow("leading zeros") << "007"
                                   << "7";
    QTest::newRow("nine digits") << "123456789"
                                 << "123456789";
    QTest::newRow("ten digits") << "1234567890"
                                << "1234567890";
    QTest::newRow("beyond an int") << "99999999999"
                                   << "2";
    QTest::newRow("signed") << "+15"
                            << "15";
    QTest::newRow("negative") << "-5"
                              << "2";
    QTest::newRow("trailing letter") << "3x"
                                     << "2";
    QTest::newRow("empty") << ""
                           << "2";
}

void tst_deftab::open_gridPositionOfParameter_widensSmallClassAsANumber()
{
    QFETCH(QString, col);
    QFETCH(QString, width);
    Workspace w;
    QByteArray own = kOwnInstance;
    own.replace("Row=\"1\" Col=\"1\"", "Row=\"1\" Col=\"" + col.toUtf8() + "\"");
    writeFile(w.path("instance.xml"), own);
    w.open();
    QVERIFY(w.row("0-3"));
    QCOMPARE(deftab::RecordOf(w.row("0-2"))->GetAttr("Col"), width);
}

void tst_deftab::save_rebuildsOwnDocumentOnly_keepsWhatItDidNotLoad()
{
    Workspace w;
    writeAt(w.path("instance_1.xml"), kOtherInstance, QDateTime::currentDateTime().addSecs(-60));
    const QDateTime otherTime = QFileInfo(w.path("instance_1.xml")).lastModified();
    w.open();
    w.table.value(0)->InstanceModified = true;
    w.table.value(1)->InstanceModified = true;
    deftab::RecordOf(w.row("1-1"))->SetAttr("Name", "changed");
    w.tab->SaveInstance();
    QCOMPARE(readFile(w.path("instance_1.xml")), kOtherInstance);
    QCOMPARE(QFileInfo(w.path("instance_1.xml")).lastModified(), otherTime);
    QVERIFY(!w.table.value(0)->InstanceModified);
    QVERIFY(w.table.value(1)->InstanceModified);

    for (int round = 0; round < 2; ++round) { // the second save must not lose what the first kept
        const QDomElement root = w.root("instance.xml");
        QCOMPARE(root.attribute("Extra"), QStringLiteral("x"));
        QCOMPARE(root.attribute("MaxID"), QStringLiteral("20"));
        QCOMPARE(childIds(root, "LClass"), (QStringList{"9", "1"}));
        const QDomElement lclass = root.lastChildElement("LClass");
        QCOMPARE(lclass.firstChildElement().tagName(), QStringLiteral("REFERENCE"));
        QCOMPARE(lclass.attribute("SCOPE"), QStringLiteral("1"));
        // Refused elements stay where they were among the rebuilt ones.
        QCOMPARE(childIds(lclass, "SClass"), (QStringList{"2", "8", "../x", "10", "13", "11", "14"}));
        const QDomElement sclass = lclass.firstChildElement("SClass");
        QCOMPARE(sclass.attribute("Custom"), QStringLiteral("c"));
        QCOMPARE(sclass.attribute("SCOPE"), QStringLiteral("0")); // a missing scope is written as global
        QCOMPARE(childIds(sclass.firstChildElement("PARAM"), "P"), (QStringList{"3", "4", "5", "3"}));
        QCOMPARE(childIds(sclass.nextSiblingElement().firstChildElement("PARAM"), "P"), QStringList{"12"});
        QVERIFY(!w.store->GetXmlDoc(XmlIndex::Instance)->documentElement().hasChildNodes());
        w.table.value(0)->InstanceModified = true;
        w.tab->SaveInstance();
    }

    // Closed and opened again, nothing is lost.
    w.tab->ClearTab();
    QVERIFY(!w.store->HasDoc(XmlIndex::Instance));
    QCOMPARE(w.tab->GetUserTree()->topLevelItemCount(), 0);
    w.tab->LoadModelTree();
    w.tab->LoadInstanceDocument(&w.members);
    QCOMPARE(w.row("0-2")->childCount(), 2);
    QCOMPARE(deftab::RecordOf(w.row("0-11"))->GetAttr("State"), QStringLiteral("0-10"));
}

// A save with nothing edited writes back what the program does not understand as it was read,
// where it was: another member's program wrote it.
void tst_deftab::save_unknownNodesOfOwnDocument_keptInPlace_noLinkInvented()
{
    Workspace w;
    const QByteArray own =
        "<Root_Instance ID=\"0\" MaxID=\"20\"><!--root note-->"
        "<LClass ID=\"1\" MID=\"1\"><!--l--><REFERENCE Lang=\"en\"><LINK href=\"h\"/>"
        "<REF TITLE=\"t\" URL=\"u\" Note=\"n\"/><!--r--></REFERENCE>"
        "<SClass ID=\"2\" MID=\"2\"><REFERENCE><REF TITLE=\"a\" URL=\"b\"/></REFERENCE>"
        "<PARAM Kind=\"k\"><P ID=\"3\" MID=\"3\" Row=\"1\" Col=\"1\"><Unit v=\"kg\"/><!--in p-->text</P>"
        "<!--pc--><P ID=\"4\" MID=\"4\" Row=\"1\" Col=\"2\"/><P ID=\"5\" MID=\"55\"><Q/></P></PARAM>"
        "<X y=\"1\"/></SClass><SClass ID=\"6\" MID=\"6\" Param_type=\"1\"><REFERENCE/><PARAM/></SClass>"
        "</LClass><Other/></Root_Instance>";
    writeFile(w.path("instance.xml"), own);
    QDomDocument read;
    QVERIFY(read.setContent(own));
    const QString expected = shape(read.documentElement());
    w.open();
    QCOMPARE(deftab::RecordOf(w.row("0-1"))->links, QStringList{"t[$$]u"});
    QCOMPARE(w.row("0-2")->childCount(), 2);
    for (int round = 0; round < 2; ++round) {
        w.table.value(0)->InstanceModified = true;
        w.tab->SaveInstance();
        QCOMPARE(shape(w.root("instance.xml")), expected);
    }
    // Opened again from what was written: still the same.
    w.tab->ClearTab();
    w.tab->LoadModelTree();
    w.tab->LoadInstanceDocument(&w.members);
    w.table.value(0)->InstanceModified = true;
    w.tab->SaveInstance();
    QCOMPARE(shape(w.root("instance.xml")), expected);
}

void tst_deftab::open_damagedOrMissingFiles_neverWrittenOver()
{
    Workspace w;
    writeFile(w.path("instance_2.xml"), "<Root_Instance ID=\"2\"><LClass");
    w.open();
    w.member(2, "me@x");
    w.member(3, "other@x");
    QTreeWidgetItem *top = w.members.topLevelItem(0);
    w.tab->LoadInstance(top->child(1));
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("Xml Parse Error"));
    w.tab->LoadInstance(top->child(2));
    QVERIFY(!w.tab->IsWritableMember(2));
    QVERIFY(w.tab->IsWritableMember(0));
    QVERIFY(!w.tab->IsWritableMember(3));
    const QDomElement created = w.root("instance_3.xml");
    QCOMPARE(created.tagName(), QStringLiteral("Root_Instance"));
    QCOMPARE(created.attribute("ID"), QStringLiteral("3"));
    QCOMPARE(created.attribute("MaxID"), QStringLiteral("0"));
    QCOMPARE(w.tab->GetUserTree()->topLevelItemCount(), 4);

    w.table.value(2)->InstanceModified = true;
    w.tab->SaveInstance();
    QCOMPARE(readFile(w.path("instance_2.xml")), QByteArray("<Root_Instance ID=\"2\"><LClass"));
    QVERIFY(w.table.value(2)->InstanceModified);
    QVERIFY(!w.GetBoolVar(RegSlot::FlagWriteFailed));
    w.tab->LoadInstance(nullptr);
    QCOMPARE(UiReport::LastText(), QStringLiteral("SYSTEM ERROR:INST003"));
}

void tst_deftab::save_writeFailure_keepsMemberMarked()
{
    Workspace w;
    w.open();
    QVERIFY(QFile::remove(w.path("instance.xml")));
    QVERIFY(QDir(w.dir.path()).mkdir("instance.xml"));
    w.table.value(0)->InstanceModified = true;
    w.SetBoolVar(RegSlot::FlagInstanceModified, true);
    w.tab->SaveInstance();
    QVERIFY(w.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(w.table.value(0)->InstanceModified);
    QVERIFY(QDir(w.dir.path()).rmdir("instance.xml"));
    w.SetBoolVar(RegSlot::FlagWriteFailed, false);
    w.tab->SaveInstance();
    QVERIFY(!w.table.value(0)->InstanceModified);
    QCOMPARE(childIds(w.root("instance.xml"), "LClass"), (QStringList{"9", "1"}));
}

void tst_deftab::stateLinks_keepChosenState_fallBackWhenDangling()
{
    Workspace w;
    w.open();
    const auto state = [&w](const char *key) { return deftab::RecordOf(w.row(key))->GetAttr("State"); };
    QCOMPARE(state("0-11"), QStringLiteral("0-10")); // chosen, kept
    QCOMPARE(state("0-14"), QStringLiteral("0-13")); // dangling: the last state instance
    // A chosen state survives a new state instance; an empty one takes it.
    deftab::RecordOf(w.row("0-14"))->SetAttr("State", QString());
    auto *added = new TreeItemData;
    added->name = "0";
    added->SetAttr("ID", "15");
    auto *row = new QTreeWidgetItem(w.row("0-1"));
    row->setData(0, Qt::UserRole, QVariant::fromValue<void *>(added));
    w.tab->LinkStateTarget(row, "6");
    QCOMPARE(state("0-11"), QStringLiteral("0-10"));
    QCOMPARE(state("0-14"), QStringLiteral("0-15"));
    QCOMPARE(w.tab->GetRefItemData(w.row("0-11")), deftab::RecordOf(w.row("0-10")));
}

void tst_deftab::stateLinks_keptStateNotAStateOfTheModelClass_fallsBack_data()
{
    QTest::addColumn<QString>("kept");
    QTest::newRow("another member's class") << "1-1";
    QTest::newRow("a large class") << "0-1";
    QTest::newRow("a plain small class") << "0-2";
    QTest::newRow("a parameter") << "0-3";
    QTest::newRow("a transition") << "0-11";
}

// A transition's "State" comes from a shared file: only a state instance of the model's state
// class in the same large class is kept.
void tst_deftab::stateLinks_keptStateNotAStateOfTheModelClass_fallsBack()
{
    QFETCH(QString, kept);
    Workspace w;
    writeFile(w.path("instance.xml"),
              QByteArray(kOwnInstance).replace("State=\"0-77\"", "State=\"" + kept.toUtf8() + "\""));
    w.open();
    QVERIFY(w.row(kept));
    QCOMPARE(deftab::RecordOf(w.row("0-14"))->GetAttr("State"), QStringLiteral("0-13"));
    QCOMPARE(deftab::RecordOf(w.row("0-11"))->GetAttr("State"), QStringLiteral("0-10"));
}

// A removed member's document must not outlive the workspace: the next workspace where the user
// has that member number reads its own file and never writes the first workspace's.
void tst_deftab::memberRemovedThenClosed_nextWorkspaceNeverReusesItsDocument()
{
    Workspace w;
    w.open();
    const QByteArray firstOther = readFile(w.path("instance_1.xml"));
    w.tab->RemoveUser(w.table.value(1)->InstanceItem);
    QVERIFY(!w.store->HasDoc(XmlIndex::Instance + 1));
    w.tab->ClearTab();
    QVERIFY(!w.store->HasDoc(XmlIndex::Instance));

    QTemporaryDir second;
    writeFile(second.filePath("instance.xml"), "<Root_Instance ID=\"0\" MaxID=\"1\"/>");
    writeFile(
        second.filePath("instance_1.xml"),
        "<Root_Instance ID=\"1\" MaxID=\"3\"><LClass ID=\"2\" MID=\"1\" Name=\"mine\"/></Root_Instance>");
    qDeleteAll(w.table);
    w.table.clear();
    w.members.clear();
    w.SetStrVar(RegSlot::StrInstanceDir, second.path());
    w.tab->SetInstanceDir(second.path());
    w.member(0, "other@x");
    w.member(1, "me@x");
    w.tab->LoadModelTree();
    w.tab->LoadInstanceDocument(&w.members);
    QVERIFY(w.row("1-2"));
    w.table.value(1)->InstanceModified = true;
    w.tab->SaveInstance();
    QCOMPARE(readFile(w.path("instance_1.xml")), firstOther);
    // The save went to this workspace's file, with the element read from it.
    QDomDocument doc;
    QVERIFY(doc.setContent(readFile(second.filePath("instance_1.xml"))));
    const QDomElement saved = doc.documentElement();
    QCOMPARE(childIds(saved, "LClass"), QStringList{"2"});
    QCOMPARE(saved.firstChildElement("LClass").attribute("SCOPE"), QStringLiteral("0"));

    // A document still held under the number from another folder is not taken either.
    w.tab->ClearTab();
    w.store->NewXmlDoc(XmlIndex::Instance + 1, QStringLiteral("Root_Instance"));
    w.store->SetDocFileName(XmlIndex::Instance + 1, w.path("instance_1.xml"));
    w.tab->LoadModelTree();
    w.tab->LoadInstanceDocument(&w.members);
    QVERIFY(w.row("1-2"));
    QCOMPARE(w.store->DocFileName(XmlIndex::Instance + 1), second.filePath("instance_1.xml"));
}

void tst_deftab::selection_switchesTabsAndMarksModifiedOnce()
{
    Workspace w;
    w.open();
    {
        // The tab area puts the tab on its instance page through the registered layout.
        QWidget page;
        page.setLayout(w.GetObj<QLayout>(RegSlot::ObjInstanceLayout));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(w.tab->isVisible());
        w.tab->setParent(nullptr);
    }
    auto *area = w.tab->findChild<QTabWidget *>("CLASSTAB");
    QTreeWidget *tree = w.tab->GetUserTree();
    tree->setCurrentItem(w.row("0-3"));
    QCOMPARE(area->currentIndex(), 1);
    QCOMPARE(area->tabText(1), QStringLiteral("TabParam"));
    QVERIFY(!area->isTabEnabled(0) && area->isTabEnabled(3));
    // A double-click opens the parameter's value grid; the click that completes it leaves the
    // grid open, a later click returns to the small-class pane.
    auto *table = w.tab->findChild<ValueTable *>();
    w.tab->UserDblTreeClicked(w.row("0-3"), 0);
    w.tab->UserTreeClicked(w.row("0-3"), 0);
    QCOMPARE(area->currentIndex(), 2);
    QCOMPARE(table->GetShownRow(), w.row("0-3")->parent());
    QVERIFY(!w.GetBoolVar(RegSlot::FlagBusy));
    w.tab->UserTreeClicked(w.row("0-3"), 0);
    QCOMPARE(area->currentIndex(), 1);
    QVERIFY(!table->GetShownRow());
    tree->setCurrentItem(w.row("0-2"));
    QCOMPARE(area->tabText(1), QStringLiteral("TabSclass"));
    tree->setCurrentItem(w.row("0-1"));
    QCOMPARE(area->currentIndex(), 0);
    tree->setCurrentItem(tree->topLevelItem(0));
    for (int i = 0; i < 4; ++i)
        QVERIFY(!area->isTabEnabled(i));
    QCOMPARE(area->tabText(3), QStringLiteral("explain"));
    QVERIFY(!w.GetBoolVar(RegSlot::FlagUpdating));

    w.SetBoolVar(RegSlot::FlagBusy, true);
    w.tab->SetScheduleRefresh(false);
    w.tab->SetModify();
    QVERIFY(!w.GetBoolVar(RegSlot::FlagInstanceModified) && !w.tab->GetScheduleRefresh());
    w.SetBoolVar(RegSlot::FlagBusy, false);
    w.tab->SetModify();
    w.tab->SetModify();
    QCOMPARE(w.posts.codes, QList<int>{MsgCode::SaveFlag});
    QVERIFY(w.GetBoolVar(RegSlot::FlagSaveNeeded));

    w.tab->UpdateItemText(tree->topLevelItem(0), "abc", 2);
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("abc(2)"));
    QCOMPARE(deftab::MakeIdPath(w.row("0-1"), w.row("0-2")), QStringLiteral("E1:SE"));
    QCOMPARE(w.tab->GetReferencePath("0", "3"), w.dir.path() + "/REFERENCE/0/3/");
}

void tst_deftab::valueTable_cellsOfParameters_refusedSavedOnce_hiddenKept()
{
    Workspace w;
    w.open();
    auto *table = w.tab->findChild<ValueTable *>();
    QTreeWidgetItem *param = w.row("0-3");
    TreeItemData *grid = deftab::RecordOf(param->parent());
    grid->SetCell(4, 0, "hidden");
    w.tab->GetUserTree()->setCurrentItem(param);
    w.tab->UserDblTreeClicked(param, 0);
    // K[1][1] is the one cell; the "N" parameter behind a numbered first row gets none.
    int enabled = 0;
    for (int r = 0; r < 30; ++r) {
        for (int c = 0; c < 30; ++c)
            enabled += table->item(r, c)->flags().testFlag(Qt::ItemIsEnabled) ? 1 : 0;
    }
    QCOMPARE(enabled, 1);
    QVERIFY(table->item(0, 0)->flags().testFlag(Qt::ItemIsEditable));
    QCOMPARE(table->item(0, 1)->background().color(), QColor("#195AA5"));

    // The file has no quoting: a comma or a line break would split the cell for every reader.
    for (const char *bad : {"4,2", "4\n2"}) {
        table->item(0, 0)->setText(bad);
        QCOMPARE(table->item(0, 0)->text(), QString());
    }
    QVERIFY(!w.GetBoolVar(RegSlot::FlagInstanceModified) && !grid->GridChanged());
    table->item(0, 0)->setText("42");
    QVERIFY(w.GetBoolVar(RegSlot::FlagInstanceModified) && grid->GridChanged());
    w.tab->SaveInstance();
    const QString csv = w.path("instance_0_2.csv");
    const QList<QByteArray> lines = readFile(csv).split('\n');
    QVERIFY(lines.at(0).startsWith("42,"));
    QVERIFY2(lines.at(4).startsWith("hidden,"), "a cell the table does not show is not blanked");

    // The same value typed again changes nothing: the file is not written anew.
    QFile::remove(csv);
    w.SetBoolVar(RegSlot::FlagInstanceModified, false);
    table->item(0, 0)->setText("42");
    QVERIFY(!w.GetBoolVar(RegSlot::FlagInstanceModified));
    w.tab->SaveInstance();
    QVERIFY(!QFileInfo::exists(csv));
}

// A row the grid file's reader would cut is kept as typed, and the save writes no file that cuts it.
void tst_deftab::valueTable_rowPastLineLimit_keptInTableNotSaved()
{
    Workspace w;
    w.open();
    auto *table = w.tab->findChild<ValueTable *>();
    QTreeWidgetItem *param = w.row("0-3");
    TreeItemData *grid = deftab::RecordOf(param->parent());
    w.tab->GetUserTree()->setCurrentItem(param);
    w.tab->UserDblTreeClicked(param, 0);
    const QString csv = w.path("instance_0_2.csv");
    // The warning while typing: a row of exactly the limit is read back whole, one byte more is not.
    StatusLines status;
    CheckTimer timer;
    PostBox::Install(&w.posts);
    w.SetObj<CheckTimer>(RegSlot::ObjCheckTimer, &timer);
    w.SetObj<StatusWindow>(RegSlot::ObjStatusWindow, &status);
    w.SetIntVar(RegSlot::IntStatusMode, 1);
    const int room = InstanceFiles::MaxLineBytes - 29; // 29 commas between 30 cells
    table->item(0, 0)->setText(QString(room, QLatin1Char('a')));
    QCOMPARE(status.texts, QStringList());
    table->item(0, 0)->setText(QString(room + 1, QLatin1Char('a')));
    QCOMPARE(status.texts.size(), 1);
    QVERIFY2(status.texts.first().startsWith("row 1 is too long to be saved"),
             qPrintable(status.texts.first()));
    w.SetIntVar(RegSlot::IntStatusMode, 0);
    w.SetObj<StatusWindow>(RegSlot::ObjStatusWindow, nullptr);
    w.SetObj<CheckTimer>(RegSlot::ObjCheckTimer, nullptr);

    const QString longValue(30000, QChar(0x3042)); // 90,000 bytes in UTF-8
    table->item(0, 0)->setText(longValue);
    QCOMPARE(table->item(0, 0)->text(), longValue);
    QVERIFY(grid->GridChanged());
    w.tab->SaveInstance();
    QVERIFY(!QFileInfo::exists(csv));
    QVERIFY(w.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY2(UiReport::LastText().startsWith(csv + " was not saved"), qPrintable(UiReport::LastText()));
    QCOMPARE(grid->Cell(0, 0), longValue);
    QVERIFY(grid->GridChanged());

    // Shortened, it is saved and read back whole.
    w.SetBoolVar(RegSlot::FlagWriteFailed, false);
    const QString fits = longValue.left((InstanceFiles::MaxLineBytes - 29) / 3);
    table->item(0, 0)->setText(fits);
    w.tab->SaveInstance();
    QVERIFY(!w.GetBoolVar(RegSlot::FlagWriteFailed));
    TreeItemData back;
    w.tab->ReadInstanceCsv(&back, "0", "2");
    QCOMPARE(back.Cell(0, 0), fits);
}

void tst_deftab::valueTable_transitionStates_chosenAndWrittenAsIndexes()
{
    Workspace w;
    w.open();
    auto *table = w.tab->findChild<ValueTable *>();
    TreeItemData *states = deftab::RecordOf(w.row("0-10"));
    states->SetCell(0, 0, "A");
    states->SetCell(1, 0, "B");
    states->GridLoaded() = true;
    QTreeWidgetItem *trans = w.row("0-11");
    TreeItemData *t = deftab::RecordOf(trans);
    t->SetAttr("MaxParam", "2");
    t->SetCell(0, 1, "1");
    t->SetCell(0, 2, "2");
    t->SetCell(1, 1, "9");
    t->SetCell(2, 1, "5");
    t->GridLoaded() = true;
    auto *param = new QTreeWidgetItem(trans);
    table->SetParam(param);
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("A"));
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("B"));
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("None"));
    QCOMPARE(table->item(0, 1)->background().color(), QColor("#f8fded"));

    // Row 1 goes from index 9 (shown as None) to a To state: A is free, B too.
    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        QWidget *dialog = QApplication::activeModalWidget();
        auto *to = dialog->findChild<QTreeWidget *>("TOLIST");
        for (int i = 0; i < to->topLevelItemCount(); ++i)
            offered << to->topLevelItem(i)->text(0);
        to->setCurrentItem(to->topLevelItem(2));
        dialog->findChild<QPushButton *>("OK")->click();
    });
    table->ValueCellClicked(1, 2);
    QCOMPARE(offered, QStringList({"None", "A", "B"}));
    QCOMPARE(table->item(1, 2)->text(), QStringLiteral("B"));
    QVERIFY(t->GridChanged());
    table->CommitTable();
    QCOMPARE(t->Cell(1, 1), QStringLiteral("9"));
    QCOMPARE(t->Cell(1, 2), QStringLiteral("2"));
    QCOMPARE(t->Cell(2, 1), QStringLiteral("5"));

    // Without a state small class the state cells stay empty and a click opens nothing.
    t->SetAttr("State", QString());
    table->SetParam(param);
    QCOMPARE(table->item(0, 1)->text(), QString());
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            opened = true;
            dialog->close();
        }
    });
    table->ValueCellClicked(0, 1);
    QCoreApplication::processEvents();
    QVERIFY(!opened);
    table->ReleaseTable();
    QCOMPARE(t->Cell(0, 1), QStringLiteral("1"));
}

void tst_deftab::clear_memberOfManyClasses_quickAndReusable_data()
{
    QTest::addColumn<bool>("wholeTab");
    QTest::newRow("workspace closed") << true;
    QTest::newRow("member removed") << false;
}

// A member with tens of thousands of large classes took over half a minute to close: every row's
// mirrored rows left their parents one at a time, and the views renumbered the rest each time.
void tst_deftab::clear_memberOfManyClasses_quickAndReusable()
{
    QFETCH(bool, wholeTab);
    constexpr int count = 20000;
    Workspace w;
    QByteArray xml = "<Root_Instance ID=\"0\" MaxID=\"" + QByteArray::number(count) + "\">";
    for (int i = 1; i <= count; ++i)
        xml += "<LClass ID=\"" + QByteArray::number(i) + "\" MID=\"1\"><REFERENCE/></LClass>";
    writeFile(w.path("instance.xml"), xml + "</Root_Instance>");
    w.open();
    QTreeWidgetItem *own = w.table.value(0)->InstanceItem;
    QCOMPARE(own->childCount(), count);
    // The document's class tree shows the mirrored rows, as the instance document builds it.
    QTreeWidget docs;
    QTreeWidgetItem *top = deftab::RecordOf(own)->docRow;
    QList<QTreeWidgetItem *> rows;
    for (int i = 0; i < count; ++i)
        rows << deftab::RecordOf(own->child(i))->docRow;
    top->addChildren(rows);
    docs.addTopLevelItem(top);
    docs.expandAll();
    docs.show();
    w.tab->GetUserTree()->expandAll();
    // Counted, not timed: each removal a shown view hears renumbers the rows after it, so rows
    // taken one at a time cost the square of their number. Taken level by level, a few suffice.
    QSignalSpy docsRemoved(docs.model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy usersRemoved(w.tab->GetUserTree()->model(), &QAbstractItemModel::rowsRemoved);
    if (wholeTab)
        w.tab->ClearTab();
    else
        w.tab->RemoveUser(own);
    qInfo("%d classes freed in %d removals the views heard", count,
          int(docsRemoved.count() + usersRemoved.count()));
    QVERIFY2(
        docsRemoved.count() + usersRemoved.count() < 100,
        qPrintable(QStringLiteral("%1 and %2 removals").arg(docsRemoved.count()).arg(usersRemoved.count())));
    QCOMPARE(docs.topLevelItemCount(), 0);
    QVERIFY(!w.row("0-1") && !w.row(QStringLiteral("0-%1").arg(count)));
    QCOMPARE(w.tab->GetUserTree()->topLevelItemCount(), wholeTab ? 0 : 1);
    if (!wholeTab)
        w.tab->ClearTab();

    // The tab takes the next workspace as a new one.
    writeFile(w.path("instance.xml"), kOwnInstance);
    w.tab->LoadModelTree();
    w.tab->LoadInstanceDocument(&w.members);
    QCOMPARE(w.tab->GetUserTree()->topLevelItemCount(), 2);
    QCOMPARE(w.row("0-2")->childCount(), 2);
    QVERIFY(!w.row(QStringLiteral("0-%1").arg(count)));
}

void tst_deftab::ownExplanation_refusedThenMended_shownAgainEditableAndSaved_data()
{
    QTest::addColumn<QByteArray>("refused");
    QTest::addColumn<QString>("reason");
    QTest::newRow("past the size limit") << QByteArray() << " MB";
    QTest::newRow("Latin-1") << QByteArray("caf\xE9") << "not UTF-8";
}

// The member's own explanation stayed refused, with its stale reason, until a restart: the
// record kept its first read. Shown again it is read again; once readable it takes edits that
// save, and while refused its editor always says why.
void tst_deftab::ownExplanation_refusedThenMended_shownAgainEditableAndSaved()
{
    QFETCH(QByteArray, refused);
    QFETCH(QString, reason);
    Workspace w;
    const QString path = w.path("instance_0_2.txt");
    if (refused.isEmpty()) {
        writeSparse(path, TextFiles::MaxTextBytes + 1);
    } else {
        writeFile(path, refused);
    }
    w.open();
    QTreeWidget *tree = w.tab->GetUserTree();
    auto *explain = qobject_cast<NumEditor *>(w.tab->findChild<QTabWidget *>("CLASSTAB")->widget(3));
    QVERIFY(explain);
    const auto showAgain = [&] {
        tree->setCurrentItem(w.row("0-1"));
        tree->setCurrentItem(w.row("0-2"));
    };
    tree->setCurrentItem(w.row("0-2"));
    QVERIFY(explain->isReadOnly());
    QVERIFY2(explain->placeholderText().startsWith(path) && explain->placeholderText().contains(reason),
             qPrintable(explain->placeholderText()));
    showAgain();
    QVERIFY(explain->isReadOnly() && explain->placeholderText().startsWith(path));

    // Mended by its owner and read meanwhile by another reader, which clears the file's refusal.
    writeFile(path, "mended");
    w.tab->ReadInstanceText(QStringLiteral("0_2"));
    showAgain();
    QCOMPARE(explain->toPlainText(), QStringLiteral("mended"));
    QVERIFY(!explain->isReadOnly() && explain->placeholderText().isEmpty());
    QTest::keyClicks(explain, "typed ");
    QVERIFY(deftab::RecordOf(w.row("0-2"))->TextChanged());
    w.tab->SaveInstance();
    QCOMPARE(readFile(path), QByteArray("typed mended"));
}

// The member's other desktop saved the same explanation meanwhile, of the same size in the same
// second: the save keeps both, the file as the other desktop wrote it and the typing in the editor.
void tst_deftab::ownExplanation_rewrittenOnAnotherDesktop_saveRefusedTextKept()
{
    Workspace w;
    const QString path = w.path("instance_0_2.txt");
    writeFile(path, "aaaa");
    w.open();
    QTreeWidget *tree = w.tab->GetUserTree();
    auto *explain = qobject_cast<NumEditor *>(w.tab->findChild<QTabWidget *>("CLASSTAB")->widget(3));
    QVERIFY(explain);
    tree->setCurrentItem(w.row("0-2"));
    QCOMPARE(explain->toPlainText(), QStringLiteral("aaaa"));
    writeAt(path, "bbbb", QFileInfo(path).lastModified());
    QTest::keyClicks(explain, "typed ");
    w.SetBoolVar(RegSlot::FlagWriteFailed, false);
    w.tab->SaveInstance();
    QCOMPARE(readFile(path), QByteArray("bbbb"));
    QVERIFY(w.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(deftab::RecordOf(w.row("0-2"))->TextChanged());
    QCOMPARE(explain->toPlainText(), QStringLiteral("typed aaaa"));
}

namespace
{
// How many pixels of the editor's page are as dark as text; the current line's mark is light.
int drawnPixels(QPlainTextEdit *editor)
{
    editor->resize(600, 200);
    const QImage page = editor->viewport()->grab().toImage();
    int drawn = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x)
            drawn += qGray(page.pixel(x, y)) < 200 ? 1 : 0;
    }
    return drawn;
}
} // namespace

// A refused own explanation of 9 MB: the editor stood blank, its reason set but never drawn, and
// the error window came back at every selection of the element.
void tst_deftab::ownExplanation_refused_reasonDrawnAndToldOnce()
{
    Workspace w;
    const QString path = w.path("instance_0_2.txt");
    writeFile(path, QByteArray("an explanation line of a member\n").repeated(9 * 1024 * 1024 / 32));
    ToldErrors told;
    w.open();
    QTreeWidget *tree = w.tab->GetUserTree();
    auto *explain = qobject_cast<NumEditor *>(w.tab->findChild<QTabWidget *>("CLASSTAB")->widget(3));
    QVERIFY(explain);
    for (int i = 0; i < 3; ++i) {
        tree->setCurrentItem(w.row("0-1"));
        QVERIFY(explain->toPlainText().isEmpty() && explain->placeholderText().isEmpty());
        const int blank = drawnPixels(explain);
        tree->setCurrentItem(w.row("0-2"));
        QVERIFY(explain->isReadOnly() && explain->toPlainText().isEmpty());
        QVERIFY2(explain->placeholderText().startsWith(path), qPrintable(explain->placeholderText()));
        QVERIFY2(drawnPixels(explain) > blank + 100, "the reason is not drawn");
    }
    QCOMPARE(told.texts.filter(path).size(), 1);
}

// The rows standing in for a refused grid took typing, and each save met the refusal again.
void tst_deftab::valueTable_refusedGrid_takesNoTypingNothingSaved()
{
    Workspace w;
    const QString csv = w.path("instance_0_2.csv");
    writeFile(csv, "1,x\r\ncaf\xE9\r\n");
    w.open();
    auto *table = w.tab->findChild<ValueTable *>();
    QTreeWidgetItem *param = w.row("0-3");
    w.tab->GetUserTree()->setCurrentItem(param);
    w.tab->UserDblTreeClicked(param, 0);
    QVERIFY(!deftab::RecordOf(param->parent())->GridLoaded());
    for (int r = 0; r < 30; ++r) {
        for (int c = 0; c < 30; ++c)
            QVERIFY(!table->item(r, c)->flags().testFlag(Qt::ItemIsEditable));
    }
    w.tab->SaveInstance();
    QVERIFY(!w.GetBoolVar(RegSlot::FlagWriteFailed));
    QCOMPARE(readFile(csv), QByteArray("1,x\r\ncaf\xE9\r\n"));

    // Mended, it is read when shown again and takes typing.
    writeFile(csv, "7,x\r\n");
    w.tab->GetUserTree()->setCurrentItem(w.row("0-1"));
    w.tab->GetUserTree()->setCurrentItem(param);
    w.tab->UserDblTreeClicked(param, 0);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("7"));
    QVERIFY(table->item(0, 0)->flags().testFlag(Qt::ItemIsEditable));
}

// The small-class and large-class panes hold editors nothing saves: typing in them was lost
// without a word, with a parameter selected or not.
void tst_deftab::classPanes_editorsWithNothingToSaveInto_takeNoTyping()
{
    Workspace w;
    w.open();
    QTreeWidget *tree = w.tab->GetUserTree();
    for (const char *key : {"0-1", "0-2", "0-3"}) {
        tree->setCurrentItem(w.row(key));
        for (int slot :
             {RegSlot::ObjInstLclassEditor, RegSlot::ObjInstSclassEditor1, RegSlot::ObjInstSclassEditor2}) {
            auto *editor = w.GetObj<NumEditor>(slot);
            QVERIFY(editor);
            QTest::keyClicks(editor, "lost");
            QVERIFY2(editor->isReadOnly() && editor->toPlainText().isEmpty(), key);
        }
    }
    QVERIFY(!w.GetBoolVar(RegSlot::FlagInstanceModified));
}

QTEST_MAIN(tst_deftab)
#include "tst_deftab.moc"
