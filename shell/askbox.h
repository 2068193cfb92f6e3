#pragma once

#include <QMessageBox>
#include <QPushButton>

// The question boxes: buttons carry object names so that tests can click them, Escape means
// the cancelling button, and only the accepting button answers yes.
namespace AskBox
{
inline QPushButton *Button(QMessageBox &box, const char *name, const QString &text,
                           QMessageBox::ButtonRole role)
{
    QPushButton *button = box.addButton(text, role);
    button->setObjectName(QLatin1String(name));
    return button;
}

inline QPushButton *Button(QMessageBox &box, const char *name, QMessageBox::StandardButton which)
{
    QPushButton *button = box.addButton(which);
    button->setObjectName(QLatin1String(name));
    return button;
}

inline bool Confirmed(QMessageBox &box, QPushButton *accept, QPushButton *cancel)
{
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == accept;
}
} // namespace AskBox
