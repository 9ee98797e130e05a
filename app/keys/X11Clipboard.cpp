#include "app/keys/X11Clipboard.h"

#include "ui/framework/TextConvert.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace kw {

struct X11Clipboard::Connection {
    Display* display = nullptr;
    Window window = 0;
    Atom clipboard = 0;
    Atom utf8 = 0;
    Atom targets = 0;
    Atom property = 0;
    bool owner = false;
    std::string text; // what we offer while we own the selection

    ~Connection() {
        if (display != nullptr) {
            if (window != 0)
                XDestroyWindow(display, window);
            XCloseDisplay(display);
        }
    }

    void Answer(const XSelectionRequestEvent& request) {
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.display = request.display;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = None;
        const Atom property = request.property != None ? request.property : request.target;
        if (owner && request.selection == clipboard) {
            if (request.target == targets) {
                const Atom offered[] = {targets, utf8, XA_STRING};
                XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(offered), 3);
                reply.property = property;
            } else if (request.target == utf8 || request.target == XA_STRING) {
                XChangeProperty(display, request.requestor, property, request.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text.data()),
                                static_cast<int>(text.size()));
                reply.property = property;
            }
        }
        XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
        XFlush(display);
    }

    // Handles one event; true when it was the answer to our own read.
    bool Handle(XEvent& event) {
        switch (event.type) {
        case SelectionRequest:
            Answer(event.xselectionrequest);
            return false;
        case SelectionClear:
            if (event.xselectionclear.selection == clipboard) {
                owner = false;
                text.clear();
            }
            return false;
        case SelectionNotify:
            return event.xselection.selection == clipboard && event.xselection.requestor == window;
        default:
            return false;
        }
    }

    // Whether we own the selection, asked of the server: the SelectionClear telling us that
    // another program took it may still be on its way.
    bool StillOwner() {
        if (owner && XGetSelectionOwner(display, clipboard) != window) {
            owner = false;
            text.clear();
        }
        return owner;
    }

    bool Read(std::string& result) {
        if (StillOwner()) {
            result = text;
            return true;
        }
        if (XGetSelectionOwner(display, clipboard) == None)
            return false;
        XConvertSelection(display, clipboard, utf8, property, window, CurrentTime);
        XFlush(display);
        const auto deadline = std::chrono::steady_clock::now() + kReadTimeout;
        while (std::chrono::steady_clock::now() < deadline) {
            while (XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (!Handle(event))
                    continue;
                if (event.xselection.property == None)
                    return false;
                return TakeProperty(result);
            }
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            ::poll(&fd, 1, static_cast<int>(std::max<int64_t>(left.count(), 1)));
        }
        return false;
    }

    bool TakeProperty(std::string& result) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        const int status = XGetWindowProperty(display, window, property, 0, 0x7FFFFFFF, True, AnyPropertyType,
                                              &type, &format, &items, &after, &data);
        bool ok = false;
        // Large texts come in parts (INCR); those are not read.
        if (status == Success && data != nullptr && format == 8 && (type == utf8 || type == XA_STRING)) {
            result.assign(reinterpret_cast<const char*>(data), items);
            ok = true;
        }
        if (data != nullptr)
            XFree(data);
        return ok;
    }

    bool Own(const std::string& newText) {
        text = newText;
        XSetSelectionOwner(display, clipboard, window, CurrentTime);
        owner = XGetSelectionOwner(display, clipboard) == window;
        XFlush(display);
        return owner;
    }

    void Release() {
        if (StillOwner()) // never clears what another program put there since
            XSetSelectionOwner(display, clipboard, None, CurrentTime);
        owner = false;
        text.clear();
        XFlush(display);
    }
};

X11Clipboard::X11Clipboard(const char* display) {
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(display);
    if (connection->display == nullptr)
        return;
    Display* d = connection->display;
    connection->window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    connection->clipboard = XInternAtom(d, "CLIPBOARD", False);
    connection->utf8 = XInternAtom(d, "UTF8_STRING", False);
    connection->targets = XInternAtom(d, "TARGETS", False);
    connection->property = XInternAtom(d, "KEYWRIGHT_CLIPBOARD", False);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0)
        return;
    connection_ = std::move(connection);
    thread_ = std::thread([this] { Serve(); });
}

X11Clipboard::~X11Clipboard() {
    if (thread_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof(one));
        thread_.join();
    }
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

void X11Clipboard::Call(const std::function<void()>& task) {
    if (!connection_)
        return;
    bool finished = false;
    std::unique_lock lock(mutex_);
    tasks_.push_back([&] {
        task();
        std::lock_guard doneLock(mutex_);
        finished = true;
        done_.notify_all();
    });
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof(one));
    done_.wait(lock, [&] { return finished; });
}

void X11Clipboard::Serve() {
    Display* display = connection_->display;
    for (;;) {
        std::deque<std::function<void()>> tasks;
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                break;
            tasks.swap(tasks_);
        }
        for (auto& task : tasks)
            task();
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            connection_->Handle(event);
        }
        pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        ::poll(fds, 2, -1);
        if (fds[1].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &count, sizeof(count));
        }
    }
    connection_->Release();
}

bool X11Clipboard::GetText(std::wstring& text) {
    bool ok = false;
    std::string utf8;
    Call([&] { ok = connection_->Read(utf8); });
    if (ok)
        text = vellum::FromUtf8(utf8);
    return ok;
}

bool X11Clipboard::SetText(const std::wstring& text) {
    bool ok = false;
    const std::string utf8 = vellum::ToUtf8(text);
    Call([&] { ok = connection_->Own(utf8); });
    return ok;
}

void X11Clipboard::Clear() {
    Call([&] { connection_->Release(); });
}

} // namespace kw
