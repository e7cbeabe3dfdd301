#pragma once
// The root of everything in KelvoUI that can own controls or be a control: class-name identity and the
// two calls by which a control reaches its owner (notifications and repaint requests).

#include "core/geometry.h"

class MControl;

class MObject {
public:
    virtual ~MObject() = default;

    // 1 when GetClassNameW() equals name exactly (case-sensitive, whole string), else 0.
    virtual int IsClass(const wchar_t* name) const;
    // The name IsClass compares with; the root has none.
    virtual const wchar_t* GetClassNameW() const { return nullptr; }
    virtual const wchar_t* GetObjectClass() const { return nullptr; }
    virtual const wchar_t* BaseObjectClassName() const { return nullptr; }
    // A notification from a child control: its id, the code and two values.
    virtual long OnBaseMessage(unsigned /*id*/, unsigned /*code*/, unsigned /*wParam*/, long /*lParam*/)
    {
        return 0;
    }
    // A child control asks its owner to repaint rect.
    virtual long OnControlUpdate(CRect /*rect*/, int /*redraw*/, MControl* /*control*/) { return 0; }
};
