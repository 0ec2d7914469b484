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

// The titles on screen; a saved table keeps orvex-cli's column names.
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
                                                   {"sd", "Ecart-type"},
                                                   {"error", "Erreur"},
                                                   {"value_depth", "Profondeur"},
                                                   {"value_min", "Valeur min."},
                                                   {"value_max", "Valeur max."},
                                                   {"value_mean", "Valeur moyenne"},
                                                   {"value_sd", "Valeur écart-type"},
                                                   {"value_nan", "NaN"}};
    const QString name = QString::fromStdString(column);
    return titles.value(name, name);
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
    const CMeasureTable table(TableFormat::Tsv, false, LocaleDecimalSeparator());
    const std::vector<std::string> cells = table.Cells(row);
    const int r = table_->rowCount();
    table_->insertRow(r);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
        auto* item = new QTableWidgetItem(QString::fromStdString(cells[c]));
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
// than most of the main window.
void CResultsWindow::FitWidth() {
    shownOnce_ = true;
    auto* frame = qobject_cast<QMainWindow*>(parentWidget());
    if (frame == nullptr) return;
    table_->resizeColumnsToContents();
    int width = table_->verticalHeader()->width() + 2 * table_->frameWidth() +
                table_->verticalScrollBar()->sizeHint().width() + 8;
    for (int c = 0; c < table_->columnCount(); ++c)
        if (!table_->isColumnHidden(c)) width += table_->columnWidth(c);
    width += widget()->layout()->contentsMargins().left() +
             widget()->layout()->contentsMargins().right();
    const QSettings settings;
    if (isFloating()) {
        if (settings.value("Settings/ResultsGeometry").toByteArray().isEmpty())
            resize(width, std::max(height(), 240));
        return;
    }
    const int kept = settings.value("Settings/ResultsWidth", 0).toInt();
    if (kept > 0) width = kept;
    width = std::min(width, frame->width() * 3 / 4);
    const Qt::Orientation across = frame->dockWidgetArea(this) == Qt::TopDockWidgetArea ||
                                           frame->dockWidgetArea(this) == Qt::BottomDockWidgetArea
                                       ? Qt::Vertical
                                       : Qt::Horizontal;
    if (across == Qt::Horizontal) frame->resizeDocks({this}, {width}, across);
}

void CResultsWindow::RememberPlace() {
    auto* frame = qobject_cast<QMainWindow*>(parentWidget());
    if (frame == nullptr || !isVisible()) return;
    QSettings settings;
    settings.setValue("Settings/ResultsArea", static_cast<int>(frame->dockWidgetArea(this)));
    settings.setValue("Settings/ResultsFloating", isFloating());
    if (isFloating())
        settings.setValue("Settings/ResultsGeometry", saveGeometry());
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
        settings.value("Settings/ResultsArea", static_cast<int>(Qt::RightDockWidgetArea)).toInt();
    const bool floating = settings.value("Settings/ResultsFloating", false).toBool();
    const QByteArray geometry = settings.value("Settings/ResultsGeometry").toByteArray();
    const bool known = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea ||
                       area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    frame->addDockWidget(known ? static_cast<Qt::DockWidgetArea>(area) : Qt::RightDockWidgetArea,
                         this);
    hide();
    if (floating) {
        setFloating(true);
        restoreGeometry(geometry);
    }
}
