#include "random/ziggurat.h"

#include <cmath>

#include "random/split_mix64.h"

namespace dramolex::random {

Ziggurat& Ziggurat::processWide()
{
    static Ziggurat generator;
    return generator;
}

Ziggurat Ziggurat::seededFor(uint32_t runSeed)
{
    Ziggurat generator;
    const auto state = static_cast<uint32_t>(splitMix64(runSeed));
    generator.jsr_ = state == 0 ? 123456789u : state;
    return generator;
}

const Ziggurat::Tables& Ziggurat::emptyTables()
{
    static const Tables zeros{};
    return zeros;
}

const Ziggurat::Tables& Ziggurat::computedTables()
{
    static const Tables tables = [] {
        Tables t;
        const double m1 = 2147483648.0;
        double dn = 3.442619855899;
        double tn = dn;
        const double vn = 9.91256303526217e-3;

        const double q = vn / std::exp(-0.5 * dn * dn);
        t.kn[0] = static_cast<uint32_t>((dn / q) * m1);
        t.kn[1] = 0;
        t.wn[0] = static_cast<float>(q / m1);
        t.wn[127] = static_cast<float>(dn / m1);
        t.fn[0] = 1.0f;
        t.fn[127] = static_cast<float>(std::exp(-0.5 * dn * dn));
        for (int i = 126; i >= 1; --i) {
            dn = std::sqrt(-2.0 * std::log(vn / dn + std::exp(-0.5 * dn * dn)));
            t.kn[i + 1] = static_cast<uint32_t>((dn / tn) * m1);
            tn = dn;
            t.fn[i] = static_cast<float>(std::exp(-0.5 * dn * dn));
            t.wn[i] = static_cast<float>(dn / m1);
        }
        return t;
    }();
    return tables;
}

void Ziggurat::zigset(uint32_t jsrseed)
{
    jsr_ ^= jsrseed;
    tables_ = &computedTables();
}

float Ziggurat::nfix()
{
    const float r = 3.442620f;
    const Tables& t = *tables_;
    for (;;) {
        float x = static_cast<float>(hz_) * t.wn[iz_];
        if (iz_ == 0) {
            float y;
            do {
                x = static_cast<float>(-std::log(uni()) * 0.2904764);
                y = static_cast<float>(-std::log(uni()));
            } while (static_cast<double>(y) + y < static_cast<double>(x) * x);
            return hz_ > 0 ? static_cast<float>(static_cast<double>(r) + x)
                           : static_cast<float>(-static_cast<double>(r) - x);
        }
        const double fnHere = t.fn[iz_];
        const double fnInner = t.fn[iz_ - 1];
        if (fnHere + uni() * (fnInner - fnHere) < std::exp(-0.5 * static_cast<double>(x) * x)) return x;

        hz_ = static_cast<int32_t>(shr3());
        iz_ = static_cast<uint32_t>(hz_) & 127u;
        if (absHz() < t.kn[iz_]) return static_cast<float>(hz_) * t.wn[iz_];
    }
}

} // namespace dramolex::random
