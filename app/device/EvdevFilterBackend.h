#pragma once

// The key filter on evdev: grabs the event nodes of the configured keyboards (found through
// libudev by vendor and product id), reports the watched keys as (key code, pressed) with the
// keyboard's key codes, and passes every other event on through a uinput clone of each node.
// A reader thread runs while the nodes are held, so the keyboard keeps working whether or not
// anyone waits for events.

#include "app/device/FilterEventQueue.h"
#include "app/device/KeyFilterBackend.h"

#include <atomic>
#include <bitset>
#include <cstdint>
#include <linux/input-event-codes.h>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kw {

class EvdevFilterBackend : public KeyFilterBackend {
public:
    using DeviceId = std::pair<uint16_t, uint16_t>; // vendor, product

    explicit EvdevFilterBackend(std::vector<DeviceId> keyboards);
    ~EvdevFilterBackend() override;
    EvdevFilterBackend(const EvdevFilterBackend&) = delete;
    EvdevFilterBackend& operator=(const EvdevFilterBackend&) = delete;

    // Grabs every event node of the configured keyboards; false when none could be held. Tried
    // again on every kFilterActivate while nothing is held.
    bool Open() override;
    void Close() override;
    bool Control(uint32_t code, std::span<const uint8_t> input) override;
    bool WaitEvent(FilterEntry& event) override;
    void Cancel() override;

    // The event nodes (/dev/input/eventN) of the keyboards with these ids; our own clones are
    // left out.
    static std::vector<std::string> FindEventNodes(const std::vector<DeviceId>& keyboards);

    // The name given to the clone of a grabbed node.
    static std::string CloneName(const std::string& name);

    // Decides what happens to one key event of a grabbed node: true when it is reported (the key
    // is watched; autorepeats of watched keys are dropped), false when it is passed on.
    static bool IsReported(const std::bitset<256>& watched, int evdevCode, int value, FilterEntry& event);

    // Like IsReported, keeping in `heldInClone` the keys whose press went to the clone: their
    // autorepeats and release follow the press there even when the key has become watched in
    // between, so that no key stays down for the system.
    static bool RouteKey(const std::bitset<256>& watched, std::bitset<KEY_CNT>& heldInClone, int evdevCode,
                         int value, FilterEntry& event);

private:
    struct Node;
    void Read();
    void ReadNodes();
    void ReadNode(Node& node);

    std::vector<DeviceId> keyboards_;
    std::vector<std::unique_ptr<Node>> nodes_;
    std::mutex watchedMutex_;
    std::bitset<256> watched_;
    FilterEventQueue queue_;
    std::mutex openMutex_;
    int stopFd_ = -1;
    std::thread reader_;
    std::atomic<bool> readerDone_{false};
};

} // namespace kw
