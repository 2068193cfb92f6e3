#include "workspace/opendefmodel.h"

#include "core/postbox.h"
#include "shell/errormsg.h"
#include "shell/mainwindow.h"
#include "ui_opendefmodel.h"
#include "workspace/versiontree.h"
#include "workspace/workspacechooser.h"

#include <QFileInfo>
#include <QPushButton>

using namespace WorkspaceLayout;

OpenDefModel::OpenDefModel(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::OpenDefModel), m_error(MakeOwnErrorMsg(this))
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_ui->MSG->clear();
    VersionTree::SetHeaderIcons(m_ui->TREE, SharedIcon::TblM, SharedIcon::TblV);
    connect(m_ui->OK, &QPushButton::clicked, this, &OpenDefModel::onAccept);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &OpenDefModel::onReject);
    connect(m_ui->DIR, &QPushButton::clicked, this, &OpenDefModel::onWsDir);
    connect(m_ui->TREE, &QTreeWidget::itemDoubleClicked, this, &OpenDefModel::TreeDblClicked);
    connect(m_ui->TREE, &QTreeWidget::expanded, this, &OpenDefModel::ModelColumnAdjustment);
    connect(m_ui->TREE, &QTreeWidget::collapsed, this, &OpenDefModel::ModelColumnAdjustment);
}

OpenDefModel::~OpenDefModel()
{
    delete m_ui;
}

void OpenDefModel::InitDisplay()
{
    m_ui->WSNAME->clear();
    m_ui->TREE->clear();
    m_ui->MSG->clear();
    const QString root = GetStrVar(RegSlot::StrWorkspaceDir);
    m_wsCurrent = !root.isEmpty();
    m_markOpenModel = m_wsCurrent && VersionTree::OpenModelKnown();
    QTreeWidgetItem *remembered = nullptr;
    if (!root.isEmpty() && QFileInfo(root).isDir()) {
        m_ui->WSNAME->setText(root);
        remembered = ListDefinitions(m_ui->TREE, m_error, root, Entries::VersionFolders, m_markOpenModel);
    }
    VersionTree::SelectRow(m_ui->TREE, remembered);
    TreeColumnAdjustment(m_ui->TREE);
}

void OpenDefModel::onWsDir()
{
    m_ui->MSG->clear();
    const auto chosen = WorkspaceChooser::ChooseWorkspace(this, GetStrVar(RegSlot::StrWorkspaceDir),
                                                          GetStrVar(RegSlot::StrProjectFileName));
    if (!chosen)
        return;
    // The path is kept as chosen: on a file system that tells letter cases apart, a lower-cased
    // path would lead nowhere.
    const QString defs = DefinitionsDir(*chosen);
    if (!QFileInfo(defs).isDir()) {
        m_ui->MSG->setText(tr("Directory:") + defs + tr("not found"));
        return;
    }
    m_ui->TREE->clear();
    VersionTree::AddRows(m_ui->TREE, ListTree(defs, Entries::VersionFolders), false, QString(), QString());
    m_ui->WSNAME->setText(*chosen);
    VersionTree::SelectRow(m_ui->TREE);
    TreeColumnAdjustment(m_ui->TREE);
}

void OpenDefModel::onAccept()
{
    if (m_ui->WSNAME->text().isEmpty())
        m_ui->MSG->setText(tr("workspace is not set"));
    else if (m_ui->TREE->topLevelItemCount() == 0)
        m_ui->MSG->setText(tr("model name is not found"));
    else if (!m_ui->TREE->currentItem())
        m_ui->MSG->setText(tr("model name is not selected"));
    else
        openRow(m_ui->TREE->currentItem());
}

void OpenDefModel::onReject()
{
    reject();
}

void OpenDefModel::TreeDblClicked(QTreeWidgetItem *item, int)
{
    m_ui->MSG->clear();
    if (item)
        openRow(item);
}

void OpenDefModel::ModelColumnAdjustment(const QModelIndex &)
{
    TreeColumnAdjustment(m_ui->TREE);
}

void OpenDefModel::openRow(QTreeWidgetItem *item)
{
    auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (mw)
        mw->ShowTabArea();
    SetStrVar(RegSlot::StrWorkspaceDir, DelLastSlash(m_ui->WSNAME->text()));
    const QString name = VersionTree::RowName(item);
    if (name.isEmpty()) {
        m_ui->MSG->setText(tr("system error:MODEL001"));
        return;
    }
    SetStrVar(RegSlot::StrModelName, name);
    SetStrVar(RegSlot::StrModelVersion, VersionTree::RowVersion(item));
    if (mw)
        mw->UpdateHistory(1);
    PostBox::Post(MsgCode::OpenModel);
    accept();
}
