#include "app/device/DelayEncoding.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

struct DelayCase {
    bool release;
    int ms;
    uint8_t expected;
};

TEST(DelayEncoding, EncodesEveryRangeOfTheTable) {
    const DelayCase cases[] = {
        {false, 10, 0x01},   {true, 10, 0x81},    {false, 120, 0x0C},   {true, 500, 0xAA},
        {false, 1000, 0x34}, {false, 2000, 0x34}, {false, 0, 0x01},     {true, 0, 0x81},
        {false, -5, 0x01},   {true, -5, 0x80},    {false, 11, 0x01},    {false, 19, 0x01},
        {false, 310, 0x1F},  {false, 311, 0x26},  {false, 1550, 0x3F},  {false, 1551, 0x2F},
        {true, 3100, 0xBF},  {false, 3101, 0x63}, {false, 31000, 0x7F}, {true, 99999, 0xFF},
    };
    for (const DelayCase& c : cases) {
        EXPECT_EQ(EncodeDelay(c.release, c.ms), c.expected)
            << (c.release ? "release " : "press ") << c.ms << " ms";
    }
}

} // namespace
} // namespace kw
