#pragma once

// Translation between the keyboard's key codes (HID keyboard usages, 232 to 249 for consumer
// functions) and the Linux input event codes, the way the kernel's HID input layer maps them.

namespace kw {

// The evdev key code the kernel reports for a HID keyboard usage (0 to 255); 0 when none.
int EvdevCodeFromUsage(int usage);

// The HID keyboard usage for an evdev key code; 0 when none. Where several usages give the
// same code, the lowest usage is the answer.
int UsageFromEvdevCode(int code);

// The consumer-control usage for a consumer function value 232 to 249; 0 for other values.
int ConsumerUsageFromValue(int value);

// The evdev key code the kernel reports for one of our consumer usages; 0 when none.
int EvdevCodeFromConsumerUsage(int usage);

// The key code (as in the layout files) of an evdev key event of the watched keyboard: the
// consumer function value 232 to 249 for the keys of those functions, else the keyboard usage;
// 0 when the event has no key code.
int KeyCodeFromEvdevCode(int code);

} // namespace kw
