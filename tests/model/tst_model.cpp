#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "model/model.h"
#include "model/modellclass.h"
#include "model/newlclass.h"
#include "model/newsclass.h"
#include "modelprogram.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

class tst_model : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join('\n'))); }
    void newModel_writesHeaderOnlyDocuments();
    void newModel_overExistingModelXml_refusedAndKept();
    void addClasses_saveAndReopen_sameTreeAndIds();
    void addDialogs_refusalsShowTheirTexts();
    void openModel_otherOwner_readOnly();
    void openModel_damagedFile_refusedOrBadIdsHiddenKeptNeverReused();
    void saveModel_unwritableFile_failsKeepsMarkAndRetries();
    void loadModel_forAnInstance_noMessageBoxThenReadOnly();
    void completionDate_locksAndUnlocksTheOwnersModel();
    void removeClassItem_currentRow_showsNextWithoutStoringIntoRemoved();
    void openModel_hugeName_rowsShowItsStartSaveKeepsItWhole();
};

void tst_model::newModel_writesHeaderOnlyDocuments()
{
    Program p;
    p.SetStrVar(RegSlot::StrUserName, "Ann");
    p.SetStrVar(RegSlot::StrUserEmail, "ann@x");
    p.deliver(MsgCode::NewModel);
    QVERIFY(readFile(p.modelXml()).startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root_Model"));
    const QDomElement root = readXml(p.modelXml()).documentElement();
    const QStringList expected = {"Name",           "M",     "User",      "Ann",   "Email",      "ann@x",
                                  "Version",        "0.0.1", "StartDate", today(), "TargetDate", "",
                                  "CompletionDate", "",      "MaxID",     "1"};
    for (int i = 0; i < expected.size(); i += 2) {
        QVERIFY2(root.hasAttribute(expected.at(i)), qPrintable(expected.at(i)));
        QCOMPARE(root.attribute(expected.at(i)), expected.at(i + 1));
    }
    QVERIFY(root.firstChildElement().isNull());
    const QDomElement doc = readXml(p.versionDir() + "/DocModel.xml").documentElement();
    QCOMPARE(doc.tagName(), QStringLiteral("Root_ModelDoc"));
    QCOMPARE(doc.attribute("MaxID"), QStringLiteral("1"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelOwned));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelReadOnly));
    QVERIFY(p.editor()->IsNewModel());
}

void tst_model::newModel_overExistingModelXml_refusedAndKept()
{
    Program p;
    p.write("<Root_Model Name='theirs'/>");
    QVERIFY(!p.editor()->NewModel());
    QCOMPARE(readFile(p.modelXml()), QByteArray("<Root_Model Name='theirs'/>"));
    QVERIFY(p.GetStrVar(RegSlot::StrLastError).endsWith(p.modelXml()));
    QVERIFY(!p.GetObj<xmlclass>(RegSlot::ObjXmlStore)->HasDoc(XmlIndex::Model));
}

void tst_model::addClasses_saveAndReopen_sameTreeAndIds()
{
    Program p;
    p.deliver(MsgCode::NewModel);
    auto *addSclass = p.window->findChild<QAction *>("actionM_A_S");
    QVERIFY(p.window->findChild<QAction *>("actionM_A_L")->isEnabled());
    QVERIFY(!addSclass->isEnabled());
    p.addLclass("L1", "E1");
    QVERIFY(addSclass->isEnabled() && p.window->findChild<QMenu *>("menuModel")->isEnabled());
    p.addArbitrarySclass("S1");
    auto *explain = p.editor()->findChild<NumEditor *>();
    explain->insertPlainText(QStringLiteral("why S1"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified));
    QVERIFY(p.window->IsSaveEnabled());
    p.window->MenuSave();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelModified));

    const QDomElement root = readXml(p.modelXml()).documentElement();
    QCOMPARE(root.attribute("MaxID"), QStringLiteral("3"));
    const QDomElement l = root.firstChildElement("LClass");
    QCOMPARE(l.attribute("ID"), QStringLiteral("1"));
    QCOMPARE(l.attribute("Name"), QStringLiteral("L1"));
    QCOMPARE(l.attribute("Element"), QStringLiteral("E1"));
    QCOMPARE(l.attribute("StartDate"), today());
    QVERIFY(l.hasAttribute("RefID"));
    QCOMPARE(l.firstChildElement().tagName(), QStringLiteral("REFERENCE"));
    const QDomElement s = l.firstChildElement("SClass");
    QCOMPARE(s.attribute("ID"), QStringLiteral("2"));
    QCOMPARE(s.attribute("Element"), QStringLiteral("@A"));
    QCOMPARE(s.attribute("StartDate"), today());
    QVERIFY(!s.firstChildElement("REFERENCE").isNull());
    QVERIFY(!s.firstChildElement("PARAM").isNull());
    // The document in memory holds only its root again.
    QVERIFY(p.GetObj<xmlclass>(RegSlot::ObjXmlStore)
                ->GetXmlDoc(XmlIndex::Model)
                ->documentElement()
                .firstChild()
                .isNull());

    p.editor()->CloseModel();
    QCOMPARE(p.tree()->topLevelItemCount(), 0);
    p.deliver(MsgCode::OpenModel);
    QCOMPARE(p.tree()->topLevelItemCount(), 1);
    QTreeWidgetItem *l1 = p.tree()->topLevelItem(0);
    QCOMPARE(l1->text(model::ColLclass), QStringLiteral("L1"));
    QCOMPARE(l1->text(model::ColValue), QStringLiteral("E1"));
    QCOMPARE(l1->child(0)->text(model::ColSclass), QStringLiteral("S1"));
    QCOMPARE(l1->child(0)->text(model::ColValue), QStringLiteral("--Arbitary--"));
    QCOMPARE(l1->child(0)->text(model::ColId), QStringLiteral("M2"));
    QCOMPARE(p.editor()->FindItem("2"), l1->child(0));
    QCOMPARE(p.editor()->GetNextID(), 3);
    p.editor()->SetCurrentItem(l1->child(0));
    QCOMPARE(explain->toPlainText(), QStringLiteral("why S1"));
    // With a small class current, a new large class goes after that small class's large class.
    p.addLclass("L0", "E0");
    QCOMPARE(p.tree()->topLevelItem(1)->text(model::ColLclass), QStringLiteral("L0"));
    QCOMPARE(p.tree()->currentItem(), p.tree()->topLevelItem(1));
}

void tst_model::addDialogs_refusalsShowTheirTexts()
{
    Program p;
    p.deliver(MsgCode::NewModel);
    p.addLclass("L", "E");
    p.addLclass("A", "--Arbitary--");
    const struct {
        QString name, element, message;
    } lcases[] = {{"", "", "lclass name is not set"},
                  {"X", "", "element name is not set"},
                  {"L", "E", "the same class found"},
                  {"A", "E", "the arbitary element is already exist"},
                  {"L", "--Arbitary--", "the arbitary element is not set already lclass exist"}};
    auto *newL = p.dialog<NewLclass>();
    for (const auto &c : lcases) {
        p.editor()->CreateLclassDiag();
        p.fill<NewLclass>("LEDIT", c.name, c.element);
        newL->findChild<QPushButton *>("OK")->click();
        QCOMPARE(newL->Message(), c.message);
        QVERIFY(newL->isVisible());
    }
    QCOMPARE(p.tree()->topLevelItemCount(), 2);
    newL->findChild<QPushButton *>("CANCEL")->click();
    QVERIFY(!newL->isVisible());
    // The refusal stays on show when the dialog is opened again.
    p.editor()->CreateLclassDiag();
    QCOMPARE(newL->Message(), QStringLiteral("the arbitary element is not set already lclass exist"));
    // SET twice gives back an empty, editable element field.
    auto *set = newL->findChild<QPushButton *>("SET");
    auto *element = newL->findChild<QLineEdit *>("ECBX");
    set->click();
    QCOMPARE(element->text(), QStringLiteral("--Arbitary--"));
    QVERIFY(element->isReadOnly());
    set->click();
    QVERIFY(element->text().isEmpty() && !element->isReadOnly());
    QCOMPARE(set->text(), QStringLiteral("SET"));
    newL->close();

    p.addArbitrarySclass("S");
    auto *newS = p.dialog<NewSclass>();
    p.editor()->CreateSclassDiag();
    QCOMPARE(newS->Message(), QString());
    QCOMPARE(newS->findChild<QLabel *>("LCLASSNAME")->text(), QStringLiteral("A"));
    const struct {
        QString name, element, message;
    } scases[] = {{"", "E", "lclass name is not set"},
                  {"T", "", "Element name is not set"},
                  {"S", "E", "the arbitary element is already exist"}};
    for (const auto &c : scases) {
        p.fill<NewSclass>("SEDIT", c.name, c.element);
        newS->findChild<QPushButton *>("OK")->click();
        QCOMPARE(newS->Message(), c.message);
    }
    newS->findChild<QPushButton *>("CANCEL")->click();
    QCOMPARE(newS->Message(), QString());
}

void tst_model::openModel_otherOwner_readOnly()
{
    Program p;
    p.SetStrVar(RegSlot::StrUserEmail, "me@x");
    p.write("<Root_Model User='Bob' Email='bob@x' MaxID='2'><LClass ID='1' Name='L'/></Root_Model>");
    p.deliver(MsgCode::OpenModel);
    QCOMPARE(p.tree()->topLevelItemCount(), 1);
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelOwned));
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelReadOnly));
    QCOMPARE(p.window->StatusText(), QStringLiteral("as this model is differnt owner, this is read only."));
    for (const char *name : {"SDATEBTN", "TDATEBTN", "CDATEBTN"})
        QVERIFY2(!p.editor()->findChild<QPushButton *>(name)->isEnabled(), name);
    p.editor()->TreePopupMenu(QPoint(1, 1));
    for (QMenu *menu : p.editor()->findChildren<QMenu *>())
        QVERIFY(!menu->isVisible());
    QCOMPARE(p.editor()->GetOwnerName(), QStringLiteral("Bob"));
    // Save-all never writes another member's model.
    const QByteArray before = readFile(p.modelXml());
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.window->SaveAll();
    QCOMPARE(readFile(p.modelXml()), before);
}

// IDs become file and folder names: only decimal ones are shown, the rest are written back as
// they were, and a lost counter never hands out an ID the file already uses.
void tst_model::openModel_damagedFile_refusedOrBadIdsHiddenKeptNeverReused()
{
    Program p;
    p.SetStrVar(RegSlot::StrUserEmail, "me@x");
    p.write("<Root_manager Email='me@x'><LClass ID='1'/></Root_manager>");
    QVERIFY(!p.editor()->OpenModel());
    QVERIFY(p.GetStrVar(RegSlot::StrLastError).endsWith(p.modelXml()));
    QVERIFY(!p.GetObj<xmlclass>(RegSlot::ObjXmlStore)->HasDoc(XmlIndex::Model));
    p.write("<Root_Model Email='me@x' MaxID='1'><LClass ID='../../x' Name='evil'/>"
            "<LClass ID='7' Name='L'><SClass ID='1/2' Name='bad'/><SClass ID='8' "
            "Name='S'/></LClass></Root_Model>");
    p.deliver(MsgCode::OpenModel);
    QCOMPARE(p.tree()->topLevelItemCount(), 1);
    QCOMPARE(p.tree()->topLevelItem(0)->childCount(), 1);
    QVERIFY(!p.editor()->FindItem("../../x"));
    QCOMPARE(p.editor()->MakeRefPath("../../x"), p.versionDir() + "/Reference/");
    QVERIFY(!QFileInfo::exists(p.tmp.path() + "/w.ws/pelmorine.def/x"));
    p.addLclass("N", "E");
    QCOMPARE(p.tree()->currentItem()->text(model::ColId), QStringLiteral("M9"));
    p.window->MenuSave();
    const QDomElement root = readXml(p.modelXml()).documentElement();
    QCOMPARE(root.attribute("MaxID"), QStringLiteral("10"));
    QCOMPARE(root.firstChildElement().attribute("ID"), QStringLiteral("../../x"));
    const QDomNodeList sclasses = root.elementsByTagName("SClass");
    QCOMPARE(sclasses.count(), 2);
}

void tst_model::saveModel_unwritableFile_failsKeepsMarkAndRetries()
{
    Program p;
    p.deliver(MsgCode::NewModel);
    p.addLclass("L", "E");
    QVERIFY(QFile::remove(p.modelXml()));
    QVERIFY(QDir().mkpath(p.modelXml()));
    QString shown;
    answerBox(&shown);
    p.window->MenuSave();
    QCOMPARE(shown, "can not write file:" + p.modelXml());
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified));
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QVERIFY(p.editor()->IsTouched());
    QVERIFY(QDir(p.modelXml()).removeRecursively());
    p.window->MenuSave();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelModified));
    QCOMPARE(readXml(p.modelXml()).documentElement().firstChildElement().attribute("Name"),
             QStringLiteral("L"));
    // Called directly, a failed write is reported as a failure.
    QVERIFY(QFile::remove(p.modelXml()));
    QVERIFY(QDir().mkpath(p.modelXml()));
    answerBox(&shown);
    p.editor()->IsUpdateLocked();
    QVERIFY(!p.editor()->SaveModel());
    p.SetBoolVar(RegSlot::FlagWriteFailed, false);
}

void tst_model::removeClassItem_currentRow_showsNextWithoutStoringIntoRemoved()
{
    Program p;
    p.deliver(MsgCode::NewModel);
    p.addLclass("A", "E");
    p.addLclass("B", "E");
    p.addArbitrarySclass("S");
    QTreeWidgetItem *b = p.tree()->topLevelItem(1);
    p.editor()->SetCurrentItem(b);
    auto *page = p.GetObj<ModelLclass>(RegSlot::ObjModelLclassPage);
    QCOMPARE(page->CurrentItem(), b);
    // The tree reports a new current row while the row goes; the editor must not act on it then.
    bool unguarded = false;
    QObject::connect(p.tree(), &QTreeWidget::currentItemChanged,
                     [&] { unguarded = unguarded || !p.editor()->IsClearing(); });
    p.editor()->RemoveClassItem(b);
    QVERIFY(!unguarded);
    QCOMPARE(p.tree()->topLevelItemCount(), 1);
    QVERIFY(!p.editor()->FindItem("2"));
    QVERIFY(!p.editor()->FindItem("3"));
    QTreeWidgetItem *a = p.tree()->topLevelItem(0);
    QCOMPARE(p.tree()->currentItem(), a);
    QCOMPARE(page->CurrentItem(), a);
    p.editor()->RemoveClassItem(a);
    QCOMPARE(p.tree()->topLevelItemCount(), 0);
    QVERIFY(!page->CurrentItem());
}

// The instance tab loads the model behind an instance: a damaged file must not stop it with a box.
void tst_model::loadModel_forAnInstance_noMessageBoxThenReadOnly()
{
    Program p;
    p.write("<Root_Model Email='me@x'><LClass ID='1'");
    bool boxShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            boxShown = true;
            box->close();
        }
    });
    watch.start(0);
    QVERIFY(!p.editor()->LoadModel());
    QCOMPARE(p.GetIntVar(RegSlot::IntLastErrorKind), 2);
    QVERIFY(!boxShown);
    watch.stop();

    p.SetStrVar(RegSlot::StrUserEmail, "me@x");
    p.write("<Root_Model Email='me@x'><LClass ID='1' Name='L'/></Root_Model>");
    QVERIFY(p.editor()->LoadModel());
    QVERIFY(p.editor()->FindItem("1"));
    p.editor()->SetReadOnly();
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelReadOnly));
    QVERIFY(!p.window->findChild<QMenu *>("menuModel")->isEnabled());
    QVERIFY(!p.header()->findChild<QPushButton *>("CDATEBTN")->isEnabled());
}

void tst_model::completionDate_locksAndUnlocksTheOwnersModel()
{
    Program p;
    p.deliver(MsgCode::NewModel);
    auto *completion = p.header()->findChild<QLineEdit *>("CDATE");
    auto *start = p.header()->findChild<QPushButton *>("SDATEBTN");
    auto *menu = p.window->findChild<QMenu *>("menuModel");
    menu->setEnabled(true);
    completion->setText("2030/01/01");
    QVERIFY(p.editor()->IsCompleted());
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelReadOnly));
    QVERIFY(!menu->isEnabled() && !start->isEnabled());
    completion->clear();
    QVERIFY(!p.editor()->IsCompleted());
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelReadOnly));
    QVERIFY(menu->isEnabled() && start->isEnabled());
}

// A name of thousands of characters from another member's model.xml: every tree copying the rows
// lays their text out at each column fit, so rows show its start; the model keeps it whole.
void tst_model::openModel_hugeName_rowsShowItsStartSaveKeepsItWhole()
{
    Program p;
    p.SetStrVar(RegSlot::StrUserEmail, "me@x");
    const QByteArray name(5000, 'n');
    p.write("<Root_Model User='me' Email='me@x' MaxID='3'><LClass ID='1' Name='" + name +
            "' Element='e'><SClass ID='2' Name='s' Element='@A'/></LClass></Root_Model>");
    p.deliver(MsgCode::OpenModel);
    QTreeWidgetItem *l = p.tree()->topLevelItem(0);
    QVERIFY(l);
    QCOMPARE(l->text(model::ColLclass), QString::fromLatin1(name.left(1000)) + QChar(0x2026));
    QCOMPARE(l->child(0)->text(model::ColSclass), QStringLiteral("s"));
    QCOMPARE(model::RecordOf(l)->GetAttr(QStringLiteral("Name")), QString::fromLatin1(name));
    p.editor()->SetCurrentItem(l);
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.window->MenuSave();
    QCOMPARE(readXml(p.modelXml()).documentElement().firstChildElement("LClass").attribute("Name"),
             QString::fromLatin1(name));
}

QTEST_MAIN(tst_model)
#include "tst_model.moc"
