#include "workspacegen.h"

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QXmlStreamWriter>
#include <random>

namespace
{
using Attrs = QList<QPair<QString, QString>>;

const QString kMaxGridSize = QStringLiteral("30");

class Writer
{
public:
    Writer(WorkspaceGen::Result *result, QString *error) : m_result(result), m_error(error) {}

    bool File(const QString &path, const QByteArray &bytes)
    {
        if (!m_ok)
            return false;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
            *m_error = QStringLiteral("can not write file:%1").arg(path);
            m_ok = false;
            return false;
        }
        ++m_result->files;
        m_result->bytes += bytes.size();
        return true;
    }
    bool Dir(const QString &path)
    {
        if (m_ok && !QDir().mkpath(path)) {
            *m_error = QStringLiteral("can not make folder:%1").arg(path);
            m_ok = false;
        }
        return m_ok;
    }
    bool Ok() const { return m_ok; }

private:
    WorkspaceGen::Result *m_result;
    QString *m_error;
    bool m_ok = true;
};

// XML as the program's store saves it: declaration, UTF-8, an indent of four.
class Xml
{
public:
    Xml() : m_buffer(&m_bytes)
    {
        m_buffer.open(QIODevice::WriteOnly);
        m_w.setDevice(&m_buffer);
        m_w.setCodec("UTF-8");
        m_w.setAutoFormatting(true);
        m_w.setAutoFormattingIndent(4);
        m_w.writeStartDocument();
    }
    void Open(const QString &tag, const Attrs &attrs = {})
    {
        m_w.writeStartElement(tag);
        for (const auto &a : attrs)
            m_w.writeAttribute(a.first, a.second);
    }
    void Empty(const QString &tag, const Attrs &attrs = {})
    {
        Open(tag, attrs);
        Close();
    }
    void Close() { m_w.writeEndElement(); }
    QByteArray Done()
    {
        m_w.writeEndDocument();
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    QBuffer m_buffer;
    QXmlStreamWriter m_w;
};

QString date(int dayOffset)
{
    return QDate(2026, 1, 5).addDays(dayOffset).toString(QStringLiteral("yyyy/MM/dd"));
}

enum Kind { Normal, State, Transition };

// Of the small classes of a large class, the second last is of the state kind and the last of
// the transition kind, belonging to it.
Kind kindOf(int s, int count)
{
    if (count >= 3 && s == count - 2)
        return State;
    if (count >= 3 && s == count - 1)
        return Transition;
    return Normal;
}

// Element IDs of the model, by position: IDs follow document order from 1.
struct ModelIds {
    const WorkspaceGen::Size &size;
    int Lclass(int l) const { return 1 + l * (1 + size.sclasses * (1 + size.params)); }
    int Sclass(int l, int s) const { return Lclass(l) + 1 + s * (1 + size.params); }
    int Param(int l, int s, int p) const { return Sclass(l, s) + 1 + p; }
};

class Generator
{
public:
    Generator(const WorkspaceGen::Size &size, WorkspaceGen::Result *result, QString *error)
        : m_size(size), m_ids{size}, m_result(result), m_out(result, error), m_random(size.seed)
    {
    }

    bool Run()
    {
        const QString def = m_result->workspace + QStringLiteral("/pelmorine.def/") + m_result->modelName;
        m_result->modelDir = def + QLatin1Char('/') + m_result->modelVersion;
        m_result->instanceDir = m_result->modelDir + QStringLiteral("/Instance/") + m_result->instanceName +
                                QLatin1Char('/') + m_result->instanceVersion;
        for (const char *sub : {"Reference", "Output"})
            m_out.Dir(m_result->modelDir + QLatin1Char('/') + QLatin1String(sub));
        m_out.Dir(m_result->instanceDir + QStringLiteral("/REFERENCE"));
        m_out.File(m_result->workspace + QStringLiteral("/pelmorine.prj"),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
        writeModel();
        writeGroup();
        for (int n = 0; n < m_size.members; ++n)
            writeMember(n);
        return m_out.Ok();
    }

private:
    int pick(int below) { return static_cast<int>(m_random() % static_cast<quint32>(below)); }
    QString word() { return QStringLiteral("w%1").arg(pick(100000)); }
    QString path(const QString &dir, const QString &name) const { return dir + QLatin1Char('/') + name; }

    void reference(Xml &x)
    {
        x.Open(QStringLiteral("REFERENCE"));
        if (pick(3) == 0)
            x.Empty(QStringLiteral("REF"),
                    {{QStringLiteral("TITLE"), word()},
                     {QStringLiteral("URL"), QStringLiteral("https://example.invalid/") + word()}});
        x.Close();
    }

    void writeModel()
    {
        const QString &dir = m_result->modelDir;
        Xml x;
        x.Open(QStringLiteral("Root_Model"),
               {{QStringLiteral("Name"), m_result->modelName},
                {QStringLiteral("User"), m_result->userName},
                {QStringLiteral("Email"), m_result->userEmail},
                {QStringLiteral("Version"), m_result->modelVersion},
                {QStringLiteral("StartDate"), date(0)},
                {QStringLiteral("TargetDate"), QString()},
                {QStringLiteral("CompletionDate"), QString()},
                {QStringLiteral("MaxID"), QString::number(m_ids.Lclass(m_size.lclasses))}});
        for (int l = 0; l < m_size.lclasses; ++l) {
            const QString id = QString::number(m_ids.Lclass(l));
            x.Open(QStringLiteral("LClass"),
                   {{QStringLiteral("ID"), id},
                    {QStringLiteral("Name"), QStringLiteral("L%1").arg(l)},
                    {QStringLiteral("Element"),
                     l % 5 == 0 ? QStringLiteral("@A") : QStringLiteral("E%1").arg(l)},
                    {QStringLiteral("RefID"), QString()},
                    {QStringLiteral("StartDate"), date(l % 30)}});
            m_out.File(path(dir, QStringLiteral("model_%1.txt").arg(id)), explanation(l));
            reference(x);
            for (int s = 0; s < m_size.sclasses; ++s)
                writeModelSclass(x, l, s);
            x.Close();
        }
        x.Close();
        m_out.File(path(dir, QStringLiteral("model.xml")), x.Done());
        Xml doc;
        doc.Empty(QStringLiteral("Root_ModelDoc"), {{QStringLiteral("User"), m_result->userName},
                                                    {QStringLiteral("Email"), m_result->userEmail},
                                                    {QStringLiteral("Version"), m_result->modelVersion},
                                                    {QStringLiteral("MaxID"), QStringLiteral("1")}});
        m_out.File(path(dir, QStringLiteral("DocModel.xml")), doc.Done());
    }

    void writeModelSclass(Xml &x, int l, int s)
    {
        const Kind kind = kindOf(s, m_size.sclasses);
        Attrs attrs{{QStringLiteral("ID"), QString::number(m_ids.Sclass(l, s))},
                    {QStringLiteral("Name"), QStringLiteral("S%1_%2").arg(l).arg(s)},
                    {QStringLiteral("Element"), QStringLiteral("SE%1").arg(s)},
                    {QStringLiteral("RefID"), QString()},
                    {QStringLiteral("StartDate"), date(l % 30)},
                    {QStringLiteral("Param_type"), QString::number(int(kind))}};
        if (kind == State)
            attrs.append({QStringLiteral("State"), QStringLiteral("Open")});
        if (kind == Transition) {
            attrs.append({QStringLiteral("State"), QString::number(m_ids.Sclass(l, s - 1))});
            attrs.append({QStringLiteral("Transition"), QStringLiteral("go")});
        }
        x.Open(QStringLiteral("SClass"), attrs);
        reference(x);
        x.Open(QStringLiteral("PARAM"));
        for (int p = 0; p < m_size.params; ++p) {
            x.Empty(QStringLiteral("P"),
                    {{QStringLiteral("ID"), QString::number(m_ids.Param(l, s, p))},
                     {QStringLiteral("Name"), QStringLiteral("P%1").arg(p)},
                     {QStringLiteral("Row"), p % 7 == 6 ? QStringLiteral("N") : QString::number(1 + p / 4)},
                     {QStringLiteral("Col"), QString::number(1 + p % 4)}});
        }
        x.Close();
        x.Close();
    }

    QByteArray explanation(int k)
    {
        return QStringLiteral("Explanation %1: %2 %3, ümlaut and 日本語.\n")
            .arg(k)
            .arg(word(), word())
            .toUtf8();
    }

    void writeGroup()
    {
        const QString &dir = m_result->instanceDir;
        Xml x;
        x.Open(QStringLiteral("Root_manager"), memberAttrs(0));
        x.Empty(QStringLiteral("Model"), {{QStringLiteral("Name"), m_result->modelName},
                                          {QStringLiteral("Version"), m_result->modelVersion}});
        x.Empty(QStringLiteral("REDMINE"), {{QStringLiteral("ID"), QStringLiteral("-1")},
                                            {QStringLiteral("TYPE"), QStringLiteral("0")}});
        x.Open(QStringLiteral("GROUP"));
        for (int n = 1; n < m_size.members; ++n) {
            x.Empty(QStringLiteral("USER"), {{QStringLiteral("ID"), QString::number(n)},
                                             {QStringLiteral("Name"), WorkspaceGen::MemberName(n)},
                                             {QStringLiteral("Email"), WorkspaceGen::MemberEmail(n)}});
        }
        x.Close();
        x.Empty(QStringLiteral("OUT"), {{QStringLiteral("DIR"), QString()}});
        x.Close();
        m_out.File(path(dir, QStringLiteral("manager.xml")), x.Done());
        Xml doc;
        doc.Empty(QStringLiteral("Root_InstanceDoc"),
                  {{QStringLiteral("MaxID"), QStringLiteral("1")},
                   {QStringLiteral("Name"), m_result->userName},
                   {QStringLiteral("Email"), m_result->userEmail},
                   {QStringLiteral("Version"), m_result->instanceVersion}});
        m_out.File(path(dir, QStringLiteral("DocInstance.xml")), doc.Done());
    }

    Attrs memberAttrs(int n) const
    {
        Attrs a{{QStringLiteral("User"), WorkspaceGen::MemberName(n)},
                {QStringLiteral("Email"), WorkspaceGen::MemberEmail(n)},
                {QStringLiteral("ProcEmail"), WorkspaceGen::MemberEmail(n)},
                {QStringLiteral("ID"), QString::number(n)},
                {QStringLiteral("StartDate"), date(n)},
                {QStringLiteral("TargetDate"), date(n + 60)},
                {QStringLiteral("CompletionDate"), QString()}};
        if (n == 0) {
            a.append({QStringLiteral("Name"), m_result->instanceName});
            a.append({QStringLiteral("Version"), m_result->instanceVersion});
            a.append({QStringLiteral("MaxID"), QString::number(m_size.members)});
        }
        return a;
    }

    static QString kindFile(const QString &kind, int n)
    {
        return n == 0 ? kind + QStringLiteral(".xml") : QStringLiteral("%1_%2.xml").arg(kind).arg(n);
    }

    void writeMember(int n)
    {
        const QString &dir = m_result->instanceDir;
        if (n > 0) {
            Xml x;
            x.Open(QStringLiteral("Root_manager"), memberAttrs(n));
            x.Empty(QStringLiteral("OUT"), {{QStringLiteral("DIR"), QString()}});
            x.Close();
            m_out.File(path(dir, QStringLiteral("manager_%1.xml").arg(n)), x.Done());
        }
        m_out.File(path(dir, QStringLiteral("manager_%1.txt").arg(n)),
                   QStringLiteral("Notes of %1\n").arg(WorkspaceGen::MemberName(n)).toUtf8());
        m_out.File(path(dir, QStringLiteral("%1.iod").arg(n)), "C");
        const QString id = QString::number(n);
        for (const QString &root : {QStringLiteral("Question"), QStringLiteral("Answer")}) {
            Xml x;
            x.Empty(QStringLiteral("Root_") + root,
                    {{QStringLiteral("ID"), id}, {QStringLiteral("MaxID"), QStringLiteral("1")}});
            m_out.File(path(dir, kindFile(root.toLower(), n)), x.Done());
        }
        writeInstance(n);
    }

    void writeInstance(int n)
    {
        int next = 1;
        Xml x;
        const int maxId = 1 + m_size.MemberElements();
        x.Open(QStringLiteral("Root_Instance"), {{QStringLiteral("ID"), QString::number(n)},
                                                 {QStringLiteral("MaxID"), QString::number(maxId)},
                                                 {QStringLiteral("StartDate"), date(n)},
                                                 {QStringLiteral("TargetDate"), QString()},
                                                 {QStringLiteral("CompletionDate"), QString()}});
        for (int li = 0; li < m_size.instLclasses; ++li) {
            const int l = (li + n) % m_size.lclasses;
            const QString id = QString::number(next++);
            x.Open(QStringLiteral("LClass"), {{QStringLiteral("ID"), id},
                                              {QStringLiteral("MID"), QString::number(m_ids.Lclass(l))},
                                              {QStringLiteral("Name"), QStringLiteral("L%1").arg(l)},
                                              {QStringLiteral("Element"), QStringLiteral("E%1").arg(l)},
                                              {QStringLiteral("StartDate"), date(li)},
                                              {QStringLiteral("TargetDate"), date(li + 30)},
                                              {QStringLiteral("CompletionDate"), QString()},
                                              {QStringLiteral("SCOPE"), QString::number(li % 3)}});
            elementText(n, id, li);
            reference(x);
            int stateKey = 0;
            for (int si = 0; si < m_size.instSclasses; ++si)
                writeInstanceSclass(x, n, l, si, &next, &stateKey);
            x.Close();
        }
        x.Close();
        m_out.File(path(m_result->instanceDir, kindFile(QStringLiteral("instance"), n)), x.Done());
    }

    // The instance's last two small classes are of the model's state and transition kinds.
    int modelSclass(int si) const
    {
        const int fromEnd = m_size.instSclasses - si;
        return (m_size.sclasses >= 3 && fromEnd <= 2) ? m_size.sclasses - fromEnd : si % m_size.sclasses;
    }

    void writeInstanceSclass(Xml &x, int n, int l, int si, int *next, int *stateId)
    {
        const int s = modelSclass(si);
        const Kind kind = kindOf(s, m_size.sclasses);
        const QString id = QString::number((*next)++);
        Attrs attrs{{QStringLiteral("ID"), id},
                    {QStringLiteral("MID"), QString::number(m_ids.Sclass(l, s))},
                    {QStringLiteral("Name"), QStringLiteral("S%1_%2").arg(l).arg(s)},
                    {QStringLiteral("Element"), QStringLiteral("SE%1").arg(s)},
                    {QStringLiteral("SCOPE"), QString::number(si % 3)},
                    {QStringLiteral("Param_type"), QString::number(int(kind))},
                    {QStringLiteral("MaxParam"), QStringLiteral("10")}};
        if (kind == State)
            *stateId = id.toInt();
        if (kind == Transition && *stateId > 0)
            attrs.append({QStringLiteral("State"), QStringLiteral("%1-%2").arg(n).arg(*stateId)});
        x.Open(QStringLiteral("SClass"), attrs);
        elementText(n, id, si);
        grid(n, id);
        if (kind == Transition)
            positions(n, id);
        reference(x);
        x.Open(QStringLiteral("PARAM"));
        for (int p = 0; p < m_size.instParams; ++p) {
            const int mp = p % m_size.params;
            x.Empty(QStringLiteral("P"), {{QStringLiteral("ID"), QString::number((*next)++)},
                                          {QStringLiteral("MID"), QString::number(m_ids.Param(l, s, mp))},
                                          {QStringLiteral("Name"), QStringLiteral("P%1").arg(mp)},
                                          {QStringLiteral("Row"), QString::number(1 + mp / 4)},
                                          {QStringLiteral("Col"), QString::number(1 + mp % 4)}});
        }
        x.Close();
        x.Close();
    }

    QString elementPath(int n, const QString &id, const char *ext) const
    {
        return path(m_result->instanceDir,
                    QStringLiteral("instance_%1_%2.%3").arg(n).arg(id, QLatin1String(ext)));
    }

    void elementText(int n, const QString &id, int k)
    {
        if (k % 2 == 0)
            m_out.File(elementPath(n, id, "txt"), explanation(k));
    }

    // 30 lines of 30 cells joined by commas, CR LF after each, a few cells filled.
    void grid(int n, const QString &id)
    {
        QByteArray bytes;
        const int size = kMaxGridSize.toInt();
        for (int r = 0; r < size; ++r) {
            for (int c = 0; c < size; ++c) {
                if (c > 0)
                    bytes += ',';
                if (r < 4 && c < 6)
                    bytes += QByteArray::number(pick(1000));
            }
            bytes += "\r\n";
        }
        m_out.File(elementPath(n, id, "csv"), bytes);
    }

    void positions(int n, const QString &id)
    {
        QByteArray bytes;
        for (int i = 0; i < 4; ++i)
            bytes += QStringLiteral("%1,%2\r\n").arg(pick(8000) / 10.0).arg(pick(6000) / 10.0).toUtf8();
        m_out.File(elementPath(n, id, "pos"), bytes);
    }

    const WorkspaceGen::Size &m_size;
    ModelIds m_ids;
    WorkspaceGen::Result *m_result;
    Writer m_out;
    std::mt19937 m_random;
};
} // namespace

QString WorkspaceGen::MemberName(int n)
{
    return QStringLiteral("member%1").arg(n);
}

QString WorkspaceGen::MemberEmail(int n)
{
    return QStringLiteral("member%1@example.invalid").arg(n);
}

bool WorkspaceGen::Generate(const Size &size, const QString &workspace, Result *result, QString *error)
{
    *result = Result();
    result->workspace = QDir(workspace).absolutePath();
    result->userName = MemberName(0);
    result->userEmail = MemberEmail(0);
    if (size.lclasses < 1 || size.sclasses < 1 || size.params < 1 || size.members < 1 ||
        size.instLclasses < 0 || size.instSclasses < 0 || size.instParams < 0 || size.members > 9999) {
        *error = QStringLiteral("sizes out of range");
        return false;
    }
    Generator g(size, result, error);
    return g.Run();
}

bool WorkspaceGen::ParseSize(const QString &text, Size *size)
{
    if (text == QLatin1String("large")) {
        *size = Size::Large();
        return true;
    }
    if (text == QLatin1String("small")) {
        *size = Size::Small();
        return true;
    }
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 7)
        return false;
    int v[7];
    for (int i = 0; i < 7; ++i) {
        bool ok = false;
        v[i] = parts.at(i).toInt(&ok);
        if (!ok || v[i] < 0)
            return false;
    }
    const quint32 seed = size->seed;
    *size = Size{v[0], v[1], v[2], v[3], v[4], v[5], v[6], seed};
    return true;
}
