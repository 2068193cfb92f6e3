#include "shell/optiondiag.h"

#include "core/optionsmodel.h"
#include "core/xmlclass.h"
#include "docs/addreference.h"
#include "members/addgroup.h"
#include "members/manager.h"
#include "redmine/rusers.h"
#include "shell/optfont.h"
#include "shell/optproject.h"
#include "ui_optiondiag.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>

namespace
{
const QString kCurrentTab = QStringLiteral("#ffffff");
const QString kOtherTab = QStringLiteral("#00dd00");

void setHeader(QTreeWidget *tree, int column, const char *icon)
{
    tree->headerItem()->setIcon(column, QIcon(QLatin1String(icon)));
}
} // namespace

OptionDiag::OptionDiag(QWidget *parent) : QDialog(parent), m_ui(new Ui::OptionDiag)
{
    m_ui->setupUi(this);
    setWindowIcon(GetLogoIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(m_ui->OK, &QPushButton::clicked, this, &OptionDiag::OkProc);
    connect(m_ui->CANCEL, &QPushButton::clicked, this, &OptionDiag::CancelProc);
    connect(m_ui->ADDGRPBTN, &QPushButton::clicked, this, &OptionDiag::AddGroupProc);
    connect(m_ui->GMOD, &QPushButton::clicked, this, &OptionDiag::ModGroupProc);
    connect(m_ui->GROUPTREE, &QTreeWidget::itemDoubleClicked, this, &OptionDiag::ModGroupProc);
    connect(m_ui->DELGRPBTN, &QPushButton::clicked, this, &OptionDiag::DelGroupProc);
    connect(m_ui->REFADDBTN, &QPushButton::clicked, this, &OptionDiag::AddRefProc);
    connect(m_ui->RMOD, &QPushButton::clicked, this, QOverload<>::of(&OptionDiag::ModRefProc));
    connect(m_ui->EXTTREE, &QTreeWidget::itemDoubleClicked, this, QOverload<>::of(&OptionDiag::ModRefProc));
    connect(m_ui->EXTTREE, &QTreeWidget::itemDoubleClicked, this,
            QOverload<QTreeWidgetItem *, int>::of(&OptionDiag::ModRefProc));
    connect(m_ui->REFDELBTN, &QPushButton::clicked, this, &OptionDiag::DelRefProc);
    connect(m_ui->EXTTREE, &QTreeWidget::currentItemChanged, this, &OptionDiag::RefChanged);
    connect(m_ui->GROUPTREE, &QTreeWidget::currentItemChanged, this, &OptionDiag::GroupChanged);
    connect(m_ui->tabWidget, &QTabWidget::currentChanged, this, &OptionDiag::TabChanged);

    m_users = new RUsers(this);
    SetObj(RegSlot::ObjRUsers, m_users);
    m_font = new OptFont;
    m_ui->tabWidget->addTab(m_font, tr("Font"));
    m_project = new OptProject;
    m_project->SetOwner(this);
    m_ui->tabWidget->addTab(m_project, tr("project Manager"));
    m_users->SetProjectPage(m_project);

    m_ui->tabWidget->tabBar()->setStyleSheet(QStringLiteral("background-color: #666666"));
    for (int i = 0; i < m_ui->tabWidget->count(); ++i)
        m_ui->tabWidget->tabBar()->setTabTextColor(i, QColor(i == 0 ? kCurrentTab : kOtherTab));
    m_previousTab = 0;
    styleHeaders();

    m_addGroup = new AddGroup;
    m_users->SetGroupDialog(m_addGroup);
    m_addRef = new AddReference;
    connect(m_addRef, &AddReference::updated, this, &OptionDiag::RefUpdate);
}

OptionDiag::~OptionDiag()
{
    if (GetObj<RUsers>(RegSlot::ObjRUsers) == m_users)
        SetObj<RUsers>(RegSlot::ObjRUsers, nullptr);
    delete m_addGroup;
    delete m_addRef;
    delete m_ui;
}

void OptionDiag::styleHeaders()
{
    const QString white = QStringLiteral("QHeaderView::section { color: #FFFFFF; background-color: %1; }");
    for (QTreeWidget *tree : {m_ui->OWNERTREE, m_ui->GROUPTREE, m_ui->EXTTREE})
        tree->header()->setStyleSheet(white.arg(QStringLiteral("#666666")));
    setHeader(m_ui->OWNERTREE, 0, ":src/user.png");
    setHeader(m_ui->OWNERTREE, 1, ":src/logo.png");
    setHeader(m_ui->GROUPTREE, 0, ":src/other.png");
    setHeader(m_ui->GROUPTREE, 1, ":src/logo.png");
    setHeader(m_ui->GROUPTREE, 2, ":src/TBL_MAIL.png");
    setHeader(m_ui->EXTTREE, 0, ":src/TBL_E.png");
    setHeader(m_ui->EXTTREE, 1, ":src/TBL_P.png");
    const QBrush trackerColumns{QColor(QStringLiteral("#28649d"))};
    for (int column = 2; column <= 5; ++column)
        m_ui->OWNERTREE->headerItem()->setBackground(column, trackerColumns);
    for (int column = 3; column <= 6; ++column)
        m_ui->GROUPTREE->headerItem()->setBackground(column, trackerColumns);
}

void OptionDiag::LoadOptions()
{
    m_ui->EXTTREE->clear();
    m_ui->OWNERTREE->clear();
    m_ui->GROUPTREE->clear();
    m_project->ClearFields();
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Settings) : nullptr;
    const OptionValues values = doc ? OptionsModel::Read(*doc) : OptionValues();
    fillRows(values);
    m_ui->DELGRPBTN->setEnabled(m_ui->GROUPTREE->currentItem() != nullptr);
    m_ui->REFDELBTN->setEnabled(m_ui->EXTTREE->currentItem() != nullptr);
    m_project->LoadSettings();
    SetOwnerFirstName(m_project->GetUserField(0));
    SetOwnerLastName(m_project->GetUserField(1));
    SetOwnerRedmineId(m_project->GetUserField(2));
    ShowRedmineColumns();
    SetOwnerRedmine(GetBoolVar(RegSlot::FlagRedmineActive));
    fillMail(values);
    m_shown = readWidgets();
    m_loaded = true;
}

void OptionDiag::fillRows(const OptionValues &values)
{
    // Each row knows the element it was read from, so that OK writes it back in place.
    for (int i = 0; i < values.references.size(); ++i) {
        const ReferenceRow &row = values.references.at(i);
        auto *item = new QTreeWidgetItem(m_ui->EXTTREE, {row.extension, row.program});
        item->setData(0, Qt::UserRole, values.referenceFrom.value(i, -1));
    }
    TreeColumnAdjustment(m_ui->EXTTREE);
    if (values.hasFont) {
        m_font->SetFontName(values.fontName);
        SetStrVar(RegSlot::StrFontName, values.fontName);
        m_font->SetFontSize(values.fontSize.toInt());
        SetStrVar(RegSlot::StrFontSize, values.fontSize);
    }
    if (values.hasAutoSave) {
        SetStrVar(RegSlot::StrAutoSaveMinutes, values.autoSave);
        m_font->SetAutoSave(values.autoSave.toInt());
    }
    if (values.hasInit)
        new QTreeWidgetItem(m_ui->OWNERTREE, {values.ownerName, values.ownerEmail});
    for (int i = 0; i < values.children.size(); ++i) {
        const ChildUserRow &row = values.children.at(i);
        auto *item = new QTreeWidgetItem(m_ui->GROUPTREE, {row.name, row.email, row.procEmail, QString(),
                                                           row.firstName, row.lastName, row.redmineId});
        item->setData(0, Qt::UserRole, values.childFrom.value(i, -1));
    }
    TreeColumnAdjustment(m_ui->GROUPTREE);
}

void OptionDiag::fillMail(const OptionValues &values)
{
    if (!values.hasMail)
        return;
    SetBoolVar(RegSlot::FlagUpdating, true);
    const auto &mail = values.mailRead;
    const int security = mail.value(QStringLiteral("SECURITY")).toInt();
    if (mail.contains(QStringLiteral("SMTPSERVER")))
        m_font->SetServer(mail.value(QStringLiteral("SMTPSERVER")));
    if (mail.contains(QStringLiteral("PORT")))
        m_font->SetPort(OptionsModel::PortFromText(mail.value(QStringLiteral("PORT")), security));
    if (mail.contains(QStringLiteral("SECURITY")))
        m_font->SetSecurity(security);
    if (mail.contains(QStringLiteral("AUTH")))
        m_font->SetAuth(mail.value(QStringLiteral("AUTH")).toInt());
    if (mail.contains(QStringLiteral("ADDRESS")))
        m_font->SetAddress(mail.value(QStringLiteral("ADDRESS")));
    if (mail.contains(QStringLiteral("ISSEND")))
        m_font->SetSend(mail.value(QStringLiteral("ISSEND")));
    if (mail.contains(QStringLiteral("ISCONNECT")))
        m_font->SetConnect(mail.value(QStringLiteral("ISCONNECT")));
    const int slotOf[] = {RegSlot::StrMailServer,   RegSlot::StrMailPort,    RegSlot::StrMailSecurity,
                          RegSlot::StrMailAuth,     RegSlot::StrMailAddress, RegSlot::StrMailIsSend,
                          RegSlot::StrMailIsConnect};
    const char *const tags[] = {"SMTPSERVER", "PORT", "SECURITY", "AUTH", "ADDRESS", "ISSEND", "ISCONNECT"};
    for (int i = 0; i < 7; ++i) {
        if (mail.contains(QLatin1String(tags[i])))
            SetStrVar(slotOf[i], mail.value(QLatin1String(tags[i])));
    }
    m_font->SetPassword(GetStrVar(RegSlot::StrMailPassword));
    SetBoolVar(RegSlot::FlagUpdating, false);
}

void OptionDiag::OkProc()
{
    // A value the member files would refuse is not stored: the dialog stays with what was typed.
    const QString refusal = OptionsModel::RefuseValues(readWidgets());
    if (!refusal.isEmpty()) {
        showRefusal(refusal);
        return;
    }
    // The store has shown why init.xml could not be written; closing now would pass for
    // success and the settings would be gone at the next start. The typed values stay up so
    // OK can be pressed again once the cause is fixed.
    if (!SaveOptions())
        return;
    const int kind = GetIntVar(RegSlot::IntDocKind);
    if (kind == 2 || kind == 4) {
        if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
            mgr->ShowRedmineColumns(GetBoolVar(RegSlot::FlagRedmineActive) &&
                                    GetBoolVar(RegSlot::FlagIsManager));
    }
    accept();
}

void OptionDiag::CancelProc()
{
    reject();
}

void OptionDiag::reject()
{
    m_project->RestoreSettings();
    QDialog::reject();
}

void OptionDiag::GroupUpdate()
{
    TreeColumnAdjustment(m_ui->GROUPTREE);
}

void OptionDiag::RefUpdate()
{
    TreeColumnAdjustment(m_ui->EXTTREE);
}

void OptionDiag::setOwnerColumn(int column, const QString &text)
{
    QTreeWidgetItem *owner = m_ui->OWNERTREE->topLevelItem(0);
    if (!owner)
        return;
    owner->setText(column, text);
    TreeColumnAdjustment(m_ui->OWNERTREE);
}

void OptionDiag::SetOwnerFirstName(const QString &text)
{
    setOwnerColumn(3, text);
}

void OptionDiag::SetOwnerLastName(const QString &text)
{
    setOwnerColumn(4, text);
}

void OptionDiag::SetOwnerRedmineId(const QString &text)
{
    setOwnerColumn(5, text);
}

void OptionDiag::SetOwnerRedmine(bool on)
{
    if (QTreeWidgetItem *owner = m_ui->OWNERTREE->topLevelItem(0))
        owner->setText(2, on ? tr("redmine yes") : tr("redmine no"));
}

void OptionDiag::ShowRedmineColumns()
{
    const bool on = GetBoolVar(RegSlot::FlagRedmineActive);
    for (int column = 2; column <= 5; ++column)
        m_ui->OWNERTREE->setColumnHidden(column, !on);
    for (int column = 3; column <= 6; ++column)
        m_ui->GROUPTREE->setColumnHidden(column, !on);
    TreeColumnAdjustment(m_ui->OWNERTREE);
    TreeColumnAdjustment(m_ui->GROUPTREE);
}

void OptionDiag::TabChanged(int index)
{
    QTabBar *bar = m_ui->tabWidget->tabBar();
    bar->setTabTextColor(m_previousTab, QColor(kOtherTab));
    bar->setTabTextColor(index, QColor(kCurrentTab));
    m_previousTab = index;
}
