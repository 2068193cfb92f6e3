#include "domtext.h"
#include "outdef/outxml.h"
#include "testsupport.h"

#include <QDomDocument>
#include <QtTest>

using TestSupport::domText;
using TestSupport::withReplaced;

namespace
{
QString lists(const OutXml::Definition &def)
{
    QStringList parts;
    auto join = [](const QList<int> &list) {
        QStringList texts;
        for (int n : list)
            texts << QString::number(n);
        return texts.join(QLatin1Char(','));
    };
    for (int n : def.fileOrder)
        parts << QStringLiteral("F%1[%2]").arg(n).arg(join(def.files.value(n).seqs));
    for (auto it = def.seqs.cbegin(); it != def.seqs.cend(); ++it)
        parts << QStringLiteral("S%1[%2]").arg(it.key()).arg(join(it.value().seqs));
    parts << QStringLiteral("T[%1]").arg(join(def.temps));
    return parts.join(QLatin1Char(' '));
}

} // namespace

class tst_outxml : public QObject
{
    Q_OBJECT
private slots:
    void take_hostileFile_placesEachSequenceOnceAndCountsPastEveryNumber_data();
    void take_hostileFile_placesEachSequenceOnceAndCountsPastEveryNumber();
    void append_writesListedAttributesInOrderAndKeepsUnknownOnes();
    void place_deeperThanTheGenerator_referenceDroppedAndCounted();
    void takeAppend_refusedElements_writtenBackUnchangedOutsideTheLists();
    void takeAppend_refusedPlacements_keptAsRead_data();
    void takeAppend_refusedPlacements_keptAsRead();
    void takeAppend_editedDefinition_keepsWhatItDoesNotKnowInPlace_data();
    void takeAppend_editedDefinition_keepsWhatItDoesNotKnowInPlace();
    void append_refusedRepeat_staysBehindTheOneTaken_data();
    void append_refusedRepeat_staysBehindTheOneTaken();
    void append_itemRemovedOrMoved_whatFollowsItGoesWithIt_data();
    void append_itemRemovedOrMoved_whatFollowsItGoesWithIt();
    void newNumber_leftoverTemplates_neverTakenFoundWhileAnyIsFree_data();
    void newNumber_leftoverTemplates_neverTakenFoundWhileAnyIsFree();
    void newNumber_folderNotListed_refusedWithNothingChanged();
};

void tst_outxml::take_hostileFile_placesEachSequenceOnceAndCountsPastEveryNumber_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("seqCounter");
    QTest::addColumn<int>("fileCounter");
    QTest::addColumn<QString>("placed");
    QTest::newRow("no elements") << "" << 1 << 1 << "T[]";
    QTest::newRow("MaxID missing") << "<SEQUENCE><SEQ ID='7'/></SEQUENCE><FILES><FILE ID='3'/></FILES>" << 8
                                   << 4 << "F3[] S7[] T[]";
    QTest::newRow("MaxID below a number read") << "<SEQUENCE MaxID='2'><SEQ ID='5'/></SEQUENCE><FILES "
                                                  "MaxID='9'><FILE ID='2'><SEQ ID='12'/></FILE></FILES>"
                                               << 13 << 9 << "F2[12] S5[] T[]";
    QTest::newRow("cycle")
        << "<SEQUENCE MaxID='3'><SEQ ID='1'><SEQ ID='2'/></SEQ><SEQ ID='2'><SEQ ID='1'/></SEQ>"
           "</SEQUENCE><FILES MaxID='2'><FILE ID='1'><SEQ ID='1'/></FILE></FILES>"
        << 3 << 2 << "F1[1] S1[2] S2[] T[]";
    QTest::newRow("self nesting") << "<SEQUENCE MaxID='2'><SEQ ID='1'><SEQ ID='1'/></SEQ></SEQUENCE>"
                                     "<TEMPSEQ><SEQ ID='1'/></TEMPSEQ>"
                                  << 2 << 1 << "S1[] T[1]";
    QTest::newRow("placed twice: first wins") << "<SEQUENCE MaxID='4'><SEQ ID='1'/><SEQ ID='2'><SEQ "
                                                 "ID='1'/><SEQ ID='3'/></SEQ><SEQ ID='3'/></SEQUENCE>"
                                                 "<FILES MaxID='3'><FILE ID='1'><SEQ ID='1'/><SEQ "
                                                 "ID='2'/></FILE><FILE ID='2'><SEQ ID='3'/></FILE></FILES>"
                                                 "<TEMPSEQ><SEQ ID='2'/><SEQ ID='3'/></TEMPSEQ>"
                                              << 4 << 3 << "F1[1,2] F2[] S1[] S2[3] S3[] T[]";
    QTest::newRow("duplicate and non-decimal IDs")
        << "<SEQUENCE MaxID='3'><SEQ ID='1' TITLE='first'/><SEQ ID='1' TITLE='second'/><SEQ ID='x'/>"
           "<SEQ ID='-2'/><SEQ ID='../3'/></SEQUENCE><FILES MaxID='2'><FILE ID='1' TITLE='a'/><FILE ID='1'/>"
           "<FILE ID=' 2'/></FILES>"
        << 3 << 2 << "F1[] S1[] T[]";
    // Counters above the ceiling leave no number; a refused element's number is still counted.
    QTest::newRow("SEQ at the largest int")
        << "<SEQUENCE MaxID='2'><SEQ ID='1'/><SEQ ID='2147483647'/></SEQUENCE>" << OutXml::NoIdLeft << 1
        << "S1[] T[]";
    QTest::newRow("MaxID past the largest int")
        << "<SEQUENCE MaxID='2147483648'/><FILES MaxID='-1'><FILE ID='4'/></FILES>" << OutXml::NoIdLeft << 5
        << "F4[] T[]";
    QTest::newRow("last number") << "<SEQUENCE MaxID='999999999'/><FILES MaxID='999999999'/>" << 999999999
                                 << 999999999 << "T[]";
    QTest::newRow("repeated SEQ holds the highest")
        << "<SEQUENCE MaxID='2'><SEQ ID='1'/><SEQ ID='1'><SEQ ID='9'/></SEQ></SEQUENCE>" << 10 << 1
        << "S1[] T[]";
}

void tst_outxml::take_hostileFile_placesEachSequenceOnceAndCountsPastEveryNumber()
{
    QFETCH(QString, body);
    QDomDocument doc;
    QVERIFY(
        doc.setContent(QStringLiteral("<Root_Output Name='O'>") + body + QStringLiteral("</Root_Output>")));
    OutXml::Definition def = OutXml::Take(doc.documentElement(), {1});
    OutXml::Place(&def);
    QTEST(def.seqCounter, "seqCounter");
    QTEST(def.fileCounter, "fileCounter");
    QTEST(lists(def), "placed");
    QVERIFY(doc.documentElement().firstChildElement().isNull());
    QCOMPARE(doc.documentElement().attribute(QStringLiteral("Name")), QStringLiteral("O"));
    if (def.seqs.contains(1) && def.seqs.value(1).attrs.contains(QStringLiteral("TITLE")))
        QCOMPARE(def.seqs.value(1).attrs.value(QStringLiteral("TITLE")), QStringLiteral("first"));
}

void tst_outxml::append_writesListedAttributesInOrderAndKeepsUnknownOnes()
{
    QDomDocument doc;
    QVERIFY(doc.setContent(QStringLiteral(
        "<Root_Output><FILES MaxID='2'><FILE ID='1' LOOP_PR='1' TITLE='t'><MODEL ID='9'/><SEQ ID='4'/>"
        "<MODEL ID='1'/></FILE></FILES><SEQUENCE><SEQ ID='4' LOOP='1' ODD='x'/></SEQUENCE></Root_Output>")));
    OutXml::Definition def = OutXml::Take(doc.documentElement(), {1});
    OutXml::Append(doc.documentElement(), def);
    QDomElement root = doc.documentElement();
    QStringList tags;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        tags << e.tagName();
    // The order read, TEMPSEQ last where it has always been written.
    QCOMPARE(tags, (QStringList{"FILES", "SEQUENCE", "TEMPSEQ"}));
    const QDomElement file = root.firstChildElement("FILES").firstChildElement();
    // The listed ones, empty where unset, and the one this program does not know, as it was.
    QCOMPARE(file.attributes().count(), 7);
    for (const char *name : {"ID", "TITLE", "FILE_TYPE", "FileName", "EXP", "LOOP"})
        QVERIFY2(file.hasAttribute(QLatin1String(name)), name);
    QCOMPARE(file.attribute("LOOP_PR"), QStringLiteral("1"));
    QCOMPARE(file.firstChildElement().tagName(), QStringLiteral("MODEL"));
    QCOMPARE(file.firstChildElement().attribute("ID"), QStringLiteral("1"));
    QCOMPARE(file.lastChildElement().tagName(), QStringLiteral("SEQ"));
    const QDomElement seq = root.firstChildElement("SEQUENCE").firstChildElement();
    QCOMPARE(seq.attributes().count(), 7);
    QCOMPARE(seq.attribute("ODD"), QStringLiteral("x"));
    QCOMPARE(seq.attribute("P_LOOP"), QString());
}

// A chain of nested sequences is cut where the generator stops; the sequences below stay in the
// definition, unplaced, and nothing walks deeper than the cap.
void tst_outxml::place_deeperThanTheGenerator_referenceDroppedAndCounted()
{
    OutXml::Definition def;
    const int chain = OutXml::MaxDepth + 500;
    def.fileOrder = {1};
    def.files[1].seqs = {1};
    for (int n = 1; n <= chain; ++n)
        def.seqs[n].seqs = n < chain ? QList<int>{n + 1} : QList<int>{};
    def.temps = {chain};
    QCOMPARE(OutXml::Place(&def), 1);
    QCOMPARE(def.seqs.value(OutXml::MaxDepth - 1).seqs, QList<int>{OutXml::MaxDepth});
    QCOMPARE(def.seqs.value(OutXml::MaxDepth).seqs, QList<int>{});
    QCOMPARE(def.seqs.size(), chain);
    // The end of the chain is placed where the file names it: as a temporary sequence.
    QCOMPARE(def.temps, QList<int>{chain});
}

// What the loader refuses belongs to another member: it stays out of the lists (so out of the tree
// and the generation) and is written back byte for byte, after what was taken, on every save.
void tst_outxml::takeAppend_refusedElements_writtenBackUnchangedOutsideTheLists()
{
    const QStringList refusedSeqs = {"<SEQ ID=\"1\" TITLE=\"second\"><SEQ ID=\"2\"/></SEQ>",
                                     "<SEQ ID=\"x\" ODD=\"1\"><MODEL ID=\"1\"/></SEQ>",
                                     "<SEQ ID=\"1234567890\" TITLE=\"ten digits\"/>",
                                     "<NOTE>kept text</NOTE>"};
    const QStringList refusedFiles = {"<FILE ID=\"0x2\" TITLE=\"hex\"/>", "<FILE ID=\"3\" TITLE=\"again\"/>",
                                      "<FILE ID=\"-4\"/>"};
    const QString refusedTemp = QStringLiteral("<SEQ ID=\"abc\"/>");
    const QString other = QStringLiteral("<EXTRA a=\"1\"><inner/></EXTRA>");
    const QString body =
        QStringLiteral("<Root_Output Name=\"O\"><SEQUENCE MaxID=\"3\"><SEQ ID=\"1\" TITLE=\"t\"/>") +
        refusedSeqs.join(QString()) + QStringLiteral("</SEQUENCE><FILES MaxID=\"4\"><FILE ID=\"3\">") +
        QStringLiteral("<SEQ ID=\"1\"/></FILE>") + refusedFiles.join(QString()) +
        QStringLiteral("</FILES><TEMPSEQ>") + refusedTemp + QStringLiteral("</TEMPSEQ>") + other +
        QStringLiteral("</Root_Output>");
    QDomDocument doc;
    QVERIFY(doc.setContent(body));
    OutXml::Definition def = OutXml::Take(doc.documentElement(), {1});
    OutXml::Place(&def);
    QCOMPARE(lists(def), QStringLiteral("F3[1] S1[] T[]"));
    QCOMPARE(def.seqs.value(1).attrs.value(QStringLiteral("TITLE")), QStringLiteral("t"));
    // The ten-digit number is refused, yet counted: no sequence number is left.
    QCOMPARE(def.seqCounter, OutXml::NoIdLeft);
    QCOMPARE(def.fileCounter, 4);

    auto childTexts = [](const QDomElement &parent) {
        QStringList out;
        for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            out << domText(e);
        return out;
    };
    auto canonicalAll = [](const QStringList &texts) {
        QStringList out;
        for (const QString &t : texts) {
            QDomDocument d;
            d.setContent(t);
            out << domText(d.documentElement());
        }
        return out;
    };
    // Twice: a second save of the same definition writes the same elements again.
    for (int save = 0; save < 2; ++save) {
        OutXml::Append(doc.documentElement(), def);
        const QDomElement root = doc.documentElement();
        QStringList seqs = childTexts(root.firstChildElement(OutXml::SequenceTag));
        QCOMPARE(seqs.size(), 5);
        QVERIFY(seqs.takeFirst().contains(QLatin1String(" TITLE=\"t\"")));
        QCOMPARE(seqs, canonicalAll(refusedSeqs));
        QStringList files = childTexts(root.firstChildElement(OutXml::FilesTag));
        QCOMPARE(files.size(), 4);
        QVERIFY(files.takeFirst().contains(QLatin1String("<SEQ ID=\"1\"></SEQ>")));
        QCOMPARE(files, canonicalAll(refusedFiles));
        QCOMPARE(childTexts(root.firstChildElement(OutXml::TempTag)), canonicalAll({refusedTemp}));
        QCOMPARE(domText(root.lastChildElement()), canonicalAll({other}).first());
        QCOMPARE(root.childNodes().count(), 4);
        OutXml::Strip(doc.documentElement());
    }
}

void tst_outxml::takeAppend_refusedPlacements_keptAsRead_data()
{
    QTest::addColumn<QString>("children");
    QTest::addColumn<QString>("lists");
    QTest::newRow("blank in an ID") << "<SEQ ID=' 7'/>"
                                    << "F1[] S1[] S2[] T[2]";
    QTest::newRow("leading zero") << "<SEQ ID='02'/>"
                                  << "F1[] S1[] S2[] T[2]";
    QTest::newRow("repeated ID") << "<SEQ ID='2'/><SEQ ID='2'/>"
                                 << "F1[2] S1[2,2] S2[] T[]";
    QTest::newRow("cycle") << "<SEQ ID='1'/>"
                           << "F1[1] S1[] S2[] T[2]";
    QTest::newRow("model with leading zero") << "<MODEL ID='07'/>"
                                             << "F1[] S1[] S2[] T[2]";
    QTest::newRow("unknown kind") << "<NOTE ID='3'>x</NOTE>"
                                  << "F1[] S1[] S2[] T[2]";
}

// A placement the loader refuses inside a FILE or SEQ it takes stays in the file as it stood, as
// the refused top-level elements do: nothing of another member's is lost or rewritten by a save.
void tst_outxml::takeAppend_refusedPlacements_keptAsRead()
{
    QFETCH(QString, children);
    QFETCH(QString, lists);
    const QString inFile = children;
    // In the FILE and in SEQ 1 (placed in the file when it names it), the same children.
    const QString body = QStringLiteral("<Root_Output><SEQUENCE MaxID='3'><SEQ ID='1'>%1</SEQ><SEQ ID='2'/>"
                                        "<SEQ ID='0999'/></SEQUENCE><FILES MaxID='2'><FILE ID='1'>%1</FILE>"
                                        "</FILES><TEMPSEQ><SEQ ID='2'/><SEQ ID='2'/></TEMPSEQ></Root_Output>")
                             .arg(inFile);
    QDomDocument doc;
    QVERIFY(doc.setContent(body));
    OutXml::Definition def = OutXml::Take(doc.documentElement(), {7});
    OutXml::Place(&def);
    QCOMPARE(::lists(def), lists);
    OutXml::Append(doc.documentElement(), def);
    QDomDocument read;
    QVERIFY(read.setContent(body));
    const QDomElement before = read.documentElement();
    const QDomElement after = doc.documentElement();
    auto childrenOf = [](const QDomElement &e) {
        QString out;
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
            out += domText(c);
        return out;
    };
    QCOMPARE(childrenOf(after.firstChildElement("FILES").firstChildElement()),
             childrenOf(before.firstChildElement("FILES").firstChildElement()));
    QCOMPARE(childrenOf(after.firstChildElement("SEQUENCE").firstChildElement()),
             childrenOf(before.firstChildElement("SEQUENCE").firstChildElement()));
    QCOMPARE(childrenOf(after.firstChildElement("TEMPSEQ")), childrenOf(before.firstChildElement("TEMPSEQ")));
    QCOMPARE(after.firstChildElement("SEQUENCE").lastChildElement().attribute("ID"), QStringLiteral("0999"));
}

// Every kind of element this program writes, each with an attribute, a comment or an element it does
// not know; the listed attributes all set, so that a save that changes nothing writes it as it is.
const char *const kForeign =
    "<Root_Output Name='O'><!--head-->"
    "<SEQUENCE MaxID='4' OWNER='b'><!--in sequence-->"
    "<SEQ ID='1' TITLE='one' LOOP='-1' P_LOOP='-1' LOOP_TYPE='0' LOOP_END_TYPE='0' COLOR='red'>"
    "<!--in seq--><MODEL ID='7' W='m'/><NOTE>n</NOTE><SEQ ID='2' W='s'/></SEQ>"
    "<SEQ ID='2' TITLE='two' LOOP='-1' P_LOOP='-1' LOOP_TYPE='0' LOOP_END_TYPE='0'/>"
    "<SEQ ID='3' TITLE='three' LOOP='-1' P_LOOP='-1' LOOP_TYPE='0' LOOP_END_TYPE='0'/></SEQUENCE>"
    "<!--between--><FILES MaxID='2' KIND='k'>"
    "<FILE ID='1' TITLE='f' FILE_TYPE='0' FileName='a' EXP='c' LOOP='-1' MODE='x'>"
    "<MODEL ID='7' W='f'/><!--in file--><SEQ ID='1' W='r'/></FILE><!--after file--></FILES>"
    "<TEMPSEQ ORDER='t'><SEQ ID='3' W='t'/><!--in temps--></TEMPSEQ><EXTRA a='1'/></Root_Output>";

void tst_outxml::takeAppend_editedDefinition_keepsWhatItDoesNotKnowInPlace_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QStringList>("replaced"); // pairs of texts of kForeign and what the save writes
    QTest::newRow("nothing") << "" << QStringList{};
    QTest::newRow("title") << "title" << QStringList{"TITLE='one'", "TITLE='uno'"};
    // A reference removed takes what followed it along.
    QTest::newRow("model unbound") << "unbind" << QStringList{"<MODEL ID='7' W='f'/><!--in file-->", ""};
    QTest::newRow("temporary nested")
        << "nest"
        << QStringList{"<SEQ ID='2' TITLE='two' LOOP='-1' P_LOOP='-1' LOOP_TYPE='0' LOOP_END_TYPE='0'/>",
                       "<SEQ ID='2' TITLE='two' LOOP='-1' P_LOOP='-1' LOOP_TYPE='0' LOOP_END_TYPE='0'>"
                       "<SEQ ID='3'/></SEQ>",
                       "<SEQ ID='3' W='t'/><!--in temps-->", ""};
    QTest::newRow("sequence deleted")
        << "delete"
        << QStringList{"<SEQ ID='2' TITLE='two' LOOP='-1' P_LOOP='-1' LOOP_TYPE='0' LOOP_END_TYPE='0'/>", "",
                       "<SEQ ID='2' W='s'/>", ""};
    QTest::newRow("sequence created")
        << "create"
        << QStringList{
               "MaxID='4'",
               "MaxID='5'",
               "<SEQ ID='1' W='r'/>",
               "<SEQ ID='1' W='r'/><SEQ ID='4'/>",
               "</SEQUENCE>",
               "<SEQ ID='4' TITLE='four' LOOP='' P_LOOP='' LOOP_TYPE='' LOOP_END_TYPE=''/></SEQUENCE>"};
}

// One value edited, or nothing: every attribute, comment and element the program does not know of
// SEQUENCE, FILES, TEMPSEQ, their SEQ and FILE entries and the MODEL and SEQ references is written
// back where it stood, and a second save of the same definition writes the same again.
void tst_outxml::takeAppend_editedDefinition_keepsWhatItDoesNotKnowInPlace()
{
    QFETCH(QString, edit);
    QFETCH(QStringList, replaced);
    QDomDocument doc;
    QVERIFY(doc.setContent(QString::fromLatin1(kForeign)));
    OutXml::Definition def = OutXml::Take(doc.documentElement(), {7});
    QCOMPARE(OutXml::Place(&def), 0);
    QCOMPARE(lists(def), QStringLiteral("F1[1] S1[2] S2[] S3[] T[3]"));
    if (edit == QLatin1String("title")) {
        def.seqs[1].attrs[OutXml::Title] = QStringLiteral("uno");
    } else if (edit == QLatin1String("unbind")) {
        def.files[1].models.clear();
    } else if (edit == QLatin1String("nest")) {
        def.temps.clear();
        def.seqs[2].seqs = {3};
    } else if (edit == QLatin1String("delete")) {
        def.seqs.remove(2);
        def.seqs[1].seqs.clear();
    } else if (edit == QLatin1String("create")) {
        def.seqs[4].attrs[OutXml::Title] = QStringLiteral("four");
        def.files[1].seqs.append(4);
        def.seqCounter = 5;
    }
    QString missing;
    const QString expected = withReplaced(QString::fromLatin1(kForeign), replaced, &missing);
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
    QDomDocument want;
    QVERIFY(want.setContent(expected));
    for (int save = 0; save < 2; ++save) {
        OutXml::Append(doc.documentElement(), def);
        QCOMPARE(domText(doc.documentElement()), domText(want.documentElement()));
        OutXml::Strip(doc.documentElement());
    }
}

void tst_outxml::append_refusedRepeat_staysBehindTheOneTaken_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("deletedSeq");
    QTest::addColumn<int>("deletedFile");
    QTest::newRow("FILES repeated before SEQUENCE")
        << "<FILES MaxID='2'><FILE ID='1' TITLE='ours'/></FILES><FILES><FILE ID='1' TITLE='theirs'/></FILES>"
           "<SEQUENCE MaxID='1'/>"
        << 0 << 0;
    QTest::newRow("SEQ repeated after a lower number")
        << "<SEQUENCE MaxID='4'><SEQ ID='3' TITLE='ours'/><SEQ ID='2'/><SEQ ID='3' TITLE='theirs'/>"
           "<SEQ ID='1'/></SEQUENCE>"
        << 0 << 0;
    QTest::newRow("SEQ repeated, one before it deleted")
        << "<SEQUENCE MaxID='4'><SEQ ID='2'/><SEQ ID='3' TITLE='ours'/><SEQ ID='3' TITLE='theirs'/>"
           "<SEQ ID='1'/></SEQUENCE>"
        << 2 << 0;
    QTest::newRow("FILE repeated, one before it deleted")
        << "<FILES MaxID='3'><FILE ID='1'/><FILE ID='2' TITLE='ours'/><FILE ID='2' TITLE='theirs'/></FILES>"
        << 0 << 1;
}

// The element a save writes for an entry must stay the one the next read takes: never behind the
// repeat of its number that was refused and written back.
void tst_outxml::append_refusedRepeat_staysBehindTheOneTaken()
{
    QFETCH(QString, body);
    QFETCH(int, deletedSeq);
    QFETCH(int, deletedFile);
    QDomDocument doc;
    QVERIFY(doc.setContent(QStringLiteral("<Root_Output>") + body + QStringLiteral("</Root_Output>")));
    OutXml::Definition def = OutXml::Take(doc.documentElement(), {});
    def.seqs.remove(deletedSeq);
    def.files.remove(deletedFile);
    def.fileOrder.removeAll(deletedFile);
    OutXml::Append(doc.documentElement(), def);
    QDomDocument again;
    QVERIFY(again.setContent(doc.toString()));
    QVERIFY(again.toString().contains(QLatin1String("theirs")));
    const OutXml::Definition read = OutXml::Take(again.documentElement(), {});
    const OutXml::Entry entry =
        read.seqs.contains(3) ? read.seqs.value(3) : read.files.value(read.fileOrder.value(0));
    QCOMPARE(entry.attrs.value(OutXml::Title), QStringLiteral("ours"));
}

void tst_outxml::append_itemRemovedOrMoved_whatFollowsItGoesWithIt_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("edit"); // list=numbers: files (the order), seqs (those kept), F1 (its SEQs), T
    QTest::addColumn<QStringList>("replaced"); // pairs of texts of xml and what the save writes
    const QString f1 = "<FILE ID='1' TITLE='t' FILE_TYPE='0' FileName='f' EXP='e' LOOP='-1'>"
                       "<SEQ ID='1'/><!--r1--><X-r1/><SEQ ID='01'/><SEQ ID='3'/></FILE>";
    const QString f2 =
        "<FILE ID='2' TITLE='t' FILE_TYPE='0' FileName='f' EXP='e' LOOP='-1'/><!--F2--><X-F2/>";
    const QString s2 =
        "<SEQ ID='2' TITLE='t' LOOP='-1' P_LOOP='-1' LOOP_TYPE='0' LOOP_END_TYPE='0'/><!--S2--><X-S2/>";
    // FILES before SEQUENCE; refused among the items: a repeat of FILE 1, SEQ 02, reference 01, and
    // TEMPSEQ's 9, a sequence the file does not hold.
    const QString xml =
        "<Root_Output><!--head--><FILES MaxID='3'>" + f1 + f2 +
        "<FILE ID='1' TITLE='theirs'/><!--theirs--></FILES><!--between--><SEQUENCE MaxID='10'>"
        "<SEQ ID='1' TITLE='t' LOOP='-1' P_LOOP='-1' LOOP_TYPE='0' LOOP_END_TYPE='0'/>" +
        s2 +
        "<SEQ ID='02'/><!--02-->"
        "<SEQ ID='3' TITLE='t' LOOP='-1' P_LOOP='-1' LOOP_TYPE='0' LOOP_END_TYPE='0'/></SEQUENCE>"
        "<TEMPSEQ><SEQ ID='2'/><!--t2--><SEQ ID='9'/><SEQ ID='3'/></TEMPSEQ><!--tail--></Root_Output>";
    QTest::newRow("nothing edited: the root keeps its order") << xml << "" << QStringList{};
    QTest::newRow("FILE 2 removed") << xml << "files=1" << QStringList{f2, ""};
    QTest::newRow("FILE 2 moved first") << xml << "files=2,1" << QStringList{f1 + f2, f2 + f1};
    QTest::newRow("SEQ 2 removed") << xml << "seqs=1,3" << QStringList{s2, ""};
    QTest::newRow("FILE's SEQ removed") << xml << "F1=3" << QStringList{"<SEQ ID='1'/><!--r1--><X-r1/>", ""};
    QTest::newRow("TEMPSEQ's SEQ removed") << xml << "T=3" << QStringList{"<SEQ ID='2'/><!--t2-->", ""};
}

// What this program does not know after an entry or reference belongs to it, moves with it and goes
// with it; an element of the same tag the loader refused is another member's and stays.
void tst_outxml::append_itemRemovedOrMoved_whatFollowsItGoesWithIt()
{
    QFETCH(QString, xml);
    QFETCH(QString, edit);
    QFETCH(QStringList, replaced);
    QDomDocument doc;
    QVERIFY(doc.setContent(xml));
    OutXml::Definition def = OutXml::Take(doc.documentElement(), {});
    const QString list = edit.section(QLatin1Char('='), 0, 0);
    QList<int> numbers;
    for (const QString &n : edit.section(QLatin1Char('='), 1).split(QLatin1Char(','), Qt::SkipEmptyParts))
        numbers.append(n.toInt());
    auto keepOnly = [&](auto *entries) {
        for (int n : entries->keys()) {
            if (!numbers.contains(n))
                entries->remove(n);
        }
    };
    if (list == QLatin1String("files")) {
        def.fileOrder = numbers;
        keepOnly(&def.files);
    } else if (list == QLatin1String("seqs")) {
        keepOnly(&def.seqs);
    } else if (list == QLatin1String("F1")) {
        def.files[1].seqs = numbers;
    } else if (list == QLatin1String("T")) {
        def.temps = numbers;
    }
    QString missing;
    QDomDocument want;
    QVERIFY(want.setContent(withReplaced(xml, replaced, &missing)));
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
    for (int save = 0; save < 2; ++save) {
        OutXml::Append(doc.documentElement(), def);
        QCOMPARE(domText(doc.documentElement()), domText(want.documentElement()));
        OutXml::Strip(doc.documentElement());
    }
}

void tst_outxml::newNumber_leftoverTemplates_neverTakenFoundWhileAnyIsFree_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("present"); // files in the definition's folder
    QTest::addColumn<bool>("seq");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("counter"); // after both
    // A save wrote Seq_3.txt, then failed to write out.xml.
    QTest::newRow("a failed save's template") << "<SEQUENCE MaxID='2'><SEQ ID='1'/></SEQUENCE>"
                                              << QStringList{"out.xml", "Seq_3.txt"} << true << 2 << 4 << 5;
    QTest::newRow("a file template in other letter case")
        << "<FILES MaxID='2'><FILE ID='1'/></FILES>" << QStringList{"file_2.TXT", "FILE_03.txt"} << false << 4
        << 5 << 6;
    QTest::newRow("a sequence's template holds no file number")
        << "<FILES MaxID='2'/>" << QStringList{"Seq_2.txt", "Seq_3.txt"} << false << 2 << 3 << 4;
    QTest::newRow("a stray template at the ceiling")
        << "<SEQUENCE MaxID='2'/>" << QStringList{"Seq_999999999.txt"} << true << 2 << 3 << 4;
    QTest::newRow("no counter left: the lowest free ones")
        << "<SEQUENCE MaxID='2147483648'><SEQ ID='1'/></SEQUENCE><TEMPSEQ><SEQ ID='3'/></TEMPSEQ>"
        << QStringList{"Seq_2.txt"} << true << 4 << 5 << OutXml::NoIdLeft;
    QTest::newRow("names that carry no number")
        << "" << QStringList{"Seq_.txt", "Seq_1.txt.bak", "Seq_x1.txt", "Seq_99999999999999999999.txt"}
        << true << 1 << 2 << 3;
}

// A new identifier never takes a number whose template file is in the folder: it would show that
// text, and a save and a reopen would give it back as its own.
void tst_outxml::newNumber_leftoverTemplates_neverTakenFoundWhileAnyIsFree()
{
    QFETCH(QString, body);
    QFETCH(QStringList, present);
    QFETCH(bool, seq);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &name : qAsConst(present))
        TestSupport::writeFile(dir.filePath(name), "leftover");
    QDomDocument doc;
    QVERIFY(doc.setContent(QStringLiteral("<Root_Output>") + body + QStringLiteral("</Root_Output>")));
    OutXml::Definition def = OutXml::Take(doc.documentElement(), {});
    int *counter = seq ? &def.seqCounter : &def.fileCounter;
    QSet<int> *given = seq ? &def.kept.seqNumbers : &def.kept.fileNumbers;
    QString why;
    QTEST(OutXml::NewNumber(dir.path(), seq, counter, given, &why), "first");
    QTEST(OutXml::NewNumber(dir.path(), seq, counter, given, &why), "second");
    QTEST(*counter, "counter");
    QCOMPARE(why, QString());
}

void tst_outxml::newNumber_folderNotListed_refusedWithNothingChanged()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString gone = dir.filePath(QStringLiteral("gone"));
    int counter = 3;
    QSet<int> given{1, 2};
    QString why;
    QCOMPARE(OutXml::NewNumber(gone, true, &counter, &given, &why), -1);
    QCOMPARE(why, QStringLiteral("folder not readable:") + gone);
    QCOMPARE(counter, 3);
    QCOMPARE(given, (QSet<int>{1, 2}));
}

QTEST_MAIN(tst_outxml)
#include "tst_outxml.moc"
