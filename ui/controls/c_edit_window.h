#pragma once
// The in-place text editor: a real window of its own (a child of the control's window, or a popup in
// screen coordinates over a layered window) that draws its text, selection and caret and takes the
// keyboard while it is open. Windowless controls (edit boxes, rich edits, lists) open it over their text
// and hear what happens through an EditWindowHost.
//
// CEditWindow is the editor; CEditWnd ("FSEditWindow") is the one controls use, placed over a control
// with the control's font and colours.
//
// Input while open and focused:
//   a typed character           → replaces the selection (within the limit; digits only when so set)
//   Left/Right                  → caret by a character (Ctrl: a word); Shift extends the selection
//   Home/End                    → start/end of the line (Ctrl, or one line: of the text); Shift extends
//   Up/Down (several lines)     → the line above/below; Shift extends
//   Backspace/Delete            → the selection, else the character (Ctrl: the word) before/after
//   Ctrl+A                      → selects everything
//   Ctrl+C, Ctrl+Insert         → copies the selection to the clipboard (not from a password)
//   Ctrl+X, Shift+Delete        → cuts it (not from a password)
//   Ctrl+V, Shift+Insert        → pastes the clipboard's text
//   Enter                       → closes keeping the text (several lines: a new line; Ctrl+Enter closes)
//   Escape                      → puts back the text it opened with and closes
//   focus lost                  → closes keeping the text
//   press / drag / double click → places the caret / selects / selects the word
// Read-only: moving, selecting and copying only. The caret blinks on a window timer that runs only
// while the editor is open and focused; a closed editor costs nothing.

#include <memory>

#include "core/color.h"
#include "ui/controls/control_helpers.h"
#include "ui/controls/edit_text.h"
#include "ui/framework/m_window.h"
#include "ui/framework/render_types.h"
#include "ui/framework/surface.h"

class CEditWindow;
class EditLayout;
class MControl;
class MControlFont;

enum class EditCloseReason {
    Enter,     // Enter (Ctrl+Enter with several lines): keep the text
    FocusLost, // the keyboard focus went elsewhere: keep the text
    Escape,    // the text it opened with is back
    Closed,    // its owner closed it
};

class EditWindowHost {
public:
    virtual ~EditWindowHost() = default;
    // The user changed the text (typing, deleting, pasting, Escape putting the old text back).
    virtual void OnEditChanged(CEditWindow& editor) = 0;
    // The editor is closed and hidden.
    virtual void OnEditClosed(CEditWindow& editor, EditCloseReason reason) = 0;
    // A character was typed and taken.
    virtual void OnEditTyped(CEditWindow& /*editor*/, wchar_t /*c*/) {}
};

class CEditWindow : public MWindow {
public:
    static constexpr uintptr_t kCaretTimer = 1;
    static constexpr UINT kCaretBlinkMs = 530;
    // Space between the window's edge and the text.
    static constexpr int kPadding = 3;

    explicit CEditWindow(EditWindowHost* host = nullptr);
    ~CEditWindow() override;

    const wchar_t* GetWindowClassName() const override { return L"KelvoEditWindow"; }
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Makes the hidden window: a child of parent at rect in its client coordinates, or (popup) a tool
    // popup owned by parent at rect in screen coordinates. Nothing when it exists already.
    bool CreateEditor(HWND parent, CRect rect, bool popup);
    bool IsPopupEditor() const { return m_popup; }
    // Moves it (coordinates as at creation).
    void MoveEditor(CRect rect);
    void SetHost(EditWindowHost* host) { m_host = host; }

    // Shows the text, all of it selected or with the caret at its end, and takes the keyboard focus. The
    // text it opened with is what Escape puts back.
    void Open(const CString& text, bool selectAll);
    // Hides it and tells the host why; nothing when it is not open.
    void Close(EditCloseReason reason = EditCloseReason::Closed);
    bool IsOpen() const { return m_open; }

    CString GetText() const { return m_text.Text(); }
    // Replaces the text without telling the host (the caret goes to its end).
    void SetText(const CString& text);
    const EditText& Text() const { return m_text; }
    // Selection by character index (caret at `caret`).
    void SetSel(size_t anchor, size_t caret);
    // The character index nearest a point of the window's client area.
    size_t CharIndexAt(CPoint client) const { return HitTest(client); }

    // --- Options ---
    void SetLimitText(int limit) { m_text.SetLimit(limit); }
    void SetNumberOnly(bool on) { m_text.SetNumberOnly(on); }
    void SetReadOnly(bool on) { m_text.SetReadOnly(on); }
    void SetMultiLine(bool on);
    // Each character shows as c (text stays as typed); copying is refused while it is on.
    void SetPassword(bool on, wchar_t c = L'*');
    bool IsPassword() const { return m_password; }
    // 0 left, 1 centre, 2 right (one line that fits; a longer line scrolls).
    void SetAlignment(int h);
    void SetEditFont(const TextFont& font);
    const TextFont& GetEditFont() const { return m_font; }
    void SetColors(ARGB back, ARGB text);
    ARGB GetBackColor() const { return m_back; }
    ARGB GetTextColor() const { return m_fore; }
    void SetSelectionColors(ARGB back, ARGB text);

    // --- What it shows ---
    // The text as drawn: the password character for each character when that is on.
    CString DisplayText() const;
    bool IsCaretShown() const { return m_open && m_focused && m_caretOn; }
    // How far the text is scrolled (x on one line, y with several).
    CPoint GetScroll() const { return m_scroll; }
    const Surface& GetSurface() const { return m_surface; }

    // The editing commands of the keys above, for callers that drive it directly.
    void Copy();
    void Cut();
    void Paste();

protected:
    virtual int OnEditKeyDown(unsigned vk);
    virtual void OnEditChar(wchar_t c);

private:
    std::unique_ptr<EditLayout> Layout() const;
    // Where the layout's top-left corner goes in the window.
    CPoint TextOrigin(const EditLayout& layout) const;
    CRect ClientArea() const;
    // Scrolls so that the caret is inside the window.
    void Reveal();
    void Changed(bool textChanged);
    void RestartCaret();
    void StopCaret();
    void Paint();
    size_t HitTest(CPoint client) const;
    void MoveCaret(size_t pos, bool extend);

    EditWindowHost* m_host;
    EditText m_text;
    CString m_original;
    bool m_open = false;
    bool m_focused = false;
    bool m_caretOn = false;
    bool m_timerRunning = false;
    bool m_dragging = false;
    bool m_shiftDown = false;
    bool m_ctrlDown = false;
    bool m_popup = false;
    bool m_password = false;
    wchar_t m_passwordChar = L'*';
    int m_align = 0;
    int m_preferredX = -1; // where Up/Down aim, kept across lines of different length
    CPoint m_scroll;
    TextFont m_font;
    ARGB m_back = 0xFF333333;
    ARGB m_fore = 0xFFFFFFFF;
    ARGB m_selBack = 0xFFED801B;
    ARGB m_selFore = 0xFFFFFFFF;
    Surface m_surface;
};

// The edit window the library's controls open over their text ("FSEditWindow").
class CEditWnd : public CEditWindow {
public:
    explicit CEditWnd(EditWindowHost* host = nullptr) : CEditWindow(host) {}
    const wchar_t* GetWindowClassName() const override { return L"FSEditWindow"; }

    // Opens over rect (client coordinates of the control's window): made on first use as a child window,
    // or as a popup in screen coordinates when the window is layered; later uses move it. It takes the
    // control's font (face, style and a line height of its size + 6) and text colour.
    bool OpenOver(MControlFont& control, CRect rect, const CString& text, bool selectAll);
    // Places it over rect without opening it.
    bool PlaceOver(MControlFont& control, CRect rect);
};
