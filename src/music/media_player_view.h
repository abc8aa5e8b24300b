#pragma once

#include <string>

namespace melvora {

// What the media player logic asks of its window. Positions are in whole seconds; the tempo
// slider runs from -30 (x8, top) to 30 (x1/8, bottom).
class MediaPlayerView {
  public:
    virtual ~MediaPlayerView() = default;

    virtual void SetCaption(const std::wstring& text) = 0;
    virtual void SetTimeText(const std::wstring& text) = 0;
    virtual void SetPositionRange(int maximumSeconds) = 0;
    virtual void SetPositionPageSize(int pageSeconds) = 0;
    virtual void SetPosition(int seconds) = 0;
    virtual void SetTempoPosition(int position) = 0;
    // The tempo slider, its caption and its three marks.
    virtual void EnableTempo(bool enabled) = 0;
    virtual void ShowPlayLatched(bool latched) = 0;
    virtual void ShowPauseLatched(bool latched) = 0;
    // The 1-second position timer.
    virtual void SetTimerRunning(bool running) = 0;
    // The open-file dialog; true and the full path when the user chose a file.
    virtual bool AskOpenPath(std::string* path) = 0;
    // The skinned message box with an empty caption; returns when the user closed it.
    virtual void ShowMessage(const std::wstring& text) = 0;
    // The language of the user interface (0 English, 1 Turkish).
    virtual int Language() const = 0;
};

}  // namespace melvora
