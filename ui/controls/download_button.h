#pragma once
// DownloadButton ("DownloadButton", made by panels only): a push button that shows a download's progress.
// Its strip frames (normal, hovered, pressed, disabled) are nine-sliced with the corner size
// (SetFrameSize, default 8); the title goes in the text rectangle (SetTextRect, the whole button when
// empty) after an optional icon (SetIconImage). While the progress (SetDownloadProcess) is above 0 it
// shows frame 0 across the button, frame 1 across the left progress % of it and "%d%%" centred.
// Notifications 1 and 2 as a push button.

#include "ui/controls/m_push_control.h"

class DownloadButton : public MPushControl {
public:
    static constexpr int kDefaultFrameSize = 8;

    DownloadButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    void SetFrameSize(int size);
    void SetTextRect(CRect rect);
    // Kept within 0…100.
    void SetDownloadProcess(int percent);
    int GetDownloadProcess() const { return m_percent; }

protected:
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;

private:
    void DrawFace(Graphics* g, int frame, const CRect& rect) const;

    int m_frameSize = kDefaultFrameSize;
    CRect m_textRect;
    int m_percent = 0;
};
