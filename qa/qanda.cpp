#include "qa/qanda.h"

#include "core/postbox.h"

QandA::QandA(QWidget *parent) : QWidget(parent) {}

void QandA::SetInstanceDir(const QString &dir)
{
    m_instanceDir = DelLastSlash(dir);
}

void QandA::SetModify()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) ||
        GetBoolVar(RegSlot::FlagQandAModified))
        return;
    SetBoolVar(RegSlot::FlagQandAModified, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    PostBox::Post(MsgCode::SaveFlag);
}

void QandA::Clear() {}
void QandA::CreateQuestion() {}
void QandA::DeleteQuestion() {}
void QandA::CreateAnswer() {}
void QandA::DeleteAnswer() {}
void QandA::SaveQandA() {}
void QandA::SaveRecords() {}
void QandA::ShowQandA(QTreeWidget *, bool) {}
void QandA::SetActiveEditor() {}
void QandA::AdjustLayout() {}
