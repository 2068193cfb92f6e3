#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "docs/chapterdiag.h"
#include "docs/delchapter.h"
#include "docs/modeldoc.h"
#include "model/model.h"
#include "shell/checktimer.h"
#include "shell/errormsg.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "testsupport_widgets.h"

#include <QAction>
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
    "<Root_Model Name='M' Version='0.0.1' Email='me@x' MaxID='4'><LClass ID='1' Name='L'>"
    "<SClass ID='2' Name='S'><PARAM><P ID='3' Name='p' Row='1' Col='1'/></PARAM></SClass>"
    "</LClass></Root_Model>";

QDomDocument readXml(const QString &path)
{
    QDomDocument doc;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        doc.setContent(&f);
    return doc;
}

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

// The program with model "M" 0.0.1 of me@x opened from the files written first.
struct Program : public RegistryScope {
    QTemporaryDir tmp;
    MainWindow *window = new MainWindow;
    Program()
    {
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
        SetStrVar(RegSlot::StrWorkspaceDir, tmp.path() + QStringLiteral("/w.ws"));
        SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
        SetStrVar(RegSlot::StrModelVersion, QStringLiteral("0.0.1"));
        SetStrVar(RegSlot::StrUserEmail, QStringLiteral("me@x"));
    }
    ~Program() { delete window; }
    QString dir() { return tmp.path() + QStringLiteral("/w.ws/pelmorine.def/M/0.0.1"); }
    QString docPath() { return dir() + QStringLiteral("/DocModel.xml"); }
    void open(const QByteArray &docXml, const QByteArray &modelXml = kModel)
    {
        writeFile(dir() + QStringLiteral("/model.xml"), modelXml);
        writeFile(docPath(), docXml);
        QSignalSpy delivered(GetObj<CheckTimer>(RegSlot::ObjCheckTimer), &CheckTimer::Dispatched);
        GetObj<CheckTimer>(RegSlot::ObjCheckTimer)->PostMessage(MsgCode::OpenModel);
        QTRY_VERIFY(!delivered.isEmpty());
    }
    ModelDoc *doc() { return GetObj<ModelDoc>(RegSlot::ObjModelDoc); }
    QTreeWidget *chapters() { return doc()->ChapterTree(); }
    QTreeWidget *classes() { return doc()->ClassTree(); }
    QTreeWidgetItem *chapter(const QString &no)
    {
        const auto found = chapters()->findItems(no, Qt::MatchExactly | Qt::MatchRecursive, 0);
        return found.isEmpty() ? nullptr : found.first();
    }
    void select(const QString &no) { chapters()->setCurrentItem(chapter(no)); }
    TreeItemData *record(const QString &no) { return ModelDoc::RecordOf(chapter(no)); }
    void save()
    {
        doc()->SetModified();
        window->MenuSave();
    }
    bool action(const char *name) { return window->findChild<QAction *>(QLatin1String(name))->isEnabled(); }
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
    void editRights_notOwnerOrInstanceOpen_noAction();
    void tieAndUntie_savedAndAsked();
    void handOver_nextSaveWritesNewOwner();
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
    QCOMPARE(p.chapter("3.")->text(3), QStringLiteral("M1"));
    QCOMPARE(p.chapter("3.")->foreground(3).color(), QColor(Qt::black));
    // A model element that is gone keeps its ID, shown red.
    QCOMPARE(p.chapter("7.7.7.")->text(3), QStringLiteral("M99"));
    QCOMPARE(p.chapter("7.7.7.")->foreground(3).color(), QColor(Qt::red));
    QCOMPARE(p.chapter("1.1.")->text(3), QStringLiteral("UnSet"));
    QCOMPARE(p.chapter("1.1.")->text(2), QStringLiteral("D1"));
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

    QDomElement root = readXml(p.docPath()).documentElement();
    QCOMPARE(root.attribute("MaxID"), QStringLiteral("5"));
    QCOMPARE(root.attribute("User"), QStringLiteral("u"));
    const QDomElement a = root.firstChildElement("Chapter");
    const QDomElement c = a.firstChildElement("Chapter").firstChildElement("Chapter");
    QCOMPARE(a.attribute("No") + a.attribute("MID") + a.attribute("ID"), QStringLiteral("3.10"));
    QCOMPARE(c.attribute("No") + c.attribute("Name") + c.attribute("MID"), QStringLiteral("7.7.7.C99"));
    QCOMPARE(a.nextSiblingElement("Chapter").attribute("Name"), QStringLiteral("D"));
    QCOMPARE(root.elementsByTagName("Chapter").count(), 4);

    // Nothing changed since: a second save writes no chapter text.
    QFile::remove(p.dir() + "/Docmodel_4.txt");
    p.save();
    QVERIFY(!QFile::exists(p.dir() + "/Docmodel_4.txt"));
    QCOMPARE(readXml(p.docPath()).documentElement().elementsByTagName("Chapter").count(), 4);
}

void tst_modeldoc::createFirst_withoutMaxId_takesIdZero()
{
    Program p;
    p.open("<Root_ModelDoc/>");
    QVERIFY(p.doc()->IsEditable());
    QVERIFY(p.action("actionAdd_Chapter") || (p.doc()->RefreshChapterMenu(), p.action("actionAdd_Chapter")));
    QVERIFY(!p.action("actionDel_Chapter"));
    p.doc()->CreateChapter();
    auto *dlg = p.doc()->findChild<ChapterDiag *>();
    QVERIFY(dlg->isVisible());
    auto *box = dlg->findChild<QComboBox *>("CHAPTERBOX");
    QCOMPARE(box->count(), 1);
    QCOMPARE(box->itemText(0), QStringLiteral("1."));
    dlg->findChild<QPushButton *>("OK")->click();
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
    QVERIFY(!p.doc()->TextEditor()->isReadOnly());
    p.doc()->TextEditor()->insertPlainText("text");
    p.window->MenuSave();
    QCOMPARE(readFile(p.dir() + "/Docmodel_0.txt"), QByteArray("text"));
    const QDomElement root = readXml(p.docPath()).documentElement();
    QCOMPARE(root.attribute("MaxID"), QStringLiteral("1"));
    QCOMPARE(root.firstChildElement("Chapter").attribute("ID"), QStringLiteral("0"));
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
    const QByteArray threeWithSub = c("1.", "a") + c("2.", "b", c("2.1.", "c")) + c("3.", "d");
    QTest::newRow("insert before a middle chapter") << threeWithSub << "2."
                                                    << "create 0"
                                                    << "2. 2.2. *0"
                                                    << "1.a 2.N 3.b(3.1.c) 4.d";
    QTest::newRow("sub-chapter of a middle chapter") << threeWithSub << "2."
                                                     << "create 1"
                                                     << "2. 2.2. *0"
                                                     << "1.a 2.b(2.1.c 2.2.N) 3.d";
    QTest::newRow("after the last") << c("1.", "a") + c("2.", "b") << "2."
                                    << "create 1"
                                    << "2. 3. 2.1. *1"
                                    << "1.a 2.b 3.N";
    QTest::newRow("insert among sub-chapters")
        << c("2.", "b", c("2.1.", "c") + c("2.2.", "d", c("2.2.1.", "e"))) << "2.2."
        << "create 0"
        << "2.2. 2.3. 2.2.2. *1"
        << "2.b(2.1.c 2.2.N 2.3.d(2.3.1.e))";
    QTest::newRow("delete a middle chapter")
        << c("1.", "a") + c("2.", "b") + c("3.", "c", c("3.1.", "d")) << "2."
        << "delete"
        << ""
        << "1.a 2.c(2.1.d)";
    QTest::newRow("delete a sub-chapter")
        << c("2.", "b", c("2.1.", "c") + c("2.2.", "d", c("2.2.4.", "e"))) << "2.1."
        << "delete"
        << ""
        << "2.b(2.1.d(2.1.4.e))";
    QTest::newRow("move the second up") << c("1.", "a", c("1.1.", "x")) + c("2.", "b", c("2.1.", "c")) << "2."
                                        << "up"
                                        << ""
                                        << "1.b(1.1.c) 2.a(2.1.x)";
    QTest::newRow("move the first up") << c("1.", "a") + c("2.", "b") << "1."
                                       << "up"
                                       << ""
                                       << "1.a 2.b";
    QTest::newRow("move the last down") << c("1.", "a") + c("2.", "b") << "2."
                                        << "down"
                                        << ""
                                        << "1.a 2.b";
    QTest::newRow("move a sub-chapter down")
        << c("1.", "a", c("1.1.", "x") + c("1.2.", "y", c("1.2.1.", "z"))) << "1.1."
        << "down"
        << ""
        << "1.a(1.1.y(1.1.1.z) 1.2.x)";
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
        auto *dlg = p.doc()->findChild<ChapterDiag *>();
        auto *box = dlg->findChild<QComboBox *>("CHAPTERBOX");
        QStringList offered;
        for (int i = 0; i < box->count(); ++i)
            offered << box->itemText(i);
        offered << "*" + QString::number(box->currentIndex());
        QCOMPARE(offered.join(' '), choices);
        const QString notice = dlg->findChild<QLabel *>("MSG")->text();
        QCOMPARE(notice.isEmpty(), box->currentIndex() != 0);
        box->setCurrentIndex(action.back().digitValue());
        dlg->findChild<QLineEdit *>("TITLE")->setText("N");
        dlg->findChild<QPushButton *>("OK")->click();
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
    QDomElement root = readXml(p.docPath()).documentElement();
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
}

void tst_modeldoc::damagedFile_keptReadOnlyAndNeverWritten()
{
    QFETCH(QByteArray, bytes);
    Program p;
    QString title;
    if (bytes.startsWith("<?xml"))
        answerNextBox("OK", &title);
    p.open(bytes);
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
    p.doc()->CreateChapter();
    auto *dlg = p.doc()->findChild<ChapterDiag *>();
    dlg->findChild<QLineEdit *>("TITLE")->setText("new");
    dlg->findChild<QPushButton *>("OK")->click();
    QCOMPARE(p.chapter("3.")->text(2), QStringLiteral("D5"));
    p.select("1.");
    p.doc()->TextEditor()->insertPlainText("ignored");
    p.save();
    const QDomElement root = readXml(p.docPath()).documentElement();
    QCOMPARE(root.attribute("MaxID"), QStringLiteral("6"));
    QCOMPARE(root.firstChildElement("Chapter").attribute("ID"), QStringLiteral("../../x"));
    QCOMPARE(QDir(p.dir()).entryList({"Docmodel_*"}), QStringList());
    QVERIFY(!QFile::exists(p.tmp.path() + "/w.ws/pelmorine.def/x.txt"));
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
        for (const char *a : {"actionAdd_Chapter", "actionDel_Chapter", "actionSet_Chapter",
                              "actionUnset_Chapter", "actionMove_Up", "actionMove_Down"})
            QVERIFY2(!p.action(a), a);
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
    QCOMPARE(readXml(p.docPath()).documentElement().lastChildElement("Chapter").attribute("MID"),
             QStringLiteral("2"));

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
    QCOMPARE(readXml(p.docPath()).documentElement().lastChildElement("Chapter").attribute("MID"), QString());
}

void tst_modeldoc::handOver_nextSaveWritesNewOwner()
{
    Program p;
    p.open(
        "<Root_ModelDoc User='me' Email='me@x' MaxID='1'><Chapter No='1.' Name='a' ID='0'/></Root_ModelDoc>");
    p.doc()->TransferUser("Bob", "bob@x");
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelDocModified));
    p.save();
    const QDomElement root = readXml(p.docPath()).documentElement();
    QCOMPARE(root.attribute("User") + root.attribute("Email"), QStringLiteral("Bobbob@x"));
    QCOMPARE(root.firstChildElement("Chapter").attribute("Name"), QStringLiteral("a"));
}

QTEST_MAIN(tst_modeldoc)
#include "tst_modeldoc.moc"
