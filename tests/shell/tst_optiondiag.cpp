#include "core/optionsmodel.h"
#include "core/platformstore.h"
#include "core/xmlclass.h"
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

QTEST_MAIN(tst_optiondiag)
#include "tst_optiondiag.moc"
