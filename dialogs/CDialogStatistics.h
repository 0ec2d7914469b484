#pragma once
// "Statistiques": the six measurements of the picture, read once when the
// dialog is made, in read-only fields. "Fermer" closes it.

#include <QDialog>

#include "ImageStatistics.h"

class CImage;

class CDialogStatistics : public QDialog {
    Q_OBJECT
public:
    explicit CDialogStatistics(CImage& image, QWidget* parent = nullptr);

    const CImageStatistics& Statistics() const { return statistics_; }

private:
    void AddField(const char* label, const std::string& text, int x, int y);

    CImageStatistics statistics_;
};
