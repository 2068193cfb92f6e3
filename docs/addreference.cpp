#include "docs/addreference.h"

#include "ui_addreference.h"

#include <QDir>
#include <QFileDialog>
#include <QTreeWidget>

AddReference::AddReference(QWidget *parent) : QDialog(parent), m_ui(new Ui::AddReference)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(GetLogoIcon());
    m_ui->MSG->clear();
    m_ui->EXEFILENAME->clear();
    connect(m_ui->OK, &QPushButton::clicked, this, &AddReference::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &AddReference::CancelProc);
    connect(m_ui->REFBTN, &QPushButton::clicked, this, &AddReference::RefProc);
}

AddReference::~AddReference()
{
    delete m_ui;
}

void AddReference::SetData(int row, const QString &extension, const QString &program)
{
    m_row = row;
    setWindowTitle(row == -1 ? tr("Add reference") : tr("Mod reference"));
    m_ui->EXTCBX->setEditText(extension);
    m_ui->EXEFILENAME->setText(program);
}

void AddReference::OkProc()
{
    // Taken as typed: an extension list such as "doc;" deliberately matches files without one.
    const QString extension = m_ui->EXTCBX->currentText();
    const QString program = m_ui->EXEFILENAME->text();
    if (extension.isEmpty()) {
        m_ui->MSG->setText(tr("extention name is not set"));
        return;
    }
    if (program.isEmpty()) {
        m_ui->MSG->setText(tr("exefile is not set"));
        return;
    }
    if (m_tree) {
        QTreeWidgetItem *item =
            m_row == -1 ? new QTreeWidgetItem(m_tree.data()) : m_tree->topLevelItem(m_row);
        if (item) {
            item->setText(0, extension);
            item->setText(1, program);
        }
    }
    clearFields();
    emit updated();
    accept();
}

void AddReference::CancelProc()
{
    clearFields();
    reject();
}

void AddReference::RefProc()
{
    QFileDialog dialog(this, tr("Reference Execution file"), QDir::currentPath());
    dialog.setNameFilters(ProgramFilters());
    dialog.selectNameFilter(ProgramFilters().constLast());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setLabelText(QFileDialog::Accept, tr("set_application"));
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    m_ui->EXEFILENAME->setText(chosen ? dialog.selectedFiles().constFirst() : QString());
}

QStringList AddReference::ProgramFilters()
{
    QStringList filters{QStringLiteral("*.com;*.exe")};
#ifndef Q_OS_WIN
    // Programs elsewhere have no extension: without this choice the chooser would show none.
    filters << tr("All files (*)");
#endif
    return filters;
}

void AddReference::clearFields()
{
    m_ui->MSG->clear();
    m_ui->EXTCBX->setEditText(QString());
    m_ui->EXEFILENAME->clear();
}
