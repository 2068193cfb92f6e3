#pragma once

// One member's questions-and-answers panel as the program runs it over a workspace folder: its own
// registry tables, XML store, member table and a member tree with one large class per member.

#include "core/defvar.h"
#include "core/xmlclass.h"
#include "members/memberinfo.h"
#include "qa/createqa.h"
#include "qa/qanda.h"
#include "qa/touserdialog.h"
#include "testsupport_widgets.h"

#include <QLineEdit>
#include <QListWidgetItem>
#include <QTreeWidget>
#include <functional>

class QaSession : public RegistryScope
{
public:
    // members: ID and account; the one whose account is `own` belongs to the running user. The
    // large class of member n has the element ID 5.
    QaSession(const QString &dir, const QString &own, const QList<QPair<int, QString>> &members)
    {
        DefVar().InitVar();
        SetObj(RegSlot::ObjXmlStore, &m_store);
        SetStrVar(RegSlot::StrInstanceDir, dir);
        SetStrVar(RegSlot::StrUserEmail, own);
        for (const auto &m : members) {
            auto *record = new MemberInfo;
            record->ID = m.first;
            record->Email = m.second;
            record->Name = m.second.section(QLatin1Char('@'), 0, 0);
            record->OtherUser = m.second == own ? 0 : 1;
            m_table.insert(m.first, record);
            m_list << m.first;
            auto *row = new QTreeWidgetItem(&m_tree);
            row->setText(0, record->Name);
            row->setData(1, Qt::UserRole, m.first);
            row->setText(5, QStringLiteral("I%1").arg(m.first));
            auto *lclass = new QTreeWidgetItem(row);
            lclass->setText(1, QStringLiteral("L"));
            lclass->setText(5, QStringLiteral("I%1-5").arg(m.first));
        }
        m_tree.setColumnCount(6);
        SetObj(RegSlot::ObjMemberTable, &m_table);
        SetObj(RegSlot::ObjMemberList, &m_list);
        m_panel = new QandA;
        SetObj(RegSlot::ObjQandA, m_panel);
        m_panel->SetInstanceDir(dir);
        m_panel->ShowQandA(&m_tree, true);
    }
    ~QaSession() override
    {
        m_panel->Clear();
        delete m_panel;
        SetObj<QandA>(RegSlot::ObjQandA, nullptr);
        qDeleteAll(m_table);
    }
    QandA *panel() const { return m_panel; }
    // A member added while the panel is open, as the member list adds one.
    void AddMember(int n, const QString &account)
    {
        auto *record = new MemberInfo;
        record->ID = n;
        record->Email = account;
        record->Name = account.section(QLatin1Char('@'), 0, 0);
        record->OtherUser = account == GetStrVar(RegSlot::StrUserEmail) ? 0 : 1;
        m_table.insert(n, record);
        m_list << n;
    }
    MemberInfo *member(int n) const { return m_table.value(n); }
    void Save()
    {
        SetBoolVar(RegSlot::FlagQandAModified, true);
        m_panel->SaveQandA();
        m_panel->SaveRecords();
    }
    void SelectElement(int row)
    {
        QTreeWidget *tree = m_panel->InstanceTree();
        tree->setCurrentItem(tree->topLevelItem(row)->child(0));
    }
    // Creates a question on member `row`'s large class, addressed to the given members.
    void Ask(int row, const QString &title, const QList<int> &to = {})
    {
        SelectElement(row);
        whenModal<CreateQA>([title](CreateQA *d) {
            d->findChild<QLineEdit *>(QStringLiteral("TITLE"))->setText(title);
            d->findChild<QPushButton *>(QStringLiteral("OK"))->click();
        });
        whenModal<ToUserDialog>([to](ToUserDialog *d) { CheckAndOk(d, to); });
        m_panel->CreateQuestion();
    }
    static void CheckAndOk(ToUserDialog *d, const QList<int> &to)
    {
        for (int i = 0; i < d->Count(); ++i) {
            const QString name = d->Entry(i)->text();
            bool on = false;
            for (int n : to)
                on = on || name == QStringLiteral("m%1").arg(n);
            d->Entry(i)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
        d->findChild<QPushButton *>(QStringLiteral("OK"))->click();
    }
    // Runs `act` on the next modal dialog of type T once it is up.
    // A dialog that never comes stops the wait when the session ends.
    template <class T> void whenModal(std::function<void(T *)> act)
    {
        QTimer::singleShot(5, m_panel, [this, act] {
            if (auto *d = qobject_cast<T *>(QApplication::activeModalWidget()))
                act(d);
            else
                whenModal<T>(act);
        });
    }

private:
    xmlclass m_store;
    MemberTable m_table;
    MemberList m_list;
    QTreeWidget m_tree;
    QandA *m_panel = nullptr;
};
