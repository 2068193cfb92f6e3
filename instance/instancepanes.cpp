#include "instance/instancepanes.h"

#include "core/treeitemdata.h"

#include <QTreeWidgetItem>

namespace
{
QString outVarOf(const QTreeWidgetItem *item, const QString &attr)
{
    const TreeItemData *record = item ? TreeItemData::FromData(item->data(0, Qt::UserRole)) : nullptr;
    return record ? record->GetAttr(attr) : QString();
}
} // namespace

InstanceLclass::InstanceLclass(QWidget *parent) : QWidget(parent) {}

QString InstanceLclass::GetOutVar() const
{
    return outVarOf(m_current, GetStrVar(RegSlot::StrTagOutVar));
}

InstanceSclass::InstanceSclass(QTabWidget *classTab, QWidget *parent) : QWidget(parent), m_classTab(classTab)
{
}

void InstanceSclass::SetParam(QTreeWidgetItem *param, QTreeWidgetItem *, QTreeWidgetItem *sclass)
{
    m_param = param;
    m_current = sclass;
}

QString InstanceSclass::GetOutVar() const
{
    return outVarOf(m_current, GetStrVar(RegSlot::StrTagOutVar));
}
