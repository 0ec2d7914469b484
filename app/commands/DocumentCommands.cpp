// The document's processing commands (see CommandRow.h for how to add one).
// Each is enabled when its step can run: a picture with 256 colours, or for
// the conversion to grey a picture that is not grey already. Also the
// export of the document's recipe, the orvex-cli operations its steps recorded,
// and the measurement that adds a row to the results window.

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <atomic>

#include "CCommandSteps.h"
#include "CDialogAdaptiveThreshold.h"
#include "CDialogDynamic.h"
#include "CDialogFilterBrowser.h"
#include "CDialogHistory.h"
#include "CDialogStatistics.h"
#include "COrvexDoc.h"
#include "CommandIds.h"
#include "CommandRow.h"
#include "SampleWindowCommand.h"
#include "StepsFilter.h"
#include "StepsImage.h"
#include "StepsMeasure.h"
#include "StepsStack.h"
#include "StepsValues.h"

namespace {

constexpr auto Ctrl = Qt::ControlModifier;

// wait; the step (history line, undo copy, engine); repaint; modified.
std::function<void(COrvexDoc&)> RunStep(bool (*step)(CImageDocument&)) {
    return [step](COrvexDoc& doc) {
        CCommandSteps steps(doc);
        steps.Wait();
        if (!steps.Run(step)) return;
        steps.Repaint();
        steps.Modified();
    };
}

void Dynamic(COrvexDoc& doc) {
    CDialogDynamic dialog;
    if (dialog.exec() == 0) return;
    CCommandSteps steps(doc);
    steps.Wait();
    if (!steps.Run([&](CImageDocument& d) { return StepDynamic(d, dialog.Table().data()); }))
        return;
    steps.Repaint();
    steps.Modified();
}

// "Filtrage linéaire", the filter, "Filtrage": the step records both lines.
void FilterBrowser(COrvexDoc& doc) {
    CDialogFilterBrowser dialog;
    if (dialog.exec() != 1) return;
    CCommandSteps steps(doc);
    steps.Wait();
    if (!steps.Run([&](CImageDocument& d) { return StepFilter(d, dialog.Mask()); })) return;
    steps.Repaint();
    steps.Modified();
}

// A threshold above 255 is refused after the history line and the undo copy:
// both stay, the picture and the modified flag do not change. An engine
// failure may come after the threshold changed the picture, which then shows.
void AdaptiveThreshold(COrvexDoc& doc) {
    CDialogAdaptiveThreshold dialog;
    if (dialog.exec() != 1) return;
    CCommandSteps steps(doc);
    steps.Wait();
    std::atomic<bool> refused = false;  // pages run in parallel
    const auto done = steps.Run([&](CImageDocument& d) {
        bool pageRefused = false;
        const bool ok = StepAdaptiveThreshold(d, dialog.K(), &pageRefused);
        if (pageRefused) refused = true;  // the same value on every page
        return ok;
    });
    if (!done || refused) return;
    steps.Modified();
    steps.Repaint();
}

// Of the current page, named in the title on a stack.
void Statistics(COrvexDoc& doc) {
    const CImageDocument& core = doc.Core();
    std::optional<SValueStatistics> values;
    if (core.GetSamples() != nullptr)
        values =
            PageValueStatistics(core.GetPages()[static_cast<std::size_t>(core.GetCurrentPage())]);
    CDialogStatistics dialog(*doc.GetImage(), nullptr, values);
    dialog.setWindowTitle(doc.WithPage(dialog.windowTitle(), core.GetCurrentPage()));
    dialog.exec();
}

// The current page leaves the stack: "Suppression de la page %d".
void DeletePage(COrvexDoc& doc) {
    CCommandSteps steps(doc);
    CImageDocument& core = steps.Core();
    StepDeletePage(core, core.GetPages()[static_cast<std::size_t>(core.GetCurrentPage())].number);
    steps.Repaint();
    steps.Modified();
}

void History(COrvexDoc& doc) {
    CDialogHistory dialog(doc.Core().GetHistory());
    dialog.exec();
}

// A row for the results window, or on a stack a row for each page when the
// question says so, which the document hands on: its file, or its title
// before it has one.
void Measure(COrvexDoc& doc) {
    const std::optional<bool> allPages = CCommandSteps(doc).ChoosePages();
    if (!allPages) return;
    std::vector<CMeasureRow> rows;
    if (!StepMeasurePages(doc.Core(), false, *allPages, rows)) return;
    const QString file = doc.GetPathName().isEmpty() ? doc.GetTitle() : doc.GetPathName();
    for (CMeasureRow& row : rows) {
        row.file = file.toStdString();
        emit doc.measured(row);
    }
}

void ExportRecipe(COrvexDoc& doc) {
    const QFileInfo picture(doc.GetPathName());
    const QString suggested = doc.GetPathName().isEmpty()
                                  ? doc.GetTitle() + ".txt"
                                  : picture.dir().filePath(picture.completeBaseName() + ".txt");
    QFileDialog dialog(QApplication::activeWindow(), "Exporter la recette", suggested,
                       "Recettes (*.txt);;Tous les fichiers (*)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("txt");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const CRecipe& recipe = doc.Core().GetRecipe();
    if (!recipe.Write(QFile::encodeName(dialog.selectedFiles().first()).toStdString())) return;
    if (recipe.HasUnreplayableStep())
        QMessageBox::warning(QApplication::activeWindow(), "Orvex",
                             "La recette contient une image collée depuis le presse-papiers : "
                             "orvex-cli refusera de la rejouer.");
}

}  // namespace

QList<SDocumentCommand> DocumentCommandRows() {
    const SNeeds fullPalette = Needs(StepNeeds::FullPalette);
    return {
        {cmd::ExportRecipe,
         {"E&xporter la recette...",
          "Enregistre les traitements du document comme une recette pour orvex-cli",
          "Exporter la recette"},
         [](const COrvexDoc& doc) { return doc.Core().GetRecipe().HasReplayableStep(); },
         ExportRecipe},
        {cmd::Negative,
         {"&Inverse", "Inverse la dynamique de l'image", "Inverse", {}, {nullptr, icons::Negative}},
         Needs<StepNegative>(),
         RunStep(StepNegative)},
        {cmd::FlipHorizontal,
         {"Retournement &horizontal",
          "Retournement horizontal",
          "Retournement horizontal",
          {},
          {nullptr, icons::FlipHorizontal}},
         Needs<StepFlipHorizontal>(),
         RunStep(StepFlipHorizontal)},
        {cmd::FlipVertical,
         {"Retournement &vertical",
          "Retournement vertical",
          "Retournement vertical",
          {},
          {nullptr, icons::FlipVertical}},
         Needs<StepFlipVertical>(),
         RunStep(StepFlipVertical)},
        {cmd::ConvertToGrey,
         {"Conversion en niveaux de &gris", "Convertit l'image couleur en 256 niveaux de gris",
          "Conversion en niveaux de gris"},
         [](const COrvexDoc& doc) {
             return Needs<StepGrey>()(doc) && !doc.GetImage()->HasGreyRamp();
         },
         RunStep(StepGrey)},
        {cmd::SampleWindow,
         {"&Fenêtre...", "Choisit la fenêtre des valeurs du fichier qui donne les niveaux",
          "Fenêtre"},
         Needs<StepWindow>(),
         SampleWindow},
        {cmd::Dynamic,
         {"&Dynamique...",
          "Change la dynamique de l'image ",
          "Dynamique",
          {},
          {nullptr, icons::Dynamic}},
         Needs<StepDynamic>(),
         Dynamic},
        {cmd::Dilate,
         {"&Dilatation",
          "Elimine les trous isolés dans les objects et dilate le contour des objects",
          "Dilatation"},
         Needs<StepDilate>(),
         RunStep(StepDilate)},
        {cmd::Erode,
         {"&Erosion", "Elimine les pixels isolés dans le fond et erode le contour des objects",
          "Erode"},
         Needs<StepErode>(),
         RunStep(StepErode)},
        {cmd::Opening,
         {"&Ouverture",
          " Ouverture(Image)=Dilatation(Erosion(Image)).Supprime les petits objects et lisse les "
          "contours.",
          "Ouverture  "},
         Needs<StepOpen>(),
         RunStep(StepOpen)},
        {cmd::Closing,
         {"&Fermeture",
          "Fermeture(Image)=Erosion(Dilatation(Image)).Supprime les petits trous et lisse les "
          "contours.",
          "Fermeture  "},
         Needs<StepClose>(),
         RunStep(StepClose)},
        {cmd::History,
         {"Histori&que...",
          "Historique des commandes",
          "Historique des traitements",
          {},
          {nullptr, icons::History}},
         fullPalette,
         History},
        {cmd::FilterBrowser,
         {"&Browser de filtres...\tCtrl+B",
          "Affiche un browser de filtres",
          "Browser de filtres linéaires",
          {QKeySequence(Ctrl | Qt::Key_B)},
          {nullptr, icons::FilterBrowser}},
         Needs<StepFilter>(),
         FilterBrowser},
        {cmd::AdaptiveThreshold,
         {"Seuillage &adaptatif...",
          "Apllique un seuillage basé sur l'étude statistique de l'image", "Seuillage adaptatif"},
         Needs<StepAdaptiveThreshold>(),
         AdaptiveThreshold},
        {cmd::Contours,
         {"&Contours", "Affiche les contours dans une image\\Contours", ""},
         Needs<StepContours>(),
         RunStep(StepContours)},
        {cmd::Statistics,
         {"&Statistiques...",
          "Affiche des statistiques sur l'image",
          "Statistiques",
          {},
          {nullptr, icons::Statistics}},
         fullPalette,
         Statistics},
        {cmd::DeletePage,
         {"&Supprimer la page", "Retire de la pile la page affichée", "Supprimer la page"},
         [](const COrvexDoc& doc) { return doc.Core().GetPageCount() > 1; },
         DeletePage},
        {cmd::Measure,
         {"&Mesurer\tCtrl+M",
          "Ajoute les mesures de l'image à la fenêtre des résultats",
          "Mesurer",
          {QKeySequence(Qt::ControlModifier | Qt::Key_M)}},
         Needs<StepMeasure>(),
         Measure},
    };
}
