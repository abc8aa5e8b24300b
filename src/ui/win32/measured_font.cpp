#include "ui/win32/measured_font.h"

#include "platform/win32/paint_dc.h"

namespace melvora {

void CMeasuredFont::Reset(HWND window, HFONT font) {
    window_ = window;
    font_.Reset(font);
    CWindowDC dc(window);
    CSelectObject selectFont(dc.Get(), font);
    INT widths[256] = {};
    if (::GetCharWidth32W(dc.Get(), 0, 255, widths)) {
        for (size_t i = 0; i < widths_.size(); ++i) {
            widths_[i] = widths[i];
        }
    }
    metrics_ = TEXTMETRICW{};
    ::GetTextMetricsW(dc.Get(), &metrics_);
}

int CMeasuredFont::CharWidth(wchar_t ch) const {
    if (static_cast<unsigned>(ch) < widths_.size()) {
        return widths_[static_cast<size_t>(ch)];
    }
    return MeasureCharWidth(window_, font_.Get(), ch);
}

}  // namespace melvora
