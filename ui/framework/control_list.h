#pragma once
// An owned, ordered list of controls with its own lock: the areas and controls of a window, and the
// areas and children of a control. The order is the drawing order and the input order.
//
// Walks run over a snapshot taken under the lock and call no control while holding it. A control taken
// out of a list while any walk is running on this thread is parked (hidden from every list, still
// alive) and destroyed when the outermost walk ends, so a handler may remove any control, even the one
// that is handling the event, without pulling it from under a walk.

#include <memory>
#include <mutex>
#include <vector>

class MControl;

class ControlList {
public:
    using Owned = std::unique_ptr<MControl>;

    ControlList() = default;
    ~ControlList();
    ControlList(const ControlList&) = delete;
    ControlList& operator=(const ControlList&) = delete;

    MControl* Append(Owned control);
    // Takes a control out of the list; null when it is not in it.
    Owned Take(const MControl* control);
    std::vector<Owned> TakeAll();
    bool Contains(const MControl* control) const;
    size_t Size() const;
    bool Empty() const { return Size() == 0; }
    // The controls in order, as they are now.
    std::vector<MControl*> Snapshot() const;

    // Calls fn for each control in order, skipping those taken out meanwhile; stops at the first call that
    // returns true and gives that control (null when none did).
    template <class Fn> MControl* FindIf(Fn&& fn) const;
    template <class Fn> void ForEach(Fn&& fn) const
    {
        FindIf([&fn](MControl* c) {
            fn(c);
            return false;
        });
    }
    // The same from the last control to the first.
    template <class Fn> MControl* FindLastIf(Fn&& fn) const;

private:
    mutable std::recursive_mutex m_lock;
    std::vector<Owned> m_items;
};

// Keeps controls taken out during walks alive until the outermost walk of this thread ends.
class WalkScope {
public:
    WalkScope();
    ~WalkScope();
    WalkScope(const WalkScope&) = delete;
    WalkScope& operator=(const WalkScope&) = delete;
    static bool Active();
};

// Destroys a control now, or at the end of the outermost walk when one is running.
void RetireControl(std::unique_ptr<MControl> control);

template <class Fn> MControl* ControlList::FindIf(Fn&& fn) const
{
    WalkScope walk;
    for (MControl* c : Snapshot()) {
        if (Contains(c) && fn(c))
            return c;
    }
    return nullptr;
}

template <class Fn> MControl* ControlList::FindLastIf(Fn&& fn) const
{
    WalkScope walk;
    const std::vector<MControl*> items = Snapshot();
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (Contains(*it) && fn(*it))
            return *it;
    }
    return nullptr;
}
