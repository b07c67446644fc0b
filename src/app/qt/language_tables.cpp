#include "app/qt/language_tables.h"

namespace tovasel {

namespace {

constexpr TLanguageTexts kEnglish{
    "Log output :",
    "Number of frames :",
    "Height :",
    "Width :",
    "File Name :",
    "Convert",
    "Optimize",
    "Merge",
    "Crop",
    "Limit to x frames",
    "FLC files (*.flc)|*.flc|FLI files (*.fli)|*.fli|All (*.*)|*.*",
    "Gif files (*.gif)|*.gif|All (*.*)|*.*",
    "&File",
    "&Open fli/flc",
    "&Exit",
    "&Convert",
    "C&onvert file",
    "&Directory batch",
    "&Help",
    "&Manual",
    "About ...",
    "Smallest GIF (lossless)",
    "Exact colours",
    "Exact timing",
};

constexpr TLanguageTexts kFrench{
    "Fenêtre de résultat :",
    "Nombres de frames :",
    "Hauteur :",
    "Largeur :",
    "Nom du fichier",
    "Conversion",
    "Optimisation",
    "Fusionne",
    "Réduire",
    "Limite à x frames :",
    "Fichiers FLC (*.flc)|*.flc|Fichiers FLI (*.fli)|*.fli|Tous (*.*)|*.*",
    "Fichiers Gif (*.gif)|*.gif|Tous (*.*)|*.*",
    "&Fichier",
    "&Ouvrir Fli/Flc",
    "&Quitter",
    "&Conversion",
    "C&onvertir fichier",
    "&Batch répertoire",
    "&Aide",
    "&Manuel",
    "A &propos de ...",
    "GIF le plus petit (sans perte)",
    "Couleurs exactes",
    "Durées exactes",
};

}  // namespace

const TLanguageTexts& LanguageTexts(int code) { return code == kLanguageFrench ? kFrench : kEnglish; }

}  // namespace tovasel
