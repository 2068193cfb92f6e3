#include "shell/manual.h"

#include "core/defvar.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "ui_manual.h"

#include <QDesktopServices>
#include <QDomDocument>
#include <QDomElement>
#include <QDomNode>
#include <QModelIndex>
#include <QTreeWidgetItem>
#include <QUrl>
#include <QWebEngineProfile>
#include <utility>

namespace
{
constexpr int VisitedColumn = 1;
const QLatin1String SecurePrefix("https://");
} // namespace

ManualPage::ManualPage(QObject *parent) : QWebEnginePage(parent) {}

void ManualPage::linkhover(const QString &url)
{
    m_hoveredLink = url;
}

// Without a parent here: the form's web layout takes the view in when the manual places it.
ManualView::ManualView() : QWebEngineView(nullptr), m_page(new ManualPage(this))
{
    setPage(m_page);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void ManualView::TreePopupMenu(const QPoint &pos)
{
    Q_UNUSED(pos)
    // Only web and mail links go to the desktop: a page could otherwise hand it a file: or
    // custom-scheme address that starts a program.
    const QUrl link(m_page->HoveredLink());
    const QString scheme = link.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("mailto"))
        QDesktopServices::openUrl(link);
}

Manual::Manual(QWidget *parent, ViewTime viewTime) : QWidget(parent), m_ui(new Ui::Manual)
{
    m_ui->setupUi(this);

    QTreeWidgetItem *header = m_ui->MANUALTREE->headerItem();
    header->setIcon(0, SharedIcon::Get(SharedIcon::TblC));
    header->setIcon(1, SharedIcon::Get(SharedIcon::TblT));
    for (int column = 0; column < 2; ++column) {
        header->setBackground(column, QColor(QStringLiteral("#666666")));
        header->setForeground(column, QColor(QStringLiteral("#FFFFFF")));
    }

    connect(m_ui->MANUALTREE, &QTreeWidget::currentItemChanged, this, &Manual::CurChanged);
    connect(m_ui->MANUALTREE, &QTreeWidget::itemDoubleClicked, this, &Manual::manualDblClicked);
    connect(m_ui->MANUALTREE, &QTreeView::expanded, this, &Manual::MtreeExpanded);
    connect(m_ui->MANUALTREE, &QTreeView::collapsed, this, &Manual::MtreeExpanded);
    if (viewTime == ViewNow)
        MakeView();
}

Manual::~Manual()
{
    delete m_view;
    delete m_ui;
}

void Manual::MakeView()
{
    if (m_view)
        return;
    m_view = new ManualView;
    m_ui->WEB_LAYOUT->addWidget(m_view);
    connect(m_view->Page(), &QWebEnginePage::linkHovered, m_view->Page(), &ManualPage::linkhover);
    connect(m_view, &QWidget::customContextMenuRequested, m_view, &ManualView::TreePopupMenu);
    if (std::exchange(m_clearCachePending, false))
        clearHttpCache();
}

QString Manual::IndexResource()
{
    return QStringLiteral(":/manual/index.xml");
}

bool Manual::LoadManualIndex(const QString &fileName)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return false;
    if (store->HasDoc(XmlIndex::ManualIndex))
        return true;
    if (store->OpenXmlFile(XmlIndex::ManualIndex, fileName))
        return true;
    // The store already shows unreadable and unparsable files; only an absent one is silent.
    if (GetIntVar(RegSlot::IntLastErrorKind) == 0)
        UiReport::Error(tr("Manual"), tr("The manual's index cannot be found: %1").arg(fileName));
    return false;
}

void Manual::MakeManualTree(bool consume)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::ManualIndex) : nullptr;
    if (!doc)
        return;
    QDomElement root = doc->documentElement();
    if (root.isNull())
        return;
    m_baseAddress = root.attribute(QStringLiteral("href"));

    const QList<QTreeWidgetItem *> items = takeEntries(root, consume);
    m_ui->MANUALTREE->addTopLevelItems(items);
    if (!items.isEmpty())
        m_ui->MANUALTREE->setCurrentItem(m_ui->MANUALTREE->topLevelItem(0));
    clearHttpCache();
}

// The child count is taken once, so that consuming (always the first child) walks every entry
// of the node exactly once. Comments and text between entries are no entries, but consuming
// removes them too, so the start page leaves the root empty.
QList<QTreeWidgetItem *> Manual::takeEntries(QDomNode node, bool consume)
{
    QList<QTreeWidgetItem *> items;
    const int count = node.childNodes().count();
    for (int i = 0; i < count; ++i) {
        const QDomNode child = consume ? node.firstChild() : node.childNodes().at(i);
        if (child.isElement()) {
            auto *item = new QTreeWidgetItem;
            FillManualItem(child.toElement(), item);
            AddChildItems(child, item, consume);
            items.append(item);
        }
        if (consume)
            node.removeChild(child);
    }
    return items;
}

void Manual::AddChildItems(const QDomNode &node, QTreeWidgetItem *parent, bool consume)
{
    parent->addChildren(takeEntries(node, consume));
}

void Manual::FillManualItem(const QDomElement &entry, QTreeWidgetItem *item) const
{
    const QString number = entry.attribute(GetStrVar(RegSlot::StrAttrNo));
    const QString title = entry.attribute(GetStrVar(RegSlot::StrAttrName));
    QString link = entry.attribute(GetStrVar(RegSlot::StrAttrID));
    if (!link.contains(SecurePrefix))
        link.prepend(m_baseAddress);
    item->setText(0, number);
    item->setText(1, title);
    item->setData(0, Qt::UserRole, link);
    item->setData(VisitedColumn, Qt::UserRole, 0);
}

void Manual::CurChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    Q_UNUSED(previous)
    if (!current)
        return;
    if (m_held) {
        m_heldItem = current;
        return;
    }
    showPage(current);
}

void Manual::showPage(QTreeWidgetItem *item)
{
    MakeView();
    m_view->load(QUrl(item->data(0, Qt::UserRole).toString()));
    if (item->data(VisitedColumn, Qt::UserRole).toInt() == 0)
        item->setData(VisitedColumn, Qt::UserRole, 1);
    m_view->show();
}

void Manual::HoldPages(bool hold)
{
    m_held = hold;
    QTreeWidgetItem *held = std::exchange(m_heldItem, nullptr);
    // Only the page still chosen: the tree may have been rebuilt while held.
    if (!hold && held && held == m_ui->MANUALTREE->currentItem())
        showPage(held);
}

// The first click already made the item current and visited, so a double click is the user's
// way to fetch the page again past the cache.
void Manual::manualDblClicked(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    if (!item)
        return;
    MakeView();
    m_view->load(QUrl(item->data(0, Qt::UserRole).toString()));
    if (item->data(VisitedColumn, Qt::UserRole).toInt() == 1) {
        clearHttpCache();
        m_view->reload();
    }
    m_view->show();
}

void Manual::MtreeExpanded(const QModelIndex &index)
{
    Q_UNUSED(index)
    TreeColumnAdjustment(m_ui->MANUALTREE);
}

void Manual::AdjustLayout()
{
    int minimum = 0;
    int maximum = 0;
    m_ui->splitter->getRange(1, &minimum, &maximum);
    const int first = maximum / 3;
    m_ui->splitter->setSizes({first, maximum - first});
}

void Manual::clearHttpCache()
{
    if (m_view)
        m_view->page()->profile()->clearHttpCache();
    else
        m_clearCachePending = true;
}
