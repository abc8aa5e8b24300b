#pragma once

#include <functional>
#include <string>

namespace melvora {

// The system's texts live in a string table: id n holds the English text, n + 1000 the
// Turkish one. The GUI installs a provider that reads the resource string table; tests install
// a map. With no provider every lookup answers an empty string.
using StringProvider = std::function<std::wstring(int tableEntry)>;

void SetStringProvider(StringProvider provider);

// The text of string id `id` in `language` (1 Turkish; every other value English, so a
// damaged options file still shows readable texts). At most 256 characters.
std::wstring LoadText(int id, int language);

}  // namespace melvora
