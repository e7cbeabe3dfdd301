#pragma once
// KeyboardCtrl ("KeyboardCtrl"): the keyboard drawn as a picture with one clickable item per key. The
// owner fills it with the keys of a layout (KEY_INFO items: rectangle in picture pixels, label, key value,
// optional icon); a mode says how keys are drawn and what a click does:
//
//   100  no picture; every key a filled block with its label and icon      click selects
//   101  picture; red outline around checked, hovered and selected keys   click selects
//   102  picture; every key outlined, alpha from the lighting preview     click selects
//   103  picture; every key outlined in its own colour                    click paints (0 <-> custom),
//   selects 104  picture; every key outlined in its own colour (music)            click selects other:
//   nothing but what lies under the control
//
// Input (only while enabled; points in the window's client coordinates):
//   move, frame selection on, L or R held → frame selection: a move inside, more than 20 pixels across or
//                                           down from the last recorded point, records it, checks exactly
//                                           the keys the frame (press point to that point, empty when under
//                                           6 pixels either way) meets, and repaints
//   move outside                          → no hovered key, tip hidden
//   move inside the hovered key           → its tip shown (tips on)
//   move elsewhere inside                 → tip hidden; the first key holding the point is hovered
//   left down                             → frame drag cancelled; press point recorded; selected = hovered
//   left up inside                        → (mode 103: the selected key's colour toggles) notification 2:
//                                           wParam selected index or -1, lParam its key value or 0
//   right down                            → press point recorded
//   right up after a frame drag           → notification 24 (0, 0)
//   right up inside, no drag              → selected = hovered; notification 5 (index, key value)
//
// Drawing goes through the control's cached surface. A change that touches one key (its colour, mark,
// hover or selection) repaints that key's rectangle only: the key is redrawn in the cache and the window
// repaints just that area. Changes of the whole view (mode, picture, placement, colours of every key)
// redraw the cache. All item operations hold the item lock for their whole loop.

#include <memory>
#include <mutex>
#include <vector>

#include "core/color.h"
#include "ui/framework/m_panel.h"

class CKeyboardTips;

// <linux/input-event-codes.h> defines KEY_INFO as a key code; here the name is the key record's.
#ifdef KEY_INFO
#undef KEY_INFO
#endif

// One key of the view. The owner reads these records directly (GetKeyItems), so the order of the fields
// is part of the library's interface.
struct KEY_INFO {
    int index = 0;                // position in the item list when it was added
    unsigned long keyValue = 0;   // the owner's code for the key: what every per-key operation looks up
    CString name;                 // drawn on the key
    CString text;                 // display text; the title line of the key's tip
    CString tip1;                 // tip lines (SetTipKey), empty until set
    CString tip2;                 //
    CRect rect;                   // in picture pixels, before the view offset
    int checked = 0;              // part of the multi-selection
    COLORREF colour = 0x0000E1FF; // 0x00BBGGRR, shown in the colour modes
    ImagePtr icon;                // null without an icon
    int iconWidth = 0;            // the icon's natural size
    int iconHeight = 0;
};

class KeyboardCtrl : public MPanel {
public:
    enum Mode : int {
        kModeBlocks = 100,
        kModeAssign = 101,
        kModeLightPreview = 102,
        kModePaint = 103,
        kModeMusic = 104,
    };
    static constexpr unsigned kNotifyClick = 2;
    static constexpr unsigned kNotifyRightClick = 5;
    static constexpr unsigned kNotifyFrameSelect = 24;

    static constexpr COLORREF kDefaultKeyColour = 0x0000E1FF;
    static constexpr COLORREF kDefaultCustomColour = 0x000000FF;
    static constexpr COLORREF kMusicColour = 0xFFFF00;
    static constexpr COLORREF kWhite = 0xFFFFFF;
    static constexpr ARGB kBlockColour = 0xFF440062;
    static constexpr ARGB kMarkColour = 0xFFFF0000;
    static constexpr ARGB kPreviewColour = 0x00440062; // the alpha comes from the preview frame
    static constexpr ARGB kFrameColour = 0xFF440062;
    static constexpr ARGB kLabelColour = 0xFFFFFFFF;
    static constexpr ARGB kShadowColour = 0xFF505050;
    static constexpr float kOutlineDivisor = 12.0f;
    static constexpr float kOutlinePen = 2.0f;
    static constexpr float kFramePen = 2.0f;
    // How far outlines and label shadows reach out of a key's rectangle.
    static constexpr int kKeyMargin = 2;
    static constexpr int kDefaultOffset = 6;
    static constexpr int kLabelSize = 10;
    static constexpr int kIconBand = 20;
    static constexpr int kFrameStep = 20;
    static constexpr int kMinFrameSize = 6;
    // The period of the main window's animation tick: a lighting preview frame lasts this many
    // milliseconds per tick of SetLightSpeed.
    static constexpr int kTickMs = 10;
    static constexpr DWORD kTipStyle = 0x96000080;

    KeyboardCtrl(MObject* parent, unsigned id, CRect rect, int visible);
    ~KeyboardCtrl() override;

    // --- MControl ---
    // Joins the window's animation tick (it wants ticks only while a lighting preview runs).
    int InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    // Stores the rectangle; with a picture size known, the picture is centred across it at offset y 0.
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    void SetControlEnabled(int enabled) override;
    // Also hides the tip when a page around the view was hidden (the view then hears no more moves).
    void SetUpdate(int update, unsigned long reserved = 0) override;
    int OnControlTimer(unsigned key) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    int OnControlRButtonDown(unsigned flags, CPoint point) override;
    int OnControlRButtonUp(unsigned flags, CPoint point) override;

    // --- Items ---
    // Appends a key (tips empty, unchecked, colour 0x0000E1FF); iconFile, when not empty, is a skin
    // picture drawn on the key (a missing file leaves the key without icon). The new item's index.
    int AddKeyItem(const wchar_t* name, const wchar_t* text, unsigned long keyValue, CRect rect,
                   CString iconFile);
    // Deletes every item; the count of items ever added goes on.
    void ClearItem();
    // The items, still owned by the view (valid until ClearItem or destruction).
    std::vector<KEY_INFO*> GetKeyItems();
    // How many items were added since construction.
    int GetItemCount() const { return m_itemCount; }

    // --- Picture and geometry ---
    // A skin picture ("keyboard\z5.png"); null when it cannot be loaded (modes 101-104 then draw no keys).
    void SetKeyboardImage(CString file);
    // The picture's size; with a rectangle already placed, the picture is centred across it.
    void SetWidthAndHeight(int width, int height);
    CPoint GetViewOffset() const { return m_offset; }
    double GetScale() const { return m_scale; }
    bool HasKeyboardImage() const { return m_keyboardImage != nullptr; }
    // A key's rectangle in the window's client coordinates; empty for an index out of range.
    CRect GetKeyScreenRect(int index);
    // The first key whose rectangle holds the point (client coordinates), or -1.
    int HitTest(CPoint point);

    // --- Mode, selection, marks ---
    void SetKeyboardCtrlMode(int mode);
    int GetKeyboardCtrlMode() const { return m_mode; }
    void SetSelectItem(int index);
    int GetSelectItem() const { return m_selected; }
    int GetHoverItem() const { return m_hover; }
    void SetKeyCheck(unsigned long key, int checked);
    void ResetAllItemCheck();
    void ResetAllItemCheck(int value);
    int GetCheckItemCount();
    // The key value of the last clicked key; 0 when none.
    int GetCurrentKeyValue() const { return static_cast<int>(m_currentKey); }

    // --- Colours ---
    void SetKeyColor(unsigned long key, unsigned long colour);
    // 0 for a key value the view does not have.
    unsigned long GetKeyColor(unsigned long key);
    void ResetAllItemsColor(unsigned long colour);
    // Every checked key and the selected key.
    void SetAllSelectColor(unsigned long colour);
    // Every key: white (0xFFFFFF) when white is nonzero, else colour.
    void SetLightModeColor(int white, unsigned long colour);
    // The colour a click gives a key in mode 103.
    void SetCustomColor(unsigned long colour);
    COLORREF GetCustomColor() const { return m_customColour; }
    // A new value turns every key 0xFFFF00.
    void SetMusicBrightness(int value);

    // --- Lighting preview (mode 102) ---
    // Frames of one alpha byte per key: key i of frame f is byte f × (number of keys) + i. An empty or
    // negative length clears them.
    void SetLightModeData(const unsigned char* data, int length);
    // Ticks per frame: speed 0 → 5, 1 → 4, 2 → 3, 3 → 2, anything else → 1.
    void SetLightSpeed(int speed);
    int GetLightFrameCount() const { return m_frameCount; }
    int GetLightFrameIndex() const { return m_frameIndex; }
    int GetTicksPerFrame() const { return m_ticksPerFrame; }

    // --- Texts and tips ---
    void SetTipKey(unsigned long key, CString line1, CString line2);
    void ResetTipKey();
    // Replaces the key's name and text.
    void SetKeyDesc(unsigned long key, CString text);
    void EnableKBTips(bool enable);
    bool IsKBTipsEnabled() const { return m_tipsEnabled; }
    // Null until a tip was first shown.
    CKeyboardTips* GetTipWindow() const { return m_tip.get(); }
    void EnableFrameSelect(int enable);
    bool IsFrameDragging() const { return m_dragging; }
    // The frame being dragged (client coordinates); empty when none or too small.
    CRect GetSelectFrame() const;

private:
    KEY_INFO* FindKey(unsigned long key);
    bool ValidIndex(int index) const;
    CRect LocalKeyRect(const KEY_INFO& key) const;
    // Asks for the key's area (with its outline) to be drawn again, alone.
    void RepaintKey(int index);
    void RepaintAll();
    // Whether the look of a key depends on its hover, selection and check state, or on its colour.
    bool DrawsMarks() const { return m_mode == kModeAssign; }
    bool DrawsColours() const { return m_mode == kModePaint || m_mode == kModeMusic; }
    void SetHover(int index);
    void SetSelected(int index);
    void CentrePicture();
    void UpdateRunTimer();
    void EndDrag();
    void FrameMove(CPoint point);
    void ShowTip(int index);
    void HideTip();
    CKeyboardTips* TipWindow();

    // Drawing into the cached surface, in its coordinates, limited to area.
    void Render(const CRect& area);
    void DrawBlock(Graphics* g, const KEY_INFO& key, const CRect& rect);
    void DrawOutline(Graphics* g, const CRect& rect, ARGB colour) const;
    uint8_t PreviewAlpha(int index) const;

    mutable std::recursive_mutex m_itemLock;
    std::vector<std::unique_ptr<KEY_INFO>> m_items;
    int m_hover = -1;
    int m_selected = -1;
    int m_itemCount = 0;
    int m_mode = kModeBlocks;
    CPoint m_offset{kDefaultOffset, kDefaultOffset};
    int m_layoutWidth = 0;
    int m_layoutHeight = 0;
    double m_scale = 1.0;
    ImagePtr m_keyboardImage;

    std::vector<uint8_t> m_lightData;
    int m_frameCount = 0; // whole frames in the light data
    int m_frameIndex = 0;
    int m_ticksPerFrame = 1;
    int64_t m_frameStart = 0;
    bool m_ownRunTimer = false; // the run-timer flag is set by the view, not by its owner

    int m_musicBrightness = 255;
    COLORREF m_customColour = kDefaultCustomColour;
    unsigned long m_currentKey = 0;

    bool m_tipsEnabled = false;
    std::unique_ptr<CKeyboardTips> m_tip;

    int m_frameSelect = 0;
    bool m_dragging = false;
    CPoint m_pressPoint;
    CPoint m_framePoint;

    // Part of the cached surface to draw again while the rest of it stands (its coordinates).
    CRect m_dirty;
};
