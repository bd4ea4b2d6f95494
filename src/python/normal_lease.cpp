#include "normal_lease.h"

#include <utility>

namespace dramolex::python {
namespace {

std::mutex processWideInUse;

} // namespace

bool NormalLease::needed(const run::RunConfig& config)
{
    return config.parameters.mortality() && config.parameters.model.lifespans == model::LifeSpans::fixed;
}

NormalLease::NormalLease(const run::RunConfig& config, random::Ziggurat& own)
{
    if (!needed(config)) return;
    lock_ = std::unique_lock(processWideInUse);
    own_ = &own;
    std::swap(random::Ziggurat::processWide(), own);
}

NormalLease::~NormalLease()
{
    if (own_ != nullptr) std::swap(random::Ziggurat::processWide(), *own_);
}

} // namespace dramolex::python
