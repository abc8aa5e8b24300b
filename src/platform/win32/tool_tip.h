#pragma once

#include <windows.h>

#include <string>

namespace melvora {

// A tool-tip control for one window's child controls; the tool ids are the controls' handles.
class CToolTip {
  public:
    CToolTip() = default;
    ~CToolTip();
    CToolTip(const CToolTip&) = delete;
    CToolTip& operator=(const CToolTip&) = delete;

    // Creates the control with TTS_ALWAYSTIP, owned by `parent`.
    bool Create(HWND parent);
    HWND Handle() const { return hwnd_; }
    // Delays in milliseconds.
    void SetDelays(int autoPopMs, int initialMs, int reshowMs) const;
    bool AddTool(HWND tool, const std::wstring& text) const;
    void UpdateTipText(HWND tool, const std::wstring& text) const;
    void Activate(bool active) const;
    void RelayEvent(const MSG& message) const;

  private:
    HWND hwnd_ = nullptr;
    HWND parent_ = nullptr;
};

}  // namespace melvora
