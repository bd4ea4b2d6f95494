#include "run/message_text.h"

namespace dramolex::run {

std::string shortenedForMessage(std::string_view value)
{
    if (value.size() <= longestEchoedValue) return std::string(value);
    // Both ends matter: an option value starts with its digits, a path ends
    // with its file name.
    constexpr size_t kept = 60;
    std::string text(value.substr(0, kept));
    text += "...";
    text += value.substr(value.size() - kept);
    text += " (" + std::to_string(value.size()) + " characters)";
    return text;
}

} // namespace dramolex::run
