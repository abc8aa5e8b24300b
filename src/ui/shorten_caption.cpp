#include "ui/shorten_caption.h"

namespace melvora {

std::wstring ShortenCaption(const std::wstring& text, const std::function<int(wchar_t)>& charWidth,
                            int availableWidth, int ellipsisWidth) {
    if (text.size() < 2) {
        return text;
    }
    int remaining = availableWidth;
    size_t overflow = text.size();
    for (size_t i = 0; i < text.size(); ++i) {
        remaining -= charWidth(text[i]);
        if (remaining < 0) {
            overflow = i;
            break;
        }
    }
    if (overflow == text.size()) {
        return text;
    }
    // Give characters back, from the one that overflowed downwards, until "..." fits.
    size_t cut = overflow;
    while (true) {
        remaining += charWidth(text[cut]);
        if (remaining >= ellipsisWidth || cut == 0) {
            break;
        }
        --cut;
    }
    size_t keep = cut < 1 ? 1 : cut;
    return text.substr(0, keep) + L"...";
}

}  // namespace melvora
