#pragma once

#include <QString>

// A window that takes the status messages while it is active (member mail, questions and
// answers). Both register themselves in the same registry slot under this one type, so the
// dispatcher reaches whichever is there.
class StatusWindow
{
public:
    virtual ~StatusWindow() = default;
    virtual void SendResult(const QString &text) = 0;
};
