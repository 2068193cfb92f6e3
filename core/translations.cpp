#include "core/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace Translations
{
bool LoadQt(QTranslator &translator)
{
    return translator.load(QStringLiteral("qtbase_ja"),
                           QLibraryInfo::location(QLibraryInfo::TranslationsPath));
}

void Install(QCoreApplication &app)
{
    // Installed first, so the program's own texts win where a source text is in both.
    auto *qt = new QTranslator(&app);
    if (LoadQt(*qt))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    auto *own = new QTranslator(&app);
    if (own->load(QStringLiteral(":/Pelmorine_jp.qm")))
        QCoreApplication::installTranslator(own);
    else
        delete own;
}
} // namespace Translations
