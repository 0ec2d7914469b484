#pragma once
// "Résultats": the rows of "&Mesurer", one window per program, docked beside
// the documents. Rows stay when their document closes. "Copier" gives the
// selected rows (or all) as TSV with the user's decimal separator, for a
// spreadsheet; "Enregistrer..." writes CSV or TSV with "." through the
// complete-or-nothing write, the very bytes orvex-cli writes for the same
// rows; "Effacer" empties the table. Where the window stands is kept in the
// settings.

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

private:
    void RememberPlace();

    QTableWidget* table_;
    std::vector<CMeasureRow> rows_;
    bool unsaved_ = false;
};
