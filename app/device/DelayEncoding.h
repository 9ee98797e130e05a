#pragma once

// The one-byte timing of an event in a family-B shortcut slot: bit 7 set for a release, bits 6-5
// the scale, bits 4-0 the count.

#include <cstdint>

namespace kw {

// The timing byte of a press (release false) or release after `ms` milliseconds. Delays above
// 31000 ms count as 31000 ms; a byte that would be 0 is sent as 1.
//   up to 10 ms:        scale 00, count 1 (a negative delay: count 0)
//   11 to 310 ms:       scale 00, count ms / 10
//   311 to 1550 ms:     scale 01, count ms / 50
//   1551 to 3100 ms:    scale 01, count ms / 100 (the keyboards read it this way; kept as it is)
//   3101 to 31000 ms:   scale 11, count ms / 1000
uint8_t EncodeDelay(bool release, int ms);

} // namespace kw
