#pragma once

#include <string>

#include "resource_ids.h"

namespace melvora {

// The deck buttons, by their control identifiers.
enum class DeckButton {
    Rec = IDC_REC,
    Rew = IDC_REW,
    Play = IDC_PLAY,
    Eject = IDC_EJECT,
};

enum class MessageButtons { Ok, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// What the deck operations need from the main controls window. The window implements it on
// its controls (skinned buttons, timer 1, the position trackbar, the time text, file dialogs, the
// skinned message box); tests implement it with a recorder. All calls come on the window
// thread.
class DeckView {
  public:
    virtual ~DeckView() = default;

    virtual void EnableButton(DeckButton button, bool enabled) = 0;
    // The pressed look of a skinned deck button (Rec while recording, Play while replaying).
    virtual void ShowPressed(DeckButton button, bool pressed) = 0;
    // Timer 1, 100 ms; each tick calls DeckOperations::RefreshTimeDisplay.
    virtual void SetTimerRunning(bool running) = 0;

    // Position slider, in milliseconds.
    virtual void SetSliderRangeMaximum(int maximumMs, bool redraw) = 0;
    virtual void SetSliderPageSize(int pageMs) = 0;
    virtual void SetSliderPosition(int positionMs) = 0;  // with redraw
    virtual int SliderPosition() const = 0;

    virtual void SetTimeText(const std::wstring& text) = 0;

    // The file-open question (existing "*.wav" files; default extension "wav"); false when the
    // user cancels. Paths are UTF-8.
    virtual bool AskOpenPath(std::string* path) = 0;
    // The file-save question (asks before overwriting; default extension "wav").
    virtual bool AskSavePath(std::string* path) = 0;

    // The skinned message box; blocks until answered.
    virtual MessageAnswer ShowMessage(const std::wstring& text, const std::wstring& caption,
                                      MessageButtons buttons) = 0;
};

}  // namespace melvora
