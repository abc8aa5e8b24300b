#include "ui/win32/about_dlg.h"
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
            ::GetDlgItemTextW(dialog, IDC_ABOUT_TEXT, buffer, 512);
            seen->text = buffer;
            seen->ok = about->OkButton().Text();
            seen->pictureLoaded = about->Picture().IsLoaded();
            seen->style = ::GetWindowLongW(dialog, GWL_STYLE);
            seen->titleBar = guitest::Child(dialog, IDC_TITLE_BAR) != nullptr;
            guitest::Click(guitest::Child(dialog, pressId));
        });
}

TEST(AboutDlgGuiTest, TextsOfBothLanguagesAndItsAnswers) {
    struct Case {
        int language, pressId;
        INT_PTR result;
        const wchar_t *caption, *ok;
    };
    for (const Case& c :
         {Case{guitest::kEnglish, IDC_ABOUT_OK, IDOK, L"About Melvora", L"OK"},
          Case{guitest::kTurkish, IDC_CLOSE_BOX, IDCANCEL, L"Melvora Hakkında", L"Tamam"}}) {
        SCOPED_TRACE(c.language);
        AboutSeen seen;
        EXPECT_EQ(OpenAbout(c.language, c.pressId, &seen), c.result);
        EXPECT_EQ(seen.caption, c.caption);
        EXPECT_EQ(seen.text, LoadText(IDS_ABOUT_TEXT, c.language));
        EXPECT_NE(seen.text.find(L"Melvora"), std::wstring::npos);
        EXPECT_EQ(seen.ok, c.ok);
        EXPECT_TRUE(seen.pictureLoaded);
        EXPECT_TRUE(seen.titleBar);
        // The skinned title bar replaces the system caption.
        EXPECT_EQ(seen.style & WS_CAPTION, 0);
    }
}

}  // namespace
}  // namespace melvora
