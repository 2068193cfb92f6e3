#include "core/textfiles.h"
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
    void addClass_leftoverClassTexts_takesANumberNoTextUses();
    void addDialogs_refusalsShowTheirTexts();
    void openModel_otherOwner_readOnly();
    void openModel_damagedFile_refusedOrBadIdsHiddenKeptNeverReused();
    void saveModel_unwritableFile_failsKeepsMarkAndRetries();
    void saveModel_rootContent_followsItsLargeClassOnEverySave();
    void loadModel_forAnInstance_noMessageBoxThenReadOnly();
    void completionDate_locksAndUnlocksTheOwnersModel();
    void removeClassItem_currentRow_showsNextWithoutStoringIntoRemoved();
    void newModel_anyFileOfTheVersionExists_refusedAndKept_data();
    void newModel_anyFileOfTheVersionExists_refusedAndKept();
    void completedModel_ownersExplanationReadOnly();
    void ownersExplanation_textNotRead_readOnlyWithReasonWhateverTheDate();
    void ownersExplanation_refusedThenMended_shownAgainEditableAndSaved_data();
    void ownersExplanation_refusedThenMended_shownAgainEditableAndSaved();
    void addLclass_classLeftKeepsItsEdits_startComparedAsDate();
    void addLclass_craftedCounters_neverReusedOrNegative_data();
    void addLclass_craftedCounters_neverReusedOrNegative();
    void openModel_hugeName_rowsShowItsStartSaveKeepsItWhole();
    void saveModel_classAddedAtTheSameIdElsewhere_keepEditingWritesNothing();
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
// A save that failed after the class texts were written leaves texts of numbers model.xml never
// took: the next session's new class must show nothing of them.
void tst_model::addClass_leftoverClassTexts_takesANumberNoTextUses()
{
    Program p;
    p.deliver(MsgCode::NewModel);
    p.addLclass("L1", "E1");
    p.window->MenuSave();
    p.editor()->CloseModel();
    const QString folder = QFileInfo(p.modelXml()).path();
    writeFile(folder + "/model_2.txt", "LEFTOVER EXPLANATION of an earlier class");
    writeFile(folder + "/MODEL_3.TXT", "another");
    writeFile(folder + "/model_5.txt", "one more");
    p.deliver(MsgCode::OpenModel);
    QCOMPARE(p.editor()->GetNextID(), 4);
    p.addLclass("L2", "E2");
    QCOMPARE(p.tree()->topLevelItem(1)->text(model::ColId), QStringLiteral("M4"));
    QCOMPARE(p.editor()->GetNextID(), 6);
    QCOMPARE(p.editor()->findChild<NumEditor *>()->toPlainText(), QString());
}

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
    // Showing an item makes no folder for its files: the first file added does.
    QCOMPARE(QDir(p.versionDir() + "/Reference").entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    p.window->MenuSave();
    const QDomElement root = readXml(p.modelXml()).documentElement();
    QCOMPARE(root.attribute("MaxID"), QStringLiteral("10"));
    QCOMPARE(root.firstChildElement().attribute("ID"), QStringLiteral("../../x"));
    const QDomNodeList sclasses = root.elementsByTagName("SClass");
    QCOMPARE(sclasses.count(), 2);
}

// What another member's program put at the root goes with the large class it follows: kept on
// every save, never written twice, and gone with its class.
void tst_model::saveModel_rootContent_followsItsLargeClassOnEverySave()
{
    Program p;
    p.SetStrVar(RegSlot::StrUserEmail, "me@x");
    p.write("<Root_Model Email='me@x' MaxID='5'><!--head--><LClass ID='1' Name='A'/><!--about A--><X/>"
            "<LClass ID='2' Name='B'/><LClass ID='x' Name='refused'/><!--about B--></Root_Model>");
    p.deliver(MsgCode::OpenModel);
    QCOMPARE(p.tree()->topLevelItemCount(), 2);
    const auto written = [&] {
        QStringList nodes;
        const QDomElement root = readXml(p.modelXml()).documentElement();
        for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling())
            nodes << (n.isComment() ? n.nodeValue() : n.toElement().attribute("Name", n.nodeName()));
        return nodes;
    };
    p.editor()->SetCurrentItem(p.tree()->topLevelItem(1));
    p.addLclass("C", "E");
    p.window->MenuSave();
    QCOMPARE(written(), QStringList({"head", "A", "about A", "X", "B", "refused", "about B", "C"}));
    // Between saves the document holds only its root: the layout keeps the rest.
    QVERIFY(!p.GetObj<xmlclass>(RegSlot::ObjXmlStore)
                 ->GetXmlDoc(XmlIndex::Model)
                 ->documentElement()
                 .hasChildNodes());
    p.editor()->RemoveClassItem(p.tree()->topLevelItem(0));
    p.editor()->SetCurrentItem(p.tree()->topLevelItem(0));
    p.addLclass("D", "E");
    p.window->MenuSave();
    QCOMPARE(written(), QStringList({"head", "B", "refused", "about B", "D", "C"}));
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
    QCOMPARE(shown, "can not write file:" + p.modelXml() + "\nReason: " + qt_error_string(EISDIR));
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

// Another version's documents or texts in the folder are never replaced by a new version's.
void tst_model::newModel_anyFileOfTheVersionExists_refusedAndKept_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("model document") << "DocModel.xml";
    QTest::newRow("class explanation") << "model_3.txt";
    QTest::newRow("chapter text") << "Docmodel_1.txt";
}

void tst_model::newModel_anyFileOfTheVersionExists_refusedAndKept()
{
    QFETCH(QString, file);
    Program p;
    const QString path = p.versionDir() + QLatin1Char('/') + file;
    writeFile(path, "theirs");
    QVERIFY(!p.editor()->NewModel());
    QCOMPARE(readFile(path), QByteArray("theirs"));
    QVERIFY(!QFileInfo::exists(p.modelXml()));
    QVERIFY(p.GetStrVar(RegSlot::StrLastError).startsWith(file + " already exists"));
    QVERIFY(!p.GetObj<xmlclass>(RegSlot::ObjXmlStore)->HasDoc(XmlIndex::ModelDoc));
}

// A completed model is read-only for its owner: the explanation cannot take text it would drop.
void tst_model::completedModel_ownersExplanationReadOnly()
{
    Program p;
    p.SetStrVar(RegSlot::StrUserEmail, "me@x");
    p.write("<Root_Model Email='me@x' MaxID='3' CompletionDate='2026/01/01'><LClass ID='1' Name='L'/>"
            "</Root_Model>");
    p.deliver(MsgCode::OpenModel);
    auto *explain = p.editor()->findChild<NumEditor *>();
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelReadOnly));
    QVERIFY(explain->isReadOnly());
    // Reopened by clearing the date, editable; completed again, read-only.
    auto *completion = p.header()->findChild<QLineEdit *>("CDATE");
    completion->clear();
    QVERIFY(!explain->isReadOnly());
    completion->setText("2030/01/01");
    QVERIFY(explain->isReadOnly());
}

// A class text that was not read took the owner's typing, which every save then refused to write;
// clearing the completion date made it editable again.
void tst_model::ownersExplanation_textNotRead_readOnlyWithReasonWhateverTheDate()
{
    Program p;
    p.SetStrVar(RegSlot::StrUserEmail, "me@x");
    p.write(
        "<Root_Model Email='me@x' MaxID='3'><LClass ID='1' Name='L'/><LClass ID='2' Name='M'/></Root_Model>");
    writeFile(p.versionDir() + "/model_1.txt", QByteArray("1\n").repeated(TextFiles::MaxTextLines + 1));
    p.deliver(MsgCode::OpenModel);
    auto *explain = p.editor()->findChild<NumEditor *>();
    p.tree()->setCurrentItem(p.tree()->topLevelItem(0));
    QVERIFY(explain->placeholderText().startsWith(p.versionDir() + "/model_1.txt holds "));
    p.header()->findChild<QLineEdit *>("CDATE")->setText("2030/01/01");
    p.header()->findChild<QLineEdit *>("CDATE")->clear();
    QVERIFY(explain->isReadOnly());
    p.tree()->setCurrentItem(p.tree()->topLevelItem(1));
    QVERIFY(!explain->isReadOnly() && explain->placeholderText().isEmpty());
}

void tst_model::ownersExplanation_refusedThenMended_shownAgainEditableAndSaved_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QByteArray>("refused");
    const QByteArray latin1("caf\xE9");
    QTest::newRow("large class, Latin-1") << "1" << latin1;
    QTest::newRow("large class, too many lines")
        << "1" << QByteArray("1\n").repeated(TextFiles::MaxTextLines + 1);
    QTest::newRow("small class, Latin-1") << "3" << latin1;
    QTest::newRow("parameter, Latin-1") << "4" << latin1;
}

// A class text that was refused stayed so, with its stale reason, until the model was opened
// again: shown again it is read again, and once readable it takes edits that save.
void tst_model::ownersExplanation_refusedThenMended_shownAgainEditableAndSaved()
{
    QFETCH(QString, id);
    QFETCH(QByteArray, refused);
    Program p;
    p.SetStrVar(RegSlot::StrUserEmail, "me@x");
    p.write("<Root_Model Email='me@x' MaxID='5'><LClass ID='1' Name='L'><SClass ID='3' Name='S'><PARAM>"
            "<P ID='4' Row='1' Col='1' Name='p'/></PARAM></SClass></LClass><LClass ID='2' Name='M'/>"
            "</Root_Model>");
    const QString path = p.versionDir() + "/model_" + id + ".txt";
    writeFile(path, refused);
    p.deliver(MsgCode::OpenModel);
    auto *explain = p.editor()->findChild<NumEditor *>();
    const auto show = [&p, &id] {
        p.tree()->setCurrentItem(p.editor()->FindItem("2"));
        p.tree()->setCurrentItem(p.editor()->FindItem(id));
    };
    show();
    QVERIFY(explain->isReadOnly());
    QVERIFY2(explain->placeholderText().startsWith(path + " holds "), qPrintable(explain->placeholderText()));
    show();
    QVERIFY(explain->isReadOnly() && explain->placeholderText().startsWith(path + " holds "));

    writeFile(path, "mended");
    show();
    QCOMPARE(explain->toPlainText(), QStringLiteral("mended"));
    QVERIFY(!explain->isReadOnly() && explain->placeholderText().isEmpty());
    QTest::keyClicks(explain, "typed ");
    p.window->MenuSave();
    QCOMPARE(readFile(path), QByteArray("typed mended"));
}

void tst_model::addLclass_classLeftKeepsItsEdits_startComparedAsDate()
{
    Program p;
    p.deliver(MsgCode::NewModel);
    p.addLclass("L1", "E1");
    auto *page = p.GetObj<ModelLclass>(RegSlot::ObjModelLclassPage);
    page->findChild<QLineEdit *>("LCLASS")->setText("L1renamed");
    // A model start before today that reads as later when compared as text.
    const QDate now = QDate::currentDate();
    const QDate earlier(now.year(), now.month() >= 10 ? 9 : 1, 1);
    if (earlier >= now)
        QSKIP("no earlier date of this year reads later as text today");
    p.header()->findChild<QLineEdit *>("SDATE")->setText(earlier.toString("yyyy/M/d"));
    p.addLclass("L2", "E2");
    QCOMPARE(p.tree()->topLevelItem(0)->text(model::ColLclass), QStringLiteral("L1renamed"));
    QCOMPARE(model::RecordOf(p.tree()->topLevelItem(1))->GetAttr("StartDate"), today());
    p.window->MenuSave();
    const QDomElement l1 = readXml(p.modelXml()).documentElement().firstChildElement("LClass");
    QCOMPARE(l1.attribute("Name"), QStringLiteral("L1renamed"));
}

// Any counter a shared file holds: a new class never takes an ID in use, never a negative or
// overlong one, and is refused with a message when none is left.
void tst_model::addLclass_craftedCounters_neverReusedOrNegative_data()
{
    QTest::addColumn<QString>("classes");
    QTest::addColumn<QString>("expected"); // ID of the new class, empty when refused
    QTest::addColumn<QString>("savedMaxId");
    QTest::newRow("MaxID at the largest int") << "<Root_Model Email='me@x' MaxID='2147483646'>"
                                              << ""
                                              << "1000000000";
    QTest::newRow("MaxID past the largest int") << "<Root_Model Email='me@x' MaxID='2147483647'>"
                                                << ""
                                                << "1000000000";
    QTest::newRow("last number") << "<Root_Model Email='me@x' MaxID='999999999'>"
                                 << "999999999"
                                 << "1000000000";
    QTest::newRow("negative MaxID") << "<Root_Model Email='me@x' MaxID='-1'>"
                                    << "2"
                                    << "3";
    QTest::newRow("refused class holds the highest ID")
        << "<Root_Model Email='me@x' MaxID='2'><LClass ID='x'><SClass ID='5'/></LClass>"
        << "6"
        << "7";
    QTest::newRow("ID at the largest int") << "<Root_Model Email='me@x' MaxID='2'><LClass ID='2147483646'/>"
                                           << ""
                                           << "1000000000";
}

void tst_model::addLclass_craftedCounters_neverReusedOrNegative()
{
    QFETCH(QString, classes);
    QFETCH(QString, expected);
    QFETCH(QString, savedMaxId);
    Program p;
    p.SetStrVar(RegSlot::StrUserEmail, "me@x");
    p.write((classes + "<LClass ID='1' Name='L'/></Root_Model>").toUtf8());
    p.deliver(MsgCode::OpenModel);
    const int before = p.tree()->topLevelItemCount();
    p.editor()->CreateLclassDiag();
    p.fill<NewLclass>("LEDIT", "N", "E");
    QSignalSpy delivered(p.GetObj<CheckTimer>(RegSlot::ObjCheckTimer), &CheckTimer::Dispatched);
    p.dialog<NewLclass>()->findChild<QPushButton *>("OK")->click();
    auto *message = p.dialog<NewLclass>()->findChild<QLabel *>("MSG");
    if (expected.isEmpty()) {
        QCOMPARE(p.tree()->topLevelItemCount(), before);
        QCOMPARE(message->text(), QStringLiteral("no ID is left: model.xml"));
        // Touched so the save writes: the counter stays exhausted on disk too.
        p.editor()->IsUpdateLocked();
        p.SetBoolVar(RegSlot::FlagModelModified, true);
        p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!delivered.isEmpty(), 120000);
        QCOMPARE(p.tree()->topLevelItemCount(), before + 1);
        QCOMPARE(p.tree()->currentItem()->text(model::ColId), "M" + expected);
    }
    p.window->MenuSave();
    QCOMPARE(readXml(p.modelXml()).documentElement().attribute("MaxID"), savedMaxId);
    QVERIFY(!QFileInfo::exists(p.versionDir() + "/model_-2147483648.txt"));
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

// The same user's other desktop gave the next ID to its own class and saved; this one's class of that
// ID, with its explanation, is asked about and kept: not a byte of it reaches the folder, where its
// text would become the other class's explanation.
void tst_model::saveModel_classAddedAtTheSameIdElsewhere_keepEditingWritesNothing()
{
    Program p;
    p.SetStrVar(RegSlot::StrUserEmail, "me@x");
    p.write("<Root_Model Email='me@x' MaxID='12'><LClass ID='1' Name='L'/></Root_Model>");
    p.deliver(MsgCode::OpenModel);
    const QByteArray theirs("<Root_Model Email='me@x' MaxID='13'><LClass ID='1' Name='L'/>"
                            "<LClass ID='12' Name='A2'/></Root_Model>");
    writeFile(p.modelXml(), theirs);
    p.addLclass("B2", "E2");
    QCOMPARE(p.tree()->currentItem()->text(model::ColId), QStringLiteral("M12"));
    p.editor()->findChild<NumEditor *>()->insertPlainText(QStringLiteral("B's explanation"));
    QString asked;
    QTimer keep;
    keep.setInterval(5);
    QObject::connect(&keep, &QTimer::timeout, [&asked] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && box->windowTitle() == QLatin1String("Changed by another program")) {
            asked = box->informativeText();
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    keep.start();
    p.window->MenuSave();
    keep.stop();
    QVERIFY2(asked.contains(p.modelXml()), qPrintable(asked));
    QCOMPARE(readFile(p.modelXml()), theirs);
    QCOMPARE(QDir(p.versionDir()).entryList({"model_*.txt"}), QStringList());
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified));

    p.editor()->CloseModel();
    p.deliver(MsgCode::OpenModel);
    QTreeWidgetItem *a2 = p.editor()->FindItem("12");
    QVERIFY(a2);
    QCOMPARE(a2->text(model::ColLclass), QStringLiteral("A2"));
    p.editor()->SetCurrentItem(a2);
    QCOMPARE(p.editor()->findChild<NumEditor *>()->toPlainText(), QString());
}

QTEST_MAIN(tst_model)
#include "tst_model.moc"
