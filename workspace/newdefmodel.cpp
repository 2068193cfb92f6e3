#include "workspace/newdefmodel.h"

NewDefModel::NewDefModel(QWidget *parent) : QDialog(parent)
{
    SetObj(RegSlot::ObjNewDefModel, this);
}

NewDefModel::~NewDefModel()
{
    if (GetObj<NewDefModel>(RegSlot::ObjNewDefModel) == this)
        SetObj<NewDefModel>(RegSlot::ObjNewDefModel, nullptr);
}

void NewDefModel::InitDisplay() {}
void NewDefModel::ResetDisplay() {}
