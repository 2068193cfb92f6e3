#pragma once

#include "core/globalvar.h"

#include <QDialog>

namespace Ui
{
class ChatResponse;
}
class Chat;

// Answers a received chat message with a response kind (0 NONE ... 5 GOOD).
class ChatResponse final : public QDialog, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit ChatResponse(QWidget *parent = nullptr);
    ~ChatResponse() override;

    void SetChat(Chat *chat) { m_chat = chat; }
    void SetId(int seq) { m_seq = seq; }
    void SetUserTime(const QString &author, const QString &time);
    void SetKind(int kind);

public slots:
    void NoneProc() { m_kind = 0; }
    void AgreeProc() { m_kind = 1; }
    void OppoProc() { m_kind = 2; }
    void NutralProc() { m_kind = 3; }
    void MinfProc() { m_kind = 4; }
    void GoodProc() { m_kind = 5; }
    void SetProc();
    void CancelProc();

private:
    Ui::ChatResponse *m_ui;
    Chat *m_chat = nullptr;
    int m_seq = 0;
    int m_initialKind = 0;
    int m_kind = 0;
};
