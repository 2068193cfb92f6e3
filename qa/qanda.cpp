#include "qa/qanda.h"

#include "core/defvar.h"
#include "core/postbox.h"
#include "core/treeitemdata.h"
#include "core/xmlclass.h"
#include "docs/docdiag.h"
#include "docs/htmllist.h"
#include "docs/reffile.h"
#include "docs/refurl.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "members/memberinfo.h"
#include "model/calendar.h"
#include "qa/createqa.h"
#include "qa/touserdialog.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "shell/tab.h"
#include "ui_qanda.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabBar>
#include <QTreeWidgetItemIterator>
#include <functional>

const QStringList QandA::kStoredTypes{QStringLiteral("QQuestion"), QStringLiteral("QRequest"),
                                      QStringLiteral("Answer"), QStringLiteral("Confirmation")};

QString QandA::StoredType(const QString &type) const
{
    const int shown = (m_questionTypes + m_answerTypes).indexOf(type);
    return shown >= 0 ? kStoredTypes.at(shown) : type;
}

QString QandA::ShownType(const QString &type) const
{
    const int stored = kStoredTypes.indexOf(StoredType(type));
    return stored >= 0 ? (m_questionTypes + m_answerTypes).at(stored) : type;
}

QandA::QandA(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::QandA), m_editor(new NumEditor), m_refFile(new reffile),
      m_refUrl(new refurl), m_create(new CreateQA(this, this)), m_toUser(new ToUserDialog(this)),
      m_calendar(new Calendar(this)), m_htmlList(new HtmlList(this)), m_docDiag(new DocDiag(this)),
      m_popup(new QMenu(this))
{
    m_ui->setupUi(this);
    m_ui->UTAB->removeTab(1);
    m_ui->EXTAB->removeTab(1);
    m_questionTypes = QStringList{tr("QQuestion"), tr("QRequest")};
    m_answerTypes = QStringList{tr("Answer"), tr("Confirmation")};
    m_stateNames = QStringList{tr("update Message"), tr("Progressing"), tr("Stopped"), tr("Completion")};
    m_newMessage = tr("new message");
    m_records.SetSaveHook([this](DocCdataRecord *record) {
        QueueMails(record, static_cast<QTreeWidgetItem *>(record->Owner));
    });
    m_ui->STATECBX->addItems(m_stateNames);
    m_ui->QATAB->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    m_ui->QATAB->tabBar()->setTabTextColor(0, Qt::white);
    m_ui->QATAB->tabBar()->setTabTextColor(1, QColor(QStringLiteral("#00dd00")));
    for (QLabel *label : {m_ui->STITLE, m_ui->STYPE, m_ui->STATE, m_ui->SUSER})
        label->setStyleSheet(QStringLiteral("background-color: #666666;color: #FFFFFF"));
    const QList<SharedIcon::Id> icons{
        SharedIcon::TblT, SharedIcon::TblUser, SharedIcon::TblId, SharedIcon::TblT, SharedIcon::TblS,
        SharedIcon::TblS, SharedIcon::TblS,    SharedIcon::TblC,  SharedIcon::TblP, SharedIcon::TblId};
    DocDiag::StyleHeader(m_ui->QTREE, icons);
    DocDiag::StyleHeader(m_ui->ATREE, icons);
    DocDiag::StyleHeader(m_ui->UTREE, {SharedIcon::TblUser, SharedIcon::TblL, SharedIcon::TblS,
                                       SharedIcon::TblP, SharedIcon::TblE, SharedIcon::TblId});
    for (int c = 0; c < m_ui->HISTTREE->columnCount(); ++c) {
        m_ui->HISTTREE->headerItem()->setBackground(c, QColor(QStringLiteral("#666666")));
        m_ui->HISTTREE->headerItem()->setForeground(c, QColor(QStringLiteral("#FFFFFF")));
    }
    m_ui->QTREE->setContextMenuPolicy(Qt::CustomContextMenu);
    m_ui->ATREE->setContextMenuPolicy(Qt::CustomContextMenu);
    m_ui->UTREE->setExpandsOnDoubleClick(false);
    m_ui->HISTEXP->addWidget(m_editor);
    m_ui->REF1->addWidget(m_refFile);
    m_ui->REF2->addWidget(m_refUrl);
    m_refUrl->SetOwnerKind(refurl::QandAKind);
    m_editor->SetKind(7);
    SetObj(RegSlot::ObjQandAEditor, m_editor);
    SetObj(RegSlot::ObjQandAUserDialog, m_toUser);
    m_calendar->SetType(DateRules::QandARow);
    m_htmlList->SetOwnerKind(refurl::QandAKind);

    const QString names[4] = {tr("Create Question"), tr("Delete Question"), tr("Create Answer"),
                              tr("Delete Answer")};
    void (QandA::*handlers[4])() = {&QandA::CreateQuestion, &QandA::DeleteQuestion, &QandA::CreateAnswer,
                                    &QandA::DeleteAnswer};
    for (int i = 0; i < 4; ++i) {
        m_popupActions[i] = m_popup->addAction(names[i]);
        connect(m_popupActions[i], &QAction::triggered, this, handlers[i]);
    }
    for (QTreeWidget *tree : {m_ui->QTREE, m_ui->ATREE}) {
        connect(tree, &QTreeWidget::currentItemChanged, this, &QandA::QATreeChanged);
        connect(tree, &QTreeWidget::itemDoubleClicked, this, &QandA::QAtreeClicked);
    }
    connect(m_ui->QTREE, &QTreeWidget::itemClicked, this, &QandA::QtreeClicked);
    connect(m_ui->UTREE, &QTreeWidget::itemDoubleClicked, this, &QandA::UtreeClicked);
    connect(m_ui->QTREE, &QTreeWidget::expanded, this, &QandA::QTreeColumnAdjustment);
    connect(m_ui->QTREE, &QTreeWidget::collapsed, this, &QandA::QTreeColumnAdjustment);
    connect(m_ui->ATREE, &QTreeWidget::expanded, this, &QandA::ATreeColumnAdjustment);
    connect(m_ui->ATREE, &QTreeWidget::collapsed, this, &QandA::ATreeColumnAdjustment);
    connect(m_ui->UTREE, &QTreeWidget::expanded, this, &QandA::UTreeColumnAdjustment);
    connect(m_ui->UTREE, &QTreeWidget::collapsed, this, &QandA::UTreeColumnAdjustment);
    connect(m_ui->HISTTREE, &QTreeWidget::currentItemChanged, this, &QandA::QAHistProc);
    connect(m_ui->QTREE, &QWidget::customContextMenuRequested, this, &QandA::QTreePopupMenu);
    connect(m_ui->ATREE, &QWidget::customContextMenuRequested, this, &QandA::ATreePopupMenu);
    connect(m_ui->SET, &QPushButton::clicked, this, &QandA::StateClicked);
    connect(m_ui->TITLE, &QLineEdit::textEdited, this, &QandA::TitleChanged);
    connect(m_ui->QATAB, &QTabWidget::currentChanged, this, &QandA::QaTabChanged);
    connect(m_ui->TYPE, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &QandA::TypeChanged);
    connect(m_ui->USERLISTBTN, &QPushButton::clicked, this, &QandA::UserListClicked);
    disablePanes();
}

QandA::~QandA()
{
    m_ui->QTREE->blockSignals(true);
    m_ui->ATREE->blockSignals(true);
    clearTree(m_ui->QTREE);
    clearTree(m_ui->ATREE);
    if (GetObj<NumEditor>(RegSlot::ObjQandAEditor) == m_editor)
        SetObj<NumEditor>(RegSlot::ObjQandAEditor, nullptr);
    if (GetObj<ToUserDialog>(RegSlot::ObjQandAUserDialog) == m_toUser)
        SetObj<ToUserDialog>(RegSlot::ObjQandAUserDialog, nullptr);
    delete m_ui;
}

QTreeWidget *QandA::QuestionTree() const
{
    return m_ui->QTREE;
}
QTreeWidget *QandA::AnswerTree() const
{
    return m_ui->ATREE;
}
QTreeWidget *QandA::InstanceTree() const
{
    return m_ui->UTREE;
}
QTreeWidget *QandA::HistoryTree() const
{
    return m_ui->HISTTREE;
}

void QandA::SetInstanceDir(const QString &dir)
{
    m_instanceDir = DelLastSlash(dir);
}

void QandA::SetModify()
{
    if (GetBoolVar(RegSlot::FlagBusy) || GetBoolVar(RegSlot::FlagUpdating) ||
        GetBoolVar(RegSlot::FlagQandAModified))
        return;
    SetBoolVar(RegSlot::FlagQandAModified, true);
    SetBoolVar(RegSlot::FlagSaveNeeded, true);
    PostBox::Post(MsgCode::SaveFlag);
}

QString QandA::StateName(int state) const
{
    return state >= 0 && state <= 3 ? m_stateNames.at(state) : m_newMessage;
}

void QandA::SetStateColours(QTreeWidgetItem *item, int column, int state)
{
    static const char *const colours[5][2] = {{"#ffff00", "#000000"},
                                              {"#0000ff", "#ffffff"},
                                              {"#00ff00", "#000000"},
                                              {"#ff0000", "#ffffff"},
                                              {"#808080", "#ffffff"}};
    if (state < -1 || state > 3) {
        item->setBackground(column, QBrush());
        item->setForeground(column, QBrush());
        return;
    }
    item->setBackground(column, QColor(QLatin1String(colours[state + 1][0])));
    item->setForeground(column, QColor(QLatin1String(colours[state + 1][1])));
}

TreeItemData *QandA::RecordOf(const QTreeWidgetItem *item)
{
    return item ? TreeItemData::FromData(item->data(0, Qt::UserRole)) : nullptr;
}

int QandA::LevelOf(const QTreeWidgetItem *item)
{
    int level = 0;
    for (const QTreeWidgetItem *p = item ? item->parent() : nullptr; p; p = p->parent())
        ++level;
    return level;
}

bool QandA::IsNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

QTreeWidgetItem *QandA::AddresseeOf(QTreeWidgetItem *question, int member)
{
    for (int i = 0; question && i < question->childCount(); ++i) {
        if (question->child(i)->data(ColUser, Qt::UserRole).toInt() == member)
            return question->child(i);
    }
    return nullptr;
}

MemberInfo *QandA::member(int n) const
{
    const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    return table ? table->value(n) : nullptr;
}

bool QandA::isOwnMember(int n) const
{
    const MemberInfo *m = member(n);
    return m && m->OtherUser == 0;
}

// An item whose member is unknown counts as own, as the action table has it for answers.
bool QandA::isOwnItem(QTreeWidgetItem *item) const
{
    const TreeItemData *record = RecordOf(item);
    if (!record)
        return false;
    return !member(record->number) || isOwnMember(record->number);
}

QTreeWidget *QandA::currentTree() const
{
    return m_tab == 0 ? m_ui->QTREE : m_ui->ATREE;
}

QTreeWidgetItem *QandA::currentItem() const
{
    return currentTree()->currentItem();
}

void QandA::freeItem(QTreeWidgetItem *item)
{
    for (int i = 0; i < item->childCount(); ++i)
        freeItem(item->child(i));
    delete RecordOf(item);
    item->setData(0, Qt::UserRole, QVariant());
}

void QandA::clearTree(QTreeWidget *tree)
{
    // Each row's data changed in a shown tree costs a search through all its rows: the records
    // are gathered first and freed once the tree let go of the rows.
    QVector<TreeItemData *> records;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (TreeItemData *record = RecordOf(*it))
            records.append(record);
    }
    tree->clear();
    qDeleteAll(records);
}

// The tab entered turns white and the one left gray.
void QandA::recolourTabs(int current)
{
    QTabBar *bar = m_ui->QATAB->tabBar();
    for (int i = 0; i < bar->count(); ++i)
        bar->setTabTextColor(i, i == current ? QColor(Qt::white) : QColor(Qt::gray));
}

void QandA::ShowQandA(QTreeWidget *userTree, bool refresh)
{
    if (!refresh)
        return;
    SetBoolVar(RegSlot::FlagBusy, true);
    m_filled = false;
    if (const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable)) {
        for (const MemberInfo *m : *table)
            m_filled = m_filled || (m && m->OtherUser == 0);
    }
    copyInstanceTree(userTree);
    // Elements may have come or gone since the trees were filled.
    for (QTreeWidget *tree : {m_ui->QTREE, m_ui->ATREE}) {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem *q = tree->topLevelItem(i);
            const QString key = RecordOf(q)->GetAttr(GetStrVar(RegSlot::StrAttrInstID));
            q->setText(ColInst, m_instItems.contains(key) ? QStringLiteral("I") + key : QString());
        }
    }
    if (!m_filesRead) {
        m_filesRead = true;
        readFiles();
        TreeColumnAdjustment(m_ui->QTREE);
        TreeColumnAdjustment(m_ui->ATREE);
    }
    m_tab = 0;
    m_ui->QATAB->setCurrentIndex(0);
    SetBoolVar(RegSlot::FlagBusy, false);
    if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
        tab->SetQandARefresh(false);
    if (m_ui->QTREE->topLevelItemCount() > 0) {
        m_questionEditable = true;
        m_ui->QTREE->setCurrentItem(nullptr);
        m_ui->QTREE->setCurrentItem(m_ui->QTREE->topLevelItem(0));
    } else {
        disablePanes();
        m_enables[0] = m_filled;
        m_enables[1] = m_enables[2] = m_enables[3] = false;
        applyEnables();
    }
}

void QandA::copyInstanceTree(QTreeWidget *userTree)
{
    m_ui->UTREE->clear();
    m_instItems.clear();
    m_instKeys.clear();
    if (!userTree)
        return;
    // Copies one row with its columns, registering element rows under their instance key.
    std::function<QTreeWidgetItem *(QTreeWidgetItem *, int)> copy = [&](QTreeWidgetItem *from, int depth) {
        auto *row = new QTreeWidgetItem;
        for (int c = 0; c < 6; ++c)
            row->setText(c, from->text(c));
        row->setIcon(0, from->icon(0));
        if (depth == 0) {
            row->setData(1, Qt::UserRole, from->data(1, Qt::UserRole));
        } else {
            const QString key = from->text(5).mid(1);
            m_instItems.insert(key, row);
            m_instKeys.insert(row, key);
        }
        if (depth < 2) {
            for (int i = 0; i < from->childCount(); ++i)
                row->addChild(copy(from->child(i), depth + 1));
        }
        return row;
    };
    for (int i = 0; i < userTree->topLevelItemCount(); ++i)
        m_ui->UTREE->addTopLevelItem(copy(userTree->topLevelItem(i), 0));
    TreeColumnAdjustment(m_ui->UTREE);
}

// The panel's instance tree holds copies: only its own rows are taken.
void QandA::TakeTreeItem(QTreeWidgetItem *item)
{
    if (!item || item->treeWidget() != m_ui->UTREE)
        return;
    for (auto it = m_instKeys.begin(); it != m_instKeys.end();) {
        QTreeWidgetItem *row = it.key();
        bool inside = false;
        for (QTreeWidgetItem *p = row; p && !inside; p = p->parent())
            inside = p == item;
        if (inside) {
            m_instItems.remove(it.value());
            it = m_instKeys.erase(it);
        } else {
            ++it;
        }
    }
    delete item;
}

void QandA::TakeTopLevelItem(QTreeWidgetItem *item)
{
    TakeTreeItem(item);
}

void QandA::Clear()
{
    SetBoolVar(RegSlot::FlagUpdating, true);
    m_instItems.clear();
    m_instKeys.clear();
    m_questions.clear();
    m_keptAnswers.clear();
    m_keptQuestions.clear();
    m_unreadQuestions.clear();
    m_unreadAnswers.clear();
    m_historyItem = nullptr;
    m_editedEntry = nullptr;
    m_shown = nullptr;
    m_ui->HISTTREE->clear();
    m_records.Clear();
    clearTree(m_ui->QTREE);
    clearTree(m_ui->ATREE);
    m_ui->UTREE->clear();
    m_editor->ClearText();
    m_editor->ClearModified();
    if (auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore)) {
        store->CloseXmlDoc(XmlIndex::Question);
        store->CloseXmlDoc(XmlIndex::Answer);
        if (const auto *list = GetObj<MemberList>(RegSlot::ObjMemberList)) {
            for (int n : *list) {
                store->CloseXmlDoc(XmlIndex::Question + n);
                store->CloseXmlDoc(XmlIndex::Answer + n);
            }
        }
    }
    m_filled = m_filesRead = m_usersFilled = false;
    m_users.clear();
    std::fill(std::begin(m_enables), std::end(m_enables), false);
    SetBoolVar(RegSlot::FlagUpdating, false);
    disablePanes();
}

void QandA::disablePanes()
{
    setEditing(false, false, false, false);
    m_ui->USERLISTBTN->setEnabled(false);
    m_refFile->ClearList();
    m_refUrl->ClearList();
    m_refFile->setEnabled(false);
    m_refUrl->setEnabled(false);
}

void QandA::setEditing(bool title, bool type, bool state, bool editor)
{
    m_ui->TITLE->setReadOnly(!title);
    m_ui->TYPE->setEnabled(type);
    m_ui->STATECBX->setEnabled(state);
    m_ui->SET->setEnabled(state);
    m_editor->setReadOnly(!editor);
}

void QandA::applyEnables()
{
    if (!m_filled)
        std::fill(std::begin(m_enables), std::end(m_enables), false);
    if (auto *main = GetObj<MainWindow>(RegSlot::ObjMainWindow)) {
        main->KeepQandAActions(m_enables[0], m_enables[1], m_enables[2], m_enables[3]);
        main->RestoreQandAActions();
    }
}

void QandA::computeEnables(QTreeWidgetItem *item)
{
    bool *e = m_enables;
    std::fill(e, e + 4, false);
    m_questionEditable = m_answerEditable = false;
    if (!item || !m_filled)
        return;
    const int level = LevelOf(item);
    if (level == QuestionLevel) {
        if (m_tab == 0 && isOwnMember(RecordOf(item)->number)) {
            e[0] = true;
            e[1] = !hasAnswers(item);
            m_questionEditable = true;
        }
    } else if (level == AddresseeLevel) {
        const bool own = isOwnMember(item->data(ColUser, Qt::UserRole).toInt());
        e[0] = m_tab == 0;
        e[2] = own && !m_unreadAnswers.contains(item->data(ColUser, Qt::UserRole).toInt());
    } else if (isOwnItem(item)) {
        e[2] = e[3] = true;
        m_answerEditable = true;
    }
}

void QandA::QATreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    if (GetBoolVar(RegSlot::FlagBusy)) {
        m_refFile->setEnabled(false);
        m_refUrl->setEnabled(false);
        return;
    }
    if (GetBoolVar(RegSlot::FlagUpdating) || (sender() && sender() != currentTree()))
        return;
    SetBoolVar(RegSlot::FlagUpdating, true);
    if (!commitEditor()) {
        // The row whose history holds the refused text stays chosen, the text in the editor.
        currentTree()->setCurrentItem(previous);
        SetBoolVar(RegSlot::FlagUpdating, false);
        return;
    }
    computeEnables(current);
    showItem(current);
    if (current) {
        QTreeWidgetItem *question = current;
        while (question->parent())
            question = question->parent();
        if (QTreeWidgetItem *row =
                m_instItems.value(RecordOf(question)->GetAttr(GetStrVar(RegSlot::StrAttrInstID))))
            m_ui->UTREE->setCurrentItem(row);
    }
    SetBoolVar(RegSlot::FlagUpdating, false);
    applyEnables();
    if (m_ui->HISTTREE->topLevelItemCount() == 0) {
        m_editor->ClearText();
        m_editor->ClearModified();
        m_editor->setReadOnly(true);
    } else {
        m_ui->HISTTREE->setCurrentItem(m_ui->HISTTREE->topLevelItem(m_ui->HISTTREE->topLevelItemCount() - 1));
    }
}

void QandA::showItem(QTreeWidgetItem *item)
{
    m_shown = item;
    m_ui->HISTTREE->clear();
    m_historyItem = nullptr;
    m_editedEntry = nullptr;
    m_ui->TYPE->clear();
    const int level = item ? LevelOf(item) : AddresseeLevel;
    if (!item || level == AddresseeLevel) {
        m_ui->TITLE->clear();
        disablePanes();
        m_ui->USERLISTBTN->setEnabled(false);
        return;
    }
    TreeItemData *record = RecordOf(item);
    const bool question = level == QuestionLevel;
    const bool editable = question ? m_questionEditable : m_answerEditable;
    m_ui->TITLE->setText(record->GetAttr(GetStrVar(RegSlot::StrTagTitle)));
    m_ui->STATE->setText(question ? tr("qstatus") : tr("answer status"));
    m_ui->TYPE->addItems(question ? m_questionTypes : m_answerTypes);
    const int typeIndex = m_ui->TYPE->findText(ShownType(record->GetAttr(GetStrVar(RegSlot::StrAttrType))));
    if (typeIndex >= 0)
        m_ui->TYPE->setCurrentIndex(typeIndex);
    const int state = record->GetAttr(GetStrVar(RegSlot::StrAttrState)).toInt();
    m_ui->STATECBX->setCurrentIndex(state >= 0 && state <= 3 ? state : 0);
    // "update Message" is there only while the item is still new.
    if (auto *model = qobject_cast<QStandardItemModel *>(m_ui->STATECBX->model()))
        model->item(0)->setEnabled(state < 0 || state > 3);
    setEditing(question && editable, editable, editable, editable);
    m_ui->USERLISTBTN->setEnabled(question && editable);
    showHistory(item);
    const QString folder = referenceFolder(item);
    m_refFile->setEnabled(true);
    m_refUrl->setEnabled(true);
    m_refFile->SetEditable(editable ? 1 : 0);
    m_refFile->SetDirectory(folder);
    m_refUrl->SetEditable(editable ? 1 : 0);
    m_refUrl->SetElement(item);
}

QString QandA::referenceFolder(QTreeWidgetItem *item) const
{
    const TreeItemData *record = RecordOf(item);
    if (!record)
        return QString();
    const QString n = QString::number(record->number);
    const QString id = record->GetAttr(GetStrVar(RegSlot::StrAttrID));
    const QString kind =
        LevelOf(item) == QuestionLevel ? QStringLiteral("QUESTION/") : QStringLiteral("ANSWER/");
    return m_instanceDir + QStringLiteral("/REFERENCE/") + kind + n + QLatin1Char('/') + id +
           QLatin1Char('/');
}

void QandA::QaTabChanged(int index)
{
    SetBoolVar(RegSlot::FlagUpdating, true);
    if (!commitEditor()) {
        const QSignalBlocker blocker(m_ui->QATAB);
        m_ui->QATAB->setCurrentIndex(m_tab);
        SetBoolVar(RegSlot::FlagUpdating, false);
        return;
    }
    m_tab = index;
    QTreeWidget *tree = currentTree();
    QTreeWidgetItem *item = tree->currentItem();
    if (!item && tree->topLevelItemCount() > 0)
        item = tree->topLevelItem(0);
    computeEnables(item);
    showItem(item);
    if (item && tree->currentItem() != item) {
        tree->setCurrentItem(item);
    }
    SetBoolVar(RegSlot::FlagUpdating, false);
    recolourTabs(index);
    if (!item)
        std::fill(std::begin(m_enables), std::end(m_enables), false);
    if (index == 0 && !item)
        m_enables[0] = m_filled;
    applyEnables();
    if (m_ui->HISTTREE->topLevelItemCount() > 0)
        m_ui->HISTTREE->setCurrentItem(m_ui->HISTTREE->topLevelItem(m_ui->HISTTREE->topLevelItemCount() - 1));
}

void QandA::QTreePopupMenu(const QPoint &pos)
{
    for (int i = 0; i < 4; ++i)
        m_popupActions[i]->setVisible(m_filled && m_enables[i]);
    m_popup->popup(m_ui->QTREE->viewport()->mapToGlobal(pos));
}

void QandA::ATreePopupMenu(const QPoint &pos)
{
    if (!m_filled || (!m_enables[2] && !m_enables[3]))
        return;
    m_popupActions[0]->setVisible(false);
    m_popupActions[1]->setVisible(false);
    m_popupActions[2]->setVisible(m_enables[2]);
    m_popupActions[3]->setVisible(m_enables[3]);
    m_popup->popup(m_ui->ATREE->viewport()->mapToGlobal(pos));
}

void QandA::QTreeColumnAdjustment()
{
    TreeColumnAdjustment(m_ui->QTREE);
}
void QandA::ATreeColumnAdjustment()
{
    TreeColumnAdjustment(m_ui->ATREE);
}
void QandA::UTreeColumnAdjustment()
{
    TreeColumnAdjustment(m_ui->UTREE);
}

void QandA::QAtreeClicked(QTreeWidgetItem *item, int column)
{
    if (!item || column != ColInst || LevelOf(item) != QuestionLevel || item->text(ColInst).isEmpty())
        return;
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    QTreeWidgetItem *row = tab ? tab->FindTreeItem(item->text(ColInst).mid(1)) : nullptr;
    if (!row)
        return;
    tab->SetCurrentUserItem(row);
    if (auto *tabs = GetObj<Tab>(RegSlot::ObjTab))
        tabs->SelectTab(GetStrVar(RegSlot::StrTabInstance));
}

void QandA::UtreeClicked(QTreeWidgetItem *item, int)
{
    if (!item)
        return;
    if (!item->parent()) {
        const MemberInfo *m = member(item->data(1, Qt::UserRole).toInt());
        auto *mgr = GetObj<manager>(RegSlot::ObjManager);
        if (m && mgr && m->TreeItem)
            mgr->SetCurrentItem(m->TreeItem);
        if (auto *tabs = GetObj<Tab>(RegSlot::ObjTab))
            tabs->SelectTab(GetStrVar(RegSlot::StrTabManagement));
        return;
    }
    auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
    if (QTreeWidgetItem *row = tab ? tab->FindTreeItem(item->text(5).mid(1)) : nullptr) {
        tab->SetCurrentUserItem(row);
        if (auto *tabs = GetObj<Tab>(RegSlot::ObjTab))
            tabs->SelectTab(GetStrVar(RegSlot::StrTabInstance));
    }
}

void QandA::SetActiveEditor()
{
    m_editor->SetActiveEditor();
}

void QandA::AdjustLayout()
{
    const auto set = [](QSplitter *s, int divisor) {
        int m = 0;
        s->getRange(1, nullptr, &m);
        const int a = m / divisor;
        s->setSizes({a, m - a});
    };
    set(m_ui->splitter_4, 2);
    set(m_ui->splitter_2, 2);
    set(m_ui->splitter, 2);
    set(m_ui->splitter_5, 3);
    // Three panes: two sizes would leave the history and its text with none. The fields keep their
    // third; the reference panes and the text share the rest.
    QSplitter *right = m_ui->splitter_3;
    int total = 0;
    for (int size : right->sizes())
        total += size;
    if (total <= 0)
        return;
    const int fields = total / 3;
    const int references = (total - fields) / 2;
    right->setSizes({fields, references, total - fields - references});
}

void QandA::SetRef()
{
    QTreeWidgetItem *item = m_shown;
    if (!item || LevelOf(item) == AddresseeLevel)
        return;
    QString start = GetStrVar(RegSlot::StrRefFileFolder);
    if (start.isEmpty())
        start = QDir::currentPath();
    const QStringList files = QFileDialog::getOpenFileNames(this, tr("Set file"), start);
    if (files.isEmpty())
        return;
    SetStrVar(RegSlot::StrRefFileFolder, QFileInfo(files.first()).absolutePath());
    const QString folder = referenceFolder(item);
    QDir().mkpath(folder);
    auto *main = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    for (const QString &file : files) {
        if (main)
            main->CopyReferenceFile(file, folder);
    }
    m_refFile->SetDirectory(folder);
}

void QandA::DispRef()
{
    if (!m_shown || LevelOf(m_shown) == AddresseeLevel)
        return;
    m_docDiag->SetMode(DocDiag::ShowMode);
    m_docDiag->SetDirectory(referenceFolder(m_shown));
    m_docDiag->exec();
}

void QandA::DelRef()
{
    if (!m_shown || LevelOf(m_shown) == AddresseeLevel)
        return;
    m_docDiag->SetMode(DocDiag::DeleteMode);
    m_docDiag->SetDirectory(referenceFolder(m_shown));
    m_docDiag->exec();
    m_refFile->SetDirectory(referenceFolder(m_shown));
}

void QandA::HtmlProc()
{
    QTreeWidgetItem *item = m_shown;
    if (!item || LevelOf(item) == AddresseeLevel)
        return;
    const QString completion = GetStrVar(RegSlot::StrAttrCompletionDate);
    bool editable = false;
    if (LevelOf(item) == QuestionLevel) {
        editable = m_tab == 0 && RecordOf(item)->GetAttr(completion).isEmpty();
    } else {
        QTreeWidgetItem *question = item->parent()->parent();
        editable = isOwnItem(item) && RecordOf(question)->GetAttr(completion).isEmpty();
    }
    m_htmlList->SetReadOnly(!editable);
    m_htmlList->SetElement(item);
    m_htmlList->exec();
    m_refUrl->SetElement(item);
}
