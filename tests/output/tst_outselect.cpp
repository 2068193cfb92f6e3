#include "genprogram.h"
#include "members/manager.h"
#include "output/outmenudiag.h"

#include "core/uireport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <utility>

using namespace TestSupport;

namespace
{
// What a node holds, attributes in name order: two files that read the same give the same text.
QString canonical(const QDomNode &node)
{
    if (node.isComment())
        return QStringLiteral("<!--%1-->").arg(node.nodeValue());
    if (!node.isElement())
        return node.nodeValue();
    QStringList attributes;
    const QDomNamedNodeMap map = node.attributes();
    for (int i = 0; i < map.count(); ++i)
        attributes << map.item(i).nodeName() + QLatin1Char('=') + map.item(i).nodeValue();
    attributes.sort();
    QString text = QLatin1Char('<') + node.nodeName() + QLatin1Char(' ') + attributes.join(QLatin1Char(' ')) +
                   QLatin1Char('>');
    for (QDomNode n = node.firstChild(); !n.isNull(); n = n.nextSibling())
        text += canonical(n);
    return text + QStringLiteral("</>");
}

QString canonicalFile(const QByteArray &bytes)
{
    QDomDocument doc;
    doc.setContent(bytes);
    QString text;
    for (QDomNode n = doc.firstChild(); !n.isNull(); n = n.nextSibling())
        text += n.isProcessingInstruction() ? QString() : canonical(n);
    return text;
}

const QByteArray kDef =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- before -->\n<Root_DefOutput v=\"2\"><!-- lead -->"
    "<OutDir dir=\"\" k=\"1\"/><SELECT owner=\"-1\"/><Extra a=\"b\"><Inner/></Extra>"
    "<InstList FileID=\"1\" note=\"x\"><LModel ID=\"5\" User=\"1\" m=\"n\"><!-- about it -->"
    "<LInstance ID=\"I1-20\" i=\"j\"><Sub/></LInstance></LModel><Other/></InstList>"
    "<!-- after list --></Root_DefOutput>\n";
const QByteArray kRef = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root_RefOutput r=\"s\"><!-- lead -->"
                        "<OutDir dir=\"\"/><CHECK def=\"y\" ref=\"y\" c=\"d\"/><SELECT owner=\"-1\"/>"
                        "<EXTENSION ext=\"\"/><X/><FileList f=\"g\"><!-- files --></FileList><!-- end -->"
                        "</Root_RefOutput>\n";
// Every report, in order, where the fallback keeps only the last.
struct Reports final : UiReport {
    QStringList texts;
    Reports() { Install(this); }
    void ShowErrorMsg(const QString &, const QString &text) override { texts << text; }
    void SystemErrorBox(const QString &text) override { texts << text; }
    void FatalMessage(const QString &, const QString &text) override { texts << text; }
    bool AskSaveAnyway(const QStringList &paths) override
    {
        asked << paths;
        // What fires while the question is open.
        if (during)
            std::exchange(during, nullptr)();
        return anyway;
    }
    QList<QStringList> asked;
    bool anyway = false;
    std::function<void()> during;
};

// The golden definition and instances, member 1 the running user's own, ready for the dialog.
void prepare(GenProgram &p)
{
    p.openInstances();
    p.openCase(QStringLiteral("e1_plain_var"));
    p.SetIntVar(RegSlot::IntDocKind, 4);
    auto *row = new QTreeWidgetItem(p.GetObj<manager>(RegSlot::ObjManager)->GetTree());
    row->setData(0, Qt::UserRole, 1);
    row->setText(0, QStringLiteral("me"));
}

// The run's selection files of the definition and of the instance folder.
QString defFilePath(GenProgram &p)
{
    return p.dir() + QStringLiteral("/defoutput_1.xml");
}

QString refFilePath(GenProgram &p)
{
    return p.instanceDir() + QStringLiteral("/refoutput_1.xml");
}

QTreeWidgetItem *firstMember(OutMenuDiag &dialog)
{
    return dialog.findChild<QTreeWidget *>("DTREE")->topLevelItem(0)->child(0)->child(0);
}

// An edit of each page, so that the next save writes both selection files.
void changeBothSelections(OutMenuDiag &dialog)
{
    QTreeWidgetItem *member = firstMember(dialog);
    member->setCheckState(3, member->checkState(3) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    auto *extension = dialog.findChild<QLineEdit *>("EXTENSION");
    extension->setText(extension->text() + QStringLiteral("x"));
}
} // namespace

// The output run's selection files, as the run dialog writes them back.
class tst_outselect : public QObject
{
    Q_OBJECT
private slots:
    void save_unknownContentKeptWithItsItem_data();
    void save_unknownContentKeptWithItsItem();
    void save_damagedFile_keptAndRefused_data();
    void save_damagedFile_keptAndRefused();
    void save_nothingChanged_writesNothing_data();
    void save_nothingChanged_writesNothing();
    void save_madeInSessionThenChangedByAnother_askedOnceEditKept();
    void save_autoSaveDuringTheQuestion_waitsThenAsksOnItsOwn_data();
    void save_autoSaveDuringTheQuestion_waitsThenAsksOnItsOwn();
};

void tst_outselect::save_unknownContentKeptWithItsItem_data()
{
    QTest::addColumn<bool>("uncheck");
    QTest::newRow("nothing changed") << false;
    QTest::newRow("member unchecked") << true;
}

// Saving the selections with nothing changed dropped every comment, unknown attribute and element.
void tst_outselect::save_unknownContentKeptWithItsItem()
{
    QFETCH(bool, uncheck);
    GenProgram p;
    prepare(p);
    const QString def = defFilePath(p);
    const QString ref = refFilePath(p);
    writeFile(def, kDef);
    writeFile(ref, kRef);
    OutMenuDiag dialog;
    QVERIFY(dialog.InitOutMenu(true));
    QTreeWidgetItem *member = firstMember(dialog);
    QCOMPARE(member->checkState(3), Qt::Checked);
    if (uncheck)
        member->setCheckState(3, Qt::Unchecked);
    dialog.findChild<QPushButton *>("SAVE")->click();
    QCOMPARE(canonicalFile(readFile(ref)), canonicalFile(kRef));
    QByteArray expected = kDef;
    // The member's entry goes, with what followed it in the file.
    if (uncheck)
        expected.replace(expected.indexOf("<LModel"),
                         expected.indexOf("</InstList>") - expected.indexOf("<LModel"), "");
    QCOMPARE(canonicalFile(readFile(def)), canonicalFile(expected));
}

void tst_outselect::save_damagedFile_keptAndRefused_data()
{
    QTest::addColumn<QByteArray>("def");
    QTest::addColumn<QByteArray>("ref");
    QTest::newRow("truncated") << kDef.left(kDef.indexOf("<LInstance")) << kRef.left(kRef.size() / 2);
    QTest::newRow("wrong root") << QByteArray("<Root_RefOutput><OutDir dir=\"\"/></Root_RefOutput>")
                                << QByteArray("<Root_DefOutput><OutDir dir=\"\"/></Root_DefOutput>");
    QTest::newRow("not UTF-8") << QByteArray(kDef).replace("x\"", "\xe9\xff\"")
                               << QByteArray(kRef).replace("\"d\"", "\"\xe9t\xe9\"");
    QTest::newRow("refused encoding")
        << QByteArray(kDef).replace("UTF-8", "Shift_JIS") << QByteArray(kRef).replace("UTF-8", "EBCDIC-US");
}

// A selection file that did not parse was replaced by the dialog's defaults at the next save.
void tst_outselect::save_damagedFile_keptAndRefused()
{
    QFETCH(QByteArray, def);
    QFETCH(QByteArray, ref);
    GenProgram p;
    prepare(p);
    const QString defFile = defFilePath(p);
    const QString refFile = refFilePath(p);
    writeFile(defFile, def);
    writeFile(refFile, ref);
    Reports reports;
    OutMenuDiag dialog;
    QVERIFY(dialog.InitOutMenu(true));
    // Named when read, and the defaults are shown: the member's own rows checked.
    QCOMPARE(reports.texts.size(), 2);
    QVERIFY2(reports.texts.at(0).startsWith(refFile + " was not read"), qPrintable(reports.texts.at(0)));
    QVERIFY2(reports.texts.at(1).startsWith(defFile + " was not read"), qPrintable(reports.texts.at(1)));
    QCOMPARE(firstMember(dialog)->checkState(3), Qt::Checked);
    reports.texts.clear();
    firstMember(dialog)->setCheckState(3, Qt::Unchecked);
    auto *save = dialog.findChild<QPushButton *>("SAVE");
    save->click();
    QCOMPARE(readFile(defFile), def);
    QCOMPARE(readFile(refFile), ref);
    QCOMPARE(reports.texts, QStringList({refFile + " was not read: it is not written over",
                                         defFile + " was not read: it is not written over"}));
    QVERIFY(p.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(!dialog.findChild<QPushButton *>("RELOAD")->isEnabled());
    // Mended by its writer, the file is saved to again, and what it holds unknown stays.
    writeFile(refFile, kRef);
    reports.texts.clear();
    save->click();
    QCOMPARE(reports.texts, QStringList(defFile + " was not read: it is not written over"));
    QCOMPARE(readFile(defFile), def);
    const QString written = QString::fromUtf8(readFile(refFile));
    QVERIFY2(written.contains("c=\"d\"") && written.contains("<!-- end -->"), qPrintable(written));
}

void tst_outselect::save_nothingChanged_writesNothing_data()
{
    QTest::addColumn<bool>("definition");
    QTest::addColumn<QByteArray>("bytes");
    // Written by hand, as no save of this program writes: any write shows.
    QTest::newRow("output file gone")
        << true
        << QByteArray("<Root_DefOutput>\n <OutDir dir=''/> <SELECT owner='-1'/>\n <InstList FileID='99'>"
                      "<LModel ID='5' User='1'/></InstList>\n</Root_DefOutput>\n");
    QTest::newRow("instance gone") << true
                                   << QByteArray(
                                          "<Root_DefOutput><OutDir dir='/nowhere/out'/><InstList FileID='1'>"
                                          "<LModel ID='5' User='1'><LInstance ID='I1-999'/></LModel>"
                                          "</InstList></Root_DefOutput>");
    QTest::newRow("reference file gone")
        << false
        << QByteArray("<Root_RefOutput><OutDir dir=''/><CHECK def='y' ref='y'/><SELECT owner='-1'/>"
                      "<EXTENSION ext=''/><FileList><File fname='gone.txt' instID='1-9'/></FileList>"
                      "</Root_RefOutput>");
    QTest::newRow("extension and folder")
        << false
        << QByteArray("<Root_RefOutput><OutDir dir='relative/dir'/><CHECK def='n' ref='y'/>"
                      "<SELECT owner='77'/><EXTENSION ext='txt;pdf'/><FileList/></Root_RefOutput>");
}

// A save with nothing changed rewrote both files, dropping what the dialog did not show.
void tst_outselect::save_nothingChanged_writesNothing()
{
    QFETCH(bool, definition);
    QFETCH(QByteArray, bytes);
    GenProgram p;
    prepare(p);
    const QString path = definition ? defFilePath(p) : refFilePath(p);
    writeFile(path, bytes);
    OutMenuDiag dialog;
    QVERIFY(dialog.InitOutMenu(true));
    auto *save = dialog.findChild<QPushButton *>("SAVE");
    save->click();
    QCOMPARE(readFile(path), bytes);
    QVERIFY(!p.GetBoolVar(RegSlot::FlagWriteFailed));
    // A second save after a change writes, the one after it again nothing.
    QTreeWidgetItem *member = firstMember(dialog);
    member->setCheckState(3, member->checkState(3) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    dialog.findChild<QLineEdit *>("EXTENSION")->setText(QStringLiteral("doc"));
    save->click();
    const QByteArray changed = readFile(path);
    QVERIFY(changed != bytes);
    writeFile(path, changed + "<!-- not ours -->");
    save->click();
    QCOMPARE(readFile(path), changed + "<!-- not ours -->");
}

// Both files were missing when the dialog opened: made by its first save, they are another
// program's once it changed them, and the next save asks once for both before writing over them.
void tst_outselect::save_madeInSessionThenChangedByAnother_askedOnceEditKept()
{
    GenProgram p;
    prepare(p);
    const QString defFile = defFilePath(p);
    const QString refFile = refFilePath(p);
    QVERIFY(!QFile::exists(defFile) && !QFile::exists(refFile));
    Reports reports;
    OutMenuDiag dialog;
    QVERIFY(dialog.InitOutMenu(true));
    auto *save = dialog.findChild<QPushButton *>("SAVE");
    changeBothSelections(dialog);
    save->click();
    QVERIFY(QFile::exists(defFile) && QFile::exists(refFile));
    const QByteArray def = readFile(defFile) + "<!-- theirs -->";
    const QByteArray ref = readFile(refFile) + "<!-- theirs -->";
    writeFile(defFile, def);
    writeFile(refFile, ref);
    changeBothSelections(dialog);
    save->click();
    QCOMPARE(reports.asked.size(), 1);
    QCOMPARE(QSet<QString>(reports.asked.first().cbegin(), reports.asked.first().cend()),
             QSet<QString>({defFile, refFile}));
    QCOMPARE(readFile(defFile), def);
    QCOMPARE(readFile(refFile), ref);
    QVERIFY(p.GetBoolVar(RegSlot::FlagWriteFailed));
    QVERIFY(reports.texts.isEmpty());
    reports.anyway = true;
    save->click();
    QCOMPARE(reports.asked.size(), 2);
    QVERIFY(!readFile(defFile).contains("theirs"));
    QVERIFY(!readFile(refFile).contains("theirs"));
}

void tst_outselect::save_autoSaveDuringTheQuestion_waitsThenAsksOnItsOwn_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("anyway");
    QTest::newRow("one tick, keep editing") << 1 << false;
    QTest::newRow("two ticks, model changed again between, save anyway") << 2 << true;
}

// The auto-save fired inside the run dialog's question used to run a whole save there: its refusal of
// model.xml joined that question unnamed, and "save anyway" to the selection files wrote model.xml
// over another program's change. It waits for the dialog's save, then asks about model.xml itself.
void tst_outselect::save_autoSaveDuringTheQuestion_waitsThenAsksOnItsOwn()
{
    QFETCH(int, ticks);
    QFETCH(bool, anyway);
    GenProgram p;
    prepare(p);
    const QString defFile = defFilePath(p);
    const QString refFile = refFilePath(p);
    const QString model = p.modelDir() + QStringLiteral("/model.xml");
    QVERIFY(p.GetObj<xmlclass>(RegSlot::ObjXmlStore)->DocFileName(XmlIndex::Model) == model);
    Reports reports;
    OutMenuDiag dialog;
    QVERIFY(dialog.InitOutMenu(true));
    auto *save = dialog.findChild<QPushButton *>("SAVE");
    changeBothSelections(dialog);
    save->click();
    for (const QString &file : {defFile, refFile})
        writeFile(file, readFile(file) + "<!-- theirs -->");
    changeBothSelections(dialog);
    // An unsaved model edit; another program changes model.xml.
    p.SetBoolVar(RegSlot::FlagSaveNeeded, true);
    p.SetBoolVar(RegSlot::FlagModelModified, true);
    QByteArray theirs = readFile(model) + "<!-- theirs -->";
    writeFile(model, theirs);
    auto *timer = p.GetObj<CheckTimer>(RegSlot::ObjCheckTimer);
    reports.anyway = anyway;
    reports.during = [&] {
        for (int tick = 1; tick <= ticks; ++tick) {
            if (tick > 1)
                writeFile(model, theirs += "<!-- again -->");
            timer->AutoSaveTimeoutEvent();
        }
        QCOMPARE(readFile(model), theirs);
        reports.during = [&] { reports.anyway = false; };
    };
    save->click();
    QCOMPARE(reports.asked.first().count(model), 0);
    QCOMPARE(readFile(model), theirs);
    // The auto-save waits for the dialog's save; its wait's next tick, once that save has ended,
    // runs it, and it names model.xml in its own question.
    QVERIFY(timer->IsSaveDeferred());
    timer->SaveWaitTimeoutEvent();
    QCOMPARE(reports.asked.size(), 2);
    QCOMPARE(reports.asked.last(), QStringList{model});
    QCOMPARE(readFile(model), theirs);
    QVERIFY(p.GetBoolVar(RegSlot::FlagModelModified));
    QCOMPARE(p.window->StatusText(),
             QStringLiteral("not saved: changed by another program, your edit is kept"));
    QCOMPARE(readFile(defFile).contains("theirs"), !anyway);
}

QTEST_MAIN(tst_outselect)
#include "tst_outselect.moc"
