// MuPDF's AES and SHA-2, replaced in our link by Nettle's.
//
// Every protected PDF MuPDF opens costs hardened hashes of AES-256 keys:
// thousands of SHA-256/384/512 and AES-CBC rounds each, which MuPDF runs
// in portable C, and opening is a step no protection may skip (the written
// copy must prove it opens). Nettle runs the same primitives with AES-NI
// and SHA-NI. MuPDF is linked statically, so its pdf-crypt and filter
// objects reach these functions through undefined references, and the
// linker's --wrap sends those here (cmake/MuPDF.cmake lists the names).
//
// The functions keep MuPDF's signatures and live only in the storage of
// MuPDF's public structs, which callers put on the stack or in a filter's
// state: nothing is allocated and nothing may be, as the originals never
// throw and never fail but on a key size.
#include <mupdf/fitz.h> // declares fz_* with C linkage; crypt.h alone does not

#include <nettle/aes.h>
#include <nettle/cbc.h>
#include <nettle/sha2.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

// The AES context: Nettle's round keys in the buffer MuPDF keeps its own
// in. fz_aes::nr says which key size (MuPDF's meaning: 10, 12 or 14
// rounds); fz_aes::rk stays null, so a copy of the struct stays valid,
// unlike MuPDF's own that points into itself.
union AesKeys {
    aes128_ctx k128;
    aes192_ctx k192;
    aes256_ctx k256;
};
static_assert(sizeof(AesKeys) <= sizeof(fz_aes::buf));
static_assert(alignof(AesKeys) <= alignof(std::uint32_t));

AesKeys* aesKeys(fz_aes* ctx)
{
    return std::launder(reinterpret_cast<AesKeys*>(ctx->buf));
}

int aesSetKey(fz_aes* ctx, const unsigned char* key, int keysize, bool decrypt)
{
    auto* keys = new (ctx->buf) AesKeys;
    ctx->rk = nullptr;
    switch (keysize) {
    case 128:
        ctx->nr = 10;
        (decrypt ? aes128_set_decrypt_key : aes128_set_encrypt_key)(&keys->k128, key);
        return 0;
    case 192:
        ctx->nr = 12;
        (decrypt ? aes192_set_decrypt_key : aes192_set_encrypt_key)(&keys->k192, key);
        return 0;
    case 256:
        ctx->nr = 14;
        (decrypt ? aes256_set_decrypt_key : aes256_set_encrypt_key)(&keys->k256, key);
        return 0;
    default:
        ctx->nr = 0;
        return -1;
    }
}

// cbc_decrypt takes Nettle's generic cipher signature; these give it one
// without casting function pointers.
void aes128Decrypt(const void* keys, std::size_t length, std::uint8_t* dst, const std::uint8_t* src)
{
    aes128_decrypt(static_cast<const aes128_ctx*>(keys), length, dst, src);
}

void aes192Decrypt(const void* keys, std::size_t length, std::uint8_t* dst, const std::uint8_t* src)
{
    aes192_decrypt(static_cast<const aes192_ctx*>(keys), length, dst, src);
}

void aes256Decrypt(const void* keys, std::size_t length, std::uint8_t* dst, const std::uint8_t* src)
{
    aes256_decrypt(static_cast<const aes256_ctx*>(keys), length, dst, src);
}

// SHA-2: Nettle's contexts are larger than MuPDF's structs (a separate
// buffer index, padding), so the struct holds them packed: the chaining
// state, the count of bytes hashed (which gives the buffer's fill) and the
// partial block. Each call unpacks into a Nettle context on the stack and
// packs it back; the copies are small beside one compression.
template <typename NettleCtx, std::size_t BlockSize> struct PackedSha {
    decltype(NettleCtx::state) state;
    std::uint64_t bytes;
    std::uint8_t block[BlockSize];
};
using PackedSha256 = PackedSha<sha256_ctx, SHA256_BLOCK_SIZE>;
using PackedSha512 = PackedSha<sha512_ctx, SHA512_BLOCK_SIZE>;
// MuPDF's structs are 4-aligned for SHA-256: the packed form is copied in
// and out with memcpy, never used in place, so only the size must fit.
static_assert(sizeof(PackedSha256) <= sizeof(fz_sha256));
static_assert(sizeof(PackedSha512) <= sizeof(fz_sha512));

sha256_ctx unpack(const fz_sha256* from)
{
    PackedSha256 packed;
    std::memcpy(&packed, from, sizeof packed);
    sha256_ctx ctx;
    std::memcpy(ctx.state, packed.state, sizeof ctx.state);
    ctx.count = packed.bytes / SHA256_BLOCK_SIZE;
    ctx.index = static_cast<unsigned>(packed.bytes % SHA256_BLOCK_SIZE);
    std::memcpy(ctx.block, packed.block, sizeof ctx.block);
    return ctx;
}

void pack(const sha256_ctx& ctx, fz_sha256* to)
{
    PackedSha256 packed;
    std::memcpy(packed.state, ctx.state, sizeof packed.state);
    packed.bytes = ctx.count * SHA256_BLOCK_SIZE + ctx.index;
    std::memcpy(packed.block, ctx.block, sizeof packed.block);
    std::memcpy(to, &packed, sizeof packed);
}

// Nettle counts SHA-512 blocks in 128 bits; a byte count of 64 bits covers
// anything a process can hash.
sha512_ctx unpack(const fz_sha512* from)
{
    PackedSha512 packed;
    std::memcpy(&packed, from, sizeof packed);
    sha512_ctx ctx;
    std::memcpy(ctx.state, packed.state, sizeof ctx.state);
    ctx.count_low = packed.bytes / SHA512_BLOCK_SIZE;
    ctx.count_high = 0;
    ctx.index = static_cast<unsigned>(packed.bytes % SHA512_BLOCK_SIZE);
    std::memcpy(ctx.block, packed.block, sizeof ctx.block);
    return ctx;
}

void pack(const sha512_ctx& ctx, fz_sha512* to)
{
    PackedSha512 packed;
    std::memcpy(packed.state, ctx.state, sizeof packed.state);
    packed.bytes = ctx.count_low * SHA512_BLOCK_SIZE + ctx.index;
    std::memcpy(packed.block, ctx.block, sizeof packed.block);
    std::memcpy(to, &packed, sizeof packed);
}

// MuPDF's final zeroes the context; so do these, the key material of a
// protected file passes through them.
template <typename Fz, typename NettleCtx>
void finish(Fz* state, NettleCtx& ctx, void (*digest)(NettleCtx*, std::size_t, std::uint8_t*),
    std::size_t size, unsigned char* out)
{
    digest(&ctx, size, out);
    std::memset(&ctx, 0, sizeof ctx);
    std::memset(state, 0, sizeof *state);
}

} // namespace

// The names the linker's --wrap looks for; C linkage, MuPDF's signatures.
// NOLINTBEGIN(readability-identifier-naming,bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
extern "C" {

int __wrap_fz_aes_setkey_enc(fz_aes* ctx, const unsigned char* key, int keysize)
{
    return aesSetKey(ctx, key, keysize, false);
}

int __wrap_fz_aes_setkey_dec(fz_aes* ctx, const unsigned char* key, int keysize)
{
    return aesSetKey(ctx, key, keysize, true);
}

// MuPDF's CBC works on whole blocks only, and so does this: a tail shorter
// than a block is left alone rather than read past. Input and output may be
// the same buffer, as with MuPDF's.
void __wrap_fz_aes_crypt_cbc(fz_aes* ctx, int mode, std::size_t length, unsigned char iv[16],
    const unsigned char* input, unsigned char* output)
{
    length -= length % AES_BLOCK_SIZE;
    if (length == 0)
        return;
    const AesKeys* keys = aesKeys(ctx);
    const bool encrypt = mode == FZ_AES_ENCRYPT;
    switch (ctx->nr) {
    case 10:
        if (encrypt)
            cbc_aes128_encrypt(&keys->k128, iv, length, output, input);
        else
            cbc_decrypt(&keys->k128, aes128Decrypt, AES_BLOCK_SIZE, iv, length, output, input);
        break;
    case 12:
        if (encrypt)
            cbc_aes192_encrypt(&keys->k192, iv, length, output, input);
        else
            cbc_decrypt(&keys->k192, aes192Decrypt, AES_BLOCK_SIZE, iv, length, output, input);
        break;
    case 14:
        if (encrypt)
            cbc_aes256_encrypt(&keys->k256, iv, length, output, input);
        else
            cbc_decrypt(&keys->k256, aes256Decrypt, AES_BLOCK_SIZE, iv, length, output, input);
        break;
    default:
        break; // no key was set: MuPDF's callers check setkey's result
    }
}

void __wrap_fz_sha256_init(fz_sha256* state)
{
    sha256_ctx ctx;
    sha256_init(&ctx);
    pack(ctx, state);
}

void __wrap_fz_sha256_update(fz_sha256* state, const unsigned char* input, std::size_t inlen)
{
    sha256_ctx ctx = unpack(state);
    sha256_update(&ctx, inlen, input);
    pack(ctx, state);
}

void __wrap_fz_sha256_final(fz_sha256* state, unsigned char digest[32])
{
    sha256_ctx ctx = unpack(state);
    finish(state, ctx, sha256_digest, SHA256_DIGEST_SIZE, digest);
}

void __wrap_fz_sha512_init(fz_sha512* state)
{
    sha512_ctx ctx;
    sha512_init(&ctx);
    pack(ctx, state);
}

void __wrap_fz_sha512_update(fz_sha512* state, const unsigned char* input, std::size_t inlen)
{
    sha512_ctx ctx = unpack(state);
    sha512_update(&ctx, inlen, input);
    pack(ctx, state);
}

void __wrap_fz_sha512_final(fz_sha512* state, unsigned char digest[64])
{
    sha512_ctx ctx = unpack(state);
    finish(state, ctx, sha512_digest, SHA512_DIGEST_SIZE, digest);
}

// SHA-384 is SHA-512 with another start and a shorter digest, in Nettle as
// in MuPDF (fz_sha384 is fz_sha512). MuPDF's digest parameter is 64 bytes;
// it writes 48, and so does this.
void __wrap_fz_sha384_init(fz_sha384* state)
{
    sha512_ctx ctx;
    sha384_init(&ctx);
    pack(ctx, state);
}

void __wrap_fz_sha384_update(fz_sha384* state, const unsigned char* input, std::size_t inlen)
{
    __wrap_fz_sha512_update(state, input, inlen);
}

void __wrap_fz_sha384_final(fz_sha384* state, unsigned char digest[64])
{
    sha512_ctx ctx = unpack(state);
    finish(state, ctx, sha384_digest, SHA384_DIGEST_SIZE, digest);
}

} // extern "C"
// NOLINTEND(readability-identifier-naming,bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
