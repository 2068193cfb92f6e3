#pragma once

class QCoreApplication;
class QTranslator;

// The program's Japanese texts and Qt's own (file dialogs, calendars, standard buttons), so a
// Japanese program shows no English dialog parts.
namespace Translations
{
// Loads Qt's Japanese texts from the system's Qt translations folder. False when the system has
// none (Debian's qttranslations5-l10n missing), which is no error: Qt's parts then stay English.
bool LoadQt(QTranslator &translator);
// Installs Qt's translator when there is one and the program's own, both owned by the application.
void Install(QCoreApplication &app);
} // namespace Translations
