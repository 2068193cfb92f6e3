#include "redmine/redmineitemdiag.h"

#include "redmine/redmineproject.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

RedmineItemDiag::RedmineItemDiag(RedmineProject *page) : QDialog(page), m_page(page) {}

QString RedmineItemDiag::MessageText() const
{
    return m_msg->text();
}

void RedmineItemDiag::Sent(bool sent)
{
    if (!sent) {
        m_msg->setText(tr("Under Process"));
        return;
    }
    accept();
}

void RedmineItemDiag::AskDelete(const QString &question, bool (RedmineProject::*remove)(const QString &))
{
    if (!m_page->ConfirmDelete(question))
        return;
    Sent((m_page->*remove)(m_id->text()));
}

void RedmineItemDiag::CancelProc(bool)
{
    reject();
}

QPushButton *RedmineItemDiag::NamedButton(const QString &text, const char *name)
{
    auto *button = new QPushButton(text);
    button->setObjectName(QLatin1String(name));
    return button;
}

void RedmineItemDiag::MakeIdField()
{
    m_id = new QLineEdit;
    m_id->setObjectName(QStringLiteral("ID"));
    m_id->setReadOnly(true);
    m_id->setFixedWidth(40);
}

void RedmineItemDiag::AddMessageAndButtons(QVBoxLayout *top, QPushButton *ok, const QString &cancelText,
                                           int spacing)
{
    m_msg = new QLineEdit;
    m_msg->setObjectName(QStringLiteral("MSG"));
    m_msg->setReadOnly(true);
    top->addWidget(m_msg);
    auto *cancel = NamedButton(cancelText, "CANCEL");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {m_del, ok, cancel}) {
        buttons->addWidget(button);
        if (spacing != 0)
            buttons->addSpacing(spacing);
    }
    top->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, this, &RedmineItemDiag::CancelProc);
}

void RedmineItemDiag::UseFormWidgets(QLineEdit *id, QLineEdit *msg, QPushButton *del, QPushButton *cancel)
{
    m_id = id;
    m_msg = msg;
    m_del = del;
    connect(cancel, &QPushButton::clicked, this, &RedmineItemDiag::CancelProc);
}
