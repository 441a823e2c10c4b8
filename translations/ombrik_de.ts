<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AdjustController</name>
    <message>
        <source>That colour is too dark or too bright to be made grey: pick a mid-tone.</source>
        <translation>Diese Farbe ist zu dunkel oder zu hell, um grau zu werden: einen Mittelton wählen.</translation>
    </message>
    <message>
        <source>That colour is too close to the other end of the levels: pick another.</source>
        <translation>Diese Farbe liegt zu nah am anderen Ende der Tonwerte: eine andere wählen.</translation>
    </message>
</context>
<context>
    <name>CAdjustPanel</name>
    <message>
        <source>Exposure</source>
        <translation>Belichtung</translation>
    </message>
    <message>
        <source>Brighter or darker in stops of light (-3 to +3)</source>
        <translation>Heller oder dunkler in Blendenstufen (-3 bis +3)</translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation>Kontrast</translation>
    </message>
    <message>
        <source>Spreads the tones away from mid-grey, or draws them together</source>
        <translation>Spreizt die Töne vom mittleren Grau weg oder rückt sie zusammen</translation>
    </message>
    <message>
        <source>Highlights</source>
        <translation>Lichter</translation>
    </message>
    <message>
        <source>Recovers (left) or brightens (right) the lightest tones</source>
        <translation>Stellt die hellsten Töne wieder her (links) oder hellt sie auf (rechts)</translation>
    </message>
    <message>
        <source>Shadows</source>
        <translation>Tiefen</translation>
    </message>
    <message>
        <source>Lifts (right) or deepens (left) the darkest tones</source>
        <translation>Hellt die dunkelsten Töne auf (rechts) oder vertieft sie (links)</translation>
    </message>
    <message>
        <source>Saturation</source>
        <translation>Sättigung</translation>
    </message>
    <message>
        <source>Strength of every colour; far left is black and white</source>
        <translation>Stärke aller Farben; ganz links ist Schwarzweiß</translation>
    </message>
    <message>
        <source>Vibrance</source>
        <translation>Dynamik</translation>
    </message>
    <message>
        <source>Strengthens weak colours more than strong ones and spares skin tones</source>
        <translation>Verstärkt schwache Farben mehr als kräftige und schont Hauttöne</translation>
    </message>
    <message>
        <source>Warmth</source>
        <translation>Farbtemperatur</translation>
    </message>
    <message>
        <source>White balance from blue (left) to yellow (right)</source>
        <translation>Weißabgleich von Blau (links) bis Gelb (rechts)</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Tönung</translation>
    </message>
    <message>
        <source>White balance from green (left) to magenta (right)</source>
        <translation>Weißabgleich von Grün (links) bis Magenta (rechts)</translation>
    </message>
    <message>
        <source>Double click: back to 0</source>
        <translation>Doppelklick: zurück auf 0</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Makes the adjustment part of the photo (one step to undo)</source>
        <translation>Übernimmt die Anpassung in das Foto (in einem Schritt rückgängig zu machen)</translation>
    </message>
    <message>
        <source>Luma</source>
        <translation>Helligkeit</translation>
    </message>
    <message>
        <source>The histogram of brightness, or of red, green and blue overlaid</source>
        <translation>Das Histogramm der Helligkeit oder von Rot, Grün und Blau übereinander</translation>
    </message>
    <message>
        <source>RGB</source>
        <translation>RGB</translation>
    </message>
    <message>
        <source>&amp;Sliders</source>
        <translation>&amp;Regler</translation>
    </message>
    <message>
        <source>&amp;Levels</source>
        <translation>&amp;Tonwerte</translation>
    </message>
    <message>
        <source>C&amp;urves</source>
        <translation>&amp;Kurven</translation>
    </message>
    <message>
        <source>Exposure, contrast, highlights, shadows, colour and white balance</source>
        <translation>Belichtung, Kontrast, Lichter, Tiefen, Farbe und Weißabgleich</translation>
    </message>
    <message>
        <source>Black point, white point and mid-tones, for all channels or one, with eyedroppers</source>
        <translation>Schwarzpunkt, Weißpunkt und Mitteltöne, für alle Kanäle oder einen, mit Pipetten</translation>
    </message>
    <message>
        <source>Tone curves for all channels or one, edited on the square</source>
        <translation>Gradationskurven für alle Kanäle oder einen, im Quadrat bearbeitet</translation>
    </message>
    <message>
        <source>&amp;Auto</source>
        <translation>&amp;Auto</translation>
    </message>
    <message>
        <source>Sets exposure, contrast, highlights, shadows and white balance from the photo</source>
        <translation>Stellt Belichtung, Kontrast, Lichter, Tiefen und Weißabgleich nach dem Foto ein</translation>
    </message>
    <message>
        <source>The section shown back to its start</source>
        <translation>Den gezeigten Abschnitt zurücksetzen</translation>
    </message>
    <message>
        <source>Clipped shadows: %1 of the pixels have a channel at black.
Click to mark them on the photo in blue.</source>
        <translation>Abgeschnittene Tiefen: %1 der Pixel haben einen Kanal bei Schwarz.
Klicken markiert sie im Foto blau.</translation>
    </message>
    <message>
        <source>Clipped highlights: %1 of the pixels have a channel at white.
Click to mark them on the photo in red.</source>
        <translation>Abgeschnittene Lichter: %1 der Pixel haben einen Kanal bei Weiß.
Klicken markiert sie im Foto rot.</translation>
    </message>
    <message>
        <source>Curve</source>
        <translation>Kurve</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
</context>
<context>
    <name>CAutoResizeDlg</name>
    <message>
        <source>Auto Resize Threshold</source>
        <translation>Schwelle für automatische Verkleinerung</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Please enter an integer between %1 and %2.</source>
        <translation>Bitte eine ganze Zahl zwischen %1 und %2 eingeben.</translation>
    </message>
    <message>
        <source>Please enter an integer.</source>
        <translation>Bitte eine ganze Zahl eingeben.</translation>
    </message>
    <message>
        <source>Ombrik Photo Editor</source>
        <translation>Ombrik Photo Editor</translation>
    </message>
    <message>
        <source>For faster processing, if a photo&apos;s size is larger than 
auto resize it when loading.</source>
        <translation>Für schnellere Bearbeitung wird ein Foto, das größer ist als 
beim Laden automatisch verkleinert.</translation>
    </message>
    <message>
        <source>Pixels</source>
        <translation>Pixel</translation>
    </message>
</context>
<context>
    <name>CBrushPicker</name>
    <message>
        <source>Brush size and shape</source>
        <translation>Pinselgröße und -form</translation>
    </message>
</context>
<context>
    <name>CColourPalette</name>
    <message>
        <source>Light colour</source>
        <translation>Lichtfarbe</translation>
    </message>
</context>
<context>
    <name>CCurvesSection</name>
    <message>
        <source>The channel whose curve is edited: RGB for all three together</source>
        <translation>Der Kanal, dessen Kurve bearbeitet wird: RGB für alle drei zusammen</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>Vorgaben</translation>
    </message>
    <message>
        <source>Linear</source>
        <translation>Linear</translation>
    </message>
    <message>
        <source>Soft S</source>
        <translation>Sanftes S</translation>
    </message>
    <message>
        <source>Strong S</source>
        <translation>Starkes S</translation>
    </message>
    <message>
        <source>Lift shadows</source>
        <translation>Tiefen aufhellen</translation>
    </message>
    <message>
        <source>Starts the channel&apos;s curve from a preset</source>
        <translation>Beginnt die Kurve des Kanals mit einer Vorgabe</translation>
    </message>
    <message>
        <source>Larger…</source>
        <translation>Größer…</translation>
    </message>
    <message>
        <source>Edits the curve in a larger square of its own</source>
        <translation>Bearbeitet die Kurve in einem eigenen, größeren Quadrat</translation>
    </message>
    <message>
        <source>Click the square to add a point; drag one off to remove it</source>
        <translation>Ins Quadrat klicken fügt einen Punkt hinzu; hinausziehen entfernt ihn</translation>
    </message>
    <message>
        <source>Point %1 of %2: in %3, out %4</source>
        <translation>Punkt %1 von %2: ein %3, aus %4</translation>
    </message>
</context>
<context>
    <name>CEditorDlg</name>
    <message>
        <source>Reduce Warp</source>
        <translation>Verformung verringern</translation>
    </message>
    <message>
        <source>Eases the warping under the brush back towards the photo before warping</source>
        <translation>Nimmt die Verformung unter dem Pinsel zurück, hin zum Foto vor dem Verformen</translation>
    </message>
    <message>
        <source>Open Recent</source>
        <translation>Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Opacity of the retouch brush</source>
        <translation>Deckkraft des Retuschepinsels</translation>
    </message>
    <message>
        <source>Radius of the warp brush</source>
        <translation>Radius des Verformungspinsels</translation>
    </message>
    <message>
        <source>Strength of the warp brush</source>
        <translation>Stärke des Verformungspinsels</translation>
    </message>
    <message>
        <source>The help page could not be opened.%1</source>
        <translation>Die Hilfeseite konnte nicht geöffnet werden.%1</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>Retouch, filter, warp and light your photos.
Every effect is computed by the editor itself on the photo&apos;s pixels.</source>
        <translation>Fotos retuschieren, filtern, verformen und beleuchten.
Jeder Effekt wird vom Editor selbst aus den Pixeln des Fotos berechnet.</translation>
    </message>
    <message>
        <source>Effect</source>
        <translation>Effekt</translation>
    </message>
    <message>
        <source>“%1” selected: double-click it or press Apply</source>
        <translation>„%1“ ausgewählt: doppelklicken oder „Anwenden“ drücken</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Open a photo</source>
        <translation>Ein Foto öffnen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Save the photo as a picture file</source>
        <translation>Das Foto als Bilddatei speichern</translation>
    </message>
    <message>
        <source>Auto Resize Threshold</source>
        <translation>Schwelle für automatische Verkleinerung</translation>
    </message>
    <message>
        <source>Delete Selected Object</source>
        <translation>Ausgewähltes Objekt löschen</translation>
    </message>
    <message>
        <source>Delete Photo Frame</source>
        <translation>Fotorahmen löschen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Zoom to Fit</source>
        <translation>In Fenster einpassen</translation>
    </message>
    <message>
        <source>Original Size</source>
        <translation>Originalgröße</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximieren</translation>
    </message>
    <message>
        <source>Retouch</source>
        <translation>Retusche</translation>
    </message>
    <message>
        <source>Filters</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Warp</source>
        <translation>Verformen</translation>
    </message>
    <message>
        <source>Lighting</source>
        <translation>Beleuchtung</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Adjust</source>
        <translation>Anpassen</translation>
    </message>
    <message>
        <source>Fade...</source>
        <translation>Verblassen...</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Restore brush: paints the photo as it was opened</source>
        <translation>Wiederherstellungspinsel: malt das Foto so, wie es geöffnet wurde</translation>
    </message>
    <message>
        <source>Online Help Content</source>
        <translation>Hilfeinhalt</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Panels</source>
        <translation>Bereiche</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>Zuschneiden</translation>
    </message>
    <message>
        <source>Straighten</source>
        <translation>Gerade ausrichten</translation>
    </message>
    <message>
        <source>Rotate Left</source>
        <translation>Nach links drehen</translation>
    </message>
    <message>
        <source>Rotate Right</source>
        <translation>Nach rechts drehen</translation>
    </message>
    <message>
        <source>Rotate 180°</source>
        <translation>180° drehen</translation>
    </message>
    <message>
        <source>Flip Horizontal</source>
        <translation>Horizontal spiegeln</translation>
    </message>
    <message>
        <source>Flip Vertical</source>
        <translation>Vertikal spiegeln</translation>
    </message>
    <message>
        <source>Resize...</source>
        <translation>Größe ändern...</translation>
    </message>
    <message>
        <source>Resize</source>
        <translation>Größe ändern</translation>
    </message>
    <message>
        <source>Next Panel</source>
        <translation>Nächster Bereich</translation>
    </message>
    <message>
        <source>Previous Panel</source>
        <translation>Vorheriger Bereich</translation>
    </message>
    <message>
        <source>Heal</source>
        <translation>Reparieren</translation>
    </message>
    <message>
        <source>Heal: paint over a spot or an object to fill it from the rest of the photo</source>
        <translation>Reparieren: über einen Fleck oder ein Objekt malen, um es aus dem Rest des Fotos zu füllen</translation>
    </message>
    <message>
        <source>Clone</source>
        <translation>Klonen</translation>
    </message>
    <message>
        <source>Clone: Ctrl+click a source, then paint a copy of it</source>
        <translation>Klonen: mit Strg+Klick eine Quelle wählen, dann eine Kopie davon malen</translation>
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
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>No filter selected.</source>
        <translation>Kein Filter ausgewählt.</translation>
    </message>
    <message>
        <source>Brightens the parts you paint</source>
        <translation>Hellt die übermalten Stellen auf</translation>
    </message>
    <message>
        <source>Darkens the parts you paint</source>
        <translation>Dunkelt die übermalten Stellen ab</translation>
    </message>
    <message>
        <source>Smooths skin and small blemishes</source>
        <translation>Glättet Haut und kleine Makel</translation>
    </message>
    <message>
        <source>Removes red from eyes</source>
        <translation>Entfernt rote Augen</translation>
    </message>
    <message>
        <source>Lifts the mid-tones</source>
        <translation>Hellt die Mitteltöne auf</translation>
    </message>
    <message>
        <source>Strengthens the contrast</source>
        <translation>Verstärkt den Kontrast</translation>
    </message>
    <message>
        <source>Blurs the parts you paint</source>
        <translation>Zeichnet die übermalten Stellen weich</translation>
    </message>
    <message>
        <source>Sharpens the parts you paint</source>
        <translation>Schärft die übermalten Stellen</translation>
    </message>
    <message>
        <source>Turns the parts you paint black and white</source>
        <translation>Macht die übermalten Stellen schwarzweiß</translation>
    </message>
    <message>
        <source>Turns the parts you paint into large pixels</source>
        <translation>Verwandelt die übermalten Stellen in große Pixel</translation>
    </message>
    <message>
        <source>Gives the photo a canvas texture</source>
        <translation>Gibt dem Foto eine Leinwandstruktur</translation>
    </message>
    <message>
        <source>Paints the photo in woven strokes</source>
        <translation>Malt das Foto in verflochtenen Strichen</translation>
    </message>
    <message>
        <source>Embosses the photo in grey relief</source>
        <translation>Prägt das Foto als graues Relief</translation>
    </message>
    <message>
        <source>Adds a soft, dreamy glow</source>
        <translation>Fügt ein weiches, verträumtes Leuchten hinzu</translation>
    </message>
    <message>
        <source>Paints the photo in dots</source>
        <translation>Malt das Foto aus Punkten</translation>
    </message>
    <message>
        <source>Paints the photo in blocky strokes</source>
        <translation>Malt das Foto in kantigen Strichen</translation>
    </message>
    <message>
        <source>Scatters the pixels like splashed paint</source>
        <translation>Verstreut die Pixel wie verspritzte Farbe</translation>
    </message>
    <message>
        <source>Makes the photo look painted in oils</source>
        <translation>Lässt das Foto wie ein Ölgemälde aussehen</translation>
    </message>
    <message>
        <source>Cuts the photo into mosaic tiles</source>
        <translation>Zerlegt das Foto in Mosaiksteine</translation>
    </message>
    <message>
        <source>Paints the photo in long straw strokes</source>
        <translation>Malt das Foto in langen Strohhalm-Strichen</translation>
    </message>
    <message>
        <source>Shows the photo through glass tiles</source>
        <translation>Zeigt das Foto durch Glasbausteine</translation>
    </message>
    <message>
        <source>Draws the photo as line art</source>
        <translation>Zeichnet das Foto als Strichzeichnung</translation>
    </message>
    <message>
        <source>Paints the edges of the photo</source>
        <translation>Malt die Kanten des Fotos nach</translation>
    </message>
    <message>
        <source>Reduces the photo to a few tones</source>
        <translation>Reduziert das Foto auf wenige Tonstufen</translation>
    </message>
    <message>
        <source>Blows the photo sideways like wind</source>
        <translation>Verweht das Foto seitlich wie Wind</translation>
    </message>
    <message>
        <source>Blurs the photo as if moving</source>
        <translation>Zeichnet das Foto wie in Bewegung weich</translation>
    </message>
    <message>
        <source>Blurs the photo outward from the centre</source>
        <translation>Zeichnet das Foto von der Mitte nach außen weich</translation>
    </message>
    <message>
        <source>Pushes the photo along the drag</source>
        <translation>Schiebt das Foto in Ziehrichtung</translation>
    </message>
    <message>
        <source>Makes the part under the brush grow</source>
        <translation>Bläht den Bereich unter dem Pinsel auf</translation>
    </message>
    <message>
        <source>Makes the part under the brush shrink</source>
        <translation>Lässt den Bereich unter dem Pinsel schrumpfen</translation>
    </message>
    <message>
        <source>Swirls the photo clockwise</source>
        <translation>Verwirbelt das Foto im Uhrzeigersinn</translation>
    </message>
    <message>
        <source>Swirls the photo counter-clockwise</source>
        <translation>Verwirbelt das Foto gegen den Uhrzeigersinn</translation>
    </message>
    <message>
        <source>Lights the photo with a spotlight</source>
        <translation>Beleuchtet das Foto mit einem Scheinwerfer</translation>
    </message>
    <message>
        <source>Lights the photo with a point light</source>
        <translation>Beleuchtet das Foto mit einem Punktlicht</translation>
    </message>
    <message>
        <source>Adds a camera lens flare</source>
        <translation>Fügt einen Linsenreflex hinzu</translation>
    </message>
    <message>
        <source>Adds a radial flare</source>
        <translation>Fügt einen Strahlenkranz hinzu</translation>
    </message>
    <message>
        <source>Adds a magic flare</source>
        <translation>Fügt einen magischen Schein hinzu</translation>
    </message>
    <message>
        <source>Stamps sparkling fairy dust</source>
        <translation>Stempelt funkelnden Feenstaub</translation>
    </message>
    <message>
        <source>Stamps soft mist and cloud</source>
        <translation>Stempelt weichen Nebel und Wolken</translation>
    </message>
    <message>
        <source>Stamps sparkles</source>
        <translation>Stempelt Funkeln</translation>
    </message>
    <message>
        <source>Stamps glowing fireflies</source>
        <translation>Stempelt leuchtende Glühwürmchen</translation>
    </message>
    <message>
        <source>paint on the photo</source>
        <translation>auf dem Foto malen</translation>
    </message>
    <message>
        <source>double-click or Apply</source>
        <translation>Doppelklick oder Anwenden</translation>
    </message>
    <message>
        <source>drag on the photo</source>
        <translation>auf dem Foto ziehen</translation>
    </message>
</context>
<context>
    <name>CFadeDialog</name>
    <message>
        <source>Fade</source>
        <translation>Verblassen</translation>
    </message>
    <message>
        <source>Strength of the last effect:</source>
        <translation>Stärke des letzten Effekts:</translation>
    </message>
</context>
<context>
    <name>CFramePanel</name>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Double-click a frame to put it round the photo</source>
        <translation>Einen Rahmen doppelklicken, um ihn um das Foto zu legen</translation>
    </message>
    <message>
        <source>Please Select an object to operate.</source>
        <translation>Bitte ein Objekt zum Bearbeiten auswählen.</translation>
    </message>
</context>
<context>
    <name>CLevelsBar</name>
    <message>
        <source>Drag the black, mid-tone and white handles</source>
        <translation>Die Regler für Schwarz, Mitteltöne und Weiß ziehen</translation>
    </message>
</context>
<context>
    <name>CLevelsSection</name>
    <message>
        <source>The channel whose levels are shown: RGB for all three together</source>
        <translation>Der Kanal, dessen Tonwerte gezeigt werden: RGB für alle drei zusammen</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>Schwarz</translation>
    </message>
    <message>
        <source>Mid-tones</source>
        <translation>Mitteltöne</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Weiß</translation>
    </message>
    <message>
        <source>The input level that becomes black</source>
        <translation>Der Eingangswert, der Schwarz wird</translation>
    </message>
    <message>
        <source>Mid-tone gamma: above 1 brightens the mid-tones, below 1 darkens them</source>
        <translation>Gamma der Mitteltöne: über 1 hellt sie auf, unter 1 dunkelt sie ab</translation>
    </message>
    <message>
        <source>The input level that becomes white</source>
        <translation>Der Eingangswert, der Weiß wird</translation>
    </message>
    <message>
        <source>Black eyedropper: click on the photo where it should be black</source>
        <translation>Pipette für Schwarz: im Foto klicken, wo es schwarz sein soll</translation>
    </message>
    <message>
        <source>White eyedropper: click on the photo where it should be white</source>
        <translation>Pipette für Weiß: im Foto klicken, wo es weiß sein soll</translation>
    </message>
    <message>
        <source>Grey eyedropper: click on the photo where it should be a neutral grey</source>
        <translation>Pipette für Grau: im Foto klicken, wo es neutral grau sein soll</translation>
    </message>
</context>
<context>
    <name>CPhotoCanvas</name>
    <message>
        <source>Before</source>
        <translation>Vorher</translation>
    </message>
    <message>
        <source>Free</source>
        <translation>Frei</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>1:1 Square</source>
        <translation>1:1 Quadrat</translation>
    </message>
    <message>
        <source>4:3</source>
        <translation>4:3</translation>
    </message>
    <message>
        <source>3:4 Portrait</source>
        <translation>3:4 Hochformat</translation>
    </message>
    <message>
        <source>3:2</source>
        <translation>3:2</translation>
    </message>
    <message>
        <source>2:3 Portrait</source>
        <translation>2:3 Hochformat</translation>
    </message>
    <message>
        <source>16:9</source>
        <translation>16:9</translation>
    </message>
    <message>
        <source>9:16 Portrait</source>
        <translation>9:16 Hochformat</translation>
    </message>
    <message>
        <source>Crop</source>
        <translation>Zuschneiden</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Crop to the rectangle (Enter or a double click)</source>
        <translation>Auf das Rechteck zuschneiden (Enter oder Doppelklick)</translation>
    </message>
    <message>
        <source>Leave the photo as it is (Esc)</source>
        <translation>Das Foto unverändert lassen (Esc)</translation>
    </message>
    <message>
        <source>Straighten</source>
        <translation>Gerade ausrichten</translation>
    </message>
    <message>
        <source>Turn the photo until its horizon is level</source>
        <translation>Das Foto drehen, bis der Horizont gerade ist</translation>
    </message>
    <message>
        <source>or drag along the horizon</source>
        <translation>oder am Horizont entlang ziehen</translation>
    </message>
    <message>
        <source>Turn the photo and cut it to the level rectangle (Enter)</source>
        <translation>Das Foto drehen und auf das gerade Rechteck zuschneiden (Enter)</translation>
    </message>
    <message>
        <source> Light Point </source>
        <translation> Lichtpunkt </translation>
    </message>
    <message>
        <source> View Point </source>
        <translation> Blickpunkt </translation>
    </message>
    <message>
        <source> Light Distance: %1 </source>
        <translation> Lichtabstand: %1 </translation>
    </message>
    <message>
        <source>Ctrl+click where the clone should copy from first</source>
        <translation>Zuerst mit Strg+Klick festlegen, woher der Klon kopieren soll</translation>
    </message>
    <message>
        <source>The area is too large to heal: at least a third of the photo must be left to fill it from</source>
        <translation>Der Bereich ist zu groß zum Reparieren: mindestens ein Drittel des Fotos muss bleiben, um ihn daraus zu füllen</translation>
    </message>
</context>
<context>
    <name>CProgressBox</name>
    <message>
        <source>Applying %1</source>
        <translation>%1 wird angewendet</translation>
    </message>
    <message>
        <source>Applying &quot;%1&quot;…</source>
        <translation>„%1“ wird angewendet…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Esc cancels; the photo stays as it was.</source>
        <translation>Esc bricht ab; das Foto bleibt unverändert.</translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation>Wird abgebrochen…</translation>
    </message>
</context>
<context>
    <name>CResizeDlg</name>
    <message>
        <source>Resize Photo</source>
        <translation>Fotogröße ändern</translation>
    </message>
    <message>
        <source>Now:</source>
        <translation>Aktuell:</translation>
    </message>
    <message>
        <source>%1 × %2 pixels</source>
        <translation>%1 × %2 Pixel</translation>
    </message>
    <message>
        <source>Pixels</source>
        <translation>Pixel</translation>
    </message>
    <message>
        <source>Percent</source>
        <translation>Prozent</translation>
    </message>
    <message>
        <source>Unit:</source>
        <translation>Einheit:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Breite:</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>Höhe:</translation>
    </message>
    <message>
        <source>Keep the aspect ratio</source>
        <translation>Seitenverhältnis beibehalten</translation>
    </message>
    <message>
        <source>New size:</source>
        <translation>Neue Größe:</translation>
    </message>
    <message>
        <source>Resampled with a Lanczos filter; sides are kept to multiples of 4 pixels.</source>
        <translation>Neu berechnet mit Lanczos-Filter; die Seiten bleiben Vielfache von 4 Pixeln.</translation>
    </message>
    <message>
        <source>That is the size the photo has now.</source>
        <translation>Das ist die aktuelle Größe des Fotos.</translation>
    </message>
</context>
<context>
    <name>CSaveAsDialog</name>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>Qualität:</translation>
    </message>
    <message>
        <source>Lossless</source>
        <translation>Verlustfrei</translation>
    </message>
    <message>
        <source>Remove camera and location details</source>
        <translation>Kamera- und Ortsangaben entfernen</translation>
    </message>
    <message>
        <source>Save without the date taken, camera, place and other details the photo carried</source>
        <translation>Ohne Aufnahmedatum, Kamera, Ort und andere im Foto enthaltene Angaben speichern</translation>
    </message>
</context>
<context>
    <name>CTextPanel</name>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Merge Down</source>
        <translation>Auf Foto übertragen</translation>
    </message>
    <message>
        <source>Opacity:</source>
        <translation>Deckkraft:</translation>
    </message>
    <message>
        <source>Font:</source>
        <translation>Schrift:</translation>
    </message>
    <message>
        <source>1st Color:</source>
        <translation>1. Farbe:</translation>
    </message>
    <message>
        <source>2nd Color:</source>
        <translation>2. Farbe:</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Stil</translation>
    </message>
</context>
<context>
    <name>CToneGraph</name>
    <message>
        <source>Click to add a point, drag to move it, drag it off the square to remove it.
Keys: [ and ] pick a point, arrows move it, Insert adds one, Delete removes it.</source>
        <translation>Klicken fügt einen Punkt hinzu, Ziehen verschiebt ihn, aus dem Quadrat gezogen wird er entfernt.
Tasten: [ und ] wählen einen Punkt, Pfeile verschieben ihn, Einfg fügt einen hinzu, Entf entfernt ihn.</translation>
    </message>
</context>
<context>
    <name>DevelopNotice</name>
    <message>
        <source>Developing…</source>
        <translation>Wird entwickelt…</translation>
    </message>
    <message>
        <source>Esc keeps the preview</source>
        <translation>Esc behält die Vorschau</translation>
    </message>
    <message>
        <source>The photo was opened, but %1.</source>
        <translation>Das Foto wurde geöffnet, aber %1.</translation>
    </message>
    <message>
        <source>The RAW photo could not be developed (%1); its preview stays.</source>
        <translation>Das RAW-Foto konnte nicht entwickelt werden (%1); seine Vorschau bleibt.</translation>
    </message>
</context>
<context>
    <name>Effects</name>
    <message>
        <source>Lighten</source>
        <translation>Aufhellen</translation>
    </message>
    <message>
        <source>Darken</source>
        <translation>Abdunkeln</translation>
    </message>
    <message>
        <source>Smooth Skin</source>
        <translation>Haut glätten</translation>
    </message>
    <message>
        <source>R- Red Eye</source>
        <translation>Rote Augen entf.</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Gamma</translation>
    </message>
    <message>
        <source>Constrast</source>
        <translation>Kontrast</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Weichzeichnen</translation>
    </message>
    <message>
        <source>Sharp</source>
        <translation>Schärfen</translation>
    </message>
    <message>
        <source>B &amp;&amp; W</source>
        <translation>S &amp;&amp; W</translation>
    </message>
    <message>
        <source>Pixelize</source>
        <translation>Verpixeln</translation>
    </message>
    <message>
        <source>Canvas</source>
        <translation>Leinwand</translation>
    </message>
    <message>
        <source>Weave</source>
        <translation>Geflecht</translation>
    </message>
    <message>
        <source>Emboss</source>
        <translation>Relief</translation>
    </message>
    <message>
        <source>Soft Glow</source>
        <translation>Glühen</translation>
    </message>
    <message>
        <source>Dot Art</source>
        <translation>Punktkunst</translation>
    </message>
    <message>
        <source>Cubism</source>
        <translation>Kubismus</translation>
    </message>
    <message>
        <source>Splash</source>
        <translation>Spritzer</translation>
    </message>
    <message>
        <source>Oil Paint</source>
        <translation>Ölgemälde</translation>
    </message>
    <message>
        <source>Mosaic</source>
        <translation>Mosaik</translation>
    </message>
    <message>
        <source>Straws</source>
        <translation>Strohhalme</translation>
    </message>
    <message>
        <source>Glass</source>
        <translation>Glas</translation>
    </message>
    <message>
        <source>Line Art</source>
        <translation>Strichzeichnung</translation>
    </message>
    <message>
        <source>Edge Paint</source>
        <translation>Kantenmalerei</translation>
    </message>
    <message>
        <source>Posterize</source>
        <translation>Tontrennung</translation>
    </message>
    <message>
        <source>Wind</source>
        <translation>Wind</translation>
    </message>
    <message>
        <source>Motion Blur</source>
        <translation>Bewegungsunschärfe</translation>
    </message>
    <message>
        <source>Radial Blur</source>
        <translation>Radiale Unschärfe</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Verschieben</translation>
    </message>
    <message>
        <source>Grow</source>
        <translation>Aufblähen</translation>
    </message>
    <message>
        <source>Shink</source>
        <translation>Schrumpfen</translation>
    </message>
    <message>
        <source>Swirl CW</source>
        <translation>Wirbel rechts</translation>
    </message>
    <message>
        <source>SWirl CCW</source>
        <translation>Wirbel links</translation>
    </message>
    <message>
        <source>Reduce Warp</source>
        <translation>Verformung verringern</translation>
    </message>
    <message>
        <source>Spotlight</source>
        <translation>Scheinwerfer</translation>
    </message>
    <message>
        <source>Point Light</source>
        <translation>Punktlicht</translation>
    </message>
    <message>
        <source>Lens Flare</source>
        <translation>Linsenreflex</translation>
    </message>
    <message>
        <source>Radial Flare</source>
        <translation>Strahlenkranz</translation>
    </message>
    <message>
        <source>Magic Flare</source>
        <translation>Magischer Schein</translation>
    </message>
    <message>
        <source>Fairy Dust</source>
        <translation>Feenstaub</translation>
    </message>
    <message>
        <source>Mist / Cloud</source>
        <translation>Nebel / Wolke</translation>
    </message>
    <message>
        <source>Sparkle</source>
        <translation>Funkeln</translation>
    </message>
    <message>
        <source>Firefly</source>
        <translation>Glühwürmchen</translation>
    </message>
</context>
<context>
    <name>FileController</name>
    <message>
        <source>Current photo has been modified, Do you want to save it?</source>
        <translation>Das aktuelle Foto wurde geändert. Möchten Sie es speichern?</translation>
    </message>
    <message>
        <source>The photo could not be saved as &quot;%1&quot;:
%2.</source>
        <translation>Das Foto konnte nicht als „%1“ gespeichert werden:
%2.</translation>
    </message>
    <message>
        <source>Saved, but %1.</source>
        <translation>Gespeichert, aber %1.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>The photo &quot;%1&quot; could not be opened.%2</source>
        <translation>Das Foto „%1“ konnte nicht geöffnet werden.%2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is damaged: part of the picture may be missing.</source>
        <translation>„%1“ ist beschädigt: Ein Teil des Bildes fehlt möglicherweise.</translation>
    </message>
    <message>
        <source>The photo was reduced from %1 × %2 to %3 × %4 pixels for editing.
Auto Resize Threshold sets the largest size that opens unreduced.</source>
        <translation>Das Foto wurde zum Bearbeiten von %1 × %2 auf %3 × %4 Pixel verkleinert.
Die Schwelle für automatische Verkleinerung legt die größte Größe fest, die unverkleinert geöffnet wird.</translation>
    </message>
    <message>
        <source>The photo was opened, but %1.</source>
        <translation>Das Foto wurde geöffnet, aber %1.</translation>
    </message>
    <message>
        <source>One photo is edited at a time; not opened: %1</source>
        <translation>Es wird jeweils nur ein Foto bearbeitet; nicht geöffnet: %1</translation>
    </message>
    <message>
        <source>The photo &quot;%1&quot; no longer exists.</source>
        <translation>Das Foto „%1“ existiert nicht mehr.</translation>
    </message>
    <message>
        <source>(no recent photos)</source>
        <translation>(keine zuletzt geöffneten Fotos)</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Liste leeren</translation>
    </message>
</context>
<context>
    <name>PanelController</name>
    <message>
        <source>Cancelled: the photo is as it was.</source>
        <translation>Abgebrochen: Das Foto ist unverändert.</translation>
    </message>
    <message>
        <source>Apply the adjustment first?</source>
        <translation>Die Anpassung zuerst anwenden?</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
</context>
<context>
    <name>PictureFormats</name>
    <message>
        <source>(all picture files)</source>
        <translation>(alle Bilddateien)</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>a photo</source>
        <translation>ein Foto</translation>
    </message>
    <message>
        <source>%1  —  %2, step %3 of %4</source>
        <translation>%1  —  %2, Schritt %3 von %4</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
    <message>
        <source>%1 was closed before the changes to %2 were saved. Restore them?</source>
        <translation>%1 wurde geschlossen, bevor die Änderungen für %2 gespeichert wurden. Wiederherstellen?</translation>
    </message>
    <message>
        <source>Recovery after a crash is off: %1.</source>
        <translation>Die Wiederherstellung nach einem Absturz ist deaktiviert: %1.</translation>
    </message>
    <message>
        <source>The changes to %1 kept after %2 was closed cannot be restored: %3.
Discard them?</source>
        <translation>Die Änderungen für %1, die nach dem Schließen von %2 aufbewahrt wurden, können nicht wiederhergestellt werden: %3.
Verwerfen?</translation>
    </message>
</context>
<context>
    <name>Reasons</name>
    <message>
        <source>the file %1 is missing</source>
        <translation>die Datei %1 fehlt</translation>
    </message>
    <message>
        <source>the file %1 is too large</source>
        <translation>die Datei %1 ist zu groß</translation>
    </message>
    <message>
        <source>the file %1 cannot be read</source>
        <translation>die Datei %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>it is not a recovery journal</source>
        <translation>es ist kein Wiederherstellungsprotokoll</translation>
    </message>
    <message>
        <source>it was written by another version (%1)</source>
        <translation>es wurde von einer anderen Version geschrieben (%1)</translation>
    </message>
    <message>
        <source>its state is truncated</source>
        <translation>sein Zustand ist abgeschnitten</translation>
    </message>
    <message>
        <source>its state has a bad checksum</source>
        <translation>sein Zustand hat eine falsche Prüfsumme</translation>
    </message>
    <message>
        <source>a snapshot has an impossible size</source>
        <translation>ein Zwischenstand hat eine unmögliche Größe</translation>
    </message>
    <message>
        <source>a history step refers to a missing snapshot</source>
        <translation>ein Verlaufsschritt verweist auf einen fehlenden Zwischenstand</translation>
    </message>
    <message>
        <source>its state cannot be read</source>
        <translation>sein Zustand kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the opened photo has an impossible size</source>
        <translation>das geöffnete Foto hat eine unmögliche Größe</translation>
    </message>
    <message>
        <source>its history position is impossible</source>
        <translation>seine Position im Verlauf ist unmöglich</translation>
    </message>
    <message>
        <source>the file %1 is truncated</source>
        <translation>die Datei %1 ist abgeschnitten</translation>
    </message>
    <message>
        <source>the opened photo is damaged</source>
        <translation>das geöffnete Foto ist beschädigt</translation>
    </message>
    <message>
        <source>the opened photo does not decode</source>
        <translation>das geöffnete Foto lässt sich nicht dekodieren</translation>
    </message>
    <message>
        <source>a snapshot is damaged</source>
        <translation>ein Zwischenstand ist beschädigt</translation>
    </message>
    <message>
        <source>the current photo does not decode</source>
        <translation>das aktuelle Foto lässt sich nicht dekodieren</translation>
    </message>
    <message>
        <source>the folder %1 cannot be written</source>
        <translation>in den Ordner %1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>the opened photo could not be encoded</source>
        <translation>das geöffnete Foto konnte nicht kodiert werden</translation>
    </message>
    <message>
        <source>the photo of its history position cannot be decoded</source>
        <translation>das Foto seiner Verlaufsposition lässt sich nicht dekodieren</translation>
    </message>
    <message>
        <source>no photo is open</source>
        <translation>kein Foto ist geöffnet</translation>
    </message>
    <message>
        <source>the angle must be between -45 and 45 degrees</source>
        <translation>der Winkel muss zwischen -45 und 45 Grad liegen</translation>
    </message>
    <message>
        <source>nothing of the photo would be left</source>
        <translation>vom Foto bliebe nichts übrig</translation>
    </message>
    <message>
        <source>the picture is not CMYK</source>
        <translation>das Bild ist kein CMYK-Bild</translation>
    </message>
    <message>
        <source>the picture is too large</source>
        <translation>das Bild ist zu groß</translation>
    </message>
    <message>
        <source>the TIFF cannot be read</source>
        <translation>das TIFF kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>only 8-bit CMYK TIFFs in strips are read through their profile</source>
        <translation>nur 8-Bit-CMYK-TIFFs in Streifen werden über ihr Profil gelesen</translation>
    </message>
    <message>
        <source>the TIFF is damaged</source>
        <translation>das TIFF ist beschädigt</translation>
    </message>
    <message>
        <source>cannot read the file</source>
        <translation>die Datei kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>only JPEG and TIFF pictures are read as CMYK</source>
        <translation>nur JPEG- und TIFF-Bilder werden als CMYK gelesen</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>die Datei ist leer</translation>
    </message>
    <message>
        <source>the file is too large</source>
        <translation>die Datei ist zu groß</translation>
    </message>
    <message>
        <source>the file type is not supported</source>
        <translation>der Dateityp wird nicht unterstützt</translation>
    </message>
    <message>
        <source>the picture could not be decoded</source>
        <translation>das Bild konnte nicht dekodiert werden</translation>
    </message>
    <message>
        <source>the codec module has no entry</source>
        <translation>das Codec-Modul hat keinen Einstiegspunkt</translation>
    </message>
    <message>
        <source>the file name has no extension</source>
        <translation>der Dateiname hat keine Endung</translation>
    </message>
    <message>
        <source>saved</source>
        <translation>gespeichert</translation>
    </message>
    <message>
        <source>no picture format matches the file name&apos;s extension</source>
        <translation>kein Bildformat passt zur Endung des Dateinamens</translation>
    </message>
    <message>
        <source>the picture could not be encoded</source>
        <translation>das Bild konnte nicht kodiert werden</translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <translation>die Datei konnte nicht geschrieben werden</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>unbekannter Fehler</translation>
    </message>
    <message>
        <source>the HEIF decoder could not start</source>
        <translation>der HEIF-Decoder konnte nicht starten</translation>
    </message>
    <message>
        <source>the HEIF file has no picture</source>
        <translation>die HEIF-Datei enthält kein Bild</translation>
    </message>
    <message>
        <source>the HEIF picture could not be decoded</source>
        <translation>das HEIF-Bild konnte nicht dekodiert werden</translation>
    </message>
    <message>
        <source>not enough memory for the picture</source>
        <translation>nicht genug Speicher für das Bild</translation>
    </message>
    <message>
        <source>the JPEG XL decoder could not start</source>
        <translation>der JPEG-XL-Decoder konnte nicht starten</translation>
    </message>
    <message>
        <source>the JPEG XL file is damaged</source>
        <translation>die JPEG-XL-Datei ist beschädigt</translation>
    </message>
    <message>
        <source>the JPEG XL file is cut short</source>
        <translation>die JPEG-XL-Datei ist abgeschnitten</translation>
    </message>
    <message>
        <source>the JPEG XL picture could not be decoded</source>
        <translation>das JPEG-XL-Bild konnte nicht dekodiert werden</translation>
    </message>
    <message>
        <source>the JPEG XL file has no picture</source>
        <translation>die JPEG-XL-Datei enthält kein Bild</translation>
    </message>
    <message>
        <source>the picture is smaller than 4 x 4 pixels</source>
        <translation>das Bild ist kleiner als 4 × 4 Pixel</translation>
    </message>
    <message>
        <source>the picture could not be converted to 24 bits</source>
        <translation>das Bild konnte nicht in 24 Bit umgewandelt werden</translation>
    </message>
    <message>
        <source>the picture could not be turned upright</source>
        <translation>das Bild konnte nicht aufgerichtet werden</translation>
    </message>
    <message>
        <source>the picture could not be resized</source>
        <translation>die Bildgröße konnte nicht geändert werden</translation>
    </message>
    <message>
        <source>the EXIF block is too large and was not kept</source>
        <translation>der EXIF-Block ist zu groß und wurde nicht übernommen</translation>
    </message>
    <message>
        <source>the EXIF block is damaged and was not kept</source>
        <translation>der EXIF-Block ist beschädigt und wurde nicht übernommen</translation>
    </message>
    <message>
        <source>the IPTC block is damaged and was not kept</source>
        <translation>der IPTC-Block ist beschädigt und wurde nicht übernommen</translation>
    </message>
    <message>
        <source>the EXIF block could not be read and was left out</source>
        <translation>der EXIF-Block konnte nicht gelesen werden und wurde weggelassen</translation>
    </message>
    <message>
        <source>the EXIF block could not be written and was left out</source>
        <translation>der EXIF-Block konnte nicht geschrieben werden und wurde weggelassen</translation>
    </message>
    <message>
        <source>the XMP block could not be read and was left out</source>
        <translation>der XMP-Block konnte nicht gelesen werden und wurde weggelassen</translation>
    </message>
    <message>
        <source>the XMP block could not be written and was left out</source>
        <translation>der XMP-Block konnte nicht geschrieben werden und wurde weggelassen</translation>
    </message>
    <message>
        <source>the photo&apos;s metadata is damaged and was not kept</source>
        <translation>die Metadaten des Fotos sind beschädigt und wurden nicht übernommen</translation>
    </message>
    <message>
        <source>the XMP block is damaged and was not kept</source>
        <translation>der XMP-Block ist beschädigt und wurde nicht übernommen</translation>
    </message>
    <message>
        <source>the metadata could not be written; the picture was saved without it</source>
        <translation>die Metadaten konnten nicht geschrieben werden; das Bild wurde ohne sie gespeichert</translation>
    </message>
</context>
<context>
    <name>ViewController</name>
    <message>
        <source>Zoom: type a percentage and press Enter (Ctrl++, Ctrl+-, Ctrl+0 fits, Ctrl+1 is 100 %)</source>
        <translation>Zoom: Prozentwert eingeben und Enter drücken (Strg++, Strg+-, Strg+0 einpassen, Strg+1 ist 100 %)</translation>
    </message>
    <message>
        <source>Before: hold to see the photo as opened (or hold \)</source>
        <translation>Vorher: gedrückt halten, um das Foto wie beim Öffnen zu sehen (oder \ gedrückt halten)</translation>
    </message>
    <message>
        <source>The photo could not be resized: %1.</source>
        <translation>Die Größe des Fotos konnte nicht geändert werden: %1.</translation>
    </message>
</context>
<context>
    <name>WindowChrome</name>
    <message>
        <source>Photo Frame</source>
        <translation>Fotorahmen</translation>
    </message>
    <message>
        <source>Opacity</source>
        <translation>Deckkraft</translation>
    </message>
    <message>
        <source>Deform Radius</source>
        <translation>Verformungsradius</translation>
    </message>
    <message>
        <source>Deform Amount</source>
        <translation>Verformungsstärke</translation>
    </message>
    <message>
        <source>Open a photo to begin</source>
        <translation>Zum Beginnen ein Foto öffnen</translation>
    </message>
    <message>
        <source>%1 × %2 pixels</source>
        <translation>%1 × %2 Pixel</translation>
    </message>
    <message>
        <source>Edited</source>
        <translation>Bearbeitet</translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <source>As opened</source>
        <translation>Wie geöffnet</translation>
    </message>
    <message>
        <source>%1 × %2</source>
        <translation>%1 × %2</translation>
    </message>
    <message>
        <source>, edited</source>
        <translation>, bearbeitet</translation>
    </message>
    <message>
        <source>, saved</source>
        <translation>, gespeichert</translation>
    </message>
</context>
</TS>
