#include "core/xmlmessage.h"

XmlMessage::XmlMessage(QObject *parent) : QAbstractMessageHandler(parent) {}

void XmlMessage::handleMessage(QtMsgType type, const QString &description, const QUrl &,
                               const QSourceLocation &sourceLocation)
{
    m_type = type;
    m_description = description;
    m_location = sourceLocation;
}
