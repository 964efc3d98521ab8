#include "wingui/Owners_win.h"

namespace wingui {

CFont DerivedFont(HWND control, int height, int weight, bool underline)
{
    HFONT current = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    if (!current)
        current = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf{};
    if (!::GetObjectA(current, sizeof lf, &lf))
        return CFont();
    if (height) {
        lf.lfHeight = height;
        lf.lfWidth = 0;
    }
    if (weight)
        lf.lfWeight = weight;
    if (underline)
        lf.lfUnderline = TRUE;
    return CFont(::CreateFontIndirectA(&lf));
}

}  // namespace wingui
