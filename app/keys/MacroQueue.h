#pragma once

// The main window's queue of macros waiting for the worker, as the key handler uses it.

namespace kw {

class MacroQueue {
public:
    virtual ~MacroQueue() = default;
    virtual bool Empty() const = 0;
    // Queues a macro id; the worker calls PlayMacro for it and removes it when the play ends.
    virtual void Post(int macroId) = 0;
};

} // namespace kw
