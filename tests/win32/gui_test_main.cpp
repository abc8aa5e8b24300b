#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/resource_strings.h"
#include "ui/win32/help_launcher.h"
#include "win32/gui_test_support.h"

// The GUI suite, or with "--gallery <folder>" the screenshot gallery (see RunGallery).
int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    melvora::InstallResourceStringProvider();
    if (argc >= 3 && std::strcmp(argv[1], "--gallery") == 0) {
        return melvora::guitest::RunGallery(argv[2]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // The HTML Help control wants its windows closed through it before the process ends.
    melvora::CloseAllHelpWindows();
    return result;
}
