#include "docs/chapterfile.h"

#include "core/decimalid.h"

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

QDomElement chapterElement(QDomDocument doc, ChapterFile::Kind kind, const ChapterFile::Chapter &c);

// The levels of an element and all it holds; it was read, so the recursion stays within the
// reader's depth.
int levelsOf(const QDomElement &e)
{
    int inner = 0;
    for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
        inner = qMax(inner, levelsOf(c));
    return inner + 1;
}

// Writes the chapters into parent among the nodes read there: a chapter read there stands where it
// stood, a new or moved one just before the next that does (or after the last), in the chapters'
// order; every other node read is copied as it stood (copies, so the read ones stay whole).
void appendChapters(QDomDocument doc, QDomElement parent, ChapterFile::Kind kind,
                    const QList<ChapterFile::Chapter> &chapters, const QList<QDomNode> &read)
{
    QMultiHash<QString, int> readIds;
    for (int i = 0; i < read.size(); ++i) {
        if (read.at(i).isElement() && read.at(i).toElement().tagName() == ChapterFile::ChapterTag)
            readIds.insert(read.at(i).toElement().attribute(kId), i);
    }
    QHash<int, int> standsFor;
    for (int j = 0; j < chapters.size(); ++j) {
        const QDomElement &e = chapters.at(j).element;
        if (e.isNull())
            continue;
        for (int i : readIds.values(e.attribute(kId))) {
            if (read.at(i) == e)
                standsFor.insert(i, j);
        }
    }
    int next = 0;
    QDomNode last;
    for (int i = 0; i < read.size(); ++i) {
        if (!read.at(i).isElement() || read.at(i).toElement().tagName() != ChapterFile::ChapterTag) {
            parent.appendChild(doc.importNode(read.at(i), true));
            continue;
        }
        for (const int j = standsFor.value(i, -1); next <= j; ++next)
            last = parent.appendChild(chapterElement(doc, kind, chapters.at(next)));
    }
    for (; next < chapters.size(); ++next) {
        const QDomElement e = chapterElement(doc, kind, chapters.at(next));
        last = last.isNull() ? parent.appendChild(e) : parent.insertAfter(e, last);
    }
}

QDomElement chapterElement(QDomDocument doc, ChapterFile::Kind kind, const ChapterFile::Chapter &c)
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
    appendChapters(doc, e, kind, c.children, nodesOf(c.element));
    return e;
}
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

int Take(QDomElement root, Kind kind, QList<Chapter> *chapters)
{
    Reader reader{kind, {}, {}};
    reader.counter.SeeMaxId(root.attribute(kMaxId));
    *chapters = reader.read(root);
    RemoveChapters(root);
    return reader.counter.HasNext() ? reader.counter.Peek() : NoIdLeft;
}

void Append(QDomElement root, Kind kind, const QList<Chapter> &chapters, int counter)
{
    root.setAttribute(kMaxId, QString::number(qBound(0, counter, NoIdLeft)));
    // The root's other nodes never left it: the chapters follow them.
    appendChapters(root.ownerDocument(), root, kind, chapters, {});
}

int Levels(const QList<Chapter> &chapters)
{
    int deepest = 0;
    for (const Chapter &c : chapters) {
        int inner = Levels(c.children);
        // What the chapter read holds besides its chapters is copied as it stood.
        for (QDomElement e = c.element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            if (e.tagName() != ChapterTag)
                inner = qMax(inner, levelsOf(e));
        }
        deepest = qMax(deepest, inner + 1);
    }
    return deepest;
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
QList<int> Numbers(const QString &no)
{
    static const QRegularExpression digits(QStringLiteral("[0-9]+"));
    QList<int> numbers;
    auto it = digits.globalMatch(no);
    while (it.hasNext())
        numbers.append(it.next().captured(0).toInt());
    return numbers;
}

QString Join(const QList<int> &numbers)
{
    QString no;
    for (int n : numbers)
        no += QString::number(n) + QLatin1Char('.');
    return no;
}

int Level(const QString &no)
{
    return Numbers(no).size();
}

QString Shifted(const QString &no, int level, int delta)
{
    QList<int> numbers = Numbers(no);
    if (level < 1 || numbers.size() < level)
        return no;
    numbers[level - 1] += delta;
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
