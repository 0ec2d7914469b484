#pragma once
// What a document's file held that Orvex does not keep, in the user's words:
// the status-bar note at opening and the sentences of the question asked
// before that file is written over.

#include <QString>

#include "PictureFormat.h"
#include "PictureLosses.h"

// "Pile de 3 pages" ("Pile de 3 images" for a GIF's frames) for a stack opened
// whole, "Page 1 / 3 ouverte" when only the first page was (with why when
// `differingPages`: pages of differing sizes), "16 bits ramenés à 8 bits :
// fenêtre 1000..5000", several joined by ", "; empty for a plain picture.
QString OpeningNote(const SPictureLosses& losses, PictureFormat format,
                    bool differingPages = false);

// What writing over the file `name` would lose, one sentence a line
// ("Les pages 2 à 3 de NAME ne seront pas enregistrées."); empty when
// nothing would be. JPEG's coding is no loss here: what is written over the
// file is the picture as it is, in a format that keeps it.
QString LossSentences(const SPictureLosses& losses, const QString& name);

class CImage;
// Why the picture was not written at `path` in `format` (other than BMP),
// with what would make it fit.
QString RefusedSaveText(const CImage& image, PictureFormat format, const QString& path);
