#include "docs/docdiag.h"
#include "docs/reffile.h"
#include "refsupport.h"

#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace TestSupport;
using namespace RefSupport;

namespace
{
// Rejects every message box that comes up while it lives and keeps their titles.
struct BoxWatch {
    QTimer timer;
    QStringList titles;
    BoxWatch()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                titles << box->windowTitle();
                box->reject();
            }
        });
        timer.start(5);
    }
};

QTreeWidget *listOf(QWidget *w)
{
    return w->findChild<QTreeWidget *>();
}

// A pane over a folder, as a host sets it up when its current element changes.
struct Pane {
    reffile w;
    QTreeWidget *list;
    Pane(const QString &folder, int editable)
    {
        w.SetEditable(editable);
        w.SetDirectory(folder);
        list = listOf(&w);
    }
};

QTreeWidgetItem *rowNamed(QTreeWidget *tree, const QString &name)
{
    const QList<QTreeWidgetItem *> found = tree->findItems(name, Qt::MatchExactly, 0);
    return found.isEmpty() ? nullptr : found.first();
}

QStringList rowNames(QTreeWidget *tree)
{
    QStringList names;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        names << tree->topLevelItem(i)->text(0);
    return names;
}
} // namespace

class tst_reffile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { watchConnections(); }
    void cleanupTestCase() { QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join('\n'))); }
    void delete_removesCompanion_keepsViewingCopy_reportsFailure();
    void add_copiesWithViewingCopy_asksOverwrite_ownFileUntouched();
    void open_withProgram_oneArgumentFromEveryEntryPoint();
    void open_programCannotStart_reported();
    void open_withoutProgram_handsLocalFileUrl();
    void open_readOnly_makesViewingCopy_orReportsVanished();
    void upload_existingTarget_replacedAfterConfirmation();
    void popupMenu_entries_data();
    void popupMenu_entries();
    void openUnderDesktop_withoutProgram_reachesXdgOpen();

private:
    QTemporaryDir m_tmp;
};

void tst_reffile::delete_removesCompanion_keepsViewingCopy_reportsFailure()
{
    Program p;
    const QString folder = m_tmp.path() + QStringLiteral("/del/");
    writeFile(folder + QStringLiteral("a.txt"), QByteArray(1234567, 'x'));
    for (const char *name : {"a.txt.bak", "notes.bak.txt", "others/a.txt", "c.txt", "c.txt.bak/inside"})
        writeFile(folder + QLatin1String(name), "x");
    Pane pane(folder, 1);
    QTreeWidget *tree = pane.list;
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(rowNamed(tree, QStringLiteral("a.txt"))->text(2), QStringLiteral("1,234,567"));
    QVERIFY(!tree->currentItem());

    tree->setCurrentItem(rowNamed(tree, QStringLiteral("a.txt")));
    answerNextBox(QStringLiteral("delete"));
    pane.w.DelRefferenceFile();
    QVERIFY(!QFile::exists(folder + QStringLiteral("a.txt")));
    QVERIFY(!QFile::exists(folder + QStringLiteral("a.txt.bak")));
    QVERIFY(QFile::exists(folder + QStringLiteral("others/a.txt")));
    QCOMPARE(rowNames(tree), QStringList{QStringLiteral("c.txt")});

    // The companion cannot go: the user is told, and the list shows what is left.
    QString title;
    tree->setCurrentItem(tree->topLevelItem(0));
    answerNextBox(QStringLiteral("delete"));
    answerNextBox(QStringLiteral("OK"), &title);
    pane.w.DelRefferenceFile();
    QCOMPARE(title, QStringLiteral("File error"));
    QVERIFY(rowNames(tree).isEmpty());

    // The dialog over a folder that does not exist offers nothing to delete.
    DocDiag dialog;
    dialog.SetMode(DocDiag::DeleteMode);
    dialog.SetDirectory(folder + QStringLiteral("none/"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Delete file"));
    QVERIFY(!dialog.findChild<QPushButton *>(QStringLiteral("OK"))->isEnabled());
}

void tst_reffile::add_copiesWithViewingCopy_asksOverwrite_ownFileUntouched()
{
    Program p;
    const QString source = m_tmp.path() + QStringLiteral("/src");
    const QString folder = m_tmp.path() + QStringLiteral("/add/");
    writeFile(source + QStringLiteral("/b.txt"), "one");
    Pane pane(folder, 1);
    QTreeWidget *tree = pane.list;

    p.SetStrVar(RegSlot::StrRefFileFolder, m_tmp.path());
    answerFileDialog(QString());
    pane.w.AddRefferenceFile();
    QCOMPARE(p.GetStrVar(RegSlot::StrRefFileFolder), m_tmp.path());

    answerFileDialog(source + QStringLiteral("/b.txt"));
    pane.w.AddRefferenceFile();
    QCOMPARE(readFile(folder + QStringLiteral("b.txt")), QByteArray("one"));
    QCOMPARE(readFile(folder + QStringLiteral("others/b.txt")), QByteArray("one"));
    QVERIFY(!(QFile::permissions(folder + QStringLiteral("others/b.txt")) & QFileDevice::WriteOwner));
    QCOMPARE(p.GetStrVar(RegSlot::StrRefFileFolder), source);
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("b.txt"));

    // An existing name asks; refusing keeps the file, and the list has the name once.
    writeFile(source + QStringLiteral("/b.txt"), "two");
    QString title;
    QString text;
    answerFileDialog(source + QStringLiteral("/b.txt"));
    answerNextBox(QStringLiteral("cancel"), &title, &text);
    pane.w.AddRefferenceFile();
    QCOMPARE(title, QStringLiteral("File overwrite"));
    QCOMPARE(readFile(folder + QStringLiteral("b.txt")), QByteArray("one"));
    QCOMPARE(rowNames(tree), QStringList{QStringLiteral("b.txt")});

    // Chosen from the element's own folder: nothing is asked and the file stays whole.
    BoxWatch watch;
    answerFileDialog(folder + QStringLiteral("b.txt"));
    pane.w.AddRefferenceFile();
    QTest::qWait(50);
    QVERIFY2(watch.titles.isEmpty(), qPrintable(watch.titles.join(',')));
    QCOMPARE(readFile(folder + QStringLiteral("b.txt")), QByteArray("one"));
    QCOMPARE(rowNames(tree), QStringList{QStringLiteral("b.txt")});
}

void tst_reffile::open_withProgram_oneArgumentFromEveryEntryPoint()
{
    Program p;
    const QString record = m_tmp.path() + QStringLiteral("/record.txt");
    p.setPrograms({{QStringLiteral("pdf"), QStringLiteral("/nonexistent")},
                   {QStringLiteral("txt"), recordingProgram(m_tmp.path(), record)}});
    const QString folder = m_tmp.path() + QStringLiteral("/x y/");
    writeFile(folder + QStringLiteral("a b.txt"), "a");
    writeFile(folder + QStringLiteral("-n.txt"), "n");
    Pane pane(folder, 1);
    QTreeWidget *tree = pane.list;
    emit tree->itemDoubleClicked(rowNamed(tree, QStringLiteral("a b.txt")), 0);
    tree->setCurrentItem(rowNamed(tree, QStringLiteral("-n.txt")));
    pane.w.ShowRefferenceFile();
    // A second open while the program still runs starts it again.
    pane.w.ShowRefferenceFile();

    DocDiag dialog;
    dialog.SetMode(DocDiag::ShowMode);
    dialog.SetDirectory(folder);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("show file"));
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("OK"))->text(), QStringLiteral("Show"));
    QTreeWidget *list = listOf(&dialog);
    list->setCurrentItem(rowNamed(list, QStringLiteral("a b.txt")));
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("OK")), Qt::LeftButton);

    const QString ab = QStringLiteral("1:[%1a b.txt]").arg(folder);
    const QString n = QStringLiteral("1:[%1-n.txt]").arg(folder);
    QTRY_COMPARE_WITH_TIMEOUT(lines(record).size(), 4, 10000);
    QStringList got = lines(record);
    got.sort();
    QStringList expected{ab, ab, n, n};
    expected.sort();
    QCOMPARE(got, expected);
}

void tst_reffile::open_programCannotStart_reported()
{
    Program p;
    p.setPrograms({{QStringLiteral("txt"), m_tmp.path() + QStringLiteral("/no-such-program")}});
    const QString folder = m_tmp.path() + QStringLiteral("/start/");
    writeFile(folder + QStringLiteral("a.txt"), "a");
    Pane pane(folder, 1);
    pane.list->setCurrentItem(pane.list->topLevelItem(0));
    QString title;
    answerNextBox(QStringLiteral("OK"), &title);
    pane.w.ShowRefferenceFile();
    QCOMPARE(title, QStringLiteral("Start error"));
}

void tst_reffile::open_withoutProgram_handsLocalFileUrl()
{
    Program p;
    p.setPrograms({{QStringLiteral("pdf"), QStringLiteral("/usr/bin/viewer")}});
    UrlCatcher catcher;
    const QString folder = m_tmp.path() + QStringLiteral("/x y/");
    writeFile(folder + QStringLiteral("a b.txt"), "a");
    Pane pane(folder, 1);
    emit pane.list->itemDoubleClicked(rowNamed(pane.list, QStringLiteral("a b.txt")), 0);
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(folder + QStringLiteral("a b.txt"))});
    const QByteArray encoded = catcher.opened.first().toEncoded();
    QVERIFY2(encoded.startsWith("file:///") && !encoded.startsWith("file:////"), encoded);
    QVERIFY2(encoded.endsWith("/x%20y/a%20b.txt"), encoded);
}

void tst_reffile::open_readOnly_makesViewingCopy_orReportsVanished()
{
    Program p;
    p.setPrograms({});
    UrlCatcher catcher;
    const QString folder = m_tmp.path() + QStringLiteral("/view/");
    writeFile(folder + QStringLiteral("c.txt"), "c");
    writeFile(folder + QStringLiteral("d.txt"), "d");
    Pane pane(folder, 0);
    QTreeWidget *tree = pane.list;
    tree->setCurrentItem(rowNamed(tree, QStringLiteral("c.txt")));
    pane.w.ShowRefferenceFile();
    const QString copy = folder + QStringLiteral("others/c.txt");
    QCOMPARE(readFile(copy), QByteArray("c"));
    QVERIFY(!(QFile::permissions(copy) & QFileDevice::WriteOwner));
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(copy)});

    QFile::remove(folder + QStringLiteral("d.txt"));
    QString title;
    QString text;
    tree->setCurrentItem(rowNamed(tree, QStringLiteral("d.txt")));
    answerNextBox(QStringLiteral("OK"), &title);
    pane.w.ShowRefferenceFile();
    QCOMPARE(title, QStringLiteral("Remove file"));
    QCOMPARE(catcher.opened.size(), 1);
    QVERIFY(!QFile::exists(folder + QStringLiteral("others/d.txt")));
}

void tst_reffile::upload_existingTarget_replacedAfterConfirmation()
{
    Program p;
    const QString folder = m_tmp.path() + QStringLiteral("/up/");
    const QString target = m_tmp.path() + QStringLiteral("/out/e.txt");
    writeFile(folder + QStringLiteral("e.txt"), "new");
    writeFile(target, "old");
    p.SetStrVar(RegSlot::StrRefFileFolder, m_tmp.path());
    Pane pane(folder, 0);
    pane.list->setCurrentItem(pane.list->topLevelItem(0));
    answerFileDialog(target);
    pane.w.UploadRefferenceFile();
    QCOMPARE(readFile(target), QByteArray("new"));
    QCOMPARE(p.GetStrVar(RegSlot::StrRefFileFolder), m_tmp.path());
}

void tst_reffile::popupMenu_entries_data()
{
    QTest::addColumn<bool>("rows");
    QTest::addColumn<bool>("current");
    QTest::addColumn<int>("editable");
    QTest::addColumn<QStringList>("entries");
    const QString add = QStringLiteral("Add Refference file");
    const QString del = QStringLiteral("Del Refference file");
    const QString show = QStringLiteral("show Refference file");
    const QString upload = QStringLiteral("upload Refference file");
    QTest::newRow("empty, read-only") << false << false << 0 << QStringList();
    QTest::newRow("empty, editable") << false << false << 1 << QStringList{add};
    QTest::newRow("no current, read-only") << true << false << 0 << QStringList();
    QTest::newRow("no current, editable") << true << false << 1 << QStringList{add};
    QTest::newRow("current, read-only") << true << true << 0 << QStringList{show, upload};
    QTest::newRow("current, editable") << true << true << 1 << QStringList{add, del, show, upload};
}

void tst_reffile::popupMenu_entries()
{
    QFETCH(bool, rows);
    QFETCH(bool, current);
    QFETCH(int, editable);
    RegistryScope scope;
    const QString folder = m_tmp.path() + QStringLiteral("/menu%1/").arg(rows);
    QDir().mkpath(folder);
    if (rows)
        writeFile(folder + QStringLiteral("a.txt"), "a");
    Pane pane(folder, editable);
    if (current)
        pane.list->setCurrentItem(pane.list->topLevelItem(0));
    pane.w.TreePopupMenu(QPoint(1, 1));
    auto *menu = pane.w.findChild<QMenu *>();
    QStringList shown;
    for (QAction *action : menu->actions())
        if (action->isVisible())
            shown << action->text();
    QTEST(menu->isVisible() ? shown : QStringList(), "entries");
    menu->hide();

    // Without a folder (no element current) there is nothing to offer.
    pane.w.ClearList();
    pane.w.TreePopupMenu(QPoint(1, 1));
    QVERIFY(!menu->isVisible());
}

void tst_reffile::openUnderDesktop_withoutProgram_reachesXdgOpen()
{
    const QString record = qEnvironmentVariable("PEL_XDG_RECORD");
    if (QGuiApplication::platformName() != QLatin1String("xcb") || record.isEmpty())
        QSKIP("runs under xvfb-run with the recording xdg-open first on PATH");
    RegistryScope scope;
    const QString folder = m_tmp.path() + QStringLiteral("/x y/");
    writeFile(folder + QStringLiteral("a b.txt"), "a");
    Pane pane(folder, 1);
    emit pane.list->itemDoubleClicked(pane.list->topLevelItem(0), 0);
    const QString url =
        QString::fromLatin1(QUrl::fromLocalFile(folder + QStringLiteral("a b.txt")).toEncoded());
    QTRY_COMPARE_WITH_TIMEOUT(lines(record), QStringList{QStringLiteral("1:[%1]").arg(url)}, 10000);
}

QTEST_MAIN(tst_reffile)
#include "tst_reffile.moc"
