#include "ui/win32/my_message_dlg.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

using guitest::kEnglish;
using guitest::kTurkish;

// Per type (low four bits): English and Turkish button texts, the results of the buttons,
// and the result of the Close box.
struct Expected {
    std::vector<std::wstring> english, turkish;
    std::vector<INT_PTR> results;
    INT_PTR closeResult;
};

Expected ExpectedFor(unsigned int type) {
    static const Expected kTypes[6] = {
        {{L"OK"}, {L"Tamam"}, {IDOK}, IDOK},
        {{L"OK", L"Cancel"}, {L"Tamam", L"İptal"}, {IDOK, IDCANCEL}, IDCANCEL},
        {{L"Abort", L"Retry", L"Ignore"},
         {L"Durdur", L"Yeniden Dene", L"Yoksay"},
         {IDABORT, IDRETRY, IDIGNORE},
         IDIGNORE},
        {{L"Yes", L"No", L"Cancel"},
         {L"Evet", L"Hayır", L"İptal"},
         {IDYES, IDNO, IDCANCEL},
         IDCANCEL},
        {{L"Yes", L"No"}, {L"Evet", L"Hayır"}, {IDYES, IDNO}, IDNO},
        {{L"Retry", L"Cancel"}, {L"Yeniden Dene", L"İptal"}, {IDRETRY, IDCANCEL}, IDCANCEL}};
    return (type & 0xF) < 6 ? kTypes[type & 0xF] : kTypes[0];
}

// What the script saw of the open box.
struct Seen {
    bool found = false;
    std::vector<std::wstring> texts;
    std::vector<bool> visible;
    RECT client = {};
    RECT window = {};
    std::wstring caption;
};

// Opens the box, records it, then clicks button `press` (or the Close box for -1).
INT_PTR OpenAndPress(const std::wstring& text, unsigned int type, int language, int press,
                     Seen* seen, HWND parent = nullptr) {
    return guitest::RunModal(
        [&]() { return ShowMessageBox(text, L"Melvora", type, parent, language); },
        [&](HWND dialog) {
            auto* box = dynamic_cast<CMyMessageDlg*>(CWnd::FromHandle(dialog));
            if (box == nullptr) {
                guitest::EndModal(dialog, -3);
                return;
            }
            seen->found = true;
            for (int i = 0; i < 3; ++i) {
                HWND b = guitest::Child(dialog, IDC_MESSAGE_BUTTON_1 + i);
                if (b != nullptr) {
                    seen->texts.push_back(box->Button(i).Text());
                    seen->visible.push_back(::IsWindowVisible(b) != FALSE);
                }
            }
            ::GetClientRect(dialog, &seen->client);
            ::GetWindowRect(dialog, &seen->window);
            wchar_t caption[64] = {};
            ::GetWindowTextW(dialog, caption, 64);
            seen->caption = caption;
            HWND target =
                guitest::Child(dialog, press < 0 ? IDC_CLOSE_BOX : IDC_MESSAGE_BUTTON_1 + press);
            if (target == nullptr) {
                guitest::EndModal(dialog, -4);
                return;
            }
            guitest::Click(target);
        });
}

struct AnswerCase {
    unsigned int type;
    int language;
    int press;  // button index, -1 for the Close box
};

class MessageBoxAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(MessageBoxAnswers, ButtonsTextsAndResult) {
    const AnswerCase& c = GetParam();
    Expected e = ExpectedFor(c.type);
    Seen seen;
    INT_PTR result =
        OpenAndPress(L"Do you wish to save your recordings?", c.type, c.language, c.press, &seen);
    ASSERT_TRUE(seen.found);
    const std::vector<std::wstring>& texts = c.language == kTurkish ? e.turkish : e.english;
    EXPECT_EQ(seen.texts, texts);
    for (bool v : seen.visible) {
        EXPECT_TRUE(v);
    }
    EXPECT_EQ(seen.caption, L"Melvora");
    INT_PTR expected = c.press < 0 ? e.closeResult : e.results[static_cast<size_t>(c.press)];
    EXPECT_EQ(result, expected);
}

std::vector<AnswerCase> AllAnswers() {
    std::vector<AnswerCase> cases;
    for (int language : {kEnglish, kTurkish}) {
        for (unsigned int type = 0; type < 6; ++type) {
            for (int press = -1; press < static_cast<int>(ExpectedFor(type).results.size());
                 ++press) {
                cases.push_back({type, language, press});
            }
        }
    }
    // Types above five show OK only; the upper flags (icon, default button) choose nothing.
    for (unsigned int type : {6u, 9u, 15u}) {
        cases.push_back({type, kEnglish, 0});
    }
    cases.push_back({0x4u | 0x20u | 0x100u, kEnglish, -1});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllTypes, MessageBoxAnswers, ::testing::ValuesIn(AllAnswers()),
                         [](const ::testing::TestParamInfo<AnswerCase>& p) {
                             std::string name = "type" + std::to_string(p.param.type) +
                                                (p.param.language == kTurkish ? "_tr_" : "_en_");
                             name += p.param.press < 0
                                         ? "close"
                                         : "button" + std::to_string(p.param.press + 1);
                             return name;
                         });

TEST(MessageBoxGuiTest, LongSingleLineWrapsAndGrowsInHeight) {
    Seen shortSeen;
    OpenAndPress(L"Short", 0, kEnglish, 0, &shortSeen);
    Seen longSeen;
    std::wstring text(
        L"This is a rather long single line of text that cannot fit in two "
        L"hundred and fifty pixels, so the box must wrap it onto several lines.");
    OpenAndPress(text, 0, kEnglish, 0, &longSeen);
    // Width is capped by the wrap width (250) plus the margins (14).
    EXPECT_LE(longSeen.client.right, 250 + 14);
    EXPECT_GT(longSeen.client.right, shortSeen.client.right);
    EXPECT_GE(longSeen.client.bottom, shortSeen.client.bottom + 2 * 12);
}

TEST(MessageBoxGuiTest, ButtonsAreWhereTheLayoutSays) {
    CMyMessageDlg* box = nullptr;
    RECT rects[3] = {};
    RECT title = {};
    RECT close = {};
    RECT client = {};
    guitest::RunModal(
        [&]() { return ShowMessageBox(L"Save?", L"Melvora", 3, nullptr, 0); },
        [&](HWND dialog) {
            box = dynamic_cast<CMyMessageDlg*>(CWnd::FromHandle(dialog));
            for (int i = 0; i < 3; ++i) {
                rects[i] =
                    guitest::WindowRectInParent(guitest::Child(dialog, IDC_MESSAGE_BUTTON_1 + i));
            }
            title = guitest::WindowRectInParent(guitest::Child(dialog, IDC_TITLE_BAR));
            close = guitest::WindowRectInParent(guitest::Child(dialog, IDC_CLOSE_BOX));
            client = guitest::ClientRectOf(dialog);
            guitest::EndModal(dialog, IDCANCEL);
        });
    ASSERT_NE(box, nullptr);
    // One word and three buttons: the minimum width, and one line of text under 73 pixels
    // of chrome.
    const int w = 239 + 14;
    EXPECT_EQ(client.right, w);
    EXPECT_GT(client.bottom, 73 + 8);
    EXPECT_LT(client.bottom, 73 + 20);
    const int xs[3] = {7, w / 2 - 37, w - 82};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rects[i].left, xs[i]) << i;
        EXPECT_EQ(rects[i].right - rects[i].left, 75) << i;
        EXPECT_EQ(rects[i].bottom - rects[i].top, 23) << i;
    }
    EXPECT_EQ(title.left, 0);
    EXPECT_EQ(title.right, w - 18);
    EXPECT_EQ(title.bottom, 29);
    EXPECT_EQ(close.left, w - 18);
    EXPECT_EQ(close.right, w);
}

TEST(MessageBoxGuiTest, EscapeAnswersLikeTheCloseBox) {
    INT_PTR result = guitest::RunModal(
        [&]() { return ShowMessageBox(L"Retry?", L"Melvora", 5, nullptr, kEnglish); },
        [&](HWND dialog) { ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(result, IDCANCEL);
}

TEST(MessageBoxGuiTest, CentredOverOwnerAndTakesItsIcon) {
    guitest::HostWindow owner;
    ASSERT_TRUE(owner.Open(100, 100, 600, 400, L"Owner", true));
    Seen seen;
    HICON icon = nullptr;
    INT_PTR result = guitest::RunModal(
        [&]() { return ShowMessageBox(L"Hello", L"Melvora", 0, owner.Handle(), kEnglish); },
        [&](HWND dialog) {
            icon = reinterpret_cast<HICON>(::SendMessageW(dialog, WM_GETICON, ICON_BIG, 0));
            ::GetWindowRect(dialog, &seen.window);
            guitest::Click(guitest::Child(dialog, IDC_MESSAGE_BUTTON_1));
        });
    EXPECT_EQ(result, IDOK);
    EXPECT_NE(icon, nullptr);
    RECT o = {};
    ::GetWindowRect(owner.Handle(), &o);
    int ownerCentre = (o.left + o.right) / 2;
    int boxCentre = (seen.window.left + seen.window.right) / 2;
    EXPECT_NEAR(boxCentre, ownerCentre, 2);
    EXPECT_NEAR((seen.window.top + seen.window.bottom) / 2, (o.top + o.bottom) / 2, 2);
}

}  // namespace
}  // namespace melvora
