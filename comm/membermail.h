#pragma once

#include "comm/mailqueueitem.h"
#include "core/globalvar.h"
#include "core/statuswindow.h"
#include "qa/doccdata.h"

#include <QWidget>

namespace Ui
{
class MemberMail;
}
class MailTitle;
class NumEditor;
class QPushButton;
class QTreeWidgetItem;
struct MemberInfo;

// The member mail panel of a user information page: the mails the running user wrote to other
// members, stored one history file per member, and the editor to write, save or send one.
class MemberMail final : public QWidget, public StatusWindow, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit MemberMail(QWidget *parent = nullptr);
    ~MemberMail() override;

    void ClearData();
    NumEditor *GetEditor() const { return m_editor; }
    void SendResult(const QString &result) override;
    void SetUser(MemberInfo *member);
    void NewMail(const QString &title);
    void SetTitleText(const QString &title);
    MailTitle *TitleDialog() const { return m_title; }
    const QList<MailQueueItem> &Queue() const { return m_queue; }
    // Writes a history a save of the panel could not write; false while one stays unwritten.
    bool SaveUnwritten();

public slots:
    void NewProc();
    void SendProc();
    void CancelProc();
    void NSendSaveProc();
    void CheckChanged(QTreeWidgetItem *item, int column);
    void HistProc(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void HistDblClicked(QTreeWidgetItem *item, int column);

private:
    void FillUsers();
    void LoadHistory();
    void ShowRecipients(const QString &mid);
    bool AddMail(QTreeWidgetItem *item);
    bool UpdateMail(QTreeWidgetItem *item);
    QString notSaved(const QString &refusal) const;
    QTreeWidgetItem *MailToStore();
    bool StoreMail(QTreeWidgetItem *item);
    void showReplaced();
    int ComposeMail(QTreeWidgetItem *item);
    void DeleteMail(QTreeWidgetItem *item);
    void ShowResult(QTreeWidgetItem *item, bool sent);
    QTreeWidgetItem *HistItem(const DocCdataCase *entry) const;
    DocCdataCase *SendingEntry() const;
    void save();
    void SetButtons(bool newOn, bool sendOn, bool cancelOn, bool saveOn);
    void SetMessage(const QString &text, bool error);
    void SetAllChecks(bool checked, bool enabled);
    QString CheckedIds() const;
    void FitHistory();
    static DocCdataCase *EntryOf(QTreeWidgetItem *item);

    Ui::MemberMail *m_ui;
    NumEditor *m_editor;
    MailTitle *m_title;
    DocCdata m_store;
    QString m_key;
    MemberInfo *m_member = nullptr;
    QList<MailQueueItem> m_queue;
    // The mail of the run this panel posted; found again by ID when a reload freed the entry.
    bool m_awaiting = false;
    quint64 m_sendingSerial = 0;
    int m_sendingId = 0;
    QString m_sendingKey;
    bool m_ownChange = false;
    bool m_removing = false;
};
