#include "docs/htmllist.h"

#include "core/treeitemdata.h"
#include "docs/addhtml.h"
#include "docs/refurl.h"
#include "ui_htmllist.h"

HtmlList::HtmlList(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::HtmlList), m_addHtml(std::make_unique<AddHtml>())
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(GetLogoIcon());
    connect(m_ui->NEW, &QPushButton::clicked, this, &HtmlList::NewProc);
    connect(m_ui->DEL, &QPushButton::clicked, this, &HtmlList::DelProc);
    connect(m_ui->REF, &QPushButton::clicked, this, &HtmlList::RefProc);
    connect(m_ui->CLOSE, &QPushButton::clicked, this, &HtmlList::CloseProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &HtmlList::CancelProc);
    connect(m_ui->TREE, &QTreeWidget::itemDoubleClicked, this, &HtmlList::DblClicked);
    connect(m_addHtml.get(), &AddHtml::stored, this, &HtmlList::linkAdded);
}

HtmlList::~HtmlList()
{
    delete m_ui;
}

void HtmlList::SetElement(QTreeWidgetItem *item)
{
    m_item = item;
    m_record = refurl::RecordOf(item);
    m_changed = false;
    const bool hasLinks = m_record && !m_record->Links().isEmpty();
    refurl::FillList(m_ui->TREE, m_record);
    m_ui->NEW->setEnabled(!m_readOnly && m_record);
    m_ui->DEL->setEnabled(hasLinks && !m_readOnly);
    m_ui->REF->setEnabled(hasLinks);
    m_ui->CLOSE->setEnabled(false);
    if (m_ui->TREE->topLevelItemCount() > 0)
        m_ui->TREE->setCurrentItem(m_ui->TREE->topLevelItem(0));
}

void HtmlList::NewProc()
{
    if (m_readOnly || !m_record)
        return;
    // The dialog keeps its form's own texts here ("New Html", "Add").
    m_addHtml->SetList(m_ui->TREE);
    m_addHtml->show();
}

void HtmlList::linkAdded()
{
    m_changed = true;
    m_ui->DEL->setEnabled(!m_readOnly);
    m_ui->REF->setEnabled(true);
    m_ui->CLOSE->setEnabled(true);
}

void HtmlList::DelProc()
{
    QTreeWidgetItem *row = m_ui->TREE->currentItem();
    if (!row || m_readOnly || !refurl::AskDelete(this))
        return;
    delete row;
    m_changed = true;
    const bool left = m_ui->TREE->topLevelItemCount() > 0;
    m_ui->DEL->setEnabled(left);
    m_ui->REF->setEnabled(left);
    m_ui->CLOSE->setEnabled(true);
    TreeColumnAdjustment(m_ui->TREE);
}

void HtmlList::RefProc()
{
    if (QTreeWidgetItem *row = m_ui->TREE->currentItem())
        refurl::OpenLink(this, row->text(1));
}

void HtmlList::DblClicked(QTreeWidgetItem *, int)
{
    RefProc();
}

void HtmlList::CloseProc()
{
    if (m_changed && m_record) {
        refurl::StoreLinks(m_ui->TREE, m_item, m_record, m_kind);
        m_ui->TREE->clear();
        m_changed = false;
        refurl::TellOwner(m_kind, m_member);
    }
    accept();
}

void HtmlList::CancelProc()
{
    reject();
}

void HtmlList::reject()
{
    m_ui->TREE->clear();
    m_changed = false;
    QDialog::reject();
}
