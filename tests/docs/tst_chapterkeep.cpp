#include "chaptersupport.h"
#include "core/sharedxml.h"
#include "core/treeitemdata.h"
#include "docs/chapterfile.h"
#include "docs/delchapter.h"
#include "docs/modeldoc.h"
#include "domtext.h"
#include "shell/checktimer.h"
#include "shell/errormsg.h"
#include "shell/numeditor.h"

#include <QLabel>
#include <QtTest>

using namespace TestSupport;

namespace
{
const QByteArray kModel = "<Root_Model Name='M' Version='1.0.0' Email='me@x' MaxID='2'>"
                          "<LClass ID='1' Name='L'/></Root_Model>";

// The program with model "M" 1.0.0 of me@x and its model document opened from the files written.
struct Program : public DocProgram {
    QString dir() { return tmp.filePath("ws/pelmorine.def/M/1.0.0"); }
    QString docPath() { return dir() + QStringLiteral("/DocModel.xml"); }
    void open(const QByteArray &docXml)
    {
        writeFile(dir() + QStringLiteral("/model.xml"), kModel);
        writeFile(docPath(), docXml);
        QSignalSpy delivered(GetObj<CheckTimer>(RegSlot::ObjCheckTimer), &CheckTimer::Dispatched);
        GetObj<CheckTimer>(RegSlot::ObjCheckTimer)->PostMessage(MsgCode::OpenModel);
        QTRY_VERIFY_WITH_TIMEOUT(!delivered.isEmpty(), 120000);
    }
    ModelDoc *doc() { return GetObj<ModelDoc>(RegSlot::ObjModelDoc); }
    ChapterEditor *editor() override { return doc(); }
};
} // namespace

// The chapter editor's save rebuilds the chapters from its rows: what it does not know of them must
// ride with the rows and come back where it stood.
class tst_chapterkeep : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join('\n'))); }
    void save_oneTextEdited_unknownAttributesCommentsAndElementsKept();
    void save_chapterDeleted_unknownContentGoesWithItRootKeepsItsOrder();
    void createSub_pastTheDeepestLevel_refusedWithNothingChanged_data();
    void createSub_pastTheDeepestLevel_refusedWithNothingChanged();
    void save_treePastTheDeepestLevel_refusedAndFileKept();
};

void tst_chapterkeep::save_oneTextEdited_unknownAttributesCommentsAndElementsKept()
{
    Program p;
    p.open("<Root_ModelDoc User='u' Email='me@x' MaxID='3'>"
           "<Chapter No='1.' Name='A' MID='1' ID='0' Color='red'><!--about A--><Figure src='a.png'/>"
           "<Chapter No='1.1.' Name='B' MID='' ID='1' Lang='en'><Note>keep</Note></Chapter></Chapter>"
           "<Chapter No='2.' Name='C' MID='' ID='2'/></Root_ModelDoc>");
    p.select("1.1.");
    p.doc()->TextEditor()->insertPlainText("new");
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelDocModified));
    p.window->MenuSave();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelDocModified));
    QCOMPARE(readFile(p.dir() + "/Docmodel_1.txt"), QByteArray("new"));

    QDomDocument saved;
    const QDomElement root = readRoot(p.docPath(), &saved);
    QCOMPARE(xmlShape(root, "MID", "ID"), QStringLiteral("1./A/1/0(1.1./B//1) 2./C//2"));
    const QDomElement a = root.firstChildElement("Chapter");
    QCOMPARE(a.attribute("Color"), QStringLiteral("red"));
    QStringList kinds;
    for (QDomNode n = a.firstChild(); !n.isNull(); n = n.nextSibling())
        kinds << (n.isComment() ? QStringLiteral("#") + n.nodeValue() : n.toElement().tagName());
    QCOMPARE(kinds, (QStringList{"#about A", "Figure", "Chapter"}));
    QCOMPARE(a.firstChildElement("Figure").attribute("src"), QStringLiteral("a.png"));
    const QDomElement b = a.firstChildElement("Chapter");
    QCOMPARE(b.attribute("Lang"), QStringLiteral("en"));
    QCOMPARE(b.firstChildElement("Note").text(), QStringLiteral("keep"));
    QCOMPARE(root.lastChildElement("Chapter").attributes().count(), 4);
}

// The editor keeps the file's nodes as read from opening to every save: without them the root's
// own would come before its chapters and a deleted chapter's would stay.
void tst_chapterkeep::save_chapterDeleted_unknownContentGoesWithItRootKeepsItsOrder()
{
    Program p;
    const QString head =
        "<Root_ModelDoc User='u' Email='me@x' MaxID='5'><!--head--><Chapter No='1.' Name='A' "
        "MID='' ID='1'><Chapter No='1.1.' Name='B' MID='' ID='2'/><X-B/>";
    const QString c = "<Chapter No='1.2.' Name='C' MID='' ID='3'/><X-C/>";
    const QString tail =
        "</Chapter><X-A/><Chapter No='2.' Name='D' MID='' ID='4'/><!--tail--></Root_ModelDoc>";
    p.open((head + c + tail).toUtf8());
    p.select("1.2.");
    p.doc()->DeleteChapter();
    p.doc()->findChild<DelChapter *>()->findChild<QPushButton *>("OK")->click();
    QDomDocument want;
    QVERIFY(want.setContent(head + tail));
    for (int save = 0; save < 2; ++save) {
        p.doc()->SetModified();
        p.window->MenuSave();
        QVERIFY(!p.GetBoolVar(RegSlot::FlagModelDocModified));
        QDomDocument saved;
        QCOMPARE(domText(readRoot(p.docPath(), &saved)), domText(want.documentElement()));
    }
}

void tst_chapterkeep::createSub_pastTheDeepestLevel_refusedWithNothingChanged_data()
{
    QTest::addColumn<int>("levels"); // of the file opened
    QTest::addColumn<bool>("created");
    QTest::newRow("reaches the limit") << ChapterFile::MaxLevels - 1 << true;
    QTest::newRow("one past") << ChapterFile::MaxLevels << false;
}

// A sub-chapter one level too deep would make the file unreadable for every member: the dialog says
// so and keeps the title, and the chapter is still welcome beside its anchor.
void tst_chapterkeep::createSub_pastTheDeepestLevel_refusedWithNothingChanged()
{
    QFETCH(int, levels);
    QFETCH(bool, created);
    Program p;
    p.open(chainXml("Root_ModelDoc", "MID", levels));
    QCOMPARE(treeLevels(p.chapters()->invisibleRootItem()), levels);
    p.chapters()->setCurrentItem(p.deepest());
    // The deepest is the last of its siblings without sub-chapters: the third place is under it.
    ChapterDiag *dlg = p.create("sub", 2);
    if (!created) {
        QVERIFY(dlg->isVisible());
        const QString msg = dlg->findChild<QLabel *>("MSG")->text();
        QVERIFY2(msg.contains(QString::number(ChapterFile::MaxLevels)), qPrintable(msg));
        QCOMPARE(dlg->findChild<QLineEdit *>("TITLE")->text(), QStringLiteral("sub"));
        QCOMPARE(treeLevels(p.chapters()->invisibleRootItem()), levels);
        QCOMPARE(p.chapters()->currentItem(), p.deepest());
        QVERIFY(!p.GetBoolVar(RegSlot::FlagModelDocModified));
        dlg->findChild<QComboBox *>("CHAPTERBOX")->setCurrentIndex(1);
        dlg->findChild<QPushButton *>("OK")->click();
    }
    QVERIFY(!dlg->isVisible());
    QTreeWidgetItem *made = p.chapters()->currentItem();
    QCOMPARE(made->text(ChapterEditor::ColName), QStringLiteral("sub"));
    // The refusal gave out no ID.
    QCOMPARE(made->text(ChapterEditor::ColDocId), QStringLiteral("D%1").arg(levels));
    QCOMPARE(treeLevels(p.chapters()->invisibleRootItem()), ChapterFile::MaxLevels);
    p.window->MenuSave();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelDocModified));

    // Read as every member reads it: all there.
    QDomDocument saved;
    QString message;
    QVERIFY2(SharedXml::SetContent(saved, readFile(p.docPath()), &message), qPrintable(message));
    QCOMPARE(saved.documentElement().elementsByTagName("Chapter").count(), levels + 1);
    QList<ChapterFile::Chapter> chapters;
    ChapterFile::ReadNodes read;
    ChapterFile::Take(saved.documentElement(), ChapterFile::ModelDocument, &chapters, &read);
    QCOMPARE(ChapterFile::Levels(chapters, read), ChapterFile::MaxLevels);
}

// Should a chapter get past the editor, the save still writes no file the readers refuse: the file
// and the texts stay as they were, and the document stays changed, to be saved once it fits.
void tst_chapterkeep::save_treePastTheDeepestLevel_refusedAndFileKept()
{
    Program p;
    const QByteArray xml = chainXml("Root_ModelDoc", "MID", ChapterFile::MaxLevels);
    p.open(xml);
    QTreeWidgetItem *deepest = p.deepest();
    p.chapters()->setCurrentItem(deepest);
    p.doc()->TextEditor()->insertPlainText("typed");
    TreeItemData *record = p.doc()->NewChapterRecord(deepest->text(0) + "1.", "deeper");
    auto *item = new QTreeWidgetItem;
    item->setData(ChapterEditor::ColNo, Qt::UserRole, TreeItemData::ToData(record));
    record->SetItem(item);
    item->setText(ChapterEditor::ColNo, deepest->text(0) + "1.");
    deepest->addChild(item);
    const QString text = p.dir() + QStringLiteral("/Docmodel_%1.txt").arg(ChapterFile::MaxLevels - 1);

    p.window->MenuSave();
    QCOMPARE(readFile(p.docPath()), xml);
    QVERIFY(!QFile::exists(text));
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelDocModified));
    QVERIFY(p.GetBoolVar(RegSlot::FlagSaveNeeded));
    auto *errors = p.GetObj<ErrorMsg>(RegSlot::ObjErrorMsg);
    QVERIFY(errors && errors->isVisible());
    QVERIFY2(errors->Text().contains(p.docPath()), qPrintable(errors->Text()));
    QVERIFY2(errors->Text().contains(QString::number(ChapterFile::MaxLevels + 1)),
             qPrintable(errors->Text()));
    errors->close();

    deepest->removeChild(item);
    delete record;
    delete item;
    p.window->MenuSave();
    QVERIFY(!p.GetBoolVar(RegSlot::FlagModelDocModified));
    QCOMPARE(readFile(text), QByteArray("typed"));
    QDomDocument saved;
    QVERIFY(SharedXml::SetContent(saved, readFile(p.docPath())));
    QCOMPARE(saved.documentElement().elementsByTagName("Chapter").count(), ChapterFile::MaxLevels);
}

QTEST_MAIN(tst_chapterkeep)
#include "tst_chapterkeep.moc"
