#include "workspace/openout.h"

#include "core/postbox.h"
#include "core/uireport.h"
#include "shell/errormsg.h"
#include "ui_openout.h"
#include "workspace/versiontree.h"
#include "workspace/workspacechooser.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>

using namespace WorkspaceLayout;

OpenOut::OpenOut(QWidget *parent) : QDialog(parent), m_ui(new Ui::OpenOut), m_error(MakeOwnErrorMsg(this))
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_ui->MSG->clear();
    m_ui->MODELTREE->setColumnWidth(0, 500);
    m_ui->OUTPUTTREE->setColumnWidth(0, 500);
    VersionTree::SetHeaderIcons(m_ui->MODELTREE, SharedIcon::TblM, SharedIcon::TblV);
    VersionTree::SetHeaderIcons(m_ui->OUTPUTTREE, SharedIcon::TblO, SharedIcon::TblV);
    connect(m_ui->OK, &QPushButton::clicked, this, &OpenOut::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &OpenOut::CancelProc);
    connect(m_ui->REF, &QPushButton::clicked, this, &OpenOut::onWsDir);
    connect(m_ui->MODELTREE, &QTreeWidget::currentItemChanged, this, &OpenOut::ModelTreeChanged);
    connect(m_ui->MODELTREE, &QTreeWidget::expanded, this, &OpenOut::ModelColumnAdjustment);
    connect(m_ui->MODELTREE, &QTreeWidget::collapsed, this, &OpenOut::ModelColumnAdjustment);
    connect(m_ui->OUTPUTTREE, &QTreeWidget::currentItemChanged, this, &OpenOut::OutputTreeChanged);
    connect(m_ui->OUTPUTTREE, &QTreeWidget::expanded, this, &OpenOut::OutputColumnAdjustment);
    connect(m_ui->OUTPUTTREE, &QTreeWidget::collapsed, this, &OpenOut::OutputColumnAdjustment);
}

OpenOut::~OpenOut()
{
    delete m_ui;
}

QTreeWidgetItem *OpenOut::AddModelItems(const QString &workspace)
{
    return VersionTree::AddModelRows(m_ui->MODELTREE, DefinitionsDir(workspace), Entries::Visible,
                                     m_wsCurrent && VersionTree::OpenModelKnown());
}

void OpenOut::ListModels(const QString &workspace)
{
    const QString defs = DefinitionsDir(workspace);
    if (!QFileInfo(defs).isDir()) {
        ReportNoDefinitions(m_error, defs);
        return;
    }
    m_ui->MODELTREE->clear();
    QTreeWidgetItem *remembered = AddModelItems(workspace);
    VersionTree::SelectRow(m_ui->MODELTREE, remembered);
}

void OpenOut::InitDisplay()
{
    m_ui->MODELTREE->clear();
    m_ui->OUTPUTTREE->clear();
    m_ui->OUTPUTNAME->clear();
    m_ui->MSG->clear();
    m_workspace = GetStrVar(RegSlot::StrWorkspaceDir);
    m_wsCurrent = !m_workspace.isEmpty();
    if (GetIntVar(RegSlot::IntDocKind) != 0) {
        m_ui->REF->hide();
        m_ui->WSNAME->setText(m_workspace);
        m_ui->MODELTREE->setCurrentItem(VersionTree::AddOpenModelRow(m_ui->MODELTREE));
    } else {
        m_ui->REF->show();
        if (!m_workspace.isEmpty()) {
            m_ui->WSNAME->setText(m_workspace);
            ListModels(m_workspace);
        }
    }
    TreeColumnAdjustment(m_ui->MODELTREE);
}

void OpenOut::onWsDir()
{
    m_ui->MSG->clear();
    const QString root = GetStrVar(RegSlot::StrWorkspaceDir);
    const auto chosen = WorkspaceChooser::ChooseWorkspace(this, root, GetStrVar(RegSlot::StrProjectFileName));
    if (!chosen)
        return;
    m_wsCurrent = !chosen->isEmpty() && !root.isEmpty() && QDir(*chosen) == QDir(root);
    if (chosen->isEmpty() || !QFileInfo(DefinitionsDir(*chosen)).isDir()) {
        UiReport::System(QStringLiteral("SYSTEM ERROR:OOUT001"));
        return;
    }
    m_ui->MODELTREE->clear();
    m_ui->WSNAME->setText(*chosen);
    AddModelItems(*chosen);
    VersionTree::SelectRow(m_ui->MODELTREE);
    TreeColumnAdjustment(m_ui->MODELTREE);
    TreeColumnAdjustment(m_ui->OUTPUTTREE);
}

void OpenOut::ModelTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    m_ui->MSG->clear();
    if (!current)
        return;
    m_ui->OUTPUTTREE->clear();
    m_ui->OUTPUTNAME->clear();
    m_ui->VERSION->clear();
    const QString ws = m_ui->WSNAME->text();
    const QString model = VersionTree::RowName(current);
    const QString version = VersionTree::RowVersion(current);
    m_markOutput = ws == GetStrVar(RegSlot::StrWorkspaceDir) && model == GetStrVar(RegSlot::StrModelName) &&
                   version == GetStrVar(RegSlot::StrModelVersion);
    const QString outputs = OutputDir(ws, model, version);
    QTreeWidgetItem *remembered = nullptr;
    if (QFileInfo(outputs).isDir())
        remembered =
            VersionTree::AddRows(m_ui->OUTPUTTREE, ListTree(outputs, Entries::Visible), m_markOutput,
                                 GetStrVar(RegSlot::StrOutputName), GetStrVar(RegSlot::StrOutputVersion));
    VersionTree::SelectRow(m_ui->OUTPUTTREE, remembered);
    TreeColumnAdjustment(m_ui->OUTPUTTREE);
}

void OpenOut::OutputTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    m_ui->MSG->clear();
    if (!current)
        return;
    m_ui->OUTPUTNAME->setText(VersionTree::RowName(current));
    m_ui->VERSION->setText(VersionTree::RowVersion(current));
}

void OpenOut::ModelColumnAdjustment(const QModelIndex &)
{
    TreeColumnAdjustment(m_ui->MODELTREE);
}

void OpenOut::OutputColumnAdjustment(const QModelIndex &)
{
    TreeColumnAdjustment(m_ui->OUTPUTTREE);
}

void OpenOut::CancelProc()
{
    reject();
}

void OpenOut::OkProc()
{
    QTreeWidgetItem *model = m_ui->MODELTREE->currentItem();
    QTreeWidgetItem *output = m_ui->OUTPUTTREE->currentItem();
    QString text;
    if (m_ui->MODELTREE->topLevelItemCount() == 0)
        text = tr("model is empty");
    else if (!model)
        text = tr("model is not selected");
    else if (m_ui->OUTPUTTREE->topLevelItemCount() == 0)
        text = tr("output is empty");
    else if (!output)
        text = tr("output is not selected");
    else if (m_ui->OUTPUTNAME->text().isEmpty())
        text = tr("output name is not selected");
    m_ui->MSG->setText(text);
    if (!text.isEmpty())
        return;
    SetStrVar(RegSlot::StrWorkspaceDir, DelLastSlash(m_ui->WSNAME->text()));
    SetStrVar(RegSlot::StrModelName, VersionTree::RowName(model));
    SetStrVar(RegSlot::StrModelVersion, VersionTree::RowVersion(model));
    SetStrVar(RegSlot::StrOutputName, VersionTree::RowName(output));
    SetStrVar(RegSlot::StrOutputVersion, VersionTree::RowVersion(output));
    PostBox::Post(MsgCode::OpenOutput);
    accept();
}
