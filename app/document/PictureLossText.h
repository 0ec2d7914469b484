#pragma once
// What a document's file held that Orvex does not keep, in the user's words:
// the status-bar note at opening and the sentences of the question asked
// before that file is written over.

#include <QString>

#include "PictureFormat.h"
#include "PictureLosses.h"

// "Page 1 / 3 ouverte" ("Image 1 / 3" for a GIF's frames), "16 bits ramenés à 8 bits : fenêtre
// 1000..5000", several joined by ", "; empty when the picture is the whole file.
QString OpeningNote(const SPictureLosses& losses, PictureFormat format);

// What writing over the file `name` would lose, one sentence a line
// ("Les pages 2 à 3 de NAME ne seront pas enregistrées."); empty when
// nothing would be. JPEG's coding is no loss here: what is written over the
// file is the picture as it is, in a format that keeps it.
QString LossSentences(const SPictureLosses& losses, const QString& name);

class CImage;
// Why the picture was not written at `path` in `format` (other than BMP),
// with what would make it fit.
QString RefusedSaveText(const CImage& image, PictureFormat format, const QString& path);
