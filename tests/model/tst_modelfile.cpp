#include "core/treeitemdata.h"
#include "docs/referencefiles.h"
#include "domtext.h"
#include "model/elementlayout.h"
#include "model/modelfile.h"

#include <QtTest>

using ModelFile::Node;
using TestSupport::domText;

namespace
{
QDomDocument parse(const QString &xml)
{
    QDomDocument doc;
    doc.setContent(xml);
    return doc;
}

QStringList childTags(const QDomElement &e)
{
    QStringList tags;
    for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
        tags << c.tagName() + QLatin1Char(':') + c.attribute(QStringLiteral("ID"));
    return tags;
}

// The child nodes of e: elements as tag and ID, comments as written.
QStringList childNodes(const QDomElement &e)
{
    QStringList nodes;
    for (QDomNode n = e.firstChild(); !n.isNull(); n = n.nextSibling())
        nodes << (n.isComment() ? "<!--" + n.nodeValue() + "-->"
                                : n.toElement().tagName() + QLatin1Char(':') + n.toElement().attribute("ID"));
    return nodes;
}

// The rows among which the row of that ID stands, and its place; null when there is none.
QList<Node> *siblingsOf(QList<Node> *nodes, const QString &id, int *at)
{
    for (int i = 0; i < nodes->size(); ++i) {
        if ((*nodes)[i].record->GetAttr("ID") == id) {
            *at = i;
            return nodes;
        }
        if (QList<Node> *found = siblingsOf(&(*nodes)[i].children, id, at))
            return found;
    }
    return nullptr;
}

// Edits the tree as the editors do: "drop ID", "swap ID ID" (two siblings), "add ID after ID".
void edit(QList<Node> *tree, const QString &command)
{
    const QStringList words = command.split(' ', Qt::SkipEmptyParts);
    for (int w = 0; w < words.size(); w += words.at(w) == "drop" ? 2 : words.at(w) == "swap" ? 3 : 4) {
        int at = -1;
        int other = -1;
        QList<Node> *rows = siblingsOf(tree, words.at(w + (words.at(w) == "add" ? 3 : 1)), &at);
        QVERIFY(rows);
        if (words.at(w) == "drop") {
            ModelFile::DeleteRecords({rows->takeAt(at)});
        } else if (words.at(w) == "swap") {
            QCOMPARE(siblingsOf(tree, words.at(w + 2), &other), rows);
            rows->swapItemsAt(at, other);
        } else {
            auto *record = new TreeItemData;
            record->SetAttr("ID", words.at(w + 1));
            rows->insert(at + 1, Node{record, {}});
        }
    }
}

// Takes the tree out of the document, puts it back, and returns the document as another
// member's program would read the written file.
QDomDocument roundTrip(QDomDocument doc, QList<Node> *tree, QList<QDomElement> *kept, int *next = nullptr)
{
    QDomElement root = doc.documentElement();
    const int n = ModelFile::TakeTree(root, tree, kept);
    if (next)
        *next = n;
    const QList<QDomNode> appended = ModelFile::AppendTree(root, *tree, *kept);
    QDomDocument written = parse(doc.toString(4));
    ModelFile::RemoveElements(appended);
    return written;
}

// The text a save of the tree and the root's layout writes; the document is left as it was.
QString savedText(QDomDocument doc, const QList<Node> &tree, const QList<QDomElement> &kept)
{
    const QList<QDomNode> appended = ModelFile::AppendTree(doc.documentElement(), tree, kept);
    const QString text = doc.toString(4);
    ModelFile::RemoveElements(appended);
    return text;
}
} // namespace

class tst_modelfile : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_keepsAttributesLinksAndOrder();
    void roundTrip_refusedElementsWrittenBackAsTheyWere();
    void roundTrip_unknownNodesKeptInPlace_noLinkInvented_data();
    void roundTrip_unknownNodesKeptInPlace_noLinkInvented();
    void roundTrip_editedTree_unknownNodesStay();
    void edit_unknownNodesFollowTheirRow_data();
    void edit_unknownNodesFollowTheirRow();
    void edit_refusedNeighbourRemovedOrMoved_refusedStaysWhole_data();
    void edit_refusedNeighbourRemovedOrMoved_refusedStaysWhole();
    void editedLink_keepsWhatItHeld_removedLinkTakesWhatFollowed();
    void takeTree_nextId_data();
    void takeTree_nextId();
    void takeTree_idsOfRefusedElementsCounted();
    void links_onlyTitleAndAddressPairsWritten();
    void checkNewClass_data();
    void checkNewClass();
};

void tst_modelfile::roundTrip_keepsAttributesLinksAndOrder()
{
    const QDomDocument doc = parse(QStringLiteral(
        "<Root_Model Name='M' MaxID='9'>"
        "<LClass ID='1' Name='L1' Element='@A' Odd='kept'><REFERENCE><REF TITLE='t' "
        "URL='http://u'/></REFERENCE>"
        "<SClass ID='2' Name='S1' Param_type='1' Extra='x'><REFERENCE/>"
        "<PARAM><P ID='3' Row='1' Col='1' Name='p'/><P ID='4' Row='N' Col='2'/></PARAM></SClass>"
        "<SClass ID='5' Name='S2'><REFERENCE/><PARAM/></SClass></LClass>"
        "<LClass ID='6' Name='L2'><REFERENCE/></LClass></Root_Model>"));
    QList<Node> tree;
    QList<QDomElement> kept;
    QDomDocument loaded = doc.cloneNode().toDocument();
    QCOMPARE(ModelFile::TakeTree(loaded.documentElement(), &tree, &kept), 9);
    // After loading the document holds only its root.
    QVERIFY(loaded.documentElement().firstChildElement().isNull());
    QVERIFY(kept.isEmpty());
    QCOMPARE(tree.size(), 2);
    QCOMPARE(tree.at(0).record->GetAttr("Odd"), QStringLiteral("kept"));
    QCOMPARE(tree.at(0).record->links, QStringList({"t[$$]http://u"}));
    QCOMPARE(tree.at(0).children.at(0).children.size(), 2);
    ModelFile::DeleteRecords(tree);
    tree.clear();

    const QDomDocument written = roundTrip(doc.cloneNode().toDocument(), &tree, &kept);
    const QDomElement l1 = written.documentElement().firstChildElement();
    QCOMPARE(childTags(written.documentElement()), QStringList({"LClass:1", "LClass:6"}));
    QCOMPARE(childTags(l1), QStringList({"REFERENCE:", "SClass:2", "SClass:5"}));
    QCOMPARE(l1.attribute("Odd"), QStringLiteral("kept"));
    QCOMPARE(l1.attribute("Element"), QStringLiteral("@A"));
    QCOMPARE(l1.firstChildElement("REFERENCE").firstChildElement("REF").attribute("URL"),
             QStringLiteral("http://u"));
    const QDomElement s1 = l1.firstChildElement("SClass");
    QCOMPARE(s1.attribute("Extra"), QStringLiteral("x"));
    QCOMPARE(childTags(s1), QStringList({"REFERENCE:", "PARAM:"}));
    QCOMPARE(childTags(s1.firstChildElement("PARAM")), QStringList({"P:3", "P:4"}));
    QCOMPARE(s1.firstChildElement("PARAM").firstChildElement("P").firstChildElement(), QDomElement());
    ModelFile::DeleteRecords(tree);
}

// What this program refuses (a bad or repeated ID, an unknown tag) belongs to another member's
// program: never shown, never lost, and each stays where it was among the rebuilt elements.
void tst_modelfile::roundTrip_refusedElementsWrittenBackAsTheyWere()
{
    QDomDocument doc =
        parse(QStringLiteral("<Root_Model MaxID='3'>"
                             "<LClass ID='../x' Name='bad'><SClass ID='1'/></LClass>"
                             "<LClass ID='1' Name='L'><REFERENCE/><SClass ID='2x' Name='bad'/><Note ID='7'/>"
                             "<SClass ID='2' Name='S'><PARAM><P ID='1' Name='dup'/><P ID='3' "
                             "Name='ok'/><Q/></PARAM></SClass></LClass>"
                             "<Other/></Root_Model>"));
    QList<Node> tree;
    QList<QDomElement> kept;
    int next = 0;
    QDomElement root = doc.documentElement();
    const QDomDocument written = roundTrip(doc, &tree, &kept, &next);
    QCOMPARE(tree.size(), 1);
    QCOMPARE(tree.at(0).children.size(), 1);
    QCOMPARE(tree.at(0).children.at(0).children.size(), 1);
    // The kept <Note ID='7'/> may name files too: the counter passes it.
    QCOMPARE(next, 8);
    // Between saves the refused root children wait in the layout, not in the document.
    QVERIFY(!root.hasChildNodes());

    const QDomElement wroot = written.documentElement();
    QCOMPARE(childTags(wroot), QStringList({"LClass:../x", "LClass:1", "Other:"}));
    QCOMPARE(childTags(wroot.firstChildElement()), QStringList({"SClass:1"}));
    const QDomElement l = wroot.lastChildElement("LClass");
    QCOMPARE(childTags(l), QStringList({"REFERENCE:", "SClass:2x", "Note:7", "SClass:2"}));
    QCOMPARE(childTags(l.lastChildElement("SClass").firstChildElement("PARAM")),
             QStringList({"P:1", "P:3", "Q:"}));

    // A second save writes the kept elements once again, not twice.
    const QList<QDomNode> appended = ModelFile::AppendTree(root, tree, kept);
    QCOMPARE(childTags(root), QStringList({"LClass:../x", "LClass:1", "Other:"}));
    QCOMPARE(childTags(root.lastChildElement("LClass")),
             QStringList({"REFERENCE:", "SClass:2x", "Note:7", "SClass:2"}));
    ModelFile::RemoveElements(appended);
    QVERIFY(!root.hasChildNodes());
    ModelFile::DeleteRecords(tree);
}

void tst_modelfile::roundTrip_unknownNodesKeptInPlace_noLinkInvented_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addRow("element in REFERENCE")
        << "<LClass ID='1'><REFERENCE><LINK href='h'/></REFERENCE></LClass>";
    QTest::addRow("attribute on REF") << "<LClass ID='1'><REFERENCE><REF TITLE='t' URL='u' Lang='en'/><REF "
                                         "TITLE='a' URL='b'/></REFERENCE></LClass>";
    QTest::addRow("REFERENCE attribute and comment")
        << "<LClass ID='1'><REFERENCE Kind='k'><!--links--><REF TITLE='t' URL='u'/></REFERENCE></LClass>";
    QTest::addRow("child element and comment in P")
        << "<LClass ID='1'><REFERENCE/><SClass ID='2'><REFERENCE/><PARAM><P ID='3' Name='p'><Unit v='kg'/>"
           "<!--note--></P><P ID='4'>text</P></PARAM></SClass></LClass>";
    QTest::addRow("PARAM attribute and comments among rows")
        << "<LClass ID='1'><REFERENCE/><SClass ID='2'><PARAM Kind='k'><!--a--><P ID='3'/><!--b--><Q/><P "
           "ID='4'/></PARAM>"
           "<REFERENCE><REF TITLE='t' URL='u'/><!--c--></REFERENCE></SClass></LClass>";
    QTest::addRow("comments and unknown elements in classes")
        << "<LClass ID='1'><!--first--><X/><REFERENCE/><SClass ID='2'><!--s--><REFERENCE/><PARAM/><Y z='1'/>"
           "</SClass><!--between--><SClass ID='5'><REFERENCE/><PARAM/></SClass><!--last--></LClass>";
    QTest::addRow("separator inside a link") << "<LClass ID='1'><REFERENCE><REF TITLE='a[$$]b' URL='u'/><REF "
                                                "TITLE='t' URL='[$$]'/></REFERENCE></LClass>";
    QTest::addRow("root: comment, unknown element and text between large classes")
        << "<LClass ID='1'><REFERENCE/></LClass><!--about 1--><X a='1'><Y/></X>loose<LClass "
           "ID='2'><REFERENCE/>"
           "</LClass><!--last-->";
    QTest::addRow("root: refused large classes among the others")
        << "<LClass ID='../x'><SClass ID='3'/></LClass><LClass ID='1'><REFERENCE/></LClass><LClass ID='1' "
           "Name='again'/><LClass ID='2'><REFERENCE/></LClass>";
    QTest::addRow("second REFERENCE kept as it was")
        << "<LClass ID='1'><REFERENCE><REF TITLE='t' URL='u'/></REFERENCE><REFERENCE><REF TITLE='x' URL='y'/>"
           "</REFERENCE></LClass>";
}

// A save with nothing edited writes back the file as it was read, whatever it holds.
void tst_modelfile::roundTrip_unknownNodesKeptInPlace_noLinkInvented()
{
    QFETCH(QString, xml);
    const QDomDocument doc = parse("<Root_Model MaxID='9'><!--root-->" + xml + "</Root_Model>");
    QList<Node> tree;
    QList<QDomElement> kept;
    QDomDocument loaded = doc.cloneNode().toDocument();
    const QDomDocument written = roundTrip(loaded, &tree, &kept);
    QCOMPARE(domText(written.documentElement()), domText(doc.documentElement()));
    // Every save writes the bytes of the file as read, and so does the file read back.
    QCOMPARE(savedText(loaded, tree, kept), doc.toString(4));
    QCOMPARE(savedText(loaded, tree, kept), doc.toString(4));
    QList<Node> reread;
    QList<QDomElement> rereadKept;
    ModelFile::TakeTree(written.documentElement(), &reread, &rereadKept);
    QCOMPARE(savedText(written, reread, rereadKept), doc.toString(4));
    ModelFile::DeleteRecords(reread);
    ModelFile::DeleteRecords(tree);
}

// The rows fill the places of the rows as read, in order, the added ones after the last; what is
// not understood stays with the row it followed and goes with it.
void tst_modelfile::roundTrip_editedTree_unknownNodesStay()
{
    QDomDocument doc = parse(QStringLiteral(
        "<Root_Model MaxID='9'><LClass ID='1'><REFERENCE><LINK href='h'/><REF TITLE='t' URL='u' Lang='en'/>"
        "</REFERENCE><SClass ID='2'><PARAM><P ID='3'><Unit/></P><!--p--><P ID='4'/></PARAM></SClass>"
        "<!--s--></LClass></Root_Model>"));
    QList<Node> tree;
    QList<QDomElement> kept;
    QDomElement root = doc.documentElement();
    ModelFile::TakeTree(root, &tree, &kept);
    QCOMPARE(tree.at(0).record->links, QStringList{"t[$$]u"});
    tree[0].record->links.append("n[$$]v");
    Node &sclass = tree[0].children[0];
    ModelFile::DeleteRecords({sclass.children.takeFirst()}); // P 3 with its unit goes
    auto *added = new TreeItemData;
    added->SetAttr("ID", "7");
    sclass.children.append(Node{added, {}});
    auto *addedClass = new TreeItemData;
    addedClass->SetAttr("ID", "8");
    tree[0].children.append(Node{addedClass, {}});
    const QList<QDomNode> appended = ModelFile::AppendTree(root, tree, kept);
    const QDomElement l = root.firstChildElement();
    QCOMPARE(domText(l.firstChildElement("REFERENCE")),
             QStringLiteral("<REFERENCE><LINK href=\"h\"></LINK><REF Lang=\"en\" TITLE=\"t\" URL=\"u\"></REF>"
                            "<REF TITLE=\"n\" URL=\"v\"></REF></REFERENCE>"));
    QCOMPARE(domText(l.firstChildElement("SClass").firstChildElement("PARAM")),
             QStringLiteral("<PARAM><P ID=\"4\"></P><P ID=\"7\"></P></PARAM>"));
    QCOMPARE(childTags(l), QStringList({"REFERENCE:", "SClass:2", "SClass:8"}));
    QCOMPARE(l.firstChildElement("SClass").nextSibling().nodeValue(), QStringLiteral("s"));
    ModelFile::RemoveElements(appended);
    ModelFile::DeleteRecords(tree);
}

void tst_modelfile::edit_unknownNodesFollowTheirRow_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("edits");
    QTest::addColumn<QString>("parent"); // the element whose children are compared
    QTest::addColumn<QStringList>("written");
    const QString classes = "<LClass ID='1'><!--head--><REFERENCE/><SClass ID='2'/><!-- about S2 -->"
                            "<EXT for='S2'/><SClass ID='3'/><!--about S3--></LClass>";
    const QStringList head{"<!--head-->", "REFERENCE:"};
    const QStringList s2{"SClass:2", "<!-- about S2 -->", "EXT:"};
    const QStringList s3{"SClass:3", "<!--about S3-->"};
    QTest::newRow("nothing edited") << classes << ""
                                    << "LClass" << head + s2 + s3;
    QTest::newRow("first removed") << classes << "drop 2"
                                   << "LClass" << head + s3;
    QTest::newRow("last removed") << classes << "drop 3"
                                  << "LClass" << head + s2;
    QTest::newRow("both removed: the head stays") << classes << "drop 2 drop 3"
                                                  << "LClass" << head;
    QTest::newRow("swapped") << classes << "swap 2 3"
                             << "LClass" << head + s3 + s2;
    QTest::newRow("added between: after what follows its sibling")
        << classes << "add 9 after 2"
        << "LClass" << head + s2 + QStringList{"SClass:9"} + s3;
    QTest::newRow("removed, one added after the other") << classes << "drop 2 add 9 after 3"
                                                        << "LClass" << head + s3 + QStringList{"SClass:9"};
    // The root is one more level; the refused <LClass ID='../x'/> is an item of its own.
    const QString root = "<!--head--><LClass ID='1'/><!-- about L1 --><EXT for='L1'/><LClass ID='../x'/>"
                         "<LClass ID='2'/><!--about L2-->";
    const QStringList rootHead{"<!--head-->"};
    const QStringList l1{"LClass:1", "<!-- about L1 -->", "EXT:", "LClass:../x"};
    const QStringList l2{"LClass:2", "<!--about L2-->"};
    QTest::newRow("root: nothing edited") << root << ""
                                          << "Root_Model" << rootHead + l1 + l2;
    QTest::newRow("root: first large class removed")
        << root << "drop 1"
        << "Root_Model" << rootHead + QStringList{"LClass:../x"} + l2;
    QTest::newRow("root: last large class removed") << root << "drop 2"
                                                    << "Root_Model" << rootHead + l1;
    QTest::newRow("root: all removed, the head and the refused one stay")
        << root << "drop 1 drop 2"
        << "Root_Model" << rootHead + QStringList{"LClass:../x"};
    QTest::newRow("root: large classes swapped") << root << "swap 1 2"
                                                 << "Root_Model" << rootHead + l2 + l1;
    QTest::newRow("root: added after the first")
        << root << "add 9 after 1"
        << "Root_Model" << rootHead + l1 + QStringList{"LClass:9"} + l2;
    // The refused <SClass ID='x'/> is a stranger too: it belongs to the row before it.
    const QString params = "<LClass ID='1'><REFERENCE/><SClass ID='2'><REFERENCE/><PARAM><!--rows-->"
                           "<P ID='5'/><X-P5-NOTE/><P ID='6'/><P ID='x'/><!--6--></PARAM></SClass></LClass>";
    QTest::newRow("parameter removed") << params << "drop 5"
                                       << "PARAM" << QStringList{"<!--rows-->", "P:6", "P:x", "<!--6-->"};
    QTest::newRow("parameters swapped")
        << params << "swap 5 6"
        << "PARAM" << QStringList{"<!--rows-->", "P:6", "P:x", "<!--6-->", "P:5", "X-P5-NOTE:"};
}

// What this program does not understand belongs to the row it follows, wherever the row goes.
void tst_modelfile::edit_unknownNodesFollowTheirRow()
{
    QFETCH(QString, xml);
    QFETCH(QString, edits);
    QFETCH(QString, parent);
    QDomDocument doc = parse("<Root_Model MaxID='20'>" + xml + "</Root_Model>");
    QDomElement root = doc.documentElement();
    QList<Node> tree;
    QList<QDomElement> kept;
    ModelFile::TakeTree(root, &tree, &kept);
    edit(&tree, edits);
    const QList<QDomNode> appended = ModelFile::AppendTree(root, tree, kept);
    const QDomElement compared =
        parent == root.tagName() ? root : root.elementsByTagName(parent).item(0).toElement();
    QTEST(childNodes(compared), "written");
    ModelFile::RemoveElements(appended);
    ModelFile::DeleteRecords(tree);
}

void tst_modelfile::edit_refusedNeighbourRemovedOrMoved_refusedStaysWhole_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("edits");
    QTest::addColumn<QString>("written");
    const QString l4 = "<LClass ID='4'><REFERENCE/></LClass>";
    const QString l1 = "<LClass ID='1'><REFERENCE/></LClass><!--about L1-->";
    const QString refused = "<LClass%1 Name='other'><SClass ID='7'/></LClass><!--about other--><X-OTHER/>";
    QTest::newRow("LClass without an ID: the one before removed")
        << l4 + l1 + refused.arg("") << "drop 1" << l4 + refused.arg("");
    // Read before the row of its ID, a repeat would be taken for that row next time.
    QTest::newRow("LClass repeated: its row moved behind")
        << l4 + l1 + refused.arg(" ID='4'") << "swap 4 1" << l1 + l4 + refused.arg(" ID='4'");
    const QString s3 = "<LClass ID='1'><REFERENCE/><SClass ID='3'><REFERENCE/><PARAM/></SClass>%1"
                       "<SClass ID='3' Name='theirs'/><!--3--></LClass>";
    QTest::newRow("SClass repeated: the one before removed")
        << s3.arg("<SClass ID='2'/><!--about S2--><X-S2/>") << "drop 2" << s3.arg("");
}

// A row of a row's own tag that the reader refused is another member's, with what follows it.
void tst_modelfile::edit_refusedNeighbourRemovedOrMoved_refusedStaysWhole()
{
    QFETCH(QString, xml);
    QFETCH(QString, edits);
    QFETCH(QString, written);
    QDomDocument doc = parse("<Root_Model MaxID='20'>" + xml + "</Root_Model>");
    QList<Node> tree;
    QList<QDomElement> kept;
    ModelFile::TakeTree(doc.documentElement(), &tree, &kept);
    edit(&tree, edits);
    QCOMPARE(savedText(doc, tree, kept),
             parse("<Root_Model MaxID='20'>" + written + "</Root_Model>").toString(4));
    ModelFile::DeleteRecords(tree);
}

// The links pane carries its edits into the REFERENCE the record read (as refurl::StoreLinks does).
void tst_modelfile::editedLink_keepsWhatItHeld_removedLinkTakesWhatFollowed()
{
    QDomDocument doc = parse(QStringLiteral(
        "<Root_Model MaxID='9'><LClass ID='1'><REFERENCE Kind='k'><!--links--><REF TITLE='a' URL='1' "
        "Lang='en'><Note/></REF><!--about a--><REF TITLE='b' URL='2'/><!--about b--><REF TITLE='c' "
        "URL='3'/></REFERENCE></LClass></Root_Model>"));
    QDomElement root = doc.documentElement();
    QList<Node> tree;
    QList<QDomElement> kept;
    ModelFile::TakeTree(root, &tree, &kept);
    TreeItemData *record = tree.at(0).record;
    const QStringList after{"c[$$]3", "A[$$]1a", "n[$$]4"};
    ReferenceFiles::FollowEdits(ElementLayout::Placeholder(record->kept, ModelFile::ReferenceTag),
                                record->links, after, {2, 0, -1}, ModelFile::LinkSeparator);
    record->links = after;
    for (int save = 0; save < 2; ++save) {
        const QList<QDomNode> appended = ModelFile::AppendTree(root, tree, kept);
        QCOMPARE(domText(root.firstChildElement().firstChildElement()),
                 QStringLiteral("<REFERENCE Kind=\"k\"><!--links--><REF TITLE=\"c\" URL=\"3\"></REF>"
                                "<REF Lang=\"en\" TITLE=\"A\" URL=\"1a\"><Note></Note></REF><!--about a-->"
                                "<REF TITLE=\"n\" URL=\"4\"></REF></REFERENCE>"));
        ModelFile::RemoveElements(appended);
    }
    ModelFile::DeleteRecords(tree);
}

void tst_modelfile::takeTree_nextId_data()
{
    QTest::addColumn<QString>("maxId");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<int>("next");
    QTest::newRow("counter ahead") << "20" << QStringList{"3", "5"} << 20;
    QTest::newRow("counter missing") << "" << QStringList{"3", "7"} << 8;
    QTest::newRow("counter low") << "2" << QStringList{"9"} << 10;
    QTest::newRow("counter garbage") << "x1" << QStringList{} << 1;
    QTest::newRow("counter zero") << "0" << QStringList{} << 1;
    QTest::newRow("counter negative") << "-5" << QStringList{"2"} << 3;
    // An ID beyond the ceiling leaves no number: counting past it would wrap or reach its files.
    QTest::newRow("id too large leaves none")
        << "4" << QStringList{"2147483647", "99999999999"} << ModelFile::NoIdLeft;
    QTest::newRow("counter at the largest int") << "2147483646" << QStringList{"1"} << ModelFile::NoIdLeft;
    QTest::newRow("last number left") << "999999999" << QStringList{"1"} << 999999999;
    QTest::newRow("last number taken") << "1" << QStringList{"999999999"} << ModelFile::NoIdLeft;
    QTest::newRow("leading zeros are decimal") << "1" << QStringList{"007"} << 8;
}

void tst_modelfile::takeTree_nextId()
{
    QFETCH(QString, maxId);
    QFETCH(QStringList, ids);
    QFETCH(int, next);
    QString xml =
        QStringLiteral("<Root_Model%1>").arg(maxId.isEmpty() ? QString() : " MaxID='" + maxId + "'");
    for (const QString &id : ids)
        xml += "<LClass ID='" + id + "'/>";
    QDomDocument doc = parse(xml + "</Root_Model>");
    QList<Node> tree;
    QList<QDomElement> kept;
    QCOMPARE(ModelFile::TakeTree(doc.documentElement(), &tree, &kept), next);
    ModelFile::DeleteRecords(tree);
}

// A repeated large class is refused with its small classes, but their IDs still name model_<ID>.txt
// and Reference/<ID>/: a new class never takes them.
void tst_modelfile::takeTree_idsOfRefusedElementsCounted()
{
    QDomDocument doc = parse(QStringLiteral("<Root_Model MaxID='2'><LClass ID='1'/><LClass ID='1'>"
                                            "<SClass ID='5'><PARAM><P ID='8'/></PARAM></SClass></LClass>"
                                            "<Other ID='6'/></Root_Model>"));
    QList<Node> tree;
    QList<QDomElement> kept;
    QCOMPARE(ModelFile::TakeTree(doc.documentElement(), &tree, &kept), 9);
    QCOMPARE(tree.size(), 1);
    ModelFile::DeleteRecords(tree);
}

void tst_modelfile::links_onlyTitleAndAddressPairsWritten()
{
    QDomDocument doc = parse(QStringLiteral("<Root_Model/>"));
    TreeItemData record;
    record.SetAttr("ID", "1");
    record.SetAttr("Expression", "text lives in model_1.txt");
    record.SetAttr("Reference", "never an attribute");
    record.links = QStringList{"no separator", "a[$$]b[$$]c", "Title[$$]http://x/?q=1"};
    ModelFile::AppendTree(doc.documentElement(), {Node{&record, {}}});
    const QDomElement l = doc.documentElement().firstChildElement();
    QVERIFY(!l.hasAttribute("Expression"));
    QVERIFY(!l.hasAttribute("Reference"));
    const QDomNodeList refs = l.firstChildElement("REFERENCE").elementsByTagName("REF");
    QCOMPARE(refs.count(), 1);
    QCOMPARE(refs.item(0).toElement().attribute("TITLE"), QStringLiteral("Title"));
    QCOMPARE(refs.item(0).toElement().attribute("URL"), QStringLiteral("http://x/?q=1"));
}

void tst_modelfile::checkNewClass_data()
{
    QTest::addColumn<QStringList>("siblings"); // name/element pairs
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("result");
    const QString arb = QStringLiteral("--Arbitary--");
    QTest::newRow("no sibling") << QStringList{} << "A"
                                << "E" << 0;
    QTest::newRow("same name other element") << QStringList{"A", "E1"} << "A"
                                             << "E2" << 0;
    QTest::newRow("same name same element") << QStringList{"A", "E"} << "A"
                                            << "E" << 2;
    QTest::newRow("sibling arbitrary") << QStringList{"A", arb} << "A"
                                       << "E" << 1;
    QTest::newRow("new arbitrary, typed sibling") << QStringList{"A", "E"} << "A" << arb << 3;
    QTest::newRow("first match wins") << QStringList{"A", "E", "A", arb} << "A"
                                      << "E" << 2;
    QTest::newRow("other names ignored") << QStringList{"B", arb, "B", "E"} << "A" << arb << 0;
}

void tst_modelfile::checkNewClass()
{
    QFETCH(QStringList, siblings);
    QFETCH(QString, name);
    QFETCH(QString, element);
    QFETCH(int, result);
    QList<ModelFile::Sibling> list;
    for (int i = 0; i + 1 < siblings.size(); i += 2)
        list.append({siblings.at(i), siblings.at(i + 1)});
    QCOMPARE(ModelFile::CheckNewClass(list, name, element, QStringLiteral("--Arbitary--")), result);
}

QTEST_GUILESS_MAIN(tst_modelfile)
#include "tst_modelfile.moc"
