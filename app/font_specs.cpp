#include "app/font_specs.h"

namespace {

// "ＭＳ Ｐゴシック" and "ＭＳ 明朝" in code page 932.
#define KALBOOK_FACE_MS_PGOTHIC "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E"
#define KALBOOK_FACE_MS_MINCHO "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9"

constexpr uint8_t kAnsi = 0, kShiftJis = 128;
constexpr uint8_t kRoman = 0x10, kSwiss = 0x20, kSwissVariable = 0x22;

}  // namespace

const FontSet StandardFontSet = {
    {-14, 400, 0, kShiftJis, kRoman, KALBOOK_FACE_MS_PGOTHIC},
    {-14, 400, 0, kShiftJis, kRoman, KALBOOK_FACE_MS_MINCHO},
    {-14, 400, 0, kAnsi, kSwissVariable, "Arial"},
    {-14, 400, 0, kAnsi, kSwiss, "MS Sans Serif"},
};

const FontSet StatusFontSet = {
    {-14, 400, 0, kShiftJis, kRoman, KALBOOK_FACE_MS_PGOTHIC},
    {-14, 400, 0, kShiftJis, kRoman, KALBOOK_FACE_MS_MINCHO},
    {-14, 700, 0, kAnsi, kSwiss, "MS Sans Serif"},
    {-14, 700, 0, kAnsi, kSwissVariable, "Arial"},
};

const FontSpec HeaderFontSpec = {8, 700, 0, kAnsi, kSwiss, "MS Sans Serif"};
