// The "Pile" menu's commands that make a new document (see CommandRow.h for
// how to add one): the current page extracted, the stack projected, the open
// pictures assembled into a stack. Each new document starts from copies of
// the pages, and the step shared with orvex-cli writes its history line.
// The rows join the command table when the program loads.

#include <QMessageBox>

#include "CDialogProjection.h"
#include "CDocManager.h"
#include "CMainFrame.h"
#include "COrvexApp.h"
#include "COrvexDoc.h"
#include "CommandIds.h"
#include "CommandRow.h"
#include "CommandTable.h"
#include "StepsStack.h"

namespace {

using SApplicationCommand = SCommandRowOf<COrvexApp>;

// A page of its own with the same pixels, table, number and delay; its
// picture is empty when memory ran out.
SPicturePage CopyOf(const SPicturePage& page) {
    SPicturePage copy;
    copy.number = page.number;
    copy.delay = page.delay;
    if (HBLOCK block = CImage::CopyBlock(page.image->GetHandle()))
        copy.image->SetHandle(std::move(block));
    return copy;
}

const COrvexDoc* ActiveStack(const COrvexApp& app) {
    const COrvexDoc* doc = app.MainFrame()->ActiveDocument();
    return doc && doc->Core().GetPageCount() > 1 ? doc : nullptr;
}

bool HasStack(const COrvexApp& app) { return ActiveStack(app) != nullptr; }

// A new document of the active view's page: the stack's history, then
// "Extraction de la page %d".
void ExtractPage(COrvexApp& app) {
    const CImageDocument& stack = ActiveStack(app)->Core();
    const SPicturePage& page = stack.GetPages()[static_cast<std::size_t>(stack.GetCurrentPage())];
    app.DocManager()->NewDocumentFrom([&](CImageDocument& doc) {
        std::vector<SPicturePage> pages;
        pages.push_back(CopyOf(page));
        if (!pages.front().image->IsValid()) return false;
        doc.SetPages(std::move(pages));
        doc.CopyHistoryFrom(stack);
        return StepExtractPage(doc, page.number);
    });
}

// The kind asked for, then a new one-page document: the stack's history,
// then "Projection maximum" (minimum, moyenne).
void Project(COrvexApp& app) {
    CDialogProjection dialog(app.MainFrame());
    if (dialog.exec() != 1) return;
    const CImageDocument& stack = ActiveStack(app)->Core();
    app.DocManager()->NewDocumentFrom([&](CImageDocument& doc) {
        doc.CopyHistoryFrom(stack);
        return StepProjectPages(doc, dialog.Kind(), stack.GetPages());
    });
}

// Every page of every open document, in the order they were opened, as
// the pages of a new stack: "Pile de %d images".
void Assemble(COrvexApp& app) {
    std::vector<SPicturePage> pictures;
    for (const COrvexDoc* doc : app.DocManager()->Documents())
        for (const SPicturePage& page : doc->Core().GetPages()) {
            if (!page.image->IsValid()) continue;
            pictures.push_back(CopyOf(page));
            if (!pictures.back().image->IsValid()) {
                QMessageBox::warning(app.MainFrame(), "Orvex",
                                     "Mémoire insuffisante pour assembler les images.");
                return;
            }
        }
    app.DocManager()->NewDocumentFrom(
        [&](CImageDocument& doc) { return StepAssemble(doc, std::move(pictures)); });
}

bool SeveralPictures(const COrvexApp& app) {
    int pictures = 0;
    for (const COrvexDoc* doc : app.DocManager()->Documents())
        if (doc->GetImage()->IsValid()) pictures += doc->Core().GetPageCount();
    return pictures > 1;
}

QList<SCommandRow> StackRows() {
    return RowsOf(
        CommandOwner::Application,
        QList<SApplicationCommand>{
            {cmd::ExtractPage,
             {"E&xtraire la page", "Crée un document de la page affichée", "Extraire la page"},
             HasStack,
             ExtractPage},
            {cmd::AssembleStack,
             {"&Assembler les images ouvertes en pile",
              "Crée une pile des images ouvertes, toutes d'une même taille et profondeur",
              "Assembler en pile"},
             SeveralPictures,
             Assemble},
            {cmd::Projection,
             {"Pro&jection...",
              "Crée une image du maximum, du minimum ou de la moyenne de chaque pixel à travers "
              "les pages",
              "Projection"},
             HasStack,
             Project},
        });
}

[[maybe_unused]] const bool added = (AddCommandRows(StackRows), true);

}  // namespace
