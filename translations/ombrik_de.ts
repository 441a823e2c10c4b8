<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
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
    <name>CEditorDlg</name>
    <message>
        <source>Restore</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Restore brush: paints the photo as it was opened</source>
        <translation>Wiederherstellungspinsel: malt das Foto so, wie es geöffnet wurde</translation>
    </message>
    <message>
        <source>Reduce Warp</source>
        <translation>Verformung verringern</translation>
    </message>
    <message>
        <source>Eases the warping under the brush back towards the photo before warping</source>
        <translation>Nimmt die Verformung unter dem Pinsel zurück, hin zum Foto vor dem Verformen</translation>
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
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Sichern</translation>
    </message>
    <message>
        <source>Open a photo (Ctrl+O)</source>
        <translation>Ein Foto öffnen (Strg+O)</translation>
    </message>
    <message>
        <source>Save the photo as a picture file (Ctrl+Shift+S)</source>
        <translation>Das Foto als Bilddatei speichern (Strg+Umschalt+S)</translation>
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
        <source>Delete Selected Object</source>
        <translation>Ausgewähltes Objekt löschen</translation>
    </message>
    <message>
        <source>Delete Photo Frame</source>
        <translation>Fotorahmen löschen</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Auto Resize Threshold</source>
        <translation>Schwelle für automatische Verkleinerung</translation>
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
        <source>Zoom in</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Verkleinern</translation>
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
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Undo (Ctrl+Z)</source>
        <translation>Rückgängig (Strg+Z)</translation>
    </message>
    <message>
        <source>Redo (Ctrl+Y)</source>
        <translation>Wiederholen (Strg+Y)</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
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
        <source>%1 × %2 pixels</source>
        <translation>%1 × %2 Pixel</translation>
    </message>
    <message>
        <source>Edited</source>
        <translation>Bearbeitet</translation>
    </message>
    <message>
        <source>As opened</source>
        <translation>Wie geöffnet</translation>
    </message>
    <message>
        <source>Open a photo to begin</source>
        <translation>Zum Beginnen ein Foto öffnen</translation>
    </message>
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
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>The photo could not be saved as &quot;%1&quot;:
%2.</source>
        <translation>Das Foto konnte nicht als „%1“ gespeichert werden:
%2.</translation>
    </message>
    <message>
        <source>The photo &quot;%1&quot; could not be opened.%2</source>
        <translation>Das Foto „%1“ konnte nicht geöffnet werden.%2</translation>
    </message>
    <message>
        <source>The photo was reduced from %1 × %2 to %3 × %4 pixels for editing.
Auto Resize Threshold sets the largest size that opens unreduced.</source>
        <translation>Das Foto wurde zum Bearbeiten von %1 × %2 auf %3 × %4 Pixel verkleinert.
Die Schwelle für automatische Verkleinerung legt die größte Größe fest, die unverkleinert geöffnet wird.</translation>
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
    <name>CEffectPanel</name>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>No filter selected.</source>
        <translation>Kein Filter ausgewählt.</translation>
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
</TS>
