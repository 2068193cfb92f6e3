#include "shell/aboutpelmorine.h"

AboutPelmorine::AboutPelmorine(QWidget *parent) : QDialog(parent)
{
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
}
