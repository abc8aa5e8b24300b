#pragma once

#include <windows.h>

#include <commdlg.h>  // the OFN_ flags callers pass

#include <string>

namespace melvora {

// The common open or save dialog. `filter` uses '|' between its parts, as in
// "Wave Files (*.wav)|*.wav|All Files (*.*)|*.*||". Returns true and the chosen path when
// the user pressed OK.
bool ShowFileDialog(bool open, HWND owner, const std::wstring& defaultExtension,
                    const std::wstring& filter, DWORD flags, std::wstring* path);

}  // namespace melvora
