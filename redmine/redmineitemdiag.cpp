#include "redmine/redmineitemdiag.h"

#include "redmine/redmineproject.h"

#include <QLineEdit>

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
