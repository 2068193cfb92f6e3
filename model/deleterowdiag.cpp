#include "model/deleterowdiag.h"

#include "model/model.h"

#include <QPushButton>

DeleteRowDiag::DeleteRowDiag(QWidget *parent) : QDialog(parent) {}

void DeleteRowDiag::SetUpButtons(QPushButton *ok, QPushButton *cancel)
{
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    connect(ok, &QPushButton::clicked, this, &DeleteRowDiag::OkProc);
    connect(cancel, &QPushButton::clicked, this, &DeleteRowDiag::CancelProc);
}

void DeleteRowDiag::ForgetRow(const QTreeWidgetItem *going)
{
    if (!model::IsWithin(m_item, going))
        return;
    m_item = nullptr;
    reject();
}

void DeleteRowDiag::CancelProc()
{
    reject();
}
