#pragma once

#include "core/globalvar.h"
#include "core/statuswindow.h"

#include <QWidget>

class NumEditor;
struct MemberInfo;

// The member mail panel of a user information page: the mails sent to that member and the
// editor to write a new one.
class MemberMail final : public QWidget, public StatusWindow, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit MemberMail(QWidget *parent = nullptr);

    void ClearData();
    NumEditor *GetEditor() const { return nullptr; }
    void SendResult(const QString &result) override;
    void SetUser(MemberInfo *member);
};
