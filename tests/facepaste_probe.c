/* A program that is not built on Qt loads the face library as a word
 * processor's macro would, calls its exports, and writes what the clipboard
 * then holds, format by format, into a folder for the test to judge.
 *   facepaste_probe LIBRARY FOLDER */
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

/* From the clipboard probe library, which reads the clipboard through Qt. */
size_t facepaste_probe_read(const char* mime, unsigned char* out, size_t room);
void facepaste_probe_put_text(const char* text);
size_t facepaste_probe_formats(char* out, size_t room);

static const char* const kFormats[] = {"image/x-ms-packed-dib", "image/bmp", "image/png"};

static void dump(const char* folder, const char* step)
{
    static unsigned char bytes[1 << 20];
    char path[4096];
    for (size_t i = 0; i < sizeof kFormats / sizeof kFormats[0]; ++i) {
        const size_t size = facepaste_probe_read(kFormats[i], bytes, sizeof bytes);
        snprintf(path, sizeof path, "%s/%s-%zu", folder, step, i);
        FILE* out = fopen(path, "wb");
        if (!out)
            return;
        fwrite(bytes, 1, size, out);
        fclose(out);
    }
    char formats[4096];
    const size_t length = facepaste_probe_formats(formats, sizeof formats);
    snprintf(path, sizeof path, "%s/%s-formats", folder, step);
    FILE* out = fopen(path, "wb");
    if (out) {
        fwrite(formats, 1, length, out);
        fclose(out);
    }
}

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return 3;
    int (*loadIcon1)(void) = (int (*)(void))dlsym(library, "LoadIcon1");
    int (*loadIcon2)(void) = (int (*)(void))dlsym(library, "LoadIcon2");
    void* (*toDib)(const void*, const void*)
        = (void* (*)(const void*, const void*))dlsym(library, "BitmapToPackedDib");
    if (!loadIcon1 || !loadIcon2 || !toDib)
        return 4;

    const int first = loadIcon1();
    dump(argv[2], "first");
    facepaste_probe_put_text("earlier content");
    const int second = loadIcon2();
    dump(argv[2], "second");
    printf("%d %d %s\n", first, second, toDib(NULL, NULL) == NULL ? "null" : "block");
    return 0;
}
