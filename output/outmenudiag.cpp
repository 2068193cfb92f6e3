#include "output/outmenudiag.h"

OutMenuDiag::OutMenuDiag(QWidget *parent) : QDialog(parent) {}

bool OutMenuDiag::InitOutMenu(bool)
{
    return false;
}
