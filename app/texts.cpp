// The console texts, one row per text: Japanese, then English. A text's blanks and line ends
// are part of it (the prompts end without a line end, the console's cursor waits after them),
// and the two columns have the same line structure.
#include "app/texts.h"

Language console_language = Language::japanese;

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
    {"入力後の画面がまだありません。's'キーで描画してから保存してください",
     "no frame since the dialog; press 's' first"},
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

const char* const WINDOW_TITLE =
    "Van der Pol系の強制振動　m:系・外力 j:初期条件 変更, s:描画継続,　y,Y:f特性縦倍率変更 "
    "t,T:時間軸伸縮";
