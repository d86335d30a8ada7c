// Protects one PDF the way the converter does, for bench/security.sh and
// bench/security-aes256.sh.
//   folyant-encrypt-bench IN.pdf OUT.pdf USER OWNER [METHOD]
// METHOD is the security option's fourth value: AES256, or RC4-40 when absent.
#include "converter/core/CPdfSecurity.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: %s IN.pdf OUT.pdf USER OWNER [METHOD]\n", argv[0]);
        return 2;
    }
    const folyant::converter::CPdfSecurity request(argv[3], argv[4],
        folyant::converter::permissionValue("1111"),
        folyant::converter::encryptionNamed(argc == 6 ? argv[5] : ""));
    const int code = folyant::converter::EncryptPdfFile(argv[1], "", argv[2], &request);
    if (code != 0)
        std::fprintf(stderr, "EncryptPdfFile failed: %d\n", code);
    return code == 0 ? 0 : 1;
}
