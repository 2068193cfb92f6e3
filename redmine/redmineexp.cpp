#include "redmine/redmineexp.h"

#include "shell/numeditor.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

RedmineExp::RedmineExp(QWidget *parent) : QDialog(parent), m_editor(new NumEditor)
{
    setObjectName(QStringLiteral("RedmineExp"));
    setWindowTitle(QStringLiteral("Dialog"));
    resize(548, 367);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *top = new QVBoxLayout(this);
    auto *editLayer = new QVBoxLayout;
    editLayer->setObjectName(QStringLiteral("EDITLAYER"));
    m_editor->setReadOnly(true);
    editLayer->addWidget(m_editor);
    top->addLayout(editLayer, 1);
    auto *msg = new QLineEdit;
    msg->setObjectName(QStringLiteral("MSG"));
    msg->setReadOnly(true);
    top->addWidget(msg);
    auto *row = new QHBoxLayout;
    auto *cancel = new QPushButton(tr("CANCEL"));
    cancel->setObjectName(QStringLiteral("CANCEL"));
    row->addStretch();
    row->addWidget(cancel);
    top->addLayout(row);
    connect(cancel, &QPushButton::clicked, this, &RedmineExp::CancelProc);
}

void RedmineExp::ShowText(const QString &text)
{
    m_editor->SetEditFont();
    m_editor->clear();
    m_editor->appendPlainText(text);
    show();
}

void RedmineExp::CancelProc(bool)
{
    reject();
}
