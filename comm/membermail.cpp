#include "comm/membermail.h"

MemberMail::MemberMail(QWidget *parent) : QWidget(parent) {}

void MemberMail::ClearData() {}
void MemberMail::SendResult(const QString &) {}
void MemberMail::SetUser(MemberInfo *) {}
