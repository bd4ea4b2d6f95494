#include "sweep/sha256.h"

#include <array>
#include <fcntl.h>
#include <memory>
#include <openssl/evp.h>
#include <unistd.h>

namespace dramolex::sweep {
namespace {

struct DigestDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Digest = std::unique_ptr<EVP_MD_CTX, DigestDeleter>;

Digest startDigest()
{
    Digest context(EVP_MD_CTX_new());
    if (context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) context.reset();
    return context;
}

std::string finishDigest(EVP_MD_CTX* context)
{
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context, digest.data(), &length) != 1) return {};
    static constexpr char hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 15];
    }
    return text;
}

} // namespace

std::string fileSha256(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    Digest context = startDigest();
    std::string result;
    if (context) {
        std::array<char, 1 << 16> buffer{};
        ssize_t got = 0;
        while ((got = ::read(fd, buffer.data(), buffer.size())) > 0)
            if (EVP_DigestUpdate(context.get(), buffer.data(), static_cast<size_t>(got)) != 1) break;
        if (got == 0) result = finishDigest(context.get());
    }
    ::close(fd);
    return result;
}

std::string textSha256(const std::string& text)
{
    Digest context = startDigest();
    if (!context || EVP_DigestUpdate(context.get(), text.data(), text.size()) != 1) return {};
    return finishDigest(context.get());
}

} // namespace dramolex::sweep
