#include "controls/foundation/FontMetrics.h"

#include <string>

namespace Hscommon {
bool UseOneFont = true;
const int StdFontSizes[16] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
} // namespace Hscommon

namespace {
template <class F> auto WithScreenFont(TFont& Font, F&& Fn) {
    HDC DC = ScreenMeasureDC();
    HGDIOBJ Old = SelectObject(DC, Font.Handle());
    auto Result = Fn(DC);
    SelectObject(DC, Old);
    return Result;
}
int TextHeightOf(TFont& Font, const char* Text) {
    return WithScreenFont(Font, [&](HDC DC) {
        SIZE S{};
        GetTextExtentPoint32A(DC, Text, static_cast<int>(std::char_traits<char>::length(Text)), &S);
        return static_cast<int>(S.cy);
    });
}
} // namespace

void GetFontMetrics(TFont& Font, TEXTMETRICA& Metrics) {
    Metrics = WithScreenFont(Font, [](HDC DC) {
        TEXTMETRICA TM{};
        GetTextMetricsA(DC, &TM);
        return TM;
    });
}

int GetAveFontWidth(TFont& Font) {
    TEXTMETRICA TM;
    GetFontMetrics(Font, TM);
    return TM.tmAveCharWidth;
}

int GetMaxFontWidth(TFont& Font) {
    TEXTMETRICA TM;
    GetFontMetrics(Font, TM);
    return TM.tmMaxCharWidth;
}

bool IsFontMonoSpaced(TFont& Font) {
    TEXTMETRICA TM;
    GetFontMetrics(Font, TM);
    // The platform's flag is set for variable pitch, despite its name.
    return (TM.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
}

int GetMaxFontHeight(TFont& Font) {
    return TextHeightOf(Font, "Wg");
}
int GetMinFontHeight(TFont& Font) {
    return TextHeightOf(Font, "x");
}

void SetFormFont(TCustomForm* Form) {
    if (!Form || !Hscommon::UseOneFont || !Form->ParentFont() || !Application || !Application->MainForm())
        return;
    Form->Font().Assign(Application->MainForm()->Font());
}
