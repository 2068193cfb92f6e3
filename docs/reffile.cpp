#include "docs/reffile.h"

#include "core/safefile.h"
#include "core/textfiles.h"
#include "core/uireport.h"
#include "docs/docdiag.h"
#include "docs/referencefiles.h"
#include "shell/mainwindow.h"
#include "ui_reffile.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

reffile::reffile(QWidget *parent) : QWidget(parent), m_ui(new Ui::reffile), m_menu(new QMenu(this))
{
    m_ui->setupUi(this);
    DocDiag::StyleHeader(m_ui->FILE, {SharedIcon::TblR, SharedIcon::TblM, SharedIcon::TblS});
    m_add = m_menu->addAction(tr("Add Refference file"), this, &reffile::AddRefferenceFile);
    m_del = m_menu->addAction(tr("Del Refference file"), this, &reffile::DelRefferenceFile);
    m_show = m_menu->addAction(tr("show Refference file"), this, &reffile::ShowRefferenceFile);
    m_upload = m_menu->addAction(tr("upload Refference file"), this, &reffile::UploadRefferenceFile);
    connect(m_ui->FILE, &QWidget::customContextMenuRequested, this, &reffile::TreePopupMenu);
    connect(m_ui->FILE, &QTreeWidget::itemDoubleClicked, this, &reffile::RefFileShow);
}

reffile::~reffile()
{
    delete m_ui;
}

void reffile::SetEditable(int editable)
{
    m_editable = editable;
}

void reffile::SetDirectory(const QString &folder)
{
    m_ui->FILE->clear();
    m_folder = folder;
    for (const ReferenceFiles::Row &row : ReferenceFiles::List(folder).rows)
        new QTreeWidgetItem(m_ui->FILE, {row.name, row.time, row.size});
    TreeColumnAdjustment(m_ui->FILE);
}

void reffile::ClearList()
{
    m_ui->FILE->clear();
    // With no element current there is no folder either: nothing may be added to the folder of
    // the element shown before.
    m_folder.clear();
}

QString reffile::startFolder() const
{
    const QString last = GetStrVar(RegSlot::StrRefFileFolder);
    return last.isEmpty() ? QDir::currentPath() : last;
}

void reffile::AddRefferenceFile()
{
    auto *window = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (m_folder.isEmpty() || !window)
        return;
    QFileDialog dialog(window, tr("Set file"), startFolder());
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setLabelText(QFileDialog::Accept, tr("add_reference"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SetStrVar(RegSlot::StrRefFileFolder, dialog.directory().absolutePath());
    const QStringList files = dialog.selectedFiles();
    for (const QString &file : files)
        window->CopyReferenceFile(file, m_folder);
    // The folder is read again, so a copy that failed or was not confirmed shows no row.
    SetDirectory(m_folder);
    selectName(QFileInfo(files.last()).fileName());
}

void reffile::selectName(const QString &name)
{
    for (int i = 0; i < m_ui->FILE->topLevelItemCount(); ++i) {
        if (m_ui->FILE->topLevelItem(i)->text(0) == name) {
            m_ui->FILE->setCurrentItem(m_ui->FILE->topLevelItem(i));
            return;
        }
    }
}

void reffile::DelRefferenceFile()
{
    QTreeWidgetItem *item = m_ui->FILE->currentItem();
    if (!item || !m_editable)
        return;
    if (DocDiag::DeleteFile(this, m_folder + item->text(0)))
        SetDirectory(m_folder);
}

void reffile::ShowRefferenceFile()
{
    openRow(m_ui->FILE->currentItem());
}

void reffile::RefFileShow(QTreeWidgetItem *item, int)
{
    openRow(item);
}

namespace
{
int checkRemoved(const QString &folder, const QString &name)
{
    auto *window = globalvar().GetObj<MainWindow>(RegSlot::ObjMainWindow);
    return window ? window->CheckFileRemoved(folder, name) : TextFiles::WaitStable(folder + name);
}
} // namespace

void reffile::openRow(QTreeWidgetItem *item)
{
    if (!item || m_folder.isEmpty())
        return;
    const QString name = item->text(0);
    if (m_editable) {
        if (QFileInfo::exists(m_folder + name))
            DocDiag::OpenFile(m_folder + name);
        return;
    }
    // Members who may not edit open a read-only copy, so their viewer cannot change the file.
    const QString others = m_folder + QStringLiteral("others/");
    if (!QFileInfo::exists(others + name) && !prepareViewingCopy(name))
        return;
    if (checkRemoved(others, name) == 0)
        DocDiag::OpenFile(others + name);
}

bool reffile::prepareViewingCopy(const QString &name)
{
    if (!QFileInfo::exists(m_folder + name)) {
        checkRemoved(m_folder, name);
        return false;
    }
    const QString copy = m_folder + QStringLiteral("others/") + name;
    const bool folder = QDir().mkpath(m_folder + QStringLiteral("others"));
    if (!folder || !SafeFile::ReplaceByCopy(m_folder + name, copy)) {
        const QString text = tr("can not write file:%1").arg(copy);
        UiReport::Fatal(tr("File error"), folder ? SafeFile::WithReason(text) : text);
        return false;
    }
    QFile::setPermissions(copy, QFileDevice::ReadUser | QFileDevice::ReadOwner);
    return true;
}

void reffile::UploadRefferenceFile()
{
    QTreeWidgetItem *item = m_ui->FILE->currentItem();
    if (!item || m_folder.isEmpty())
        return;
    const QString source = m_folder + item->text(0);
    auto *window = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    QFileDialog dialog(window ? static_cast<QWidget *>(window) : this, tr("Upload file"), startFolder());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setLabelText(QFileDialog::Accept, tr("upload_reference"));
    dialog.selectFile(item->text(0));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString target = dialog.selectedFiles().constFirst();
    if (checkRemoved(m_folder, item->text(0)) != 0)
        return;
    // The dialog has already asked before an existing file is replaced.
    if (QFileInfo(target).canonicalFilePath() == QFileInfo(source).canonicalFilePath())
        return;
    if (!SafeFile::ReplaceByCopy(source, target))
        UiReport::Fatal(tr("File error"), SafeFile::WithReason(tr("can not write file:%1").arg(target)));
}

void reffile::TreePopupMenu(const QPoint &pos)
{
    if (m_folder.isEmpty())
        return;
    const bool current = m_ui->FILE->currentItem() != nullptr;
    m_add->setVisible(m_editable);
    m_del->setVisible(m_editable && current);
    m_show->setVisible(current);
    m_upload->setVisible(current);
    if (m_editable || current)
        m_menu->popup(m_ui->FILE->viewport()->mapToGlobal(pos));
}
