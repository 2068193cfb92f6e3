#include "chaptersupport.h"
#include "core/textfiles.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "docs/chapterdiag.h"
#include "docs/delchapter.h"
#include "docs/modeldoc.h"
#include "docs/refurl.h"
#include "loadtiming.h"
#include "model/deletelclassdiag.h"
#include "model/model.h"
#include "shell/checktimer.h"
#include "shell/errormsg.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

namespace
{
const QByteArray kModel =
    "<Root_Model Name='M' Version='1.0.0' Email='me@x' MaxID='4'><LClass ID='1' Name='L'>"
    "<SClass ID='2' Name='S'><PARAM><P ID='3' Name='p' Row='1' Col='1'/></PARAM></SClass>"
    "</LClass></Root_Model>";

// "no title(children)" of the chapters under parent, in order.
QString shape(QTreeWidgetItem *parent)
{
    QStringList parts;
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem *c = parent->child(i);
        parts << c->text(0) + c->text(1) +
                     (c->childCount() ? QLatin1Char('(') + shape(c) + QLatin1Char(')') : QString());
    }
    return parts.join(QLatin1Char(' '));
}

// The program with model "M" 1.0.0 of me@x opened from the files written first.
struct Program : public DocProgram {
    QString dir() { return tmp.filePath("ws/pelmorine.def/M/1.0.0"); }
    QString docPath() { return dir() + QStringLiteral("/DocModel.xml"); }
    // A null docXml leaves the version without DocModel.xml.
    void open(const QByteArray &docXml, const QByteArray &modelXml = kModel)
    {
        writeFile(dir() + QStringLiteral("/model.xml"), modelXml);
        if (!docXml.isNull())
            writeFile(docPath(), docXml);
        QSignalSpy delivered(GetObj<CheckTimer>(RegSlot::ObjCheckTimer), &CheckTimer::Dispatched);
        GetObj<CheckTimer>(RegSlot::ObjCheckTimer)->PostMessage(MsgCode::OpenModel);
        QTRY_VERIFY_WITH_TIMEOUT(!delivered.isEmpty(), 120000);
    }
    ModelDoc *doc() { return GetObj<ModelDoc>(RegSlot::ObjModelDoc); }
    ChapterEditor *editor() override { return doc(); }
    QTreeWidget *classes() { return doc()->ClassTree(); }
    QDomElement saved()
    {
        m_saved.append(QDomDocument());
        return readRoot(docPath(), &m_saved.last());
    }
    void save()
    {
        doc()->SetModified();
        window->MenuSave();
    }
    QList<QDomDocument> m_saved;
};
} // namespace

class tst_modeldoc : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join('\n'))); }
    void load_nestedOutOfOrder_savesBackAndWritesChangedTextsOnly();
    void createFirst_withoutMaxId_takesIdZero();
    void dialogs_reshapeAndRenumber_data();
    void dialogs_reshapeAndRenumber();
    void create_noCurrentChapter_reportsSystemError();
    void damagedFile_keptReadOnlyAndNeverWritten_data();
    void damagedFile_keptReadOnlyAndNeverWritten();
    void refusedIds_readOnlyNeverWritten_newIdsPastUsedOnes();
    void create_noIdLeftAboveCounter_lowestFreeTakenCounterKept_data();
    void create_noIdLeftAboveCounter_lowestFreeTakenCounterKept();
    void create_leftoverText_takesAnotherIdAndStaysUnread();
    void editRights_notOwnerOrInstanceOpen_noAction();
    void tieAndUntie_savedAndAsked();
    void deleteLclass_chaptersUnsetAtOnce_data();
    void deleteLclass_chaptersUnsetAtOnce();
    void handOver_nextSaveWritesNewOwner();
    void manyChapters_openSaveClose_timeGrowsLinearly();
    void chapterText_refusedThenMended_shownAgainEditableAndSaved();
    void classText_refusedThenMended_shownAgainWithItsText();
    void missingFile_madeElsewhereBeforeTheSave_keptAndChaptersStay();
};

void tst_modeldoc::load_nestedOutOfOrder_savesBackAndWritesChangedTextsOnly()
{
    Program p;
    writeFile(p.dir() + "/Docmodel_4.txt", "old");
    writeFile(p.dir() + "/Docmodel_2.txt", "kept");
    p.open(
        "<Root_ModelDoc User='u' Email='e' MaxID='5'><Chapter No='3.' Name='A' MID='1' ID='0'>"
        "<Chapter No='1.1.' Name='B' MID='' ID='1'><Chapter No='7.7.7.' Name='C' MID='99' ID='2'/></Chapter>"
        "</Chapter><Chapter No='2.' Name='D' MID='' ID='4'/></Root_ModelDoc>");
    QCOMPARE(shape(p.chapters()->invisibleRootItem()), QStringLiteral("3.A(1.1.B(7.7.7.C)) 2.D"));
    // A model element that is gone keeps its ID, shown red.
    const struct {
        const char *no, *tie;
        QColor colour;
    } ties[] = {{"3.", "M1", Qt::black}, {"7.7.7.", "M99", Qt::red}, {"1.1.", "UnSet", Qt::red}};
    for (const auto &t : ties) {
        QCOMPARE(p.chapter(t.no)->text(3), QString(t.tie));
        QCOMPARE(p.chapter(t.no)->foreground(3).color(), t.colour);
    }
    QTreeWidgetItem *lrow = p.classes()->topLevelItem(0);
    QCOMPARE(lrow->text(0) + lrow->text(1) + lrow->text(2) + lrow->text(6), QStringLiteral("3.ALM1"));
    QTreeWidgetItem *param = lrow->child(0)->child(0);
    QCOMPARE(param->text(4) + "|" + param->text(5), QStringLiteral("K[1][1]|p"));
    QCOMPARE(param->text(0), QStringLiteral("Unset"));
    QVERIFY(p.GetObj<xmlclass>(RegSlot::ObjXmlStore)
                ->GetXmlDoc(XmlIndex::ModelDoc)
                ->documentElement()
                .firstChildElement()
                .isNull());

    p.select("2.");
    QCOMPARE(p.doc()->TextEditor()->toPlainText(), QStringLiteral("old"));
    p.doc()->TextEditor()->insertPlainText("new ");
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelDocModified));
    p.window->MenuSave();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelDocModified));
    QCOMPARE(readFile(p.dir() + "/Docmodel_4.txt"), QByteArray("new old"));
    QVERIFY(!QFile::exists(p.dir() + "/Docmodel_0.txt"));
    QCOMPARE(readFile(p.dir() + "/Docmodel_2.txt"), QByteArray("kept"));

    QDomElement root = p.saved();
    QCOMPARE(root.attribute("MaxID") + root.attribute("User"), QStringLiteral("5u"));
    QCOMPARE(xmlShape(root, "MID", "ID"), QStringLiteral("3./A/1/0(1.1./B//1(7.7.7./C/99/2)) 2./D//4"));

    // Nothing changed since: a second save writes no chapter text.
    QFile::remove(p.dir() + "/Docmodel_4.txt");
    p.save();
    QVERIFY(!QFile::exists(p.dir() + "/Docmodel_4.txt"));
    QCOMPARE(p.saved().elementsByTagName("Chapter").count(), 4);

    // The shown element is deleted in the model editor: the panes let go of it, its chapter is
    // unset.
    p.select("3.");
    auto *links = p.doc()->findChild<refurl *>();
    QVERIFY(links->isEnabled());
    auto *editor = p.GetObj<model>(RegSlot::ObjModel);
    editor->RemoveClassItem(editor->FindItem("1"));
    p.doc()->RefreshClassItem();
    QVERIFY(!links->isEnabled());
    QCOMPARE(p.chapter("3.")->foreground(3).color(), QColor(Qt::red));
    p.save();
    QCOMPARE(p.saved().firstChildElement("Chapter").attribute("MID"), QString());
}

// Deleting a large class releases the chapters of it and of its small class at once; a chapter
// row freed with its document before is never reached through the element's link.
void tst_modeldoc::deleteLclass_chaptersUnsetAtOnce_data()
{
    QTest::addColumn<bool>("documentOpen");
    QTest::newRow("document open") << true;
    QTest::newRow("chapter rows freed first") << false;
}

void tst_modeldoc::deleteLclass_chaptersUnsetAtOnce()
{
    QFETCH(bool, documentOpen);
    Program p;
    p.open("<Root_ModelDoc MaxID='3'><Chapter No='1.' Name='a' MID='1' ID='0'/>"
           "<Chapter No='2.' Name='b' MID='2' ID='1'/><Chapter No='3.' Name='c' MID='' "
           "ID='2'/></Root_ModelDoc>");
    auto *editor = p.GetObj<model>(RegSlot::ObjModel);
    QVERIFY(editor->FindItem("2")->data(model::ColValue, Qt::UserRole).value<void *>());
    if (!documentOpen)
        p.doc()->Clear();
    editor->SetCurrentItem(editor->FindItem("1"));
    editor->DeleteLclassDiag();
    DeleteLclassDiag *dialog = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        dialog = dialog ? dialog : qobject_cast<DeleteLclassDiag *>(w);
    QVERIFY(dialog && dialog->isVisible());
    dialog->findChild<QPushButton *>("OK")->click();
    QVERIFY(!editor->FindItem("1") && !editor->FindItem("2"));
    if (!documentOpen) {
        QCOMPARE(p.chapters()->topLevelItemCount(), 0);
        return;
    }
    for (const char *no : {"1.", "2."}) {
        QCOMPARE(p.chapter(no)->text(3), QStringLiteral("Unset"));
        QCOMPARE(p.chapter(no)->foreground(3).color(), QColor(Qt::red));
    }
    p.save();
    QCOMPARE(xmlShape(p.saved(), "MID", "ID"), QStringLiteral("1./a//0 2./b//1 3./c//2"));
}

void tst_modeldoc::createFirst_withoutMaxId_takesIdZero()
{
    Program p;
    p.open("<Root_ModelDoc/>");
    p.doc()->RefreshChapterMenu();
    QVERIFY(p.action("actionAdd_Chapter") && !p.action("actionDel_Chapter"));
    ChapterDiag *dlg = p.create(QString());
    QCOMPARE(dlg->findChild<QComboBox *>("CHAPTERBOX")->currentText(), QStringLiteral("1."));
    QCOMPARE(dlg->findChild<QLabel *>("MSG")->text(), QStringLiteral("Title is empty"));
    QVERIFY(dlg->isVisible());
    QCOMPARE(p.chapters()->topLevelItemCount(), 0);
    dlg->findChild<QLineEdit *>("TITLE")->setText("First");
    dlg->findChild<QPushButton *>("OK")->click();
    QVERIFY(!dlg->isVisible());
    QTreeWidgetItem *first = p.chapter("1.");
    QCOMPARE(first->text(2) + first->text(3), QStringLiteral("D0Unset"));
    QCOMPARE(first->foreground(3).color(), QColor(Qt::red));
    QCOMPARE(p.chapters()->currentItem(), first);
    p.doc()->TextEditor()->insertPlainText("text");
    p.window->MenuSave();
    QCOMPARE(readFile(p.dir() + "/Docmodel_0.txt"), QByteArray("text"));
    QCOMPARE(p.saved().attribute("MaxID"), QStringLiteral("1"));

    // A text that cannot be written keeps its chapter marked; the document is written still.
    QFile::remove(p.dir() + "/Docmodel_0.txt");
    QDir().mkpath(p.dir() + "/Docmodel_0.txt");
    p.doc()->TextEditor()->insertPlainText("more ");
    answerNextBox("OK");
    p.window->MenuSave();
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelDocModified));
    QVERIFY(ModelDoc::RecordOf(first)->TextChanged());
    QCOMPARE(p.saved().elementsByTagName("Chapter").count(), 1);
}

void tst_modeldoc::dialogs_reshapeAndRenumber_data()
{
    QTest::addColumn<QByteArray>("chapters");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("choices");
    QTest::addColumn<QString>("result");
    auto c = [](const char *no, const char *name, const QByteArray &inner = QByteArray()) {
        return "<Chapter No='" + QByteArray(no) + "' Name='" + name + "' ID='" + name + "0'>" + inner +
               "</Chapter>";
    };
    auto row = [](const char *name, const QByteArray &chapters, const char *current, const char *action,
                  const char *choices, const char *result) {
        QTest::newRow(name) << chapters << QString(current) << QString(action) << QString(choices)
                            << QString(result);
    };
    const QByteArray three = c("1.", "a") + c("2.", "b", c("2.1.", "c")) + c("3.", "d");
    const QByteArray two = c("1.", "a") + c("2.", "b");
    const QByteArray nested = c("2.", "b", c("2.1.", "c") + c("2.2.", "d", c("2.2.1.", "e")));
    row("insert before a middle chapter", three, "2.", "create 0", "2. 2.2. *0", "1.a 2.N 3.b(3.1.c) 4.d");
    row("sub-chapter of a middle chapter", three, "2.", "create 1", "2. 2.2. *0", "1.a 2.b(2.1.c 2.2.N) 3.d");
    row("after the last", two, "2.", "create 1", "2. 3. 2.1. *1", "1.a 2.b 3.N");
    row("insert among sub-chapters", nested, "2.2.", "create 0", "2.2. 2.3. 2.2.2. *1",
        "2.b(2.1.c 2.2.N 2.3.d(2.3.1.e))");
    row("delete a middle chapter", c("1.", "a") + c("2.", "b") + c("3.", "c", c("3.1.", "d")), "2.", "delete",
        "", "1.a 2.c(2.1.d)");
    row("delete a sub-chapter", nested, "2.1.", "delete", "", "2.b(2.1.d(2.1.1.e))");
    row("move the second up", c("1.", "a", c("1.1.", "x")) + c("2.", "b", c("2.1.", "c")), "2.", "up", "",
        "1.b(1.1.c) 2.a(2.1.x)");
    row("move the first up", two, "1.", "up", "", "1.a 2.b");
    row("move the last down", two, "2.", "down", "", "1.a 2.b");
    row("move a sub-chapter down", nested, "2.1.", "down", "", "2.b(2.1.d(2.1.1.e) 2.2.c)");
}

void tst_modeldoc::dialogs_reshapeAndRenumber()
{
    QFETCH(QByteArray, chapters);
    QFETCH(QString, current);
    QFETCH(QString, action);
    QFETCH(QString, choices);
    QFETCH(QString, result);
    Program p;
    p.open("<Root_ModelDoc MaxID='1'>" + chapters + "</Root_ModelDoc>");
    p.select(current);
    if (action.startsWith("create")) {
        p.doc()->CreateChapter();
        auto *box = p.doc()->findChild<ChapterDiag *>()->findChild<QComboBox *>("CHAPTERBOX");
        QStringList offered;
        for (int i = 0; i < box->count(); ++i)
            offered << box->itemText(i);
        QCOMPARE(offered.join(' ') + " *" + QString::number(box->currentIndex()), choices);
        p.create("N", action.back().digitValue());
        QCOMPARE(p.chapters()->currentItem()->text(1), QStringLiteral("N"));
    } else if (action == "delete") {
        p.doc()->DeleteChapter();
        auto *dlg = p.doc()->findChild<DelChapter *>();
        QCOMPARE(dlg->findChild<QLineEdit *>("CHAPTER")->text(), current);
        dlg->findChild<QPushButton *>("OK")->click();
        QCOMPARE(p.chapters()->currentItem(), p.chapters()->topLevelItem(0));
    } else {
        action == "up" ? p.doc()->MoveUpChapter() : p.doc()->MoveDownChapter();
    }
    QCOMPARE(shape(p.chapters()->invisibleRootItem()), result);
    p.save();
    // Numbers reach the file as shown.
    QDomElement root = p.saved();
    QCOMPARE(root.firstChildElement("Chapter").attribute("No"), p.chapters()->topLevelItem(0)->text(0));
    QCOMPARE(root.elementsByTagName("Chapter").count(),
             result.split(QRegularExpression("[ ()]+"), Qt::SkipEmptyParts).size());
}

void tst_modeldoc::create_noCurrentChapter_reportsSystemError()
{
    Program p;
    p.open("<Root_ModelDoc><Chapter No='1.' Name='a' ID='0'/></Root_ModelDoc>");
    p.chapters()->setCurrentItem(nullptr);
    p.doc()->CreateChapter();
    QVERIFY(!p.doc()->findChild<ChapterDiag *>()->isVisible());
    ErrorMsg *error = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *e = qobject_cast<ErrorMsg *>(w); e && e->isVisible())
            error = e;
    }
    QVERIFY(error);
    QCOMPARE(error->Text(), QStringLiteral("SYSTEM ERROR=CAPTER001"));
}

void tst_modeldoc::damagedFile_keptReadOnlyAndNeverWritten_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("truncated") << QByteArray(
        "<?xml version='1.0'?>\n<Root_ModelDoc MaxID='3'><Chapter No='1.'");
    QTest::newRow("another file") << QByteArray("<Root_Model><Chapter No='1.' ID='0'/></Root_Model>");
    // Older or damaged: one level past what the reader takes, every chapter kept on disk.
    QTest::newRow("nested past the reader")
        << "<?xml version='1.0'?>\n" + chainXml("Root_ModelDoc", "MID", ChapterFile::MaxLevels + 1);
}

void tst_modeldoc::damagedFile_keptReadOnlyAndNeverWritten()
{
    QFETCH(QByteArray, bytes);
    Program p;
    QString title;
    if (bytes.startsWith("<?xml"))
        answerNextBox("OK", &title);
    p.open(bytes);
    if (!bytes.startsWith("<?xml")) {
        // Another kind of file: said which file is left out and why, in the error window.
        auto *errors = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg);
        QVERIFY(errors && errors->isVisible());
        QCOMPARE(errors->windowTitle(), QStringLiteral("File left out"));
        QVERIFY2(errors->Text().contains(p.docPath()), qPrintable(errors->Text()));
        QVERIFY(errors->Text().contains(QStringLiteral("\"Root_Model\"")));
        errors->close();
    }
    QVERIFY(!p.doc()->IsReadable());
    QVERIFY(!p.doc()->IsEditable());
    QCOMPARE(p.chapters()->topLevelItemCount(), 0);
    p.doc()->RefreshChapterMenu();
    QVERIFY(!p.action("actionAdd_Chapter"));
    p.doc()->CreateChapter();
    QVERIFY(!p.doc()->findChild<ChapterDiag *>()->isVisible());
    // Even a hand-over's save leaves the file as it was.
    p.doc()->TransferUser("Bob", "bob@x");
    p.SetBoolVar(RegSlot::FlagModelDocModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.window->MenuSave();
    QCOMPARE(readFile(p.docPath()), bytes);
    QVERIFY(!p.GetBoolVar(RegSlot::FlagSaveNeeded));
}

void tst_modeldoc::refusedIds_readOnlyNeverWritten_newIdsPastUsedOnes()
{
    Program p;
    p.open("<Root_ModelDoc MaxID='1'><Chapter No='1.' Name='evil' MID='' ID='../../x'/>"
           "<Chapter No='2.' Name='ok' MID='' ID='4'/></Root_ModelDoc>");
    p.select("1.");
    QVERIFY(p.doc()->TextEditor()->isReadOnly());
    p.select("2.");
    QVERIFY(!p.doc()->TextEditor()->isReadOnly());
    p.create("new");
    QCOMPARE(p.chapter("3.")->text(2), QStringLiteral("D5"));
    p.select("1.");
    p.doc()->TextEditor()->insertPlainText("ignored");
    p.save();
    const QDomElement root = p.saved();
    QCOMPARE(root.attribute("MaxID"), QStringLiteral("6"));
    QCOMPARE(root.firstChildElement("Chapter").attribute("ID"), QStringLiteral("../../x"));
    QCOMPARE(QDir(p.dir()).entryList({"Docmodel_*"}), QStringList());
    QVERIFY(!QFile::exists(p.tmp.filePath("ws/pelmorine.def/x.txt")));
}

// A chapter ID is a file name: one past the ceiling would be a chapter whose text is never
// written while the save reports success. Once the counter has none left, the lowest ID no chapter
// and no text file uses is taken, and the counter stays.
void tst_modeldoc::create_noIdLeftAboveCounter_lowestFreeTakenCounterKept_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("created"); // the new chapter's ID
    QTest::addColumn<QString>("savedMaxId");
    QTest::newRow("chapter at the largest int")
        << QByteArray("<Root_ModelDoc MaxID='1'><Chapter No='1.' Name='a' MID='' ID='2147483646'/>") << "0"
        << "1000000000";
    QTest::newRow("counter past the ceiling")
        << QByteArray("<Root_ModelDoc MaxID='99999999999'><Chapter No='1.' Name='a' MID='' ID='0'/>") << "1"
        << "1000000000";
    QTest::newRow("last ID") << QByteArray("<Root_ModelDoc MaxID='999999999'><Chapter No='1.' Name='a' "
                                           "MID='' ID='0'/>")
                             << "999999999"
                             << "1000000000";
    QTest::newRow("negative MaxID") << QByteArray("<Root_ModelDoc MaxID='-1'><Chapter No='1.' Name='a' "
                                                  "MID='' ID='3'/>")
                                    << "4"
                                    << "5";
}

void tst_modeldoc::create_noIdLeftAboveCounter_lowestFreeTakenCounterKept()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, created);
    QFETCH(QString, savedMaxId);
    Program p;
    p.open(xml + "</Root_ModelDoc>");
    p.select("1.");
    ChapterDiag *dlg = p.create("new");
    QVERIFY(!dlg->isVisible());
    QCOMPARE(p.chapter("2.")->text(2), "D" + created);
    p.select("2.");
    p.doc()->TextEditor()->insertPlainText("typed");
    p.save();
    QCOMPARE(p.saved().attribute("MaxID"), savedMaxId);
    QCOMPARE(readFile(p.dir() + "/Docmodel_" + created + ".txt"), QByteArray("typed"));
}

// A save wrote Docmodel_1.txt, then failed to write DocModel.xml: a new chapter takes another ID,
// so that its text is empty and no reopen reads the leftover as its own.
void tst_modeldoc::create_leftoverText_takesAnotherIdAndStaysUnread()
{
    Program p;
    writeFile(p.dir() + "/Docmodel_1.txt", "leftover");
    writeFile(p.dir() + "/DOCMODEL_02.TXT", "leftover too");
    p.open("<Root_ModelDoc MaxID='1'><Chapter No='1.' Name='a' MID='' ID='0'/></Root_ModelDoc>");
    p.select("1.");
    p.create("new");
    QCOMPARE(p.chapter("2.")->text(2), QStringLiteral("D3"));
    p.select("2.");
    QCOMPARE(p.doc()->TextEditor()->toPlainText(), QString());
    p.save();
    const QDomElement root = p.saved();
    QCOMPARE(root.attribute("MaxID"), QStringLiteral("4"));
    QCOMPARE(xmlShape(root, "MID", "ID"), QStringLiteral("1./a//0 2./new//3"));
    QCOMPARE(readFile(p.dir() + "/Docmodel_1.txt"), QByteArray("leftover"));
}

void tst_modeldoc::editRights_notOwnerOrInstanceOpen_noAction()
{
    for (const bool owner : {false, true}) {
        Program p;
        QByteArray model = kModel;
        if (!owner)
            model.replace("me@x", "other@x");
        p.open("<Root_ModelDoc><Chapter No='1.' Name='a' ID='0'/></Root_ModelDoc>", model);
        if (owner) {
            p.SetIntVar(RegSlot::IntDocKind, 2);
            p.doc()->SetEditMode();
        }
        p.select("1.");
        QVERIFY(!p.doc()->IsEditable());
        QVERIFY(p.doc()->TextEditor()->isReadOnly());
        QCOMPARE(p.doc()->TextEditor()->toPlainText(), QString());
        QVERIFY(!p.anyChapterAction());
        p.doc()->MoveDownChapter();
        p.doc()->DeleteChapter();
        QVERIFY(!p.doc()->findChild<DelChapter *>()->isVisible());
        QVERIFY(!p.GetBoolVar(RegSlot::FlagModelDocModified));
    }
}

void tst_modeldoc::tieAndUntie_savedAndAsked()
{
    Program p;
    p.open("<Root_ModelDoc MaxID='2'><Chapter No='1.' Name='a' MID='1' ID='0'/>"
           "<Chapter No='2.' Name='b' MID='' ID='1'/></Root_ModelDoc>");
    QTreeWidgetItem *lrow = p.classes()->topLevelItem(0);
    QTreeWidgetItem *srow = lrow->child(0);
    p.select("2.");
    p.classes()->setCurrentItem(lrow);
    // The large class has its chapter already; the chapter of the row became current.
    QCOMPARE(p.chapters()->currentItem(), p.chapter("1."));
    QVERIFY(!p.action("actionSet_Chapter"));
    p.select("2.");
    p.classes()->setCurrentItem(srow);
    QVERIFY(p.action("actionSet_Chapter"));
    p.doc()->SetChapter();
    QCOMPARE(p.chapter("2.")->text(3), QStringLiteral("M2"));
    QCOMPARE(srow->text(0) + srow->text(1), QStringLiteral("2.b"));
    QVERIFY(p.action("actionUnset_Chapter") && !p.action("actionSet_Chapter"));
    p.window->MenuSave();
    QCOMPARE(p.saved().lastChildElement("Chapter").attribute("MID"), QStringLiteral("2"));

    QString title;
    answerNextBox("no", &title);
    p.doc()->UnsetChapter();
    QCOMPARE(title, QStringLiteral("set Unset"));
    QCOMPARE(p.chapter("2.")->text(3), QStringLiteral("M2"));
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelDocModified));
    answerNextBox("yes");
    p.doc()->UnsetChapter();
    QCOMPARE(p.chapter("2.")->text(3), QStringLiteral("Unset"));
    QCOMPARE(p.chapter("2.")->foreground(3).color(), QColor(Qt::red));
    QCOMPARE(srow->text(0), QStringLiteral("Unset"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelDocModified));
    p.window->MenuSave();
    QCOMPARE(p.saved().lastChildElement("Chapter").attribute("MID"), QString());
}

void tst_modeldoc::handOver_nextSaveWritesNewOwner()
{
    Program p;
    p.open(
        "<Root_ModelDoc User='me' Email='me@x' MaxID='1'><Chapter No='1.' Name='a' ID='0'/></Root_ModelDoc>");
    p.doc()->TransferUser("Bob", "bob@x");
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelDocModified));
    p.save();
    const QDomElement root = p.saved();
    QCOMPARE(root.attribute("User") + root.attribute("Email"), QStringLiteral("Bobbob@x"));
    QCOMPARE(root.firstChildElement("Chapter").attribute("Name"), QStringLiteral("a"));
}

// A document with many chapters opens, saves and closes (the quit clears the tree) in time growing
// with the chapters.
void tst_modeldoc::manyChapters_openSaveClose_timeGrowsLinearly()
{
    const auto load = [](int count) {
        Program p;
        QByteArray xml = "<Root_ModelDoc MaxID='" + QByteArray::number(count + 1) + "'>";
        for (int i = 1; i <= count; ++i) {
            const QByteArray n = QByteArray::number(i);
            xml += "<Chapter No='" + n + ".' Name='c" + n + "' MID='' ID='" + n + "'/>";
        }
        p.open(xml + "</Root_ModelDoc>");
        QCOMPARE(p.chapters()->topLevelItemCount(), count);
        p.save();
        QCOMPARE(p.saved().elementsByTagName("Chapter").size(), count);
    };
    verifyScales(load, 2000, 20000);
}

// A refused file is shown with its reason and takes no typing however often it is shown; once its
// owner mends it (and another reader of it has cleared the shared note of its refusal), showing it
// again reads it: the text is shown, takes typing, and the edit is saved to the file.
void tst_modeldoc::chapterText_refusedThenMended_shownAgainEditableAndSaved()
{
    Program p;
    const QString path = p.dir() + "/Docmodel_0.txt";
    writeFile(path, QByteArray("caf\xE9"));
    p.open("<Root_ModelDoc MaxID='2'><Chapter No='1.' Name='A' MID='' ID='0'/>"
           "<Chapter No='2.' Name='B' MID='' ID='1'/></Root_ModelDoc>");
    if (auto *errors = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg))
        errors->close();
    NumEditor *editor = p.doc()->TextEditor();
    const auto show = [&p] {
        p.select("2.");
        p.select("1.");
    };
    for (int i = 0; i < 2; ++i) {
        show();
        QTest::keyClicks(editor, "lost");
        QVERIFY(editor->isReadOnly() && editor->toPlainText().isEmpty());
        QVERIFY2(editor->placeholderText().startsWith(path), qPrintable(editor->placeholderText()));
    }
    p.save();
    QCOMPARE(readFile(path), QByteArray("caf\xE9"));

    writeFile(path, "mended");
    QCOMPARE(TextFiles::Read(path), QStringLiteral("mended"));
    show();
    QCOMPARE(editor->toPlainText(), QStringLiteral("mended"));
    QVERIFY(!editor->isReadOnly() && editor->placeholderText().isEmpty());
    editor->moveCursor(QTextCursor::Start);
    QTest::keyClicks(editor, "typed ");
    p.window->MenuSave();
    QCOMPARE(readFile(path), QByteArray("typed mended"));
}

// The tied class's text, read first by the model editor: refused, it is shown with its reason each
// time; mended, it is read again when shown again (the pane is read-only: the model editor edits it).
void tst_modeldoc::classText_refusedThenMended_shownAgainWithItsText()
{
    Program p;
    const QString path = p.dir() + "/model_1.txt";
    writeFile(path, QByteArray("caf\xE9"));
    p.open("<Root_ModelDoc MaxID='2'><Chapter No='1.' Name='A' MID='1' ID='0'/>"
           "<Chapter No='2.' Name='B' MID='' ID='1'/></Root_ModelDoc>");
    auto *editor = p.GetObj<model>(RegSlot::ObjModel);
    QVERIFY(model::RecordOf(editor->FindItem("1"))->TextLoaded());
    if (auto *errors = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg))
        errors->close();
    auto *explain = p.GetObj<NumEditor>(RegSlot::ObjModelDocEditor1);
    const auto show = [&p] {
        p.select("2.");
        p.select("1.");
    };
    for (int i = 0; i < 2; ++i) {
        show();
        QVERIFY(explain->isReadOnly() && explain->toPlainText().isEmpty());
        QVERIFY2(explain->placeholderText().startsWith(path), qPrintable(explain->placeholderText()));
    }
    writeFile(path, "mended");
    QCOMPARE(TextFiles::Read(path), QStringLiteral("mended"));
    show();
    QCOMPARE(explain->toPlainText(), QStringLiteral("mended"));
    QVERIFY(explain->isReadOnly() && explain->placeholderText().isEmpty());
}

// The document of a version that has none is made by the first save, only while the file is still
// absent: one another member saved meanwhile is theirs, and the chapters made here stay unsaved.
void tst_modeldoc::missingFile_madeElsewhereBeforeTheSave_keptAndChaptersStay()
{
    Program p;
    p.open(QByteArray());
    QVERIFY(p.doc()->IsEditable());
    p.create("mine");
    const QByteArray theirs = "<Root_ModelDoc User='bob' Email='bob@x' MaxID='1'>"
                              "<Chapter No='1.' Name='theirs' MID='' ID='0'/></Root_ModelDoc>";
    writeFile(p.docPath(), theirs);
    QString title;
    answerNextBox("keepEditing", &title);
    p.window->MenuSave();
    QCOMPARE(title, QStringLiteral("Changed by another program"));
    QCOMPARE(readFile(p.docPath()), theirs);
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelDocModified));
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));
    QCOMPARE(p.chapter("1.")->text(1), QStringLiteral("mine"));
    // Gone again, the file is the editor's to make.
    QVERIFY(QFile::remove(p.docPath()));
    p.window->MenuSave();
    QCOMPARE(xmlShape(p.saved(), "MID", "ID"), QStringLiteral("1./mine//0"));
}

QTEST_MAIN(tst_modeldoc)
#include "tst_modeldoc.moc"
