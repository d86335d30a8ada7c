#include "converter/core/Revision6Keys.h"

#include <nettle/aes.h>
#include <nettle/cbc.h>
#include <nettle/memops.h>
#include <nettle/sha2.h>

#include <sys/random.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <vector>

namespace folyant::converter::revision6 {

namespace {

constexpr std::size_t kSaltBytes = 8;
constexpr std::size_t kMaxPasswordBytes = 127;

// The SHA-2 digest of size 32, 48 or 64 over the pieces, into out.
void digest(std::size_t size, std::initializer_list<std::pair<const unsigned char*, std::size_t>> pieces,
    unsigned char* out)
{
    if (size == 32) {
        sha256_ctx ctx;
        sha256_init(&ctx);
        for (const auto& [data, length] : pieces)
            sha256_update(&ctx, length, data);
        sha256_digest(&ctx, SHA256_DIGEST_SIZE, out);
        return;
    }
    sha512_ctx ctx;
    if (size == 48)
        sha384_init(&ctx);
    else
        sha512_init(&ctx);
    for (const auto& [data, length] : pieces)
        sha512_update(&ctx, length, data);
    if (size == 48)
        sha384_digest(&ctx, SHA384_DIGEST_SIZE, out);
    else
        sha512_digest(&ctx, SHA512_DIGEST_SIZE, out);
}

// 32 bytes through AES-256 in CBC mode with a zero IV: how a file key is
// wrapped in UE and OE.
void wrap(const unsigned char* key, const unsigned char* in, unsigned char* out)
{
    aes256_ctx aes;
    aes256_set_encrypt_key(&aes, key);
    unsigned char iv[AES_BLOCK_SIZE] = {};
    cbc_aes256_encrypt(&aes, iv, 32, out, in);
}

void unwrap(const unsigned char* key, const unsigned char* in, unsigned char* out)
{
    aes256_ctx aes;
    aes256_set_decrypt_key(&aes, key);
    unsigned char iv[AES_BLOCK_SIZE] = {};
    cbc_decrypt(&aes, reinterpret_cast<nettle_cipher_func*>(aes256_decrypt), AES_BLOCK_SIZE, iv, 32, out, in);
}

std::string_view cut(std::string_view password)
{
    return password.substr(0, std::min(password.size(), kMaxPasswordBytes));
}

const unsigned char* bytesOf(std::string_view text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

// The hardened hash of a password with an 8-byte salt, and with the 48 bytes
// of U when the password is the owner's.
Bytes32 hardenedHash(std::string_view password, const unsigned char* salt, const unsigned char* userEntry)
{
    password = cut(password);
    const std::size_t userBytes = userEntry ? 48 : 0;
    unsigned char k[64];
    digest(32, {{bytesOf(password), password.size()}, {salt, kSaltBytes}, {userEntry, userBytes}}, k);
    std::size_t kBytes = 32;
    std::vector<unsigned char> k1;
    std::vector<unsigned char> e;
    for (unsigned round = 1;; ++round) {
        const std::size_t sequence = password.size() + kBytes + userBytes;
        k1.resize(sequence * 64);
        for (std::size_t i = 0; i < 64; ++i) {
            unsigned char* at = k1.data() + i * sequence;
            std::memcpy(at, password.data(), password.size());
            std::memcpy(at + password.size(), k, kBytes);
            if (userEntry)
                std::memcpy(at + password.size() + kBytes, userEntry, userBytes);
        }
        e.resize(k1.size());
        aes128_ctx aes;
        aes128_set_encrypt_key(&aes, k);
        unsigned char iv[AES_BLOCK_SIZE];
        std::memcpy(iv, k + 16, sizeof iv);
        cbc_aes128_encrypt(&aes, iv, k1.size(), e.data(), k1.data());
        // The first 16 bytes as a big-endian number modulo 3: as 256 is 1
        // modulo 3, the sum of the bytes has the same remainder.
        unsigned sum = 0;
        for (std::size_t i = 0; i < 16; ++i)
            sum += e[i];
        kBytes = 32 + 16 * (sum % 3);
        digest(kBytes, {{e.data(), e.size()}}, k);
        if (round >= 64 && e.back() <= round - 32)
            break;
    }
    Bytes32 hash;
    std::copy_n(k, hash.size(), hash.begin());
    explicit_bzero(k, sizeof k);
    explicit_bzero(k1.data(), k1.size());
    explicit_bzero(e.data(), e.size());
    return hash;
}

bool randomBytes(unsigned char* out, std::size_t length)
{
    while (length > 0) {
        const ssize_t got = ::getrandom(out, length, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        out += got;
        length -= static_cast<std::size_t>(got);
    }
    return true;
}

// The validation hash (salt at 32) and the key that wraps the file key (salt
// at 40) of one password.
void wrapKey(std::string_view password, const unsigned char* userEntry, Bytes48& entry, Bytes32& wrapped,
    const Bytes32& fileKey)
{
    const Bytes32 validation = hardenedHash(password, entry.data() + 32, userEntry);
    std::copy(validation.begin(), validation.end(), entry.begin());
    Bytes32 key = hardenedHash(password, entry.data() + 40, userEntry);
    wrap(key.data(), fileKey.data(), wrapped.data());
    explicit_bzero(key.data(), key.size());
}

bool unwrapKey(std::string_view password, const unsigned char* entry, const unsigned char* userEntry,
    const unsigned char* wrapped, Bytes32& fileKey)
{
    const Bytes32 validation = hardenedHash(password, entry + 32, userEntry);
    if (!memeql_sec(validation.data(), entry, validation.size()))
        return false;
    Bytes32 key = hardenedHash(password, entry + 40, userEntry);
    unwrap(key.data(), wrapped, fileKey.data());
    explicit_bzero(key.data(), key.size());
    return true;
}

} // namespace

std::optional<EncryptionEntries> makeEntries(
    std::string_view userPassword, std::string_view ownerPassword, std::int32_t permissions)
{
    EncryptionEntries entries;
    entries.permissions = permissions;
    // Perms: P as 32 bits low byte first, then 0xFF, "T" (metadata is
    // encrypted), "adb" and four random bytes.
    unsigned char perms[16];
    const auto p = static_cast<std::uint32_t>(permissions);
    for (int i = 0; i < 4; ++i)
        perms[i] = static_cast<unsigned char>(p >> (8 * i));
    std::memset(perms + 4, 0xFF, 4);
    constexpr unsigned char kMarker[] = {'T', 'a', 'd', 'b'};
    std::copy(std::begin(kMarker), std::end(kMarker), perms + 8);
    if (!randomBytes(entries.fileKey.data(), entries.fileKey.size())
        || !randomBytes(entries.u.data() + 32, 16) || !randomBytes(entries.o.data() + 32, 16)
        || !randomBytes(perms + 12, 4))
        return std::nullopt;
    wrapKey(userPassword, nullptr, entries.u, entries.ue, entries.fileKey);
    wrapKey(ownerPassword, entries.u.data(), entries.o, entries.oe, entries.fileKey);
    aes256_ctx aes;
    aes256_set_encrypt_key(&aes, entries.fileKey.data());
    aes256_encrypt(&aes, sizeof perms, entries.perms.data(), perms);
    return entries;
}

Opening open(std::string_view password, const unsigned char* u, const unsigned char* ue,
    const unsigned char* o, const unsigned char* oe)
{
    Opening opening;
    if (unwrapKey(password, u, nullptr, ue, opening.fileKey))
        opening.access = Opening::Access::User;
    else if (unwrapKey(password, o, u, oe, opening.fileKey))
        opening.access = Opening::Access::Owner;
    return opening;
}

bool permsMatch(const Bytes32& fileKey, const unsigned char* perms, std::int32_t permissions)
{
    aes256_ctx aes;
    aes256_set_decrypt_key(&aes, fileKey.data());
    unsigned char plain[16];
    aes256_decrypt(&aes, sizeof plain, plain, perms);
    const auto p = static_cast<std::uint32_t>(permissions);
    for (int i = 0; i < 4; ++i)
        if (plain[i] != static_cast<unsigned char>(p >> (8 * i)))
            return false;
    return std::memcmp(plain + 9, "adb", 3) == 0;
}

} // namespace folyant::converter::revision6
