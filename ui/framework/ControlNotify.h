#pragma once

// Notification codes that controls send to their owner through MObject::OnBaseMessage.

namespace vellum {

enum ControlNotify : unsigned {
    kNotifyPress = 1,         // button went down / item pressed and became current / edit pressed
    kNotifyClick = 2,         // released inside after a press, state changed by the mouse, item chosen
    kNotifyDoubleClick = 3,   // wParam: mouse key flags, lParam: pointer to the CPoint
    kNotifyRightClick = 5,    // right button released over an item
    kNotifyKeyToggle = 7,     // toggled from the keyboard (lParam new state) / menu item pressed
    kNotifyScroll = 8,        // scroll bar or slider position changed (wParam new position)
    kNotifyEditButton = 9,    // pressed on an edit's button part
    kNotifyKeyHandled = 14,   // a key was handled in the sender's subtree (wParam vk, lParam modifiers)
    kNotifyFrameSelect = 24,  // a frame selection with the right button ended
    kNotifyTextChanged = 26,  // text editors: text changed
    kNotifyColorChanged = 27, // colour pickers: colour changed
    kNotifySpinChanged = 28,  // spin buttons: value changed
    kNotifyEditEnded = 29,    // in-place editing ended
    kNotifyEditStarted = 30,  // in-place editing started
    kNotifyEditButtonUp = 31, // released on an edit's button part
};

} // namespace vellum
