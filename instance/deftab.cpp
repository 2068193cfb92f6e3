#include "instance/deftab.h"

#include "core/defvar.h"
#include "core/postbox.h"
#include "core/treeitemdata.h"
#include "docs/instancedocument.h"
#include "instance/classinstanceindex.h"
#include "instance/instancepanes.h"
#include "instance/valuetable.h"
#include "members/memberinfo.h"
#include "model/elementlayout.h"
#include "model/model.h"
#include "shell/numeditor.h"
#include "ui_deftab.h"

#include <QMenu>
#include <QSplitter>
#include <QTabBar>
#include <QVBoxLayout>

namespace
{
const QString kGreyBar = QStringLiteral("background-color: #666666");
const QString kCaption = QStringLiteral("background-color: #666666;color: #FFFFFF");

void styleHeader(QTreeWidget *tree, std::initializer_list<SharedIcon::Id> icons)
{
    QTreeWidgetItem *header = tree->headerItem();
    int c = 0;
    for (SharedIcon::Id icon : icons) {
        header->setForeground(c, QColor(QStringLiteral("#FFFFFF")));
        header->setBackground(c, QColor(QStringLiteral("#666666")));
        header->setIcon(c++, SharedIcon::Get(icon));
    }
}
} // namespace

deftab::deftab(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::deftab), m_pageLayout(new QVBoxLayout), m_explain(new NumEditor),
      m_popup(new QMenu(this))
{
    qRegisterMetaType<QTreeWidgetItem *>();
    m_ui->setupUi(this);
    // The tab area installs this layout on its instance page, which takes the tab in with it.
    m_pageLayout->setContentsMargins(0, 0, 0, 0);
    m_pageLayout->addWidget(this);
    SetObj<QLayout>(RegSlot::ObjInstanceLayout, m_pageLayout.data());
    m_files.SetDir(GetStrVar(RegSlot::StrInstanceDir));

    m_ui->INSTTAB->tabBar()->setStyleSheet(kGreyBar);
    m_ui->INSTTAB->tabBar()->setTabTextColor(0, Qt::white);
    delete m_ui->INSTTAB->widget(1);
    delete m_ui->MODELTAB->widget(1);
    m_ui->MODELTAB->tabBar()->setStyleSheet(kGreyBar);
    m_ui->MODELTAB->tabBar()->setTabTextColor(0, Qt::white);

    QTreeWidget *users = m_ui->USERTREE;
    connect(users, &QTreeWidget::currentItemChanged, this, &deftab::UserTreeChanged);
    connect(users, &QTreeWidget::itemClicked, this, &deftab::UserTreeClicked);
    connect(users, &QTreeWidget::itemDoubleClicked, this, &deftab::UserDblTreeClicked);
    connect(users, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        if (!item->parent())
            EnsureMemberRows(item->data(1, Qt::UserRole).toInt());
    });
    connect(users, &QTreeWidget::expanded, this, &deftab::UserColumnAdjustment);
    connect(users, &QTreeWidget::collapsed, this, &deftab::UserColumnAdjustment);
    connect(users, &QWidget::customContextMenuRequested, this, &deftab::TreePopupMenu);
    QTreeWidget *models = m_ui->MODELTREE;
    connect(models, &QTreeWidget::expanded, this, &deftab::ModelColumnAdjustment);
    connect(models, &QTreeWidget::collapsed, this, &deftab::ModelColumnAdjustment);
    connect(models, &QTreeWidget::itemDoubleClicked, this, &deftab::ModelDblTreeClicked);

    const struct {
        const char *text;
        void (deftab::*slot)();
    } actions[4] = {{QT_TR_NOOP("Add Lclass"), &deftab::AddLclassInstance},
                    {QT_TR_NOOP("Delete Lclass"), &deftab::DelLclassInstance},
                    {QT_TR_NOOP("Add Sclass"), &deftab::AddSclassInstance},
                    {QT_TR_NOOP("Delete Sclass"), &deftab::DelSclassInstance}};
    for (int i = 0; i < 4; ++i) {
        m_popupActions[i] = m_popup->addAction(tr(actions[i].text));
        connect(m_popupActions[i], &QAction::triggered, this, actions[i].slot);
    }

    styleHeader(users, {SharedIcon::TblUser, SharedIcon::TblL, SharedIcon::TblS, SharedIcon::TblK,
                        SharedIcon::TblE, SharedIcon::TblId});
    styleHeader(models,
                {SharedIcon::TblL, SharedIcon::TblS, SharedIcon::TblK, SharedIcon::TblE, SharedIcon::TblId});

    m_lclassPane = new InstanceLclass;
    m_lclassPane->SetMemberTree(users);
    m_sclassPane = new InstanceSclass;
    m_valueTable = new ValueTable;
    QTabWidget *area = m_ui->CLASSTAB;
    while (area->count() > 0)
        delete area->widget(0);
    area->addTab(m_lclassPane, tr("Lclass"));
    area->addTab(m_sclassPane, tr("Sclass"));
    area->addTab(m_valueTable, tr("Param_data"));
    m_explainLabel = tr("explain");
    m_explainTab = area->addTab(m_explain, m_explainLabel);
    m_explain->SetKind(3);
    m_explain->SetEditItem(nullptr);
    m_explain->SetNumber(false);
    area->tabBar()->setStyleSheet(kGreyBar);
    setTabColours(-1);
    connect(area, &QTabWidget::currentChanged, this, &deftab::TabChangeProc);

    ResetClassArea();
    for (QLabel *label : {m_ui->SMNAME, m_ui->SIVERSION, m_ui->SINAME, m_ui->SMVERSION})
        label->setStyleSheet(kCaption);
}

deftab::~deftab()
{
    m_clearing = true;
    // The store, the member table and the model editor may be gone already: only the tab's own
    // rows are freed.
    clearUserTree(false);
    clearModelTree(false);
    if (GetObj<QLayout>(RegSlot::ObjInstanceLayout) == m_pageLayout.data())
        SetObj<QLayout>(RegSlot::ObjInstanceLayout, nullptr);
    if (m_pageLayout && !m_pageLayout->parent())
        delete m_pageLayout.data();
    delete m_ui;
}

int deftab::Level(const QTreeWidgetItem *item)
{
    int level = 0;
    for (const QTreeWidgetItem *p = item ? item->parent() : nullptr; p && level < 3; p = p->parent())
        ++level;
    return level;
}

TreeItemData *deftab::RecordOf(const QTreeWidgetItem *item)
{
    return item ? TreeItemData::FromData(item->data(0, Qt::UserRole)) : nullptr;
}

QTreeWidgetItem *deftab::LinkedRow(const QTreeWidgetItem *item, int column)
{
    return item ? static_cast<QTreeWidgetItem *>(item->data(column, Qt::UserRole).value<void *>()) : nullptr;
}

ClassInstanceIndex *deftab::ClassIndexOf(const QTreeWidgetItem *modelTreeRow)
{
    return modelTreeRow
               ? static_cast<ClassInstanceIndex *>(modelTreeRow->data(1, Qt::UserRole).value<void *>())
               : nullptr;
}

QString deftab::KeyOf(const TreeItemData *record, const QString &idAttr)
{
    return record ? record->name + QLatin1Char('-') + record->GetAttr(idAttr) : QString();
}

model *deftab::modelEditor() const
{
    return GetObj<model>(RegSlot::ObjModel);
}

MemberInfo *deftab::memberOf(int n) const
{
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    return table ? table->value(n) : nullptr;
}

QTreeWidgetItem *deftab::memberRowOf(QTreeWidgetItem *row) const
{
    while (row && row->parent())
        row = row->parent();
    return row;
}

bool deftab::IsWritableMember(int n) const
{
    const MemberInfo *m = memberOf(n);
    return m && m->OtherUser == 0 && !m->Deleted && !m_unreadMembers.contains(n);
}

QString deftab::GetReferencePath(const QString &a, const QString &b) const
{
    return GetStrVar(RegSlot::StrInstanceDir) + QStringLiteral("/REFERENCE/") + a + QLatin1Char('/') + b +
           QLatin1Char('/');
}

QString deftab::GetQuestionReferencePath(const QString &a, const QString &b) const
{
    return GetReferencePath(QStringLiteral("QUESTION/") + a, b);
}

QString deftab::GetAnswerReferencePath(const QString &a, const QString &b) const
{
    return GetReferencePath(QStringLiteral("ANSWER/") + a, b);
}

QString deftab::ReadInstanceCsv(TreeItemData *record, const QString &n, const QString &id) const
{
    return m_files.ReadInstanceCsv(record, n, id);
}

QString deftab::ReadInstancePos(TreeItemData *record, const QString &n, const QString &id) const
{
    return m_files.ReadInstancePos(record, n, id);
}

void deftab::SetInstanceDir(const QString &dir)
{
    m_files.SetDir(dir);
}

void deftab::SetTitleFields()
{
    m_ui->INSTNAME->setText(GetStrVar(RegSlot::StrInstanceName));
    m_ui->INSTVERSION->setText(GetStrVar(RegSlot::StrInstanceVersion));
    m_ui->MODELNAME->setText(GetStrVar(RegSlot::StrModelName));
    m_ui->MODELVERSION->setText(GetStrVar(RegSlot::StrModelVersion));
}

void deftab::SetModify()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating))
        return;
    m_scheduleRefresh = true;
    if (GetBoolVar(RegSlot::FlagInstanceModified))
        return;
    SetBoolVar(RegSlot::FlagInstanceModified, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    PostBox::Post(MsgCode::SaveFlag);
}

QTreeWidget *deftab::GetUserTree()
{
    EnsureAllMemberRows();
    return m_ui->USERTREE;
}

QTreeWidget *deftab::GetModelTree() const
{
    return m_ui->MODELTREE;
}

QTreeWidgetItem *deftab::GetCurrentUserItem() const
{
    return m_ui->USERTREE->topLevelItemCount() > 0 ? m_ui->USERTREE->currentItem() : nullptr;
}

void deftab::SetCurrentUserItem(QTreeWidgetItem *item)
{
    if (item && item->treeWidget() == m_ui->USERTREE)
        m_ui->USERTREE->setCurrentItem(item);
}

QTreeWidgetItem *deftab::FindTreeItem(const QString &key)
{
    if (key.isEmpty())
        return nullptr;
    // A key names its member before the "-": that member's rows are built for the lookup.
    const int dash = key.indexOf(QLatin1Char('-'));
    if (!m_unbuilt.isEmpty() && dash > 0) {
        bool ok = false;
        const int n = key.leftRef(dash).toInt(&ok);
        if (ok)
            EnsureMemberRows(n);
    }
    return m_rows.value(key);
}

void deftab::SelectTreeItem(const QString &key)
{
    if (QTreeWidgetItem *row = FindTreeItem(key))
        m_ui->USERTREE->setCurrentItem(row);
}

TreeItemData *deftab::GetRefItemData(QTreeWidgetItem *item)
{
    const TreeItemData *record = RecordOf(item);
    return record ? RecordOf(FindTreeItem(record->GetAttr(GetStrVar(RegSlot::StrAttrState)))) : nullptr;
}

namespace
{
QString explanationKey(const QString &member, const QString &id)
{
    return member + QLatin1Char('-') + id;
}
} // namespace

QString deftab::GetItemExplanation(QTreeWidgetItem *item)
{
    TreeItemData *record = RecordOf(item);
    if (!record)
        return QString();
    const QString expression = GetStrVar(RegSlot::StrAttrExpression);
    const QString id = record->GetAttr(GetStrVar(RegSlot::StrAttrID));
    const QString key = explanationKey(record->name, id);
    // A text that was refused is tried again each time it is asked for: its owner may have mended
    // the file meanwhile, and the empty text standing in for it must not stay for the session. A
    // refused text is never edited (its editor takes no typing), so nothing typed is read over.
    const bool retry = m_refusedTexts.contains(key) && !record->TextChanged();
    if (!record->TextLoaded() || retry) {
        record->SetAttr(expression, m_files.ReadElementText(record->name, id));
        record->TextLoaded() = true;
        const QString refusal = m_files.ElementTextRefusal(record->name, id);
        if (refusal.isEmpty())
            m_refusedTexts.remove(key);
        else
            m_refusedTexts.insert(key, refusal);
    }
    return record->GetAttr(expression);
}

// The reason this page's own read met: another reader of the file may have cleared the shared one.
QString deftab::ExplanationRefusal(const TreeItemData *record) const
{
    return record ? m_refusedTexts.value(
                        explanationKey(record->name, record->GetAttr(GetStrVar(RegSlot::StrAttrID))))
                  : QString();
}

QString deftab::GetItemOutVar(QTreeWidgetItem *item) const
{
    if (item && item == GetCurrentUserItem())
        return Level(item) == 1 ? m_lclassPane->GetOutVar() : m_sclassPane->GetOutVar();
    const TreeItemData *record = RecordOf(item);
    if (!record)
        return QString();
    const QString outVar = record->GetAttr(GetStrVar(RegSlot::StrTagOutVar));
    return outVar.isEmpty() ? record->GetAttr(GetStrVar(RegSlot::StrAttrElement)) : outVar;
}

QString deftab::GetExplanationText() const
{
    return m_explain->toPlainText();
}

bool deftab::IsExplanationModified() const
{
    return m_explain->IsModified();
}

void deftab::SetExplanationRecord(TreeItemData *record)
{
    m_explain->SetEditItem(record);
    // Whose instance an edit of the text marks modified.
    m_explain->SetUserNo(record ? record->name.toInt() : 0);
}

void deftab::SetExplanationReadOnly(bool readOnly)
{
    m_explain->SetWritable(!readOnly);
}

void deftab::ShowExplanation(TreeItemData *record, const QString &title, const QString &text)
{
    QTabWidget *area = m_ui->CLASSTAB;
    if (!area->isTabEnabled(m_explainTab))
        area->setTabEnabled(m_explainTab, true);
    area->setTabText(m_explainTab, title);
    m_explain->UndoRedoOff();
    m_explain->clear();
    m_explain->SetRefusal(ExplanationRefusal(record));
    if (!text.isEmpty()) {
        m_explain->appendPlainText(text);
        if (record) {
            m_explain->SetScrollPos(record->scrollPos);
            m_explain->SetCursorPos(record->cursorPos);
        }
        m_explain->ensureCursorVisible();
    }
    m_explain->UndoRedoOn();
}

QHash<QString, QList<QTreeWidgetItem *>> &deftab::GetUserDataHash()
{
    EnsureAllMemberRows();
    return m_modelInstances;
}

// State instances of every member are offered: all members' rows are needed.
QStringList deftab::GetKeyedItems(const QString &id)
{
    EnsureAllMemberRows();
    QStringList keys = m_stateInstances.values(id);
    std::reverse(keys.begin(), keys.end()); // QMultiHash gives the latest first
    return keys;
}

bool deftab::HasNoModelItem() const
{
    QTreeWidgetItem *cur = GetCurrentUserItem();
    return !LinkedRow(cur, 4);
}

bool deftab::IsArbitraryScope(QTreeWidgetItem *item) const
{
    const TreeItemData *record = RecordOf(item);
    model *mdl = modelEditor();
    QTreeWidgetItem *row =
        record && mdl ? mdl->FindItem(record->GetAttr(GetStrVar(RegSlot::StrAttrMID))) : nullptr;
    return row && row->text(3) == GetStrVar(RegSlot::StrLabelArbitary);
}

QString deftab::FindChildKey(QTreeWidgetItem *parent, const QString &mid) const
{
    if (!parent)
        return QString();
    const QString midAttr = GetStrVar(RegSlot::StrAttrMID);
    for (int i = parent->childCount() - 1; i >= 0; --i) {
        const TreeItemData *record = RecordOf(parent->child(i));
        if (record && record->GetAttr(midAttr) == mid)
            return KeyOf(record, GetStrVar(RegSlot::StrAttrID));
    }
    return QString();
}

bool deftab::HasChildItem(QTreeWidgetItem *parent, const QString &name, const QString &id) const
{
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        if (parent->child(i)->text(1) == name && parent->child(i)->text(4) == id)
            return true;
    }
    return false;
}

QString deftab::MakeIdPath(QTreeWidgetItem *a, QTreeWidgetItem *b)
{
    if (!a)
        return QString();
    return b ? a->text(4) + QLatin1Char(':') + b->text(4) : a->text(4);
}

QList<int> deftab::TakeNewNumbers(QTreeWidgetItem *memberRow, int count)
{
    const int n = memberRow->data(1, Qt::UserRole).toInt();
    qint64 counter = memberRow->data(2, Qt::UserRole).toLongLong();
    QList<int> numbers;
    QString why;
    if (!m_files.NewNumbers(n, count, memberIds(memberRow), &counter, &numbers, &why)) {
        SetStrVar(RegSlot::StrLastError, why);
        return {};
    }
    memberRow->setData(2, Qt::UserRole, int(qMin(counter, qint64(DecimalId::Ceiling) + 1)));
    return numbers;
}

QSet<int> deftab::memberIds(QTreeWidgetItem *memberRow) const
{
    QSet<int> ids;
    // A layout's first element holds every node it kept, the placeholders of the rows included.
    const auto addLayout = [&ids](const QList<QDomElement> &layout) {
        const QDomElement top = layout.value(0);
        QDomNode node = top;
        while (!node.isNull()) {
            const int id = DecimalId::Value(node.toElement().attribute(ElementLayout::KeyAttribute));
            if (id >= 0)
                ids.insert(id);
            if (!node.firstChild().isNull()) {
                node = node.firstChild();
                continue;
            }
            while (node != top && node.nextSibling().isNull())
                node = node.parentNode();
            node = node == top ? QDomNode() : node.nextSibling();
        }
    };
    addLayout(m_keptLclasses.value(memberRow->data(1, Qt::UserRole).toInt()));
    QList<QTreeWidgetItem *> rows{memberRow};
    while (!rows.isEmpty()) {
        QTreeWidgetItem *row = rows.takeLast();
        for (int i = 0; i < row->childCount(); ++i)
            rows.append(row->child(i));
        const TreeItemData *record = row == memberRow ? nullptr : RecordOf(row);
        if (!record)
            continue;
        const int id = DecimalId::Value(record->GetAttr(GetStrVar(RegSlot::StrAttrID)));
        if (id >= 0)
            ids.insert(id);
        addLayout(record->kept);
        addLayout(record->keptParams);
    }
    return ids;
}

bool deftab::isStateOf(const QTreeWidgetItem *transition, const QString &key, const QString &stateMid) const
{
    const QTreeWidgetItem *state = m_rows.value(key);
    const TreeItemData *record = RecordOf(state);
    return record && transition && state->parent() == transition->parent() &&
           record->GetAttr(GetStrVar(RegSlot::StrAttrMID)) == stateMid;
}

void deftab::CreateMirrorItems(QTreeWidgetItem *row, int number)
{
    TreeItemData *record = RecordOf(row);
    if (!record)
        return;
    for (QTreeWidgetItem **mirror : {&record->docRow, &record->scheduleRow, &record->qandaRow}) {
        delete *mirror;
        *mirror = new QTreeWidgetItem;
        (*mirror)->setData(1, Qt::UserRole, number);
    }
    record->docRow->setData(2, Qt::UserRole, QVariant::fromValue<void *>(nullptr));
}

void deftab::makeElementMirrors(TreeItemData *record, const QString &key, bool withSchedule)
{
    record->docRow = new QTreeWidgetItem;
    record->docRow->setData(1, Qt::UserRole, key);
    record->docRow->setData(2, Qt::UserRole, QVariant::fromValue<void *>(nullptr));
    if (withSchedule) {
        record->scheduleRow = new QTreeWidgetItem;
        record->scheduleRow->setData(1, Qt::UserRole, key);
    }
    record->qandaRow = new QTreeWidgetItem;
    record->qandaRow->setData(1, Qt::UserRole, key);
}

void deftab::UpdateItemText(QTreeWidgetItem *item, const QString &name, int sameAddressIndex)
{
    if (!item || item->treeWidget() != m_ui->USERTREE)
        return;
    const QString text =
        sameAddressIndex == 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(sameAddressIndex);
    item->setText(0, text);
    if (TreeItemData *record = RecordOf(item)) {
        if (record->docRow)
            record->docRow->setText(2, text);
        for (QTreeWidgetItem *mirror : {record->scheduleRow, record->qandaRow}) {
            if (mirror)
                mirror->setText(0, text);
        }
    }
}

void deftab::SetPopupMenuVisible(bool addLclass, bool delLclass, bool addSclass, bool delSclass)
{
    const bool on[4] = {addLclass, delLclass, addSclass, delSclass};
    for (int i = 0; i < 4; ++i)
        m_popupActions[i]->setVisible(on[i]);
}

void deftab::SetParamPropertyValues(QTreeWidgetItem *param, TreeItemData *record, QTreeWidgetItem *sclass)
{
    m_propParam = param;
    m_propRecord = record;
    m_propSclass = sclass;
}

void deftab::UpdateParamProperty()
{
    m_sclassPane->SetParamProperty(m_propParam, m_propRecord, m_propSclass);
}

void deftab::SetEditFont()
{
    if (auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable)) {
        for (MemberInfo *m : qAsConst(*table)) {
            if (m && m->Editor)
                m->Editor->SetEditFont();
        }
    }
    for (int slot :
         {RegSlot::ObjInstLclassEditor, RegSlot::ObjInstSclassEditor1, RegSlot::ObjInstSclassEditor2}) {
        if (auto *editor = GetObj<NumEditor>(slot))
            editor->SetEditFont();
    }
    m_explain->SetEditFont();
    for (int slot : {RegSlot::ObjQandAEditor, RegSlot::ObjInstDocEditor1, RegSlot::ObjInstDocEditor2}) {
        if (auto *editor = GetObj<NumEditor>(slot))
            editor->SetEditFont();
    }
}

void deftab::AdjustLayout()
{
    const auto adjust = [](QSplitter *splitter, int numerator, int denominator) {
        int low = 0;
        int high = 0;
        splitter->getRange(1, &low, &high);
        const int first = high * numerator / denominator;
        splitter->setSizes({first, high - first});
    };
    adjust(m_ui->splitter_2, 1, 3);
    adjust(m_ui->splitter, 2, 3);
    m_lclassPane->SplitterAdjust();
    m_sclassPane->SplitterAdjust();
}

void deftab::CommitValueTable()
{
    if (m_valueTable->GetShownRow())
        m_valueTable->CommitTable();
}

void deftab::SelectFirstChapter()
{
    if (auto *document = GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument))
        document->SelectFirstChapter();
}

void deftab::SyncInstanceDocument()
{
    QTreeWidgetItem *cur = GetCurrentUserItem();
    TreeItemData *record = Level(cur) > 0 ? RecordOf(cur) : nullptr;
    auto *document = GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument);
    if (!record || !document || KeyOf(record, GetStrVar(RegSlot::StrAttrID)) != document->CurrentClassValue())
        return;
    record->SetAttr(GetStrVar(RegSlot::StrAttrExpression), GetExplanationText());
    document->SetExplainText(GetExplanationText());
}
