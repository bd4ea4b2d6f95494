#pragma once

#include <span>
#include <string_view>

namespace dramolex::sweep {

struct ExampleConfig {
    std::string_view name;
    std::string_view about;
    std::string_view text;  // TOML
};

// The bundled configs of the field's standard studies: phase-diagram,
// herding, mortality.
std::span<const ExampleConfig> exampleConfigs();

} // namespace dramolex::sweep
