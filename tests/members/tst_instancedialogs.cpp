#include "core/globalvar.h"
#include "workspace/newinstancediag.h"
#include "workspace/openinstancediag.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace
{
struct Ws : public RegistryScope {
    QTemporaryDir dir;
    QString model;
    Ws()
    {
        model = dir.path() + QStringLiteral("/pelmorine.def/M/1.0.0");
        QDir().mkpath(model + QStringLiteral("/Instance/I/0.0.1"));
        QDir().mkpath(model + QStringLiteral("/Instance/I/1.2"));
        QDir().mkpath(model + QStringLiteral("/Instance/Empty"));
        SetStrVar(RegSlot::StrWorkspaceDir, dir.path());
    }
};
} // namespace

class tst_instancedialogs : public QObject
{
    Q_OBJECT
private slots:
    void newInstance_existingVersion_refusedThenNewVersionCreated();
    void newInstance_nameWithSeparator_refused();
    void openInstance_listsOnlyVersionFolders();
};

void tst_instancedialogs::newInstance_existingVersion_refusedThenNewVersionCreated()
{
    Ws w;
    NewInstanceDiag d;
    d.InitDisplay();
    d.findChild<QLineEdit *>(QStringLiteral("INSTNAME"))->setText(QStringLiteral("I"));
    auto *revision = d.findChild<QSpinBox *>(QStringLiteral("REVISION"));
    d.findChild<QSpinBox *>(QStringLiteral("MINOR"))->setValue(0);
    d.findChild<QSpinBox *>(QStringLiteral("MAJOR"))->setValue(0);
    revision->setValue(1);
    d.CreateProc();
    QCOMPARE(d.Message(), QStringLiteral("version of instance name is already exist."));
    // Another spelling of it, even with a new version, is refused alike.
    d.findChild<QLineEdit *>(QStringLiteral("INSTNAME"))->setText(QStringLiteral("i"));
    revision->setValue(2);
    d.CreateProc();
    QCOMPARE(d.Message(), QStringLiteral("version of instance name is already exist."));
    QVERIFY(!QFileInfo::exists(w.model + QStringLiteral("/Instance/i")));
    d.findChild<QLineEdit *>(QStringLiteral("INSTNAME"))->setText(QStringLiteral("I"));
    d.CreateProc();
    QVERIFY(QDir(w.model + QStringLiteral("/Instance/I/0.0.2/REFERENCE")).exists());
    QCOMPARE(w.GetStrVar(RegSlot::StrInstanceVersion), QStringLiteral("0.0.2"));
    QCOMPARE(w.GetStrVar(RegSlot::StrModelName), QStringLiteral("M"));
}

void tst_instancedialogs::newInstance_nameWithSeparator_refused()
{
    Ws w;
    NewInstanceDiag d;
    d.InitDisplay();
    const QString before = w.GetStrVar(RegSlot::StrInstanceName);
    for (const QString &name :
         {QStringLiteral("../x"), QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral(".."),
          QStringLiteral("c:d"), QStringLiteral("e*f"), QStringLiteral("g?h"), QStringLiteral("i|j"),
          QStringLiteral("k "), QStringLiteral("Com3")}) {
        d.findChild<QLineEdit *>(QStringLiteral("INSTNAME"))->setText(name);
        d.CreateProc();
        QCOMPARE(d.Message(), QStringLiteral("instance name is invalid"));
    }
    QVERIFY(!QDir(w.model + QStringLiteral("/x")).exists());
    QCOMPARE(QDir(w.model + QStringLiteral("/Instance")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({QStringLiteral("Empty"), QStringLiteral("I")}));
    QCOMPARE(w.GetStrVar(RegSlot::StrInstanceName), before);
}

void tst_instancedialogs::openInstance_listsOnlyVersionFolders()
{
    Ws w;
    OpenInstanceDiag d;
    d.InitDisplay();
    auto *tree = d.findChild<QTreeWidget *>(QStringLiteral("INSTANCETREE"));
    // The folder was made as "Instance"; the dialog finds it as INSTANCE.
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 0);
    d.OkProc();
    QCOMPARE(w.GetStrVar(RegSlot::StrInstanceName), QStringLiteral("I"));
}

QTEST_MAIN(tst_instancedialogs)
#include "tst_instancedialogs.moc"
