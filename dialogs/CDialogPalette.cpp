#include "CDialogPalette.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "CDialogUnits.h"
#include "PaletteRamps.h"
#include "PixelBoxes.h"

namespace {

constexpr int kPitch = CDialogPalette::kCellWidth + CDialogPalette::kCellSpacing;  // 22
constexpr int kStripTop = (CDialogPalette::kCellHeight + CDialogPalette::kCellSpacing) * 16 + 10;
constexpr int kBitmapWidth = kPitch * 16;  // 352
constexpr int kBitmapHeight =
    (CDialogPalette::kCellHeight + CDialogPalette::kCellSpacing) * 16 + 30;  // 382
const char* const kFileFilter = "JASC Palette files (*.PAL *.pal)";

}  // namespace

CDialogPalette::CDialogPalette(QWidget* parent) : QDialog(parent) {
    isNode_[0] = isNode_[255] = true;
    colors_.red[255] = colors_.green[255] = colors_.blue[255] = 255;
    BuildLayout();
    face_ = palette().color(QPalette::Window).rgb();
    bitmap_ = QImage(kBitmapWidth, kBitmapHeight, QImage::Format_RGB32);
    bitmap_.fill(face_);
    ComputeRamps(isNode_, colors_);
    DrawPalette();
    ShowEntryColour(0);
}

void CDialogPalette::BuildLayout() {
    setWindowTitle("Palette");
    const CDialogUnits units(font());
    auto group = [&](const char* title, int x, int y, int w, int h) {
        units.Place(new QGroupBox(title, this), x, y, w, h);
    };
    auto button = [&](const char* text, int x, int y, int w, int h, auto slot) {
        auto* b = new QPushButton(text, this);
        units.Place(b, x, y, w, h);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto readOnly = [&](const char* name, int x, int y, int w, int h, const char* tip) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        edit->setToolTip(tip);
        units.Place(edit, x, y, w, h);
        return edit;
    };
    auto label = [&](const char* text, int x, int y, int w) {
        units.Place(new QLabel(text, this), x, y, w, 10);
    };

    group("Couleur", 251, 5, 65, 95);
    redEdit_ = readOnly("Rouge", 286, 20, 20, 12,
                        "Luminance du rouge de l'entrée dans la palette sélectionnée");
    greenEdit_ = readOnly("Vert", 286, 41, 20, 12,
                          "Luminance du vert de l'entrée dans la palette sélectionnée");
    blueEdit_ = readOnly("Bleu", 286, 60, 20, 12,
                         "Luminance du bleu de l'entrée dans la palette sélectionnée");
    label("Rouge", 256, 22, 28);
    label("Vert", 256, 42, 28);
    label("Bleu", 256, 61, 28);
    button("Modifier...", 260, 81, 45, 15, &CDialogPalette::ChooseColour);

    group("Noeuds", 251, 105, 65, 75);
    button("Ajouter", 260, 120, 45, 15, &CDialogPalette::AddNode)
        ->setToolTip("Les rampes sont calculées de noeud en noeud sur la palette");
    button("Effacer", 260, 140, 45, 15, &CDialogPalette::EraseNode)
        ->setToolTip("Supprime le noeud sélectionné");
    button("Effacer tout", 260, 160, 45, 15, &CDialogPalette::EraseAllNodes)
        ->setToolTip("Supprime tous les noeuds intermédiaires");

    group("Fichiers", 251, 185, 65, 60);
    button("Charger...", 260, 200, 45, 15, &CDialogPalette::ChooseFileToLoad);
    button("Sauver...", 260, 220, 45, 15, &CDialogPalette::ChooseFileToSave);

    label("Sélection", 5, 254, 38);
    selectionEdit_ =
        readOnly("Sélection", 45, 250, 25, 15, "L'entrée dans la palette sélectionnée");
    button("Annuler", 135, 250, 50, 15, &CDialogPalette::reject);
    auto* ok = button("OK", 195, 250, 50, 15, &CDialogPalette::accept);
    ok->setDefault(true);
    ok->setFocus();

    setFixedSize(units.X(323), units.Y(271));
}

void CDialogPalette::reject() { done(2); }

int CDialogPalette::EntryAt(QPoint point) {
    const int x = point.x() - kOrigin;
    const int y = point.y() - kOrigin;
    if (x < 0 || y < 0) return -1;
    const int column = x / kPitch;
    const int row = y / (kCellHeight + kCellSpacing);
    if (column > 15 || row > 15) return -1;
    if (x % kPitch >= kCellWidth || y % (kCellHeight + kCellSpacing) >= kCellHeight) return -1;
    return row * 16 + column;
}

void CDialogPalette::mousePressEvent(QMouseEvent* event) {
    const int entry = EntryAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && entry >= 0) SelectEntry(entry);
    QDialog::mousePressEvent(event);
}

void CDialogPalette::SelectEntry(int entry) {
    selected_ = entry;
    DrawCell(previous_);
    DrawCell(selected_);
    update();
    selectionEdit_->setText(QString::number(entry));
    ShowEntryColour(entry);
    previous_ = entry;
}

void CDialogPalette::ShowEntryColour(int entry) {
    redEdit_->setText(QString::number(colors_.red[entry]));
    greenEdit_->setText(QString::number(colors_.green[entry]));
    blueEdit_->setText(QString::number(colors_.blue[entry]));
}

void CDialogPalette::ChooseColour() {
    const QColor colour = QColorDialog::getColor(Qt::black, this);
    if (colour.isValid()) SetSelectedColour(colour);
}

void CDialogPalette::SetSelectedColour(const QColor& colour) {
    colors_.red[selected_] = static_cast<std::uint8_t>(colour.red());
    colors_.green[selected_] = static_cast<std::uint8_t>(colour.green());
    colors_.blue[selected_] = static_cast<std::uint8_t>(colour.blue());
    ShowEntryColour(selected_);
    // An entry that is not a node keeps its colour until the next ramps.
    if (isNode_[selected_]) ComputeRamps(isNode_, colors_);
    DrawPalette();
    update();
}

void CDialogPalette::AddNode() {
    isNode_[selected_] = true;
    Recompute();
}

void CDialogPalette::EraseNode() {
    if (selected_ == 0 || selected_ == 255) return;
    isNode_[selected_] = false;
    Recompute();
}

void CDialogPalette::EraseAllNodes() {
    std::fill(isNode_.begin() + 1, isNode_.end() - 1, false);
    Recompute();
}

void CDialogPalette::Recompute() {
    ComputeRamps(isNode_, colors_);
    DrawPalette();
    update();
}

void CDialogPalette::ChooseFileToLoad() {
    QFileDialog chooser(this, QString(), QString(), kFileFilter);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setDefaultSuffix("PAL");
    if (chooser.exec() == QDialog::Accepted) LoadPalette(chooser.selectedFiles().value(0));
}

void CDialogPalette::ChooseFileToSave() {
    QFileDialog chooser(this, QString(), QString(), kFileFilter);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix("PAL");
    if (chooser.exec() == QDialog::Accepted) SavePalette(chooser.selectedFiles().value(0));
}

bool CDialogPalette::LoadPalette(const QString& path) {
    // Nodes and edits stay as they are; the loaded colours hold until the
    // next ramps.
    if (!ReadPaletteFile(path.toStdString(), colors_)) return false;
    DrawPalette();
    update();
    return true;
}

bool CDialogPalette::SavePalette(const QString& path) {
    return WritePaletteFile(path.toStdString(), colors_);
}

void CDialogPalette::DrawCell(int entry) {
    const int left = (entry % 16) * kPitch;
    const int top = (entry / 16) * kPitch;
    const QRgb colour = qRgb(colors_.red[entry], colors_.green[entry], colors_.blue[entry]);
    DrawBox(bitmap_, left, top, left + kCellWidth, top + kCellHeight,
            isNode_[entry] ? qRgb(255, 0, 0) : face_, qRgb(0, 0, 0));
    DrawBox(bitmap_, left + 1, top + 1, left + kCellWidth - 1, top + kCellHeight - 1,
            entry == selected_ ? qRgb(255, 255, 255) : face_, colour);
}

void CDialogPalette::DrawPalette() {
    for (int entry = 0; entry < 256; ++entry) DrawCell(entry);
    for (int entry = 0; entry < 256; ++entry)
        FillBox(bitmap_, entry, kStripTop, entry, kBitmapHeight - 1,
                qRgb(colors_.red[entry], colors_.green[entry], colors_.blue[entry]));
}

void CDialogPalette::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(kOrigin, kOrigin, bitmap_);
}
