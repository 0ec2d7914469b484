// "Image" > "Fenêtre..." on a 12-bit picture: the window's ends dragged,
// typed and chosen, previewed in the picture, cancelled, applied and undone.

#include <QLineEdit>

#include "CDialogSampleWindow.h"
#include "CSampleWindowPlot.h"
#include "CommandIds.h"
#include "tst_view_support.h"

namespace {

// A 1000 x 1 PGM file of maximum 4095 (12 bits) holding 0, 4, 8, ... 3996.
QString WriteTwelveBitPgm(const QTemporaryDir& folder) {
    QByteArray bytes = "P5\n1000 1\n4095\n";
    for (int i = 0; i < 1000; ++i) bytes.append(char((4 * i) >> 8)).append(char((4 * i) & 0xFF));
    const QString path = folder.filePath("deep.pgm");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
    return path;
}

QByteArray Levels(CImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.GetBits(image.Lock())),
                      CImage::GetWidthBytes(image.GetWidth()) * image.GetHeight());
}

int LevelAt(const QByteArray& levels, int x) { return static_cast<std::uint8_t>(levels.at(x)); }

}  // namespace

class TestSampleWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cancelAfterPreviewLeavesThePictureAsItWas();
    void saturatedWindowAppliesAndUndoes();

private:
    QTemporaryDir folder_;
    std::unique_ptr<COrvexDoc> doc_;
    std::unique_ptr<COrvexView> view_;
};

void TestSampleWindow::init() {
    view_.reset();
    doc_ = std::make_unique<COrvexDoc>();
    QVERIFY(doc_->OnOpenDocument(WriteTwelveBitPgm(folder_)));
    QVERIFY(doc_->Core().GetSamples() != nullptr);
    view_ = std::make_unique<COrvexView>(doc_.get());
    QCOMPARE(doc_->IsCommandEnabled(cmd::SampleWindow), std::optional<bool>(true));
}

void TestSampleWindow::cancelAfterPreviewLeavesThePictureAsItWas() {
    const QByteArray before = Levels(*doc_->GetImage());
    const QString history = doc_->GetHistory();
    QByteArray previewed;
    Answer<CDialogSampleWindow>([&](CDialogSampleWindow& dialog) {
        // The low mark dragged to the middle of the plot.
        CSampleWindowPlot* plot = dialog.Plot();
        const int middle = plot->XOf(2000);
        QTest::mousePress(plot, Qt::LeftButton, {}, {plot->XOf(0), plot->height() / 2});
        QTest::mouseMove(plot, {middle, plot->height() / 2});
        QTest::mouseRelease(plot, Qt::LeftButton, {}, {middle, plot->height() / 2});
        QCOMPARE(dialog.Low(), plot->ValueAt(middle));
        QCOMPARE(dialog.findChild<QLineEdit*>("Low")->text(),
                 QString::number(plot->ValueAt(middle)));
        previewed = Levels(*doc_->GetImage());
        Press(&dialog, "Annuler");
    });
    doc_->OnCommand(cmd::SampleWindow);
    QVERIFY(!previewed.isEmpty() && previewed != before);
    QCOMPARE(LevelAt(previewed, 0), 0);      // value 0, below the low end
    QCOMPARE(LevelAt(previewed, 999), 255);  // the greatest value, the high end
    QCOMPARE(Levels(*doc_->GetImage()), before);
    QCOMPARE(doc_->GetHistory(), history);
    QVERIFY(!doc_->IsModified());
}

// Saturé 0,35 % over 0, 4, ... 3996: numpy.percentile(v, 0.35, method='lower')
// is v[3] = 12, numpy.percentile(v, 99.65, method='higher') is v[996] = 3984.
void TestSampleWindow::saturatedWindowAppliesAndUndoes() {
    const QByteArray before = Levels(*doc_->GetImage());
    const auto opened = doc_->Core().GetWindow();
    Answer<CDialogSampleWindow>([](CDialogSampleWindow& dialog) {
        Press(&dialog, "Saturé 0,35 %");
        QCOMPARE(dialog.findChild<QLineEdit*>("Low")->text(), QString("12"));
        QCOMPARE(dialog.findChild<QLineEdit*>("High")->text(), QString("3984"));
        Press(&dialog, "Appliquer");
    });
    doc_->OnCommand(cmd::SampleWindow);
    QCOMPARE(doc_->Core().GetHistoryLines().back(),
             std::string("Image 12 bits : fenêtre 12..3984"));
    QVERIFY(doc_->IsModified());
    const QByteArray applied = Levels(*doc_->GetImage());
    QCOMPARE(LevelAt(applied, 3), 0);
    QCOMPARE(LevelAt(applied, 996), 255);
    QVERIFY(LevelAt(applied, 10) > 0 && LevelAt(applied, 990) < 255);
    QCOMPARE(doc_->Core().GetWindow(), std::optional(std::pair(12.0, 3984.0)));

    view_->OnCommand(cmd::EditUndo);
    QCOMPARE(Levels(*doc_->GetImage()), before);
    QCOMPARE(doc_->Core().GetWindow(), opened);
}

QTEST_MAIN(TestSampleWindow)
#include "tst_samplewindow.moc"
