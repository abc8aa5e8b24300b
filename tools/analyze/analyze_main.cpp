// melvora-analyze: the command-line analyser (see AnalyzeCommand::HelpText).

#include <cstdio>
#include <string>
#include <vector>

#include "analyze_command.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

// The arguments as UTF-8. On Windows they are taken from the wide command line, so that file
// names in any language arrive intact whatever the console's code page.
std::vector<std::string> Arguments(int argc, char** argv) {
    std::vector<std::string> arguments;
#ifdef _WIN32
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide != nullptr) {
        for (int i = 1; i < count; ++i) {
            const int bytes =
                WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
            std::string text(bytes > 0 ? static_cast<size_t>(bytes) : 1u, '\0');
            if (bytes > 0) {
                WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &text[0], bytes, nullptr, nullptr);
            }
            text.resize(text.size() - 1);
            arguments.push_back(text);
        }
        LocalFree(wide);
        return arguments;
    }
#endif
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(argv[i]);
    }
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    melvora::AnalyzeCommand command(stdout, stderr);
    return command.Run(Arguments(argc, argv));
}
