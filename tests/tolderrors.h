#pragma once

#include "core/uireport.h"

#include <QStringList>

// Keeps every error told to the member, in order, while it lives.
struct ToldErrors : UiReport {
    QStringList texts;
    ToldErrors() { Install(this); }
    void ShowErrorMsg(const QString &, const QString &text) override { texts.append(text); }
    void SystemErrorBox(const QString &) override {}
    void FatalMessage(const QString &, const QString &) override {}
};
