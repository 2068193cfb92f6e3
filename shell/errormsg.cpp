#include "shell/errormsg.h"

#include "shell/mainwindow.h"
#include "ui_errormsg.h"

#include <QCryptographicHash>
#include <QMenu>
#include <QTextCursor>

ErrorMsg::ErrorMsg(QWidget *parent) : QDialog(parent), m_ui(new Ui::ErrorMsg)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_ui->PEDIT->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui->PEDIT, &QWidget::customContextMenuRequested, this, &ErrorMsg::EditPopUpMenu);
    connect(m_ui->PEDIT, &QPlainTextEdit::copyAvailable, this, &ErrorMsg::EditCopyAvailable);
    connect(m_ui->OK, &QPushButton::clicked, this, &ErrorMsg::OkProc);
    SetObj(RegSlot::ObjErrorMsg, this);
    MakeEditMenu();
    m_ui->PEDIT->setReadOnly(true);
}

ErrorMsg::~ErrorMsg()
{
    if (GetObj<ErrorMsg>(RegSlot::ObjErrorMsg) == this)
        SetObj<ErrorMsg>(RegSlot::ObjErrorMsg, nullptr);
    delete m_ui;
}

void ErrorMsg::MakeEditMenu()
{
    m_menu = new QMenu(this);
    m_copy = m_menu->addAction(tr("Copy"));
    m_copy->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    m_copy->setEnabled(false);
    connect(m_copy, &QAction::triggered, this, &ErrorMsg::ActionCopy);
    m_selectAll = m_menu->addAction(tr("select all"));
    m_selectAll->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    connect(m_selectAll, &QAction::triggered, this, &ErrorMsg::ActionSelectAll);
}

void ErrorMsg::ApplyFont()
{
    m_font.setFamily(GetStrVar(RegSlot::StrFontName));
    const int size = GetStrVar(RegSlot::StrFontSize).toInt();
    if (size > 0)
        m_font.setPointSize(size);
    setFont(m_font);
}

void ErrorMsg::SetMsg(const QString &title, const QString &text)
{
    if (!isVisible()) {
        m_reports.clear();
        m_more = 0;
        m_seen.clear();
    }
    const QPair<QString, QString> report(title, text);
    QCryptographicHash digest(QCryptographicHash::Sha1);
    digest.addData(title.toUtf8());
    digest.addData("\0", 1);
    digest.addData(text.toUtf8());
    if (m_seen.contains(digest.result()))
        return;
    m_seen.insert(digest.result());
    if (m_reports.size() < MaxReports)
        m_reports.append(report);
    else
        ++m_more;
    ApplyFont();
    setWindowTitle(m_reports.first().first);
    m_ui->PEDIT->clear();
    m_ui->PEDIT->appendPlainText(joinedReports());
    // The first report is what the action ran into first: the window opens on it.
    m_ui->PEDIT->moveCursor(QTextCursor::Start);
    m_ui->PEDIT->ensureCursorVisible();
}

// A report under another title than the window's carries its own in front.
QString ErrorMsg::joinedReports() const
{
    const QString &windowTitle = m_reports.first().first;
    QStringList shown;
    for (const auto &report : m_reports)
        shown.append(report.first == windowTitle ? report.second
                                                 : report.first + QStringLiteral(": ") + report.second);
    if (m_more > 0)
        shown.append(tr("... and %n more report(s)", nullptr, m_more));
    return shown.join(QLatin1Char('\n'));
}

QString ErrorMsg::Text() const
{
    return m_ui->PEDIT->toPlainText();
}

void ErrorMsg::ShowMsg()
{
    m_ui->OK->setText(tr("OK"));
    // Only a window that opens is placed: one the user moved aside stays there while reports
    // join it.
    if (!isVisible())
        CenterOnMainWindow();
    show();
}

void ErrorMsg::CenterOnMainWindow()
{
    QWidget *main = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (!main)
        main = parentWidget();
    if (!main)
        return;
    const QPoint centre = main->geometry().center();
    move(centre.x() - width() / 2, centre.y() - height() / 2);
}

void ErrorMsg::OkProc()
{
    accept();
}

void ErrorMsg::EditPopUpMenu(const QPoint &pos)
{
    m_menu->popup(mapToGlobal(pos + QPoint(20, 20)));
}

void ErrorMsg::EditCopyAvailable(bool available)
{
    m_copy->setEnabled(available);
}

void ErrorMsg::ActionCopy(bool)
{
    m_ui->PEDIT->copy();
}

void ErrorMsg::ActionSelectAll(bool)
{
    m_ui->PEDIT->selectAll();
}
