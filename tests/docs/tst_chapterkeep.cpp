#include "chaptersupport.h"
#include "docs/modeldoc.h"
#include "shell/checktimer.h"
#include "shell/numeditor.h"

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
        QTRY_VERIFY(!delivered.isEmpty());
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

QTEST_MAIN(tst_chapterkeep)
#include "tst_chapterkeep.moc"
