#include "core/initxml.h"
#include "core/optionsmodel.h"
#include "core/platformstore.h"
#include "core/settingsfile.h"
#include "core/xmlclass.h"
#include "instance/deftab.h"
#include "members/manager.h"
#include "model/model.h"
#include "outdef/outdef.h"
#include "redmine/redmineproject.h"
#include "shell/checktimer.h"
#include "shell/errormsg.h"
#include "shell/mainwindow.h"
#include "shell/optfont.h"
#include "shell/optiondiag.h"
#include "shell/optproject.h"
#include "ui_optiondiag.h"

OptionValues OptionDiag::readWidgets() const
{
    OptionValues v;
    v.firstName = m_project->GetUserField(0);
    v.lastName = m_project->GetUserField(1);
    v.redmineId = m_project->GetUserField(2);
    // A row added in the dialog carries no element it was read from.
    const auto from = [](const QTreeWidgetItem *item) {
        bool ok = false;
        const int k = item->data(0, Qt::UserRole).toInt(&ok);
        return ok ? k : -1;
    };
    for (int i = 0; i < m_ui->EXTTREE->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_ui->EXTTREE->topLevelItem(i);
        v.references.append({item->text(0), item->text(1)});
        v.referenceFrom.append(from(item));
    }
    for (int i = 0; i < m_ui->GROUPTREE->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_ui->GROUPTREE->topLevelItem(i);
        v.children.append(
            {item->text(0), item->text(1), item->text(2), item->text(4), item->text(5), item->text(6)});
        v.childFrom.append(from(item));
    }
    v.fontName = m_font->GetFontName();
    v.fontSize = QString::number(m_font->GetFontSize());
    v.autoSave = QString::number(m_font->GetAutoSave());
    v.mail.server = m_font->GetServer();
    v.mail.port = m_font->GetPort().toInt();
    v.mail.security = m_font->GetSecurity();
    v.mail.auth = m_font->GetAuth();
    v.mail.address = m_font->GetAddress();
    v.mail.send = m_font->GetSend() == QLatin1String("1");
    v.mail.connect = m_font->GetConnect() == QLatin1String("1");
    return v;
}

bool OptionDiag::SaveOptions()
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    QDomDocument *doc = store ? store->GetXmlDoc(XmlIndex::Settings) : nullptr;
    if (!doc)
        return true;
    const OptionValues before = OptionsModel::Read(*doc);
    const OptionValues typed = readWidgets();
    // What the registry holds is what a start would read from the file.
    const OptionValues values = m_loaded ? OptionsModel::KeepStored(before, m_shown, typed) : typed;
    storeRegistry(before, values);
    const bool mailHeld =
        !doc->elementsByTagName(QStringLiteral("MAIL")).item(0).firstChildElement().isNull();
    // Only what the dialog changed from what it showed goes into the file, so that a copy another
    // window of the user wrote since keeps that window's changes.
    const SettingsFile::Change tracker = m_project->TrackerChange();
    const bool loaded = m_loaded;
    const OptionValues shown = m_shown;
    const bool saved = SettingsFile::Save(store, [loaded, shown, typed, tracker](QDomDocument &d) {
        if (loaded)
            OptionsModel::WriteTyped(d, shown, typed);
        else
            OptionsModel::Write(d, typed);
        tracker(d);
        return true;
    });
    if (before.hasFont)
        applyFont(typed.fontName, typed.fontSize.toInt());
    if (before.hasAutoSave)
        applyAutoSave(typed.autoSave.toInt(), values.autoSave);
    if (before.hasMail)
        storeMailSlots(before, values);
    if (mailHeld) {
        PlatformStore::Write(QStringLiteral("mail_pwd"), m_font->GetPassword());
        SetStrVar(RegSlot::StrMailPassword, m_font->GetPassword());
    }
    return saved;
}

void OptionDiag::storeRegistry(const OptionValues &before, const OptionValues &values)
{
    if (before.hasInit) {
        SetStrVar(RegSlot::StrFirstName, values.firstName);
        SetStrVar(RegSlot::StrLastName, values.lastName);
        SetStrVar(RegSlot::StrRedmineUserId, values.redmineId);
    }
    if (before.hasChild) {
        if (auto *settings = GetObj<initxml>(RegSlot::ObjSettings)) {
            for (const ChildUserRow &row : values.children)
                settings->SetProcEmail(row.email, row.procEmail);
        }
    }
    storeUserRecords(values);
    const int kind = GetIntVar(RegSlot::IntDocKind);
    if ((kind == 2 || kind == 4) && GetBoolVar(RegSlot::FlagIsManager)) {
        if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
            mgr->UpdateRedmineColumns();
    }
}

void OptionDiag::setUserRecord(const QString &email, const QString &first, const QString &last,
                               const QString &id)
{
    auto *main = GetObj<MainWindow>(RegSlot::ObjMainWindow);
    if (!main)
        return;
    RedmineUserInfo *record = main->FindUserRecord(email);
    if (!record) {
        m_records.push_back(std::make_unique<RedmineUserInfo>());
        record = m_records.back().get();
        main->SetUserRecord(email, record);
    }
    *record = RedmineUserInfo{first, last, id};
}

// With the tracker off the main window's identities are left alone.
void OptionDiag::storeUserRecords(const OptionValues &values)
{
    if (!GetBoolVar(RegSlot::FlagRedmineActive))
        return;
    setUserRecord(GetStrVar(RegSlot::StrUserEmail), values.firstName, values.lastName, values.redmineId);
    for (const ChildUserRow &row : values.children)
        setUserRecord(row.email, row.firstName, row.lastName, row.redmineId);
}

void OptionDiag::applyFont(const QString &name, int size)
{
    const bool changed =
        name != GetStrVar(RegSlot::StrFontName) || size != GetStrVar(RegSlot::StrFontSize).toInt();
    SetStrVar(RegSlot::StrFontName, name);
    SetStrVar(RegSlot::StrFontSize, QString::number(size));
    if (!changed)
        return;
    const int kind = GetIntVar(RegSlot::IntDocKind);
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->SetChatFont();
    if (auto *editor = GetObj<model>(RegSlot::ObjModel); editor && kind >= 1)
        editor->SetEditorFont();
    if (auto *tab = GetObj<deftab>(RegSlot::ObjDeftab); tab && (kind == 2 || kind == 4))
        tab->SetEditFont();
    if (auto *editor = GetObj<outdef>(RegSlot::ObjOutdef); editor && (kind == 3 || kind == 4))
        editor->SetEditorFont();
    if (auto *errors = GetObj<ErrorMsg>(RegSlot::ObjErrorMsg))
        errors->ApplyFont();
    if (auto *project = GetObj<RedmineProject>(RegSlot::ObjRedmineProject))
        project->SetEditorFont();
}

void OptionDiag::applyAutoSave(int minutes, const QString &text)
{
    if (minutes != OptionsModel::AutoSaveMinutes(GetStrVar(RegSlot::StrAutoSaveMinutes))) {
        if (auto *timer = GetObj<CheckTimer>(RegSlot::ObjCheckTimer)) {
            timer->StopAutoSaveTimer();
            timer->SetAutoSaveInterval(minutes);
            timer->StartAutoSaveTimer();
        }
    }
    SetStrVar(RegSlot::StrAutoSaveMinutes, text);
}

void OptionDiag::storeMailSlots(const OptionValues &before, const OptionValues &values)
{
    const struct {
        const char *tag;
        int slot;
    } entries[] = {{"SMTPSERVER", RegSlot::StrMailServer},  {"PORT", RegSlot::StrMailPort},
                   {"SECURITY", RegSlot::StrMailSecurity},  {"AUTH", RegSlot::StrMailAuth},
                   {"ADDRESS", RegSlot::StrMailAddress},    {"ISSEND", RegSlot::StrMailIsSend},
                   {"ISCONNECT", RegSlot::StrMailIsConnect}};
    for (const auto &e : entries) {
        if (before.mailRead.contains(QLatin1String(e.tag)))
            SetStrVar(e.slot, OptionsModel::MailText(values, QLatin1String(e.tag)));
    }
}
