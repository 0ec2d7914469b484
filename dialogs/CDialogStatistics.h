#pragma once
// "Statistiques": the six measurements of the picture, read once when the
// dialog is made, in read-only fields; beside them, while the file's own
// samples are kept, "Valeurs du fichier": their exact figures. "Fermer"
// closes it.

#include <QDialog>
#include <optional>

#include "ImageStatistics.h"
#include "ValueStatistics.h"

class CImage;

class CDialogStatistics : public QDialog {
    Q_OBJECT
public:
    explicit CDialogStatistics(CImage& image, QWidget* parent = nullptr,
                               const std::optional<SValueStatistics>& values = std::nullopt);

    const CImageStatistics& Statistics() const { return statistics_; }

private:
    void AddField(const char* label, const std::string& text, int x, int y, int height = 15,
                  const QString& name = {});
    void AddValues(const SValueStatistics& values);

    CImageStatistics statistics_;
};
