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
    QTest::newRow("REF with child") << "<REFERENCE><REF TITLE=\"t\" URL=\"u\"><X/></REF></REFERENCE>"
                                    << false;
}

void tst_referencefiles::isPlainReference()
{
    QFETCH(QString, xml);
    QDomDocument doc;
    QTEST(ReferenceFiles::IsPlainReference(parsed(&doc, xml)), "plain");
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
    QTest::newRow("added after the last link")
        << mixed << QStringList{"t[$$]u", "n[$$]v"}
        << "<REFERENCE Lang=\"en\"><LINK href=\"h\"></LINK><REF Note=\"n\" TITLE=\"t\" URL=\"u\"></REF>"
           "<REF TITLE=\"n\" URL=\"v\"></REF><!--r--></REFERENCE>";
    QTest::newRow("removed, the rest stays")
        << mixed << QStringList{} << "<REFERENCE Lang=\"en\"><LINK href=\"h\"></LINK><!--r--></REFERENCE>";
    QTest::newRow("edited link is a new one") << mixed << QStringList{"t[$$]u2"}
                                              << "<REFERENCE Lang=\"en\"><LINK href=\"h\"></LINK><REF "
                                                 "TITLE=\"t\" URL=\"u2\"></REF><!--r--></REFERENCE>";
    QTest::newRow("reordered links keep their own REF")
        << "<REFERENCE><REF TITLE=\"a\" URL=\"1\" X=\"x\"/><!--m--><REF TITLE=\"b\" URL=\"2\" "
           "Y=\"y\"/></REFERENCE>"
        << QStringList{"b[$$]2", "a[$$]1"}
        << "<REFERENCE><REF TITLE=\"b\" URL=\"2\" Y=\"y\"></REF><!--m--><REF TITLE=\"a\" URL=\"1\" "
           "X=\"x\"></REF>"
           "</REFERENCE>";
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

QTEST_GUILESS_MAIN(tst_referencefiles)
#include "tst_referencefiles.moc"
