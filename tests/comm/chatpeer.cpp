// Another member's program for the chat tests: runs a chat session over the given workspace and
// takes one command per line on stdin ("send TEXT", "dump", "delete N", "quit"); "dump" lists
// every row as "row TEXT0|TEXT1|BACKGROUND0|BACKGROUND1".

#include "chatsupport.h"
#include "testsupport_widgets.h"

#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

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
    session.Open(qEnvironmentVariableIsSet("CHAT_PEER_TICK_MS")
                     ? qEnvironmentVariableIntValue("CHAT_PEER_TICK_MS")
                     : 200);
    session.chat()->ShowChat();
    QSocketNotifier notifier(0, QSocketNotifier::Read);
    auto reply = [](const QString &text) {
        std::fputs(text.toUtf8().constData(), stdout);
        std::fputs("\n", stdout);
        std::fflush(stdout);
    };
    const auto serve = [&](const QString &line) {
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
    };
    // Commands written close together arrive in one read. Read through a buffered file, the later
    // ones stayed in its buffer, where no further notification came for them: each waited for the
    // next command, and every answer came a command late. Every whole line is served now.
    QByteArray pending;
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        char chunk[4096];
        const ssize_t got = ::read(0, chunk, sizeof chunk);
        if (got <= 0) {
            serve(QString()); // the test went away
            return;
        }
        pending.append(chunk, int(got));
        int end;
        while (notifier.isEnabled() && (end = pending.indexOf('\n')) >= 0) {
            serve(QString::fromUtf8(pending.left(end)).trimmed());
            pending.remove(0, end + 1);
        }
    });
    reply(QStringLiteral("ready"));
    return app.exec();
}
