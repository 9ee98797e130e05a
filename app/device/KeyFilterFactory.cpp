#include "app/device/KeyFilterFactory.h"

#include "app/device/EvdevFilterBackend.h"

namespace kw {

KeyFilterChoice MakeKeyFilter(bool simulate, const std::vector<std::pair<uint16_t, uint16_t>>& keyboards) {
    KeyFilterChoice choice;
    if (simulate) {
        auto backend = std::make_unique<InMemoryFilterBackend>();
        choice.simulated = backend.get();
        choice.backend = std::move(backend);
    } else {
        choice.backend = std::make_unique<EvdevFilterBackend>(keyboards);
    }
    return choice;
}

} // namespace kw
