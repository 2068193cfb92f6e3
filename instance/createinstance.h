#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class CreateInstance;
}
class QComboBox;
class QLineEdit;

// The dialog every adding and deleting of a class instance passes through: shows the large class
// (and the small class) with element and scope, and on OK hands the work to the instance tab,
// staying open with the reason when the tab refuses.
class CreateInstance final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit CreateInstance(QWidget *parent = nullptr);
    ~CreateInstance() override;

    void SetMode(bool sclass, bool del);
    void SetLclass(const QString &name, const QString &element, int scope, bool plain);
    void SetSclass(const QString &lname, const QString &lelement, int lscope, bool lplain,
                   const QString &sname, const QString &selement, int sscope, bool splain);
    QString Message() const;

public slots:
    void OkProc();
    void CancelProc();

private:
    void setElement(QLineEdit *edit, const QString &element);
    void setScope(QComboBox *box, int scope, bool plain, bool enabled);
    void showMessage(const QString &text);
    bool confirmDelete();

    Ui::CreateInstance *m_ui;
    QString m_lname, m_lelement, m_sname, m_selement;
    bool m_sclass = false;
    bool m_delete = false;
};
