#pragma once

#include <functional>
#include <thread>

namespace melvora {

// Starts `body` on a new thread at a Win32 thread priority (THREAD_PRIORITY_*), set by the
// thread itself before the body runs.
std::thread StartThread(std::function<void()> body, int priority);

}  // namespace melvora
