#pragma once

// A listener of the key filter: OnKey(type, code, pressed) calls a member function of its owner.

namespace kw::HidUsbFilter {

class IMonitorProxy {
public:
    virtual ~IMonitorProxy() = default;
    // Non-zero: the event is taken and later listeners do not see it.
    virtual int OnKey(int type, int code, bool pressed) = 0;
    // Same owner and member function (and, without a member function, the same cookie).
    virtual bool SameAs(const IMonitorProxy& other) const = 0;
};

template <class Owner> class MonitorProxy : public IMonitorProxy {
public:
    using Handler = int (Owner::*)(int type, int code, bool pressed);

    MonitorProxy(Owner* owner, Handler handler, int cookie)
        : owner_(owner), handler_(handler), cookie_(cookie) {}

    int OnKey(int type, int code, bool pressed) override {
        return owner_ != nullptr && handler_ != nullptr ? (owner_->*handler_)(type, code, pressed) : 0;
    }

    bool SameAs(const IMonitorProxy& other) const override {
        const auto* same = dynamic_cast<const MonitorProxy*>(&other);
        if (same == nullptr || same->owner_ != owner_ || same->handler_ != handler_)
            return false;
        return handler_ != nullptr || same->cookie_ == cookie_;
    }

private:
    Owner* owner_ = nullptr;
    Handler handler_ = nullptr;
    int cookie_ = 0;
};

} // namespace kw::HidUsbFilter
