<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>CommandLine</name>
    <message>
        <source>Try &apos;pocketmovie --help&apos;.</source>
        <translation>&apos;pocketmovie --help&apos; を参照してください。</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>%1 or %2</source>
        <translation>%1、%2</translation>
    </message>
    <message>
        <source>size %1 is written as %2: pictures have even sides</source>
        <translation>サイズ %1 は %2 で書き出されます: 画像の辺は偶数です</translation>
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
        <translation>使い方: pocketmovie [オプション] [ムービーまたはフォルダ...]
各ムービーを携帯電話向けの小さなムービーに変換し、フォーマットの拡張子を付けて元のファイルの
隣に書き出します（clip.mov は clip.mov.3gp になります）。フォルダを指定するとその中のムービーを
変換します。ムービーを指定しないとウインドウが開き、複数指定すると順番に変換します。

  --headless        ウインドウなしで変換します（ディスプレイがない場合も同じ）。
                    進行状況は標準エラー出力に表示され、Ctrl-C、SIGTERM、SIGHUP で中止します
  --format FORMAT   %1 のいずれか
  --size SIZE       natural、half、third、quarter、qcif (176x144)、sqcif (128x96)、
                    96x80、またはピクセル単位の 幅x高さ（それぞれ %2〜%3）
  --fps N           1 秒あたりのフレーム数、%4〜%5（7.5 のような小数も可）
  --rate N          データレート（1 秒あたりのキロバイト数）、%6〜%7
  --fit SIZE        ファイル全体を SIZE 以内に収める: 300K、600K、1M（K = 1024 バイト）、
                    または none
  --baseline        古い携帯電話向け: .mp4 を High ではなく H.264 の Baseline プロファイルで書き出します
  --output-dir DIR  元のファイルの隣ではなく DIR にムービーを書き出します。同じ名前の 2 つ目の
                    ムービーには拡張子の前に &quot; (2)&quot; が付きます
  --skip-existing   すでに完全なムービーになっている書き出し先はそのままにします
  --recursive       フォルダの中のフォルダも探します
  --jobs N          ターミナルで同時に変換するムービーの数、%8〜%9（デフォルト: コアごとに
                    1 つ、メモリが少ないときはそれより少なく）
  -h, --help        このテキストを表示します
  --version         バージョンを表示します
  --verbose         このシステムが変換に与えられない隔離を表示します

オプションはこの実行のすべてのムービーにのみ適用され、記憶された設定は変わりません。
ターミナルでは各ムービーが終わるたびに 1 行、複数のときは最後にまとめを表示します。
終了ステータス: すべてのムービーを書き出せたとき（--skip-existing ですでに書き出されていた
ときも）は 0、変換に失敗したか中止したときは 1、引数が使えないときは 2。
詳しくはマニュアルページを参照してください: man pocketmovie
</translation>
    </message>
</context>
<context>
    <name>EndOfRun</name>
    <message>
        <source>Written: %1 movies, %2</source>
        <translation>書き出し完了: %1 本、%2</translation>
    </message>
    <message>
        <source>Written: %1, %2</source>
        <translation>書き出し完了: %1、%2</translation>
    </message>
    <message>
        <source>Aborted: the earlier %1 is kept</source>
        <translation>中止: 以前の %1 はそのまま残してあります</translation>
    </message>
    <message>
        <source>Aborted: nothing was written</source>
        <translation>中止: 何も書き出していません</translation>
    </message>
    <message>
        <source>Aborted: %1 keeps the first %2</source>
        <translation>中止: %1 には最初の %2 が入っています</translation>
    </message>
</context>
<context>
    <name>ExporterSettingsDialog</name>
    <message>
        <source>Other</source>
        <translation>その他</translation>
    </message>
    <message>
        <source>The format&apos;s default</source>
        <translation>フォーマットのデフォルト</translation>
    </message>
    <message>
        <source>AMR-NB (speech)</source>
        <translation>AMR-NB（音声）</translation>
    </message>
    <message>
        <source>No sound</source>
        <translation>サウンドなし</translation>
    </message>
    <message>
        <source>Stretch to fill</source>
        <translation>引き伸ばして埋める</translation>
    </message>
    <message>
        <source>Keep its shape, add bars</source>
        <translation>縦横比を保ち、帯を付ける</translation>
    </message>
    <message>
        <source>%1 kbit/s</source>
        <translation>%1 kbit/秒</translation>
    </message>
    <message>
        <source>%1 kHz</source>
        <translation>%1 kHz</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>モノラル</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>ステレオ</translation>
    </message>
    <message>
        <source>%1 channels</source>
        <translation>%1 チャンネル</translation>
    </message>
    <message>
        <source> or </source>
        <translation> または </translation>
    </message>
    <message>
        <source>Only at %1,
%2. At other sizes
the picture is written in MPEG-4 Visual.</source>
        <translation>%1、
%2 のときのみ。その他のサイズでは
画像は MPEG-4 Visual で書き出されます。</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>ビデオ</translation>
    </message>
    <message>
        <source>Codec:</source>
        <translation>コーデック：</translation>
    </message>
    <message>
        <source>Picture:</source>
        <translation>画像：</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>サウンド</translation>
    </message>
    <message>
        <source>Bit rate:</source>
        <translation>ビットレート：</translation>
    </message>
    <message>
        <source>Sample rate:</source>
        <translation>サンプルレート：</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>チャンネル：</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>デフォルト</translation>
    </message>
    <message>
        <source>%1 settings</source>
        <translation>%1 の設定</translation>
    </message>
    <message>
        <source>Picture size, frame rate and data rate
come from the main window.</source>
        <translation>画像サイズ、フレームレート、データレートは
メインウインドウの設定が使われます。</translation>
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
        <translation>ファイルがありません</translation>
    </message>
    <message>
        <source>a link to a missing file</source>
        <translation>存在しないファイルへのリンクです</translation>
    </message>
    <message>
        <source>the links go round in a loop</source>
        <translation>リンクが循環しています</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>アクセス権がありません</translation>
    </message>
    <message>
        <source>cannot read</source>
        <translation>読み込めません</translation>
    </message>
    <message>
        <source>cannot read %2: %1</source>
        <translation>%2 を読み込めません: %1</translation>
    </message>
    <message>
        <source>a folder, not a movie</source>
        <translation>ムービーではなくフォルダです</translation>
    </message>
    <message>
        <source>not a regular file (a named pipe)</source>
        <translation>通常のファイルではありません（名前付きパイプ）</translation>
    </message>
    <message>
        <source>not a regular file (a device)</source>
        <translation>通常のファイルではありません（デバイス）</translation>
    </message>
    <message>
        <source>not a regular file (a socket)</source>
        <translation>通常のファイルではありません（ソケット）</translation>
    </message>
    <message>
        <source>not a regular file (not a plain file)</source>
        <translation>通常のファイルではありません（特殊なファイル）</translation>
    </message>
    <message>
        <source>not a movie</source>
        <translation>ムービーではありません</translation>
    </message>
    <message>
        <source>not a movie: a single picture</source>
        <translation>ムービーではありません: 1 枚の画像です</translation>
    </message>
    <message>
        <source>output folder not writable</source>
        <translation>書き出し先のフォルダに書き込めません</translation>
    </message>
    <message>
        <source>disk full</source>
        <translation>ディスクがいっぱいです</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>ディスクがいっぱいです</translation>
    </message>
    <message>
        <source>no such output folder</source>
        <translation>書き出し先のフォルダがありません</translation>
    </message>
    <message>
        <source>the output&apos;s name is too long for the file system</source>
        <translation>書き出し先の名前がファイルシステムには長すぎます</translation>
    </message>
    <message>
        <source>the output&apos;s folder path is too long</source>
        <translation>書き出し先のフォルダのパスが長すぎます</translation>
    </message>
    <message>
        <source>cannot create %2: %1</source>
        <translation>%2 を作成できません: %1</translation>
    </message>
    <message>
        <source>cannot write in the output folder</source>
        <translation>書き出し先のフォルダに書き込めません</translation>
    </message>
    <message>
        <source>the output is a folder</source>
        <translation>書き出し先がフォルダです</translation>
    </message>
    <message>
        <source>the output is not a regular file</source>
        <translation>書き出し先が通常のファイルではありません</translation>
    </message>
    <message>
        <source>the output is a link to a missing file</source>
        <translation>書き出し先が存在しないファイルへのリンクです</translation>
    </message>
    <message>
        <source>no source or output file given</source>
        <translation>元のファイルまたは書き出し先のファイルが指定されていません</translation>
    </message>
    <message>
        <source>the output file cannot be named</source>
        <translation>書き出し先のファイルに名前を付けられません</translation>
    </message>
    <message>
        <source>no source movie</source>
        <translation>元のムービーがありません</translation>
    </message>
    <message>
        <source>exporting a single track is not supported</source>
        <translation>1 つのトラックだけを書き出すことはできません</translation>
    </message>
    <message>
        <source>the span to export is empty</source>
        <translation>書き出す範囲が空です</translation>
    </message>
    <message>
        <source>the span to export begins after the movie&apos;s end</source>
        <translation>書き出す範囲がムービーの終わりより後から始まっています</translation>
    </message>
    <message>
        <source>cannot open the source</source>
        <translation>元のファイルを開けません</translation>
    </message>
    <message>
        <source>cannot read the source movie</source>
        <translation>元のムービーを読み込めません</translation>
    </message>
    <message>
        <source>the source is not a movie</source>
        <translation>元のファイルはムービーではありません</translation>
    </message>
    <message>
        <source>the source holds no picture or sound that can be read</source>
        <translation>元のファイルに読み込める画像もサウンドもありません</translation>
    </message>
    <message>
        <source>the source movie is cut short</source>
        <translation>元のムービーが途中で切れています</translation>
    </message>
    <message>
        <source>the source has nothing this format can hold</source>
        <translation>このフォーマットに入れられるものが元のファイルにありません</translation>
    </message>
    <message>
        <source>nothing in this movie could be read</source>
        <translation>このムービーには読み込めるものがありません</translation>
    </message>
    <message>
        <source>cannot decode the source</source>
        <translation>元のムービーをデコードできません</translation>
    </message>
    <message>
        <source>cannot decode the source&apos;s video</source>
        <translation>元のムービーのビデオをデコードできません</translation>
    </message>
    <message>
        <source>cannot decode the source&apos;s audio</source>
        <translation>元のムービーのサウンドをデコードできません</translation>
    </message>
    <message>
        <source>cannot convert the source</source>
        <translation>元のムービーを変換できません</translation>
    </message>
    <message>
        <source>cannot set up the conversion filters</source>
        <translation>変換フィルタを設定できません</translation>
    </message>
    <message>
        <source>the video encoder is not available</source>
        <translation>ビデオエンコーダが使えません</translation>
    </message>
    <message>
        <source>the sound encoder is not available</source>
        <translation>サウンドエンコーダが使えません</translation>
    </message>
    <message>
        <source>H.263 writes only 128x96, 176x144, 352x288, 704x576 and 1408x1152 pictures</source>
        <translation>H.263 で書き出せるのは 128x96、176x144、352x288、704x576、1408x1152 の画像だけです</translation>
    </message>
    <message>
        <source>cannot start the encoder</source>
        <translation>エンコーダを開始できません</translation>
    </message>
    <message>
        <source>cannot encode the output</source>
        <translation>書き出すムービーをエンコードできません</translation>
    </message>
    <message>
        <source>cannot start the encoding thread</source>
        <translation>エンコード用のスレッドを開始できません</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>メモリが足りません</translation>
    </message>
    <message>
        <source>cannot start the output movie</source>
        <translation>書き出すムービーを開始できません</translation>
    </message>
    <message>
        <source>cannot write the output movie</source>
        <translation>書き出すムービーを書き込めません</translation>
    </message>
    <message>
        <source>cannot add a stream to the output movie</source>
        <translation>書き出すムービーにストリームを追加できません</translation>
    </message>
    <message>
        <source>cannot complete the output movie</source>
        <translation>書き出すムービーを完成できません</translation>
    </message>
    <message>
        <source>cannot put the output movie in place</source>
        <translation>書き出したムービーを所定の場所に置けません</translation>
    </message>
    <message>
        <source>video written at %1 frames per second: at %2 frames per second this picture needs more than %3 KB/s</source>
        <translation>映像は毎秒 %1 フレームで書き出しました。毎秒 %2 フレームでは、この映像に %3 KB/s より多く必要です</translation>
    </message>
    <message>
        <source>video written at %1 KB/s: at %2 frames per second this picture needs more than %3 KB/s</source>
        <translation>映像は %1 KB/s で書き出しました。毎秒 %2 フレームでは、この映像に %3 KB/s より多く必要です</translation>
    </message>
    <message>
        <source>needs at least %1 KB at the lowest quality; try a smaller picture or frame rate</source>
        <translation>最低画質でも %1 KB 以上必要です。画像を小さくするかフレームレートを下げてください</translation>
    </message>
    <message>
        <source>cannot keep the frames beside the output</source>
        <translation>書き出し先の隣にフレームを保存できません</translation>
    </message>
    <message>
        <source>cannot keep the frames beside the output: the folder is not writable</source>
        <translation>書き出し先の隣にフレームを保存できません: フォルダに書き込めません</translation>
    </message>
    <message>
        <source>cannot keep a frame of this kind</source>
        <translation>この種類のフレームは保存できません</translation>
    </message>
    <message>
        <source>cannot read the kept frames back</source>
        <translation>保存したフレームを読み戻せません</translation>
    </message>
    <message>
        <source>aborted, the earlier movie is kept</source>
        <translation>中止しました。以前のムービーは残してあります</translation>
    </message>
    <message>
        <source>the export failed</source>
        <translation>書き出しに失敗しました</translation>
    </message>
    <message>
        <source>the export failed (status %1)</source>
        <translation>書き出しに失敗しました（ステータス %1）</translation>
    </message>
    <message>
        <source>aborted</source>
        <translation>中止しました</translation>
    </message>
    <message>
        <source>the conversion did not start</source>
        <translation>変換が始まりませんでした</translation>
    </message>
    <message>
        <source>the window description could not be loaded</source>
        <translation>ウインドウの定義を読み込めませんでした</translation>
    </message>
    <message>
        <source>unknown size &apos;%2&apos; (use natural, half, third, quarter, qcif, sqcif, 96x80 or WxH)</source>
        <translation>不明なサイズ &apos;%2&apos;（natural、half、third、quarter、qcif、sqcif、96x80、幅x高さ のいずれかを指定してください）</translation>
    </message>
    <message>
        <source>size &apos;%2&apos; is too large: at most %1</source>
        <translation>サイズ &apos;%2&apos; が大きすぎます: 最大 %1</translation>
    </message>
    <message>
        <source>size &apos;%2&apos; is too small: at least %1</source>
        <translation>サイズ &apos;%2&apos; が小さすぎます: 最小 %1</translation>
    </message>
    <message>
        <source>unknown format &apos;%2&apos; (use %1)</source>
        <translation>不明なフォーマット &apos;%2&apos;（%1 のいずれかを指定してください）</translation>
    </message>
    <message>
        <source>frame rate &apos;%2&apos; is not a number of frames per second from %1 to %3</source>
        <translation>フレームレート &apos;%2&apos; は %1 から %3 までの 1 秒あたりのフレーム数ではありません</translation>
    </message>
    <message>
        <source>data rate &apos;%2&apos; is not a whole number of kilobytes per second from %1 to %3</source>
        <translation>データレート &apos;%2&apos; は %1 から %3 までの整数（1 秒あたりのキロバイト数）ではありません</translation>
    </message>
    <message>
        <source>size limit &apos;%2&apos; is not a size such as 300K, 600K or 1M (or none)</source>
        <translation>サイズの上限 &apos;%2&apos; は 300K、600K、1M のようなサイズ（または none）ではありません</translation>
    </message>
    <message>
        <source>jobs &apos;%2&apos; is not a whole number of movies at once from %1 to %3</source>
        <translation>jobs &apos;%2&apos; は %1 から %3 までの同時に変換するムービーの数（整数）ではありません</translation>
    </message>
    <message>
        <source>the output folder needs a name</source>
        <translation>書き出し先のフォルダには名前が必要です</translation>
    </message>
    <message>
        <source>unknown option &apos;%2&apos;</source>
        <translation>不明なオプション &apos;%2&apos;</translation>
    </message>
    <message>
        <source>option &apos;%2&apos; needs a value</source>
        <translation>オプション &apos;%2&apos; には値が必要です</translation>
    </message>
    <message>
        <source>no movies found</source>
        <translation>ムービーが見つかりません</translation>
    </message>
    <message>
        <source>cannot make the output folder %2: %1</source>
        <translation>書き出し先のフォルダ %2 を作成できません: %1</translation>
    </message>
    <message>
        <source>cannot find this program to run it</source>
        <translation>実行するためのこのプログラムが見つかりません</translation>
    </message>
    <message>
        <source>cannot start a conversion</source>
        <translation>変換を開始できません</translation>
    </message>
    <message>
        <source>the movie could not be decoded (the decoder crashed)</source>
        <translation>動画をデコードできませんでした（デコーダーがクラッシュしました）</translation>
    </message>
    <message>
        <source>the conversion ended by signal %1</source>
        <translation>変換はシグナル %1 で終了しました</translation>
    </message>
    <message>
        <source>the conversion failed</source>
        <translation>変換に失敗しました</translation>
    </message>
</context>
<context>
    <name>FieldLimits</name>
    <message>
        <source>%1 to %2</source>
        <translation>%1～%2</translation>
    </message>
    <message>
        <source>whole numbers, %1 to %2</source>
        <translation>整数、%1～%2</translation>
    </message>
    <message>
        <source>Out of range: %1</source>
        <translation>範囲外：%1</translation>
    </message>
    <message>
        <source>%1: %2 became %3 (%4)</source>
        <translation>%1：%2 を %3 にしました（%4）</translation>
    </message>
</context>
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
    <message>
        <source>Drop movies here to convert them.</source>
        <translation>ここにムービーをドロップして変換できます。</translation>
    </message>
    <message>
        <source>%1 of %2   %3</source>
        <translation>%1 / %2   %3</translation>
    </message>
    <message>
        <source>Skip the other movies?</source>
        <translation>残りのムービーをスキップしますか？</translation>
    </message>
    <message>
        <source>%1 movie of this batch is still to convert.</source>
        <translation>このバッチにはまだ変換していないムービーが %1 本あります。</translation>
    </message>
    <message>
        <source>%1 movies of this batch are still to convert.</source>
        <translation>このバッチにはまだ変換していないムービーが %1 本あります。</translation>
    </message>
    <message>
        <source>Skip Them</source>
        <translation>スキップ</translation>
    </message>
    <message>
        <source>Convert Them</source>
        <translation>変換する</translation>
    </message>
    <message>
        <source>The folder of %1 cannot be written: choose a folder for the converted movies</source>
        <translation>%1 のフォルダに書き込めません。変換したムービーを保存するフォルダを選んでください</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>skipped</source>
        <translation>スキップしました</translation>
    </message>
    <message>
        <source>its folder cannot be written and no other folder was chosen</source>
        <translation>フォルダに書き込めず、ほかのフォルダも選ばれませんでした</translation>
    </message>
    <message>
        <source>cannot write in %1</source>
        <translation>%1 に書き込めません</translation>
    </message>
    <message>
        <source>cannot put the output movie in place in %1</source>
        <translation>書き出したムービーを %1 に置けません</translation>
    </message>
    <message>
        <source>aborted</source>
        <translation>中止しました</translation>
    </message>
    <message>
        <source>it could not be opened or no output could be made</source>
        <translation>開けなかったか、書き出し先を作成できませんでした</translation>
    </message>
    <message>
        <source>the export failed (status %1)</source>
        <translation>書き出しに失敗しました（ステータス %1）</translation>
    </message>
    <message>
        <source>%1 of %2 movie was not converted</source>
        <translation>%2 本中 %1 本のムービーを変換できませんでした</translation>
    </message>
    <message>
        <source>%1 of %2 movies were not converted</source>
        <translation>%2 本中 %1 本のムービーを変換できませんでした</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Replace the earlier movie?</source>
        <translation>以前のムービーを置き換えますか？</translation>
    </message>
    <message>
        <source>%1 is already in %2. Replace it, or keep both and write the new movie as %3?</source>
        <translation>%1 はすでに %2 にあります。置き換えますか？それとも両方残して、新しいムービーを %3 として書き出しますか？</translation>
    </message>
    <message>
        <source>Replace the earlier movies?</source>
        <translation>以前のムービーを置き換えますか？</translation>
    </message>
    <message>
        <source>%1 of these movies are converted already: %2. Replace them, or keep both and write the new movies under numbered names?</source>
        <translation>このうち %1 本はすでに変換済みです: %2。置き換えますか？それとも両方残して、新しいムービーを番号付きの名前で書き出しますか？</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>置き換える</translation>
    </message>
    <message>
        <source>Replace All</source>
        <translation>すべて置き換える</translation>
    </message>
    <message>
        <source>Keep Both</source>
        <translation>両方残す</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>For older phones</source>
        <translation>古い携帯電話向け</translation>
    </message>
    <message>
        <source>Baseline H.264, which phones older than about ten years play too; a little less picture for the bytes</source>
        <translation>約 10 年より古い携帯電話でも再生できる Baseline の H.264。同じバイト数で画質は少し下がります</translation>
    </message>
    <message>
        <source>F&amp;it into:</source>
        <translation>サイズ上限(&amp;I)：</translation>
    </message>
    <message>
        <source>The most the whole movie file may take, sound included, for sending by picture message</source>
        <translation>音声を含むムービーファイル全体の最大サイズ（画像メッセージ送信用）</translation>
    </message>
    <message>
        <source>Fit into</source>
        <translation>サイズ上限</translation>
    </message>
    <message>
        <source>No limit</source>
        <translation>上限なし</translation>
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
        <translation>カスタム</translation>
    </message>
    <message>
        <source>Custom size limit in kilobytes</source>
        <translation>カスタムのサイズ上限（キロバイト）</translation>
    </message>
    <message>
        <source>Kilobytes (1024 bytes) the whole file may take</source>
        <translation>ファイル全体の上限（キロバイト、1024 バイト）</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>フォーマット(&amp;F)：</translation>
    </message>
    <message>
        <source>The kind of movie to write</source>
        <translation>書き出すムービーの種類</translation>
    </message>
    <message>
        <source>Se&amp;ttings…</source>
        <translation>設定(&amp;T)…</translation>
    </message>
    <message>
        <source>Compression settings of the 3GPP2 and AMC formats</source>
        <translation>3GPP2 と AMC フォーマットの圧縮設定</translation>
    </message>
    <message>
        <source>&amp;Size:</source>
        <translation>サイズ(&amp;S)：</translation>
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
        <source>&amp;Width × height:</source>
        <translation>幅 × 高さ(&amp;W)：</translation>
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
        <source>F&amp;rame rate:</source>
        <translation>フレームレート(&amp;R)：</translation>
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
        <source>&amp;Data rate:</source>
        <translation>データレート(&amp;D)：</translation>
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
    <message>
        <source>Format</source>
        <translation>フォーマット</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>サイズ</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>幅</translation>
    </message>
    <message>
        <source>Height</source>
        <translation>高さ</translation>
    </message>
    <message>
        <source>Frame rate</source>
        <translation>フレームレート</translation>
    </message>
    <message>
        <source>Data rate</source>
        <translation>データレート</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>進行状況</translation>
    </message>
    <message>
        <source>Percent done</source>
        <translation>完了率</translation>
    </message>
    <message>
        <source>Why the last conversion failed</source>
        <translation>前回の変換が失敗した理由</translation>
    </message>
    <message>
        <source>What a minute of movie takes with these options</source>
        <translation>この設定で 1 分の動画が占める大きさ</translation>
    </message>
    <message>
        <source>For &amp;older phones</source>
        <translation>古い携帯電話向け(&amp;O)</translation>
    </message>
    <message>
        <source>Fi&amp;le</source>
        <translation>ファイル(&amp;L)</translation>
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
<context>
    <name>OpenPanel</name>
    <message>
        <source>Choose a movie to convert</source>
        <translation>変換するムービーを選択</translation>
    </message>
    <message>
        <source>Movies (%1)</source>
        <translation>ムービー (%1)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>すべてのファイル (*)</translation>
    </message>
    <message>
        <source>Choose a Folder</source>
        <translation>フォルダを選択</translation>
    </message>
</context>
<context>
    <name>SizeEstimate</name>
    <message>
        <source>about %1 a minute</source>
        <translation>1 分あたり約 %1</translation>
    </message>
    <message>
        <source>sound only</source>
        <translation>音声のみ</translation>
    </message>
    <message>
        <source>%1, length unknown</source>
        <translation>%1、長さ不明</translation>
    </message>
    <message>
        <source>%1, %2 → about %3</source>
        <translation>%1、%2 → 約 %3</translation>
    </message>
</context>
<context>
    <name>Terminal</name>
    <message>
        <source>%1 left</source>
        <translation>残り %1</translation>
    </message>
    <message>
        <source>wrote %1</source>
        <translation>%1 を書き出しました</translation>
    </message>
    <message>
        <source>%1 of %2 done, %3 converting</source>
        <translation>%2 件中 %1 件完了、%3 件変換中</translation>
    </message>
    <message>
        <source>skipped %1: %2 is already a complete movie</source>
        <translation>%1 をスキップしました: %2 はすでに完全なムービーです</translation>
    </message>
    <message>
        <source> (a movie of the same name is already in this batch)</source>
        <translation>（同じ名前のムービーがすでにこのバッチにあります）</translation>
    </message>
    <message>
        <source>%1 written, %2 failed</source>
        <translation>%1 件書き出し、%2 件失敗</translation>
    </message>
    <message>
        <source>, %1 aborted</source>
        <translation>、%1 件中止</translation>
    </message>
    <message>
        <source>, %1 already complete</source>
        <translation>、%1 件はすでに完了</translation>
    </message>
    <message>
        <source>, %1 not started</source>
        <translation>、%1 件は未開始</translation>
    </message>
</context>
<context>
    <name>WindowProgress</name>
    <message>
        <source>%1% – %2</source>
        <translation>%1% – %2</translation>
    </message>
</context>
</TS>
