#include "platform/win32/thread_start.h"

#include <windows.h>

#include <utility>

namespace melvora {

std::thread StartThread(std::function<void()> body, int priority) {
    return std::thread([body = std::move(body), priority]() {
        ::SetThreadPriority(::GetCurrentThread(), priority);
        body();
    });
}

}  // namespace melvora
