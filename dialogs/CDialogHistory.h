#pragma once
// "Historique": a read-only copy of the document's history, taken when the
// dialog is made, which the user can select and copy. "OK" closes it.

#include <QDialog>
#include <string>

class QPlainTextEdit;

class CDialogHistory : public QDialog {
    Q_OBJECT
public:
    // `history`: one line per step, each ended by CR LF.
    explicit CDialogHistory(const std::string& history, QWidget* parent = nullptr);

    QString HistoryText() const;

private:
    QPlainTextEdit* text_ = nullptr;
};
