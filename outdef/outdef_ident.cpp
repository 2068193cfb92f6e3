#include "outdef/outdef.h"
#include "ui_outdef.h"

#include <QTreeWidget>

QTreeWidgetItem *outdef::newNestItem(int number) const
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, QStringLiteral("$Seq[") + QString::number(number) + QLatin1Char(']'));
    item->setIcon(0, QIcon(QStringLiteral(":src/Sid.png")));
    item->setData(0, Qt::UserRole, number);
    return item;
}

void outdef::CreateFileDiag() {}
void outdef::CreateNestingSeqDiag() {}
void outdef::CreateNextSeqDiag() {}
void outdef::DeleteFileDiag() {}
void outdef::DeleteSeqDiag() {}
void outdef::MoveUpSeqDiag() {}
void outdef::MoveDownSeqDiag() {}
void outdef::MoveSeqTempDiag() {}
void outdef::MoveSeqFileDiag() {}
