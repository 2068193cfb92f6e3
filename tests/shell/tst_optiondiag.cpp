#include "core/longvalue.h"
#include "core/optionsmodel.h"
#include "core/platformstore.h"
#include "core/safefile.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "domtext.h"
#include "members/addgroup.h"
#include "shell/checktimer.h"
#include "shell/optfont.h"
#include "shell/optiondiag.h"
#include "shell/optproject.h"
#include "testsupport_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

using namespace TestSupport;

namespace
{
// Fails the test on any connection warning and keeps every message for the secrets check.
QStringList g_messages;
void collect(QtMsgType, const QMessageLogContext &, const QString &text)
{
    g_messages << text;
}

const char *const kInit = R"(<?xml version="1.0" encoding="UTF-8"?>
<Init Name="ann" Email="ann@x.org" RedmineID="" FirstName="" LastName="">
    <CHILD><ChildUser Name="bob" Email="bob@x.org" Proc_Email="b@x.org" FirstName="Bob" LastName="Stone" RedmineID="12"/></CHILD>
    <OPTION><FONT size="16" Name="Meiryo UI"/><AUTOSAVE interval="2"/></OPTION>
    <REFERENCE><REF Extention="pdf" exe="/usr/bin/viewer"/></REFERENCE>
    <HISTORY/>
    <Redmine><Active Value="0"/><HOME Url=""/><Authentication ApiKey="0"/><Description Max="65535"/></Redmine>
    <MAIL><SMTPSERVER Value="smtp.x.org"/><PORT Value="2525"/><SECURITY Value="1"/><AUTH Value="0"/><ADDRESS Value="ann@x.org"/><ISSEND Value="1"/><ISCONNECT Value="1"/></MAIL>
</Init>
)";

// Written by another member's newer program: what this one does not know, and values left empty.
const char *const kForeign = R"(<?xml version="1.0" encoding="UTF-8"?>
<Init Name="ann" Email="ann@x.org" RedmineID="" FirstName="" LastName="" Team="blue">
    <CHILD>
        <!-- accounts of the lab -->
        <ChildUser Name="bob" Email="bob@x.org" Proc_Email="" FirstName="" LastName="" RedmineID="" Seat="4"/>
        <Note Text="kept"><Inner/></Note>
        <ChildUser Name="cy" Email="cy@x.org" Proc_Email="c@x.org" FirstName="Cy" LastName="Li" RedmineID="7"/>
    </CHILD>
    <OPTION><FONT size="" Name="" Weight="bold"/><AUTOSAVE interval=""/></OPTION>
    <REFERENCE>
        <!-- viewers -->
        <REF Extention="pdf" exe="/usr/bin/viewer" Args="--fit"/>
        <Extra/>
        <REF Extention="" exe=""/>
    </REFERENCE>
    <HISTORY/>
    <Redmine><Active Value=""/><HOME Url=""/><Authentication ApiKey=""/><Description Max=""/></Redmine>
    <MAIL><SMTPSERVER Value=""/><PORT Value=""/><SECURITY Value=""/><AUTH Value=""/><ADDRESS Value=""/><ISSEND Value=""/><ISCONNECT Value=""/><EXTRA Value="x"/></MAIL>
</Init>
)";

QString domTextOf(const QByteArray &xml)
{
    QDomDocument doc;
    doc.setContent(xml);
    return domText(doc.documentElement());
}

// The dialog with the objects it reaches through the registry, over an init.xml in the test's HOME.
struct Session {
    RegistryScope reg;
    xmlclass store;
    CheckTimer timer;
    QString path = QDir::homePath() + QStringLiteral("/init.xml");
    OptionDiag *dialog = nullptr;
    explicit Session(const QByteArray &xml = kInit)
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(xml);
        f.close();
        reg.SetObj(RegSlot::ObjXmlStore, &store);
        reg.SetObj(RegSlot::ObjCheckTimer, &timer);
        store.OpenXmlFile(XmlIndex::Settings, path);
        timer.CreateAutoSaveTimer(0);
        reg.SetStrVar(RegSlot::StrAutoSaveMinutes, QStringLiteral("2"));
        reg.SetIntVar(RegSlot::IntDescriptionMax, 65535);
        dialog = new OptionDiag;
    }
    ~Session() { delete dialog; }
    template <class T> T *w(const char *name) { return dialog->findChild<T *>(QLatin1String(name)); }
    void open()
    {
        dialog->LoadOptions();
        dialog->show();
    }
    void click(const char *name) { w<QAbstractButton>(name)->click(); }
    QByteArray file() const
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    OptionValues saved() const
    {
        QDomDocument doc;
        doc.setContent(file());
        return OptionsModel::Read(doc);
    }
    QString attr(const char *tag, const char *name) const
    {
        QDomDocument doc;
        doc.setContent(file());
        return doc.elementsByTagName(QLatin1String(tag)).item(0).toElement().attribute(QLatin1String(name));
    }
};
// What another window of the user does to init.xml meanwhile: reads it, edits it, writes it as
// its program writes, through the safe writer.
void otherWindow(const QString &path, const std::function<void(QDomDocument &)> &edit)
{
    QDomDocument doc;
    doc.setContent(readFile(path));
    edit(doc);
    QVERIFY(SafeFile::Write(path, doc.toByteArray(4)));
}

QDomElement firstOf(QDomDocument &doc, const char *tag)
{
    return doc.elementsByTagName(QLatin1String(tag)).item(0).toElement();
}

// Any message box is a fault here: it is closed, so that the test goes on, and its text kept.
struct BoxWatch {
    QStringList texts;
    QTimer timer;
    BoxWatch()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->done(0);
            }
        });
        timer.start(10);
    }
};
} // namespace

class tst_optiondiag : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void build_noConnectionWarnings();
    void ok_writesEverySection();
    void ok_trackerOff_keepsChildTrackerNames();
    void ok_blankKey_becomesEmptyAndSaveGoesOn();
    void ok_unwritableFile_staysOpenWithValues();
    void reject_data();
    void reject();
    void security_choosesDefaultPort();
    void load_keepsPortAndConnection_editWithdrawsIt();
    void autosave_unknownStoredValue_showsNoneAndStopsTimer();
    void deleteGroup_noKeepsRow_yesRemovesIt();
    void secrets_neverLogged();
    void ok_nothingChanged_keepsUnknownContentAndEmptyValues();
    void ok_rowDeletedAndAdded_othersKeepUnknownAttributes();
    void addGroup_longValue_refusedKeepsTyping_data();
    void addGroup_longValue_refusedKeepsTyping();
    void ok_longValue_refusedDialogStays_data();
    void ok_longValue_refusedDialogStays();
    void ok_fileChangedByAnotherWindow_keepsItsChanges();
};

void tst_optiondiag::init()
{
    PlatformStore::Write(QStringLiteral("api"), QStringLiteral("old-key"));
    PlatformStore::Write(QStringLiteral("mail_pwd"), QStringLiteral("old-pwd"));
    g_messages.clear();
    // A failed run of the unwritable-file test must not leave its folder in the way.
    QDir().rmdir(QDir::homePath() + QStringLiteral("/init.xml"));
}

void tst_optiondiag::build_noConnectionWarnings()
{
    qInstallMessageHandler(collect);
    {
        Session s;
        s.open();
    }
    qInstallMessageHandler(nullptr);
    for (const QString &m : qAsConst(g_messages))
        QVERIFY2(!m.contains(QLatin1String("No such s")), qPrintable(m));
}

void tst_optiondiag::ok_writesEverySection()
{
    Session s;
    s.open();
    s.w<QLineEdit>("FONT")->setText(QStringLiteral("DejaVu Sans"));
    s.w<QSpinBox>("SIZE")->setValue(12);
    s.w<QComboBox>("SAVETIME")->setCurrentIndex(3);
    s.w<QLineEdit>("PWD")->setText(QStringLiteral("s3cret-pwd"));
    s.click("REDMINE");
    s.w<QLineEdit>("URL")->setText(QStringLiteral("http://127.0.0.1:3000"));
    s.w<QLineEdit>("F_NAME")->setText(QStringLiteral("Ann"));
    s.w<QSpinBox>("IDBx")->setValue(123456);
    s.click("APIKEYRBTN");
    s.w<QLineEdit>("API")->setText(QStringLiteral("  abc123 tail"));
    new QTreeWidgetItem(s.w<QTreeWidget>("EXTTREE"), {QStringLiteral("txt"), QStringLiteral("/usr/bin/ed")});
    s.click("OK");
    QVERIFY(!s.dialog->isVisible());

    const OptionValues v = s.saved();
    QCOMPARE(v.fontName, QStringLiteral("DejaVu Sans"));
    QCOMPARE(v.fontSize, QStringLiteral("12"));
    QCOMPARE(v.autoSave, QStringLiteral("5"));
    QCOMPARE(v.references.size(), 2);
    QCOMPARE(v.references.at(1).extension, QStringLiteral("txt"));
    QCOMPARE(v.children.size(), 1);
    QCOMPARE(v.children.at(0).procEmail, QStringLiteral("b@x.org"));
    QCOMPARE(v.firstName, QStringLiteral("Ann"));
    QCOMPARE(v.redmineId, QStringLiteral("123456"));
    QCOMPARE(v.mailRead.value(QStringLiteral("PORT")), QStringLiteral("2525"));
    QCOMPARE(s.attr("Active", "Value"), QStringLiteral("1"));
    QCOMPARE(s.attr("HOME", "Url"), QStringLiteral("http://127.0.0.1:3000"));
    QCOMPARE(s.attr("Authentication", "ApiKey"), QStringLiteral("1"));
    QVERIFY(!s.file().contains("abc123"));
    QVERIFY(PlatformStore::Read(QStringLiteral("api")) == QLatin1String("abc123"));
    QVERIFY(PlatformStore::Read(QStringLiteral("mail_pwd")) == QLatin1String("s3cret-pwd"));
    QVERIFY(s.reg.GetStrVar(RegSlot::StrRedmineKey) == QLatin1String("abc123"));
    QVERIFY(s.timer.IsAutoSaveTimerActive());
    QCOMPARE(s.timer.AutoSaveIntervalMs(), 5 * 60000);
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrFontName), QStringLiteral("DejaVu Sans"));
}

void tst_optiondiag::ok_trackerOff_keepsChildTrackerNames()
{
    Session s;
    s.open();
    QVERIFY(s.w<QRadioButton>("NOPRJ")->isChecked());
    QVERIFY(s.w<QTreeWidget>("GROUPTREE")->isColumnHidden(4));
    s.click("OK");
    const OptionValues v = s.saved();
    QCOMPARE(v.children.at(0).firstName, QStringLiteral("Bob"));
    QCOMPARE(v.children.at(0).lastName, QStringLiteral("Stone"));
    QCOMPARE(v.children.at(0).redmineId, QStringLiteral("12"));
}

void tst_optiondiag::ok_blankKey_becomesEmptyAndSaveGoesOn()
{
    Session s;
    s.open();
    s.click("REDMINE");
    s.click("APIKEYRBTN");
    s.w<QLineEdit>("API")->setText(QStringLiteral("    "));
    s.w<QLineEdit>("URL")->setText(QStringLiteral("http://127.0.0.1:1"));
    s.click("OK");
    QVERIFY(PlatformStore::Read(QStringLiteral("api")).isEmpty());
    QCOMPARE(s.attr("HOME", "Url"), QStringLiteral("http://127.0.0.1:1"));
    QCOMPARE(s.w<QLineEdit>("API")->text(), QString());
}

void tst_optiondiag::ok_unwritableFile_staysOpenWithValues()
{
    Session s;
    s.open();
    s.w<QLineEdit>("FONT")->setText(QStringLiteral("DejaVu Sans"));
    // A folder where init.xml goes makes the write fail, even as root.
    QVERIFY(QFile::remove(s.path));
    QVERIFY(QDir().mkdir(s.path));
    s.click("OK");
    QVERIFY(s.dialog->isVisible());
    QCOMPARE(s.w<QLineEdit>("FONT")->text(), QStringLiteral("DejaVu Sans"));

    QVERIFY(QDir().rmdir(s.path));
    s.click("OK");
    QVERIFY(!s.dialog->isVisible());
    QCOMPARE(s.saved().fontName, QStringLiteral("DejaVu Sans"));
}

void tst_optiondiag::reject_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close button") << 2;
}

void tst_optiondiag::reject()
{
    QFETCH(int, how);
    Session s;
    s.reg.SetStrVar(RegSlot::StrRedmineKey, QStringLiteral("old-key"));
    s.reg.SetStrVar(RegSlot::StrRedmineUrl, QStringLiteral("http://old"));
    const QByteArray before = s.file();
    s.open();
    s.w<QLineEdit>("FONT")->setText(QStringLiteral("Other"));
    s.w<QLineEdit>("PWD")->setText(QStringLiteral("new-pwd"));
    s.click("REDMINE");
    s.click("APIKEYRBTN");
    s.w<QLineEdit>("URL")->setText(QStringLiteral("http://new"));
    s.w<QLineEdit>("API")->setText(QStringLiteral("new-key"));
    s.w<QLineEdit>("L_NAME")->setText(QStringLiteral("Changed"));
    s.w<QSpinBox>("MAXcbx")->setValue(100);
    if (how == 0)
        s.click("CANCEL");
    else if (how == 1)
        QTest::keyClick(s.dialog, Qt::Key_Escape);
    else
        s.dialog->close();
    QVERIFY(!s.dialog->isVisible());
    QCOMPARE(s.file(), before);
    QVERIFY(PlatformStore::Read(QStringLiteral("api")) == QLatin1String("old-key"));
    QVERIFY(PlatformStore::Read(QStringLiteral("mail_pwd")) == QLatin1String("old-pwd"));
    QVERIFY(!s.reg.GetBoolVar(RegSlot::FlagRedmineActive));
    QVERIFY(!s.reg.GetBoolVar(RegSlot::FlagRedmineKeySet));
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrRedmineUrl), QStringLiteral("http://old"));
    QVERIFY(s.reg.GetStrVar(RegSlot::StrRedmineKey) == QLatin1String("old-key"));
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrLastName), QString());
    QCOMPARE(s.reg.GetIntVar(RegSlot::IntDescriptionMax), 65535);
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrFontName), QStringLiteral("Meiryo UI"));
}

void tst_optiondiag::security_choosesDefaultPort()
{
    Session s;
    s.open();
    auto *security = s.w<QComboBox>("SECURITY");
    security->setCurrentIndex(2);
    QCOMPARE(s.w<QSpinBox>("PORT")->value(), 465);
    QCOMPARE(s.w<QLabel>("DEFAULT")->text(), QStringLiteral("(default:465)"));
    security->setCurrentIndex(1);
    QCOMPARE(s.w<QSpinBox>("PORT")->value(), 587);
    QCOMPARE(s.w<QLabel>("DEFAULT")->text(), QStringLiteral("(default:587)"));
    security->setCurrentIndex(0);
    QCOMPARE(s.w<QSpinBox>("PORT")->value(), 587);
}

void tst_optiondiag::load_keepsPortAndConnection_editWithdrawsIt()
{
    Session s;
    s.open();
    QCOMPARE(s.w<QSpinBox>("PORT")->value(), 2525);
    QCOMPARE(s.w<QLabel>("CONNECT")->text(), QStringLiteral("connect"));
    QVERIFY(s.w<QCheckBox>("CHECK_SEND")->isChecked());
    s.w<QLineEdit>("SERVER")->setText(QStringLiteral("smtp2.x.org"));
    QCOMPARE(s.w<QLabel>("CONNECT")->text(), QStringLiteral("unknown"));
    QVERIFY(!s.w<QCheckBox>("CHECK_SEND")->isEnabled());
    s.click("OK");
    const OptionValues v = s.saved();
    QCOMPARE(v.mailRead.value(QStringLiteral("ISCONNECT")), QStringLiteral("0"));
    QCOMPARE(v.mailRead.value(QStringLiteral("ISSEND")), QStringLiteral("0"));
    QCOMPARE(v.mailRead.value(QStringLiteral("SMTPSERVER")), QStringLiteral("smtp2.x.org"));
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrMailIsConnect), QStringLiteral("0"));
}

void tst_optiondiag::autosave_unknownStoredValue_showsNoneAndStopsTimer()
{
    Session s;
    s.timer.SetAutoSaveInterval(2);
    s.timer.StartAutoSaveTimer();
    s.open();
    QCOMPARE(s.w<QComboBox>("SAVETIME")->currentText(), QStringLiteral("none"));
    s.click("OK");
    QCOMPARE(s.saved().autoSave, QStringLiteral("0"));
    QVERIFY(!s.timer.IsAutoSaveTimerActive());
}

void tst_optiondiag::deleteGroup_noKeepsRow_yesRemovesIt()
{
    Session s;
    s.open();
    auto *tree = s.w<QTreeWidget>("GROUPTREE");
    QVERIFY(!s.w<QPushButton>("DELGRPBTN")->isEnabled());
    tree->setCurrentItem(tree->topLevelItem(0));
    QVERIFY(s.w<QPushButton>("DELGRPBTN")->isEnabled());
    answerNextBox(QStringLiteral("no"));
    s.click("DELGRPBTN");
    QCOMPARE(tree->topLevelItemCount(), 1);
    answerNextBox(QStringLiteral("yes"));
    s.click("DELGRPBTN");
    QCOMPARE(tree->topLevelItemCount(), 0);
}

void tst_optiondiag::secrets_neverLogged()
{
    qInstallMessageHandler(collect);
    {
        Session s;
        s.open();
        s.w<QLineEdit>("PWD")->setText(QStringLiteral("pw-XYZ-987"));
        s.click("REDMINE");
        s.click("APIKEYRBTN");
        s.w<QLineEdit>("API")->setText(QStringLiteral("key-XYZ-987"));
        QCOMPARE(s.w<QLineEdit>("API")->echoMode(), QLineEdit::Password);
        QCOMPARE(s.w<QLineEdit>("PWD")->echoMode(), QLineEdit::Password);
        s.click("URLCHECK");
        s.click("OK");
    }
    qInstallMessageHandler(nullptr);
    for (const QString &m : qAsConst(g_messages))
        QVERIFY(!m.contains(QLatin1String("XYZ-987")));
}

void tst_optiondiag::ok_nothingChanged_keepsUnknownContentAndEmptyValues()
{
    Session s(kForeign);
    // As the start reads an empty key flag: set.
    s.reg.SetBoolVar(RegSlot::FlagRedmineKeySet, true);
    s.open();
    s.click("OK");
    QVERIFY(!s.dialog->isVisible());
    const QByteArray first = s.file();
    QCOMPARE(domTextOf(first), domTextOf(QByteArray(kForeign)));
    QCOMPARE(s.reg.GetStrVar(RegSlot::StrRedmineUserId), QString());
    s.open();
    s.click("OK");
    QCOMPARE(s.file(), first);
}

void tst_optiondiag::ok_rowDeletedAndAdded_othersKeepUnknownAttributes()
{
    Session s(kForeign);
    s.open();
    auto *tree = s.w<QTreeWidget>("GROUPTREE");
    tree->setCurrentItem(tree->topLevelItem(1));
    answerNextBox(QStringLiteral("yes"));
    s.click("DELGRPBTN");
    s.click("ADDGRPBTN");
    AddGroup *add = s.dialog->GroupDialog();
    add->findChild<QLineEdit *>(QStringLiteral("NAME"))->setText(QStringLiteral("dee"));
    add->findChild<QLineEdit *>(QStringLiteral("EMAIL"))->setText(QStringLiteral("dee@x.org"));
    add->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    QVERIFY(!add->isVisible());
    s.click("OK");
    QDomDocument doc;
    doc.setContent(s.file());
    const QDomNodeList users = doc.elementsByTagName(QStringLiteral("ChildUser"));
    QCOMPARE(users.size(), 2);
    QCOMPARE(users.item(0).toElement().attribute(QStringLiteral("Seat")), QStringLiteral("4"));
    QCOMPARE(users.item(1).toElement().attribute(QStringLiteral("Name")), QStringLiteral("dee"));
    QCOMPARE(users.item(1).toElement().attribute(QStringLiteral("Proc_Email")), QStringLiteral("dee@x.org"));
    QVERIFY(s.file().contains("<!-- accounts of the lab -->"));
    QVERIFY(s.file().contains("<Note Text=\"kept\">"));
}

void tst_optiondiag::addGroup_longValue_refusedKeepsTyping_data()
{
    const QString most(LongValue::MaxChars, QLatin1Char('m'));
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("sendAddress");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("name of 5000") << QString(5000, 'n') << "dee@x.org" << QString() << false;
    QTest::newRow("account of 4996") << "dee" << QString(4996, 'a') << QString() << false;
    QTest::newRow("send address one past") << "dee"
                                           << "dee@x.org" << most + 's' << false;
    QTest::newRow("every value at the limit") << most << QString(LongValue::MaxChars, 'a') << most << true;
}

void tst_optiondiag::addGroup_longValue_refusedKeepsTyping()
{
    QFETCH(QString, name);
    QFETCH(QString, account);
    QFETCH(QString, sendAddress);
    QFETCH(bool, accepted);
    Session s;
    s.open();
    s.click("ADDGRPBTN");
    AddGroup *add = s.dialog->GroupDialog();
    QVERIFY(add->isVisible());
    const auto edit = [add](const char *field) { return add->findChild<QLineEdit *>(QLatin1String(field)); };
    edit("NAME")->setText(name);
    edit("EMAIL")->setText(account);
    edit("SND_ADDR")->setText(sendAddress);
    QTest::keyClick(edit("NAME"), Qt::Key_Return);
    add->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    auto *tree = s.w<QTreeWidget>("GROUPTREE");
    if (accepted) {
        QVERIFY(!add->isVisible());
        QCOMPARE(tree->topLevelItemCount(), 2);
        s.click("OK");
        QCOMPARE(s.saved().children.size(), 2);
        return;
    }
    QVERIFY(add->isVisible());
    QVERIFY2(add->ResultText().contains(QString::number(LongValue::MaxChars)), qPrintable(add->ResultText()));
    QCOMPARE(edit("NAME")->text(), name);
    QCOMPARE(edit("EMAIL")->text(), account);
    QCOMPARE(tree->topLevelItemCount(), 1);
    add->CancelProc();
    s.click("OK");
    QVERIFY(!s.dialog->isVisible());
    QCOMPARE(s.saved().children.size(), 1);
    for (const QString &typed : {name, account, sendAddress})
        QVERIFY(typed.size() < 100 || !s.file().contains(typed.left(100).toUtf8()));
}

void tst_optiondiag::ok_longValue_refusedDialogStays_data()
{
    QTest::addColumn<bool>("mailAddress");
    QTest::newRow("mail address one past") << true;
    QTest::newRow("group row one past") << false;
}

void tst_optiondiag::ok_longValue_refusedDialogStays()
{
    QFETCH(bool, mailAddress);
    const QString over(LongValue::MaxChars + 1, QLatin1Char('x'));
    Session s;
    const QByteArray before = s.file();
    s.open();
    if (mailAddress)
        s.w<QLineEdit>("ADRESS")->setText(over);
    else
        new QTreeWidgetItem(s.w<QTreeWidget>("GROUPTREE"), {QStringLiteral("dee"), over});
    s.w<QLineEdit>("FONT")->setText(QStringLiteral("DejaVu Sans"));
    QString text;
    answerNextBox(QStringLiteral("ok"), nullptr, &text);
    s.click("OK");
    QVERIFY(s.dialog->isVisible());
    QVERIFY2(text.contains(QString::number(LongValue::MaxChars)), qPrintable(text));
    QCOMPARE(s.file(), before);
    QCOMPARE(s.w<QLineEdit>("FONT")->text(), QStringLiteral("DejaVu Sans"));
    if (mailAddress)
        QCOMPARE(s.w<QLineEdit>("ADRESS")->text(), over);
}

// Two windows of the user share init.xml: each OK puts in this window's changes only.
void tst_optiondiag::ok_fileChangedByAnotherWindow_keepsItsChanges()
{
    Session s;
    BoxWatch boxes;
    UiReport::ClearLast();
    s.open();
    s.w<QSpinBox>("SIZE")->setValue(12);
    s.click("REDMINE");
    new QTreeWidgetItem(s.w<QTreeWidget>("EXTTREE"), {QStringLiteral("doc"), QStringLiteral("/usr/bin/wp")});
    otherWindow(s.path, [](QDomDocument &doc) {
        firstOf(doc, "FONT").setAttribute(QStringLiteral("size"), QStringLiteral("20"));
        firstOf(doc, "SMTPSERVER").setAttribute(QStringLiteral("Value"), QStringLiteral("smtp.a.org"));
        firstOf(doc, "HOME").setAttribute(QStringLiteral("Url"), QStringLiteral("http://a"));
        QDomElement ref = doc.createElement(QStringLiteral("REF"));
        ref.setAttribute(QStringLiteral("Extention"), QStringLiteral("txt"));
        firstOf(doc, "REFERENCE").appendChild(ref);
    });
    s.click("OK");
    QVERIFY(!s.dialog->isVisible());
    QCOMPARE(s.attr("FONT", "size"), QStringLiteral("12"));
    QCOMPARE(s.attr("Active", "Value"), QStringLiteral("1"));
    QCOMPARE(s.attr("SMTPSERVER", "Value"), QStringLiteral("smtp.a.org"));
    QCOMPARE(s.attr("HOME", "Url"), QStringLiteral("http://a"));
    const OptionValues first = s.saved();
    QCOMPARE(first.references.size(), 3);
    QCOMPARE(first.references.at(1).extension, QStringLiteral("txt"));
    QCOMPARE(first.references.at(2).extension, QStringLiteral("doc"));

    s.open();
    s.w<QSpinBox>("SIZE")->setValue(14);
    otherWindow(s.path, [](QDomDocument &doc) {
        firstOf(doc, "FONT").setAttribute(QStringLiteral("size"), QStringLiteral("20"));
        firstOf(doc, "AUTOSAVE").setAttribute(QStringLiteral("interval"), QStringLiteral("10"));
    });
    s.click("OK");
    QVERIFY(!s.dialog->isVisible());
    QCOMPARE(s.attr("FONT", "size"), QStringLiteral("14"));
    QCOMPARE(s.attr("AUTOSAVE", "interval"), QStringLiteral("10"));
    QCOMPARE(s.attr("SMTPSERVER", "Value"), QStringLiteral("smtp.a.org"));
    QCOMPARE(boxes.texts, QStringList());
    QCOMPARE(UiReport::LastText(), QString());
}

QTEST_MAIN(tst_optiondiag)
#include "tst_optiondiag.moc"
