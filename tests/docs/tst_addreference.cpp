#include "core/globalvar.h"
#include "docs/addreference.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>

class tst_addreference : public QObject
{
    Q_OBJECT
private slots:
    void ok_emptyExtension_refusesAndKeepsOpen();
    void ok_emptyProgram_refusesAndKeepsOpen();
    void ok_addMode_appendsRowAndClearsFields();
    void ok_modifyMode_rewritesThatRowOnly();
    void cancel_leavesTreeAndClearsFields();
    void ref_chooserShowsPrograms_cancelEmptiesLine();

private:
    struct Fixture {
        RegistryScope scope;
        QTreeWidget tree;
        AddReference dialog;
        Fixture()
        {
            tree.setColumnCount(2);
            dialog.SetTree(&tree);
        }
        QComboBox *ext() { return dialog.findChild<QComboBox *>(QStringLiteral("EXTCBX")); }
        QLineEdit *exe() { return dialog.findChild<QLineEdit *>(QStringLiteral("EXEFILENAME")); }
        QLabel *msg() { return dialog.findChild<QLabel *>(QStringLiteral("MSG")); }
        void clickOk()
        {
            QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("OK")), Qt::LeftButton);
        }
        void addRow(const QString &e, const QString &p)
        {
            auto *item = new QTreeWidgetItem(&tree);
            item->setText(0, e);
            item->setText(1, p);
        }
    };
};

void tst_addreference::ok_emptyExtension_refusesAndKeepsOpen()
{
    Fixture f;
    f.dialog.SetData(-1, QString(), QStringLiteral("/usr/bin/viewer"));
    f.dialog.show();
    QSignalSpy spy(&f.dialog, &AddReference::updated);
    f.clickOk();
    QCOMPARE(f.msg()->text(), QStringLiteral("extention name is not set"));
    QCOMPARE(f.tree.topLevelItemCount(), 0);
    QCOMPARE(spy.count(), 0);
    QVERIFY(f.dialog.isVisible());
    QCOMPARE(f.exe()->text(), QStringLiteral("/usr/bin/viewer"));
}

void tst_addreference::ok_emptyProgram_refusesAndKeepsOpen()
{
    Fixture f;
    f.dialog.SetData(-1, QStringLiteral("pdf"), QString());
    f.dialog.show();
    f.clickOk();
    QCOMPARE(f.msg()->text(), QStringLiteral("exefile is not set"));
    QCOMPARE(f.tree.topLevelItemCount(), 0);
    QVERIFY(f.dialog.isVisible());
}

void tst_addreference::ok_addMode_appendsRowAndClearsFields()
{
    Fixture f;
    f.addRow(QStringLiteral("avi"), QStringLiteral("/usr/bin/player"));
    f.dialog.SetData(-1, QString(), QString());
    QCOMPARE(f.dialog.windowTitle(), QStringLiteral("Add reference"));
    f.dialog.show();
    f.ext()->setEditText(QStringLiteral("doc;"));
    f.exe()->setText(QStringLiteral("/opt/office/writer"));
    QSignalSpy spy(&f.dialog, &AddReference::updated);
    f.clickOk();
    QCOMPARE(f.tree.topLevelItemCount(), 2);
    QCOMPARE(f.tree.topLevelItem(0)->text(0), QStringLiteral("avi"));
    QCOMPARE(f.tree.topLevelItem(1)->text(0), QStringLiteral("doc;"));
    QCOMPARE(f.tree.topLevelItem(1)->text(1), QStringLiteral("/opt/office/writer"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
    QVERIFY(f.ext()->currentText().isEmpty());
    QVERIFY(f.exe()->text().isEmpty());
    QVERIFY(f.msg()->text().isEmpty());
}

void tst_addreference::ok_modifyMode_rewritesThatRowOnly()
{
    Fixture f;
    f.addRow(QStringLiteral("avi"), QStringLiteral("/usr/bin/player"));
    f.addRow(QStringLiteral("pdf"), QStringLiteral("/usr/bin/reader"));
    f.dialog.SetData(1, QStringLiteral("pdf"), QStringLiteral("/usr/bin/reader"));
    QCOMPARE(f.dialog.windowTitle(), QStringLiteral("Mod reference"));
    QCOMPARE(f.ext()->currentText(), QStringLiteral("pdf"));
    QCOMPARE(f.exe()->text(), QStringLiteral("/usr/bin/reader"));
    f.dialog.show();
    f.exe()->setText(QStringLiteral("/usr/bin/other"));
    f.clickOk();
    QCOMPARE(f.tree.topLevelItemCount(), 2);
    QCOMPARE(f.tree.topLevelItem(0)->text(1), QStringLiteral("/usr/bin/player"));
    QCOMPARE(f.tree.topLevelItem(1)->text(0), QStringLiteral("pdf"));
    QCOMPARE(f.tree.topLevelItem(1)->text(1), QStringLiteral("/usr/bin/other"));
}

void tst_addreference::cancel_leavesTreeAndClearsFields()
{
    Fixture f;
    f.addRow(QStringLiteral("avi"), QStringLiteral("/usr/bin/player"));
    f.dialog.SetData(0, QStringLiteral("avi"), QStringLiteral("/usr/bin/player"));
    f.dialog.show();
    f.exe()->setText(QStringLiteral("/usr/bin/changed"));
    QTest::mouseClick(f.dialog.findChild<QPushButton *>(QStringLiteral("CANCEL")), Qt::LeftButton);
    QCOMPARE(f.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(f.tree.topLevelItem(0)->text(1), QStringLiteral("/usr/bin/player"));
    QVERIFY(f.exe()->text().isEmpty());
}

void tst_addreference::ref_chooserShowsPrograms_cancelEmptiesLine()
{
    Fixture f;
    f.dialog.SetData(-1, QStringLiteral("pdf"), QStringLiteral("/usr/bin/viewer"));
    f.dialog.show();
    QStringList filters;
    QString selected;
    QTimer::singleShot(0, [&] {
        auto *chooser = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(chooser);
        filters = chooser->nameFilters();
        selected = chooser->selectedNameFilter();
        chooser->reject();
    });
    QTest::mouseClick(f.dialog.findChild<QPushButton *>(QStringLiteral("REFBTN")), Qt::LeftButton);
    // Programs here have no .exe: the chooser must be able to show them.
    QCOMPARE(filters, QStringList({QStringLiteral("*.com;*.exe"), QStringLiteral("All files (*)")}));
    QCOMPARE(selected, QStringLiteral("All files (*)"));
    QVERIFY(f.exe()->text().isEmpty());
}

QTEST_MAIN(tst_addreference)
#include "tst_addreference.moc"
