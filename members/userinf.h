#pragma once

#include "core/globalvar.h"

#include <QWidget>

namespace Ui
{
class UserInf;
}
class Calendar;
class MemberMail;
class ProcMailDiag;
class NumEditor;
struct MemberInfo;

// The page of one member: dates, receiving address, output folder, notes and mails. Edits go into
// the member record; the member manager writes them at the next save.
class UserInf final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    explicit UserInf(QWidget *parent = nullptr);
    ~UserInf() override;

    void SetMember(int n);
    void SetUser(const QString &name, const QString &email);
    void SetOwnUser();
    void ShowUser();
    void RefreshEmail();
    void ClearPage();
    void ClearMailData();
    void ClearModified();
    void SelectFirstTab();
    void SetProcEmail(const QString &address);
    // A page whose member file could not be read: shown, never edited.
    void SetReadOnly(bool readOnly);

    QString StartDate() const;
    QString TargetDate() const;
    QString CompletionDate() const;
    QString OutDir() const;
    QString NotesText() const;
    bool NotesModified() const;
    int MemberNumber() const { return m_member; }
    MemberInfo *Record() const { return m_record; }
    NumEditor *NotesEditor() const { return m_notes; }
    ProcMailDiag *ProcDialog();
    Calendar *DateDialog();

public slots:
    void SdateBtnProc();
    void TdateBtnProc();
    void CdateBtnProc();
    void OutDirProc();
    void SdateChanged(const QString &text);
    void TdateChanged(const QString &text);
    void CdateChanged(const QString &text);
    void OutDirChanged(const QString &text);
    void EmodProc();
    void TabChanged(int index);

private:
    void dateChanged(QString MemberInfo::*field, const QString &text);
    void showCalendar(const QString &date, int mode);
    MemberMail *mail();

    Ui::UserInf *m_ui;
    NumEditor *m_notes;
    QWidget *m_mailPage;
    MemberMail *m_mail = nullptr;
    Calendar *m_calendar = nullptr;
    ProcMailDiag *m_procDiag = nullptr;
    MemberInfo *m_record = nullptr;
    int m_member = -1;
    bool m_readOnly = false;
};
