#include "members/addgroup.h"

#include "core/optionsmodel.h"
#include "members/groupcheck.h"
#include "redmine/nwredmine.h"
#include "redmine/rusers.h"
#include "shell/optiondiag.h"
#include "ui_addgroup.h"

namespace
{
// Columns of the Options dialog's group table; column 3 belongs to the Options dialog.
enum Column : int { Name = 0, Email = 1, SendAddress = 2, FirstName = 4, LastName = 5, TrackerId = 6 };

QList<ChildUserRow> tableRows(const QTreeWidget *tree)
{
    QList<ChildUserRow> rows;
    for (int i = 0; tree && i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = tree->topLevelItem(i);
        rows.append({item->text(Name), item->text(Email), item->text(SendAddress), item->text(FirstName),
                     item->text(LastName), item->text(TrackerId)});
    }
    return rows;
}
} // namespace

AddGroup::AddGroup(QWidget *parent) : QDialog(parent), m_ui(new Ui::AddGroup)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(GetLogoIcon());
    connect(m_ui->OK, &QPushButton::clicked, this, &AddGroup::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &AddGroup::CancelProc);
    connect(m_ui->USERBTN, &QPushButton::clicked, this, &AddGroup::UsersProc);
    SetRedmine(false);
    SetObj(RegSlot::ObjAddGroup, this);
}

AddGroup::~AddGroup()
{
    // The dispatcher delivers tracker replies through this slot; it must not reach a dead dialog.
    if (GetObj<AddGroup>(RegSlot::ObjAddGroup) == this)
        SetObj<AddGroup>(RegSlot::ObjAddGroup, nullptr);
    delete m_ui;
}

void AddGroup::SetResultText(const QString &text)
{
    m_ui->MSG->clear();
    m_ui->MSG->appendPlainText(text);
}

void AddGroup::SetRedmineResult(int mode, int error)
{
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    SetResultText(client ? client->GetErrorText(mode, error) : QString());
}

void AddGroup::SetRedmineUser(const QString &firstName, const QString &lastName, const QString &id)
{
    m_ui->FNAME->setText(firstName);
    m_ui->LNAME->setText(lastName);
    m_ui->IDbx->setValue(id.toInt());
}

QString AddGroup::ResultText() const
{
    return m_ui->MSG->toPlainText();
}

void AddGroup::SetMode(int mode)
{
    m_mode = mode;
    if (mode == 0) {
        setWindowTitle(tr("Add group"));
        for (QLineEdit *edit : {m_ui->NAME, m_ui->EMAIL, m_ui->SND_ADDR, m_ui->LNAME, m_ui->FNAME})
            edit->clear();
        m_ui->IDbx->setValue(0);
        return;
    }
    setWindowTitle(tr("Modify group"));
    const QTreeWidgetItem *item = m_tree ? m_tree->currentItem() : nullptr;
    if (!item)
        return;
    m_ui->NAME->setText(item->text(Name));
    m_ui->EMAIL->setText(item->text(Email));
    m_ui->SND_ADDR->setText(item->text(SendAddress));
    m_ui->FNAME->setText(item->text(FirstName));
    m_ui->LNAME->setText(item->text(LastName));
    m_ui->IDbx->setValue(item->text(TrackerId).toInt());
}

void AddGroup::SetRedmine(bool on)
{
    m_redmine = on;
    m_ui->LB6->setText(on ? tr("redmine yes") : tr("redmine no"));
    for (QWidget *field : {static_cast<QWidget *>(m_ui->USERBTN), static_cast<QWidget *>(m_ui->FNAME),
                           static_cast<QWidget *>(m_ui->LNAME), static_cast<QWidget *>(m_ui->IDbx)})
        field->setEnabled(on);
}

void AddGroup::ShowDiag()
{
    m_ui->NAME->setFocus(Qt::OtherFocusReason);
    show();
}

void AddGroup::OkProc()
{
    ChildUserRow entry{m_ui->NAME->text(), m_ui->EMAIL->text(), m_ui->SND_ADDR->text(), {}, {}, {}};
    const bool adding = m_mode == 0;
    const QString refusal = GroupCheck::Check(tableRows(m_tree), entry, adding);
    m_ui->SND_ADDR->setText(entry.procEmail);
    if (!refusal.isEmpty()) {
        SetResultText(refusal);
        return;
    }
    QTreeWidgetItem *item = nullptr;
    if (m_tree)
        item = adding ? new QTreeWidgetItem(m_tree.data()) : m_tree->currentItem();
    if (item) {
        storeRow(item, entry.name, entry.email, entry.procEmail);
        m_ui->MSG->clear();
        for (QLineEdit *edit : {m_ui->NAME, m_ui->EMAIL, m_ui->FNAME, m_ui->LNAME})
            edit->clear();
        m_ui->IDbx->setValue(0);
        TreeColumnAdjustment(m_tree.data());
    }
    if (m_caller)
        m_caller->GroupUpdate();
    accept();
}

void AddGroup::storeRow(QTreeWidgetItem *item, const QString &name, const QString &email,
                        const QString &sendAddress)
{
    item->setText(Name, name);
    item->setText(Email, email);
    item->setText(SendAddress, sendAddress);
    if (!m_redmine)
        return;
    item->setText(FirstName, m_ui->FNAME->text());
    item->setText(LastName, m_ui->LNAME->text());
    item->setText(TrackerId, QString::number(m_ui->IDbx->value()));
}

void AddGroup::CancelProc()
{
    m_ui->MSG->clear();
    m_ui->NAME->clear();
    m_ui->EMAIL->clear();
    reject();
}

void AddGroup::UsersProc()
{
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    if (client && !client->StartTest(RedmineOrigin::GroupDialog)) {
        SetResultText(tr("Under Process"));
        return;
    }
    SetResultText(tr("unser users info"));
    if (auto *users = GetObj<RUsers>(RegSlot::ObjRUsers))
        users->SetCallerKind(0);
}
