#include "redmine/redmineproject.h"

#include "core/xmlclass.h"
#include "members/manager.h"
#include "members/memberinfo.h"
#include "members/userinf.h"
#include "redmine/nwredmine.h"
#include "redmine/redmine.h"
#include "redmine/redminebody.h"
#include "redmine/redmineissue.h"
#include "redmine/redminerefproject.h"
#include "redmine/redmineupdateissue.h"
#include "shell/askbox.h"
#include "shell/mainwindow.h"
#include "shell/numeditor.h"
#include "ui_redmineproject.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace
{
const char *const LabelNormal = "background-color: #628DB6;color: #FFFFFF";
const char *const CheckNormal = "background-color: #FFFFFF;color: #000000";
const char *const Changed = "background-color: #ffff00;color: #000000";
const char *const IdentEmpty = "background-color: #ff0000;color: #FFFFFF";
const QString Marker = QStringLiteral("::[Pelmorine]");

QString childText(const QDomElement &e, const char *tag)
{
    return e.firstChildElement(QLatin1String(tag)).text();
}

bool hasChildren(const QDomElement &e, std::initializer_list<const char *> tags)
{
    for (const char *tag : tags) {
        if (e.firstChildElement(QLatin1String(tag)).isNull())
            return false;
    }
    return true;
}
} // namespace

RedmineProject::~RedmineProject()
{
    if (GetObj<RedmineProject>(RegSlot::ObjRedmineProject) == this)
        SetObj<RedmineProject>(RegSlot::ObjRedmineProject, nullptr);
    delete m_ui;
}

NwRedmine *RedmineProject::client() const
{
    return GetObj<NwRedmine>(RegSlot::ObjNwRedmine);
}

QString RedmineProject::MessageText() const
{
    return m_ui->MSG->text();
}

void RedmineProject::showMessage(const QString &text, bool error)
{
    m_ui->MSG->setStyleSheet(error ? QStringLiteral("color: #ff0000") : QStringLiteral("color: #000000"));
    m_ui->MSG->setText(text);
}

bool RedmineProject::clientIdle()
{
    NwRedmine *c = client();
    if (c && !c->IsBusy())
        return true;
    showMessage(tr("Under Process"), false);
    return false;
}

QDomElement RedmineProject::replyRoot(int index) const
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store || !store->HasDoc(index))
        return QDomElement();
    return store->GetXmlDoc(index)->documentElement();
}

void RedmineProject::SetEditorFont()
{
    m_explain->SetEditFont();
}

void RedmineProject::ShowSetButton()
{
    m_ui->SET->setVisible(true);
}

void RedmineProject::setExplainMarked(bool marked)
{
    m_ui->EXPLAIN_TAB->tabBar()->setStyleSheet(marked ? QStringLiteral("background-color: #ffff00")
                                                      : QStringLiteral("background-color: #28649d"));
    m_ui->EXPLAIN_TAB->tabBar()->setTabTextColor(0, marked ? Qt::black : Qt::white);
}

void RedmineProject::appendExplanation(const QString &text)
{
    const bool busy = GetBoolVar(RegSlot::FlagBusy);
    SetBoolVar(RegSlot::FlagBusy, true);
    m_explain->appendPlainText(text);
    SetBoolVar(RegSlot::FlagBusy, busy);
}

QString RedmineProject::workspaceExplanation() const
{
    QString text;
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager)) {
        if (MemberInfo *group = mgr->GetMemberInfo(0); group && group->Page)
            text = group->Page->NotesText();
    }
    if (auto *mw = GetObj<MainWindow>(RegSlot::ObjMainWindow))
        text = mw->TruncateUtf8(text);
    return text;
}

void RedmineProject::ClearProjectFields()
{
    m_ui->PRJNAME->clear();
    m_ui->ID->clear();
    const bool busy = GetBoolVar(RegSlot::FlagBusy);
    SetBoolVar(RegSlot::FlagBusy, true);
    m_explain->ClearText();
    SetBoolVar(RegSlot::FlagBusy, busy);
    const bool loading = std::exchange(m_loading, true);
    m_ui->IDENT->clear();
    m_ui->PUBLICCHK->setChecked(false);
    m_ui->URL->clear();
    m_loading = loading;
    for (QTreeWidget *tree :
         {m_ui->RM_TREE, m_ui->TRACKER_TREE, m_ui->CATEGORY_TREE, m_ui->VERSION_TREE, m_ui->PRIORITY_TREE})
        tree->clear();
}

void RedmineProject::InitPage()
{
    if (auto *window = GetObj<Redmine>(RegSlot::ObjRedmineWindow))
        window->SetIssueTabsEnabled(true);
    setExplainMarked(false);
    m_ui->LB3->setStyleSheet(QLatin1String(LabelNormal));
    m_ui->LB4->setStyleSheet(QLatin1String(LabelNormal));
    m_ui->PUBLICCHK->setStyleSheet(QLatin1String(CheckNormal));
    m_ui->IDENT->setReadOnly(true);
    m_ui->NEW->setEnabled(true);
    m_ui->REF->setEnabled(true);
    m_ui->NEW->setVisible(GetIntVar(RegSlot::IntRedmineProjectId) == -1);
    m_ui->REF->setVisible(GetIntVar(RegSlot::IntRedmineProjectId) == -1);
    m_ui->MSG->clear();

    m_ui->ZQV_TREE->clear();
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager)) {
        if (QTreeWidgetItem *top = mgr->GetTree()->topLevelItem(0)) {
            AddWorkspaceMember(top);
            for (int i = 0; i < top->childCount(); ++i)
                AddWorkspaceMember(top->child(i));
        }
    }
    m_ui->ADD->hide();
    m_ui->MOD->hide();
    m_ui->DEL->hide();
    m_ui->SET->hide();
    m_ui->PRJNAME->setText(GetStrVar(RegSlot::StrInstanceName) + QStringLiteral(":ver(") +
                           GetStrVar(RegSlot::StrInstanceVersion) + QLatin1Char(')'));

    NwRedmine *c = client();
    const int id = GetIntVar(RegSlot::IntRedmineProjectId);
    if (id != -1) {
        m_ui->ID->setText(QString::number(id));
        m_newProject = false;
        showMessage(tr("Under Process"), false);
        m_ui->SET->setText(m_update);
        m_title = m_update;
        m_versionAdd->show();
        m_categoryAdd->show();
        m_mode = ModeLoading;
        // Refused while the Options page or the group dialog waits for the tracker: "Under
        // Process" stays, and opening the window again loads the page.
        if (c)
            c->StartTest(RedmineOrigin::ProjectLoad);
        return;
    }
    showMessage(tr("project is new. select new or reference"), false);
    m_ui->SET->setText(m_register);
    m_title = m_register;
    m_versionAdd->hide();
    m_categoryAdd->hide();
    {
        const bool busy = GetBoolVar(RegSlot::FlagBusy);
        SetBoolVar(RegSlot::FlagBusy, true);
        m_explain->ClearText();
        SetBoolVar(RegSlot::FlagBusy, busy);
    }
    m_loading = true;
    m_ui->PUBLICCHK->setChecked(false);
    m_ui->IDENT->clear();
    m_ui->URL->clear();
    m_loading = false;
    if (c && !c->StartTest(RedmineOrigin::ProjectLoad2))
        showMessage(tr("Under Process"), false);
}

// A picked project that was never confirmed is not the workspace's: its id would otherwise be saved
// with the members' data and link the workspace at the next opening.
int RedmineProject::LinkToSave() const
{
    return m_idBeforePick != NoPick ? m_idBeforePick : GetIntVar(RegSlot::IntRedmineProjectId);
}

void RedmineProject::ResetPage()
{
    // A closed workspace (id -1 already) keeps nothing of it.
    if (m_idBeforePick != NoPick && GetIntVar(RegSlot::IntRedmineProjectId) != -1)
        SetIntVar(RegSlot::IntRedmineProjectId, m_idBeforePick);
    m_idBeforePick = NoPick;
    ClearProjectFields();
    m_ui->STATUS_TREE->clear();
    m_ui->ZQV_TREE->clear();
    m_ui->MSG->clear();
    m_ui->READ_ONLY->hide();
    m_newProject = m_homepageChanged = m_publicState = false;
    m_descriptionChanged = m_publicChanged = m_projectClosed = false;
}

void RedmineProject::NewProc(bool)
{
    if (!clientIdle())
        return;
    ClearProjectFields();
    m_ui->PUBLICCHK->setEnabled(true);
    if (auto *issues = GetObj<RedmineIssue>(RegSlot::ObjRedmineIssue))
        issues->ResetPage();
    m_ui->PRJNAME->setText(GetStrVar(RegSlot::StrInstanceName) + QStringLiteral(":ver(") +
                           GetStrVar(RegSlot::StrInstanceVersion) + QLatin1Char(')'));
    appendExplanation(workspaceExplanation());
    m_ui->LB3->setStyleSheet(QLatin1String(IdentEmpty));
    client()->GetNewTrackers();
    m_loading = true;
    m_ui->IDENT->clear();
    m_ui->IDENT->setReadOnly(false);
    m_ui->PUBLICCHK->setChecked(false);
    m_ui->URL->clear();
    m_ui->URL->setReadOnly(false);
    m_loading = false;
    m_newProject = true;
}

void RedmineProject::RefProc(bool)
{
    if (!clientIdle())
        return;
    m_ui->MSG->clear();
    ClearProjectFields();
    m_newProject = false;
    m_ui->PUBLICCHK->setEnabled(false);
    if (m_idBeforePick == NoPick)
        m_idBeforePick = GetIntVar(RegSlot::IntRedmineProjectId);
    client()->StartTest(RedmineOrigin::ProjectRef);
}

void RedmineProject::ReadTrackers()
{
    m_ui->TRACKER_TREE->clear();
    QDomElement root = replyRoot(XmlIndex::RedmineFirst + 0);
    for (QDomElement t = root.firstChildElement(QStringLiteral("tracker")); !t.isNull();
         t = t.nextSiblingElement(QStringLiteral("tracker"))) {
        if (!hasChildren(t, {"id", "name"}))
            continue;
        const QDomElement status = t.firstChildElement(QStringLiteral("default_status"));
        auto *row = new QTreeWidgetItem(m_ui->TRACKER_TREE);
        row->setText(0, childText(t, "name"));
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(0, Qt::Checked);
        row->setText(1, status.attribute(QStringLiteral("name")));
        row->setData(1, Qt::UserRole, status.attribute(QStringLiteral("id")));
        row->setText(2, childText(t, "id"));
    }
    TreeColumnAdjustment(m_ui->TRACKER_TREE);
    m_ui->SET->setVisible(true);
}

QString RedmineProject::CheckIdentifier(const QString &ident)
{
    if (ident.isEmpty())
        return tr("ident is empty");
    const QByteArray utf8 = ident.toUtf8();
    if (utf8.size() > 100)
        return tr("length is over 100 word");
    if (utf8.size() != ident.size())
        return tr("2byte code is in this text");
    const QChar first = ident.at(0);
    if (!first.isLetter())
        return tr("first charactor is not alphabet");
    if (!first.isLower())
        return tr("first charactor is not lower");
    for (int i = 1; i < ident.size(); ++i) {
        const QChar c = ident.at(i);
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_'))
            return QString::number(i + 1) + tr("th. this charactor is not correct");
        if (c.isUpper())
            return QString::number(i + 1) + tr("th. this charactor is upper");
    }
    return QString();
}

bool RedmineProject::Confirm(const QString &title, const QString &question, const QString &okText,
                             const char *okName) const
{
    QMessageBox box;
    box.setWindowTitle(title);
    box.setWindowIcon(GetLogoIcon());
    box.setIcon(QMessageBox::Information);
    box.setInformativeText(question);
    QPushButton *ok = box.addButton(QMessageBox::Ok);
    ok->setText(okText);
    ok->setObjectName(QLatin1String(okName));
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    cancel->setText(tr("cancel"));
    cancel->setObjectName(QStringLiteral("cancel"));
    return AskBox::Confirmed(box, ok, cancel);
}

bool RedmineProject::ConfirmDelete(const QString &question) const
{
    return Confirm(tr("confirmation"), question, tr("del"), "del");
}

void RedmineProject::IdentChanged(const QString &text)
{
    if (m_loading || m_ui->IDENT->isReadOnly())
        return;
    m_ui->LB3->setStyleSheet(text.isEmpty() ? QLatin1String(IdentEmpty) : QLatin1String(Changed));
}

void RedmineProject::SetProc(bool)
{
    m_ui->MSG->clear();
    QString question;
    if (!GetBoolVar(RegSlot::FlagRedmineLink) ||
        QString::number(GetIntVar(RegSlot::IntRedmineProjectId)) != m_ui->ID->text()) {
        if (m_ui->ID->text().isEmpty()) {
            const QString broken = CheckIdentifier(m_ui->IDENT->text());
            if (!broken.isEmpty()) {
                showMessage(broken, true);
                return;
            }
            m_mode = ModeCreate;
            question = tr("Create Redmine Project?");
        } else {
            m_mode = ModeReference;
            question = tr("Set refferenced Redmine Project?");
        }
    } else {
        m_mode = ModeUpdate;
        if (m_descriptionChanged || m_homepageChanged || m_publicChanged) {
            question = tr("public check or explain is update. Update?");
        } else {
            showMessage(tr("Already set Redmine Project ID, Update"), true);
            m_mode = ModeReference;
            question = tr("Already set Redmine Project ID, Update");
        }
    }
    // A create or an update sends a request: not while another one of the window is outstanding.
    if (m_mode != ModeReference && !clientIdle())
        return;
    if (!Confirm(m_title, question, m_title, "ok"))
        return;
    ConfirmAndSend();
}

void RedmineProject::ConfirmAndSend()
{
    m_ui->MSG->clear();
    switch (m_mode) {
    case ModeUpdate:
        UpdateProject();
        break;
    case ModeCreate:
        SetIntVar(RegSlot::IntRedmineLinkType, 1);
        CreateProject();
        break;
    case ModeReference:
        SetIntVar(RegSlot::IntRedmineLinkType, 2);
        AdoptProjectId();
        m_categoryAdd->show();
        m_versionAdd->show();
        m_ui->NEW->hide();
        m_ui->REF->hide();
        m_ui->SET->hide();
        SetBoolVar(RegSlot::FlagRedmineLink, true);
        showMessage(tr("Redmine project is set at Pelmorine"), false);
        break;
    default:
        break;
    }
}

// The link is written to the group's record at once: a re-read of manager.xml would drop it, and
// the member data are saved only when something else of theirs changed.
void RedmineProject::AdoptProjectId()
{
    SetIntVar(RegSlot::IntRedmineProjectId, m_ui->ID->text().toInt());
    SetBoolVar(RegSlot::FlagRedmineLink, true);
    m_idBeforePick = NoPick;
    if (auto *mgr = GetObj<manager>(RegSlot::ObjManager))
        mgr->RewriteGroupFile();
    m_versionAdd->setEnabled(true);
    UpdateMemberButtons(m_ui->ZQV_TREE->currentItem());
}

void RedmineProject::CreateProject()
{
    const QDomElement root = RedmineBody::NewRoot(m_projectDoc, QStringLiteral("project"));
    auto add = [&](const char *tag, const QString &text) {
        RedmineBody::AddText(m_projectDoc, root, QLatin1String(tag), text);
    };
    add("name", m_ui->PRJNAME->text() + Marker);
    add("identifier", m_ui->IDENT->text());
    const QString description = m_explain->toPlainText();
    if (!description.isEmpty())
        add("description", description);
    add("is_public", m_ui->PUBLICCHK->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
    if (!m_ui->URL->text().isEmpty())
        add("homepage", m_ui->URL->text());
    for (int i = 0; i < m_ui->TRACKER_TREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_ui->TRACKER_TREE->topLevelItem(i);
        if (row->checkState(0) == Qt::Checked)
            add("tracker_ids", row->text(2));
    }
    client()->PostProject(m_projectDoc);
}

void RedmineProject::UpdateProject()
{
    const QDomElement root = RedmineBody::NewRoot(m_projectDoc, QStringLiteral("project"));
    auto add = [&](const char *tag, const QString &text) {
        RedmineBody::AddText(m_projectDoc, root, QLatin1String(tag), text);
    };
    const QString description = m_explain->toPlainText();
    if (m_descriptionChanged && !description.isEmpty())
        add("description", description);
    if (m_publicChanged)
        add("is_public", m_ui->PUBLICCHK->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
    if (m_homepageChanged && !m_ui->URL->text().isEmpty())
        add("homepage", m_ui->URL->text());
    client()->PutProject(m_projectDoc);
}

void RedmineProject::ReadNewProject()
{
    const QDomElement id = replyRoot(XmlIndex::RedmineFirst + 3).firstChildElement(QStringLiteral("id"));
    if (id.isNull())
        return;
    SetIntVar(RegSlot::IntRedmineProjectId, id.text().toInt());
    client()->GetIssueStatuses();
}

// Statuses and priorities: name, a mark when the flag element says "true", and the id.
void RedmineProject::readFlaggedList(QTreeWidget *tree, int index, const QString &tag, const char *flag,
                                     const QString &mark)
{
    const QDomElement root = replyRoot(index);
    for (QDomElement e = root.firstChildElement(tag); !e.isNull(); e = e.nextSiblingElement(tag)) {
        if (!hasChildren(e, {"id", "name", flag}))
            continue;
        auto *row = new QTreeWidgetItem(tree);
        row->setText(0, childText(e, "name"));
        if (childText(e, flag) == QLatin1String("true"))
            row->setText(1, mark);
        row->setText(2, childText(e, "id"));
    }
    TreeColumnAdjustment(tree);
}

void RedmineProject::ReadStatuses()
{
    m_ui->STATUS_TREE->clear();
    readFlaggedList(m_ui->STATUS_TREE, XmlIndex::RedmineFirst + 4, QStringLiteral("issue_status"),
                    "is_closed", tr("closed"));
}

// The project's trackers and categories come as elements with "id" and "name" attributes.
void RedmineProject::addNamedRows(const QDomElement &list, const QString &tag, QTreeWidget *tree,
                                  int idColumn)
{
    for (QDomElement e = list.firstChildElement(tag); !e.isNull(); e = e.nextSiblingElement(tag)) {
        if (!e.hasAttribute(QStringLiteral("id")) || !e.hasAttribute(QStringLiteral("name")))
            continue;
        auto *row = new QTreeWidgetItem(tree);
        row->setText(0, e.attribute(QStringLiteral("name")));
        row->setText(idColumn, e.attribute(QStringLiteral("id")));
    }
}

void RedmineProject::ReadProject()
{
    ClearProjectFields();
    m_projectClosed = false;
    m_loading = true;
    m_descriptionChanged = m_homepageChanged = m_publicChanged = false;
    QDomElement root = replyRoot(XmlIndex::RedmineFirst + 3);
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const QString tag = e.tagName();
        if (tag == QLatin1String("id")) {
            m_ui->ID->setText(e.text());
        } else if (tag == QLatin1String("name")) {
            const int at = e.text().indexOf(Marker);
            m_ui->PRJNAME->setText(at < 0 ? e.text() : e.text().left(at));
        } else if (tag == QLatin1String("identifier")) {
            m_ui->IDENT->setText(e.text());
            m_ui->IDENT->setReadOnly(true);
            m_ui->LB3->setStyleSheet(QLatin1String(LabelNormal));
        } else if (tag == QLatin1String("description")) {
            if (GetIntVar(RegSlot::IntRedmineLinkType) == 1) {
                QString own = workspaceExplanation();
                QString theirs = e.text();
                own.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                theirs.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                const bool same = own == theirs;
                m_descriptionChanged = !same;
                setExplainMarked(!same);
                appendExplanation(same ? theirs : own);
            } else {
                setExplainMarked(false);
                appendExplanation(e.text());
            }
        } else if (tag == QLatin1String("homepage")) {
            m_storedHomepage = e.text();
            m_ui->URL->setText(e.text());
        } else if (tag == QLatin1String("is_public")) {
            m_publicState = e.text() == QLatin1String("true");
            m_ui->PUBLICCHK->setChecked(m_publicState);
        } else if (tag == QLatin1String("trackers")) {
            addNamedRows(e, QStringLiteral("tracker"), m_ui->TRACKER_TREE, 2);
        } else if (tag == QLatin1String("issue_categories")) {
            addNamedRows(e, QStringLiteral("issue_category"), m_ui->CATEGORY_TREE, 1);
        } else if (tag == QLatin1String("status")) {
            m_projectClosed = e.text() == QLatin1String("5");
            m_ui->READ_ONLY->setVisible(m_projectClosed);
            m_ui->PUBLICCHK->setEnabled(!m_projectClosed);
            m_versionAdd->setEnabled(!m_projectClosed);
            m_categoryAdd->setEnabled(!m_projectClosed);
            if (auto *update = GetObj<RedmineUpdateIssue>(RegSlot::ObjRedmineUpdateIssue))
                update->SetReadOnly(m_projectClosed);
        }
    }
    for (QTreeWidget *tree : {m_ui->TRACKER_TREE, m_ui->CATEGORY_TREE})
        TreeColumnAdjustment(tree);
    if (m_descriptionChanged)
        m_ui->SET->show();
    m_ui->URL->setReadOnly(!(GetIntVar(RegSlot::IntRedmineLinkType) == 1 && !m_projectClosed));
    if (m_newProject) {
        AdoptProjectId();
        m_ui->NEW->hide();
        m_ui->REF->hide();
        m_ui->SET->hide();
        m_categoryAdd->show();
        m_versionAdd->show();
        m_newProject = false;
        showMessage(tr("project is set"), false);
    }
    m_loading = false;
}

void RedmineProject::ReadPriorities()
{
    readFlaggedList(m_ui->PRIORITY_TREE, XmlIndex::RedmineFirst + 10, QStringLiteral("issue_priority"),
                    "is_default", tr("default"));
}

void RedmineProject::ReadTrackerStatus()
{
    m_trackerStatus.clear();
    QDomElement root = replyRoot(XmlIndex::RedmineFirst + 0);
    for (QDomElement t = root.firstChildElement(QStringLiteral("tracker")); !t.isNull();
         t = t.nextSiblingElement(QStringLiteral("tracker"))) {
        const QDomElement status = t.firstChildElement(QStringLiteral("default_status"));
        const QString id = childText(t, "id");
        const QString statusId = status.attribute(QStringLiteral("id"));
        if (!id.isEmpty() && !statusId.isEmpty())
            m_trackerStatus.insert(id, {status.attribute(QStringLiteral("name")), statusId});
    }
    for (int i = 0; i < m_ui->TRACKER_TREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_ui->TRACKER_TREE->topLevelItem(i);
        const auto it = m_trackerStatus.constFind(row->text(2));
        if (it == m_trackerStatus.constEnd() || it->first.isEmpty())
            continue;
        row->setText(1, it->first);
        row->setData(1, Qt::UserRole, it->second);
    }
    TreeColumnAdjustment(m_ui->TRACKER_TREE);
    if (m_mode == ModeLoading)
        m_ui->MSG->clear();
}

void RedmineProject::RequestProject()
{
    client()->GetProject();
}

void RedmineProject::CheckUpdatedProject()
{
    m_loading = true;
    QDomElement root = replyRoot(XmlIndex::RedmineFirst + 3);
    if (m_descriptionChanged && GetIntVar(RegSlot::IntRedmineLinkType) == 1) {
        QString theirs = childText(root, "description");
        theirs.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (theirs == m_explain->toPlainText()) {
            setExplainMarked(false);
            m_descriptionChanged = false;
        } else {
            appendExplanation(theirs);
            setExplainMarked(true);
            showMessage(tr("could not change description"), true);
        }
    }
    if (m_homepageChanged) {
        if (childText(root, "homepage") == m_ui->URL->text()) {
            m_ui->LB4->setStyleSheet(QLatin1String(LabelNormal));
            m_homepageChanged = false;
            m_storedHomepage = m_ui->URL->text();
        } else {
            m_ui->LB4->setStyleSheet(QLatin1String(Changed));
            showMessage(tr("could not change description"), true);
        }
    }
    if (m_publicChanged) {
        if ((childText(root, "is_public") == QLatin1String("true")) == m_publicState) {
            m_ui->PUBLICCHK->setStyleSheet(QLatin1String(CheckNormal));
            m_publicChanged = false;
        } else {
            m_ui->PUBLICCHK->setStyleSheet(QLatin1String(Changed));
        }
    }
    if (!m_descriptionChanged && !m_homepageChanged && !m_publicChanged) {
        m_ui->SET->hide();
        showMessage(tr("modify is completed"), false);
    }
    m_loading = false;
}

void RedmineProject::setSetVisibleUnlessPending()
{
    m_ui->SET->setVisible(m_descriptionChanged || m_homepageChanged || m_publicChanged);
}

void RedmineProject::UrlChanged(const QString &text)
{
    if (m_loading || !GetBoolVar(RegSlot::FlagRedmineLink))
        return;
    m_homepageChanged = text != m_storedHomepage;
    m_ui->LB4->setStyleSheet(m_homepageChanged ? QLatin1String(Changed) : QLatin1String(LabelNormal));
    setSetVisibleUnlessPending();
}

void RedmineProject::PublicCheckChanged(int state)
{
    if (m_loading || !GetBoolVar(RegSlot::FlagRedmineLink))
        return;
    const bool value = state == Qt::Checked;
    m_publicChanged = value != m_publicState;
    m_ui->PUBLICCHK->setStyleSheet(m_publicChanged ? QLatin1String(Changed) : QLatin1String(CheckNormal));
    setSetVisibleUnlessPending();
    m_publicState = value;
}

void RedmineProject::ShowError(int mode, int error)
{
    NwRedmine *c = client();
    QString text = c ? c->GetErrorText(mode, error) : QString::number(error);
    // A create whose answer was lost may stand on the tracker: the client never sends it again by
    // itself, and the user is told to look before pressing again.
    if (c && c->IsChangeRequest() && !c->IsOutcomeKnown())
        text +=
            QLatin1Char(' ') + tr("(no answer: the tracker may have done it, check it before sending again)");
    showMessage(text, true);
    if (mode == 1) {
        SetBoolVar(RegSlot::FlagRedmineLink, false);
        m_ui->NEW->setEnabled(true);
        m_ui->REF->setEnabled(true);
        m_ui->NEW->show();
        m_ui->REF->show();
    } else {
        m_ui->NEW->setEnabled(false);
        m_ui->REF->setEnabled(false);
    }
    if (auto *window = GetObj<Redmine>(RegSlot::ObjRedmineWindow))
        window->SetIssueTabsEnabled(false);
}

bool RedmineProject::IsClosedStatus(const QString &id) const
{
    for (int i = 0; i < m_ui->STATUS_TREE->topLevelItemCount(); ++i) {
        if (m_ui->STATUS_TREE->topLevelItem(i)->text(2) == id)
            return !m_ui->STATUS_TREE->topLevelItem(i)->text(1).isEmpty();
    }
    return false;
}

bool RedmineProject::IsTrackerMember(const QString &id) const
{
    for (int i = 0; i < m_ui->RM_TREE->topLevelItemCount(); ++i) {
        if (m_ui->RM_TREE->topLevelItem(i)->text(2) == id)
            return true;
    }
    return false;
}
