#pragma once
// What the edit boxes (MEdit) and the rich edits (MRichEdit and its kin) share: the in-place editing of
// the control's title, and the drawing of the field behind the text.
//
// TitleEditor opens a CEditWnd over the control's text and keeps the title in step with it:
//   open                      → notification 30
//   every change by the user  → the title takes the text, notification 26
//   close (Enter, focus lost) → the title keeps the text, notification 29
//   Escape                    → the title takes back the text it opened with (26 when it differs), 29

#include <functional>
#include <memory>
#include <utility>

#include "core/color.h"
#include "ui/controls/c_edit_window.h"
#include "ui/framework/messages.h"

class MControlFont;
class PaintManager;

// A field's icon strip (a skin file cut into frames).
struct FieldIcon {
    ImagePtr image;
    int width = 0; // one frame
    int height = 0;
    int count = 1;

    // 1 when the file loads from the manager's image cache.
    int Load(PaintManager* manager, const wchar_t* file, int frames);
    explicit operator bool() const { return image && width > 0; }
    // At (left, top), frame `frame` (clamped to the strip).
    CRect At(int left, int top) const { return {left, top, left + width, top + height}; }
    void Draw(Graphics* g, const CRect& dest, int frame) const;
};

class TitleEditor : public EditWindowHost {
public:
    static constexpr unsigned kNotifyChanged = 26;
    static constexpr unsigned kNotifyEnded = 29;
    static constexpr unsigned kNotifyStarted = 30;

    explicit TitleEditor(MControlFont& control);
    ~TitleEditor() override;

    // The options are kept here and handed to the editor every time it opens (and at once while it is
    // open).
    void SetLimitText(int limit);
    int GetLimitText() const { return m_limit; }
    void SetNumberOnly(bool on);
    bool IsNumberOnly() const { return m_numberOnly; }
    void SetReadOnly(bool on);
    bool IsReadOnly() const { return m_readOnly; }
    void SetPassword(bool on);
    bool IsPassword() const { return m_password; }
    void SetPasswordChar(wchar_t c);
    wchar_t GetPasswordChar() const { return m_passwordChar; }
    void SetMultiLine(bool on);
    bool IsMultiLine() const { return m_multiLine; }
    void SetBackColor(ARGB colour);
    ARGB GetBackColor() const { return m_back; }

    // Opens over rect (the window's client coordinates) with the title, all of it selected; nothing
    // when already open. False when the control has no window to open on.
    bool Open(CRect windowRect, bool selectAll = true);
    // Closes, keeping the text.
    void Close();
    bool IsOpen() const { return m_window && m_window->IsOpen(); }
    void Move(CRect windowRect);
    // The edit window, once it was made.
    CEditWnd* Window() const { return m_window.get(); }
    // A character the user typed into the open editor.
    std::function<void(wchar_t)> onTyped;

    void OnEditChanged(CEditWindow& editor) override;
    void OnEditClosed(CEditWindow& editor, EditCloseReason reason) override;
    void OnEditTyped(CEditWindow& editor, wchar_t c) override;

private:
    void ApplyOptions();

    MControlFont& m_control;
    std::unique_ptr<CEditWnd> m_window;
    int m_limit = 0;
    bool m_numberOnly = false;
    bool m_readOnly = false;
    bool m_password = false;
    wchar_t m_passwordChar = L'*';
    bool m_multiLine = false;
    ARGB m_back = 0xFF333333;
};

// What every edit field does with its editor, whatever control it is built on (Base: MControlFont or
// MPanel):
//   losing the focus, hidden, disabled → the editor closes, keeping the text
//   moved                              → the editor follows
//   a title set while editing          → the editor shows it
//   Enter or F2 while focused          → the editor opens (ShowEdit)
template <class Base> class EditFieldControl : public Base {
public:
    template <class... Args>
    explicit EditFieldControl(Args&&... args) : Base(std::forward<Args>(args)...), m_editor(*this)
    {
        this->m_tabStop = 1;
    }

    // The current text (the title, kept in step while editing).
    CString GetEditText() const { return this->m_title; }
    void SetLimitText(int limit) { m_editor.SetLimitText(limit); }
    int GetLimitText() const { return m_editor.GetLimitText(); }
    void SetReadOnly(int on) { m_editor.SetReadOnly(on != 0); }
    void SetEditBKColor(ARGB colour) { m_editor.SetBackColor(colour); }
    // Shows (and edits) every character as the password character.
    void EnablePassWord(int on)
    {
        m_editor.SetPassword(on != 0);
        this->UpdateControl();
    }
    void SetPassWordChar(wchar_t c)
    {
        m_editor.SetPasswordChar(c);
        this->UpdateControl();
    }
    virtual void ShowEdit() = 0;
    void HideEdit() { m_editor.Close(); }
    bool IsEditing() const { return m_editor.IsOpen(); }
    TitleEditor& GetTitleEditor() { return m_editor; }

    int OnControlKeyDown(unsigned key, unsigned /*repeat*/, unsigned modifiers) override
    {
        constexpr unsigned kKeyF2 = VK_F1 + 1;
        if (!this->IsFocusControl() || m_editor.IsOpen() || modifiers != 0 ||
            (key != VK_RETURN && key != kKeyF2))
            return 0;
        ShowEdit();
        return 1;
    }
    void SetControlFocus(int focus) override
    {
        Base::SetControlFocus(focus);
        if (!focus)
            m_editor.Close();
    }
    void SetControlRect(CRect rect) override
    {
        Base::SetControlRect(rect);
        m_editor.Move(EditorRect());
    }
    void SetControlVisible(int visible) override
    {
        Base::SetControlVisible(visible);
        if (!visible)
            m_editor.Close();
    }
    void SetControlEnabled(int enabled) override
    {
        Base::SetControlEnabled(enabled);
        if (!enabled)
            m_editor.Close();
    }
    void SetControlTitle(const wchar_t* title) override
    {
        Base::SetControlTitle(title);
        if (m_editor.IsOpen())
            m_editor.Window()->SetText(this->m_title);
    }

protected:
    // Where the editor goes, in the window's client coordinates.
    virtual CRect EditorRect() const = 0;

    TitleEditor m_editor;
};

// The field behind an edit's text, in the control's own coordinates: frame `frame` of its picture strip
// nine-sliced over rect, or without a picture a panel-coloured box with a border (in the accent colour
// while `accent`) so that an empty field is still seen.
void DrawEditField(Graphics* g, const MControlFont& control, const CRect& rect, int frame, bool accent);

// The text an edit field shows: the password character for each character when hidden.
CString FieldText(const CString& title, bool password, wchar_t passwordChar);
