#include "workspacegen.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

// mkworkspace [--size large|small|L,S,P,M,l,s,p] [--seed N] FOLDER
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a workspace of a given size for measuring the program."));
    parser.addHelpOption();
    parser.addOption(
        {QStringLiteral("size"),
         QStringLiteral("large, small, or L,S,P,M,l,s,p: model classes, small classes, parameters, "
                        "members, and each member's large classes, small classes, parameters."),
         QStringLiteral("size"), QStringLiteral("large")});
    parser.addOption({QStringLiteral("seed"), QStringLiteral("Seed of the generated values."),
                      QStringLiteral("seed"), QStringLiteral("1")});
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The workspace folder to write."));
    parser.process(app);
    QTextStream err(stderr);
    WorkspaceGen::Size size;
    bool seedOk = false;
    size.seed = parser.value(QStringLiteral("seed")).toUInt(&seedOk);
    if (parser.positionalArguments().size() != 1 || !seedOk ||
        !WorkspaceGen::ParseSize(parser.value(QStringLiteral("size")), &size)) {
        err << parser.helpText();
        return 2;
    }
    WorkspaceGen::Result result;
    QString error;
    if (!WorkspaceGen::Generate(size, parser.positionalArguments().at(0), &result, &error)) {
        err << error << '\n';
        return 1;
    }
    QTextStream out(stdout);
    out << "workspace " << result.workspace << '\n'
        << "model " << result.modelName << ' ' << result.modelVersion << " (" << size.ModelElements()
        << " elements)\n"
        << "instance " << result.instanceDir << " (" << size.members << " members x " << size.MemberElements()
        << " elements)\n"
        << "user " << result.userName << " <" << result.userEmail << ">\n"
        << result.files << " files, " << result.bytes << " bytes\n";
    return 0;
}
