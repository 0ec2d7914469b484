#include "PictureLossText.h"

#include <QStringList>

#include "SampleWindowText.h"

QString OpeningNote(const SPictureLosses& losses, PictureFormat format, bool differingPages) {
    QStringList parts;
    // A GIF file's pages are its frames: images of an animation.
    const bool frames = QString(FormatName(format)) == "GIF";
    const QString page = frames ? "Image 1 / %1 ouverte" : "Page 1 / %1 ouverte";
    if (losses.pages > losses.pagesKept)
        parts << page.arg(losses.pages) +
                     (differingPages ? " : pages de tailles ou de profondeurs différentes" : "");
    else if (losses.pages > 1)
        parts << QString(frames ? "Pile de %1 images" : "Pile de %1 pages").arg(losses.pages);
    if (losses.Deeper())
        parts << QString::fromStdString(SampleDepthWords(losses) + " ramenés à 8 bits : fenêtre " +
                                        WindowValues(losses));
    if (losses.alpha) parts << "Transparence ignorée";
    if (losses.samples > 1) parts << QString("1 échantillon sur %1").arg(losses.samples);
    return parts.join(", ");
}

QString LossSentences(const SPictureLosses& losses, const QString& name) {
    QStringList sentences;
    if (losses.pages == 2)
        sentences << QString("La page 2 de %1 ne sera pas enregistrée.").arg(name);
    else if (losses.pages > 2)
        sentences << QString("Les pages 2 à %1 de %2 ne seront pas enregistrées.")
                         .arg(losses.pages)
                         .arg(name);
    if (losses.Deeper())
        sentences << QString("Les niveaux %1 de %2 seront remplacés par leur fenêtre 8 bits.")
                         .arg(QString::fromStdString(SampleDepthWords(losses)), name);
    if (losses.alpha)
        sentences << QString("La transparence de %1 ne sera pas enregistrée.").arg(name);
    if (losses.samples > 1)
        sentences << QString(
                         "Seul le premier des %1 échantillons de chaque pixel de %2 sera "
                         "enregistré.")
                         .arg(losses.samples)
                         .arg(name);
    if (losses.colours)
        sentences
            << QString("Les couleurs de %1 seront remplacées par des niveaux de gris.").arg(name);
    return sentences.join("\n");
}
