#pragma once

#include <QDomDocument>
#include <QList>
#include <QString>

// One account that can hold a model, an output definition or a member row.
struct TransferAccount {
    QString name;
    QString email;
};

// The rules of handing an owned object to another account, apart from the dialogs that ask.
namespace OwnerTransfer
{
// The pseudo-account whose address holds no "@": anyone may take over what it owns.
inline QString Anyone()
{
    return QStringLiteral("anyone");
}

// The running user's account and the group accounts of the settings document, without the
// current holder's address, then "anyone".
QList<TransferAccount> Candidates(const QDomDocument &settings, const QString &holderEmail);

// Kind 0 the model (open document kind 1), kind 1 the output definition (kind 3); a new object
// that was not reopened since is never handed over.
bool CanTransfer(int kind, bool ownedByUser, const QString &ownerEmail, bool isNew, int docKind);
} // namespace OwnerTransfer
