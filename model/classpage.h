#pragma once

#include <QString>

class QComboBox;
class QSplitter;
class QTreeWidget;
class QWidget;

// Pieces the large- and small-class pages share: their styling, the output-variable row and
// the splitter shares.
namespace ClassPage
{
void StyleCaptions(std::initializer_list<QWidget *> captions);
void StyleHeader(QTreeWidget *tree, const char *icon0, const char *icon1);
void StyleTabBar(QWidget *tabs);

// The output-variable row of a property tree: its title, the key it stores under in the row's
// user data, and a choice of yes and no; "OutVar" "0" or empty shows yes.
QComboBox *AddOutVarRow(QTreeWidget *tree, const QString &title, const QString &key, const QString &yes,
                        const QString &no);
void ShowOutVar(QTreeWidget *tree, QComboBox *choice, const QString &value);
QString OutVarValue(const QComboBox *choice, const QString &no);

// The splitter's first part gets the share of its handle's range, truncated; the rest the other.
void SplitSizes(QSplitter *splitter, double share);
} // namespace ClassPage
