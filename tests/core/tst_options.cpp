#include "core/initxml.h"
#include "core/longvalue.h"
#include "core/optionsmodel.h"
#include "core/platformstore.h"
#include "domtext.h"

#include <QDomDocument>
#include <QFile>
#include <QSettings>
#include <QtTest>

using TestSupport::domText;

Q_DECLARE_METATYPE(ChildUserRow)

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
    void write_readBack_keepsUnknownContentAndEmptyValues();
    void write_rowsChanged_data();
    void write_rowsChanged();
    void write_rowsRemovedOrMoved_unknownContentFollowsItsRow_data();
    void write_rowsRemovedOrMoved_unknownContentFollowsItsRow();
    void writeTracker_sameMeaning_keepsStoredText_data();
    void writeTracker_sameMeaning_keepsStoredText();
    void keepStored_untouchedFields_keepStoredText();
    void writeTyped_rowsOfAnotherWindow_data();
    void writeTyped_rowsOfAnotherWindow();
    void refuseValues_data();
    void refuseValues();
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

namespace
{
// A document from another member's newer program: attributes, elements and comments this program
// does not know, and values left empty.
const char *const kForeign =
    R"(<Init Name="ann" Email="ann@x.org" RedmineID="" FirstName="" LastName="" Team="blue">
    <CHILD>
        <!-- accounts of the lab -->
        <ChildUser Name="bob" Email="bob@x.org" Proc_Email="" FirstName="" LastName="" RedmineID="" Seat="4"/>
        <Note Text="kept"><Inner/></Note>
        <ChildUser Name="cy" Email="cy@x.org" Proc_Email="c@x.org" FirstName="Cy" LastName="Li" RedmineID="7"/>
        <ChildUser Name="dee" Email="dee@x.org" Proc_Email="" FirstName="" LastName="" RedmineID="" Seat="9"/>
    </CHILD>
    <OPTION><FONT size="" Name="" Weight="bold"/><AUTOSAVE interval=""/></OPTION>
    <REFERENCE>
        <!-- viewers -->
        <REF Extention="pdf" exe="/usr/bin/viewer" Args="--fit"/>
        <Extra/>
        <REF Extention="" exe=""/>
    </REFERENCE>
    <Redmine><Active Value=""/><HOME Url=""/><Authentication ApiKey=""/><Description Max=""/></Redmine>
    <MAIL><SMTPSERVER Value=""/><PORT Value=""/><SECURITY Value=""/><AUTH Value=""/><ADDRESS Value=""/><ISSEND Value=""/><ISCONNECT Value=""/><EXTRA Value="x"/></MAIL>
</Init>)";

QStringList attributeOf(const QDomDocument &doc, const char *tag, const char *name)
{
    QStringList found;
    const QDomNodeList list = doc.elementsByTagName(QLatin1String(tag));
    for (int i = 0; i < list.size(); ++i)
        found << list.item(i).toElement().attribute(QLatin1String(name), QStringLiteral("-"));
    return found;
}
} // namespace

void tst_options::write_readBack_keepsUnknownContentAndEmptyValues()
{
    QDomDocument doc = parse(kForeign);
    const QString before = domText(doc);
    const OptionValues read = OptionsModel::Read(doc);
    QVERIFY(OptionsModel::Write(doc, read));
    OptionsModel::WriteTracker(doc, {false, QString(), true, 65535});
    QCOMPARE(domText(parse(doc.toByteArray(4).constData())), before);
}

// Rows are the dialog's table after an edit: each says which ChildUser it was read from.
void tst_options::write_rowsChanged_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("from");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QStringList>("seats");
    QTest::newRow("middle row deleted") << QStringList{"bob", "dee"} << QList<int>{0, 2}
                                        << QStringList{"bob", "dee"} << QStringList{"4", "9"};
    QTest::newRow("row added at the end")
        << QStringList{"bob", "cy", "dee", "eve"} << QList<int>{0, 1, 2, -1}
        << QStringList{"bob", "cy", "dee", "eve"} << QStringList{"4", "-", "9", "-"};
    QTest::newRow("first row renamed") << QStringList{"rob", "cy", "dee"} << QList<int>{0, 1, 2}
                                       << QStringList{"rob", "cy", "dee"} << QStringList{"4", "-", "9"};
    QTest::newRow("rows turned round") << QStringList{"dee", "cy", "bob"} << QList<int>{2, 1, 0}
                                       << QStringList{"dee", "cy", "bob"} << QStringList{"9", "-", "4"};
    QTest::newRow("no rows said where from")
        << QStringList{"bob"} << QList<int>{} << QStringList{"bob"} << QStringList{"-"};
}

void tst_options::write_rowsChanged()
{
    QFETCH(QStringList, names);
    QFETCH(QList<int>, from);
    QFETCH(QStringList, order);
    QFETCH(QStringList, seats);
    QDomDocument doc = parse(kForeign);
    OptionValues v = OptionsModel::Read(doc);
    QList<ChildUserRow> rows;
    for (int i = 0; i < names.size(); ++i) {
        ChildUserRow row = from.value(i, -1) >= 0 ? v.children.at(from.at(i)) : ChildUserRow{};
        row.name = names.at(i);
        rows.append(row);
    }
    v.children = rows;
    v.childFrom = from;
    OptionsModel::Write(doc, v);
    const QDomDocument back = parse(doc.toByteArray(4).constData());
    QCOMPARE(attributeOf(back, "ChildUser", "Name"), order);
    QCOMPARE(attributeOf(back, "ChildUser", "Seat"), seats);
    // The Note followed bob's element: it goes when that element goes.
    QCOMPARE(attributeOf(back, "Note", "Text"), from.contains(0) ? QStringList{"kept"} : QStringList{});
    QVERIFY(domText(back).contains(QLatin1String("<!-- accounts of the lab -->")));
}

namespace
{
// Rows with what another member's program wrote before the first of them and after each.
const char *const kRows =
    "<Init><CHILD><!--head--><ChildUser Name='a'/><X-a/><ChildUser Name='b'/><X-b/>"
    "<ChildUser Name='c'/></CHILD><REFERENCE><!--head--><REF Extention='pdf'/><X-pdf/>"
    "<Group><REF Extention='doc'/></Group><X-g/><REF Extention='txt'/></REFERENCE></Init>";
} // namespace

void tst_options::write_rowsRemovedOrMoved_unknownContentFollowsItsRow_data()
{
    QTest::addColumn<QList<int>>("childFrom"); // the rows, by the element each was read from; -1 new
    QTest::addColumn<QList<int>>("referenceFrom");
    QTest::addColumn<QString>("written");
    // An element holding a row's element ends what followed the row before: it stays.
    QTest::newRow("first of each removed")
        << QList<int>{1, 2} << QList<int>{1, 2}
        << "<CHILD><!--head--><ChildUser Name='b'/><X-b/><ChildUser Name='c'/></CHILD><REFERENCE><!--head-->"
           "<Group><REF Extention='doc'/></Group><X-g/><REF Extention='txt'/></REFERENCE>";
    QTest::newRow("turned round, new first")
        << QList<int>{2, 1, 0} << QList<int>{-1, 0, 1, 2}
        << "<CHILD><!--head--><ChildUser Name='c'/><ChildUser Name='b'/><X-b/><ChildUser Name='a'/><X-a/>"
           "</CHILD><REFERENCE><!--head--><REF Extention='' exe=''/><REF Extention='pdf'/><X-pdf/>"
           "<Group><REF Extention='doc'/></Group><X-g/><REF Extention='txt'/></REFERENCE>";
}

// What another member's program wrote after a row's element is that row's: it goes with the row
// and moves with it; what stood before the first row stays first.
void tst_options::write_rowsRemovedOrMoved_unknownContentFollowsItsRow()
{
    QFETCH(QList<int>, childFrom);
    QFETCH(QList<int>, referenceFrom);
    QFETCH(QString, written);
    QDomDocument doc = parse(kRows);
    OptionValues v = OptionsModel::Read(doc);
    const OptionValues read = v;
    v.children.clear();
    for (int k : childFrom)
        v.children.append(read.children.at(k));
    v.references.clear();
    for (int k : referenceFrom)
        v.references.append(k >= 0 ? read.references.at(k) : ReferenceRow{});
    v.childFrom = childFrom;
    v.referenceFrom = referenceFrom;
    OptionsModel::Write(doc, v);
    QCOMPARE(domText(parse(doc.toByteArray(4).constData())),
             domText(parse(qPrintable("<Init>" + written + "</Init>"))));
}

void tst_options::writeTracker_sameMeaning_keepsStoredText_data()
{
    QTest::addColumn<QString>("active");
    QTest::addColumn<QString>("apiKey");
    QTest::addColumn<QString>("max");
    QTest::addColumn<bool>("on");
    QTest::addColumn<bool>("keySet");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("empty texts, same meaning") << ""
                                               << ""
                                               << "" << false << true << 65535 << QStringList{"", "", ""};
    QTest::newRow("empty texts, every value changed")
        << ""
        << ""
        << "" << true << false << 300 << QStringList{"1", "0", "300"};
    QTest::newRow("unknown texts, same meaning")
        << "yes"
        << "2"
        << "many" << false << true << 65535 << QStringList{"yes", "2", "many"};
    QTest::newRow("plain flags, switched") << "1"
                                           << "0"
                                           << "20" << false << true << 20 << QStringList{"0", "1", "20"};
}

void tst_options::writeTracker_sameMeaning_keepsStoredText()
{
    QFETCH(QString, active);
    QFETCH(QString, apiKey);
    QFETCH(QString, max);
    QFETCH(bool, on);
    QFETCH(bool, keySet);
    QFETCH(int, limit);
    QFETCH(QStringList, written);
    QDomDocument doc =
        parse("<Init><Redmine><Active/><HOME Url='u'/><Authentication/><Description/></Redmine></Init>");
    first(doc, "Active").setAttribute(QStringLiteral("Value"), active);
    first(doc, "Authentication").setAttribute(QStringLiteral("ApiKey"), apiKey);
    first(doc, "Description").setAttribute(QStringLiteral("Max"), max);
    OptionsModel::WriteTracker(doc, {on, QStringLiteral("u"), keySet, limit});
    QCOMPARE(QStringList({first(doc, "Active").attribute(QStringLiteral("Value")),
                          first(doc, "Authentication").attribute(QStringLiteral("ApiKey")),
                          first(doc, "Description").attribute(QStringLiteral("Max"))}),
             written);
}

// The dialog shows an empty id as 0, an empty size as its least and an empty port as the default.
void tst_options::keepStored_untouchedFields_keepStoredText()
{
    const OptionValues stored = OptionsModel::Read(parse(kForeign));
    OptionValues shown;
    shown.redmineId = QStringLiteral("0");
    shown.fontSize = QStringLiteral("8");
    shown.autoSave = QStringLiteral("0");
    shown.mail.port = 587;
    OptionValues typed = shown;
    typed.lastName = QStringLiteral("Lee");
    typed.mail.security = 2;
    const OptionValues kept = OptionsModel::KeepStored(stored, shown, typed);
    QCOMPARE(kept.redmineId, QString());
    QCOMPARE(kept.fontSize, QString());
    QCOMPARE(kept.autoSave, QString());
    QCOMPARE(kept.lastName, QStringLiteral("Lee"));
    QCOMPARE(OptionsModel::MailText(kept, QStringLiteral("PORT")), QString());
    QCOMPARE(OptionsModel::MailText(kept, QStringLiteral("SECURITY")), QStringLiteral("2"));

    // An interval the dialog cannot offer means minutes it no longer runs: it is replaced.
    OptionValues odd = stored;
    odd.autoSave = QStringLiteral("2");
    QCOMPARE(OptionsModel::KeepStored(odd, shown, typed).autoSave, QStringLiteral("0"));
    typed.redmineId = QStringLiteral("12");
    QCOMPARE(OptionsModel::KeepStored(stored, shown, typed).redmineId, QStringLiteral("12"));
}

namespace
{
// One REF a name, each marked with its place as written (n).
QDomDocument references(const QStringList &extensions)
{
    QString xml = QStringLiteral("<Init><REFERENCE>");
    for (int i = 0; i < extensions.size(); ++i)
        xml += QStringLiteral("<REF Extention='%1' exe='/bin/%1' n='%2'/>").arg(extensions.at(i)).arg(i);
    QDomDocument doc;
    doc.setContent(xml + QStringLiteral("</REFERENCE></Init>"));
    return doc;
}
} // namespace

void tst_options::writeTyped_rowsOfAnotherWindow_data()
{
    QTest::addColumn<QStringList>("shown");   // as this window's dialog loaded them
    QTest::addColumn<QStringList>("file");    // as another window wrote them since
    QTest::addColumn<QStringList>("typed");   // the dialog's rows at OK: name:place as loaded (-1 new)
    QTest::addColumn<QStringList>("written"); // name@place in the file (none: a new element)
    QTest::newRow("both add") << QStringList{"pdf"} << QStringList{"pdf", "txt"}
                              << QStringList{"pdf:0", "doc:-1"} << QStringList{"pdf@0", "txt@1", "doc@"};
    QTest::newRow("this removes, other adds in front")
        << QStringList{"pdf", "doc"} << QStringList{"md", "pdf", "doc"} << QStringList{"doc:1"}
        << QStringList{"md@0", "doc@2"};
    QTest::newRow("other removes a row left as shown")
        << QStringList{"pdf", "doc"} << QStringList{"doc"} << QStringList{"pdf:0", "doc:1", "txt:-1"}
        << QStringList{"doc@0", "txt@"};
    QTest::newRow("other removes a row edited here")
        << QStringList{"pdf", "doc"} << QStringList{"doc"} << QStringList{"ps:0", "doc:1"}
        << QStringList{"ps@", "doc@0"};
    QTest::newRow("other edits a row removed here") << QStringList{"pdf", "doc"} << QStringList{"pdf", "rtf"}
                                                    << QStringList{"pdf:0"} << QStringList{"pdf@0", "rtf@1"};
    QTest::newRow("table left alone") << QStringList{"pdf"} << QStringList{"txt", "pdf"}
                                      << QStringList{"pdf:0"} << QStringList{"txt@0", "pdf@1"};
    QTest::newRow("same row twice, first removed")
        << QStringList{"pdf", "pdf"} << QStringList{"md", "pdf", "pdf"} << QStringList{"pdf:1"}
        << QStringList{"md@0", "pdf@2"};
}

// The dialog's rows name elements as it loaded them; another window may have written the file
// since. Its rows stay unless this window removed them, and an edit here goes to the same element.
void tst_options::writeTyped_rowsOfAnotherWindow()
{
    QFETCH(QStringList, shown);
    QFETCH(QStringList, file);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, written);
    const OptionValues loaded = OptionsModel::Read(references(shown));
    OptionValues edited = loaded;
    edited.references.clear();
    edited.referenceFrom.clear();
    for (const QString &row : typed) {
        const QString extension = row.section(QLatin1Char(':'), 0, 0);
        edited.references.append({extension, QStringLiteral("/bin/") + extension});
        edited.referenceFrom.append(row.section(QLatin1Char(':'), 1).toInt());
    }
    QDomDocument doc = references(file);
    OptionsModel::WriteTyped(doc, loaded, edited);
    QStringList result;
    const QDomNodeList refs = doc.elementsByTagName(QStringLiteral("REF"));
    for (int i = 0; i < refs.size(); ++i) {
        const QDomElement e = refs.item(i).toElement();
        result << e.attribute(QStringLiteral("Extention")) + QLatin1Char('@') +
                      e.attribute(QStringLiteral("n"));
    }
    QCOMPARE(result, written);
}

void tst_options::refuseValues_data()
{
    const QString most(LongValue::MaxChars, QLatin1Char('a'));
    const QString over = most + QLatin1Char('a');
    QTest::addColumn<ChildUserRow>("row");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("refused");
    QTest::newRow("every value at the limit")
        << ChildUserRow{most, most, most, {}, {}, {}} << most << QString();
    QTest::newRow("name one past") << ChildUserRow{over, "b@x.org", {}, {}, {}, {}} << QString() << "A name";
    QTest::newRow("name of 5000") << ChildUserRow{QString(5000, 'n'), "b@x.org", {}, {}, {}, {}} << QString()
                                  << "A name";
    QTest::newRow("account of 4996") << ChildUserRow{"bob", QString(4996, 'b'), {}, {}, {}, {}} << QString()
                                     << "An account";
    QTest::newRow("send address one past")
        << ChildUserRow{"bob", "b@x.org", over, {}, {}, {}} << QString() << "A send address";
    QTest::newRow("long tracker names are no member file's")
        << ChildUserRow{"bob", "b@x.org", {}, over, over, {}} << QString() << QString();
    QTest::newRow("mail address one past")
        << ChildUserRow{"bob", "b@x.org", {}, {}, {}, {}} << over << "A mail address";
}

void tst_options::refuseValues()
{
    QFETCH(ChildUserRow, row);
    QFETCH(QString, address);
    QFETCH(QString, refused);
    OptionValues v;
    v.children = {{QStringLiteral("ok"), QStringLiteral("ok@x.org"), {}, {}, {}, {}}, row};
    v.mail.address = address;
    const QString refusal = OptionsModel::RefuseValues(v);
    QCOMPARE(refusal.section(QLatin1String(" of more than"), 0, 0), refused);
    if (!refused.isEmpty()) {
        QVERIFY(refusal.contains(QString::number(LongValue::MaxChars)));
        QVERIFY(refusal.size() < 400);
    }
    QCOMPARE(OptionsModel::RefuseAccount(row).isEmpty(), refused.isEmpty() || refused == "A mail address");
}

QTEST_GUILESS_MAIN(tst_options)
#include "tst_options.moc"
