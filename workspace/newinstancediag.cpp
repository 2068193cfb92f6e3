#include "workspace/newinstancediag.h"

#include "core/postbox.h"
#include "shell/errormsg.h"
#include "ui_newinstancediag.h"
#include "workspace/versiontree.h"
#include "workspace/workspacechooser.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>

using namespace WorkspaceLayout;

NewInstanceDiag::NewInstanceDiag(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::NewInstanceDiag), m_error(MakeOwnErrorMsg(this))
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(GetLogoIcon());
    m_ui->WSNAME->setReadOnly(true);
    m_ui->COPY_VERSION->setEnabled(false);
    m_ui->MSG->setText(QString());
    m_ui->MODELTREE->header()->setDefaultSectionSize(300);
    m_ui->INSTANCETREE->header()->setDefaultSectionSize(300);
    VersionTree::SetHeaderIcons(m_ui->MODELTREE, SharedIcon::TblM, SharedIcon::TblV);
    VersionTree::SetHeaderIcons(m_ui->INSTANCETREE, SharedIcon::TblI, SharedIcon::TblV);
    connect(m_ui->CREATE, &QPushButton::clicked, this, &NewInstanceDiag::CreateProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &NewInstanceDiag::CancelProc);
    connect(m_ui->DIR, &QPushButton::clicked, this, &NewInstanceDiag::onWsDir);
    connect(m_ui->MODELTREE, &QTreeWidget::currentItemChanged, this, &NewInstanceDiag::ModelTreeChanged);
    connect(m_ui->MODELTREE, &QTreeWidget::itemExpanded, this, &NewInstanceDiag::ModelColumnAdjustment);
    connect(m_ui->MODELTREE, &QTreeWidget::itemCollapsed, this, &NewInstanceDiag::ModelColumnAdjustment);
    connect(m_ui->INSTANCETREE, &QTreeWidget::currentItemChanged, this,
            &NewInstanceDiag::InstanceTreeChanged);
    connect(m_ui->INSTANCETREE, &QTreeWidget::itemExpanded, this, &NewInstanceDiag::InstanceColumnAdjustment);
    connect(m_ui->INSTANCETREE, &QTreeWidget::itemCollapsed, this,
            &NewInstanceDiag::InstanceColumnAdjustment);
}

NewInstanceDiag::~NewInstanceDiag()
{
    delete m_ui;
}

QString NewInstanceDiag::Message() const
{
    return m_ui->MSG->text();
}

void NewInstanceDiag::fail(const char *text)
{
    m_ui->MSG->setText(tr(text));
}

void NewInstanceDiag::InitDisplay()
{
    m_ui->WSNAME->clear();
    m_ui->MSG->clear();
    m_rememberedModel = m_rememberedInstance = nullptr;
    m_ui->INSTANCETREE->clear();
    m_ui->MODELTREE->clear();
    m_workspace = GetStrVar(RegSlot::StrWorkspaceDir);
    m_workspaceCurrent = !m_workspace.isEmpty();
    if (GetIntVar(RegSlot::IntDocKind) != 0) {
        m_ui->DIR->hide();
        m_ui->WSNAME->setText(m_workspace);
        m_ui->MODELTREE->setCurrentItem(VersionTree::AddOpenModelRow(m_ui->MODELTREE));
    } else {
        m_ui->DIR->show();
        if (!m_workspace.isEmpty()) {
            m_ui->WSNAME->setText(m_workspace);
            ListModels(m_workspace);
        }
        VersionTree::SelectRow(m_ui->MODELTREE, m_rememberedModel);
    }
    ModelColumnAdjustment();
    const bool rows = m_ui->MODELTREE->topLevelItemCount() > 0;
    m_ui->INSTNAME->setEnabled(rows);
    m_ui->DIR->setEnabled(rows);
    m_ui->CREATE->setEnabled(rows);
    if (rows)
        m_ui->MSG->clear();
    else
        fail(QT_TR_NOOP("Model has not been created"));
}

void NewInstanceDiag::ListModels(const QString &workspace)
{
    const QString defs = DefinitionsDir(workspace);
    if (!QFileInfo(defs).isDir()) {
        ReportNoDefinitions(m_error, defs);
        return;
    }
    m_rememberedModel = m_rememberedInstance = nullptr;
    m_ui->INSTANCETREE->clear();
    m_ui->MODELTREE->clear();
    m_rememberedModel = VersionTree::AddModelRows(m_ui->MODELTREE, defs, Entries::Visible,
                                                  m_workspaceCurrent && VersionTree::OpenModelKnown());
}

void NewInstanceDiag::onWsDir()
{
    m_ui->MSG->clear();
    const auto chosen = WorkspaceChooser::ChooseWorkspace(this, GetStrVar(RegSlot::StrWorkspaceDir),
                                                          GetStrVar(RegSlot::StrProjectFileName));
    if (!chosen || chosen->isEmpty() || !QFileInfo(DefinitionsDir(*chosen)).isDir())
        return;
    m_workspaceCurrent = QDir(*chosen) == QDir(GetStrVar(RegSlot::StrWorkspaceDir));
    m_rememberedModel = m_rememberedInstance = nullptr;
    m_ui->INSTANCETREE->clear();
    m_ui->MODELTREE->clear();
    VersionTree::AddRows(m_ui->MODELTREE, ListTree(DefinitionsDir(*chosen), Entries::Visible), false,
                         QString(), QString());
    ModelColumnAdjustment();
    InstanceColumnAdjustment();
    m_ui->WSNAME->setText(*chosen);
    m_ui->MODELTREE->setCurrentItem(VersionTree::LastVersionRow(m_ui->MODELTREE));
}

void NewInstanceDiag::ModelTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    m_ui->MSG->clear();
    if (!current)
        return;
    m_ui->INSTANCETREE->clear();
    m_ui->INSTNAME->clear();
    m_rememberedInstance = nullptr;
    m_rememberedInstance = VersionTree::AddInstanceRows(
        m_ui->INSTANCETREE, DelLastSlash(m_ui->WSNAME->text()), current, Entries::Visible);
    m_ui->INSTANCETREE->expandAll();
    if (QTreeWidgetItem *row =
            m_rememberedInstance ? m_rememberedInstance : VersionTree::LastVersionRow(m_ui->INSTANCETREE)) {
        m_ui->INSTNAME->setText(VersionTree::RowName(row));
        SetVersionSpins(VersionTree::RowVersion(row));
        m_ui->INSTANCETREE->setCurrentItem(row);
    } else {
        SetVersionSpins(DefaultVersion);
    }
    InstanceColumnAdjustment();
}

void NewInstanceDiag::InstanceTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    m_ui->MSG->clear();
    if (!current)
        return;
    m_ui->INSTNAME->setText(VersionTree::RowName(current));
    SetVersionSpins(VersionTree::RowVersion(current));
}

void NewInstanceDiag::SetVersionSpins(const QString &version)
{
    VersionTree::SetSpins(version, m_ui->MAJOR, m_ui->MINOR, m_ui->REVISION);
}

void NewInstanceDiag::CreateProc()
{
    if (m_ui->WSNAME->text().isEmpty())
        return fail(QT_TR_NOOP("workspace is empty."));
    const QString workspace = DelLastSlash(m_ui->WSNAME->text());
    if (m_ui->MODELTREE->topLevelItemCount() == 0)
        return fail(QT_TR_NOOP("model list is empty."));
    const QString name = m_ui->INSTNAME->text();
    if (name.isEmpty())
        return fail(QT_TR_NOOP("instance name is not set."));
    // The name becomes a folder: nothing that would leave the INSTANCE folder or that a team
    // member's file system cannot hold.
    if (!IsPortableName(name))
        return fail(QT_TR_NOOP("instance name is invalid"));
    const QString version = VersionTree::SpinText(m_ui->MAJOR, m_ui->MINOR, m_ui->REVISION);
    QTreeWidgetItem *row = m_ui->MODELTREE->currentItem();
    if (!row)
        return fail(QT_TR_NOOP("model list is empty."));
    const QString model = VersionTree::RowName(row);
    const QString modelVersion = VersionTree::RowVersion(row);
    const QString modelDir = ModelVersionDir(workspace, model, modelVersion);
    const QString instances = ResolveSubFolder(modelDir, InstanceFolder);
    const QString instanceDir = instances + QLatin1Char('/') + name;
    const QString versionDir = instanceDir + QLatin1Char('/') + version;
    if (IsCaseTwin(instances, name))
        return fail(QT_TR_NOOP("version of instance name is already exist."));
    if (QFileInfo(instanceDir).isDir()) {
        if (QFileInfo::exists(versionDir))
            return fail(QT_TR_NOOP("version of instance name is already exist."));
    } else if (!QDir().mkdir(instanceDir)) {
        return fail(QT_TR_NOOP("It was not possible to make a instance name directory ."));
    }
    if (!QDir().mkdir(versionDir))
        return fail(QT_TR_NOOP("It was not possible to make a version directory instance name."));
    if (!QDir().mkdir(versionDir + QStringLiteral("/REFERENCE")))
        return fail(QT_TR_NOOP("It was not possible to make a reference directory instance name version."));
    SetStrVar(RegSlot::StrWorkspaceDir, workspace);
    SetStrVar(RegSlot::StrInstanceDir, versionDir);
    SetStrVar(RegSlot::StrInstanceName, name);
    SetStrVar(RegSlot::StrInstanceVersion, version);
    SetStrVar(RegSlot::StrModelDir, modelDir);
    SetStrVar(RegSlot::StrModelName, model);
    SetStrVar(RegSlot::StrModelVersion, modelVersion);
    PostBox::Post(MsgCode::NewManager);
    accept();
}

void NewInstanceDiag::CancelProc()
{
    reject();
}

void NewInstanceDiag::ModelColumnAdjustment()
{
    TreeColumnAdjustment(m_ui->MODELTREE);
}

void NewInstanceDiag::InstanceColumnAdjustment()
{
    TreeColumnAdjustment(m_ui->INSTANCETREE);
}
