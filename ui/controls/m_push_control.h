#pragma once
// MPushControl: what every button-like control shares: the visual state (0 normal, 1 hovered, 2 pressed,
// 3 disabled), the press-and-release machine, keyboard clicks, and a cache holding every state's frame
// rendered once, so that a state change only copies another frame (a repaint request with redraw 0).
//
// Input (enabled; a disabled control stays in state 3 and ignores all of it):
//   pointer over / away (not pressed)  → state 1 / 0; the hand cursor while over it
//   left press inside                  → state 2, OnPress (push buttons: notification 1)
//   release inside after that press    → state 1, OnClick (push buttons: notification 2)
//   release outside                    → state 0, nothing else
//   its accelerator (key + modifiers)  → OnKeyClick (push buttons: notifications 1 and 2)
//   Space or Enter while focused       → OnKeyClick
//
// A derived control draws frame i of StateFrameCount() in DrawStateFrame and says which frame shows in
// CurrentFrame (check-style controls: the state + 4 while checked).

#include "ui/controls/strip_picture.h"
#include "ui/framework/m_control_font.h"
#include "ui/framework/surface.h"

class MPushControl : public MControlFont {
public:
    static constexpr unsigned kNotifyPress = 1;
    static constexpr unsigned kNotifyClick = 2;

    // Response 1, a tab stop, the hand cursor.
    MPushControl(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    // --- MControl ---
    int InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlSetCursor(unsigned flags, CPoint point) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;

    // A key (virtual key) and modifier code (0, 16 Shift, 18 Alt, | 17 Ctrl) that clicks the control
    // from anywhere in its window; key 0 removes it.
    void SetAccelerator(unsigned key, unsigned modifiers = 0);
    int GetState() const { return m_state; }
    // An icon from the skin folder cut into count frames (one per state when it has four); 1 when it
    // loads. Buttons that show an icon draw it (MButton, CImageButton, CIconButton, DownloadButton).
    int SetIconImage(const wchar_t* file, int count);
    // The frame the cache shows now.
    virtual int CurrentFrame() const { return m_state; }

protected:
    virtual int StateFrameCount() const { return 4; }
    // Draws frame `frame` over the window's background already in rect (the control's size at 0, 0).
    virtual void DrawStateFrame(Graphics* g, int frame, const CRect& rect) = 0;
    virtual void OnPress() { SendMessageW(kNotifyPress); }
    virtual void OnClick() { SendMessageW(kNotifyClick); }
    virtual void OnKeyClick()
    {
        OnPress();
        OnClick();
    }
    // Moves to a state (a disabled control stays in 3) and asks for the frame to be copied again.
    void SetState(int state);
    // The cached frames are drawn again at the next paint (what they show changed).
    void Redraw() { UpdateControl(1, 0); }
    // The icon's frame for a state: the state's own when the icon has four frames, else its only one.
    int IconFrame(int state) const { return m_icon.count >= 4 ? state : 0; }
    // The title's colour in a state: the control's text colour, grey while disabled.
    ARGB TitleColour(int state) const { return state == 3 ? kDisabledText : m_textColor; }
    void DrawTitleIn(Graphics* g, const CRect& rect, ARGB colour);

    static constexpr ARGB kDisabledText = 0xFF808080;

    int m_state = 0;
    bool m_down = false; // a left press on this control has not been released yet
    unsigned m_accelKey = 0;
    unsigned m_accelModifiers = 0;
    Surface m_frames; // StateFrameCount() frames side by side
    StripPicture m_icon;
};
