// Protects one PDF the way the converter does, for bench/security.sh.
//   folyant-encrypt-bench IN.pdf OUT.pdf USER OWNER
#include "converter/core/CPdfSecurity.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s IN.pdf OUT.pdf USER OWNER\n", argv[0]);
        return 2;
    }
    const folyant::converter::CPdfSecurity request(
        argv[3], argv[4], folyant::converter::permissionValue("1111"));
    const int code = folyant::converter::EncryptPdfFile(argv[1], "", argv[2], &request);
    if (code != 0)
        std::fprintf(stderr, "EncryptPdfFile failed: %d\n", code);
    return code == 0 ? 0 : 1;
}
