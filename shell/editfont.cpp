#include "shell/editfont.h"

#include "ui_editfont.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QLineEdit>

EditFont::EditFont(QWidget *parent) : QDialog(parent), m_ui(new Ui::EditFont)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_ui->TREE->headerItem()->setIcon(0, QIcon(QStringLiteral(":src/TBL_F.png")));
    m_ui->TREE->header()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: #666666; color: #FFFFFF; }"));
    connect(m_ui->OK, &QPushButton::clicked, this, &EditFont::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &EditFont::reject);
    connect(m_ui->TREE, &QTreeWidget::itemDoubleClicked, this, &EditFont::itemDclicked);
}

EditFont::~EditFont()
{
    delete m_ui;
}

void EditFont::ShowFor(QLineEdit *target)
{
    m_target = target;
    // The family list is long and never changes while the program runs: built once.
    if (m_ui->TREE->topLevelItemCount() == 0) {
        const QStringList families = QFontDatabase().families(QFontDatabase::Any);
        for (const QString &family : families)
            new QTreeWidgetItem(m_ui->TREE, QStringList(family));
    }
    const bool any = m_ui->TREE->topLevelItemCount() > 0;
    if (any)
        m_ui->TREE->setCurrentItem(m_ui->TREE->topLevelItem(0));
    m_ui->OK->setEnabled(any);
    show();
}

void EditFont::OkProc()
{
    if (QTreeWidgetItem *item = m_ui->TREE->currentItem(); item && m_target)
        m_target->setText(item->text(0));
    accept();
}

void EditFont::itemDclicked(QTreeWidgetItem *item, int)
{
    if (item && m_target)
        m_target->setText(item->text(0));
    accept();
}
