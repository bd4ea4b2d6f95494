#pragma once

#include <chrono>

namespace dramolex::python {

// Lets Ctrl-C stop a long run that plays without the GIL: on the main
// thread, about ten times a second, it takes the GIL and asks Python for
// pending signals, raising their exception (KeyboardInterrupt) here.
class InterruptCheck {
public:
    InterruptCheck();
    void poll()
    {
        if (onMainThread_ && ++calls_ % 256 == 0) pollSlowly();
    }

private:
    void pollSlowly();

    bool onMainThread_;
    unsigned calls_ = 0;
    std::chrono::steady_clock::time_point next_;
};

// Records which thread is Python's main thread; called once at import.
void rememberMainThread();

} // namespace dramolex::python
