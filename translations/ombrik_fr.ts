<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>CAutoResizeDlg</name>
    <message>
        <source>Auto Resize Threshold</source>
        <translation>Seuil de réduction automatique</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Please enter an integer between %1 and %2.</source>
        <translation>Veuillez saisir un nombre entier entre %1 et %2.</translation>
    </message>
    <message>
        <source>Please enter an integer.</source>
        <translation>Veuillez saisir un nombre entier.</translation>
    </message>
    <message>
        <source>Ombrik Photo Editor</source>
        <translation>Ombrik Photo Editor</translation>
    </message>
    <message>
        <source>For faster processing, if a photo&apos;s size is larger than 
auto resize it when loading.</source>
        <translation>Pour un traitement plus rapide, une photo plus grande que 
est réduite automatiquement à l&apos;ouverture.</translation>
    </message>
    <message>
        <source>Pixels</source>
        <translation>Pixels</translation>
    </message>
</context>
<context>
    <name>CBrushPicker</name>
    <message>
        <source>Brush size and shape</source>
        <translation>Taille et forme du pinceau</translation>
    </message>
</context>
<context>
    <name>CColourPalette</name>
    <message>
        <source>Light colour</source>
        <translation>Couleur de la lumière</translation>
    </message>
</context>
<context>
    <name>CEditorDlg</name>
    <message>
        <source>Restore</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Restore brush: paints the photo as it was opened</source>
        <translation>Pinceau de restauration : peint la photo telle qu&apos;elle a été ouverte</translation>
    </message>
    <message>
        <source>Reduce Warp</source>
        <translation>Réduire la déformation</translation>
    </message>
    <message>
        <source>Eases the warping under the brush back towards the photo before warping</source>
        <translation>Ramène la déformation sous le pinceau vers la photo avant déformation</translation>
    </message>
    <message>
        <source>Retouch</source>
        <translation>Retouche</translation>
    </message>
    <message>
        <source>Filters</source>
        <translation>Filtres</translation>
    </message>
    <message>
        <source>Warp</source>
        <translation>Déformation</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>Éclairage</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Texte</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enreg.</translation>
    </message>
    <message>
        <source>Open a photo (Ctrl+O)</source>
        <translation>Ouvrir une photo (Ctrl+O)</translation>
    </message>
    <message>
        <source>Save the photo as a picture file (Ctrl+Shift+S)</source>
        <translation>Enregistrer la photo comme fichier image (Ctrl+Maj+S)</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Rétablir</translation>
    </message>
    <message>
        <source>Delete Selected Object</source>
        <translation>Supprimer l&apos;objet sélectionné</translation>
    </message>
    <message>
        <source>Delete Photo Frame</source>
        <translation>Supprimer le cadre photo</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>Auto Resize Threshold</source>
        <translation>Seuil de réduction automatique</translation>
    </message>
    <message>
        <source>Zoom to Fit</source>
        <translation>Ajuster à la fenêtre</translation>
    </message>
    <message>
        <source>Original Size</source>
        <translation>Taille d&apos;origine</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Zoom avant</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Zoom arrière</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Édition</translation>
    </message>
    <message>
        <source>Panels</source>
        <translation>Panneaux</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Réduire</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Agrandir</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Enregistrer sous...</translation>
    </message>
    <message>
        <source>Undo (Ctrl+Z)</source>
        <translation>Annuler (Ctrl+Z)</translation>
    </message>
    <message>
        <source>Redo (Ctrl+Y)</source>
        <translation>Rétablir (Ctrl+Y)</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Online Help Content</source>
        <translation>Contenu de l&apos;aide</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Open Recent</source>
        <translation>Ouvrir un fichier récent</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Enregistrer sous...</translation>
    </message>
    <message>
        <source>Opacity of the retouch brush</source>
        <translation>Opacité du pinceau de retouche</translation>
    </message>
    <message>
        <source>Radius of the warp brush</source>
        <translation>Rayon du pinceau de déformation</translation>
    </message>
    <message>
        <source>Strength of the warp brush</source>
        <translation>Force du pinceau de déformation</translation>
    </message>
    <message>
        <source>%1 × %2 pixels</source>
        <translation>%1 × %2 pixels</translation>
    </message>
    <message>
        <source>Edited</source>
        <translation>Modifiée</translation>
    </message>
    <message>
        <source>As opened</source>
        <translation>Telle qu&apos;ouverte</translation>
    </message>
    <message>
        <source>Open a photo to begin</source>
        <translation>Ouvrez une photo pour commencer</translation>
    </message>
    <message>
        <source>Photo Frame</source>
        <translation>Cadre photo</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Opacité</translation>
    </message>
    <message>
        <source>Deform Radius</source>
        <translation>Rayon de déformation</translation>
    </message>
    <message>
        <source>Deform Amount</source>
        <translation>Force de déformation</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Enregistrer sous</translation>
    </message>
    <message>
        <source>The photo could not be saved as &quot;%1&quot;:
%2.</source>
        <translation>La photo n&apos;a pas pu être enregistrée sous « %1 » :
%2.</translation>
    </message>
    <message>
        <source>The photo &quot;%1&quot; could not be opened.%2</source>
        <translation>La photo « %1 » n&apos;a pas pu être ouverte.%2</translation>
    </message>
    <message>
        <source>The photo was reduced from %1 × %2 to %3 × %4 pixels for editing.
Auto Resize Threshold sets the largest size that opens unreduced.</source>
        <translation>La photo a été réduite de %1 × %2 à %3 × %4 pixels pour l&apos;édition.
Le seuil de réduction automatique fixe la plus grande taille ouverte sans réduction.</translation>
    </message>
    <message>
        <source>The help page could not be opened.%1</source>
        <translation>La page d&apos;aide n&apos;a pas pu être ouverte.%1</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
    </message>
    <message>
        <source>Retouch, filter, warp and light your photos.
Every effect is computed by the editor itself on the photo&apos;s pixels.</source>
        <translation>Retouchez, filtrez, déformez et éclairez vos photos.
Chaque effet est calculé par l&apos;éditeur lui-même sur les pixels de la photo.</translation>
    </message>
    <message>
        <source>The photo &quot;%1&quot; no longer exists.</source>
        <translation>La photo « %1 » n&apos;existe plus.</translation>
    </message>
    <message>
        <source>(no recent photos)</source>
        <translation>(aucune photo récente)</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Effacer la liste</translation>
    </message>
</context>
<context>
    <name>CEffectPanel</name>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>No filter selected.</source>
        <translation>Aucun filtre sélectionné.</translation>
    </message>
</context>
<context>
    <name>CFramePanel</name>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>Double-click a frame to put it round the photo</source>
        <translation>Double-cliquez sur un cadre pour le placer autour de la photo</translation>
    </message>
    <message>
        <source>Please Select an object to operate.</source>
        <translation>Veuillez sélectionner un objet à traiter.</translation>
    </message>
</context>
<context>
    <name>CTextPanel</name>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Merge Down</source>
        <translation>Fusionner</translation>
    </message>
    <message>
        <source>Opacity:</source>
        <translation>Opacité :</translation>
    </message>
    <message>
        <source>Font:</source>
        <translation>Police :</translation>
    </message>
    <message>
        <source>1st Color:</source>
        <translation>1re couleur :</translation>
    </message>
    <message>
        <source>2nd Color:</source>
        <translation>2e couleur :</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Style</translation>
    </message>
</context>
<context>
    <name>Effects</name>
    <message>
        <source>Lighten</source>
        <translation>Éclaircir</translation>
    </message>
    <message>
        <source>Darken</source>
        <translation>Assombrir</translation>
    </message>
    <message>
        <source>Smooth Skin</source>
        <translation>Lisser la peau</translation>
    </message>
    <message>
        <source>R- Red Eye</source>
        <translation>Yeux rouges</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>Constrast</source>
        <translation>Contraste</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Flou</translation>
    </message>
    <message>
        <source>Sharp</source>
        <translation>Netteté</translation>
    </message>
    <message>
        <source>B &amp;&amp; W</source>
        <translation>N &amp;&amp; B</translation>
    </message>
    <message>
        <source>Pixelize</source>
        <translation>Pixeliser</translation>
    </message>
    <message>
        <source>Canvas</source>
        <translation>Toile</translation>
    </message>
    <message>
        <source>Weave</source>
        <translation>Tissage</translation>
    </message>
    <message>
        <source>Emboss</source>
        <translation>Relief</translation>
    </message>
    <message>
        <source>Soft Glow</source>
        <translation>Lueur douce</translation>
    </message>
    <message>
        <source>Dot Art</source>
        <translation>Pointillisme</translation>
    </message>
    <message>
        <source>Cubism</source>
        <translation>Cubisme</translation>
    </message>
    <message>
        <source>Splash</source>
        <translation>Éclats</translation>
    </message>
    <message>
        <source>Oil Paint</source>
        <translation>Peinture à l&apos;huile</translation>
    </message>
    <message>
        <source>Mosaic</source>
        <translation>Mosaïque</translation>
    </message>
    <message>
        <source>Straws</source>
        <translation>Pailles</translation>
    </message>
    <message>
        <source>Glass</source>
        <translation>Verre</translation>
    </message>
    <message>
        <source>Line Art</source>
        <translation>Dessin au trait</translation>
    </message>
    <message>
        <source>Edge Paint</source>
        <translation>Peinture des contours</translation>
    </message>
    <message>
        <source>Posterize</source>
        <translation>Postériser</translation>
    </message>
    <message>
        <source>Wind</source>
        <translation>Vent</translation>
    </message>
    <message>
        <source>Motion Blur</source>
        <translation>Flou de mouvement</translation>
    </message>
    <message>
        <source>Radial Blur</source>
        <translation>Flou radial</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Déplacer</translation>
    </message>
    <message>
        <source>Grow</source>
        <translation>Gonfler</translation>
    </message>
    <message>
        <source>Shink</source>
        <translation>Rétrécir</translation>
    </message>
    <message>
        <source>Swirl CW</source>
        <translation>Tourbillon horaire</translation>
    </message>
    <message>
        <source>SWirl CCW</source>
        <translation>Tourbillon antihoraire</translation>
    </message>
    <message>
        <source>Reduce Warp</source>
        <translation>Réduire la déformation</translation>
    </message>
    <message>
        <source>Spotlight</source>
        <translation>Projecteur</translation>
    </message>
    <message>
        <source>Point Light</source>
        <translation>Lumière ponctuelle</translation>
    </message>
    <message>
        <source>Lens Flare</source>
        <translation>Reflet d’objectif</translation>
    </message>
    <message>
        <source>Radial Flare</source>
        <translation>Halo radial</translation>
    </message>
    <message>
        <source>Magic Flare</source>
        <translation>Halo magique</translation>
    </message>
    <message>
        <source>Fairy Dust</source>
        <translation>Poussière de fée</translation>
    </message>
    <message>
        <source>Mist / Cloud</source>
        <translation>Brume / Nuage</translation>
    </message>
    <message>
        <source>Sparkle</source>
        <translation>Étincelle</translation>
    </message>
    <message>
        <source>Firefly</source>
        <translation>Luciole</translation>
    </message>
</context>
</TS>
