// The console texts, one row per text: Japanese, then English. A text's blanks and line ends
// are part of it (the prompts end without a line end, the console's cursor waits after them),
// and the two columns have the same line structure.
#include "app/texts.h"

#include <cstdio>
#include <cstdlib>

Language console_language = Language::japanese;

#define JAPANESE_TITLE \
    "Van der Pol系の強制振動　m:系・外力 j:初期条件 変更, s:描画継続,　y,Y:f特性縦倍率変更 " \
    "t,T:時間軸伸縮"

namespace {

// U+3000 (ideographic space) is the wide blank inside several Japanese texts.
const char* const TEXT_TABLE[TEXT_COUNT][2] = {
    {"\n１自由度自励振動系(Van der Pol's equation)の強制振動の描画",
     "\nForced oscillation of a self-excited system with one degree of freedom (Van der Pol's equation)"},
    {"\n正規化式　ddy/ddt - ε(1-y^y)*dy/dt + *y = F*sin(z*t)\n",
     "\nNormalised equation  ddy/ddt - eps(1-y*y)*dy/dt + y = F*sin(z*t)\n"},
    {"\nキー入力　(1) ε",
     "\nInput  (1) eps"},
    {"\n        　(2) ζ，z",
     "\n       (2) F, z"},
    {"\n        　(3) 初期条件",
     "\n       (3) initial conditions"},
    {"\n\n(1) 負の減衰比ε，キー入力 ε=",
     "\n\n(1) negative damping ratio eps, type eps="},
    {"\n     z=1の付近で，外力振動数の振動が生じる（引き込み現象）",
     "\n     near z=1 the motion takes on the forcing frequency (entrainment)"},
    {"\n     z=1を離れると，周期的な振動は見られない",
     "\n     away from z=1 no periodic motion is seen"},
    {"\n(2) 外力振幅F, 外力振動数比z　入力　F z=",
     "\n(2) forcing amplitude F, forcing frequency ratio z, type F z="},
    {"\n(3) 初期条件入力  y0 v0 = ",
     "\n(3) initial conditions, type y0 v0 = "},
    {"\n振動曲線描画表示　赤：応答　緑：外力\n",
     "\nCurves drawn: red the response, green the force\n"},
    {"\n's'キーで 　：振動描画継続             'Y' 'y'キーで：周波数特性の縦倍率増減",
     "\n's' key  : draw on                  'Y' 'y' keys: vertical scale of the response curves"},
    {"\n'm'キーで   ：負減衰比ε変更           'T' 't'キーで：振動曲線y(t)の時間軸伸縮",
     "\n'm' key  : change eps               'T' 't' keys: time axis of y(t)"},
    {"\n'f'キーで　 ：外力 F,z 変更            'E' 'e'キーで：F or ε可変のf特性表示",
     "\n'f' key  : change the force F, z    'E' 'e' keys: response curves for ten F or eps"},
    {"\n'j'キーで   ：初期条件 y0,v0 変更",
     "\n'j' key  : change the initial y0, v0"},
    {"\nESCキーで   ：終了\n",
     "\nESC key  : quit\n"},
    {"F1キーで   ：キー一覧                 F2キーで：画像保存  F5キーで：自動描画／停止\n",
     "F1 key   : this list                F2 key: save the picture  F5 key: run / pause\n"},
    {"F3キーで   ：特性曲線の安定・不安定表示   F4キーで：実測の基本波振幅表示\n",
     "F3 key   : stability along the curve  F4 key: measured first-harmonic amplitude\n"},
    {"画像を保存しました：%s\n",
     "Picture saved: %s\n"},
    {"画像を保存できません：%s\n",
     "Picture not saved: %s\n"},
    {"\n数値として読めない入力のため，%s のままです",
     "\nNot a number: %s kept"},
    {"ε", "eps"},
    {"運動が数値で表せる範囲を超えました。'm', 'f' または 'j' キーで入力し直してください\n",
     "The motion has left the range of numbers; 'm', 'f' or 'j' starts again\n"},
    {"ディスプレイ '%s' を開けません。画面のない環境では xvfb-run -a %s のように起動してください\n",
     "Cannot open display '%s'. Without a display, start it as: xvfb-run -a %s\n"},
    {"-geometry %s のウィンドウは大きすぎて描けません（一辺 %s ピクセルまで）\n",
     "-geometry %s: too large to draw (at most %s pixels a side)\n"},
    {"-geometry %s はウィンドウの大きさとして読めません（幅x高さ+X+Y，一辺 1 から %s ピクセル）\n",
     "-geometry %s: not a window geometry (WIDTHxHEIGHT+X+Y, sides of 1 to %s pixels)\n"},
    {"OpenGL を始められません（%s）。アドレス空間の上限（ulimit -v）%s KB の内では描画できないため，上限を上げて起動してください（ulimit -v unlimited など）\n",
     "OpenGL cannot start (%s) within the address-space limit (ulimit -v) of %s KB: raise it, e.g. ulimit -v unlimited\n"},
    {"入力後の画面がまだありません。's'キーで描画してから保存してください",
     "no frame since the dialog; press 's' first"},
    {"\n入力の 1 行が長すぎます（%s バイトまで）。ここで入力を終わりとし，残りの値はそのままです",
     "\nInput line too long (%s bytes at most): the input ends here, the values left are kept"},
    {"小数点を使った有限の数が必要です", "a finite number with a decimal point is needed"},
    {"0 から %s までの整数が必要です", "a whole number from 0 to %s is needed"},
    {"e（ε の族）または E（F の族）が必要です", "e (epsilon family) or E (F family) is needed"},
    {"en または ja が必要です", "en or ja is needed"},
    {"1（表示）または 0（非表示）が必要です", "1 (on) or 0 (off) is needed"},
    // What each control does.
    {"このヘルプを表示して終了する", "show this help and exit"},
    {"バージョンを表示して終了する", "show the version and exit"},
    {"負の減衰比 ε", "negative damping ratio epsilon"},
    {"外力振幅 F", "forcing amplitude F"},
    {"外力振動数比 z", "forcing frequency ratio z"},
    {"初期変位 y0", "initial displacement y0"},
    {"初速度 v0", "initial velocity v0"},
    {"ε（e）または F（E）を変えた 10 本の特性曲線を表示する",
     "show the family of ten curves for epsilon (e) or F (E)"},
    {"ウィンドウを表示する前に N フレーム（0 … %s）進める",
     "advance N frames (0 ... %s) before the window shows"},
    {"--frames の後のフレームを PNG で書き出して終了する",
     "write the frame after --frames as a PNG and exit"},
    {"振幅曲線を CSV で書き出して終了する", "write the amplitude curves as CSV and exit"},
    {"フレーム 0 … N（既定 %s）を CSV で書き出して終了する",
     "write frames 0 ... N (default %s) as CSV and exit"},
    {"コンソールの言語（既定：FORCED_VDP_LANG，なければ ja）",
     "console language (default: FORCED_VDP_LANG, else ja)"},
    {"自動描画／停止", "run/pause"},
    {"画像保存", "save the picture"},
    {"振幅曲線を --export-curves と同じ CSV で保存する",
     "the amplitude curves as CSV, as --export-curves writes them"},
    {"この条件を開くリンクをコピーする", "copy a link that opens this scenario"},
    {"特性曲線を安定・鞍点・不安定で描き分ける",
     "draw the curve by its stability: stable, saddle, unstable"},
    {"z における実測の基本波振幅を表示する", "show the measured first-harmonic amplitude at z"},
    {"キー一覧", "key help"},
    // The page.
    {JAPANESE_TITLE,
     "Forced oscillation of the Van der Pol system  m: system and force, j: initial values, "
     "s: draw on, y,Y: vertical scale, t,T: time axis"},
    {"このブラウザーでは WebGL が使えないため、図を描けません。WebGL を有効にするか、別のブラウザーで開いてください。",
     "This browser offers no WebGL, so the picture cannot be drawn; enable WebGL or open the page in another browser."},
    {"プログラムがエラーで止まりました。ページを再読み込みしてください。",
     "The program stopped with an error; reload the page."},
    {"プログラムは終了しました。", "The program has ended."},
    {"プログラムは終了しました（終了コード %s）。", "The program has ended (exit status %s)."},
    {"最初から始める", "Start again"},
    {"同じ値で始める", "Start again with the last values"},
    {"新しい値は次のフレームから使われます。s キーを押すと描かれます。",
     "The new values take effect with the next frame: press s to draw it."},
    {"%s=%s は使えません：%s", "%s=%s refused: %s"},
    {"%s=%s：知らないパラメーター名です", "%s=%s: unknown parameter name"},
    {"アドレスの値をすべて使わず、ダイアログですべての値を尋ねます。",
     "None of the address's values is used: the dialog asks for all of them."},
    {"リンクをコピーしました。", "Link copied."},
    {"リンクをコピーできませんでした。下のリンクを選んでコピーしてください。",
     "The link could not be copied; select it below and copy it by hand."},
    {"このページはこのコンピューター上のファイルから開かれているため、このリンクはこのコンピューターでしか開けません。"
     "共有するには、このファイルを授業のページ（ウェブサーバー）に置き、そこで開いたページのリンクをコピーしてください。",
     "This page was opened from a file on this computer, so the link works only on this computer. "
     "To share it, put the file on a course page (a web server), open it there and copy the link from that page."},
    {"図：振動の時間応答と振幅–周波数特性", "Picture: the motion over time and the amplitude–frequency characteristic"},
    {"図が示す値", "What the picture shows"},
    {"ε = %s，F = %s，z = %s", "ε = %s, F = %s, z = %s"},
    {"初期条件 y0 = %s，v0 = %s", "initial y0 = %s, v0 = %s"},
    {"t = %s（フレーム %s）", "t = %s (frame %s)"},
    {"z が曲線と交わる振幅：%s", "z meets the curve at amplitude %s"},
    {"z は曲線と交わりません", "z does not meet the curve"},
    {"入力", "Answer"},
    {"コンソールを開く", "Open the console"},
    {"コンソールを閉じる", "Close the console"},
    {"s：次のフレームを描く（押している間は続けて描く）", "s: draw the next frame (hold to keep drawing)"},
    {"y：縦倍率 × 0.9", "y: vertical scale × 0.9"},
    {"Y：縦倍率 ÷ 0.9", "Y: vertical scale ÷ 0.9"},
    {"t：時間軸の刻み × 0.9", "t: time step of the traces × 0.9"},
    {"T：時間軸の刻み ÷ 0.9", "T: time step of the traces ÷ 0.9"},
    {"z：z 軸の倍率 × 0.9", "z: z scale × 0.9"},
    {"Z：z 軸の倍率 ÷ 0.9", "Z: z scale ÷ 0.9"},
    {"e：ε を変えた 10 本の特性曲線", "e: curves for ten values of ε"},
    {"E：F を変えた 10 本の特性曲線", "E: curves for ten values of F"},
    {"m：ε，F，z，y0，v0 を入力し直す", "m: new ε, F, z, y0, v0"},
    {"f：F，z，y0，v0 を入力し直す", "f: new F, z, y0, v0"},
    {"j：初期条件 y0，v0 を入力し直す", "j: new initial values y0, v0"},
    {"ESC：プログラムを終了する", "ESC: end the program"},
    {"自動描画／停止", "Run / Pause"},
    {"画像を保存", "Save picture"},
    {"曲線を CSV で保存", "Download curves (CSV)"},
    {"この条件のリンクをコピー", "Copy link to this scenario"},
    {"安定・不安定", "Stability"},
    {"実測の基本波振幅", "Measured amplitude"},
    // The locking map.
    {"A:B:N（数 A ≦ B と 1 から 1000000 までの整数 N，N = 1 なら A = B；z は 0 < A，B ≦ 78）が必要です",
     "A:B:N is needed: numbers A <= B and a whole number N from 1 to 1000000 (N = 1: A = B; z: 0 < A, B <= 78)"},
    {"1 から 100000 までの整数（周期の数）が必要です",
     "a whole number of periods from 1 to 100000 is needed"},
    {"--map-z と --map-force のマスは合わせて 1000000 個までです",
     "--map-z and --map-force may make 1000000 cells at most"},
    {"引き込みマップ（--map-z，--map-force の格子）を CSV で書き出して終了する",
     "write the locking map over --map-z and --map-force as CSV and exit"},
    {"引き込みマップの図を PNG で書き出して終了する",
     "write the locking map's picture as a PNG and exit"},
    {"引き込みマップの z：A から B まで N 点（既定 0.5:1.5:101）",
     "the locking map's z: N values from A to B (default 0.5:1.5:101)"},
    {"引き込みマップの F：A から B まで N 点（既定 0:1:41）",
     "the locking map's F: N values from A to B (default 0:1:41)"},
    {"各マスを判定する前に落ち着かせる周期数（既定 30）",
     "forcing periods each cell settles before it is judged (default 30)"},
    {"周期を探す窓の周期数，その半分までの周期を探す（既定 40）",
     "forcing periods searched for a period, up to half as long (default 40)"},
    {"各マスの最大周期数，それまでに決まらなければ settling（既定 2000）",
     "most forcing periods a cell runs; undecided then, it is settling (default 2000)"},
    {"引き込みマップを図の代わりに表示する（もう一度で図に戻る）",
     "show the locking map in place of the picture (again: back to it)"},
    {"F8キーで   ：引き込みマップ（z，F の格子で実測した引き込み）／図に戻る，マスをクリックでその z，F を実行\n",
     "F8 key   : locking map (entrainment measured over a grid of z, F) / back; click a cell to run it\n"},
    {"\n引き込みマップを計算します：ε=%s，z %s … %s（%s 点），F %s … %s（%s 点），初期条件 (%s, %s)\n",
     "\nComputing the locking map: eps=%s, z %s ... %s (%s values), F %s ... %s (%s values), start (%s, %s)\n"},
    {"引き込みマップができました：%s マス，%s 秒\n",
     "Locking map done: %s cells in %s s\n"},
    {"引き込みマップ", "Locking map"},
    {"引き込みマップ：ε = %s，z %s … %s，F %s … %s", "Locking map: ε = %s, z %s … %s, F %s … %s"},
    {"計算済み %s / %s 行", "%s of %s rows computed"},
    {"1:1 引き込み %s，分数調波など %s，ドリフト %s，未定 %s，静止 %s マス",
     "cells: 1:1 locked %s, other periods %s, drifting %s, settling %s, at rest %s"},
    {"マスをクリック（タップ）すると，その z と F で運動が始まります",
     "Click (tap) a cell to run the motion at its z and F"},
    {"このブラウザーでは引き込みマップを計算できません（WebAssembly のベクトル命令と gzip の展開が必要です）。新しいブラウザーで開いてください。",
     "This browser cannot compute the locking map (it needs WebAssembly's vector instructions and gzip decompression); open the page in a current browser."},
};

}  // namespace

const char* text_in(Language language, Text id)
{
    return TEXT_TABLE[id][language == Language::english ? 1 : 0];
}

const char* text(Text id)
{
    return text_in(console_language, id);
}

std::string fill_text(std::string_view text, std::initializer_list<std::string_view> args)
{
    std::string filled(text);
    std::size_t at = 0;
    for (const std::string_view arg : args) {
        at = filled.find("%s", at);
        if (at == std::string::npos)
            break;
        filled.replace(at, 2, arg);
        at += arg.size();
    }
    return filled;
}

std::string shortest_digits(double v)
{
    char digits_text[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(digits_text, sizeof digits_text, "%.*g", digits, v);
        if (std::strtod(digits_text, nullptr) == v)
            break;
    }
    return digits_text;
}

const char* const WINDOW_TITLE = JAPANESE_TITLE;
