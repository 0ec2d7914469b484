#include "FilterTree.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>
#include <initializer_list>
#include <vector>

namespace {

struct SNode {
    QString label;
    std::vector<SNode> children;
};

SNode Leaves(const QString& label, std::initializer_list<const char*> leaves) {
    SNode node{label, {}};
    for (const char* leaf : leaves) node.children.push_back({QString::fromUtf8(leaf), {}});
    return node;
}

SNode Numbered(const QString& label, int count) {
    SNode node{label, {}};
    for (int i = 1; i <= count; ++i) node.children.push_back({QString::number(i), {}});
    return node;
}

SNode EightDirections(const QString& label) {
    return Leaves(label, {"Ouest/Est", "Est/Ouest", "Sud/Nord", "Nord/Sud", "Sud-Ouest/Nord-Est",
                          "Nord-Est/Sud-Ouest", "Sud-Est/Nord-Ouest", "Nord-Ouest/Sud-Est"});
}

// The larger Sobel kernels list the north-south pair the other way round.
SNode FourDirections(const QString& label) {
    return Leaves(label, {"Ouest/Est", "Est/Ouest", "Nord/Sud", "Sud/Nord"});
}

SNode Operator(const QString& label, SNode (*directions)(const QString&)) {
    return {label, {directions("Contours"), directions("Contraste")}};
}

std::vector<SNode> FilterTreeNodes() {
    return {
        {"Gradient",
         {{"3x3", {Operator("Prewitt", EightDirections), Operator("Sobel", EightDirections)}},
          {"5x5", {Operator("Sobel", FourDirections)}},
          {"7x7", {Operator("Sobel", FourDirections)}}}},
        {"Laplacien",
         {{"3x3", {Numbered("Contours", 3), Numbered("Contraste", 5)}},
          Leaves("5x5", {"Contours", "Contraste"}),
          Leaves("7x7", {"Contours", "Contraste"})}},
        {"Lissage",
         {{"Plat", {Numbered("3x3", 8), Numbered("5x5", 2), Numbered("7x7", 2)}},
          {"Gaussien", {Numbered("3x3", 6), Numbered("5x5", 1), Numbered("7x7", 1)}}}},
        {kCustomFilterLabel, {}},
    };
}

// A 12 x 12 yellow sheet with a black outline and its top-right corner folded.
QIcon SheetIcon() {
    QPixmap sheet(12, 12);
    sheet.fill(Qt::transparent);
    QPainter p(&sheet);
    const QPolygon outline(
        {QPoint(1, 0), QPoint(7, 0), QPoint(10, 3), QPoint(10, 11), QPoint(1, 11)});
    p.setPen(Qt::black);
    p.setBrush(QColor(255, 255, 0));
    p.drawPolygon(outline);
    p.drawPolyline(QPolygon({QPoint(7, 0), QPoint(7, 3), QPoint(10, 3)}));
    return QIcon(sheet);
}

void AddChildren(QTreeWidgetItem* parent, const std::vector<SNode>& nodes, const QIcon& icon) {
    for (const SNode& node : nodes) {
        auto* item = new QTreeWidgetItem(parent, QStringList(node.label));
        item->setIcon(0, icon);
        AddChildren(item, node.children, icon);
    }
}

}  // namespace

void BuildFilterTree(QTreeWidget* tree) {
    const QIcon icon = SheetIcon();
    tree->setIconSize(QSize(12, 12));
    for (const SNode& node : FilterTreeNodes()) {
        auto* item = new QTreeWidgetItem(tree, QStringList(node.label));
        item->setIcon(0, icon);
        AddChildren(item, node.children, icon);
    }
    tree->collapseAll();
}

QString FilterTreePath(const QTreeWidgetItem* item) {
    QString path;
    for (; item != nullptr; item = item->parent()) path.prepend(item->text(0) + u' ');
    return path;
}
