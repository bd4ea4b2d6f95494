// Measures the cycle of the life-span sequence that mortal agents draw from
// the process-wide generator (--lifespans fixed). Every agent folds the fixed
// seed 1684623 into that generator (XOR) and takes one variate, so the
// generator's 32-bit state before each construction is all that decides the
// next life span: the sequence of states follows one fixed map and must end in
// a cycle. Brent's cycle search gives the cycle's length and the run-in before
// it.
//
//   lifespan_period [--seeds K] [--draws D] [MEAN...]
//
// Prints one JSON object. For the process-wide generator: period, run_in,
// whether each mean's life spans repeat with the period, the mean life span
// over one cycle, how often each life span occurs over it, and a fresh
// process's first ten life spans.
// With --seeds K, also for seeds 1..K:
// - "seeded": the run's own generators (--lifespans seeded), which fold
//   nothing in, followed over D agents each (default 200000): how many of
//   their states lie on the process-wide cycle (a plain shift register lands
//   there by chance about D * period / 2^32 times) and the longest stretch of
//   agents whose states follow that cycle's own sequence (on the cycle, its
//   length would grow to D minus a run-in) and how many seeds follow it for
//   more than one agent (the process-wide generator itself, followed the same
//   way as a yardstick, steps along it from its run-in on);
// - "folding": the cycles that the same starting states would end in if they
//   folded the seed in at every agent as the process-wide generator does, with
//   the shortest and longest run-in before each.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/agent.h"
#include "random/ziggurat.h"

namespace {

using dramolex::model::Agent;
using dramolex::random::Ziggurat;

// One agent construction's use of the generator; returns the variate.
float drawForAgent(Ziggurat& generator)
{
    generator.zigset(Agent::lifeSpanSeed);
    return generator.rnor();
}

struct Cycle {
    uint64_t period = 0;
    uint64_t runIn = 0;
    uint32_t smallestState = 0;
};

// Brent's algorithm over the state sequence starting at `start`.
Cycle findCycle(const Ziggurat& start)
{
    Cycle c;
    Ziggurat hare = start;
    uint32_t tortoise = hare.state();
    uint64_t power = 1;
    uint64_t length = 1;
    drawForAgent(hare);
    while (hare.state() != tortoise) {
        if (length == power) {
            tortoise = hare.state();
            power *= 2;
            length = 0;
        }
        drawForAgent(hare);
        ++length;
    }
    c.period = length;

    Ziggurat first = start;
    Ziggurat ahead = start;
    for (uint64_t i = 0; i < c.period; ++i) drawForAgent(ahead);
    while (first.state() != ahead.state()) {
        drawForAgent(first);
        drawForAgent(ahead);
        ++c.runIn;
    }
    c.smallestState = first.state();
    for (uint64_t i = 0; i < c.period; ++i) {
        drawForAgent(first);
        if (first.state() < c.smallestState) c.smallestState = first.state();
    }
    return c;
}

// The cycle's states, each with the state that follows it, sorted by state.
std::vector<std::pair<uint32_t, uint32_t>> cycleStates(const Ziggurat& start, const Cycle& c)
{
    std::vector<std::pair<uint32_t, uint32_t>> states;
    states.reserve(c.period);
    Ziggurat g = start;
    for (uint64_t i = 0; i < c.runIn; ++i) drawForAgent(g);
    for (uint64_t i = 0; i < c.period; ++i) {
        const uint32_t before = g.state();
        drawForAgent(g);
        states.emplace_back(before, g.state());
    }
    std::sort(states.begin(), states.end());
    return states;
}

struct Visits {
    uint64_t onCycle = 0;        // agents whose state lies on the cycle
    uint64_t longestFollow = 0;  // longest run of agents stepping along the cycle
};

// Follows `generator` over `draws` agents and compares its states with the cycle's.
Visits visitsOf(Ziggurat generator, const std::vector<std::pair<uint32_t, uint32_t>>& cycle, uint64_t draws)
{
    Visits v;
    uint64_t follow = 0;
    for (uint64_t i = 0; i < draws; ++i) {
        const uint32_t before = generator.state();
        drawForAgent(generator);
        const auto at = std::lower_bound(cycle.begin(), cycle.end(), std::make_pair(before, uint32_t{0}));
        const bool on = at != cycle.end() && at->first == before;
        if (on) ++v.onCycle;
        follow = on && at->second == generator.state() ? follow + 1 : 0;
        if (follow > v.longestFollow) v.longestFollow = follow;
    }
    return v;
}

// A generator at `state` that folds the life-span seed in at every agent, as
// the process-wide one does: zigset XORs, so folding start ^ state into a
// fresh generator's start leaves exactly `state`.
Ziggurat foldingAt(uint32_t state)
{
    Ziggurat g;
    g.zigset(g.state() ^ state);
    return g;
}

// The generator at the first state of the cycle.
Ziggurat onCycle(const Ziggurat& start, const Cycle& c)
{
    Ziggurat g = start;
    for (uint64_t i = 0; i < c.runIn; ++i) drawForAgent(g);
    return g;
}

// Whether the life spans for avgAge repeat with the period over `checked` draws on the cycle.
bool repeats(const Ziggurat& start, const Cycle& c, int32_t avgAge, uint64_t checked)
{
    Ziggurat first = onCycle(start, c);
    Ziggurat ahead = first;
    for (uint64_t i = 0; i < c.period; ++i) drawForAgent(ahead);
    for (uint64_t i = 0; i < checked; ++i) {
        if (Agent::lifeSpanFrom(drawForAgent(first), avgAge) != Agent::lifeSpanFrom(drawForAgent(ahead), avgAge)) {
            return false;
        }
    }
    return true;
}

// The mean life span over one cycle: what long runs average to.
double cycleMean(const Ziggurat& start, const Cycle& c, int32_t avgAge)
{
    Ziggurat g = onCycle(start, c);
    double sum = 0.0;
    for (uint64_t i = 0; i < c.period; ++i) sum += Agent::lifeSpanFrom(drawForAgent(g), avgAge);
    return sum / static_cast<double>(c.period);
}

// How often each life span 0..100 occurs over one cycle.
std::string histogram(const Ziggurat& start, const Cycle& c, int32_t avgAge)
{
    std::vector<uint64_t> counts(101, 0);
    Ziggurat g = onCycle(start, c);
    for (uint64_t i = 0; i < c.period; ++i) ++counts[static_cast<size_t>(Agent::lifeSpanFrom(drawForAgent(g), avgAge))];
    std::string out = "[";
    for (size_t l = 0; l < counts.size(); ++l) out += (l ? ", " : "") + std::to_string(counts[l]);
    return out + "]";
}

std::string number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string means(const Ziggurat& start, const Cycle& c, const std::vector<int32_t>& ages)
{
    std::string out = "{";
    for (size_t i = 0; i < ages.size(); ++i) {
        out += (i ? ", \"" : "\"") + std::to_string(ages[i]) + "\": " + number(cycleMean(start, c, ages[i]));
    }
    return out + "}";
}

bool parseWhole(const char* text, long low, long high, long& out)
{
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return *text != '\0' && *end == '\0' && out >= low && out <= high;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int32_t> ages;
    long seeds = 0;
    long draws = 200000;
    for (int i = 1; i < argc; ++i) {
        long value = 0;
        if (std::strcmp(argv[i], "--draws") == 0) {
            if (i + 1 >= argc || !parseWhole(argv[i + 1], 1, 100000000, draws)) {
                std::fprintf(stderr, "--draws '%s': not accepted (accepted: 1 to 100000000)\n",
                             i + 1 < argc ? argv[i + 1] : "");
                return 2;
            }
            ++i;
        } else if (std::strcmp(argv[i], "--seeds") == 0) {
            if (i + 1 >= argc || !parseWhole(argv[i + 1], 1, 1000000, seeds)) {
                std::fprintf(stderr, "--seeds '%s': not accepted (accepted: 1 to 1000000)\n",
                             i + 1 < argc ? argv[i + 1] : "");
                return 2;
            }
            ++i;
        } else if (parseWhole(argv[i], 1, 100, value)) {
            ages.push_back(static_cast<int32_t>(value));
        } else {
            std::fprintf(stderr, "average life span '%s': not accepted (accepted: 1 to 100)\n", argv[i]);
            return 2;
        }
    }
    if (ages.empty()) ages = {1, 5, 20, 50, 100};

    const Ziggurat fresh;
    const Cycle c = findCycle(fresh);
    const uint64_t checked = c.period < 1000000 ? c.period : 1000000;
    std::string out = "{\"period\": " + std::to_string(c.period) + ", \"run_in\": " + std::to_string(c.runIn) +
                      ", \"smallest_state\": " + std::to_string(c.smallestState) +
                      ", \"checked\": " + std::to_string(checked) + ", \"repeats\": {";
    for (size_t i = 0; i < ages.size(); ++i) {
        out += (i ? ", \"" : "\"") + std::to_string(ages[i]) +
               "\": " + (repeats(fresh, c, ages[i], checked) ? "true" : "false");
    }
    out += "}, \"cycle_mean\": " + means(fresh, c, ages) + ", \"cycle_counts\": {";
    for (size_t i = 0; i < ages.size(); ++i) {
        out += (i ? ", \"" : "\"") + std::to_string(ages[i]) + "\": " + histogram(fresh, c, ages[i]);
    }
    out += "}, \"first\": {";
    for (size_t i = 0; i < ages.size(); ++i) {
        Ziggurat g = fresh;
        out += (i ? ", \"" : "\"") + std::to_string(ages[i]) + "\": [";
        for (int k = 0; k < 10; ++k) out += (k ? ", " : "") + std::to_string(Agent::lifeSpanFrom(drawForAgent(g), ages[i]));
        out += "]";
    }
    out += "}";

    if (seeds > 0) {
        const auto states = cycleStates(fresh, c);
        uint64_t onCycle = 0;
        uint64_t longestFollow = 0;
        long seedsFollowing = 0;
        for (long seed = 1; seed <= seeds; ++seed) {
            const Visits v = visitsOf(Ziggurat::seededFor(static_cast<uint32_t>(seed)), states,
                                      static_cast<uint64_t>(draws));
            onCycle += v.onCycle;
            longestFollow = std::max(longestFollow, v.longestFollow);
            if (v.longestFollow > 1) ++seedsFollowing;
        }
        const uint64_t fixedFollow = visitsOf(fresh, states, static_cast<uint64_t>(draws)).longestFollow;
        out += ", \"seeded\": {\"seeds\": " + std::to_string(seeds) + ", \"draws\": " + std::to_string(draws) +
               ", \"on_cycle\": " + std::to_string(onCycle) + ", \"chance_on_cycle\": " +
               number(static_cast<double>(seeds) * static_cast<double>(draws) * static_cast<double>(c.period) /
                      4294967296.0) +
               ", \"longest_follow\": " + std::to_string(longestFollow) +
               ", \"seeds_following\": " + std::to_string(seedsFollowing) +
               ", \"fixed_longest_follow\": " + std::to_string(fixedFollow) + "}";

        struct Found {
            Cycle cycle;
            long seeds = 0;
            uint64_t shortestRunIn = UINT64_MAX;
            uint64_t longestRunIn = 0;
        };
        std::map<uint32_t, Found> cycles;  // by smallest state
        for (long seed = 1; seed <= seeds; ++seed) {
            const Ziggurat start = foldingAt(Ziggurat::seededFor(static_cast<uint32_t>(seed)).state());
            const Cycle found = findCycle(start);
            auto [it, added] = cycles.try_emplace(found.smallestState, Found{found});
            ++it->second.seeds;
            it->second.shortestRunIn = std::min(it->second.shortestRunIn, found.runIn);
            it->second.longestRunIn = std::max(it->second.longestRunIn, found.runIn);
        }
        out += ", \"folding\": {\"seeds\": " + std::to_string(seeds) + ", \"cycles\": [";
        bool firstCycle = true;
        for (const auto& [smallest, f] : cycles) {
            out += std::string(firstCycle ? "" : ", ") + "{\"period\": " + std::to_string(f.cycle.period) +
                   ", \"smallest_state\": " + std::to_string(smallest) + ", \"seeds\": " + std::to_string(f.seeds) +
                   ", \"shortest_run_in\": " + std::to_string(f.shortestRunIn) +
                   ", \"longest_run_in\": " + std::to_string(f.longestRunIn) + "}";
            firstCycle = false;
        }
        out += "]}";
    }
    out += "}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}
