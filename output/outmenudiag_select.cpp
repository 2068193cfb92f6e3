#include "core/saveconflict.h"
#include "core/textfiles.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "outdef/outdef.h"
#include "output/outmenudiag.h"
#include "output/selectionfile.h"
#include "ui_outmenudiag.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTreeWidget>

// The selection files of the output run (defoutput_<n>.xml beside the definition, refoutput_<n>.xml
// in the instance folder) and the dialog's slots.

namespace
{
QTreeWidgetItem *nextInRing(const QTreeWidgetItem *row)
{
    return static_cast<QTreeWidgetItem *>(row->data(5, Qt::UserRole).value<void *>());
}

QDomElement child(QDomDocument *doc, QDomElement parent, const QString &tag)
{
    QDomElement e = doc->createElement(tag);
    parent.appendChild(e);
    return e;
}

// Each checked member row below a file row of the definition tree, with its large class row.
void forCheckedMembers(QTreeWidgetItem *file,
                       const std::function<void(QTreeWidgetItem *, QTreeWidgetItem *)> &take)
{
    for (int j = 0; j < file->childCount(); ++j) {
        QTreeWidgetItem *lclass = file->child(j);
        for (int k = 0; k < lclass->childCount(); ++k) {
            if (lclass->child(k)->checkState(3) == Qt::Checked)
                take(lclass, lclass->child(k));
        }
    }
}

} // namespace

QString OutMenuDiag::defPath(int n) const
{
    auto *page = GetObj<outdef>(RegSlot::ObjOutdef);
    return GetStrVar(RegSlot::StrModelDir) + QLatin1Char('/') + (page ? page->GetOutputPath() : QString()) +
           QStringLiteral("/defoutput_") + QString::number(n) + QStringLiteral(".xml");
}

QString OutMenuDiag::refPath(int n) const
{
    return GetStrVar(RegSlot::StrInstanceDir) + QStringLiteral("/refoutput_") + QString::number(n) +
           QStringLiteral(".xml");
}

QString OutMenuDiag::rootTag(int index)
{
    return (index - XmlIndex::OutRunSelection) % 2 == 0 ? QStringLiteral("Root_DefOutput")
                                                        : QStringLiteral("Root_RefOutput");
}

// Into the store when it reads as a selection file; a missing file is no fault, one that is there
// and does not read (*reason set) is one.
bool OutMenuDiag::readSelectionFile(int index, const QString &path, QString *reason)
{
    reason->clear();
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store)
        return false;
    if (!store->HasDoc(index) && !store->OpenXmlFile(index, path, false)) {
        if (GetIntVar(RegSlot::IntLastErrorKind) != 0)
            *reason = GetStrVar(RegSlot::StrLastError);
        return false;
    }
    const QString root = store->GetXmlDoc(index)->documentElement().tagName();
    if (root == rootTag(index))
        return true;
    store->CloseXmlDoc(index);
    *reason = UiReport::WrongRoot(root, rootTag(index));
    return false;
}

// A missing file only means the defaults; a damaged one means them too, but it is said, and it
// is kept from being saved over until it reads again.
bool OutMenuDiag::openSelection(int index, const QString &path)
{
    m_unread.remove(index);
    QString reason;
    if (readSelectionFile(index, path, &reason))
        return true;
    if (!reason.isEmpty()) {
        m_unread.insert(index);
        UiReport::Error(tr("Output File"),
                        tr("%1 was not read; it is kept as it is and the default selection is shown: %2")
                            .arg(path, reason));
    }
    return false;
}

void OutMenuDiag::loadDefSelection(int n)
{
    m_defRead = loadSelection(n, true);
    if (!m_defRead)
        checkOwnMembers(n);
    m_ui->DEF_CHECK->setChecked(true);
}

void OutMenuDiag::loadRefSelection(int n)
{
    m_refRead = loadSelection(n, false);
    if (!m_refRead)
        autoSelect(false);
    m_ui->DUP->setVisible(true);
    m_ui->REF_CHECK->setChecked(true);
}

bool OutMenuDiag::loadSelection(int n, bool def)
{
    QString *outDir = def ? &m_defDir : &m_refDir;
    outDir->clear();
    // The member's own folder comes from the shared member file: the same rule as a selection's.
    const QString own = memberOutDir(n);
    if (UsableOutDir(own))
        *outDir = own;
    else if (!own.isEmpty())
        setMessage(tr("output directory of %1 is not used: %2").arg(m_ui->USERCBX->currentText(), own));
    if (!openSelection(def ? DefIndex(n) : RefIndex(n), def ? defPath(n) : refPath(n)))
        return false;
    (def ? m_openDef : m_openRef) = n;
    return def ? readDefSelection(n) : readRefSelection(n);
}

QDomElement OutMenuDiag::storedRoot(int index) const
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    return store && store->HasDoc(index) ? store->GetXmlDoc(index)->documentElement() : QDomElement();
}

bool OutMenuDiag::UsableOutDir(const QString &dir)
{
    return QDir::isAbsolutePath(dir) && !dir.split(QLatin1Char('/')).contains(QStringLiteral("..")) &&
           !QFileInfo(dir).isSymLink();
}

void OutMenuDiag::takeOutDir(const QString &dir, const QString &file, QString *outDir)
{
    if (UsableOutDir(dir))
        *outDir = dir;
    else
        setMessage(tr("output directory in %1 is not used: %2").arg(file, dir));
}

bool OutMenuDiag::readDefSelection(int n)
{
    return readSelection(
        DefIndex(n), defPath(n), &m_defDir, [this](int owner) { m_defOwner = owner; },
        [this](const QDomElement &e) {
            if (e.tagName() != QLatin1String("InstList"))
                return;
            const QHash<QString, QTreeWidgetItem *> rows =
                m_memberRows.value(e.attribute(QStringLiteral("FileID")).toInt());
            for (QDomElement l = e.firstChildElement(QStringLiteral("LModel")); !l.isNull();
                 l = l.nextSiblingElement(QStringLiteral("LModel"))) {
                QTreeWidgetItem *member = rows.value(l.attribute(QStringLiteral("User")) + QLatin1Char(':') +
                                                     l.attribute(QStringLiteral("ID")));
                if (!member)
                    continue;
                member->setCheckState(3, Qt::Checked);
                for (QDomElement i = l.firstChildElement(QStringLiteral("LInstance")); !i.isNull();
                     i = i.nextSiblingElement(QStringLiteral("LInstance"))) {
                    for (int k = 0; k < member->childCount(); ++k) {
                        if (member->child(k)->text(4) == i.attribute(QStringLiteral("ID")))
                            member->child(k)->setCheckState(4, Qt::Checked);
                    }
                }
            }
        });
}

bool OutMenuDiag::readRefSelection(int n)
{
    return readSelection(
        RefIndex(n), refPath(n), &m_refDir,
        [this](int owner) { m_refSelIndex = qMax(0, m_ui->SELCBX->findData(owner)); },
        [this](const QDomElement &e) {
            if (e.tagName() != QLatin1String("FileList"))
                return;
            for (QDomElement f = e.firstChildElement(QStringLiteral("File")); !f.isNull();
                 f = f.nextSiblingElement(QStringLiteral("File"))) {
                m_storedNames.append(f.attribute(QStringLiteral("fname")));
                m_storedKeys.append(f.attribute(QStringLiteral("instID")));
            }
        });
}

bool OutMenuDiag::readSelection(int index, const QString &path, QString *outDir,
                                const std::function<void(int)> &owner,
                                const std::function<void(const QDomElement &)> &other)
{
    const QDomElement root = storedRoot(index);
    if (root.isNull())
        return false;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (e.tagName() == QLatin1String("OutDir") && !e.attribute(QStringLiteral("dir")).isEmpty())
            takeOutDir(e.attribute(QStringLiteral("dir")), path, outDir);
        else if (e.tagName() == QLatin1String("SELECT"))
            owner(e.attribute(QStringLiteral("owner"), QStringLiteral("-1")).toInt());
        else
            other(e);
    }
    return true;
}

void OutMenuDiag::applyRefSelection()
{
    for (int i = 0; i < m_storedNames.size(); ++i) {
        QTreeWidgetItem *head = m_heads.value(m_storedNames.at(i));
        QTreeWidgetItem *row = head;
        while (row) {
            if (row->data(3, Qt::UserRole).toString() == m_storedKeys.at(i)) {
                row->setCheckState(5, Qt::Checked);
                break;
            }
            row = nextInRing(row);
            if (row == head)
                break;
        }
    }
}

QDomDocument OutMenuDiag::builtDefSelection() const
{
    QDomDocument built;
    QDomElement root = built.createElement(QStringLiteral("Root_DefOutput"));
    built.appendChild(root);
    child(&built, root, QStringLiteral("OutDir")).setAttribute(QStringLiteral("dir"), m_defDir);
    child(&built, root, QStringLiteral("SELECT"))
        .setAttribute(QStringLiteral("owner"), QString::number(m_ui->SELCBX->currentData().toInt()));
    for (int i = 0; i < m_ui->DTREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *file = m_ui->DTREE->topLevelItem(i);
        QDomElement list = child(&built, root, QStringLiteral("InstList"));
        list.setAttribute(QStringLiteral("FileID"), QString::number(file->data(1, Qt::UserRole).toInt()));
        forCheckedMembers(file, [&](QTreeWidgetItem *lclass, QTreeWidgetItem *member) {
            QDomElement l = child(&built, list, QStringLiteral("LModel"));
            l.setAttribute(QStringLiteral("ID"), QString::number(lclass->data(0, Qt::UserRole).toInt()));
            l.setAttribute(QStringLiteral("User"), QString::number(member->data(0, Qt::UserRole).toInt()));
            for (int m = 0; m < member->childCount(); ++m) {
                if (member->child(m)->checkState(4) == Qt::Checked)
                    child(&built, l, QStringLiteral("LInstance"))
                        .setAttribute(QStringLiteral("ID"), member->child(m)->text(4));
            }
        });
    }
    return built;
}

QDomDocument OutMenuDiag::builtRefSelection() const
{
    QDomDocument built;
    QDomElement root = built.createElement(QStringLiteral("Root_RefOutput"));
    built.appendChild(root);
    child(&built, root, QStringLiteral("OutDir")).setAttribute(QStringLiteral("dir"), m_refDir);
    QDomElement check = child(&built, root, QStringLiteral("CHECK"));
    check.setAttribute(QStringLiteral("def"), m_ui->DEF_CHECK->isChecked() ? "y" : "n");
    check.setAttribute(QStringLiteral("ref"), m_ui->REF_CHECK->isChecked() ? "y" : "n");
    child(&built, root, QStringLiteral("SELECT"))
        .setAttribute(QStringLiteral("owner"), QString::number(m_ui->SELCBX->currentData().toInt()));
    child(&built, root, QStringLiteral("EXTENSION"))
        .setAttribute(QStringLiteral("ext"), m_ui->EXTENSION->text());
    QDomElement list = child(&built, root, QStringLiteral("FileList"));
    std::function<void(QTreeWidgetItem *)> walk = [&](QTreeWidgetItem *row) {
        if (row->data(4, Qt::UserRole).toInt() == 4 && row->checkState(5) == Qt::Checked) {
            QDomElement f = child(&built, list, QStringLiteral("File"));
            f.setAttribute(QStringLiteral("fname"), row->text(5));
            f.setAttribute(QStringLiteral("instID"), row->data(3, Qt::UserRole).toString());
        }
        for (int i = 0; i < row->childCount(); ++i)
            walk(row->child(i));
    };
    for (int i = 0; i < m_ui->TREE->topLevelItemCount(); ++i)
        walk(m_ui->TREE->topLevelItem(i));
    return built;
}

// What the dialog would write for the selections as read: a save that would write the same has
// nothing to write, and an entry the trees no longer show (a file or member that is gone) stays.
void OutMenuDiag::noteStoredSelections()
{
    m_refStored = m_refRead ? builtRefSelection().toByteArray() : QByteArray();
    m_defStored = m_defRead && m_ui->TAB->isTabEnabled(1) ? builtDefSelection().toByteArray() : QByteArray();
}

// A file that did not read when it was opened is written over only once it reads again (or is
// gone): until then the save is refused, and said so.
bool OutMenuDiag::refusedSave(int index, const QString &path, int n, int *open)
{
    if (!m_unread.contains(index))
        return false;
    QString reason;
    if (readSelectionFile(index, path, &reason))
        *open = n;
    if (reason.isEmpty()) {
        m_unread.remove(index);
        return false;
    }
    UiReport::Fatal(tr("File error"), TextFiles::NotWrittenOver(path));
    SetBoolVar(RegSlot::FlagWriteFailed, true);
    return true;
}

bool OutMenuDiag::writeSelection(bool def, const QDomDocument &built)
{
    const int n = currentMember();
    const int index = def ? DefIndex(n) : RefIndex(n);
    const QString path = def ? defPath(n) : refPath(n);
    QByteArray *stored = def ? &m_defStored : &m_refStored;
    const QByteArray bytes = built.toByteArray();
    if (!stored->isEmpty() && bytes == *stored)
        return true;
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store || refusedSave(index, path, n, def ? &m_openDef : &m_openRef))
        return false;
    QList<QDomNode> old;
    QDomDocument *doc = SelectionFile::Emptied(store, index, rootTag(index), &old);
    QDomElement root = doc->documentElement();
    for (QDomNode c = built.documentElement().firstChild(); !c.isNull(); c = c.nextSibling())
        root.appendChild(doc->importNode(c, true));
    SelectionFile::KeepUnknown(root, old);
    if (!store->SaveXmlDocAs(path, index))
        return false;
    *stored = bytes;
    return true;
}

bool OutMenuDiag::saveDefSelection()
{
    return writeSelection(true, builtDefSelection());
}

bool OutMenuDiag::saveRefSelection()
{
    if (m_ui->DUP->isVisible()) {
        m_candidates.clear();
        m_dupNames.clear();
        m_ui->DUP->hide();
    }
    return writeSelection(false, builtRefSelection());
}

void OutMenuDiag::closeSelections()
{
    if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore)) {
        if (m_openRef >= 0)
            store->CloseXmlDoc(RefIndex(m_openRef));
        if (m_openDef >= 0)
            store->CloseXmlDoc(DefIndex(m_openDef));
    }
    m_openRef = m_openDef = -1;
}

void OutMenuDiag::buildDefinitionSelection()
{
    m_selection.clear();
    for (int i = 0; i < m_ui->DTREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *file = m_ui->DTREE->topLevelItem(i);
        FileSelection &selection = m_selection[file->data(1, Qt::UserRole).toInt()];
        selection.clear();
        forCheckedMembers(file, [&](QTreeWidgetItem *lclass, QTreeWidgetItem *member) {
            for (int m = 0; m < member->childCount(); ++m) {
                if (member->child(m)->checkState(4) == Qt::Checked)
                    selection.insert(lclass->data(0, Qt::UserRole).toInt(), member->child(m)->text(4).mid(1));
            }
        });
    }
}

// ---- slots ----

void OutMenuDiag::RefProc()
{
    const QString start = m_ui->DIR->text().isEmpty() ? QDir::currentPath() : m_ui->DIR->text();
    const QString dir = QFileDialog::getExistingDirectory(this, tr("Output Directory"), start);
    if (dir.isEmpty())
        return;
    (m_dirPage != 0 ? m_defDir : m_refDir) = dir;
    m_ui->DIR->setText(dir);
    m_ui->MSG->clear();
}

void OutMenuDiag::ReloadProc()
{
    uncheckReferenceRows();
    m_storedNames.clear();
    m_storedKeys.clear();
    const int n = currentMember();
    if (m_refRead)
        readRefSelection(n);
    if (m_defRead)
        readDefSelection(n);
    applyRefSelection();
}

void OutMenuDiag::ExpansionProc()
{
    autoSelect(true);
}

void OutMenuDiag::UserCbxProc(int index)
{
    if (GetBoolVar(RegSlot::FlagBusy))
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    const int n = m_ui->USERCBX->itemData(index).toInt();
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (store && m_openRef >= 0)
        store->CloseXmlDoc(RefIndex(m_openRef));
    m_openRef = -1;
    uncheckReferenceRows();
    m_storedNames.clear();
    m_storedKeys.clear();
    loadRefSelection(n);
    applyRefSelection();
    if (m_ui->TAB->isTabEnabled(1)) {
        if (store && m_openDef >= 0)
            store->CloseXmlDoc(DefIndex(m_openDef));
        m_openDef = -1;
        uncheckMembers();
        loadDefSelection(n);
    }
    noteStoredSelections();
    SetBoolVar(RegSlot::FlagBusy, false);
}

void OutMenuDiag::ClearProc()
{
    if (m_ui->TAB->currentIndex() == 0) {
        uncheckReferenceRows();
        autoSelect(false);
    } else {
        uncheckMembers();
        checkOwnMembers(currentMember());
    }
}

// Both files changed by another program are asked about in one question.
QPair<bool, bool> OutMenuDiag::saveSelections(bool reference, bool definition)
{
    SaveConflict::Batch conflicts;
    QPair<bool, bool> saved;
    do {
        saved = {reference && saveRefSelection(), definition && saveDefSelection()};
    } while (conflicts.Ask());
    return saved;
}

void OutMenuDiag::SaveProc()
{
    const auto [refSaved, defSaved] = saveSelections(true, m_ui->TAB->isTabEnabled(1));
    // Reload puts back what is stored: only a page whose selection is stored may offer it.
    if (m_ui->TAB->currentIndex() != 0 ? defSaved : refSaved) {
        (m_ui->TAB->currentIndex() != 0 ? m_defRead : m_refRead) = true;
        m_ui->RELOAD->setEnabled(true);
    }
}

void OutMenuDiag::TabChanged(int index)
{
    if (GetBoolVar(RegSlot::FlagBusy))
        return;
    QTabBar *bar = m_ui->TAB->tabBar();
    const bool reference = index == 0;
    bar->setTabTextColor(0, reference ? Qt::white : QColor("#00dd00"));
    if (!reference)
        bar->setTabTextColor(1, Qt::white);
    else if (m_ui->TAB->isTabEnabled(1))
        bar->setTabTextColor(1, QColor("#00dd00"));
    for (QWidget *w : {static_cast<QWidget *>(m_ui->SEL_LABEL), static_cast<QWidget *>(m_ui->SELCBX),
                       static_cast<QWidget *>(m_ui->EXT_TEXT), static_cast<QWidget *>(m_ui->EXTENSION),
                       static_cast<QWidget *>(m_ui->EXPANSION), static_cast<QWidget *>(m_ui->DUP)})
        w->setVisible(reference);
    m_dirPage = reference ? 0 : 1;
    if (reference) {
        ItemTreeChanged(m_ui->TREE->currentItem(), nullptr);
        m_ui->DIR->setText(m_refDir);
        m_ui->SELCBX->setCurrentIndex(m_refSelIndex);
    } else {
        m_ui->DIR->setText(m_defDir);
        m_ui->SELCBX->setCurrentIndex(m_ui->SELCBX->findData(m_defOwner));
    }
    m_ui->RELOAD->setEnabled(reference ? m_refRead : m_defRead);
}

void OutMenuDiag::CancelProc()
{
    closeSelections();
    m_ui->MSG->clear();
    reject();
}

void OutMenuDiag::closeEvent(QCloseEvent *event)
{
    closeSelections();
    m_ui->MSG->clear();
    QDialog::closeEvent(event);
}

void OutMenuDiag::OutputProc()
{
    const QString dir = m_ui->DIR->text();
    const bool reference = m_ui->REF_CHECK->isChecked();
    const bool definition = m_ui->DEF_CHECK->isChecked();
    if (!reference && !definition)
        return setMessage(tr("both output is not checked"));
    // Both outputs go to the one folder shown, the folder of the page it was shown for: the
    // message names that page's folder, whichever output asks for it.
    const bool shownForDefinition = m_dirPage != 0;
    if (dir.isEmpty())
        return setMessage(shownForDefinition ? tr("pattern output directory is not selected")
                                             : tr("reference output directory is not selected"));
    if (!QFileInfo(dir).isDir())
        return setMessage(shownForDefinition ? tr("pattern output directory is not exist")
                                             : tr("reference output directory is not exist"));
    // Only a run that goes ahead takes the folder for both pages: a refused one keeps each page's.
    m_defDir = m_refDir = dir;
    const int page = m_ui->TAB->currentIndex();
    // A selection that is not saved (a damaged file kept) does not stop the run: it was said.
    const auto [refSaved, defSaved] = saveSelections(reference, definition);
    if (page == 0 ? refSaved : defSaved)
        m_ui->RELOAD->setEnabled(true);
    auto *outputs = GetObj<outdef>(RegSlot::ObjOutdef);
    m_progress->ResetProgress();
    if (definition && outputs) {
        // The values the instance tab shows, also those typed into its table and not yet taken.
        if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
            tab->CommitValueTable();
        buildDefinitionSelection();
        outputs->SetOutputList(&m_selection);
        FileOutProgress *progress = m_progress;
        outputs->GenerateFiles(OutputGenerator::Run, [progress](int done, int total) {
            return progress->GenerateStep(done, total);
        });
        outputs->SetOutputList(nullptr);
        m_selection.clear();
        if (m_progress->Cancelled()) {
            m_progress->hide();
            closeSelections();
            m_ui->MSG->clear();
            return accept();
        }
    }
    if (definition && outputs) {
        if (outputs->GetGeneratedList().isEmpty() && !reference) {
            m_progress->hide();
            return setMessage(tr("file of output is not empty"));
        }
        m_progress->SetOutputFiles(dir, &outputs->GetGeneratedList());
    } else {
        m_progress->SetOutputFiles(dir, nullptr);
    }
    if (!m_progress->StartOutput(definition, reference, dir, &m_heads)) {
        m_progress->hide();
        return setMessage(tr("file of output is not empty"));
    }
    closeSelections();
    m_ui->MSG->clear();
    accept();
}
