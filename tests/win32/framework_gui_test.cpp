// The framework's services under Wine: the resource string table and the tool tip relay.
#include <windows.h>

#include <commctrl.h>

#include "platform/win32/tool_tip.h"
#include "ui/win32/new_deck_button.h"
#include "ui/win32/tool_tip_relay.h"
#include "win32/gui_test_support.h"

namespace melvora {
namespace {

// The resource string table as the program reads it (provider installed in main); which entry
// a language takes is the string table's own test.
TEST(ResourceStringTableTest, TurkishLettersMissingEntriesAndLongTexts) {
    EXPECT_EQ(LoadText(313, guitest::kTurkish), L"Çıkış");
    EXPECT_EQ(LoadText(999, guitest::kEnglish), L"");
    EXPECT_EQ(LoadText(70000, guitest::kEnglish), L"");  // beyond the resource numbers
    // Long texts are not cut below 256 characters.
    std::wstring about = LoadText(258, guitest::kTurkish);
    EXPECT_GT(about.size(), 100u);
    EXPECT_LE(about.size(), 256u);
    EXPECT_NE(about.find(L"Şarkı"), std::wstring::npos);
}

// Records the messages relayed to a tool tip.
class RelayRecorder : public CWnd {
  public:
    std::vector<MSG> relayed;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == TTM_RELAYEVENT && lParam != 0) {
            relayed.push_back(*reinterpret_cast<const MSG*>(lParam));
        }
        return Default(message, wParam, lParam);
    }
};

TEST(ToolTipRelayGuiTest, DisabledControlGetsTheMouseMove) {
    guitest::HostWindow dialog;
    ASSERT_TRUE(dialog.Open(300, 300, 300, 100, L"Relay"));
    CNewDeckButton rec;
    RECT r = {40, 20, 80, 50};
    ASSERT_TRUE(rec.Create(dialog.Handle(), r, 1006, "RECORD", false));
    rec.Enable(false);
    CToolTip tip;
    ASSERT_TRUE(tip.Create(dialog.Handle()));
    ASSERT_TRUE(tip.AddTool(rec.Handle(), L"Kaydet / Kaydı Durdur"));
    RelayRecorder recorder;
    ASSERT_TRUE(recorder.Subclass(tip.Handle()));

    MSG msg = {};
    msg.hwnd = dialog.Handle();
    msg.message = WM_MOUSEMOVE;
    msg.lParam = MAKELPARAM(50, 30);
    RelayToolTipMessage(&msg, dialog.Handle(), {rec.Handle()}, tip);
    ASSERT_EQ(recorder.relayed.size(), 1u);
    EXPECT_EQ(recorder.relayed[0].hwnd, rec.Handle());
    EXPECT_EQ(LOWORD(recorder.relayed[0].lParam), 10);
    EXPECT_EQ(HIWORD(recorder.relayed[0].lParam), 10);
    // The message itself is dispatched as it came.
    EXPECT_EQ(msg.hwnd, dialog.Handle());
    EXPECT_EQ(msg.lParam, MAKELPARAM(50, 30));

    msg.lParam = MAKELPARAM(200, 30);  // over no control
    RelayToolTipMessage(&msg, dialog.Handle(), {rec.Handle()}, tip);
    ASSERT_EQ(recorder.relayed.size(), 2u);
    EXPECT_EQ(recorder.relayed[1].hwnd, dialog.Handle());
    recorder.Detach();
}

}  // namespace
}  // namespace melvora
