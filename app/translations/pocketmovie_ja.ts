<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>Localizable</name>
    <message>
        <source>Abort</source>
        <translation>中止</translation>
    </message>
    <message>
        <source>Convert…</source>
        <translation>変換…</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Format:</source>
        <translation>フォーマット：</translation>
    </message>
    <message>
        <source>The kind of movie to write</source>
        <translation>書き出すムービーの種類</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>設定…</translation>
    </message>
    <message>
        <source>Compression settings of the 3GPP2 and AMC formats</source>
        <translation>3GPP2 と AMC フォーマットの圧縮設定</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>サイズ：</translation>
    </message>
    <message>
        <source>The picture size of the movie to write</source>
        <translation>書き出すムービーの画像サイズ</translation>
    </message>
    <message>
        <source>Custom size</source>
        <translation>カスタムサイズ</translation>
    </message>
    <message>
        <source>Natural size</source>
        <translation>元のサイズ</translation>
    </message>
    <message>
        <source>Half size</source>
        <translation>1/2 サイズ</translation>
    </message>
    <message>
        <source>One third size</source>
        <translation>1/3 サイズ</translation>
    </message>
    <message>
        <source>Quarter size</source>
        <translation>1/4 サイズ</translation>
    </message>
    <message>
        <source>Width × height:</source>
        <translation>幅 × 高さ：</translation>
    </message>
    <message>
        <source>Width in pixels</source>
        <translation>幅（ピクセル）</translation>
    </message>
    <message>
        <source>Height in pixels</source>
        <translation>高さ（ピクセル）</translation>
    </message>
    <message>
        <source>pixels</source>
        <translation>ピクセル</translation>
    </message>
    <message>
        <source>Frame rate:</source>
        <translation>フレームレート：</translation>
    </message>
    <message>
        <source>Frames per second</source>
        <translation>1 秒あたりのフレーム数</translation>
    </message>
    <message>
        <source>frames/s</source>
        <translation>フレーム/秒</translation>
    </message>
    <message>
        <source>Data rate:</source>
        <translation>データレート：</translation>
    </message>
    <message>
        <source>Kilobytes per second</source>
        <translation>1 秒あたりのキロバイト数</translation>
    </message>
    <message>
        <source>KB/s</source>
        <translation>KB/秒</translation>
    </message>
    <message>
        <source>Progress:</source>
        <translation>進行状況：</translation>
    </message>
    <message>
        <source>Convert…</source>
        <translation>変換…</translation>
    </message>
    <message>
        <source>Choose a movie and convert it</source>
        <translation>ムービーを選んで変換します</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
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
        <translation>フォルダに表示</translation>
    </message>
    <message>
        <source>%1 written, %2</source>
        <translation>%1 を書き出しました（%2）</translation>
    </message>
</context>
</TS>
