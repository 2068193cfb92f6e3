#pragma once

// The output-definition page over the golden instance fixture: members 1 (the running user) and 2
// with their instances loaded into the real instance tab, for generation and output-run tests.

#include "../outdef/outdefprogram.h"
#include "instance/deftab.h"
#include "members/memberinfo.h"

#include <QDir>

#ifndef GOLDEN_DIR
#error GOLDEN_DIR must name the golden folders
#endif

struct GenProgram : public OutProgram {
    QTreeWidget members;
    MemberTable table;
    GenProgram() { SetObj(RegSlot::ObjMemberTable, &table); }
    ~GenProgram()
    {
        delete window;
        window = nullptr;
        qDeleteAll(table);
    }
    QString instanceDir() { return tmp.path() + QStringLiteral("/w.ws/inst"); }
    static QString golden(const QString &name) { return QStringLiteral(GOLDEN_DIR "/") + name; }

    MemberInfo *addMember(int n, const QString &name, const QString &email)
    {
        auto *m = new MemberInfo;
        m->ID = n;
        m->Name = m->DisplayName = name;
        m->Email = email;
        m->OtherUser = email == QLatin1String("me@x") ? 0 : 1;
        table.insert(n, m);
        GetObj<xmlclass>(RegSlot::ObjXmlStore)
            ->NewXmlDoc(XmlIndex::Manager + n, QStringLiteral("Root_manager"));
        auto *row = members.topLevelItemCount() == 0 ? new QTreeWidgetItem(&members)
                                                     : new QTreeWidgetItem(members.topLevelItem(0));
        row->setData(0, Qt::UserRole, n);
        row->setText(0, name);
        return m;
    }
    // Copies a golden folder's files into the definition folder and opens it.
    void openCase(const QString &name)
    {
        const QDir from(golden(name));
        QDir().mkpath(dir());
        for (const QString &f : from.entryList(QDir::Files))
            QFile::copy(from.filePath(f), dir() + QLatin1Char('/') + f);
        deliver(MsgCode::OpenOutput);
    }
    // The golden instances, with `replaced` files (name -> bytes) written in their place.
    void openInstances(const QHash<QString, QByteArray> &replaced = {})
    {
        const QDir from(golden(QStringLiteral("instance")));
        QDir().mkpath(instanceDir());
        for (const QString &f : from.entryList(QDir::Files))
            QFile::copy(from.filePath(f), instanceDir() + QLatin1Char('/') + f);
        for (auto it = replaced.begin(); it != replaced.end(); ++it)
            TestSupport::writeFile(instanceDir() + QLatin1Char('/') + it.key(), it.value());
        SetStrVar(RegSlot::StrInstanceDir, instanceDir());
        addMember(1, QStringLiteral("me"), QStringLiteral("me@x"));
        addMember(2, QStringLiteral("other"), QStringLiteral("other@x"));
        auto *tab = GetObj<deftab>(RegSlot::ObjDeftab);
        tab->SetInstanceDir(instanceDir());
        tab->LoadModelTree();
        tab->LoadInstanceDocument(&members);
    }
    // "file lclass key" lines, in the order the keys were added.
    static DefinitionSelection readSelection(const QString &path)
    {
        DefinitionSelection selection;
        const QStringList lines = QString::fromUtf8(TestSupport::readFile(path)).split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (parts.size() == 3)
                selection[parts.at(0).toInt()].insert(parts.at(1).toInt(), parts.at(2));
        }
        return selection;
    }
};

// A file "f<id>" whose sequence <id> names sequence <leaf>: their SEQ and FILE elements appended to
// the definition's lists.
inline void appendFileOfLeaf(QByteArray *seqs, QByteArray *files, int id, int leaf)
{
    const QByteArray n = QByteArray::number(id);
    const QByteArray l = QByteArray::number(leaf);
    *seqs += "<SEQ ID='" + n + "' TITLE='s'><SEQ ID='" + l + "'/></SEQ><SEQ ID='" + l + "' TITLE='l'/>";
    *files += "<FILE ID='" + n + "' TITLE='f' FileName='f" + n + "' EXP='c'><SEQ ID='" + n + "'/></FILE>";
}
