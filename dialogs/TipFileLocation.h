#pragma once
// Where the tips file is found: "Orvex.tip" in the current folder first, as
// always; then beside the program (the build folder); then in the data
// folder of an installed program, "<prefix>/share/orvex" next to
// "<prefix>/bin", and in the desktop's data folders ("orvex/Orvex.tip" under
// $XDG_DATA_HOME and $XDG_DATA_DIRS). When none exists, the current folder's
// name, so the message about the missing file stays the one the user knows.

#include <QString>

QString FindTipFile();
