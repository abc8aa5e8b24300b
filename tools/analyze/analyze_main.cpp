// melvora-analyze: the command-line analyser (see AnalyzeCommand::HelpText).

#include <cstdio>
#include <string>
#include <vector>

#include "analyze_command.h"
#include "platform/text_encoding.h"

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
            arguments.push_back(melvora::WideToUtf8(wide[i]));
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
