#include "output/outmenudiag.h"

#include "core/defvar.h"
#include "core/safefile.h"
#include "core/treeitemdata.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "members/memberinfo.h"
#include "members/userinf.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "outdef/outrecords.h"
#include "ui_outmenudiag.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QTabBar>
#include <QTreeWidget>

namespace
{
// Kinds of reference-tree rows, in column 4 under Qt::UserRole.
enum RowKind { MemberRow = 0, LclassRow = 1, SclassRow = 2, FilesRow = 3, FileRow = 4 };

QVariant pointer(void *p)
{
    return QVariant::fromValue(p);
}

QTreeWidgetItem *nextInRing(const QTreeWidgetItem *row)
{
    return static_cast<QTreeWidgetItem *>(row->data(5, Qt::UserRole).value<void *>());
}

int scopeClass(const TreeItemData *record)
{
    const int scope = record ? record->GetAttr(QStringLiteral("SCOPE")).toInt() : 2;
    return scope == 0 || scope == 1 ? scope : 2;
}

QString keyOf(const TreeItemData *record)
{
    return record->name + QLatin1Char('-') + record->GetAttr(QStringLiteral("ID"));
}
} // namespace

OutMenuDiag::OutMenuDiag(QWidget *parent)
    : QDialog(parent), m_ui(new Ui::OutMenuDiag), m_progress(new FileOutProgress(this))
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const SharedIcon::Id headers[6] = {SharedIcon::TblUser, SharedIcon::TblL,  SharedIcon::TblS,
                                       SharedIcon::TblV,    SharedIcon::TblId, SharedIcon::TblF};
    for (int i = 0; i < 6; ++i)
        m_ui->TREE->headerItem()->setIcon(i, SharedIcon::Get(headers[i]));
    m_ui->TREE->header()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: #666666; color: #FFFFFF }"));
    m_ui->TAB->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    m_ui->TAB->tabBar()->setTabTextColor(0, Qt::white);
    m_ui->DUP->setEnabled(false);
    m_ui->MSG->clear();
    connect(m_ui->REF, &QPushButton::clicked, this, &OutMenuDiag::RefProc);
    connect(m_ui->RELOAD, &QPushButton::clicked, this, &OutMenuDiag::ReloadProc);
    connect(m_ui->EXPANSION, &QPushButton::clicked, this, &OutMenuDiag::ExpansionProc);
    connect(m_ui->USERCBX, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &OutMenuDiag::UserCbxProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &OutMenuDiag::CancelProc);
    connect(m_ui->OUTPUT, &QPushButton::clicked, this, &OutMenuDiag::OutputProc);
    connect(m_ui->CLEAR, &QPushButton::clicked, this, &OutMenuDiag::ClearProc);
    connect(m_ui->SAVE, &QPushButton::clicked, this, &OutMenuDiag::SaveProc);
    connect(m_ui->DUP, &QPushButton::clicked, this, &OutMenuDiag::DupProc);
    connect(m_ui->TREE, &QTreeWidget::itemDoubleClicked, this, &OutMenuDiag::DupItemChange);
    connect(m_ui->TREE, &QTreeWidget::itemChanged, this, &OutMenuDiag::ItemChanged);
    connect(m_ui->TREE, &QTreeWidget::currentItemChanged, this, &OutMenuDiag::ItemTreeChanged);
    connect(m_ui->DTREE, &QTreeWidget::itemChanged, this, &OutMenuDiag::DItemChanged);
    connect(m_ui->TAB, &QTabWidget::currentChanged, this, &OutMenuDiag::TabChanged);
}

OutMenuDiag::~OutMenuDiag()
{
    delete m_ui;
}

bool OutMenuDiag::InitOutMenu(bool definitionFirst)
{
    SetBoolVar(RegSlot::FlagBusy, true);
    m_defRead = m_refRead = false;
    m_refSelIndex = 0;
    m_refDir.clear();
    m_defDir.clear();
    m_memberRows.clear();
    m_ui->USERCBX->clear();
    m_ui->RELOAD->setEnabled(false);
    m_ui->DIR->clear();
    m_ui->MSG->clear();
    m_ui->SELCBX->clear();
    m_ui->REF_CHECK->setChecked(false);
    m_ui->DEF_CHECK->setChecked(false);
    m_ui->EXTENSION->clear();
    m_ui->TREE->clear();
    m_ui->DTREE->clear();
    m_heads.clear();
    m_storedNames.clear();
    m_storedKeys.clear();
    m_ui->SELCBX->addItem(tr("Global"), -1);
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    QTreeWidget *users = tab ? tab->GetUserTree() : nullptr;
    for (int i = 0; users && table && i < users->topLevelItemCount(); ++i) {
        const int n = users->topLevelItem(i)->data(1, Qt::UserRole).toInt();
        const MemberInfo *m = table->value(n);
        if (!m)
            continue;
        if (m->OtherUser == 0)
            m_ui->USERCBX->addItem(m->Name, n);
        m_ui->SELCBX->addItem(tr("Global + Local(") + m->Name + tr(")"), n);
    }
    if (!users || users->topLevelItemCount() == 0 || m_ui->USERCBX->count() == 0) {
        SetBoolVar(RegSlot::FlagBusy, false);
        return false;
    }
    fillReferenceTree();
    const int n = currentMember();
    loadRefSelection(n);
    applyRefSelection();
    const bool definition = GetIntVar(RegSlot::IntDocKind) == 4;
    if (definition) {
        fillDefinitionTree();
        loadDefSelection(n);
    }
    m_ui->TAB->setTabEnabled(1, definition);
    m_ui->TAB->tabBar()->setTabTextColor(1, QColor(definition ? "#00dd00" : "#666666"));
    m_ui->DEF_CHECK->setEnabled(definition);
    SetBoolVar(RegSlot::FlagBusy, false);
    TabChanged(definitionFirst ? 1 : 0);
    noteStoredSelections();
    return true;
}

int OutMenuDiag::currentMember() const
{
    return m_ui->USERCBX->currentData().toInt();
}

QString OutMenuDiag::memberOutDir(int n) const
{
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    const MemberInfo *m = table ? table->value(n) : nullptr;
    if (!m)
        return QString();
    return m->Page ? m->Page->OutDir() : m->OutDir;
}

void OutMenuDiag::setMessage(const QString &text)
{
    m_ui->MSG->setText(text);
}

// ---- the reference tree ----

void OutMenuDiag::fillReferenceTree()
{
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    QTreeWidget *users = tab->GetUserTree();
    for (int i = 0; i < users->topLevelItemCount(); ++i) {
        QTreeWidgetItem *user = users->topLevelItem(i);
        auto *member = new QTreeWidgetItem;
        member->setText(0, user->text(0));
        member->setText(4, user->text(5));
        member->setData(4, Qt::UserRole, MemberRow);
        if (const MemberInfo *m = table ? table->value(user->data(1, Qt::UserRole).toInt()) : nullptr)
            member->setIcon(0, SharedIcon::Get(m->OtherUser == 0 ? SharedIcon::User : SharedIcon::Other));
        for (int j = 0; j < user->childCount(); ++j) {
            QTreeWidgetItem *element = user->child(j);
            const TreeItemData *record = deftab::RecordOf(element);
            if (!record)
                continue;
            const int scope = scopeClass(record);
            const QString key = keyOf(record);
            auto *lclass = new QTreeWidgetItem(member);
            for (int c : {1, 3, 4})
                lclass->setText(c, element->text(c == 1 ? 1 : c + 1));
            lclass->setData(0, Qt::UserRole, scope);
            lclass->setData(3, Qt::UserRole, key);
            lclass->setData(4, Qt::UserRole, LclassRow);
            lclass->setIcon(0, SharedIcon::Get(SharedIcon::Lclass));
            const SharedIcon::Id scopeIcons[3] = {SharedIcon::Global, SharedIcon::Local, SharedIcon::None};
            lclass->setIcon(1, SharedIcon::Get(scopeIcons[scope]));
            if (scope != 2) {
                auto *files = new QTreeWidgetItem(lclass);
                files->setData(3, Qt::UserRole, key);
                files->setData(4, Qt::UserRole, FilesRow);
                files->setIcon(0, SharedIcon::Get(SharedIcon::GroupFile));
                addReferenceFiles(files, key, scope);
            }
            for (int k = 0; k < element->childCount(); ++k) {
                const TreeItemData *srec = deftab::RecordOf(element->child(k));
                if (!srec)
                    continue;
                const int sscope = scopeClass(srec);
                auto *sclass = new QTreeWidgetItem(lclass);
                for (int c : {2, 3, 4})
                    sclass->setText(c, element->child(k)->text(c == 2 ? 2 : c + 1));
                sclass->setData(0, Qt::UserRole, sscope);
                sclass->setData(3, Qt::UserRole, keyOf(srec));
                sclass->setData(4, Qt::UserRole, SclassRow);
                sclass->setIcon(0, SharedIcon::Get(SharedIcon::Sclass));
                sclass->setIcon(1, SharedIcon::Get(scopeIcons[sscope]));
                if (sscope != 2)
                    addReferenceFiles(sclass, keyOf(srec), sscope);
            }
        }
        m_ui->TREE->addTopLevelItem(member);
    }
}

void OutMenuDiag::addReferenceFiles(QTreeWidgetItem *parent, const QString &key, int scope)
{
    const QString folder = GetStrVar(RegSlot::StrInstanceDir) + QStringLiteral("/REFERENCE/") +
                           key.section(QLatin1Char('-'), 0, 0) + QLatin1Char('/') +
                           key.section(QLatin1Char('-'), 1);
    const QDir dir(folder);
    if (!dir.exists())
        return;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted)) {
        // A copy killed half-way leaves its temporary: it is not a reference file.
        if (SafeFile::IsTemporary(name))
            continue;
        auto *row = new QTreeWidgetItem(parent);
        row->setText(5, name);
        row->setData(0, Qt::UserRole, key.section(QLatin1Char('-'), 0, 0).toInt());
        row->setData(2, Qt::UserRole, scope);
        row->setData(3, Qt::UserRole, key);
        row->setData(4, Qt::UserRole, FileRow);
        row->setIcon(0, SharedIcon::Get(SharedIcon::File));
        row->setCheckState(5, Qt::Unchecked);
        joinRing(row);
    }
}

void OutMenuDiag::joinRing(QTreeWidgetItem *row)
{
    QTreeWidgetItem *head = m_heads.value(row->text(5));
    if (!head) {
        m_heads.insert(row->text(5), row);
        return;
    }
    QTreeWidgetItem *last = head;
    while (nextInRing(last) && nextInRing(last) != head)
        last = nextInRing(last);
    last->setData(5, Qt::UserRole, pointer(row));
    row->setData(5, Qt::UserRole, pointer(head));
    for (QTreeWidgetItem *r : {head, row})
        r->setIcon(2, SharedIcon::Get(SharedIcon::Double));
}

QRegularExpression OutMenuDiag::ExtensionPattern(const QString &text)
{
    QStringList parts;
    for (const QString &part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        parts << QRegularExpression::escape(part);
    // Only separators: an empty alternative, which no name passes.
    if (parts.isEmpty())
        return QRegularExpression(QStringLiteral("(?!)"));
    // Word boundaries around "c++" would never match: the dot and the end of the name anchor each
    // part instead, which is the same for extensions of letters and digits.
    return QRegularExpression(QStringLiteral("\\.(") + parts.join(QLatin1Char('|')) + QStringLiteral(")$"));
}

void OutMenuDiag::autoSelect(bool filter)
{
    m_dupNames.clear();
    m_candidates.clear();
    const int s = m_ui->SELCBX->currentData().toInt();
    const bool usePattern = filter && !m_ui->EXTENSION->text().isEmpty();
    const QRegularExpression pattern =
        usePattern ? ExtensionPattern(m_ui->EXTENSION->text()) : QRegularExpression();
    for (auto it = m_heads.cbegin(); it != m_heads.cend(); ++it) {
        if (usePattern && !pattern.match(it.key()).hasMatch())
            continue;
        QList<QTreeWidgetItem *> &list = m_candidates[it.key()];
        QTreeWidgetItem *row = it.value();
        do {
            const int scope = row->data(2, Qt::UserRole).toInt();
            if (scope == 0 || (s != -1 && scope == 1 && row->data(0, Qt::UserRole).toInt() == s))
                list.append(row);
            row = nextInRing(row);
        } while (row && row != it.value());
        const bool own = std::any_of(list.cbegin(), list.cend(), [s](QTreeWidgetItem *r) {
            return r->data(0, Qt::UserRole).toInt() == s;
        });
        if (list.size() >= 2 && s != -1 && own) {
            list.erase(
                std::remove_if(list.begin(), list.end(),
                               [](QTreeWidgetItem *r) { return r->data(2, Qt::UserRole).toInt() == 0; }),
                list.end());
        }
        if (list.size() > 1)
            m_dupNames.append(it.key());
    }
    if (!m_dupNames.isEmpty())
        m_ui->DUP->setVisible(true);
    uncheckReferenceRows();
    for (const QList<QTreeWidgetItem *> &list : qAsConst(m_candidates)) {
        if (list.size() == 1)
            list.first()->setCheckState(5, Qt::Checked);
    }
}

void OutMenuDiag::uncheckReferenceRows()
{
    m_guard = true;
    for (QTreeWidgetItem *head : qAsConst(m_heads)) {
        QTreeWidgetItem *row = head;
        do {
            row->setCheckState(5, Qt::Unchecked);
            row = nextInRing(row);
        } while (row && row != head);
    }
    m_guard = false;
}

void OutMenuDiag::ItemChanged(QTreeWidgetItem *item, int col)
{
    if (col != 5 || m_guard || item->checkState(5) != Qt::Checked)
        return;
    m_guard = true;
    for (QTreeWidgetItem *row = nextInRing(item); row && row != item; row = nextInRing(row)) {
        if (row->checkState(5) == Qt::Checked)
            row->setCheckState(5, Qt::Unchecked);
    }
    m_guard = false;
}

void OutMenuDiag::moveInRing()
{
    QTreeWidgetItem *cur = m_ui->TREE->currentItem();
    if (cur && cur->data(4, Qt::UserRole).toInt() == FileRow && nextInRing(cur))
        m_ui->TREE->setCurrentItem(nextInRing(cur));
}

void OutMenuDiag::DupProc()
{
    moveInRing();
}

void OutMenuDiag::DupItemChange(QTreeWidgetItem *item, int)
{
    if (item && item->data(4, Qt::UserRole).toInt() == FileRow) {
        m_ui->TREE->setCurrentItem(item);
        moveInRing();
    }
}

void OutMenuDiag::ItemTreeChanged(QTreeWidgetItem *cur, QTreeWidgetItem *)
{
    m_ui->DUP->setEnabled(cur && cur->data(4, Qt::UserRole).toInt() == FileRow && nextInRing(cur));
}

// ---- the definition tree ----

void OutMenuDiag::fillDefinitionTree()
{
    auto *page = GetObj<outdef>(RegSlot::ObjOutdef);
    auto *mdl = GetObj<model>(RegSlot::ObjModel);
    auto *mgr = GetObj<manager>(RegSlot::ObjManager);
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    if (!page || !mdl || !tab)
        return;
    QTreeWidget *files = page->GetFileTree();
    QList<QTreeWidgetItem *> memberRows;
    if (QTreeWidget *members = mgr ? mgr->GetTree() : nullptr) {
        for (int i = 0; i < members->topLevelItemCount(); ++i) {
            memberRows.append(members->topLevelItem(i));
            for (int j = 0; j < members->topLevelItem(i)->childCount(); ++j)
                memberRows.append(members->topLevelItem(i)->child(j));
        }
    }
    for (int i = 0; i < files->topLevelItemCount(); ++i) {
        QTreeWidgetItem *fileRow = files->topLevelItem(i);
        const int number = fileRow->data(2, Qt::UserRole).toInt();
        auto *file = new QTreeWidgetItem(m_ui->DTREE);
        file->setText(0, fileRow->text(0));
        file->setData(0, Qt::UserRole, 4);
        file->setData(1, Qt::UserRole, number);
        QList<int> ids;
        if (page->IsCurrentFileItem(fileRow)) {
            QTreeWidget *current = page->GetCurrentTree();
            for (int k = 0; k < current->topLevelItemCount(); ++k)
                ids.append(current->topLevelItem(k)->data(Scope::Id, Qt::UserRole).toInt());
        } else if (const FileRecord *record = page->FindFile(number)) {
            ids = record->vars;
        }
        QHash<QString, QTreeWidgetItem *> &rows = m_memberRows[number];
        for (int id : qAsConst(ids)) {
            const QTreeWidgetItem *classRow = mdl->FindItem(QString::number(id));
            if (!classRow)
                continue;
            auto *lclass = new QTreeWidgetItem(file);
            lclass->setText(1, classRow->text(0));
            lclass->setText(2, classRow->text(3));
            lclass->setText(4, classRow->text(4));
            lclass->setData(0, Qt::UserRole, id);
            lclass->setIcon(0, SharedIcon::Get(SharedIcon::Lclass));
            for (const QTreeWidgetItem *m : qAsConst(memberRows)) {
                const int n = m->data(0, Qt::UserRole).toInt();
                auto *member = new QTreeWidgetItem(lclass);
                member->setText(3, m->text(0));
                member->setData(0, Qt::UserRole, n);
                member->setIcon(0, m->icon(0));
                member->setCheckState(3, Qt::Unchecked);
                rows.insert(QString::number(n) + QLatin1Char(':') + QString::number(id), member);
            }
            for (QTreeWidgetItem *element : tab->GetUserDataHash().value(QString::number(id))) {
                TreeItemData *record = deftab::RecordOf(element);
                QTreeWidgetItem *member =
                    record
                        ? rows.value(record->name + QLatin1Char(':') + record->GetAttr(QStringLiteral("MID")))
                        : nullptr;
                if (!member)
                    continue;
                auto *instance = new QTreeWidgetItem(member);
                instance->setText(1, record->GetAttr(QStringLiteral("Name")));
                instance->setText(2, record->GetAttr(QStringLiteral("Element")));
                instance->setText(4, QStringLiteral("I") + keyOf(record));
                instance->setData(0, Qt::UserRole, 1);
                instance->setData(4, Qt::UserRole, pointer(record));
                instance->setIcon(1, SharedIcon::Get(SharedIcon::Lclass));
                instance->setCheckState(4, Qt::Unchecked);
            }
        }
    }
}

void OutMenuDiag::checkMember(QTreeWidgetItem *member, bool on)
{
    m_guard = true;
    member->setCheckState(3, on ? Qt::Checked : Qt::Unchecked);
    for (int i = 0; i < member->childCount(); ++i)
        member->child(i)->setCheckState(4, on ? Qt::Checked : Qt::Unchecked);
    m_guard = false;
}

void OutMenuDiag::DItemChanged(QTreeWidgetItem *item, int col)
{
    if (GetBoolVar(RegSlot::FlagBusy) || col != 3)
        return;
    if (m_guard) {
        m_guard = false;
        return;
    }
    QTreeWidgetItem *lclass = item->parent();
    if (!lclass)
        return;
    const bool on = item->checkState(3) == Qt::Checked;
    checkMember(item, on);
    for (int i = 0; i < lclass->childCount(); ++i) {
        QTreeWidgetItem *other = lclass->child(i);
        if (other == item)
            continue;
        if (!on) {
            checkMember(other, true);
            break;
        }
        if (other->checkState(3) == Qt::Checked)
            checkMember(other, false);
    }
}

void OutMenuDiag::uncheckMembers()
{
    for (int i = 0; i < m_ui->DTREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *file = m_ui->DTREE->topLevelItem(i);
        for (int j = 0; j < file->childCount(); ++j) {
            for (int k = 0; k < file->child(j)->childCount(); ++k) {
                if (file->child(j)->child(k)->checkState(3) == Qt::Checked)
                    checkMember(file->child(j)->child(k), false);
            }
        }
    }
}

void OutMenuDiag::checkOwnMembers(int n)
{
    for (int i = 0; i < m_ui->DTREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *file = m_ui->DTREE->topLevelItem(i);
        for (int j = 0; j < file->childCount(); ++j) {
            for (int k = 0; k < file->child(j)->childCount(); ++k) {
                if (file->child(j)->child(k)->data(0, Qt::UserRole).toInt() == n)
                    checkMember(file->child(j)->child(k), true);
            }
        }
    }
}
