#include "workspace/openinstancediag.h"

#include "core/postbox.h"
#include "core/uireport.h"
#include "shell/errormsg.h"
#include "ui_openinstancediag.h"
#include "workspace/versiontree.h"
#include "workspace/workspacechooser.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>

using namespace WorkspaceLayout;

OpenInstanceDiag::OpenInstanceDiag(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::OpenInstanceDiag), m_error(MakeOwnErrorMsg(this))
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(GetLogoIcon());
    m_ui->MSG->setText(QString());
    m_ui->MODELTREE->header()->resizeSection(0, 500);
    m_ui->INSTANCETREE->header()->resizeSection(0, 500);
    VersionTree::SetHeaderIcons(m_ui->MODELTREE, SharedIcon::TblM, SharedIcon::TblV);
    VersionTree::SetHeaderIcons(m_ui->INSTANCETREE, SharedIcon::TblI, SharedIcon::TblV);
    connect(m_ui->OK, &QPushButton::clicked, this, &OpenInstanceDiag::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &OpenInstanceDiag::CancelProc);
    connect(m_ui->REF, &QPushButton::clicked, this, &OpenInstanceDiag::onWsDir);
    connect(m_ui->MODELTREE, &QTreeWidget::currentItemChanged, this, &OpenInstanceDiag::ModelTreeChanged);
    connect(m_ui->MODELTREE, &QTreeWidget::itemExpanded, this, &OpenInstanceDiag::ModelColumnAdjustment);
    connect(m_ui->MODELTREE, &QTreeWidget::itemCollapsed, this, &OpenInstanceDiag::ModelColumnAdjustment);
    connect(m_ui->INSTANCETREE, &QTreeWidget::itemDoubleClicked, this, &OpenInstanceDiag::TreeDblClicked);
    connect(m_ui->INSTANCETREE, &QTreeWidget::currentItemChanged, this,
            &OpenInstanceDiag::InstanceTreeChanged);
    connect(m_ui->INSTANCETREE, &QTreeWidget::itemExpanded, this,
            &OpenInstanceDiag::InstanceColumnAdjustment);
    connect(m_ui->INSTANCETREE, &QTreeWidget::itemCollapsed, this,
            &OpenInstanceDiag::InstanceColumnAdjustment);
}

OpenInstanceDiag::~OpenInstanceDiag()
{
    delete m_ui;
}

QString OpenInstanceDiag::Message() const
{
    return m_ui->MSG->text();
}

void OpenInstanceDiag::InitDisplay()
{
    m_rememberedModel = m_rememberedInstance = nullptr;
    m_ui->INSTANCETREE->clear();
    m_ui->MODELTREE->clear();
    m_ui->INSTANCENAME->clear();
    m_ui->MSG->clear();
    const QString workspace = GetStrVar(RegSlot::StrWorkspaceDir);
    m_workspaceCurrent = !workspace.isEmpty();
    if (GetIntVar(RegSlot::IntDocKind) != 0) {
        m_ui->REF->hide();
        m_ui->WSNAME->setText(workspace);
        m_ui->MODELTREE->setCurrentItem(VersionTree::AddOpenModelRow(m_ui->MODELTREE));
    } else {
        m_ui->REF->show();
        if (!workspace.isEmpty()) {
            m_ui->WSNAME->setText(workspace);
            ListModels(workspace);
        }
        if (m_ui->MODELTREE->topLevelItemCount() > 0)
            m_ui->MODELTREE->setCurrentItem(m_rememberedModel ? m_rememberedModel
                                                              : m_ui->MODELTREE->topLevelItem(0));
    }
    ModelColumnAdjustment();
}

void OpenInstanceDiag::addModels(const QString &defs, bool mark)
{
    m_rememberedModel = VersionTree::AddModelRows(m_ui->MODELTREE, defs, Entries::VersionFolders, mark);
}

void OpenInstanceDiag::ListModels(const QString &workspace)
{
    const QString defs = DefinitionsDir(workspace);
    if (!QFileInfo(defs).isDir()) {
        ReportNoDefinitions(m_error, defs);
        return;
    }
    m_ui->INSTANCETREE->clear();
    m_ui->MODELTREE->clear();
    addModels(defs, m_workspaceCurrent && VersionTree::OpenModelKnown());
}

void OpenInstanceDiag::onWsDir()
{
    m_ui->MSG->clear();
    const auto chosen = WorkspaceChooser::ChooseWorkspace(this, GetStrVar(RegSlot::StrWorkspaceDir),
                                                          GetStrVar(RegSlot::StrProjectFileName));
    if (!chosen || chosen->isEmpty())
        return;
    m_workspaceCurrent = QDir(*chosen) == QDir(GetStrVar(RegSlot::StrWorkspaceDir));
    const QString defs = DefinitionsDir(*chosen);
    if (!QFileInfo(defs).isDir()) {
        UiReport::System(QStringLiteral("SYSTEM ERROR:OINST002"));
        return;
    }
    m_ui->INSTANCETREE->clear();
    m_ui->MODELTREE->clear();
    addModels(defs, false);
    m_rememberedModel = m_rememberedInstance = nullptr;
    m_ui->WSNAME->setText(*chosen);
    m_ui->MODELTREE->setCurrentItem(VersionTree::LastVersionRow(m_ui->MODELTREE));
    ModelColumnAdjustment();
    InstanceColumnAdjustment();
}

void OpenInstanceDiag::ModelTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    m_ui->MSG->clear();
    if (!current)
        return;
    m_ui->INSTANCETREE->clear();
    m_ui->INSTANCENAME->clear();
    m_ui->VERSION->clear();
    m_rememberedInstance = VersionTree::AddInstanceRows(m_ui->INSTANCETREE, m_ui->WSNAME->text(), current,
                                                        Entries::VersionFolders);
    VersionTree::SelectRow(m_ui->INSTANCETREE, m_rememberedInstance);
    InstanceColumnAdjustment();
}

void OpenInstanceDiag::InstanceTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    m_ui->MSG->clear();
    if (!current)
        return;
    m_ui->INSTANCENAME->setText(VersionTree::RowName(current));
    m_ui->VERSION->setText(VersionTree::RowVersion(current));
}

void OpenInstanceDiag::TreeDblClicked(QTreeWidgetItem *, int)
{
    OkProc();
}

void OpenInstanceDiag::OkProc()
{
    if (m_ui->MODELTREE->topLevelItemCount() == 0)
        return m_ui->MSG->setText(tr("model is empty"));
    QTreeWidgetItem *modelRow = m_ui->MODELTREE->currentItem();
    if (!modelRow)
        return m_ui->MSG->setText(tr("model is not selected"));
    if (m_ui->INSTANCETREE->topLevelItemCount() == 0)
        return m_ui->MSG->setText(tr("instance is empty"));
    QTreeWidgetItem *instRow = m_ui->INSTANCETREE->currentItem();
    if (!instRow)
        return m_ui->MSG->setText(tr("instance is not selected"));
    m_ui->MSG->clear();
    if (m_ui->INSTANCENAME->text().isEmpty())
        return m_ui->MSG->setText(tr("instance name is not selected"));
    const QString workspace = DelLastSlash(m_ui->WSNAME->text());
    const QString model = VersionTree::RowName(modelRow);
    const QString modelVersion = VersionTree::RowVersion(modelRow);
    const QString modelDir = ModelVersionDir(workspace, model, modelVersion);
    const QString instance = VersionTree::RowName(instRow);
    const QString version = VersionTree::RowVersion(instRow);
    SetStrVar(RegSlot::StrWorkspaceDir, workspace);
    SetStrVar(RegSlot::StrModelName, model);
    SetStrVar(RegSlot::StrModelVersion, modelVersion);
    SetStrVar(RegSlot::StrModelDir, modelDir);
    SetStrVar(RegSlot::StrInstanceName, instance);
    SetStrVar(RegSlot::StrInstanceVersion, version);
    SetStrVar(RegSlot::StrInstanceDir, ResolveSubFolder(modelDir, InstanceFolder) + QLatin1Char('/') +
                                           instance + QLatin1Char('/') + version);
    PostBox::Post(MsgCode::OpenManager);
    accept();
}

void OpenInstanceDiag::CancelProc()
{
    reject();
}

void OpenInstanceDiag::ModelColumnAdjustment()
{
    TreeColumnAdjustment(m_ui->MODELTREE);
}

void OpenInstanceDiag::InstanceColumnAdjustment()
{
    TreeColumnAdjustment(m_ui->INSTANCETREE);
}
