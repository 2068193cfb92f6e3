#pragma once

#include "core/globalvar.h"

#include <QWidget>

namespace Ui
{
class Tab;
}
class QTabBar;
class QTabWidget;
class ModelDoc;
class manager;
class deftab;
class InstanceDocument;

// The tab area of an open workspace: builds and registers the long-lived editors, decides which
// tabs the open document kind allows, and brings a view and the menus up to date when it becomes
// current.
class Tab final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    enum Index { Management, Instance, Model, Output, State, Schedule, QandA, Document, Manual, Count };

    explicit Tab(QWidget *parent = nullptr);
    ~Tab() override;

    void SetTabsByKind(int current);
    void SetTabStates(int current, const bool enabled[8]);
    void SelectTab(const QString &label);
    void ActivateTab(int index);
    int CurrentTab() const { return m_current; }
    void EmitCurrentChanged(int index);
    QTabWidget *DocTabWidget() const { return m_docTabs; }
    bool IsTabAreaVisible() const;
    void SetTabAreaVisible(bool visible);
    // Re-lays out the current view (the "Layout" button).
    void AdjustCurrent();
    QTabWidget *MainTabs() const;

public slots:
    void TabChanged(int index);
    void DocTabChanged(int index);

private:
    void colourTab(QTabBar *bar, int index, const QColor &colour);
    void firstLayout(int mark, int index);
    void activateDocument();

    Ui::Tab *m_ui;
    QTabWidget *m_docTabs = nullptr;
    // The two editors that lend their layouts to the first two pages instead of being pages.
    manager *m_manager = nullptr;
    deftab *m_deftab = nullptr;
    ModelDoc *m_modelDoc = nullptr;
    InstanceDocument *m_instanceDoc = nullptr;
    QTabBar *m_mainBar = nullptr;
    QTabBar *m_docBar = nullptr;
    int m_current = -1;
    int m_currentDoc = 0;
    bool m_changing = false;
    bool m_layoutMarks[10];
    bool m_modelDocFirst = true;
    bool m_instanceDocFirst = true;
};
