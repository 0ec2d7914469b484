#pragma once
// Texts of the status bar's clock panes. English names whatever the user's
// locale, as the panes have always shown them.

#include <QDateTime>
#include <QString>

// "%A, %d, %B %y ": "Monday, 07, December 26 ".
QString FormatDatePane(const QDateTime& when);

// "%I:%M  " then "PM", or "AM " before noon: "03:07  PM", "09:15  AM ".
QString FormatTimePane(const QDateTime& when);
