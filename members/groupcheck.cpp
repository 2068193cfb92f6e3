#include "members/groupcheck.h"

#include "members/memberfiles.h"

#include <QCoreApplication>

namespace
{
QString text(const char *source)
{
    return QCoreApplication::translate("AddGroup", source);
}
} // namespace

QString GroupCheck::Check(const QList<ChildUserRow> &rows, ChildUserRow &entry, bool adding)
{
    if (entry.name.isEmpty())
        return text("name is not set");
    if (entry.email.isEmpty())
        return text("email is not set");
    if (entry.procEmail.isEmpty())
        entry.procEmail = entry.email;
    // Such an account, added to a workspace, would be left out of its group at every open.
    QString refusal = MemberFiles::LongIdentity(entry.name, entry.email);
    if (refusal.isEmpty())
        refusal = MemberFiles::LongIdentity(QString(), entry.procEmail);
    if (!refusal.isEmpty())
        return refusal;
    if (!adding)
        return QString();
    for (const ChildUserRow &row : rows) {
        if (row.name == entry.name)
            return text("name:") + entry.name + text(" exist");
        if (row.email == entry.email)
            return text("email:") + entry.email + text(" exist");
    }
    return QString();
}

QList<ChildUserRow> GroupCheck::Accounts(const QString &managerName, const QString &managerEmail,
                                         const QDomDocument *settings)
{
    QList<ChildUserRow> accounts{{managerName, managerEmail, {}, {}, {}, {}}};
    if (!settings)
        return accounts;
    for (const ChildUserRow &child : OptionsModel::Read(*settings).children)
        accounts.append({child.name, child.email, {}, {}, {}, {}});
    return accounts;
}
