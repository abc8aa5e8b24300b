#pragma once

#include <string>
#include <vector>

namespace melvora {

// Names (not paths) of the entries matching `pattern` (e.g. L"C:\\x\\Exercises\\*.exc"),
// files or folders as asked, without "." and "..", in the order the system gives them.
// A missing folder gives an empty list.
std::vector<std::wstring> ListDirectory(const std::wstring& pattern, bool folders);

}  // namespace melvora
