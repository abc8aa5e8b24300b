#include <gtest/gtest.h>

#include "platform/string_table.h"
#include "ui/about_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

struct AboutSeen {
    std::wstring caption;
    std::wstring text;
    std::wstring ok;
    bool pictureLoaded = false;
    LONG style = 0;
    bool titleBar = false;
};

INT_PTR OpenAbout(int language, int pressId, AboutSeen* seen) {
    return guitest::RunModal(
        [&]() {
            CAboutDlg about(nullptr, language);
            return about.DoModal();
        },
        [&](HWND dialog) {
            auto* about = dynamic_cast<CAboutDlg*>(CWnd::FromHandle(dialog));
            if (about == nullptr) {
                guitest::EndModal(dialog, -3);
                return;
            }
            wchar_t buffer[512] = {};
            ::GetWindowTextW(dialog, buffer, 512);
            seen->caption = buffer;
            ::GetDlgItemTextW(dialog, 1067, buffer, 512);
            seen->text = buffer;
            seen->ok = about->OkButton().Text();
            seen->pictureLoaded = about->Picture().IsLoaded();
            seen->style = ::GetWindowLongW(dialog, GWL_STYLE);
            seen->titleBar = guitest::Child(dialog, 1065) != nullptr;
            guitest::Click(guitest::Child(dialog, pressId));
        });
}

TEST(AboutDlgGuiTest, EnglishTextsAndOk) {
    AboutSeen seen;
    EXPECT_EQ(OpenAbout(guitest::kEnglish, 1001, &seen), IDOK);
    EXPECT_EQ(seen.caption, L"About Melvora");
    EXPECT_EQ(seen.text, LoadText(258, guitest::kEnglish));
    EXPECT_NE(seen.text.find(L"Melvora"), std::wstring::npos);
    EXPECT_EQ(seen.ok, L"OK");
    EXPECT_TRUE(seen.pictureLoaded);
    EXPECT_TRUE(seen.titleBar);
    // The skinned title bar replaces the system caption.
    EXPECT_EQ(seen.style & WS_CAPTION, WS_BORDER & 0);
}

TEST(AboutDlgGuiTest, TurkishTextsAndCloseBoxCancels) {
    AboutSeen seen;
    EXPECT_EQ(OpenAbout(guitest::kTurkish, 1063, &seen), IDCANCEL);
    EXPECT_EQ(seen.caption, L"Melvora Hakkında");
    EXPECT_EQ(seen.text, LoadText(258, guitest::kTurkish));
    EXPECT_EQ(seen.ok, L"Tamam");
}

}  // namespace
}  // namespace melvora
