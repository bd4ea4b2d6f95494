// Measures the period of the life-span sequence that mortal agents draw with
// --lifespans fixed: every agent folds the fixed seed into the process-wide
// normal generator and takes one variate, so the generator's 32-bit state
// before each construction is all that decides the next life span. Brent's
// cycle search on that state gives the period and the length of the run-in
// before the cycle; the life spans are then checked to repeat with it.
//
// Prints one JSON object: period, run_in, the draws the search took, and for
// each average life span asked for whether its sequence repeats with the
// period over the checked draws, the mean life span over one period and the
// first ten life spans of a fresh process.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
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
    uint64_t draws = 0;
};

// Brent's algorithm over the state sequence of a fresh process's generator.
Cycle findCycle()
{
    Cycle c;
    Ziggurat hare;
    uint32_t tortoise = hare.state();
    uint64_t power = 1;
    uint64_t length = 1;
    drawForAgent(hare);
    ++c.draws;
    while (hare.state() != tortoise) {
        if (length == power) {
            tortoise = hare.state();
            power *= 2;
            length = 0;
        }
        drawForAgent(hare);
        ++c.draws;
        ++length;
    }
    c.period = length;

    Ziggurat first;
    Ziggurat ahead;
    for (uint64_t i = 0; i < c.period; ++i) drawForAgent(ahead);
    while (first.state() != ahead.state()) {
        drawForAgent(first);
        drawForAgent(ahead);
        ++c.runIn;
    }
    c.draws += 2 * c.runIn + c.period;
    return c;
}

// Whether the life spans for avgAge repeat with the period over `checked`
// draws after the run-in.
bool repeats(const Cycle& c, int32_t avgAge, uint64_t checked)
{
    Ziggurat first;
    for (uint64_t i = 0; i < c.runIn; ++i) drawForAgent(first);
    Ziggurat ahead = first;
    for (uint64_t i = 0; i < c.period; ++i) drawForAgent(ahead);
    for (uint64_t i = 0; i < checked; ++i) {
        if (Agent::lifeSpanFrom(drawForAgent(first), avgAge) != Agent::lifeSpanFrom(drawForAgent(ahead), avgAge)) {
            return false;
        }
    }
    return true;
}

// The mean life span over one period of the cycle: what long runs with fixed
// life spans average to.
double cycleMean(const Cycle& c, int32_t avgAge)
{
    Ziggurat generator;
    for (uint64_t i = 0; i < c.runIn; ++i) drawForAgent(generator);
    double sum = 0.0;
    for (uint64_t i = 0; i < c.period; ++i) sum += Agent::lifeSpanFrom(drawForAgent(generator), avgAge);
    return sum / static_cast<double>(c.period);
}

// The first `count` life spans a fresh process gives for avgAge.
void firstLifeSpans(int32_t avgAge, uint64_t count, std::vector<int32_t>& out)
{
    Ziggurat generator;
    out.clear();
    for (uint64_t i = 0; i < count; ++i) out.push_back(Agent::lifeSpanFrom(drawForAgent(generator), avgAge));
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int32_t> ages;
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        const long age = std::strtol(argv[i], &end, 10);
        if (*argv[i] == '\0' || *end != '\0' || age < 1 || age > 100) {
            std::fprintf(stderr, "average life span '%s': not accepted (accepted: 1 to 100)\n", argv[i]);
            return 2;
        }
        ages.push_back(static_cast<int32_t>(age));
    }
    if (ages.empty()) ages = {1, 5, 20, 50, 100};

    const Cycle c = findCycle();
    const uint64_t checked = c.period < 1000000 ? c.period : 1000000;
    std::string out = "{\"period\": " + std::to_string(c.period) + ", \"run_in\": " + std::to_string(c.runIn) +
                      ", \"draws\": " + std::to_string(c.draws) + ", \"checked\": " + std::to_string(checked) +
                      ", \"repeats\": {";
    for (size_t i = 0; i < ages.size(); ++i) {
        out += (i ? ", " : "") + std::string("\"") + std::to_string(ages[i]) +
               "\": " + (repeats(c, ages[i], checked) ? "true" : "false");
    }
    out += "}, \"cycle_mean\": {";
    for (size_t i = 0; i < ages.size(); ++i) {
        char mean[64];
        std::snprintf(mean, sizeof mean, "%.17g", cycleMean(c, ages[i]));
        out += (i ? ", " : "") + std::string("\"") + std::to_string(ages[i]) + "\": " + mean;
    }
    out += "}, \"first\": {";
    std::vector<int32_t> spans;
    for (size_t i = 0; i < ages.size(); ++i) {
        firstLifeSpans(ages[i], 10, spans);
        out += (i ? ", " : "") + std::string("\"") + std::to_string(ages[i]) + "\": [";
        for (size_t k = 0; k < spans.size(); ++k) out += (k ? ", " : "") + std::to_string(spans[k]);
        out += "]";
    }
    out += "}}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}
