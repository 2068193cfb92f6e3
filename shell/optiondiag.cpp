#include "shell/optiondiag.h"

OptionDiag::OptionDiag(QWidget *parent) : QDialog(parent)
{
    setWindowIcon(GetLogoIcon());
}

void OptionDiag::LoadOptions() {}

void OptionDiag::RefUpdate() {}
