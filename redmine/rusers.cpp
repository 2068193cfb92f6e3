#include "redmine/rusers.h"

#include "members/addgroup.h"
#include "redmine/nwredmine.h"
#include "shell/optproject.h"
#include "ui_rusers.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

RUsers::RUsers(QWidget *parent) : QDialog(parent), m_ui(new Ui::RUsers)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    for (int i = 0; i < m_ui->USER_TABLE->columnCount(); ++i) {
        m_ui->USER_TABLE->headerItem()->setForeground(i, Qt::white);
        m_ui->USER_TABLE->headerItem()->setBackground(i, QColor(QStringLiteral("#28649d")));
    }

    connect(m_ui->SET, &QPushButton::clicked, this, &RUsers::SetProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &RUsers::CancelProc);
    connect(m_ui->SEARCH, &QPushButton::clicked, this, &RUsers::SearchProc);
    connect(m_ui->GRRB, &QRadioButton::clicked, this, &RUsers::GroupSelectProc);
    connect(m_ui->USRB, &QRadioButton::clicked, this, &RUsers::UserSelectProc);
    connect(m_ui->USER_TABLE, &QTreeWidget::itemActivated, this, &RUsers::ActiveUserTable);
}

RUsers::~RUsers()
{
    delete m_ui;
}

QTreeWidget *RUsers::UserTable() const
{
    return m_ui->USER_TABLE;
}

QString RUsers::MessageText() const
{
    return m_ui->MSG->toPlainText();
}

void RUsers::InitSearch()
{
    m_ui->SET->setEnabled(false);
    if (m_ui->GRRB->isChecked()) {
        GroupSelectProc();
        return;
    }
    UserSelectProc();
}

void RUsers::GroupSelectProc(bool)
{
    m_ui->MSG->clear();
    m_ui->USER_TABLE->clear();
    m_ui->SNAME->setText(tr("group name"));
    m_ui->NAMEBX->clear();
    m_ui->NAMEBX->setEditable(false);
    if (auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine)) {
        for (const RedminePair &pair : client->GetGroupList())
            m_ui->NAMEBX->addItem(pair.second, pair.first);
    }
    m_ui->SEARCH->setEnabled(m_ui->NAMEBX->count() > 0);
    if (m_ui->NAMEBX->count() == 0)
        m_ui->MSG->setPlainText(tr("group is not set"));
}

void RUsers::UserSelectProc(bool)
{
    m_ui->MSG->clear();
    m_ui->SEARCH->setEnabled(true);
    m_ui->USER_TABLE->clear();
    m_ui->SNAME->setText(tr("user name"));
    m_ui->NAMEBX->clear();
    m_ui->NAMEBX->setEditable(true);
}

void RUsers::SearchProc(bool)
{
    m_ui->MSG->clear();
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    if (!client)
        return;
    if (client->IsBusy()) {
        m_ui->MSG->setPlainText(tr("Under Process"));
        return;
    }
    if (m_ui->USRB->isChecked()) {
        const QString text = m_ui->NAMEBX->currentText();
        if (text.isEmpty())
            m_ui->MSG->setPlainText(tr("set Name"));
        else
            client->SearchUsers(text);
        return;
    }
    const QString id = m_ui->NAMEBX->currentData().toString();
    if (id.isEmpty())
        m_ui->MSG->setPlainText(tr("gour name is not selected"));
    else
        client->GetGroupUsers(id);
}

void RUsers::ShowUsers()
{
    m_ui->MSG->clear();
    m_ui->USER_TABLE->clear();
    if (auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine)) {
        for (const RedminePair &pair : client->GetUserList()) {
            const QStringList parts = pair.second.split(QLatin1Char(' '));
            if (parts.size() != 2)
                continue;
            auto *row = new QTreeWidgetItem(m_ui->USER_TABLE);
            row->setText(0, parts.at(0));
            row->setText(1, parts.at(1));
            row->setText(2, pair.first);
        }
    }
    if (m_ui->USER_TABLE->topLevelItemCount() > 0) {
        m_ui->USER_TABLE->setCurrentItem(m_ui->USER_TABLE->topLevelItem(0));
        m_ui->SET->setEnabled(true);
    }
}

void RUsers::ShowError(int mode, int error)
{
    m_ui->MSG->clear();
    if (auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine))
        m_ui->MSG->setPlainText(client->GetErrorText(mode, error));
}

void RUsers::ActiveUserTable(QTreeWidgetItem *, int)
{
    m_ui->SET->setEnabled(true);
}

void RUsers::SetProc(bool)
{
    if (QTreeWidgetItem *row = m_ui->USER_TABLE->currentItem()) {
        if (m_callerKind == 1 && m_project)
            m_project->SetRedmineUser(row->text(0), row->text(1), row->text(2));
        else if (m_callerKind != 1 && m_group)
            m_group->SetRedmineUser(row->text(0), row->text(1), row->text(2));
    }
    accept();
}

void RUsers::CancelProc(bool)
{
    reject();
}
