#include "workspace/newout.h"

NewOut::NewOut(QWidget *parent) : QDialog(parent) {}

void NewOut::InitDisplay() {}
