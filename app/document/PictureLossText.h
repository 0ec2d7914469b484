#pragma once
// What a document's file held that Orvex does not keep, in the user's words:
// the status-bar note at opening and the sentences of the question asked
// before that file is written over.

#include <QString>

#include "PictureLosses.h"

// "Page 1 / 3 ouverte", "16 bits ramenés à 8 bits : fenêtre 1000..5000",
// several joined by ", "; empty when the picture is the whole file.
QString OpeningNote(const SPictureLosses& losses);

// What writing over the file `name` would lose, one sentence a line
// ("Les pages 2 à 3 de NAME ne seront pas enregistrées."); empty when
// nothing would be. JPEG's coding is no loss here: what is written over the
// file is the picture as it is, in a format that keeps it.
QString LossSentences(const SPictureLosses& losses, const QString& name);
