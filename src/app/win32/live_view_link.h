#pragma once

#include <windows.h>

#include <atomic>
#include <vector>

#include "analysis/result_listener.h"
#include "analysis/result_record.h"
#include "settings/volume_window_owner.h"
#include "views/view_owner.h"

namespace melvora {

class AnalysisEngine;
class AudioTransport;
class CInstTessimDlg;
class CVolumeDlg;
class ResultHolder;

// Joins the analysis to the live views: hands each published average to the shown views
// (an invalidation, so they repaint on the window thread), gives the views copies of the
// results, and carries the volume window's sensitivity and input level to the running engine.
class CLiveViewLink : public ResultListener, public ViewOwner, public VolumeWindowOwner {
  public:
    explicit CLiveViewLink(ResultHolder& results) : results_(results) {}

    // Set once the transport and the engine exist (the engine may be absent in tests).
    void SetTransport(const AudioTransport* transport) { transport_ = transport; }
    void SetEngine(AnalysisEngine* engine);
    // The windows the hand-off repaints; set when they are made, before the worker runs.
    void SetAnalysisWindow(CInstTessimDlg* window) { analysis_ = window; }
    void SetVolumeWindow(CVolumeDlg* window) { volume_ = window; }
    // The views are about to go: the hand-off reaches none of them, the engine stops reading
    // the volume window's input level, and neither the transport nor the engine is asked any
    // more. Call with the worker parked (or not running).
    void Unlink();

    // ResultListener (publications on the worker thread, resets on the window thread)
    void OnResultPublished(const ResultRecord& record) override;
    void OnResultsReset() override;

    // ViewOwner
    ResultRecord NewestResult() const override;
    std::vector<ResultRecord> AllResults() const override;
    bool TransportRecordingOrReplaying() const override;
    uint32_t ClippedBlocks() const override;

    // VolumeWindowOwner
    void SensitivityChanged(float sensitivity) override;
    void InputLevelControlChanged(InputLevelControl* control) override;

  private:
    void InvalidateShownViews() const;
    // True once the same record has come so often that the whole history shown is that
    // record and the views would draw the same frame again (silence, or no device).
    bool RepeatsLastRecord(const ResultRecord& record);

    ResultHolder& results_;
    const AudioTransport* transport_ = nullptr;
    std::atomic<AnalysisEngine*> engine_{nullptr};
    // The view windows' handles, read by the worker thread's hand-off.
    CInstTessimDlg* analysis_ = nullptr;
    CVolumeDlg* volume_ = nullptr;
    InputLevelControl* inputLevel_ = nullptr;
    // The worker's last record and how often it came in a row; the run restarts on a reset.
    ResultRecord lastRecord_;
    std::atomic<uint32_t> sameRecords_{0};
};

}  // namespace melvora
