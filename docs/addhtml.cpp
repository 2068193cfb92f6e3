#include "docs/addhtml.h"

#include "docs/refurl.h"

#include "ui_addhtml.h"

#include <QTreeWidget>

AddHtml::AddHtml(QWidget *parent) : QDialog(parent), m_ui(new Ui::AddHtml)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(GetLogoIcon());
    connect(m_ui->ADD, &QPushButton::clicked, this, &AddHtml::AddModProc);
    connect(m_ui->PASTE, &QPushButton::clicked, this, &AddHtml::PasteProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &QDialog::reject);
}

AddHtml::~AddHtml()
{
    delete m_ui;
}

void AddHtml::SetMode(int mode)
{
    m_mode = mode;
    setWindowTitle(mode == 1 ? tr("Mod reference") : tr("Add reference"));
    m_ui->ADD->setText(mode == 1 ? tr("Mod Button") : tr("Add Button"));
}

void AddHtml::SetList(QTreeWidget *list)
{
    m_ui->MSG->clear();
    m_list = list;
    if (m_mode == 0) {
        m_ui->TITLE->clear();
        m_ui->ADDRESS->clear();
    } else if (QTreeWidgetItem *current = list ? list->currentItem() : nullptr) {
        m_ui->TITLE->setText(current->text(0));
        m_ui->ADDRESS->setText(current->text(1));
    }
}

void AddHtml::SetOwner(refurl *owner)
{
    m_owner = owner;
}

refurl *AddHtml::Owner() const
{
    return m_owner.data();
}

void AddHtml::PasteProc()
{
    m_ui->ADDRESS->paste();
}

bool AddHtml::refused(const QString &title, const QString &address)
{
    QString message;
    const QString separator = GetStrVar(RegSlot::StrMarkerDollar);
    if (title.isEmpty())
        message = tr("title is not set");
    else if (address.isEmpty())
        message = tr("address is not set");
    else if (!separator.isEmpty() && (title.contains(separator) || address.contains(separator)))
        // The separator would cut the stored link into three parts, and the link would be lost.
        message = tr("\"%1\" can not be used in title or address").arg(separator);
    m_ui->MSG->setText(message);
    return !message.isEmpty();
}

void AddHtml::AddModProc()
{
    const QString title = m_ui->TITLE->text();
    const QString address = m_ui->ADDRESS->text();
    if (refused(title, address) || !m_list)
        return;
    QTreeWidgetItem *row = m_list->currentItem();
    if (m_mode == 0) {
        for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
            if (m_list->topLevelItem(i)->text(1) == address) {
                m_ui->MSG->setText(tr("same address is already set"));
                return;
            }
        }
        row = new QTreeWidgetItem(m_list.data());
    } else if (!row) {
        return;
    }
    row->setText(0, title);
    row->setText(1, address);
    TreeColumnAdjustment(m_list.data());
    m_list->setCurrentItem(row);
    emit stored();
    accept();
}
