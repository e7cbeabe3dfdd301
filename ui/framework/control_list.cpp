#include "ui/framework/control_list.h"

#include <algorithm>

#include "ui/framework/m_control.h"

namespace {

thread_local int t_walkDepth = 0;
thread_local std::vector<std::unique_ptr<MControl>>* t_parked = nullptr;

} // namespace

WalkScope::WalkScope()
{
    ++t_walkDepth;
}

WalkScope::~WalkScope()
{
    if (--t_walkDepth > 0 || !t_parked)
        return;
    // Destroying a parked control may run handlers that walk and park again: repeat until none are left.
    ++t_walkDepth;
    while (t_parked && !t_parked->empty()) {
        std::vector<std::unique_ptr<MControl>> batch;
        batch.swap(*t_parked);
        batch.clear();
    }
    --t_walkDepth;
    delete t_parked;
    t_parked = nullptr;
}

bool WalkScope::Active()
{
    return t_walkDepth > 0;
}

void RetireControl(std::unique_ptr<MControl> control)
{
    if (!control)
        return;
    if (!WalkScope::Active())
        return; // destroyed here
    if (!t_parked)
        t_parked = new std::vector<std::unique_ptr<MControl>>();
    t_parked->push_back(std::move(control));
}

ControlList::~ControlList()
{
    // Children go before their parent's remaining members, in reverse creation order.
    std::vector<Owned> items = TakeAll();
    while (!items.empty())
        items.pop_back();
}

MControl* ControlList::Append(Owned control)
{
    MControl* raw = control.get();
    if (!raw)
        return nullptr;
    std::lock_guard lock(m_lock);
    raw->m_list = this;
    m_items.push_back(std::move(control));
    return raw;
}

ControlList::Owned ControlList::Take(const MControl* control)
{
    std::lock_guard lock(m_lock);
    const auto it = std::find_if(m_items.begin(), m_items.end(),
                                 [control](const Owned& o) { return o.get() == control; });
    if (it == m_items.end())
        return nullptr;
    Owned taken = std::move(*it);
    m_items.erase(it);
    taken->m_list = nullptr;
    return taken;
}

std::vector<ControlList::Owned> ControlList::TakeAll()
{
    std::lock_guard lock(m_lock);
    std::vector<Owned> all;
    all.swap(m_items);
    for (Owned& o : all)
        o->m_list = nullptr;
    return all;
}

bool ControlList::Contains(const MControl* control) const
{
    return control && control->m_list == this;
}

size_t ControlList::Size() const
{
    std::lock_guard lock(m_lock);
    return m_items.size();
}

std::vector<MControl*> ControlList::Snapshot() const
{
    std::lock_guard lock(m_lock);
    std::vector<MControl*> out;
    out.reserve(m_items.size());
    for (const Owned& o : m_items)
        out.push_back(o.get());
    return out;
}
