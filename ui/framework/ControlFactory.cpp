#include "ui/framework/ControlFactory.h"

#include "ui/framework/CArea.h"

#include <cwchar>

namespace vellum {

namespace {

enum Where : unsigned { kPanel = 1, kWindow = 2, kBoth = 3 };

struct Entry {
    const wchar_t* name;
    unsigned where;
    ControlFactory::Creator create; // null until the control is part of the library
};

std::unique_ptr<MControl> MakeArea(MObject* parent, unsigned id, CRect rect, const wchar_t*, int a, int) {
    return std::make_unique<CArea>(parent, id, rect, a, 1);
}

// Every name the factories know, with where it may be created. Controls of the standard family,
// the pickers, lists and indicators register their constructors here as they join the library.
const Entry kEntries[] = {
    {L"CArea", kBoth, MakeArea},          {L"MText", kBoth, nullptr},
    {L"MPicture", kBoth, nullptr},        {L"CPhotoFrame", kBoth, nullptr},
    {L"CSliderPicture", kBoth, nullptr},  {L"CGifPicture", kBoth, nullptr},
    {L"MProgress", kBoth, nullptr},       {L"MSlider", kBoth, nullptr},
    {L"MLevelCtrl", kBoth, nullptr},      {L"MButton", kBoth, nullptr},
    {L"CImageButton", kBoth, nullptr},    {L"CTextButton", kBoth, nullptr},
    {L"CCheckButton", kBoth, nullptr},    {L"CRadioButton", kBoth, nullptr},
    {L"CIconButton", kBoth, nullptr},     {L"CTimerButton", kBoth, nullptr},
    {L"CHelpButton", kBoth, nullptr},     {L"MEdit", kBoth, nullptr},
    {L"MRichEdit", kBoth, nullptr},       {L"MEditEx", kBoth, nullptr},
    {L"CColorButton", kBoth, nullptr},    {L"MSpinButton", kBoth, nullptr},
    {L"CSpinButton", kBoth, nullptr},     {L"CSwitchButton", kBoth, nullptr},
    {L"MComboBox", kBoth, nullptr},       {L"MTabCtrl", kBoth, nullptr},
    {L"MTabLayout", kBoth, nullptr},      {L"MListBox", kBoth, nullptr},
    {L"MPalette", kBoth, nullptr},        {L"CColorPalette", kBoth, nullptr},
    {L"CColorSelect", kBoth, nullptr},    {L"KeyboardCtrl", kBoth, nullptr},
    {L"KeyFuncControl", kPanel, nullptr}, {L"DListBox", kPanel, nullptr},
    {L"CRecordList", kPanel, nullptr},    {L"CirclePalette", kBoth, nullptr},
    {L"CDeviceCtrl", kBoth, nullptr},     {L"MenuItem", kBoth, nullptr},
    {L"UpgradeButton", kPanel, nullptr},  {L"DownloadButton", kPanel, nullptr},
    {L"CComboBoxList", kWindow, nullptr}, {L"BatteryCtrl", kWindow, nullptr},
};

const Entry* Find(const wchar_t* className, unsigned where) {
    if (!className || !*className) {
        return nullptr;
    }
    for (const Entry& entry : kEntries) {
        if ((entry.where & where) && std::wcscmp(entry.name, className) == 0) {
            return &entry;
        }
    }
    return nullptr;
}

std::unique_ptr<MControl> Create(const wchar_t* className, unsigned where, MObject* parent, unsigned id,
                                 CRect rect, const wchar_t* text, int a, int b) {
    const Entry* entry = Find(className, where);
    if (!entry || !entry->create) {
        return nullptr;
    }
    return entry->create(parent, id, rect, text ? text : L"", a, b);
}

} // namespace

std::unique_ptr<MControl> ControlFactory::CreatePanelControl(const wchar_t* className, MObject* parent,
                                                             unsigned id, CRect rect, const wchar_t* text,
                                                             int a, int b) {
    return Create(className, kPanel, parent, id, rect, text, a, b);
}

std::unique_ptr<MControl> ControlFactory::CreateWindowControl(const wchar_t* className, MObject* parent,
                                                              unsigned id, CRect rect, const wchar_t* text,
                                                              int a, int b) {
    return Create(className, kWindow, parent, id, rect, text, a, b);
}

bool ControlFactory::IsPanelName(const wchar_t* className) {
    return Find(className, kPanel) != nullptr;
}
bool ControlFactory::IsWindowName(const wchar_t* className) {
    return Find(className, kWindow) != nullptr;
}

} // namespace vellum
