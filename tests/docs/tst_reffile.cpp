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
// A pane over a folder, set up as a host does when its current element changes.
struct Pane {
    reffile w;
    QTreeWidget *list;
    Pane(const QString &folder, int editable)
    {
        w.SetEditable(editable);
        w.SetDirectory(folder);
        list = w.findChild<QTreeWidget *>();
    }
    QStringList names() const
    {
        QStringList names;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            names << list->topLevelItem(i)->text(0);
        return names;
    }
    QTreeWidgetItem *select(const QString &name)
    {
        QTreeWidgetItem *row = list->findItems(name, Qt::MatchExactly).value(0);
        list->setCurrentItem(row);
        return row;
    }
};
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
    void open_withoutProgram_fileUrl_readOnlyOpensViewingCopy_uploads();
    void openUnderDesktop_withoutProgram_reachesXdgOpen();

private:
    QTemporaryDir m_tmp;
};

void tst_reffile::delete_removesCompanion_keepsViewingCopy_reportsFailure()
{
    Program p;
    const QString folder = m_tmp.path() + QStringLiteral("/del/");
    writeFile(folder + QStringLiteral("a.txt"), QByteArray(1234567, 'x'));
    for (const char *name :
         {"a.txt.bak", "notes.bak.txt", ".hidden", "others/a.txt", "c.txt", "c.txt.bak/in"})
        writeFile(folder + QLatin1String(name), "x");
    Pane pane(folder, 1);
    QCOMPARE(pane.names().size(), 2);
    QVERIFY(!pane.list->currentItem());
    QCOMPARE(pane.select(QStringLiteral("a.txt"))->text(2), QStringLiteral("1,234,567"));
    answerNextBox(QStringLiteral("delete"));
    pane.w.DelRefferenceFile();
    QVERIFY(!QFile::exists(folder + QStringLiteral("a.txt")));
    QVERIFY(!QFile::exists(folder + QStringLiteral("a.txt.bak")));
    QVERIFY(QFile::exists(folder + QStringLiteral("others/a.txt")));
    QCOMPARE(pane.names(), QStringList{QStringLiteral("c.txt")});

    // The companion cannot go (a folder stands there): the user is told.
    QString title;
    pane.select(QStringLiteral("c.txt"));
    answerNextBox(QStringLiteral("delete"));
    answerNextBox(QStringLiteral("OK"), &title);
    pane.w.DelRefferenceFile();
    QCOMPARE(title, QStringLiteral("File error"));
    QVERIFY(pane.names().isEmpty());

    // With no element current there is no folder to add to: the menu offers nothing.
    pane.w.ClearList();
    pane.w.TreePopupMenu(QPoint(1, 1));
    QVERIFY(!pane.w.findChild<QMenu *>()->isVisible());
    pane.w.SetDirectory(folder);
    pane.w.TreePopupMenu(QPoint(1, 1));
    QVERIFY(pane.w.findChild<QMenu *>()->isVisible());
}

void tst_reffile::add_copiesWithViewingCopy_asksOverwrite_ownFileUntouched()
{
    Program p;
    const QString source = m_tmp.path() + QStringLiteral("/src");
    const QString folder = m_tmp.path() + QStringLiteral("/add/");
    writeFile(source + QStringLiteral("/b.txt"), "one");
    Pane pane(folder, 1);
    p.SetStrVar(RegSlot::StrRefFileFolder, m_tmp.path());
    answerFileDialog(QString());
    pane.w.AddRefferenceFile();
    QCOMPARE(p.GetStrVar(RegSlot::StrRefFileFolder), m_tmp.path());

    answerFileDialog(source + QStringLiteral("/b.txt"));
    pane.w.AddRefferenceFile();
    QCOMPARE(readFile(folder + QStringLiteral("others/b.txt")), QByteArray("one"));
    QVERIFY(!(QFile::permissions(folder + QStringLiteral("others/b.txt")) & QFileDevice::WriteOwner));
    QCOMPARE(p.GetStrVar(RegSlot::StrRefFileFolder), source);
    QCOMPARE(pane.list->currentItem()->text(0), QStringLiteral("b.txt"));

    // A listed name asks; refused, the file stays and the list still shows it once.
    writeFile(source + QStringLiteral("/b.txt"), "two");
    QString title;
    answerFileDialog(source + QStringLiteral("/b.txt"));
    answerNextBox(QStringLiteral("cancel"), &title);
    pane.w.AddRefferenceFile();
    QCOMPARE(title, QStringLiteral("File overwrite"));
    QCOMPARE(readFile(folder + QStringLiteral("b.txt")), QByteArray("one"));
    QCOMPARE(pane.names(), QStringList{QStringLiteral("b.txt")});

    // Chosen from the element's own folder: nothing is asked (a box would block) and the
    // file stays whole.
    answerFileDialog(folder + QStringLiteral("b.txt"));
    pane.w.AddRefferenceFile();
    QCOMPARE(readFile(folder + QStringLiteral("b.txt")), QByteArray("one"));
    QCOMPARE(pane.names(), QStringList{QStringLiteral("b.txt")});
}

void tst_reffile::open_withProgram_oneArgumentFromEveryEntryPoint()
{
    Program p;
    const QString record = m_tmp.path() + QStringLiteral("/record.txt");
    qputenv("PEL_XDG_RECORD", record.toUtf8());
    p.setPrograms({{QStringLiteral("pdf"), QStringLiteral("/nonexistent")},
                   {QStringLiteral("txt"), QStringLiteral(REF_TEST_BIN "/xdg-open")}});
    const QString folder = m_tmp.path() + QStringLiteral("/x y/");
    writeFile(folder + QStringLiteral("a b.txt"), "a");
    writeFile(folder + QStringLiteral("-n.txt"), "n");
    writeFile(folder + QStringLiteral("c.pdf"), "c");
    Pane pane(folder, 1);
    emit pane.list->itemDoubleClicked(pane.select(QStringLiteral("a b.txt")), 0);
    pane.select(QStringLiteral("-n.txt"));
    pane.w.ShowRefferenceFile();
    pane.w.ShowRefferenceFile(); // while the first still runs
    DocDiag dialog;
    dialog.SetMode(DocDiag::ShowMode);
    dialog.SetDirectory(folder);
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("OK"))->text(), QStringLiteral("Show"));
    auto *list = dialog.findChild<QTreeWidget *>();
    list->setCurrentItem(list->findItems(QStringLiteral("a b.txt"), Qt::MatchExactly).value(0));
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("OK")), Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(lines(record).size(), 4, 60000);
    QStringList got = lines(record);
    got.sort();
    const QString ab = QStringLiteral("1:[%1a b.txt]").arg(folder);
    const QString n = QStringLiteral("1:[%1-n.txt]").arg(folder);
    QCOMPARE(got, QStringList({n, n, ab, ab}));

    QString title;
    answerNextBox(QStringLiteral("OK"), &title);
    pane.select(QStringLiteral("c.pdf"));
    pane.w.ShowRefferenceFile();
    QCOMPARE(title, QStringLiteral("Start error"));
}

void tst_reffile::open_withoutProgram_fileUrl_readOnlyOpensViewingCopy_uploads()
{
    Program p;
    p.setPrograms({{QStringLiteral("pdf"), QStringLiteral("/usr/bin/viewer")}});
    UrlCatcher catcher;
    const QString folder = m_tmp.path() + QStringLiteral("/view a/");
    writeFile(folder + QStringLiteral("c d.txt"), "c");
    writeFile(folder + QStringLiteral("e.txt"), "e");
    Pane editable(folder, 1);
    emit editable.list->itemDoubleClicked(editable.select(QStringLiteral("c d.txt")), 0);
    QCOMPARE(catcher.opened.value(0).toEncoded(), QUrl::fromLocalFile(folder).toEncoded() + "c%20d.txt");
    QVERIFY(!catcher.opened.value(0).toEncoded().startsWith("file:////"));

    Pane readOnly(folder, 0);
    readOnly.select(QStringLiteral("c d.txt"));
    readOnly.w.ShowRefferenceFile();
    const QString copy = folder + QStringLiteral("others/c d.txt");
    QCOMPARE(readFile(copy), QByteArray("c"));
    QVERIFY(!(QFile::permissions(copy) & QFileDevice::WriteOwner));
    QCOMPARE(catcher.opened.value(1), QUrl::fromLocalFile(copy));

    // Gone from the folder before a viewing copy was made: said, and nothing opened.
    QFile::remove(folder + QStringLiteral("e.txt"));
    QString title;
    readOnly.select(QStringLiteral("e.txt"));
    answerNextBox(QStringLiteral("OK"), &title);
    readOnly.w.ShowRefferenceFile();
    QCOMPARE(title, QStringLiteral("Remove file"));
    QCOMPARE(catcher.opened.size(), 2);

    // Uploading over an existing file replaces it once the save dialog asked.
    const QString target = m_tmp.path() + QStringLiteral("/out/c d.txt");
    writeFile(target, "old");
    readOnly.select(QStringLiteral("c d.txt"));
    answerFileDialog(target);
    readOnly.w.UploadRefferenceFile();
    QCOMPARE(readFile(target), QByteArray("c"));
}

void tst_reffile::openUnderDesktop_withoutProgram_reachesXdgOpen()
{
    const QString record = qEnvironmentVariable("PEL_XDG_RECORD");
    if (QGuiApplication::platformName() != QLatin1String("xcb") || record.isEmpty()) {
        // The offscreen run leaves this case to tst_reffile_xdg; asked for X, it needs the display.
        if (qEnvironmentVariable("QT_QPA_PLATFORM") != QLatin1String("xcb"))
            QSKIP("runs under xvfb-run with the recording xdg-open first on PATH");
        PEL_SKIP_PEER(QStringLiteral("no X display with the recording xdg-open (xvfb-run, package xvfb)"));
    }
    RegistryScope scope;
    const QString folder = m_tmp.path() + QStringLiteral("/x y/");
    writeFile(folder + QStringLiteral("a b.txt"), "a");
    Pane pane(folder, 1);
    emit pane.list->itemDoubleClicked(pane.select(QStringLiteral("a b.txt")), 0);
    const QByteArray url = QUrl::fromLocalFile(folder + QStringLiteral("a b.txt")).toEncoded();
    QTRY_COMPARE_WITH_TIMEOUT(lines(record), QStringList{QStringLiteral("1:[%1]").arg(QLatin1String(url))},
                              60000);
}

QTEST_MAIN(tst_reffile)
#include "tst_reffile.moc"
