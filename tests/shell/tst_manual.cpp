#include "core/defvar.h"
#include "core/globalvar.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "shell/manual.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDomDocument>
#include <QSplitter>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

// Stands in for the desktop's browser: QDesktopServices hands it the URLs it would open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class tst_manual : public QObject
{
    Q_OBJECT
private slots:
    void init() { UiReport::ClearLast(); }
    void makeTree_shippedIndex_bothModesGiveSameTreeAndConsumeEmptiesRoot();
    void makeTree_shippedIndex_everyLinkResolves();
    void fillItem_links_onlyHttpsKeptOthersPrefixed();
    void makeTree_firstEntryLoadedAtOnce_currentChangeMarksVisited();
    void holdPages_loadsOnlyOnRelease_thePageStillChosen();
    void viewLater_noViewUntilMadeOrUsed_thenWiredAndLoads();
    void loadIndex_damagedOrMissing_reportsAndLeavesTreesEmpty();
    void makeTree_noStoreOrNoDocument_leavesTreeEmpty();
    void rightClick_onlyOverLink_opensInBrowser();
    void adjustLayout_givesTreeOneThird();

private:
    QTemporaryDir m_dir;
    QString writeIndex(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        return path;
    }
};

namespace
{
// The registry, its fixed names and a store for one test; Manual reads all three.
struct Fixture {
    RegistryScope scope;
    DefVar names;
    xmlclass store;
    Fixture()
    {
        names.InitVar();
        scope.SetObj<xmlclass>(RegSlot::ObjXmlStore, &store);
    }
    ~Fixture() { scope.SetObj<xmlclass>(RegSlot::ObjXmlStore, nullptr); }
};

QTreeWidget *treeOf(Manual &manual)
{
    return manual.findChild<QTreeWidget *>(QStringLiteral("MANUALTREE"));
}

QString linkOf(const QTreeWidgetItem *item)
{
    return item->data(0, Qt::UserRole).toString();
}

int visitedOf(const QTreeWidgetItem *item)
{
    return item->data(1, Qt::UserRole).toInt();
}

// One line per item, indented by depth: number, title and link.
void describe(const QTreeWidgetItem *item, int depth, QStringList &out)
{
    out << QString(depth * 2, QLatin1Char(' ')) + item->text(0) + QLatin1Char('|') + item->text(1) +
               QLatin1Char('|') + linkOf(item);
    for (int i = 0; i < item->childCount(); ++i)
        describe(item->child(i), depth + 1, out);
}

QStringList describe(QTreeWidget *tree)
{
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        describe(tree->topLevelItem(i), 0, out);
    return out;
}

QList<QTreeWidgetItem *> allItems(QTreeWidget *tree)
{
    QList<QTreeWidgetItem *> items;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        items << *it;
    return items;
}
} // namespace

void tst_manual::makeTree_shippedIndex_bothModesGiveSameTreeAndConsumeEmptiesRoot()
{
    Fixture f;
    Manual window;
    Manual start;
    QVERIFY(window.LoadManualIndex());
    window.MakeManualTree(false);
    start.MakeManualTree(true);

    const QStringList windowTree = describe(treeOf(window));
    QVERIFY(windowTree.size() > 10);
    QCOMPARE(describe(treeOf(start)), windowTree);
    QCOMPARE(treeOf(window)->topLevelItem(0)->text(1), QStringLiteral("Welcome"));
    QCOMPARE(linkOf(treeOf(window)->topLevelItem(0)), QStringLiteral("qrc:/manual/welcome.html"));
    // Nesting of the index is kept: the Models entry has its sub-pages.
    const auto models = treeOf(window)->findItems(QStringLiteral("Models"), Qt::MatchExactly, 1);
    QCOMPARE(models.size(), 1);
    QCOMPARE(models.first()->childCount(), 2);
    QCOMPARE(models.first()->child(0)->text(0), QStringLiteral("3.1"));

    const QDomDocument *doc = f.store.GetXmlDoc(XmlIndex::ManualIndex);
    QVERIFY(doc);
    QVERIFY(!doc->documentElement().isNull());
    QVERIFY(!doc->documentElement().hasChildNodes());

    // A second load keeps the (now consumed) document rather than reading the file again.
    QVERIFY(window.LoadManualIndex());
    QVERIFY(!f.store.GetXmlDoc(XmlIndex::ManualIndex)->documentElement().hasChildNodes());
}

void tst_manual::makeTree_shippedIndex_everyLinkResolves()
{
    Fixture f;
    Manual window;
    QVERIFY(window.LoadManualIndex());
    window.MakeManualTree(false);

    int external = 0;
    for (const QTreeWidgetItem *item : allItems(treeOf(window))) {
        const QString link = linkOf(item);
        QVERIFY2(!item->text(0).isEmpty() && !item->text(1).isEmpty(), qPrintable(link));
        if (link.startsWith(QLatin1String("https://"))) {
            ++external;
            continue;
        }
        QVERIFY2(link.startsWith(QLatin1String("qrc:/manual/")), qPrintable(link));
        QVERIFY2(QFile::exists(link.mid(3)), qPrintable(link));
    }
    QCOMPARE(external, 1);
    QVERIFY(QFile::exists(QStringLiteral(":/manual/style.css")));
}

void tst_manual::fillItem_links_onlyHttpsKeptOthersPrefixed()
{
    Fixture f;
    const QString path = writeIndex(QStringLiteral("links.xml"), R"(<?xml version="1.0" encoding="UTF-8"?>
<Index href="qrc:/manual/">
    <A No="1" Name="Relative" ID="welcome.html"/>
    <!-- comments are no entries -->
    <B No="2" Name="Secure" ID="https://example.org/guide">
        <C No="2.1" Name="Secure inside" ID="see https://example.org/x"/>
    </B>
    <A No="3" Name="Plain web" ID="http://example.org/page"/>
    <A No="4" Name="Scheme in capitals" ID="HTTPS://example.org/page"/>
    <A Name="No number, no link"/>
    <A No="6" Name="Entwurf für Groß" ID="welcome.html"/>
</Index>
)");
    Manual manual;
    QVERIFY(manual.LoadManualIndex(path));
    manual.MakeManualTree(false);
    QTreeWidget *tree = treeOf(manual);
    QCOMPARE(tree->topLevelItemCount(), 6);

    const QString base = QStringLiteral("qrc:/manual/");
    QCOMPARE(linkOf(tree->topLevelItem(0)), base + QStringLiteral("welcome.html"));
    QCOMPARE(linkOf(tree->topLevelItem(1)), QStringLiteral("https://example.org/guide"));
    QCOMPARE(linkOf(tree->topLevelItem(1)->child(0)), QStringLiteral("see https://example.org/x"));
    QCOMPARE(linkOf(tree->topLevelItem(2)), base + QStringLiteral("http://example.org/page"));
    QCOMPARE(linkOf(tree->topLevelItem(3)), base + QStringLiteral("HTTPS://example.org/page"));
    QCOMPARE(tree->topLevelItem(4)->text(0), QString());
    QCOMPARE(linkOf(tree->topLevelItem(4)), base);
    QCOMPARE(tree->topLevelItem(5)->text(1), QStringLiteral("Entwurf für Groß"));
    for (const QTreeWidgetItem *item : allItems(tree))
        QCOMPARE(visitedOf(item), item == tree->topLevelItem(0) ? 1 : 0);
}

void tst_manual::makeTree_firstEntryLoadedAtOnce_currentChangeMarksVisited()
{
    Fixture f;
    Manual manual;
    auto *view = manual.findChild<ManualView *>();
    QVERIFY(view);
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    QVERIFY(manual.LoadManualIndex());
    manual.MakeManualTree(false);

    QTreeWidget *tree = treeOf(manual);
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    QVERIFY(loaded.wait(60000));
    QCOMPARE(loaded.first().first().toBool(), true);
    QCOMPARE(view->url(), QUrl(QStringLiteral("qrc:/manual/welcome.html")));
    QCOMPARE(view->title(), QStringLiteral("Welcome"));

    QTreeWidgetItem *second = tree->topLevelItem(1);
    QCOMPARE(visitedOf(second), 0);
    loaded.clear();
    tree->setCurrentItem(second);
    QCOMPARE(visitedOf(second), 1);
    QVERIFY(loaded.wait(60000));
    QCOMPARE(view->url(), QUrl(linkOf(second)));
    QCOMPARE(view->title(), second->text(1));

    // A double click on the visited item fetches it again. The view may fold the load and the
    // cache-bypassing reload into one navigation, so the start of a load is what is certain.
    QSignalSpy started(view, &QWebEngineView::loadStarted);
    manual.manualDblClicked(second, 1);
    QTRY_VERIFY_WITH_TIMEOUT(started.count() >= 1, 60000);
    QCOMPARE(view->url(), QUrl(linkOf(second)));
}

void tst_manual::holdPages_loadsOnlyOnRelease_thePageStillChosen()
{
    Fixture f;
    Manual manual;
    auto *view = manual.findChild<ManualView *>();
    QSignalSpy started(view, &QWebEngineView::loadStarted);
    QVERIFY(manual.LoadManualIndex());
    manual.HoldPages(true);
    manual.MakeManualTree(false);
    QTreeWidget *tree = treeOf(manual);
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    // The choice while held is remembered, not loaded; the last one counts.
    tree->setCurrentItem(tree->topLevelItem(1));
    QCOMPARE(visitedOf(tree->topLevelItem(1)), 0);
    QVERIFY(view->url().isEmpty());
    manual.HoldPages(false);
    QCOMPARE(visitedOf(tree->topLevelItem(1)), 1);
    QCOMPARE(visitedOf(tree->topLevelItem(0)), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!started.isEmpty(), 60000);
    QTRY_COMPARE_WITH_TIMEOUT(view->url(), QUrl(linkOf(tree->topLevelItem(1))), 60000);
    // Released with nothing chosen meanwhile: nothing is loaded again.
    started.clear();
    manual.HoldPages(true);
    manual.HoldPages(false);
    QTest::qWait(50);
    QVERIFY(started.isEmpty());
}

void tst_manual::viewLater_noViewUntilMadeOrUsed_thenWiredAndLoads()
{
    Fixture f;
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    {
        // Held, as start-up builds it: the tree is there, the view is not, until it is made.
        Manual manual(nullptr, Manual::ViewLater);
        QVERIFY(manual.LoadManualIndex());
        manual.HoldPages(true);
        manual.MakeManualTree(false);
        QTreeWidget *tree = treeOf(manual);
        tree->setCurrentItem(tree->topLevelItem(2));
        QVERIFY(!manual.HasView());
        QVERIFY(!manual.findChild<ManualView *>());
        manual.MakeView();
        manual.MakeView();
        QCOMPARE(manual.findChildren<ManualView *>().size(), 1);
        auto *view = manual.findChild<ManualView *>();
        QCOMPARE(view->parentWidget(), treeOf(manual)->parentWidget()->findChild<QWidget *>(
                                           QStringLiteral("horizontalLayoutWidget")));
        manual.HoldPages(false);
        QCOMPARE(visitedOf(tree->topLevelItem(2)), 1);
        QTRY_COMPARE_WITH_TIMEOUT(view->url(), QUrl(linkOf(tree->topLevelItem(2))), 60000);
        // The right click reaches the browser as with a view made at once.
        emit view->Page()->linkHovered(QStringLiteral("https://example.org/a"));
        emit view->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/a"))});
    }
    {
        // Not held: choosing a page makes the view on the spot.
        Manual manual(nullptr, Manual::ViewLater);
        manual.MakeManualTree(true);
        QVERIFY(manual.HasView());
        QTRY_COMPARE_WITH_TIMEOUT(manual.findChild<ManualView *>()->url(),
                                  QUrl(QStringLiteral("qrc:/manual/welcome.html")), 60000);
    }
    {
        // A double click before any view, and a manual that never got one, go away cleanly.
        Manual manual(nullptr, Manual::ViewLater);
        QTreeWidgetItem item;
        item.setData(0, Qt::UserRole, QStringLiteral("qrc:/manual/chat.html"));
        item.setData(1, Qt::UserRole, 0);
        manual.manualDblClicked(&item, 0);
        QVERIFY(manual.HasView());
        QTRY_COMPARE_WITH_TIMEOUT(manual.findChild<ManualView *>()->url(),
                                  QUrl(QStringLiteral("qrc:/manual/chat.html")), 60000);
        Manual never(nullptr, Manual::ViewLater);
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void tst_manual::loadIndex_damagedOrMissing_reportsAndLeavesTreesEmpty()
{
    const QByteArray truncated =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Manual href=\"qrc:/manual/\">\n"
        "    <Page No=\"1\" Name=\"Welcome\" ID=\"welc";
    const QStringList paths = {writeIndex(QStringLiteral("truncated.xml"), truncated),
                               writeIndex(QStringLiteral("empty.xml"), QByteArray()),
                               writeIndex(QStringLiteral("html.xml"), "<html><body>502 Bad Gateway</body>"),
                               m_dir.filePath(QStringLiteral("absent.xml"))};
    for (const QString &path : paths) {
        Fixture f;
        UiReport::ClearLast();
        Manual window;
        Manual start;
        QVERIFY2(!window.LoadManualIndex(path), qPrintable(path));
        QVERIFY2(!UiReport::LastText().isEmpty(), qPrintable(path));
        QVERIFY2(UiReport::LastText().contains(path), qPrintable(UiReport::LastText()));
        window.MakeManualTree(false);
        start.MakeManualTree(true);
        QCOMPARE(treeOf(window)->topLevelItemCount(), 0);
        QCOMPARE(treeOf(start)->topLevelItemCount(), 0);
    }
}

void tst_manual::makeTree_noStoreOrNoDocument_leavesTreeEmpty()
{
    {
        RegistryScope scope;
        Manual manual;
        QVERIFY(!manual.LoadManualIndex());
        manual.MakeManualTree(true);
        QCOMPARE(treeOf(manual)->topLevelItemCount(), 0);
    }
    Fixture f;
    Manual manual;
    manual.MakeManualTree(false);
    QCOMPARE(treeOf(manual)->topLevelItemCount(), 0);
    // A root without entries (only text and a comment) gives no items and no current page.
    const QString path =
        writeIndex(QStringLiteral("bare.xml"), "<Manual href=\"qrc:/manual/\">text<!-- c --></Manual>");
    QVERIFY(manual.LoadManualIndex(path));
    manual.MakeManualTree(true);
    QCOMPARE(treeOf(manual)->topLevelItemCount(), 0);
    QVERIFY(!f.store.GetXmlDoc(XmlIndex::ManualIndex)->documentElement().hasChildNodes());
}

void tst_manual::rightClick_onlyOverLink_opensInBrowser()
{
    Fixture f;
    UrlCatcher catcher;
    const QStringList schemes = {QStringLiteral("https"), QStringLiteral("http"),   QStringLiteral("qrc"),
                                 QStringLiteral("file"),  QStringLiteral("mailto"), QStringLiteral("ssh")};
    for (const QString &scheme : schemes)
        QDesktopServices::setUrlHandler(scheme, &catcher, "open");

    Manual manual;
    auto *view = manual.findChild<ManualView *>();
    QVERIFY(view);
    view->TreePopupMenu(QPoint(5, 5));
    QVERIFY(catcher.opened.isEmpty());

    emit view->Page()->linkHovered(QStringLiteral("https://example.org/guide"));
    emit view->customContextMenuRequested(QPoint(5, 5));
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/guide"))});

    // Leaving the link: the page reports an empty link, and a right click does nothing again.
    emit view->Page()->linkHovered(QString());
    view->TreePopupMenu(QPoint(5, 5));
    QCOMPARE(catcher.opened.size(), 1);

    // Only web and mail links reach the desktop.
    for (const char *link :
         {"file:///etc/passwd", "qrc:/manual/welcome.html", "ssh://host/x", "mailto:a@x"}) {
        emit view->Page()->linkHovered(QString::fromLatin1(link));
        view->TreePopupMenu(QPoint(5, 5));
    }
    QCOMPARE(catcher.opened.size(), 2);
    QCOMPARE(catcher.opened.last(), QUrl(QStringLiteral("mailto:a@x")));

    for (const QString &scheme : schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

void tst_manual::adjustLayout_givesTreeOneThird()
{
    Fixture f;
    Manual manual;
    manual.resize(900, 400);
    manual.show();
    QVERIFY(QTest::qWaitForWindowExposed(&manual));
    auto *splitter = manual.findChild<QSplitter *>(QStringLiteral("splitter"));
    QVERIFY(splitter);
    splitter->setSizes({800, 100});

    manual.AdjustLayout();
    int minimum = 0;
    int maximum = 0;
    splitter->getRange(1, &minimum, &maximum);
    const QList<int> sizes = splitter->sizes();
    QCOMPARE(sizes.size(), 2);
    QCOMPARE(sizes.at(0), maximum / 3);
    QVERIFY(sizes.at(1) > sizes.at(0));
}

int main(int argc, char **argv)
{
    // The web view needs a shared GL context before the application exists, even when headless.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_manual test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_manual.moc"
