#include "comm/membermail.h"

#include "comm/mailtitle.h"
#include "comm/smtpcontrol.h"
#include "members/memberinfo.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_membermail.h"

#include <QMessageBox>
#include <QPushButton>

namespace
{
enum HistState : int { NewState = 0, UnsentState = 1, SentState = 2 };
const char *const SentColour = "#82fb83";
const char *const UnsentColour = "#fae992";
} // namespace

MemberMail::MemberMail(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::MemberMail), m_editor(new NumEditor), m_title(nullptr)
{
    m_ui->setupUi(this);
    m_ui->EDIT_LAYOUT->addWidget(m_editor);
    m_editor->setReadOnly(true);
    m_store.SetMode(DocCdata::MailKind);
    m_title = new MailTitle(this);
    const QString header =
        QStringLiteral("QHeaderView::section { background-color: #666666; color: #FFFFFF }");
    m_ui->USER->header()->setStyleSheet(header);
    m_ui->HIST->header()->setStyleSheet(header);
    m_ui->USER->headerItem()->setIcon(0, QIcon(QStringLiteral(":src/TBL_USER.png")));
    m_ui->USER->headerItem()->setIcon(1, QIcon(QStringLiteral(":src/logo.png")));
    SetButtons(true, false, false, false);
    connect(m_ui->NEW, &QPushButton::clicked, this, &MemberMail::NewProc);
    connect(m_ui->SEND, &QPushButton::clicked, this, &MemberMail::SendProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &MemberMail::CancelProc);
    connect(m_ui->NSENDSAVE, &QPushButton::clicked, this, &MemberMail::NSendSaveProc);
    connect(m_ui->USER, &QTreeWidget::itemChanged, this, &MemberMail::CheckChanged);
    connect(m_ui->HIST, &QTreeWidget::currentItemChanged, this, &MemberMail::HistProc);
    connect(m_ui->HIST, &QTreeWidget::itemDoubleClicked, this, &MemberMail::HistDblClicked);
}

MemberMail::~MemberMail()
{
    delete m_ui;
}

void MemberMail::ClearData()
{
    // The history rows point into the store.
    m_ui->HIST->clear();
    m_store.Clear();
}

DocCdataCase *MemberMail::EntryOf(QTreeWidgetItem *item)
{
    return item ? static_cast<DocCdataCase *>(item->data(0, Qt::UserRole).value<void *>()) : nullptr;
}

void MemberMail::SetButtons(bool newOn, bool sendOn, bool cancelOn, bool saveOn)
{
    const QPair<QPushButton *, bool> buttons[] = {
        {m_ui->NEW, newOn}, {m_ui->SEND, sendOn}, {m_ui->CANCEL, cancelOn}, {m_ui->NSENDSAVE, saveOn}};
    for (const auto &b : buttons) {
        b.first->setEnabled(b.second);
        b.first->setStyleSheet(b.second ? QStringLiteral("background-color: #007a00; color: #FFFFFF")
                                        : QStringLiteral("background-color: #e84c77; color: #FFFFFF"));
    }
}

void MemberMail::SetMessage(const QString &text, bool error)
{
    m_ui->MSG->setStyleSheet(error ? QStringLiteral("color: #FF0000") : QStringLiteral("color: #000000"));
    m_ui->MSG->setText(text);
}

static void splitThirds(QSplitter *splitter, bool horizontal)
{
    const int range = horizontal ? splitter->width() : splitter->height();
    const int first = qRound(range / 3.0);
    splitter->setSizes({first, range - first});
}

void MemberMail::SetUser(MemberInfo *member)
{
    m_member = member;
    splitThirds(m_ui->HSPLITTER, true);
    splitThirds(m_ui->VSPLITTER, false);
    const bool own = member && member->OtherUser == 0;
    for (QPushButton *b : {m_ui->NEW, m_ui->SEND, m_ui->CANCEL, m_ui->NSENDSAVE})
        b->setVisible(own);
    if (own)
        m_ui->BUTTONS->setContentsMargins(3, 0, 3, 0);
    else
        m_ui->BUTTONS->setContentsMargins(0, 0, 0, 0);
    // A mail being composed for the member shown before is dropped unstored.
    SetButtons(true, false, false, false);
    m_ui->HIST->setEnabled(true);
    m_editor->clear();
    m_editor->setReadOnly(true);
    FillUsers();
    LoadHistory();
}

void MemberMail::FillUsers()
{
    m_ownChange = true;
    m_ui->USER->clear();
    auto *all = new QTreeWidgetItem(m_ui->USER, {tr("ALL member")});
    all->setFlags((all->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEnabled);
    all->setCheckState(0, Qt::Unchecked);
    const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    const auto *list = GetObj<MemberList>(RegSlot::ObjMemberList);
    QStringList added;
    if (table) {
        for (int n : list ? *list : table->keys()) {
            const MemberInfo *m = table->value(n);
            if (!m || m->OtherUser == 0 || added.contains(m->Email))
                continue;
            added << m->Email;
            auto *row = new QTreeWidgetItem(all, {m->Name, m->Email});
            row->setData(0, Qt::UserRole, n);
            row->setFlags((row->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEnabled);
            row->setCheckState(0, Qt::Unchecked);
        }
    }
    all->setExpanded(true);
    m_ui->USER->resizeColumnToContents(0);
    m_ui->USER->resizeColumnToContents(1);
    m_ownChange = false;
}

void MemberMail::LoadHistory()
{
    m_ui->HIST->clear();
    if (!m_member)
        return;
    m_key = GetStrVar(RegSlot::StrInstanceDir) + QStringLiteral("/mail_") + QString::number(m_member->ID) +
            QStringLiteral("_") + QStringLiteral(".eml");
    const QList<DocCdataCase *> *entries = m_store.LoadIfChanged(m_key, m_key);
    m_store.SetRecordPath(m_key, m_key);
    for (DocCdataCase *entry : *entries) {
        if (entry->Deleted)
            continue;
        auto *item = new QTreeWidgetItem(m_ui->HIST);
        item->setText(0, QString::number(entry->ID));
        item->setText(1, entry->DateTime.toString(QStringLiteral("yyyy/MM/dd")));
        item->setText(2, entry->DateTime.toString(QStringLiteral("hh:mm")));
        item->setText(4, entry->TITLE);
        item->setData(0, Qt::UserRole, QVariant::fromValue<void *>(entry));
        ShowResult(item, entry->IsSend);
    }
    if (m_ui->HIST->topLevelItemCount() > 0)
        m_ui->HIST->setCurrentItem(m_ui->HIST->topLevelItem(m_ui->HIST->topLevelItemCount() - 1));
    FitHistory();
}

void MemberMail::FitHistory()
{
    for (int c = 0; c < 5; ++c)
        m_ui->HIST->resizeColumnToContents(c);
}

void MemberMail::ShowResult(QTreeWidgetItem *item, bool sent)
{
    item->setText(3, sent ? tr("sended") : tr("unsended"));
    item->setData(3, Qt::UserRole, sent ? SentState : UnsentState);
    item->setBackground(3, QColor(QLatin1String(sent ? SentColour : UnsentColour)));
}

void MemberMail::SetAllChecks(bool checked, bool enabled)
{
    m_ownChange = true;
    QTreeWidgetItem *all = m_ui->USER->topLevelItem(0);
    if (all) {
        all->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
        all->setFlags(enabled ? all->flags() | Qt::ItemIsEnabled : all->flags() & ~Qt::ItemIsEnabled);
        for (int i = 0; i < all->childCount(); ++i) {
            QTreeWidgetItem *row = all->child(i);
            row->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
            row->setFlags(enabled ? row->flags() | Qt::ItemIsEnabled : row->flags() & ~Qt::ItemIsEnabled);
        }
    }
    m_ownChange = false;
}

void MemberMail::ShowRecipients(const QString &mid)
{
    const QStringList ids = mid.split(QLatin1Char(','), Qt::SkipEmptyParts);
    QTreeWidgetItem *all = m_ui->USER->topLevelItem(0);
    if (!all)
        return;
    m_ownChange = true;
    for (int i = 0; i < all->childCount(); ++i) {
        QTreeWidgetItem *row = all->child(i);
        if (ids.contains(row->data(0, Qt::UserRole).toString()))
            row->setCheckState(0, Qt::Checked);
    }
    m_ownChange = false;
}

QString MemberMail::CheckedIds() const
{
    QStringList ids;
    if (QTreeWidgetItem *all = m_ui->USER->topLevelItem(0)) {
        for (int i = 0; i < all->childCount(); ++i) {
            if (all->child(i)->checkState(0) == Qt::Checked)
                ids << all->child(i)->data(0, Qt::UserRole).toString();
        }
    }
    return ids.join(QLatin1Char(','));
}

void MemberMail::HistProc(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    if (m_removing)
        return;
    m_ui->MSG->clear();
    DocCdataCase *entry = EntryOf(current);
    if (!m_ui->NEW->isEnabled() || !entry)
        return;
    const bool locked = entry->IsSend || !m_member || m_member->OtherUser != 0;
    SetAllChecks(false, !locked);
    ShowRecipients(entry->MID);
    if (locked)
        SetButtons(true, false, true, false);
    else
        SetButtons(true, true, true, true);
    m_editor->setReadOnly(locked);
    m_editor->setUndoRedoEnabled(false);
    m_editor->setPlainText(entry->Text);
    m_editor->setUndoRedoEnabled(true);
    m_editor->setFocus();
}

void MemberMail::CheckChanged(QTreeWidgetItem *item, int column)
{
    if (m_ownChange || column != 0 || !item)
        return;
    m_ui->MSG->clear();
    QTreeWidgetItem *all = m_ui->USER->topLevelItem(0);
    m_ownChange = true;
    if (item != all) {
        if (item->checkState(0) == Qt::Unchecked && all->checkState(0) == Qt::Checked)
            all->setCheckState(0, Qt::Unchecked);
    } else {
        const bool on = all->checkState(0) == Qt::Checked;
        for (int i = 0; i < all->childCount(); ++i) {
            QTreeWidgetItem *row = all->child(i);
            const bool reachable = on && row->text(1).contains(QLatin1Char('@'));
            row->setCheckState(0, reachable ? Qt::Checked : Qt::Unchecked);
            if (on)
                row->setFlags(reachable ? row->flags() | Qt::ItemIsEnabled
                                        : row->flags() & ~Qt::ItemIsEnabled);
        }
    }
    m_ownChange = false;
}

void MemberMail::NewProc()
{
    m_ui->MSG->clear();
    if (GetStrVar(RegSlot::StrMailIsConnect) == QLatin1String("0")) {
        SetMessage(tr("SMTP is not connect. Check Option Mail"), true);
        return;
    }
    m_title->SetMode(0);
    m_title->exec();
}

void MemberMail::NewMail(const QString &title)
{
    if (QTreeWidgetItem *all = m_ui->USER->topLevelItem(0)) {
        SetAllChecks(false, true);
        all->setCheckState(0, Qt::Checked); // checks every member with an address
    }
    SetMessage(QString(), false);
    SetButtons(false, true, true, true);
    auto *item = new QTreeWidgetItem(m_ui->HIST);
    const QDateTime now = QDateTime::currentDateTime();
    item->setText(0, QString::number(m_store.GetNextID(m_key)));
    item->setText(1, now.toString(QStringLiteral("yyyy/MM/dd")));
    item->setText(2, now.toString(QStringLiteral("hh:mm")));
    item->setText(3, tr("newhist"));
    item->setData(3, Qt::UserRole, NewState);
    item->setText(4, title);
    m_ui->HIST->setCurrentItem(item);
    FitHistory();
    SetMessage(tr("new mail is set contents and send ,or save, or delete"), false);
    m_editor->clear();
    m_editor->setReadOnly(false);
    m_ui->HIST->setEnabled(false);
}

void MemberMail::HistDblClicked(QTreeWidgetItem *item, int column)
{
    const DocCdataCase *entry = EntryOf(item);
    if (column != 4 || !item || (entry && entry->IsSend) || item->data(3, Qt::UserRole).toInt() == SentState)
        return;
    m_title->SetMode(1);
    m_title->SetTitle(item->text(4));
    m_title->exec();
}

void MemberMail::SetTitleText(const QString &title)
{
    if (QTreeWidgetItem *item = m_ui->HIST->currentItem())
        item->setText(4, title);
}
