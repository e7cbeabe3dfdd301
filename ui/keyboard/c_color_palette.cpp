#include "ui/keyboard/c_color_palette.h"

#include <cwctype>

#include "ui/controls/fallback_look.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/m_spin_button.h"
#include "ui/controls/m_text.h"
#include "ui/framework/m_render.h"
#include "ui/keyboard/c_color_button.h"
#include "ui/keyboard/m_palette.h"

namespace {

constexpr COLORREF kPresetColors[CColorPalette::kPresetCount] = {0x001B55, 0x23A2F9, 0x31FEFE, 0x29FF4C,
                                                                 0xFEFF50, 0xFC1517, 0x7F007C, 0xFC00F7};
constexpr const wchar_t* kLabels[4] = {L"R", L"G", L"B", L"#"};
constexpr int kPresetSize = 20;
constexpr int kPresetPitch = 25;
constexpr int kFieldTop = 27;
constexpr int kFieldWidth = 233;
constexpr int kColumnLeft = 240;
constexpr int kSelectedWidth = 50;
constexpr int kSelectedHeight = 30;
constexpr int kRowHeight = 24;
constexpr int kRowPitch = 28;
constexpr int kLabelWidth = 20;
constexpr int kBoxLeft = 24;
constexpr int kBoxWidth = 60;
constexpr int kHexDigits = 6;
constexpr int kHexFontSize = 12;

// The hex box: a light field with dark text, the same as its editor shows while typing.
class HexEdit : public MEdit {
public:
    HexEdit(MObject* parent, unsigned id, CRect rect) : MEdit(parent, id, rect, L"", 1, 1) {}

    void DrawControl(HDC& hdc, CRect clip) override
    {
        if (m_image) {
            MEdit::DrawControl(hdc, clip);
            return;
        }
        const int w = m_rect.Width();
        const int h = m_rect.Height();
        if (UpdateMemDC(hdc, w, h)) {
            GraphicsOn g(m_memDC);
            FallbackLook::RoundRect(g, CRect(0, 0, w, h), 0, CColorPalette::kHexBackColor,
                                    IsEditing() ? FallbackLook::kAccent : FallbackLook::kPanelEdge);
            if (!IsEditing())
                MRender::DrawString(g, m_title, DrawFont(), GetTextRect(), TitleFormat(),
                                    m_enabled ? m_textColor : FallbackLook::kDisabledText, m_hint);
        }
        CopyMemDC(hdc, clip);
    }
};

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    c = static_cast<wchar_t>(std::towupper(c));
    return c >= L'A' && c <= L'F' ? c - L'A' + 10 : -1;
}

} // namespace

CColorPalette::CColorPalette(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible)
{
    EnableScroll(0);
}

CString CColorPalette::HexText(COLORREF colour)
{
    return FormatText(L"%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

int CColorPalette::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (m_built)
        return 1;
    m_built = true;
    const int x0 = m_rect.left;
    const int y0 = m_rect.top;
    for (int i = 0; i < kPresetCount; ++i) {
        const int x = x0 + i * kPresetPitch;
        auto* swatch = static_cast<CColorButton*>(
            CreateControl(L"CColorButton", kFirstPresetId + i,
                          CRect(x, y0 + 5, x + kPresetSize, y0 + 5 + kPresetSize), L"", 1, 1));
        if (!swatch)
            continue;
        swatch->SetGroupName(L"clr_palette_group");
        swatch->SetColor(kPresetColors[i]);
        m_presets[i] = swatch;
    }
    m_palette = static_cast<MPalette*>(CreateControl(
        L"MPalette", kFieldId, CRect(x0, y0 + kFieldTop, x0 + kFieldWidth, m_rect.bottom - 4), L"", 1, 1));
    if (m_palette) {
        m_palette->SetPalletHeight(m_palette->GetRect().Height() - 2);
        m_palette->SetThumbImage(L"img_palette_thumb.png");
    }
    const int cx = x0 + kColumnLeft;
    m_selected = static_cast<CColorButton*>(CreateControl(
        L"CColorButton", kSelectedId,
        CRect(cx, y0 + kFieldTop, cx + kSelectedWidth, y0 + kFieldTop + kSelectedHeight), L"", 1, 1));
    if (m_selected) {
        m_selected->SetColor(kSelectedColor);
        m_selected->SetGroupName(L"clr_sel_group");
        m_selected->SetCheck(1);
    }
    const int rows = y0 + kFieldTop + kSelectedHeight + 8;
    for (int i = 0; i < 4; ++i) {
        const int y = rows + i * kRowPitch;
        m_labels[i] = static_cast<MText*>(CreateArea(
            L"MText", kFirstLabelId + i, CRect(cx, y, cx + kLabelWidth, y + kRowHeight), kLabels[i], 1, 0));
        if (m_labels[i])
            m_labels[i]->SetTextColor(m_textColor);
        const CRect box(cx + kBoxLeft, y, cx + kBoxLeft + kBoxWidth, y + kRowHeight);
        if (i < 3) {
            m_spins[i] =
                static_cast<CSpinButton*>(CreateControl(L"CSpinButton", kFirstSpinId + i, box, L"", 1, 1));
            if (m_spins[i]) {
                m_spins[i]->SetRange(0, 255);
                m_spins[i]->SetTextColor(m_textColor);
            }
            continue;
        }
        m_hex = static_cast<MEdit*>(AddControl(std::make_unique<HexEdit>(this, kHexId, box)));
        m_hex->SetFont(nullptr, kHexFontSize, FontStyleRegular);
        m_hex->SetLimitText(kHexDigits);
        m_hex->SetEditBKColor(kHexBackColor);
        m_hex->SetTextColor(kHexTextColor);
        m_hex->SetAlignment(1);
    }
    if (m_selected) {
        ShowInSpins(m_selected->GetColor());
        ShowInHex(m_selected->GetColor());
        if (m_palette)
            m_palette->SetSelectColor(m_selected->GetColor());
    }
    return 1;
}

CColorButton* CColorPalette::GetPreset(int index) const
{
    return index >= 0 && index < kPresetCount ? m_presets[index] : nullptr;
}

CSpinButton* CColorPalette::GetSpin(int channel) const
{
    return channel >= 0 && channel < 3 ? m_spins[channel] : nullptr;
}

COLORREF CColorPalette::GetSelectColor() const
{
    return m_palette ? m_palette->GetSelectColor() : 0;
}

void CColorPalette::SetSelectColor(unsigned long colour)
{
    const auto c = static_cast<COLORREF>(colour & 0xFFFFFF);
    if (m_palette)
        m_palette->SetSelectColor(c);
    ShowInSpins(c);
    ShowInHex(c);
}

int CColorPalette::SetThumbImage(const wchar_t* file)
{
    return m_palette ? m_palette->SetThumbImage(file) : 0;
}

int CColorPalette::SetImage(const wchar_t* file, int count)
{
    int loaded = 0;
    for (CSpinButton* spin : m_spins) {
        if (spin)
            loaded = spin->SetImage(file, count);
    }
    return loaded;
}

void CColorPalette::SetTextColor(ARGB colour)
{
    MPanel::SetTextColor(colour);
    for (MText* label : m_labels) {
        if (label)
            label->SetTextColor(colour);
    }
    for (CSpinButton* spin : m_spins) {
        if (spin)
            spin->SetTextColor(colour);
    }
}

void CColorPalette::UpdateControlEx(int redraw)
{
    UpdateControl(redraw, 0);
    m_areas.ForEach([redraw](MControl* c) { c->UpdateControl(redraw, 0); });
    m_children.ForEach([redraw](MControl* c) { c->UpdateControl(redraw, 0); });
}

void CColorPalette::ShowInSpins(COLORREF colour)
{
    const int channels[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    for (int i = 0; i < 3; ++i) {
        if (m_spins[i])
            m_spins[i]->SetValue(channels[i]);
    }
}

void CColorPalette::ShowInHex(COLORREF colour)
{
    if (m_hex)
        m_hex->SetControlTitle(HexText(colour).c_str());
}

COLORREF CColorPalette::SpinColor() const
{
    int channels[3] = {};
    for (int i = 0; i < 3; ++i)
        channels[i] = m_spins[i] ? m_spins[i]->GetValue() : 0;
    return RGB(static_cast<uint8_t>(channels[0]), static_cast<uint8_t>(channels[1]),
               static_cast<uint8_t>(channels[2]));
}

void CColorPalette::SetSelItemColor(COLORREF colour)
{
    if (m_selected && m_selected->GetCheck() && m_selected->GetColor() != colour)
        m_selected->SetColor(colour);
    SendMessageW(kNotifyColor, 0, static_cast<long>(colour));
}

long CColorPalette::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    if (id == kFieldId && code == MPalette::kNotifyColor && m_palette) {
        const COLORREF c = m_palette->GetSelectColor();
        ShowInSpins(c);
        ShowInHex(c);
        SetSelItemColor(c);
        // The composite's own 27 stands for it.
        return 1;
    }
    // A colour a swatch supplies goes everywhere.
    auto apply = [this](COLORREF c) {
        ShowInSpins(c);
        if (m_palette)
            m_palette->SetSelectColor(c);
        ShowInHex(c);
        SetSelItemColor(c);
    };
    if (code == MSpinButton::kNotifyValue && id >= kFirstSpinId && id < kFirstSpinId + 3) {
        const COLORREF c = SpinColor();
        if (m_palette)
            m_palette->SetSelectColor(c);
        ShowInHex(c);
        SetSelItemColor(c);
    } else if (code == 1 && id == kSelectedId && m_selected) {
        apply(m_selected->GetColor());
    } else if (code == 1 && id >= kFirstPresetId && id < kFirstPresetId + kPresetCount) {
        for (CColorButton* preset : m_presets) {
            if (preset && preset->GetCheck()) {
                if (preset->GetColor() != 0)
                    apply(preset->GetColor());
                break;
            }
        }
    } else if (code == 26 && id == kHexId && m_hex) {
        const CString text = m_hex->GetEditText();
        int digits[kHexDigits] = {};
        bool valid = text.size() == kHexDigits;
        for (size_t i = 0; valid && i < text.size(); ++i)
            valid = (digits[i] = HexDigit(text[i])) >= 0;
        if (valid) {
            const COLORREF c = RGB(static_cast<uint8_t>(digits[0] * 16 + digits[1]),
                                   static_cast<uint8_t>(digits[2] * 16 + digits[3]),
                                   static_cast<uint8_t>(digits[4] * 16 + digits[5]));
            ShowInSpins(c);
            if (m_palette)
                m_palette->SetSelectColor(c);
            SetSelItemColor(c);
        }
    }
    return MPanel::OnMessage(id, code, wParam, lParam);
}
