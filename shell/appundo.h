#pragma once

#include "core/globalvar.h"

#include <QList>
#include <QObject>

// The application's undo object: registered at start-up so that an undo history has a home;
// it records nothing yet.
class AppUndo final : public QObject, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit AppUndo(QObject *parent = nullptr);

private:
    QList<QObject *> m_entries;
};
