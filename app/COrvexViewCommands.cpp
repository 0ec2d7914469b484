// The view's commands: zoom, region of interest, undo, palettes, the palette
// bar and printing. Commands whose dialog or clipboard exchange is not there
// yet are known here but stay disabled.

#include <QMenu>

#include "COrvexView.h"
#include "CWaitCursor.h"
#include "CommandIds.h"
#include "CommandTable.h"
#include "PrintPicture.h"
#include "StepsBasic.h"
#include "StepsImage.h"
#include "ZoomSteps.h"

namespace {

bool IsLaterCommand(int id) {
    switch (id) {
        case cmd::PaletteEdit:
        case cmd::EditCopy:
        case cmd::EditPaste:
        case cmd::PerspectiveGradient:
        case cmd::PerspectiveCloud:
        case cmd::Histogram:
        case cmd::ManualThreshold:
        case cmd::Rotation:
        case cmd::Resize:
        case cmd::Uniform:
            return true;
        default:
            return false;
    }
}

std::optional<PaletteKind> PaletteOf(int id) {
    switch (id) {
        case cmd::PaletteBinary:
            return PaletteKind::Binary;
        case cmd::PaletteGrey:
            return PaletteKind::Grey;
        case cmd::PaletteRainbow:
            return PaletteKind::Rainbow;
        case cmd::PaletteHeat:
            return PaletteKind::Heat;
        case cmd::PaletteMetal:
            return PaletteKind::Metal;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<bool> COrvexView::IsCommandEnabled(int id) const {
    if (IsLaterCommand(id)) return false;
    if (PaletteOf(id)) return HasFullPalette();
    switch (id) {
        case cmd::ZoomNormal:
        case cmd::ZoomAuto:
        case cmd::FilePrint:
        case cmd::FilePrintDirect:
        case cmd::FilePrintPreview:
            return true;
        case cmd::ZoomMinus:
            return zoom::CanZoomOut(zoom_) && !autoZoom_;
        case cmd::ZoomPlus:
            return zoom::CanZoomIn(zoom_) && !autoZoom_;
        case cmd::Roi:
            return HasFullPalette() && zoom_ == 1.0f && !autoZoom_;
        case cmd::EditUndo:
            return Image().HasBackup();
        case cmd::PaletteBar:
            return HasFullPalette();
        default:
            return std::nullopt;
    }
}

std::optional<bool> COrvexView::IsCommandChecked(int id) const {
    switch (id) {
        case cmd::ZoomAuto:
            return autoZoom_;
        case cmd::Roi:
            return roiMode_;
        default:
            return std::nullopt;
    }
}

bool COrvexView::OnCommand(int id) {
    const std::optional<bool> enabled = IsCommandEnabled(id);
    if (!enabled) return false;
    if (!*enabled) return true;
    if (const auto kind = PaletteOf(id)) {
        StepPalette(doc_->Core(), *kind);
        doc_->SetModifiedFlag();
        RealizeImagePalette();
        return true;
    }
    switch (id) {
        case cmd::ZoomNormal:
            ZoomNormal();
            break;
        case cmd::ZoomAuto:
            ToggleAutoZoom();
            break;
        case cmd::ZoomMinus:
            ZoomBy(&zoom::Out);
            break;
        case cmd::ZoomPlus:
            ZoomBy(&zoom::In);
            break;
        case cmd::Roi:
            ToggleRoi();
            break;
        case cmd::EditUndo:
            Undo();
            break;
        case cmd::PaletteBar:
            AddPaletteBar();
            break;
        case cmd::FilePrint:
            PrintPicture(*doc_->GetImage(), this, PrintMode::WithDialog);
            break;
        case cmd::FilePrintDirect:
            PrintPicture(*doc_->GetImage(), this, PrintMode::Direct);
            break;
        case cmd::FilePrintPreview:
            PreviewPicture(*doc_->GetImage(), this);
            break;
    }
    return true;
}

void COrvexView::ZoomBy(float (*step)(float)) {
    zoom_ = step(zoom_);
    const CSize size = Image().GetSize();
    SetDisplayRect(0, 0, size.cx, size.cy);
    SetScrollExtent({zoom::Scaled(size.cx, zoom_), zoom::Scaled(size.cy, zoom_)});
    ResetRoi();
    viewport()->update();
}

void COrvexView::SetOneToOne() {
    autoZoom_ = false;
    zoom_ = 1.0f;
}

void COrvexView::ZoomNormal() {
    SetOneToOne();
    FitToPicture();
    viewport()->update();
}

void COrvexView::ToggleAutoZoom() {
    zoom_ = 1.0f;
    autoZoom_ = !autoZoom_;
    if (autoZoom_) {
        FillClientArea();
        ResetRoi();
    } else {
        FitToPicture();
    }
    viewport()->update();
}

void COrvexView::ToggleRoi() {
    roiMode_ = !roiMode_;
    // The picture's region is the outlined one while the outline shows.
    if (roiMode_)
        SetImageRoi();
    else
        Image().SetDefaultRoi();
    viewport()->update();
}

void COrvexView::Undo() {
    StepUndo(doc_->Core());
    doc_->SetModifiedFlag();
    if (autoZoom_) {
        FillClientArea();
        ResetRoi();
    } else {
        FitToPicture();
    }
    RealizeImagePalette();
}

void COrvexView::AddPaletteBar() {
    SetOneToOne();
    CWaitCursor wait;
    StepPaletteBar(doc_->Core());
    FitToPicture();
    ResetRoi();
    RealizeImagePalette();
    doc_->SetModifiedFlag();
}

QMenu* COrvexView::CreateContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    // Items carry the context menu's short labels; each one reflects this
    // view's (or its document's) state and runs the shared command.
    auto add = [this](QMenu* to, int id, const QString& label) {
        QAction* shared = CommandAction(id);
        QAction* item = to->addAction(label);
        std::optional<bool> enabled = IsCommandEnabled(id);
        if (!enabled) enabled = doc_->IsCommandEnabled(id);
        item->setEnabled(enabled.value_or(shared->isEnabled()));
        if (const auto checked = IsCommandChecked(id)) {
            item->setCheckable(true);
            item->setChecked(*checked);
        }
        connect(item, &QAction::triggered, shared, &QAction::trigger);
    };
    add(menu, cmd::EditUndo, "Annuler");
    add(menu, cmd::EditCopy, "Copier");
    add(menu, cmd::EditPaste, "Coller");
    menu->addSeparator();
    QMenu* zoomMenu = menu->addMenu("Zoom");
    add(zoomMenu, cmd::ZoomNormal, "Normal");
    zoomMenu->addSeparator();
    add(zoomMenu, cmd::ZoomAuto, "Auto");
    add(zoomMenu, cmd::ZoomPlus, "Plus");
    add(zoomMenu, cmd::ZoomMinus, "Moins");
    QMenu* paletteMenu = menu->addMenu("Palette");
    add(paletteMenu, cmd::PaletteGrey, "Niveaux de gris");
    paletteMenu->addSeparator();
    add(paletteMenu, cmd::PaletteHeat, "Thermique");
    add(paletteMenu, cmd::PaletteRainbow, "Fausses couleurs");
    add(paletteMenu, cmd::PaletteBinary, "Binaire");
    add(menu, cmd::FilterBrowser, "Browser de filtres");
    return menu;
}
