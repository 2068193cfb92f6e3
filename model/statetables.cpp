#include "model/statetables.h"

void StateTables::Clear()
{
    m_states.clear();
    m_transitions.clear();
}

int StateTables::indexOfState(const QString &id) const
{
    for (int i = 0; i < m_states.size(); ++i) {
        if (m_states.at(i).id == id)
            return i;
    }
    return -1;
}

bool StateTables::HasStateName(const QString &lclassId, const QString &name, const QString &except) const
{
    for (const State &s : m_states) {
        if (s.lclassId == lclassId && s.name == name && (except.isEmpty() || s.id != except))
            return true;
    }
    return false;
}

QString StateTables::StateName(const QString &id) const
{
    const int i = indexOfState(id);
    return i < 0 ? QString() : m_states.at(i).name;
}

bool StateTables::CanAddState(const QString &id, const QString &lclassId, const QString &name) const
{
    return !id.isEmpty() && !IsState(id) && !HasStateName(lclassId, name);
}

bool StateTables::AddState(const QString &id, const QString &lclassId, const QString &name)
{
    if (!CanAddState(id, lclassId, name))
        return false;
    m_states.append({id, lclassId, name});
    return true;
}

void StateTables::LoadState(const QString &id, const QString &lclassId, const QString &name)
{
    if (!IsState(id))
        m_states.append({id, lclassId, name});
}

bool StateTables::RemoveState(const QString &id)
{
    const int i = indexOfState(id);
    if (i < 0)
        return false;
    m_states.removeAt(i);
    return true;
}

bool StateTables::RenameState(const QString &id, const QString &name)
{
    const int i = indexOfState(id);
    if (i < 0 || HasStateName(m_states.at(i).lclassId, name))
        return false;
    m_states[i].name = name;
    return true;
}

bool StateTables::HasTransition(const QString &stateId, const QString &name) const
{
    return m_transitions.contains(qMakePair(stateId, name));
}

bool StateTables::HasTransitionsOf(const QString &stateId) const
{
    return !TransitionsOf(stateId).isEmpty();
}

QStringList StateTables::TransitionsOf(const QString &stateId) const
{
    QStringList names;
    for (const auto &t : m_transitions) {
        if (t.first == stateId)
            names << t.second;
    }
    return names;
}

bool StateTables::AddTransition(const QString &stateId, const QString &name)
{
    if (stateId.isEmpty() || HasTransition(stateId, name))
        return false;
    m_transitions.append(qMakePair(stateId, name));
    return true;
}

void StateTables::LoadTransition(const QString &stateId, const QString &name)
{
    m_transitions.append(qMakePair(stateId, name));
}

bool StateTables::RemoveTransition(const QString &stateId, const QString &name)
{
    return m_transitions.removeOne(qMakePair(stateId, name));
}
