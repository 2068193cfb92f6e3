#include "outdef/outdef.h"
#include "ui_outdef.h"

#include <QTreeWidget>

void outdef::SetBtnClicked(bool) {}
void outdef::UnsetBtnClicked(bool) {}
void outdef::ModelTreeChanged(QTreeWidgetItem *, QTreeWidgetItem *) {}
void outdef::ModelTreeDblClicked(QTreeWidgetItem *, int) {}
void outdef::VarTreeChanged(QTreeWidgetItem *, QTreeWidgetItem *) {}
