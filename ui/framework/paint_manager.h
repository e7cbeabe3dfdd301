#pragma once
// The per-window paint manager every MDialog and MPopupWnd holds. It owns the window's windowless
// controls (areas drawn first, then controls, each list in creation order), routes the window's mouse,
// keyboard, wheel and timer input to them, keeps the hovered, pressed and focused control, draws the
// whole window into a 32-bit surface on every paint, and runs the tooltip, the message and progress
// overlay, the control timers and the window's animation tick. It also keeps the window's image cache
// and private fonts.
//
// Input state (top-level controls; areas never get input):
//   move, hover holds the point          → to the hover control alone
//   move, a button held                  → to the hover control (it holds the press)
//   move, otherwise                      → tooltip hidden; every control gets the move; the last one
//                                          holding the point (and responsive) becomes the hover
//   left/right down on an enabled hover  → pressed, focus to it, it gets the press, the mouse is captured
//   left down elsewhere                  → focus dropped; with window dragging on, the window is dragged
//   up                                   → capture released; the hover gets it and stays hover only while
//                                          the point is inside it
//   wheel (distance d)                   → |d| ÷ 120 steps, down when d ≤ 0: the hover first, then each
//                                          control in order until one takes the step
//   leave                                → tooltip off; unless a button is held the hover gets a move to
//                                          (−1, −1) and is cleared
//   activation lost                      → press, capture and tracking end; the hover gets a release (a
//                                          left press was in progress) or a move to (−1, −1); cleared
//   Tab / Shift+Tab (no Ctrl, no Alt)    → the focus moves to the next / previous visible, enabled tab
//                                          stop (controls inside a control follow it), wrapping around,
//                                          and the focus mark shows around the focus control
//   key down / up                        → the focus control first, then the hover, then each control
//   left/right down                      → the focus mark hides until the next Tab

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "core/color.h"
#include "core/geometry.h"
#include "core/wide_text.h"
#include "ui/framework/control_list.h"
#include "ui/framework/font_collection.h"
#include "ui/framework/img_res_info.h"
#include "ui/framework/render_types.h"
#include "ui/framework/rk_timer.h"
#include "ui/framework/surface.h"
#include "ui/framework/win_types.h"

class MAirBladder;
class MControl;
class MObject;
class MWindow;
class ToolTipWnd;

// The level of an overlay message; stored with it, not used for drawing.
enum MsgLevel : int {
    MSG_LEVEL_INFO = 0,
    MSG_LEVEL_WARNING = 1,
    MSG_LEVEL_ERROR = 2,
};

// Where a tip bubble points from, and whether it stays.
enum AIRBLADDER_TYPE : int {
    AIRBLADDER_LEFT = 0,   // the arrow on the bubble's left edge: the bubble opens to the right of the point
    AIRBLADDER_RIGHT = 1,  // the arrow on the right edge: the bubble opens to the left
    AIRBLADDER_TOP = 2,    // the arrow on the top edge: the bubble opens below
    AIRBLADDER_BOTTOM = 3, // no arrow picture: the bubble opens above the point
    AIRBLADDER_STAY = 4,   // as AIRBLADDER_TOP, and it does not hide by itself
};

class PaintManager : public RKTimer {
public:
    // Window-timer ids of the overlay and of the rich edit's caret; control timers never use them.
    static constexpr unsigned kMessageHoldTimer = 66;
    static constexpr unsigned kMessageFadeTimer = 88;
    static constexpr unsigned kProgressTimer = 99;
    static constexpr unsigned kCaretTimer = 6553;
    static constexpr int kDefaultFrameBorder = 4;
    static constexpr ARGB kFocusMarkColour = 0xFFED801B;
    // How far the focus mark stands out of the control's rectangle.
    static constexpr int kFocusMarkMargin = 2;

    PaintManager();
    ~PaintManager() override;

    // --- Attachment ---
    // Attaches to a live window (does nothing otherwise): loads the private fonts ("font\Arial.ttf"
    // beside the program as "Arial", the embedded font 106) and sets the scroll-bar picture ids.
    void Init(HWND hwnd, MWindow* owner);
    // Releases everything tied to the window: timers, controls, pictures, fonts, popups; only when
    // attached.
    void DestroyData();
    bool IsInitialized() const { return m_initialized; }
    HWND GetPaintWnd() const { return m_hWnd; }
    // The window's 32-bit surface, as the last paint left it.
    HDC GetPaintDC() { return &m_surface; }
    MWindow* GetMDialog() const { return m_owner; }

    // --- Messages ---
    // A message of the window after the dialog's handler; nonzero ends its processing.
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Called for every message of the modal or main loop; nonzero swallows it (Tab moves the focus).
    int PreTranslateMessage(MSG* msg);
    // A control asks for a repaint: it (with redraw) and every later visible control overlapping rect
    // become stale, and their area is invalidated (the whole window, erased, when layered).
    long OnControlUpdate(CRect rect, int redraw, MControl* control);
    void Invalidate();
    void InvalidateRect(CRect rect, int erase);

    // --- Controls ---
    // Creates a control by class name (ui/framework/control_factory.h) in the control (area) list;
    // null for an unknown name or a class not made by windows.
    MControl* CreateControl(MObject* parent, const wchar_t* className, unsigned id, CRect rect,
                            const wchar_t* title, int a, int b);
    MControl* CreateArea(MObject* parent, const wchar_t* className, unsigned id, CRect rect,
                         const wchar_t* title, int a, int b);
    // Adds a control constructed directly (classes without a name, such as MPanel); it gets this manager
    // and InitControl runs.
    MControl* AddControl(std::unique_ptr<MControl> control);
    MControl* AddArea(std::unique_ptr<MControl> area);
    // Depth-first through areas and controls and their children.
    MControl* GetControl(unsigned id) const;
    const ControlList& GetControls() const { return m_controls; }
    const ControlList& GetAreas() const { return m_areas; }
    // Removes and deletes a top-level control (or area).
    void RemoveControl(MControl* control);
    void ClearAllControls();
    void ClearAreaControls();
    void ClearControls();

    // --- Focus, hover, capture ---
    void SetFocusControl(MControl* control);
    MControl* GetFocusControl() const { return m_focus; }
    MControl* GetHoverControl() const { return m_hover; }
    MControl* GetPrevFocusableControl() const;
    MControl* GetNextFocusableControl() const;
    // The mark drawn around the focus control while the keyboard moves the focus.
    void SetFocusMarked(bool marked);
    bool IsFocusMarked() const { return m_focusMarked; }
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_captured; }

    // --- Control timers: window timers keyed by (control, key) ---
    // The window-timer id (17 for the first), or 0 when the timer cannot start.
    int SetTimer(MControl* control, unsigned key, unsigned ms);
    // Stops the timer and marks its entry killed; 1 when there was one.
    int KillTimer(MControl* control, unsigned key);
    // Stops and removes every timer of the control; how many there were.
    int KillTimer(MControl* control);
    void ClearTimers();

    // --- The animation tick ---
    // Ticks reach the joined controls whose run-timer flag is set and that are visible with all their
    // parents. The timer behind the tick is paused while no joined control would get it, so a window
    // with the tick on and nothing animating does not wake; the tick's id stays the same throughout.
    // A second SetMTimer replaces the first timer (ticks of any other id never reach a control).
    unsigned SetMTimer(unsigned ms);
    void KillMTimer(unsigned id);
    void KillMTimer();
    unsigned GetMTimerID() const { return m_animationTimer; }
    void AddMTimer(MControl* control);
    void DeleteFSTimer(MControl* control);
    // A control's run-timer flag or visibility changed: pauses or resumes the tick's timer.
    void CheckMTimer();
    // Whether the tick's timer runs now (not paused).
    bool IsMTimerRunning() const;
    uint64_t AnimationTicks() const { return m_animationTicks; }

    // --- Tooltip ---
    // Shows the text in the window's tooltip at once (an empty text hides it); rect is the area it
    // belongs to.
    void SetTooltip(const wchar_t* text, CRect rect);
    void ClearTooltip();
    ToolTipWnd* GetToolTipWnd() const { return m_tooltip.get(); }
    void SetTooltipCtrlID(unsigned id) { m_tooltipCtrlID = id; }
    unsigned GetTooltipCtrlID() const { return m_tooltipCtrlID; }

    // --- Message and progress overlay ---
    void SetMessage(const CString& text, CRect rect, MsgLevel level);
    void SetProgress(int percent, const CString& text, CRect rect);
    int GetMessageAlpha() const { return m_msgAlpha; }
    int GetShownProgress() const { return m_shownProgress; }
    int GetTargetProgress() const { return m_targetProgress; }
    CRect GetMessageRect() const { return m_msgRect; }
    MsgLevel GetMessageLevel() const { return m_msgLevel; }

    // --- The window ---
    LRESULT SendMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL GetClientRect(CRect* rect) const;
    BOOL GetWindowRect(CRect* rect) const;
    void GetClientSize(int& cx, int& cy) const;

    // --- Look ---
    void SetBackColor(COLORREF back, COLORREF border);
    COLORREF GetBackColor() const { return m_backColor; }
    COLORREF GetBorderColor() const { return m_borderColor; }
    void SetBackMode(enumBackMode mode, int border = kDefaultFrameBorder);
    enumBackMode GetBackMode() const { return m_backMode; }
    // Replaces the background picture (a skin file, or a resource of the program's module); 0 when it
    // cannot be loaded, and the plain colours are drawn instead.
    int LoadBKImage(const CString& file);
    int LoadBKImage(unsigned resId, const CString& type);
    CSize GetBKImageSize() const { return m_bkImageSize; }
    void SetLayeredWindow(int layered);
    int IsLayered() const { return m_layered ? 1 : 0; }
    void EnableWndDrag(int enable) { m_windowDrag = enable != 0; }
    int IsWndDragEnabled() const { return m_windowDrag ? 1 : 0; }
    // Stored only.
    void SetCaptionRect(CRect rect) { m_captionRect = rect; }
    CRect GetCaptionRect() const { return m_captionRect; }
    // Track-size limits; values ≤ 0 mean no limit.
    void SetWindowMaxSize(int cx, int cy) { m_maxSize = {cx, cy}; }
    void SetWindowMixSize(int cx, int cy) { m_minSize = {cx, cy}; }
    void SetScrollResID(unsigned vertical, unsigned horizontal);
    unsigned GetScrollVID() const { return m_scrollVID; }
    unsigned GetScrollHID() const { return m_scrollHID; }
    COLORREF GetDefaultEnabledColor() const { return m_disabledColor; }
    void SetDefaultEnabledColor(COLORREF colour) { m_disabledColor = colour; }

    // --- Pictures and fonts ---
    ImgResInfo* AddImgResInfo(const wchar_t* file, int count);
    ImgResInfo* AddImgResInfo(unsigned resId, const CString& type, int count, int fromProgram);
    void ClearImgResInfo();
    size_t ImageCacheSize() const { return m_images.Count(); }
    const FontFamily* AddTempFont(const wchar_t* family, const wchar_t* file);
    const FontFamily* AddTempFont(const wchar_t* family, unsigned resId);
    void AddGDITempFont(unsigned resId);
    // The library-wide family (Manager::GetFontName()); the argument is not consulted.
    const FontFamily* FindTempFont(const wchar_t* ignored = nullptr);
    void ClearTempFont();

    // --- Tip bubble ---
    // The window's bubble, made on first use.
    MAirBladder* GetAirBladder();
    int SetAirBladderMsg(const wchar_t* text, CPoint screenPoint, AIRBLADDER_TYPE type, int mode);

    // --- For controls ---
    // A control (and its children) leaves the tree: hover, focus, timers and the animation tick forget it.
    void DetachControl(MControl* control);
    // A control is being destroyed.
    void ForgetControl(MControl* control);
    // Asks for the focus mark's area around a control to be painted again.
    void InvalidateFocusMark(MControl* control);

protected:
    using RKTimer::OnMTimer;
    void OnMTimer(unsigned id) override;

private:
    struct ControlTimer {
        MControl* control = nullptr;
        unsigned key = 0;
        unsigned id = 0;
        bool killed = false;
    };

    MControl* Create(int kind, MObject* parent, const wchar_t* className, unsigned id, CRect rect,
                     const wchar_t* title, int a, int b);
    void Retire(std::unique_ptr<MControl> control);

    // Painting.
    bool OnPaint();
    void DrawBackground(const CRect& clip);
    void DrawFocusMark(const CRect& clip);
    void DrawOverlay();

    // Input.
    LRESULT OnMouseMove(unsigned flags, CPoint point);
    LRESULT OnLButtonDown(unsigned flags, CPoint point);
    LRESULT OnLButtonUp(unsigned flags, CPoint point);
    LRESULT OnLButtonDblClk(unsigned flags, CPoint point);
    LRESULT OnRButtonDown(unsigned flags, CPoint point);
    LRESULT OnRButtonUp(unsigned flags, CPoint point);
    LRESULT OnRButtonDblClk(unsigned flags, CPoint point);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave();
    void OnActivate(bool active);
    bool FocusTakesKey(unsigned key, unsigned modifiers, bool down);
    LRESULT OnKeyDown(unsigned key);
    LRESULT OnKeyUp(unsigned key);
    void RefreshHover(unsigned flags, CPoint point);
    bool PressTarget(unsigned flags, CPoint point);
    void TrackMouse();
    void HideTooltip();
    void RelayToTooltip(const MSG& msg);

    // Timers.
    void OnTimer(unsigned id);
    unsigned NextTimerId();
    void StartWindowTimer(unsigned id, unsigned ms);
    void StopWindowTimer(unsigned id);
    void RepaintMessage();
    bool AnimationWanted() const;

    HWND m_hWnd = nullptr;
    MWindow* m_owner = nullptr;
    bool m_initialized = false;
    Surface m_surface;

    COLORREF m_backColor = 0x130D09;
    COLORREF m_borderColor = 0x620044;
    CRect m_captionRect;
    CPoint m_maxSize;
    CPoint m_minSize;
    ImagePtr m_bkImage;
    CSize m_bkImageSize;
    enumBackMode m_backMode = BACK_MODE_NORMAL;
    int m_frameBorder = kDefaultFrameBorder;
    bool m_layered = false;
    bool m_windowDrag = true;
    unsigned m_scrollVID = 0;
    unsigned m_scrollHID = 0;
    COLORREF m_disabledColor = 0x808080;

    ControlList m_areas;
    ControlList m_controls;
    MControl* m_hover = nullptr;
    MControl* m_focus = nullptr;
    bool m_focusMarked = false;
    bool m_captured = false;
    bool m_leftPressed = false;
    bool m_doubleClicked = false;
    bool m_rightPressed = false;
    bool m_tracking = false;
    bool m_active = false;
    std::optional<CPoint> m_lastMove; // where the last move put the pointer

    std::unique_ptr<ToolTipWnd> m_tooltip;
    unsigned m_tooltipCtrlID = 0;
    std::unique_ptr<MAirBladder> m_airBladder;

    CString m_msgText;
    CRect m_msgRect;
    int m_msgAlpha = 0;
    int m_shownProgress = 0;
    int m_targetProgress = 0;
    bool m_msgHasProgress = false;
    MsgLevel m_msgLevel = MSG_LEVEL_INFO;

    mutable std::mutex m_timerLock;
    std::vector<ControlTimer> m_timers;
    unsigned m_timerCounter = 4096;

    mutable std::mutex m_animationLock;
    std::vector<MControl*> m_animated;
    unsigned m_animationTimer = 0;
    uint64_t m_animationTicks = 0;

    ImageCache m_images;
    FontCollection m_fonts;
};
