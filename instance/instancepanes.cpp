#include "instance/instancepanes.h"

ValueTable::ValueTable(QWidget *parent) : QWidget(parent) {}
