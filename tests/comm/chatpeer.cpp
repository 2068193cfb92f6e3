// Another member's program for the chat tests: runs a chat session over the given workspace and
// takes one command per line on stdin ("send TEXT", "dump", "delete N", "quit"); "dump" lists
// every row as "row TEXT0|TEXT1|BACKGROUND0|BACKGROUND1".

#include "chatsupport.h"
#include "testsupport_widgets.h"

#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5)
        return 2;
    QList<QPair<QString, QString>> members;
    for (int i = 3; i + 1 < args.size(); i += 2)
        members << qMakePair(args.at(i), args.at(i + 1));
    RegistryScope registry;
    ChatSession session(args.at(1), args.at(2), members);
    session.Open();
    session.chat()->ShowChat();
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    QSocketNotifier notifier(0, QSocketNotifier::Read);
    auto reply = [](const QString &text) {
        std::fputs(text.toUtf8().constData(), stdout);
        std::fputs("\n", stdout);
        std::fflush(stdout);
    };
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        const QString line = QString::fromUtf8(in.readLine()).trimmed();
        if (line.startsWith(QLatin1String("send "))) {
            session.Send(line.mid(5));
            reply(QStringLiteral("sent ") + session.Status());
        } else if (line == QLatin1String("dump")) {
            for (const QString &row : session.Cells(0, true))
                reply(QStringLiteral("row ") + QString(row).replace(QLatin1Char('\n'), QLatin1Char('~')));
            reply(QStringLiteral("end"));
        } else if (line.startsWith(QLatin1String("delete "))) {
            // The user clicks the text of the n-th message and confirms.
            TestSupport::answerNextBox(QStringLiteral("del"));
            emit session.chat()->Table(0)->cellClicked(2 * line.mid(7).toInt() - 1, 1);
            reply(QStringLiteral("deleted"));
        } else if (line.isEmpty() || line == QLatin1String("quit")) {
            notifier.setEnabled(false);
            session.Close();
            app.quit();
        }
    });
    reply(QStringLiteral("ready"));
    return app.exec();
}
