#include "genprogram.h"
#include "members/manager.h"
#include "output/outmenudiag.h"

#include <QPushButton>
#include <QtTest>

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
} // namespace

// The output run's selection files, as the run dialog writes them back.
class tst_outselect : public QObject
{
    Q_OBJECT
private slots:
    void save_unknownContentKeptWithItsItem_data();
    void save_unknownContentKeptWithItsItem();
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
    p.openInstances();
    p.openCase(QStringLiteral("e1_plain_var"));
    p.SetIntVar(RegSlot::IntDocKind, 4);
    auto *row = new QTreeWidgetItem(p.GetObj<manager>(RegSlot::ObjManager)->GetTree());
    row->setData(0, Qt::UserRole, 1);
    row->setText(0, QStringLiteral("me"));
    const QString def = p.dir() + QStringLiteral("/defoutput_1.xml");
    const QString ref = p.instanceDir() + QStringLiteral("/refoutput_1.xml");
    writeFile(def, kDef);
    writeFile(ref, kRef);
    OutMenuDiag dialog;
    QVERIFY(dialog.InitOutMenu(true));
    QTreeWidgetItem *member = dialog.findChild<QTreeWidget *>("DTREE")->topLevelItem(0)->child(0)->child(0);
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

QTEST_MAIN(tst_outselect)
#include "tst_outselect.moc"
