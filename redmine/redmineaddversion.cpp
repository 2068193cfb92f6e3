#include "redmine/redmineaddversion.h"

#include "redmine/redmineproject.h"
#include "shell/numeditor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

RedmineAddVersion::RedmineAddVersion(RedmineProject *page) : RedmineItemDiag(page), m_editor(new NumEditor)
{
    setObjectName(QStringLiteral("RedmineAddVersion"));
    setWindowTitle(QStringLiteral("AddVersion"));
    resize(577, 332);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const QString style = QStringLiteral("background-color: #28649d;color: #FFFFFF");
    auto label = [&](const char *name, const QString &text) {
        auto *l = new QLabel(text);
        l->setObjectName(QLatin1String(name));
        l->setStyleSheet(style);
        return l;
    };
    auto *top = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    m_version = new QLineEdit;
    m_version->setObjectName(QStringLiteral("VERSION"));
    m_idLabel = label("L_ID", tr("ID"));
    MakeIdField();
    row->addWidget(label("LB1", tr("Version")));
    row->addWidget(m_version, 1);
    row->addWidget(m_idLabel);
    row->addWidget(m_id);
    top->addLayout(row);
    auto *tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("tabWidget"));
    tabs->addTab(m_editor, tr("Explain"));
    tabs->tabBar()->setStyleSheet(QStringLiteral("background-color: #28649d"));
    tabs->tabBar()->setTabTextColor(0, Qt::white);
    top->addWidget(tabs, 1);
    auto *grid = new QGridLayout;
    grid->setObjectName(QStringLiteral("gridLayout"));
    m_state = new QComboBox;
    m_state->setObjectName(QStringLiteral("State_cbx"));
    m_share = new QComboBox;
    m_share->setObjectName(QStringLiteral("Share_cbx"));
    QLabel *lb2 = label("LB2", tr("Status"));
    QLabel *lb3 = label("LB3", tr("Share"));
    lb2->setFixedWidth(100);
    lb3->setFixedWidth(100);
    grid->addWidget(lb2, 0, 0);
    grid->addWidget(m_state, 0, 1);
    grid->addWidget(lb3, 2, 0);
    grid->addWidget(m_share, 2, 1);
    top->addLayout(grid);
    m_del = NamedButton(tr("DEL"), "DEL");
    m_ok = NamedButton(tr("SET"), "OK");
    AddMessageAndButtons(top, m_ok, tr("CANCEL"), 0);
    connect(m_ok, &QPushButton::clicked, this, &RedmineAddVersion::OkProc);
    connect(m_del, &QPushButton::clicked, this, &RedmineAddVersion::DelProc);
}

void RedmineAddVersion::prepare(int mode)
{
    m_mode = mode;
    m_msg->clear();
    m_editor->SetEditFont();
    m_editor->ClearText();
    m_idLabel->setVisible(mode == 0);
    m_id->setVisible(mode == 0);
    m_del->setVisible(mode == 0);
    m_ok->setText(mode == 0 ? tr("update") : tr("new set"));
    m_state->clear();
    m_share->clear();
}

void RedmineAddVersion::SetNew()
{
    prepare(1);
    m_version->clear();
    m_state->addItem(m_page->GetVersionStatusLabel(QStringLiteral("open")), QStringLiteral("open"));
    m_share->addItem(m_page->GetSharingLabel(QStringLiteral("none")), QStringLiteral("none"));
}

void RedmineAddVersion::SetUpdate(QTreeWidgetItem *row, const QString &description)
{
    prepare(0);
    m_initialName = row->text(0);
    m_version->setText(m_initialName);
    m_id->setText(row->text(3));
    m_initialDescription = description;
    m_editor->appendPlainText(description);
    // Shown only: a change sends name and description, never status or sharing.
    m_state->addItem(row->text(1));
    m_share->addItem(row->text(2));
}

void RedmineAddVersion::OkProc(bool)
{
    const QString name = m_version->text();
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
    const bool sent = m_mode == 1
                          ? m_page->CreateVersion(name, description, m_state->currentData().toString(),
                                                  m_share->currentData().toString())
                          : m_page->UpdateVersion(name, description, m_id->text());
    Sent(sent);
}

void RedmineAddVersion::DelProc(bool)
{
    AskDelete(tr("Is delete version?"), &RedmineProject::DeleteVersion);
}
