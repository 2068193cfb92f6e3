#pragma once

#include <QAbstractMessageHandler>
#include <QSourceLocation>

// Keeps the last schema message (type, text, location) handed to the XML store.
class XmlMessage final : public QAbstractMessageHandler
{
    Q_OBJECT
public:
    explicit XmlMessage(QObject *parent = nullptr);
    QtMsgType Type() const { return m_type; }
    QString Description() const { return m_description; }
    QSourceLocation Location() const { return m_location; }

protected:
    void handleMessage(QtMsgType type, const QString &description, const QUrl &identifier,
                       const QSourceLocation &sourceLocation) override;

private:
    QtMsgType m_type = QtDebugMsg;
    QString m_description;
    QSourceLocation m_location;
};
