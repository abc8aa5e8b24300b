#include "app/win32/live_view_link.h"

#include "analysis/analysis_engine.h"
#include "analysis/result_holder.h"
#include "settings/win32/volume_dlg.h"
#include "transport/audio_transport.h"
#include "views/win32/inst_tessim_dlg.h"

namespace melvora {

namespace {

// The view of a shown window; IsWindowVisible may be asked from any thread.
void InvalidateIfShown(HWND window, HWND view) {
    if (window != nullptr && view != nullptr && ::IsWindowVisible(window)) {
        ::InvalidateRect(view, nullptr, FALSE);
    }
}

}  // namespace

void CLiveViewLink::SetEngine(AnalysisEngine* engine) {
    engine_.store(engine);
    if (engine != nullptr) {
        engine->SetInputLevelControl(inputLevel_);
    }
}

void CLiveViewLink::Unlink() {
    analysis_ = nullptr;
    volume_ = nullptr;
    InputLevelControlChanged(nullptr);
    engine_.store(nullptr);
    transport_ = nullptr;
}

void CLiveViewLink::InvalidateShownViews() const {
    if (analysis_ != nullptr) {
        InvalidateIfShown(analysis_->Handle(), analysis_->View().Handle());
    }
    if (volume_ != nullptr) {
        InvalidateIfShown(volume_->Handle(), volume_->EnergyBar().Handle());
    }
}

bool CLiveViewLink::RepeatsLastRecord(const ResultRecord& record) {
    const bool same = record.pitchHz == lastRecord_.pitchHz &&
                      record.tessim == lastRecord_.tessim && record.level == lastRecord_.level &&
                      record.jitter == lastRecord_.jitter && record.shimmer == lastRecord_.shimmer;
    lastRecord_ = record;
    if (!same) {
        sameRecords_.store(0);
        return false;
    }
    // Past the longest history, and with no level (the analysis view turns while it hears
    // something, and the energy bar's peak has long met the level).
    const uint32_t run = sameRecords_.load();
    if (run <= ResultHolder::kHistoryCapacity) {
        sameRecords_.store(run + 1);
        return false;
    }
    return record.level == 0.0f;
}

void CLiveViewLink::OnResultPublished(const ResultRecord& record) {
    if (!RepeatsLastRecord(record)) {
        InvalidateShownViews();
    }
}

void CLiveViewLink::OnResultsReset() {
    sameRecords_.store(0);
    InvalidateShownViews();
}

ResultRecord CLiveViewLink::NewestResult() const {
    return results_.ReadNewest();
}

std::vector<ResultRecord> CLiveViewLink::AllResults() const {
    return results_.ReadAll();
}

bool CLiveViewLink::TransportRecordingOrReplaying() const {
    if (transport_ == nullptr) {
        return false;
    }
    const TransportMode mode = transport_->Mode();
    return mode == TransportMode::Recording || mode == TransportMode::Replaying;
}

uint32_t CLiveViewLink::ClippedBlocks() const {
    AnalysisEngine* engine = engine_.load();
    return engine != nullptr ? engine->ClippedBlocks() : 0;
}

void CLiveViewLink::SensitivityChanged(float sensitivity) {
    AnalysisEngine* engine = engine_.load();
    if (engine != nullptr) {
        engine->SetVoiceActivationSensitivity(sensitivity);
    }
}

void CLiveViewLink::InputLevelControlChanged(InputLevelControl* control) {
    inputLevel_ = control;
    AnalysisEngine* engine = engine_.load();
    if (engine != nullptr) {
        engine->SetInputLevelControl(control);
    }
}

}  // namespace melvora
