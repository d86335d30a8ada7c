// MuPDF's AES and SHA-2 as our link gives them to MuPDF (Nettle's, through
// the linker's --wrap): the published answers of FIPS 180-2, FIPS-197 and
// SP 800-38A, and the same bytes as MuPDF's own code (reached as
// __real_*) for inputs split at every kind of boundary.
#include "support/TestSupport.h"

#include <mupdf/fitz.h> // declares fz_* with C linkage; crypt.h alone does not

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <random>
#include <string>
#include <vector>

extern "C" {
// NOLINTBEGIN(readability-identifier-naming,bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
void __real_fz_sha256_init(fz_sha256* state);
void __real_fz_sha256_update(fz_sha256* state, const unsigned char* input, std::size_t inlen);
void __real_fz_sha256_final(fz_sha256* state, unsigned char digest[32]);
void __real_fz_sha384_init(fz_sha384* state);
void __real_fz_sha384_update(fz_sha384* state, const unsigned char* input, std::size_t inlen);
void __real_fz_sha384_final(fz_sha384* state, unsigned char digest[64]);
void __real_fz_sha512_init(fz_sha512* state);
void __real_fz_sha512_update(fz_sha512* state, const unsigned char* input, std::size_t inlen);
void __real_fz_sha512_final(fz_sha512* state, unsigned char digest[64]);
int __real_fz_aes_setkey_enc(fz_aes* ctx, const unsigned char* key, int keysize);
int __real_fz_aes_setkey_dec(fz_aes* ctx, const unsigned char* key, int keysize);
void __real_fz_aes_crypt_cbc(fz_aes* ctx, int mode, std::size_t length, unsigned char iv[16],
    const unsigned char* input, unsigned char* output);
void __wrap_fz_aes_crypt_cbc(fz_aes* ctx, int mode, std::size_t length, unsigned char iv[16],
    const unsigned char* input, unsigned char* output);
// NOLINTEND(readability-identifier-naming,bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
}

namespace {

using Bytes = std::vector<unsigned char>;
using folyant::test::bytesFromHex;

Bytes text(const std::string& s)
{
    return {s.begin(), s.end()};
}

// One SHA-2 family member, either ours (the fz_ names, wrapped) or MuPDF's.
struct Sha {
    const char* name;
    std::size_t digestSize;
    Bytes (*ours)(const Bytes&, std::size_t chunk);
    Bytes (*mupdfs)(const Bytes&, std::size_t chunk);
};

// Feeds the message in pieces of `chunk` bytes (0: in one call).
template <typename State, std::size_t Size>
Bytes digest(const Bytes& message, std::size_t chunk, void (*init)(State*),
    void (*update)(State*, const unsigned char*, std::size_t), void (*final)(State*, unsigned char*))
{
    State state;
    init(&state);
    const std::size_t step = chunk == 0 ? message.size() : chunk;
    for (std::size_t at = 0; at < message.size(); at += step)
        update(&state, message.data() + at, std::min(step, message.size() - at));
    unsigned char out[64] = {};
    final(&state, out);
    return {out, out + Size};
}

const Sha kSha[] = {
    {"SHA-256", 32,
        [](const Bytes& m, std::size_t c) {
            return digest<fz_sha256, 32>(m, c, fz_sha256_init, fz_sha256_update, fz_sha256_final);
        },
        [](const Bytes& m, std::size_t c) {
            return digest<fz_sha256, 32>(
                m, c, __real_fz_sha256_init, __real_fz_sha256_update, __real_fz_sha256_final);
        }},
    {"SHA-384", 48,
        [](const Bytes& m, std::size_t c) {
            return digest<fz_sha384, 48>(m, c, fz_sha384_init, fz_sha384_update, fz_sha384_final);
        },
        [](const Bytes& m, std::size_t c) {
            return digest<fz_sha384, 48>(
                m, c, __real_fz_sha384_init, __real_fz_sha384_update, __real_fz_sha384_final);
        }},
    {"SHA-512", 64,
        [](const Bytes& m, std::size_t c) {
            return digest<fz_sha512, 64>(m, c, fz_sha512_init, fz_sha512_update, fz_sha512_final);
        },
        [](const Bytes& m, std::size_t c) {
            return digest<fz_sha512, 64>(
                m, c, __real_fz_sha512_init, __real_fz_sha512_update, __real_fz_sha512_final);
        }},
};

struct ShaAnswer {
    std::size_t sha; // index in kSha
    Bytes message;
    const char* digest;
};

const std::string kTwoBlocks256 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
const std::string kTwoBlocks512 = "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjk"
                                  "lmnopqklmnopqrlmnopqrsmnopqrstnopqrstu";

const ShaAnswer kShaAnswers[] = {
    {0, {}, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {0, text("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {0, text(kTwoBlocks256), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {0, Bytes(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    {1, text("abc"),
        "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7"},
    {1, text(kTwoBlocks512),
        "09330c33f71147e83d192fc782cd1b4753111b173b3b05d22fa08086e3b0f712fcc7c71a557e2db966c3e9fa91746039"},
    {1, Bytes(1000000, 'a'),
        "9d0e1809716474cb086e834e310a4a1ced149e9c00f248527972cec5704c2a5b07b8b3dc38ecc4ebae97ddd87f3d8985"},
    {2, text("abc"),
        "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d"
        "4423643ce80e2a9ac94fa54ca49f"},
    {2, text(kTwoBlocks512),
        "8e959b75dae313da8cf4f72814fc143f8f7779c6eb9f7fa17299aeadb6889018501d289e4900f7e4331b99dec4b5433ac7d3"
        "29eeb6dd26545e96e55b874be909"},
    {2, Bytes(1000000, 'a'),
        "e718483d0ce769644e2e42c7bc15b4638e1f98b13b2044285632a803afa973ebde0ff244877ea60a4cb0432ce577c31beb00"
        "9c5c2c49aa2e4eadb217ad8cc09b"},
};

// Whole, byte by byte, and in odd pieces that straddle block ends.
const std::size_t kChunks[] = {0, 1, 3, 7, 63, 65, 127, 129, 997};

TEST(MuPdfNettleCrypto, ShaGivesThePublishedDigestsInAnyPieces)
{
    for (const ShaAnswer& answer : kShaAnswers) {
        const Sha& sha = kSha[answer.sha];
        for (std::size_t chunk : kChunks) {
            if (chunk == 1 && answer.message.size() > 100000)
                continue; // a million calls add nothing the other pieces miss
            EXPECT_EQ(sha.ours(answer.message, chunk), bytesFromHex(answer.digest))
                << sha.name << " of " << answer.message.size() << " bytes in pieces of " << chunk;
        }
    }
}

TEST(MuPdfNettleCrypto, ShaGivesMuPdfsOwnBytesAroundEveryBlockEnd)
{
    std::mt19937 random(30);
    for (const Sha& sha : kSha) {
        for (std::size_t size : {0, 1, 55, 56, 63, 64, 65, 111, 112, 127, 128, 129, 255, 256, 1000, 4097}) {
            Bytes message(size);
            for (unsigned char& byte : message)
                byte = static_cast<unsigned char>(random());
            for (std::size_t chunk : kChunks)
                EXPECT_EQ(sha.ours(message, chunk), sha.mupdfs(message, chunk))
                    << sha.name << " of " << size << " bytes in pieces of " << chunk;
        }
    }
}

struct CbcAnswer {
    const char* name;
    const char* key;
    const char* iv;
    const char* plain;
    const char* cipher;
};

const CbcAnswer kCbcAnswers[] = {
    // FIPS-197 appendix C: one block, so CBC with a zero IV is the cipher itself.
    {"FIPS-197 AES-128", "000102030405060708090a0b0c0d0e0f", "00000000000000000000000000000000",
        "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"FIPS-197 AES-192", "000102030405060708090a0b0c0d0e0f1011121314151617",
        "00000000000000000000000000000000", "00112233445566778899aabbccddeeff",
        "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {"FIPS-197 AES-256", "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
        "00000000000000000000000000000000", "00112233445566778899aabbccddeeff",
        "8ea2b7ca516745bfeafc49904b496089"},
    // SP 800-38A F.2.1 and F.2.5: four blocks chained from an IV.
    {"SP 800-38A CBC-AES128", "2b7e151628aed2a6abf7158809cf4f3c", "000102030405060708090a0b0c0d0e0f",
        "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
        "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710",
        "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
        "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
    {"SP 800-38A CBC-AES256", "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4",
        "000102030405060708090a0b0c0d0e0f",
        "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
        "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710",
        "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
        "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b"},
};

// Runs CBC over `input` in calls of `blocks` blocks each, the IV carried
// from call to call as MuPDF's stream filters carry it; in place if asked.
Bytes cbc(const Bytes& key, const Bytes& iv, const Bytes& input, int mode, std::size_t blocks, bool inPlace)
{
    fz_aes ctx;
    const int bits = static_cast<int>(key.size() * 8);
    const int set = mode == FZ_AES_ENCRYPT ? fz_aes_setkey_enc(&ctx, key.data(), bits)
                                           : fz_aes_setkey_dec(&ctx, key.data(), bits);
    EXPECT_EQ(set, 0);
    unsigned char chain[16];
    std::memcpy(chain, iv.data(), sizeof chain);
    Bytes output = inPlace ? input : Bytes(input.size());
    const Bytes& from = inPlace ? output : input;
    const std::size_t step = blocks * 16;
    for (std::size_t at = 0; at < input.size(); at += step)
        fz_aes_crypt_cbc(
            &ctx, mode, std::min(step, input.size() - at), chain, from.data() + at, output.data() + at);
    // The IV left behind is the last cipher block, whichever way we went.
    const Bytes& cipher = mode == FZ_AES_ENCRYPT ? output : input;
    EXPECT_EQ(Bytes(chain, chain + 16), Bytes(cipher.end() - 16, cipher.end()));
    return output;
}

TEST(MuPdfNettleCrypto, AesCbcGivesThePublishedBlocksBothWays)
{
    for (const CbcAnswer& answer : kCbcAnswers) {
        const Bytes key = bytesFromHex(answer.key);
        const Bytes iv = bytesFromHex(answer.iv);
        for (std::size_t blocks : {1, 3, 4}) {
            for (bool inPlace : {false, true}) {
                SCOPED_TRACE(std::string(answer.name) + ", blocks per call " + std::to_string(blocks)
                    + (inPlace ? ", in place" : ""));
                EXPECT_EQ(cbc(key, iv, bytesFromHex(answer.plain), FZ_AES_ENCRYPT, blocks, inPlace),
                    bytesFromHex(answer.cipher));
                EXPECT_EQ(cbc(key, iv, bytesFromHex(answer.cipher), FZ_AES_DECRYPT, blocks, inPlace),
                    bytesFromHex(answer.plain));
            }
        }
    }
}

TEST(MuPdfNettleCrypto, AesGivesMuPdfsOwnBytesAndRefusesOtherKeySizes)
{
    std::mt19937 random(26);
    for (int bits : {128, 192, 256}) {
        Bytes key(static_cast<std::size_t>(bits / 8));
        Bytes data(16 * 37);
        for (unsigned char& byte : key)
            byte = static_cast<unsigned char>(random());
        for (unsigned char& byte : data)
            byte = static_cast<unsigned char>(random());
        for (int mode : {FZ_AES_ENCRYPT, FZ_AES_DECRYPT}) {
            fz_aes ours;
            fz_aes mupdfs;
            ASSERT_EQ(mode == FZ_AES_ENCRYPT ? fz_aes_setkey_enc(&ours, key.data(), bits)
                                             : fz_aes_setkey_dec(&ours, key.data(), bits),
                0);
            ASSERT_EQ(mode == FZ_AES_ENCRYPT ? __real_fz_aes_setkey_enc(&mupdfs, key.data(), bits)
                                             : __real_fz_aes_setkey_dec(&mupdfs, key.data(), bits),
                0);
            unsigned char ivOurs[16] = {1, 2, 3};
            unsigned char ivMupdfs[16] = {1, 2, 3};
            Bytes outOurs(data.size());
            Bytes outMupdfs(data.size());
            fz_aes_crypt_cbc(&ours, mode, data.size(), ivOurs, data.data(), outOurs.data());
            __real_fz_aes_crypt_cbc(&mupdfs, mode, data.size(), ivMupdfs, data.data(), outMupdfs.data());
            EXPECT_EQ(outOurs, outMupdfs) << bits << " bits, mode " << mode;
            EXPECT_EQ(0, std::memcmp(ivOurs, ivMupdfs, sizeof ivOurs)) << bits << " bits, mode " << mode;
        }
    }
    const unsigned char key[32] = {};
    for (int bits : {0, 64, 127, 255, 512}) {
        fz_aes ctx;
        EXPECT_NE(fz_aes_setkey_enc(&ctx, key, bits), 0) << bits;
        EXPECT_NE(fz_aes_setkey_dec(&ctx, key, bits), 0) << bits;
    }
}

TEST(MuPdfNettleCrypto, MuPdfsCallsReachOurs)
{
    // What the linker did for this program it did for MuPDF's own objects.
    EXPECT_EQ(reinterpret_cast<void*>(&fz_aes_crypt_cbc), reinterpret_cast<void*>(&__wrap_fz_aes_crypt_cbc));
    EXPECT_NE(reinterpret_cast<void*>(&fz_aes_crypt_cbc), reinterpret_cast<void*>(&__real_fz_aes_crypt_cbc));
}

} // namespace
