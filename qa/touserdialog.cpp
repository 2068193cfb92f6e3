#include "qa/touserdialog.h"

#include "qa/qanda.h"
#include "ui_touserdialog.h"

#include <QTreeWidgetItem>

ToUserDialog::ToUserDialog(QWidget *parent) : QDialog(parent), m_ui(new Ui::ToUserDialog)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(GetLogoIcon());
    connect(m_ui->OK, &QPushButton::clicked, this, &ToUserDialog::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &ToUserDialog::CancelProc);
}

ToUserDialog::~ToUserDialog()
{
    delete m_ui;
}

QListWidgetItem *ToUserDialog::AddUser(const QString &name, int id, Qt::CheckState state)
{
    auto *entry = new QListWidgetItem(name, m_ui->LIST);
    entry->setFlags(entry->flags() | Qt::ItemIsUserCheckable);
    entry->setCheckState(state);
    m_ids.insert(entry, id);
    return entry;
}

void ToUserDialog::ClearUsers()
{
    m_ui->LIST->clear();
    m_ids.clear();
}

int ToUserDialog::Count() const
{
    return m_ui->LIST->count();
}

QListWidgetItem *ToUserDialog::Entry(int row) const
{
    return m_ui->LIST->item(row);
}

void ToUserDialog::SetQuestion(QTreeWidgetItem *question)
{
    m_question = question;
    for (int i = 0; i < m_ui->LIST->count(); ++i) {
        QListWidgetItem *entry = m_ui->LIST->item(i);
        const int id = m_ids.value(entry, -1);
        const bool addressed = question && id != -1 && QandA::AddresseeOf(question, id);
        entry->setCheckState(addressed ? Qt::Checked : Qt::Unchecked);
    }
}

void ToUserDialog::OkProc()
{
    auto *panel = GetObj<QandA>(RegSlot::ObjQandA);
    if (!m_question || !panel) {
        accept();
        return;
    }
    bool changed = false;
    int position = 0;
    for (int i = 0; i < m_ui->LIST->count(); ++i) {
        QListWidgetItem *entry = m_ui->LIST->item(i);
        const int id = m_ids.value(entry, -1);
        if (id == -1)
            continue;
        QTreeWidgetItem *addressee = QandA::AddresseeOf(m_question, id);
        if (entry->checkState() == Qt::Checked) {
            if (!addressee) {
                if (QTreeWidgetItem *made = panel->MakeAddressee(id)) {
                    panel->InsertAddressee(m_question, position, made);
                    changed = true;
                }
            }
            ++position;
        } else if (addressee) {
            if (addressee->childCount() == 0) {
                panel->RemoveAddressee(m_question, addressee);
                changed = true;
            } else {
                entry->setCheckState(Qt::Checked);
                ++position;
            }
        }
    }
    if (changed)
        panel->SetModify();
    accept();
}

void ToUserDialog::CancelProc()
{
    reject();
}
