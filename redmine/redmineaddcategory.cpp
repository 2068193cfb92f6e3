#include "redmine/redmineaddcategory.h"

#include "redmine/redmineproject.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
bool nameTaken(QTreeWidget *tree, const QString &name)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        if (tree->topLevelItem(i)->text(0) == name)
            return true;
    }
    return false;
}
} // namespace

RedmineAddCategory::RedmineAddCategory(RedmineProject *page) : RedmineItemDiag(page)
{
    setObjectName(QStringLiteral("RedmineAddCategory"));
    setWindowTitle(QStringLiteral("AddCategory"));
    resize(558, 79);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *top = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    const QString style = QStringLiteral("background-color: #628DB6;color: #FFFFFF");
    auto *lb1 = new QLabel(tr("Category"));
    lb1->setObjectName(QStringLiteral("LB1"));
    lb1->setStyleSheet(style);
    m_category = new QLineEdit;
    m_category->setObjectName(QStringLiteral("CATEGORY"));
    m_lb2 = new QLabel(tr("ID"));
    m_lb2->setObjectName(QStringLiteral("LB2"));
    m_lb2->setStyleSheet(style);
    MakeIdField();
    row->addWidget(lb1);
    row->addWidget(m_category, 1);
    row->addSpacing(20);
    row->addWidget(m_lb2);
    row->addWidget(m_id);
    row->addSpacing(10);
    top->addLayout(row);
    auto *line = new QFrame;
    line->setObjectName(QStringLiteral("line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    top->addWidget(line);
    m_del = NamedButton(tr("DEL"), "DEL");
    m_set = NamedButton(tr("SET"), "SET");
    AddMessageAndButtons(top, m_set, tr("CANCEL"), 20);
    connect(m_set, &QPushButton::clicked, this, &RedmineAddCategory::SetProc);
    connect(m_del, &QPushButton::clicked, this, &RedmineAddCategory::DelProc);
}

void RedmineAddCategory::SetNew()
{
    m_mode = 1;
    m_category->clear();
    m_msg->clear();
    m_del->hide();
    m_lb2->hide();
    m_id->hide();
    m_set->setText(tr("new set"));
}

void RedmineAddCategory::SetUpdate(QTreeWidgetItem *row)
{
    m_mode = 0;
    m_lb2->show();
    m_id->show();
    m_del->show();
    m_set->setText(tr("update"));
    m_initialName = row->text(0);
    m_category->setText(m_initialName);
    m_id->setText(row->text(1));
    m_msg->clear();
}

void RedmineAddCategory::SetProc(bool)
{
    const QString name = m_category->text();
    QString problem;
    if (GetIntVar(RegSlot::IntRedmineProjectId) == -1)
        problem = tr("project is not set");
    else if (name.isEmpty())
        problem = tr("category is not set");
    else if (m_mode == 0 && name == m_initialName)
        problem = tr("category is not changed");
    else if (nameTaken(m_page->GetCategoryTree(), name))
        problem = tr("save category name exist");
    if (!problem.isEmpty()) {
        m_msg->setText(problem);
        return;
    }
    const bool sent = m_mode == 1 ? m_page->CreateCategory(name) : m_page->UpdateCategory(name, m_id->text());
    Sent(sent);
}

void RedmineAddCategory::DelProc(bool)
{
    AskDelete(tr("Is delete category?"), &RedmineProject::DeleteCategory);
}
