#include "core/longvalue.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "members/infowner.h"
#include "members/manager.h"
#include "members/ownertransfer.h"
#include "members/procmaildiag.h"
#include "members/usertransfer.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "shell/checktimer.h"
#include "shell/mainwindow.h"
#include "testsupport_widgets.h"
#include "workspace/workspacelayout.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using namespace TestSupport;

namespace
{
QDomElement rootOf(const QString &path)
{
    QFile f(path);
    QDomDocument doc;
    if (f.open(QIODevice::ReadOnly))
        doc.setContent(&f);
    return doc.documentElement();
}

template <class T> T *visibleDialog(const char *name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible())
            return qobject_cast<T *>(w);
    }
    return nullptr;
}

QTreeWidget *tree(QWidget *dialog, const char *name)
{
    return dialog->findChild<QTreeWidget *>(QLatin1String(name));
}

QStringList rows(QTreeWidget *t)
{
    QStringList out;
    for (int i = 0; i < t->topLevelItemCount(); ++i)
        out << t->topLevelItem(i)->text(0) + QLatin1Char('|') + t->topLevelItem(i)->text(1);
    return out;
}

// Picks the candidate with the given address and confirms the hand-over.
void transferTo(UserTransfer *dialog, const QString &email)
{
    QTreeWidget *group = tree(dialog, "GROUP_TREE");
    const QList<QTreeWidgetItem *> found = group->findItems(email, Qt::MatchExactly, 1);
    QCOMPARE(found.size(), 1);
    group->setCurrentItem(found.first());
    answerNextBox(QStringLiteral("setTransfer"));
    dialog->findChild<QPushButton *>(QStringLiteral("TRANS_BTN"))->click();
}

struct Program : public RegistryScope {
    MainWindow *window = new MainWindow;
    QString ws = QDir::homePath() + QStringLiteral("/ws");
    Program()
    {
        QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000);
        SetStrVar(RegSlot::StrUserName, QStringLiteral("u"));
        SetStrVar(RegSlot::StrUserEmail, QStringLiteral("u@x"));
        SetStrVar(RegSlot::StrWorkspaceDir, ws);
        SetStrVar(RegSlot::StrModelName, QStringLiteral("M"));
        SetStrVar(RegSlot::StrModelVersion, QStringLiteral("1.0.0"));
        QDomDocument *settings = GetObj<xmlclass>(RegSlot::ObjXmlStore)->GetXmlDoc(XmlIndex::Settings);
        QDomElement init = settings->documentElement();
        init.setAttribute(QStringLiteral("Name"), QStringLiteral("u"));
        init.setAttribute(QStringLiteral("Email"), QStringLiteral("u@x"));
        QDomElement child = settings->createElement(QStringLiteral("ChildUser"));
        child.setAttribute(QStringLiteral("Name"), QStringLiteral("g"));
        child.setAttribute(QStringLiteral("Email"), QStringLiteral("g@x"));
        // The settings file of this HOME keeps what an earlier case saved.
        QDomElement children = init.firstChildElement(QStringLiteral("CHILD"));
        while (!children.firstChildElement().isNull())
            children.removeChild(children.firstChildElement());
        children.appendChild(child);
    }
    ~Program() override { delete window; }
    QString modelDir() const
    {
        return WorkspaceLayout::ModelVersionDir(ws, QStringLiteral("M"), QStringLiteral("1.0.0"));
    }
};

QDomDocument settingsDoc(const QByteArray &xml)
{
    QDomDocument doc;
    doc.setContent(xml);
    return doc;
}
} // namespace

class tst_transfer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void candidates_withoutHolder_endWithAnyone();
    void canTransfer_data();
    void canTransfer();
    void dialog_modes_titlesAndFromRow();
    void dialog_nothingChosen_orCancelled_changesNothing();
    void modelTransfer_toAnyone_writesOwnerAndCloses();
    void outputTransfer_toGroupAccount_writesOwnerAndCloses();
    void memberTransfer_showsRowAndHandsItOver();
    void dialogs_longAccount_refusedAndKeptInDialog();
};

void tst_transfer::initTestCase()
{
    watchConnections();
}

void tst_transfer::cleanupTestCase()
{
    QVERIFY2(g_badConnections.isEmpty(), qPrintable(g_badConnections.join(QLatin1Char('\n'))));
}

void tst_transfer::candidates_withoutHolder_endWithAnyone()
{
    const QDomDocument doc =
        settingsDoc("<Init Name=\"u\" Email=\"u@x\"><CHILD>"
                    "<ChildUser Name=\"g1\" Email=\"g1@x\"/><ChildUser Name=\"g2\" Email=\"g2@x\"/>"
                    "</CHILD><OPTION><ChildUser Name=\"stray\" Email=\"s@x\"/></OPTION></Init>");
    auto names = [](const QList<TransferAccount> &list) {
        QStringList out;
        for (const TransferAccount &a : list)
            out << a.name + QLatin1Char('|') + a.email;
        return out;
    };
    QCOMPARE(names(OwnerTransfer::Candidates(doc, QStringLiteral("o@x"))),
             (QStringList{"u|u@x", "g1|g1@x", "g2|g2@x", "anyone|anyone"}));
    QCOMPARE(names(OwnerTransfer::Candidates(doc, QStringLiteral("u@x"))),
             (QStringList{"g1|g1@x", "g2|g2@x", "anyone|anyone"}));
    QCOMPARE(names(OwnerTransfer::Candidates(doc, QStringLiteral("g2@x"))),
             (QStringList{"u|u@x", "g1|g1@x", "anyone|anyone"}));
    // Held by "anyone": it is still offered last; a damaged settings document offers only it.
    QCOMPARE(names(OwnerTransfer::Candidates(doc, QStringLiteral("anyone"))).last(),
             QStringLiteral("anyone|anyone"));
    QCOMPARE(names(OwnerTransfer::Candidates(settingsDoc("<Init"), QString())),
             (QStringList{"anyone|anyone"}));
}

void tst_transfer::canTransfer_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("owned");
    QTest::addColumn<QString>("owner");
    QTest::addColumn<bool>("isNew");
    QTest::addColumn<int>("docKind");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("own model") << 0 << true << "u@x" << false << 1 << true;
    QTest::newRow("another's model") << 0 << false << "o@x" << false << 1 << false;
    QTest::newRow("model of anyone") << 0 << false << "anyone" << false << 1 << true;
    QTest::newRow("new model") << 0 << true << "u@x" << true << 1 << false;
    QTest::newRow("model with instance open") << 0 << true << "u@x" << false << 2 << false;
    QTest::newRow("output with instance open") << 1 << true << "u@x" << false << 4 << false;
    QTest::newRow("new output") << 1 << true << "u@x" << true << 3 << false;
    QTest::newRow("unknown kind") << 2 << true << "u@x" << false << 1 << false;
}

void tst_transfer::canTransfer()
{
    QFETCH(int, kind);
    QFETCH(bool, owned);
    QFETCH(QString, owner);
    QFETCH(bool, isNew);
    QFETCH(int, docKind);
    QFETCH(bool, enabled);
    QCOMPARE(OwnerTransfer::CanTransfer(kind, owned, owner, isNew, docKind), enabled);
}

void tst_transfer::dialog_modes_titlesAndFromRow()
{
    RegistryScope scope;
    UserTransfer d;
    auto *fromName = d.findChild<QLabel *>(QStringLiteral("FROM_NAME"));
    QCOMPARE(fromName->text(), QStringLiteral(" from Transger"));
    QCOMPARE(d.findChild<QLabel *>(QStringLiteral("TRANS"))->text(), QStringLiteral("ToTransfer"));
    d.SetMode(0, QStringLiteral("u@x"));
    QCOMPARE(d.windowTitle(), QStringLiteral("Model Transfer"));
    QVERIFY(fromName->isHidden());
    QVERIFY(tree(&d, "FROM_TREE")->isHidden());
    QCOMPARE(rows(tree(&d, "GROUP_TREE")), QStringList{"anyone|anyone"});
    d.SetMode(2, QStringLiteral("u@x"));
    QCOMPARE(d.windowTitle(), QStringLiteral("OUtput Transfer"));
    d.SetMode(1, QStringLiteral("o@x"));
    QCOMPARE(d.windowTitle(), QStringLiteral("Manager Transfer"));
    QVERIFY(!fromName->isHidden());
    QTreeWidgetItem row({QStringLiteral("o"), QStringLiteral("o@x")});
    d.SetFromItem(&row);
    d.SetFromItem(nullptr);
    QCOMPARE(rows(tree(&d, "FROM_TREE")), QStringList{"o|o@x"});

    InfOwner info;
    info.SetOwner(0, QStringLiteral("o"), QStringLiteral("o@x"));
    QCOMPARE(info.windowTitle(), QStringLiteral("Model Owner Info"));
    QVERIFY(!info.IsTransferEnabled());
    QCOMPARE(rows(tree(&info, "OWNER_TREE")), QStringList{"o|o@x"});
    info.SetOwner(1, QStringLiteral("o"), QStringLiteral("o@x"));
    QCOMPARE(info.windowTitle(), QStringLiteral("Output Owner Info"));
}

void tst_transfer::dialog_nothingChosen_orCancelled_changesNothing()
{
    RegistryScope scope;
    UserTransfer d;
    d.SetMode(0, QStringLiteral("u@x"));
    d.show();
    d.TransProc();
    QCOMPARE(d.Message(), QStringLiteral("transfer is not selected"));
    QVERIFY(d.isVisible());
    tree(&d, "GROUP_TREE")->setCurrentItem(tree(&d, "GROUP_TREE")->topLevelItem(0));
    QCOMPARE(rows(tree(&d, "TRANS_TREE")), QStringList{"anyone|anyone"});
    answerNextBox(QStringLiteral("cancel"));
    d.TransProc();
    QVERIFY(d.isVisible());
    QCOMPARE(d.result(), 0);
    QCOMPARE(d.Message(), QString());
    // A new use starts empty.
    d.SetMode(0, QStringLiteral("u@x"));
    QCOMPARE(rows(tree(&d, "TRANS_TREE")), QStringList{"|"});
}

void tst_transfer::modelTransfer_toAnyone_writesOwnerAndCloses()
{
    Program p;
    writeFile(p.modelDir() + QStringLiteral("/model.xml"), "<Root_Model User=\"u\" Email=\"u@x\"/>");
    writeFile(p.modelDir() + QStringLiteral("/DocModel.xml"), "<Root_ModelDoc User=\"u\" Email=\"u@x\"/>");
    auto *mdl = p.GetObj<model>(RegSlot::ObjModel);
    QVERIFY(mdl->OpenModel());
    p.SetBoolVar(RegSlot::FlagModelOwned, true);
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 1);

    p.window->MenuModelOwnerInfo();
    auto *info = visibleDialog<InfOwner>("InfOwner");
    QVERIFY(info);
    QVERIFY(info->IsTransferEnabled());
    info->findChild<QPushButton *>(QStringLiteral("TRANSFER"))->click();
    QVERIFY(!info->isVisible());
    auto *dialog = visibleDialog<UserTransfer>("UserTransfer");
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Model Transfer"));
    QCOMPARE(rows(tree(dialog, "GROUP_TREE")), (QStringList{"g|g@x", "anyone|anyone"}));
    transferTo(dialog, QStringLiteral("anyone"));

    for (const char *file : {"/model.xml", "/DocModel.xml"}) {
        const QDomElement root = rootOf(p.modelDir() + QLatin1String(file));
        QCOMPARE(root.attribute(QStringLiteral("User")), QStringLiteral("anyone"));
        QCOMPARE(root.attribute(QStringLiteral("Email")), QStringLiteral("anyone"));
    }
    QVERIFY(!dialog->isVisible());
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 0);
    QVERIFY(!p.GetObj<xmlclass>(RegSlot::ObjXmlStore)->HasDoc(XmlIndex::Model));
}

void tst_transfer::outputTransfer_toGroupAccount_writesOwnerAndCloses()
{
    Program p;
    p.SetStrVar(RegSlot::StrOutputName, QStringLiteral("O"));
    p.SetStrVar(RegSlot::StrOutputVersion, QStringLiteral("0.0.1"));
    const QString out = WorkspaceLayout::OutputDir(p.ws, QStringLiteral("M"), QStringLiteral("1.0.0")) +
                        QStringLiteral("/O/0.0.1/out.xml");
    writeFile(out, "<Root_Output User=\"u\" Email=\"u@x\" Name=\"O\"/>");
    p.GetObj<outdef>(RegSlot::ObjOutdef)->OpenOutput();
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 3);
    p.window->ShowOutputTransfer(QStringLiteral("u@x"));
    auto *dialog = visibleDialog<UserTransfer>("UserTransfer");
    QVERIFY(dialog);
    transferTo(dialog, QStringLiteral("g@x"));
    const QDomElement root = rootOf(out);
    QCOMPARE(root.attribute(QStringLiteral("User")), QStringLiteral("g"));
    QCOMPARE(root.attribute(QStringLiteral("Email")), QStringLiteral("g@x"));
    QCOMPARE(root.attribute(QStringLiteral("Name")), QStringLiteral("O"));
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 0);
}

void tst_transfer::memberTransfer_showsRowAndHandsItOver()
{
    Program p;
    const QString dir = p.ws + QStringLiteral("/inst");
    writeFile(dir + QStringLiteral("/manager.xml"),
              "<Root_manager User=\"u\" Email=\"u@x\" ID=\"0\" MaxID=\"3\">"
              "<GROUP><USER ID=\"2\" Name=\"o\" Email=\"o@x\"/></GROUP></Root_manager>");
    writeFile(dir + QStringLiteral("/manager_2.xml"), "<Root_manager ID=\"2\" User=\"o\" Email=\"o@x\"/>");
    p.SetStrVar(RegSlot::StrInstanceDir, dir);
    p.SetStrVar(RegSlot::StrInstanceName, QStringLiteral("I"));
    p.SetStrVar(RegSlot::StrInstanceVersion, QStringLiteral("0.0.1"));
    auto *mgr = p.GetObj<manager>(RegSlot::ObjManager);
    p.GetObj<CheckTimer>(RegSlot::ObjCheckTimer)->PostMessage(MsgCode::OpenManager);
    QTRY_VERIFY_WITH_TIMEOUT(mgr->GetMemberInfo(2) && mgr->GetMemberInfo(2)->TreeItem, 120000);
    mgr->SetCurrentItem(mgr->GetMemberInfo(2)->TreeItem);

    p.window->MenuChangeUser();
    auto *dialog = visibleDialog<UserTransfer>("UserTransfer");
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Manager Transfer"));
    QCOMPARE(rows(tree(dialog, "FROM_TREE")), QStringList{"o|o@x"});
    QCOMPARE(rows(tree(dialog, "GROUP_TREE")), (QStringList{"u|u@x", "g|g@x", "anyone|anyone"}));
    transferTo(dialog, QStringLiteral("g@x"));

    const QDomElement member = rootOf(dir + QStringLiteral("/manager_2.xml"));
    QCOMPARE(member.attribute(QStringLiteral("User")), QStringLiteral("g"));
    QCOMPARE(member.attribute(QStringLiteral("Email")), QStringLiteral("g@x"));
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 0);
    QCOMPARE(p.GetBoolVar(RegSlot::FlagStartPageUp), true);
}

// An account or receiving address longer than any typed is refused where it is chosen: the member
// files' readers would leave it out. The dialog stays up with it; nothing is asked or handed over.
void tst_transfer::dialogs_longAccount_refusedAndKeptInDialog()
{
    RegistryScope scope;
    const QString longName(LongValue::MaxChars + 1, QLatin1Char('g'));
    UserTransfer d;
    d.SetMode(1, QStringLiteral("u@x"));
    d.show();
    QTreeWidget *group = tree(&d, "GROUP_TREE");
    group->addTopLevelItem(new QTreeWidgetItem({longName, QStringLiteral("g@x")}));
    group->setCurrentItem(group->topLevelItem(group->topLevelItemCount() - 1));
    bool asked = false;
    QTimer::singleShot(0, [&asked] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            asked = true;
            box->reject();
        }
    });
    d.TransProc();
    QCoreApplication::processEvents();
    QVERIFY(!asked);
    QVERIFY(d.isVisible());
    QVERIFY2(d.Message().startsWith(LongValue::Shown(longName)), qPrintable(d.Message()));
    QCOMPARE(rows(tree(&d, "TRANS_TREE")), QStringList{longName + QStringLiteral("|g@x")});

    ProcMailDiag proc;
    proc.show();
    auto *address = proc.findChild<QLineEdit *>(QStringLiteral("PEMAIL"));
    address->setText(longName + QStringLiteral("@x"));
    UiReport::ClearLast();
    proc.findChild<QPushButton *>(QStringLiteral("SET"))->click();
    QVERIFY(proc.isVisible());
    QCOMPARE(address->text(), longName + QStringLiteral("@x"));
    QVERIFY(UiReport::LastText().startsWith(LongValue::Shown(longName + QStringLiteral("@x"))));
    // Titled by what it refuses, not by the form's bare "Dialog".
    QCOMPARE(UiReport::LastTitle(), QStringLiteral("Receiving address"));
    address->setText(QStringLiteral("p@x"));
    proc.findChild<QPushButton *>(QStringLiteral("SET"))->click();
    QVERIFY(!proc.isVisible());
}

QTEST_MAIN(tst_transfer)
#include "tst_transfer.moc"
