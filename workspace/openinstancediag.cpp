#include "workspace/openinstancediag.h"

OpenInstanceDiag::OpenInstanceDiag(QWidget *parent) : QDialog(parent) {}

void OpenInstanceDiag::InitDisplay() {}
