#include "PictureLossText.h"

#include <QStringList>

QString OpeningNote(const SPictureLosses& losses) {
    QStringList parts;
    if (losses.pages > 1) parts << QString("Page 1 / %1 ouverte").arg(losses.pages);
    if (losses.sampleBits > 8)
        parts << QString("%1 bits ramenés à 8 bits : fenêtre %2..%3")
                     .arg(losses.sampleBits)
                     .arg(losses.windowLow)
                     .arg(losses.windowHigh);
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
    if (losses.sampleBits > 8)
        sentences << QString("Les niveaux %1 bits de %2 seront remplacés par leur fenêtre 8 bits.")
                         .arg(losses.sampleBits)
                         .arg(name);
    if (losses.alpha)
        sentences << QString("La transparence de %1 ne sera pas enregistrée.").arg(name);
    if (losses.colours)
        sentences
            << QString("Les couleurs de %1 seront remplacées par des niveaux de gris.").arg(name);
    return sentences.join("\n");
}
