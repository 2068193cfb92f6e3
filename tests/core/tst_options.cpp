#include "core/initxml.h"
#include "core/optionsmodel.h"
#include "core/platformstore.h"

#include <QDomDocument>
#include <QFile>
#include <QSettings>
#include <QtTest>

// The option model against settings documents: what the Options dialog reads and writes.
class tst_options : public QObject
{
    Q_OBJECT
private slots:
    void read_defaultDocument();
    void write_everySection_roundTrips();
    void write_childTrackerNames_alwaysKept();
    void write_missingSections_skipped();
    void write_mailUnknownChildren_leftAlone();
    void writeTracker_missingSection_createdUnderInit();
    void cutTrackerKey_data();
    void cutTrackerKey();
    void portFromText_data();
    void portFromText();
    void maxFromText_notANumber_is65535();
    void platformStore_fileIsOwnerOnly();
};

namespace
{
QDomDocument parse(const char *xml)
{
    QDomDocument doc;
    doc.setContent(QByteArray(xml));
    return doc;
}

QDomElement first(const QDomDocument &doc, const char *tag)
{
    return doc.elementsByTagName(QLatin1String(tag)).item(0).toElement();
}

OptionValues sample()
{
    OptionValues v;
    v.firstName = QStringLiteral("Ann");
    v.lastName = QStringLiteral("Lee");
    v.redmineId = QStringLiteral("70000");
    v.references = {{QStringLiteral("pdf"), QStringLiteral("/usr/bin/viewer")},
                    {QStringLiteral("doc;"), QStringLiteral("/opt/wp & co/wp")}};
    v.children = {{QStringLiteral("bob"), QStringLiteral("bob@x.org"), QStringLiteral("bob2@x.org"),
                   QStringLiteral("Bob"), QStringLiteral("Stone"), QStringLiteral("12")}};
    v.fontName = QStringLiteral("DejaVu Sans");
    v.fontSize = QStringLiteral("11");
    v.autoSave = QStringLiteral("5");
    v.mail.server = QStringLiteral("smtp.x.org");
    v.mail.port = 2525;
    v.mail.security = 2;
    v.mail.auth = 0;
    v.mail.address = QStringLiteral("ann@x.org");
    v.mail.send = true;
    v.mail.connect = true;
    return v;
}
} // namespace

void tst_options::read_defaultDocument()
{
    const QDomDocument doc = initxml::DefaultDocument(QStringLiteral("ann"), QStringLiteral("ann@x.org"));
    const OptionValues v = OptionsModel::Read(doc);
    QVERIFY(v.hasInit && v.hasReference && v.hasChild && v.hasFont && v.hasAutoSave && v.hasMail);
    QCOMPARE(v.ownerName, QStringLiteral("ann"));
    QCOMPARE(v.fontName, QStringLiteral("Meiryo UI"));
    QCOMPARE(v.fontSize, QStringLiteral("16"));
    QCOMPARE(v.autoSave, QString());
    QCOMPARE(v.mailRead.value(QStringLiteral("PORT")), QStringLiteral("587"));
    QCOMPARE(v.mailRead.value(QStringLiteral("ADDRESS")), QStringLiteral("ann@x.org"));
    QCOMPARE(v.mailRead.size(), 7);
}

void tst_options::write_everySection_roundTrips()
{
    QDomDocument doc = initxml::DefaultDocument(QStringLiteral("ann"), QStringLiteral("ann@x.org"));
    first(doc, "REFERENCE").appendChild(doc.createElement(QStringLiteral("REF")));
    QVERIFY(OptionsModel::Write(doc, sample()));
    // Through text, as the file would carry it.
    const QDomDocument back = parse(doc.toByteArray(4).constData());
    const OptionValues v = OptionsModel::Read(back);
    QCOMPARE(v.firstName, QStringLiteral("Ann"));
    QCOMPARE(v.redmineId, QStringLiteral("70000"));
    QCOMPARE(v.references.size(), 2);
    QCOMPARE(v.references.at(1).program, QStringLiteral("/opt/wp & co/wp"));
    QCOMPARE(first(back, "REF").attribute(QStringLiteral("Extention")), QStringLiteral("pdf"));
    QCOMPARE(v.children.size(), 1);
    QCOMPARE(v.children.at(0).procEmail, QStringLiteral("bob2@x.org"));
    QCOMPARE(v.fontName, QStringLiteral("DejaVu Sans"));
    QCOMPARE(v.fontSize, QStringLiteral("11"));
    QCOMPARE(v.autoSave, QStringLiteral("5"));
    const QStringList expected = {"smtp.x.org", "2525", "2", "0", "ann@x.org", "1", "1"};
    const QStringList tags = {"SMTPSERVER", "PORT", "SECURITY", "AUTH", "ADDRESS", "ISSEND", "ISCONNECT"};
    for (int i = 0; i < tags.size(); ++i)
        QCOMPARE(v.mailRead.value(tags.at(i)), expected.at(i));
}

void tst_options::write_childTrackerNames_alwaysKept()
{
    QDomDocument doc = initxml::DefaultDocument(QString(), QString());
    QVERIFY(OptionsModel::Write(doc, sample()));
    const QDomElement u = first(doc, "ChildUser");
    QCOMPARE(u.parentNode().nodeName(), QStringLiteral("CHILD"));
    QCOMPARE(u.attribute(QStringLiteral("FirstName")), QStringLiteral("Bob"));
    QCOMPARE(u.attribute(QStringLiteral("LastName")), QStringLiteral("Stone"));
    QCOMPARE(u.attribute(QStringLiteral("RedmineID")), QStringLiteral("12"));
}

void tst_options::write_missingSections_skipped()
{
    QDomDocument doc = parse("<Init Name='a'><OPTION/><MAIL/></Init>");
    QVERIFY(!OptionsModel::Write(doc, sample()));
    QVERIFY(first(doc, "REFERENCE").isNull());
    QVERIFY(first(doc, "ChildUser").isNull());
    QVERIFY(first(doc, "FONT").isNull());
    QVERIFY(first(doc, "AUTOSAVE").isNull());
    QCOMPARE(first(doc, "MAIL").childNodes().size(), 0);
    QCOMPARE(first(doc, "Init").attribute(QStringLiteral("LastName")), QStringLiteral("Lee"));

    QDomDocument noMail = parse("<Init/>");
    QVERIFY(!OptionsModel::Write(noMail, sample()));
    QVERIFY(first(noMail, "MAIL").isNull());
}

void tst_options::write_mailUnknownChildren_leftAlone()
{
    QDomDocument doc = parse("<Init><MAIL><PORT Value='25'/><EXTRA Value='keep'/></MAIL></Init>");
    QVERIFY(OptionsModel::Write(doc, sample()));
    QCOMPARE(first(doc, "PORT").attribute(QStringLiteral("Value")), QStringLiteral("2525"));
    QCOMPARE(first(doc, "EXTRA").attribute(QStringLiteral("Value")), QStringLiteral("keep"));
    QVERIFY(first(doc, "SMTPSERVER").isNull());
}

void tst_options::writeTracker_missingSection_createdUnderInit()
{
    QDomDocument doc = parse("<Init><CHILD/></Init>");
    OptionsModel::WriteTracker(doc, {true, QStringLiteral("http://127.0.0.1:3000"), true, 4096});
    const QDomElement redmine = first(doc, "Redmine");
    QCOMPARE(redmine.parentNode().nodeName(), QStringLiteral("Init"));
    QStringList order;
    for (QDomElement e = redmine.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        order << e.tagName();
    QCOMPARE(order, QStringList({"Active", "HOME", "Authentication", "Description"}));
    QCOMPARE(first(doc, "Active").attribute(QStringLiteral("Value")), QStringLiteral("1"));
    QCOMPARE(first(doc, "HOME").attribute(QStringLiteral("Url")), QStringLiteral("http://127.0.0.1:3000"));
    QCOMPARE(first(doc, "Authentication").attribute(QStringLiteral("ApiKey")), QStringLiteral("1"));
    QCOMPARE(first(doc, "Description").attribute(QStringLiteral("Max")), QStringLiteral("4096"));

    QDomDocument noDescription = parse("<Init><Redmine><Active Value='1'/></Redmine></Init>");
    OptionsModel::WriteTracker(noDescription, {false, QString(), false, 20});
    QCOMPARE(first(noDescription, "Active").attribute(QStringLiteral("Value")), QStringLiteral("0"));
    QCOMPARE(first(noDescription, "Description").attribute(QStringLiteral("Max")), QStringLiteral("20"));
    QVERIFY(first(noDescription, "HOME").isNull());
}

void tst_options::cutTrackerKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("cut");
    QTest::newRow("plain") << "abc123"
                           << "abc123";
    QTest::newRow("blank after first word") << "abc123 tail"
                                            << "abc123";
    QTest::newRow("leading blanks and two words") << "   abc def"
                                                  << "abc";
    QTest::newRow("trailing newline") << "abc\n"
                                      << "abc";
    QTest::newRow("only blanks") << "    "
                                 << "";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_options::cutTrackerKey()
{
    QFETCH(QString, key);
    QFETCH(QString, cut);
    QCOMPARE(OptionsModel::CutTrackerKey(key), cut);
}

void tst_options::portFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("security");
    QTest::addColumn<int>("port");
    QTest::newRow("above 999 kept") << "2525" << 1 << 2525;
    QTest::newRow("highest") << "65535" << 1 << 65535;
    QTest::newRow("too high, TLS") << "65536" << 2 << 465;
    QTest::newRow("zero") << "0" << 1 << 587;
    QTest::newRow("not a number") << "smtp" << 0 << 587;
    QTest::newRow("empty, TLS") << "" << 2 << 465;
}

void tst_options::portFromText()
{
    QFETCH(QString, text);
    QFETCH(int, security);
    QFETCH(int, port);
    QCOMPARE(OptionsModel::PortFromText(text, security), port);
}

void tst_options::maxFromText_notANumber_is65535()
{
    QCOMPARE(OptionsModel::MaxFromText(QStringLiteral("abc")), 65535);
    QCOMPARE(OptionsModel::MaxFromText(QString()), 65535);
    QCOMPARE(OptionsModel::MaxFromText(QStringLiteral("300")), 300);
}

void tst_options::platformStore_fileIsOwnerOnly()
{
    PlatformStore::Write(QStringLiteral("api"), QStringLiteral("k"));
    const QString file = QSettings(QStringLiteral("ZqvProject"), QStringLiteral("Pelmorine")).fileName();
    QVERIFY(file.startsWith(QDir::homePath()));
    QCOMPARE(QFile::permissions(file) & 0x0077, QFileDevice::Permissions());
    QVERIFY(QFile::permissions(file) & QFileDevice::ReadOwner);
}

QTEST_GUILESS_MAIN(tst_options)
#include "tst_options.moc"
