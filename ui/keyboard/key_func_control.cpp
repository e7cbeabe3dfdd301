#include "ui/keyboard/key_func_control.h"

#include <algorithm>

#include "ui/controls/control_helpers.h"
#include "ui/controls/fallback_look.h"
#include "ui/framework/image.h"
#include "ui/framework/img_res_info.h"
#include "ui/framework/m_render.h"
#include "ui/framework/messages.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/window_system.h"
#include "ui/keyboard/key_func_catalogue.h"

namespace {

void ShowCursor(const wchar_t* id)
{
    WindowSystem::SetCursor(WindowSystem::LoadCursorW(nullptr, id));
}

} // namespace

KeyFuncControl::KeyFuncControl(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible)
{
}

KeyFuncControl::~KeyFuncControl() = default;

int KeyFuncControl::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    std::lock_guard lock(m_itemsLock);
    LoadIconsLocked();
    return 1;
}

// --- Catalogue ---

void KeyFuncControl::LoadIconsLocked()
{
    if (!m_manager)
        return;
    for (KeyFuncItem& item : m_items) {
        if (item.icon || item.iconFile.empty())
            continue;
        // A missing picture leaves the button with its label.
        if (const ImgResInfo* info = m_manager->AddImgResInfo(item.iconFile.c_str(), 1))
            item.icon = info->image;
    }
}

void KeyFuncControl::InitItemInfo()
{
    ClearItems();
    {
        std::lock_guard lock(m_itemsLock);
        m_items.reserve(KeyFuncCatalogue().size());
        for (const KeyFuncEntry& entry : KeyFuncCatalogue()) {
            KeyFuncItem item;
            item.label = entry.label;
            item.value = entry.value;
            item.rect = entry.rect;
            if (entry.icon)
                item.iconFile = entry.icon;
            m_items.push_back(std::move(item));
        }
        LoadIconsLocked();
    }
    UpdateControl();
}

void KeyFuncControl::ClearItems()
{
    ForgetHover();
    {
        std::lock_guard lock(m_itemsLock);
        m_items.clear();
        m_pressedItem = m_markedItem = -1;
    }
    UpdateControl();
}

void KeyFuncControl::SetItemDesc(int value, CString text)
{
    bool found = false;
    {
        std::lock_guard lock(m_itemsLock);
        const auto it = std::find_if(m_items.begin(), m_items.end(),
                                     [value](const KeyFuncItem& item) { return item.value == value; });
        if (it != m_items.end()) {
            it->label = std::move(text);
            found = true;
        }
    }
    if (found)
        UpdateControl();
}

bool KeyFuncControl::GetCurItemData(int& /*first*/, int& value, int& data2, int& data3, CString& label)
{
    std::lock_guard lock(m_itemsLock);
    if (m_pressedItem < 0 || m_pressedItem >= static_cast<int>(m_items.size()))
        return false;
    const KeyFuncItem& item = m_items[static_cast<size_t>(m_pressedItem)];
    value = item.value;
    data2 = item.data2;
    data3 = item.data3;
    label = item.label;
    return true;
}

void KeyFuncControl::SetItemCheckByItemData(int value, int data2, int data3)
{
    {
        std::lock_guard lock(m_itemsLock);
        m_pressedItem = -1;
        m_markedItem = -1;
        if (value != 0) {
            for (size_t i = 0; i < m_items.size(); ++i) {
                const KeyFuncItem& item = m_items[i];
                if (item.value == value && item.data2 == data2 && item.data3 == data3) {
                    m_markedItem = static_cast<int>(i);
                    break;
                }
            }
        }
    }
    UpdateControl();
}

int KeyFuncControl::GetItemCount() const
{
    std::lock_guard lock(m_itemsLock);
    return static_cast<int>(m_items.size());
}

std::optional<KeyFuncItem> KeyFuncControl::GetItem(int index) const
{
    std::lock_guard lock(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return std::nullopt;
    return m_items[static_cast<size_t>(index)];
}

// --- Geometry ---

CRect KeyFuncControl::ButtonRect(const CRect& itemRect) const
{
    CRect r = itemRect;
    r.OffsetRect(m_rect.left, m_rect.top - GetScrollOffset().y);
    return r;
}

int KeyFuncControl::ItemAtLocked(CPoint point) const
{
    if (!PtInRect(point))
        return -1;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (ButtonRect(m_items[i].rect).PtInRect(point))
            return static_cast<int>(i);
    }
    return -1;
}

int KeyFuncControl::ItemAt(CPoint point) const
{
    std::lock_guard lock(m_itemsLock);
    return ItemAtLocked(point);
}

CRect KeyFuncControl::GetItemWindowRect(int index) const
{
    CRect r;
    {
        std::lock_guard lock(m_itemsLock);
        if (index < 0 || index >= static_cast<int>(m_items.size()))
            return {};
        r = ButtonRect(m_items[static_cast<size_t>(index)].rect);
    }
    return ControlRectInWindow(*this, r);
}

// --- Input ---

void KeyFuncControl::HideTip()
{
    if (m_tipItem >= 0 && m_manager && m_manager->GetTooltipCtrlID() == m_id)
        m_manager->ClearTooltip();
    m_tipItem = -1;
}

void KeyFuncControl::ForgetHover()
{
    HideTip();
    if (m_hotItem >= 0) {
        m_hotItem = -1;
        UpdateControl();
    }
}

void KeyFuncControl::ShowTip(int index)
{
    CString label;
    int value = 0;
    {
        std::lock_guard lock(m_itemsLock);
        if (index < 0 || index >= static_cast<int>(m_items.size()))
            return;
        label = m_items[static_cast<size_t>(index)].label;
        value = m_items[static_cast<size_t>(index)].value;
    }
    // The modifiers (224–231) and the keys say what they are on their face; only the special functions,
    // drawn as icons, need their description.
    if (value < kFirstSpecialValue || label.empty() || !m_manager)
        return;
    const bool shown = m_tipItem == index && m_manager->GetTooltipCtrlID() == m_id;
    if (shown)
        return;
    m_manager->SetTooltip(label.c_str(), GetItemWindowRect(index));
    m_manager->SetTooltipCtrlID(m_id);
    m_tipItem = index;
}

int KeyFuncControl::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    if (!PtInRect(point)) {
        // Only the control the pointer leaves puts the arrow back; others set their own cursors.
        if (m_inside)
            ShowCursor(IDC_ARROW);
        m_inside = false;
        ForgetHover();
        return 0;
    }
    const bool entered = !m_inside;
    m_inside = true;
    int hot = m_hotItem;
    {
        std::lock_guard lock(m_itemsLock);
        const bool still = hot >= 0 && hot < static_cast<int>(m_items.size()) &&
                           ButtonRect(m_items[static_cast<size_t>(hot)].rect).PtInRect(point);
        if (!still)
            hot = ItemAtLocked(point);
    }
    if (hot != m_hotItem) {
        if (m_hotItem >= 0)
            ShowCursor(IDC_ARROW);
        HideTip();
        m_hotItem = hot;
        UpdateControl();
    }
    if (hot >= 0) {
        ShowCursor(IDC_HAND);
        ShowTip(hot);
    } else if (entered) {
        ShowCursor(IDC_ARROW);
    }
    return 1;
}

int KeyFuncControl::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    const int index = ItemAt(point);
    m_hotItem = index;
    {
        std::lock_guard lock(m_itemsLock);
        m_pressedItem = index;
    }
    UpdateControl();
    SendMessageW(kNotifyPress, static_cast<unsigned>(index), 0);
    return 1;
}

int KeyFuncControl::OnControlScroll(int /*steps*/, unsigned /*down*/, CPoint /*point*/)
{
    return 1;
}

void KeyFuncControl::SetControlVisible(int visible)
{
    MPanel::SetControlVisible(visible);
    if (!visible) {
        m_inside = false;
        ForgetHover();
    }
}

void KeyFuncControl::SetControlEnabled(int enabled)
{
    MPanel::SetControlEnabled(enabled);
    if (!enabled) {
        m_inside = false;
        ForgetHover();
    }
}

// --- Drawing ---

void KeyFuncControl::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        TextFont font = DrawFont();
        font.style = FontStyleRegular;
        StringFormat format;
        format.alignment = StringAlignmentCenter;
        format.lineAlignment = StringAlignmentCenter;
        format.flags = StringFormatFlagsNoWrap;
        const ARGB text = m_enabled ? m_textColor : FallbackLook::kDisabledText;
        const int scroll = GetScrollOffset().y;
        std::lock_guard lock(m_itemsLock);
        for (size_t i = 0; i < m_items.size(); ++i) {
            const KeyFuncItem& item = m_items[i];
            CRect r = item.rect;
            r.OffsetRect(0, -scroll);
            const int index = static_cast<int>(i);
            const int frame = !m_enabled                                        ? 3
                              : index == m_pressedItem || index == m_markedItem ? 2
                              : index == m_hotItem                              ? 1
                                                                                : 0;
            if (m_image && m_imageWidth > 0) {
                const int f = std::clamp(frame, 0, std::max(m_imageCount - 1, 0));
                if (r.Width() <= kStretchMaxWidth)
                    MRender::DrawImage(g, m_image.get(), r,
                                       CRect(f * m_imageWidth, 0, (f + 1) * m_imageWidth, m_imageHeight));
                else
                    MRender::DrawImageFrame(g, m_image.get(), r, f * m_imageWidth, 0, m_imageWidth,
                                            m_imageHeight, kFrameBorder);
            } else {
                FallbackLook::ButtonFace(g, r, frame);
            }
            if (item.icon) {
                const CPoint c = r.CenterPoint();
                const CRect place(c.x - kIconSize / 2, c.y - kIconSize / 2, c.x + kIconSize / 2,
                                  c.y + kIconSize / 2);
                MRender::DrawImage(g, item.icon.get(), place,
                                   CRect(0, 0, item.icon->Width(), item.icon->Height()));
            } else if (!item.label.empty()) {
                MRender::DrawString(g, item.label, font, r, format, text, m_hint);
            }
        }
    }
    CopyMemDC(hdc, clip);
}
