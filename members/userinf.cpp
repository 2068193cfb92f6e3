#include "members/userinf.h"

#include "comm/membermail.h"
#include "core/textfiles.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "members/memberinfo.h"
#include "members/procmaildiag.h"
#include "model/calendar.h"
#include "shell/numeditor.h"
#include "ui_userinf.h"

#include <QFileDialog>
#include <QTabBar>
#include <QVBoxLayout>

namespace
{
QString notesPath(const QString &folder, int n)
{
    return folder + QStringLiteral("/manager_%1.txt").arg(n);
}
} // namespace

UserInf::UserInf(QWidget *parent)
    : QWidget(parent), m_ui(new Ui::UserInf), m_notes(new NumEditor), m_mailPage(new QWidget)
{
    m_ui->setupUi(this);
    m_notes->SetKind(6);
    m_ui->EXPLANATION->layout()->addWidget(m_notes);
    m_ui->EXPTAB->removeTab(1);
    // A workspace has a page per member; the mail panel and the two dialogs are built when the
    // page first needs them, or thousands of members take minutes to open.
    auto *mailLayout = new QVBoxLayout(m_mailPage);
    mailLayout->setContentsMargins(0, 0, 0, 0);
    m_ui->EXPTAB->addTab(m_mailPage, QStringLiteral("member_mail"));
    m_ui->EXPTAB->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    m_ui->EXPTAB->tabBar()->setTabTextColor(0, QColor("#FFFFFF"));
    m_ui->EXPTAB->tabBar()->setTabTextColor(1, QColor("#00dd00"));

    connect(m_ui->SBTN, &QPushButton::clicked, this, &UserInf::SdateBtnProc);
    connect(m_ui->TBTN, &QPushButton::clicked, this, &UserInf::TdateBtnProc);
    connect(m_ui->CBTN, &QPushButton::clicked, this, &UserInf::CdateBtnProc);
    connect(m_ui->REF, &QPushButton::clicked, this, &UserInf::OutDirProc);
    connect(m_ui->STARTDATE, &QLineEdit::textChanged, this, &UserInf::SdateChanged);
    connect(m_ui->TARGETDATE, &QLineEdit::textChanged, this, &UserInf::TdateChanged);
    connect(m_ui->COMPLETIONDATE, &QLineEdit::textChanged, this, &UserInf::CdateChanged);
    connect(m_ui->OUTDIR, &QLineEdit::textChanged, this, &UserInf::OutDirChanged);
    connect(m_ui->EMOD, &QPushButton::clicked, this, &UserInf::EmodProc);
    connect(m_ui->EXPTAB, &QTabWidget::currentChanged, this, &UserInf::TabChanged);
}

UserInf::~UserInf()
{
    delete m_ui;
}

bool UserInf::ReadMember(MemberInfo *record, const QDomDocument *doc)
{
    const QDomElement root = doc ? doc->documentElement() : QDomElement();
    if (root.isNull() || root.tagName() != QLatin1String("Root_manager"))
        return false;
    record->ProcEmail = root.attribute(QStringLiteral("ProcEmail"));
    record->StartDate = root.attribute(QStringLiteral("StartDate"));
    record->TargetDate = root.attribute(QStringLiteral("TargetDate"));
    record->CompletionDate = root.attribute(QStringLiteral("CompletionDate"));
    record->Completed = !record->CompletionDate.isEmpty();
    // A page built later finds the output folder here, as the file holds it.
    const QDomElement out = root.firstChildElement(QStringLiteral("OUT"));
    if (!out.isNull())
        record->OutDir = out.attribute(QStringLiteral("DIR"));
    return true;
}

void UserInf::SetMember(int n)
{
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    MemberInfo *record = table ? table->value(n) : nullptr;
    if (!record)
        return;
    m_record = record;
    m_member = n;
    record->Page = this;
    record->Editor = m_notes;
    m_notes->SetUserNo(n);
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Manager + n) : nullptr;
    if (ReadMember(record, doc)) {
        m_ui->USERNAME->setText(record->DisplayName);
        m_ui->EMAIL->setText(record->ProcEmail);
        m_ui->STARTDATE->setText(record->StartDate);
        m_ui->TARGETDATE->setText(record->TargetDate);
        m_ui->COMPLETIONDATE->setText(record->CompletionDate);
        if (!record->OutDir.isEmpty())
            m_ui->OUTDIR->setText(record->OutDir);
    } else {
        m_ui->USERNAME->setText(record->DisplayName);
        m_ui->EMAIL->setText(record->Email);
        SetReadOnly(true);
    }
    // Loading the file is no edit of the member's notes.
    const bool updating = GetBoolVar(RegSlot::FlagUpdating);
    SetBoolVar(RegSlot::FlagUpdating, true);
    const QString notes = notesPath(GetStrVar(RegSlot::StrInstanceDir), n);
    m_notes->appendPlainText(TextFiles::Read(notes, 0));
    ClearModified();
    // Notes typed over a file that was not read would replace it at the next save.
    m_notes->SetRefusal(TextFiles::RefusalOf(notes));
    SetBoolVar(RegSlot::FlagUpdating, updating);
}

void UserInf::SetUser(const QString &name, const QString &email)
{
    m_ui->USERNAME->setText(name);
    m_ui->EMAIL->setText(email);
}

void UserInf::SetOwnUser()
{
    SetUser(GetStrVar(RegSlot::StrUserName), GetStrVar(RegSlot::StrUserEmail));
}

void UserInf::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    ShowUser();
}

void UserInf::ShowUser()
{
    const bool own = m_record && m_record->OtherUser == 0;
    if (own)
        m_ui->EMAIL->setText(m_record->ProcEmail);
    const bool editable = own && !m_record->Completed && !m_readOnly;
    for (QWidget *w : {static_cast<QWidget *>(m_ui->SBTN), static_cast<QWidget *>(m_ui->TBTN),
                       static_cast<QWidget *>(m_ui->EMOD), static_cast<QWidget *>(m_ui->OUTDIR),
                       static_cast<QWidget *>(m_ui->REF)})
        w->setEnabled(editable);
    m_ui->CBTN->setEnabled(own && !m_readOnly);
    m_notes->SetWritable(editable);
    if (m_ui->EXPTAB->currentIndex() == 1)
        mail()->SetUser(m_record);
    if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
        tab->RefreshCurrentItem();
}

void UserInf::RefreshEmail()
{
    if (m_record && m_record->OtherUser == 0 && m_record->ProcEmail != m_ui->EMAIL->text())
        m_ui->EMAIL->setText(m_record->ProcEmail);
}

void UserInf::ClearPage()
{
    const bool busy = GetBoolVar(RegSlot::FlagBusy);
    SetBoolVar(RegSlot::FlagBusy, true);
    for (QLineEdit *e :
         {m_ui->USERNAME, m_ui->EMAIL, m_ui->STARTDATE, m_ui->TARGETDATE, m_ui->COMPLETIONDATE, m_ui->OUTDIR})
        e->clear();
    m_notes->ClearText();
    ClearModified();
    SetBoolVar(RegSlot::FlagBusy, busy);
    m_record = nullptr;
    m_member = -1;
    m_readOnly = false;
}

void UserInf::ClearMailData()
{
    if (m_mail)
        m_mail->ClearData();
}

MemberMail *UserInf::mail()
{
    if (!m_mail) {
        m_mail = new MemberMail;
        m_mailPage->layout()->addWidget(m_mail);
    }
    return m_mail;
}

Calendar *UserInf::DateDialog()
{
    if (!m_calendar) {
        m_calendar = new Calendar(this);
        m_calendar->SetDateEdit(m_ui->STARTDATE, m_ui->TARGETDATE, m_ui->COMPLETIONDATE);
        m_calendar->SetDateButton(m_ui->SBTN, m_ui->TBTN, m_ui->CBTN);
        m_calendar->SetType(0);
    }
    return m_calendar;
}

ProcMailDiag *UserInf::ProcDialog()
{
    if (!m_procDiag) {
        m_procDiag = new ProcMailDiag(this);
        m_procDiag->SetPage(this);
    }
    return m_procDiag;
}

void UserInf::ClearModified()
{
    m_notes->ClearModified();
}

void UserInf::SelectFirstTab()
{
    m_ui->EXPTAB->setCurrentIndex(0);
}

QString UserInf::StartDate() const
{
    return m_ui->STARTDATE->text();
}

QString UserInf::TargetDate() const
{
    return m_ui->TARGETDATE->text();
}

QString UserInf::CompletionDate() const
{
    return m_ui->COMPLETIONDATE->text();
}

QString UserInf::OutDir() const
{
    return m_ui->OUTDIR->text();
}

QString UserInf::NotesText() const
{
    return m_notes->toPlainText();
}

bool UserInf::NotesModified() const
{
    return m_notes->IsModified();
}

void UserInf::showCalendar(const QString &date, int mode)
{
    Calendar *calendar = DateDialog();
    calendar->SetDate(date);
    calendar->SetMode(mode);
    calendar->SetMember(m_record);
    calendar->show();
}

void UserInf::SdateBtnProc()
{
    showCalendar(StartDate(), 0);
}

void UserInf::TdateBtnProc()
{
    showCalendar(TargetDate().isEmpty() ? StartDate() : TargetDate(), 1);
}

void UserInf::CdateBtnProc()
{
    showCalendar(CompletionDate().isEmpty() ? TargetDate() : CompletionDate(), 2);
}

void UserInf::dateChanged(QString MemberInfo::*field, const QString &text)
{
    if (GetBoolVar(RegSlot::FlagBusy))
        return;
    if (m_record && field)
        m_record->*field = text;
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager)) {
        mgr->SetModify();
        mgr->SetManagerModify(m_member);
    }
    if (field) {
        if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab))
            tab->SetScheduleRefresh(true);
    }
}

void UserInf::SdateChanged(const QString &text)
{
    dateChanged(&MemberInfo::StartDate, text);
}

void UserInf::TdateChanged(const QString &text)
{
    dateChanged(&MemberInfo::TargetDate, text);
}

void UserInf::CdateChanged(const QString &text)
{
    dateChanged(&MemberInfo::CompletionDate, text);
}

void UserInf::OutDirChanged(const QString &text)
{
    Q_UNUSED(text)
    dateChanged(nullptr, QString());
}

void UserInf::OutDirProc()
{
    QFileDialog dialog(this, tr("Output Directory"), QStringLiteral("/"));
    dialog.setFileMode(QFileDialog::Directory);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_ui->OUTDIR->setText(dialog.selectedFiles().first() + QStringLiteral("/") + QStringLiteral("Output"));
}

void UserInf::EmodProc()
{
    ProcMailDiag *dialog = ProcDialog();
    dialog->SetAddress(m_ui->EMAIL->text());
    dialog->show();
}

void UserInf::SetProcEmail(const QString &address)
{
    auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    auto *mgr = GetObj<manager>(RegSlot::ObjManager);
    if (table) {
        for (MemberInfo *record : qAsConst(*table)) {
            if (record->OtherUser != 0 || record->Deleted)
                continue;
            record->ProcEmail = address;
            if (mgr)
                mgr->SetManagerModify(record->ID);
        }
    }
    if (mgr)
        mgr->SetModify();
    m_ui->EMAIL->setText(address);
}

void UserInf::TabChanged(int index)
{
    QTabBar *bar = m_ui->EXPTAB->tabBar();
    bar->setTabTextColor(index == 0 ? 1 : 0, QColor("#00dd00"));
    bar->setTabTextColor(index, QColor("#FFFFFF"));
    if (index == 1)
        mail()->SetUser(m_record);
}
