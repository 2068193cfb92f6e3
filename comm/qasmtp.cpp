#include "comm/qasmtp.h"

QaSmtp::QaSmtp(QObject *parent) : QObject(parent) {}
