#pragma once

#include "core/globalvar.h"

#include <QList>
#include <QString>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

class QDomElement;
class QDomNode;
class QModelIndex;
class QPoint;
class QTreeWidgetItem;

namespace Ui
{
class Manual;
}

// The manual's web page: remembers the link under the pointer, because the right click that
// follows arrives at the view, which cannot ask the page what was under the pointer.
class ManualPage final : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit ManualPage(QObject *parent);
    QString HoveredLink() const { return m_hoveredLink; }

public slots:
    void linkhover(const QString &url);

private:
    QString m_hoveredLink;
};

// The manual's web view: a right click on a link opens it in the desktop's browser instead of
// showing a menu.
class ManualView final : public QWebEngineView
{
    Q_OBJECT
public:
    ManualView();
    ManualPage *Page() const { return m_page; }

public slots:
    void TreePopupMenu(const QPoint &pos);

private:
    ManualPage *m_page;
};

// The user manual: an index tree of numbered pages beside a web view that shows the chosen
// page. One serves as the Manual tab, another as the start page.
class Manual final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    // The first web view of the process sets up the whole web engine (some tens of milliseconds):
    // start-up builds its manuals with ViewLater and makes the views once the window is on screen.
    enum ViewTime { ViewNow, ViewLater };

    explicit Manual(QWidget *parent = nullptr, ViewTime viewTime = ViewNow);
    ~Manual() override;

    // Builds the web view unless it is there; showing a page builds it too.
    void MakeView();
    bool HasView() const { return m_view != nullptr; }

    // The index shipped in the program's resources.
    static QString IndexResource();

    // Parses the index into the XML store unless it is there already; a missing or damaged
    // index is reported and leaves the trees empty.
    bool LoadManualIndex(const QString &fileName = IndexResource());
    void MakeManualTree(bool consume);
    void AdjustLayout();
    // While held, choosing a page only marks it; releasing loads the page chosen meanwhile. Start-up
    // holds the pages so that the window's first frame does not wait for the web view.
    void HoldPages(bool hold);

public slots:
    void CurChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void manualDblClicked(QTreeWidgetItem *item, int column);
    void MtreeExpanded(const QModelIndex &index);

private:
    QList<QTreeWidgetItem *> takeEntries(QDomNode node, bool consume);
    void AddChildItems(const QDomNode &node, QTreeWidgetItem *parent, bool consume);
    void FillManualItem(const QDomElement &entry, QTreeWidgetItem *item) const;
    void showPage(QTreeWidgetItem *item);
    void clearHttpCache();

    Ui::Manual *m_ui;
    QString m_baseAddress;
    ManualView *m_view = nullptr;
    // The tree was built before the view: the cache is cleared when the view comes.
    bool m_clearCachePending = false;
    bool m_held = false;
    QTreeWidgetItem *m_heldItem = nullptr;
};
