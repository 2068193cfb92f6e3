#include "workspace/opendefmodel.h"

OpenDefModel::OpenDefModel(QWidget *parent) : QDialog(parent) {}

void OpenDefModel::InitDisplay() {}
