// A stack in the desktop program: the question a processing command asks
// and its remembered answer, undo and Ctrl+S over every page, the "Pile"
// menu's commands with their history lines, a measurement per page, and the
// panes of one window each on a page of its own.

#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include "CChildFrame.h"
#include "CDialogProjection.h"
#include "CDocManager.h"
#include "CMainFrame.h"
#include "COrvexApp.h"
#include "CStatusBar.h"
#include "CommandIds.h"
#include "ImageDocument.h"
#include "tst_shell_support.h"
#include "tst_view_support.h"

namespace {

// Found from this file's place; first called before the shell moves the
// current folder, which a relative __FILE__ depends on.
QString StackFile() {
    static const QString path = QDir(QFileInfo(QStringLiteral(__FILE__)).absolutePath())
                                    .absoluteFilePath("../data/formats/tiff-grey8-3pages.tif");
    return path;
}

// Pixel (x, y) of every page.
QList<int> Levels(COrvexDoc& doc, int x, int y) {
    QList<int> levels;
    for (const SPicturePage& page : doc.Core().GetPages()) levels << LevelAt(*page.image, x, y);
    return levels;
}

QStringList LastHistoryLines(const COrvexDoc& doc, int count) {
    QStringList lines;
    for (const std::string& line : doc.Core().GetHistoryLines())
        lines << QString::fromStdString(line);
    return lines.mid(lines.size() - count);
}

// Answers "Appliquer à toutes les pages ?" with `button`, noting the default.
void AnswerPages(const QString& button, QString* offered) {
    Answer<QMessageBox>([=](QMessageBox& box) {
        QCOMPARE(box.text(), QString("Appliquer à toutes les pages ?"));
        *offered = box.defaultButton()->text();
        for (QAbstractButton* b : box.buttons())
            if (b->text() == button) b->click();
    });
}

}  // namespace

class TestStacks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        StackFile();
        shell_.InitTestCase();
    }
    void init() {
        QVERIFY((app_ = shell_.Start()));
        const QString copy = folder_.filePath("stack.tif");
        QFile::remove(copy);
        QVERIFY(QFile::copy(StackFile(), copy));
        QVERIFY((doc_ = app_->DocManager()->OpenDocument(copy)));
        view_ = app_->MainFrame()->ActiveChildFrame()->GetActiveView();
        view_->ShowPage(1);
        original_ = Levels(*doc_, 3, 2);
    }
    void cleanup() { shell_.Stop(); }

    void oneCommandOnThisPageOrEveryPage();
    void pileCommandsAndTheirHistoryLines();
    void measuredOnEveryPage();
    void pagesOfDifferingSizesOpenTheFirst();
    void panesShowPagesOfTheirOwn();

private:
    CShellApp shell_;
    COrvexApp* app_ = nullptr;
    COrvexDoc* doc_ = nullptr;
    COrvexView* view_ = nullptr;
    QList<int> original_;
    QTemporaryDir folder_;
};

void TestStacks::oneCommandOnThisPageOrEveryPage() {
    const QList<int>& o = original_;
    QString offered;
    // Cancelled: nothing happens.
    AnswerPages("Annuler", &offered);
    QVERIFY(doc_->OnCommand(cmd::Negative));
    QCOMPARE(Levels(*doc_, 3, 2), o);
    QVERIFY(!doc_->IsModified());
    QCOMPARE(offered, QString("Toutes les pages"));

    AnswerPages("Cette page", &offered);
    QVERIFY(doc_->OnCommand(cmd::Negative));
    QCOMPARE(Levels(*doc_, 3, 2), (QList<int>{o[0], 255 - o[1], o[2]}));
    QCOMPARE(LastHistoryLines(*doc_, 1), QStringList{"Inverse"});

    // The last answer is the next default.
    AnswerPages("Toutes les pages", &offered);
    QVERIFY(doc_->OnCommand(cmd::Negative));
    QCOMPARE(offered, QString("Cette page"));
    QCOMPARE(Levels(*doc_, 3, 2), (QList<int>{255 - o[0], o[1], 255 - o[2]}));
    QCOMPARE(LastHistoryLines(*doc_, 2), (QStringList{"Inverse", "Pages 1 à 3"}));

    // Undo goes back on every page; Ctrl+S writes every page, asking nothing.
    QVERIFY(view_->OnCommand(cmd::EditUndo));
    QCOMPARE(Levels(*doc_, 3, 2), (QList<int>{o[0], 255 - o[1], o[2]}));
    CBoxCatcher boxes;
    QVERIFY(app_->DocManager()->SaveDocument(doc_));
    QVERIFY(boxes.boxes.isEmpty());
    CImageDocument reread;
    QCOMPARE(reread.Open(QFile::encodeName(doc_->GetPathName()).toStdString(), {1, 0}),
             FileStatus::Ok);
    QCOMPARE(reread.GetPageCount(), 3);
    QCOMPARE(LevelAt(*reread.GetPages()[1].image, 3, 2), 255 - o[1]);
    QCOMPARE(LevelAt(*reread.GetPages()[2].image, 3, 2), o[2]);
}

void TestStacks::pileCommandsAndTheirHistoryLines() {
    const QList<int>& o = original_;
    // The page the view shows, as a new document.
    QVERIFY(app_->OnCommand(cmd::ExtractPage));
    COrvexDoc* extracted = app_->MainFrame()->ActiveDocument();
    QVERIFY(extracted != doc_);
    QCOMPARE(Levels(*extracted, 3, 2), QList<int>{o[1]});
    QCOMPARE(LastHistoryLines(*extracted, 1), QStringList{"Extraction de la page 2"});

    app_->MainFrame()->Activate(app_->MainFrame()->FramesOf(doc_).first());
    Answer<CDialogProjection>([](CDialogProjection& dialog) {
        dialog.SetKind(ProjectionKind::Mean);
        dialog.accept();
    });
    QVERIFY(app_->OnCommand(cmd::Projection));
    COrvexDoc* projected = app_->MainFrame()->ActiveDocument();
    QCOMPARE(projected->Core().GetPageCount(), 1);
    QCOMPARE(Levels(*projected, 3, 2), QList<int>{(2 * (o[0] + o[1] + o[2]) + 3) / 6});
    QCOMPARE(LastHistoryLines(*projected, 1), QStringList{"Projection moyenne"});

    doc_->Core().SetCurrentPage(1);
    QVERIFY(doc_->OnCommand(cmd::DeletePage));
    QCOMPARE(Levels(*doc_, 3, 2), (QList<int>{o[0], o[2]}));
    QCOMPARE(LastHistoryLines(*doc_, 1), QStringList{"Suppression de la page 2"});

    // Two pages, the extracted one and the projection: a stack of four.
    QVERIFY(app_->OnCommand(cmd::AssembleStack));
    COrvexDoc* assembled = app_->MainFrame()->ActiveDocument();
    QCOMPARE(assembled->Core().GetPageCount(), 4);
    QCOMPARE(Levels(*assembled, 3, 2).mid(0, 3), (QList<int>{o[0], o[2], o[1]}));
    QCOMPARE(LastHistoryLines(*assembled, 1), QStringList{"Pile de 4 images"});
    // Only a format of pages is offered for it.
    QVERIFY(!assembled->CanHold(*FormatNamed("PNG")));
    QVERIFY(assembled->CanHold(*FormatNamed("TIFF")));
}

void TestStacks::measuredOnEveryPage() {
    QList<int> pages;
    connect(doc_, &COrvexDoc::measured, this,
            [&pages](const CMeasureRow& row) { pages << row.page; });
    QString offered;
    AnswerPages("Toutes les pages", &offered);
    QVERIFY(doc_->OnCommand(cmd::Measure));
    QCOMPARE(pages, (QList<int>{1, 2, 3}));
    AnswerPages("Cette page", &offered);
    QVERIFY(doc_->OnCommand(cmd::Measure));
    QCOMPARE(pages, (QList<int>{1, 2, 3, 2}));
}

void TestStacks::pagesOfDifferingSizesOpenTheFirst() {
    std::vector<SPicturePage> pages(2);
    MakePicture(*pages[0].image, 6, 4, [](int x, int) { return x; });
    MakePicture(*pages[1].image, 5, 4, [](int x, int) { return x; });
    const QString path = folder_.filePath("differing.tif");
    std::string problem;
    QCOMPARE(SavePictureFile(pages, path.toStdString(), *FormatNamed("TIFF"), problem),
             FileStatus::Ok);
    COrvexDoc* doc = app_->DocManager()->OpenDocument(path);
    QVERIFY(doc);
    QCOMPARE(doc->Core().GetPageCount(), 1);
    QCOMPARE(app_->MainFrame()->StatusBar()->Prompt(),
             QString("Page 1 / 2 ouverte : pages de tailles ou de profondeurs différentes"));
}

// The panes of a split window page on their own; the active pane's page is
// the one the bar, the title and the next command ("Cette page") work on.
void TestStacks::panesShowPagesOfTheirOwn() {
    const QList<int>& o = original_;
    CChildFrame* frame = app_->MainFrame()->ActiveChildFrame();
    view_->ShowPage(0);
    frame->Split();
    COrvexView* corner = frame->ViewAt(1, 1);
    frame->ActivateNeighbour(-1);
    QVERIFY(corner->OnCommand(cmd::NextPage) && corner->OnCommand(cmd::NextPage));
    QCOMPARE(frame->ViewAt(0, 0)->Page(), 0);
    QCOMPARE(frame->PageSpinBox()->value(), 3);
    QString offered;
    AnswerPages("Cette page", &offered);
    QVERIFY(doc_->OnCommand(cmd::Negative));
    QCOMPARE(Levels(*doc_, 3, 2), (QList<int>{o[0], o[1], 255 - o[2]}));

    frame->ActivateNeighbour(1);
    QCOMPARE(frame->PageSpinBox()->value(), 1);
    AnswerPages("Cette page", &offered);
    QVERIFY(doc_->OnCommand(cmd::Negative));
    QCOMPARE(Levels(*doc_, 3, 2), (QList<int>{255 - o[0], o[1], 255 - o[2]}));
}

QTEST_MAIN(TestStacks)
#include "tst_stacks.moc"
