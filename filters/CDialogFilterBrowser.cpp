#include "CDialogFilterBrowser.h"

#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <array>
#include <cstdint>

#include "CDialogUnits.h"
#include "CKernelGrid.h"
#include "FilterTree.h"
#include "KernelCatalogue.h"

namespace {

const QString kCustomDescription = QStringLiteral("Saisissez un filtre et choisissez sa taille");

CMask Zeros(int size) {
    const std::array<std::int8_t, 49> zeros{};
    return MakeMask(size, zeros.data());
}

}  // namespace

CDialogFilterBrowser::CDialogFilterBrowser(QWidget* parent) : QDialog(parent), mask_(Zeros(7)) {
    setWindowTitle("Filtres");
    BuildControls();
    ShowMask();
}

CDialogFilterBrowser::~CDialogFilterBrowser() = default;

void CDialogFilterBrowser::BuildControls() {
    const CDialogUnits units(font());
    setFixedSize(units.Size(357, 201));

    auto* apply = new QPushButton("Appliquer", this);
    units.Place(apply, 295, 180, 50, 15);
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton("Annuler", this);
    units.Place(cancel, 235, 180, 50, 15);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    grid_ = std::make_unique<CKernelGrid>(this, units, 210, 10);

    tree_ = new QTreeWidget(this);
    tree_->setObjectName("FilterTree");
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    units.Place(tree_, 10, 10, 145, 155);
    BuildFilterTree(tree_);
    tree_->setToolTip("Sélectionnez un filtre");
    connect(tree_, &QTreeWidget::itemSelectionChanged, this,
            &CDialogFilterBrowser::OnSelectionChanged);

    auto* frame = new QGroupBox("Description", this);
    units.Place(frame, 170, 115, 175, 50);
    description_ = new QPlainTextEdit("Choisissez un filtre", this);
    description_->setObjectName("Description");
    description_->setReadOnly(true);
    description_->setFrameShape(QFrame::NoFrame);
    description_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    description_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    description_->viewport()->setBackgroundRole(QPalette::Window);
    description_->setToolTip("Nom et action du filtre sur l'image");
    units.Place(description_, 175, 125, 165, 35);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    units.Place(line, 10, 175, 335, 1);

    const std::array<int, 3> sizes = {3, 5, 7};
    const std::array<int, 3> tops = {10, 30, 50};
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int size = sizes[i];
        auto* button = new QPushButton(QStringLiteral("%1x%1").arg(size), this);
        button->setToolTip(QStringLiteral("Filtre de taille %1x%1").arg(size));
        units.Place(button, 170, tops[i], 30, 15);
        connect(button, &QPushButton::clicked, this, [this, size] { ShowSize(size); });
        sizeButtons_[i] = button;
    }
    clearButton_ = new QPushButton("0", this);
    clearButton_->setToolTip("Initialise tous les éléments du filtre à 0");
    units.Place(clearButton_, 170, 75, 30, 15);
    connect(clearButton_, &QPushButton::clicked, this, &CDialogFilterBrowser::ClearMask);

    contextMenu_ = new QMenu(this);
    connect(contextMenu_->addAction("OK"), &QAction::triggered, this, &QDialog::accept);
    connect(contextMenu_->addAction("Annuler"), &QAction::triggered, this, &QDialog::reject);
    auto* shiftF10 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    shiftF10->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shiftF10, &QShortcut::activated, this, &CDialogFilterBrowser::OpenContextMenuAtCorner);
}

void CDialogFilterBrowser::OnSelectionChanged() {
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    const QString path = FilterTreePath(selected.isEmpty() ? nullptr : selected.first());
    QString description;
    if (const CKernelEntry* entry = FindKernel(path.toStdString())) {
        mask_ = MakeKernelMask(*entry);
        description = QString::fromUtf8(entry->description);
    }
    if (path == kCustomFilterLabel + u' ') {
        // The grid is cleared whole before the 5 x 5 block is offered.
        mask_ = Zeros(7);
        ShowMask();
        mask_ = Zeros(5);
        description = kCustomDescription;
        customMode_ = true;
    } else {
        customMode_ = false;
    }
    description_->setPlainText(u'\n' + description);
    ShowMask();
}

void CDialogFilterBrowser::ShowMask() {
    ShowSize(mask_.GetMaskSize());
    grid_->ShowMask(mask_);
    for (QPushButton* button : sizeButtons_) button->setVisible(customMode_);
    clearButton_->setVisible(customMode_);
    grid_->SetEditable(customMode_);
}

void CDialogFilterBrowser::ShowSize(int size) {
    displayedSize_ = size == 5 || size == 7 ? size : 3;
    grid_->ShowSize(displayedSize_);
}

void CDialogFilterBrowser::ClearMask() {
    mask_ = Zeros(displayedSize_);
    ShowMask();
}

void CDialogFilterBrowser::accept() {
    const std::optional<CKernelGrid::Values> values = grid_->ReadBack();
    if (!values) return;
    if (customMode_) mask_ = CKernelGrid::ToMask(displayedSize_, *values);
    QDialog::accept();
}

void CDialogFilterBrowser::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse)
        contextMenu_->popup(event->globalPos());
    else
        OpenContextMenuAtCorner();
}

void CDialogFilterBrowser::OpenContextMenuAtCorner() {
    contextMenu_->popup(mapToGlobal(QPoint(5, 5)));
}
