#pragma once

// The interface of every node of the control tree and of everything that owns controls (windows and
// containers): class identity, notifications from below and repaint requests from below.

#include "ui/framework/Geometry.h"

#include <cwchar>

namespace vellum {

class MControl;

class MObject {
public:
    virtual ~MObject() = default;

    // 1 when GetClassNameW() equals `name` exactly, else 0.
    virtual int IsClass(const wchar_t* name) {
        const wchar_t* own = GetClassNameW();
        return own && name && std::wcscmp(own, name) == 0 ? 1 : 0;
    }
    virtual const wchar_t* GetClassNameW() const { return nullptr; }
    virtual const wchar_t* GetObjectClass() { return nullptr; }
    virtual const wchar_t* BaseObjectClassName() { return nullptr; }
    // A control below reports a user action (see ControlNotify.h for the codes).
    virtual long OnBaseMessage(unsigned /*id*/, unsigned /*code*/, unsigned /*wParam*/, long /*lParam*/) {
        return 0;
    }
    // A control below asks for `rect` (window client coordinates) to be repainted; `redraw` marks its
    // cached picture stale.
    virtual long OnControlUpdate(CRect /*rect*/, int /*redraw*/, MControl* /*control*/) { return 0; }
};

} // namespace vellum
