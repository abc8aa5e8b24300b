// The skinned message box and the about box under Wine.
#include "ui/win32/about_dlg.h"
#include "ui/win32/my_message_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

using guitest::kEnglish;
using guitest::kTurkish;

// What the script saw of the open box.
struct Seen {
    std::vector<std::wstring> texts, laidOut;  // shown, and the layout's in the language
    std::vector<INT_PTR> results;              // of the buttons, as laid out
    int type = -1;                             // the button set laid out
    INT_PTR closeResult = 0;
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
            seen->type = layout.type;
            seen->closeResult = layout.closeResult;
            seen->placedAsLaidOut =
                placed(IDC_TITLE_BAR, layout.titleBar) && placed(IDC_CLOSE_BOX, layout.closeBox);
            for (int i = 0; i < 3; ++i) {
                HWND b = ::GetDlgItem(dialog, IDC_MESSAGE_BUTTON_1 + i);
                if (b != nullptr) {
                    seen->texts.push_back(box->Button(i).Text());
                    seen->results.push_back(layout.buttons[i].result);
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

// Each button, the Close box and Escape of every type: the texts, the layout, the text on the
// screen and the answer. Types above five show OK only; the upper flags (icon, default
// button) choose nothing.
TEST(MessageBoxGuiTest, ButtonsTextsLayoutAndResultsOfEveryType) {
    const std::pair<unsigned int, int> cases[] = {{0, kEnglish}, {1, kEnglish},
                                                  {2, kEnglish}, {3, kEnglish},
                                                  {4, kEnglish}, {5, kEnglish},
                                                  {0, kTurkish}, {1, kTurkish},
                                                  {2, kTurkish}, {3, kTurkish},
                                                  {4, kTurkish}, {5, kTurkish},
                                                  {6, kEnglish}, {0x4u | 0x20u | 0x100u, kEnglish}};
    for (const auto& [type, language] : cases) {
        // The first run (Escape) finds how many buttons there are to press.
        for (int press = -2, buttons = 0; press < buttons; ++press) {
            SCOPED_TRACE(::testing::Message()
                         << "type " << type << " language " << language << " press " << press);
            Seen seen;
            const INT_PTR result =
                OpenAndPress(L"Do you wish to save your recordings?", type, language, press, &seen);
            buttons = static_cast<int>(seen.results.size());
            // Which buttons and texts a type has is the layout's own test; here: the box lays
            // out its type and shows them, in the language asked for, and answers as laid out.
            EXPECT_EQ(seen.type, MessageBoxButtonSet(type));
            EXPECT_EQ(seen.texts, seen.laidOut);
            EXPECT_TRUE(seen.buttonsVisible);
            EXPECT_TRUE(seen.placedAsLaidOut);
            EXPECT_GT(seen.inkPixels, 20) << "no text on the screen";
            EXPECT_EQ(seen.caption, L"Melvora");
            EXPECT_EQ(result, press < 0 ? seen.closeResult : seen.results[press]);
        }
    }
}

// A long single line wraps (every line of it drawn) and the box grows in height; a box is
// centred over its owner and takes its icon.
TEST(MessageBoxGuiTest, WrapsALongLineAndCentresOverItsOwnerWithItsIcon) {
    guitest::HostWindow owner;
    ASSERT_TRUE(owner.Open(100, 100, 600, 400, L"Owner", true));
    Seen shortSeen, longSeen;
    EXPECT_EQ(OpenAndPress(L"Short", 0, kEnglish, 0, &shortSeen, owner.Handle()), IDOK);
    OpenAndPress(
        L"This is a rather long single line of text that cannot fit in two "
        L"hundred and fifty pixels, so the box must wrap it onto several lines.",
        0, kEnglish, 0, &longSeen);
    // Width is capped by the wrap width (250) plus the margins (14).
    EXPECT_LE(longSeen.client.right, 250 + 14);
    EXPECT_GT(longSeen.client.right, shortSeen.client.right);
    EXPECT_GE(longSeen.client.bottom, shortSeen.client.bottom + 2 * 12);
    EXPECT_GT(longSeen.inkPixels, 5 * shortSeen.inkPixels);
    EXPECT_NE(shortSeen.icon, nullptr);
    const RECT o = guitest::ScreenRectOf(owner.Handle());
    EXPECT_NEAR((shortSeen.window.left + shortSeen.window.right) / 2, (o.left + o.right) / 2, 2);
    EXPECT_NEAR((shortSeen.window.top + shortSeen.window.bottom) / 2, (o.top + o.bottom) / 2, 2);
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
