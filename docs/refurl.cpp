#include "docs/refurl.h"

#include "core/treeitemdata.h"
#include "docs/addhtml.h"
#include "docs/docdiag.h"
#include "docs/referencefiles.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "model/elementlayout.h"
#include "model/model.h"
#include "qa/qanda.h"
#include "shell/askbox.h"
#include "ui_refurl.h"

#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

refurl::refurl(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::refurl), m_menu(new QMenu(this)), m_addHtml(std::make_unique<AddHtml>())
{
    m_ui->setupUi(this);
    DocDiag::StyleHeader(m_ui->URL, {SharedIcon::TblT, SharedIcon::TblR});
    m_add = m_menu->addAction(tr("Add Refference file"), this, &refurl::AddRefferenceUrl);
    m_mod = m_menu->addAction(tr("Mod Refference file"), this, &refurl::ModRefferenceUrl);
    m_del = m_menu->addAction(tr("Del Refference file"), this, &refurl::DelRefferenceUrl);
    m_show = m_menu->addAction(tr("show Refference file"), this, &refurl::ShowRefferenceUrl);
    connect(m_ui->URL, &QWidget::customContextMenuRequested, this, &refurl::TreePopupMenu);
    connect(m_ui->URL, &QTreeWidget::itemDoubleClicked, this, &refurl::UrlShow);
    connect(m_addHtml.get(), &AddHtml::stored, this, &refurl::writeBack);
}

refurl::~refurl()
{
    delete m_ui;
}

void refurl::SetEditable(int editable)
{
    m_editable = editable;
}

void refurl::SetElement(QTreeWidgetItem *item)
{
    m_item = item;
    m_record = RecordOf(item);
    FillList(m_ui->URL, m_record);
}

void refurl::ClearList()
{
    m_ui->URL->clear();
    m_item = nullptr;
    m_record = nullptr;
}

TreeItemData *refurl::RecordOf(QTreeWidgetItem *item)
{
    return item ? TreeItemData::FromData(item->data(0, Qt::UserRole)) : nullptr;
}

int refurl::FillList(QTreeWidget *list, TreeItemData *record)
{
    list->clear();
    if (record) {
        const QString separator = globalvar().GetStrVar(RegSlot::StrMarkerDollar);
        ReferenceFiles::Link link;
        const QStringList &links = record->Links();
        for (int i = 0; i < links.size(); ++i) {
            // The row knows the entry it shows: an edited link keeps what the file held besides.
            if (ReferenceFiles::SplitLink(links.at(i), separator, &link))
                (new QTreeWidgetItem(list, {link.title, link.address}))->setData(0, Qt::UserRole, i);
        }
    }
    TreeColumnAdjustment(list);
    return list->topLevelItemCount();
}

void refurl::TellOwner(int kind, int member)
{
    globalvar registry;
    if (kind == ModelKind) {
        if (auto *editor = registry.GetObj<model>(RegSlot::ObjModel))
            editor->ModelChanged();
    } else if (kind == InstanceKind) {
        if (auto *members = registry.GetObj<manager>(RegSlot::ObjManager))
            members->SetInstanceModify(member);
        if (auto *instances = registry.GetObj<deftab>(RegSlot::ObjDeftab))
            instances->SetModify();
    } else if (kind == QandAKind) {
        if (auto *qa = registry.GetObj<QandA>(RegSlot::ObjQandA))
            qa->SetModify();
    }
}

void refurl::OpenLink(QWidget *parent, const QString &address)
{
    const QUrl url(address, QUrl::TolerantMode);
    if (!ReferenceFiles::OpensDirectly(url)) {
        // A link from a shared file could name a program or a local file; the user decides.
        QMessageBox box(parent);
        box.setWindowIcon(globalvar().GetLogoIcon());
        box.setIcon(QMessageBox::Question);
        box.setWindowTitle(tr("Open link"));
        box.setInformativeText(
            tr("This address is not a web page:\n%1\nDo you want to open it?").arg(address));
        QPushButton *open = AskBox::Button(box, "open", tr("open"), QMessageBox::AcceptRole);
        QPushButton *cancel = AskBox::Button(box, "cancel", tr("Cancel"), QMessageBox::RejectRole);
        box.setDefaultButton(cancel);
        if (!AskBox::Confirmed(box, open, cancel))
            return;
    }
    QDesktopServices::openUrl(url);
}

bool refurl::AskDelete(QWidget *parent)
{
    QMessageBox box(parent);
    box.setWindowIcon(globalvar().GetLogoIcon());
    box.setIcon(QMessageBox::Information);
    box.setWindowTitle(tr("Delete Address"));
    box.setInformativeText(tr("Do you want to delete Address?"));
    QPushButton *ok = AskBox::Button(box, "OK", QMessageBox::Ok);
    QPushButton *cancel = AskBox::Button(box, "cancel", QMessageBox::Cancel);
    return AskBox::Confirmed(box, ok, cancel);
}

void refurl::openDialog(int mode)
{
    if (!m_record || !m_editable || m_kind >= ModelDocKind)
        return;
    m_addHtml->SetMode(mode);
    m_addHtml->SetList(m_ui->URL);
    m_addHtml->SetOwner(this);
    m_addHtml->show();
}

void refurl::AddRefferenceUrl()
{
    openDialog(0);
}

void refurl::ModRefferenceUrl()
{
    if (m_ui->URL->currentItem())
        openDialog(1);
}

void refurl::DelRefferenceUrl()
{
    QTreeWidgetItem *row = m_ui->URL->currentItem();
    if (!row || !m_editable || m_kind >= ModelDocKind || !AskDelete(this))
        return;
    delete row;
    TreeColumnAdjustment(m_ui->URL);
    writeBack();
}

void refurl::ShowRefferenceUrl()
{
    if (QTreeWidgetItem *row = m_ui->URL->currentItem())
        OpenLink(this, row->text(1));
}

void refurl::UrlShow(QTreeWidgetItem *item, int)
{
    if (item)
        OpenLink(this, item->text(1));
}

int refurl::memberOfElement() const
{
    const QTreeWidgetItem *upper = m_item;
    if (m_item->parent())
        upper = m_item->parent()->parent() ? m_item->parent()->parent() : m_item->parent();
    return upper->data(1, Qt::UserRole).toInt();
}

void refurl::writeBack()
{
    if (!m_record)
        return;
    StoreLinks(m_ui->URL, m_item, m_record, m_kind);
    TellOwner(m_kind, m_kind == InstanceKind ? memberOfElement() : 0);
}

void refurl::StoreLinks(QTreeWidget *list, QTreeWidgetItem *item, TreeItemData *record, int kind)
{
    const QString separator = globalvar().GetStrVar(RegSlot::StrMarkerDollar);
    const QStringList &before = record->Links();
    QStringList links;
    QList<int> origins;
    // An entry the list cannot show (another program's title or address holding the separator) was
    // never the user's to edit: it stays where it stood among the others.
    int passed = 0;
    const auto keepUnshown = [&](int upTo) {
        ReferenceFiles::Link link;
        for (; passed < upTo && passed < before.size(); ++passed) {
            if (!ReferenceFiles::SplitLink(before.at(passed), separator, &link)) {
                links << before.at(passed);
                origins << passed;
            }
        }
    };
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = list->topLevelItem(i);
        const QVariant origin = row->data(0, Qt::UserRole);
        if (origin.isValid())
            keepUnshown(origin.toInt());
        origins << (origin.isValid() ? origin.toInt() : -1);
        row->setData(0, Qt::UserRole, int(links.size()));
        links << ReferenceFiles::JoinLink({row->text(0), row->text(1)}, separator);
    }
    keepUnshown(int(before.size()));
    // A model or instance record keeps its element's REFERENCE as read (model/elementlayout.h), a
    // question or answer row the element it was read from.
    if (kind == ModelKind || kind == InstanceKind)
        ReferenceFiles::FollowEdits(ElementLayout::Placeholder(record->kept, QStringLiteral("REFERENCE")),
                                    record->Links(), links, origins, separator);
    else if (kind == QandAKind)
        QandA::FollowLinkEdits(item, record->Links(), links, origins);
    record->Links() = links;
}

void refurl::TreePopupMenu(const QPoint &pos)
{
    const bool current = m_ui->URL->currentItem() != nullptr;
    // The document editors only show links: whatever they changed would reach no file.
    const bool editable = m_editable && m_record && m_kind < ModelDocKind;
    m_add->setVisible(editable);
    m_mod->setVisible(editable && current);
    m_del->setVisible(editable && current);
    m_show->setVisible(current);
    if (editable || current)
        m_menu->popup(m_ui->URL->viewport()->mapToGlobal(pos));
}
