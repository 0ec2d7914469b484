#include "CResultsWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLayout>
#include <QLocale>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "AtomicFileWrite.h"
#include "Message.h"

namespace {

// A character for the separator the user's locale writes, "." when it needs more.
char LocaleDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? point.at(0).toLatin1() : '.';
}

// The titles on screen; a saved table keeps orvex-cli's column names. The
// long ones take two lines, so that the columns stay as narrow as their numbers.
QString ColumnTitle(const std::string& column) {
    static const QHash<QString, QString> titles = {{"file", "Fichier"},
                                                   {"page", "Page"},
                                                   {"step", "Mesure"},
                                                   {"width", "Largeur"},
                                                   {"height", "Hauteur"},
                                                   {"pixels", "Pixels"},
                                                   {"min", "Minimum"},
                                                   {"max", "Maximum"},
                                                   {"sum", "Somme"},
                                                   {"mean", "Moyenne"},
                                                   {"sd", "Écart-type"},
                                                   {"error", "Erreur"},
                                                   {"value_depth", "Profondeur"},
                                                   {"value_min", "Valeur\nmin."},
                                                   {"value_max", "Valeur\nmax."},
                                                   {"value_mean", "Valeur\nmoyenne"},
                                                   {"value_sd", "Valeur\nécart-type"},
                                                   {"value_nan", "NaN"}};
    const QString name = QString::fromStdString(column);
    return titles.value(name, name);
}

// A real number as the screen shows it: six significant digits in the
// user's locale. "Copier" and "Enregistrer..." give the exact number, which
// the cell's tooltip shows too.
QString ScreenReal(const QString& exact, char separator) {
    QString c = exact;
    c.replace(QChar(separator), QChar('.'));
    bool ok = false;
    const double value = c.toDouble(&ok);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);  // as the integer columns
    return ok ? locale.toString(value, 'g', 6) : exact;
}

}  // namespace

CResultsWindow::CResultsWindow(QWidget* parent) : QDockWidget("Résultats", parent) {
    setObjectName("results");
    auto* body = new QWidget(this);
    QStringList columns;
    for (const std::string& column : MeasureColumns()) columns << ColumnTitle(column);
    table_ = new QTableWidget(0, columns.size(), body);
    table_->setHorizontalHeaderLabels(columns);
    // A measurement of the desktop never fails: no room for the reason.
    table_->setColumnHidden(columns.size() - 1, MeasureColumns().back() == "error");
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    auto* copy = new QPushButton("Copier", body);
    auto* save = new QPushButton("Enregistrer...", body);
    auto* clear = new QPushButton("Effacer", body);
    connect(copy, &QPushButton::clicked, this, &CResultsWindow::Copy);
    connect(save, &QPushButton::clicked, this, &CResultsWindow::Save);
    connect(clear, &QPushButton::clicked, this, &CResultsWindow::Clear);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addWidget(clear);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(table_);
    layout->addLayout(buttons);
    setWidget(body);
    connect(this, &QDockWidget::dockLocationChanged, this, &CResultsWindow::RememberPlace);
    connect(this, &QDockWidget::topLevelChanged, this, &CResultsWindow::RememberPlace);
}

void CResultsWindow::AddRow(const CMeasureRow& row) {
    rows_.push_back(row);
    unsaved_ = true;
    // The cells show the numbers as "Copier" gives them.
    const char separator = LocaleDecimalSeparator();
    const CMeasureTable table(TableFormat::Tsv, false, separator);
    const std::vector<std::string> cells = table.Cells(row);
    const int r = table_->rowCount();
    table_->insertRow(r);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
        const QString exact = QString::fromStdString(cells[c]);
        auto* item = new QTableWidgetItem(exact);
        if (table.IsReal(static_cast<std::size_t>(c)) && !exact.isEmpty()) {
            item->setText(ScreenReal(exact, separator));
            if (item->text() != exact) item->setToolTip(exact);
        }
        if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(r, c, item);
    }
    // The file's name, the whole path on hovering.
    const QString path = QFile::decodeName(row.file.c_str());
    table_->item(r, 0)->setText(QFileInfo(path).fileName());
    table_->item(r, 0)->setToolTip(path);
    table_->scrollToBottom();
    show();
    raise();
}

QString CResultsWindow::CopyText() const {
    std::set<int> selected;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        selected.insert(index.row());
    std::vector<CMeasureRow> rows;
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r)
        if (selected.empty() || selected.count(r) != 0) rows.push_back(rows_[r]);
    const CMeasureTable table(TableFormat::Tsv, false, LocaleDecimalSeparator());
    return QString::fromStdString(table.Text(rows));
}

void CResultsWindow::Copy() { QApplication::clipboard()->setText(CopyText()); }

bool CResultsWindow::SaveTo(const QString& path) {
    const std::string name = QFile::encodeName(path).toStdString();
    const CMeasureTable table(TableFormatFromPath(name) == TableFormat::Tsv ? TableFormat::Tsv
                                                                            : TableFormat::Csv);
    const std::string text = table.Text(rows_);
    const AtomicWriteResult result = WriteFileAtomically(
        name, [&](CByteStream& out) { return out.Write(text.data(), text.size()); });
    if (result != AtomicWriteResult::Ok) {
        ShowMessage("Ecriture de fichier impossible");
        return false;
    }
    unsaved_ = false;
    return true;
}

bool CResultsWindow::Save() {
    QFileDialog dialog(QApplication::activeWindow(), "Enregistrer les résultats", "resultats.csv",
                       "Tableau CSV (*.csv);;Tableau TSV (*.tsv)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("csv");
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.contains("tsv") ? "tsv" : "csv");
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    return SaveTo(dialog.selectedFiles().first());
}

void CResultsWindow::Clear() {
    rows_.clear();
    table_->setRowCount(0);
    unsaved_ = false;
}

bool CResultsWindow::AskToSave() {
    if (!unsaved_) return true;
    const auto answer = QMessageBox::question(
        parentWidget(), "Orvex", "Enregistrer les résultats des mesures?",
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Cancel) return false;
    return answer == QMessageBox::No || Save();
}

// The width its columns need, or the one the user left it at; never wider
// than most of the main window. Docked under the documents, it spans the
// main window and takes the height of a few rows.
void CResultsWindow::FitWidth() {
    shownOnce_ = true;
    auto* frame = qobject_cast<QMainWindow*>(parentWidget());
    if (frame == nullptr) return;
    table_->resizeColumnsToContents();
    const QMargins margins = widget()->layout()->contentsMargins();
    int width = 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width() + 8 +
                margins.left() + margins.right();
    for (int c = 0; c < table_->columnCount(); ++c)
        if (!table_->isColumnHidden(c)) width += table_->columnWidth(c);
    const QSettings settings;
    if (isFloating()) {
        if (settings.value("Settings/ResultsGeometry").toByteArray().isEmpty())
            resize(width, std::max(height(), 240));
        return;
    }
    const Qt::DockWidgetArea area = frame->dockWidgetArea(this);
    if (area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea) {
        constexpr int kRowsShown = 5;
        int rows = table_->horizontalHeader()->sizeHint().height() + 2 * table_->frameWidth() +
                   kRowsShown * table_->verticalHeader()->defaultSectionSize() +
                   table_->horizontalScrollBar()->sizeHint().height();
        rows += widget()->layout()->spacing() + margins.top() + margins.bottom() +
                widget()->layout()->itemAt(1)->sizeHint().height();
        const int kept = settings.value("Settings/ResultsHeight", 0).toInt();
        frame->resizeDocks({this}, {std::min(kept > 0 ? kept : rows, frame->height() / 2)},
                           Qt::Vertical);
        return;
    }
    const int kept = settings.value("Settings/ResultsWidth", 0).toInt();
    if (kept > 0) width = kept;
    frame->resizeDocks({this}, {std::min(width, frame->width() * 3 / 4)}, Qt::Horizontal);
}

void CResultsWindow::RememberPlace() {
    auto* frame = qobject_cast<QMainWindow*>(parentWidget());
    if (frame == nullptr || !isVisible()) return;
    QSettings settings;
    settings.setValue("Settings/ResultsArea", static_cast<int>(frame->dockWidgetArea(this)));
    settings.setValue("Settings/ResultsFloating", isFloating());
    if (isFloating())
        settings.setValue("Settings/ResultsGeometry", saveGeometry());
    else if (shownOnce_ && (frame->dockWidgetArea(this) == Qt::TopDockWidgetArea ||
                            frame->dockWidgetArea(this) == Qt::BottomDockWidgetArea))
        settings.setValue("Settings/ResultsHeight", height());
    else if (shownOnce_)
        settings.setValue("Settings/ResultsWidth", width());
}

void CResultsWindow::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    if (!shownOnce_) QTimer::singleShot(0, this, &CResultsWindow::FitWidth);
}

void CResultsWindow::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    if (shownOnce_) RememberPlace();
}

void CResultsWindow::RestorePlace() {
    auto* frame = qobject_cast<QMainWindow*>(parentWidget());
    if (frame == nullptr) return;
    const QSettings settings;
    const int area =
        settings.value("Settings/ResultsArea", static_cast<int>(Qt::BottomDockWidgetArea)).toInt();
    const bool floating = settings.value("Settings/ResultsFloating", false).toBool();
    const QByteArray geometry = settings.value("Settings/ResultsGeometry").toByteArray();
    const bool known = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea ||
                       area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    frame->addDockWidget(known ? static_cast<Qt::DockWidgetArea>(area) : Qt::BottomDockWidgetArea,
                         this);
    hide();
    if (floating) {
        setFloating(true);
        restoreGeometry(geometry);
    }
}
