#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "docs/reffile.h"
#include "docs/refurl.h"
#include "members/memberinfo.h"
#include "model/calendar.h"
#include "model/modellclass.h"
#include "model/modelsclass.h"
#include "model/newsclass.h"
#include "modelprogram.h"
#include "redmine/redmineaddversion.h"
#include "shell/numeditor.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QTabWidget>
#include <memory>

namespace
{
template <class T> T *child(const QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// A model of the running user ("me@x"), opened as the Open dialog would.
struct Owned : Program {
    explicit Owned(const QByteArray &classes, const QByteArray &rootDates = QByteArray(),
                   const QByteArray &email = "me@x")
    {
        SetStrVar(RegSlot::StrUserEmail, QStringLiteral("me@x"));
        write("<Root_Model Email='" + email + "' MaxID='20' " + rootDates + ">" + classes + "</Root_Model>");
        deliver(MsgCode::OpenModel);
    }
    ModelLclass *lpage() { return GetObj<ModelLclass>(RegSlot::ObjModelLclassPage); }
    ModelSClass *spage() { return GetObj<ModelSClass>(RegSlot::ObjModelSclassPage); }
    TreeItemData *record(const char *id)
    {
        return model::RecordOf(editor()->FindItem(QString::fromLatin1(id)));
    }
    void select(const char *id) { editor()->SetCurrentItem(editor()->FindItem(QString::fromLatin1(id))); }
    QComboBox *outVar(QWidget *page)
    {
        auto *tree = child<QTreeWidget>(page, "PR_TREE");
        return qobject_cast<QComboBox *>(tree->itemWidget(tree->topLevelItem(0), 1));
    }
    bool enabled(const char *action)
    {
        return window->findChild<QAction *>(QString::fromLatin1(action))->isEnabled();
    }
    // Picks the date in the dialog and confirms it; the refusal's text, empty when accepted.
    QString choose(Calendar *calendar, const QDate &date)
    {
        calendar->SelectDate(date);
        calendar->OkProc();
        return calendar->Message();
    }
};

const QDate Mar10(2024, 3, 10);

const QByteArray LclassWithSclasses =
    "<LClass ID='1' Name='L1' Element='E1' StartDate='2024/03/01' TargetDate='2024/04/30'>"
    "<SClass ID='2' Name='S1' Element='@A' StartDate='2024/03/05' CompletionDate='2024/03/20'/>"
    "<SClass ID='3' Name='S2' Element='X' StartDate='2024/03/05'>"
    "<PARAM><P ID='4' Row='1' Col='1' Name='p'/></PARAM></SClass></LClass>"
    "<LClass ID='5' Name='L2' Element='@A' StartDate='2024/03/08' CompletionDate='2024/04/01'/>";
} // namespace

class tst_modelpages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join('\n'))); }
    void lclassPage_edits_treeAtOnceRecordOnLeaveFileOnSave();
    void lclassPage_completionAndOwner_decideEditingAndMenu();
    void sclassPage_showsStoresAndLocks();
    void sclassPage_transitionParameter_showsItsStates();
    void sclassPage_editorsWithNothingToSaveInto_takeNoTyping();
    void calendar_lclassCompletion_needsItsSclassesThenLocks();
    void calendar_modelCompletionAlone_marksSaveAndReachesFile();
    void calendar_boundsOfOneModel_neverHoldTheNext();
    void calendar_memberAndInstance_readTheirRows();
    void calendar_qandaRow_datesInColumnsAndRecord();
    void calendar_withoutTargetFieldOrButtons_safe();
    void forms_holdTheirSeparators_data();
    void forms_holdTheirSeparators();
    void lclassPage_editorWithNothingToSaveInto_takesNoTyping();
};

void tst_modelpages::lclassPage_edits_treeAtOnceRecordOnLeaveFileOnSave()
{
    Owned p(LclassWithSclasses);
    QTreeWidgetItem *l1 = p.editor()->FindItem("1");
    QCOMPARE(p.editor()->GetCurrentItem(), l1);
    QCOMPARE(p.lpage()->CurrentItem(), l1);
    auto *name = child<QLineEdit>(p.lpage(), "LCLASS");
    auto *sclasses = child<QTreeWidget>(p.lpage(), "SCLASSTREE");
    QCOMPARE(sclasses->topLevelItemCount(), 2);
    QCOMPARE(sclasses->topLevelItem(1)->text(0), QStringLiteral("S2"));
    QCOMPARE(p.outVar(p.lpage())->currentText(), QStringLiteral("--Yes--"));

    name->setText("L1 renamed");
    QCOMPARE(l1->text(model::ColLclass), QStringLiteral("L1 renamed"));
    QCOMPARE(p.record("1")->GetAttr("Name"), QStringLiteral("L1"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified) && p.GetBoolVar(RegSlot::FlagSaveNeeded));
    p.outVar(p.lpage())->setCurrentIndex(1);
    const QString japanese = QStringLiteral("大分類の説明：日本語");
    auto *explain = qobject_cast<NumEditor *>(child<QTabWidget>(p.editor(), "DTAB")->widget(2));
    explain->insertPlainText(japanese);

    p.select("5");
    QCOMPARE(p.record("1")->GetAttr("Name"), QStringLiteral("L1 renamed"));
    QCOMPARE(p.record("1")->GetAttr("OutVar"), QStringLiteral("1"));
    // Rows of the large class left are taken out, not destroyed: they belong to the small classes.
    QCOMPARE(sclasses->topLevelItemCount(), 0);
    QCOMPARE(p.record("2")->pageItem->text(0), QStringLiteral("S1"));
    QCOMPARE(child<QLineEdit>(p.lpage(), "ELEMENT")->text(), QStringLiteral("--Arbitary--"));
    QVERIFY(child<QLineEdit>(p.lpage(), "ELEMENT")->isReadOnly());

    p.window->MenuSave();
    const QDomDocument saved = readXml(p.modelXml());
    const QDomElement l = saved.documentElement().firstChildElement("LClass");
    QCOMPARE(l.attribute("Name"), QStringLiteral("L1 renamed"));
    QCOMPARE(l.attribute("OutVar"), QStringLiteral("1"));
    QCOMPARE(l.nextSiblingElement("LClass").attribute("Element"), QStringLiteral("@A"));
    QCOMPARE(readFile(p.versionDir() + "/model_1.txt"), japanese.toUtf8());
    p.editor()->CloseModel();
    p.deliver(MsgCode::OpenModel);
    QCOMPARE(explain->toPlainText(), japanese);
}

void tst_modelpages::lclassPage_completionAndOwner_decideEditingAndMenu()
{
    {
        Owned p(LclassWithSclasses);
        auto *name = child<QLineEdit>(p.lpage(), "LCLASS");
        QVERIFY(!name->isReadOnly());
        QVERIFY(p.enabled("actionM_A_L") && p.enabled("actionM_D_L") && p.enabled("actionM_A_S"));
        QVERIFY(p.lpage()->findChild<reffile *>()->IsEditable());
        QVERIFY(p.lpage()->findChild<reffile *>()->Directory().endsWith("/Reference/1/"));
        p.select("5");
        QVERIFY(name->isReadOnly());
        QVERIFY(!child<QPushButton>(p.lpage(), "SDATEBTN")->isEnabled());
        QVERIFY(child<QPushButton>(p.lpage(), "CDATEBTN")->isEnabled());
        QVERIFY(p.enabled("actionM_A_L") && !p.enabled("actionM_A_S"));
        // Withdrawing the completion date makes the page editable at once.
        p.lpage()->CdateBtnProc();
        auto *calendar = p.lpage()->findChild<Calendar *>();
        QVERIFY(child<QPushButton>(calendar, "UNFINISHED")->isVisibleTo(calendar));
        calendar->UnfinishedProc();
        QVERIFY(!name->isReadOnly());
        QVERIFY(p.record("5")->GetAttr("CompletionDate").isEmpty());
        QVERIFY(p.enabled("actionM_A_S"));
        // Adding a class empties the page before the class left is stored: its record keeps all.
        p.SetStrVar(RegSlot::StrNewLclassFirst, "L3");
        p.editor()->AddLclass();
        QCOMPARE(p.record("5")->GetAttr("Name"), QStringLiteral("L2"));
        QCOMPARE(p.record("5")->GetAttr("StartDate"), QStringLiteral("2024/03/08"));
        QCOMPARE(name->text(), QStringLiteral("L3"));
    }
    Owned other(LclassWithSclasses, QByteArray(), "bob@x");
    other.select("1");
    QVERIFY(child<QLineEdit>(other.lpage(), "LCLASS")->isReadOnly());
    QVERIFY(!child<QPushButton>(other.lpage(), "CDATEBTN")->isEnabled());
    QVERIFY(!other.outVar(other.lpage())->isEnabled());
    QVERIFY(!other.lpage()->findChild<reffile *>()->IsEditable());
    for (const char *action : {"actionM_A_L", "actionM_D_L", "actionM_A_S", "actionM_D_S", "actionM_A_P"})
        QVERIFY2(!other.enabled(action), action);
}

void tst_modelpages::sclassPage_showsStoresAndLocks()
{
    Owned p(LclassWithSclasses);
    ModelSClass *page = p.spage();
    auto *name = child<QLineEdit>(page, "SCLASS");
    auto *element = child<QLineEdit>(page, "ELEMENT");
    auto *params = child<QTreeWidget>(page, "PARAM_TREE");
    auto *tabs = child<QTabWidget>(page, "TAB");
    p.select("3");
    QCOMPARE(child<QLabel>(page, "LCLASS")->text(), QStringLiteral("L1"));
    QCOMPARE(params->topLevelItemCount(), 1);
    QVERIFY(element->isEnabled() && !name->isReadOnly());
    QVERIFY(p.enabled("actionM_A_S") && p.enabled("actionM_D_S") && p.enabled("actionM_A_P"));
    name->setText("S2 renamed");
    QCOMPARE(p.editor()->FindItem("3")->text(model::ColSclass), QStringLiteral("S2 renamed"));
    QCOMPARE(p.record("3")->GetAttr("Name"), QStringLiteral("S2"));
    p.outVar(page)->setCurrentIndex(1);

    // A parameter titles the second tab and has no reference panes of its own.
    p.select("4");
    QCOMPARE(p.record("3")->GetAttr("Name"), QStringLiteral("S2 renamed"));
    QCOMPARE(p.record("3")->GetAttr("OutVar"), QStringLiteral("1"));
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(tabs->tabText(1), QStringLiteral("Param Attribute:K[1][1]  el_name:p"));
    QVERIFY(!page->findChild<reffile *>()->isEnabled() && !page->findChild<refurl *>()->isEnabled());
    QCOMPARE(params->currentItem(), p.record("4")->pageItem);

    // A completed small class keeps only its completion date, while its large class is open.
    p.select("2");
    QCOMPARE(element->text(), QStringLiteral("--Arbitary--"));
    QVERIFY(!element->isEnabled() && name->isReadOnly());
    QVERIFY(page->findChild<reffile *>()->isEnabled() && page->findChild<refurl *>()->isEnabled());
    QCOMPARE(p.outVar(page)->currentText(), QStringLiteral("--Yes--"));
    QVERIFY(!child<QPushButton>(page, "SBTN")->isEnabled());
    QVERIFY(child<QPushButton>(page, "CBTN")->isEnabled());
    p.select("1");
    QCOMPARE(p.record("2")->GetAttr("Element"), QStringLiteral("@A"));
}

void tst_modelpages::sclassPage_transitionParameter_showsItsStates()
{
    Owned p("<LClass ID='1' Name='L'><SClass ID='2' Name='Run' Param_type='1' State='Running'/>"
            "<SClass ID='3' Name='Go' Param_type='2' State='2' Transition='start'><PARAM>"
            "<P ID='4' Row='1' Col='1' Name='t'/><P ID='5' Row='1' Col='2' Name='f'/>"
            "<P ID='6' Row='1' Col='3' Name='to'/></PARAM></SClass></LClass>");
    auto *properties = child<QTreeWidget>(p.spage(), "P_TREE");
    auto field = [&](int row) {
        return qobject_cast<QLineEdit *>(properties->itemWidget(properties->topLevelItem(row), 1));
    };
    auto texts = [&] {
        return QStringList{field(0)->text(), field(1)->text(), field(2)->text(), field(3)->text()};
    };
    p.select("4");
    QCOMPARE(texts(), QStringList({"Running", "start", "", ""}));
    QCOMPARE(field(1)->palette().color(QPalette::Base), QColor("#ffffff"));
    QCOMPARE(field(2)->palette().color(QPalette::Base), QColor("#EEEEEE"));
    p.select("5");
    QCOMPARE(texts(), QStringList({"", "", "Running", ""}));
}

// The page's two explanation editors are saved by nothing: typing in the lower one while no
// parameter was selected (or in either at any time) was lost, and quitting asked nothing.
void tst_modelpages::sclassPage_editorsWithNothingToSaveInto_takeNoTyping()
{
    Owned p(LclassWithSclasses);
    for (const char *id : {"3", "4", "3"}) {
        p.select(id);
        for (int slot : {RegSlot::ObjModelSclassEditor1, RegSlot::ObjModelSclassEditor2}) {
            auto *editor = p.GetObj<NumEditor>(slot);
            QVERIFY(editor);
            QTest::keyClicks(editor, "lost");
            QVERIFY2(editor->isReadOnly() && editor->toPlainText().isEmpty(), id);
        }
    }
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelModified));
}

void tst_modelpages::calendar_lclassCompletion_needsItsSclassesThenLocks()
{
    Owned p(LclassWithSclasses);
    p.lpage()->CdateBtnProc();
    auto *calendar = p.lpage()->findChild<Calendar *>();
    QVERIFY(!child<QPushButton>(calendar, "UNFINISHED")->isVisibleTo(calendar));
    QCOMPARE(p.choose(calendar, Mar10), QStringLiteral("All Sclass is not completion"));
    p.record("3")->SetAttr("CompletionDate", "2024/03/12");
    QCOMPARE(p.choose(calendar, Mar10), QStringLiteral("Maximum Slclass completion date:2024/03/20"));
    QVERIFY(p.record("1")->GetAttr("CompletionDate").isEmpty());
    QCOMPARE(p.choose(calendar, QDate(2024, 3, 25)), QString());
    QCOMPARE(p.record("1")->GetAttr("CompletionDate"), QStringLiteral("2024/03/25"));
    QVERIFY(child<QLineEdit>(p.lpage(), "LCLASS")->isReadOnly());
    QVERIFY(!p.enabled("actionM_A_S"));
    // A small class of a completed large class can no longer be reopened.
    p.select("2");
    QVERIFY(!child<QPushButton>(p.spage(), "CBTN")->isEnabled());
}

// The dialog marks the model through the editor: a completion date set on its own still makes
// save-all write the model and closing ask.
void tst_modelpages::calendar_modelCompletionAlone_marksSaveAndReachesFile()
{
    Owned p(QByteArray(), "StartDate='2024/03/01'");
    p.SetBoolVar(RegSlot::FlagSaveNeeded, false);
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelModified));
    p.editor()->CdateBtnProc();
    QCOMPARE(p.choose(p.editor()->findChild<Calendar *>(), Mar10), QString());
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified));
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QVERIFY(p.window->IsSaveEnabled());
    p.window->MenuSave();
    QCOMPARE(readXml(p.modelXml()).documentElement().attribute("CompletionDate"),
             QStringLiteral("2024/03/10"));
}

void tst_modelpages::calendar_boundsOfOneModel_neverHoldTheNext()
{
    Owned p("<LClass ID='1' Name='L' StartDate='2024/03/10' TargetDate='2024/05/01'/>"
            "<LClass ID='2' Name='K' StartDate='2024/3/9'/>",
            "StartDate='2024/03/01' TargetDate='2024/06/01'");
    const int bounds[4] = {RegSlot::StrLclassEarliestStart, RegSlot::StrLclassLatestTarget,
                           RegSlot::StrModelStartDate, RegSlot::StrModelTargetDate};
    auto values = [&] {
        QStringList v;
        for (int slot : bounds)
            v << p.GetStrVar(slot);
        return v;
    };
    QCOMPARE(values(), QStringList({"2024/3/9", "2024/05/01", "2024/03/01", "2024/06/01"}));
    p.editor()->CloseModel();
    QCOMPARE(values(), QStringList({"", "", "", ""}));

    p.write("<Root_Model Email='me@x' MaxID='3'><LClass ID='1' Name='L'/></Root_Model>");
    p.deliver(MsgCode::OpenModel);
    QCOMPARE(values(), QStringList({"", "", "", ""}));
    // The model's start is recorded though no large class has one yet, and binds the classes.
    p.editor()->SdateBtnProc();
    QCOMPARE(p.choose(p.editor()->findChild<Calendar *>(), Mar10), QString());
    QCOMPARE(p.GetStrVar(RegSlot::StrModelStartDate), QStringLiteral("2024/03/10"));
    p.lpage()->SdateBtnProc();
    auto *calendar = p.lpage()->findChild<Calendar *>();
    QCOMPARE(p.choose(calendar, Mar10.addDays(-1)), QStringLiteral("Model Start Date:2024/03/10"));
    QCOMPARE(p.choose(calendar, Mar10.addDays(2)), QString());
    QCOMPARE(p.record("1")->GetAttr("StartDate"), QStringLiteral("2024/03/12"));
    QCOMPARE(p.GetStrVar(RegSlot::StrLclassEarliestStart), QStringLiteral("2024/03/12"));
    p.editor()->SdateBtnProc();
    QCOMPARE(p.choose(p.editor()->findChild<Calendar *>(), Mar10.addDays(3)),
             QStringLiteral("Minimu Lclass Start Date:2024/03/12."));
}

// A member is held by its large-class instances, read from its row in the instance tab; a
// large-class instance by its member and its small-class instances.
void tst_modelpages::calendar_memberAndInstance_readTheirRows()
{
    RegistryScope scope;
    DefVar().InitVar();
    QTreeWidget tree;
    auto *memberRow = new QTreeWidgetItem(&tree);
    TreeItemData records[3];
    QTreeWidgetItem *rows[3] = {new QTreeWidgetItem(memberRow), new QTreeWidgetItem(memberRow), nullptr};
    rows[2] = new QTreeWidgetItem(rows[0]);
    for (int i = 0; i < 3; ++i) {
        rows[i]->setData(0, Qt::UserRole, TreeItemData::ToData(&records[i]));
        records[i].SetAttr("StartDate", "2024/03/12");
        records[i].SetAttr("CompletionDate", "2024/03/20");
    }
    records[1].SetAttr("CompletionDate", QString());
    MemberInfo member;
    member.InstanceItem = memberRow;
    member.EarliestStart = "2024/03/12";
    member.StartDate = "2024/03/01";
    QLineEdit start("2024/03/01");
    QLineEdit target;
    QLineEdit completion;
    Calendar calendar;
    calendar.SetDateEdit(&start, &target, &completion);
    calendar.SetType(0);
    calendar.SetMember(&member);
    calendar.SetMode(0);
    calendar.SelectDate(QDate(2024, 3, 13));
    calendar.OkProc();
    QCOMPARE(calendar.Message(), QStringLiteral("Lclass minimum start date:2024/03/12"));
    calendar.SetMode(2);
    calendar.SelectDate(QDate(2024, 3, 25));
    calendar.OkProc();
    QCOMPARE(calendar.Message(), QStringLiteral("All Lclass is not competion"));

    calendar.SetType(1);
    calendar.SetLevel(1);
    calendar.SetItem(rows[0]);
    calendar.SetMode(0);
    calendar.SelectDate(QDate(2024, 3, 13));
    calendar.OkProc();
    QCOMPARE(calendar.Message(), QStringLiteral("Sclass Start date:2024/03/12"));
    calendar.SelectDate(QDate(2024, 3, 2));
    calendar.OkProc();
    QCOMPARE(start.text(), QStringLiteral("2024/03/02"));
    QCOMPARE(member.EarliestStart, QStringLiteral("2024/03/02"));
    QVERIFY(member.InstanceModified);
}

void tst_modelpages::calendar_qandaRow_datesInColumnsAndRecord()
{
    RegistryScope scope;
    DefVar().InitVar();
    QTreeWidget tree;
    tree.setColumnCount(10);
    auto *row = new QTreeWidgetItem(&tree);
    TreeItemData record;
    row->setData(0, Qt::UserRole, TreeItemData::ToData(&record));
    Calendar calendar;
    calendar.SetType(4);
    calendar.SetItem(row);
    calendar.SetMode(1);
    calendar.SelectDate(Mar10);
    calendar.OkProc();
    QCOMPARE(calendar.Message(), QStringLiteral("Start Date is not set"));
    row->setText(4, "2024/03/01");
    row->setText(5, "2024/03/02 10:00");
    calendar.OkProc();
    QCOMPARE(row->text(6), QStringLiteral("2024/03/10"));
    QCOMPARE(record.GetAttr("TargetDate"), QStringLiteral("2024/03/10"));
    calendar.SetMode(2);
    QVERIFY(!calendar.findChild<QPushButton *>("UNFINISHED")->isVisibleTo(&calendar));
    calendar.SelectDate(Mar10.addDays(1));
    calendar.OkProc();
    QCOMPARE(row->text(7), QStringLiteral("2024/03/11"));
    QCOMPARE(record.GetAttr("CompletionDate"), QStringLiteral("2024/03/11"));
    QCOMPARE(row->text(5), QStringLiteral("2024/03/02 10:00"));
}

// The output-definition editor gives its dialog no target field and no buttons.
void tst_modelpages::calendar_withoutTargetFieldOrButtons_safe()
{
    RegistryScope scope;
    QLineEdit start;
    QLineEdit completion;
    Calendar calendar;
    calendar.SetType(3);
    calendar.SetDateEdit(&start, nullptr, &completion);
    for (int mode : {0, 1, 2}) {
        calendar.SetMode(mode);
        calendar.SelectDate(Mar10);
        calendar.OkProc();
    }
    QCOMPARE(start.text(), QStringLiteral("2024/03/10"));
    QCOMPARE(completion.text(), QStringLiteral("2024/03/10"));
    calendar.SetMode(2);
    calendar.UnfinishedProc();
    QVERIFY(completion.text().isEmpty());
    Calendar bare;
    bare.SetType(2);
    for (int mode : {0, 1, 2}) {
        bare.SetMode(mode);
        bare.OkProc();
    }
    bare.UnfinishedProc();
}

void tst_modelpages::forms_holdTheirSeparators_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<int>("lines");
    // Widgets and separators in the order they stand down the form.
    QTest::addColumn<QStringList>("topToBottom");
    QTest::newRow("large-class page") << "ModelLclass" << 20 << QStringList{"LCLASS", "line_4", "SDATE"};
    QTest::newRow("small-class page")
        << "ModelSClass" << 28 << QStringList{"LCLASS", "line_4", "SCLASS", "line_11", "SDATE", "line_28"};
    QTest::newRow("new small class") << "NewSclass" << 6
                                     << QStringList{"line_6", "LB1", "line",   "SEDIT", "line_2", "ECBX",
                                                    "line_3", "MSG", "line_4", "OK",    "line_5"};
    QTest::newRow("add version") << "RedmineAddVersion" << 4
                                 << QStringList{"VERSION", "line_3",    "tabWidget", "line",   "State_cbx",
                                                "line_4",  "Share_cbx", "MSG",       "line_2", "OK"};
}

void tst_modelpages::forms_holdTheirSeparators()
{
    QFETCH(QString, form);
    QFETCH(int, lines);
    QFETCH(QStringList, topToBottom);
    Owned p("");
    std::unique_ptr<QWidget> dialog;
    QWidget *root = nullptr;
    // The pages' widgets live on the model editor's class tabs, which hold the pages' layouts.
    auto *tabs = child<QTabWidget>(p.editor(), "DTAB");
    if (form == QLatin1String("ModelLclass"))
        root = tabs->widget(0);
    else if (form == QLatin1String("ModelSClass"))
        root = tabs->widget(1);
    else if (form == QLatin1String("NewSclass"))
        dialog.reset(root = new NewSclass);
    else
        dialog.reset(root = new RedmineAddVersion(nullptr));
    auto *grid = root->findChild<QGridLayout *>(QStringLiteral("gridLayout"));
    for (int i = 1; i <= lines; ++i) {
        const QString name = i == 1 ? QStringLiteral("line") : QStringLiteral("line_%1").arg(i);
        auto *line = root->findChild<QFrame *>(name);
        QVERIFY2(line, qPrintable(name));
        QVERIFY(line->frameShape() == QFrame::HLine || line->frameShape() == QFrame::VLine);
        QCOMPARE(line->frameShadow(), QFrame::Sunken);
        if (dialog == nullptr)
            QVERIFY2(grid->indexOf(line) >= 0, qPrintable(name));
    }
    QVERIFY(!root->findChild<QFrame *>(QStringLiteral("line_%1").arg(lines + 1)));
    if (dialog) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    int previous = -1;
    for (const QString &name : topToBottom) {
        auto *w = child<QWidget>(root, qPrintable(name));
        int row = 0, column = 0, rows = 0, columns = 0;
        if (dialog) {
            // Shown whole: the separators squeeze nothing out of the dialog.
            const QRect shown(w->mapTo(root, QPoint(0, 0)), w->size());
            QVERIFY2(w->isVisible() && w->height() > 0 && root->rect().contains(shown), qPrintable(name));
            row = shown.y();
        } else
            grid->getItemPosition(grid->indexOf(w), &row, &column, &rows, &columns);
        QVERIFY2(row > previous, qPrintable(name));
        previous = row;
    }
}

// The large-class page's explanation editor is saved by nothing: typing in it was lost without a
// word, whether the class was the user's own or not.
void tst_modelpages::lclassPage_editorWithNothingToSaveInto_takesNoTyping()
{
    Owned p(LclassWithSclasses);
    for (const char *id : {"1", "5", "1"}) {
        p.select(id);
        auto *editor = p.GetObj<NumEditor>(RegSlot::ObjModelLclassEditor);
        QVERIFY(editor);
        QTest::keyClicks(editor, "lost");
        QVERIFY2(editor->isReadOnly() && editor->toPlainText().isEmpty(), id);
        QVERIFY2(!editor->testAttribute(Qt::WA_InputMethodEnabled), id);
    }
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelModified));
}

QTEST_MAIN(tst_modelpages)
#include "tst_modelpages.moc"
