#include "shell/tabcorner.h"

#include "ui_tabcorner.h"

tabcorner::tabcorner(QWidget *parent) : QWidget(parent), m_ui(new Ui::tabcorner)
{
    m_ui->setupUi(this);
}

tabcorner::~tabcorner()
{
    delete m_ui;
}
