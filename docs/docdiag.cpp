#include "docs/docdiag.h"

#include "core/uireport.h"
#include "core/xmlclass.h"
#include "docs/referencefiles.h"
#include "shell/askbox.h"
#include "ui_docdiag.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

DocDiag::DocDiag(QWidget *parent) : QDialog(parent), m_ui(new Ui::DocDiag)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(GetLogoIcon());
    m_ui->TREE->setColumnWidth(0, 300);
    m_ui->TREE->setColumnWidth(1, 200);
    connect(m_ui->OK, &QPushButton::clicked, this, &DocDiag::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->TREE, &QTreeWidget::itemDoubleClicked, this, &DocDiag::DblClicked);
}

DocDiag::~DocDiag()
{
    delete m_ui;
}

void DocDiag::SetMode(int mode)
{
    m_mode = mode;
    if (mode == ShowMode || mode == DeleteMode) {
        setWindowTitle(mode == ShowMode ? tr("show file") : tr("Delete file"));
        m_ui->OK->setText(mode == ShowMode ? tr("Show") : tr("Delete"));
        m_ui->OK->setEnabled(true);
    }
    m_ui->TREE->clear();
}

void DocDiag::SetDirectory(const QString &folder)
{
    m_folder = folder;
    m_ui->TREE->clear();
    const ReferenceFiles::Listing listing = ReferenceFiles::List(folder);
    for (const ReferenceFiles::Row &row : listing.rows)
        new QTreeWidgetItem(m_ui->TREE, {row.name, row.time, row.size});
    TreeColumnAdjustment(m_ui->TREE);
    m_ui->OK->setEnabled(!listing.rows.isEmpty());
    if (!listing.rows.isEmpty())
        m_ui->TREE->setCurrentItem(m_ui->TREE->topLevelItem(0));
}

void DocDiag::OkProc()
{
    QTreeWidgetItem *item = m_ui->TREE->currentItem();
    if (!item)
        return;
    const QString path = m_folder + item->text(0);
    if (m_mode == ShowMode) {
        OpenFile(path);
    } else if (m_mode == DeleteMode && DeleteFile(this, path)) {
        // Listed again: a file that could not be removed stays in the list.
        SetDirectory(m_folder);
    }
}

void DocDiag::DblClicked(QTreeWidgetItem *, int)
{
    if (m_mode == ShowMode && m_ui->TREE->currentItem())
        OkProc();
}

QString DocDiag::FileExtension(const QString &fileName)
{
    return ReferenceFiles::FileExtension(fileName);
}

QString DocDiag::FindApplication(const QString &fileName)
{
    globalvar registry;
    auto *store = registry.GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QDomDocument *settings = store ? store->GetXmlDoc(XmlIndex::Settings) : nullptr;
    return settings ? ReferenceFiles::FindApplication(*settings, fileName) : QString();
}

void DocDiag::OpenFile(const QString &path)
{
    const QString program = FindApplication(QFileInfo(path).fileName());
    if (program.isEmpty()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        return;
    }
    // The path is one argument whatever it holds: blanks do not split it and a leading "-" is
    // no option to the shell. Each open starts the program anew.
    if (!QProcess::startDetached(program, {path}))
        UiReport::Fatal(tr("Start error"), tr("can not start program:%1").arg(program));
}

bool DocDiag::DeleteFile(QWidget *parent, const QString &path)
{
    QMessageBox box(parent);
    box.setWindowIcon(globalvar().GetLogoIcon());
    box.setWindowTitle(tr("Delete Document"));
    box.setInformativeText(tr("Do you want to delete document?"));
    QPushButton *remove = AskBox::Button(box, "delete", tr("delete"), QMessageBox::AcceptRole);
    QPushButton *cancel = AskBox::Button(box, "cancel", tr("Cancel"), QMessageBox::RejectRole);
    if (!AskBox::Confirmed(box, remove, cancel))
        return false;
    const QString failed = ReferenceFiles::RemoveWithCompanion(path);
    if (!failed.isEmpty())
        UiReport::Fatal(tr("File error"), tr("can not delete file:%1").arg(failed));
    return true;
}

void DocDiag::StyleHeader(QTreeWidget *tree, const QList<SharedIcon::Id> &icons)
{
    QTreeWidgetItem *header = tree->headerItem();
    for (int column = 0; column < icons.size(); ++column) {
        header->setIcon(column, SharedIcon::Get(icons.at(column)));
        header->setBackground(column, QColor(QStringLiteral("#666666")));
        header->setForeground(column, QColor(QStringLiteral("#FFFFFF")));
    }
}
