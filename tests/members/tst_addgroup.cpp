#include "core/defvar.h"
#include "core/xmlclass.h"
#include "members/addgroup.h"
#include "members/adduserdiag.h"
#include "redmine/nwredmine.h"
#include "redmine/rusers.h"
#include "shell/checktimer.h"
#include "shell/optiondiag.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

namespace
{
QStringList g_warnings;
void collect(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << text;
}

// The group dialog over a seven-column group table like the Options dialog's.
struct Group {
    RegistryScope reg;
    QTreeWidget table;
    AddGroup dialog;
    Group()
    {
        table.setColumnCount(7);
        dialog.SetParentWidget(&table);
    }
    template <class T> T *w(const char *name) { return dialog.findChild<T *>(QLatin1String(name)); }
    QString msg() { return w<QPlainTextEdit>("MSG")->toPlainText(); }
    void type(const char *name, const QString &text) { w<QLineEdit>(name)->setText(text); }
    void ok() { QTest::mouseClick(w<QPushButton>("OK"), Qt::LeftButton); }
    QTreeWidgetItem *addRow(const QStringList &columns) { return new QTreeWidgetItem(&table, columns); }
    void open(int mode, bool tracker)
    {
        dialog.SetMode(mode);
        dialog.SetRedmine(tracker);
        dialog.ShowDiag();
    }
};

const QStringList kBob{"bob", "bob@x.org", "b@x.org", "redmine", "Bob", "Stone", "12"};
} // namespace

class tst_addgroup : public QObject
{
    Q_OBJECT
private slots:
    void build_formsHaveTheirNamesAndNoConnectionWarnings();
    void setRedmine_enablesTrackerFieldsExactlyWhenOn();
    void setMode_addClearsAndModifyLoadsCurrentRow();
    void ok_missingNameOrAddress_refusesAndStaysOpen();
    void ok_duplicateNameOrAddress_refusesWithExactText();
    void ok_add_appendsRowWithSendAddressDefault();
    void ok_add_trackerOff_leavesTrackerColumnsEmpty();
    void ok_modify_rewritesCurrentRowEvenWithTakenName();
    void ok_modifyWithoutCurrentRow_storesNothing();
    void cancel_clearsAndRejects();
    void users_askTrackerAndShowItsFailure();
    void redmineUser_fillsTrackerFields();
    void destroy_emptiesRegistrySlot();
    void optionDialog_addAndModifyThroughGroupDialog();
    void addUser_listsManagerFirstAndHandsOnCurrentRow();
};

void tst_addgroup::build_formsHaveTheirNamesAndNoConnectionWarnings()
{
    g_warnings.clear();
    QtMessageHandler old = qInstallMessageHandler(collect);
    {
        Group g;
        AddUserDiag users;
        for (const char *name : {"LB1", "LB2", "LB3", "LB4", "LB5", "LB6", "LB7", "LB8", "COMMENT"})
            QVERIFY2(g.w<QLabel>(name), name);
        for (const char *name : {"NAME", "EMAIL", "SND_ADDR", "FNAME", "LNAME"})
            QVERIFY2(g.w<QLineEdit>(name), name);
        for (const char *name : {"USERBTN", "OK", "CANCEL"})
            QVERIFY2(g.w<QPushButton>(name), name);
        QCOMPARE(g.w<QSpinBox>("IDbx")->maximum(), 2147483647);
        QCOMPARE(g.w<QLabel>("COMMENT")->text(),
                 QStringLiteral("if send addr is same as Pelmorine account,  optional"));
        QCOMPARE(g.dialog.objectName(), QStringLiteral("AddGroup"));
        QVERIFY(g.dialog.isModal());
        auto *tree = users.findChild<QTreeWidget *>(QStringLiteral("TREE"));
        QVERIFY(tree);
        QCOMPARE(tree->headerItem()->text(0), QStringLiteral("User Name"));
        QCOMPARE(tree->headerItem()->text(1), QStringLiteral("Email Address"));
        QVERIFY(users.findChild<QPushButton *>(QStringLiteral("OK")));
        QVERIFY(users.findChild<QPushButton *>(QStringLiteral("CANCEL")));
    }
    qInstallMessageHandler(old);
    QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
}

void tst_addgroup::setRedmine_enablesTrackerFieldsExactlyWhenOn()
{
    Group g;
    for (bool on : {true, false}) {
        g.dialog.SetRedmine(on);
        QCOMPARE(g.dialog.Redmine(), on);
        QCOMPARE(g.w<QLabel>("LB6")->text(),
                 on ? QStringLiteral("redmine yes") : QStringLiteral("redmine no"));
        QCOMPARE(g.w<QPushButton>("USERBTN")->isEnabled(), on);
        QCOMPARE(g.w<QLineEdit>("FNAME")->isEnabled(), on);
        QCOMPARE(g.w<QLineEdit>("LNAME")->isEnabled(), on);
        QCOMPARE(g.w<QSpinBox>("IDbx")->isEnabled(), on);
        QVERIFY(g.w<QLineEdit>("NAME")->isEnabled());
    }
}

void tst_addgroup::setMode_addClearsAndModifyLoadsCurrentRow()
{
    Group g;
    g.table.setCurrentItem(g.addRow(kBob));
    g.dialog.SetMode(1);
    QCOMPARE(g.dialog.windowTitle(), QStringLiteral("Modify group"));
    QCOMPARE(g.w<QLineEdit>("NAME")->text(), QStringLiteral("bob"));
    QCOMPARE(g.w<QLineEdit>("EMAIL")->text(), QStringLiteral("bob@x.org"));
    QCOMPARE(g.w<QLineEdit>("SND_ADDR")->text(), QStringLiteral("b@x.org"));
    QCOMPARE(g.w<QLineEdit>("FNAME")->text(), QStringLiteral("Bob"));
    QCOMPARE(g.w<QLineEdit>("LNAME")->text(), QStringLiteral("Stone"));
    QCOMPARE(g.w<QSpinBox>("IDbx")->value(), 12);

    g.dialog.SetMode(0);
    QCOMPARE(g.dialog.windowTitle(), QStringLiteral("Add group"));
    for (const char *name : {"NAME", "EMAIL", "SND_ADDR", "FNAME", "LNAME"})
        QVERIFY2(g.w<QLineEdit>(name)->text().isEmpty(), name);
    QCOMPARE(g.w<QSpinBox>("IDbx")->value(), 0);

    // A damaged id in the settings reads as 0 rather than failing.
    g.table.setCurrentItem(g.addRow({"eve", "eve@x.org", "", "", "", "", "x7"}));
    g.dialog.SetMode(1);
    QCOMPARE(g.w<QLineEdit>("NAME")->text(), QStringLiteral("eve"));
    QCOMPARE(g.w<QSpinBox>("IDbx")->value(), 0);
}

void tst_addgroup::ok_missingNameOrAddress_refusesAndStaysOpen()
{
    Group g;
    g.open(0, false);
    g.type("EMAIL", QStringLiteral("new@x.org"));
    g.ok();
    QCOMPARE(g.msg(), QStringLiteral("name is not set"));
    g.type("NAME", QStringLiteral("new"));
    g.type("EMAIL", QString());
    g.ok();
    QCOMPARE(g.msg(), QStringLiteral("email is not set"));
    QVERIFY(g.dialog.isVisible());
    QCOMPARE(g.table.topLevelItemCount(), 0);
}

void tst_addgroup::ok_duplicateNameOrAddress_refusesWithExactText()
{
    Group g;
    g.addRow(kBob);
    g.open(0, true);
    g.type("NAME", QStringLiteral("bob"));
    g.type("EMAIL", QStringLiteral("other@x.org"));
    g.ok();
    QCOMPARE(g.msg(), QStringLiteral("name:bob exist"));
    g.type("NAME", QStringLiteral("robert"));
    g.type("EMAIL", QStringLiteral("bob@x.org"));
    g.ok();
    QCOMPARE(g.msg(), QStringLiteral("email:bob@x.org exist"));
    QVERIFY(g.dialog.isVisible());
    QCOMPARE(g.table.topLevelItemCount(), 1);
    QCOMPARE(g.w<QLineEdit>("NAME")->text(), QStringLiteral("robert"));
}

void tst_addgroup::ok_add_appendsRowWithSendAddressDefault()
{
    Group g;
    g.addRow(kBob);
    g.open(0, true);
    g.type("NAME", QStringLiteral("ann"));
    g.type("EMAIL", QStringLiteral("ann@x.org"));
    g.type("FNAME", QStringLiteral("Ann"));
    g.type("LNAME", QStringLiteral("Lee"));
    g.w<QSpinBox>("IDbx")->setValue(7);
    g.dialog.SetResultText(QStringLiteral("old text"));
    g.ok();
    QCOMPARE(g.table.topLevelItemCount(), 2);
    const QTreeWidgetItem *added = g.table.topLevelItem(1);
    const QStringList expected{"ann", "ann@x.org", "ann@x.org", "", "Ann", "Lee", "7"};
    for (int column = 0; column < expected.size(); ++column)
        QCOMPARE(added->text(column), expected.at(column));
    QCOMPARE(g.dialog.result(), int(QDialog::Accepted));
    QVERIFY(!g.dialog.isVisible());
    QVERIFY(g.msg().isEmpty());
    for (const char *name : {"NAME", "EMAIL", "FNAME", "LNAME"})
        QVERIFY2(g.w<QLineEdit>(name)->text().isEmpty(), name);
    QCOMPARE(g.w<QLineEdit>("SND_ADDR")->text(), QStringLiteral("ann@x.org"));
    QCOMPARE(g.w<QSpinBox>("IDbx")->value(), 0);
}

void tst_addgroup::ok_add_trackerOff_leavesTrackerColumnsEmpty()
{
    Group g;
    g.dialog.SetRedmine(true);
    g.dialog.SetRedmineUser(QStringLiteral("Ann"), QStringLiteral("Lee"), QStringLiteral("7"));
    g.open(0, false);
    g.type("NAME", QStringLiteral("ann"));
    g.type("EMAIL", QStringLiteral("ann@x.org"));
    g.type("FNAME", QStringLiteral("Ann"));
    g.type("SND_ADDR", QStringLiteral("out@x.org"));
    g.ok();
    QCOMPARE(g.table.topLevelItemCount(), 1);
    QCOMPARE(g.table.topLevelItem(0)->text(2), QStringLiteral("out@x.org"));
    for (int column = 3; column <= 6; ++column)
        QVERIFY(g.table.topLevelItem(0)->text(column).isEmpty());
}

void tst_addgroup::ok_modify_rewritesCurrentRowEvenWithTakenName()
{
    Group g;
    g.addRow(kBob);
    g.table.setCurrentItem(g.addRow({"eve", "eve@x.org", "e@x.org", "redmine", "Eve", "Hart", "3"}));
    g.open(1, true);
    g.type("NAME", QStringLiteral("bob"));
    g.type("LNAME", QStringLiteral("Moss"));
    // Tracker ids are not limited to four digits.
    g.w<QSpinBox>("IDbx")->setValue(1234567);
    g.ok();
    QCOMPARE(g.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(g.table.topLevelItemCount(), 2);
    const QStringList expected{"bob", "eve@x.org", "e@x.org", "redmine", "Eve", "Moss", "1234567"};
    for (int column = 0; column < expected.size(); ++column)
        QCOMPARE(g.table.topLevelItem(1)->text(column), expected.at(column));
    QCOMPARE(g.table.topLevelItem(0)->text(5), QStringLiteral("Stone"));

    // With the tracker off, the tracker columns keep what they held.
    g.open(1, false);
    g.type("EMAIL", QStringLiteral("eve2@x.org"));
    g.type("LNAME", QStringLiteral("Gone"));
    g.ok();
    QCOMPARE(g.table.topLevelItem(1)->text(1), QStringLiteral("eve2@x.org"));
    QCOMPARE(g.table.topLevelItem(1)->text(5), QStringLiteral("Moss"));
}

void tst_addgroup::ok_modifyWithoutCurrentRow_storesNothing()
{
    Group g;
    g.addRow(kBob);
    g.table.setCurrentItem(nullptr);
    g.open(1, false);
    g.type("NAME", QStringLiteral("x"));
    g.type("EMAIL", QStringLiteral("x@x.org"));
    g.ok();
    QCOMPARE(g.dialog.result(), int(QDialog::Accepted));
    QCOMPARE(g.table.topLevelItemCount(), 1);
    QCOMPARE(g.table.topLevelItem(0)->text(0), QStringLiteral("bob"));
}

void tst_addgroup::cancel_clearsAndRejects()
{
    Group g;
    g.open(0, false);
    g.type("NAME", QStringLiteral("ann"));
    g.type("EMAIL", QStringLiteral("ann@x.org"));
    g.dialog.SetResultText(QStringLiteral("name is not set"));
    QTest::mouseClick(g.w<QPushButton>("CANCEL"), Qt::LeftButton);
    QCOMPARE(g.dialog.result(), int(QDialog::Rejected));
    QVERIFY(g.msg().isEmpty());
    QVERIFY(g.w<QLineEdit>("NAME")->text().isEmpty());
    QVERIFY(g.w<QLineEdit>("EMAIL")->text().isEmpty());
    QCOMPARE(g.table.topLevelItemCount(), 0);
}

void tst_addgroup::users_askTrackerAndShowItsFailure()
{
    Group g;
    NwRedmine client;
    RUsers users;
    CheckTimer timer;
    g.reg.SetObj(RegSlot::ObjNwRedmine, &client);
    g.reg.SetObj(RegSlot::ObjRUsers, &users);
    g.reg.SetObj(RegSlot::ObjCheckTimer, &timer);
    users.SetCallerKind(1);
    g.open(0, true);
    g.type("FNAME", QStringLiteral("Ann"));
    QTest::mouseClick(g.w<QPushButton>("USERBTN"), Qt::LeftButton);
    QCOMPARE(g.msg(), QStringLiteral("unser users info"));
    QCOMPARE(client.GetRequestOrigin(), int(RedmineOrigin::GroupDialog));
    QCOMPARE(users.CallerKind(), 0);

    // The stand-in client has no reply, so the connection test fails: its text lands here and
    // the tracker fields stay as they were.
    QSignalSpy dispatched(&timer, &CheckTimer::Dispatched);
    timer.PostMessage(MsgCode::RedmineTestConnection);
    QVERIFY(dispatched.wait(120000));
    QCOMPARE(g.msg(), client.GetErrorText(0, client.IsReplyError()));
    QCOMPARE(g.w<QLineEdit>("FNAME")->text(), QStringLiteral("Ann"));
}

void tst_addgroup::redmineUser_fillsTrackerFields()
{
    Group g;
    g.dialog.SetRedmineUser(QStringLiteral("Ann"), QStringLiteral("Lee"), QStringLiteral("42"));
    QCOMPARE(g.w<QLineEdit>("FNAME")->text(), QStringLiteral("Ann"));
    QCOMPARE(g.w<QLineEdit>("LNAME")->text(), QStringLiteral("Lee"));
    QCOMPARE(g.w<QSpinBox>("IDbx")->value(), 42);
    g.dialog.SetRedmineUser(QStringLiteral("Ann"), QStringLiteral("Lee"), QStringLiteral("2000000000"));
    QCOMPARE(g.w<QSpinBox>("IDbx")->value(), 2000000000);
    g.dialog.SetResultText(QStringLiteral("first"));
    g.dialog.SetResultText(QStringLiteral("second"));
    QCOMPARE(g.msg(), QStringLiteral("second"));
}

void tst_addgroup::destroy_emptiesRegistrySlot()
{
    RegistryScope reg;
    auto *dialog = new AddGroup;
    QCOMPARE(reg.GetObj<AddGroup>(RegSlot::ObjAddGroup), dialog);
    delete dialog;
    QVERIFY(!reg.GetObj<AddGroup>(RegSlot::ObjAddGroup));
}

void tst_addgroup::optionDialog_addAndModifyThroughGroupDialog()
{
    RegistryScope reg;
    xmlclass store;
    CheckTimer timer;
    reg.SetObj(RegSlot::ObjXmlStore, &store);
    reg.SetObj(RegSlot::ObjCheckTimer, &timer);
    store.NewXmlDoc(XmlIndex::Settings, QStringLiteral("Init"));
    OptionDiag options;
    options.LoadOptions();
    options.show();
    auto *table = options.findChild<QTreeWidget *>(QStringLiteral("GROUPTREE"));
    AddGroup *group = options.GroupDialog();
    options.findChild<QPushButton *>(QStringLiteral("ADDGRPBTN"))->click();
    QVERIFY(group->isVisible());
    QCOMPARE(group->windowTitle(), QStringLiteral("Add group"));
    QCOMPARE(group->Caller(), &options);
    group->findChild<QLineEdit *>(QStringLiteral("NAME"))->setText(QStringLiteral("ann"));
    group->findChild<QLineEdit *>(QStringLiteral("EMAIL"))->setText(QStringLiteral("ann@x.org"));
    group->OkProc();
    QCOMPARE(table->topLevelItemCount(), 1);
    QCOMPARE(table->topLevelItem(0)->text(2), QStringLiteral("ann@x.org"));

    table->setCurrentItem(table->topLevelItem(0));
    options.findChild<QPushButton *>(QStringLiteral("GMOD"))->click();
    QCOMPARE(group->windowTitle(), QStringLiteral("Modify group"));
    QCOMPARE(group->findChild<QLineEdit *>(QStringLiteral("NAME"))->text(), QStringLiteral("ann"));
    group->CancelProc();
}

void tst_addgroup::addUser_listsManagerFirstAndHandsOnCurrentRow()
{
    RegistryScope reg;
    DefVar icons;
    icons.InitVar();
    xmlclass store;
    reg.SetObj(RegSlot::ObjXmlStore, &store);
    reg.SetStrVar(RegSlot::StrUserEmail, QStringLiteral("ann@x.org"));
    QDomDocument settings;
    QVERIFY(settings.setContent(QByteArrayLiteral(
        "<Init Name=\"ann\" Email=\"ann@x.org\"><CHILD>"
        "<ChildUser Name=\"ann2\" Email=\"ann@x.org\"/><ChildUser Name=\"ops\" Email=\"ops@x.org\"/>"
        "</CHILD></Init>")));
    store.AddXmlDoc(XmlIndex::Settings, settings);

    AddUserDiag dialog;
    auto *tree = dialog.findChild<QTreeWidget *>(QStringLiteral("TREE"));
    new QTreeWidgetItem(tree, {QStringLiteral("stale"), QString()});
    dialog.ShowList(QStringLiteral("boss"), QStringLiteral("boss@x.org"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Add User"));
    QCOMPARE(tree->topLevelItemCount(), 3);
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("boss"));
    QCOMPARE(tree->topLevelItem(2)->text(1), QStringLiteral("ops@x.org"));
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    const qint64 user = SharedIcon::Get(SharedIcon::User).cacheKey();
    const qint64 other = SharedIcon::Get(SharedIcon::Other).cacheKey();
    QVERIFY(user != other);
    QCOMPARE(tree->topLevelItem(0)->icon(0).cacheKey(), other);
    QCOMPARE(tree->topLevelItem(1)->icon(0).cacheKey(), user);

    dialog.show();
    QSignalSpy chosen(&dialog, &AddUserDiag::memberChosen);
    tree->setCurrentItem(tree->topLevelItem(2));
    // A double click counts for the current row, not for the row under the pointer.
    emit tree->itemDoubleClicked(tree->topLevelItem(1), 0);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("ops"));
    QCOMPARE(chosen.at(0).at(1).toString(), QStringLiteral("ops@x.org"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    dialog.show();
    tree->clear();
    dialog.OkProc();
    QCOMPARE(chosen.count(), 1);
    QVERIFY(dialog.isVisible());
    dialog.CancelProc();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

QTEST_MAIN(tst_addgroup)
#include "tst_addgroup.moc"
