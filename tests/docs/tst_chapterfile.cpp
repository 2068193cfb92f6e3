#include "core/sharedxml.h"
#include "docs/chapterfile.h"
#include "domtext.h"
#include "testsupport.h"

#include <QDomDocument>
#include <QtTest>

using TestSupport::domText;
using TestSupport::withReplaced;

namespace
{
QDomElement rootOf(QDomDocument &doc, const QString &xml)
{
    doc.setContent(xml);
    return doc.documentElement();
}

// Chapters with an attribute, a comment and an element this program does not know, at each level,
// and after each chapter what is that chapter's.
const char *const kForeign =
    "<Root_InstanceDoc MaxID='5' Mark='r'><!--root note-->"
    "<Chapter No='1.' Name='A' ID='1' InstID='' Color='red'><!--about A--><Figure src='a.png'/>"
    "<Chapter No='1.1.' Name='B' ID='2' InstID='9' Lang='en'><Note>keep</Note></Chapter><!--between-->"
    "<Chapter No='1.2.' Name='C' ID='3' InstID=''/><X-C/></Chapter><X-A/>"
    "<Chapter No='2.' Name='D' ID='4' InstID='' Hidden='1'/><!--tail--></Root_InstanceDoc>";

// New chapters nested levels deep, one to a level, with IDs 0, 1, ...
QList<ChapterFile::Chapter> chain(int levels)
{
    QList<ChapterFile::Chapter> chapters;
    for (int i = levels - 1; i >= 0; --i) {
        ChapterFile::Chapter c;
        c.no = QStringLiteral("1.").repeated(i + 1);
        c.name = QStringLiteral("c%1").arg(i);
        c.id = QString::number(i);
        c.children = chapters;
        chapters = {c};
    }
    return chapters;
}

} // namespace

class tst_chapterfile : public QObject
{
    Q_OBJECT
private slots:
    void take_counter_data();
    void take_counter();
    void take_refusedIds_keptButNotUsable();
    void takeAppend_editedChapters_keepWhatItDoesNotKnowInPlace_data();
    void takeAppend_editedChapters_keepWhatItDoesNotKnowInPlace();
    void levels_keptElementsCounted_data();
    void levels_keptElementsCounted();
    void append_nestedToTheLimit_sharedReaderTakesItWhole_data();
    void append_nestedToTheLimit_sharedReaderTakesItWhole();
    void textPath_onlyDecimalIds();
    void choices_data();
    void choices();
    void shifted_data();
    void shifted();
    void newId_leftoverTexts_neverTakenFoundWhileAnyIsFree_data();
    void newId_leftoverTexts_neverTakenFoundWhileAnyIsFree();
    void newId_folderNotListed_refusedWithNothingChanged();
};

void tst_chapterfile::take_counter_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<int>("counter");
    QTest::newRow("no MaxID, no chapter") << "<R/>" << 0;
    QTest::newRow("MaxID kept") << "<R MaxID='7'><Chapter ID='2'/></R>" << 7;
    // A lost or damaged counter must not hand out an ID (a file name) that is in use.
    QTest::newRow("no MaxID, chapters") << "<R><Chapter ID='4'><Chapter ID='9'/></Chapter></R>" << 10;
    QTest::newRow("MaxID behind") << "<R MaxID='1'><Chapter ID='3'/></R>" << 4;
    QTest::newRow("MaxID not a number") << "<R MaxID='x'><Chapter ID='0'/></R>" << 1;
    // A counter beyond the ceiling leaves no number rather than starting again at one in use.
    QTest::newRow("MaxID too large") << "<R MaxID='99999999999'/>" << ChapterFile::NoIdLeft;
    QTest::newRow("MaxID at the largest int") << "<R MaxID='2147483646'/>" << ChapterFile::NoIdLeft;
    QTest::newRow("ID at the largest int") << "<R><Chapter ID='2147483646'/></R>" << ChapterFile::NoIdLeft;
    QTest::newRow("last ID left") << "<R MaxID='1'><Chapter ID='999999998'/></R>" << 999999999;
    QTest::newRow("MaxID negative") << "<R MaxID='-1'><Chapter ID='2'/></R>" << 3;
    QTest::newRow("refused repeated ID counted") << "<R MaxID='1'><Chapter ID='1'/><Chapter ID='1'>"
                                                    "<Chapter ID='7'/></Chapter></R>"
                                                 << 8;
}

void tst_chapterfile::take_counter()
{
    QFETCH(QString, xml);
    QFETCH(int, counter);
    QDomDocument doc;
    QList<ChapterFile::Chapter> chapters;
    QCOMPARE(ChapterFile::Take(rootOf(doc, xml), ChapterFile::InstanceDocument, &chapters), counter);
}

void tst_chapterfile::take_refusedIds_keptButNotUsable()
{
    QDomDocument doc;
    QDomElement root =
        rootOf(doc, "<R MaxID='3'><Other keep='1'/><Chapter ID='../x' No='1.'/>"
                    "<Chapter ID='1' No='2.'/><Chapter ID='1' No='3.'/><Chapter ID='' No='4.'/></R>");
    QList<ChapterFile::Chapter> chapters;
    QCOMPARE(ChapterFile::Take(root, ChapterFile::ModelDocument, &chapters), 3);
    QCOMPARE(chapters.size(), 4);
    const bool usable[4] = {false, true, false, false};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(chapters.at(i).usable, usable[i]);
    QCOMPARE(chapters.at(0).id, QStringLiteral("../x"));
    // What is not a chapter stays in the document, which keeps no chapter after loading.
    QVERIFY(root.firstChildElement("Chapter").isNull());
    QCOMPARE(root.firstChildElement().tagName(), QStringLiteral("Other"));
}

void tst_chapterfile::takeAppend_editedChapters_keepWhatItDoesNotKnowInPlace_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QStringList>("replaced"); // pairs of texts of kForeign and what the save writes
    const int instance = ChapterFile::InstanceDocument;
    const QString b =
        "<Chapter No='1.1.' Name='B' ID='2' InstID='9' Lang='en'><Note>keep</Note></Chapter><!--between-->";
    const QString c = "<Chapter No='1.2.' Name='C' ID='3' InstID=''/><X-C/>";
    QTest::newRow("nothing") << instance << "" << QStringList{};
    QTest::newRow("model document, nothing") << int(ChapterFile::ModelDocument) << "" << QStringList{};
    QTest::newRow("name") << instance << "name" << QStringList{"Name='B'", "Name='B2'"};
    QTest::newRow("sub-chapter added") << instance << "add"
                                       << QStringList{"MaxID='5'", "MaxID='6'", "<X-C/>",
                                                      "<X-C/><Chapter No='1.3.' Name='E' ID='5' InstID=''/>"};
    QTest::newRow("sub-chapter deleted") << instance << "delete" << QStringList{b, ""};
    QTest::newRow("last sub-chapter deleted") << instance << "delete last" << QStringList{c, ""};
    QTest::newRow("sub-chapters swapped") << instance << "swap" << QStringList{b, "", "<X-C/>", "<X-C/>" + b};
    QTest::newRow("moved to the top")
        << instance << "up" << QStringList{c, "", "</Root_InstanceDoc>", c + "</Root_InstanceDoc>"};
}

// A chapter's attributes, comments and elements this program does not know stay where they stood
// whatever is edited around them, and a second save writes the same again.
void tst_chapterfile::takeAppend_editedChapters_keepWhatItDoesNotKnowInPlace()
{
    QFETCH(int, kind);
    QFETCH(QString, edit);
    QFETCH(QStringList, replaced);
    QString text = QString::fromLatin1(kForeign);
    if (kind == ChapterFile::ModelDocument)
        text.replace(QLatin1String("InstID"), QLatin1String("MID"));
    QDomDocument doc;
    QDomElement root = rootOf(doc, text);
    QList<ChapterFile::Chapter> chapters;
    ChapterFile::ReadNodes read;
    int counter = ChapterFile::Take(root, ChapterFile::Kind(kind), &chapters, &read);
    QCOMPARE(chapters.size(), 2);
    QList<ChapterFile::Chapter> &subs = chapters[0].children;
    if (edit == QLatin1String("name")) {
        subs[0].name = QStringLiteral("B2");
    } else if (edit == QLatin1String("add")) {
        ChapterFile::Chapter added;
        added.no = QStringLiteral("1.3.");
        added.name = QStringLiteral("E");
        added.id = QString::number(counter++);
        subs.append(added);
    } else if (edit == QLatin1String("delete")) {
        subs.removeFirst();
    } else if (edit == QLatin1String("delete last")) {
        subs.removeLast();
    } else if (edit == QLatin1String("swap")) {
        subs.swapItemsAt(0, 1);
    } else if (edit == QLatin1String("up")) {
        chapters.append(subs.takeLast());
    }
    QString missing;
    const QString expected = withReplaced(text, replaced, &missing);
    QVERIFY2(missing.isEmpty(), qPrintable(missing));
    QDomDocument want;
    QVERIFY(want.setContent(expected));
    for (int save = 0; save < 2; ++save) {
        ChapterFile::Append(root, ChapterFile::Kind(kind), chapters, counter, read);
        QCOMPARE(domText(root), domText(want.documentElement()));
        ChapterFile::RemoveChapters(root);
    }
}

void tst_chapterfile::levels_keptElementsCounted_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<int>("levels");
    QTest::newRow("no chapter") << "<R><Other><a/></Other></R>" << 0;
    QTest::newRow("flat") << "<R><Chapter ID='1'/><Chapter ID='2'/></R>" << 1;
    QTest::newRow("deepest last") << "<R><Chapter ID='1'/><Chapter ID='2'><Chapter ID='3'><Chapter ID='4'/>"
                                     "</Chapter></Chapter></R>"
                                  << 3;
    // What another member's program put inside a chapter is written back, so it nests too.
    QTest::newRow("kept element deeper than the chapters")
        << "<R><Chapter ID='1'><Chapter ID='2'/><Figure><Caption/></Figure></Chapter></R>" << 3;
    // It goes with the chapter it follows, deeper too when that chapter moves into another.
    QTest::newRow("kept element after a top chapter")
        << "<R><Chapter ID='1'/><Figure><Caption><a/></Caption></Figure></R>" << 3;
    QTest::newRow("chapter inside a kept element")
        << "<R><Chapter ID='1'><Box><Chapter ID='2'><x/></Chapter></Box></Chapter></R>" << 4;
}

void tst_chapterfile::levels_keptElementsCounted()
{
    QFETCH(QString, xml);
    QFETCH(int, levels);
    QDomDocument doc;
    QList<ChapterFile::Chapter> chapters;
    ChapterFile::ReadNodes read;
    ChapterFile::Take(rootOf(doc, xml), ChapterFile::ModelDocument, &chapters, &read);
    QCOMPARE(ChapterFile::Levels(chapters, read), levels);
}

void tst_chapterfile::append_nestedToTheLimit_sharedReaderTakesItWhole_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("levels");
    QTest::addColumn<bool>("read");
    QTest::newRow("instance at the limit")
        << int(ChapterFile::InstanceDocument) << ChapterFile::MaxLevels << true;
    QTest::newRow("model at the limit") << int(ChapterFile::ModelDocument) << ChapterFile::MaxLevels << true;
    // The limit is no tighter than it must be: one level more and the reader refuses the file.
    QTest::newRow("one past") << int(ChapterFile::InstanceDocument) << ChapterFile::MaxLevels + 1 << false;
}

void tst_chapterfile::append_nestedToTheLimit_sharedReaderTakesItWhole()
{
    QFETCH(int, kind);
    QFETCH(int, levels);
    QFETCH(bool, read);
    const QList<ChapterFile::Chapter> written = chain(levels);
    QCOMPARE(ChapterFile::Levels(written, {}), levels);
    QDomDocument doc;
    QDomElement root = rootOf(doc, QStringLiteral("<Root_InstanceDoc/>"));
    ChapterFile::Append(root, ChapterFile::Kind(kind), written, levels, {});

    const QByteArray bytes = doc.toByteArray();
    QString message;
    int line = 0;
    int column = 0;
    // Every element counts, the deepest one empty too.
    QCOMPARE(SharedXml::CheckNesting(bytes, SharedXml::MaxDepth, &message, &line, &column), read);
    if (!read)
        return;
    QDomDocument reread;
    QVERIFY2(SharedXml::SetContent(reread, bytes, &message), qPrintable(message));
    QList<ChapterFile::Chapter> chapters;
    QCOMPARE(ChapterFile::Take(reread.documentElement(), ChapterFile::Kind(kind), &chapters), levels);
    QCOMPARE(ChapterFile::Levels(chapters, {}), levels);
    const ChapterFile::Chapter *c = &chapters.first();
    for (int i = 1; i < levels; ++i)
        c = &c->children.first();
    QCOMPARE(c->id, QString::number(levels - 1));
    QCOMPARE(c->no, QStringLiteral("1.").repeated(levels));
    QVERIFY(c->usable);
}

void tst_chapterfile::textPath_onlyDecimalIds()
{
    QCOMPARE(ChapterFile::TextPath("/v", ChapterFile::ModelDocument, "0"),
             QStringLiteral("/v/Docmodel_0.txt"));
    QCOMPARE(ChapterFile::TextPath("/v", ChapterFile::InstanceDocument, "12"),
             QStringLiteral("/v/DocInstance_12.txt"));
    for (const char *bad : {"", "../1", "1/2", "-1", "1e3", " 1"})
        QVERIFY2(ChapterFile::TextPath("/v", ChapterFile::InstanceDocument, bad).isEmpty(), bad);
}

void tst_chapterfile::choices_data()
{
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<bool>("last");
    QTest::addColumn<QString>("lastChild");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("selected");
    QTest::newRow("middle with a sub-chapter") << "2." << false << "2.1." << QStringList{"2.", "2.2."} << 0;
    QTest::newRow("last, no sub-chapter") << "2." << true << "" << QStringList{"2.", "3.", "2.1."} << 1;
    QTest::newRow("nested last") << "2.2." << true << "2.2.4." << QStringList{"2.2.", "2.3.", "2.2.5."} << 1;
    // A number of any length counts on: never a negative number, never one back at the start.
    QTest::newRow("after the largest int")
        << "2147483647." << true << "" << QStringList{"2147483647.", "2147483648.", "2147483647.1."} << 1;
    QTest::newRow("after eleven nines")
        << "99999999999." << true << "" << QStringList{"99999999999.", "100000000000.", "99999999999.1."}
        << 1;
    QTest::newRow("sub-chapter after the largest int")
        << "1." << false << "1.2147483647." << QStringList{"1.", "1.2147483648."} << 0;
}

void tst_chapterfile::choices()
{
    QFETCH(QString, anchor);
    QFETCH(bool, last);
    QFETCH(QString, lastChild);
    QFETCH(QStringList, texts);
    QFETCH(int, selected);
    const ChapterNumber::Choices c = ChapterNumber::ChoicesFor(anchor, last, lastChild);
    QCOMPARE(c.texts, texts);
    QCOMPARE(c.selected, selected);
    QCOMPARE(c.sub, texts.size() - 1);
}

void tst_chapterfile::shifted_data()
{
    QTest::addColumn<QString>("no");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("delta");
    QTest::addColumn<QString>("result");
    QTest::newRow("top") << "2." << 1 << 1 << "3.";
    QTest::newRow("below the level") << "2.1.3." << 1 << 1 << "3.1.3.";
    QTest::newRow("second level down") << "2.2.4." << 2 << -1 << "2.1.4.";
    QTest::newRow("too short stays") << "2." << 2 << 1 << "2.";
    QTest::newRow("digits only are numbers") << "10.x3." << 2 << 1 << "10.4.";
    QTest::newRow("past the largest int") << "2147483647.1." << 1 << 1 << "2147483648.1.";
    QTest::newRow("past any integer")
        << "1.99999999999999999999999." << 2 << 1 << "1.100000000000000000000000.";
    QTest::newRow("down past a power of ten") << "100000000000.2." << 1 << -1 << "99999999999.2.";
    QTest::newRow("down to one digit") << "10.1." << 1 << -1 << "9.1.";
    QTest::newRow("never below zero") << "0.3." << 1 << -1 << "0.3.";
    QTest::newRow("leading zeros read as the number") << "007." << 1 << 1 << "8.";
}

void tst_chapterfile::shifted()
{
    QFETCH(QString, no);
    QFETCH(int, level);
    QFETCH(int, delta);
    QFETCH(QString, result);
    QCOMPARE(ChapterNumber::Shifted(no, level, delta), result);
}

void tst_chapterfile::newId_leftoverTexts_neverTakenFoundWhileAnyIsFree_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("present"); // files in the version folder
    QTest::addColumn<QList<int>>("used");     // IDs of the document's chapters
    QTest::addColumn<int>("counter");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("after");
    const int model = ChapterFile::ModelDocument;
    const int instance = ChapterFile::InstanceDocument;
    // A save wrote Docmodel_1.txt, then failed to write DocModel.xml (MaxID 1).
    QTest::newRow("a failed save's text")
        << model << QStringList{"DocModel.xml", "Docmodel_1.txt"} << QList<int>{0} << 1 << 2 << 3;
    QTest::newRow("an instance text in other letter case")
        << instance << QStringList{"docinstance_2.TXT"} << QList<int>{0, 1} << 2 << 3 << 4;
    QTest::newRow("the other document's text holds no ID")
        << model << QStringList{"DocInstance_1.txt", "model_1.txt"} << QList<int>{0} << 1 << 1 << 2;
    QTest::newRow("a stray text at the ceiling")
        << model << QStringList{"Docmodel_999999999.txt"} << QList<int>{} << 1 << 1 << 2;
    QTest::newRow("no counter left: the lowest free ID")
        << model << QStringList{"Docmodel_1.txt"} << QList<int>{0, 2} << int(ChapterFile::NoIdLeft) << 3
        << int(ChapterFile::NoIdLeft);
    QTest::newRow("the first chapter") << instance << QStringList{} << QList<int>{} << 0 << 0 << 1;
}

// A new chapter never takes an ID whose text file is in the folder: it would show that text
// after a save and a reopen.
void tst_chapterfile::newId_leftoverTexts_neverTakenFoundWhileAnyIsFree()
{
    QFETCH(int, kind);
    QFETCH(QStringList, present);
    QFETCH(QList<int>, used);
    QFETCH(int, counter);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &name : qAsConst(present))
        TestSupport::writeFile(dir.filePath(name), QByteArray());
    QString why;
    QTEST(ChapterFile::NewId(dir.path(), ChapterFile::Kind(kind), &counter,
                             QSet<int>(used.cbegin(), used.cend()), &why),
          "id");
    QTEST(counter, "after");
    QCOMPARE(why, QString());
}

void tst_chapterfile::newId_folderNotListed_refusedWithNothingChanged()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString gone = dir.filePath(QStringLiteral("gone"));
    int counter = 4;
    QString why;
    QCOMPARE(ChapterFile::NewId(gone, ChapterFile::ModelDocument, &counter, {}, &why), -1);
    QCOMPARE(why, QStringLiteral("folder not readable:") + gone);
    QCOMPARE(counter, 4);
}

QTEST_GUILESS_MAIN(tst_chapterfile)
#include "tst_chapterfile.moc"
