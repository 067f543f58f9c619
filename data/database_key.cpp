// Deriving the keys of the database files, once per salt.
#include "data/database_key.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <array>
#include <map>
#include <mutex>

#include "data/database_error.h"

namespace quenvil {
namespace {

// SQLCipher 3's defaults, which every data.Mdb so far was written with.
constexpr size_t kSaltBytes = 16;
constexpr size_t kKeyBytes = 32;
constexpr int kRounds = 64000;

struct KeyCache {
    std::mutex mutex;
    std::map<std::string, std::string> rawKeys;  // by salt and password
    size_t derivations = 0;
};

KeyCache& cache() {
    static KeyCache c;
    return c;
}

// The first bytes of the file; fewer when it is shorter or cannot be read.
std::string saltOf(const std::filesystem::path& file) {
    std::string salt(kSaltBytes, '\0');
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    size_t got = 0;
    while (got < salt.size()) {
        const ssize_t n = ::read(fd, salt.data() + got, salt.size() - got);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    salt.resize(got);
    return salt;
}

std::string derive(const std::string& password, const std::string& salt) {
    std::array<unsigned char, kKeyBytes> key{};
    if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                          reinterpret_cast<const unsigned char*>(salt.data()),
                          static_cast<int>(salt.size()), kRounds, EVP_sha1(),
                          static_cast<int>(key.size()), key.data()) != 1) {
        throw DatabaseError("cannot derive the database key");
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string raw = "x'";
    for (const unsigned char b : key) {
        raw += kHex[b >> 4];
        raw += kHex[b & 0xF];
    }
    raw += '\'';
    return raw;
}

}  // namespace

std::string rawKeyOf(const std::filesystem::path& file, const std::string& password) {
    if (password.starts_with("x'")) return {};
    const std::string salt = saltOf(file);
    if (salt.size() < kSaltBytes) return {};
    KeyCache& c = cache();
    const std::lock_guard lock(c.mutex);
    auto [it, added] = c.rawKeys.try_emplace(salt + password);
    if (added) {
        try {
            it->second = derive(password, salt);
        } catch (...) {
            c.rawKeys.erase(it);
            throw;
        }
        ++c.derivations;
    }
    return it->second;
}

size_t keyDerivations() {
    KeyCache& c = cache();
    const std::lock_guard lock(c.mutex);
    return c.derivations;
}

}  // namespace quenvil
