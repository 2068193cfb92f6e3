#pragma once

// What the reference-file and web-link tests share: the running program, a stand-in for the
// desktop's handler, and answers to file dialogs.

#include "core/xmlclass.h"
#include "shell/mainwindow.h"
#include "testsupport_widgets.h"

#include <QDesktopServices>
#include <QDomDocument>
#include <QFileDialog>
#include <QUrl>

namespace RefSupport
{
// The whole program, so the panes reach the main window, the settings and the editors they
// mark modified through the registry as they do in use.
struct Program : public RegistryScope {
    MainWindow *window = new MainWindow;
    Program() { QTRY_VERIFY_WITH_TIMEOUT(window->isVisible(), 10000); }
    ~Program() { delete window; }
    // The table of programs: extension list, program.
    void setPrograms(const QList<QPair<QString, QString>> &rows)
    {
        QDomDocument *settings = GetObj<xmlclass>(RegSlot::ObjXmlStore)->GetXmlDoc(XmlIndex::Settings);
        QDomElement reference = settings->elementsByTagName(QStringLiteral("REFERENCE")).item(0).toElement();
        while (reference.hasChildNodes())
            reference.removeChild(reference.firstChild());
        for (const auto &row : rows) {
            QDomElement ref = settings->createElement(QStringLiteral("REF"));
            ref.setAttribute(QStringLiteral("Extention"), row.first);
            ref.setAttribute(QStringLiteral("exe"), row.second);
            reference.appendChild(ref);
        }
    }
};

// Stands in for the desktop: QDesktopServices hands it the URLs it would open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
    UrlCatcher()
    {
        for (const char *scheme : kSchemes)
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char *scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
public slots:
    void open(const QUrl &url) { opened.append(url); }

private:
    static constexpr const char *kSchemes[] = {"file", "http", "https", "smb", "javascript"};
};

// Answers the next file dialog with the path (and yes to its question before replacing a
// file), or cancels it for an empty path.
inline void answerFileDialog(const QString &path)
{
    QTimer::singleShot(0, [path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return answerFileDialog(path);
        if (path.isEmpty())
            return dialog->reject();
        QTimer::singleShot(0, [] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (QAbstractButton *yes = box ? box->button(QMessageBox::Yes) : nullptr)
                yes->click();
        });
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
}

// The lines of a record that the recording programs append to: "<argument count>:[arg]...".
inline QStringList lines(const QString &path)
{
    return QString::fromUtf8(TestSupport::readFile(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace RefSupport
