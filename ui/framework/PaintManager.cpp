#include "ui/framework/PaintManager.h"

#include "ui/framework/AnimationTimer.h"
#include "ui/framework/ControlFactory.h"
#include "ui/framework/FontRegistry.h"
#include "ui/framework/MControl.h"
#include "ui/framework/MRender.h"
#include "ui/framework/Manager.h"
#include "ui/framework/ToolTipWindow.h"
#include "ui/framework/WindowApi.h"

#include <algorithm>

namespace vellum {

PaintManager::PaintManager(MObject* owner) : owner_(owner) {}

PaintManager::~PaintManager() {
    DestroyData();
    // Controls added before the window existed.
    ClearAllControls();
}

void PaintManager::Init(HWND hwnd, MWindow* window) {
    if (!IsWindow(hwnd)) {
        return;
    }
    hwnd_ = hwnd;
    window_ = window;
    const auto fontFolder = Manager::GetProgramFolder() / "font";
    std::error_code ec;
    if (std::filesystem::exists(fontFolder / "SourceHanSansCN-Regular.otf", ec)) {
        AddTempFont(L"SourceHanSansCN-Regular",
                    (fontFolder / "SourceHanSansCN-Regular.otf").wstring().c_str());
    }
    if (std::filesystem::exists(fontFolder / "Arial.ttf", ec)) {
        AddTempFont(L"Arial", (fontFolder / "Arial.ttf").wstring().c_str());
    }
    initialized_ = true;
    scrollV_ = 102;
    scrollH_ = 101;
    // Controls created before the window get their manager now.
    for (MControl* c : GetAreas()) {
        if (!c->GetManager()) {
            c->SetManager(this);
        }
    }
    for (MControl* c : GetControls()) {
        if (!c->GetManager()) {
            c->SetManager(this);
        }
    }
}

void PaintManager::DestroyData() {
    if (!initialized_) {
        return;
    }
    KillMTimer();
    ClearTimers();
    tooltip_.reset();
    ClearAllControls();
    bkImage_.reset();
    ClearImgResInfo();
    ClearTempFont();
    initialized_ = false;
}

// ---- controls ----

MControl* PaintManager::Attach(std::unique_ptr<MControl> control, unsigned list) {
    if (!control || list > 1) {
        return nullptr;
    }
    MControl* raw = control.get();
    raw->SetManager(this);
    return (list == 0 ? areas_ : controls_).Add(std::move(control));
}

MControl* PaintManager::CreateArea(MObject* parent, const wchar_t* className, unsigned id, CRect rect,
                                   const wchar_t* text, int a, int b) {
    return Attach(
        ControlFactory::CreateWindowControl(className, parent ? parent : owner_, id, rect, text, a, b), 0);
}

MControl* PaintManager::CreateControl(MObject* parent, const wchar_t* className, unsigned id, CRect rect,
                                      const wchar_t* text, int a, int b) {
    return Attach(
        ControlFactory::CreateWindowControl(className, parent ? parent : owner_, id, rect, text, a, b), 1);
}

MControl* PaintManager::AddControl(std::unique_ptr<MControl> control, unsigned list) {
    if (control && !control->GetParantObject()) {
        control->SetParent(owner_);
    }
    return Attach(std::move(control), list);
}

MControl* PaintManager::GetControl(unsigned id) {
    MControl* found = controls_.Find(id);
    return found ? found : areas_.Find(id);
}

namespace {

bool IsSelfOrDescendant(MControl* node, MControl* ancestor) {
    for (MControl* c = node; c; c = dynamic_cast<MControl*>(c->GetParantObject())) {
        if (c == ancestor) {
            return true;
        }
    }
    return false;
}

} // namespace

void PaintManager::ForgetControl(MControl* control, bool notify) {
    if (!control) {
        return;
    }
    auto gone = [&](MControl* held) {
        return held && (held == control || (notify && IsSelfOrDescendant(held, control)));
    };
    if (gone(focus_)) {
        if (notify) {
            SetFocusControl(nullptr);
        } else {
            focus_ = nullptr;
        }
    }
    if (gone(hover_)) {
        hover_ = nullptr;
        pressed_ = false;
    }
    if (gone(caretOwner_)) {
        caretOwner_ = nullptr;
    }
    KillTimer(control);
    DeleteFSTimer(control);
}

void PaintManager::RemoveControl(MControl* control) {
    if (!control) {
        return;
    }
    ForgetControl(control, true);
    std::unique_ptr<MControl> doomed = controls_.Take(control);
    if (!doomed) {
        doomed = areas_.Take(control);
    }
    if (doomed) {
        Invalidate();
    }
}

void PaintManager::ClearAreaControls() {
    std::vector<std::unique_ptr<MControl>> doomed = areas_.TakeAll();
    for (auto& c : doomed) {
        ForgetControl(c.get(), false);
    }
    hover_ = nullptr;
}

void PaintManager::ClearControls() {
    std::vector<std::unique_ptr<MControl>> doomed = controls_.TakeAll();
    focus_ = nullptr;
    hover_ = nullptr;
    pressed_ = false;
    for (auto& c : doomed) {
        ForgetControl(c.get(), false);
    }
}

void PaintManager::ClearAllControls() {
    ClearAreaControls();
    ClearControls();
}

std::vector<MControl*> PaintManager::GetControls() {
    return controls_.Snapshot();
}

std::vector<MControl*> PaintManager::GetAreas() {
    return areas_.Snapshot();
}

void PaintManager::SetFocusControl(MControl* control) {
    MControl* previous = focus_.exchange(control);
    if (previous == control) {
        return;
    }
    if (previous) {
        previous->SetControlFocus(0);
    }
    if (control) {
        control->SetControlFocus(1);
    }
}

void PaintManager::SetCursor(CursorShape shape) {
    if (hwnd_) {
        SetCursorShape(hwnd_, shape);
    }
}

// ---- tooltip ----

void PaintManager::SetTooltip(const std::wstring& text, CRect rect) {
    if (!hwnd_) {
        return;
    }
    if (text.empty()) {
        if (tooltip_) {
            tooltip_->Hide();
        }
        return;
    }
    if (!tooltip_) {
        tooltip_ = std::make_unique<ToolTipWindow>(hwnd_);
    }
    tooltip_->Show(text, rect);
}

void PaintManager::ClearTooltip() {
    if (tooltip_) {
        tooltip_->Hide();
    }
    tooltipOwner_ = 0;
}

// ---- repaint ----

long PaintManager::OnControlUpdate(CRect rect, int redraw, MControl* control) {
    if (!control) {
        return 0;
    }
    if (redraw) {
        control->SetUpdate(0, backColor_);
    }
    CRect dirty = rect;
    if (initialized_) {
        // What lies above the control repaints with it: the areas after it, and every control when it
        // is an area.
        auto repaint = [&](MControl* c) {
            if (c->IsVisible() && c->GetRect().Intersects(rect)) {
                c->SetUpdate(0, backColor_);
                dirty = CRect::Union(dirty, c->GetRect());
            }
        };
        const bool isArea = areas_.ForEachAbove(control, false, repaint);
        controls_.ForEachAbove(control, isArea, repaint);
    }
    if (layered_) {
        Invalidate();
    } else {
        InvalidateRect(dirty, 0);
    }
    return 0;
}

void PaintManager::Invalidate() {
    if (hwnd_) {
        vellum::InvalidateRect(hwnd_, nullptr, true);
    }
}

void PaintManager::InvalidateRect(CRect rect, int erase) {
    if (hwnd_) {
        vellum::InvalidateRect(hwnd_, &rect, erase != 0);
    }
}

// ---- painting settings ----

void PaintManager::SetBackColor(COLORREF background, COLORREF border) {
    backColor_ = background;
    borderColor_ = border;
    Invalidate();
}

int PaintManager::LoadBKImage(const std::wstring& file) {
    auto image = MRender::LoadImageFromFile(Manager::ResolveSkinFile(file));
    if (!image) {
        return 0;
    }
    bkImage_ = std::move(image);
    Invalidate();
    return 1;
}

int PaintManager::LoadBKImage(unsigned resourceId, const std::wstring&) {
    auto image = MRender::LoadImageFromIDResource(resourceId);
    if (!image) {
        return 0;
    }
    bkImage_ = std::move(image);
    Invalidate();
    return 1;
}

void PaintManager::SetBackMode(enumBackMode mode, int corner) {
    backMode_ = mode;
    backCorner_ = corner;
    Invalidate();
}

void PaintManager::SetLayeredWindow(int layered) {
    layered_ = layered ? 1 : 0;
    if (hwnd_) {
        const DWORD ex = GetWindowExStyle(hwnd_);
        SetWindowStyles(hwnd_, GetWindowStyle(hwnd_), layered ? (ex | WS_EX_LAYERED) : (ex & ~WS_EX_LAYERED));
    }
    Invalidate();
}

// ---- painting ----

void PaintManager::DrawBackground(cairo_t* cr, const CRect& client) {
    if (bkImage_) {
        if (backMode_ == kBackModeFrame) {
            MRender::DrawImageFrame(cr, bkImage_.get(), client, 0, 0, bkImage_->Width(), bkImage_->Height(),
                                    backCorner_);
        } else {
            MRender::DrawImage(cr, bkImage_.get(), CRect(0, 0, bkImage_->Width(), bkImage_->Height()), 0, 0,
                               bkImage_->Width(), bkImage_->Height());
        }
        return;
    }
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    SetSourceColorRef(cr, borderColor_, 254);
    PathRect(cr, client);
    cairo_fill(cr);
    CRect inner = client;
    inner.DeflateRect(1, 1);
    SetSourceColorRef(cr, backColor_, 254);
    PathRect(cr, inner);
    cairo_fill(cr);
    cairo_restore(cr);
}

void PaintManager::FixLayeredAlpha(cairo_surface_t* surface, const CRect& area) {
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const CRect bounds = CRect::Intersection(
        area, CRect(0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)));
    for (int y = bounds.top; y < bounds.bottom; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = bounds.left; x < bounds.right; ++x) {
            // Drawing that writes colour without alpha leaves alpha at 0: such a pixel is meant to be
            // opaque, unless it is black, which stays the transparent colour.
            if ((row[x] >> 24) == 0 && (row[x] & 0x00FFFFFF) != 0) {
                row[x] |= 0xFF000000;
            }
        }
    }
    cairo_surface_mark_dirty(surface);
}

void PaintManager::DrawOverlay(cairo_t* cr) {
    std::wstring text;
    CRect box;
    {
        std::lock_guard guard(msgLock_);
        text = msgText_;
        box = msgRect_;
    }
    const unsigned alpha = static_cast<unsigned>(msgOpacity_);
    if (alpha <= 10 || text.empty()) {
        return;
    }
    box.OffsetRect(0, 0);
    MRender::DrawColor(cr, box, MakeARGB(alpha, 0xE6, 0xE6, 0xE6));
    CRect inner = box;
    inner.DeflateRect(2, 2);
    MRender::DrawColor(cr, inner, MakeARGB(alpha, 0xFE, 0xFE, 0xFE));
    const TextStyle style{Manager::GetFontName(), 12, 0};
    const ARGB textColor = MakeARGB(alpha, 0x05, 0x05, 0x05);
    const int shown = progressShown_;
    if (shown <= 0) {
        MRender::DrawTextW(cr, CRect(box.left + 5, box.top + 5, box.left + 5 + 190, box.top + 5 + 50), text,
                           textColor, style, kAlignLeft, kVAlignCenter);
        return;
    }
    MRender::DrawTextW(cr, CRect(box.left + 5, box.top + 5, box.right - 5, box.top + 5 + 30), text, textColor,
                       style, kAlignCenter, kVAlignCenter);
    cairo_save(cr);
    SetSourceARGB(cr, 0xC8C8C8C8);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, box.left + 10, box.bottom - 15 + 0.5);
    cairo_line_to(cr, box.right - 20, box.bottom - 15 + 0.5);
    cairo_stroke(cr);
    cairo_restore(cr);
    const int width = std::min(100, shown) * (box.Width() - 20) / 100;
    MRender::DrawColor(cr, CRect(box.left + 10, box.bottom - 16, box.left + 10 + width, box.bottom - 13),
                       0xFEFFE100);
}

void PaintManager::Compose(cairo_surface_t* target, CRect area) {
    const CRect client(0, 0, cairo_image_surface_get_width(target), cairo_image_surface_get_height(target));
    area = CRect::Intersection(area, client);
    if (area.IsRectEmpty()) {
        return;
    }
    cairo_t* cr = cairo_create(target);
    PathRect(cr, area);
    cairo_clip(cr);
    if (layered_) {
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    DrawBackground(cr, client);
    const CRect clip = layered_ ? client : area;
    auto draw = [&](MControl* c) { c->Draw(cr, clip); };
    areas_.ForEach(draw);
    controls_.ForEach(draw);
    DrawCaret(cr, clip);
    cairo_destroy(cr);
    if (layered_) {
        FixLayeredAlpha(target, area);
    }
    cr = cairo_create(target);
    PathRect(cr, area);
    cairo_clip(cr);
    DrawOverlay(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target);
}

namespace {

struct BackBuffer {
    cairo_surface_t* surface = nullptr;
    ~BackBuffer() {
        if (surface) {
            cairo_surface_destroy(surface);
        }
    }
};

} // namespace

void PaintManager::OnPaint() {
    if (!hwnd_ || IsIconic(hwnd_)) {
        ValidateRect(hwnd_, nullptr);
        return;
    }
    const CRect update = BeginPaint(hwnd_);
    if (update.IsRectEmpty()) {
        return;
    }
    const CSize size = GetClientSize();
    if (size.cx <= 0 || size.cy <= 0) {
        return;
    }
    BackBuffer buffer;
    buffer.surface = MRender::CreateARGB32Bitmap(size.cx, size.cy, nullptr);
    if (!buffer.surface) {
        return;
    }
    const CRect area = layered_ ? CRect(0, 0, size.cx, size.cy) : update;
    Compose(buffer.surface, area);
    Present(hwnd_, buffer.surface, area);
}

// ---- message box overlay ----

void PaintManager::SetMessage(const std::wstring& text, CRect rect, MsgLevel level) {
    if (!hwnd_) {
        return;
    }
    vellum::KillTimer(hwnd_, kTimerMessageHold);
    vellum::KillTimer(hwnd_, kTimerMessageFade);
    {
        std::lock_guard guard(msgLock_);
        msgText_ = text;
        msgLevel_ = level;
        msgRect_ = rect;
        progressTarget_ = 0;
    }
    msgOpacity_ = 255;
    progressShown_ = 0;
    Invalidate();
    vellum::SetTimer(hwnd_, kTimerMessageHold, 3000);
}

void PaintManager::StartFade() {
    vellum::SetTimer(hwnd_, kTimerMessageFade, 50);
}

void PaintManager::SetProgress(int percent, const std::wstring& text, CRect rect) {
    if (!hwnd_) {
        return;
    }
    {
        std::lock_guard guard(msgLock_);
        if (percent == progressTarget_ && msgOpacity_ > 0) {
            return;
        }
        progressTarget_ = percent;
        msgText_ = text;
        if (rect.IsRectEmpty()) {
            const CRect client = GetClientRect();
            msgRect_ = CRect(client.left, client.bottom - 60, client.right, client.bottom - 2);
        } else {
            msgRect_ = rect;
        }
    }
    if (percent < 5) {
        vellum::KillTimer(hwnd_, kTimerMessageFade);
    }
    msgOpacity_ = 255;
    if (percent - progressShown_ < 6) {
        vellum::KillTimer(hwnd_, kTimerProgress);
        progressShown_ = percent;
        if (percent >= 100) {
            StartFade();
        }
    } else {
        vellum::SetTimer(hwnd_, kTimerProgress, 10);
    }
    Invalidate();
}

// ---- timers ----

int PaintManager::OnTimer(UINT id) {
    switch (id) {
    case kTimerMessageHold:
        vellum::KillTimer(hwnd_, kTimerMessageHold);
        StartFade();
        return 1;
    case kTimerMessageFade: {
        const int opacity = msgOpacity_ - 10;
        if (opacity < 20) {
            msgOpacity_ = 0;
            progressShown_ = 0;
            {
                std::lock_guard guard(msgLock_);
                progressTarget_ = 0;
            }
            vellum::KillTimer(hwnd_, kTimerMessageFade);
        } else {
            msgOpacity_ = opacity;
        }
        Invalidate();
        return 1;
    }
    case kTimerProgress: {
        int target = 0;
        {
            std::lock_guard guard(msgLock_);
            target = progressTarget_;
        }
        int shown = progressShown_ + 2;
        if (shown >= target) {
            shown = target;
            vellum::KillTimer(hwnd_, kTimerProgress);
            if (shown >= 100) {
                StartFade();
            }
        }
        progressShown_ = shown;
        Invalidate();
        return 1;
    }
    case kTimerCaret:
        caretShown_ = !caretShown_;
        if (layered_) {
            Invalidate();
        } else {
            InvalidateRect(caretRect_, 0);
        }
        return 1;
    default:
        break;
    }
    std::vector<MControl*> due;
    {
        std::lock_guard guard(timerLock_);
        for (const auto& t : timers_) {
            if (t.running && t.timerId == id) {
                due.push_back(t.control);
            }
        }
    }
    for (MControl* control : due) {
        // A control may have removed itself or another in an earlier call.
        bool still = false;
        {
            std::lock_guard guard(timerLock_);
            still = std::any_of(timers_.begin(), timers_.end(), [&](const ControlTimer& t) {
                return t.control == control && t.timerId == id;
            });
        }
        if (still) {
            control->OnTimer();
        }
    }
    return due.empty() ? 0 : 1;
}

int PaintManager::SetTimer(MControl* control, unsigned key, unsigned elapseMs) {
    if (!control || !hwnd_) {
        return 0;
    }
    std::lock_guard guard(timerLock_);
    for (auto& t : timers_) {
        if (t.control == control && t.key == key) {
            if (t.running) {
                return 0;
            }
            t.running = vellum::SetTimer(hwnd_, t.timerId, elapseMs) != 0;
            return t.running ? 1 : 0;
        }
    }
    // Ids cycle through 240 values above the window's own timer ids; a value still in use is skipped.
    UINT id = 0;
    for (int tries = 0; tries < 240; ++tries) {
        const UINT candidate = kControlTimerBase + (timerCounter_ = (timerCounter_ + 1) % 240);
        if (std::none_of(timers_.begin(), timers_.end(),
                         [&](const ControlTimer& t) { return t.timerId == candidate; })) {
            id = candidate;
            break;
        }
    }
    if (id == 0 || vellum::SetTimer(hwnd_, id, elapseMs) == 0) {
        return 0;
    }
    timers_.push_back(ControlTimer{key, id, true, control});
    return 1;
}

int PaintManager::KillTimer(MControl* control, unsigned key) {
    std::lock_guard guard(timerLock_);
    auto it = std::find_if(timers_.begin(), timers_.end(),
                           [&](const ControlTimer& t) { return t.control == control && t.key == key; });
    if (it == timers_.end()) {
        return 0;
    }
    if (hwnd_) {
        vellum::KillTimer(hwnd_, it->timerId);
    }
    timers_.erase(it);
    return 1;
}

void PaintManager::KillTimer(MControl* control) {
    std::lock_guard guard(timerLock_);
    for (const auto& t : timers_) {
        if (t.control == control && hwnd_) {
            vellum::KillTimer(hwnd_, t.timerId);
        }
    }
    std::erase_if(timers_, [&](const ControlTimer& t) { return t.control == control; });
}

void PaintManager::ClearTimers() {
    std::lock_guard guard(timerLock_);
    for (const auto& t : timers_) {
        if (hwnd_) {
            vellum::KillTimer(hwnd_, t.timerId);
        }
    }
    timers_.clear();
}

unsigned PaintManager::SetMTimer(unsigned periodMs) {
    std::lock_guard guard(animationLock_);
    const unsigned id = nextAnimationId_++;
    animationTimers_[id] = std::make_unique<AnimationTimer>(periodMs, [this] { OnAnimationTick(); });
    return id;
}

void PaintManager::KillMTimer(unsigned id) {
    std::unique_ptr<AnimationTimer> doomed;
    {
        std::lock_guard guard(animationLock_);
        auto it = animationTimers_.find(id);
        if (it == animationTimers_.end()) {
            return;
        }
        doomed = std::move(it->second);
        animationTimers_.erase(it);
    }
    doomed.reset(); // joins outside the lock: a running tick may need it
}

void PaintManager::KillMTimer() {
    std::map<unsigned, std::unique_ptr<AnimationTimer>> doomed;
    {
        std::lock_guard guard(animationLock_);
        doomed.swap(animationTimers_);
    }
    doomed.clear();
}

void PaintManager::AddMTimer(MControl* control) {
    if (!control) {
        return;
    }
    std::lock_guard guard(animationLock_);
    if (std::find(animated_.begin(), animated_.end(), control) == animated_.end()) {
        animated_.push_back(control);
    }
}

void PaintManager::DeleteFSTimer(MControl* control) {
    std::lock_guard guard(animationLock_);
    std::erase(animated_, control);
}

void PaintManager::OnAnimationTick() {
    std::lock_guard guard(animationLock_);
    for (MControl* control : animated_) {
        if (control->IsRunTimer() && control->IsVisible() && control->IsParentVisible()) {
            control->OnTimer();
        }
    }
}

// ---- caret ----

void PaintManager::CreateCaret(int width, int height) {
    caretRect_ = CRect(caretRect_.left, caretRect_.top, caretRect_.left + width, caretRect_.top + height);
}

void PaintManager::ShowCaret(int show) {
    caretVisible_ = show ? 1 : 0;
    caretShown_ = show ? 1 : 0;
    if (hwnd_) {
        if (show) {
            vellum::SetTimer(hwnd_, kTimerCaret, 500);
        } else {
            vellum::KillTimer(hwnd_, kTimerCaret);
        }
        InvalidateRect(caretRect_, 0);
    }
}

void PaintManager::SetCaretPos(MControl* owner, int x, int y) {
    const CRect old = caretRect_;
    caretOwner_ = owner;
    caretRect_ = CRect(x, y, x + old.Width(), y + old.Height());
    if (hwnd_) {
        InvalidateRect(CRect::Union(old, caretRect_), 0);
    }
}

void PaintManager::DrawCaret(HDC hdc, CRect clip) {
    if (!caretVisible_ || !caretShown_ || !caretRect_.Intersects(clip)) {
        return;
    }
    MRender::DrawColor(hdc, caretRect_, 0xFF000000 | (caretOwner_ ? 0x101010 : 0));
}

// ---- images and fonts ----

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* file, int count) {
    if (!file || !*file || count <= 0) {
        return nullptr;
    }
    std::lock_guard guard(imageLock_);
    if (auto it = images_.find(file); it != images_.end()) {
        return it->second.get();
    }
    auto image = MRender::LoadImageFromFile(Manager::ResolveSkinFile(file));
    if (!image) {
        return nullptr;
    }
    auto info = std::make_unique<ImgResInfo>();
    info->sliceWidth = image->Width() / count;
    info->height = image->Height();
    info->count = count;
    info->file = file;
    info->image = std::move(image);
    ImgResInfo* raw = info.get();
    images_.emplace(file, std::move(info));
    return raw;
}

ImgResInfo* PaintManager::AddImgResInfo(unsigned resourceId, const std::wstring&, int count, int) {
    if (count <= 0) {
        return nullptr;
    }
    std::lock_guard guard(imageLock_);
    if (auto it = resourceImages_.find(resourceId); it != resourceImages_.end()) {
        return it->second.get();
    }
    auto image = MRender::LoadImageFromIDResource(resourceId);
    if (!image) {
        return nullptr;
    }
    auto info = std::make_unique<ImgResInfo>();
    info->sliceWidth = image->Width() / count;
    info->height = image->Height();
    info->count = count;
    info->image = std::move(image);
    ImgResInfo* raw = info.get();
    resourceImages_.emplace(resourceId, std::move(info));
    return raw;
}

void PaintManager::ClearImgResInfo() {
    std::lock_guard guard(imageLock_);
    images_.clear();
    resourceImages_.clear();
}

std::wstring PaintManager::AddTempFont(const wchar_t* face, const wchar_t* file) {
    if (!face || !file) {
        return {};
    }
    const std::wstring family = FontRegistry::AddFontFile(file);
    if (family.empty()) {
        return {};
    }
    std::lock_guard guard(fontLock_);
    fonts_[face] = family;
    return family;
}

std::wstring PaintManager::FindTempFont(const wchar_t* face) {
    if (!face || !*face) {
        return {};
    }
    {
        std::lock_guard guard(fontLock_);
        if (auto it = fonts_.find(face); it != fonts_.end()) {
            return it->second;
        }
    }
    const std::wstring family = FontRegistry::InstalledFamily(face);
    std::lock_guard guard(fontLock_);
    fonts_[face] = family; // an empty entry remembers that there is no such font
    return family;
}

void PaintManager::ClearTempFont() {
    std::lock_guard guard(fontLock_);
    fonts_.clear();
}

// ---- geometry ----

CRect PaintManager::GetClientRect() const {
    CRect rect;
    if (hwnd_) {
        vellum::GetClientRect(hwnd_, rect);
    }
    return rect;
}

CRect PaintManager::GetWindowRect() const {
    CRect rect;
    if (hwnd_) {
        vellum::GetWindowRect(hwnd_, rect);
    }
    return rect;
}

CSize PaintManager::GetClientSize() const {
    return GetClientRect().Size();
}

LRESULT PaintManager::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
    return hwnd_ ? vellum::SendMessageW(hwnd_, msg, wParam, lParam) : 0;
}

bool PaintManager::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
    return hwnd_ && vellum::PostMessageW(hwnd_, msg, wParam, lParam);
}

} // namespace vellum
