#include "docs/referencefiles.h"

#include <QDomDocument>
#include <QtTest>

class tst_referencefiles : public QObject
{
    Q_OBJECT
private slots:
    void findApplication_data();
    void findApplication();
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

QTEST_GUILESS_MAIN(tst_referencefiles)
#include "tst_referencefiles.moc"
