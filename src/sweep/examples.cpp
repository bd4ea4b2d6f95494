#include "sweep/examples.h"

namespace dramolex::sweep {
namespace {

constexpr ExampleConfig examples[] = {
    {"phase-diagram", "sigma^2/N and H/N against alpha = 2^memory/N: two strategies, best rule, no replacement",
     R"(# The standard minority game's phase diagram: plot sigma2_over_n and h_over_n
# against alpha = 2^memory / agents (log-log). The volatility has its minimum
# and H/N falls to 0 near alpha_c ~ 0.34 for two strategies per agent.
rounds = 10000
burn_in = 5000
replications = 4
seed = 1

[parameters]
agents = [101, 201, 401, 801]
memory = [3, 4, 5, 6, 7, 8, 9, 10]
strategies = 2
rule = "best"
replacement = "off"
)"},
    {"herding", "groupers and groups: how herding changes the winners and the groupers' capital",
     R"(# Herding: the share of agents in groups against the number of groups.
# Compare mean_winners and mean_capital_groupers - mean_capital_nongroupers.
rounds = 5000
burn_in = 1000
replications = 4
seed = 1

[parameters]
agents = 201
groupers = [0, 20, 40, 60, 80, 100]
groups = [2, 5, 10, 25]
)"},
    {"mortality", "life spans: the population's renewal with life spans drawn per run",
     R"(# Mortality: average life span against the plain game (off). Each run draws
# its life spans from a normal generator seeded by the run's seed.
rounds = 5000
burn_in = 1000
replications = 8
seed = 1

[parameters]
agents = [101, 201]
lifespan = ["off", 5, 10, 20, 50, 100]
lifespans = "seeded"
)"},
};

} // namespace

std::span<const ExampleConfig> exampleConfigs() { return examples; }

} // namespace dramolex::sweep
