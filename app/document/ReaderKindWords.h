#pragma once
// The kinds of picture a reader does not open, as it names them in English
// ("CMYK colours"), in the desktop's French words ("couleurs CMJN"). A kind
// with no French words here stays as the reader named it.

#include <QString>

QString FrenchKindWords(const QString& kind);
