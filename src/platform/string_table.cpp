#include "platform/string_table.h"

#include <mutex>

namespace melvora {
namespace {

constexpr int kTurkishOffset = 1000;
constexpr size_t kMaxTextLength = 256;

std::mutex& ProviderMutex() {
    static std::mutex m;
    return m;
}

StringProvider& Provider() {
    static StringProvider provider;
    return provider;
}

}  // namespace

void SetStringProvider(StringProvider provider) {
    std::lock_guard<std::mutex> lock(ProviderMutex());
    Provider() = std::move(provider);
}

std::wstring LoadText(int id, int language) {
    StringProvider provider;
    {
        std::lock_guard<std::mutex> lock(ProviderMutex());
        provider = Provider();
    }
    if (!provider) {
        return std::wstring();
    }
    std::wstring text = provider(language == 1 ? id + kTurkishOffset : id);
    if (text.size() > kMaxTextLength) {
        text.resize(kMaxTextLength);
    }
    return text;
}

}  // namespace melvora
