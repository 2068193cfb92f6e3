#include "docs/chapterfile.h"

#include "core/decimalid.h"
#include "model/modelfile.h"

#include <QRegularExpression>
#include <QSet>

namespace
{
const QString kMaxId = QStringLiteral("MaxID");
const QString kNo = QStringLiteral("No");
const QString kName = QStringLiteral("Name");
const QString kId = QStringLiteral("ID");

struct Reader {
    ChapterFile::Kind kind;
    QSet<QString> seen;
    DecimalId::Counter counter;

    QList<ChapterFile::Chapter> read(const QDomElement &parent)
    {
        QList<ChapterFile::Chapter> chapters;
        for (QDomElement e = parent.firstChildElement(ChapterFile::ChapterTag); !e.isNull();
             e = e.nextSiblingElement(ChapterFile::ChapterTag)) {
            ChapterFile::Chapter c;
            c.no = e.attribute(kNo);
            c.name = e.attribute(kName);
            c.id = e.attribute(kId);
            c.tie = e.attribute(ChapterFile::TieAttr(kind));
            c.usable = DecimalId::IsId(c.id) && !seen.contains(c.id);
            seen.insert(c.id);
            // A refused chapter's ID may still name a text file: never handed out again.
            counter.SeeId(c.id);
            c.children = read(e);
            c.element = e;
            chapters.append(c);
        }
        return chapters;
    }
};

QList<QDomNode> nodesOf(const QDomNode &parent)
{
    QList<QDomNode> list;
    for (QDomNode n = parent.firstChild(); !n.isNull(); n = n.nextSibling())
        list.append(n);
    return list;
}

bool isChapter(const QDomNode &n)
{
    return n.isElement() && n.toElement().tagName() == ChapterFile::ChapterTag;
}

// The levels of an element and all it holds; it was read, so the recursion stays within the
// reader's depth.
int levelsOf(const QDomElement &e)
{
    int inner = 0;
    for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
        inner = qMax(inner, levelsOf(c));
    return inner + 1;
}

int levelsOf(const QList<QDomNode> &nodes)
{
    int deepest = 0;
    for (const QDomNode &n : nodes) {
        if (n.isElement())
            deepest = qMax(deepest, levelsOf(n.toElement()));
    }
    return deepest;
}

// What stood before the first chapter of an element read.
QList<QDomNode> headOf(const QDomElement &e)
{
    QList<QDomNode> head;
    for (QDomNode n = e.firstChild(); !n.isNull() && !isChapter(n); n = n.nextSibling())
        head.append(n);
    return head;
}

// What followed each chapter read, up to the next chapter: it is that chapter's. A sub-chapter
// finds it beside it in the chapter it was read from, which the root's nodes as read keep whole;
// a chapter of the root in those nodes, since the root no longer holds its chapters.
class Trails
{
public:
    explicit Trails(const ChapterFile::ReadNodes &read)
    {
        for (const QDomNode &n : read) {
            if (isChapter(n)) {
                m_byId.insert(n.toElement().attribute(kId), m_chapters.size());
                m_chapters.append({n.toElement(), {}});
            } else {
                (m_chapters.isEmpty() ? m_head : m_chapters.last().second).append(n);
            }
        }
    }

    const QList<QDomNode> &rootHead() const { return m_head; }

    QList<QDomNode> of(const QDomElement &chapter) const
    {
        QList<QDomNode> trailing;
        if (chapter.isNull())
            return trailing;
        if (!chapter.parentNode().isNull()) {
            for (QDomNode n = chapter.nextSibling(); !n.isNull() && !isChapter(n); n = n.nextSibling())
                trailing.append(n);
            return trailing;
        }
        for (int i : m_byId.values(chapter.attribute(kId))) {
            if (m_chapters.at(i).first == chapter)
                return m_chapters.at(i).second;
        }
        return trailing;
    }

private:
    QList<QDomNode> m_head;
    QList<QPair<QDomElement, QList<QDomNode>>> m_chapters;
    QMultiHash<QString, int> m_byId;
};

// The levels below parent that the chapters and what is written with them take.
int levelsBelow(const QList<ChapterFile::Chapter> &chapters, const Trails &trails)
{
    int deepest = 0;
    for (const ChapterFile::Chapter &c : chapters) {
        const int inner = qMax(levelsBelow(c.children, trails), levelsOf(headOf(c.element)));
        deepest = qMax(deepest, qMax(inner + 1, levelsOf(trails.of(c.element))));
    }
    return deepest;
}

// Writes the chapters, each followed by what followed it as read. What is written is copied, so
// the nodes read stay whole for the next save.
struct Writer {
    QDomDocument doc;
    ChapterFile::Kind kind;
    Trails trails;

    void put(QDomElement parent, const QList<QDomNode> &nodes)
    {
        for (const QDomNode &n : nodes)
            parent.appendChild(doc.importNode(n, true));
    }

    void write(QDomElement parent, const QList<ChapterFile::Chapter> &chapters)
    {
        for (const ChapterFile::Chapter &c : chapters) {
            parent.appendChild(element(c));
            put(parent, trails.of(c.element));
        }
    }

    QDomElement element(const ChapterFile::Chapter &c)
    {
        const QString tie = ChapterFile::TieAttr(kind);
        QDomElement e = c.element.isNull() ? doc.createElement(ChapterFile::ChapterTag)
                                           : doc.importNode(c.element, false).toElement();
        // The instance file names the chapter ID before the tie, the model file after it.
        e.setAttribute(kNo, c.no);
        e.setAttribute(kName, c.name);
        if (kind == ChapterFile::InstanceDocument) {
            e.setAttribute(kId, c.id);
            e.setAttribute(tie, c.tie);
        } else {
            e.setAttribute(tie, c.tie);
            e.setAttribute(kId, c.id);
        }
        put(e, headOf(c.element));
        write(e, c.children);
        return e;
    }
};
} // namespace

namespace ChapterFile
{
QString TieAttr(Kind kind)
{
    return kind == InstanceDocument ? QStringLiteral("InstID") : QStringLiteral("MID");
}

QString TextPrefix(Kind kind)
{
    return kind == InstanceDocument ? QStringLiteral("/DocInstance_") : QStringLiteral("/Docmodel_");
}

QString TextPath(const QString &folder, Kind kind, const QString &id)
{
    if (!DecimalId::IsId(id))
        return QString();
    return folder + TextPrefix(kind) + id + QStringLiteral(".txt");
}

int Take(QDomElement root, Kind kind, QList<Chapter> *chapters, ReadNodes *read)
{
    if (read)
        *read = nodesOf(root);
    Reader reader{kind, {}, {}};
    reader.counter.SeeMaxId(root.attribute(kMaxId));
    *chapters = reader.read(root);
    RemoveChapters(root);
    return reader.counter.HasNext() ? reader.counter.Peek() : NoIdLeft;
}

int NewId(const QString &folder, Kind kind, int *counter, const QSet<int> &used, QString *why)
{
    QStringList names;
    if (!DecimalId::ListFolder(folder, &names, why))
        return -1;
    QSet<int> taken = used;
    DecimalId::NumbersInNames(names, TextPrefix(kind).mid(1), {QStringLiteral(".txt")}, &taken);
    // The first chapter of a document has always been 0.
    const int id = DecimalId::FirstFree(*counter, taken, 0);
    if (id < 0) {
        if (why)
            *why = DecimalId::ExhaustedMessage(kind == InstanceDocument ? InstanceFileName
                                                                        : ModelFile::DocFileName);
        return -1;
    }
    *counter = qMax(*counter, id + 1);
    return id;
}

void Append(QDomElement root, Kind kind, const QList<Chapter> &chapters, int counter, const ReadNodes &read)
{
    root.setAttribute(kMaxId, QString::number(qBound(0, counter, NoIdLeft)));
    // The root is written again from its nodes read: besides them it holds only what an earlier
    // save wrote with the chapters.
    if (!read.isEmpty()) {
        while (!root.firstChild().isNull())
            root.removeChild(root.firstChild());
    }
    Writer writer{root.ownerDocument(), kind, Trails(read)};
    writer.put(root, writer.trails.rootHead());
    writer.write(root, chapters);
}

int Levels(const QList<Chapter> &chapters, const ReadNodes &read)
{
    return levelsBelow(chapters, Trails(read));
}

bool HasChapters(const QDomElement &root)
{
    return !root.firstChildElement(ChapterTag).isNull();
}

void RemoveChapters(QDomElement root)
{
    QDomElement e = root.firstChildElement(ChapterTag);
    while (!e.isNull()) {
        const QDomElement next = e.nextSiblingElement(ChapterTag);
        root.removeChild(e);
        e = next;
    }
}
} // namespace ChapterFile

namespace ChapterNumber
{
namespace
{
// One more or one less than a decimal text without leading zeros; 0 stays 0 downwards.
QString stepped(const QString &digits, int step)
{
    QString n = digits;
    int i = n.size() - 1;
    if (step > 0) {
        for (; i >= 0 && n.at(i) == QLatin1Char('9'); --i)
            n[i] = QLatin1Char('0');
        if (i < 0)
            return QLatin1Char('1') + n;
        n[i] = QChar(n.at(i).unicode() + 1);
        return n;
    }
    if (n == QLatin1String("0"))
        return n;
    for (; n.at(i) == QLatin1Char('0'); --i)
        n[i] = QLatin1Char('9');
    n[i] = QChar(n.at(i).unicode() - 1);
    return n.size() > 1 && n.startsWith(QLatin1Char('0')) ? n.mid(1) : n;
}
} // namespace

QStringList Numbers(const QString &no)
{
    static const QRegularExpression digits(QStringLiteral("[0-9]+"));
    QStringList numbers;
    auto it = digits.globalMatch(no);
    while (it.hasNext()) {
        const QString run = it.next().captured(0);
        int zeros = 0;
        while (zeros < run.size() - 1 && run.at(zeros) == QLatin1Char('0'))
            ++zeros;
        numbers.append(run.mid(zeros));
    }
    return numbers;
}

QString Join(const QStringList &numbers)
{
    QString no;
    for (const QString &n : numbers)
        no += n + QLatin1Char('.');
    return no;
}

int Level(const QString &no)
{
    return Numbers(no).size();
}

QString Shifted(const QString &no, int level, int delta)
{
    QStringList numbers = Numbers(no);
    if (level < 1 || numbers.size() < level)
        return no;
    QString &n = numbers[level - 1];
    for (int i = 0; i < qAbs(delta); ++i)
        n = stepped(n, delta);
    return Join(numbers);
}

QString Next(const QString &no)
{
    return Shifted(no, Level(no), 1);
}

QString Child(const QString &parentNo, int position)
{
    return parentNo + QString::number(position) + QLatin1Char('.');
}

Choices ChoicesFor(const QString &anchorNo, bool anchorLast, const QString &lastChildNo)
{
    const QString sub = lastChildNo.isEmpty() ? anchorNo + QStringLiteral("1.") : Next(lastChildNo);
    Choices c;
    if (anchorLast) {
        c.texts = QStringList{anchorNo, Next(anchorNo), sub};
        c.selected = 1;
        c.sub = 2;
    } else {
        c.texts = QStringList{anchorNo, sub};
        c.selected = 0;
        c.sub = 1;
    }
    return c;
}
} // namespace ChapterNumber
