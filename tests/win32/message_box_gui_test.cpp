// The skinned message box and the about box under Wine.
#include "ui/win32/about_dlg.h"
#include "ui/win32/my_message_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

using guitest::kEnglish;
using guitest::kTurkish;

// Per type (low four bits): the results of the buttons and of the Close box.
struct Expected {
    std::vector<INT_PTR> results;
    INT_PTR closeResult;
};

Expected ExpectedFor(unsigned int type) {
    static const Expected kTypes[6] = {{{IDOK}, IDOK},
                                       {{IDOK, IDCANCEL}, IDCANCEL},
                                       {{IDABORT, IDRETRY, IDIGNORE}, IDIGNORE},
                                       {{IDYES, IDNO, IDCANCEL}, IDCANCEL},
                                       {{IDYES, IDNO}, IDNO},
                                       {{IDRETRY, IDCANCEL}, IDCANCEL}};
    return (type & 0xF) < 6 ? kTypes[type & 0xF] : kTypes[0];
}

// What the script saw of the open box.
struct Seen {
    std::vector<std::wstring> texts, laidOut;  // shown, and the layout's in the language
    bool buttonsVisible = true;
    bool placedAsLaidOut = true;  // title bar, Close box and buttons where its layout says
    int inkPixels = 0;            // dark pixels in the text area on the screen
    RECT client = {};
    RECT window = {};
    std::wstring caption;
    HICON icon = nullptr;
};

// Opens the box, records it, then clicks button `press` (the Close box for -1, Escape for -2).
INT_PTR OpenAndPress(const std::wstring& text, unsigned int type, int language, int press,
                     Seen* seen, HWND parent = nullptr) {
    return guitest::RunModal(
        [&]() { return ShowMessageBox(text, L"Melvora", type, parent, language); },
        [&](HWND dialog) {
            auto* box = dynamic_cast<CMyMessageDlg*>(CWnd::FromHandle(dialog));
            ASSERT_NE(box, nullptr);
            auto placed = [&](int id, const LayoutRect& r) {
                const RECT got = guitest::WindowRectInParent(::GetDlgItem(dialog, id));
                return got.left == r.left && got.top == r.top && got.right - got.left == r.width &&
                       got.bottom - got.top == r.height;
            };
            const MessageBoxLayout& layout = box->Layout();
            seen->placedAsLaidOut =
                placed(IDC_TITLE_BAR, layout.titleBar) && placed(IDC_CLOSE_BOX, layout.closeBox);
            for (int i = 0; i < 3; ++i) {
                HWND b = ::GetDlgItem(dialog, IDC_MESSAGE_BUTTON_1 + i);
                if (b != nullptr) {
                    seen->texts.push_back(box->Button(i).Text());
                    seen->laidOut.push_back(LoadText(layout.buttons[i].stringId, language));
                    seen->buttonsVisible = seen->buttonsVisible && ::IsWindowVisible(b);
                    seen->placedAsLaidOut = seen->placedAsLaidOut &&
                                            placed(IDC_MESSAGE_BUTTON_1 + i, layout.buttonRects[i]);
                }
            }
            seen->client = guitest::ClientRectOf(dialog);
            seen->window = guitest::ScreenRectOf(dialog);
            seen->caption = guitest::TextOf(dialog);
            seen->icon = reinterpret_cast<HICON>(::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
            // The text, black on the background, once the drawing reached the screen.
            guitest::PumpUntil(
                [&] {
                    seen->inkPixels = guitest::Grab(dialog).CountNear(
                        7, 36, seen->client.right - 7, seen->client.bottom - 37, 0, 0, 0, 80);
                    return seen->inkPixels > 20;
                },
                5000);
            if (press == -2) {
                ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            } else {
                guitest::Click(
                    ::GetDlgItem(dialog, press < 0 ? IDC_CLOSE_BOX : IDC_MESSAGE_BUTTON_1 + press));
            }
        });
}

// A message box type in a language.
using BoxCase = std::pair<unsigned int, int>;

class MessageBoxAnswers : public ::testing::TestWithParam<BoxCase> {};

// Each button, the Close box and Escape: the texts, the layout, the text on the screen and
// the answer.
TEST_P(MessageBoxAnswers, ButtonsTextsLayoutAndResults) {
    const unsigned int type = GetParam().first;
    const int language = GetParam().second;
    const Expected e = ExpectedFor(type);
    for (int press = -2; press < static_cast<int>(e.results.size()); ++press) {
        SCOPED_TRACE(press);
        Seen seen;
        const INT_PTR result =
            OpenAndPress(L"Do you wish to save your recordings?", type, language, press, &seen);
        // Which texts a type shows is the layout's own test; here: they are shown, in the
        // language asked for.
        EXPECT_EQ(seen.texts, seen.laidOut);
        EXPECT_EQ(seen.texts.size(), e.results.size());
        EXPECT_TRUE(seen.buttonsVisible);
        EXPECT_TRUE(seen.placedAsLaidOut);
        EXPECT_GT(seen.inkPixels, 20) << "no text on the screen";
        EXPECT_EQ(seen.caption, L"Melvora");
        EXPECT_EQ(result, press < 0 ? e.closeResult : e.results[static_cast<size_t>(press)]);
    }
}

// Types above five show OK only; the upper flags (icon, default button) choose nothing.
INSTANTIATE_TEST_SUITE_P(
    AllTypes, MessageBoxAnswers,
    ::testing::Values(BoxCase{0, kEnglish}, BoxCase{1, kEnglish}, BoxCase{2, kEnglish},
                      BoxCase{3, kEnglish}, BoxCase{4, kEnglish}, BoxCase{5, kEnglish},
                      BoxCase{0, kTurkish}, BoxCase{1, kTurkish}, BoxCase{2, kTurkish},
                      BoxCase{3, kTurkish}, BoxCase{4, kTurkish}, BoxCase{5, kTurkish},
                      BoxCase{6, kEnglish}, BoxCase{0x4u | 0x20u | 0x100u, kEnglish}),
    [](const ::testing::TestParamInfo<BoxCase>& p) {
        return "type" + std::to_string(p.param.first) +
               (p.param.second == kTurkish ? "_tr" : "_en");
    });

TEST(MessageBoxGuiTest, LongSingleLineWrapsAndGrowsInHeight) {
    Seen shortSeen, longSeen;
    OpenAndPress(L"Short", 0, kEnglish, 0, &shortSeen);
    OpenAndPress(
        L"This is a rather long single line of text that cannot fit in two "
        L"hundred and fifty pixels, so the box must wrap it onto several lines.",
        0, kEnglish, 0, &longSeen);
    // Width is capped by the wrap width (250) plus the margins (14).
    EXPECT_LE(longSeen.client.right, 250 + 14);
    EXPECT_GT(longSeen.client.right, shortSeen.client.right);
    EXPECT_GE(longSeen.client.bottom, shortSeen.client.bottom + 2 * 12);
    // Every line of it is drawn.
    EXPECT_GT(longSeen.inkPixels, 5 * shortSeen.inkPixels);
}

TEST(MessageBoxGuiTest, CentredOverOwnerAndTakesItsIcon) {
    guitest::HostWindow owner;
    ASSERT_TRUE(owner.Open(100, 100, 600, 400, L"Owner", true));
    Seen seen;
    EXPECT_EQ(OpenAndPress(L"Hello", 0, kEnglish, 0, &seen, owner.Handle()), IDOK);
    EXPECT_NE(seen.icon, nullptr);
    const RECT o = guitest::ScreenRectOf(owner.Handle());
    EXPECT_NEAR((seen.window.left + seen.window.right) / 2, (o.left + o.right) / 2, 2);
    EXPECT_NEAR((seen.window.top + seen.window.bottom) / 2, (o.top + o.bottom) / 2, 2);
}

// Its texts in both languages, its picture, the skinned title bar in place of the system
// caption, and its answers: OK, and the Close box like Cancel.
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
        const INT_PTR result = guitest::RunModal(
            [&]() { return CAboutDlg(nullptr, c.language).DoModal(); },
            [&](HWND dialog) {
                auto* about = dynamic_cast<CAboutDlg*>(CWnd::FromHandle(dialog));
                ASSERT_NE(about, nullptr);
                EXPECT_EQ(guitest::TextOf(dialog), c.caption);
                const std::wstring text = guitest::TextOf(::GetDlgItem(dialog, IDC_ABOUT_TEXT));
                EXPECT_EQ(text, LoadText(IDS_ABOUT_TEXT, c.language));
                EXPECT_NE(text.find(L"Melvora"), std::wstring::npos);
                EXPECT_EQ(about->OkButton().Text(), c.ok);
                EXPECT_TRUE(about->Picture().IsLoaded());
                EXPECT_NE(::GetDlgItem(dialog, IDC_TITLE_BAR), nullptr);
                EXPECT_EQ(::GetWindowLongW(dialog, GWL_STYLE) & WS_CAPTION, 0);
                guitest::Click(::GetDlgItem(dialog, c.pressId));
            });
        EXPECT_EQ(result, c.result);
    }
}

}  // namespace
}  // namespace melvora
