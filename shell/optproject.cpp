#include "shell/optproject.h"

#include "core/optionsmodel.h"
#include "core/platformstore.h"
#include "redmine/nwredmine.h"
#include "redmine/redminelogin.h"
#include "redmine/rusers.h"
#include "shell/optiondiag.h"
#include "ui_optproject.h"

OptProject::OptProject(QWidget *parent) : QWidget(parent), m_ui(new Ui::OptProject)
{
    m_ui->setupUi(this);
    m_ui->REDMINE_TAB->removeTab(m_ui->REDMINE_TAB->indexOf(m_ui->tab_2));
    for (QWidget *label : {static_cast<QWidget *>(m_ui->LB1), static_cast<QWidget *>(m_ui->LB2),
                           static_cast<QWidget *>(m_ui->LB3), static_cast<QWidget *>(m_ui->LB4),
                           static_cast<QWidget *>(m_ui->LB5), static_cast<QWidget *>(m_ui->LB6),
                           static_cast<QWidget *>(m_ui->LB7), static_cast<QWidget *>(m_ui->SLOGIN)})
        label->setStyleSheet(QStringLiteral("background-color: #628DB6;color: #FFFFFF"));
    SetObj(RegSlot::ObjOptProject, this);
    m_login = new RedmineLogin(this);
    connect(m_ui->NOPRJ, &QRadioButton::clicked, this, &OptProject::NoPrj);
    connect(m_ui->REDMINE, &QRadioButton::clicked, this, &OptProject::Redmine);
    connect(m_ui->URL, &QLineEdit::textChanged, this, &OptProject::UriChanged);
    connect(m_ui->F_NAME, &QLineEdit::textChanged, this, &OptProject::FnameChanged);
    connect(m_ui->L_NAME, &QLineEdit::textChanged, this, &OptProject::LnameChanged);
    connect(m_ui->IDBx, QOverload<int>::of(&QSpinBox::valueChanged), this, &OptProject::IdChanged);
    connect(m_ui->API, &QLineEdit::textChanged, this, &OptProject::ApiChanged);
    connect(m_ui->MAXcbx, QOverload<int>::of(&QSpinBox::valueChanged), this, &OptProject::MaxChanged);
    connect(m_ui->APIKEYRBTN, &QRadioButton::clicked, this, &OptProject::ApiAuthChanged);
    connect(m_ui->LOGINRBTN, &QRadioButton::clicked, this, &OptProject::BasicAuthChanged);
    connect(m_ui->URLCHECK, &QPushButton::clicked, this, &OptProject::HomeCheck);
    connect(m_ui->USER, &QPushButton::clicked, this, &OptProject::UserProc);
    connect(m_ui->LOGIN, &QPushButton::clicked, this, &OptProject::LoginProc);
    setAuthWidgets(false);
    m_guard = true;
}

OptProject::~OptProject()
{
    if (GetObj<OptProject>(RegSlot::ObjOptProject) == this)
        SetObj<OptProject>(RegSlot::ObjOptProject, nullptr);
    delete m_ui;
}

void OptProject::ClearFields()
{
    m_guard = false;
    m_ui->URL->clear();
    m_ui->F_NAME->clear();
    m_ui->L_NAME->clear();
    m_ui->API->clear();
    m_ui->IDBx->setValue(0);
    m_ui->MAXcbx->setValue(65535);
    m_ui->MSG->clear();
    m_guard = true;
}

void OptProject::LoadSettings()
{
    m_guard = false;
    m_ui->URL->clear();
    m_ui->F_NAME->clear();
    m_ui->L_NAME->clear();
    m_ui->IDBx->setValue(0);
    m_ui->API->clear();
    m_ui->TERMLIST->clearContents();
    m_guard = true;

    m_saved.active = GetBoolVar(RegSlot::FlagRedmineActive);
    (m_saved.active ? m_ui->REDMINE : m_ui->NOPRJ)->setChecked(true);
    m_ui->REDMINE_TAB->setEnabled(m_saved.active);
    m_saved.url = GetStrVar(RegSlot::StrRedmineUrl);
    m_saved.firstName = GetStrVar(RegSlot::StrFirstName);
    m_saved.lastName = GetStrVar(RegSlot::StrLastName);
    m_saved.redmineId = GetStrVar(RegSlot::StrRedmineUserId);
    m_saved.key = GetStrVar(RegSlot::StrRedmineKey);
    m_saved.apiKey = GetBoolVar(RegSlot::FlagRedmineKeySet);
    m_saved.max = GetIntVar(RegSlot::IntDescriptionMax);
    m_ui->URL->setText(m_saved.url);
    m_ui->F_NAME->setText(m_saved.firstName);
    m_ui->L_NAME->setText(m_saved.lastName);
    m_ui->IDBx->setValue(m_saved.redmineId.toInt());
    m_ui->API->setText(m_saved.key);
    (m_saved.apiKey ? m_ui->APIKEYRBTN : m_ui->LOGINRBTN)->setChecked(true);
    setAuthWidgets(m_saved.apiKey);
    m_ui->MAXcbx->setValue(m_saved.max);
}

QString OptProject::GetUserField(int field) const
{
    switch (field) {
    case 0:
        return m_ui->F_NAME->text();
    case 1:
        return m_ui->L_NAME->text();
    default:
        return QString::number(m_ui->IDBx->value());
    }
}

SettingsFile::Change OptProject::TrackerChange()
{
    const TrackerValues shown{m_saved.active, m_saved.url, m_saved.apiKey, m_saved.max};
    m_saved.active = GetBoolVar(RegSlot::FlagRedmineActive);
    // A key of blanks only becomes empty and the save goes on: stopping here would drop every
    // other setting while the dialog still closes as accepted.
    const QString key = OptionsModel::CutTrackerKey(GetStrVar(RegSlot::StrRedmineKey));
    SetStrVar(RegSlot::StrRedmineKey, key);
    const bool guard = m_guard;
    m_guard = false;
    m_ui->API->setText(key);
    m_guard = guard;
    m_saved.key = key;
    PlatformStore::Write(QStringLiteral("api"), key);
    m_saved.url = GetStrVar(RegSlot::StrRedmineUrl);
    m_saved.apiKey = GetBoolVar(RegSlot::FlagRedmineKeySet);
    m_saved.max = GetIntVar(RegSlot::IntDescriptionMax);
    const TrackerValues now{m_saved.active, m_saved.url, m_saved.apiKey, m_saved.max};
    return [shown, now](QDomDocument &doc) {
        OptionsModel::WriteTrackerTyped(doc, shown, now);
        return true;
    };
}

void OptProject::RestoreSettings()
{
    SetBoolVar(RegSlot::FlagRedmineActive, m_saved.active);
    SetStrVar(RegSlot::StrRedmineUrl, m_saved.url);
    SetStrVar(RegSlot::StrFirstName, m_saved.firstName);
    SetStrVar(RegSlot::StrLastName, m_saved.lastName);
    SetStrVar(RegSlot::StrRedmineUserId, m_saved.redmineId);
    SetStrVar(RegSlot::StrRedmineKey, m_saved.key);
    SetBoolVar(RegSlot::FlagRedmineKeySet, m_saved.apiKey);
    SetIntVar(RegSlot::IntDescriptionMax, m_saved.max);
}

void OptProject::showText(const QString &text, bool error)
{
    m_error = error;
    m_ui->MSG->clear();
    m_ui->MSG->setStyleSheet(error ? QStringLiteral("color: #ff0000") : QStringLiteral("color: #000000"));
    m_ui->MSG->appendPlainText(text);
}

void OptProject::ShowMessage(const QString &text)
{
    showText(text, false);
}

void OptProject::ShowErrorText(const QString &text)
{
    showText(text, true);
}

void OptProject::ShowReplyError(int mode, int error)
{
    if (auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine))
        ShowErrorText(client->GetErrorText(mode, error));
}

QString OptProject::MessageText() const
{
    return m_ui->MSG->toPlainText();
}

void OptProject::SetRedmineUser(const QString &firstName, const QString &lastName, const QString &id)
{
    m_ui->F_NAME->setText(firstName);
    m_ui->L_NAME->setText(lastName);
    m_ui->IDBx->setValue(id.toInt());
}

void OptProject::NoPrj()
{
    m_ui->REDMINE_TAB->setEnabled(false);
    SetBoolVar(RegSlot::FlagRedmineActive, false);
    if (m_owner) {
        m_owner->SetOwnerRedmine(false);
        m_owner->ShowRedmineColumns();
    }
}

void OptProject::Redmine()
{
    m_ui->REDMINE_TAB->setEnabled(true);
    SetBoolVar(RegSlot::FlagRedmineActive, true);
    if (m_owner) {
        m_owner->SetOwnerRedmine(true);
        m_owner->ShowRedmineColumns();
    }
}

void OptProject::UriChanged(const QString &text)
{
    if (m_guard)
        SetStrVar(RegSlot::StrRedmineUrl, text);
}

void OptProject::FnameChanged(const QString &text)
{
    if (m_owner)
        m_owner->SetOwnerFirstName(text);
    if (m_guard)
        SetStrVar(RegSlot::StrFirstName, text);
}

void OptProject::LnameChanged(const QString &text)
{
    if (m_owner)
        m_owner->SetOwnerLastName(text);
    if (m_guard)
        SetStrVar(RegSlot::StrLastName, text);
}

void OptProject::IdChanged(int id)
{
    if (m_owner)
        m_owner->SetOwnerRedmineId(QString::number(id));
    if (m_guard)
        SetStrVar(RegSlot::StrRedmineUserId, QString::number(id));
}

void OptProject::ApiChanged(const QString &text)
{
    if (m_guard)
        SetStrVar(RegSlot::StrRedmineKey, text);
}

void OptProject::MaxChanged(int max)
{
    if (m_guard)
        SetIntVar(RegSlot::IntDescriptionMax, max);
}

void OptProject::setAuthWidgets(bool apiKey)
{
    m_ui->LOGIN->setEnabled(!apiKey);
    m_ui->API->setEnabled(apiKey);
}

void OptProject::ApiAuthChanged()
{
    setAuthWidgets(true);
    SetBoolVar(RegSlot::FlagRedmineKeySet, true);
}

void OptProject::BasicAuthChanged()
{
    setAuthWidgets(false);
    SetBoolVar(RegSlot::FlagRedmineKeySet, false);
}

void OptProject::HomeCheck()
{
    if (m_ui->URL->text().isEmpty()) {
        ShowMessage(tr("url is empty"));
        return;
    }
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    if (client && !client->StartTest(RedmineOrigin::UrlCheck)) {
        ShowMessage(tr("Under Process"));
        return;
    }
    ShowMessage(tr("under test"));
}

void OptProject::UserProc()
{
    if (GetBoolVar(RegSlot::FlagRedmineKeySet)) {
        if (m_ui->API->text().isEmpty()) {
            ShowMessage(tr("api key is not set"));
            return;
        }
    } else if (GetStrVar(RegSlot::StrRedmineLogin).isEmpty()) {
        ShowMessage(tr("Login ID of Basic Auth is not set"));
        return;
    } else if (GetStrVar(RegSlot::StrRedminePassword).isEmpty()) {
        ShowMessage(tr("Password of Basic Auth is not set"));
        return;
    }
    auto *client = GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
    if (client && !client->StartTest(RedmineOrigin::OptionsUsers)) {
        ShowMessage(tr("Under Process"));
        return;
    }
    ShowMessage(tr("under user info"));
    if (auto *users = GetObj<RUsers>(RegSlot::ObjRUsers))
        users->SetCallerKind(1);
}

void OptProject::LoginProc()
{
    m_login->show();
}
