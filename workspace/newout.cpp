#include "workspace/newout.h"

#include "core/postbox.h"
#include "core/uireport.h"
#include "shell/errormsg.h"
#include "ui_newout.h"
#include "workspace/versiontree.h"
#include "workspace/workspacechooser.h"

#include <QFileInfo>
#include <QPushButton>

using namespace WorkspaceLayout;

NewOut::NewOut(QWidget *parent) : QDialog(parent), m_ui(new Ui::NewOut), m_error(MakeOwnErrorMsg(this))
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_ui->MSG->clear();
    m_ui->TREE->setColumnWidth(0, 500);
    m_ui->OUTPUTTREE->setColumnWidth(0, 500);
    VersionTree::SetHeaderIcons(m_ui->TREE, SharedIcon::TblM, SharedIcon::TblV);
    VersionTree::SetHeaderIcons(m_ui->OUTPUTTREE, SharedIcon::TblO, SharedIcon::TblV);
    connect(m_ui->CREATE, &QPushButton::clicked, this, &NewOut::CreateProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &NewOut::CancelProc);
    connect(m_ui->DIR, &QPushButton::clicked, this, &NewOut::onWsDir);
    connect(m_ui->TREE, &QTreeWidget::currentItemChanged, this, &NewOut::ModelTreeChanged);
    connect(m_ui->TREE, &QTreeWidget::expanded, this, &NewOut::ModelColumnAdjustment);
    connect(m_ui->TREE, &QTreeWidget::collapsed, this, &NewOut::ModelColumnAdjustment);
    connect(m_ui->OUTPUTTREE, &QTreeWidget::currentItemChanged, this, &NewOut::OutputTreeChanged);
    connect(m_ui->OUTPUTTREE, &QTreeWidget::expanded, this, &NewOut::OutputColumnAdjustment);
    connect(m_ui->OUTPUTTREE, &QTreeWidget::collapsed, this, &NewOut::OutputColumnAdjustment);
}

NewOut::~NewOut()
{
    delete m_ui;
}

void NewOut::setDefaultVersion()
{
    VersionTree::SetSpins(DefaultVersion, m_ui->MAJOR, m_ui->MINOR, m_ui->REVISION);
}

void NewOut::fillModels(const QString &workspace, bool mark)
{
    QTreeWidgetItem *remembered =
        VersionTree::AddModelRows(m_ui->TREE, DefinitionsDir(workspace), Entries::All, mark);
    VersionTree::SelectRow(m_ui->TREE, remembered);
}

void NewOut::InitDisplay()
{
    m_ui->WSNAME->clear();
    m_ui->TREE->clear();
    m_ui->MSG->clear();
    m_root = GetStrVar(RegSlot::StrWorkspaceDir);
    m_wsCurrent = !m_root.isEmpty();
    m_markOpenModel = m_wsCurrent && VersionTree::OpenModelKnown();
    if (GetIntVar(RegSlot::IntDocKind) != 0) {
        // Only the open model version can receive an output definition.
        m_ui->DIR->hide();
        m_ui->WSNAME->setText(m_root);
        m_ui->TREE->setCurrentItem(VersionTree::AddOpenModelRow(m_ui->TREE));
    } else {
        m_ui->DIR->show();
        if (!m_root.isEmpty()) {
            m_ui->WSNAME->setText(m_root);
            VersionTree::SelectRow(
                m_ui->TREE, ListDefinitions(m_ui->TREE, m_error, m_root, Entries::All, m_markOpenModel));
        }
    }
    TreeColumnAdjustment(m_ui->TREE);
}

void NewOut::ModelTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *)
{
    m_ui->MSG->clear();
    if (!cur)
        return;
    m_ui->OUTPUTTREE->clear();
    m_ui->OUTPUTNAME->clear();
    setDefaultVersion();
    const QString ws = DelLastSlash(m_ui->WSNAME->text());
    const QString model = VersionTree::RowName(cur);
    const QString version = VersionTree::RowVersion(cur);
    m_markOpenOutput = ws == GetStrVar(RegSlot::StrWorkspaceDir) &&
                       model == GetStrVar(RegSlot::StrModelName) &&
                       version == GetStrVar(RegSlot::StrModelVersion);
    const QString outputs = OutputDir(ws, model, version);
    QTreeWidgetItem *remembered = nullptr;
    if (QFileInfo(outputs).isDir())
        remembered =
            VersionTree::AddRows(m_ui->OUTPUTTREE, ListTree(outputs, Entries::All), m_markOpenOutput,
                                 GetStrVar(RegSlot::StrOutputName), GetStrVar(RegSlot::StrOutputVersion));
    if (!VersionTree::SelectRow(m_ui->OUTPUTTREE, remembered))
        setDefaultVersion();
    TreeColumnAdjustment(m_ui->OUTPUTTREE);
}

void NewOut::OutputTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *)
{
    m_ui->MSG->clear();
    if (!cur)
        return;
    m_ui->OUTPUTNAME->setText(VersionTree::RowName(cur));
    VersionTree::SetSpins(VersionTree::RowVersion(cur), m_ui->MAJOR, m_ui->MINOR, m_ui->REVISION);
}

void NewOut::ModelColumnAdjustment(const QModelIndex &)
{
    TreeColumnAdjustment(m_ui->TREE);
}

void NewOut::OutputColumnAdjustment(const QModelIndex &)
{
    TreeColumnAdjustment(m_ui->OUTPUTTREE);
}

void NewOut::onWsDir()
{
    m_ui->MSG->clear();
    const auto chosen = WorkspaceChooser::ChooseWorkspace(this, GetStrVar(RegSlot::StrWorkspaceDir),
                                                          GetStrVar(RegSlot::StrProjectFileName));
    if (!chosen)
        return;
    if (QFileInfo(DefinitionsDir(*chosen)).isDir()) {
        m_ui->TREE->clear();
        m_ui->WSNAME->setText(*chosen);
        fillModels(*chosen, false);
    } else {
        UiReport::System(QStringLiteral("SYSTEM ERROR:NOUT001"));
    }
    TreeColumnAdjustment(m_ui->TREE);
    TreeColumnAdjustment(m_ui->OUTPUTTREE);
}

void NewOut::CancelProc()
{
    reject();
}

QString NewOut::refusal(const QString &workspace) const
{
    const QString name = m_ui->OUTPUTNAME->text();
    if (workspace.isEmpty())
        return tr("workspace is empty.");
    if (m_ui->TREE->topLevelItemCount() == 0)
        return tr("model list is empty.");
    if (name.isEmpty())
        return tr("output name is not set.");
    if (!IsPortableName(name))
        return tr("output name is invalid");
    if (!m_ui->TREE->currentItem())
        return tr("model is not selected");
    return QString();
}

void NewOut::CreateProc()
{
    const QString ws = DelLastSlash(m_ui->WSNAME->text());
    QString text = refusal(m_ui->WSNAME->text());
    const QString name = m_ui->OUTPUTNAME->text();
    const QString version = VersionTree::SpinText(m_ui->MAJOR, m_ui->MINOR, m_ui->REVISION);
    const QString model = VersionTree::RowName(m_ui->TREE->currentItem());
    const QString modelVersion = VersionTree::RowVersion(m_ui->TREE->currentItem());
    if (text.isEmpty()) {
        switch (CreateOutputFolders(ws, model, modelVersion, name, version)) {
        case OutputResult::VersionExists:
            text = tr("version of out name is already exist.");
            break;
        case OutputResult::OutputFolderFailed:
            text = tr("It was not possible to make a output name directory .");
            break;
        case OutputResult::VersionFolderFailed:
            text = tr("It was not possible to make a version directory output name.");
            break;
        case OutputResult::Ok:
            break;
        }
    }
    if (!text.isEmpty()) {
        m_ui->MSG->setText(text);
        return;
    }
    // Only now: a refused creation must leave the open output definition's names alone.
    SetStrVar(RegSlot::StrOutputName, name);
    SetStrVar(RegSlot::StrOutputVersion, version);
    SetStrVar(RegSlot::StrModelName, model);
    SetStrVar(RegSlot::StrModelVersion, modelVersion);
    SetStrVar(RegSlot::StrWorkspaceDir, ws);
    PostBox::Post(MsgCode::NewOutput);
    accept();
}
