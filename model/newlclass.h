#pragma once

#include "core/globalvar.h"

#include <QDialog>
#include <QPushButton>

namespace Ui
{
class NewLclass;
}
class QLineEdit;
class model;

// The form of either add dialog with no help button, the logo, an empty message line and the
// OK, CANCEL and SET buttons wired.
template <class Dialog, class Form> void SetUpClassDialog(Dialog *dialog, Form *ui, const QIcon &logo)
{
    ui->setupUi(dialog);
    dialog->setWindowFlags(dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
    dialog->setWindowIcon(logo);
    ui->MSG->clear();
    QObject::connect(ui->OK, &QPushButton::clicked, dialog, &Dialog::onAccept);
    QObject::connect(ui->CANCEL, &QPushButton::clicked, dialog, &Dialog::onReject);
    QObject::connect(ui->SET, &QPushButton::clicked, dialog, &Dialog::onSet);
}

// Asks for the name and element of a new large class, checks them against the existing large
// classes and hands them to the model editor (code 104), which inserts the class.
class NewLclass final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit NewLclass(QWidget *parent = nullptr);
    ~NewLclass() override;

    void InitDisplay();
    QString Message() const;

    // The refusal text of a name clash (CheckNewClass result 1, 2 or 3); both add dialogs use it.
    static QString ClashText(int clash);
    // What both add dialogs do once the names are typed: refuse when ids run out or the name
    // clashes (the refusal text is returned), else post `code` and mark the model changed ("").
    static QString PostNewClass(model *editor, int (model::*check)(), int code);
    // The SET button of both add dialogs: typed element (0) <-> the arbitrary element (1).
    static int ToggleElement(QLineEdit *element, QPushButton *button, int toggle, const QString &arbitrary,
                             const QString &setText, const QString &unsetText);

public slots:
    void onAccept();
    void onReject();
    void onSet();

private:
    Ui::NewLclass *m_ui;
    QString m_setText;
    QString m_unsetText;
    int m_toggle = 0;
};
