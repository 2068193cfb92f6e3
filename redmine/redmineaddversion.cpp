#include "redmine/redmineaddversion.h"

#include "redmine/redmineproject.h"
#include "shell/numeditor.h"
#include "ui_redmineaddversion.h"

#include <QTabBar>
#include <QTreeWidget>

RedmineAddVersion::RedmineAddVersion(RedmineProject *page)
    : RedmineItemDiag(page), m_ui(new Ui::RedmineAddVersion), m_editor(new NumEditor)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    UseFormWidgets(m_ui->ID, m_ui->MSG, m_ui->DEL, m_ui->CANCEL);
    // The form's placeholder tabs give way to the one tab that holds the description.
    while (m_ui->tabWidget->count() > 0) {
        QWidget *placeholder = m_ui->tabWidget->widget(0);
        m_ui->tabWidget->removeTab(0);
        delete placeholder;
    }
    m_ui->tabWidget->addTab(m_editor, tr("Explain"));
    m_ui->tabWidget->tabBar()->setStyleSheet(QStringLiteral("background-color: #28649d"));
    m_ui->tabWidget->tabBar()->setTabTextColor(0, Qt::white);
    connect(m_ui->OK, &QPushButton::clicked, this, &RedmineAddVersion::OkProc);
    connect(m_ui->DEL, &QPushButton::clicked, this, &RedmineAddVersion::DelProc);
}

RedmineAddVersion::~RedmineAddVersion() = default;

void RedmineAddVersion::prepare(int mode)
{
    m_mode = mode;
    m_msg->clear();
    m_editor->SetEditFont();
    m_editor->ClearText();
    m_ui->L_ID->setVisible(mode == 0);
    m_id->setVisible(mode == 0);
    m_del->setVisible(mode == 0);
    m_ui->OK->setText(mode == 0 ? tr("update") : tr("new set"));
    m_ui->State_cbx->clear();
    m_ui->Share_cbx->clear();
}

void RedmineAddVersion::SetNew()
{
    prepare(1);
    m_ui->VERSION->clear();
    m_ui->State_cbx->addItem(m_page->GetVersionStatusLabel(QStringLiteral("open")), QStringLiteral("open"));
    m_ui->Share_cbx->addItem(m_page->GetSharingLabel(QStringLiteral("none")), QStringLiteral("none"));
}

void RedmineAddVersion::SetUpdate(QTreeWidgetItem *row, const QString &description)
{
    prepare(0);
    m_initialName = row->text(0);
    m_ui->VERSION->setText(m_initialName);
    m_id->setText(row->text(3));
    m_initialDescription = description;
    m_editor->appendPlainText(description);
    // Shown only: a change sends name and description, never status or sharing.
    m_ui->State_cbx->addItem(row->text(1));
    m_ui->Share_cbx->addItem(row->text(2));
}

void RedmineAddVersion::OkProc(bool)
{
    const QString name = m_ui->VERSION->text();
    const QString description = m_editor->toPlainText();
    QString problem;
    if (m_mode == 0 && name == m_initialName && description == m_initialDescription)
        problem = tr("version name or description is not modify");
    else if (GetIntVar(RegSlot::IntRedmineProjectId) == -1)
        problem = tr("project is not set");
    else if (name.isEmpty())
        problem = tr("version is not set");
    else if ((m_mode == 1 || name != m_initialName) &&
             !m_page->GetVersionTree()
                  ->findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive, 0)
                  .isEmpty())
        problem = tr("save version name exist");
    if (!problem.isEmpty()) {
        m_msg->setText(problem);
        return;
    }
    const bool sent =
        m_mode == 1 ? m_page->CreateVersion(name, description, m_ui->State_cbx->currentData().toString(),
                                            m_ui->Share_cbx->currentData().toString())
                    : m_page->UpdateVersion(name, description, m_id->text());
    Sent(sent);
}

void RedmineAddVersion::DelProc(bool)
{
    AskDelete(tr("Is delete version?"), &RedmineProject::DeleteVersion);
}
