#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class MailTitle;
}
class MemberMail;

// Asks the title of a new mail (mode 0) or a new title for an unsent one (mode 1).
class MailTitle final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit MailTitle(MemberMail *panel);
    ~MailTitle() override;

    void SetMode(int mode);
    void SetTitle(const QString &text);

public slots:
    void SetProc();

private:
    Ui::MailTitle *m_ui;
    MemberMail *m_panel;
    int m_mode = 0;
};
