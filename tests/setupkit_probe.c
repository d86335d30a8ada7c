/* Loads Setupkit the way a setup package does and prints what it answers:
 *   setupkit_probe LIBRARY
 * Output: "printer RESULT TEXT" and "word RESULT TEXT", one line each. */
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

typedef int (*DirectoryFunction)(char*);

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "%s\n", dlerror());
        return 3;
    }
    DirectoryFunction printer = (DirectoryFunction)dlsym(library, "GetPrinterDirectory");
    DirectoryFunction word = (DirectoryFunction)dlsym(library, "GetWordDirectory");
    if (!printer || !word)
        return 4;
    char small[255];
    char large[1024];
    memset(small, 'x', sizeof small);
    memset(large, 'x', sizeof large);
    int result = printer(small);
    printf("printer %d %s\n", result, result == 1 ? small : "-");
    result = word(large);
    printf("word %d %s\n", result, large);
    dlclose(library);
    return 0;
}
