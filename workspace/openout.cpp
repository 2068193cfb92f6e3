#include "workspace/openout.h"

OpenOut::OpenOut(QWidget *parent) : QDialog(parent) {}

void OpenOut::InitDisplay() {}
