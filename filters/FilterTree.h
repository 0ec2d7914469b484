#pragma once
// The filter browser's tree: families, sizes, operators and variants down to
// the 80 catalogue kernels, then "Personalisé". A leaf's path (every label
// from the top, each followed by one space) is its catalogue key.

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

// Appends every item, collapsed, each with the yellow-sheet icon.
void BuildFilterTree(QTreeWidget* tree);

// "Lissage Gaussien 3x3 1 " for that leaf; empty for no item.
QString FilterTreePath(const QTreeWidgetItem* item);

inline const QString kCustomFilterLabel = QStringLiteral("Personalisé");
