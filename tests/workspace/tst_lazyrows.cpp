#include "core/defvar.h"
#include "core/treeitemdata.h"
#include "docs/instancedocument.h"
#include "members/manager.h"
#include "openedprogram.h"
#include "output/outmenudiag.h"
#include "qa/qanda.h"
#include "shell/tab.h"

#include <QTemporaryDir>

using namespace TestSupport;

namespace
{
// A generated workspace of three members: 0 (the manager) and two others, 1 and 2.
struct Generated {
    QTemporaryDir dir;
    WorkspaceGen::Result ws;
    WorkspaceGen::Size size = WorkspaceGen::Size::Small();
    bool ok = false;
    Generated()
    {
        QString error;
        ok = WorkspaceGen::Generate(size, dir.path(), &ws, &error);
    }
    // The same workspace opened by another of its members.
    WorkspaceGen::Result as(int n) const
    {
        WorkspaceGen::Result other = ws;
        other.userName = WorkspaceGen::MemberName(n);
        other.userEmail = WorkspaceGen::MemberEmail(n);
        return other;
    }
};

QTreeWidgetItem *memberRow(const OpenedProgram &p, int n)
{
    MemberInfo *m = p.GetObj<MemberTable>(RegSlot::ObjMemberTable)->value(n);
    return m ? m->InstanceItem : nullptr;
}

// Which of the shared icons a row shows: the icons themselves are made anew by each program.
QString iconKey(const QIcon &icon)
{
    if (icon.isNull())
        return QStringLiteral("-");
    for (int id = SharedIcon::Global; id <= SharedIcon::Double; ++id) {
        if (SharedIcon::Get(SharedIcon::Id(id)).cacheKey() == icon.cacheKey())
            return QString::number(id);
    }
    return QStringLiteral("?");
}

// A member's rows as the instance tab and the document's class tree show them: texts, icons,
// expansion, records and their mirrored rows. The member row's own icon (own or other) is left
// out: the same member is compared as its own user's and as another's.
QStringList dump(QTreeWidgetItem *member)
{
    QStringList out;
    std::function<void(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *row, int depth) {
        QStringList line{QString::number(depth)};
        for (int c = 0; c < 6; ++c)
            line << row->text(c);
        if (depth > 0)
            line << iconKey(row->icon(0)) << iconKey(row->icon(1));
        line << QString::number(row->isExpanded()) << row->data(2, Qt::UserRole).toString();
        const TreeItemData *record = TreeItemData::FromData(row->data(0, Qt::UserRole));
        if (record) {
            QStringList attrs;
            for (auto it = record->Attrs().cbegin(); it != record->Attrs().cend(); ++it)
                attrs << it.key() + QLatin1Char('=') + it.value();
            attrs.sort();
            line << record->name << attrs.join(QLatin1Char(' ')) << record->links.join(QLatin1Char('|'))
                 << QString::number(record->kept.size() + record->keptParams.size());
            for (QTreeWidgetItem *mirror : {record->docRow, record->scheduleRow, record->qandaRow})
                line << (mirror ? mirror->data(1, Qt::UserRole).toString() : QStringLiteral("none"));
            // The document's class tree row: its texts and whether it shows, opened.
            if (QTreeWidgetItem *doc = record->docRow) {
                for (int c = 3; c < 8; ++c)
                    line << doc->text(c);
                line << QString::number(doc->treeWidget() != nullptr) << QString::number(doc->childCount())
                     << QString::number(doc->isExpanded());
            }
        }
        out << line.join(QLatin1Char('\t'));
        for (int i = 0; i < row->childCount(); ++i)
            walk(row->child(i), depth + 1);
    };
    walk(member, 0);
    return out;
}

} // namespace

// Other members' rows are built on first use: what they show then is what an open that built
// them at once showed, and every reader that walks all members finds them without the user
// opening anything.
class tst_lazyrows : public QObject
{
    Q_OBJECT
private slots:
    void open_otherMembersWaitOwnIsBuilt();
    void firstUse_showsWhatTheOpenBuilt();
    void firstUseOutOfOrder_keepsTheTablesOrder();
    void expandingOrSelecting_buildsThatMemberOnly();
    void readers_seeOtherMembersUnasked_data();
    void readers_seeOtherMembersUnasked();
    void unbuiltMember_neverWrittenAndNothingLost();
    void unbuiltMember_deleteAsksAboutItsData();
    void unbuiltMember_removed_noCrash();
    void reloadAfterOthersChanged_showsTheNewFile();
    void buildAll_stoppedBetweenMembers_restBuiltLater();
};

void tst_lazyrows::open_otherMembersWaitOwnIsBuilt()
{
    Generated g;
    QVERIFY(g.ok);
    OpenedProgram p;
    QVERIFY(p.Open(g.ws));
    deftab *tab = p.tab();
    QVERIFY(memberRow(p, 0)->childCount() == g.size.instLclasses && memberRow(p, 0)->isExpanded());
    for (int n : {1, 2}) {
        QTreeWidgetItem *row = memberRow(p, n);
        QVERIFY(row && !tab->HasMemberRows(n));
        QCOMPARE(row->childCount(), 0);
        QVERIFY(!row->isExpanded());
        QCOMPARE(row->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        // The member's dates and next number come from its file without any row.
        const MemberInfo *m = p.GetObj<MemberTable>(RegSlot::ObjMemberTable)->value(n);
        QVERIFY(!m->EarliestStart.isEmpty() && !m->LatestTarget.isEmpty());
        QVERIFY(row->data(2, Qt::UserRole).toInt() > 0);
    }
}

// Each other member is compared with the same member opened by its own user, whose rows the
// open builds at once.
void tst_lazyrows::firstUse_showsWhatTheOpenBuilt()
{
    Generated g;
    QVERIFY(g.ok);
    QMap<int, QStringList> eager;
    QMap<int, QPair<QString, QString>> dates;
    for (int n : {1, 2}) {
        OpenedProgram p;
        QVERIFY(p.Open(g.as(n)));
        QVERIFY(p.tab()->HasMemberRows(n));
        eager[n] = dump(memberRow(p, n));
        const MemberInfo *m = p.GetObj<MemberTable>(RegSlot::ObjMemberTable)->value(n);
        dates[n] = qMakePair(m->EarliestStart, m->LatestTarget);
    }
    OpenedProgram p;
    QVERIFY(p.Open(g.ws));
    for (int n : {1, 2}) {
        p.tab()->EnsureMemberRows(n);
        QVERIFY(p.tab()->HasMemberRows(n));
        const QStringList late = dump(memberRow(p, n));
        QCOMPARE(late.size(), 1 + g.size.MemberElements());
        for (int i = 0; i < late.size(); ++i)
            QCOMPARE(late.at(i), eager[n].value(i));
        const MemberInfo *m = p.GetObj<MemberTable>(RegSlot::ObjMemberTable)->value(n);
        QCOMPARE(qMakePair(m->EarliestStart, m->LatestTarget), dates[n]);
    }
    // The document's class tree mirrors the instance tree row for row.
    auto *document = p.GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument);
    QCOMPARE(countRows(document->ClassTree()), countRows(p.tab()->GetUserTree()));
}

// Members built in any order leave the state instances and the per-model-class rows in the
// order of an open that built them all: members in order, each in file order.
void tst_lazyrows::firstUseOutOfOrder_keepsTheTablesOrder()
{
    Generated g;
    QVERIFY(g.ok);
    OpenedProgram p;
    QVERIFY(p.Open(g.ws));
    deftab *tab = p.tab();
    tab->EnsureMemberRows(2);
    tab->EnsureMemberRows(1);
    const auto memberOf = [](const QString &key) { return key.section('-', 0, 0).toInt(); };
    const auto idOf = [](const QString &key) { return key.section('-', 1).toInt(); };
    int stateLists = 0;
    for (auto it = tab->GetUserDataHash().cbegin(); it != tab->GetUserDataHash().cend(); ++it) {
        QStringList keys;
        for (QTreeWidgetItem *row : it.value())
            keys << deftab::KeyOf(deftab::RecordOf(row), QStringLiteral("ID"));
        QStringList states = tab->GetKeyedItems(it.key());
        stateLists += states.isEmpty() ? 0 : 1;
        for (QStringList *list : {&keys, &states}) {
            QStringList sorted = *list;
            std::stable_sort(sorted.begin(), sorted.end(), [&](const QString &a, const QString &b) {
                return memberOf(a) != memberOf(b) ? memberOf(a) < memberOf(b) : idOf(a) < idOf(b);
            });
            QCOMPARE(*list, sorted);
        }
    }
    QVERIFY(stateLists > 0);
}

void tst_lazyrows::expandingOrSelecting_buildsThatMemberOnly()
{
    Generated g;
    QVERIFY(g.ok);
    OpenedProgram p;
    QVERIFY(p.Open(g.ws));
    deftab *tab = p.tab();
    memberRow(p, 2)->setExpanded(true);
    QVERIFY(tab->HasMemberRows(2) && !tab->HasMemberRows(1));
    QCOMPARE(memberRow(p, 2)->childCount(), g.size.instLclasses);
    QVERIFY(memberRow(p, 2)->child(0)->isExpanded() && memberRow(p, 2)->child(0)->child(0)->isExpanded());
    QCOMPARE(memberRow(p, 2)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    // The document's class tree took the member's rows as they came.
    const TreeItemData *record = deftab::RecordOf(memberRow(p, 2));
    QCOMPARE(record->docRow->childCount(), g.size.instLclasses);
    QVERIFY(record->docRow->isExpanded());

    tab->SetCurrentUserItem(memberRow(p, 1));
    QVERIFY(tab->HasMemberRows(1));
    QCOMPARE(memberRow(p, 1)->childCount(), g.size.instLclasses);
}

void tst_lazyrows::readers_seeOtherMembersUnasked_data()
{
    QTest::addColumn<QString>("reader");
    for (const char *reader : {"search", "schedule", "qanda", "output", "document", "state"})
        QTest::newRow(reader) << QString::fromLatin1(reader);
}

// A fresh open for each reader: the first reader to ask finds member 2's rows.
void tst_lazyrows::readers_seeOtherMembersUnasked()
{
    QFETCH(QString, reader);
    Generated g;
    QVERIFY(g.ok);
    OpenedProgram p;
    QVERIFY(p.Open(g.ws));
    deftab *tab = p.tab();
    QVERIFY(!tab->HasMemberRows(2));
    auto *tabs = p.GetObj<Tab>(RegSlot::ObjTab);
    const QString firstKey = QStringLiteral("2-1");
    if (reader == "search") {
        QTreeWidgetItem *row = tab->FindTreeItem(firstKey);
        QVERIFY(row);
        QCOMPARE(row->text(5), "I" + firstKey);
        QVERIFY(!tab->HasMemberRows(1));
    } else if (reader == "schedule" || reader == "qanda" || reader == "state") {
        const int slot = reader == "schedule" ? RegSlot::StrTabSchedule
                         : reader == "qanda"  ? RegSlot::StrTabQandA
                                              : RegSlot::StrTabState;
        tabs->SelectTab(p.GetStrVar(slot));
        QVERIFY(tab->HasMemberRows(1) && tab->HasMemberRows(2));
        // The schedule shows the element's own mirrored row; the Q&A panel a copy of the rows.
        if (reader == "schedule")
            QVERIFY(deftab::RecordOf(memberRow(p, 2)->child(0))->scheduleRow->treeWidget());
        if (reader == "qanda") {
            auto *copies =
                p.GetObj<QandA>(RegSlot::ObjQandA)->findChild<QTreeWidget *>(QStringLiteral("UTREE"));
            QVERIFY(copies && copies->topLevelItemCount() == g.size.members);
            QCOMPARE(copies->topLevelItem(2)->childCount(), g.size.instLclasses);
        }
    } else if (reader == "output") {
        OutMenuDiag dialog;
        dialog.InitOutMenu(false);
        auto *tree = dialog.findChild<QTreeWidget *>(QStringLiteral("TREE"));
        QVERIFY(tree);
        QCOMPARE(tree->topLevelItemCount(), g.size.members);
        QCOMPARE(tree->topLevelItem(2)->text(4), QStringLiteral("I2"));
        QCOMPARE(tree->topLevelItem(2)->childCount(), g.size.instLclasses);
    } else if (reader == "document") {
        tabs->SelectTab(p.GetStrVar(RegSlot::StrTabDocument));
        auto *document = p.GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument);
        QCOMPARE(countRows(document->ClassTree()), g.size.members * (1 + g.size.MemberElements()));
    }
    QVERIFY(tab->HasMemberRows(2));
    QCOMPARE(memberRow(p, 2)->childCount(), g.size.instLclasses);
    QVERIFY2(p.reports.isEmpty(), qPrintable(p.reports.join('\n')));
}

// Another member's file is never written, and its document waits whole in the store until the
// rows are built from it.
void tst_lazyrows::unbuiltMember_neverWrittenAndNothingLost()
{
    Generated g;
    QVERIFY(g.ok);
    const QMap<QString, QByteArray> before = snapshot(g.dir.path());
    OpenedProgram p;
    QVERIFY(p.Open(g.ws));
    p.SaveEverythingOwn();
    const QMap<QString, QByteArray> after = snapshot(g.dir.path());
    for (const QString &name : before.keys()) {
        if (QFileInfo(name).fileName().startsWith(QLatin1String("instance_1")) ||
            QFileInfo(name).fileName().startsWith(QLatin1String("instance_2")))
            QVERIFY2(after.value(name) == before.value(name), qPrintable(name));
    }
    QVERIFY(!p.tab()->HasMemberRows(1));
    QCOMPARE(countRows(p.tab()->GetUserTree()), g.size.members * (1 + g.size.MemberElements()));
}

// Removing a member asks first whether it has instance data: rows not built yet still count.
void tst_lazyrows::unbuiltMember_deleteAsksAboutItsData()
{
    Generated g;
    QVERIFY(g.ok);
    OpenedProgram p;
    QVERIFY(p.Open(g.ws));
    auto *mgr = p.GetObj<manager>(RegSlot::ObjManager);
    MemberInfo *m = p.GetObj<MemberTable>(RegSlot::ObjMemberTable)->value(2);
    mgr->SetCurrentItem(m->TreeItem);
    p.reports.clear();
    mgr->DelGroupUser();
    QTRY_VERIFY_WITH_TIMEOUT(!p.reports.isEmpty(), 120000);
    QVERIFY2(p.reports.join('\n').contains("instance data"), qPrintable(p.reports.join('\n')));
    QVERIFY(p.GetObj<MemberTable>(RegSlot::ObjMemberTable)->contains(2));
}

void tst_lazyrows::unbuiltMember_removed_noCrash()
{
    Generated g;
    QVERIFY(g.ok);
    OpenedProgram p;
    QVERIFY(p.Open(g.ws));
    deftab *tab = p.tab();
    MemberInfo *m = p.GetObj<MemberTable>(RegSlot::ObjMemberTable)->value(2);
    tab->RemoveUser(m->InstanceItem);
    m->InstanceItem = nullptr;
    QVERIFY(!tab->FindTreeItem(QStringLiteral("2-1")));
    QCOMPARE(tab->GetUserTree()->topLevelItemCount(), g.size.members - 1);
    QVERIFY(tab->HasMemberRows(1));
    QVERIFY(!tab->FindTreeItem(QStringLiteral("2-1")));
}

// The reload offered after another member changed their file: a member built before and one
// never built both come back unbuilt, and show the file as it is now.
void tst_lazyrows::reloadAfterOthersChanged_showsTheNewFile()
{
    Generated g;
    QVERIFY(g.ok);
    OpenedProgram p;
    QVERIFY(p.Open(g.ws));
    p.tab()->EnsureMemberRows(1);
    const QString path = g.ws.instanceDir + QStringLiteral("/instance_2.xml");
    QDomDocument doc;
    QVERIFY(doc.setContent(readFile(path)));
    QDomElement root = doc.documentElement();
    while (root.lastChildElement() != root.firstChildElement())
        root.removeChild(root.lastChildElement());
    writeFile(path, doc.toByteArray());
    QVERIFY(!p.GetBoolVar(RegSlot::FlagSaveNeeded));
    p.window->OtherUpdate();
    QCOMPARE(p.GetIntVar(RegSlot::IntDocKind), 2);
    QVERIFY(!p.tab()->HasMemberRows(1) && !p.tab()->HasMemberRows(2));
    QCOMPARE(p.tab()->FindTreeItem(QStringLiteral("2-1"))->text(5), QStringLiteral("I2-1"));
    QCOMPARE(memberRow(p, 2)->childCount(), 1);
    QCOMPARE(countRows(p.tab()->GetUserTree()), 2 + (g.size.members - 1) * (1 + g.size.MemberElements()) +
                                                    g.size.instSclasses * (1 + g.size.instParams));
}

QTEST_MAIN(tst_lazyrows)
// A long run builds the members one by one and lets events through between them; a Cancel meanwhile
// stops it with each member either whole (rows and mirrored rows) or untouched.
void tst_lazyrows::buildAll_stoppedBetweenMembers_restBuiltLater()
{
    Generated g;
    QVERIFY(g.ok);
    OpenedProgram p;
    QVERIFY(p.Open(g.ws));
    deftab *tab = p.tab();
    int calls = 0;
    tab->EnsureAllMemberRows([&calls] { return ++calls < 1; });
    QCOMPARE(calls, 1);
    QVERIFY(tab->HasMemberRows(1) && !tab->HasMemberRows(2));
    auto *document = p.GetObj<InstanceDocument>(RegSlot::ObjInstanceDocument);
    const int perMember = 1 + g.size.MemberElements();
    QCOMPARE(countRows(document->ClassTree()), 2 * perMember + 1);
    QCOMPARE(memberRow(p, 2)->childCount(), 0);

    tab->EnsureAllMemberRows();
    QVERIFY(tab->HasMemberRows(2));
    QCOMPARE(countRows(document->ClassTree()), g.size.members * perMember);
    QCOMPARE(memberRow(p, 2)->childCount(), g.size.instLclasses);
}

#include "tst_lazyrows.moc"
