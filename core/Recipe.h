#pragma once
// The document's recipe: the orvex-cli operations that repeat its processing,
// one per step, in order. Exported as a text file (one operation a line, #
// comments) that `orvex-cli --recipe` replays on other pictures; palettes from
// the palette editor go to palette files written beside it.

#include <string>
#include <vector>

#include "Image.h"
#include "RecipeOperation.h"

class CRecipe {
public:
    struct Entry {
        CRecipeOperation operation;
        bool done = true;                  // false: the step failed on this picture
        std::vector<std::string> history;  // the history lines the step added
        bool roiIsWhole = true;            // the region of interest when the step ran ...
        CRect roi{};                       // ... in displayed coordinates
        // The pages of a stack it ran on: 0 every page, K the page numbered
        // K; -1 for a document of one page.
        int page = -1;
    };

    // The text of the recipe file and the palette files it names.
    struct Text {
        std::string recipe;
        std::vector<std::pair<std::string, CPaletteColors>> palettes;  // file name, colours
    };

    void Add(Entry entry) { entries_.push_back(std::move(entry)); }
    const std::vector<Entry>& GetEntries() const { return entries_; }

    // The measurements made so far: done steps that add a row to the table
    // (--measure, --measure-histogram).
    int Measurements() const;
    // True when at least one step would be repeated by the exported recipe.
    bool HasReplayableStep() const;
    // True when a step cannot be repeated on another picture (the recipe then
    // says so, and orvex-cli refuses it).
    bool HasUnreplayableStep() const;

    // The recipe, its palette files named `paletteStem`-1.pal, -2.pal, ...
    Text Format(const std::string& paletteStem) const;
    // Writes the recipe to `path` and its palette files beside it;
    // "Ecriture de fichier impossible" and false when a file cannot be written.
    bool Write(const std::string& path) const;

private:
    std::vector<Entry> entries_;
};
