#include "PictureLossText.h"

#include <QStringList>

#include "SampleWindowText.h"

QString OpeningNote(const SPictureLosses& losses) {
    QStringList parts;
    if (losses.pages > 1) parts << QString("Page 1 / %1 ouverte").arg(losses.pages);
    if (losses.Deeper())
        parts << QString::fromStdString(SampleDepthWords(losses) + " ramenés à 8 bits : fenêtre " +
                                        WindowValues(losses));
    if (losses.alpha) parts << "Transparence ignorée";
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
    if (losses.colours)
        sentences
            << QString("Les couleurs de %1 seront remplacées par des niveaux de gris.").arg(name);
    return sentences.join("\n");
}
