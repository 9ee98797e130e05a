#include "ui/framework/X11WindowSystem.h"

#include "ui/framework/InputEvents.h"
#include "ui/framework/TextConvert.h"
#include "ui/framework/WindowTable.h"
#include "ui/framework/X11Keys.h"

#include <algorithm>
#include <cairo.h>
#include <cstdlib>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/shape.h>

// X.h names a constant after the same word as our cursor enum.
#undef CursorShape

namespace vellum {

namespace {

constexpr long kEventMask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | EnterWindowMask | LeaveWindowMask | KeyPressMask |
                            KeyReleaseMask | FocusChangeMask;

struct ShmBuffer {
    XShmSegmentInfo info{};
    XImage* image = nullptr;
    int width = 0;
    int height = 0;
};

struct Native {
    Window xid = 0;
    Visual* visual = nullptr;
    int depth = 24;
    Colormap colormap = 0;
    GC gc = nullptr;
    bool argb = false;
    bool overrideRedirect = false;
    bool mapped = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    ShmBuffer shm;
};

} // namespace

struct X11WindowSystem::Impl {
    Display* dpy = nullptr;
    int screen = 0;
    Window root = 0;
    XVisualInfo argbVisual{};
    bool hasArgb = false;
    std::map<HWND, Native> windows;
    std::map<Window, HWND> byXid;
    Cursor cursors[7] = {};
    Atom wmProtocols = 0, wmDelete = 0, vellumMessage = 0, netWmName = 0, utf8 = 0, netWmState = 0,
         stateAbove = 0, stateSkipTaskbar = 0, netWmType = 0, typeNormal = 0, typeTooltip = 0, typeDialog = 0,
         motifHints = 0, moveResize = 0, netWorkarea = 0, netActive = 0, opacity = 0, netClientList = 0;
    bool shapeExt = false;

    Atom A(const char* name) { return XInternAtom(dpy, name, False); }
    Native* Find(HWND hwnd) {
        auto it = windows.find(hwnd);
        return it == windows.end() ? nullptr : &it->second;
    }
    HWND Handle(Window xid) {
        auto it = byXid.find(xid);
        return it == byXid.end() ? 0 : it->second;
    }
    void FreeShm(ShmBuffer& b) {
        if (b.image) {
            XShmDetach(dpy, &b.info);
            XDestroyImage(b.image);
            shmdt(b.info.shmaddr);
            b.image = nullptr;
        }
    }
    void SetMotif(Native& n, bool decorated) {
        struct {
            unsigned long flags, functions, decorations;
            long inputMode;
            unsigned long status;
        } hints{2, 0, decorated ? 1ul : 0ul, 0, 0};
        XChangeProperty(dpy, n.xid, motifHints, motifHints, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&hints), 5);
    }
    void SendState(Native& n, bool add, Atom state) {
        if (!n.mapped) {
            // Before mapping the state is a property.
            std::vector<Atom> states;
            Atom type;
            int format;
            unsigned long count, after;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(dpy, n.xid, netWmState, 0, 32, False, XA_ATOM, &type, &format, &count,
                                   &after, &data) == Success &&
                data) {
                states.assign(reinterpret_cast<Atom*>(data), reinterpret_cast<Atom*>(data) + count);
                XFree(data);
            }
            std::erase(states, state);
            if (add) {
                states.push_back(state);
            }
            XChangeProperty(dpy, n.xid, netWmState, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(states.data()), static_cast<int>(states.size()));
            return;
        }
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = n.xid;
        e.xclient.message_type = netWmState;
        e.xclient.format = 32;
        e.xclient.data.l[0] = add ? 1 : 0;
        e.xclient.data.l[1] = static_cast<long>(state);
        e.xclient.data.l[3] = 1;
        XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    }
    CRect ScreenRect(Window xid) {
        XWindowAttributes attrs;
        if (!XGetWindowAttributes(dpy, xid, &attrs)) {
            return {};
        }
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(dpy, xid, root, 0, 0, &x, &y, &child);
        return {x, y, x + attrs.width, y + attrs.height};
    }
};

std::unique_ptr<X11WindowSystem> X11WindowSystem::Open(const char* display) {
    XInitThreads();
    Display* dpy = XOpenDisplay(display);
    if (!dpy) {
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->dpy = dpy;
    impl->screen = DefaultScreen(dpy);
    impl->root = RootWindow(dpy, impl->screen);
    impl->hasArgb = XMatchVisualInfo(dpy, impl->screen, 32, TrueColor, &impl->argbVisual) != 0;
    impl->wmProtocols = impl->A("WM_PROTOCOLS");
    impl->wmDelete = impl->A("WM_DELETE_WINDOW");
    impl->vellumMessage = impl->A("_VELLUM_MESSAGE");
    impl->netWmName = impl->A("_NET_WM_NAME");
    impl->utf8 = impl->A("UTF8_STRING");
    impl->netWmState = impl->A("_NET_WM_STATE");
    impl->stateAbove = impl->A("_NET_WM_STATE_ABOVE");
    impl->stateSkipTaskbar = impl->A("_NET_WM_STATE_SKIP_TASKBAR");
    impl->netWmType = impl->A("_NET_WM_WINDOW_TYPE");
    impl->typeNormal = impl->A("_NET_WM_WINDOW_TYPE_NORMAL");
    impl->typeTooltip = impl->A("_NET_WM_WINDOW_TYPE_TOOLTIP");
    impl->typeDialog = impl->A("_NET_WM_WINDOW_TYPE_DIALOG");
    impl->motifHints = impl->A("_MOTIF_WM_HINTS");
    impl->moveResize = impl->A("_NET_WM_MOVERESIZE");
    impl->netWorkarea = impl->A("_NET_WORKAREA");
    impl->netActive = impl->A("_NET_ACTIVE_WINDOW");
    impl->opacity = impl->A("_NET_WM_WINDOW_OPACITY");
    impl->netClientList = impl->A("_NET_CLIENT_LIST");
    int eventBase = 0, errorBase = 0;
    impl->shapeExt = XShapeQueryExtension(dpy, &eventBase, &errorBase) != 0;
    const unsigned shapes[7] = {XC_left_ptr,          XC_watch, XC_crosshair,     XC_sb_h_double_arrow,
                                XC_sb_v_double_arrow, XC_hand2, XC_question_arrow};
    for (int i = 0; i < 7; ++i) {
        impl->cursors[i] = XCreateFontCursor(dpy, shapes[i]);
    }
    auto system = std::unique_ptr<X11WindowSystem>(new X11WindowSystem(std::move(impl)));
    const char* noShm = std::getenv("VELLUM_NO_SHM");
    system->shm_ = XShmQueryExtension(dpy) && !(noShm && *noShm == '1');
    return system;
}

X11WindowSystem::X11WindowSystem(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

X11WindowSystem::~X11WindowSystem() {
    for (auto& [hwnd, n] : impl_->windows) {
        impl_->FreeShm(n.shm);
        XFreeGC(impl_->dpy, n.gc);
        XDestroyWindow(impl_->dpy, n.xid);
        if (n.colormap) {
            XFreeColormap(impl_->dpy, n.colormap);
        }
    }
    for (Cursor c : impl_->cursors) {
        XFreeCursor(impl_->dpy, c);
    }
    XCloseDisplay(impl_->dpy);
}

int X11WindowSystem::ConnectionFd() const {
    return ConnectionNumber(impl_->dpy);
}

bool X11WindowSystem::HasCompositor() const {
    const std::string name = "_NET_WM_CM_S" + std::to_string(impl_->screen);
    return XGetSelectionOwner(impl_->dpy, XInternAtom(impl_->dpy, name.c_str(), False)) != None;
}

unsigned long X11WindowSystem::NativeWindow(HWND hwnd) const {
    auto it = impl_->windows.find(hwnd);
    return it == impl_->windows.end() ? 0 : it->second.xid;
}

bool X11WindowSystem::CreateNative(const NativeWindowSpec& native) {
    Impl& x = *impl_;
    Native n;
    n.style = native.style;
    n.exStyle = native.exStyle;
    n.argb = (native.exStyle & WS_EX_LAYERED) && x.hasArgb;
    n.overrideRedirect =
        (native.style & WS_POPUP) && (native.exStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE));
    XSetWindowAttributes attrs{};
    unsigned long mask = CWEventMask | CWBorderPixel | CWBackPixel | CWOverrideRedirect;
    attrs.event_mask = kEventMask;
    attrs.border_pixel = 0;
    attrs.background_pixel = 0;
    attrs.override_redirect = n.overrideRedirect ? True : False;
    if (n.argb) {
        n.visual = x.argbVisual.visual;
        n.depth = 32;
        n.colormap = XCreateColormap(x.dpy, x.root, n.visual, AllocNone);
        attrs.colormap = n.colormap;
        mask |= CWColormap;
    } else {
        n.visual = DefaultVisual(x.dpy, x.screen);
        n.depth = DefaultDepth(x.dpy, x.screen);
    }
    const CRect r = native.rect;
    n.xid = XCreateWindow(x.dpy, x.root, r.left, r.top, std::max(1, r.Width()), std::max(1, r.Height()), 0,
                          n.depth, InputOutput, n.visual, mask, &attrs);
    if (!n.xid) {
        return false;
    }
    n.gc = XCreateGC(x.dpy, n.xid, 0, nullptr);
    XSetWMProtocols(x.dpy, n.xid, &x.wmDelete, 1);
    XSizeHints hints{};
    hints.flags = USPosition | USSize | PPosition | PSize;
    hints.x = r.left;
    hints.y = r.top;
    hints.width = r.Width();
    hints.height = r.Height();
    XSetWMNormalHints(x.dpy, n.xid, &hints);
    XClassHint classHint{const_cast<char*>("vellum"), const_cast<char*>("Vellum")};
    XSetClassHint(x.dpy, n.xid, &classHint);
    Atom type = n.overrideRedirect ? x.typeTooltip : (native.owner ? x.typeDialog : x.typeNormal);
    XChangeProperty(x.dpy, n.xid, x.netWmType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&type), 1);
    if (native.owner) {
        if (Native* owner = x.Find(native.owner)) {
            XSetTransientForHint(x.dpy, n.xid, owner->xid);
        }
    }
    x.SetMotif(n, (native.style & WS_CAPTION) == WS_CAPTION);
    x.windows[native.hwnd] = n;
    x.byXid[n.xid] = native.hwnd;
    SetTitle(native.hwnd, native.title);
    SetStyles(native.hwnd, native.style, native.exStyle);
    return true;
}

void X11WindowSystem::DestroyNative(HWND hwnd) {
    Impl& x = *impl_;
    Native* n = x.Find(hwnd);
    if (!n) {
        return;
    }
    x.FreeShm(n->shm);
    XFreeGC(x.dpy, n->gc);
    XDestroyWindow(x.dpy, n->xid);
    if (n->colormap) {
        XFreeColormap(x.dpy, n->colormap);
    }
    x.byXid.erase(n->xid);
    x.windows.erase(hwnd);
    XFlush(x.dpy);
}

void X11WindowSystem::Show(HWND hwnd, int showCmd) {
    Impl& x = *impl_;
    Native* n = x.Find(hwnd);
    if (!n) {
        return;
    }
    switch (showCmd) {
    case SW_HIDE:
        XUnmapWindow(x.dpy, n->xid);
        n->mapped = false;
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        XIconifyWindow(x.dpy, n->xid, x.screen);
        break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
        XMapWindow(x.dpy, n->xid);
        n->mapped = true;
        break;
    default:
        XMapRaised(x.dpy, n->xid);
        n->mapped = true;
        break;
    }
    XFlush(x.dpy);
}

void X11WindowSystem::Move(HWND hwnd, const CRect& r) {
    Impl& x = *impl_;
    if (Native* n = x.Find(hwnd)) {
        XMoveResizeWindow(x.dpy, n->xid, r.left, r.top, std::max(1, r.Width()), std::max(1, r.Height()));
        XFlush(x.dpy);
    }
}

void X11WindowSystem::SetTitle(HWND hwnd, const std::wstring& title) {
    Impl& x = *impl_;
    Native* n = x.Find(hwnd);
    if (!n) {
        return;
    }
    const std::string utf8 = ToUtf8(title);
    XChangeProperty(x.dpy, n->xid, x.netWmName, x.utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
    XStoreName(x.dpy, n->xid, utf8.c_str());
}

void X11WindowSystem::SetStyles(HWND hwnd, DWORD style, DWORD exStyle) {
    Impl& x = *impl_;
    Native* n = x.Find(hwnd);
    if (!n) {
        return;
    }
    n->style = style;
    n->exStyle = exStyle;
    x.SetMotif(*n, (style & WS_CAPTION) == WS_CAPTION);
    x.SendState(*n, (exStyle & WS_EX_TOPMOST) != 0, x.stateAbove);
    x.SendState(*n, (exStyle & WS_EX_TOOLWINDOW) != 0, x.stateSkipTaskbar);
    XFlush(x.dpy);
}

void X11WindowSystem::SetOpacity(HWND hwnd, unsigned opacity) {
    Impl& x = *impl_;
    if (Native* n = x.Find(hwnd)) {
        unsigned long value = static_cast<unsigned long>(std::min(255u, opacity)) * 0x01010101ul;
        XChangeProperty(x.dpy, n->xid, x.opacity, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&value), 1);
        XFlush(x.dpy);
    }
}

void X11WindowSystem::Present(HWND hwnd, cairo_surface_t* surface, const CRect& requested) {
    Impl& x = *impl_;
    Native* n = x.Find(hwnd);
    if (!n || !surface) {
        return;
    }
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const CRect area = CRect::Intersection(requested, CRect(0, 0, width, height));
    if (area.IsRectEmpty()) {
        return;
    }
    bool presented = false;
    if (shm_) {
        ShmBuffer& b = n->shm;
        if (!b.image || b.width != width || b.height != height) {
            x.FreeShm(b);
            b.image = XShmCreateImage(x.dpy, n->visual, n->depth, ZPixmap, nullptr, &b.info, width, height);
            if (b.image) {
                b.info.shmid = shmget(IPC_PRIVATE, b.image->bytes_per_line * height, IPC_CREAT | 0600);
                b.info.shmaddr = b.image->data =
                    b.info.shmid >= 0 ? static_cast<char*>(shmat(b.info.shmid, nullptr, 0)) : nullptr;
                b.info.readOnly = False;
                if (!b.info.shmaddr || b.info.shmaddr == reinterpret_cast<char*>(-1) ||
                    !XShmAttach(x.dpy, &b.info)) {
                    if (b.info.shmid >= 0) {
                        shmctl(b.info.shmid, IPC_RMID, nullptr);
                    }
                    XDestroyImage(b.image);
                    b.image = nullptr;
                    shm_ = false;
                } else {
                    XSync(x.dpy, False);
                    // Removed now so that the segment goes when both sides detach.
                    shmctl(b.info.shmid, IPC_RMID, nullptr);
                    b.width = width;
                    b.height = height;
                }
            }
        }
        if (b.image) {
            const int rowBytes = area.Width() * 4;
            for (int y = area.top; y < area.bottom; ++y) {
                std::memcpy(b.image->data + y * b.image->bytes_per_line + area.left * 4,
                            data + y * stride + area.left * 4, rowBytes);
            }
            XShmPutImage(x.dpy, n->xid, n->gc, b.image, area.left, area.top, area.left, area.top,
                         area.Width(), area.Height(), False);
            presented = true;
        }
    }
    if (!presented) {
        XImage* image = XCreateImage(x.dpy, n->visual, n->depth, ZPixmap, 0, reinterpret_cast<char*>(data),
                                     width, height, 32, stride);
        if (image) {
            XPutImage(x.dpy, n->xid, n->gc, image, area.left, area.top, area.left, area.top, area.Width(),
                      area.Height());
            image->data = nullptr; // the pixels belong to the surface
            XDestroyImage(image);
        }
    }
    // Without a compositor transparent pixels would show black: cut them out of the window's shape.
    if (n->argb && x.shapeExt && !HasCompositor()) {
        const int bytes = (width + 7) / 8;
        std::vector<unsigned char> bits(static_cast<std::size_t>(bytes) * height, 0);
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
            for (int xx = 0; xx < width; ++xx) {
                if (row[xx] >> 24) {
                    bits[static_cast<std::size_t>(y) * bytes + xx / 8] |=
                        static_cast<unsigned char>(1u << (xx % 8));
                }
            }
        }
        Pixmap mask =
            XCreateBitmapFromData(x.dpy, n->xid, reinterpret_cast<char*>(bits.data()), width, height);
        XShapeCombineMask(x.dpy, n->xid, ShapeBounding, 0, 0, mask, ShapeSet);
        XFreePixmap(x.dpy, mask);
    }
    XFlush(x.dpy);
}

void X11WindowSystem::Activate(HWND hwnd) {
    Impl& x = *impl_;
    Native* n = x.Find(hwnd);
    if (!n) {
        return;
    }
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = n->xid;
    e.xclient.message_type = x.netActive;
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2; // from a pager: allowed to take the focus from another program
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.dpy, x.root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(x.dpy);
}

void X11WindowSystem::Raise(HWND hwnd) {
    Impl& x = *impl_;
    if (Native* n = x.Find(hwnd)) {
        XMapRaised(x.dpy, n->xid);
        n->mapped = true;
        XFlush(x.dpy);
    }
}

void X11WindowSystem::SetCapture(HWND hwnd) {
    Impl& x = *impl_;
    if (Native* n = x.Find(hwnd)) {
        XGrabPointer(x.dpy, n->xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        XFlush(x.dpy);
    }
}

void X11WindowSystem::ReleaseCapture() {
    XUngrabPointer(impl_->dpy, CurrentTime);
    XFlush(impl_->dpy);
}

void X11WindowSystem::SetCursor(HWND hwnd, CursorShape shape) {
    Impl& x = *impl_;
    if (Native* n = x.Find(hwnd)) {
        XDefineCursor(x.dpy, n->xid, x.cursors[static_cast<int>(shape)]);
        XFlush(x.dpy);
    }
}

void X11WindowSystem::BeginMoveDrag(HWND hwnd, CPoint screen) {
    Impl& x = *impl_;
    Native* n = x.Find(hwnd);
    if (!n) {
        return;
    }
    XUngrabPointer(x.dpy, CurrentTime);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = n->xid;
    e.xclient.message_type = x.moveResize;
    e.xclient.format = 32;
    e.xclient.data.l[0] = screen.x;
    e.xclient.data.l[1] = screen.y;
    e.xclient.data.l[2] = 8; // move
    e.xclient.data.l[3] = Button1;
    e.xclient.data.l[4] = 1;
    XSendEvent(x.dpy, x.root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(x.dpy);
}

CRect X11WindowSystem::GetWorkArea(const CRect& near) {
    Impl& x = *impl_;
    CRect best(0, 0, DisplayWidth(x.dpy, x.screen), DisplayHeight(x.dpy, x.screen));
    int monitors = 0;
    if (XRRMonitorInfo* info = XRRGetMonitors(x.dpy, x.root, True, &monitors)) {
        int bestArea = -1;
        const CPoint center = near.CenterPoint();
        for (int i = 0; i < monitors; ++i) {
            const CRect m(info[i].x, info[i].y, info[i].x + info[i].width, info[i].y + info[i].height);
            const CRect overlap = CRect::Intersection(m, near);
            const int area = overlap.Width() * overlap.Height() + (m.PtInRect(center) ? 1 : 0);
            if (area > bestArea) {
                bestArea = area;
                best = m;
            }
        }
        XRRFreeMonitors(info);
    }
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x.dpy, x.root, x.netWorkarea, 0, 4, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        if (count >= 4) {
            const long* v = reinterpret_cast<long*>(data);
            const CRect work(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[0] + v[2]),
                             static_cast<int>(v[1] + v[3]));
            const CRect both = CRect::Intersection(best, work);
            if (!both.IsRectEmpty()) {
                best = both;
            }
        }
        XFree(data);
    }
    return best;
}

void X11WindowSystem::SetProperty(HWND hwnd, const std::wstring& name, long value) {
    Impl& x = *impl_;
    if (Native* n = x.Find(hwnd)) {
        const std::string atom = ToUtf8(name);
        XChangeProperty(x.dpy, n->xid, x.A(atom.c_str()), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&value), 1);
        XFlush(x.dpy);
    }
}

namespace {

// Top-level windows and, below each, the windows a window manager reparented.
void CollectWindows(Display* dpy, Window parent, int depth, std::vector<Window>& out) {
    Window rootReturn, parentReturn;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy, parent, &rootReturn, &parentReturn, &children, &count)) {
        return;
    }
    for (unsigned i = 0; i < count; ++i) {
        out.push_back(children[i]);
        if (depth > 0) {
            CollectWindows(dpy, children[i], depth - 1, out);
        }
    }
    if (children) {
        XFree(children);
    }
}

Window FindMarked(Display* dpy, Window root, Atom marker) {
    std::vector<Window> all;
    CollectWindows(dpy, root, 2, all);
    for (Window w : all) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy, w, marker, 0, 1, False, AnyPropertyType, &type, &format, &count, &after,
                               &data) == Success &&
            data) {
            XFree(data);
            if (count > 0) {
                return w;
            }
        }
    }
    return 0;
}

} // namespace

bool X11WindowSystem::PostToMarkedWindow(const std::wstring& marker, UINT msg, WPARAM wParam, LPARAM lParam) {
    Impl& x = *impl_;
    const std::string name = ToUtf8(marker);
    const Window target = FindMarked(x.dpy, x.root, XInternAtom(x.dpy, name.c_str(), False));
    if (!target) {
        return false;
    }
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = target;
    e.xclient.message_type = x.vellumMessage;
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(msg);
    e.xclient.data.l[1] = static_cast<long>(wParam);
    e.xclient.data.l[2] = static_cast<long>(lParam);
    XSendEvent(x.dpy, target, False, NoEventMask, &e);
    XFlush(x.dpy);
    return true;
}

bool X11WindowSystem::ActivateMarkedWindow(const std::wstring& marker) {
    Impl& x = *impl_;
    const std::string name = ToUtf8(marker);
    const Window target = FindMarked(x.dpy, x.root, XInternAtom(x.dpy, name.c_str(), False));
    if (!target) {
        return false;
    }
    XMapRaised(x.dpy, target);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = target;
    e.xclient.message_type = x.netActive;
    e.xclient.format = 32;
    e.xclient.data.l[0] = 2;
    XSendEvent(x.dpy, x.root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(x.dpy);
    return true;
}

int X11WindowSystem::ProcessEvents() {
    Impl& x = *impl_;
    int handled = 0;
    while (XPending(x.dpy)) {
        XEvent e;
        XNextEvent(x.dpy, &e);
        const HWND hwnd = x.Handle(e.xany.window);
        if (!hwnd) {
            continue;
        }
        ++handled;
        switch (e.type) {
        case Expose:
            DeliverExpose(hwnd, CRect(e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width,
                                      e.xexpose.y + e.xexpose.height));
            break;
        case ConfigureNotify: {
            const CRect r = x.ScreenRect(e.xconfigure.window);
            if (!r.IsRectEmpty()) {
                DeliverConfigure(hwnd, r);
            }
            break;
        }
        case MotionNotify: {
            // Only the latest position of a burst matters.
            while (XCheckTypedWindowEvent(x.dpy, e.xmotion.window, MotionNotify, &e)) {
            }
            DeliverPointerMove(hwnd, CPoint(e.xmotion.x, e.xmotion.y));
            break;
        }
        case ButtonPress:
        case ButtonRelease: {
            const CPoint p(e.xbutton.x, e.xbutton.y);
            const bool down = e.type == ButtonPress;
            switch (e.xbutton.button) {
            case Button1:
                DeliverButton(hwnd, 1, down, p);
                break;
            case Button2:
                DeliverButton(hwnd, 2, down, p);
                break;
            case Button3:
                DeliverButton(hwnd, 3, down, p);
                break;
            case Button4:
            case Button5:
                if (down) {
                    DeliverWheel(hwnd, e.xbutton.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA, p);
                }
                break;
            default:
                break;
            }
            break;
        }
        case LeaveNotify:
            if (e.xcrossing.mode == NotifyNormal) {
                DeliverLeave(hwnd);
            }
            break;
        case KeyPress:
        case KeyRelease: {
            char text[16] = {};
            KeySym sym = 0;
            const int n = XLookupString(&e.xkey, text, sizeof text - 1, &sym, nullptr);
            const UINT vk = KeysymToVirtualKey(sym ? sym : XLookupKeysym(&e.xkey, 0));
            if (vk) {
                const wchar_t ch = n == 1 ? static_cast<wchar_t>(static_cast<unsigned char>(text[0])) : 0;
                DeliverKey(hwnd, vk, e.type == KeyPress, ch);
            }
            break;
        }
        case FocusIn:
            DeliverActivation(hwnd, true);
            break;
        case FocusOut:
            if (e.xfocus.mode == NotifyNormal || e.xfocus.mode == NotifyWhileGrabbed) {
                DeliverActivation(hwnd, false);
            }
            break;
        case ClientMessage:
            if (e.xclient.message_type == x.wmProtocols &&
                static_cast<Atom>(e.xclient.data.l[0]) == x.wmDelete) {
                DeliverCloseRequest(hwnd);
            } else if (e.xclient.message_type == x.vellumMessage) {
                DeliverForeignMessage(hwnd, static_cast<UINT>(e.xclient.data.l[0]),
                                      static_cast<WPARAM>(e.xclient.data.l[1]),
                                      static_cast<LPARAM>(e.xclient.data.l[2]));
            }
            break;
        case MapNotify:
            if (Native* n = x.Find(hwnd)) {
                n->mapped = true;
            }
            break;
        case UnmapNotify:
            if (Native* n = x.Find(hwnd)) {
                n->mapped = false;
            }
            break;
        default:
            break;
        }
    }
    return handled;
}

} // namespace vellum
