#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The state machine of a model: its state small classes, keyed by element ID, each with its
// large class and state name, and its transitions, each a state ID with a transition name. A
// state name is unique within its large class; a state may have several transitions, each name
// once. Entries keep the order they were made in, which is the order the states are offered.
class StateTables
{
public:
    struct State {
        QString id;
        QString lclassId;
        QString name;
    };

    void Clear();

    // A state named so in the large class, other than the state small class except.
    bool HasStateName(const QString &lclassId, const QString &name, const QString &except = QString()) const;
    bool IsState(const QString &id) const { return indexOfState(id) >= 0; }
    QString StateName(const QString &id) const;
    const QList<State> &States() const { return m_states; }
    // Refused (false, nothing changed) for an ID that is a state already or a name taken in the
    // large class.
    bool CanAddState(const QString &id, const QString &lclassId, const QString &name) const;
    bool AddState(const QString &id, const QString &lclassId, const QString &name);
    // A model file may hold what this program would refuse; loading keeps it as it is.
    void LoadState(const QString &id, const QString &lclassId, const QString &name);
    bool RemoveState(const QString &id);
    // Refused for a name another state of the large class has, and for the state's own name.
    bool RenameState(const QString &id, const QString &name);

    bool HasTransition(const QString &stateId, const QString &name) const;
    bool HasTransitionsOf(const QString &stateId) const;
    QStringList TransitionsOf(const QString &stateId) const;
    // Refused for a pair the table holds already.
    bool AddTransition(const QString &stateId, const QString &name);
    void LoadTransition(const QString &stateId, const QString &name);
    // Removes one entry of the pair; false when there was none.
    bool RemoveTransition(const QString &stateId, const QString &name);

private:
    int indexOfState(const QString &id) const;

    QList<State> m_states;
    QList<QPair<QString, QString>> m_transitions;
};
