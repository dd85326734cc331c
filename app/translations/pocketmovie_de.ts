<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Localizable</name>
    <message>
        <source>Abort</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Convert…</source>
        <translation>Umwandeln…</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>The kind of movie to write</source>
        <translation>Die Art des Films, der geschrieben wird</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Einstellungen…</translation>
    </message>
    <message>
        <source>Compression settings of the 3GPP2 and AMC formats</source>
        <translation>Kompressionseinstellungen der Formate 3GPP2 und AMC</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <source>The picture size of the movie to write</source>
        <translation>Die Bildgröße des Films, der geschrieben wird</translation>
    </message>
    <message>
        <source>Custom size</source>
        <translation>Eigene Größe</translation>
    </message>
    <message>
        <source>Natural size</source>
        <translation>Originalgröße</translation>
    </message>
    <message>
        <source>Half size</source>
        <translation>Halbe Größe</translation>
    </message>
    <message>
        <source>One third size</source>
        <translation>Ein Drittel der Größe</translation>
    </message>
    <message>
        <source>Quarter size</source>
        <translation>Ein Viertel der Größe</translation>
    </message>
    <message>
        <source>Width × height:</source>
        <translation>Breite × Höhe:</translation>
    </message>
    <message>
        <source>Width in pixels</source>
        <translation>Breite in Pixeln</translation>
    </message>
    <message>
        <source>Height in pixels</source>
        <translation>Höhe in Pixeln</translation>
    </message>
    <message>
        <source>pixels</source>
        <translation>Pixel</translation>
    </message>
    <message>
        <source>Frame rate:</source>
        <translation>Bildrate:</translation>
    </message>
    <message>
        <source>Frames per second</source>
        <translation>Bilder pro Sekunde</translation>
    </message>
    <message>
        <source>frames/s</source>
        <translation>Bilder/s</translation>
    </message>
    <message>
        <source>Data rate:</source>
        <translation>Datenrate:</translation>
    </message>
    <message>
        <source>Kilobytes per second</source>
        <translation>Kilobyte pro Sekunde</translation>
    </message>
    <message>
        <source>KB/s</source>
        <translation>KB/s</translation>
    </message>
    <message>
        <source>Progress:</source>
        <translation>Fortschritt:</translation>
    </message>
    <message>
        <source>Convert…</source>
        <translation>Umwandeln…</translation>
    </message>
    <message>
        <source>Choose a movie and convert it</source>
        <translation>Einen Film auswählen und umwandeln</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>Notification</name>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
    <message>
        <source>%1 written, %2</source>
        <translation>%1 geschrieben, %2</translation>
    </message>
</context>
</TS>
