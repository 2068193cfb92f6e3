#pragma once

#include "core/globalvar.h"

#include <QObject>

// The SMTP client that sends the member notification mails.
class QaSmtp final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit QaSmtp(QObject *parent = nullptr);
};
