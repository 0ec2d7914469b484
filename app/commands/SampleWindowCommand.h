#pragma once
// "Image" > "&Fenêtre...": the window over the file's values, previewed in
// every view of the document while the dialog runs and applied by
// StepWindow (history line, undo copy, recipe entry). "Annuler" leaves the
// picture as it was.

class COrvexDoc;

void SampleWindow(COrvexDoc& doc);
