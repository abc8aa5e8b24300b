#pragma once

#include "views/energy_bar_meter.h"
#include "views/view_owner.h"
#include "views/win32/open_gl_wnd.h"

namespace melvora {

// The vertical level meter of the volume window: green through yellow to red with the
// amplitude of the newest average, over a dark full-scale column, with a peak marker that
// falls back with growing speed (on a 50 ms timer while neither a recording nor a replay
// runs) and a red top for a second after the input clipped.
class CEnergyBar : public COpenGLWnd {
  public:
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kTimerPeriodMs = 50;

    explicit CEnergyBar(const ViewOwner& owner) : owner_(owner) {}

    const EnergyBarMeter& Meter() const { return meter_; }
    bool TimerRunning() const { return timerRunning_; }

  protected:
    void OnGLCreate(HDC dc) override;
    void OnGLSize(int cx, int cy) override;
    void OnGLPaint() override;
    void OnGLDestroy() override;
    ToolTipKind ToolTipStyle() const override { return ToolTipKind::kFixedText; }
    std::wstring FixedToolTipText() const override;
    LRESULT OnViewMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void StartTimer();
    void StopTimer();

    const ViewOwner& owner_;
    EnergyBarMeter meter_;
    bool timerRunning_ = false;
};

}  // namespace melvora
