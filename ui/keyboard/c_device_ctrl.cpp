#include "ui/keyboard/c_device_ctrl.h"

#include <algorithm>

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"
#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

CDeviceCtrl::CDeviceCtrl(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 2;
    m_hAlign = 1;
}

void CDeviceCtrl::Relayout()
{
    std::lock_guard lock(m_lock);
    m_connected = 0;
    for (const Device& d : m_devices)
        m_connected += d.state == kConnected ? 1 : 0;
    int y = m_rect.top;
    // Connected models first, then the listed ones; nothing at all while none is connected.
    for (int state : {kConnected, kListed}) {
        for (Device& d : m_devices) {
            if (d.state != state)
                continue;
            if (m_connected == 0) {
                d.row = CRect();
                continue;
            }
            d.row = CRect(m_rect.left, y, m_rect.right, y + kRowHeight);
            y += m_rowPitch;
        }
    }
    for (Device& d : m_devices) {
        if (d.state != kConnected && d.state != kListed)
            d.row = CRect();
    }
}

void CDeviceCtrl::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    Relayout();
}

void CDeviceCtrl::SetRowPitch(int pitch)
{
    m_rowPitch = std::max(pitch, 1);
    Relayout();
    UpdateControl();
}

void CDeviceCtrl::AddDevice(CString name, int vendorId, int productId, int type, bool listed)
{
    {
        std::lock_guard lock(m_lock);
        m_devices.push_back(
            {std::move(name), vendorId, productId, type, listed ? kListed : kHidden, listed, {}});
    }
    Relayout();
}

void CDeviceCtrl::SetDeviceState(int type, int state)
{
    {
        std::lock_guard lock(m_lock);
        for (size_t i = 0; i < m_devices.size(); ++i) {
            if (m_devices[i].type != type)
                continue;
            m_devices[i].state = state;
            if (state != 0)
                m_current = static_cast<int>(i);
            break;
        }
    }
    Relayout();
    UpdateControl();
}

void CDeviceCtrl::ResetAllState()
{
    {
        std::lock_guard lock(m_lock);
        for (Device& d : m_devices)
            d.state = kHidden;
    }
    m_hot = -1;
    Relayout();
    UpdateControl();
}

void CDeviceCtrl::ClearList()
{
    {
        std::lock_guard lock(m_lock);
        m_devices.clear();
    }
    m_hot = m_current = -1;
    Relayout();
    UpdateControl();
}

int CDeviceCtrl::GetCurDeviceType() const
{
    std::lock_guard lock(m_lock);
    if (m_connected == 0 || m_current < 0 || m_current >= static_cast<int>(m_devices.size()))
        return 0;
    return m_devices[static_cast<size_t>(m_current)].type;
}

int CDeviceCtrl::GetDeviceCount() const
{
    std::lock_guard lock(m_lock);
    return static_cast<int>(m_devices.size());
}

int CDeviceCtrl::GetDeviceState(int index) const
{
    std::lock_guard lock(m_lock);
    return index >= 0 && index < static_cast<int>(m_devices.size())
               ? m_devices[static_cast<size_t>(index)].state
               : -1;
}

CRect CDeviceCtrl::GetDeviceRect(int index) const
{
    std::lock_guard lock(m_lock);
    return index >= 0 && index < static_cast<int>(m_devices.size())
               ? m_devices[static_cast<size_t>(index)].row
               : CRect();
}

int CDeviceCtrl::RowAt(CPoint point) const
{
    if (!PtInRect(point))
        return -1;
    std::lock_guard lock(m_lock);
    for (size_t i = 0; i < m_devices.size(); ++i) {
        if (m_devices[i].row.PtInRect(point))
            return static_cast<int>(i);
    }
    return -1;
}

void CDeviceCtrl::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h) && m_memDC.IsValid()) {
        GraphicsOn g(m_memDC);
        StringFormat format;
        format.alignment = StringAlignmentCenter;
        format.lineAlignment = StringAlignmentCenter;
        format.flags = StringFormatFlagsNoWrap;
        const TextFont font = DrawFont();
        std::lock_guard lock(m_lock);
        for (int state : {kConnected, kListed}) {
            for (const Device& d : m_devices) {
                if (d.state != state || d.row.IsRectEmpty())
                    continue;
                CRect row = d.row;
                row.OffsetRect(-m_rect.left, -m_rect.top);
                const int frame = state == kConnected ? 1 : 0;
                if (m_image && m_imageWidth > 0)
                    MRender::DrawImageFrame(g, m_image.get(), row, frame * m_imageWidth, 0, m_imageWidth,
                                            m_imageHeight, kCorner);
                else
                    FallbackLook::RoundRect(g, row, 6, frame ? FallbackLook::kHover : FallbackLook::kPanel,
                                            frame ? FallbackLook::kAccent : FallbackLook::kPanelEdge);
                MRender::DrawString(g, d.name, font, row, format, frame ? m_textColor : kListedText, m_hint);
            }
        }
    }
    CopyMemDC(hdc, clip);
}

int CDeviceCtrl::OnControlSetCursor(unsigned /*flags*/, CPoint point)
{
    const bool overRow = m_enabled && RowAt(point) >= 0;
    if (overRow || m_cursorShown)
        WindowSystem::SetCursor(WindowSystem::LoadCursorW(nullptr, overRow ? IDC_HAND : IDC_ARROW));
    m_cursorShown = overRow;
    return overRow ? 1 : 0;
}

int CDeviceCtrl::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    const int row = RowAt(point);
    if (row != m_hot) {
        m_hot = row;
        UpdateControl();
    }
    return 0;
}

int CDeviceCtrl::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    const int row = RowAt(point);
    if (row < 0)
        return 0;
    m_hot = m_current = row;
    SendMessageW(kNotifyPress, static_cast<unsigned>(row));
    return 1;
}
