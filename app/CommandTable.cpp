#include "CommandTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QHash>

#include "CommandIcons.h"
#include "CommandIds.h"

namespace {

QKeySequence Keys(QKeyCombination combination) { return QKeySequence(combination); }

constexpr auto Ctrl = Qt::ControlModifier;
constexpr auto Keypad = Qt::KeypadModifier;

// Prompt and tooltip are the two halves of each command's text.
const QList<SCommandInfo>& CommandInfos() {
    static const QList<SCommandInfo> infos = {
        // File
        {cmd::FileNew,
         "&Nouveau\tCtrl+N",
         "Crée un nouveau document",
         "Nouveau",
         {Keys(Ctrl | Qt::Key_N)}},
        {cmd::FileOpen,
         "&Ouvrir...\tCtrl+O",
         "Ouvre un document existant",
         "Ouvrir",
         {Keys(Ctrl | Qt::Key_O)}},
        {cmd::FileClose, "&Fermer", "Ferme le document actif", "Fermer", {}},
        {cmd::FileSave,
         "&Enregistrer\tCtrl+S",
         "Enregistre le document actif",
         "Enregistrer",
         {Keys(Ctrl | Qt::Key_S)}},
        {cmd::FileSaveAs,
         "En&registrer sous...",
         "Enregistre le document actif sous un nouveau nom",
         "Enregistrer sous",
         {}},
        {cmd::SaveAll,
         "Enregistrer tous les fichiers modifiés",
         "Enregistre tous les documents modifiés",
         "Enregistrer tout",
         {}},
        {cmd::BrowseFolder,
         "&Browser un dossier...",
         "Ouvre toutes les images BMP d'un dossier",
         "Browser un dossier",
         {}},
        {cmd::FilePrint,
         "&Imprimer...\tCtrl+P",
         "Imprime le document actif",
         "Imprimer",
         {Keys(Ctrl | Qt::Key_P)}},
        {cmd::FilePrintDirect, "Imprimer directement", "Imprime le document actif", "Imprimer", {}},
        {cmd::FilePrintPreview,
         "Aperçu a&vant impression",
         "Affiche des pages entièresavant l'impression",
         "Aperçu avant impression",
         {}},
        {cmd::FilePrintSetup,
         "&Configuration de l'impression...",
         "Change les options d'impression et d'imprimante",
         "Configuration de l'impression",
         {}},
        {cmd::FileMru1, "Fichier récent", "Ouvre ce document", "Fichier récent", {}},
        {cmd::FileMru1 + 1, "Fichier récent", "Ouvre ce document", "Fichier récent", {}},
        {cmd::FileMru1 + 2, "Fichier récent", "Ouvre ce document", "Fichier récent", {}},
        {cmd::FileMru1 + 3, "Fichier récent", "Ouvre ce document", "Fichier récent", {}},
        {cmd::AppExit,
         "&Quitter",
         "Quitte l'application et propose d'enregistrer les documents",
         "Quitter",
         {}},
        {cmd::Unassigned, "", "", "", {}},
        // Edit
        {cmd::EditUndo,
         "&Annuler\tCtrl+Z",
         "Annule la dernière action",
         "Annuler",
         {Keys(Ctrl | Qt::Key_Z), Keys(Qt::AltModifier | Qt::Key_Backspace)}},
        {cmd::EditCut,
         "&Couper\tCtrl+X",
         "Coupe la sélection et la place dans le Presse-papiers",
         "Couper",
         {Keys(Ctrl | Qt::Key_X), Keys(Qt::ShiftModifier | Qt::Key_Delete)}},
        {cmd::EditCopy,
         "Co&pier\tCtrl+C",
         "Copie la sélection et la place dans le Presse-papiers",
         "Copier",
         {Keys(Ctrl | Qt::Key_C), Keys(Ctrl | Qt::Key_Insert)}},
        {cmd::EditPaste,
         "C&oller\tCtrl+V",
         "Insère le contenu du Presse-papiers",
         "Coller",
         {Keys(Ctrl | Qt::Key_V), Keys(Qt::ShiftModifier | Qt::Key_Insert)}},
        // View
        {cmd::ViewToolbar,
         "&Barre d'outils",
         "Affiche ou masque la barre d'outils",
         "Barre d'outils",
         {}},
        {cmd::ViewStatusBar,
         "Barre d'é&tat",
         "Affiche ou masque la barre d'état",
         "Barre d'état",
         {}},
        // Image
        {cmd::Roi,
         "Région d'&intérêt",
         "Définit une région d'intérêt à la souris",
         "Région d'intérêt",
         {}},
        {cmd::ZoomNormal,
         "Zoom &normal\tCtrl+1",
         "Affiche l'image à sa taille réelle",
         "Zoom normal",
         {Keys(Ctrl | Keypad | Qt::Key_1)}},
        {cmd::ZoomAuto,
         "Zoom &auto\tCtrl+F",
         "Ajuste l'image à la taille de la fenêtre",
         "Zoom auto",
         {Keys(Ctrl | Qt::Key_F)}},
        {cmd::ZoomMinus,
         "Zoom &moins\tCtrl -",
         "Réduit l'image",
         "Zoom moins",
         {Keys(Ctrl | Keypad | Qt::Key_Minus)}},
        {cmd::ZoomPlus,
         "Zoom &plus\tCtrl +",
         "Agrandit l'image",
         "Zoom plus",
         {Keys(Ctrl | Keypad | Qt::Key_Plus)}},
        {cmd::FlipHorizontal,
         "Retournement &horizontal",
         "Retournement horizontal",
         "Retournement horizontal",
         {}},
        {cmd::FlipVertical,
         "Retournement &vertical",
         "Retournement vertical",
         "Retournement vertical",
         {}},
        {cmd::Rotation,
         "&Rotation...",
         "Retourne l'image suivant des multiple de 90°",
         "Rotation",
         {}},
        {cmd::Resize, "Re&dimensionner...", "Redimensionne l'image ", "Redimensionnement", {}},
        {cmd::Uniform, "&Uniforme...", "Crée une image uniforme", "Uniforme", {}},
        // Palette
        {cmd::PaletteGrey, "&Niveaux de gris", "Palette niveaux de gris", "Niveaux de gris", {}},
        {cmd::PaletteRainbow,
         "&Fausses couleurs",
         "Palette fausses couleurs",
         "Fausses couleurs",
         {}},
        {cmd::PaletteHeat, "&Thermique", "Palette thermique", "Thermique", {}},
        {cmd::PaletteBinary, "&Binaire", "Palette binaire", "Binaire", {}},
        {cmd::PaletteMetal, "&Métal", "Palette métal", "Métal", {}},
        {cmd::PaletteBar,
         "Ajouter à l'image...",
         "Ajoute une palette sur l'image",
         "Ajoute la palette à l'image",
         {}},
        {cmd::PaletteEdit, "Editer...", "Edition de palettes", "Edition de palettes", {}},
        // Processing
        {cmd::ManualThreshold,
         "Seuillage &manuel...",
         "Applique un seuillage manuel et affiche l'histogramme",
         "Seuillage manuel",
         {}},
        {cmd::AdaptiveThreshold,
         "Seuillage &adaptatif...",
         "Apllique un seuillage basé sur l'étude statistique de l'image",
         "Seuillage adaptatif",
         {}},
        {cmd::Negative, "&Inverse", "Inverse la dynamique de l'image", "Inverse", {}},
        {cmd::Dynamic, "&Dynamique...", "Change la dynamique de l'image ", "Dynamique", {}},
        {cmd::Contours, "&Contours", "Affiche les contours dans une image\\Contours", "", {}},
        {cmd::FilterBrowser,
         "&Browser de filtres...\tCtrl+B",
         "Affiche un browser de filtres",
         "Browser de filtres linéaires",
         {Keys(Ctrl | Qt::Key_B)}},
        {cmd::StructuringElement,
         "Elément structurant...",
         "Définit l'élément structurant",
         "Elément structurant",
         {}},
        {cmd::Dilate,
         "&Dilatation",
         "Elimine les trous isolés dans les objects et dilate le contour des objects",
         "Dilatation",
         {}},
        {cmd::Erode,
         "&Erosion",
         "Elimine les pixels isolés dans le fond et erode le contour des objects",
         "Erode",
         {}},
        {cmd::Opening,
         "&Ouverture",
         " Ouverture(Image)=Dilatation(Erosion(Image)).Supprime les petits objects et lisse les "
         "contours.",
         "Ouverture  ",
         {}},
        {cmd::Closing,
         "&Fermeture",
         "Fermeture(Image)=Erosion(Dilatation(Image)).Supprime les petits trous et lisse les "
         "contours.",
         "Fermeture  ",
         {}},
        // Analysis
        {cmd::Statistics,
         "&Statistiques...",
         "Affiche des statistiques sur l'image",
         "Statistiques",
         {}},
        {cmd::Histogram,
         "&Histogramme...\tCtrl + H",
         "Affiche l'histogramme de l'image courante",
         "Histogramme",
         {Keys(Ctrl | Qt::Key_H)}},
        {cmd::History,
         "Histori&que...",
         "Historique des commandes",
         "Historique des traitements",
         {}},
        // Perspective
        {cmd::PerspectiveGradient,
         "&Gradient",
         "Affiche l'image en perspective avec un effet gradient",
         "Perspective gradient",
         {}},
        {cmd::PerspectiveCloud,
         "&Nuage",
         "Affiche l'image en perspective avec un effet nuage",
         "Perspective nuage",
         {}},
        // Tools, help
        {cmd::Options, "&Options...", "Modifie les options du programme", "Options", {}},
        {cmd::TipOfTheDay,
         "&Conseil du jour...",
         "Affiche un conseil du jour",
         "Conseil du jour",
         {}},
        {cmd::About,
         "&A propos de Orvex...",
         "Affiche des informations sur le programme, le numéro de version et le copyright",
         "A propos de",
         {}},
        // Window
        {cmd::WindowNew,
         "&Nouvelle fenêtre",
         "Ouvre une autre fenêtre pour le document actif",
         "Nouvelle fenêtre",
         {}},
        {cmd::WindowCascade, "&Cascade", "Réorganise les fenêtres en cascade", "Cascade", {}},
        {cmd::WindowTileHorizontal,
         "Mosaïque &horizontale",
         "Réorganise les fenêtres en mosaïque horizontale",
         "Mosaïque horizontale",
         {}},
        {cmd::WindowTileVertical,
         "Mosaïque &verticale",
         "Réorganise les fenêtres en mosaïque verticale",
         "Mosaïque verticale",
         {}},
        {cmd::WindowArrangeIcons,
         "&Réorganiser les icônes",
         "Réorganise les icônes au bas de la fenêtre",
         "Réorganiser les icônes",
         {}},
        {cmd::WindowSplit,
         "Fractionner",
         "Fractionne la fenêtre active en plusieurs volets",
         "Fractionner",
         {}},
        {cmd::SplitHorizontal,
         "2 zones &horizontales",
         "Découpe la fenêtre en 2 zones horizontales",
         "2 zones horizontales",
         {}},
        {cmd::SplitVertical,
         "2 zones &verticales",
         "Découpe la fenêtre en 2 zones verticales",
         "2 zones verticales",
         {}},
        {cmd::SplitFour, "&4 zones", "Découpe la fenêtre en 4 zones", "4 zones", {}},
        {cmd::SplitNone, "Aucun", "Supprime le découpage de la fenêtre", "Aucun découpage", {}},
        {cmd::CloseAllSave,
         "&Avec sauvegarde",
         "Enregistre les documents modifiés puis ferme toutes les fenêtres",
         "Fermer tout avec sauvegarde",
         {}},
        {cmd::CloseAllNoSave,
         "&Sans sauvegarde",
         "Ferme toutes les fenêtres sans enregistrer",
         "Fermer tout sans sauvegarde",
         {}},
        {cmd::NextPane,
         "Volet suivant",
         "Passe au volet suivant de la fenêtre",
         "Volet suivant",
         {Keys(Qt::Key_F6)}},
        {cmd::PrevPane,
         "Volet précédent",
         "Revient au volet précédent de la fenêtre",
         "Volet précédent",
         {Keys(Qt::ShiftModifier | Qt::Key_F6)}},
    };
    return infos;
}

QHash<int, QAction*>& ActionsById() {
    static QHash<int, QAction*> actions;
    return actions;
}

std::function<void(int)>& Router() {
    static std::function<void(int)> router;
    return router;
}

bool IsCheckable(int id) {
    switch (id) {
        case cmd::ViewToolbar:
        case cmd::ViewStatusBar:
        case cmd::ZoomAuto:
        case cmd::Roi:
        case cmd::PaletteBar:
            return true;
        default:
            return false;
    }
}

}  // namespace

const SCommandInfo* FindCommandInfo(int id) {
    for (const SCommandInfo& info : CommandInfos()) {
        if (info.id == id) return &info;
    }
    return nullptr;
}

QAction* CommandAction(int id) {
    QAction*& action = ActionsById()[id];
    if (action) return action;
    action = new QAction(QCoreApplication::instance());
    action->setData(id);
    if (const SCommandInfo* info = FindCommandInfo(id)) {
        action->setText(info->label);
        action->setIconText(info->tooltip);
        action->setStatusTip(info->prompt);
        action->setToolTip(info->tooltip);
        action->setShortcuts(info->shortcuts);
    }
    action->setCheckable(IsCheckable(id));
    action->setIcon(CommandIcon(id));
    action->setIconVisibleInMenu(false);
    action->setEnabled(false);
    // A checkable action flips its own mark when triggered; the routing sets
    // the real state afterwards, so the mark never lies for long.
    QObject::connect(action, &QAction::triggered, [id]() {
        if (Router()) Router()(id);
    });
    return action;
}

QAction* CommandAliasAction(int id, const QString& label, QObject* parent) {
    QAction* command = CommandAction(id);
    auto* alias = new QAction(label, parent);
    alias->setStatusTip(command->statusTip());
    alias->setCheckable(command->isCheckable());
    auto follow = [alias, command]() {
        alias->setEnabled(command->isEnabled());
        alias->setChecked(command->isChecked());
    };
    follow();
    QObject::connect(command, &QAction::changed, alias, follow);
    QObject::connect(alias, &QAction::triggered, command, [command]() { command->trigger(); });
    return alias;
}

void SetCommandRouter(std::function<void(int)> router) { Router() = std::move(router); }

QList<QAction*> CreatedCommandActions() { return ActionsById().values(); }
