#pragma once

#include <string>

namespace melvora {

// The help file's topic for `page` (e.g. "ana.htm", "klavye.htm#MIDI") in a language:
// "Melvora.chm::/tur/<page>" for Turkish (1), "Melvora.chm::/en/<page>" for every other
// value.
std::string HelpTopic(const std::string& page, int language);

}  // namespace melvora
