#pragma once

#include <functional>
#include <string>

namespace melvora {

// The caption as the title bar draws it in `availableWidth` pixels: whole when it fits (or
// has fewer than 2 characters), else the longest head that leaves room for "..." (at least
// one character) followed by "...". `charWidth` gives each character's width in pixels,
// `ellipsisWidth` is the width of "...".
std::wstring ShortenCaption(const std::wstring& text, const std::function<int(wchar_t)>& charWidth,
                            int availableWidth, int ellipsisWidth);

}  // namespace melvora
