// The view's commands (see CommandRow.h for how to add one): zoom, region of
// interest, undo, palettes and the palette editor, clipboard, perspective,
// histogram and manual threshold, rotation, resize, uniform picture, the
// palette bar and printing.

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>
#include <vector>

#include "CCommandSteps.h"
#include "CDialogHistogram.h"
#include "CDialogPalette.h"
#include "CDialogRotation.h"
#include "COrvexView.h"
#include "CPageResize.h"
#include "CPageUniform.h"
#include "CRunOptions.h"
#include "CSheetProcessing.h"
#include "ClipboardPicture.h"
#include "CommandIds.h"
#include "CommandRow.h"
#include "ImageLock.h"
#include "PrintPicture.h"
#include "StepsBasic.h"
#include "StepsFilter.h"
#include "StepsImage.h"
#include "ZoomSteps.h"

namespace {

constexpr auto Ctrl = Qt::ControlModifier;
constexpr auto Keypad = Qt::KeypadModifier;

bool Always(const COrvexView&) { return true; }

// The keypad key of the accelerator table and its main-keyboard twin, which
// is also what X11 delivers for the keypad key held with Ctrl.
QList<QKeySequence> CtrlKeys(Qt::Key key) {
    return {QKeySequence(Ctrl | Keypad | key), QKeySequence(Ctrl | key)};
}

// history; backup; the palette; modified; realize.
std::function<void(COrvexView&)> ApplyPalette(PaletteKind kind) {
    return [kind](COrvexView& view) {
        CCommandSteps steps(view);
        if (!steps.Run([kind](CImageDocument& d) { return StepPalette(d, kind); })) return;
        steps.Modified();
        steps.Realize();
    };
}

// Undo (on every page when the step undone ran on every page); modified;
// refit at this view's zoom; realize; repaint.
void Undo(COrvexView& view) {
    CCommandSteps steps(view);
    steps.Undo();
    steps.Modified();
    view.RefitAfterUndo();
    steps.Realize();
    steps.Repaint();
}

// wait; backup; the bar; 1:1; fit; realize; ROI reset; repaint; modified; history.
void AddPaletteBar(COrvexView& view) {
    CCommandSteps steps(view);
    steps.Wait();
    if (!steps.Run(StepPaletteBar)) return;
    steps.OneToOne();
    steps.Fit();
    steps.Realize();
    steps.ResetRoi();
    steps.Repaint();
    steps.Modified();
}

int PageCount(const COrvexView& view) { return view.GetDocument()->Core().GetPageCount(); }

const CImage& ImageOf(const COrvexView& view) { return *view.GetDocument()->GetImage(); }
CImage& ImageOf(COrvexView& view) { return *view.GetDocument()->GetImage(); }

// The bytes of a picture's colour table, to put back after a preview that
// painted into them.
class CSavedColourTable {
public:
    explicit CSavedColourTable(const CImage& image) {
        const CImageLock lock(image);
        const std::uint64_t size = lock ? image.GetHandle()->Size() : 0;
        const std::uint64_t end = std::min(image.GetBitsOffset(), size);
        offset_ = std::min(image.GetTableOffset(), end);
        if (lock) bytes_.assign(lock.Block() + offset_, lock.Block() + end);
    }
    void Restore(CImage& image) const {
        {
            const CImageLock lock(image);
            if (!lock || image.GetHandle()->Size() < offset_ + bytes_.size()) return;
            std::copy(bytes_.begin(), bytes_.end(), lock.Block() + offset_);
        }
        image.FillPalette();
    }

private:
    std::uint64_t offset_ = 0;
    std::vector<std::uint8_t> bytes_;
};

// The dialog; if confirmed: history; backup; the colour tables; modified; realize.
void EditPalette(COrvexView& view) {
    CDialogPalette dialog;
    if (dialog.exec() != 1) return;
    CCommandSteps steps(view);
    if (!steps.Run([&](CImageDocument& d) {
            return StepCustomPalette(d, dialog.Red(), dialog.Green(), dialog.Blue());
        }))
        return;
    steps.Modified();
    steps.Realize();
}

// wait; the whole picture onto the clipboard; end wait.
void Copy(COrvexView& view) {
    CWaitCursor wait;
    if (QMimeData* data = PictureMimeData(ImageOf(view)))
        QGuiApplication::clipboard()->setMimeData(data);
}

bool ClipboardHoldsPicture() { return HoldsPicture(QGuiApplication::clipboard()->mimeData()); }

// wait; the clipboard's picture adopted (no undo copy, no history line);
// modified; fit at the zoom as it is; realize; ROI reset; repaint; end wait.
void Paste(COrvexView& view) {
    CCommandSteps steps(view);
    steps.Wait();
    HBLOCK block = PictureBlock(QGuiApplication::clipboard()->mimeData());
    // Into the current page alone, which keeps the stack's size.
    if (!steps.RunOnCurrentPage(
            [&block](CImageDocument& d) { return StepPaste(d, std::move(block)); }))
        return;
    steps.Modified();
    steps.Fit();
    steps.Realize();
    steps.ResetRoi();
    steps.Repaint();
}

// wait; backup; the rendering with the run's values; modified; 1:1; fit;
// realize; repaint; modified; history.
std::function<void(COrvexView&)> Perspective(PerspectiveMode mode) {
    return [mode](COrvexView& view) {
        CCommandSteps steps(view);
        steps.Wait();
        if (!steps.Run([mode](CImageDocument& d) {
                return StepPerspective(d, mode, CRunOptions::Get().perspective);
            }))
            return;
        steps.Modified();
        steps.OneToOne();
        steps.Fit();
        steps.Realize();
        steps.Repaint();
    };
}

// The histogram as it stands; nothing follows.
void ShowHistogram(COrvexView& view) {
    CImage& image = ImageOf(view);
    if (!image.GenerateHistogram()) return;
    CDialogHistogram dialog(image, CDialogHistogram::Mode::Display);
    // Of the page this view shows, named in the title on a stack.
    dialog.setWindowTitle(view.GetDocument()->WithPage(dialog.windowTitle(), view.Page()));
    dialog.exec();
}

// The interval is previewed in red in every view while the dialog runs (a
// colour change only). Confirmed: the colours from before the preview back,
// so that the undo copy holds the picture the user had; wait; backup;
// threshold; binary palette; realize; modified; repaint; history. Cancelled:
// the grey palette comes back; realize; modified; repaint.
void ManualThreshold(COrvexView& view) {
    COrvexDoc& doc = *view.GetDocument();
    CImage& image = *doc.GetImage();
    if (!image.GenerateHistogram()) return;
    const CSavedColourTable colours(image);
    CDialogHistogram dialog(image, CDialogHistogram::Mode::Threshold);
    QObject::connect(&dialog, &CDialogHistogram::thresholdPreview, &doc,
                     [&doc, &image](int low, int high) {
                         image.PaletteThreshold(low, high);
                         doc.UpdateColours();
                     });
    const int result = dialog.exec();
    CCommandSteps steps(view);
    if (result != 0) {
        colours.Restore(image);
        steps.Wait();
        const int low = dialog.Low(), high = dialog.High();
        // Cancelled at the question: the picture as it was before the preview.
        if (!steps.Run([low, high](CImageDocument& d) {
                return StepManualThreshold(d, low, high);
            })) {
            steps.Repaint();
            return;
        }
    } else {
        StepCancelManualThreshold(steps.Core());
    }
    steps.Realize();
    steps.Modified();
    steps.Repaint();
}

// The dialog; if confirmed: wait; backup; the quarter turn (fill 0);
// modified; 1:1; fit; realize; ROI reset; repaint; history.
void Rotate(COrvexView& view) {
    CDialogRotation dialog;
    if (dialog.exec() == 0) return;
    CCommandSteps steps(view);
    steps.Wait();
    if (!steps.Run([&](CImageDocument& d) { return StepRotate(d, dialog.Angle()); })) return;
    steps.Modified();
    steps.OneToOne();
    steps.Fit();
    steps.Realize();
    steps.ResetRoi();
    steps.Repaint();
}

// The "Image" sheet on the resize page; if confirmed: wait; backup; the
// resize to the page's size; 1:1; fit; realize; ROI reset; repaint; modified;
// history. The other page's values are not used.
void Resize(COrvexView& view) {
    CSheetProcessing sheet("Image", nullptr, CSheetProcessing::kResizePage);
    if (sheet.exec() != 1) return;
    CCommandSteps steps(view);
    steps.Wait();
    const int width = sheet.Resize()->Width(), height = sheet.Resize()->Height();
    if (!steps.Run([=](CImageDocument& d) { return StepResize(d, width, height); })) return;
    steps.OneToOne();
    steps.Fit();
    steps.Realize();
    steps.ResetRoi();
    steps.Repaint();
    steps.Modified();
}

// The "Image" sheet on the uniform page; if confirmed: wait; backup; the
// new picture; modified; 1:1; fit; realize; ROI reset; repaint; history. Works on
// an empty document too.
void Uniform(COrvexView& view) {
    CSheetProcessing sheet("Image", nullptr, CSheetProcessing::kUniformPage);
    if (sheet.exec() != 1) return;
    const CPageUniform& page = *sheet.Uniform();
    CCommandSteps steps(view);
    steps.Wait();
    if (!steps.Run([&page](CImageDocument& d) {
            return StepUniform(d, page.Width(), page.Height(), page.Colour());
        }))
        return;
    steps.Modified();
    steps.OneToOne();
    steps.Fit();
    steps.Realize();
    steps.ResetRoi();
    steps.Repaint();
}

}  // namespace

QList<SViewCommand> ViewCommandRows() {
    const SNeeds fullPalette = Needs(StepNeeds::FullPalette);
    return {
        {cmd::Roi,
         {"Région d'&intérêt",
          "Définit une région d'intérêt à la souris",
          "Région d'intérêt",
          {},
          {nullptr, icons::Roi},
          true},
         [](const COrvexView& v) {
             return Needs(StepNeeds::FullPalette)(v) && v.Zoom() == 1.0f && !v.IsAutoZoom();
         },
         [](COrvexView& v) { v.ToggleRoi(); },
         [](const COrvexView& v) { return v.IsRoiMode(); }},
        {cmd::ZoomNormal,
         {"Zoom &normal\tCtrl+1",
          "Affiche l'image à sa taille réelle",
          "Zoom normal",
          CtrlKeys(Qt::Key_1),
          {nullptr, icons::ZoomNormal}},
         Always,
         [](COrvexView& v) { v.ZoomNormal(); }},
        {cmd::ZoomAuto,
         {"Zoom &auto\tCtrl+F",
          "Ajuste l'image à la taille de la fenêtre",
          "Zoom auto",
          {QKeySequence(Ctrl | Qt::Key_F)},
          {nullptr, icons::ZoomAuto},
          true},
         Always,
         [](COrvexView& v) { v.ToggleAutoZoom(); },
         [](const COrvexView& v) { return v.IsAutoZoom(); }},
        {cmd::ZoomMinus,
         {"Zoom &moins\tCtrl -",
          "Réduit l'image",
          "Zoom moins",
          CtrlKeys(Qt::Key_Minus),
          {nullptr, icons::ZoomMinus}},
         [](const COrvexView& v) { return zoom::CanZoomOut(v.Zoom()) && !v.IsAutoZoom(); },
         [](COrvexView& v) { v.ZoomBy(&zoom::Out); }},
        {cmd::ZoomPlus,
         {"Zoom &plus\tCtrl +",
          "Agrandit l'image",
          "Zoom plus",
          CtrlKeys(Qt::Key_Plus),
          {nullptr, icons::ZoomPlus}},
         [](const COrvexView& v) { return zoom::CanZoomIn(v.Zoom()) && !v.IsAutoZoom(); },
         [](COrvexView& v) { v.ZoomBy(&zoom::In); }},
        {cmd::Rotation,
         {"&Rotation...",
          "Retourne l'image suivant des multiple de 90°",
          "Rotation",
          {},
          {nullptr, icons::Rotation}},
         Needs<StepRotate>(),
         Rotate},
        {cmd::Resize,
         {"Re&dimensionner...",
          "Redimensionne l'image ",
          "Redimensionnement",
          {},
          {nullptr, icons::Resize}},
         Needs<StepResize>(),
         Resize},
        {cmd::Uniform,
         {"&Uniforme...", "Crée une image uniforme", "Uniforme", {}, {nullptr, icons::Uniform}},
         Needs<StepUniform>(),
         Uniform},
        {cmd::PaletteGrey,
         {"&Niveaux de gris",
          "Palette niveaux de gris",
          "Niveaux de gris",
          {},
          {nullptr, icons::PaletteGrey}},
         Needs<StepPalette>(),
         ApplyPalette(PaletteKind::Grey)},
        {cmd::PaletteRainbow,
         {"&Fausses couleurs",
          "Palette fausses couleurs",
          "Fausses couleurs",
          {},
          {nullptr, icons::PaletteRainbow}},
         Needs<StepPalette>(),
         ApplyPalette(PaletteKind::Rainbow)},
        {cmd::PaletteHeat,
         {"&Thermique", "Palette thermique", "Thermique"},
         Needs<StepPalette>(),
         ApplyPalette(PaletteKind::Heat)},
        {cmd::PaletteBinary,
         {"&Binaire", "Palette binaire", "Binaire"},
         Needs<StepPalette>(),
         ApplyPalette(PaletteKind::Binary)},
        {cmd::PaletteMetal,
         {"&Métal", "Palette métal", "Métal"},
         Needs<StepPalette>(),
         ApplyPalette(PaletteKind::Metal)},
        {cmd::PaletteBar,
         {"Ajouter à l'image...", "Ajoute une palette sur l'image", "Ajoute la palette à l'image"},
         Needs<StepPaletteBar>(),
         AddPaletteBar},
        {cmd::PaletteEdit,
         {"Editer...", "Edition de palettes", "Edition de palettes"},
         Needs<StepCustomPalette>(),
         EditPalette},
        {cmd::EditUndo,
         {"&Annuler\tCtrl+Z",
          "Annule la dernière action",
          "Annuler",
          {QKeySequence(Ctrl | Qt::Key_Z), QKeySequence(Qt::AltModifier | Qt::Key_Backspace)},
          {"edit-undo", icons::EditUndo}},
         [](const COrvexView& v) { return ImageOf(v).HasBackup(); },
         Undo},
        {cmd::EditCopy,
         {"Co&pier\tCtrl+C",
          "Copie la sélection et la place dans le Presse-papiers",
          "Copier",
          {QKeySequence(Ctrl | Qt::Key_C), QKeySequence(Ctrl | Qt::Key_Insert)},
          {"edit-copy", icons::EditCopy}},
         [](const COrvexView& v) { return ImageOf(v).IsValid(); },
         Copy},
        {cmd::EditPaste,
         {"C&oller\tCtrl+V",
          "Insère le contenu du Presse-papiers",
          "Coller",
          {QKeySequence(Ctrl | Qt::Key_V), QKeySequence(Qt::ShiftModifier | Qt::Key_Insert)},
          {"edit-paste", icons::EditPaste}},
         [](const COrvexView&) { return ClipboardHoldsPicture(); },
         Paste},
        {cmd::Histogram,
         {"&Histogramme...\tCtrl + H",
          "Affiche l'histogramme de l'image courante",
          "Histogramme",
          {QKeySequence(Ctrl | Qt::Key_H)},
          {nullptr, icons::Histogram}},
         fullPalette,
         ShowHistogram},
        {cmd::ManualThreshold,
         {"Seuillage &manuel...",
          "Applique un seuillage manuel et affiche l'histogramme",
          "Seuillage manuel",
          {},
          {nullptr, icons::ManualThreshold}},
         Needs<StepManualThreshold>(),
         ManualThreshold},
        {cmd::PerspectiveGradient,
         {"&Gradient",
          "Affiche l'image en perspective avec un effet gradient",
          "Perspective gradient",
          {},
          {nullptr, icons::PerspectiveGradient}},
         Needs<StepPerspective>(),
         Perspective(PerspectiveMode::Gradient)},
        {cmd::PerspectiveCloud,
         {"&Nuage",
          "Affiche l'image en perspective avec un effet nuage",
          "Perspective nuage",
          {},
          {nullptr, icons::PerspectiveCloud}},
         Needs<StepPerspective>(),
         Perspective(PerspectiveMode::Cloud)},
        {cmd::NextPage,
         {"Page sui&vante\tCtrl+Pg.Suiv",
          "Affiche la page suivante de la pile",
          "Page suivante",
          {QKeySequence(Ctrl | Qt::Key_PageDown)}},
         [](const COrvexView& v) { return v.Page() + 1 < PageCount(v); },
         [](COrvexView& v) { v.ShowPage(v.Page() + 1); }},
        {cmd::PrevPage,
         {"Page &précédente\tCtrl+Pg.Préc",
          "Affiche la page précédente de la pile",
          "Page précédente",
          {QKeySequence(Ctrl | Qt::Key_PageUp)}},
         [](const COrvexView& v) { return v.Page() > 0; },
         [](COrvexView& v) { v.ShowPage(v.Page() - 1); }},
        {cmd::FilePrint,
         {"&Imprimer...\tCtrl+P",
          "Imprime le document actif",
          "Imprimer",
          {QKeySequence(Ctrl | Qt::Key_P)},
          {"document-print", icons::FilePrint}},
         Always,
         [](COrvexView& v) { PrintPicture(ImageOf(v), &v, PrintMode::WithDialog); }},
        {cmd::FilePrintDirect,
         {"Imprimer directement", "Imprime le document actif", "Imprimer"},
         Always,
         [](COrvexView& v) { PrintPicture(ImageOf(v), &v, PrintMode::Direct); }},
        {cmd::FilePrintPreview,
         {"Aperçu a&vant impression",
          "Affiche des pages entièresavant l'impression",
          "Aperçu avant impression",
          {},
          {"document-print-preview", icons::FilePrintPreview}},
         Always,
         [](COrvexView& v) { PreviewPicture(ImageOf(v), &v); }},
    };
}
