#pragma once
// "Filtres": the user picks a predefined kernel in a tree of families and
// sees its coefficients and description, or picks "Personalisé" and types a
// kernel of his own. "Appliquer" returns 1 and leaves the kernel in Mask();
// "Annuler", Escape and the close box return 0.
//
// Before any choice the kernel is 7 x 7 zeros. A tree item that is no kernel
// (a family, a size) leaves the last kernel in place.

#include <QDialog>
#include <memory>

#include "Mask.h"

class CKernelGrid;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

class CDialogFilterBrowser : public QDialog {
    Q_OBJECT
public:
    explicit CDialogFilterBrowser(QWidget* parent = nullptr);
    ~CDialogFilterBrowser() override;

    const CMask& Mask() const { return mask_; }
    bool IsCustomMode() const { return customMode_; }
    int DisplayedSize() const { return displayedSize_; }
    QMenu* ContextMenu() const { return contextMenu_; }

    // Reads every cell back and closes with 1; an invalid cell keeps the
    // dialog open with the focus on it.
    void accept() override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BuildControls();
    void OnSelectionChanged();
    void ShowMask();
    void ShowSize(int size);
    void ClearMask();
    void OpenContextMenuAtCorner();

    CMask mask_;
    bool customMode_ = false;
    int displayedSize_ = 7;
    std::unique_ptr<CKernelGrid> grid_;
    QTreeWidget* tree_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    QPushButton* sizeButtons_[3] = {};
    QPushButton* clearButton_ = nullptr;
    QMenu* contextMenu_ = nullptr;
};
