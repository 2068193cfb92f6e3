#pragma once

#include "comm/mailqueueitem.h"
#include "core/decimalid.h"
#include "core/globalvar.h"
#include "qa/doccdata.h"

#include <QDomElement>
#include <QHash>
#include <QPair>
#include <QSet>
#include <QStringList>
#include <QWidget>
#include <functional>

namespace Ui
{
class QandA;
}
class Calendar;
class CreateQA;
class DocDiag;
class HtmlList;
class NumEditor;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class ToUserDialog;
class TreeItemData;
class reffile;
class refurl;
struct MemberInfo;

// The question-and-answer panel: questions the members ask about instance elements, addressed
// to members who answer them, each moved through its states with a dated history; read from and
// written to the members' question and answer files in the instance folder.
class QandA final : public QWidget, protected virtual globalvar
{
    Q_OBJECT
public:
    // Item depth in the question trees.
    enum Level : int { QuestionLevel = 0, AddresseeLevel = 1, AnswerLevel = 2 };
    enum Column : int {
        ColType,
        ColUser,
        ColId,
        ColTitle,
        ColStart,
        ColModify,
        ColTarget,
        ColCompletion,
        ColState,
        ColInst
    };

    explicit QandA(QWidget *parent = nullptr);
    ~QandA() override;

    void Clear();
    void SaveQandA();
    void SaveRecords();
    void QueueMails(DocCdataRecord *record, QTreeWidgetItem *owner);
    void BuildMail(QTreeWidgetItem *item, DocCdataCase *entry);
    const QList<MailQueueItem> &MailQueue() const { return m_mailQueue; }
    void SetInstanceDir(const QString &dir);
    void SetModify();
    void ShowQandA(QTreeWidget *userTree, bool refresh);
    void SetActiveEditor();
    void AdjustLayout();
    void TakeTreeItem(QTreeWidgetItem *item);
    void TakeTopLevelItem(QTreeWidgetItem *item);

    // Callbacks of the creation and addressee dialogs.
    void AddQuestion(const QString &title, const QString &type, const QString &ownerName);
    void RemoveQuestion();
    void AddAnswer(QTreeWidgetItem *addressee, const QString &title, const QString &type);
    void RemoveAnswer();
    QTreeWidgetItem *MakeAddressee(int member);
    void InsertAddressee(QTreeWidgetItem *question, int position, QTreeWidgetItem *addressee);
    void RemoveAddressee(QTreeWidgetItem *question, QTreeWidgetItem *addressee);
    static QTreeWidgetItem *AddresseeOf(QTreeWidgetItem *question, int member);
    // Carries an edit of a row's links (as ReferenceFiles::FollowEdits takes it) into the
    // REFERENCE elements of the element the row was read from, when it keeps that element.
    static void FollowLinkEdits(QTreeWidgetItem *item, const QStringList &before, const QStringList &after,
                                const QList<int> &origins);

    // For the views and tests.
    QTreeWidget *QuestionTree() const;
    QTreeWidget *AnswerTree() const;
    QTreeWidget *InstanceTree() const;
    QTreeWidget *HistoryTree() const;
    NumEditor *Editor() const { return m_editor; }
    CreateQA *CreateDialog() const { return m_create; }
    ToUserDialog *UserDialog() const { return m_toUser; }
    Calendar *DateDialog() const { return m_calendar; }
    DocCdata &Records() { return m_records; }
    const bool *Enables() const { return m_enables; }
    QString StateName(int state) const;
    // Question and answer types: files hold the stored value, the panel shows the translated
    // text. Either form converts, so files written with the shown text stay readable.
    QString StoredType(const QString &type) const;
    QString ShownType(const QString &type) const;
    static void SetStateColours(QTreeWidgetItem *item, int column, int state);
    static TreeItemData *RecordOf(const QTreeWidgetItem *item);
    static int LevelOf(const QTreeWidgetItem *item);
    static bool IsNumber(const QString &text);
    QString HistoryPath(const QString &shownId) const;

public slots:
    void QATreeChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void QtreeClicked(QTreeWidgetItem *item, int column);
    void QAtreeClicked(QTreeWidgetItem *item, int column);
    void UtreeClicked(QTreeWidgetItem *item, int column);
    void QTreeColumnAdjustment();
    void ATreeColumnAdjustment();
    void UTreeColumnAdjustment();
    void QAHistProc(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void QTreePopupMenu(const QPoint &pos);
    void ATreePopupMenu(const QPoint &pos);
    void StateClicked();
    void TitleChanged(const QString &text);
    void QaTabChanged(int index);
    void TypeChanged(int index);
    void UserListClicked();
    void CreateQuestion();
    void DeleteQuestion();
    void CreateAnswer();
    void DeleteAnswer();
    void SetRef();
    void DispRef();
    void DelRef();
    void HtmlProc();

private:
    // ---- files (qanda_files.cpp) ----
    void readFiles();
    void readQuestionFile(int n);
    void readAnswerFile(int n);
    // Hands each element of member n's question or answer file to take (own: the member is
    // ours); an own member's next free id goes to its maxId.
    void readMemberFile(int n, int index, const QString &stem, const QString &rootTag, int MemberInfo::*maxId,
                        const std::function<void(const QDomElement &, bool own)> &take);
    bool openMemberDoc(int index, const QString &path, const QString &rootTag, int n,
                       DecimalId::Counter *ids);
    QList<QDomElement> takeElements(int index, const QString &stem, const QString &rootTag, int n,
                                    DecimalId::Counter *ids);
    QDomElement readChildren(QTreeWidgetItem *item, const QDomElement &e, bool question);
    QTreeWidgetItem *newItem(const QDomElement &e, int n);
    void queueSorted(QTreeWidgetItem *parent, QTreeWidget *tree, QTreeWidgetItem *item);
    void placeQueued();
    void fillQuestionColumns(QTreeWidgetItem *item);
    // addressee: the row the answer goes under, when it is not there yet.
    void fillAnswerColumns(QTreeWidgetItem *item, const QTreeWidgetItem *addressee = nullptr);
    // The columns both kinds of row show; questions add the target date.
    void fillDatesAndState(QTreeWidgetItem *item, const TreeItemData *r, bool target);
    void appendQuestion(QDomDocument *doc, QTreeWidgetItem *question);
    void appendAnswers(QTreeWidgetItem *addressee);

    // ---- elements written back (qanda_elements.cpp) ----
    QDomElement buildElement(QDomDocument *doc, const QString &tag, QTreeWidgetItem *item, bool answer);
    // Whether an own element holds more than its row (attributes, elements, comments another
    // program wrote, addressees or links not read): kept with the row, it is written into again.
    bool holdsUnread(const QDomElement &e, bool question) const;
    void keepSource(QTreeWidgetItem *item, const QDomElement &e, bool question);
    // A User element the reader takes as an addressee.
    bool isReadUser(const QDomElement &u) const;
    // A REF element as the row's link.
    QString linkOf(const QDomElement &ref) const;
    void writeAddressees(QDomDocument *doc, QDomElement &e, QTreeWidgetItem *item);
    void writeLinks(QDomDocument *doc, QDomElement &e, const TreeItemData *r, bool answer);
    void prepareRoot(int index, int n, int maxId);
    QString memberFile(const QString &stem, int n) const;
    // The number a new question or answer of member n takes (stem "question" or "answer"): the
    // first from `from` up that no file of the instance folder uses and no history of the store
    // holds; -1 with the reason when none is left or the folder cannot be listed.
    int freeNumber(const QString &stem, int n, qint64 from, QString *why = nullptr) const;

    // ---- showing and selecting (qanda.cpp) ----
    void copyInstanceTree(QTreeWidget *userTree);
    void showItem(QTreeWidgetItem *item);
    void computeEnables(QTreeWidgetItem *item);
    void applyEnables();
    void disablePanes();
    void setEditing(bool title, bool type, bool state, bool editor);
    void recolourTabs(int current);
    QString referenceFolder(QTreeWidgetItem *item) const;
    void freeItem(QTreeWidgetItem *item);
    void clearTree(QTreeWidget *tree);
    MemberInfo *member(int n) const;
    bool isOwnMember(int n) const;
    bool isOwnItem(QTreeWidgetItem *item) const;
    QTreeWidget *currentTree() const;
    QTreeWidgetItem *currentItem() const;

    // ---- notification mail (qanda_mail.cpp) ----
    bool isLiveItem(QTreeWidgetItem *item) const;
    void addRecipient(QList<MailRecipient> *to, int n) const;
    QStringList instanceLines(QTreeWidgetItem *question) const;

    // ---- actions (qanda_actions.cpp) ----
    void showHistory(QTreeWidgetItem *item);
    bool commitEditor();
    // Tells why the shown history refused the editor's text (which stays there); false.
    bool refuseText();
    void addHistoryRow(DocCdataCase *entry);
    QString shownId(QTreeWidgetItem *item) const;
    bool hasAnswers(QTreeWidgetItem *question) const;
    void fillUserDialog();

    Ui::QandA *m_ui;
    NumEditor *m_editor;
    reffile *m_refFile;
    refurl *m_refUrl;
    CreateQA *m_create;
    ToUserDialog *m_toUser;
    Calendar *m_calendar;
    HtmlList *m_htmlList;
    DocDiag *m_docDiag;
    QMenu *m_popup;
    QAction *m_popupActions[4] = {};
    DocCdata m_records;
    // Refilled at every save-all; the mail thread works on its own copy.
    QList<MailQueueItem> m_mailQueue;
    QString m_instanceDir;
    QStringList m_questionTypes;
    QStringList m_answerTypes;
    static const QStringList kStoredTypes; // question types, then answer types
    QStringList m_stateNames;
    QString m_newMessage;

    QHash<QString, QTreeWidgetItem *> m_instItems; // instance key -> UTREE item
    QHash<QTreeWidgetItem *, QString> m_instKeys;  // and back
    QHash<QString, QTreeWidgetItem *> m_questions; // question key -> question item
    // Own members' answers that no tree shows, and elements refused for a bad number: written
    // back as they were, so a save never drops what this program does not show.
    QHash<int, QList<QDomElement>> m_keptAnswers;
    QHash<int, QList<QDomElement>> m_keptQuestions;
    // Rows read from the files, per parent row (or tree), placed once all files are read.
    struct Queued {
        QTreeWidgetItem *parent = nullptr;
        QTreeWidget *tree = nullptr;
        QList<QTreeWidgetItem *> items;
    };
    QList<Queued> m_queued;
    QHash<const void *, int> m_queueOf;
    QStringList m_leftOut; // files not shown while reading, one line each
    // Own members whose file exists but could not be read: never written over until reopened.
    QSet<int> m_unreadQuestions;
    QSet<int> m_unreadAnswers;
    QTreeWidgetItem *m_shown = nullptr;
    QTreeWidgetItem *m_historyItem = nullptr;
    DocCdataCase *m_editedEntry = nullptr;
    int m_tab = 0;
    bool m_enables[4] = {};
    bool m_filled = false;
    bool m_filesRead = false;
    bool m_usersFilled = false;
    QList<QPair<QString, int>> m_users; // the addressee list's members, name and number
    bool m_questionEditable = false;
    bool m_answerEditable = false;
};
