#pragma once
// One tab of a property sheet. Its values live in the page object and
// outlast the sheet's window: ShowValues puts them into the fields when the
// sheet opens, SaveValues reads the fields back, checked, when the user
// leaves the tab or confirms the sheet.

#include <QWidget>

class CPropertyPage : public QWidget {
    Q_OBJECT
public:
    // `title` is the tab's text.
    explicit CPropertyPage(const QString& title, QWidget* parent = nullptr);

    QString Title() const { return title_; }

    virtual void ShowValues() = 0;
    // False, with the fault shown and the focus on its field, when a field
    // does not hold an acceptable value; the values are then unchanged.
    virtual bool SaveValues() = 0;

private:
    QString title_;
};
