#include "workspace/newinstancediag.h"

#include "core/postbox.h"
#include "shell/errormsg.h"
#include "ui_newinstancediag.h"
#include "workspace/instancedialogs.h"

#include <QDir>

NewInstanceDiag::NewInstanceDiag(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::NewInstanceDiag), m_error(new ErrorMsg(this))
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(GetLogoIcon());
    m_ui->WSNAME->setReadOnly(true);
    m_ui->COPY_VERSION->setEnabled(false);
    m_ui->MSG->setText(QString());
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
        auto *row = new QTreeWidgetItem(m_ui->MODELTREE);
        row->setText(0, GetStrVar(RegSlot::StrModelName));
        row->setText(1, GetStrVar(RegSlot::StrModelVersion));
        m_ui->MODELTREE->setCurrentItem(row);
    } else {
        m_ui->DIR->show();
        if (!m_workspace.isEmpty()) {
            m_ui->WSNAME->setText(m_workspace);
            ListModels(m_workspace);
        }
        if (m_ui->MODELTREE->topLevelItemCount() > 0)
            m_ui->MODELTREE->setCurrentItem(m_rememberedModel ? m_rememberedModel
                                                              : InstanceTrees::LastRow(m_ui->MODELTREE));
    }
    ModelColumnAdjustment();
    const bool rows = m_ui->MODELTREE->topLevelItemCount() > 0;
    m_ui->INSTNAME->setEnabled(rows);
    m_ui->DIR->setEnabled(rows);
    m_ui->CREATE->setEnabled(rows);
    if (rows)
        m_ui->MSG->clear();
    else
        fail("Model has not been created");
}

void NewInstanceDiag::ListModels(const QString &workspace)
{
    const QString defs = workspace + QStringLiteral("/pelmorine.def");
    const QDir dir(defs);
    if (!dir.exists()) {
        m_error->SetMsg(QStringLiteral("workspaceError"),
                        QStringLiteral("dir[") + defs + QStringLiteral("]nonedir"));
        m_error->ShowMsg();
        return;
    }
    m_rememberedModel = m_rememberedInstance = nullptr;
    m_ui->INSTANCETREE->clear();
    m_ui->MODELTREE->clear();
    const bool mark = m_workspaceCurrent && !GetStrVar(RegSlot::StrModelName).isEmpty() &&
                      !GetStrVar(RegSlot::StrModelVersion).isEmpty();
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &model : entries) {
        if (QTreeWidgetItem *row =
                InstanceTrees::AddRows(m_ui->MODELTREE, defs, model, false, false, mark,
                                       GetStrVar(RegSlot::StrModelName), GetStrVar(RegSlot::StrModelVersion)))
            m_rememberedModel = row;
    }
}

void NewInstanceDiag::onWsDir()
{
    m_ui->MSG->clear();
    const QString chosen = InstanceTrees::ChooseWorkspace(this, GetStrVar(RegSlot::StrProjectFileName),
                                                          GetStrVar(RegSlot::StrWorkspaceDir));
    if (chosen.isNull())
        return;
    const QString defs = chosen + QStringLiteral("/pelmorine.def");
    if (chosen.isEmpty() || !QDir(defs).exists())
        return;
    m_workspaceCurrent = QDir(chosen) == QDir(GetStrVar(RegSlot::StrWorkspaceDir));
    m_rememberedModel = m_rememberedInstance = nullptr;
    m_ui->INSTANCETREE->clear();
    m_ui->MODELTREE->clear();
    const QStringList entries =
        QDir(defs).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &model : entries)
        InstanceTrees::AddRows(m_ui->MODELTREE, defs, model, false, false, false, QString(), QString());
    ModelColumnAdjustment();
    InstanceColumnAdjustment();
    m_ui->WSNAME->setText(chosen);
    m_ui->MODELTREE->setCurrentItem(InstanceTrees::LastRow(m_ui->MODELTREE));
}

void NewInstanceDiag::ModelTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    m_ui->MSG->clear();
    if (!current)
        return;
    m_ui->INSTANCETREE->clear();
    m_ui->INSTNAME->clear();
    m_rememberedInstance = nullptr;
    const QString workspace = DelLastSlash(m_ui->WSNAME->text());
    const QString model = InstanceTrees::RowName(current);
    const QString version = current->text(1);
    const QString folder = InstanceTrees::FolderNoCase(workspace + QStringLiteral("/pelmorine.def/") + model +
                                                           QLatin1Char('/') + version,
                                                       QStringLiteral("INSTANCE"));
    const bool mark = workspace == GetStrVar(RegSlot::StrWorkspaceDir) &&
                      model == GetStrVar(RegSlot::StrModelName) &&
                      version == GetStrVar(RegSlot::StrModelVersion);
    const QDir dir(folder);
    if (dir.exists()) {
        const QStringList entries =
            dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
        for (const QString &inst : entries) {
            if (QTreeWidgetItem *row = InstanceTrees::AddRows(m_ui->INSTANCETREE, folder, inst, false, true,
                                                              mark, GetStrVar(RegSlot::StrInstanceName),
                                                              GetStrVar(RegSlot::StrInstanceVersion)))
                m_rememberedInstance = row;
        }
    }
    if (m_ui->INSTANCETREE->topLevelItemCount() > 0) {
        QTreeWidgetItem *row =
            m_rememberedInstance ? m_rememberedInstance : InstanceTrees::LastRow(m_ui->INSTANCETREE);
        m_ui->INSTNAME->setText(InstanceTrees::RowName(row));
        SetVersionSpins(row->text(1));
        m_ui->INSTANCETREE->setCurrentItem(row);
    } else {
        SetVersionSpins(QStringLiteral("0.0.1"));
    }
    InstanceColumnAdjustment();
}

void NewInstanceDiag::InstanceTreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    m_ui->MSG->clear();
    if (!current)
        return;
    m_ui->INSTNAME->setText(InstanceTrees::RowName(current));
    SetVersionSpins(current->text(1));
}

void NewInstanceDiag::SetVersionSpins(const QString &version)
{
    const QStringList parts = version.split(QLatin1Char('.'));
    QSpinBox *spins[] = {m_ui->MAJOR, m_ui->MINOR, m_ui->REVISION};
    for (int i = 0; i < 3 && i < parts.size(); ++i)
        spins[i]->setValue(parts.at(i).toInt());
}

void NewInstanceDiag::CreateProc()
{
    if (m_ui->WSNAME->text().isEmpty())
        return fail("workspace is empty.");
    const QString workspace = DelLastSlash(m_ui->WSNAME->text());
    if (m_ui->MODELTREE->topLevelItemCount() == 0)
        return fail("model list is empty.");
    const QString name = m_ui->INSTNAME->text();
    if (name.isEmpty())
        return fail("instance name is not set.");
    // The name becomes a folder: nothing that would leave the INSTANCE folder.
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/')) ||
        name.contains(QLatin1Char('\\')))
        return fail("instance name is not valid.");
    const QString version = QStringLiteral("%1.%2.%3")
                                .arg(m_ui->MAJOR->value())
                                .arg(m_ui->MINOR->value())
                                .arg(m_ui->REVISION->value());
    QTreeWidgetItem *row = m_ui->MODELTREE->currentItem();
    if (!row)
        return fail("model list is empty.");
    const QString model = InstanceTrees::RowName(row);
    const QString modelVersion = row->text(1);
    const QString modelDir =
        workspace + QStringLiteral("/pelmorine.def/") + model + QLatin1Char('/') + modelVersion;
    const QString instanceDir =
        InstanceTrees::FolderNoCase(modelDir, QStringLiteral("INSTANCE")) + QLatin1Char('/') + name;
    const QString versionDir = instanceDir + QLatin1Char('/') + version;
    if (QDir(instanceDir).exists()) {
        if (QDir(versionDir).exists())
            return fail("version of instance name is already exist.");
    } else if (!QDir().mkdir(instanceDir)) {
        return fail("It was not possible to make a instance name directory .");
    }
    if (!QDir().mkdir(versionDir))
        return fail("It was not possible to make a version directory instance name.");
    if (!QDir().mkdir(versionDir + QStringLiteral("/REFERENCE")))
        return fail("It was not possible to make a reference directory instance name version.");
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
