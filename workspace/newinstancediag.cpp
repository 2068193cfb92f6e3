#include "workspace/newinstancediag.h"

NewInstanceDiag::NewInstanceDiag(QWidget *parent) : QDialog(parent) {}

void NewInstanceDiag::InitDisplay() {}
