#include "workspace/newworkspace.h"

#include "core/postbox.h"
#include "core/safefile.h"
#include "core/uireport.h"
#include "ui_newworkspace.h"
#include "workspace/workspacechooser.h"
#include "workspace/workspacelayout.h"

#include <QDir>

NewWorkspace::NewWorkspace(QWidget *parent) : QDialog(parent), m_ui(new Ui::NewWorkspace)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_ui->MSG->clear();
    connect(m_ui->OK, &QPushButton::clicked, this, &NewWorkspace::onAccept);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &NewWorkspace::onReject);
    connect(m_ui->DIRBTN, &QPushButton::clicked, this, &NewWorkspace::onWsDir);
}

NewWorkspace::~NewWorkspace()
{
    delete m_ui;
}

void NewWorkspace::onWsDir()
{
    const QString folder = WorkspaceChooser::PickFolder(this, tr("workspace Directory"), QDir::currentPath());
    if (!folder.isEmpty())
        m_ui->DIREDIT->setText(folder);
}

void NewWorkspace::onReject()
{
    reject();
}

void NewWorkspace::onAccept()
{
    using namespace WorkspaceLayout;
    const QString name = m_ui->WSEDIT->text();
    if (name.isEmpty()) {
        m_ui->MSG->setText(tr("workspace name is not set"));
        return;
    }
    if (m_ui->DIREDIT->text().isEmpty()) {
        m_ui->MSG->setText(tr("Directory is not set"));
        return;
    }
    if (!IsPortableName(name)) {
        m_ui->MSG->setText(tr("workspace name is invalid"));
        return;
    }
    QString path;
    const QString marker = GetStrVar(RegSlot::StrProjectFileName);
    switch (CreateWorkspace(m_ui->DIREDIT->text(), name, marker, &path)) {
    case CreateResult::ParentMissing:
        m_ui->MSG->setText(tr("Directory is not found"));
        return;
    case CreateResult::AlreadyExists:
        m_ui->MSG->setText(tr("Directory is already exist. Dir:") + path);
        return;
    case CreateResult::FolderFailed:
        UiReport::Fatal(tr("File Error"),
                        QStringLiteral("Directory(") + path + QStringLiteral(") can not make"));
        return;
    case CreateResult::MarkerFailed:
        UiReport::Fatal(tr("File Error"),
                        SafeFile::WithReason(QStringLiteral("File(") + path + QLatin1Char('/') + marker +
                                             QStringLiteral(") can not make")));
        return;
    case CreateResult::Ok:
        break;
    }
    SetStrVar(RegSlot::StrWorkspaceDir, path);
    PostBox::Post(MsgCode::NewWorkspace);
    accept();
}
