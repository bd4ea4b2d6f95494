#include "sweep/stop_request.h"

namespace dramolex::sweep {
namespace {

// A signal handler can only reach the request through a pointer set beforehand.
std::atomic<StopRequest*> target{nullptr};

extern "C" void onStopSignal(int signalNumber)
{
    if (StopRequest* stop = target.load()) stop->request(signalNumber);
}

} // namespace

StopOnSignals::StopOnSignals(StopRequest& stop)
{
    target.store(&stop);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt_);
    sigaction(SIGTERM, &action, &previousTerm_);
}

StopOnSignals::~StopOnSignals()
{
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
    target.store(nullptr);
}

} // namespace dramolex::sweep
