#pragma once
// CTimerButton ("CTimerButton"): a button that counts down once started. A click (or Space, Enter or its
// accelerator) starts it; while it runs it wants the window's animation tick (the run-timer flag), shows
// the seconds left and a bar running down, and repaints on every tick; 10 000 ms after the start it stops
// and sends notification 2. A press sends notification 1 as on any button; a click while it runs starts
// it again.

#include <cstdint>

#include "ui/controls/m_push_control.h"

class CTimerButton : public MPushControl {
public:
    static constexpr int kDurationMs = 10000;

    CTimerButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    int InitControl(PaintManager* manager) override;
    int OnControlTimer(unsigned key) override;
    void SetControlEnabled(int enabled) override;

    void StartTimer();
    void StopTimer();
    bool IsTimerRunning() const { return m_running; }
    // Milliseconds left (0 when stopped).
    int64_t RemainingMs() const;

protected:
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;
    void OnClick() override { StartTimer(); }

private:
    bool m_running = false;
    int64_t m_start = 0;
};
