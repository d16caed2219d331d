// Texts of the program that every platform shows.
#include "app/texts.h"

const char* const WINDOW_TITLE =
    "Van der Pol系の強制振動　m:系・外力 j:初期条件 変更, s:描画継続,　y,Y:f特性縦倍率変更 "
    "t,T:時間軸伸縮";
