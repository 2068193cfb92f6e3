#include "workspace/newdefmodel.h"

#include "core/postbox.h"
#include "shell/askbox.h"
#include "shell/errormsg.h"
#include "shell/mainwindow.h"
#include "ui_newdefmodel.h"
#include "workspace/newworkspace.h"
#include "workspace/versiontree.h"
#include "workspace/workspacechooser.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

using namespace WorkspaceLayout;

NewDefModel::NewDefModel(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::NewDefModel), m_error(MakeOwnErrorMsg(this))
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_ui->MSG->clear();
    m_ui->TREE->setColumnWidth(0, 500);
    VersionTree::SetHeaderIcons(m_ui->TREE, SharedIcon::TblM, SharedIcon::TblV);
    connect(m_ui->CREATE, &QPushButton::clicked, this, &NewDefModel::onCreate);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &NewDefModel::onReject);
    connect(m_ui->NEW, &QPushButton::clicked, this, &NewDefModel::onWsDirNew);
    connect(m_ui->REF, &QPushButton::clicked, this, &NewDefModel::onWsDirRef);
    connect(m_ui->TREE, &QTreeWidget::currentItemChanged, this, &NewDefModel::TreeChanged);
    connect(m_ui->TREE, &QTreeWidget::expanded, this, &NewDefModel::ModelColumnAdjustment);
    connect(m_ui->TREE, &QTreeWidget::collapsed, this, &NewDefModel::ModelColumnAdjustment);
    SetObj(RegSlot::ObjNewDefModel, this);
}

NewDefModel::~NewDefModel()
{
    if (GetObj<NewDefModel>(RegSlot::ObjNewDefModel) == this)
        SetObj<NewDefModel>(RegSlot::ObjNewDefModel, nullptr);
    delete m_ui;
}

void NewDefModel::resetFields()
{
    m_ui->MODELNAME->clear();
    m_ui->MAJOR->setValue(0);
    m_ui->MINOR->setValue(0);
    m_ui->REVISION->setValue(1);
}

void NewDefModel::InitDisplay()
{
    resetFields();
    m_ui->WSNAME->clear();
    m_ui->MSG->clear();
    m_ui->TREE->clear();
    // A refused "Ref" concerned the folder it chose; the dialog now shows the workspace root, so
    // that refusal must not outlive it.
    m_defFound = true;
    m_root = GetStrVar(RegSlot::StrWorkspaceDir);
    m_wsCurrent = !m_root.isEmpty();
    m_markOpenModel = m_wsCurrent && VersionTree::OpenModelKnown();
    QTreeWidgetItem *remembered = nullptr;
    if (!m_root.isEmpty()) {
        m_ui->WSNAME->setText(m_root);
        remembered = ListDefinitions(m_ui->TREE, m_error, m_root, Entries::VersionFolders, m_markOpenModel);
    }
    VersionTree::SelectRow(m_ui->TREE, remembered);
    TreeColumnAdjustment(m_ui->TREE);
}

void NewDefModel::ResetDisplay()
{
    resetFields();
    m_ui->WSNAME->setText(GetStrVar(RegSlot::StrWorkspaceDir));
    const QString kept = m_ui->MSG->text();
    m_ui->TREE->clear();
    m_ui->MSG->setText(kept);
}

void NewDefModel::TreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *)
{
    VersionTree::SetSpins(DefaultVersion, m_ui->MAJOR, m_ui->MINOR, m_ui->REVISION);
    m_ui->MSG->clear();
    if (!cur)
        return;
    m_ui->MODELNAME->setText(VersionTree::RowName(cur));
    if (!m_ui->MODELNAME->text().isEmpty())
        VersionTree::SetSpins(VersionTree::RowVersion(cur), m_ui->MAJOR, m_ui->MINOR, m_ui->REVISION);
}

void NewDefModel::ModelColumnAdjustment(const QModelIndex &)
{
    TreeColumnAdjustment(m_ui->TREE);
}

void NewDefModel::onReject()
{
    reject();
}

void NewDefModel::onWsDirNew()
{
    m_ui->MSG->clear();
    m_defFound = true;
    auto *dialog = new NewWorkspace;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void NewDefModel::onWsDirRef()
{
    m_ui->MSG->clear();
    m_defFound = true;
    const auto chosen = WorkspaceChooser::ChooseWorkspace(this, GetStrVar(RegSlot::StrWorkspaceDir),
                                                          GetStrVar(RegSlot::StrProjectFileName));
    if (!chosen)
        return;
    const QString folder = DelLastSlash(*chosen);
    const QString defs = DefinitionsDir(folder);
    if (!QFileInfo(defs).isDir()) {
        m_defFound = false;
        m_ui->MSG->setText(tr("Directory:") + defs + tr("not found"));
        return;
    }
    m_ui->TREE->clear();
    VersionTree::AddRows(m_ui->TREE, ListTree(defs, Entries::VersionFolders), false, QString(), QString());
    SetStrVar(RegSlot::StrWorkspaceDir, folder);
    m_ui->WSNAME->setText(folder);
    TreeColumnAdjustment(m_ui->TREE);
}

bool NewDefModel::confirmCreate()
{
    QMessageBox box;
    box.setObjectName(QStringLiteral("CreateModelBox"));
    box.setWindowIcon(GetLogoIcon());
    box.setWindowTitle(tr("Create Model"));
    box.setInformativeText(tr("Do you want to create Model?"));
    QPushButton *create = AskBox::Button(box, "Create", tr("Create"), QMessageBox::AcceptRole);
    QPushButton *cancel = AskBox::Button(box, "Cancel", tr("Cancel"), QMessageBox::RejectRole);
    return AskBox::Confirmed(box, create, cancel);
}

void NewDefModel::onCreate()
{
    const QString name = m_ui->MODELNAME->text();
    const QString ws = m_ui->WSNAME->text();
    QString refusal;
    if (!m_defFound)
        refusal = tr("pelmorine.def is not found");
    else if (name.isEmpty())
        refusal = tr("set def model name");
    else if (!IsPortableName(name))
        refusal = tr("model name is invalid");
    else if (ws.isEmpty())
        refusal = tr("tolvek workspace is not set");
    else if (!QFileInfo(ws).isDir())
        refusal = tr("tolvek workspace directory not found:") + ws;
    else if (IsCaseTwin(DefinitionsDir(ws), name) ||
             QFileInfo(DefinitionsDir(ws) + QLatin1Char('/') + name + QLatin1Char('/') +
                       VersionTree::SpinText(m_ui->MAJOR, m_ui->MINOR, m_ui->REVISION))
                 .isDir())
        refusal = tr("version of this model is already exist");
    if (!refusal.isEmpty()) {
        m_ui->MSG->setText(refusal);
        return;
    }
    if (!confirmCreate())
        return;
    SetBoolVar(RegSlot::FlagModelCopyMode, false);
    SetStrVar(RegSlot::StrModelName, name);
    SetStrVar(RegSlot::StrModelVersion, VersionTree::SpinText(m_ui->MAJOR, m_ui->MINOR, m_ui->REVISION));
    SetStrVar(RegSlot::StrWorkspaceDir, DelLastSlash(ws));
    PostBox::Post(MsgCode::NewModel);
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        mw->EnableFileAction(8, true);
    accept();
}
