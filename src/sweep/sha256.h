#pragma once

#include <string>

namespace dramolex::sweep {

// The SHA-256 of a file's contents as 64 lower-case hex digits, read in
// blocks; empty when the file cannot be read.
std::string fileSha256(const std::string& path);
std::string textSha256(const std::string& text);

} // namespace dramolex::sweep
