<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CommandLine</name>
    <message>
        <source>Try &apos;pocketmovie --help&apos;.</source>
        <translation>Siehe &apos;pocketmovie --help&apos;.</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1 oder %2</translation>
    </message>
    <message>
        <source>size %1 is written as %2: pictures have even sides</source>
        <translation>Größe %1 wird als %2 geschrieben: Bilder haben gerade Seitenlängen</translation>
    </message>
    <message>
        <source>Usage: pocketmovie [options] [MOVIE_OR_FOLDER...]
Converts each MOVIE into a small movie for mobile phones, written beside it with the format&apos;s
extension appended (clip.mov becomes clip.mov.3gp), and the movies in each FOLDER. Without
a movie the window opens; several are converted one after another.

  --headless        convert without a window (also when there is no display);
                    progress goes to standard error; Ctrl-C, SIGTERM and SIGHUP abort
  --format FORMAT   %1
  --size SIZE       natural, half, third, quarter, qcif (176x144), sqcif (128x96),
                    96x80, or WxH in pixels (%2 to %3 each)
  --fps N           frames per second, %4 to %5; fractions allowed (7.5)
  --rate N          data rate in kilobytes per second, %6 to %7
  --fit SIZE        keep the whole file within SIZE: 300K, 600K, 1M (K = 1024 bytes),
                    or none
  --baseline        for older phones: .mp4 in H.264&apos;s Baseline profile rather than High
  --output-dir DIR  write the movies into DIR instead of beside their sources; a second
                    movie of the same name gets &quot; (2)&quot; before the extension
  --skip-existing   leave alone an output that is already a complete movie
  --recursive       search the folders&apos; folders too
  --jobs N          movies converted at once in the terminal, %8 to %9 (default: one
                    per core, fewer when memory is short)
  -h, --help        show this text
  --version         show the version
  --verbose         say what confinement of the conversions this system cannot give

Options apply to every movie of this run only: the remembered settings stay as they are.
In the terminal each movie gets one line as it ends, and several a summary at the end.
Exit status: 0 when every movie was completely written (or already was, with
--skip-existing), 1 when a conversion failed or was aborted, 2 for unusable arguments.
The manual page tells more: man pocketmovie
</source>
        <translation>Aufruf: pocketmovie [Optionen] [FILM_ODER_ORDNER...]
Wandelt jeden FILM in einen kleinen Film für Mobiltelefone um und schreibt ihn daneben, mit der
Endung des Formats angehängt (aus clip.mov wird clip.mov.3gp), und ebenso die Filme in jedem
ORDNER. Ohne Film öffnet sich das Fenster; mehrere werden nacheinander umgewandelt.

  --headless        ohne Fenster umwandeln (auch wenn es keinen Bildschirm gibt);
                    der Fortschritt geht auf die Standardfehlerausgabe; Strg-C, SIGTERM und SIGHUP brechen ab
  --format FORMAT   %1
  --size GRÖSSE     natural, half, third, quarter, qcif (176x144), sqcif (128x96),
                    96x80 oder BxH in Pixeln (je %2 bis %3)
  --fps N           Bilder pro Sekunde, %4 bis %5; Brüche erlaubt (7.5)
  --rate N          Datenrate in Kilobyte pro Sekunde, %6 bis %7
  --fit GRÖSSE      die ganze Datei in GRÖSSE halten: 300K, 600K, 1M (K = 1024 Byte),
                    oder none
  --baseline        für ältere Telefone: .mp4 im Baseline-Profil von H.264 statt High
  --output-dir DIR  die Filme in den Ordner DIR schreiben statt neben ihre Quellen; ein zweiter
                    Film gleichen Namens bekommt &quot; (2)&quot; vor der Endung
  --skip-existing   eine Ausgabe, die schon ein vollständiger Film ist, in Ruhe lassen
  --recursive       auch in den Unterordnern der Ordner suchen
  --jobs N          Filme, die im Terminal gleichzeitig umgewandelt werden, %8 bis %9
                    (Vorgabe: einer je Kern, weniger bei knappem Speicher)
  -h, --help        diesen Text zeigen
  --version         die Version zeigen
  --verbose         sagen, welche Abschirmung der Umwandlungen dieses System nicht bietet

Optionen gelten für jeden Film nur in diesem Aufruf: die gemerkten Einstellungen bleiben, wie sie sind.
Im Terminal bekommt jeder Film eine Zeile, wenn er fertig ist, und mehrere am Ende eine Zusammenfassung.
Rückgabewert: 0, wenn jeder Film vollständig geschrieben wurde (oder es mit --skip-existing schon
war), 1, wenn eine Umwandlung fehlschlug oder abgebrochen wurde, 2 bei unbrauchbaren Argumenten.
Mehr steht in der Handbuchseite: man pocketmovie
</translation>
    </message>
</context>
<context>
    <name>EndOfRun</name>
    <message>
        <source>Written: %1 movies, %2</source>
        <translation>Geschrieben: %1 Filme, %2</translation>
    </message>
    <message>
        <source>Written: %1, %2</source>
        <translation>Geschrieben: %1, %2</translation>
    </message>
    <message>
        <source>Aborted: the earlier %1 is kept</source>
        <translation>Abgebrochen: das frühere %1 bleibt erhalten</translation>
    </message>
    <message>
        <source>Aborted: nothing was written</source>
        <translation>Abgebrochen: nichts wurde geschrieben</translation>
    </message>
    <message>
        <source>Aborted: %1 keeps the first %2</source>
        <translation>Abgebrochen: %1 enthält die ersten %2</translation>
    </message>
</context>
<context>
    <name>ExporterSettingsDialog</name>
    <message>
        <source>Other</source>
        <translation>Andere</translation>
    </message>
    <message>
        <source>The format&apos;s default</source>
        <translation>Standard des Formats</translation>
    </message>
    <message>
        <source>AMR-NB (speech)</source>
        <translation>AMR-NB (Sprache)</translation>
    </message>
    <message>
        <source>No sound</source>
        <translation>Kein Ton</translation>
    </message>
    <message>
        <source>Stretch to fill</source>
        <translation>Strecken, bis es füllt</translation>
    </message>
    <message>
        <source>Keep its shape, add bars</source>
        <translation>Form behalten, Balken ergänzen</translation>
    </message>
    <message>
        <source>%1 kbit/s</source>
        <translation>%1 kbit/s</translation>
    </message>
    <message>
        <source>%1 kHz</source>
        <translation>%1 kHz</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <source>%1 channels</source>
        <translation>%1 Kanäle</translation>
    </message>
    <message>
        <source> or </source>
        <translation> oder </translation>
    </message>
    <message>
        <source>Only at %1,
%2. At other sizes
the picture is written in MPEG-4 Visual.</source>
        <translation>Nur bei %1,
%2. Bei anderen Größen
wird das Bild in MPEG-4 Visual geschrieben.</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Video</translation>
    </message>
    <message>
        <source>Codec:</source>
        <translation>Codec:</translation>
    </message>
    <message>
        <source>Picture:</source>
        <translation>Bild:</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Ton</translation>
    </message>
    <message>
        <source>Bit rate:</source>
        <translation>Bitrate:</translation>
    </message>
    <message>
        <source>Sample rate:</source>
        <translation>Abtastrate:</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Kanäle:</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>%1 settings</source>
        <translation>%1-Einstellungen</translation>
    </message>
    <message>
        <source>Picture size, frame rate and data rate
come from the main window.</source>
        <translation>Bildgröße, Bildrate und Datenrate
kommen aus dem Hauptfenster.</translation>
    </message>
</context>
<context>
    <name>Failure</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>keine solche Datei</translation>
    </message>
    <message>
        <source>a link to a missing file</source>
        <translation>ein Verweis auf eine fehlende Datei</translation>
    </message>
    <message>
        <source>the links go round in a loop</source>
        <translation>die Verweise bilden eine Schleife</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>keine Berechtigung</translation>
    </message>
    <message>
        <source>cannot read</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>cannot read %2: %1</source>
        <translation>%2 kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>a folder, not a movie</source>
        <translation>ein Ordner, kein Film</translation>
    </message>
    <message>
        <source>not a regular file (a named pipe)</source>
        <translation>keine gewöhnliche Datei (eine benannte Pipe)</translation>
    </message>
    <message>
        <source>not a regular file (a device)</source>
        <translation>keine gewöhnliche Datei (ein Gerät)</translation>
    </message>
    <message>
        <source>not a regular file (a socket)</source>
        <translation>keine gewöhnliche Datei (ein Socket)</translation>
    </message>
    <message>
        <source>not a regular file (not a plain file)</source>
        <translation>keine gewöhnliche Datei (keine einfache Datei)</translation>
    </message>
    <message>
        <source>not a movie</source>
        <translation>kein Film</translation>
    </message>
    <message>
        <source>not a movie: a single picture</source>
        <translation>kein Film: ein einzelnes Bild</translation>
    </message>
    <message>
        <source>output folder not writable</source>
        <translation>Zielordner nicht beschreibbar</translation>
    </message>
    <message>
        <source>disk full</source>
        <translation>Datenträger voll</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>der Datenträger ist voll</translation>
    </message>
    <message>
        <source>no such output folder</source>
        <translation>kein solcher Zielordner</translation>
    </message>
    <message>
        <source>the output&apos;s name is too long for the file system</source>
        <translation>der Name der Ausgabe ist zu lang für das Dateisystem</translation>
    </message>
    <message>
        <source>the output&apos;s folder path is too long</source>
        <translation>der Pfad des Zielordners ist zu lang</translation>
    </message>
    <message>
        <source>cannot create %2: %1</source>
        <translation>%2 kann nicht angelegt werden: %1</translation>
    </message>
    <message>
        <source>cannot write in the output folder</source>
        <translation>in den Zielordner kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>the output is a folder</source>
        <translation>die Ausgabe ist ein Ordner</translation>
    </message>
    <message>
        <source>the output is not a regular file</source>
        <translation>die Ausgabe ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>the output is a link to a missing file</source>
        <translation>die Ausgabe ist ein Verweis auf eine fehlende Datei</translation>
    </message>
    <message>
        <source>no source or output file given</source>
        <translation>keine Quell- oder Zieldatei angegeben</translation>
    </message>
    <message>
        <source>the output file cannot be named</source>
        <translation>die Zieldatei kann nicht benannt werden</translation>
    </message>
    <message>
        <source>no source movie</source>
        <translation>kein Quellfilm</translation>
    </message>
    <message>
        <source>exporting a single track is not supported</source>
        <translation>der Export einer einzelnen Spur wird nicht unterstützt</translation>
    </message>
    <message>
        <source>the span to export is empty</source>
        <translation>der zu exportierende Abschnitt ist leer</translation>
    </message>
    <message>
        <source>the span to export begins after the movie&apos;s end</source>
        <translation>der zu exportierende Abschnitt beginnt nach dem Ende des Films</translation>
    </message>
    <message>
        <source>cannot open the source</source>
        <translation>die Quelle kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>cannot read the source movie</source>
        <translation>der Quellfilm kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the source is not a movie</source>
        <translation>die Quelle ist kein Film</translation>
    </message>
    <message>
        <source>the source holds no picture or sound that can be read</source>
        <translation>die Quelle enthält kein lesbares Bild und keinen lesbaren Ton</translation>
    </message>
    <message>
        <source>the source movie is cut short</source>
        <translation>der Quellfilm ist abgeschnitten</translation>
    </message>
    <message>
        <source>the source has nothing this format can hold</source>
        <translation>die Quelle enthält nichts, was dieses Format aufnehmen kann</translation>
    </message>
    <message>
        <source>nothing in this movie could be read</source>
        <translation>nichts in diesem Film ist lesbar</translation>
    </message>
    <message>
        <source>cannot decode the source</source>
        <translation>die Quelle kann nicht dekodiert werden</translation>
    </message>
    <message>
        <source>cannot decode the source&apos;s video</source>
        <translation>das Video der Quelle kann nicht dekodiert werden</translation>
    </message>
    <message>
        <source>cannot decode the source&apos;s audio</source>
        <translation>der Ton der Quelle kann nicht dekodiert werden</translation>
    </message>
    <message>
        <source>cannot convert the source</source>
        <translation>die Quelle kann nicht umgewandelt werden</translation>
    </message>
    <message>
        <source>cannot set up the conversion filters</source>
        <translation>die Umwandlungsfilter können nicht eingerichtet werden</translation>
    </message>
    <message>
        <source>the video encoder is not available</source>
        <translation>der Video-Encoder ist nicht verfügbar</translation>
    </message>
    <message>
        <source>the sound encoder is not available</source>
        <translation>der Ton-Encoder ist nicht verfügbar</translation>
    </message>
    <message>
        <source>H.263 writes only 128x96, 176x144, 352x288, 704x576 and 1408x1152 pictures</source>
        <translation>H.263 schreibt nur Bilder in 128x96, 176x144, 352x288, 704x576 und 1408x1152</translation>
    </message>
    <message>
        <source>cannot start the encoder</source>
        <translation>der Encoder kann nicht gestartet werden</translation>
    </message>
    <message>
        <source>cannot encode the output</source>
        <translation>die Ausgabe kann nicht kodiert werden</translation>
    </message>
    <message>
        <source>cannot start the encoding thread</source>
        <translation>der Kodier-Thread kann nicht gestartet werden</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>kein Speicher mehr</translation>
    </message>
    <message>
        <source>cannot start the output movie</source>
        <translation>der Zielfilm kann nicht begonnen werden</translation>
    </message>
    <message>
        <source>cannot write the output movie</source>
        <translation>der Zielfilm kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>cannot add a stream to the output movie</source>
        <translation>dem Zielfilm kann kein Datenstrom hinzugefügt werden</translation>
    </message>
    <message>
        <source>cannot complete the output movie</source>
        <translation>der Zielfilm kann nicht abgeschlossen werden</translation>
    </message>
    <message>
        <source>cannot put the output movie in place</source>
        <translation>der Zielfilm kann nicht an seinen Platz gelegt werden</translation>
    </message>
    <message>
        <source>video written at %1 frames per second: at %2 frames per second this picture needs more than %3 KB/s</source>
        <translation>Video mit %1 Bildern pro Sekunde geschrieben: mit %2 Bildern pro Sekunde braucht dieses Bild mehr als %3 KB/s</translation>
    </message>
    <message>
        <source>video written at %1 KB/s: at %2 frames per second this picture needs more than %3 KB/s</source>
        <translation>Video mit %1 KB/s geschrieben: mit %2 Bildern pro Sekunde braucht dieses Bild mehr als %3 KB/s</translation>
    </message>
    <message>
        <source>needs at least %1 KB at the lowest quality; try a smaller picture or frame rate</source>
        <translation>braucht selbst in der niedrigsten Qualität mindestens %1 KB; ein kleineres Bild oder eine niedrigere Bildrate versuchen</translation>
    </message>
    <message>
        <source>cannot keep the frames beside the output</source>
        <translation>die Bilder können nicht neben der Ausgabe zwischengespeichert werden</translation>
    </message>
    <message>
        <source>cannot keep the frames beside the output: the folder is not writable</source>
        <translation>die Bilder können nicht neben der Ausgabe zwischengespeichert werden: der Ordner ist nicht beschreibbar</translation>
    </message>
    <message>
        <source>cannot keep a frame of this kind</source>
        <translation>ein Bild dieser Art kann nicht zwischengespeichert werden</translation>
    </message>
    <message>
        <source>cannot read the kept frames back</source>
        <translation>die zwischengespeicherten Bilder können nicht zurückgelesen werden</translation>
    </message>
    <message>
        <source>aborted, the earlier movie is kept</source>
        <translation>abgebrochen, der frühere Film bleibt erhalten</translation>
    </message>
    <message>
        <source>the export failed</source>
        <translation>der Export ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>the export failed (status %1)</source>
        <translation>der Export ist fehlgeschlagen (Status %1)</translation>
    </message>
    <message>
        <source>aborted</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>the conversion did not start</source>
        <translation>die Umwandlung hat nicht begonnen</translation>
    </message>
    <message>
        <source>the window description could not be loaded</source>
        <translation>die Fensterbeschreibung konnte nicht geladen werden</translation>
    </message>
    <message>
        <source>unknown size &apos;%2&apos; (use natural, half, third, quarter, qcif, sqcif, 96x80 or WxH)</source>
        <translation>unbekannte Größe &apos;%2&apos; (natural, half, third, quarter, qcif, sqcif, 96x80 oder BxH verwenden)</translation>
    </message>
    <message>
        <source>size &apos;%2&apos; is too large: at most %1</source>
        <translation>Größe &apos;%2&apos; ist zu groß: höchstens %1</translation>
    </message>
    <message>
        <source>size &apos;%2&apos; is too small: at least %1</source>
        <translation>Größe &apos;%2&apos; ist zu klein: mindestens %1</translation>
    </message>
    <message>
        <source>unknown format &apos;%2&apos; (use %1)</source>
        <translation>unbekanntes Format &apos;%2&apos; (%1 verwenden)</translation>
    </message>
    <message>
        <source>frame rate &apos;%2&apos; is not a number of frames per second from %1 to %3</source>
        <translation>Bildrate &apos;%2&apos; ist keine Zahl von Bildern pro Sekunde von %1 bis %3</translation>
    </message>
    <message>
        <source>data rate &apos;%2&apos; is not a whole number of kilobytes per second from %1 to %3</source>
        <translation>Datenrate &apos;%2&apos; ist keine ganze Zahl von Kilobyte pro Sekunde von %1 bis %3</translation>
    </message>
    <message>
        <source>size limit &apos;%2&apos; is not a size such as 300K, 600K or 1M (or none)</source>
        <translation>Größenlimit &apos;%2&apos; ist keine Größe wie 300K, 600K oder 1M (oder none)</translation>
    </message>
    <message>
        <source>jobs &apos;%2&apos; is not a whole number of movies at once from %1 to %3</source>
        <translation>jobs &apos;%2&apos; ist keine ganze Zahl gleichzeitiger Filme von %1 bis %3</translation>
    </message>
    <message>
        <source>the output folder needs a name</source>
        <translation>der Zielordner braucht einen Namen</translation>
    </message>
    <message>
        <source>unknown option &apos;%2&apos;</source>
        <translation>unbekannte Option &apos;%2&apos;</translation>
    </message>
    <message>
        <source>option &apos;%2&apos; needs a value</source>
        <translation>Option &apos;%2&apos; braucht einen Wert</translation>
    </message>
    <message>
        <source>no movies found</source>
        <translation>keine Filme gefunden</translation>
    </message>
    <message>
        <source>cannot make the output folder %2: %1</source>
        <translation>der Zielordner %2 kann nicht angelegt werden: %1</translation>
    </message>
    <message>
        <source>cannot find this program to run it</source>
        <translation>dieses Programm ist zum Starten nicht auffindbar</translation>
    </message>
    <message>
        <source>cannot start a conversion</source>
        <translation>eine Umwandlung kann nicht gestartet werden</translation>
    </message>
    <message>
        <source>the movie could not be decoded (the decoder crashed)</source>
        <translation>der Film konnte nicht dekodiert werden (der Decoder ist abgestürzt)</translation>
    </message>
    <message>
        <source>the conversion ended by signal %1</source>
        <translation>die Umwandlung endete durch Signal %1</translation>
    </message>
    <message>
        <source>the conversion failed</source>
        <translation>die Umwandlung ist fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>FieldLimits</name>
    <message>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>whole numbers, %1 to %2</source>
        <translation>ganze Zahlen, %1 bis %2</translation>
    </message>
    <message>
        <source>Out of range: %1</source>
        <translation>Außerhalb des Bereichs: %1</translation>
    </message>
    <message>
        <source>%1: %2 became %3 (%4)</source>
        <translation>%1: aus %2 wurde %3 (%4)</translation>
    </message>
</context>
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
    <message>
        <source>Drop movies here to convert them.</source>
        <translation>Filme zum Umwandeln hierher ziehen.</translation>
    </message>
    <message>
        <source>%1 of %2   %3</source>
        <translation>%1 von %2   %3</translation>
    </message>
    <message>
        <source>Skip the other movies?</source>
        <translation>Die übrigen Filme überspringen?</translation>
    </message>
    <message>
        <source>%1 movie of this batch is still to convert.</source>
        <translation>%1 Film dieses Stapels ist noch umzuwandeln.</translation>
    </message>
    <message>
        <source>%1 movies of this batch are still to convert.</source>
        <translation>%1 Filme dieses Stapels sind noch umzuwandeln.</translation>
    </message>
    <message>
        <source>Skip Them</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Convert Them</source>
        <translation>Umwandeln</translation>
    </message>
    <message>
        <source>The folder of %1 cannot be written: choose a folder for the converted movies</source>
        <translation>In den Ordner von %1 kann nicht geschrieben werden: einen Ordner für die umgewandelten Filme auswählen</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>übersprungen</translation>
    </message>
    <message>
        <source>its folder cannot be written and no other folder was chosen</source>
        <translation>in seinen Ordner kann nicht geschrieben werden, und kein anderer Ordner wurde gewählt</translation>
    </message>
    <message>
        <source>cannot write in %1</source>
        <translation>in %1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>cannot put the output movie in place in %1</source>
        <translation>der Zielfilm kann nicht in %1 abgelegt werden</translation>
    </message>
    <message>
        <source>aborted</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>it could not be opened or no output could be made</source>
        <translation>er konnte nicht geöffnet oder keine Ausgabe angelegt werden</translation>
    </message>
    <message>
        <source>the export failed (status %1)</source>
        <translation>der Export ist fehlgeschlagen (Status %1)</translation>
    </message>
    <message>
        <source>%1 of %2 movie was not converted</source>
        <translation>Nicht umgewandelt: %1 von %2 Film</translation>
    </message>
    <message>
        <source>%1 of %2 movies were not converted</source>
        <translation>Nicht umgewandelt: %1 von %2 Filmen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Replace the earlier movie?</source>
        <translation>Früheren Film ersetzen?</translation>
    </message>
    <message>
        <source>%1 is already in %2. Replace it, or keep both and write the new movie as %3?</source>
        <translation>%1 liegt schon in %2. Ersetzen, oder beide behalten und den neuen Film als %3 schreiben?</translation>
    </message>
    <message>
        <source>Replace the earlier movies?</source>
        <translation>Frühere Filme ersetzen?</translation>
    </message>
    <message>
        <source>%1 of these movies are converted already: %2. Replace them, or keep both and write the new movies under numbered names?</source>
        <translation>%1 dieser Filme sind schon umgewandelt: %2. Ersetzen, oder beide behalten und die neuen Filme unter nummerierten Namen schreiben?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Replace All</source>
        <translation>Alle ersetzen</translation>
    </message>
    <message>
        <source>Keep Both</source>
        <translation>Beide behalten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>For older phones</source>
        <translation>Für ältere Telefone</translation>
    </message>
    <message>
        <source>Baseline H.264, which phones older than about ten years play too; a little less picture for the bytes</source>
        <translation>Baseline-H.264, das auch Telefone abspielen, die älter als etwa zehn Jahre sind; etwas weniger Bild für die Bytes</translation>
    </message>
    <message>
        <source>F&amp;it into:</source>
        <translation>&amp;Höchstgröße:</translation>
    </message>
    <message>
        <source>The most the whole movie file may take, sound included, for sending by picture message</source>
        <translation>Höchstens so groß darf die ganze Filmdatei samt Ton werden, zum Versand als Bildnachricht</translation>
    </message>
    <message>
        <source>Fit into</source>
        <translation>Höchstgröße</translation>
    </message>
    <message>
        <source>No limit</source>
        <translation>Keine Grenze</translation>
    </message>
    <message>
        <source>300 KB</source>
        <translation>300 KB</translation>
    </message>
    <message>
        <source>600 KB</source>
        <translation>600 KB</translation>
    </message>
    <message>
        <source>1 MB</source>
        <translation>1 MB</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Eigene</translation>
    </message>
    <message>
        <source>Custom size limit in kilobytes</source>
        <translation>Eigene Größengrenze in Kilobyte</translation>
    </message>
    <message>
        <source>Kilobytes (1024 bytes) the whole file may take</source>
        <translation>Kilobyte (1024 Byte), die die ganze Datei belegen darf</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Format:</translation>
    </message>
    <message>
        <source>The kind of movie to write</source>
        <translation>Die Art des Films, der geschrieben wird</translation>
    </message>
    <message>
        <source>Se&amp;ttings…</source>
        <translation>&amp;Einstellungen…</translation>
    </message>
    <message>
        <source>Compression settings of the 3GPP2 and AMC formats</source>
        <translation>Kompressionseinstellungen der Formate 3GPP2 und AMC</translation>
    </message>
    <message>
        <source>&amp;Size:</source>
        <translation>&amp;Größe:</translation>
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
        <source>&amp;Width × height:</source>
        <translation>&amp;Breite × Höhe:</translation>
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
        <source>F&amp;rame rate:</source>
        <translation>B&amp;ildrate:</translation>
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
        <source>&amp;Data rate:</source>
        <translation>&amp;Datenrate:</translation>
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
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Breite</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>Höhe</translation>
    </message>
    <message>
        <source>Frame rate</source>
        <translation>Bildrate</translation>
    </message>
    <message>
        <source>Data rate</source>
        <translation>Datenrate</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Percent done</source>
        <translation>Prozent erledigt</translation>
    </message>
    <message>
        <source>Why the last conversion failed</source>
        <translation>Warum die letzte Umwandlung fehlschlug</translation>
    </message>
    <message>
        <source>What a minute of movie takes with these options</source>
        <translation>Was eine Minute Film mit diesen Einstellungen braucht</translation>
    </message>
    <message>
        <source>For &amp;older phones</source>
        <translation>Für ältere &amp;Telefone</translation>
    </message>
    <message>
        <source>Fi&amp;le</source>
        <translation>D&amp;atei</translation>
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
<context>
    <name>OpenPanel</name>
    <message>
        <source>Choose a movie to convert</source>
        <translation>Einen Film zum Umwandeln auswählen</translation>
    </message>
    <message>
        <source>Movies (%1)</source>
        <translation>Filme (%1)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Choose a Folder</source>
        <translation>Ordner auswählen</translation>
    </message>
</context>
<context>
    <name>SizeEstimate</name>
    <message>
        <source>about %1 a minute</source>
        <translation>etwa %1 pro Minute</translation>
    </message>
    <message>
        <source>sound only</source>
        <translation>nur Ton</translation>
    </message>
    <message>
        <source>%1, length unknown</source>
        <translation>%1, Länge unbekannt</translation>
    </message>
    <message>
        <source>%1, %2 → about %3</source>
        <translation>%1, %2 → etwa %3</translation>
    </message>
</context>
<context>
    <name>Terminal</name>
    <message>
        <source>%1 left</source>
        <translation>noch %1</translation>
    </message>
    <message>
        <source>wrote %1</source>
        <translation>%1 geschrieben</translation>
    </message>
    <message>
        <source>%1 of %2 done, %3 converting</source>
        <translation>%1 von %2 fertig, %3 in Umwandlung</translation>
    </message>
    <message>
        <source>skipped %1: %2 is already a complete movie</source>
        <translation>%1 übersprungen: %2 ist schon ein vollständiger Film</translation>
    </message>
    <message>
        <source> (a movie of the same name is already in this batch)</source>
        <translation> (ein Film gleichen Namens ist schon in diesem Stapel)</translation>
    </message>
    <message>
        <source>%1 written, %2 failed</source>
        <translation>%1 geschrieben, %2 fehlgeschlagen</translation>
    </message>
    <message>
        <source>, %1 aborted</source>
        <translation>, %1 abgebrochen</translation>
    </message>
    <message>
        <source>, %1 already complete</source>
        <translation>, %1 schon vollständig</translation>
    </message>
    <message>
        <source>, %1 not started</source>
        <translation>, %1 nicht begonnen</translation>
    </message>
</context>
<context>
    <name>WindowProgress</name>
    <message>
        <source>%1% – %2</source>
        <translation>%1 % – %2</translation>
    </message>
</context>
</TS>
