#include "ui/keyboard/c_color_select.h"

#include "ui/keyboard/c_color_button.h"

namespace {

constexpr COLORREF kColors[CColorSelect::kSwatchCount] = {0x0000FF, 0x00FF06, 0xFF0000, 0x00FFFF,
                                                          0xFF00FF, 0xFFFF00, 0xFFFFFF};

} // namespace

CColorSelect::CColorSelect(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible)
{
    EnableScroll(0);
}

int CColorSelect::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    if (m_built)
        return 1;
    m_built = true;
    for (int i = 0; i < kSwatchCount; ++i) {
        auto* swatch = static_cast<CColorButton*>(
            CreateControl(L"CColorButton", kFirstSwatchId + i, CRect(), L"", 1, m_enabled));
        if (!swatch)
            continue;
        swatch->SetGroupName(L"clr_palette_group");
        swatch->SetColor(kColors[i]);
        m_swatches[i] = swatch;
    }
    if (m_swatches[kSwatchCount - 1])
        m_swatches[kSwatchCount - 1]->SetVisibleBorder(true);
    Layout();
    return 1;
}

void CColorSelect::Layout()
{
    for (int i = 0; i < kSwatchCount; ++i) {
        if (!m_swatches[i])
            continue;
        const int top = m_rect.top + 5 + i * kPitch;
        m_swatches[i]->SetRect(CRect(m_rect.left, top, m_rect.left + kSwatchSize, top + kSwatchSize));
    }
}

void CColorSelect::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    Layout();
}

void CColorSelect::SetControlEnabled(int enabled)
{
    MPanel::SetControlEnabled(enabled);
    for (CColorButton* swatch : m_swatches) {
        if (swatch)
            swatch->SetEnabled(enabled);
    }
}

CColorButton* CColorSelect::GetSwatch(int index) const
{
    return index >= 0 && index < kSwatchCount ? m_swatches[index] : nullptr;
}

int CColorSelect::GetColorIndex() const
{
    for (int i = 0; i < kSwatchCount; ++i) {
        if (m_swatches[i] && m_swatches[i]->GetCheck())
            return i;
    }
    return -1;
}

void CColorSelect::SetColorIndex(int index)
{
    if (index == -1) {
        for (CColorButton* swatch : m_swatches) {
            if (swatch)
                swatch->SetControlCheck(0);
        }
        return;
    }
    if (CColorButton* swatch = GetSwatch(index))
        swatch->SetCheck(1);
}

COLORREF CColorSelect::GetSelectColor() const
{
    const int index = GetColorIndex();
    return index >= 0 ? m_swatches[index]->GetColor() : 0;
}

void CColorSelect::SetSelectColor(unsigned long colour)
{
    for (int i = 0; i < kSwatchCount; ++i) {
        if (m_swatches[i] && m_swatches[i]->GetColor() == (colour & 0xFFFFFF)) {
            SetColorIndex(i);
            return;
        }
    }
    SetColorIndex(-1);
}

long CColorSelect::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    if (code == 1 && id >= kFirstSwatchId && id < kFirstSwatchId + kSwatchCount) {
        const int index = GetColorIndex();
        if (index >= 0 && m_swatches[index]->GetColor() != 0)
            SendMessageW(kNotifyColor, static_cast<unsigned>(index),
                         static_cast<long>(m_swatches[index]->GetColor()));
    }
    return MPanel::OnMessage(id, code, wParam, lParam);
}
