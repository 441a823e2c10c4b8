<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AdjustController</name>
    <message>
        <source>That colour is too dark or too bright to be made grey: pick a mid-tone.</source>
        <translation>Cette couleur est trop sombre ou trop claire pour devenir grise : choisissez un ton moyen.</translation>
    </message>
    <message>
        <source>That colour is too close to the other end of the levels: pick another.</source>
        <translation>Cette couleur est trop proche de l’autre extrémité des niveaux : choisissez-en une autre.</translation>
    </message>
</context>
<context>
    <name>CAdjustPanel</name>
    <message>
        <source>Exposure</source>
        <translation>Exposition</translation>
    </message>
    <message>
        <source>Brighter or darker in stops of light (-3 to +3)</source>
        <translation>Plus clair ou plus sombre, en IL (-3 à +3)</translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation>Contraste</translation>
    </message>
    <message>
        <source>Spreads the tones away from mid-grey, or draws them together</source>
        <translation>Écarte les tons du gris moyen ou les rapproche</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Hautes lumières</translation>
    </message>
    <message>
        <source>Recovers (left) or brightens (right) the lightest tones</source>
        <translation>Récupère (à gauche) ou éclaircit (à droite) les tons les plus clairs</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Ombres</translation>
    </message>
    <message>
        <source>Lifts (right) or deepens (left) the darkest tones</source>
        <translation>Éclaircit (à droite) ou approfondit (à gauche) les tons les plus sombres</translation>
    </message>
    <message>
        <source>Saturation</source>
        <translation>Saturation</translation>
    </message>
    <message>
        <source>Strength of every colour; far left is black and white</source>
        <translation>Intensité de toutes les couleurs ; tout à gauche, noir et blanc</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Vibrance</translation>
    </message>
    <message>
        <source>Strengthens weak colours more than strong ones and spares skin tones</source>
        <translation>Renforce davantage les couleurs faibles que les fortes et préserve les tons chair</translation>
    </message>
    <message>
        <source>Warmth</source>
        <translation>Température</translation>
    </message>
    <message>
        <source>White balance from blue (left) to yellow (right)</source>
        <translation>Balance des blancs du bleu (à gauche) au jaune (à droite)</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Teinte</translation>
    </message>
    <message>
        <source>White balance from green (left) to magenta (right)</source>
        <translation>Balance des blancs du vert (à gauche) au magenta (à droite)</translation>
    </message>
    <message>
        <source>Double click: back to 0</source>
        <translation>Double-clic : retour à 0</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>Makes the adjustment part of the photo (one step to undo)</source>
        <translation>Intègre le réglage à la photo (annulable en une étape)</translation>
    </message>
    <message>
        <source>Luma</source>
        <translation>Luminance</translation>
    </message>
    <message>
        <source>The histogram of brightness, or of red, green and blue overlaid</source>
        <translation>L’histogramme de la luminosité, ou du rouge, du vert et du bleu superposés</translation>
    </message>
    <message>
        <source>RGB</source>
        <translation>RVB</translation>
    </message>
    <message>
        <source>&amp;Sliders</source>
        <translation>&amp;Curseurs</translation>
    </message>
    <message>
        <source>&amp;Levels</source>
        <translation>&amp;Niveaux</translation>
    </message>
    <message>
        <source>C&amp;urves</source>
        <translation>C&amp;ourbes</translation>
    </message>
    <message>
        <source>Exposure, contrast, highlights, shadows, colour and white balance</source>
        <translation>Exposition, contraste, hautes lumières, ombres, couleur et balance des blancs</translation>
    </message>
    <message>
        <source>Black point, white point and mid-tones, for all channels or one, with eyedroppers</source>
        <translation>Point noir, point blanc et tons moyens, pour tous les canaux ou un seul, avec des pipettes</translation>
    </message>
    <message>
        <source>Tone curves for all channels or one, edited on the square</source>
        <translation>Courbes de tonalité pour tous les canaux ou un seul, modifiées dans le carré</translation>
    </message>
    <message>
        <source>&amp;Auto</source>
        <translation>&amp;Auto</translation>
    </message>
    <message>
        <source>Sets exposure, contrast, highlights, shadows and white balance from the photo</source>
        <translation>Règle l’exposition, le contraste, les hautes lumières, les ombres et la balance des blancs d’après la photo</translation>
    </message>
    <message>
        <source>The section shown back to its start</source>
        <translation>Remet la section affichée à son état de départ</translation>
    </message>
    <message>
        <source>Clipped shadows: %1 of the pixels have a channel at black.
Click to mark them on the photo in blue.</source>
        <translation>Ombres écrêtées : %1 des pixels ont un canal au noir.
Cliquer les marque en bleu sur la photo.</translation>
    </message>
    <message>
        <source>Clipped highlights: %1 of the pixels have a channel at white.
Click to mark them on the photo in red.</source>
        <translation>Hautes lumières écrêtées : %1 des pixels ont un canal au blanc.
Cliquer les marque en rouge sur la photo.</translation>
    </message>
    <message>
        <source>Curve</source>
        <translation>Courbe</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rouge</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Vert</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Bleu</translation>
    </message>
</context>
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
    <name>CCurvesSection</name>
    <message>
        <source>The channel whose curve is edited: RGB for all three together</source>
        <translation>Le canal dont la courbe est modifiée : RVB pour les trois ensemble</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>Préréglages</translation>
    </message>
    <message>
        <source>Linear</source>
        <translation>Linéaire</translation>
    </message>
    <message>
        <source>Soft S</source>
        <translation>S doux</translation>
    </message>
    <message>
        <source>Strong S</source>
        <translation>S fort</translation>
    </message>
    <message>
        <source>Lift shadows</source>
        <translation>Déboucher les ombres</translation>
    </message>
    <message>
        <source>Starts the channel&apos;s curve from a preset</source>
        <translation>Part d’un préréglage pour la courbe du canal</translation>
    </message>
    <message>
        <source>Larger…</source>
        <translation>Agrandir…</translation>
    </message>
    <message>
        <source>Edits the curve in a larger square of its own</source>
        <translation>Modifie la courbe dans un carré plus grand à part</translation>
    </message>
    <message>
        <source>Click the square to add a point; drag one off to remove it</source>
        <translation>Cliquez dans le carré pour ajouter un point ; tirez-le dehors pour le retirer</translation>
    </message>
    <message>
        <source>Point %1 of %2: in %3, out %4</source>
        <translation>Point %1 sur %2 : entrée %3, sortie %4</translation>
    </message>
</context>
<context>
    <name>CEditorDlg</name>
    <message>
        <source>Reduce Warp</source>
        <translation>Réduire la déformation</translation>
    </message>
    <message>
        <source>Eases the warping under the brush back towards the photo before warping</source>
        <translation>Ramène la déformation sous le pinceau vers la photo avant déformation</translation>
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
        <source>Effect</source>
        <translation>Effet</translation>
    </message>
    <message>
        <source>“%1” selected: double-click it or press Apply</source>
        <translation>« %1 » sélectionné : double-cliquez dessus ou appuyez sur Appliquer</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Open a photo</source>
        <translation>Ouvrir une photo</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enreg.</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Enregistrer sous...</translation>
    </message>
    <message>
        <source>Save the photo as a picture file</source>
        <translation>Enregistrer la photo comme fichier image</translation>
    </message>
    <message>
        <source>Auto Resize Threshold</source>
        <translation>Seuil de réduction automatique</translation>
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
        <source>Undo</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Rétablir</translation>
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
        <source>Zoom to Fit</source>
        <translation>Ajuster à la fenêtre</translation>
    </message>
    <message>
        <source>Original Size</source>
        <translation>Taille d&apos;origine</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
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
        <source>Adjust</source>
        <translation>Ajuster</translation>
    </message>
    <message>
        <source>Fade...</source>
        <translation>Estomper...</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Restore brush: paints the photo as it was opened</source>
        <translation>Pinceau de restauration : peint la photo telle qu&apos;elle a été ouverte</translation>
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
        <source>Crop</source>
        <translation>Recadrer</translation>
    </message>
    <message>
        <source>Straighten</source>
        <translation>Redresser</translation>
    </message>
    <message>
        <source>Rotate Left</source>
        <translation>Pivoter à gauche</translation>
    </message>
    <message>
        <source>Rotate Right</source>
        <translation>Pivoter à droite</translation>
    </message>
    <message>
        <source>Rotate 180°</source>
        <translation>Pivoter de 180°</translation>
    </message>
    <message>
        <source>Flip Horizontal</source>
        <translation>Retourner horizontalement</translation>
    </message>
    <message>
        <source>Flip Vertical</source>
        <translation>Retourner verticalement</translation>
    </message>
    <message>
        <source>Resize...</source>
        <translation>Redimensionner...</translation>
    </message>
    <message>
        <source>Resize</source>
        <translation>Redimensionner</translation>
    </message>
    <message>
        <source>Next Panel</source>
        <translation>Panneau suivant</translation>
    </message>
    <message>
        <source>Previous Panel</source>
        <translation>Panneau précédent</translation>
    </message>
    <message>
        <source>Heal</source>
        <translation>Réparer</translation>
    </message>
    <message>
        <source>Heal: paint over a spot or an object to fill it from the rest of the photo</source>
        <translation>Réparer : peindre sur une tache ou un objet pour le remplir à partir du reste de la photo</translation>
    </message>
    <message>
        <source>Clone</source>
        <translation>Cloner</translation>
    </message>
    <message>
        <source>Clone: Ctrl+click a source, then paint a copy of it</source>
        <translation>Cloner : Ctrl+clic sur une source, puis peindre une copie de celle-ci</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
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
    <message>
        <source>Brightens the parts you paint</source>
        <translation>Éclaircit les zones peintes</translation>
    </message>
    <message>
        <source>Darkens the parts you paint</source>
        <translation>Assombrit les zones peintes</translation>
    </message>
    <message>
        <source>Smooths skin and small blemishes</source>
        <translation>Lisse la peau et les petites imperfections</translation>
    </message>
    <message>
        <source>Removes red from eyes</source>
        <translation>Supprime les yeux rouges</translation>
    </message>
    <message>
        <source>Lifts the mid-tones</source>
        <translation>Éclaircit les tons moyens</translation>
    </message>
    <message>
        <source>Strengthens the contrast</source>
        <translation>Renforce le contraste</translation>
    </message>
    <message>
        <source>Blurs the parts you paint</source>
        <translation>Floute les zones peintes</translation>
    </message>
    <message>
        <source>Sharpens the parts you paint</source>
        <translation>Accentue la netteté des zones peintes</translation>
    </message>
    <message>
        <source>Turns the parts you paint black and white</source>
        <translation>Passe les zones peintes en noir et blanc</translation>
    </message>
    <message>
        <source>Turns the parts you paint into large pixels</source>
        <translation>Transforme les zones peintes en gros pixels</translation>
    </message>
    <message>
        <source>Gives the photo a canvas texture</source>
        <translation>Donne à la photo une texture de toile</translation>
    </message>
    <message>
        <source>Paints the photo in woven strokes</source>
        <translation>Peint la photo en traits tissés</translation>
    </message>
    <message>
        <source>Embosses the photo in grey relief</source>
        <translation>Met la photo en relief gris</translation>
    </message>
    <message>
        <source>Adds a soft, dreamy glow</source>
        <translation>Ajoute une lueur douce et onirique</translation>
    </message>
    <message>
        <source>Paints the photo in dots</source>
        <translation>Peint la photo par points</translation>
    </message>
    <message>
        <source>Paints the photo in blocky strokes</source>
        <translation>Peint la photo par touches cubiques</translation>
    </message>
    <message>
        <source>Scatters the pixels like splashed paint</source>
        <translation>Disperse les pixels comme des éclaboussures de peinture</translation>
    </message>
    <message>
        <source>Makes the photo look painted in oils</source>
        <translation>Donne à la photo l’aspect d’une peinture à l’huile</translation>
    </message>
    <message>
        <source>Cuts the photo into mosaic tiles</source>
        <translation>Découpe la photo en carreaux de mosaïque</translation>
    </message>
    <message>
        <source>Paints the photo in long straw strokes</source>
        <translation>Peint la photo en longs traits de paille</translation>
    </message>
    <message>
        <source>Shows the photo through glass tiles</source>
        <translation>Montre la photo à travers des pavés de verre</translation>
    </message>
    <message>
        <source>Draws the photo as line art</source>
        <translation>Dessine la photo au trait</translation>
    </message>
    <message>
        <source>Paints the edges of the photo</source>
        <translation>Peint les contours de la photo</translation>
    </message>
    <message>
        <source>Reduces the photo to a few tones</source>
        <translation>Réduit la photo à quelques tons</translation>
    </message>
    <message>
        <source>Blows the photo sideways like wind</source>
        <translation>Souffle la photo sur le côté comme le vent</translation>
    </message>
    <message>
        <source>Blurs the photo as if moving</source>
        <translation>Floute la photo comme en mouvement</translation>
    </message>
    <message>
        <source>Blurs the photo outward from the centre</source>
        <translation>Floute la photo du centre vers l’extérieur</translation>
    </message>
    <message>
        <source>Pushes the photo along the drag</source>
        <translation>Pousse la photo dans le sens du glissement</translation>
    </message>
    <message>
        <source>Makes the part under the brush grow</source>
        <translation>Gonfle la zone sous le pinceau</translation>
    </message>
    <message>
        <source>Makes the part under the brush shrink</source>
        <translation>Rétrécit la zone sous le pinceau</translation>
    </message>
    <message>
        <source>Swirls the photo clockwise</source>
        <translation>Fait tourbillonner la photo dans le sens horaire</translation>
    </message>
    <message>
        <source>Swirls the photo counter-clockwise</source>
        <translation>Fait tourbillonner la photo dans le sens antihoraire</translation>
    </message>
    <message>
        <source>Lights the photo with a spotlight</source>
        <translation>Éclaire la photo avec un projecteur</translation>
    </message>
    <message>
        <source>Lights the photo with a point light</source>
        <translation>Éclaire la photo avec une lumière ponctuelle</translation>
    </message>
    <message>
        <source>Adds a camera lens flare</source>
        <translation>Ajoute un reflet d’objectif</translation>
    </message>
    <message>
        <source>Adds a radial flare</source>
        <translation>Ajoute un halo radial</translation>
    </message>
    <message>
        <source>Adds a magic flare</source>
        <translation>Ajoute un halo magique</translation>
    </message>
    <message>
        <source>Stamps sparkling fairy dust</source>
        <translation>Appose de la poussière de fée scintillante</translation>
    </message>
    <message>
        <source>Stamps soft mist and cloud</source>
        <translation>Appose une brume et des nuages doux</translation>
    </message>
    <message>
        <source>Stamps sparkles</source>
        <translation>Appose des étincelles</translation>
    </message>
    <message>
        <source>Stamps glowing fireflies</source>
        <translation>Appose des lucioles lumineuses</translation>
    </message>
    <message>
        <source>paint on the photo</source>
        <translation>peignez sur la photo</translation>
    </message>
    <message>
        <source>double-click or Apply</source>
        <translation>double-clic ou Appliquer</translation>
    </message>
    <message>
        <source>drag on the photo</source>
        <translation>faites glisser sur la photo</translation>
    </message>
</context>
<context>
    <name>CFadeDialog</name>
    <message>
        <source>Fade</source>
        <translation>Estomper</translation>
    </message>
    <message>
        <source>Strength of the last effect:</source>
        <translation>Intensité du dernier effet :</translation>
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
    <name>CLevelsBar</name>
    <message>
        <source>Drag the black, mid-tone and white handles</source>
        <translation>Faites glisser les poignées du noir, des tons moyens et du blanc</translation>
    </message>
</context>
<context>
    <name>CLevelsSection</name>
    <message>
        <source>The channel whose levels are shown: RGB for all three together</source>
        <translation>Le canal dont les niveaux sont affichés : RVB pour les trois ensemble</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>Noir</translation>
    </message>
    <message>
        <source>Mid-tones</source>
        <translation>Tons moyens</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Blanc</translation>
    </message>
    <message>
        <source>The input level that becomes black</source>
        <translation>La valeur d’entrée qui devient noire</translation>
    </message>
    <message>
        <source>Mid-tone gamma: above 1 brightens the mid-tones, below 1 darkens them</source>
        <translation>Gamma des tons moyens : au-dessus de 1 les éclaircit, en dessous les assombrit</translation>
    </message>
    <message>
        <source>The input level that becomes white</source>
        <translation>La valeur d’entrée qui devient blanche</translation>
    </message>
    <message>
        <source>Black eyedropper: click on the photo where it should be black</source>
        <translation>Pipette du noir : cliquez sur la photo là où elle doit être noire</translation>
    </message>
    <message>
        <source>White eyedropper: click on the photo where it should be white</source>
        <translation>Pipette du blanc : cliquez sur la photo là où elle doit être blanche</translation>
    </message>
    <message>
        <source>Grey eyedropper: click on the photo where it should be a neutral grey</source>
        <translation>Pipette du gris : cliquez sur la photo là où elle doit être d’un gris neutre</translation>
    </message>
</context>
<context>
    <name>CPhotoCanvas</name>
    <message>
        <source>Before</source>
        <translation>Avant</translation>
    </message>
    <message>
        <source>Free</source>
        <translation>Libre</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>1:1 Square</source>
        <translation>1:1 Carré</translation>
    </message>
    <message>
        <source>4:3</source>
        <translation>4:3</translation>
    </message>
    <message>
        <source>3:4 Portrait</source>
        <translation>3:4 Portrait</translation>
    </message>
    <message>
        <source>3:2</source>
        <translation>3:2</translation>
    </message>
    <message>
        <source>2:3 Portrait</source>
        <translation>2:3 Portrait</translation>
    </message>
    <message>
        <source>16:9</source>
        <translation>16:9</translation>
    </message>
    <message>
        <source>9:16 Portrait</source>
        <translation>9:16 Portrait</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>Recadrer</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Crop to the rectangle (Enter or a double click)</source>
        <translation>Recadrer selon le rectangle (Enter ou double-clic)</translation>
    </message>
    <message>
        <source>Leave the photo as it is (Esc)</source>
        <translation>Laisser la photo inchangée (Esc)</translation>
    </message>
    <message>
        <source>Straighten</source>
        <translation>Redresser</translation>
    </message>
    <message>
        <source>Turn the photo until its horizon is level</source>
        <translation>Faire pivoter la photo jusqu’à ce que l’horizon soit droit</translation>
    </message>
    <message>
        <source>or drag along the horizon</source>
        <translation>ou faites glisser le long de l’horizon</translation>
    </message>
    <message>
        <source>Turn the photo and cut it to the level rectangle (Enter)</source>
        <translation>Faire pivoter la photo et la recadrer selon le rectangle droit (Enter)</translation>
    </message>
    <message>
        <source> Light Point </source>
        <translation> Point lumineux </translation>
    </message>
    <message>
        <source> View Point </source>
        <translation> Point de vue </translation>
    </message>
    <message>
        <source> Light Distance: %1 </source>
        <translation> Distance de la lumière : %1 </translation>
    </message>
    <message>
        <source>Ctrl+click where the clone should copy from first</source>
        <translation>Faites d&apos;abord Ctrl+clic là où le clone doit copier</translation>
    </message>
    <message>
        <source>The area is too large to heal: at least a third of the photo must be left to fill it from</source>
        <translation>La zone est trop grande pour être réparée : au moins un tiers de la photo doit rester pour la remplir</translation>
    </message>
</context>
<context>
    <name>CProgressBox</name>
    <message>
        <source>Applying %1</source>
        <translation>Application de %1</translation>
    </message>
    <message>
        <source>Applying &quot;%1&quot;…</source>
        <translation>Application de « %1 »…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Esc cancels; the photo stays as it was.</source>
        <translation>Esc annule ; la photo reste inchangée.</translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation>Annulation…</translation>
    </message>
</context>
<context>
    <name>CResizeDlg</name>
    <message>
        <source>Resize Photo</source>
        <translation>Redimensionner la photo</translation>
    </message>
    <message>
        <source>Now:</source>
        <translation>Actuelle :</translation>
    </message>
    <message>
        <source>%1 × %2 pixels</source>
        <translation>%1 × %2 pixels</translation>
    </message>
    <message>
        <source>Pixels</source>
        <translation>Pixels</translation>
    </message>
    <message>
        <source>Percent</source>
        <translation>Pourcentage</translation>
    </message>
    <message>
        <source>Unit:</source>
        <translation>Unité :</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Largeur :</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Hauteur :</translation>
    </message>
    <message>
        <source>Keep the aspect ratio</source>
        <translation>Conserver les proportions</translation>
    </message>
    <message>
        <source>New size:</source>
        <translation>Nouvelle taille :</translation>
    </message>
    <message>
        <source>Resampled with a Lanczos filter; sides are kept to multiples of 4 pixels.</source>
        <translation>Rééchantillonné avec un filtre de Lanczos ; les côtés restent des multiples de 4 pixels.</translation>
    </message>
    <message>
        <source>That is the size the photo has now.</source>
        <translation>C’est la taille actuelle de la photo.</translation>
    </message>
</context>
<context>
    <name>CSaveAsDialog</name>
    <message>
        <source>Save As</source>
        <translation>Enregistrer sous</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>Qualité :</translation>
    </message>
    <message>
        <source>Lossless</source>
        <translation>Sans perte</translation>
    </message>
    <message>
        <source>Remove camera and location details</source>
        <translation>Supprimer les données d’appareil et de lieu</translation>
    </message>
    <message>
        <source>Save without the date taken, camera, place and other details the photo carried</source>
        <translation>Enregistrer sans la date de prise de vue, l’appareil, le lieu et les autres données de la photo</translation>
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
    <name>CToneGraph</name>
    <message>
        <source>Click to add a point, drag to move it, drag it off the square to remove it.
Keys: [ and ] pick a point, arrows move it, Insert adds one, Delete removes it.</source>
        <translation>Cliquer ajoute un point, le faire glisser le déplace, le tirer hors du carré le retire.
Touches : [ et ] choisissent un point, les flèches le déplacent, Inser en ajoute un, Suppr le retire.</translation>
    </message>
</context>
<context>
    <name>DevelopNotice</name>
    <message>
        <source>Developing…</source>
        <translation>Développement…</translation>
    </message>
    <message>
        <source>Esc keeps the preview</source>
        <translation>Échap garde l&apos;aperçu</translation>
    </message>
    <message>
        <source>The photo was opened, but %1.</source>
        <translation>La photo a été ouverte, mais %1.</translation>
    </message>
    <message>
        <source>The RAW photo could not be developed (%1); its preview stays.</source>
        <translation>La photo RAW n&apos;a pas pu être développée (%1) ; son aperçu reste.</translation>
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
<context>
    <name>FileController</name>
    <message>
        <source>Current photo has been modified, Do you want to save it?</source>
        <translation>La photo actuelle a été modifiée. Voulez-vous l’enregistrer ?</translation>
    </message>
    <message>
        <source>The photo could not be saved as &quot;%1&quot;:
%2.</source>
        <translation>La photo n&apos;a pas pu être enregistrée sous « %1 » :
%2.</translation>
    </message>
    <message>
        <source>Saved, but %1.</source>
        <translation>Enregistrée, mais %1.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>The photo &quot;%1&quot; could not be opened.%2</source>
        <translation>La photo « %1 » n&apos;a pas pu être ouverte.%2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is damaged: part of the picture may be missing.</source>
        <translation>« %1 » est endommagé : une partie de l’image peut manquer.</translation>
    </message>
    <message>
        <source>The photo was reduced from %1 × %2 to %3 × %4 pixels for editing.
Auto Resize Threshold sets the largest size that opens unreduced.</source>
        <translation>La photo a été réduite de %1 × %2 à %3 × %4 pixels pour l&apos;édition.
Le seuil de réduction automatique fixe la plus grande taille ouverte sans réduction.</translation>
    </message>
    <message>
        <source>The photo was opened, but %1.</source>
        <translation>La photo a été ouverte, mais %1.</translation>
    </message>
    <message>
        <source>One photo is edited at a time; not opened: %1</source>
        <translation>Une seule photo est modifiée à la fois ; non ouvert : %1</translation>
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
    <name>PanelController</name>
    <message>
        <source>Cancelled: the photo is as it was.</source>
        <translation>Annulé : la photo est inchangée.</translation>
    </message>
    <message>
        <source>Apply the adjustment first?</source>
        <translation>Appliquer d&apos;abord le réglage ?</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Abandonner</translation>
    </message>
</context>
<context>
    <name>PictureFormats</name>
    <message>
        <source>(all picture files)</source>
        <translation>(tous les fichiers image)</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>a photo</source>
        <translation>une photo</translation>
    </message>
    <message>
        <source>%1  —  %2, step %3 of %4</source>
        <translation>%1  —  %2, étape %3 sur %4</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurer</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Abandonner</translation>
    </message>
    <message>
        <source>%1 was closed before the changes to %2 were saved. Restore them?</source>
        <translation>%1 a été fermé avant l’enregistrement des modifications apportées à %2. Les restaurer ?</translation>
    </message>
    <message>
        <source>Recovery after a crash is off: %1.</source>
        <translation>La récupération après un plantage est désactivée : %1.</translation>
    </message>
    <message>
        <source>The changes to %1 kept after %2 was closed cannot be restored: %3.
Discard them?</source>
        <translation>Les modifications apportées à %1, conservées après que %2 a été fermé, ne peuvent pas être restaurées : %3.
Les abandonner ?</translation>
    </message>
</context>
<context>
    <name>Reasons</name>
    <message>
        <source>the file %1 is missing</source>
        <translation>le fichier %1 est manquant</translation>
    </message>
    <message>
        <source>the file %1 is too large</source>
        <translation>le fichier %1 est trop grand</translation>
    </message>
    <message>
        <source>the file %1 cannot be read</source>
        <translation>le fichier %1 ne peut pas être lu</translation>
    </message>
    <message>
        <source>it is not a recovery journal</source>
        <translation>ce n&apos;est pas un journal de récupération</translation>
    </message>
    <message>
        <source>it was written by another version (%1)</source>
        <translation>il a été écrit par une autre version (%1)</translation>
    </message>
    <message>
        <source>its state is truncated</source>
        <translation>son état est tronqué</translation>
    </message>
    <message>
        <source>its state has a bad checksum</source>
        <translation>son état a une somme de contrôle erronée</translation>
    </message>
    <message>
        <source>a snapshot has an impossible size</source>
        <translation>un état a une taille impossible</translation>
    </message>
    <message>
        <source>a history step refers to a missing snapshot</source>
        <translation>une étape de l&apos;historique renvoie à un état manquant</translation>
    </message>
    <message>
        <source>its state cannot be read</source>
        <translation>son état ne peut pas être lu</translation>
    </message>
    <message>
        <source>the opened photo has an impossible size</source>
        <translation>la photo ouverte a une taille impossible</translation>
    </message>
    <message>
        <source>its history position is impossible</source>
        <translation>sa position dans l&apos;historique est impossible</translation>
    </message>
    <message>
        <source>the file %1 is truncated</source>
        <translation>le fichier %1 est tronqué</translation>
    </message>
    <message>
        <source>the opened photo is damaged</source>
        <translation>la photo ouverte est endommagée</translation>
    </message>
    <message>
        <source>the opened photo does not decode</source>
        <translation>la photo ouverte ne peut pas être décodée</translation>
    </message>
    <message>
        <source>a snapshot is damaged</source>
        <translation>un état est endommagé</translation>
    </message>
    <message>
        <source>the current photo does not decode</source>
        <translation>la photo actuelle ne peut pas être décodée</translation>
    </message>
    <message>
        <source>the folder %1 cannot be written</source>
        <translation>le dossier %1 ne peut pas être écrit</translation>
    </message>
    <message>
        <source>the opened photo could not be encoded</source>
        <translation>la photo ouverte n&apos;a pas pu être encodée</translation>
    </message>
    <message>
        <source>the photo of its history position cannot be decoded</source>
        <translation>la photo de sa position dans l&apos;historique ne peut pas être décodée</translation>
    </message>
    <message>
        <source>no photo is open</source>
        <translation>aucune photo n&apos;est ouverte</translation>
    </message>
    <message>
        <source>the angle must be between -45 and 45 degrees</source>
        <translation>l&apos;angle doit être compris entre -45 et 45 degrés</translation>
    </message>
    <message>
        <source>nothing of the photo would be left</source>
        <translation>il ne resterait rien de la photo</translation>
    </message>
    <message>
        <source>the picture is not CMYK</source>
        <translation>l&apos;image n&apos;est pas en CMJN</translation>
    </message>
    <message>
        <source>the picture is too large</source>
        <translation>l&apos;image est trop grande</translation>
    </message>
    <message>
        <source>the TIFF cannot be read</source>
        <translation>le TIFF ne peut pas être lu</translation>
    </message>
    <message>
        <source>only 8-bit CMYK TIFFs in strips are read through their profile</source>
        <translation>seuls les TIFF CMJN 8 bits en bandes sont lus avec leur profil</translation>
    </message>
    <message>
        <source>the TIFF is damaged</source>
        <translation>le TIFF est endommagé</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>le fichier ne peut pas être lu</translation>
    </message>
    <message>
        <source>only JPEG and TIFF pictures are read as CMYK</source>
        <translation>seules les images JPEG et TIFF sont lues en CMJN</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>le fichier est vide</translation>
    </message>
    <message>
        <source>the file is too large</source>
        <translation>le fichier est trop grand</translation>
    </message>
    <message>
        <source>the file type is not supported</source>
        <translation>le type de fichier n&apos;est pas pris en charge</translation>
    </message>
    <message>
        <source>the picture could not be decoded</source>
        <translation>l&apos;image n&apos;a pas pu être décodée</translation>
    </message>
    <message>
        <source>the codec module has no entry</source>
        <translation>le module de codec n&apos;a pas de point d&apos;entrée</translation>
    </message>
    <message>
        <source>the file name has no extension</source>
        <translation>le nom de fichier n&apos;a pas d&apos;extension</translation>
    </message>
    <message>
        <source>saved</source>
        <translation>enregistrée</translation>
    </message>
    <message>
        <source>no picture format matches the file name&apos;s extension</source>
        <translation>aucun format d&apos;image ne correspond à l&apos;extension du nom de fichier</translation>
    </message>
    <message>
        <source>the picture could not be encoded</source>
        <translation>l&apos;image n&apos;a pas pu être encodée</translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <translation>le fichier n&apos;a pas pu être écrit</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>erreur inconnue</translation>
    </message>
    <message>
        <source>the HEIF decoder could not start</source>
        <translation>le décodeur HEIF n&apos;a pas pu démarrer</translation>
    </message>
    <message>
        <source>the HEIF file has no picture</source>
        <translation>le fichier HEIF ne contient aucune image</translation>
    </message>
    <message>
        <source>the HEIF picture could not be decoded</source>
        <translation>l&apos;image HEIF n&apos;a pas pu être décodée</translation>
    </message>
    <message>
        <source>not enough memory for the picture</source>
        <translation>pas assez de mémoire pour l&apos;image</translation>
    </message>
    <message>
        <source>the JPEG XL decoder could not start</source>
        <translation>le décodeur JPEG XL n&apos;a pas pu démarrer</translation>
    </message>
    <message>
        <source>the JPEG XL file is damaged</source>
        <translation>le fichier JPEG XL est endommagé</translation>
    </message>
    <message>
        <source>the JPEG XL file is cut short</source>
        <translation>le fichier JPEG XL est tronqué</translation>
    </message>
    <message>
        <source>the JPEG XL picture could not be decoded</source>
        <translation>l&apos;image JPEG XL n&apos;a pas pu être décodée</translation>
    </message>
    <message>
        <source>the JPEG XL file has no picture</source>
        <translation>le fichier JPEG XL ne contient aucune image</translation>
    </message>
    <message>
        <source>the picture is smaller than 4 x 4 pixels</source>
        <translation>l&apos;image est plus petite que 4 × 4 pixels</translation>
    </message>
    <message>
        <source>the picture could not be converted to 24 bits</source>
        <translation>l&apos;image n&apos;a pas pu être convertie en 24 bits</translation>
    </message>
    <message>
        <source>the picture could not be turned upright</source>
        <translation>l&apos;image n&apos;a pas pu être redressée</translation>
    </message>
    <message>
        <source>the picture could not be resized</source>
        <translation>l&apos;image n&apos;a pas pu être redimensionnée</translation>
    </message>
    <message>
        <source>the EXIF block is too large and was not kept</source>
        <translation>le bloc EXIF est trop grand et n&apos;a pas été conservé</translation>
    </message>
    <message>
        <source>the EXIF block is damaged and was not kept</source>
        <translation>le bloc EXIF est endommagé et n&apos;a pas été conservé</translation>
    </message>
    <message>
        <source>the IPTC block is damaged and was not kept</source>
        <translation>le bloc IPTC est endommagé et n&apos;a pas été conservé</translation>
    </message>
    <message>
        <source>the EXIF block could not be read and was left out</source>
        <translation>le bloc EXIF n&apos;a pas pu être lu et a été omis</translation>
    </message>
    <message>
        <source>the EXIF block could not be written and was left out</source>
        <translation>le bloc EXIF n&apos;a pas pu être écrit et a été omis</translation>
    </message>
    <message>
        <source>the XMP block could not be read and was left out</source>
        <translation>le bloc XMP n&apos;a pas pu être lu et a été omis</translation>
    </message>
    <message>
        <source>the XMP block could not be written and was left out</source>
        <translation>le bloc XMP n&apos;a pas pu être écrit et a été omis</translation>
    </message>
    <message>
        <source>the photo&apos;s metadata is damaged and was not kept</source>
        <translation>les métadonnées de la photo sont endommagées et n&apos;ont pas été conservées</translation>
    </message>
    <message>
        <source>the XMP block is damaged and was not kept</source>
        <translation>le bloc XMP est endommagé et n&apos;a pas été conservé</translation>
    </message>
    <message>
        <source>the metadata could not be written; the picture was saved without it</source>
        <translation>les métadonnées n&apos;ont pas pu être écrites ; l&apos;image a été enregistrée sans elles</translation>
    </message>
</context>
<context>
    <name>ViewController</name>
    <message>
        <source>Zoom: type a percentage and press Enter (Ctrl++, Ctrl+-, Ctrl+0 fits, Ctrl+1 is 100 %)</source>
        <translation>Zoom : saisissez un pourcentage et appuyez sur Entrée (Ctrl++, Ctrl+-, Ctrl+0 ajuste, Ctrl+1 vaut 100 %)</translation>
    </message>
    <message>
        <source>Before: hold to see the photo as opened (or hold \)</source>
        <translation>Avant : maintenir enfoncé pour voir la photo telle qu’à l’ouverture (ou maintenir \)</translation>
    </message>
    <message>
        <source>The photo could not be resized: %1.</source>
        <translation>La photo n’a pas pu être redimensionnée : %1.</translation>
    </message>
</context>
<context>
    <name>WindowChrome</name>
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
        <source>Open a photo to begin</source>
        <translation>Ouvrez une photo pour commencer</translation>
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
        <source>Saved</source>
        <translation>Enregistrée</translation>
    </message>
    <message>
        <source>As opened</source>
        <translation>Telle qu&apos;ouverte</translation>
    </message>
    <message>
        <source>%1 × %2</source>
        <translation>%1 × %2</translation>
    </message>
    <message>
        <source>, edited</source>
        <translation>, modifiée</translation>
    </message>
    <message>
        <source>, saved</source>
        <translation>, enregistrée</translation>
    </message>
</context>
</TS>
