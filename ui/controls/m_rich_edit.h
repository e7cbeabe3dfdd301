#pragma once
// The rich edits: text fields of several lines on the same in-place editor as MEdit (there are no
// system text services here; the editor window draws its own caret).
//
// MRichEdit ("MRichEdit"): a panel showing its title wrapped over several lines (a grey cue text while
// empty); a press opens the editor over it with the caret where the press was.
// MEditEx ("MEditEx"): a rich edit that also shows how many characters of its limit are used.
// CLogonEdit (no name; constructed directly): a one-line rich edit for a user name or password, with an
// icon at its left.
//
// Input:
//   press               → the editor opens (30) with the caret at the press, notification 1
//   release after it    → notification 2
//   in the editor       → Enter starts a new line (CLogonEdit: closes); Ctrl+Enter and focus loss close
//                         keeping the text; Escape puts the old text back; changes 26, closing 29
// and what every edit field does (EditFieldControl).

#include "ui/controls/edit_field.h"
#include "ui/framework/m_panel.h"

class MRichEdit : public EditFieldControl<MPanel> {
public:
    static constexpr unsigned kNotifyPress = 1;
    static constexpr unsigned kNotifyClick = 2;
    static constexpr int kInset = 6;

    MRichEdit(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~MRichEdit() override;

    // --- MControl ---
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;

    // Shown in grey while the text is empty and the editor closed.
    void SetCueText(const wchar_t* text);
    const CString& GetCueText() const { return m_cue; }

    // Opens the editor with the caret at the end of the text.
    void ShowEdit() override;

protected:
    // Where the text goes, in the control's own coordinates.
    virtual CRect TextArea() const;
    // What a derived field draws on top of the text (in the control's own coordinates).
    virtual void DrawExtras(Graphics* /*g*/) {}
    // Opens the editor; with a press point (window coordinates) the caret goes there.
    void OpenEditor(const CPoint* press);
    CRect EditorRect() const override;

    CString m_cue;
    bool m_hover = false;
    bool m_pressedHere = false;
};

class MEditEx : public MRichEdit {
public:
    MEditEx(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    // "used/limit" as the counter shows it.
    CString CounterText() const;

protected:
    CRect TextArea() const override;
    void DrawExtras(Graphics* g) override;
};

class CLogonEdit : public MRichEdit {
public:
    CLogonEdit(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    // An icon strip from the skin folder (frames: normal, focused) at the field's left.
    int SetIconImage(const wchar_t* file, int count);
    CRect GetIconRect() const;

protected:
    CRect TextArea() const override;
    void DrawExtras(Graphics* g) override;

private:
    FieldIcon m_icon;
};
