#include "ui/keyboard/keyboard_ctrl.h"

#include <cairo.h>
#include <cstdlib>

#include "ui/framework/image.h"
#include "ui/framework/img_res_info.h"
#include "ui/framework/m_render.h"
#include "ui/framework/messages.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/skin_folder.h"
#include "ui/framework/window_system.h"
#include "ui/keyboard/keyboard_tips.h"

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

CRect Inflated(CRect r, int by)
{
    r.InflateRect(by, by);
    return r;
}

bool Meets(const CRect& a, const CRect& b)
{
    CRect overlap;
    return overlap.IntersectRect(a, b);
}

} // namespace

KeyboardCtrl::KeyboardCtrl(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible)
{
    // The view draws its keys itself and never scrolls.
    m_scrollOn = 0;
}

KeyboardCtrl::~KeyboardCtrl() = default;

// --- MControl ---

int KeyboardCtrl::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    AddMTimer();
    return 1;
}

void KeyboardCtrl::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    if (!rect.IsRectEmpty() && m_layoutWidth > 0)
        CentrePicture();
    HideTip();
}

void KeyboardCtrl::SetControlVisible(int visible)
{
    MPanel::SetControlVisible(visible);
    if (!visible) {
        HideTip();
        m_hover = -1;
    }
}

void KeyboardCtrl::SetControlEnabled(int enabled)
{
    MPanel::SetControlEnabled(enabled);
    if (!enabled) {
        HideTip();
        EndDrag();
    }
}

void KeyboardCtrl::SetUpdate(int update, unsigned long reserved)
{
    MPanel::SetUpdate(update, reserved);
    if (m_tip && (!m_visible || !IsParentVisible()))
        HideTip();
}

int KeyboardCtrl::OnControlTimer(unsigned key)
{
    if (key != kAnimationTimerKey)
        return 0;
    if (m_mode != kModeLightPreview || m_frameCount <= 1)
        return 1;
    // Frames follow the clock rather than the count of ticks: the view may hear the tick twice (joined
    // itself, and through a running page).
    const int64_t now = WindowSystem::NowMs();
    const int64_t period = static_cast<int64_t>(m_ticksPerFrame) * kTickMs;
    if (now - m_frameStart < period)
        return 1;
    m_frameStart = now - m_frameStart >= 2 * period ? now : m_frameStart + period;
    m_frameIndex = (m_frameIndex + 1) % m_frameCount;
    RepaintAll();
    return 1;
}

// --- Input ---

int KeyboardCtrl::OnControlMouseMove(unsigned flags, CPoint point)
{
    if (!m_enabled)
        return 0;
    if (m_frameSelect && (flags & (MK_LBUTTON | MK_RBUTTON))) {
        FrameMove(point);
        return 1;
    }
    if (!m_rect.PtInRect(point)) {
        SetHover(-1);
        HideTip();
        return 0;
    }
    if (GetKeyScreenRect(m_hover).PtInRect(point)) {
        ShowTip(m_hover);
        return 1;
    }
    HideTip();
    // The tip of the newly hovered key shows on the next move inside it.
    SetHover(HitTest(point));
    return 1;
}

int KeyboardCtrl::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    EndDrag();
    m_pressPoint = m_framePoint = point;
    SetSelected(m_hover);
    return 1;
}

int KeyboardCtrl::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    EndDrag();
    if (!m_rect.PtInRect(point))
        return 0;
    int index = -1;
    unsigned long value = 0;
    {
        Lock lock(m_itemLock);
        m_currentKey = 0;
        if (ValidIndex(m_selected)) {
            index = m_selected;
            KEY_INFO& key = *m_items[static_cast<size_t>(index)];
            if (m_mode == kModePaint) {
                // Toggles between nothing and the paint colour; a second click clears the key.
                key.colour = key.colour == m_customColour ? 0 : m_customColour;
                RepaintKey(index);
            }
            m_currentKey = value = key.keyValue;
        }
    }
    SendMessageW(kNotifyClick, static_cast<unsigned>(index), static_cast<long>(value));
    return 1;
}

int KeyboardCtrl::OnControlRButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    m_pressPoint = m_framePoint = point;
    return 1;
}

int KeyboardCtrl::OnControlRButtonUp(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    if (m_dragging) {
        EndDrag();
        SendMessageW(kNotifyFrameSelect, 0, 0);
        return 1;
    }
    if (!m_rect.PtInRect(point))
        return 0;
    int index = -1;
    unsigned long value = 0;
    {
        Lock lock(m_itemLock);
        SetSelected(m_hover);
        if (ValidIndex(m_selected)) {
            index = m_selected;
            value = m_items[static_cast<size_t>(index)]->keyValue;
        }
        m_currentKey = value;
    }
    SendMessageW(kNotifyRightClick, static_cast<unsigned>(index), static_cast<long>(value));
    return 1;
}

void KeyboardCtrl::SetHover(int index)
{
    Lock lock(m_itemLock);
    if (index == m_hover)
        return;
    const int old = m_hover;
    m_hover = index;
    if (DrawsMarks()) {
        RepaintKey(old);
        RepaintKey(index);
    }
}

void KeyboardCtrl::SetSelected(int index)
{
    Lock lock(m_itemLock);
    if (index == m_selected)
        return;
    const int old = m_selected;
    m_selected = index;
    if (DrawsMarks()) {
        RepaintKey(old);
        RepaintKey(index);
    }
}

void KeyboardCtrl::FrameMove(CPoint point)
{
    if (!m_rect.PtInRect(point))
        return;
    if (std::abs(point.x - m_framePoint.x) <= kFrameStep && std::abs(point.y - m_framePoint.y) <= kFrameStep)
        return;
    m_framePoint = point;
    m_dragging = true;
    {
        Lock lock(m_itemLock);
        // The frame replaces the multi-selection.
        const CRect frame = GetSelectFrame();
        for (size_t i = 0; i < m_items.size(); ++i)
            m_items[i]->checked = Meets(frame, GetKeyScreenRect(static_cast<int>(i))) ? 1 : 0;
    }
    RepaintAll();
}

CRect KeyboardCtrl::GetSelectFrame() const
{
    if (!m_dragging)
        return {};
    const CRect frame(std::min(m_pressPoint.x, m_framePoint.x), std::min(m_pressPoint.y, m_framePoint.y),
                      std::max(m_pressPoint.x, m_framePoint.x), std::max(m_pressPoint.y, m_framePoint.y));
    if (frame.Width() < kMinFrameSize || frame.Height() < kMinFrameSize)
        return {};
    return frame;
}

void KeyboardCtrl::EndDrag()
{
    if (!m_dragging)
        return;
    m_dragging = false;
    // The frame is drawn only in the assignment view.
    if (m_mode == kModeAssign)
        RepaintAll();
}

// --- Tips ---

CKeyboardTips* KeyboardCtrl::TipWindow()
{
    if (!m_manager)
        return nullptr;
    const HWND owner = m_manager->GetPaintWnd();
    if (!WindowSystem::IsWindow(owner))
        return nullptr;
    if (!m_tip)
        m_tip = std::make_unique<CKeyboardTips>();
    if (!m_tip->IsLive()) {
        // Hidden until a tip shows; pointer input passes through to the view beneath.
        m_tip->Create(owner, L"KeyboardTip Window", kTipStyle & ~WS_VISIBLE,
                      WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT,
                      CRect());
        m_tip->LoadBKImage(L"img_tip_bk.png");
    }
    return m_tip->IsLive() ? m_tip.get() : nullptr;
}

void KeyboardCtrl::ShowTip(int index)
{
    if (!m_tipsEnabled || !m_manager)
        return;
    CString title, line1, line2;
    CRect screen;
    {
        Lock lock(m_itemLock);
        if (!ValidIndex(index))
            return;
        const KEY_INFO& key = *m_items[static_cast<size_t>(index)];
        title = key.text;
        if (!key.tip1.empty() || !key.tip2.empty()) {
            line1 = key.tip1;
            line2 = key.tip2;
        } else {
            line1 = m_title;
            line2 = key.text;
        }
        screen = LocalKeyRect(key);
    }
    // A tip without a title would show whatever it showed before.
    if (title.empty()) {
        HideTip();
        return;
    }
    screen.OffsetRect(GetWindowRect().TopLeft());
    CPoint anchor((screen.left + screen.right) / 2, screen.top);
    WindowSystem::ClientToScreen(m_manager->GetPaintWnd(), &anchor);
    CKeyboardTips* tip = TipWindow();
    if (!tip)
        return;
    tip->SetAirBladderMsg(title.c_str(), line1.c_str(), line2.c_str(), anchor);
    if (!tip->IsWindowVisible())
        tip->ShowWindow(SW_SHOWNOACTIVATE);
}

void KeyboardCtrl::HideTip()
{
    if (m_tip && m_tip->IsLive() && m_tip->IsWindowVisible())
        m_tip->ShowWindow(SW_HIDE);
}

void KeyboardCtrl::EnableKBTips(bool enable)
{
    m_tipsEnabled = enable;
    if (!enable)
        HideTip();
}

void KeyboardCtrl::EnableFrameSelect(int enable)
{
    m_frameSelect = enable;
    if (!enable)
        EndDrag();
}

// --- Items ---

bool KeyboardCtrl::ValidIndex(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < m_items.size();
}

KEY_INFO* KeyboardCtrl::FindKey(unsigned long key)
{
    for (const auto& item : m_items) {
        if (item->keyValue == key)
            return item.get();
    }
    return nullptr;
}

int KeyboardCtrl::AddKeyItem(const wchar_t* name, const wchar_t* text, unsigned long keyValue, CRect rect,
                             CString iconFile)
{
    auto item = std::make_unique<KEY_INFO>();
    item->keyValue = keyValue;
    item->name = name ? name : L"";
    item->text = text ? text : L"";
    item->rect = rect;
    if (!iconFile.empty()) {
        if (m_manager) {
            if (const ImgResInfo* info = m_manager->AddImgResInfo(iconFile.c_str(), 1))
                item->icon = info->image;
        } else {
            item->icon = MRender::LoadImageFromFile(SkinFilePath(iconFile));
        }
        if (item->icon) {
            item->iconWidth = item->icon->Width();
            item->iconHeight = item->icon->Height();
        }
    }
    int index = 0;
    {
        Lock lock(m_itemLock);
        index = static_cast<int>(m_items.size());
        item->index = index;
        m_items.push_back(std::move(item));
        ++m_itemCount;
    }
    RepaintAll();
    return index;
}

void KeyboardCtrl::ClearItem()
{
    HideTip();
    {
        Lock lock(m_itemLock);
        m_items.clear();
        m_hover = -1;
        m_selected = -1;
        m_dragging = false;
    }
    RepaintAll();
}

std::vector<KEY_INFO*> KeyboardCtrl::GetKeyItems()
{
    Lock lock(m_itemLock);
    std::vector<KEY_INFO*> items;
    items.reserve(m_items.size());
    for (const auto& item : m_items)
        items.push_back(item.get());
    return items;
}

// --- Picture and geometry ---

void KeyboardCtrl::SetKeyboardImage(CString file)
{
    ImagePtr image;
    if (m_manager) {
        if (const ImgResInfo* info = m_manager->AddImgResInfo(file.c_str(), 1))
            image = info->image;
    } else {
        image = MRender::LoadImageFromFile(SkinFilePath(file));
    }
    {
        Lock lock(m_itemLock);
        m_keyboardImage = std::move(image);
    }
    RepaintAll();
}

void KeyboardCtrl::SetWidthAndHeight(int width, int height)
{
    m_layoutWidth = width;
    m_layoutHeight = height;
    if (!m_rect.IsRectEmpty()) {
        CentrePicture();
        RepaintAll();
    }
}

void KeyboardCtrl::CentrePicture()
{
    m_scale = 1.0;
    m_offset.y = 0;
    m_offset.x = (m_rect.Width() - m_layoutWidth) / 2;
}

CRect KeyboardCtrl::LocalKeyRect(const KEY_INFO& key) const
{
    CRect r = key.rect;
    r.OffsetRect(m_offset);
    return r;
}

CRect KeyboardCtrl::GetKeyScreenRect(int index)
{
    Lock lock(m_itemLock);
    if (!ValidIndex(index))
        return {};
    CRect r = LocalKeyRect(*m_items[static_cast<size_t>(index)]);
    r.OffsetRect(m_rect.TopLeft());
    return r;
}

int KeyboardCtrl::HitTest(CPoint point)
{
    Lock lock(m_itemLock);
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (GetKeyScreenRect(static_cast<int>(i)).PtInRect(point))
            return static_cast<int>(i);
    }
    return -1;
}

// --- Mode, selection, marks ---

void KeyboardCtrl::SetKeyboardCtrlMode(int mode)
{
    m_mode = mode;
    EndDrag();
    UpdateRunTimer();
    if (m_visible)
        RepaintAll();
}

void KeyboardCtrl::SetSelectItem(int index)
{
    SetSelected(index);
}

void KeyboardCtrl::SetKeyCheck(unsigned long key, int checked)
{
    Lock lock(m_itemLock);
    KEY_INFO* item = FindKey(key);
    if (!item || item->checked == checked)
        return;
    item->checked = checked;
    if (DrawsMarks())
        RepaintKey(item->index);
}

void KeyboardCtrl::ResetAllItemCheck()
{
    ResetAllItemCheck(0);
}

void KeyboardCtrl::ResetAllItemCheck(int value)
{
    {
        Lock lock(m_itemLock);
        for (const auto& item : m_items)
            item->checked = value;
        m_selected = -1;
    }
    RepaintAll();
}

int KeyboardCtrl::GetCheckItemCount()
{
    Lock lock(m_itemLock);
    int count = 0;
    for (const auto& item : m_items)
        count += item->checked ? 1 : 0;
    return count;
}

// --- Colours ---

void KeyboardCtrl::SetKeyColor(unsigned long key, unsigned long colour)
{
    Lock lock(m_itemLock);
    KEY_INFO* item = FindKey(key);
    const auto c = static_cast<COLORREF>(colour);
    if (!item || item->colour == c)
        return;
    item->colour = c;
    if (DrawsColours())
        RepaintKey(item->index);
}

unsigned long KeyboardCtrl::GetKeyColor(unsigned long key)
{
    Lock lock(m_itemLock);
    const KEY_INFO* item = FindKey(key);
    return item ? item->colour : 0;
}

void KeyboardCtrl::ResetAllItemsColor(unsigned long colour)
{
    {
        Lock lock(m_itemLock);
        for (const auto& item : m_items)
            item->colour = static_cast<COLORREF>(colour);
    }
    RepaintAll();
}

void KeyboardCtrl::SetAllSelectColor(unsigned long colour)
{
    {
        Lock lock(m_itemLock);
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (m_items[i]->checked || static_cast<int>(i) == m_selected)
                m_items[i]->colour = static_cast<COLORREF>(colour);
        }
    }
    RepaintAll();
}

void KeyboardCtrl::SetLightModeColor(int white, unsigned long colour)
{
    ResetAllItemsColor(white ? kWhite : colour);
}

void KeyboardCtrl::SetCustomColor(unsigned long colour)
{
    m_customColour = static_cast<COLORREF>(colour);
}

void KeyboardCtrl::SetMusicBrightness(int value)
{
    if (value == m_musicBrightness)
        return;
    m_musicBrightness = value;
    ResetAllItemsColor(kMusicColour);
}

// --- Lighting preview ---

void KeyboardCtrl::SetLightModeData(const unsigned char* data, int length)
{
    {
        Lock lock(m_itemLock);
        const size_t keys = m_items.size();
        // Without keys there is no frame to cut the bytes into.
        if (!data || length <= 0 || keys == 0) {
            m_lightData.clear();
            m_frameCount = 0;
        } else {
            m_lightData.assign(data, data + length);
            m_frameCount = static_cast<int>(static_cast<size_t>(length) / keys);
        }
        m_frameIndex = 0;
        m_frameStart = WindowSystem::NowMs();
    }
    UpdateRunTimer();
    RepaintAll();
}

void KeyboardCtrl::SetLightSpeed(int speed)
{
    switch (speed) {
    case 0:
        m_ticksPerFrame = 5;
        break;
    case 1:
        m_ticksPerFrame = 4;
        break;
    case 2:
        m_ticksPerFrame = 3;
        break;
    case 3:
        m_ticksPerFrame = 2;
        break;
    default:
        m_ticksPerFrame = 1;
        break;
    }
}

void KeyboardCtrl::UpdateRunTimer()
{
    const bool wanted = m_mode == kModeLightPreview && m_frameCount > 1;
    if (wanted && !m_runTimer) {
        m_ownRunTimer = true;
        SetRunTimer(1);
    } else if (!wanted && m_ownRunTimer) {
        m_ownRunTimer = false;
        SetRunTimer(0);
    }
}

uint8_t KeyboardCtrl::PreviewAlpha(int index) const
{
    if (m_frameCount <= 0)
        return 255;
    const size_t at = static_cast<size_t>(m_frameIndex) * m_items.size() + static_cast<size_t>(index);
    return at < m_lightData.size() ? m_lightData[at] : 255;
}

// --- Texts and tips ---

void KeyboardCtrl::SetTipKey(unsigned long key, CString line1, CString line2)
{
    Lock lock(m_itemLock);
    if (KEY_INFO* item = FindKey(key)) {
        item->tip1 = std::move(line1);
        item->tip2 = std::move(line2);
    }
}

void KeyboardCtrl::ResetTipKey()
{
    Lock lock(m_itemLock);
    for (const auto& item : m_items) {
        item->tip1.clear();
        item->tip2.clear();
    }
}

void KeyboardCtrl::SetKeyDesc(unsigned long key, CString text)
{
    Lock lock(m_itemLock);
    KEY_INFO* item = FindKey(key);
    if (!item)
        return;
    item->name = text;
    item->text = std::move(text);
    if (m_mode == kModeBlocks)
        RepaintKey(item->index);
}

// --- Repaint requests ---

void KeyboardCtrl::RepaintKey(int index)
{
    Lock lock(m_itemLock);
    if (!ValidIndex(index))
        return;
    CRect area;
    if (!area.IntersectRect(Inflated(LocalKeyRect(*m_items[static_cast<size_t>(index)]), kKeyMargin),
                            CRect(CPoint(), m_rect.Size())))
        return;
    m_dirty.UnionRect(m_dirty, area);
    area.OffsetRect(m_rect.TopLeft());
    UpdateControl(area, 0, 0);
}

void KeyboardCtrl::RepaintAll()
{
    SetUpdate(0);
    UpdateControl(1, 0);
}

// --- Drawing ---

void KeyboardCtrl::DrawControl(HDC& hdc, CRect clip)
{
    Lock lock(m_itemLock);
    const CRect bounds(CPoint(), m_rect.Size());
    if (UpdateMemDC(hdc, bounds.Width(), bounds.Height())) {
        m_dirty.SetRectEmpty();
        Render(bounds);
    } else if (!m_dirty.IsRectEmpty() && hdc && m_memDC.IsValid()) {
        // Only the changed keys: the window's pixels under them, then the keys drawn again.
        CRect local = clip;
        local.OffsetRect(-m_rect.left, -m_rect.top);
        CRect part;
        if (part.IntersectRect(m_dirty, local)) {
            m_memDC.Fill(part, 0);
            MRender::BitBlt(&m_memDC, part.left, part.top, part.Width(), part.Height(), hdc,
                            m_rect.left + part.left, m_rect.top + part.top);
            Render(part);
            if (part == m_dirty)
                m_dirty.SetRectEmpty();
        }
    }
    CopyMemDC(hdc, clip);
}

void KeyboardCtrl::Render(const CRect& area)
{
    if (!m_memDC.IsValid())
        return;
    const bool picture = m_mode >= kModeAssign && m_mode <= kModeMusic;
    if (m_mode != kModeBlocks && (!picture || !m_keyboardImage))
        return;
    GraphicsOn g(m_memDC);
    cairo_rectangle(g, area.left, area.top, area.Width(), area.Height());
    cairo_clip(g);
    if (m_mode == kModeBlocks) {
        for (const auto& item : m_items) {
            const CRect r = LocalKeyRect(*item);
            if (Meets(Inflated(r, kKeyMargin), area))
                DrawBlock(g, *item, r);
        }
        return;
    }
    const CRect whole(0, 0, m_keyboardImage->Width(), m_keyboardImage->Height());
    CRect placed = whole;
    placed.OffsetRect(m_offset);
    MRender::DrawImage(g, m_keyboardImage.get(), placed, whole);
    for (size_t i = 0; i < m_items.size(); ++i) {
        const KEY_INFO& item = *m_items[i];
        const CRect r = LocalKeyRect(item);
        if (!Meets(Inflated(r, kKeyMargin), area))
            continue;
        const int index = static_cast<int>(i);
        switch (m_mode) {
        case kModeAssign:
            if (item.checked || index == m_hover || index == m_selected)
                DrawOutline(g, r, kMarkColour);
            break;
        case kModeLightPreview:
            DrawOutline(g, r, kPreviewColour | (static_cast<ARGB>(PreviewAlpha(index)) << 24));
            break;
        default:
            DrawOutline(g, r, ColorRefToARGB(item.colour));
            break;
        }
    }
    if (m_mode == kModeAssign && m_dragging) {
        CRect frame = GetSelectFrame();
        if (!frame.IsRectEmpty()) {
            frame.OffsetRect(-m_rect.left, -m_rect.top);
            static constexpr double kDots[] = {2.0, 2.0};
            cairo_save(g);
            cairo_set_dash(g, kDots, 2, 0);
            cairo_set_line_width(g, kFramePen);
            SetSourceARGB(g, kFrameColour);
            cairo_rectangle(g, frame.left, frame.top, frame.Width(), frame.Height());
            cairo_stroke(g);
            cairo_restore(g);
        }
    }
}

void KeyboardCtrl::DrawOutline(Graphics* g, const CRect& rect, ARGB colour) const
{
    MRender::DrawRoundRectange(g, static_cast<float>(rect.left), static_cast<float>(rect.top),
                               static_cast<float>(rect.Width()), static_cast<float>(rect.Height()),
                               kOutlineDivisor, colour, kOutlinePen);
}

void KeyboardCtrl::DrawBlock(Graphics* g, const KEY_INFO& key, const CRect& rect)
{
    CRect block = rect;
    block.DeflateRect(1, 1);
    if (!block.IsRectEmpty()) {
        SetSourceARGB(g, kBlockColour);
        cairo_rectangle(g, block.left, block.top, block.Width(), block.Height());
        cairo_fill(g);
    }
    const TextFont font{DrawFont().family, static_cast<float>(kLabelSize * m_scale), m_fontStyle};
    StringFormat format;
    format.alignment = StringAlignmentCenter;
    format.lineAlignment = StringAlignmentCenter;
    format.flags = StringFormatFlagsNoWrap;
    auto label = [&](const CRect& where) {
        CRect shadow = where;
        shadow.OffsetRect(1, 1);
        MRender::DrawString(g, key.name, font, shadow, format, kShadowColour, m_hint);
        MRender::DrawString(g, key.name, font, where, format, kLabelColour, m_hint);
    };
    const CRect text(CPoint(rect.left + 1, rect.top + 1), rect.Size());
    if (!key.icon) {
        label(text);
        return;
    }
    CPoint at(rect.left + (rect.Width() - key.iconWidth) / 2,
              rect.top + (rect.Height() - key.iconHeight) / 2);
    if (!key.name.empty()) {
        CRect upper = text;
        upper.bottom = upper.top + std::max(rect.Height() - kIconBand, 0);
        label(upper);
        at.y = rect.bottom - kIconBand;
    }
    MRender::DrawImage(g, key.icon.get(), CRect(at, CSize(key.iconWidth, key.iconHeight)),
                       CRect(0, 0, key.iconWidth, key.iconHeight));
}
