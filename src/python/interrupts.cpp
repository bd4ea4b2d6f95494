#include "interrupts.h"

#include <thread>

#include <pybind11/pybind11.h>

namespace py = pybind11;

namespace dramolex::python {
namespace {

std::thread::id mainThread;
constexpr auto interval = std::chrono::milliseconds(100);

} // namespace

void rememberMainThread() { mainThread = std::this_thread::get_id(); }

InterruptCheck::InterruptCheck()
    : onMainThread_(std::this_thread::get_id() == mainThread), next_(std::chrono::steady_clock::now() + interval)
{
}

void InterruptCheck::pollSlowly()
{
    const auto now = std::chrono::steady_clock::now();
    if (now < next_) return;
    next_ = now + interval;
    py::gil_scoped_acquire gil;
    if (PyErr_CheckSignals() != 0) throw py::error_already_set();
}

} // namespace dramolex::python
