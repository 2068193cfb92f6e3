#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class ProcMailDiag;
}
class UserInf;

// Changes the receiving address of the running user's own member records.
class ProcMailDiag final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ProcMailDiag(QWidget *parent = nullptr);
    ~ProcMailDiag() override;

    void SetPage(UserInf *page) { m_page = page; }
    void SetAddress(const QString &address);

public slots:
    void SetProc();
    void CancelProc();

private:
    Ui::ProcMailDiag *m_ui;
    UserInf *m_page = nullptr;
};
