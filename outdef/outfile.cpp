#include "outdef/outfile.h"

#include "core/treeitemdata.h"
#include "outdef/outdef.h"
#include "outdef/outxml.h"
#include "ui_outfile.h"

#include <QTreeWidgetItem>

OutFile::OutFile(QWidget *parent) : QWidget(parent), m_ui(new Ui::OutFile)
{
    m_ui->setupUi(this);
    // Designer does not store this on a form's top widget; the page paints its own background.
    setAutoFillBackground(true);
    connect(m_ui->E_FNAME, &QLineEdit::textChanged, this, &OutFile::FnameChanged);
    connect(m_ui->EXTCBX, &QComboBox::editTextChanged, this, &OutFile::ExtChanged);
}

OutFile::~OutFile()
{
    delete m_ui;
}

void OutFile::store(const QString &attr, const QString &text)
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return;
    auto *page = GetObj<outdef>(RegSlot::ObjOutdef);
    QTreeWidgetItem *item = page ? page->GetFileTreeItem() : nullptr;
    if (!item)
        return;
    if (TreeItemData *record = TreeItemData::FromData(item->data(0, Qt::UserRole)))
        record->SetAttr(attr, text);
    page->SetChanged();
}

void OutFile::FnameChanged(const QString &text)
{
    store(OutXml::OutName, text);
}

void OutFile::ExtChanged(const QString &text)
{
    store(OutXml::Ext, text);
}

void OutFile::Clear()
{
    m_ui->TITLE->clear();
    m_ui->FILEID->clear();
    m_ui->E_FNAME->clear();
    m_ui->EXTCBX->setEditText(QString());
}

void OutFile::SetEnabled(bool on)
{
    for (QWidget *w : {static_cast<QWidget *>(m_ui->TITLE), static_cast<QWidget *>(m_ui->FILEID),
                       static_cast<QWidget *>(m_ui->EXTCBX), static_cast<QWidget *>(m_ui->E_FNAME)})
        w->setEnabled(on);
}

void OutFile::SetReadOnly(bool readOnly)
{
    m_ui->TITLE->setReadOnly(readOnly);
    m_ui->E_FNAME->setReadOnly(readOnly);
    m_ui->TITLE->setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
    m_ui->E_FNAME->setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
    m_ui->EXTCBX->setEnabled(!readOnly);
}

void OutFile::SetFileName(const QString &text)
{
    m_ui->E_FNAME->setText(text);
}

void OutFile::SetExtensions(const QStringList &list, const QString &text)
{
    m_ui->EXTCBX->clear();
    m_ui->EXTCBX->addItems(list);
    m_ui->EXTCBX->setEditText(text);
}

QLineEdit *OutFile::GetTitleEdit() const
{
    return m_ui->TITLE;
}

QLineEdit *OutFile::GetFileIdEdit() const
{
    return m_ui->FILEID;
}

QComboBox *OutFile::GetExtCombo() const
{
    return m_ui->EXTCBX;
}

int OutFile::GetEditorHeight() const
{
    return m_ui->GL->geometry().height();
}
