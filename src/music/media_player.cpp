#include "music/media_player.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "music/media_player_view.h"
#include "music/midi_handover.h"
#include "platform/mci_port.h"
#include "platform/string_table.h"
#include "string_ids.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"

namespace melvora {

namespace {

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

std::string Number(const char* format, int value) {
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

}  // namespace

MediaPlayer::MediaPlayer(MciPort& port, MediaPlayerView& view, MidiHandover* handover)
    : port_(port), view_(view), handover_(handover) {}

void MediaPlayer::Start() {
    view_.SetTempoPosition(0);
    view_.EnableTempo(false);
    view_.SetPositionRange(0);
    view_.SetPositionPageSize(0);
    view_.SetPosition(0);
    view_.SetTimeText(L"");
    state_ = State::NoFile;
    RefreshTexts();
}

// ---- Texts ----

std::wstring MediaPlayer::LengthText(int seconds) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%4d:%02d", seconds / 60, seconds % 60);
    return text;
}

std::wstring MediaPlayer::TimeText(int positionSeconds, const std::wstring& lengthText) {
    return LengthText(positionSeconds) + L"  / " + lengthText;
}

int MediaPlayer::TempoForSlider(int position, int baseTempo) {
    return static_cast<int>(std::pow(2.0, -0.1 * position) * baseTempo + 0.5);
}

std::string MediaPlayer::FileTitle(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name;
}

void MediaPlayer::RefreshTexts() {
    std::wstring caption = LoadText(IDS_MEDIA_PLAYER, view_.Language());
    if (!path_.empty()) {
        caption += L" - ";
        caption += Utf8ToWide(FileTitle(path_));
    }
    view_.SetCaption(caption);
}

void MediaPlayer::ShowTime(int seconds) {
    view_.SetTimeText(TimeText(seconds, lengthText_));
}

// ---- MCI ----

void MediaPlayer::ShowFailure(uint32_t code) {
    if (reporting_) {
        return;
    }
    // One box with both lines: a failing device must not stack up message boxes.
    reporting_ = true;
    std::wstring text = LoadText(IDS_MCI_ERROR, view_.Language());
    const std::wstring detail = port_.ErrorText(code);
    if (!detail.empty()) {
        text += L"\n";
        text += detail;
    }
    view_.ShowMessage(text);
    reporting_ = false;
}

bool MediaPlayer::Send(const std::string& command, std::string* reply) {
    const uint32_t code = port_.Send(command, reply);
    if (code != 0) {
        ShowFailure(code);
        return false;
    }
    return true;
}

bool MediaPlayer::SendForNumber(const std::string& command, int* value) {
    std::string reply;
    if (!Send(command, &reply)) {
        return false;
    }
    char* end = nullptr;
    const long parsed = std::strtol(reply.c_str(), &end, 10);
    if (end == reply.c_str()) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

bool MediaPlayer::OpenAlias() {
    if (!Send("open \"" + path_ + "\" alias mydevice")) {
        return false;
    }
    // Its failure is shown but not acted on: positions then come in the device's own unit.
    Send("set mydevice time format milliseconds");
    return true;
}

void MediaPlayer::CloseAlias() {
    Send("close mydevice");
}

// ---- Choosing a file ----

bool MediaPlayer::ChooseFile() {
    std::string chosen;
    if (!view_.AskOpenPath(&chosen)) {
        return false;
    }
    const std::string oldPath = path_;
    path_ = chosen;
    if (!OpenAlias()) {
        path_ = oldPath;
        RefreshTexts();
        return false;
    }
    CloseAlias();
    RefreshTexts();
    state_ = State::Stopped;
    ReadFileInformation();
    return true;
}

bool MediaPlayer::ReadFileInformation() {
    if (!OpenAlias()) {
        return false;
    }
    // Whatever fails below, the alias is closed again: left open, every later open fails.
    bool ok = false;
    int lengthMs = 0;
    if (SendForNumber("status mydevice length", &lengthMs)) {
        lengthSeconds_ = lengthMs / 1000;
        view_.SetPositionRange(lengthSeconds_);
        view_.SetPosition(0);
        lengthText_ = LengthText(lengthSeconds_);
        ShowTime(0);
        tempoPosition_ = 0;
        view_.SetTempoPosition(0);
        std::string device;
        isMidi_ = Send("sysinfo mydevice installname", &device) &&
                  EqualsIgnoringCase(device, "sequencer");
        ok = true;
        if (isMidi_) {
            ok = SendForNumber("status mydevice tempo", &baseTempo_);
            isMidi_ = ok;
        }
        view_.EnableTempo(isMidi_);
    }
    CloseAlias();
    return ok;
}

// ---- Playing ----

void MediaPlayer::ReclaimMidiOutput() {
    if (!released_) {
        return;
    }
    released_ = false;
    if (handover_ != nullptr && !handover_->Reclaim()) {
        view_.ShowMessage(LoadText(IDS_CANNOT_REOPEN_MIDI_OUT, view_.Language()));
    }
}

bool MediaPlayer::ApplyTempo() {
    return Send("set mydevice tempo " + Number("%d", TempoForSlider(tempoPosition_, baseTempo_)));
}

void MediaPlayer::PlayFromBeginning() {
    if (isMidi_ && !port_.MidiOutputAvailable()) {
        view_.ShowMessage(LoadText(IDS_NO_MIDI_OUTPUT, view_.Language()));
        return;
    }
    // The sequencer needs the output the keyboard holds, before the file opens.
    if (isMidi_ && handover_ != nullptr) {
        handover_->Release();
        released_ = true;
    }
    if (!OpenAlias()) {
        ReclaimMidiOutput();
        return;
    }
    // A tempo chosen while stopped is applied now, to the file that is open.
    if (isMidi_ && tempoPosition_ != 0) {
        ApplyTempo();
    }
    view_.SetPositionPageSize(1);
    if (!Send("play mydevice notify")) {
        CloseAlias();
        ReclaimMidiOutput();
        view_.SetPositionPageSize(0);
        return;
    }
    view_.SetTimerRunning(true);
    view_.ShowPlayLatched(true);
    state_ = State::Playing;
}

void MediaPlayer::StopAndClose() {
    if (!Send("close mydevice")) {
        return;
    }
    view_.SetTimerRunning(false);
    ReclaimMidiOutput();
    ShowTime(0);
    view_.SetPosition(0);
    view_.SetPositionPageSize(0);
    view_.ShowPlayLatched(false);
    view_.ShowPauseLatched(false);
    state_ = State::Stopped;
}

void MediaPlayer::Resume() {
    if (!Send("play mydevice notify")) {
        return;
    }
    view_.SetTimerRunning(true);
    view_.ShowPauseLatched(false);
    state_ = State::Playing;
}

// ---- Buttons ----

void MediaPlayer::OnPlay() {
    switch (state_) {
        case State::NoFile:
            if (ChooseFile()) {
                PlayFromBeginning();
            }
            break;
        case State::Stopped:
            PlayFromBeginning();
            break;
        case State::Playing:
            view_.SetPosition(0);
            Send("play mydevice from 0 notify");
            ShowTime(0);
            break;
        case State::Paused:
            Resume();
            break;
    }
}

void MediaPlayer::OnPause() {
    if (state_ == State::Playing) {
        if (!Send("pause mydevice")) {
            return;
        }
        view_.SetTimerRunning(false);
        view_.ShowPauseLatched(true);
        state_ = State::Paused;
    } else if (state_ == State::Paused) {
        Resume();
    }
}

void MediaPlayer::OnStop() {
    if (state_ == State::Playing || state_ == State::Paused) {
        StopAndClose();
    }
}

void MediaPlayer::OnEject() {
    if (state_ == State::Playing || state_ == State::Paused) {
        StopAndClose();
        if (state_ != State::Stopped) {
            return;
        }
        if (!ChooseFile()) {
            ReadFileInformation();
        }
        return;
    }
    ChooseFile();
}

// ---- Sliders, timer, notification ----

void MediaPlayer::OnPositionSlider(int seconds) {
    switch (state_) {
        case State::NoFile:
        case State::Stopped:
            view_.SetPosition(0);
            return;
        case State::Playing:
            Send("play mydevice from " + Number("%d", seconds * 1000) + " notify");
            break;
        case State::Paused:
            Send("seek mydevice to " + Number("%d", seconds * 1000));
            break;
    }
    ShowTime(seconds);
}

void MediaPlayer::OnTempoSlider(int position) {
    if (position < kTempoSliderMin) {
        position = kTempoSliderMin;
    } else if (position > kTempoSliderMax) {
        position = kTempoSliderMax;
    }
    tempoPosition_ = position;
    // Stopped, the alias is closed: the tempo waits for the next play instead of failing.
    if (isMidi_ && (state_ == State::Playing || state_ == State::Paused)) {
        ApplyTempo();
    }
}

void MediaPlayer::OnTimer() {
    if (state_ != State::Playing) {
        return;
    }
    int positionMs = 0;
    if (!SendForNumber("status mydevice position", &positionMs)) {
        // Shown once; the display stands still rather than failing every second.
        view_.SetTimerRunning(false);
        return;
    }
    const int seconds = positionMs / 1000;
    view_.SetPosition(seconds);
    ShowTime(seconds);
}

void MediaPlayer::OnPlayNotify(bool successful) {
    // Superseded and aborted notifications belong to replaced play commands.
    if (successful && (state_ == State::Playing || state_ == State::Paused)) {
        StopAndClose();
    }
}

void MediaPlayer::OnDestroy() {
    if (state_ == State::Playing || state_ == State::Paused) {
        StopAndClose();
    }
}

}  // namespace melvora
