#include "shell/appundo.h"

AppUndo::AppUndo(QObject *parent) : QObject(parent) {}
