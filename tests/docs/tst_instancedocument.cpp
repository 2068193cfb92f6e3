#include "chaptersupport.h"
#include "core/sharedxml.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "docs/chapterdiag.h"
#include "docs/instancedocument.h"
#include "instance/deftab.h"
#include "members/memberinfo.h"
#include "model/model.h"
#include "shell/errormsg.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "shell/tab.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

namespace
{
const QByteArray kModel =
    "<Root_Model Name='M' Email='owner@x' Version='1.0.0' MaxID='4'>"
    "<LClass ID='1' Name='L1' Element='E1'><SClass ID='2' Name='S1' Element='SE'><PARAM>"
    "<P ID='3' Name='P1' Row='1' Col='1'/></PARAM></SClass></LClass></Root_Model>";
const QByteArray kInstance =
    "<Root_Instance ID='0' MaxID='4'><LClass ID='1' MID='1'><SClass ID='2' MID='2'>"
    "<PARAM><P ID='3' MID='3' Row='1' Col='1'/></PARAM></SClass></LClass></Root_Instance>";

// The program with an instance of member 0 (the running user) loaded by the real instance tab.
struct Program : public DocProgram {
    MemberTable table;
    QTreeWidget members;
    Program()
    {
        SetStrVar(RegSlot::StrInstanceDir, tmp.path());
        SetObj(RegSlot::ObjMemberTable, &table);
        writeFile(GetObj<model>(RegSlot::ObjModel)->VersionFolder() + QStringLiteral("/model.xml"), kModel);
        writeFile(tmp.filePath("instance.xml"), kInstance);
    }
    ~Program() override
    {
        delete window;
        window = nullptr;
        qDeleteAll(table);
    }
    deftab *tab() { return GetObj<deftab>(RegSlot::ObjDeftab); }
    InstanceDocument *doc() { return GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument); }
    ChapterEditor *editor() override { return doc(); }
    QString docPath() { return tmp.filePath("DocInstance.xml"); }
    void open(const QByteArray &docXml, bool manager = true)
    {
        if (!docXml.isNull())
            writeFile(docPath(), docXml);
        auto *m = new MemberInfo;
        m->Name = m->DisplayName = QStringLiteral("user0");
        m->Email = QStringLiteral("me@x");
        table.insert(0, m);
        auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
        store->NewXmlDoc(XmlIndex::Manager, QStringLiteral("Root_manager"));
        QDomElement root = store->GetXmlDoc(XmlIndex::Manager)->documentElement();
        root.setAttribute("Name", "Inst");
        root.setAttribute("Version", "2.0");
        auto *item = new QTreeWidgetItem(&members);
        item->setData(0, Qt::UserRole, 0);
        item->setText(0, m->Name);
        tab()->SetInstanceDir(tmp.path());
        SetBoolVar(RegSlot::FlagIsManager, manager);
        doc()->SetEditMode();
        tab()->LoadModelTree();
        tab()->LoadInstanceDocument(&members);
        SetIntVar(RegSlot::IntDocKind, 2);
        window->TabArea()->SetTabsByKind(Tab::Document);
        window->TabArea()->ActivateTab(Tab::Document);
    }
    QTreeWidgetItem *classRow(const QString &key)
    {
        return deftab::RecordOf(tab()->FindTreeItem(key))->docRow;
    }
};
} // namespace

class tst_instancedocument : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join('\n'))); }
    void load_tiesResolvedVanishedCleared_andClassTreeBuilt();
    void tieUntieCreate_savedAsKeysAndCounter();
    void notManager_readOnly_noMenuNoAction();
    void damagedFile_keptAndNeverWritten();
    void wrongRoot_reportedByNameAndKept();
    void createSub_atTheDeepestLevel_refusedAndSavedFileReadsWhole();
};

void tst_instancedocument::load_tiesResolvedVanishedCleared_andClassTreeBuilt()
{
    Program p;
    writeFile(p.tmp.filePath("DocInstance_0.txt"), "chapter text");
    writeFile(p.tmp.filePath("instance_0_1.txt"), "large class text");
    p.open("<Root_InstanceDoc><Chapter No='1.' Name='a' ID='0' InstID='0-1'/>"
           "<Chapter No='2.' Name='b' ID='3' InstID='0-999'/></Root_InstanceDoc>");
    QTreeWidgetItem *a = p.chapter("1.");
    QCOMPARE(a->text(3), QStringLiteral("I0-1"));
    QCOMPARE(a->foreground(3).color(), QColor(Qt::black));
    QCOMPARE(p.chapter("2.")->text(3), QStringLiteral("UnSet"));
    QCOMPARE(InstanceDocument::RecordOf(p.chapter("2."))->GetAttr("InstID"), QString());
    QCOMPARE(p.doc()->findChild<QLineEdit *>("MODELNAME")->text(), QStringLiteral("Inst"));

    QTreeWidget *classes = p.doc()->ClassTree();
    QCOMPARE(classes->topLevelItemCount(), 1);
    QTreeWidgetItem *member = classes->topLevelItem(0);
    QCOMPARE(member->text(2) + "|" + member->text(7), QStringLiteral("user0|I0"));
    QTreeWidgetItem *lrow = p.classRow("0-1");
    QCOMPARE(lrow->parent(), member);
    QCOMPARE(lrow->text(0) + lrow->text(1), QStringLiteral("1.a"));
    QCOMPARE(p.classRow("0-2")->text(0), QStringLiteral("Unset"));
    QCOMPARE(p.classRow("0-3")->parent(), p.classRow("0-2"));

    p.chapters()->setCurrentItem(a);
    QCOMPARE(p.doc()->TextEditor()->toPlainText(), QStringLiteral("chapter text"));
    QCOMPARE(p.doc()->CurrentClassValue(), QStringLiteral("0-1"));
    QCOMPARE(classes->currentItem(), lrow);
    auto *explain = p.GetObj<NumEditor>(RegSlot::ObjInstDocEditor1);
    QCOMPARE(explain->toPlainText(), QStringLiteral("large class text"));

    // Loading again from the document in the store, whose chapters the tree holds, keeps them.
    p.doc()->TextEditor()->insertPlainText("more ");
    p.doc()->LoadManagerInfo();
    QCOMPARE(p.chapters()->topLevelItemCount(), 2);
    p.window->MenuSave();
    QCOMPARE(readFile(p.tmp.filePath("DocInstance_0.txt")), QByteArray("more chapter text"));
    QDomDocument doc;
    QCOMPARE(xmlShape(readRoot(p.docPath(), &doc), "ID", "InstID"), QStringLiteral("1./a/0/0-1 2./b/3/"));
}

void tst_instancedocument::tieUntieCreate_savedAsKeysAndCounter()
{
    Program p;
    writeFile(p.tmp.filePath("instance_0_2.txt"), "small class text");
    p.open("<Root_InstanceDoc><Chapter No='1.' Name='a' ID='0' InstID='0-1'/>"
           "<Chapter No='2.' Name='b' ID='3' InstID=''/><Chapter No='3.' Name='c' ID='x/y' InstID=''/>"
           "</Root_InstanceDoc>");
    // The instance tab shows another element, with an edit of its explanation.
    p.tab()->SetCurrentUserItem(p.tab()->FindTreeItem("0-1"));
    for (NumEditor *e : p.tab()->findChildren<NumEditor *>()) {
        if (e->Kind() == 3)
            e->insertPlainText("edited ");
    }
    QVERIFY(p.tab()->IsExplanationModified());
    QTreeWidget *classes = p.doc()->ClassTree();
    p.chapters()->setCurrentItem(p.chapter("2."));
    classes->setCurrentItem(classes->topLevelItem(0));
    // A member row never takes a chapter, an element with one takes no second.
    QVERIFY(!p.action("actionSet_Chapter"));
    classes->setCurrentItem(p.classRow("0-1"));
    QCOMPARE(p.chapters()->currentItem(), p.chapter("1."));
    QVERIFY(!p.action("actionSet_Chapter"));
    p.chapters()->setCurrentItem(p.chapter("2."));
    classes->setCurrentItem(p.classRow("0-2"));
    p.chapters()->setCurrentItem(p.chapter("2."));
    QVERIFY(p.action("actionSet_Chapter"));
    p.doc()->SetChapter();
    QCOMPARE(p.chapter("2.")->text(3), QStringLiteral("I0-2"));
    // The element tied shows its own explanation, not the one the instance tab has open.
    QCOMPARE(p.GetObj<NumEditor>(RegSlot::ObjInstDocEditor1)->toPlainText(),
             QStringLiteral("small class text"));
    QCOMPARE(p.tab()->FindTreeItem("0-2")->data(3, Qt::UserRole).value<void *>(),
             static_cast<void *>(p.chapter("2.")));
    p.doc()->TextEditor()->insertPlainText("b text");

    p.chapters()->setCurrentItem(p.chapter("1."));
    answerNextBox("yes");
    p.doc()->UnsetChapter();
    QCOMPARE(p.chapter("1.")->text(3), QStringLiteral("Unset"));
    QCOMPARE(p.classRow("0-1")->text(0), QStringLiteral("Unset"));
    QVERIFY(p.GetBoolVar(RegSlot::FlagInstDocModified));
    QVERIFY(p.window->IsSaveEnabled());

    p.create("new", 0);
    // IDs in use are never handed out again, though the file had no MaxID.
    QCOMPARE(p.chapter("1.")->text(1) + p.chapter("1.")->text(2), QStringLiteral("newD4"));
    QCOMPARE(p.chapter("2.")->text(1), QStringLiteral("a"));
    p.window->MenuSave();
    QCOMPARE(readFile(p.tmp.filePath("DocInstance_3.txt")), QByteArray("b text"));
    QDomDocument doc;
    const QDomElement root = readRoot(p.docPath(), &doc);
    QCOMPARE(root.attribute("MaxID"), QStringLiteral("5"));
    QCOMPARE(xmlShape(root, "ID", "InstID"), QStringLiteral("1./new/4/ 2./a/0/ 3./b/3/0-2 4./c/x/y/"));
}

void tst_instancedocument::notManager_readOnly_noMenuNoAction()
{
    Program p;
    p.open("<Root_InstanceDoc MaxID='1'><Chapter No='1.' Name='a' ID='0' InstID=''/></Root_InstanceDoc>",
           false);
    p.doc()->SelectFirstChapter();
    QVERIFY(p.doc()->TextEditor()->isReadOnly());
    QVERIFY(!p.doc()->findChild<QLineEdit *>("NAME")->isEnabled());
    for (const char *a : {"actionAdd_Chapter", "actionDel_Chapter", "actionSet_Chapter",
                          "actionUnset_Chapter", "actionMove_Up", "actionMove_Down"})
        QVERIFY2(!p.action(a), a);
    p.doc()->TreePopupMenu(QPoint(1, 1));
    QVERIFY(!p.doc()->findChild<QMenu *>()->isVisible());
    p.doc()->CreateChapter();
    QVERIFY(!p.doc()->findChild<ChapterDiag *>()->isVisible());
}

void tst_instancedocument::damagedFile_keptAndNeverWritten()
{
    Program p;
    const QByteArray bytes = "<Root_InstanceDoc MaxID='2'><Chapter No='1.' Name='a'";
    answerNextBox("OK");
    p.open(bytes);
    QVERIFY(!p.doc()->IsReadable());
    QCOMPARE(p.chapters()->topLevelItemCount(), 0);
    p.SetBoolVar(RegSlot::FlagInstDocModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.window->MenuSave();
    QCOMPARE(readFile(p.docPath()), bytes);
}

void tst_instancedocument::wrongRoot_reportedByNameAndKept()
{
    Program p;
    const QByteArray bytes = "<Root_ModelDoc MaxID='2'><Chapter No='1.' Name='a' ID='1'/></Root_ModelDoc>";
    p.open(bytes);
    QVERIFY(!p.doc()->IsReadable());
    QCOMPARE(p.chapters()->topLevelItemCount(), 0);
    auto *errors = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg);
    QVERIFY(errors && errors->isVisible());
    QCOMPARE(errors->windowTitle(), QStringLiteral("File left out"));
    QVERIFY2(errors->Text().contains(p.docPath()), qPrintable(errors->Text()));
    errors->close();
    p.SetBoolVar(RegSlot::FlagInstDocModified, true);
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.window->MenuSave();
    QCOMPARE(readFile(p.docPath()), bytes);
}

void tst_instancedocument::createSub_atTheDeepestLevel_refusedAndSavedFileReadsWhole()
{
    Program p;
    p.open(chainXml("Root_InstanceDoc", "InstID", ChapterFile::MaxLevels));
    p.chapters()->setCurrentItem(p.deepest());
    ChapterDiag *dlg = p.create("sub", 2);
    QVERIFY(dlg->isVisible());
    QVERIFY(!dlg->findChild<QLabel *>("MSG")->text().isEmpty());
    QCOMPARE(treeLevels(p.chapters()->invisibleRootItem()), ChapterFile::MaxLevels);
    QVERIFY(!p.GetBoolVar(RegSlot::FlagInstDocModified));
    dlg->findChild<QComboBox *>("CHAPTERBOX")->setCurrentIndex(1);
    dlg->findChild<QPushButton *>("OK")->click();
    QVERIFY(!dlg->isVisible());
    p.window->MenuSave();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagInstDocModified));
    QDomDocument saved;
    QString message;
    QVERIFY2(SharedXml::SetContent(saved, readFile(p.docPath()), &message), qPrintable(message));
    QCOMPARE(saved.documentElement().elementsByTagName("Chapter").count(), ChapterFile::MaxLevels + 1);
    QCOMPARE(saved.documentElement().attribute("MaxID"), QString::number(ChapterFile::MaxLevels + 1));
}

QTEST_MAIN(tst_instancedocument)
#include "tst_instancedocument.moc"
