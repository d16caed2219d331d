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
    // The motion in words and as sound.
    {"いまの運動の様子を文でコンソールに書く", "print what the motion does now, in words, on the console"},
    {"運動 y(t) を音として WAV（角振動数 1 = 220 Hz）で書き出して終了する",
     "write the motion y(t) as sound, WAV (angular frequency 1 = 220 Hz), and exit"},
    {"--export-audio の長さ（0 … %s 秒；既定は --frames，なければ 5 秒）",
     "length of --export-audio, 0 ... %s seconds (default: --frames, else 5 s)"},
    {"--export-audio に外力を第 2 の声として加える", "add the force to --export-audio as a second voice"},
    {"運動 y(t) を音で聞く：角振動数 1 が 220 Hz（1 秒 = 1382 時間単位）。運動が進む間だけ鳴る",
     "hear the motion y(t): angular frequency 1 sounds at 220 Hz (1382 time units a second), while the motion advances"},
    {"外力 sin(z t) を第 2 の声として加える", "add the force sin(z t) as a second voice"},
    {"音", "Sound"},
    {"外力の音", "Force voice"},
    {"音量", "Volume"},
    {"：", ":"},
    {"。", "."},
    {"引き込み：外力 1 回に 1 回振れる", "Locked: one swing per push"},
    {"。振幅 %s", "; amplitude %s"},
    {"，予測 %s（%s）", ", predicted %s (%s)"},
    {"，予測なし", ", none predicted"},
    {"周期 %s：%s（外力 %s 回ごと）", "Period %s: %s every %s pushes"},
    {"周期 %s：外力 %s 回ごとに繰り返す", "Period %s: repeats every %s pushes"},
    {"1 回振れる", "one swing"},
    {"%s 回振れる", "%s swings"},
    {"引き込まれていない：%s 時間単位ごとに外力より 1 周期遅れる",
     "Drifting: the swing falls one cycle behind the push every %s time units"},
    {"引き込まれていない：%s 時間単位ごとに外力より 1 周期進む",
     "Drifting: the swing gains one cycle on the push every %s time units"},
    {"引き込まれていない：外力 1 回に約 %s 回振れる", "Drifting: about %s swings per push"},
    {"引き込まれていない：一定の周期がない", "Drifting: no steady period"},
    {"変調：外力と歩調は合うが，振幅が揺れる", "Modulated: the swing keeps pace with the push, its amplitude wanders"},
    {"。振幅 %s 〜 %s", "; amplitude %s to %s"},
    {"整定中：外力 %s 周期の後に判定（いま %s）", "Settling: judged after %s pushes, %s so far"},
    {"整定中：まだ定まらない", "Settling: not steady yet"},
    {"外力なし（F = 0）：角振動数 %s で自由に振れる", "No push (F = 0): the swing runs free at angular frequency %s"},
    {"外力なし（F = 0）：静止", "No push (F = 0): at rest"},
    {"測定なし：z は 0 より大きく %s 以下", "Not measured: z must be above 0 and at most %s"},
    {"範囲外：運動が数値で表せる範囲を超えた", "Out of range: the motion has left the range of numbers"},
    // The phase plane.
    {"時間応答の代わりに位相平面（横 y，縦 v）を表示する",
     "show the phase plane (y across, v up) in place of the traces"},
    {"運動の近くの周期軌道を求め，その乗数を示す",
     "seek the periodic orbit near the motion: its multipliers"},
    {"初期条件 Y0,V0 からの 2 つ目の運動を位相平面に並べて描く",
     "a second motion from Y0,V0 in the phase plane"},
    {"N フレーム（既定 %s）のストロボ点を CSV で書き出して終了する",
     "write the stroboscopic points of N frames (default %s) as CSV, exit"},
    {"Y0,V0 のようにコンマで区切った 2 つの数が必要です",
     "two numbers with a comma between them, Y0,V0, are needed"},
    {"位相平面", "Phase plane"},
    {"周期軌道", "Periodic orbit"},
    {"F6キーで   ：位相平面／時間応答        F9キーで：運動の近くの周期軌道\n",
     "F6 key   : phase plane / traces     F9 key: periodic orbit near the motion\n"},
    {"運動の近くの周期軌道：乗数 %s，%s（%s）\n",
     "Periodic orbit near the motion: multipliers %s, %s (%s)\n"},
    {"運動の近くの周期軌道：見つかりません\n", "Periodic orbit near the motion: not found\n"},
    {"安定", "stable"},
    {"鞍点", "saddle"},
    {"不安定", "unstable"},
    {"中立", "neutral"},
    {"2 つ目の初期条件 y0 = %s，v0 = %s", "second start y0 = %s, v0 = %s"},
    {"%s=%s：同じ名前が 2 度以上あります。最後の値を使います",
     "%s=%s: the name is given more than once; this last value is used"},
    {"アドレスにない値は 0 としました：%s", "Not in the address, so taken as 0: %s"},
    {"#%s：# の後ろは読みません。値は ? の後ろに書いてください（?%s）",
     "#%s: the part after # is not read; put the values after ? (?%s)"},
    {"図は、コンソールの質問に答えると描かれます。入力欄に ε，次に F と z，次に y0 と v0 を入力し、そのつど Enter を押してください。",
     "The picture appears once the console's questions are answered: type ε, then F and z, then y0 and v0 into the input line, each followed by Enter."},
    {"フレーム %s まで進めています…（%s %）", "Advancing to frame %s… (%s %)"},
    {"左：赤 応答 y(t)，緑 外力 F·sin(z·t)，格子 1 目 時間 2・変位 0.2（図中 red，green，1grid）",
     "Left: red the response y(t), green the force F·sin(z·t); a grid cell is 2 time units by 0.2 (red, green, 1grid)"},
    {"右：振幅–周波数特性（横 z，縦 振幅）。赤 ε と F の曲線，青線 z = 1，緑線 入力した z（点は曲線との交点），黒線 1.414（%s）",
     "Right: the amplitude against z. Red: the curve for ε and F; blue line: z = 1; green line: the given z, dots where it meets the curve; black line: 1.414 (%s)"},
    {"この下は不安定", "unstable under it"},
    {"この上は不安定", "unstable above it"},
    {"青：ε = %s の 10 本の曲線（赤は入力した ε）", "Blue: the curves for ε = %s (red: the given ε)"},
    {"青：F = %s の 10 本の曲線（赤は入力した F）", "Blue: the curves for F = %s (red: the given F)"},
    {"安定・不安定：実線 安定，破線 鞍点，点線 不安定；塗った円 安定な応答，白抜きの円 それ以外",
     "Stability: solid stable, dashed saddle, dotted unstable; a filled disc a stable response, an open one not"},
    {"実測：× 最後の 1 周期の基本波振幅，縦棒 最後の %s 周期の範囲",
     "Measured: × the first-harmonic amplitude of the last period, the bar its range over the last %s periods"},
    // The entrainment experiment.
    {"FROM:TO の形の 2 つの振動数比（0 より大きく %s 以下，差は %s 以下）が必要です",
     "two forcing ratios FROM:TO, each above 0 and at most %s, at most %s apart, are needed"},
    {"z = FROM で始め，z を %s ずつ TO まで変えて FROM に戻す",
     "start at z = FROM, step z by %s to TO and back to FROM"},
    {"--sweep が各 z で測った運動を CSV で書き出して終了する",
     "write what --sweep measured at each z as CSV and exit"},
    {"z を上下 %s の範囲で掃引する／掃引を止める", "sweep z by %s either way and back, or stop"},
    {"z を %s 下げる", "lower z by %s"},
    {"z を %s 上げる", "raise z by %s"},
    {"F7キーで   ：z の掃引開始／停止         ←→キーで：z を %s ずつ変更\n",
     "F7 key   : sweep z / stop             Left, Right keys: z by %s\n"},
    {"\n掃引終了：%s 点の z で測定。引き込み（周期 1）の範囲　上り %s，下り %s\n",
     "\nSweep done: %s ratios measured. Locked (period 1) going up %s, going down %s\n"},
    {"z = %s … %s", "z = %s ... %s"},
    {"なし", "none"},
    {"z を掃引", "Sweep z"},
    {"z − %s", "z − %s"},
    {"z + %s", "z + %s"},
    {"運動の状態：%s", "motion: %s"},
    {"z = %s での運動の状態：%s", "motion at z = %s: %s"},
    {"過渡中（判定待ち）", "settling"},
    {"引き込み（ρ = %s）", "locked (ρ = %s)"},
    {"周期 %s（ρ = %s）", "period %s (ρ = %s)"},
    {"引き込まれていない（ρ = %s，うなり %s）", "drifting (ρ = %s, beat %s)"},
    {"z を上げて掃引中：%s フレームに 1 枚描画", "sweeping z up: one frame in %s drawn"},
    {"z を下げて掃引中：%s フレームに 1 枚描画", "sweeping z down: one frame in %s drawn"},
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
