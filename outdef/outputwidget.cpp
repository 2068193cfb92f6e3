#include "outdef/outputwidget.h"

#include "outdef/outheighlighter.h"
#include "shell/numeditor.h"
#include "ui_outputwidget.h"

#include <QTabBar>

OutputWidget::OutputWidget(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::OutputWidget), m_view(new NumEditor)
{
    m_ui->setupUi(this);
    m_ui->OUTTAB->tabBar()->setStyleSheet(QStringLiteral("background-color: #DDDDDD"));
    while (m_ui->OUTTAB->count() > 0) {
        QWidget *page = m_ui->OUTTAB->widget(0);
        m_ui->OUTTAB->removeTab(0);
        delete page;
    }
    m_view->SetKind(10);
    m_view->SetMarkerCheck(0);
    m_view->SetNumber(false);
    m_view->setReadOnly(true);
    m_ui->OUTTAB->addTab(m_view, QString());
    m_highlighter = new VarHeighlighter(m_view->document());
    const QColor green(Qt::darkGreen);
    m_highlighter->AddRule(QStringLiteral("\\%Var\\[[0-9]+\\]\\[[0-9]+\\]"), green);
    m_highlighter->AddRule(QStringLiteral("\\%Var\\[[0-9]+\\]\\[[0-9]+\\]\\[[0-9]+\\]"), green);
    m_highlighter->AddRule(QStringLiteral("\\#Var\\[[0-9]+\\]\\[[0-9]+\\]\\[[0-9]+\\]"), Qt::blue);
    m_highlighter->AddRule(QStringLiteral("\\#Var\\[[0-9]+\\]"), Qt::blue);
    m_highlighter->AddRule(QStringLiteral("\\&Var\\[[0-9]+\\]"), Qt::red);
    m_highlighter->AddRule(QStringLiteral("\\&Seq\\[[0-9]+\\]"), Qt::red);
}

OutputWidget::~OutputWidget()
{
    delete m_ui;
}

void OutputWidget::ShowText(const QString &title, const QString &text)
{
    m_view->clear();
    m_view->appendPlainText(text);
    m_ui->OUTTAB->setTabText(0, title.isEmpty() ? tr("NONE") : title);
}

QTabWidget *OutputWidget::GetTabWidget() const
{
    return m_ui->OUTTAB;
}

QWidget *OutputWidget::GetView() const
{
    return m_ui->OUTTAB->count() > 0 ? m_ui->OUTTAB->widget(0) : nullptr;
}
