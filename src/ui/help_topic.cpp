#include "ui/help_topic.h"

namespace melvora {

std::string HelpTopic(const std::string& page, int language) {
    return std::string(language == 1 ? "Melvora.chm::/tur/" : "Melvora.chm::/en/") + page;
}

}  // namespace melvora
