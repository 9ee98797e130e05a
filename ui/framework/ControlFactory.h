#pragma once

// Controls by class name. Panels and windows each accept their own set of names; a name whose control
// does not exist yet in the library yields null, as does an unknown or empty name. The arguments are
// passed on per name: text becomes the title (or tip text), a and b become visibility and enabling.

#include "ui/framework/MControl.h"

#include <memory>

namespace vellum {

class ControlFactory {
public:
    using Creator = std::unique_ptr<MControl> (*)(MObject* parent, unsigned id, CRect rect,
                                                  const wchar_t* text, int a, int b);

    static std::unique_ptr<MControl> CreatePanelControl(const wchar_t* className, MObject* parent,
                                                        unsigned id, CRect rect, const wchar_t* text, int a,
                                                        int b);
    static std::unique_ptr<MControl> CreateWindowControl(const wchar_t* className, MObject* parent,
                                                         unsigned id, CRect rect, const wchar_t* text, int a,
                                                         int b);
    // Whether the name is one the panel or window factory accepts (whether or not it is built yet).
    static bool IsPanelName(const wchar_t* className);
    static bool IsWindowName(const wchar_t* className);
};

} // namespace vellum
