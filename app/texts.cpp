// Texts of the program that every platform shows.
#include "app/texts.h"

const char* const WINDOW_TITLE =
    "Van der Pol系の強制振動　m:系・外力 j:初期条件 変更, s:描画継続,　y,Y:f特性縦倍率変更 "
    "t,T:時間軸伸縮";

const char* const KEPT_AFTER_UNREADABLE = "\n数値として読めない入力のため，%s のままです";

const char* const MOTION_OUT_OF_RANGE =
    "運動が数値で表せる範囲を超えました。'm', 'f' または 'j' キーで入力し直してください\n";

const char* const NO_DISPLAY =
    "ディスプレイ '%s' を開けません。画面のない環境では xvfb-run -a %s のように起動してください\n";

const char* const WINDOW_TOO_LARGE =
    "-geometry %s のウィンドウは大きすぎて描けません（一辺 %d ピクセルまで）\n";
