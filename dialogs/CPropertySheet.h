#pragma once
// A tabbed dialog of property pages with "OK" and "Annuler". The pages are
// filled from their values each time the sheet opens; a page whose fields do
// not check out cannot be left and does not let the sheet close with "OK".
// "Annuler" leaves the values as they were. exec returns 1 for "OK".

#include <QDialog>

class CPropertyPage;
class QTabWidget;

class CPropertySheet : public QDialog {
    Q_OBJECT
public:
    CPropertySheet(const QString& caption, QWidget* parent = nullptr);

    // The page shown when the sheet opens.
    void SetActivePage(int index);
    int ActivePage() const;
    QTabWidget* Tabs() const { return tabs_; }

    int exec() override;
    void accept() override;

protected:
    // The sheet does not own the page.
    void AddPage(CPropertyPage* page);

private:
    void OnTabChanged(int index);

    QTabWidget* tabs_ = nullptr;
    int shownTab_ = 0;
    bool reverting_ = false;
};
