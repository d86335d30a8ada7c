#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The keys of the Standard security handler's revision 6 (AES-256), derived
// here with Nettle rather than left to MuPDF: MuPDF's software AES and SHA-2
// make each hardened hash cost about 3 ms, and a protection needs several;
// Nettle's AES-NI and SHA-NI code takes about a third. (libcrypto is as
// fast, but loading and starting it adds 4 MB to a small protection's peak
// memory, which Nettle keeps under one.)
namespace folyant::converter::revision6 {

using Bytes32 = std::array<unsigned char, 32>;
using Bytes48 = std::array<unsigned char, 48>;

// The entries of an encryption dictionary of revision 6, and the file key
// they wrap.
struct EncryptionEntries {
    Bytes48 u{};
    Bytes48 o{};
    Bytes32 ue{};
    Bytes32 oe{};
    std::array<unsigned char, 16> perms{};
    std::int32_t permissions = 0; // the P entry
    Bytes32 fileKey{};
};

// Entries for these passwords (prepared bytes, of which readers take the
// first 127) and this P, with a random file key and random salts. Nothing when the system gives no
// randomness.
std::optional<EncryptionEntries> makeEntries(
    std::string_view userPassword, std::string_view ownerPassword, std::int32_t permissions);

// What a password opens in a document with these entries, and the file key
// it unwraps. The user's is tried first: it is the one a reader is given
// most, and a password that is both is reported as the user's.
struct Opening {
    enum class Access { None, User, Owner };
    Access access = Access::None;
    Bytes32 fileKey{};
};
Opening open(std::string_view password, const unsigned char* u, const unsigned char* ue,
    const unsigned char* o, const unsigned char* oe);

// Whether Perms, decrypted with the file key, carries this P and the marker
// every writer puts there.
bool permsMatch(const Bytes32& fileKey, const unsigned char* perms, std::int32_t permissions);

} // namespace folyant::converter::revision6
