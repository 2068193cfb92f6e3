#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "model/deletelclassdiag.h"
#include "model/deleteparamdiag.h"
#include "model/deletesclassdiag.h"
#include "model/model.h"
#include "model/modelsclass.h"
#include "model/newparam.h"
#include "modelprogram.h"
#include "testsupport_widgets.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

namespace
{
// L1 holds S1 (empty), S2 (arbitrary element), S3 and S4 (empty) and Grid (rows 1 to 4);
// L2 holds T1 (empty).
const QByteArray kModel =
    "<Root_Model Name=\"M\" User=\"o\" Email=\"owner@x\" Version=\"1.0.0\" MaxID=\"20\">"
    "<LClass ID=\"1\" Name=\"L1\" Element=\"E1\"><REFERENCE/>"
    "<SClass ID=\"2\" Name=\"S1\" Element=\"SE\"><REFERENCE/><PARAM/></SClass>"
    "<SClass ID=\"3\" Name=\"S2\" Element=\"@A\"><REFERENCE/><PARAM/></SClass>"
    "<SClass ID=\"4\" Name=\"S3\" Element=\"X\"><REFERENCE/><PARAM/></SClass>"
    "<SClass ID=\"5\" Name=\"S4\" Element=\"X\"><REFERENCE/><PARAM/></SClass>"
    "<SClass ID=\"6\" Name=\"Grid\" Element=\"G\"><REFERENCE/><PARAM>"
    "<P ID=\"10\" Name=\"a\" Row=\"1\" Col=\"1\"/><P ID=\"11\" Name=\"b\" Row=\"2\" Col=\"1\"/>"
    "<P ID=\"12\" Name=\"c\" Row=\"2\" Col=\"2\"/><P ID=\"13\" Name=\"d\" Row=\"2\" Col=\"3\"/>"
    "<P ID=\"14\" Name=\"e\" Row=\"3\" Col=\"1\"/><P ID=\"15\" Name=\"f\" Row=\"3\" Col=\"2\"/>"
    "<P ID=\"16\" Name=\"g\" Row=\"4\" Col=\"1\"/></PARAM></SClass></LClass>"
    "<LClass ID=\"7\" Name=\"L2\" Element=\"E2\"><REFERENCE/>"
    "<SClass ID=\"8\" Name=\"T1\" Element=\"Y\"><REFERENCE/><PARAM/></SClass></LClass></Root_Model>";

template <class T> T *topLevel()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *t = qobject_cast<T *>(w))
            return t;
    }
    return nullptr;
}

// The owner's model editor on the model above.
struct Editor : public RegistryScope {
    QTemporaryDir dir;
    xmlclass *store = new xmlclass;
    model *mdl = nullptr;
    Editor()
    {
        DefVar().InitVar();
        SetObj(RegSlot::ObjXmlStore, store);
        SetStrVar(RegSlot::StrUserEmail, QStringLiteral("owner@x"));
        SetStrVar(RegSlot::StrWorkspaceDir, dir.path() + QStringLiteral("/ws"));
        SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
        SetStrVar(RegSlot::StrModelVersion, QStringLiteral("1.0.0"));
        mdl = new model;
        writeFile(mdl->VersionFolder() + QStringLiteral("/model.xml"), kModel);
        mdl->OpenModel();
    }
    ~Editor() override
    {
        delete mdl;
        delete store;
    }
    QTreeWidgetItem *item(const QString &id) const { return mdl->FindItem(id); }
    TreeItemData *record(const QString &id) const { return model::RecordOf(item(id)); }
    NewParam *dialog() const { return GetObj<ModelSClass>(RegSlot::ObjModelSclassPage)->GetParamDiag(); }
    template <class W> W *field(const char *name) const
    {
        return dialog()->findChild<W *>(QLatin1String(name));
    }
    // "K[1][1]:a K[1][2]:b", from the class tree and checked against the list rows.
    QString params(const QString &sclassId) const
    {
        QStringList out;
        QTreeWidgetItem *s = item(sclassId);
        for (int i = 0; i < s->childCount(); ++i) {
            QTreeWidgetItem *p = s->child(i);
            const TreeItemData *r = model::RecordOf(p);
            if (r->pageItem->text(0) != p->text(model::ColParam))
                return QStringLiteral("list row differs");
            out << p->text(model::ColParam) + QLatin1Char(':') + r->GetAttr(QStringLiteral("Name"));
        }
        return out.join(QLatin1Char(' '));
    }
    // Opens the dialog on the row, chooses as asked and presses OK; the message pane afterwards.
    QString add(const QString &at, const QString &name, const char *radio = "VAR_RADIO", int state = -1)
    {
        mdl->SetCurrentItem(item(at));
        mdl->CreateParamDiag();
        field<QLineEdit>("PARAM")->setText(name);
        field<QRadioButton>(radio)->click();
        if (state >= 0)
            field<QComboBox>("TRANSIT_BCX")->setCurrentIndex(state);
        field<QPushButton>("OK")->click();
        return field<QPlainTextEdit>("MSG")->toPlainText();
    }
};
} // namespace

class tst_params : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY(g_badConnections.isEmpty()); }
    void add_emptyClass_offersChoicesAndGetsK11();
    void add_statesAndTransitions_refusalsAndFixedParameters();
    void addParam_duplicateState_insertsNothing();
    void insertAndDelete_renumbered_savedInParamElements();
    void delete_stateUsedByTransition_refusedUntilTransitionGone();
    void delete_largeClass_goneFromFileTextStays();
    void rename_stateAndTransition();
    void program_menusReachTheDialogsAndThePageList();
    void deleteSmallClass_stateOrTransition_leavesTheTables();
    void deleteDialogs_rowGoesAnotherWay_closedAndForgotten();
    void deleteLargeClass_latestTargetFollowsTheClassesLeft();
    void addParam_noIdLeft_refusedWithMessage();
};

void tst_params::add_emptyClass_offersChoicesAndGetsK11()
{
    Editor e;
    e.mdl->SetCurrentItem(e.item("2"));
    e.mdl->CreateParamDiag();
    auto *rows = e.field<QComboBox>("ROWBOX");
    QCOMPARE(rows->count(), 2);
    QCOMPARE(rows->itemText(1), QStringLiteral("N"));
    QCOMPARE(e.field<QComboBox>("COLBOX")->count(), 1);
    QVERIFY(e.field<QRadioButton>("VAR_RADIO")->isChecked());
    QVERIFY(e.field<QRadioButton>("STATE_RADIO")->isEnabled());
    // Row "N" unlocks the kinds; row "1" again locks them with Normal checked.
    rows->setCurrentIndex(1);
    rows->setCurrentIndex(0);
    QVERIFY(!e.field<QRadioButton>("TRANSIT_RADIO")->isEnabled());
    QVERIFY(e.field<QRadioButton>("VAR_RADIO")->isChecked());

    const int id = e.mdl->GetNextID();
    QCOMPARE(e.add("2", QString()), QStringLiteral("Parameter name is not set"));
    QCOMPARE(e.add("2", "p"), QString());
    QCOMPARE(e.params("2"), QStringLiteral("K[1][1]:p"));
    QTreeWidgetItem *p = e.item("2")->child(0);
    QCOMPARE(p->text(model::ColId), QStringLiteral("M%1").arg(id));
    QCOMPARE(e.mdl->FindItem(QString::number(id)), p);
    QCOMPARE(e.record("2")->GetAttr("Param_type"), QStringLiteral("0"));
    QVERIFY(e.GetBoolVar(RegSlot::FlagModelModified));
    // A class with parameters, or with the arbitrary element, never becomes a state.
    e.mdl->CreateParamDiag();
    QVERIFY(!e.field<QRadioButton>("STATE_RADIO")->isEnabled());
    e.mdl->SetCurrentItem(e.item("3"));
    e.mdl->CreateParamDiag();
    QVERIFY(e.field<QRadioButton>("STATE_RADIO")->isHidden());
}

void tst_params::add_statesAndTransitions_refusalsAndFixedParameters()
{
    Editor e;
    QCOMPARE(e.add("2", "go", "TRANSIT_RADIO"), QStringLiteral("list of State name is empty"));
    QCOMPARE(e.add("2", "Open", "STATE_RADIO"), QString());
    QCOMPARE(e.params("2"), QStringLiteral("K[N][1]:Open"));
    QCOMPARE(e.record("2")->GetAttr("Param_type"), QStringLiteral("1"));
    QCOMPARE(e.record("2")->GetAttr("State"), QStringLiteral("Open"));
    QCOMPARE(e.add("4", "Open", "STATE_RADIO"), QStringLiteral("State name is already registered"));
    QCOMPARE(e.item("4")->childCount(), 0);
    // Another large class may name a state alike.
    QCOMPARE(e.add("8", "Open", "STATE_RADIO"), QString());
    QCOMPARE(e.add("4", "Closed", "STATE_RADIO"), QString());

    const int id = e.mdl->GetNextID();
    QCOMPARE(e.add("5", "go", "TRANSIT_RADIO", 0), QString());
    QCOMPARE(e.params("5"), QStringLiteral("K[N][1]:go K[N][2]:From State K[N][3]:To State"));
    QTreeWidgetItem *t = e.item("5");
    for (int i = 0; i < 3; ++i)
        QCOMPARE(model::RecordOf(t->child(i))->GetAttr("ID"), QString::number(id + i));
    QCOMPARE(model::RecordOf(t->child(1))->GetAttr("FromState"), QString::number(id));
    QCOMPARE(model::RecordOf(t->child(2))->GetAttr("ToState"), QString::number(id));
    QCOMPARE(e.record("5")->GetAttr("State"), QStringLiteral("2"));
    // The same name for the same state is refused, for another state accepted.
    TreeItemData *r = new TreeItemData;
    r->SetAttr("ID", "30");
    r->SetAttr("Name", "S5");
    e.item("1")->addChild(e.mdl->MakeItem(r, 2));
    QCOMPARE(e.add("30", "go", "TRANSIT_RADIO", 0),
             QStringLiteral("transition name of State name is already registered"));
    QCOMPARE(e.add("30", "go", "TRANSIT_RADIO", 1), QString());
    QCOMPARE(e.mdl->GetStateTable().TransitionsOf("4"), QStringList{"go"});
}

void tst_params::addParam_duplicateState_insertsNothing()
{
    Editor e;
    QCOMPARE(e.add("2", "Open", "STATE_RADIO"), QString());
    auto *page = e.GetObj<ModelSClass>(RegSlot::ObjModelSclassPage);
    const int next = e.mdl->GetNextID();
    page->SetParamKind(1, "Open", QString());
    QVERIFY(!page->AddParam(e.item("4"), nullptr, "1", "1", "Open", true));
    QCOMPARE(e.item("4")->childCount(), 0);
    QCOMPARE(e.mdl->GetNextID(), next);
    QCOMPARE(e.record("4")->GetAttr("Param_type"), QString());
}

void tst_params::insertAndDelete_renumbered_savedInParamElements()
{
    Editor e;
    // K[1][1] ends its row: index 1 inserts at the start of row 2, which moves right.
    e.mdl->SetCurrentItem(e.item("10"));
    e.mdl->CreateParamDiag();
    QVERIFY(e.field<QPlainTextEdit>("MSG")->toPlainText().isEmpty());
    e.field<QComboBox>("COLBOX")->setCurrentIndex(1);
    QCOMPARE(e.field<QComboBox>("ROWBOX")->currentIndex(), 1);
    QCOMPARE(e.field<QPlainTextEdit>("MSG")->toPlainText(),
             QStringLiteral("current K[2][1] will be renumbered"));
    e.field<QLineEdit>("PARAM")->setText("n");
    e.field<QPushButton>("OK")->click();
    QCOMPARE(e.params("6"), QStringLiteral("K[1][1]:a K[2][1]:n K[2][2]:b K[2][3]:c K[2][4]:d K[3][1]:e "
                                           "K[3][2]:f K[4][1]:g"));
    const auto del = [&e](const QString &id) {
        e.mdl->SetCurrentItem(e.item(id));
        e.mdl->DeleteParamDiag();
        topLevel<DeleteParamDiag>()->findChild<QPushButton *>("OK")->click();
    };
    del("12"); // K[2][3] "c": the rest of row 2 closes up
    QCOMPARE(e.params("6"),
             QStringLiteral("K[1][1]:a K[2][1]:n K[2][2]:b K[2][3]:d K[3][1]:e K[3][2]:f K[4][1]:g"));
    del("10"); // alone in row 1: every row moves up
    QCOMPARE(e.params("6"), QStringLiteral("K[1][1]:n K[1][2]:b K[1][3]:d K[2][1]:e K[2][2]:f K[3][1]:g"));
    del("15"); // the last of a row with others: nothing moves
    QCOMPARE(e.params("6"), QStringLiteral("K[1][1]:n K[1][2]:b K[1][3]:d K[2][1]:e K[3][1]:g"));
    QVERIFY(!e.mdl->FindItem("15"));
    QVERIFY(e.mdl->SaveModel());
    QDomDocument doc;
    doc.setContent(readFile(e.GetStrVar(RegSlot::StrModelDir) + "/model.xml"));
    QStringList saved;
    const QDomNodeList ps = doc.elementsByTagName("P");
    for (int i = 0; i < ps.size(); ++i)
        saved << ps.at(i).toElement().attribute("Row") + "." + ps.at(i).toElement().attribute("Col");
    QCOMPARE(saved.join(' '), QStringLiteral("1.1 1.2 1.3 2.1 3.1"));
}

void tst_params::delete_stateUsedByTransition_refusedUntilTransitionGone()
{
    Editor e;
    QCOMPARE(e.add("2", "Open", "STATE_RADIO"), QString());
    QCOMPARE(e.add("5", "go", "TRANSIT_RADIO", 0), QString());
    e.mdl->SetCurrentItem(e.item("2")->child(0));
    e.mdl->DeleteParamDiag();
    auto *d = topLevel<DeleteParamDiag>();
    QCOMPARE(d->findChild<QPlainTextEdit *>("MSG")->toPlainText(),
             QStringLiteral("Transition of state is set"));
    QVERIFY(!d->findChild<QPushButton *>("OK")->isEnabled());

    e.mdl->SetCurrentItem(e.item("5")->child(1));
    e.mdl->DeleteParamDiag();
    QCOMPARE(d->findChild<QPlainTextEdit *>("MSG")->toPlainText(),
             QStringLiteral("Transition delete K[N][1],K[N][2],K[N][3]"));
    d->findChild<QPushButton *>("OK")->click();
    QCOMPARE(e.item("5")->childCount(), 0);
    QCOMPARE(e.record("5")->GetAttr("Param_type"), QStringLiteral("0"));
    QVERIFY(!e.mdl->GetStateTable().HasTransitionsOf("2"));

    e.mdl->SetCurrentItem(e.item("2")->child(0));
    e.mdl->DeleteParamDiag();
    QVERIFY(d->findChild<QPushButton *>("OK")->isEnabled());
    d->findChild<QPushButton *>("OK")->click();
    QVERIFY(!e.mdl->GetStateTable().IsState("2"));
    QCOMPARE(e.record("2")->GetAttr("State"), QString());
    // The name is free again.
    QCOMPARE(e.add("4", "Open", "STATE_RADIO"), QString());
}

void tst_params::delete_largeClass_goneFromFileTextStays()
{
    Editor e;
    QCOMPARE(e.add("8", "Open", "STATE_RADIO"), QString());
    const QString text = e.GetStrVar(RegSlot::StrModelDir) + "/model_7.txt";
    writeFile(text, "kept");
    e.mdl->SetCurrentItem(e.item("8"));
    e.mdl->DeleteSclassDiag();
    QCOMPARE(topLevel<DeleteSclassDiag>()->findChild<QLabel *>("MSG")->text(),
             QStringLiteral("parameter is also deleted"));
    e.mdl->SetCurrentItem(e.item("7"));
    e.mdl->DeleteLclassDiag();
    auto *d = topLevel<DeleteLclassDiag>();
    QCOMPARE(d->findChild<QLabel *>("MSG")->text(), QStringLiteral("Will also be deleted small class"));
    d->findChild<QPushButton *>("OK")->click();
    QCOMPARE(e.mdl->GetTree()->topLevelItemCount(), 1);
    QVERIFY(!e.item("7") && !e.item("8"));
    QVERIFY(!e.mdl->GetStateTable().IsState("8"));
    QVERIFY(e.mdl->SaveModel());
    QVERIFY(!readFile(e.GetStrVar(RegSlot::StrModelDir) + "/model.xml").contains("L2"));
    QCOMPARE(readFile(text), QByteArray("kept"));

    e.mdl->SetCurrentItem(e.item("1"));
    e.mdl->DeleteLclassDiag();
    d->findChild<QPushButton *>("OK")->click();
    QCOMPARE(e.mdl->GetTree()->topLevelItemCount(), 0);
    QCOMPARE(e.GetStrVar(RegSlot::StrLclassEarliestStart), QString());
}

void tst_params::rename_stateAndTransition()
{
    Editor e;
    QCOMPARE(e.add("8", "Open", "STATE_RADIO"), QString());
    QCOMPARE(e.add("2", "Open", "STATE_RADIO"), QString());
    QCOMPARE(e.add("5", "go", "TRANSIT_RADIO", 0), QString());
    const auto rename = [&e](QTreeWidgetItem *p, const QString &name) {
        e.mdl->SetCurrentItem(p);
        e.mdl->ModParamNameDiag();
        e.field<QLineEdit>("PARAM")->setText(name);
        e.field<QPushButton>("OK")->click();
        return e.field<QPlainTextEdit>("MSG")->toPlainText();
    };
    // The transition's own state is found by its ID among states named alike.
    e.mdl->SetCurrentItem(e.item("5")->child(0));
    e.mdl->ModParamNameDiag();
    QCOMPARE(e.field<QComboBox>("TRANSIT_BCX")->currentData().toString(), QStringLiteral("2"));
    QCOMPARE(rename(e.item("2")->child(0), "Open"), QStringLiteral("State name is already registered"));
    QCOMPARE(rename(e.item("2")->child(0), "Opened"), QString());
    QCOMPARE(e.record("2")->GetAttr("State"), QStringLiteral("Opened"));
    QCOMPARE(e.params("2"), QStringLiteral("K[N][1]:Opened"));
    QCOMPARE(rename(e.item("5")->child(0), "went"), QString());
    QCOMPARE(e.record("5")->GetAttr("Transition"), QStringLiteral("went"));
    QCOMPARE(e.params("5"), QStringLiteral("K[N][1]:went K[N][2]:From State K[N][3]:To State"));
    QVERIFY(e.mdl->GetStateTable().HasTransition("2", "went") &&
            !e.mdl->GetStateTable().HasTransition("2", "go"));
    QCOMPARE(rename(e.item("6")->child(0), "z"), QString());
    QCOMPARE(e.item("6")->child(0)->text(model::ColValue), QStringLiteral("z"));
}

// The program as a user has it: the Model menu opens the dialogs, the small-class page lists
// what they change, and the saved file follows.
void tst_params::program_menusReachTheDialogsAndThePageList()
{
    Program p;
    p.SetStrVar(RegSlot::StrUserEmail, "me@x");
    p.write("<Root_Model Email='me@x' MaxID='5'><LClass ID='1' Name='L' Element='E'>"
            "<SClass ID='2' Name='S' Element='SE'/></LClass></Root_Model>");
    p.deliver(MsgCode::OpenModel);
    const auto action = [&p](const char *name) { return p.window->findChild<QAction *>(name); };
    auto *list = p.GetObj<ModelSClass>(RegSlot::ObjModelSclassPage)->findChild<QTreeWidget *>("PARAM_TREE");
    p.editor()->SetCurrentItem(p.editor()->FindItem("2"));
    QVERIFY(action("actionM_A_P")->isEnabled());
    action("actionM_A_P")->trigger();
    auto *dialog = topLevel<NewParam>();
    QVERIFY(dialog && dialog->isVisible());
    dialog->findChild<QLineEdit *>("PARAM")->setText("p");
    dialog->findChild<QPushButton *>("OK")->click();
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("K[1][1]"));
    QCOMPARE(p.editor()->GetCurrentItem(), p.editor()->FindItem("5"));
    QVERIFY(action("actionM_D_P")->isEnabled() && action("actionM_P_N")->isEnabled());
    action("actionM_D_P")->trigger();
    topLevel<DeleteParamDiag>()->findChild<QPushButton *>("OK")->click();
    QCOMPARE(list->topLevelItemCount(), 0);
    p.window->MenuSave();
    QVERIFY(!readFile(p.modelXml()).contains("<P "));
    p.editor()->SetCurrentItem(p.editor()->FindItem("1"));
    action("actionM_D_L")->trigger();
    QVERIFY(topLevel<DeleteLclassDiag>()->isVisible());
}

// A small class deleted on its own takes its state or transition with it, as with its large class.
void tst_params::deleteSmallClass_stateOrTransition_leavesTheTables()
{
    Editor e;
    QCOMPARE(e.add("2", "Open", "STATE_RADIO"), QString());
    QCOMPARE(e.add("5", "go", "TRANSIT_RADIO", 0), QString());
    QVERIFY(e.mdl->GetStateTable().HasTransitionsOf("2"));
    const auto deleteSclass = [&e](const QString &id) {
        e.mdl->SetCurrentItem(e.item(id));
        e.mdl->DeleteSclassDiag();
        topLevel<DeleteSclassDiag>()->findChild<QPushButton *>("OK")->click();
        QVERIFY(!e.item(id));
    };
    deleteSclass("5");
    QVERIFY(!e.mdl->GetStateTable().HasTransitionsOf("2"));
    e.mdl->SetCurrentItem(e.item("2")->child(0));
    e.mdl->DeleteParamDiag();
    QVERIFY(topLevel<DeleteParamDiag>()->findChild<QPushButton *>("OK")->isEnabled());
    topLevel<DeleteParamDiag>()->close();
    deleteSclass("2");
    QVERIFY(!e.mdl->GetStateTable().IsState("2"));
    QCOMPARE(e.add("4", "Open", "STATE_RADIO"), QString());
}

// The delete dialogs are not modal: a row freed meanwhile (its class deleted, the model closed)
// closes the dialog that asks about it, and OK can no longer reach it.
void tst_params::deleteDialogs_rowGoesAnotherWay_closedAndForgotten()
{
    Editor e;
    e.mdl->SetCurrentItem(e.item("10"));
    e.mdl->DeleteParamDiag();
    e.mdl->SetCurrentItem(e.item("8"));
    e.mdl->DeleteSclassDiag();
    auto *param = topLevel<DeleteParamDiag>();
    auto *sclass = topLevel<DeleteSclassDiag>();
    QVERIFY(param->isVisible() && sclass->isVisible());
    e.mdl->SetCurrentItem(e.item("7"));
    e.mdl->DeleteLclassDiag();
    auto *lclass = topLevel<DeleteLclassDiag>();
    QVERIFY(lclass->isVisible());
    e.mdl->RemoveClassItem(e.item("7"));
    QVERIFY(!sclass->isVisible() && !lclass->isVisible());
    QVERIFY(param->isVisible());
    sclass->OkProc();
    lclass->OkProc();
    QCOMPARE(e.mdl->GetTree()->topLevelItemCount(), 1);
    e.mdl->CloseModel();
    QVERIFY(!param->isVisible());
    param->OkProc();
    QCOMPARE(e.mdl->GetTree()->topLevelItemCount(), 0);
}

void tst_params::deleteLargeClass_latestTargetFollowsTheClassesLeft()
{
    Editor e;
    e.record("1")->SetAttr("TargetDate", "2030/1/2");
    e.record("7")->SetAttr("TargetDate", "2031/01/01");
    e.SetStrVar(RegSlot::StrLclassLatestTarget, "2031/01/01");
    e.mdl->SetCurrentItem(e.item("7"));
    e.mdl->DeleteLclassDiag();
    topLevel<DeleteLclassDiag>()->findChild<QPushButton *>("OK")->click();
    QCOMPARE(e.GetStrVar(RegSlot::StrLclassLatestTarget), QStringLiteral("2030/1/2"));
}

// A transition takes three IDs at once: with fewer left nothing is added.
void tst_params::addParam_noIdLeft_refusedWithMessage()
{
    Editor e;
    writeFile(e.GetStrVar(RegSlot::StrModelDir) + "/model.xml",
              QByteArray(kModel).replace("MaxID=\"20\"", "MaxID=\"999999998\""));
    QVERIFY(e.mdl->OpenModel());
    QCOMPARE(e.add("2", "Open", "STATE_RADIO"), QString());
    QCOMPARE(e.add("5", "go", "TRANSIT_RADIO", 0), QStringLiteral("no ID is left: model.xml"));
    QCOMPARE(e.item("5")->childCount(), 0);
    QVERIFY(!e.mdl->GetStateTable().HasTransitionsOf("2"));
    QCOMPARE(e.add("4", "p"), QString());
    QCOMPARE(e.add("4", "q"), QStringLiteral("no ID is left: model.xml"));
    QCOMPARE(e.item("4")->childCount(), 1);
    QVERIFY(e.item("999999999"));
}

QTEST_MAIN(tst_params)
#include "tst_params.moc"
