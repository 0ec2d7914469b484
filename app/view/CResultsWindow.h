#pragma once
// "Résultats": the rows of "&Mesurer", one window per program, docked under
// the documents at first. Rows stay when their document closes. "Copier"
// gives the selected rows (or all) as TSV with the user's decimal separator,
// exact, for a spreadsheet; "Enregistrer..." writes CSV or TSV with "."
// through the complete-or-nothing write, the very bytes orvex-cli writes for
// the same rows; "Effacer" empties the table. The columns are sized to their
// contents, titled in French, real numbers shown with six digits (the exact
// one as a tooltip); the file column shows the file's name, its path as a
// tooltip. The window first opens large enough for every column; where it
// stands and its size are kept in the settings.

#include <QDockWidget>
#include <vector>

#include "MeasureTable.h"

class QTableWidget;

class CResultsWindow : public QDockWidget {
    Q_OBJECT
public:
    explicit CResultsWindow(QWidget* parent = nullptr);

    // Adds a row at the end and shows the window.
    void AddRow(const CMeasureRow& row);
    const std::vector<CMeasureRow>& Rows() const { return rows_; }
    bool HasUnsavedRows() const { return unsaved_; }
    // Puts the window where the settings say it was (call once docked).
    void RestorePlace();

    // What "Copier" puts on the clipboard.
    QString CopyText() const;
    // Writes the table to `path`, CSV unless the name ends in .tsv; false
    // with the engine's message when it cannot be written.
    bool SaveTo(const QString& path);
    // Before the program quits: asks whether to save rows not saved yet;
    // false when the user stays.
    bool AskToSave();

public slots:
    void Copy();
    bool Save();
    void Clear();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RememberPlace();
    void FitWidth();

    QTableWidget* table_;
    std::vector<CMeasureRow> rows_;
    bool unsaved_ = false;
    bool shownOnce_ = false;  // its width is the user's from then on
};
