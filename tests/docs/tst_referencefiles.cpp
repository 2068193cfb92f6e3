#include "docs/referencefiles.h"
#include "testsupport.h"

#include <QDomDocument>
#include <QTemporaryDir>
#include <QUrl>

using namespace TestSupport;

class tst_referencefiles : public QObject
{
    Q_OBJECT
private slots:
    void list_skipsBakHiddenAndFolders_formatsRows();
    void list_missingFolder_isNoFolder();
    void findApplication_data();
    void findApplication();
    void removeWithCompanion_removesBothKeepsViewingCopy();
    void removeWithCompanion_companionNotRemovable_namesIt();
    void splitLink_data();
    void splitLink();
    void opensDirectly_onlyWebAndMail();
};

void tst_referencefiles::list_skipsBakHiddenAndFolders_formatsRows()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/");
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6));
    writeAt(folder + QStringLiteral("a.txt"), QByteArray(1234567, 'x'), when);
    for (const char *name : {"a.txt.bak", "notes.bak.txt", ".hidden", "others/a.txt"})
        writeFile(folder + QLatin1String(name), "x");
    const ReferenceFiles::Listing listing = ReferenceFiles::List(folder);
    QVERIFY(listing.exists);
    QCOMPARE(listing.rows.size(), 1);
    QCOMPARE(listing.rows.at(0).name, QStringLiteral("a.txt"));
    QCOMPARE(listing.rows.at(0).time, QStringLiteral("2026/03/04 05:06"));
    QCOMPARE(listing.rows.at(0).size, QStringLiteral("1,234,567"));
}

void tst_referencefiles::list_missingFolder_isNoFolder()
{
    QTemporaryDir dir;
    QVERIFY(!ReferenceFiles::List(dir.path() + QStringLiteral("/none/")).exists);
    QVERIFY(!ReferenceFiles::List(QString()).exists);
}

void tst_referencefiles::findApplication_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("program");
    const QString office = QStringLiteral("<REF Extention=\"doc;docx\" exe=\"/office\"/>");
    QTest::newRow("second of list") << office << "report.docx"
                                    << "/office";
    QTest::newRow("first of list") << office << "report.doc"
                                   << "/office";
    QTest::newRow("case counts") << office << "report.DOCX" << QString();
    QTest::newRow("last dot") << office << "a.docx.txt" << QString();
    QTest::newRow("no extension, empty part") << "<REF Extention=\"pdf;\" exe=\"/pdf\"/>"
                                              << "README"
                                              << "/pdf";
    QTest::newRow("trailing dot, empty part") << "<REF Extention=\"pdf;\" exe=\"/pdf\"/>"
                                              << "README."
                                              << "/pdf";
    QTest::newRow("no extension, no empty part") << "<REF Extention=\"pdf\" exe=\"/pdf\"/>"
                                                 << "README" << QString();
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
    QFETCH(QString, program);
    QDomDocument settings;
    QVERIFY(settings.setContent(QStringLiteral("<Init><REFERENCE>%1</REFERENCE></Init>").arg(rows)));
    QCOMPARE(ReferenceFiles::FindApplication(settings, file), program);
    QDomDocument bare;
    QVERIFY(bare.setContent(QStringLiteral("<Init/>")));
    QVERIFY(ReferenceFiles::FindApplication(bare, file).isEmpty());
}

void tst_referencefiles::removeWithCompanion_removesBothKeepsViewingCopy()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/");
    for (const char *name : {"a.txt", "a.txt.bak", "others/a.txt"})
        writeFile(folder + QLatin1String(name), "x");
    QFile::setPermissions(folder + QStringLiteral("a.txt"), QFileDevice::ReadUser);
    QVERIFY(ReferenceFiles::RemoveWithCompanion(folder + QStringLiteral("a.txt")).isEmpty());
    QVERIFY(!QFile::exists(folder + QStringLiteral("a.txt")));
    QVERIFY(!QFile::exists(folder + QStringLiteral("a.txt.bak")));
    QVERIFY(QFile::exists(folder + QStringLiteral("others/a.txt")));
}

void tst_referencefiles::removeWithCompanion_companionNotRemovable_namesIt()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/");
    writeFile(folder + QStringLiteral("a.txt"), "x");
    writeFile(folder + QStringLiteral("a.txt.bak/inside"), "x");
    QCOMPARE(ReferenceFiles::RemoveWithCompanion(folder + QStringLiteral("a.txt")),
             folder + QStringLiteral("a.txt.bak"));
}

void tst_referencefiles::splitLink_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("address");
    QTest::newRow("link") << "Home[$$]https://x.org" << true << "Home"
                          << "https://x.org";
    QTest::newRow("empty title kept") << "[$$]https://x.org" << true << QString() << "https://x.org";
    QTest::newRow("two separators") << "a[$$]b[$$]c" << false << QString() << QString();
    QTest::newRow("none") << "https://x.org" << false << QString() << QString();
}

void tst_referencefiles::splitLink()
{
    QFETCH(QString, entry);
    QFETCH(bool, ok);
    const QString separator = QStringLiteral("[$$]");
    ReferenceFiles::Link link;
    QCOMPARE(ReferenceFiles::SplitLink(entry, separator, &link), ok);
    if (ok) {
        QTEST(link.title, "title");
        QTEST(link.address, "address");
        QCOMPARE(ReferenceFiles::JoinLink(link, separator), entry);
    }
}

void tst_referencefiles::opensDirectly_onlyWebAndMail()
{
    for (const char *link : {"http://x.org", "HTTPS://x.org", "ftp://x.org/f", "mailto:a@x.org"})
        QVERIFY2(ReferenceFiles::OpensDirectly(QUrl(QLatin1String(link))), link);
    for (const char *link : {"file:///etc/passwd", "smb://host/share", "javascript:alert(1)", "x.org", ""})
        QVERIFY2(!ReferenceFiles::OpensDirectly(QUrl(QLatin1String(link))), link);
}

QTEST_GUILESS_MAIN(tst_referencefiles)
#include "tst_referencefiles.moc"
