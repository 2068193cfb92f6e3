#include "core/treeitemdata.h"
#include "docs/addhtml.h"
#include "docs/htmllist.h"
#include "docs/referencefiles.h"
#include "docs/refurl.h"
#include "domtext.h"
#include "members/manager.h"
#include "model/elementlayout.h"
#include "refsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace TestSupport;
using namespace RefSupport;

namespace
{
// An element row as the owners build it: the record in column 0 under Qt::UserRole, under a
// large-class row under its member's row, whose column 1 holds the member number.
struct Element {
    QTreeWidget tree;
    TreeItemData record;
    QTreeWidgetItem *row;
    explicit Element(const QStringList &links, int member = 0)
    {
        auto *memberRow = new QTreeWidgetItem(&tree);
        memberRow->setData(1, Qt::UserRole, member);
        row = new QTreeWidgetItem(new QTreeWidgetItem(memberRow));
        row->setData(0, Qt::UserRole, TreeItemData::ToData(&record));
        record.Links() = links;
    }
};

AddHtml *shownAddHtml()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<AddHtml *>(w); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// Types into the shown link dialog and presses its add button.
void enterLink(const QString &title, const QString &address)
{
    AddHtml *dialog = shownAddHtml();
    QVERIFY(dialog);
    dialog->findChild<QLineEdit *>(QStringLiteral("TITLE"))->setText(title);
    dialog->findChild<QLineEdit *>(QStringLiteral("ADDRESS"))->setText(address);
    dialog->findChild<QPushButton *>(QStringLiteral("ADD"))->click();
}

QPushButton *button(QWidget *w, const char *name)
{
    return w->findChild<QPushButton *>(QLatin1String(name));
}

const QString kSep = QStringLiteral("[$$]");
} // namespace

class tst_weblinks : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join('\n'))); }
    void addHtml_refusesAndStaysOpen_data();
    void addHtml_refusesAndStaysOpen();
    void refurl_changes_writtenAtOnce_ownerMarkedByKind_data();
    void refurl_changes_writtenAtOnce_ownerMarkedByKind();
    void refurl_editedLink_keepsWhatTheFileHeld_deletedTakesWhatFollowed();
    void addHtml_openedFromPane_knowsPane_fromListDialog_none();
    void htmlList_cancelOrFrame_keepRecord_closeWrites();
    void openLink_webAtOnce_otherSchemesAsk_documentPaneOnlyShows();
};

void tst_weblinks::addHtml_refusesAndStaysOpen_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("message");
    const QString noSep = QStringLiteral("\"[$$]\" can not be used in title or address");
    QTest::newRow("no title") << QString() << "https://a.org"
                              << "title is not set";
    QTest::newRow("no address") << "A" << QString() << "address is not set";
    QTest::newRow("same address") << "B"
                                  << "https://a.org"
                                  << "same address is already set";
    QTest::newRow("separator in title") << "x[$$]y"
                                        << "https://b.org" << noSep;
    QTest::newRow("separator in address") << "C"
                                          << "https://b.org/[$$]" << noSep;
    QTest::newRow("other case is another address") << "D"
                                                   << "https://A.org" << QString();
}

void tst_weblinks::addHtml_refusesAndStaysOpen()
{
    QFETCH(QString, message);
    RegistryScope scope;
    scope.SetStrVar(RegSlot::StrMarkerDollar, kSep);
    QTreeWidget list;
    new QTreeWidgetItem(&list, {QStringLiteral("A"), QStringLiteral("https://a.org")});
    AddHtml dialog;
    dialog.SetMode(0);
    dialog.SetList(&list);
    dialog.show();
    QFETCH(QString, title);
    QFETCH(QString, address);
    enterLink(title, address);
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("MSG"))->text(), message);
    QCOMPARE(dialog.isVisible(), !message.isEmpty());
    QCOMPARE(list.topLevelItemCount(), message.isEmpty() ? 2 : 1);
}

void tst_weblinks::refurl_changes_writtenAtOnce_ownerMarkedByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("flag");
    QTest::newRow("model") << 0 << int(RegSlot::FlagModelModified);
    QTest::newRow("instance") << 1 << int(RegSlot::FlagInstanceModified);
    QTest::newRow("question") << 2 << int(RegSlot::FlagQandAModified);
}

void tst_weblinks::refurl_changes_writtenAtOnce_ownerMarkedByKind()
{
    QFETCH(int, kind);
    QFETCH(int, flag);
    Program p;
    auto *members = p.GetObj<manager>(RegSlot::ObjManager);
    // The member's files go into a folder of the test's own.
    QTemporaryDir folder;
    members->Files().SetInstanceDir(folder.path());
    new QTreeWidgetItem(members->GetTree());
    QVERIFY(members->AddMember(QStringLiteral("bob"), QStringLiteral("bob@x.org")));
    const int member = members->GetTree()->topLevelItem(0)->child(0)->data(0, Qt::UserRole).toInt();

    // Entries that do not split into title and address (another program's) are not shown, and stay
    // where they stood whatever the user does with the others.
    Element e(
        {QStringLiteral("a[$$]b[$$]c"), QStringLiteral("none"), QStringLiteral("Old[$$]https://old.org")},
        member);
    refurl pane;
    pane.SetOwnerKind(kind);
    pane.SetEditable(1);
    pane.SetElement(e.row);
    auto *list = pane.findChild<QTreeWidget *>();
    QCOMPARE(list->topLevelItemCount(), 1);
    pane.AddRefferenceUrl();
    enterLink(QStringLiteral("New"), QStringLiteral("https://new.org"));
    QCOMPARE(e.record.Links(), QStringList({QStringLiteral("a[$$]b[$$]c"), QStringLiteral("none"),
                                            QStringLiteral("Old[$$]https://old.org"),
                                            QStringLiteral("New[$$]https://new.org")}));
    QVERIFY(p.GetBoolVar(flag));
    QCOMPARE(members->GetMemberInfo(member)->InstanceModified, kind == 1);

    // Modifying may take another row's address; then the changed row goes.
    list->setCurrentItem(list->topLevelItem(0));
    pane.ModRefferenceUrl();
    enterLink(QStringLiteral("Renamed"), QStringLiteral("https://new.org"));
    QCOMPARE(e.record.Links().at(2), QStringLiteral("Renamed[$$]https://new.org"));
    p.SetBoolVar(flag, false);
    answerNextBox(QStringLiteral("OK"));
    pane.DelRefferenceUrl();
    QCOMPARE(e.record.Links(), QStringList({QStringLiteral("a[$$]b[$$]c"), QStringLiteral("none"),
                                            QStringLiteral("New[$$]https://new.org")}));
    QVERIFY(p.GetBoolVar(flag));
}

// The element's REFERENCE as the loaders keep it: a REF with more than a title and an address.
// A link the list cannot show (the separator in its title) stays as read among the edited ones.
void tst_weblinks::refurl_editedLink_keepsWhatTheFileHeld_deletedTakesWhatFollowed()
{
    Program p;
    Element e({});
    QDomDocument read;
    QVERIFY(read.setContent(QStringLiteral(
        "<LClass ID='1'><REFERENCE><REF TITLE='A' URL='https://a.org'><Note/></REF><!--a-->"
        "<REF TITLE='x[$$]y' URL='https://s.org'/>"
        "<REF TITLE='B' URL='https://b.org' Lang='en'><Note/></REF><!--b--></REFERENCE></LClass>")));
    ElementLayout::Capture(&e.record.kept, read.documentElement(), [&](const QDomElement &reference) {
        e.record.Links() = ReferenceFiles::ReadLinks(reference, kSep);
        return ElementLayout::SlotWhole;
    });
    refurl pane;
    pane.SetOwnerKind(refurl::ModelKind);
    pane.SetEditable(1);
    pane.SetElement(e.row);
    auto *list = pane.findChild<QTreeWidget *>();
    list->setCurrentItem(list->topLevelItem(0));
    answerNextBox(QStringLiteral("OK"));
    pane.DelRefferenceUrl();
    list->setCurrentItem(list->topLevelItem(0));
    pane.ModRefferenceUrl();
    enterLink(QStringLiteral("Renamed"), QStringLiteral("https://b2.org"));
    pane.AddRefferenceUrl();
    enterLink(QStringLiteral("C"), QStringLiteral("https://c.org"));
    QDomDocument doc;
    const QDomElement written = ReferenceFiles::WriteReference(
        doc, e.record.Links(), kSep, ElementLayout::Placeholder(e.record.kept, QStringLiteral("REFERENCE")));
    QCOMPARE(domText(written), QStringLiteral("<REFERENCE><REF TITLE=\"x[$$]y\" URL=\"https://s.org\"></REF>"
                                              "<REF Lang=\"en\" TITLE=\"Renamed\" URL=\"https://b2.org\">"
                                              "<Note></Note></REF><!--b--><REF TITLE=\"C\" "
                                              "URL=\"https://c.org\"></REF></REFERENCE>"));
}

void tst_weblinks::addHtml_openedFromPane_knowsPane_fromListDialog_none()
{
    Program p;
    Element e({QStringLiteral("A[$$]https://a.org")});
    refurl pane;
    pane.SetOwnerKind(refurl::QandAKind);
    pane.SetEditable(1);
    pane.SetElement(e.row);
    pane.findChild<QTreeWidget *>()->setCurrentItem(pane.findChild<QTreeWidget *>()->topLevelItem(0));
    for (void (refurl::*open)() : {&refurl::AddRefferenceUrl, &refurl::ModRefferenceUrl}) {
        (pane.*open)();
        AddHtml *dialog = shownAddHtml();
        QVERIFY(dialog);
        QCOMPARE(dialog->Owner(), &pane);
        dialog->reject();
    }

    HtmlList list;
    list.SetReadOnly(false);
    list.SetOwnerKind(refurl::QandAKind);
    list.SetElement(e.row);
    list.show();
    button(&list, "NEW")->click();
    AddHtml *dialog = shownAddHtml();
    QVERIFY(dialog);
    QVERIFY(!dialog->Owner());
    dialog->reject();
    button(&list, "CANCEL")->click();
}

void tst_weblinks::htmlList_cancelOrFrame_keepRecord_closeWrites()
{
    Program p;
    const QStringList links{QStringLiteral("A[$$]https://a.org"), QStringLiteral("B[$$]https://b.org")};
    Element e(links);
    HtmlList dialog;
    dialog.SetReadOnly(false);
    dialog.SetOwnerKind(refurl::QandAKind);
    auto *list = dialog.findChild<QTreeWidget *>();
    for (bool byFrame : {false, true}) {
        dialog.SetElement(e.row);
        dialog.show();
        answerNextBox(QStringLiteral("OK"));
        button(&dialog, "DEL")->click();
        QCOMPARE(list->topLevelItemCount(), 1);
        byFrame ? void(dialog.close()) : button(&dialog, "CANCEL")->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(e.record.Links(), links);
        QVERIFY(!p.GetBoolVar(RegSlot::FlagQandAModified));
    }

    dialog.SetElement(e.row);
    dialog.show();
    QVERIFY(!button(&dialog, "CLOSE")->isEnabled());
    button(&dialog, "NEW")->click();
    enterLink(QStringLiteral("C"), QStringLiteral("https://c.org"));
    list->setCurrentItem(list->topLevelItem(0));
    answerNextBox(QStringLiteral("OK"));
    button(&dialog, "DEL")->click();
    QCOMPARE(e.record.Links(), links);
    button(&dialog, "CLOSE")->click();
    QCOMPARE(e.record.Links(),
             QStringList({QStringLiteral("B[$$]https://b.org"), QStringLiteral("C[$$]https://c.org")}));
    QVERIFY(p.GetBoolVar(RegSlot::FlagQandAModified));
}

void tst_weblinks::openLink_webAtOnce_otherSchemesAsk_documentPaneOnlyShows()
{
    RegistryScope scope;
    scope.SetStrVar(RegSlot::StrMarkerDollar, kSep);
    UrlCatcher catcher;
    const QStringList other{QStringLiteral("file:///etc/passwd"), QStringLiteral("smb://host/share"),
                            QStringLiteral("javascript:alert(1)")};
    QStringList links{QStringLiteral("T[$$]http://a.org/x y"), QStringLiteral("T[$$]https://b.org")};
    for (const QString &address : other)
        links << kSep + address;
    Element e(links);
    refurl pane;
    pane.SetOwnerKind(refurl::InstanceDocKind);
    pane.SetEditable(1);
    pane.SetElement(e.row);
    auto *list = pane.findChild<QTreeWidget *>();
    for (int i = 0; i < 2; ++i)
        emit list->itemDoubleClicked(list->topLevelItem(i), 0);
    QCOMPARE(catcher.opened.size(), 2);
    QCOMPARE(catcher.opened.first().toEncoded(), QByteArray("http://a.org/x%20y"));
    for (int i = 2; i < links.size(); ++i) {
        QString title;
        answerNextBox(QStringLiteral("cancel"), &title);
        emit list->itemDoubleClicked(list->topLevelItem(i), 0);
        QCOMPARE(title, QStringLiteral("Open link"));
        QCOMPARE(catcher.opened.size(), i);
        answerNextBox(QStringLiteral("open"));
        list->setCurrentItem(list->topLevelItem(i));
        pane.ShowRefferenceUrl();
        QCOMPARE(catcher.opened.value(i), QUrl(other.at(i - 2), QUrl::TolerantMode));
    }

    // A document editor's pane only shows links, even when told it is editable.
    pane.TreePopupMenu(QPoint(1, 1));
    QStringList shown;
    for (QAction *action : pane.findChild<QMenu *>()->actions())
        if (action->isVisible())
            shown << action->text();
    QCOMPARE(shown, QStringList{QStringLiteral("show Refference file")});
    pane.findChild<QMenu *>()->hide();
}

QTEST_MAIN(tst_weblinks)
#include "tst_weblinks.moc"
