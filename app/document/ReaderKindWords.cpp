#include "ReaderKindWords.h"

#include <QRegularExpression>
#include <utility>

QString FrenchKindWords(const QString& kind) {
    static const std::pair<const char*, const char*> kWords[] = {
        {"^CMYK colours$", "couleurs CMJN"},
        {"^CMYK or YCCK colours$", "couleurs CMJN ou YCCK"},
        {"^Lab colours$", "couleurs Lab"},
        {"^old-style JPEG compression$", "ancienne compression JPEG"},
        {"^compression (\\d+)$", "compression \\1"},
        {"^samples stored in separate planes$", "échantillons rangés en plans séparés"},
        {"^complex samples$", "échantillons complexes"},
        {"^(\\d+)-bit samples$", "échantillons de \\1 bits"},
        {"^(\\d+) samples a pixel$", "\\1 échantillons par pixel"},
        {"^photometric interpretation (\\d+), (\\d+) x (\\d+)-bit samples$",
         "interprétation photométrique \\1, \\2 échantillons de \\3 bits"},
        {"^photometric interpretation (\\d+), (\\d+) x (\\d+)-bit signed samples$",
         "interprétation photométrique \\1, \\2 échantillons signés de \\3 bits"},
        {"^photometric interpretation (\\d+), (\\d+) x (\\d+)-bit floating-point samples$",
         "interprétation photométrique \\1, \\2 échantillons flottants de \\3 bits"},
    };
    for (const auto& [english, french] : kWords) {
        const QRegularExpression pattern(QString::fromUtf8(english));
        if (const QRegularExpressionMatch match = pattern.match(kind); match.hasMatch()) {
            QString words = QString::fromUtf8(french);
            for (int i = match.lastCapturedIndex(); i >= 1; --i)
                words.replace(QString("\\%1").arg(i), match.captured(i));
            return words;
        }
    }
    return kind;
}
