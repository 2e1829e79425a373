<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>QObject</name>
    <message>
        <source>Custom</source>
        <translation>Benutzerdefiniert</translation>
    </message>
    <message>
        <source>16:9 (Widescreen)</source>
        <translation>16:9 (Breitbild)</translation>
    </message>
    <message>
        <source>1:1 (Instagram)</source>
        <translation>1:1 (Instagram)</translation>
    </message>
    <message>
        <source>9:16 (Portrait)</source>
        <translation>9:16 (Hochformat)</translation>
    </message>
    <message>
        <source>4:3 (Standard)</source>
        <translation>4:3 (Standard)</translation>
    </message>
    <message>
        <source>3:4 (Business)</source>
        <translation>3:4 (Business)</translation>
    </message>
    <message>
        <source>21:9 (Cinema)</source>
        <translation>21:9 (Kino)</translation>
    </message>
    <message>
        <source>4:5 (Vertical)</source>
        <translation>4:5 (Vertikal)</translation>
    </message>
    <message>
        <source>Scene</source>
        <translation>Szene</translation>
    </message>
</context>
<context>
    <name>VMessageDialog</name>
    <message>
        <source>Information</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
</context>
<context>
    <name>VkAudioInfoPage</name>
    <message>
        <source>Audio Info</source>
        <translation>Audio-Informationen</translation>
    </message>
    <message>
        <source>Codec:</source>
        <translation>Codec:</translation>
    </message>
    <message>
        <source>Sample Rate:</source>
        <translation>Abtastrate:</translation>
    </message>
    <message>
        <source>Bit Rate:</source>
        <translation>Bitrate:</translation>
    </message>
    <message>
        <source>%1 Hz, %2 Bits</source>
        <translation>%1 Hz, %2 Bit</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>Channel:</source>
        <comment>number of audio channels</comment>
        <translation>Kanäle:</translation>
    </message>
</context>
<context>
    <name>VkAudioInfoPageManager</name>
    <message>
        <source>%1 kbps</source>
        <translation>%1 kbit/s</translation>
    </message>
    <message>
        <source>None</source>
        <comment>shown where a value is unknown</comment>
        <translation>Keine</translation>
    </message>
</context>
<context>
    <name>VkCommonInfoPage</name>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Speicherort:</translation>
    </message>
    <message>
        <source>File Size:</source>
        <translation>Dateigröße:</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>Dauer:</translation>
    </message>
    <message>
        <source>Date Created:</source>
        <translation>Erstellt am:</translation>
    </message>
    <message>
        <source>Keyword:</source>
        <translation>Stichwörter:</translation>
    </message>
    <message>
        <source>Copyright:</source>
        <translation>Urheberrecht:</translation>
    </message>
</context>
<context>
    <name>VkCommonInfoPageManager</name>
    <message>
        <source>unnamed</source>
        <translation>unbenannt</translation>
    </message>
    <message>
        <source>Photo by</source>
        <translation>Foto von</translation>
    </message>
    <message>
        <source>None</source>
        <comment>shown where a value is unknown</comment>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Shot by</source>
        <comment>credit of a filmed clip: Shot by &lt;author&gt; on &lt;site&gt;</comment>
        <translation>Aufgenommen von</translation>
    </message>
    <message>
        <source>on</source>
        <comment>credit: Photo by &lt;author&gt; on &lt;site&gt;</comment>
        <translation>auf</translation>
    </message>
</context>
<context>
    <name>VkDemoWindow</name>
    <message>
        <source>VkPopupDialog Demo</source>
        <translation>VkPopupDialog-Demo</translation>
    </message>
    <message>
        <source>Project:</source>
        <translation>Projekt:</translation>
    </message>
    <message>
        <source>Aspect Ratio:</source>
        <translation>Seitenverhältnis:</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Auflösung:</translation>
    </message>
    <message>
        <source>Frame Rate:</source>
        <translation>Bildrate:</translation>
    </message>
    <message>
        <source>Color Space:</source>
        <translation>Farbraum:</translation>
    </message>
    <message>
        <source>Project Settings...</source>
        <translation>Projekteinstellungen …</translation>
    </message>
    <message>
        <source>New project (not saved)</source>
        <translation>Neues Projekt (nicht gespeichert)</translation>
    </message>
    <message>
        <source>Media File:</source>
        <translation>Mediendatei:</translation>
    </message>
    <message>
        <source>Item Name:</source>
        <translation>Name des Elements:</translation>
    </message>
    <message>
        <source>Scenes:</source>
        <translation>Szenen:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen …</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Unsupported Image...</source>
        <translation>Nicht unterstütztes Bild …</translation>
    </message>
    <message>
        <source>Properties...</source>
        <translation>Eigenschaften …</translation>
    </message>
    <message>
        <source>Scene Detection...</source>
        <translation>Szenenerkennung …</translation>
    </message>
    <message>
        <source>No media file chosen</source>
        <translation>Keine Mediendatei gewählt</translation>
    </message>
    <message>
        <source>Choose a Media File</source>
        <translation>Mediendatei wählen</translation>
    </message>
    <message>
        <source>Media files (*.mp4 *.mov *.mkv *.avi *.webm *.ts *.mp3 *.wav *.flac *.m4a *.png *.jpg *.jpeg *.bmp *.gif *.webp);;All files (*)</source>
        <translation>Mediendateien (*.mp4 *.mov *.mkv *.avi *.webm *.ts *.mp3 *.wav *.flac *.m4a *.png *.jpg *.jpeg *.bmp *.gif *.webp);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Choose a video clip first.</source>
        <translation>Wählen Sie zuerst einen Videoclip.</translation>
    </message>
    <message>
        <source>Scene detection needs a video clip; %1 has no moving pictures.</source>
        <translation>Die Szenenerkennung braucht einen Videoclip; %1 enthält keine bewegten Bilder.</translation>
    </message>
    <message>
        <source>Choose a media file first.</source>
        <translation>Wählen Sie zuerst eine Mediendatei.</translation>
    </message>
    <message>
        <source>None read back yet: run scene detection and choose &quot;Add To Timeline&quot;.</source>
        <translation>Noch keine Szenen übernommen: Führen Sie die Szenenerkennung aus und wählen Sie „Zur Zeitleiste“.</translation>
    </message>
    <message>
        <source>Scene %1: frames %2 to %3 (%4 frames)</source>
        <translation>Szene %1: Bilder %2 bis %3 (%4 Bilder)</translation>
    </message>
    <message>
        <source>The language cannot be switched: %1</source>
        <translation>Die Sprache lässt sich nicht umschalten: %1</translation>
    </message>
</context>
<context>
    <name>VkMediaItemFactory</name>
    <message>
        <source>No media file was given.</source>
        <translation>Es wurde keine Mediendatei angegeben.</translation>
    </message>
    <message>
        <source>%1 is not a video, audio or image file that can be opened: %2</source>
        <translation>%1 ist keine Video-, Audio- oder Bilddatei, die sich öffnen lässt: %2</translation>
    </message>
</context>
<context>
    <name>VkMediaPropertyDialog</name>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Keeps the new name and the alpha choice</source>
        <translation>Übernimmt den neuen Namen und die Alpha-Wahl</translation>
    </message>
</context>
<context>
    <name>VkPhotoInfoPage</name>
    <message>
        <source>Photo</source>
        <translation>Foto</translation>
    </message>
    <message>
        <source>Camera Maker:</source>
        <translation>Kamerahersteller:</translation>
    </message>
    <message>
        <source>Camera Model:</source>
        <translation>Kameramodell:</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Auflösung:</translation>
    </message>
    <message>
        <source>Exposure Time:</source>
        <translation>Belichtungszeit:</translation>
    </message>
</context>
<context>
    <name>VkPhotoInfoPageManager</name>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>None</source>
        <comment>shown where a value is unknown</comment>
        <translation>Keine</translation>
    </message>
</context>
<context>
    <name>VkPlayerToolBarBase</name>
    <message>
        <source>Previous Frame</source>
        <translation>Vorheriges Bild</translation>
    </message>
    <message>
        <source>Next Frame</source>
        <translation>Nächstes Bild</translation>
    </message>
    <message>
        <source>Full Screen</source>
        <translation>Vollbild</translation>
    </message>
    <message>
        <source>Playback position</source>
        <translation>Wiedergabeposition</translation>
    </message>
    <message>
        <source>Current time</source>
        <translation>Aktuelle Zeit</translation>
    </message>
    <message>
        <source>Pause</source>
        <comment>verb: pause playback</comment>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Play</source>
        <comment>verb: start playback</comment>
        <translation>Wiedergabe</translation>
    </message>
    <message>
        <source>Stop</source>
        <comment>verb: stop playback</comment>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Volume</source>
        <comment>noun: loudness of the sound</comment>
        <translation>Lautstärke</translation>
    </message>
    <message>
        <source>Duration</source>
        <comment>noun: length of the clip</comment>
        <translation>Dauer</translation>
    </message>
</context>
<context>
    <name>VkPngPhotoInfoPage</name>
    <message>
        <source>Alpha Channel</source>
        <translation>Alphakanal</translation>
    </message>
    <message>
        <source>Straight Alpha</source>
        <translation>Direktes Alpha</translation>
    </message>
    <message>
        <source>Premultiplied Alpha</source>
        <translation>Vormultipliziertes Alpha</translation>
    </message>
    <message>
        <source>Ignore Alpha</source>
        <translation>Alpha ignorieren</translation>
    </message>
</context>
<context>
    <name>VkProjectSettingDialog</name>
    <message>
        <source>Project Settings</source>
        <translation>Projekteinstellungen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>ABBRUCH</translation>
    </message>
    <message>
        <source>Saves the settings into the project</source>
        <translation>Speichert die Einstellungen im Projekt</translation>
    </message>
    <message>
        <source>Closes the window without saving</source>
        <translation>Schließt das Fenster ohne zu speichern</translation>
    </message>
</context>
<context>
    <name>VkProjectSettingPanel</name>
    <message>
        <source>Aspect Ratio:</source>
        <translation>Seitenverhältnis:</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Auflösung:</translation>
    </message>
    <message>
        <source>Frame Rate:</source>
        <translation>Bildrate:</translation>
    </message>
    <message>
        <source>Color Space:</source>
        <translation>Farbraum:</translation>
    </message>
    <message>
        <source>lock aspect ratio</source>
        <translation>Seitenverhältnis beibehalten</translation>
    </message>
    <message>
        <source>Aspect Ratio </source>
        <translation>Seitenverhältnis </translation>
    </message>
    <message>
        <source>It is detected that HDR is not enabled on the current device, and there may be color difference during preview. You can enable it in Start &gt; Settings &gt; System &gt; Display. For details, please check</source>
        <translation>Auf diesem Gerät ist HDR nicht aktiviert, daher können die Farben in der Vorschau abweichen. Sie können HDR unter Start &gt; Einstellungen &gt; System &gt; Bildschirm aktivieren. Einzelheiten finden Sie hier:</translation>
    </message>
    <message>
        <source>It is found that the current device does not satisfy the conditions for enabling GPU acceleration, and there may be color differences during preview.</source>
        <translation>Dieses Gerät erfüllt nicht die Voraussetzungen für die GPU-Beschleunigung, daher können die Farben in der Vorschau abweichen.</translation>
    </message>
    <message>
        <source>Aspect Ratio</source>
        <translation>Seitenverhältnis</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Auflösung</translation>
    </message>
    <message>
        <source>Preset frame sizes of the chosen aspect ratio</source>
        <translation>Vorgegebene Bildgrößen des gewählten Seitenverhältnisses</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Frame width in pixels</source>
        <translation>Bildbreite in Pixeln</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Höhe</translation>
    </message>
    <message>
        <source>Frame height in pixels</source>
        <translation>Bildhöhe in Pixeln</translation>
    </message>
    <message>
        <source>Lock aspect ratio</source>
        <translation>Seitenverhältnis sperren</translation>
    </message>
    <message>
        <source>Keeps width and height in proportion while you type</source>
        <translation>Hält Breite und Höhe beim Tippen im Verhältnis</translation>
    </message>
    <message>
        <source>Frame Rate</source>
        <translation>Bildrate</translation>
    </message>
    <message>
        <source>Color Space</source>
        <translation>Farbraum</translation>
    </message>
    <message>
        <source>The aspect ratio of the frame size</source>
        <translation>Das Seitenverhältnis der Bildgröße</translation>
    </message>
</context>
<context>
    <name>VkScenceDetectListItem</name>
    <message>
        <source>Duration:</source>
        <translation>Dauer:</translation>
    </message>
    <message>
        <source>Remove %1</source>
        <translation>%1 entfernen</translation>
    </message>
    <message>
        <source>Time range: %1</source>
        <translation>Zeitbereich: %1</translation>
    </message>
    <message>
        <source>Remove this scene</source>
        <translation>Diese Szene entfernen</translation>
    </message>
</context>
<context>
    <name>VkScenceDetectListWidget</name>
    <message>
        <source>Scene</source>
        <translation>Szene</translation>
    </message>
    <message>
        <source>Scenes</source>
        <translation>Szenen</translation>
    </message>
    <message>
        <source>Arrow keys choose a scene, Enter previews it, Delete removes it</source>
        <translation>Pfeiltasten wählen eine Szene, Eingabe zeigt sie in der Vorschau, Entf entfernt sie</translation>
    </message>
</context>
<context>
    <name>VkScenceDetectProgress</name>
    <message>
        <source>Detection progress</source>
        <translation>Fortschritt der Erkennung</translation>
    </message>
    <message>
        <source>Analysed %1 of %2 frames (%3%)</source>
        <translation>%1 von %2 Bildern analysiert (%3 %)</translation>
    </message>
    <message>
        <source>Analysed %1 frames</source>
        <translation>%1 Bilder analysiert</translation>
    </message>
</context>
<context>
    <name>VkScenceDetectionDlg</name>
    <message>
        <source>Scene Detection</source>
        <translation>Szenenerkennung</translation>
    </message>
</context>
<context>
    <name>VkScenceDetectionPanel</name>
    <message>
        <source>Add To Timeline</source>
        <translation>Zur Zeitleiste</translation>
    </message>
    <message>
        <source>Detect</source>
        <comment>verb: find the scenes of the clip</comment>
        <translation>Erkennen</translation>
    </message>
    <message>
        <source>Stop</source>
        <comment>verb: stop finding scenes</comment>
        <translation>Stopp</translation>
    </message>
</context>
<context>
    <name>VkStartupDlg</name>
    <message>
        <source>Aspect Ratio:</source>
        <translation>Seitenverhältnis:</translation>
    </message>
    <message>
        <source>New Project</source>
        <translation>Neues Projekt</translation>
    </message>
    <message>
        <source>Project Library</source>
        <translation>Projektbibliothek</translation>
    </message>
    <message>
        <source>Recent Projects</source>
        <translation>Letzte Projekte</translation>
    </message>
    <message>
        <source>Online Help</source>
        <translation>Online-Hilfe</translation>
    </message>
    <message>
        <source>Show this window when Tessel launches</source>
        <translation>Beim Start anzeigen</translation>
    </message>
    <message>
        <source>Aspect Ratio</source>
        <translation>Seitenverhältnis</translation>
    </message>
    <message>
        <source>Starts an empty project</source>
        <translation>Beginnt ein leeres Projekt</translation>
    </message>
    <message>
        <source>Chooses a project file on disk</source>
        <translation>Wählt eine Projektdatei auf dem Datenträger</translation>
    </message>
    <message>
        <source>Search projects</source>
        <translation>Projekte durchsuchen</translation>
    </message>
    <message>
        <source>Arrow keys choose a project, Enter opens it, Delete takes it off the list</source>
        <translation>Pfeiltasten wählen ein Projekt, Eingabe öffnet es, Entf nimmt es aus der Liste</translation>
    </message>
    <message>
        <source>Open Project</source>
        <comment>verb: open a project file from disk</comment>
        <translation>Projekt öffnen</translation>
    </message>
    <message>
        <source>Purchase</source>
        <comment>verb: buy the product</comment>
        <translation>Kaufen</translation>
    </message>
    <message>
        <source>Close</source>
        <comment>verb: close the window</comment>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Search</source>
        <comment>verb: search the project library</comment>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Feedback</source>
        <comment>noun: tell us your opinion</comment>
        <translation>Feedback</translation>
    </message>
</context>
<context>
    <name>VkStartupListItem</name>
    <message>
        <source>Remove from the list</source>
        <translation>Aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Remove project %1</source>
        <translation>Projekt %1 entfernen</translation>
    </message>
</context>
<context>
    <name>VkTopLevelWindowTitleBar</name>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximieren</translation>
    </message>
    <message>
        <source>Closes the window</source>
        <translation>Schließt das Fenster</translation>
    </message>
    <message>
        <source>Close</source>
        <comment>verb: close the window</comment>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>VkUnsupportedImgFileDialog</name>
    <message>
        <source>Information</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>The image is too large, please compress the image first for better editing experience</source>
        <translation>Das Bild ist zu groß. Bitte komprimieren Sie es zuerst, damit es sich besser bearbeiten lässt.</translation>
    </message>
    <message>
        <source>Please contact support.</source>
        <translation>Bitte wenden Sie sich an den Support.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Images too large to edit</source>
        <translation>Zu große Bilder zum Bearbeiten</translation>
    </message>
    <message>
        <source>One image file per line</source>
        <translation>Eine Bilddatei pro Zeile</translation>
    </message>
</context>
<context>
    <name>VkVideoInfoPage</name>
    <message>
        <source>Video Info</source>
        <translation>Video-Informationen</translation>
    </message>
    <message>
        <source>Codec:</source>
        <translation>Codec:</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Auflösung:</translation>
    </message>
    <message>
        <source>Frame Rate:</source>
        <translation>Bildrate:</translation>
    </message>
    <message>
        <source>Bit Rate:</source>
        <translation>Bitrate:</translation>
    </message>
    <message>
        <source>Transfer Characteristics:</source>
        <translation>Übertragungskennlinie:</translation>
    </message>
    <message>
        <source>%1 fps</source>
        <translation>%1 fps</translation>
    </message>
</context>
<context>
    <name>VkVideoInfoPageManager</name>
    <message>
        <source>%1 kbps</source>
        <translation>%1 kbit/s</translation>
    </message>
    <message>
        <source>None</source>
        <comment>shown where a value is unknown</comment>
        <translation>Keine</translation>
    </message>
</context>
<context>
    <name>vkmediaplayer::VkPlayerEngine</name>
    <message>
        <source>The file has no video frames: %1</source>
        <translation>Die Datei enthält keine Videobilder: %1</translation>
    </message>
</context>
</TS>
