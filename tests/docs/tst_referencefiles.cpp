#include "docs/referencefiles.h"
#include "domtext.h"

#include <QDomDocument>
#include <QtTest>

using TestSupport::domText;

namespace
{
// An element as text with its attributes sorted: the DOM writes them in no fixed order.

QDomElement parsed(QDomDocument *doc, const QString &xml)
{
    doc->setContent(xml);
    return doc->documentElement();
}
} // namespace

class tst_referencefiles : public QObject
{
    Q_OBJECT
private slots:
    void findApplication_data();
    void findApplication();
    void readLinks_onlyRefChildrenAreLinks();
    void isPlainReference_data();
    void isPlainReference();
    void writeReference_data();
    void writeReference();
    void followEdits_data();
    void followEdits();
};

void tst_referencefiles::findApplication_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("program");
    const QString office = QStringLiteral("<REF Extention=\"doc;docx\" exe=\"/office\"/>");
    const QString pdfOrNone = QStringLiteral("<REF Extention=\"pdf;\" exe=\"/pdf\"/>");
    QTest::newRow("second of list") << office << "report.docx"
                                    << "/office";
    QTest::newRow("first of list") << office << "report.doc"
                                   << "/office";
    QTest::newRow("case counts") << office << "report.DOCX" << QString();
    QTest::newRow("last dot counts") << office << "a.docx.txt" << QString();
    QTest::newRow("no extension, empty part") << pdfOrNone << "README"
                                              << "/pdf";
    QTest::newRow("trailing dot, empty part") << pdfOrNone << "README."
                                              << "/pdf";
    QTest::newRow("no extension, no empty part") << office << "README" << QString();
    QTest::newRow("upper row wins")
        << "<REF Extention=\"pdf\" exe=\"/one\"/><REF Extention=\"xls;pdf\" exe=\"/two\"/>"
        << "a.pdf"
        << "/one";
    QTest::newRow("no rows") << QString() << "a.pdf" << QString();
}

void tst_referencefiles::findApplication()
{
    QFETCH(QString, rows);
    QFETCH(QString, file);
    QDomDocument settings;
    QVERIFY(settings.setContent(QStringLiteral("<Init><REFERENCE>%1</REFERENCE></Init>").arg(rows)));
    QTEST(ReferenceFiles::FindApplication(settings, file), "program");
    QVERIFY(settings.setContent(QStringLiteral("<Init/>")));
    QVERIFY(ReferenceFiles::FindApplication(settings, file).isEmpty());
}

void tst_referencefiles::readLinks_onlyRefChildrenAreLinks()
{
    QDomDocument doc;
    const QDomElement reference = parsed(&doc, QStringLiteral("<REFERENCE><LINK href=\"h\"/><REF TITLE=\"t\" "
                                                              "URL=\"u\" Note=\"n\"/><!--c--><REF URL=\"x\"/>"
                                                              "<REF TITLE=\"[$$]\" URL=\"\"/></REFERENCE>"));
    QCOMPARE(ReferenceFiles::ReadLinks(reference, "[$$]"), (QStringList{"t[$$]u", "[$$]x", "[$$][$$]"}));
}

void tst_referencefiles::isPlainReference_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<bool>("plain");
    QTest::newRow("empty") << "<REFERENCE/>" << true;
    QTest::newRow("links") << "<REFERENCE><REF TITLE=\"t\" URL=\"u\"/><REF URL=\"\" TITLE=\"\"/></REFERENCE>"
                           << true;
    QTest::newRow("attribute of its own") << "<REFERENCE Lang=\"en\"/>" << false;
    QTest::newRow("other element") << "<REFERENCE><LINK href=\"h\"/></REFERENCE>" << false;
    QTest::newRow("comment") << "<REFERENCE><!--c--></REFERENCE>" << false;
    QTest::newRow("text") << "<REFERENCE>x</REFERENCE>" << false;
    QTest::newRow("REF without URL") << "<REFERENCE><REF TITLE=\"t\"/></REFERENCE>" << false;
    QTest::newRow("REF with more") << "<REFERENCE><REF TITLE=\"t\" URL=\"u\" Note=\"n\"/></REFERENCE>"
                                   << false;
    QTest::newRow("separator in title")
        << "<REFERENCE><REF TITLE=\"a[$$]b\" URL=\"u\"/></REFERENCE>" << false;
    QTest::newRow("separator in address")
        << "<REFERENCE><REF TITLE=\"a\" URL=\"u[$$]\"/></REFERENCE>" << false;
    QTest::newRow("REF with child") << "<REFERENCE><REF TITLE=\"t\" URL=\"u\"><X/></REF></REFERENCE>"
                                    << false;
}

void tst_referencefiles::isPlainReference()
{
    QFETCH(QString, xml);
    QDomDocument doc;
    QTEST(ReferenceFiles::IsPlainReference(parsed(&doc, xml), "[$$]"), "plain");
}

void tst_referencefiles::writeReference_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("written");
    const QString mixed =
        QStringLiteral("<REFERENCE Lang=\"en\"><LINK href=\"h\"></LINK><REF Note=\"n\" TITLE=\"t\" "
                       "URL=\"u\"></REF><!--r--></REFERENCE>");
    QTest::newRow("unchanged: all kept, no link invented") << mixed << QStringList{"t[$$]u"} << mixed;
    QTest::newRow("added after the last link and what follows it")
        << mixed << QStringList{"t[$$]u", "n[$$]v"}
        << "<REFERENCE Lang=\"en\"><LINK href=\"h\"></LINK><REF Note=\"n\" TITLE=\"t\" URL=\"u\"></REF>"
           "<!--r--><REF TITLE=\"n\" URL=\"v\"></REF></REFERENCE>";
    QTest::newRow("removed with what follows it, the head stays")
        << mixed << QStringList{} << "<REFERENCE Lang=\"en\"><LINK href=\"h\"></LINK></REFERENCE>";
    // Without FollowEdits nothing tells an edited entry from a new one.
    QTest::newRow("entry no REF gives: a new REF, the unused one goes")
        << mixed << QStringList{"t[$$]u2"}
        << "<REFERENCE Lang=\"en\"><LINK href=\"h\"></LINK><REF TITLE=\"t\" URL=\"u2\"></REF></REFERENCE>";
    QTest::newRow("reordered links keep their own REF and what follows it")
        << "<REFERENCE><REF TITLE=\"a\" URL=\"1\" X=\"x\"/><!--m--><REF TITLE=\"b\" URL=\"2\" "
           "Y=\"y\"/></REFERENCE>"
        << QStringList{"b[$$]2", "a[$$]1"}
        << "<REFERENCE><REF TITLE=\"b\" URL=\"2\" Y=\"y\"></REF><REF TITLE=\"a\" URL=\"1\" "
           "X=\"x\"></REF><!--m--></REFERENCE>";
    QTest::newRow("equal entries keep their REFs in order")
        << "<REFERENCE><REF TITLE=\"a\" URL=\"1\" X=\"1\"/><!--1--><REF TITLE=\"a\" URL=\"1\" X=\"2\"/>"
           "<!--2--></REFERENCE>"
        << QStringList{"a[$$]1"}
        << "<REFERENCE><REF TITLE=\"a\" URL=\"1\" X=\"1\"></REF><!--1--></REFERENCE>";
    // The entries a reader made of such REFs give them back as they were.
    QTest::newRow("REF without TITLE and REF holding the separator kept as read")
        << "<REFERENCE Lang=\"en\"><REF URL=\"x\"/><REF TITLE=\"a[$$]b\" URL=\"u\"/></REFERENCE>"
        << QStringList{"[$$]x", "a[$$]b[$$]u"}
        << "<REFERENCE Lang=\"en\"><REF URL=\"x\"></REF><REF TITLE=\"a[$$]b\" URL=\"u\"></REF></REFERENCE>";
    QTest::newRow("no REF read: links at the end")
        << "<REFERENCE><LINK href=\"h\"/></REFERENCE>" << QStringList{"a[$$]1"}
        << "<REFERENCE><LINK href=\"h\"></LINK><REF TITLE=\"a\" URL=\"1\"></REF></REFERENCE>";
    QTest::newRow("nothing read: built from the pairs")
        << QString() << QStringList{"a[$$]1", "bad", "x[$$]y[$$]z", "[$$]"}
        << "<REFERENCE><REF TITLE=\"a\" URL=\"1\"></REF><REF TITLE=\"\" URL=\"\"></REF></REFERENCE>";
}

void tst_referencefiles::writeReference()
{
    QFETCH(QString, read);
    QFETCH(QStringList, entries);
    QDomDocument source;
    const QDomElement original = read.isEmpty() ? QDomElement() : parsed(&source, read);
    QDomDocument target;
    const QDomElement written = ReferenceFiles::WriteReference(target, entries, "[$$]", original);
    QTEST(domText(written), "written");
    // The element as read is left as it was: the next save starts from it again.
    if (!read.isEmpty()) {
        QDomDocument again;
        QCOMPARE(domText(original), domText(parsed(&again, read)));
    }
}

void tst_referencefiles::followEdits_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QList<int>>("origins");
    QTest::addColumn<QString>("written");
    const QString read = QStringLiteral(
        "<REFERENCE Lang=\"en\"><!--head--><REF TITLE=\"a\" URL=\"1\" X=\"x\"><Sub></Sub></REF><!--a-->"
        "<REF TITLE=\"b\" URL=\"2\" Y=\"y\"></REF><!--b--></REFERENCE>");
    const QStringList both{"a[$$]1", "b[$$]2"};
    const QString a = "<REF TITLE=\"a\" URL=\"1\" X=\"x\"><Sub></Sub></REF><!--a-->";
    const QString b = "<REF TITLE=\"b\" URL=\"2\" Y=\"y\"></REF><!--b-->";
    const QString head = "<REFERENCE Lang=\"en\"><!--head-->";
    QTest::newRow("nothing edited") << read << both << both << QList<int>{0, 1} << read;
    QTest::newRow("renamed: attributes, children and what follows kept")
        << read << both << QStringList{"A[$$]1a", "b[$$]2"} << QList<int>{0, 1}
        << head + "<REF TITLE=\"A\" URL=\"1a\" X=\"x\"><Sub></Sub></REF><!--a-->" + b + "</REFERENCE>";
    QTest::newRow("removed with what follows it")
        << read << both << QStringList{"b[$$]2"} << QList<int>{1} << head + b + "</REFERENCE>";
    QTest::newRow("moved with what follows it") << read << both << QStringList{"b[$$]2", "a[$$]1"}
                                                << QList<int>{1, 0} << head + b + a + "</REFERENCE>";
    // A diff of the texts would take this for a rename of b: the rows know better.
    QTest::newRow("removed and one added in its place")
        << read << both << QStringList{"a[$$]1", "n[$$]3"} << QList<int>{0, -1}
        << head + a + "<REF TITLE=\"n\" URL=\"3\"></REF></REFERENCE>";
    QTest::newRow("texts exchanged: each REF keeps its own")
        << read << both << QStringList{"b[$$]2", "a[$$]1"} << QList<int>{0, 1}
        << head + "<REF TITLE=\"b\" URL=\"2\" X=\"x\"><Sub></Sub></REF><!--a-->"
                  "<REF TITLE=\"a\" URL=\"1\" Y=\"y\"></REF><!--b--></REFERENCE>";
    QTest::newRow("one row claiming a REF twice: the second is new")
        << read << both << QStringList{"a[$$]1", "c[$$]3"} << QList<int>{0, 0}
        << head + a + "<REF TITLE=\"c\" URL=\"3\"></REF></REFERENCE>";
    // Entries that are not the REFs as read (changed elsewhere): the REFERENCE is not touched.
    QTest::newRow("entries before are not the REFs read")
        << read << QStringList{"b[$$]2", "a[$$]1"} << QStringList{"z[$$]9"} << QList<int>{0}
        << head + "<REF TITLE=\"z\" URL=\"9\"></REF></REFERENCE>";
    QTest::newRow("nothing read: nothing to keep")
        << "<REFERENCE></REFERENCE>" << QStringList{} << QStringList{"n[$$]1"} << QList<int>{-1}
        << "<REFERENCE><REF TITLE=\"n\" URL=\"1\"></REF></REFERENCE>";
}

// What the file held besides a link stays with the link the user edits, and goes when it goes.
void tst_referencefiles::followEdits()
{
    QFETCH(QString, read);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QList<int>, origins);
    QDomDocument source;
    QDomElement reference = parsed(&source, read);
    const bool followed = ReferenceFiles::ReadLinks(reference, "[$$]") == before;
    ReferenceFiles::FollowEdits(reference, before, after, origins, "[$$]");
    QDomDocument target;
    QTEST(domText(ReferenceFiles::WriteReference(target, after, "[$$]", reference)), "written");
    // The next edit starts from the links as this one left them.
    const QStringList unchanged{"a[$$]1", "b[$$]2"};
    QCOMPARE(ReferenceFiles::ReadLinks(reference, "[$$]"), followed ? after : unchanged);
}

QTEST_GUILESS_MAIN(tst_referencefiles)
#include "tst_referencefiles.moc"
