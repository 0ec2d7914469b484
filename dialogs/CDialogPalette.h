#pragma once
// "Palette": a 256-entry colour table built from nodes and linear ramps (see
// PaletteRamps.h), shown as 16 x 16 cells with a colour strip under them in
// a 352 x 382 off-screen picture drawn at (10, 10). Nodes have red frames,
// the selected entry a white inner frame. The editor always starts from the
// grey ramp with nodes 0 and 255; tables travel between sessions only as
// JASC palette files. exec returns 1 for "OK" and 2 when cancelled; after 1
// the caller reads the three channels.

#include <QDialog>
#include <QImage>
#include <array>
#include <cstdint>

#include "PaletteFile.h"

class QLineEdit;

class CDialogPalette : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCellWidth = 20, kCellHeight = 20, kCellSpacing = 2;
    static constexpr int kOrigin = 10;  // the picture's place in the window

    explicit CDialogPalette(QWidget* parent = nullptr);

    const CPaletteColors& Colors() const { return colors_; }
    const std::uint8_t* Red() const { return colors_.red.data(); }
    const std::uint8_t* Green() const { return colors_.green.data(); }
    const std::uint8_t* Blue() const { return colors_.blue.data(); }
    bool IsNode(int entry) const { return isNode_[entry]; }
    int Selected() const { return selected_; }
    const QImage& Drawing() const { return bitmap_; }

    // The entry under a point of the window, or -1 (spacing, strip, outside).
    static int EntryAt(QPoint point);
    void SelectEntry(int entry);
    // What "Modifier..." does once the chooser returned a colour.
    void SetSelectedColour(const QColor& colour);
    void AddNode();        // "Ajouter"
    void EraseNode();      // "Effacer"
    void EraseAllNodes();  // "Effacer tout"
    bool LoadPalette(const QString& path);
    bool SavePalette(const QString& path);

    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void BuildLayout();
    void ChooseColour();
    void ChooseFileToLoad();
    void ChooseFileToSave();
    void Recompute();
    void DrawPalette();
    void DrawCell(int entry);
    void ShowEntryColour(int entry);

    std::array<bool, 256> isNode_{};
    CPaletteColors colors_;
    int selected_ = 0;
    int previous_ = 0;
    QImage bitmap_;
    QRgb face_ = 0;
    QLineEdit* redEdit_ = nullptr;
    QLineEdit* greenEdit_ = nullptr;
    QLineEdit* blueEdit_ = nullptr;
    QLineEdit* selectionEdit_ = nullptr;
};
