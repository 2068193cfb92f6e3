// Reading the members' question and answer files into the trees, and writing the running user's
// own members' files back from them.

#include "core/safefile.h"
#include "core/treeitemdata.h"
#include "core/uireport.h"
#include "core/xmlclass.h"
#include "members/memberinfo.h"
#include "qa/qanda.h"
#include "qa/qandatags.h"
#include "shell/numeditor.h"
#include "ui_qanda.h"

#include <QDateTime>
#include <algorithm>

namespace
{
const QString &RootQuestion = QandATags::RootQuestion;
const QString &RootAnswer = QandATags::RootAnswer;
const QString &TagQuest = QandATags::Quest;
const QString &TagAnswer = QandATags::Answer;
const QString &TagToUser = QandATags::ToUser;
const QString &TagUser = QandATags::User;
const QString &TagReference = QandATags::Reference;
const QString &TagRef = QandATags::Ref;

bool isKey(const QString &key)
{
    const int dash = key.indexOf(QLatin1Char('-'));
    return dash > 0 && QandA::IsNumber(key.left(dash)) && QandA::IsNumber(key.mid(dash + 1));
}
} // namespace

QString QandA::memberFile(const QString &stem, int n) const
{
    return n == 0 ? m_instanceDir + QLatin1Char('/') + stem + QStringLiteral(".xml")
                  : m_instanceDir + QLatin1Char('/') + stem + QLatin1Char('_') + QString::number(n) +
                        QStringLiteral(".xml");
}

QString QandA::HistoryPath(const QString &shownId) const
{
    const QString stem =
        shownId.startsWith(QLatin1Char('Q')) ? QStringLiteral("/question_") : QStringLiteral("/answer_");
    return m_instanceDir + stem + shownId.mid(1).replace(QLatin1Char('-'), QLatin1Char('_')) +
           QStringLiteral(".hst");
}

void QandA::readFiles()
{
    QList<int> members;
    for (int i = 0; i < m_ui->UTREE->topLevelItemCount(); ++i)
        members << m_ui->UTREE->topLevelItem(i)->data(1, Qt::UserRole).toInt();
    m_leftOut.clear();
    for (int n : qAsConst(members))
        readQuestionFile(n);
    for (int n : qAsConst(members))
        readAnswerFile(n);
    placeQueued();
    UiReport::LeftOut(m_leftOut);
    m_leftOut.clear();
}

// Opens member n's file into the store. Another member's file that cannot be read is not shown,
// and named in the report that follows the reading; an own member's missing file starts empty,
// but one that exists and cannot be read is never replaced: that member's questions or answers
// stay unwritten until the workspace reopens.
bool QandA::openMemberDoc(int index, const QString &path, const QString &rootTag, int n,
                          DecimalId::Counter *ids)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const bool own = isOwnMember(n);
    if (!store)
        return false;
    if (store->OpenXmlFile(index, path, own)) {
        const QDomElement root = store->GetXmlDoc(index)->documentElement();
        if (root.tagName() == rootTag) {
            // The stored MaxID is the next ID to give; a run of digits beyond nine leaves none.
            ids->SeeMaxId(root.attribute(GetStrVar(RegSlot::StrAttrMaxID)));
            return true;
        }
        // Another kind of file: none of its children are this member's entries, and it is never
        // written over.
        m_leftOut << UiReport::LeftOutLine(path, UiReport::WrongRoot(root.tagName(), rootTag));
        store->CloseXmlDoc(index);
        if (own)
            (rootTag == RootQuestion ? m_unreadQuestions : m_unreadAnswers).insert(n);
        return false;
    }
    if (!own) {
        // Another member's file that is there but cannot be read: its entries vanish from view,
        // so the user is told.
        if (GetIntVar(RegSlot::IntLastErrorKind) != 0)
            m_leftOut << UiReport::LeftOutLine(path, GetStrVar(RegSlot::StrLastError));
        return false;
    }
    if (GetIntVar(RegSlot::IntLastErrorKind) == 0 && SafeFile::IsAbsent(path)) {
        QDomDocument doc;
        QDomElement root = doc.createElement(rootTag);
        root.setAttribute(GetStrVar(RegSlot::StrAttrID), n);
        root.setAttribute(GetStrVar(RegSlot::StrAttrMaxID), 1);
        doc.appendChild(root);
        store->AddXmlDocFile(index, doc, path, SafeFile::Seen::Absent());
        return false;
    }
    (rootTag == RootQuestion ? m_unreadQuestions : m_unreadAnswers).insert(n);
    if (GetIntVar(RegSlot::IntLastErrorKind) == 0)
        UiReport::Error(tr("File error"),
                        tr("file can not be read, it is not written until reopened:%1").arg(path));
    return false;
}

QTreeWidgetItem *QandA::newItem(const QDomElement &e, int n)
{
    auto *record = new TreeItemData;
    record->number = n;
    record->name = QString::number(n);
    const QDomNamedNodeMap attrs = e.attributes();
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomAttr a = attrs.item(i).toAttr();
        record->SetAttr(a.name(), a.value());
    }
    // Files written before the type was stored untranslated hold the shown text.
    const QString type = GetStrVar(RegSlot::StrAttrType);
    if (record->HasAttr(type))
        record->SetAttr(type, StoredType(record->GetAttr(type)));
    auto *item = new QTreeWidgetItem;
    item->setData(0, Qt::UserRole, TreeItemData::ToData(record));
    return item;
}

// Opens member n's file and takes its elements out of the document, which keeps a root without
// elements until the next save fills it from the trees again.
QList<QDomElement> QandA::takeElements(int index, const QString &stem, const QString &rootTag, int n,
                                       DecimalId::Counter *ids)
{
    QList<QDomElement> elements;
    if (!openMemberDoc(index, memberFile(stem, n), rootTag, n, ids))
        return elements;
    QDomElement root = GetObj<xmlclass>(RegSlot::ObjXmlStore)->GetXmlDoc(index)->documentElement();
    // Comments and the like stay in the root, before the entries the save adds.
    for (QDomNode n = root.firstChild(); !n.isNull();) {
        const QDomNode next = n.nextSibling();
        if (n.isElement())
            elements << root.removeChild(n).toElement();
        n = next;
    }
    return elements;
}

// Web references go into the record, children this panel does not know are kept as they were;
// a question's addressee list is handed back.
QDomElement QandA::readChildren(QTreeWidgetItem *item, const QDomElement &e, bool question)
{
    TreeItemData *record = RecordOf(item);
    QDomElement toUser;
    for (QDomElement child = e.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (question && child.tagName() == TagToUser) {
            toUser = child;
        } else if (child.tagName() == TagReference) {
            for (QDomElement r = child.firstChildElement(TagRef); !r.isNull();
                 r = r.nextSiblingElement(TagRef))
                record->links << linkOf(r);
        } else {
            record->kept << child;
        }
    }
    return toUser;
}

void QandA::readMemberFile(int n, int index, const QString &stem, const QString &rootTag,
                           int MemberInfo::*maxId,
                           const std::function<void(const QDomElement &, bool own)> &take)
{
    MemberInfo *m = member(n);
    if (!m)
        return;
    const bool own = m->OtherUser == 0;
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    // IDs start at 1 and go above the MaxID and every ID in the file, refused elements included.
    DecimalId::Counter ids;
    ids.SeeValue(0);
    for (const QDomElement &e : takeElements(index, stem, rootTag, n, &ids)) {
        ids.SeeId(e.attribute(idAttr));
        take(e, own);
    }
    if (own)
        m->*maxId = ids.HasNext() ? ids.Peek() : DecimalId::Ceiling + 1;
}

void QandA::readQuestionFile(int n)
{
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    const auto take = [&](const QDomElement &e, bool own) {
        if (e.tagName() != TagQuest || !IsNumber(e.attribute(idAttr))) {
            if (own)
                m_keptQuestions[n].append(e);
            return;
        }
        QTreeWidgetItem *item = newItem(e, n);
        const QDomElement toUser = readChildren(item, e, true);
        if (own)
            keepSource(item, e, true);
        bool toMe = false;
        for (QDomElement u = toUser.firstChildElement(TagUser); !u.isNull();
             u = u.nextSiblingElement(TagUser)) {
            const QString id = u.attribute(idAttr);
            QTreeWidgetItem *addressee = IsNumber(id) ? MakeAddressee(id.toInt()) : nullptr;
            if (!addressee || AddresseeOf(item, id.toInt())) {
                delete addressee;
                continue;
            }
            item->addChild(addressee);
            toMe = toMe || isOwnMember(id.toInt());
        }
        if (!own && !toMe) {
            freeItem(item);
            delete item;
            return;
        }
        fillQuestionColumns(item);
        queueSorted(nullptr, own ? m_ui->QTREE : m_ui->ATREE, item);
        m_questions.insert(QString::number(n) + QLatin1Char('-') + e.attribute(idAttr), item);
    };
    readMemberFile(n, XmlIndex::Question + n, QStringLiteral("question"), RootQuestion,
                   &MemberInfo::QuestionMaxID, take);
}

void QandA::readAnswerFile(int n)
{
    const QString idAttr = GetStrVar(RegSlot::StrAttrID);
    const auto take = [&](const QDomElement &e, bool own) {
        const QString questKey = e.attribute(GetStrVar(RegSlot::StrAttrQuestID));
        QTreeWidgetItem *question = m_questions.value(questKey);
        QTreeWidgetItem *addressee = question ? AddresseeOf(question, n) : nullptr;
        const bool valid = e.tagName() == TagAnswer && IsNumber(e.attribute(idAttr)) && isKey(questKey);
        if (!valid || !addressee) {
            // Not shown: an own member's answer goes back into its file as it was.
            if (own)
                m_keptAnswers[n].append(e);
            return;
        }
        QTreeWidgetItem *item = newItem(e, n);
        readChildren(item, e, false);
        if (own)
            keepSource(item, e, false);
        queueSorted(addressee, nullptr, item);
    };
    readMemberFile(n, XmlIndex::Answer + n, QStringLiteral("answer"), RootAnswer, &MemberInfo::AnswerMaxID,
                   take);
}

void QandA::queueSorted(QTreeWidgetItem *parent, QTreeWidget *tree, QTreeWidgetItem *item)
{
    const void *key = parent ? static_cast<const void *>(parent) : static_cast<const void *>(tree);
    auto at = m_queueOf.find(key);
    if (at == m_queueOf.end()) {
        at = m_queueOf.insert(key, m_queued.size());
        m_queued.append({parent, tree, {}});
    }
    m_queued[*at].items.append(item);
}

// Siblings are newest first, by "ModifyDate" or else "StartDate"; equal dates keep file order.
// Each parent's rows are sorted once, every date read once: inserting them one by one with a
// search each made a file of 200,000 questions hang the tab.
void QandA::placeQueued()
{
    const QString format = QString::fromLatin1(DocCdata::TimeFormat);
    const QString modify = GetStrVar(RegSlot::StrAttrModifyDate);
    const QString start = GetStrVar(RegSlot::StrAttrStartDate);
    for (const Queued &q : qAsConst(m_queued)) {
        QList<QTreeWidgetItem *> rows =
            q.parent ? q.parent->takeChildren() : q.tree->invisibleRootItem()->takeChildren();
        rows += q.items;
        QVector<QPair<QDateTime, QTreeWidgetItem *>> dated;
        dated.reserve(rows.size());
        for (QTreeWidgetItem *row : qAsConst(rows)) {
            const TreeItemData *r = RecordOf(row);
            QString text = r ? r->GetAttr(modify) : QString();
            if (text.isEmpty() && r)
                text = r->GetAttr(start);
            dated.append({QDateTime::fromString(text, format), row});
        }
        std::stable_sort(dated.begin(), dated.end(),
                         [](const auto &a, const auto &b) { return b.first < a.first; });
        rows.clear();
        for (const auto &d : qAsConst(dated))
            rows.append(d.second);
        // Filled before they are shown: a row changed in a shown tree costs a search through it.
        if (q.parent) {
            for (QTreeWidgetItem *answer : q.items)
                fillAnswerColumns(answer, q.parent);
            q.parent->addChildren(rows);
        } else {
            q.tree->addTopLevelItems(rows);
        }
    }
    m_queued.clear();
    m_queueOf.clear();
}

void QandA::fillQuestionColumns(QTreeWidgetItem *item)
{
    const TreeItemData *r = RecordOf(item);
    item->setText(ColType, ShownType(r->GetAttr(GetStrVar(RegSlot::StrAttrType))));
    item->setText(ColUser, r->GetAttr(GetStrVar(RegSlot::StrAttrName)));
    item->setText(ColId, QStringLiteral("Q") + r->name + QLatin1Char('-') +
                             r->GetAttr(GetStrVar(RegSlot::StrAttrID)));
    item->setText(ColTitle, r->GetAttr(GetStrVar(RegSlot::StrTagTitle)));
    fillDatesAndState(item, r, true);
    const QString key = r->GetAttr(GetStrVar(RegSlot::StrAttrInstID));
    item->setText(ColInst, m_instItems.contains(key) ? QStringLiteral("I") + key : QString());
}

void QandA::fillAnswerColumns(QTreeWidgetItem *item, const QTreeWidgetItem *addressee)
{
    const TreeItemData *r = RecordOf(item);
    const QString name = r->GetAttr(GetStrVar(RegSlot::StrAttrName));
    item->setText(ColType, ShownType(r->GetAttr(GetStrVar(RegSlot::StrAttrType))));
    if (!addressee)
        addressee = item->parent();
    const bool same = addressee && addressee->text(ColUser) == name;
    item->setText(ColUser, same ? QString() : QStringLiteral("(") + name + QLatin1Char(')'));
    item->setText(ColId, QStringLiteral("A") + r->name + QLatin1Char('-') +
                             r->GetAttr(GetStrVar(RegSlot::StrAttrID)));
    fillDatesAndState(item, r, false);
}

void QandA::fillDatesAndState(QTreeWidgetItem *item, const TreeItemData *r, bool target)
{
    item->setText(ColStart, r->GetAttr(GetStrVar(RegSlot::StrAttrStartDate)));
    item->setText(ColModify, r->GetAttr(GetStrVar(RegSlot::StrAttrModifyDate)));
    if (target)
        item->setText(ColTarget, r->GetAttr(GetStrVar(RegSlot::StrAttrTargetDate)));
    item->setText(ColCompletion, r->GetAttr(GetStrVar(RegSlot::StrAttrCompletionDate)));
    const int state = r->GetAttr(GetStrVar(RegSlot::StrAttrState)).toInt();
    item->setText(ColState, StateName(state));
    SetStateColours(item, ColState, state >= -1 && state <= 3 ? state : -1);
}

void QandA::prepareRoot(int index, int n, int maxId)
{
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!store || !store->HasDoc(index))
        return;
    QDomElement root = store->GetXmlDoc(index)->documentElement();
    root.setAttribute(GetStrVar(RegSlot::StrAttrMaxID), maxId);
    root.setAttribute(GetStrVar(RegSlot::StrAttrID), n);
}

void QandA::appendAnswers(QTreeWidgetItem *addressee)
{
    const int n = addressee->data(ColUser, Qt::UserRole).toInt();
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    if (!isOwnMember(n) || m_unreadAnswers.contains(n) || !store->HasDoc(XmlIndex::Answer + n))
        return;
    QDomDocument *doc = store->GetXmlDoc(XmlIndex::Answer + n);
    for (int i = 0; i < addressee->childCount(); ++i)
        doc->documentElement().appendChild(buildElement(doc, TagAnswer, addressee->child(i), true));
}

void QandA::appendQuestion(QDomDocument *doc, QTreeWidgetItem *question)
{
    doc->documentElement().appendChild(buildElement(doc, TagQuest, question, false));
}

void QandA::SaveQandA()
{
    // A text its history refused stays in the editor, marked, and the save counts as failed so
    // that it is not taken for saved; the rest is written.
    const bool committed = commitEditor();
    if (!committed)
        SetBoolVar(RegSlot::FlagWriteFailed, true);
    auto *store = GetObj<xmlclass>(RegSlot::ObjXmlStore);
    const auto *table = GetObj<MemberTable>(RegSlot::ObjMemberTable);
    if (!store || !table)
        return;
    QList<int> own;
    for (auto it = table->begin(); it != table->end(); ++it) {
        if (!it.value() || it.value()->OtherUser != 0)
            continue;
        own << it.key();
        prepareRoot(XmlIndex::Question + it.key(), it.key(), it.value()->QuestionMaxID);
        prepareRoot(XmlIndex::Answer + it.key(), it.key(), it.value()->AnswerMaxID);
    }
    for (int i = 0; i < m_ui->QTREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *question = m_ui->QTREE->topLevelItem(i);
        const int n = RecordOf(question)->number;
        const int index = XmlIndex::Question + n;
        if (isOwnMember(n) && !m_unreadQuestions.contains(n) && store->HasDoc(index))
            appendQuestion(store->GetXmlDoc(index), question);
        for (int a = 0; a < question->childCount(); ++a)
            appendAnswers(question->child(a));
    }
    for (int i = 0; i < m_ui->ATREE->topLevelItemCount(); ++i) {
        QTreeWidgetItem *question = m_ui->ATREE->topLevelItem(i);
        for (int a = 0; a < question->childCount(); ++a)
            appendAnswers(question->child(a));
    }
    const auto keep = [&](const QHash<int, QList<QDomElement>> &kept, int base) {
        for (auto it = kept.begin(); it != kept.end(); ++it) {
            if (QDomDocument *doc =
                    store->HasDoc(base + it.key()) ? store->GetXmlDoc(base + it.key()) : nullptr) {
                for (const QDomElement &e : it.value())
                    doc->documentElement().appendChild(doc->importNode(e, true));
            }
        }
    };
    keep(m_keptQuestions, XmlIndex::Question);
    keep(m_keptAnswers, XmlIndex::Answer);
    for (int n : qAsConst(own)) {
        if (!m_unreadQuestions.contains(n) && store->HasDoc(XmlIndex::Question + n))
            store->SaveXmlDoc(XmlIndex::Question + n);
        if (!m_unreadAnswers.contains(n) && store->HasDoc(XmlIndex::Answer + n))
            store->SaveXmlDoc(XmlIndex::Answer + n);
    }
    // The documents start from empty roots at the next save again.
    for (int n : table->keys()) {
        for (int index : {XmlIndex::Question + n, XmlIndex::Answer + n}) {
            if (!store->HasDoc(index))
                continue;
            QDomElement root = store->GetXmlDoc(index)->documentElement();
            for (QDomElement e = root.firstChildElement(); !e.isNull(); e = root.firstChildElement())
                root.removeChild(e);
        }
    }
    SetBoolVar(RegSlot::FlagQandAModified, false);
    if (committed)
        m_editor->ClearModified();
}
