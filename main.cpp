#include "core/translations.h"
#include "core/workerthreads.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleFactory>
#include <unistd.h>

int main(int argc, char *argv[])
{
    // Attribute order in the XML files we share follows the hash order; a fixed seed keeps it
    // the same from run to run, so files do not churn between members.
    qSetGlobalQHashSeed(0);
    // The embedded web view refuses to run as root with its sandbox on.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    int result = 0;
    {
        QApplication app(argc, argv);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));
        Translations::Install(app);

        auto *window = new MainWindow;
        if (QScreen *screen = QGuiApplication::primaryScreen())
            window->setGeometry(screen->geometry());
        result = QApplication::exec();
        // A worker stuck in a system call must not keep the program from ending.
        WorkerThreads::StopAll(3000);
        delete window;
    }
    return result;
}
