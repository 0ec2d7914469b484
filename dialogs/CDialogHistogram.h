#pragma once
// "Histogramme": the 256-bin histogram of a picture as black bars, drawn into
// a 286 x 165 off-screen picture whose pixels are the program's own (frame
// (10, 10)-(266, 100), bars truncated to 90 rows).
//
// In threshold mode the user picks a grey-level interval with the left button
// on the histogram. The bounds are held as x coordinates (grey level + 10)
// while the dialog runs; every settled interval is announced with
// thresholdPreview so the caller can paint it in the picture's colours. "OK"
// (exec returns 1) turns the bounds into grey levels, low <= high, to be
// thresholded inclusively; "Annuler" returns 0 and leaves the preview colours
// to the caller to remove.

#include <QDialog>
#include <QImage>
#include <array>
#include <cstdint>

class CImage;

class CDialogHistogram : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Display = 0, Threshold = 1 };

    static constexpr int kBitmapWidth = 286;
    static constexpr int kBitmapHeight = 165;
    // The histogram rectangle, corners inclusive.
    static constexpr int kLeft = 10, kTop = 10, kRight = 266, kBottom = 100;

    // Copies the bins of `image`, whose histogram has been generated.
    CDialogHistogram(const CImage& image, Mode mode, QWidget* parent = nullptr);

    // While the dialog runs: x coordinates; after "OK": grey levels.
    int Low() const { return low_; }
    int High() const { return high_; }
    // The off-screen drawing, as copied to the window.
    const QImage& Drawing() const { return bitmap_; }

    void accept() override;

public slots:
    // "Copier": the 256 counts as text, LEVEL<TAB>COUNT under a header.
    void Copy();

signals:
    // The grey levels low .. high - 1 are to be shown red (upper bound
    // exclusive); emitted when the dialog opens and after each click or drag.
    void thresholdPreview(int low, int high);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void BuildLayout();
    bool IsThresholdMode() const { return mode_ == Mode::Threshold; }
    static bool IsInsideHistogram(QPoint point);
    bool DrawHistogram();
    void InvertInterval();
    void DrawValues();
    void UpdateThreshold();

    QImage bitmap_;
    std::array<std::uint32_t, 256> counts_{};
    std::uint32_t maximum_ = 0;
    Mode mode_;
    bool draggingLow_ = false;
    bool dragging_ = false;
    int low_ = kLeft + 128;
    int high_ = kLeft + 255;
    bool previewShown_ = false;
};
