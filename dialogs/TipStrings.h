#pragma once
// The texts of the tip of the day.

inline constexpr const char* kTipHeading = "Le saviez vous...";
inline constexpr const char* kTipFileMissing =
    "Le fichier Orvex.tip n'existe pas dans le dossier courant";
inline constexpr const char* kTipReadError = "Erreur pendant la lecture du fichier Orvex.tip";
inline constexpr const char* kTipFileName = "Orvex.tip";
