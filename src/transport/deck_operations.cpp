#include "transport/deck_operations.h"

#include <cwchar>

#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "transport/replay_reader.h"
#include "audio/wave_file.h"
#include "platform/string_table.h"

namespace melvora {

namespace {

// Milliseconds of `frames` at `rateHz`, and whole seconds of those, both truncated.
void FramesToTime(double frames, double rateHz, int* milliseconds, int* seconds) {
    *milliseconds = rateHz > 0 ? static_cast<int>(frames / rateHz * 1000.0) : 0;
    *seconds = static_cast<int>(*milliseconds * 0.001);
}

}  // namespace

DeckOperations::DeckOperations(DeckView& view, TransportOwner& owner,
                               std::unique_ptr<TransportAnalysis> analysis,
                               std::unique_ptr<WaveInPort> capturePort,
                               std::unique_ptr<WaveOutPort> playbackPort,
                               const TransportSettings& settings)
    : view_(view),
      transport_(std::make_unique<AudioTransport>(
          owner, std::move(analysis), std::move(capturePort), std::move(playbackPort), settings)) {
    EnableReplayButtons(false);
}

DeckOperations::~DeckOperations() = default;

std::wstring DeckOperations::Text(int id) const {
    return LoadText(id, transport_->Settings().language);
}

std::wstring DeckOperations::FormatMinutesSeconds(int seconds) {
    wchar_t text[64];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%4d:%02d", seconds / 60, seconds % 60);
    return text;
}

void DeckOperations::HandshakeTo(TransportMode mode) {
    transport_->Pause();
    transport_->SetMode(mode);
    transport_->Resume();
}

void DeckOperations::SetUpWithHandshake() {
    transport_->Pause();
    transport_->SetUp();
    transport_->Resume();
}

void DeckOperations::EnableReplayButtons(bool enable) {
    view_.EnableButton(DeckButton::Rew, enable);
    view_.EnableButton(DeckButton::Play, enable);
}

void DeckOperations::ShowFileTime() {
    RefreshTimeDisplay();
    view_.SetSliderRangeMaximum(0, true);
    view_.SetSliderPageSize(0);
}

void DeckOperations::ShowStopped(DeckButton released, std::initializer_list<DeckButton> enabled) {
    view_.ShowPressed(released, false);
    for (DeckButton button : enabled) {
        view_.EnableButton(button, true);
    }
    transport_->ResetResultsOfAnalysis();
    RefreshTimeDisplay();
    view_.SetTimerRunning(false);
}

void DeckOperations::StartRecordingFromIdle() {
    HandshakeTo(TransportMode::Recording);
    transport_->SetRecorded(true);
    view_.ShowPressed(DeckButton::Rec, true);
    EnableReplayButtons(false);
    view_.EnableButton(DeckButton::Eject, false);
    ShowFileTime();
    view_.SetTimerRunning(true);
}

void DeckOperations::LeaveReplayPaused() {
    transport_->Pause();
    transport_->SetReader(nullptr);
    transport_->SetMode(TransportMode::Idle);
    transport_->Resume();
}

void DeckOperations::OnTransportEvent(TransportEvent event, int deviceError) {
    switch (event) {
        case TransportEvent::ReplayEnded:
            // A click on Play may have paused the replay before this arrived: then only the
            // rewind is left to do.
            if (transport_->Mode() == TransportMode::Replaying) {
                PlayToggle();
            }
            if (transport_->Mode() == TransportMode::ReplayPaused && transport_->EndOfFile()) {
                Rewind();
            }
            break;
        case TransportEvent::RecordingStopped:
            if (transport_->Mode() == TransportMode::Recording) {
                StopRecording();
            }
            break;
        case TransportEvent::CaptureFailed:
        case TransportEvent::PlaybackFailed: {
            const bool capture = event == TransportEvent::CaptureFailed;
            if (capture && transport_->Mode() == TransportMode::Recording) {
                StopRecording();  // keeps what was recorded, with a complete header
            } else if (!capture && transport_->Mode() == TransportMode::Replaying) {
                PlayToggle();
            }
            ShowDeviceFailure(capture ? IDS_CAPTURE_DEVICE_FAILED : IDS_PLAYBACK_DEVICE_FAILED,
                              capture, deviceError);
        } break;
    }
}

void DeckOperations::ShowDeviceFailure(int textId, bool capture, int deviceError) {
    std::wstring text = Text(textId);
    const std::wstring system = capture ? transport_->CaptureErrorText(deviceError)
                                        : transport_->PlaybackErrorText(deviceError);
    if (deviceError != 0 && !system.empty()) {
        text += L"\n" + system;
    }
    view_.ShowMessage(text, Text(IDS_ERROR), MessageButtons::Ok);
}

void DeckOperations::RecordToggle() {
    if (transport_->CurrentFile() == nullptr) {
        return;
    }
    switch (transport_->Mode()) {
        case TransportMode::Idle:
            StartRecordingFromIdle();
            break;
        case TransportMode::Recording:
            StopRecording();
            break;
        case TransportMode::RecordStopped:
            HandshakeTo(TransportMode::Idle);
            StartRecordingFromIdle();
            break;
        case TransportMode::Replaying:
            break;
        case TransportMode::ReplayPaused:
            LeaveReplayPaused();
            StartRecordingFromIdle();
            break;
    }
}

void DeckOperations::StopRecording() {
    switch (transport_->Mode()) {
        case TransportMode::Recording: {
            HandshakeTo(TransportMode::RecordStopped);
            WaveFile* file = transport_->CurrentFile();
            const bool written = file == nullptr || file->UpdateHeader();
            ShowStopped(DeckButton::Rec, {DeckButton::Rew, DeckButton::Play, DeckButton::Eject});
            if (!written) {
                ShowWriteFailure();
            }
        } break;
        case TransportMode::RecordStopped:
            RecordToggle();
            break;
        default:
            break;
    }
}

void DeckOperations::StartReplayFromIdle() {
    auto reader = std::make_unique<ReplayReader>(transport_->CurrentPath());
    if (!reader->IsOpen()) {
        view_.ShowMessage(Text(IDS_CANNOT_REPLAY), Text(IDS_ERROR), MessageButtons::Ok);
        return;
    }
    transport_->Pause();
    transport_->SetReader(std::move(reader));
    transport_->ClearEndOfFile();
    transport_->SetMode(TransportMode::ReplayPaused);
    transport_->Resume();
    StartReplayFromPaused();
}

void DeckOperations::StartReplayFromPaused() {
    HandshakeTo(TransportMode::Replaying);
    view_.ShowPressed(DeckButton::Play, true);
    view_.EnableButton(DeckButton::Rec, false);
    view_.EnableButton(DeckButton::Eject, false);
    const ReplayReader* reader = transport_->Reader();
    int totalMs = 0;
    int totalSeconds = 0;
    if (reader != nullptr) {
        FramesToTime(reader->FrameCount(), reader->SampleRateHz(), &totalMs, &totalSeconds);
    }
    view_.SetSliderRangeMaximum(totalMs, false);
    view_.SetSliderPageSize(1000);
    transport_->SetLengthText(FormatMinutesSeconds(totalSeconds));
    RefreshTimeDisplay();
    view_.SetTimerRunning(true);
}

void DeckOperations::PlayToggle() {
    if (!transport_->Opened() && !transport_->Recorded()) {
        return;
    }
    switch (transport_->Mode()) {
        case TransportMode::Idle:
            StartReplayFromIdle();
            break;
        case TransportMode::Recording:
            break;
        case TransportMode::RecordStopped:
            HandshakeTo(TransportMode::Idle);
            StartReplayFromIdle();
            break;
        case TransportMode::Replaying:
            PauseReplay();
            break;
        case TransportMode::ReplayPaused:
            StartReplayFromPaused();
            break;
    }
}

void DeckOperations::PauseReplay() {
    switch (transport_->Mode()) {
        case TransportMode::Replaying:
            HandshakeTo(TransportMode::ReplayPaused);
            ShowStopped(DeckButton::Play, {DeckButton::Rec, DeckButton::Eject});
            break;
        case TransportMode::ReplayPaused:
            PlayToggle();
            break;
        default:
            break;
    }
}

void DeckOperations::Rewind() {
    const TransportMode mode = transport_->Mode();
    if (mode != TransportMode::Replaying && mode != TransportMode::ReplayPaused) {
        return;
    }
    if (ReplayReader* reader = transport_->Reader()) {
        reader->Seek(0);
    }
    RefreshTimeDisplay();
    transport_->ClearEndOfFile();
}

void DeckOperations::Seek() {
    const TransportMode mode = transport_->Mode();
    if (mode == TransportMode::Replaying || mode == TransportMode::ReplayPaused) {
        if (ReplayReader* reader = transport_->Reader()) {
            const double frame = view_.SliderPosition() * 0.001 * reader->SampleRateHz();
            reader->Seek(static_cast<int>(frame));
        }
    }
    RefreshTimeDisplay();
}

void DeckOperations::RefreshTimeDisplay() {
    const TransportMode mode = transport_->Mode();
    wchar_t text[512];
    const size_t capacity = sizeof(text) / sizeof(text[0]);
    int milliseconds = 0;
    int seconds = 0;
    const ReplayReader* reader = transport_->Reader();
    if ((mode == TransportMode::Replaying || mode == TransportMode::ReplayPaused) &&
        reader != nullptr) {
        FramesToTime(reader->PositionFrame(), reader->SampleRateHz(), &milliseconds, &seconds);
        view_.SetSliderPosition(milliseconds);
        std::swprintf(text, capacity, L"%4d:%02d  / %ls", seconds / 60, seconds % 60,
                      transport_->LengthText().c_str());
    } else {
        if (WaveFile* file = transport_->CurrentFile()) {
            FramesToTime(file->FrameCount(), file->SampleRateHz(), &milliseconds, &seconds);
        }
        view_.SetSliderPosition(0);
        std::swprintf(text, capacity, L"%ls: %4d:%02d", Text(IDS_RECORDED_SO_FAR).c_str(),
                      seconds / 60, seconds % 60);
    }
    view_.SetTimeText(text);
}

bool DeckOperations::ReleaseCurrentFile(bool forced) {
    if (transport_->CurrentFile() == nullptr) {
        return true;
    }
    if (!forced && !AskSave()) {
        return false;
    }
    DropCurrentFile();
    return true;
}

void DeckOperations::DropCurrentFile() {
    transport_->SetCurrentFile(nullptr);  // closing updates the header
    view_.ShowPressed(DeckButton::Rec, false);
    if (!transport_->Opened() && !transport_->Recorded()) {
        DeleteFileAt(transport_->CurrentPath());
    }
}

bool DeckOperations::SettleForFileChange() {
    switch (transport_->Mode()) {
        case TransportMode::Recording:
        case TransportMode::Replaying:
            return false;
        case TransportMode::RecordStopped:
            HandshakeTo(TransportMode::Idle);
            break;
        case TransportMode::ReplayPaused:
            LeaveReplayPaused();
            view_.ShowPressed(DeckButton::Play, false);
            break;
        case TransportMode::Idle:
            break;
    }
    return true;
}

void DeckOperations::New(bool forced) {
    if (!SettleForFileChange()) {
        return;
    }
    if (!ReleaseCurrentFile(forced)) {
        return;
    }
    transport_->SetCurrentPath(AudioTransport::WorkingFilePath());
    transport_->SetOpened(false);
    transport_->SetRecorded(false);
    auto file = WaveFile::CreateForWriting(
        transport_->CurrentPath(), static_cast<uint32_t>(transport_->Settings().recordingRateHz),
        16, 1, 1);
    if (file && file->State() != WaveFileState::Writing) {
        file.reset();
    }
    transport_->SetCurrentFile(std::move(file));
    SetUpWithHandshake();
    ShowFileTime();
    EnableReplayButtons(false);
}

void DeckOperations::Open(bool forced) {
    if (!SettleForFileChange()) {
        return;
    }
    std::string path;
    if (!view_.AskOpenPath(&path)) {
        return;
    }
    if (SamePath(path, AudioTransport::WorkingFilePath())) {
        view_.ShowMessage(Text(IDS_CANNOT_OPEN_WORKING_FILE), Text(IDS_ERROR), MessageButtons::Ok);
        return;
    }
    if (!ReleaseCurrentFile(forced)) {
        return;
    }
    transport_->SetCurrentPath(path);
    transport_->SetOpened(true);
    auto file = WaveFile::OpenForAppending(path);
    if (file && file->State() != WaveFileState::Appending) {
        file.reset();
    }
    const bool haveFile = file != nullptr;
    transport_->SetCurrentFile(std::move(file));
    EnableReplayButtons(haveFile);
    SetUpWithHandshake();
    ShowFileTime();
}

bool DeckOperations::Save() {
    if (transport_->Opened() || !transport_->Recorded()) {
        return true;
    }
    std::string target;
    if (!view_.AskSavePath(&target)) {
        return false;
    }
    return SaveTo(target);
}

bool DeckOperations::SaveTo(const std::string& targetPath) {
    if (transport_->CurrentFile() == nullptr || transport_->Opened() || !transport_->Recorded()) {
        return true;
    }
    // The worker may be appending to the file (the exercise runner saves at any time): hold it
    // while the file is completed, copied and replaced.
    transport_->Pause();
    // A copy of a file whose header was not brought up to date would lose the take's end.
    if (!transport_->CurrentFile()->UpdateHeader()) {
        transport_->Resume();
        ShowWriteFailure();
        return false;
    }
    const std::string workingPath = transport_->CurrentPath();
    if (!CopyFileOverwriting(workingPath, targetPath)) {
        transport_->Resume();
        wchar_t text[2048];
        std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%ls\n%ls: %ls\n%ls: %ls",
                      Text(IDS_ERROR_MOVING_FILE).c_str(), Text(IDS_FILE).c_str(),
                      Utf8ToWide(workingPath).c_str(), Text(IDS_TARGET).c_str(),
                      Utf8ToWide(targetPath).c_str());
        view_.ShowMessage(text, Text(IDS_ERROR), MessageButtons::Ok);
        return false;
    }
    transport_->SetCurrentFile(nullptr);
    DeleteFileAt(workingPath);
    transport_->SetCurrentPath(targetPath);
    auto file = WaveFile::OpenForAppending(targetPath);
    if (file && file->State() == WaveFileState::Appending) {
        transport_->SetCurrentFile(std::move(file));
        transport_->SetOpened(true);
        EnableReplayButtons(true);
    }
    transport_->Resume();
    return true;
}

void DeckOperations::ShowWriteFailure() {
    view_.ShowMessage(Text(IDS_CANNOT_WRITE_RECORDING) + L"\n" + Text(IDS_FILE) + L": " +
                          Utf8ToWide(transport_->CurrentPath()),
                      Text(IDS_ERROR), MessageButtons::Ok);
}

bool DeckOperations::AskSave() {
    if (transport_->Opened() || !transport_->Recorded()) {
        return true;
    }
    const MessageAnswer answer = view_.ShowMessage(Text(IDS_ASK_SAVE_RECORDINGS), Text(IDS_SAVE),
                                                   MessageButtons::YesNoCancel);
    switch (answer) {
        case MessageAnswer::Yes:
            return Save();
        case MessageAnswer::No:
            return true;
        default:
            return false;
    }
}

bool DeckOperations::Close() {
    transport_->Pause();
    bool cancelled = false;
    while (!cancelled && transport_->Mode() != TransportMode::Idle) {
        switch (transport_->Mode()) {
            case TransportMode::Recording:
                StopRecording();
                cancelled = transport_->Mode() != TransportMode::RecordStopped;
                break;
            case TransportMode::RecordStopped:
                transport_->SetMode(TransportMode::Idle);
                break;
            case TransportMode::Replaying:
                PauseReplay();
                cancelled = transport_->Mode() != TransportMode::ReplayPaused;
                break;
            case TransportMode::ReplayPaused:
                transport_->SetReader(nullptr);
                transport_->SetMode(TransportMode::Idle);
                view_.ShowPressed(DeckButton::Play, false);
                break;
            case TransportMode::Idle:
                break;
        }
    }
    if (!cancelled && AskSave()) {
        DropCurrentFile();
        return true;
    }
    transport_->Resume();
    return false;
}

bool DeckOperations::CanNewOrOpen() const {
    const TransportMode mode = transport_->Mode();
    return mode != TransportMode::Recording && mode != TransportMode::Replaying;
}

bool DeckOperations::CanSave() const {
    return CanNewOrOpen() && !transport_->Opened() && transport_->Recorded();
}

}  // namespace melvora
