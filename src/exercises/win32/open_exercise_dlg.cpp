#include "exercises/win32/open_exercise_dlg.h"

#include "exercises/exercise_text.h"
#include "platform/string_table.h"
#include "resource_ids.h"
#include "string_ids.h"

namespace melvora {

namespace {

// An edit control breaks lines only at "\r\n".
std::wstring EditLines(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\n' && (out.empty() || out.back() != L'\r')) {
            out += L'\r';
        }
        out += c;
    }
    return out;
}

}  // namespace

COpenExerciseDlg::COpenExerciseDlg(HWND owner,
                                   const std::vector<std::unique_ptr<Exercise>>& exercises,
                                   int language)
    : CFloatingDlg(IDD_OPEN_EXERCISE, owner), exercises_(exercises), language_(language) {}

BOOL COpenExerciseDlg::OnInitDialog() {
    TakeOwnerIcon();
    ::SetWindowTextW(Handle(), LoadText(IDS_OPEN_EXERCISE, language_).c_str());
    CreateTitleRow(kCloseButton);
    HWND list = ::GetDlgItem(Handle(), IDC_EXERCISE_LIST);
    for (const auto& exercise : exercises_) {
        ::SendMessageW(list, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(ExerciseTextToWide(exercise->Title()).c_str()));
    }
    ::SetDlgItemTextW(Handle(), IDC_EXERCISE_DESCRIPTION,
                      LoadText(IDS_EXERCISE_DESCRIPTION, language_).c_str());
    ok_.CreateOverPlaceholder(Handle(), IDOK, "EMPTY_BUTTON", false);
    ok_.SetText(LoadText(IDS_OK, language_));
    ok_.Enable(false);
    cancel_.CreateOverPlaceholder(Handle(), IDCANCEL, "EMPTY_BUTTON", false);
    cancel_.SetText(LoadText(IDS_CANCEL, language_));
    CenterOverOwner();
    return TRUE;
}

void COpenExerciseDlg::Select(int index) {
    ::SendDlgItemMessageW(Handle(), IDC_EXERCISE_LIST, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    OnSelectionChanged();
}

void COpenExerciseDlg::OnSelectionChanged() {
    const LRESULT item = ::SendDlgItemMessageW(Handle(), IDC_EXERCISE_LIST, LB_GETCURSEL, 0, 0);
    std::wstring text = LoadText(IDS_EXERCISE_DESCRIPTION, language_);
    const bool chosen =
        item != LB_ERR && item >= 0 && item < static_cast<LRESULT>(exercises_.size());
    if (chosen) {
        text += L"\r\n" +
                EditLines(ExerciseTextToWide(exercises_[static_cast<size_t>(item)]->Description()));
    }
    ::SetDlgItemTextW(Handle(), IDC_EXERCISE_DESCRIPTION, text.c_str());
    ok_.Enable(chosen);
}

void COpenExerciseDlg::OnOK() {
    const LRESULT item = ::SendDlgItemMessageW(Handle(), IDC_EXERCISE_LIST, LB_GETCURSEL, 0, 0);
    if (item == LB_ERR || item < 0 || item >= static_cast<LRESULT>(exercises_.size())) {
        return;  // OK is disabled then; Enter must not close with nothing chosen
    }
    selected_ = static_cast<int>(item);
    EndDialog(IDOK);
}

INT_PTR COpenExerciseDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_EXERCISE_LIST) {
        if (HIWORD(wParam) == LBN_SELCHANGE) {
            OnSelectionChanged();
            return TRUE;
        }
        if (HIWORD(wParam) == LBN_DBLCLK) {
            OnSelectionChanged();
            OnOK();
            return TRUE;
        }
    }
    return CFloatingDlg::DialogProc(message, wParam, lParam);
}

}  // namespace melvora
