#include "redmine/rusers.h"

#include "members/addgroup.h"
#include "redmine/nwredmine.h"
#include "shell/optproject.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RUsers::RUsers(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RUsers"));
    setWindowTitle(QStringLiteral("Dialog"));
    resize(542, 443);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto named = [](QWidget *w, const char *name) { w->setObjectName(QLatin1String(name)); };
    auto *top = new QVBoxLayout(this);
    auto *box = new QGroupBox(tr("search type"));
    named(box, "groupBox");
    box->setStyleSheet(QStringLiteral("background-color:#e4feee"));
    auto *modes = new QHBoxLayout(box);
    m_groupMode = new QRadioButton(tr("group"));
    named(m_groupMode, "GRRB");
    m_groupMode->setChecked(true);
    m_userMode = new QRadioButton(tr("Name(fName or Lname or mail addr)"));
    named(m_userMode, "USRB");
    modes->addWidget(m_groupMode);
    modes->addWidget(m_userMode);
    top->addWidget(box);
    auto *searchRow = new QHBoxLayout;
    m_searchName = new QLabel(tr("Search Name"));
    named(m_searchName, "SNAME");
    m_searchName->setStyleSheet(QStringLiteral("background-color: #628DB6;color: #FFFFFF"));
    m_name = new QComboBox;
    named(m_name, "NAMEBX");
    m_search = new QPushButton(tr("SEARCH"));
    named(m_search, "SEARCH");
    searchRow->addWidget(m_searchName);
    searchRow->addWidget(m_name, 1);
    searchRow->addWidget(m_search);
    top->addLayout(searchRow);
    m_table = new QTreeWidget;
    named(m_table, "USER_TABLE");
    m_table->setRootIsDecorated(false);
    m_table->setHeaderLabels({tr("First Name"), tr("Last Name"), tr("ID")});
    for (int i = 0; i < 3; ++i) {
        m_table->headerItem()->setForeground(i, Qt::white);
        m_table->headerItem()->setBackground(i, QColor(QStringLiteral("#28649d")));
    }
    top->addWidget(m_table, 1);
    m_msg = new QPlainTextEdit;
    named(m_msg, "MSG");
    m_msg->setReadOnly(true);
    m_msg->setMaximumHeight(60);
    top->addWidget(m_msg);
    auto *buttons = new QHBoxLayout;
    m_set = new QPushButton(tr("SET"));
    named(m_set, "SET");
    auto *cancel = new QPushButton(tr("CANCEL"));
    named(cancel, "CANCEL");
    buttons->addStretch();
    buttons->addWidget(m_set);
    buttons->addWidget(cancel);
    top->addLayout(buttons);

    connect(m_set, &QPushButton::clicked, this, &RUsers::SetProc);
    connect(cancel, &QPushButton::clicked, this, &RUsers::CancelProc);
    connect(m_search, &QPushButton::clicked, this, &RUsers::SearchProc);
    connect(m_groupMode, &QRadioButton::clicked, this, &RUsers::GroupSelectProc);
    connect(m_userMode, &QRadioButton::clicked, this, &RUsers::UserSelectProc);
    connect(m_table, &QTreeWidget::itemActivated, this, &RUsers::ActiveUserTable);
}

RUsers::~RUsers() = default;

QString RUsers::MessageText() const
{
    return m_msg->toPlainText();
}

void RUsers::InitSearch()
{
    m_set->setEnabled(false);
    if (m_groupMode->isChecked()) {
        GroupSelectProc();
        return;
    }
    UserSelectProc();
}

void RUsers::GroupSelectProc(bool)
{
    m_msg->clear();
    m_table->clear();
    m_searchName->setText(tr("group name"));
    m_name->clear();
    m_name->setEditable(false);
    if (auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine)) {
        for (const RedminePair &pair : client->GetGroupList())
            m_name->addItem(pair.second, pair.first);
    }
    m_search->setEnabled(m_name->count() > 0);
    if (m_name->count() == 0)
        m_msg->setPlainText(tr("group is not set"));
}

void RUsers::UserSelectProc(bool)
{
    m_msg->clear();
    m_search->setEnabled(true);
    m_table->clear();
    m_searchName->setText(tr("user name"));
    m_name->clear();
    m_name->setEditable(true);
}

void RUsers::SearchProc(bool)
{
    m_msg->clear();
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    if (!client)
        return;
    if (client->IsBusy()) {
        m_msg->setPlainText(tr("Under Process"));
        return;
    }
    if (m_userMode->isChecked()) {
        const QString text = m_name->currentText();
        if (text.isEmpty())
            m_msg->setPlainText(tr("set Name"));
        else
            client->SearchUsers(text);
        return;
    }
    const QString id = m_name->currentData().toString();
    if (id.isEmpty())
        m_msg->setPlainText(tr("gour name is not selected"));
    else
        client->GetGroupUsers(id);
}

void RUsers::ShowUsers()
{
    m_msg->clear();
    m_table->clear();
    if (auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine)) {
        for (const RedminePair &pair : client->GetUserList()) {
            const QStringList parts = pair.second.split(QLatin1Char(' '));
            if (parts.size() != 2)
                continue;
            auto *row = new QTreeWidgetItem(m_table);
            row->setText(0, parts.at(0));
            row->setText(1, parts.at(1));
            row->setText(2, pair.first);
        }
    }
    if (m_table->topLevelItemCount() > 0) {
        m_table->setCurrentItem(m_table->topLevelItem(0));
        m_set->setEnabled(true);
    }
}

void RUsers::ShowError(int mode, int error)
{
    m_msg->clear();
    if (auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine))
        m_msg->setPlainText(client->GetErrorText(mode, error));
}

void RUsers::ActiveUserTable(QTreeWidgetItem *, int)
{
    m_set->setEnabled(true);
}

void RUsers::SetProc(bool)
{
    if (QTreeWidgetItem *row = m_table->currentItem()) {
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
