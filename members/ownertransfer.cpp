#include "members/ownertransfer.h"

QList<TransferAccount> OwnerTransfer::Candidates(const QDomDocument &settings, const QString &holderEmail)
{
    QList<TransferAccount> accounts;
    const QDomElement init = settings.documentElement();
    if (init.tagName() == QLatin1String("Init")) {
        const TransferAccount own{init.attribute(QStringLiteral("Name")),
                                  init.attribute(QStringLiteral("Email"))};
        if (own.email != holderEmail)
            accounts.append(own);
        const QDomElement child = init.firstChildElement(QStringLiteral("CHILD"));
        for (QDomElement u = child.firstChildElement(QStringLiteral("ChildUser")); !u.isNull();
             u = u.nextSiblingElement(QStringLiteral("ChildUser"))) {
            const TransferAccount account{u.attribute(QStringLiteral("Name")),
                                          u.attribute(QStringLiteral("Email"))};
            if (account.email != holderEmail)
                accounts.append(account);
        }
    }
    accounts.append({Anyone(), Anyone()});
    return accounts;
}

bool OwnerTransfer::CanTransfer(int kind, bool ownedByUser, const QString &ownerEmail, bool isNew,
                                int docKind)
{
    if (kind != 0 && kind != 1)
        return false;
    const bool mayGive = ownedByUser || !ownerEmail.contains(QLatin1Char('@'));
    const int expectedKind = kind == 0 ? 1 : 3;
    return mayGive && !isNew && docKind == expectedKind;
}
