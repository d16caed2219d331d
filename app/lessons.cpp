// The lessons, in both languages, and what the command line and the page make of them. The
// figures the texts quote are the ones the lessons' claims hold (tests/app/lesson_claims_test).
#include "app/lessons.h"

#include <cstring>

#include "app/texts.h"

namespace {

using enum ClaimKind;

constexpr LessonStep FORGETS_ITS_START[] = {
    {{"外力なし（F = 0），ε = 0.5 で，小さな初期変位 y0 = 0.1 から始めます。振れはどうなるでしょう？",
      "No push (F = 0), ε = 0.5, and a tiny start, y0 = 0.1. What does the swing do?"},
     {{"振り子のように小さくなって止まる", "It dies away, as a pendulum's does"},
      {"大きくなり，ある大きさで一定になる", "It grows, then keeps one size"},
      {"限りなく大きくなる", "It grows without end"}},
     1,
     {"負の減衰 ε(1 - y^2) は，|y| < 1 のあいだエネルギーを注ぎ込み，|y| > 1 では奪います。小さな振れは，1 周期の出入りがつり合う振幅（約 2）まで大きくなります。",
      "The negative damping ε(1 − y²) feeds energy in while |y| < 1 and takes it out beyond: a small swing grows until the two balance over a cycle, at amplitude about 2."},
     {"赤の時間応答が大きくなり，やがて約 -2 から 2 の間で振れ続けます。値の欄には，外力なしで自由に振れると出ます。",
      "The red trace grows, then swings on between about −2 and 2; the values panel says it runs free, with no push."},
     "eps=0.5&force=0&z=1&y0=0.1&v0=0&frames=299",
     {{amplitude, 2.0}}},
    {{"二つの初期条件を並べます。内側の y0 = 0.1 と，外側の y0 = 4 です。それぞれどこに落ち着くでしょう？",
      "Two starts side by side: one inside, y0 = 0.1, one outside, y0 = 4. Where does each end?"},
     {{"それぞれ別の大きさの閉曲線", "Each on a closed curve of its own size"},
      {"二つとも同じ一つの閉曲線", "Both on the same closed curve"},
      {"外側のものは限りなく大きくなる", "The outer one grows without end"}},
     1,
     {"この閉曲線（リミットサイクル）は系そのものが持つもので，初期条件によりません。内側からは渦を巻いて外へ，外側からは内へ近づきます。",
      "The closed curve, the limit cycle, belongs to the system, not to the start: a start inside spirals out to it, a start outside spirals in."},
     {"位相平面（横 y，縦 v）で，青の軌跡と濃い緑の軌跡が，y = ±2 を通る同じ一つの閉曲線に重なります。",
      "The phase plane (y across, v up): the blue trail and the dark green one end on one closed curve through y = ±2."},
     "eps=0.5&force=0&z=1&y0=0.1&v0=0&frames=599&phase=1&second=4,0",
     {{amplitude, 2.0}}},
    {{"ε を 10 倍の 5 にします。振幅は約 2，角振動数は約 1 のままでしょうか？",
      "Now ε = 5, ten times as much. Does the swing keep amplitude about 2 and angular frequency about 1?"},
     {{"どちらもそのまま：振幅 2，角振動数 1", "Both as before: amplitude 2, angular frequency 1"},
      {"振幅は約 2 のまま，角振動数は約 0.54 と遅くなる",
       "Amplitude about 2, but much slower: angular frequency about 0.54"},
      {"ずっと大きく，速くなる", "Much larger, and faster"}},
     1,
     {"エネルギーのつり合いで振幅は 2 近くに保たれますが，振れは弛張振動になります。ゆっくり進んでは急に跳ぶ動きで，周期は 2π ではなく約 11.6 です。",
      "The balance of energy still holds the amplitude near 2, but the swing is now a relaxation oscillation: a slow creep, then a sudden jump, a period of about 11.6 instead of 2π."},
     {"赤の時間応答が，約 -2 と 2 の間をゆっくり進んでは急に跳びます。値の欄の角振動数は 0.54 です。",
      "The red trace creeps and jumps between about −2 and 2; the values panel gives its angular frequency, 0.54."},
     "eps=5&force=0&z=1&y0=0.1&v0=0&frames=999",
     {{amplitude, 2.02}, {frequency, 0.541}}},
};

constexpr LessonStep ENTRAINMENT_AND_BEAT[] = {
    {{"弱い外力 F = 0.02 を，振れ自身の振動数より 2 % 高い z = 1.02 で加えます（ε = 0.05）。振れは外力と歩調をそろえるでしょうか？",
      "A weak push, F = 0.02, at z = 1.02: 2 % above the swing's own frequency (ε = 0.05). Does the swing fall into step with the push?"},
     {{"そろう：外力 1 回に 1 回振れる", "Yes: it locks, one swing per push"},
      {"そろわない：ときどき 1 周期ずれ，振幅がうなる",
       "No: now and then it slips a cycle, and the amplitude beats"},
      {"振れが止まる", "It stops swinging"}},
     1,
     {"F の外力が位相をつなぎ止められるのは，振れ自身の振動数 ω から約 F/4（ここでは ±0.005）の範囲だけです。その外では位相が滑り，2π/√((z - ω)^2 - (F/4z)^2) = 約 321 時間単位ごとに 1 周期ずれます（アドラーの式）。",
      "A push of F holds the phase only within about F/4 of the swing's own frequency ω (here ±0.005). Outside, the phase slips, once every 2π/√((z − ω)² − (F/4z)²) ≈ 321 time units (Adler's law)."},
     {"F4 の縦棒が長く，値の欄には約 320 時間単位ごとに外力より 1 周期遅れると出ます。音をオンにすると，1 秒に約 4 回のうなりが聞こえます。",
      "F4's bar is long; the values panel: the swing falls one cycle behind the push about every 320 time units. With Sound on you hear the beat, about 4 times a second."},
     "eps=0.05&force=0.02&z=1.02&y0=2&v0=0&frames=6000&measured=1",
     {{drifting, 321.0}}},
    {{"差を半分にして z = 1.01 にします。1 周期ずれるのにかかる時間は？",
      "Halve the distance: z = 1.01. How long does one slip take now?"},
     {{"半分の約 160", "Half as long, about 160"},
      {"同じ約 320", "The same, about 320"},
      {"2 倍以上の約 700", "More than twice as long, about 700"}},
     2,
     {"ずれの速さ √((z - ω)^2 - (F/4z)^2) は帯の端で 0 になり，差よりも速く小さくなります。z = 1.01 では 1 周期ずれるのに約 708 時間単位かかります。",
      "The slip rate √((z − ω)² − (F/4z)²) falls to zero at the band's edge, faster than the distance does: at z = 1.01 one slip takes about 708 time units."},
     {"値の欄には約 700 時間単位ごとに 1 周期遅れると出ます。音のうなりもゆっくりになります。",
      "The values panel: one cycle behind about every 700 time units; the sound's beat is slower."},
     "eps=0.05&force=0.02&z=1.01&y0=2&v0=0&frames=10000&measured=1",
     {{drifting, 708.0}}},
    {{"z = 1.003，帯の内側にします。振れはどうなるでしょう？",
      "Now z = 1.003, inside the band. What does the swing do?"},
     {{"さらにゆっくり滑る", "It slips, more slowly still"},
      {"引き込まれる：外力 1 回に 1 回，一定の振幅で振れる",
       "It locks: one swing per push, a steady amplitude"},
      {"速く滑る", "It slips faster"}},
     1,
     {"|z - ω| < F/4 の範囲では外力が位相をつなぎ止め，ずれが止まって歩調がそろいます。外力が弱いので，落ち着くまでに約 3000 時間単位かかります。",
      "Within |z − ω| < F/4 the push holds the phase: the slips stop and the swing keeps step. A weak push takes its time: this one settles in about 3,000 time units."},
     {"値の欄は引き込み（ρ = 1）。F4 の縦棒は × に縮み，音をオンにすると一定の音になります。",
      "The values panel: locked, ρ = 1; F4's bar has shrunk into the ×; with Sound on, one steady tone."},
     "eps=0.05&force=0.02&z=1.003&y0=2&v0=0&frames=30000&measured=1",
     {{locked, 2.132}}},
};

constexpr LessonStep MODULATED_NOT_SLIPPING[] = {
    {{"ε = 0.1，強い外力 F = 0.2，z = 1.04 です。振れは引き込まれるでしょうか？",
      "ε = 0.1 and a strong push, F = 0.2, at z = 1.04. Will the swing lock?"},
     {{"引き込まれる", "Yes, it locks"}, {"引き込まれず，ずれていく", "No, it slips"}},
     0,
     {"F が ε より大きいと帯は広く，幅は約 √(F^2/2 - ε^2/4) = 0.13 です。z = 1.04 はその内側です。",
      "With F larger than ε the band is wide, about √(F²/2 − ε²/4) ≈ 0.13 across, and z = 1.04 lies inside it."},
     {"位相平面の黒い点は一つだけ。F3 の塗った円のそばに F4 の × があり，縦棒はほとんど見えません。",
      "One black point in the phase plane; F4's × beside F3's filled disc, its bar shrunk to nothing."},
     "eps=0.1&force=0.2&z=1.04&y0=0&v0=0&frames=6000&stability=1&measured=1&phase=1",
     {{locked, 2.261}}},
    {{"帯の端を少し越えた z = 1.066 にします。弱い外力のときのように，振れは周期がずれていくでしょうか？",
      "Just past the band's edge, z = 1.066. Does the swing slip cycles, as under a weak push?"},
     {{"ずれていき，うなる", "Yes: it drifts and beats"},
      {"ずれない：歩調は合ったまま，振幅が上下に揺れる",
       "No: it keeps pace, but its amplitude swings up and down"},
      {"一定の振幅で引き込まれたまま", "It stays locked, with a steady amplitude"}},
     1,
     {"強い外力の帯は，引き込まれた応答が √2 を下回るところで終わります。応答は不安定になり，振幅と位相がそのまわりを回りますが，位相は毎回戻ってきます。ずれではなく変調です（ρ は 1 のまま）。",
      "A strong push's band ends where the locked response falls under √2: it turns unstable, and the amplitude and the phase circle round it. The phase swings back each time: modulation, not slipping (ρ stays 1)."},
     {"位相平面の黒い点が閉曲線を描きます。F4 の縦棒は長く，値の欄は ρ = 1.0000，「変調」です。",
      "The black points of the phase plane trace a closed curve; F4's bar is long; the values panel: ρ = 1.0000 and “Modulated”."},
     "eps=0.1&force=0.2&z=1.066&y0=0&v0=0&frames=6000&stability=1&measured=1&phase=1",
     {{modulated, 0.3}}},
    {{"ε = 0.5，F = 0.05，z = 1 では，F4 の縦棒が短く，塗った円の近くにあります。振れは引き込まれているでしょうか？",
      "ε = 0.5, F = 0.05, z = 1: F4's bar is short and stands near the filled disc. Is the swing locked?"},
     {{"はい：安定な応答の近くの短い縦棒は引き込みのしるし",
       "Yes: a short bar at a stable response means locked"},
      {"いいえ：約 120 回に 1 回，周期がずれる", "No: it slips one cycle about every 120 pushes"}},
     1,
     {"縦棒が見るのは最後の 10 周期だけで，このうなりはゆっくりです。外力 1 周期ごとに取った点で分かります。点は繰り返さず，ρ は 1 より約 1/120 小さくなります。",
      "The bar sees only the last ten periods, and this beat is slow. The points taken once a push tell: they never repeat, and ρ falls short of 1 by about 1/120."},
     {"値の欄は「引き込まれていない」，ρ は 1 より少し小さく，約 740 時間単位ごとに 1 周期遅れます。",
      "The values panel: drifting, ρ a little under 1, one cycle behind about every 740 time units."},
     "eps=0.5&force=0.05&z=1&y0=0&v0=0&frames=10000&stability=1&measured=1",
     {{drifting, 739.0}, {stable_predicted, 2.048}}},
};

constexpr LessonStep SADDLE_BETWEEN_FOLDS[] = {
    {{"ε = 0.5，F = 0.2，z = 1 では，調和バランスが 0.42，1.76，2.18 の三つの応答を与えます。安定なのはどれでしょう？",
      "ε = 0.5, F = 0.2, z = 1: harmonic balance gives three responses, 0.42, 1.76 and 2.18. Which are stable?"},
     {{"三つとも", "All three"},
      {"黒線より上の 1.76 と 2.18", "The two above the black line, 1.76 and 2.18"},
      {"いちばん上の 2.18 だけ", "Only the highest, 2.18"},
      {"いちばん下の 0.42 だけ", "Only the lowest, 0.42"}},
     2,
     {"√2 より上というのは安定の条件の一つです。もう一つの条件は曲線の二つの折り返し点の間で破れ，そこの応答は鞍点になります。1.76 は線より上でも鞍点で，運動の実際の周期軌道もそこでは鞍点です。",
      "Above √2 is one condition of stability. The other fails between two folds of the curve, where a response is a saddle: 1.76, though above the line. The motion's own orbit there is a saddle too."},
     {"F3 は曲線の真ん中の部分を破線で，その円を白抜きで描きます。静止から始めた運動は，いちばん上の塗った円に落ち着きます。",
      "F3 draws the curve's middle part dashed and its disc open; the motion from rest settles on the filled disc at the top."},
     "eps=0.5&force=0.2&z=1&y0=0&v0=0&frames=6000&stability=1&measured=1",
     {{saddle_predicted, 1.758}, {locked, 2.167}}},
    {{"真ん中の応答のちょうど上，y0 = 1.758 から始めます。運動はどこへ行くでしょう？",
      "Start right on the middle response: y0 = 1.758. Where does the motion go?"},
     {{"そこにとどまる", "It stays there"},
      {"そこを離れ，いちばん上の応答に落ち着く", "It leaves it and settles on the highest response"},
      {"いちばん下の応答に落ちる", "It falls to the lowest response"}},
     1,
     {"鞍点は一つの向きからは運動を引き寄せ，別の向きへは押し出します。わずかなずれが育ち，運動は安定な応答 2.17 に行き着きます。",
      "A saddle draws the motion in along one direction and drives it out along another: the least deviation grows, and the motion ends on the stable response, 2.17."},
     {"位相平面で，軌跡は始めた破線の楕円を離れ，実線の楕円に巻きついています。値の欄は引き込み，振幅 2.17 です。",
      "In the phase plane the trail has left the dashed ellipse it started on and wound onto the solid one; the values panel: locked, amplitude 2.17."},
     "eps=0.5&force=0.2&z=1&y0=1.758&v0=0&frames=6000&stability=1&phase=1",
     {{locked, 2.167}}},
    {{"ε = 0.2，F = 0.1 で，z を折り返し点の少し先の 1.05 にし，前の上の応答の近く y0 = 2.2 から始めます。振れは上で引き込まれたままでしょうか？",
      "ε = 0.2, F = 0.1: z just past the fold, 1.05, and a start near the old upper response, y0 = 2.2. Does the swing stay up there, locked?"},
     {{"はい，約 2.2 で", "Yes, at about 2.2"},
      {"いいえ：上の応答は消え，振れはずれていく", "No: the upper response is gone, and the swing slips"}},
     1,
     {"折り返し点で上の応答と鞍点がぶつかって消えます。残るのは線より下の不安定な応答だけで，位相をつなぎ止めるものがありません。z をゆっくり変えると，ここで上の枝から飛び降ります。",
      "At the fold the upper response and the saddle meet and vanish. Only an unstable response under the line is left, so nothing holds the phase: a slow sweep of z jumps off the upper branch here."},
     {"F3 では線より下に白抜きの円が一つ。F4 の縦棒は長く，値の欄は「引き込まれていない」です。",
      "F3: one open disc, under the line; F4's bar is long; the values panel: drifting."},
     "eps=0.2&force=0.1&z=1.05&y0=2.2&v0=0&frames=6000&stability=1&measured=1",
     {{none_predicted}, {drifting, 134.0}}},
};

constexpr LessonStep HARMONIC_BALANCE_FAILS[] = {
    {{"ε = 5，F = 1，z = 1 では，F3 が曲線上に塗った円を示します。運動はそこで引き込まれるでしょうか？",
      "ε = 5, F = 1, z = 1: F3 shows a filled disc on the curve. Will the motion lock there?"},
     {{"はい，円の振幅で", "Yes, at the disc's amplitude"},
      {"いいえ，z = 1 では引き込まれない", "No, it does not lock at z = 1"}},
     1,
     {"調和バランスは外力の振動数の正弦波を仮定しています。ε = 5 の振れは弛張振動で，自分の角振動数は約 0.54 です。z = 1 の外力からは遠く，円が塗られていても運動は引き込まれません。",
      "Harmonic balance assumes a sine at the push's frequency. At ε = 5 the swing is a relaxation oscillation whose own angular frequency is about 0.54, far from a push at z = 1: the motion drifts, filled disc or not."},
     {"F4 の縦棒は長く，円から離れています。値の欄は「引き込まれていない」，ρ は約 0.55 です。",
      "F4's bar is long and stands away from the disc; the values panel: drifting, ρ about 0.55."},
     "eps=5&force=1&z=1&y0=0&v0=0&frames=6000&stability=1&measured=1",
     {{stable_predicted, 2.093}, {drifting, 13.9}}},
    {{"今度は振れ自身の振動数に近い z = 0.5 です。F3 にはそこに塗った円がありません。運動は引き込まれるでしょうか？",
      "Now z = 0.5, near the swing's own frequency. F3 shows no filled disc there. Does the motion lock?"},
     {{"いいえ：安定な応答が予測されていない", "No: nothing stable is predicted there"},
      {"はい：外力 1 回に 1 回振れて引き込まれる", "Yes: it locks, one swing per push"}},
     1,
     {"実際の帯は振れ自身の振動数のまわりにあり，そこでは曲線は安定な応答を予測しません。ε が大きいとき，曲線が教えるのは応答の形であって，z のどこにあるかではありません。",
      "The real band lies around the swing's own frequency, where the curve predicts nothing stable. At large ε the curve tells the shape of the response, not where it lies in z."},
     {"値の欄は引き込み（ρ = 1），振幅 2.31。z = 0.5 の円は線より下の白抜きの一つだけです。F8 の引き込みマップでは，実際の 1:1 の舌が z = 0.5 のまわりにあり，調和バランスの輪郭（太線）の左にはみ出しています。",
      "The values panel: locked, ρ = 1, amplitude 2.31, while the only disc at z = 0.5 is open, under the line. F8's locking map shows the real 1:1 tongue around z = 0.5, reaching left of harmonic balance's outline (the heavy line)."},
     "eps=5&force=1&z=0.5&y0=0&v0=0&frames=10000&stability=1&measured=1&map-z=0.2:1.4:61&map-force=0:1.2:25",
     {{none_predicted}, {locked, 2.307}}},
};

constexpr LessonStep DEMULTIPLICATION[] = {
    {{"ε = F = 5 で，振れ自身の振動数の約 4 倍の z = 2 で押します。運動は外力何回ごとに繰り返すでしょう？",
      "ε = F = 5, pushed at z = 2, nearly four times the swing's own frequency. How often does the motion repeat?"},
     {{"外力 1 回ごと", "Every push"},
      {"外力 3 回ごと", "Every three pushes"},
      {"決して正確には繰り返さない", "Never exactly"}},
     1,
     {"振れは自分のペース（約 0.54）の近くを保ち，外力の整数回に合わせて引き込まれます。3 回に 1 回なら 2/3 = 約 0.67 です。4 回でないのは，振れの後半が前半の鏡像で，外力も半周期ごとに鏡像になるため，半分ずつが合うのは奇数回だけだからです。",
      "The swing keeps near its own pace (0.54) and locks to a whole number of pushes: once every three gives 2/3 ≈ 0.67. Why not four? Its second half swing mirrors the first, and the push mirrors itself every half period: the halves fit only an odd number of pushes."},
     {"位相平面に黒い点が三つあり，順に訪れます。値の欄は「周期 3：1 回振れる（外力 3 回ごと）」です。",
      "Three black points in the phase plane, visited in turn; the values panel: “Period 3: one swing every three pushes”."},
     "eps=5&force=5&z=2&y0=0&v0=0&frames=3000&phase=1",
     {{period, 3.0}}},
    {{"さらに速く z = 3 で押します。今度は外力何回ごとに繰り返すでしょう？",
      "Push faster still: z = 3. Every how many pushes does it repeat now?"},
     {{"外力 3 回ごと", "Every three pushes"},
      {"外力 4 回ごと", "Every four pushes"},
      {"外力 5 回ごと", "Every five pushes"}},
     2,
     {"5 回に 1 回なら 3/5 = 0.6 で，振れ自身のペースにいちばん近い奇数回です。1/3，1/5，1/7 … の段の間には，運動がずれていく短い z の範囲があります。",
      "Once every five pushes gives 3/5 = 0.6, the odd fit nearest the swing's own pace. Between the steps 1/3, 1/5, 1/7 … lie short ranges of z where the motion drifts."},
     {"位相平面に黒い点が五つ。値の欄は「周期 5：1 回振れる（外力 5 回ごと）」です。",
      "Five black points in the phase plane; the values panel: “Period 5: one swing every five pushes”."},
     "eps=5&force=5&z=3&y0=0&v0=0&frames=3000&phase=1",
     {{period, 5.0}}},
};

constexpr LessonStep TWO_ATTRACTORS[] = {
    {{"ε = F = 5，z = 1.42 で，(0, 0) と (1, 0) の二つの初期条件を並べます。同じ運動に落ち着くでしょうか？",
      "ε = F = 5, z = 1.42, two starts side by side: (0, 0) and (1, 0). Do they end in the same motion?"},
     {{"はい：パラメータが同じなら運動も同じ", "Yes: one set of parameters, one motion"},
      {"いいえ：一方は 1 対 1 に引き込まれ，他方は外力 3 回ごとに繰り返す",
       "No: one locks one-to-one, the other repeats every three pushes"}},
     1,
     {"二つの安定な運動が並んで存在し，それぞれに行き着く初期条件の集まり（引き込み領域）があります。どちらが見えるかは始める場所しだいです。",
      "Two stable motions live side by side, each with its own set of starts that lead to it (its basin). Which one you see depends on where you start."},
     {"位相平面に黒い点が一つ（静止から）と濃い緑の点が三つ（(1, 0) から）。",
      "The phase plane: one black point (from rest) and three dark green ones (from (1, 0))."},
     "eps=5&force=5&z=1.42&y0=0&v0=0&frames=4000&phase=1&second=1,0",
     {{two_attractors, 1.0, 3.0}}},
    {{"z を 1.38 から 1.48 までゆっくり上げて，また下げます。z = 1.43 で，上りと下りの運動は同じでしょうか？",
      "Sweep z slowly from 1.38 up to 1.48 and back down. At z = 1.43, is the motion the same going up as coming down?"},
     {{"はい：同じ z なら同じ運動", "Yes: the same z, the same motion"},
      {"いいえ：上りは 1 対 1，下りは外力 3 回ごと",
       "No: one-to-one going up, every three pushes coming down"}},
     1,
     {"ゆっくりした掃引では，運動は今いるアトラクタが消えるまでそこにとどまります。上りは z = 1.445 まで 1 対 1，下りは 1.395 まで周期 3 のままです。その間では，どちらから来たかで答えが変わります。これが履歴現象（ヒステリシス）です。",
      "A slow sweep keeps the motion on the attractor it is on until that one is lost: going up it stays one-to-one to z = 1.445, coming down it keeps period 3 to 1.395. Between them the answer depends on the way the sweep came: hysteresis."},
     {"掃引はひとりでに進みます。凡例の下の帯で，上り（黒い丸）は ρ = 1，下り（水色の四角）は ρ = 1/3 で，1.40 … 1.44 では分かれます。",
      "The sweep runs by itself. The strip under the legends: ρ = 1 on the way up (black circles), ρ = 1/3 on the way down (light-blue squares), apart over 1.40 … 1.44."},
     "eps=5&force=5&z=1.38&y0=0&v0=0&sweep=1.38:1.48&measured=1",
     {{hysteresis, 1.43, 3.0}}},
};

constexpr LessonStep NOT_ALWAYS_CHAOTIC[] = {
    {{"ε = 9，F = 1，z = 2π/10 では，時間応答が決して繰り返しません。この運動はカオスでしょうか？",
      "ε = 9, F = 1, z = 2π/10: the trace never repeats. Is the motion chaotic?"},
     {{"はい：繰り返さないのはカオスだから", "Yes: never repeating means chaos"},
      {"いいえ：二つの振動数が合わない準周期運動",
       "No: it is quasi-periodic, two frequencies that never fit"}},
     1,
     {"振れ自身の振動数と外力の振動数がどんな整数比にも合わないので，運動は繰り返しませんが，規則的です。外力 1 周期ごとの点はなめらかな閉曲線を埋め，近い二つの初期条件は近いままです（最大リアプノフ指数 0）。",
      "The swing's own frequency and the push's fit no ratio of whole numbers, so the motion never repeats, yet it is regular: the points taken once a push fill a smooth closed curve, and two nearby starts stay near (largest Lyapunov exponent 0)."},
     {"位相平面で，黒い点がなめらかな閉曲線に沿って並びます。",
      "In the phase plane the black points line up along a smooth closed curve."},
     // z = 2 pi / 10, a forcing period of 10 time units, in the 17 digits a link carries.
     "eps=9&force=1&z=0.6283185307179586&y0=0&v0=0&frames=50000&phase=1",
     {{quasi_periodic, 0.0015}}},
    {{"少し変えて ε = 8.53，F = 1.2，z は同じにします。今度は？",
      "A small change: ε = 8.53, F = 1.2, the same z. Now?"},
     {{"やはり準周期", "Quasi-periodic again"},
      {"周期的", "Periodic"},
      {"カオス：点が散らばり，近い初期条件が離れていく",
       "Chaotic: the points scatter, and nearby starts part"}},
     2,
     {"今度は 1e-8 だけ離れた二つの初期条件が，約 110 時間単位ごとに e 倍ずつ離れていきます（最大リアプノフ指数 約 0.009 > 0）。カオスです。点は線ではなく折れ曲がった帯に広がります。",
      "Now two starts 10⁻⁸ apart part by a factor e about every 110 time units (largest Lyapunov exponent about 0.009 > 0): chaos. The points spread over a folded band rather than along a line."},
     {"位相平面の黒い点は，折れ曲がった帯の上の雲になり，どんな周期でも繰り返しません。",
      "In the phase plane the black points form a cloud on a folded band, and repeat at no period."},
     "eps=8.53&force=1.2&z=0.6283185307179586&y0=0&v0=0&frames=50000&phase=1",
     {{chaotic, 0.004}}},
};

constexpr Lesson LESSON_TABLE[] = {
    {"1", {"リミットサイクルは始まりを忘れる", "A limit cycle forgets its start"},
     {"外力がなくても，振れは初期条件によらず振幅約 2 に落ち着く。",
      "With no push the swing grows or shrinks to amplitude about 2, whatever its start."},
     FORGETS_ITS_START},
    {"2", {"引き込みとうなり", "Entrainment and the beat"},
     {"弱い外力は振れ自身の振動数の近くでだけ振れを引き込む。離れると振れはずれていき，振幅がうなる（ε = 0.05，F = 0.02）。",
      "A weak push locks the swing only near its own frequency; farther off the swing slips and the amplitude beats (ε = 0.05, F = 0.02)."},
     ENTRAINMENT_AND_BEAT},
    {"3", {"変調しても滑らない", "Modulated but not slipping"},
     {"強い外力の帯を外れると振幅は揺れるが周期は失われない。短い縦棒も引き込みの証拠にはならない。",
      "Past a strong push's band the amplitude swings, yet no cycle is lost; and a short bar does not prove locking."},
     MODULATED_NOT_SLIPPING},
    {"4", {"二つの折り返し点の間の鞍点", "The saddle between two folds"},
     {"黒線 √2 より上でも安定とは限らない。三つの応答の真ん中は鞍点で，運動はそこを離れる。",
      "Above the line √2 is not enough: the middle of three responses is a saddle, and the motion leaves it."},
     SADDLE_BETWEEN_FOLDS},
    {"5", {"調和バランスが外れるところ", "Where harmonic balance fails"},
     {"ε が大きいと，実際の引き込みの帯は振れ自身の振動数（約 0.54）に移るが，曲線は z = 1 の近くのまま。",
      "At large ε the real band follows the swing's own frequency, about 0.54, while the curve stays near z = 1."},
     HARMONIC_BALANCE_FAILS},
    {"6", {"分数調波：振動数の分周", "Frequency demultiplication"},
     {"自分のペースよりずっと速く押されると，弛張振動は外力 3 回，さらに 5 回に 1 回振れる。",
      "Pushed much faster than its own pace, a relaxation oscillation swings once every three, then every five pushes."},
     DEMULTIPLICATION},
    {"7", {"同じパラメータに二つのアトラクタ", "Two attractors, one set of parameters"},
     {"同じ ε，F，z でも，初期条件しだいで 1 対 1 の引き込みにも 3 回ごとの繰り返しにもなる。掃引ではそれが履歴現象として現れる。",
      "At one ε, F and z the start decides whether the motion locks one-to-one or repeats every three pushes; a sweep shows it as hysteresis."},
     TWO_ATTRACTORS},
    {"8", {"不規則でもカオスとは限らない", "Irregular is not always chaotic"},
     {"繰り返さない運動にも，準周期（点が閉曲線に並び，近い初期条件は近いまま）とカオス（点が雲になり，近い初期条件が離れていく）がある。",
      "A motion that never repeats can be quasi-periodic (points on a closed curve, nearby starts stay near) or chaotic (a cloud, nearby starts part)."},
     NOT_ALWAYS_CHAOTIC},
};

// What each kind of claim says, in ClaimKind's order; %s its figures.
constexpr Words CLAIM_WORDS[] = {
    {"", ""},
    {"自由振動の振幅 約 %s（二つ目の初期条件も）", "the free swing's amplitude ≈ %s (the second start's too)"},
    {"自由振動の角振動数 約 %s", "the free swing's angular frequency ≈ %s"},
    {"引き込み，振幅 約 %s", "locked, amplitude ≈ %s"},
    {"引き込まれない：約 %s 時間単位ごとに 1 周期ずれる", "drifting: one slip every ≈ %s time units"},
    {"ずれのない変調：ストロボ点の広がり %s 以上，ρ = 1", "modulated without slips: the points spread over > %s, ρ = 1"},
    {"周期 %s", "period %s"},
    {"二つのアトラクタ：一つ目の初期条件から周期 %s，二つ目から周期 %s",
     "two attractors: period %s from the first start, %s from the second"},
    {"掃引の履歴：z = %s で上りは引き込み，下りは周期 %s",
     "a sweep's hysteresis: at z = %s locked going up, period %s coming down"},
    {"準周期：周期がなく，最大リアプノフ指数 %s 未満", "quasi-periodic: no period, largest Lyapunov exponent < %s"},
    {"カオス：周期がなく，最大リアプノフ指数 %s より大", "chaotic: no period, largest Lyapunov exponent > %s"},
    {"調和バランスは z で安定な応答 約 %s を予測", "harmonic balance predicts a stable response ≈ %s at z"},
    {"調和バランスは √2 より上に鞍点 約 %s を予測し，そこの実際の周期軌道も鞍点",
     "harmonic balance predicts a saddle ≈ %s above √2, and the real orbit there is a saddle"},
    {"調和バランスは z で安定な応答を予測しない", "harmonic balance predicts no stable response at z"},
};
static_assert(std::size(CLAIM_WORDS) == static_cast<std::size_t>(none_predicted) + 1);

// The page's symbols of the English texts, as the console writes them.
constexpr struct {
    const char* symbol;
    const char* ascii;
} ASCII_FORMS[] = {
    {"ε", "eps"}, {"ρ", "rho"}, {"ω", "w"}, {"π", "pi"}, {"√2", "sqrt(2)"}, {"√", "sqrt"},
    {"≈", "~"},
    {"−", "-"}, {"±", "+/-"}, {"×", "x"}, {"…", "..."}, {"²", "^2"}, {"⁻⁸", "^-8"},
    {"“", "\""}, {"”", "\""}, {"’", "'"},
};

std::string step_line(const Lesson& lesson, int step, Language l)
{
    return fill_text(text_in(l, LESSON_STEP_HEADING),
                     {std::to_string(step), std::to_string(lesson.steps.size()),
                      in_language(lesson.steps[step - 1].question, l)});
}

std::string choice_line(const LessonStep& step, int i, Language l, bool marked)
{
    return "  " + std::to_string(i + 1) + ") " + in_language(step.choices[i], l) +
           (marked && i == step.right ? text_in(l, LESSON_RIGHT_MARK) : "") + "\n";
}

std::string lesson_heading(const Lesson& lesson, Language l)
{
    return fill_text(text_in(l, LESSON_HEADING), {lesson.id, in_language(lesson.title, l)});
}

}  // namespace

const std::span<const Lesson> LESSONS = LESSON_TABLE;

const Lesson* lesson_named(std::string_view id)
{
    for (const Lesson& lesson : LESSONS)
        if (id == lesson.id)
            return &lesson;
    return nullptr;
}

const char* in_language(const Words& words, Language language)
{
    return language == Language::english ? words.en : words.ja;
}

int choice_count(const LessonStep& step)
{
    int n = 0;
    while (n < LESSON_CHOICE_CAPACITY && step.choices[n].en != nullptr)
        ++n;
    return n;
}

int claim_count(const LessonStep& step)
{
    int n = 0;
    while (n < LESSON_CLAIM_CAPACITY && step.claims[n].kind != none)
        ++n;
    return n;
}

std::string lesson_address(const Lesson& lesson, int step)
{
    return std::string("lesson=") + lesson.id + "&step=" + std::to_string(step);
}

std::string lesson_list_text(Language l)
{
    std::string text;
    for (const Lesson& lesson : LESSONS)
        text += std::string(lesson.id) + "  " + in_language(lesson.title, l) + "\n";
    return console_words(text, l);
}

std::string lesson_steps_text(const Lesson& lesson, Language l)
{
    std::string text = lesson_heading(lesson, l) + in_language(lesson.summary, l) + "\n";
    for (int k = 1; k <= static_cast<int>(lesson.steps.size()); ++k) {
        const LessonStep& step = lesson.steps[k - 1];
        text += step_line(lesson, k, l);
        for (int i = 0; i < choice_count(step); ++i)
            text += choice_line(step, i, l, true);
        text += fill_text(text_in(l, LESSON_WHY), {in_language(step.why, l)}) +
                fill_text(text_in(l, LESSON_LOOK), {in_language(step.look, l)}) +
                fill_text(text_in(l, LESSON_OPENS),
                          {lesson.id, std::to_string(k), lesson_address(lesson, k)});
        std::string claims;
        for (int i = 0; i < claim_count(step); ++i)
            claims += (i == 0 ? "" : l == Language::english ? "; " : "；") + claim_text(step.claims[i], l);
        text += fill_text(text_in(l, LESSON_CHECKED), {claims});
    }
    return console_words(text, l);
}

std::string step_question_text(const Lesson& lesson, int step, Language l)
{
    std::string text = lesson_heading(lesson, l) + step_line(lesson, step, l);
    for (int i = 0; i < choice_count(lesson.steps[step - 1]); ++i)
        text += choice_line(lesson.steps[step - 1], i, l, false);
    return console_words(text + fill_text(text_in(l, LESSON_ANSWER_LATER), {lesson.id}), l);
}

std::string claim_text(const Claim& claim, Language language)
{
    const std::string text = in_language(CLAIM_WORDS[static_cast<int>(claim.kind)], language);
    return fill_text(text, {shortest_digits(claim.value), shortest_digits(claim.other)});
}

std::string console_words(std::string_view text, Language language)
{
    std::string out(text);
    if (language != Language::english)
        return out;
    for (const auto& form : ASCII_FORMS)
        for (std::size_t at = out.find(form.symbol); at != std::string::npos;
             at = out.find(form.symbol, at + std::strlen(form.ascii)))
            out.replace(at, std::strlen(form.symbol), form.ascii);
    return out;
}
