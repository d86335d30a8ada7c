/* Facepaste: two toolbar pictures for a word processor's macro, handed over
 * through the clipboard. Plain C symbols; the library exports nothing else. */
#ifndef FOLYANT_FACEPASTE_H
#define FOLYANT_FACEPASTE_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A picture of the library, as the screen shows it (a QImage inside). */
typedef struct FacepasteBitmap FacepasteBitmap;

/* Colours for an indexed DIB, 0xRRGGBB each; NULL stands for the default
 * palette (the picture's own colours). */
typedef struct FacepastePalette {
    unsigned int count;
    const unsigned int* colors;
} FacepastePalette;

/* Empty the clipboard and place face 1000 (pale yellow-green) or 1001 (pink)
 * on it as a packed DIB in the depth of the display. Always return 1. */
int LoadIcon1(void);
int LoadIcon2(void);

/* The packed DIB of the bitmap (header, colour table, rows bottom-up padded to
 * four bytes), in a block the caller releases with free(); NULL for a NULL or
 * empty bitmap, or when no memory could be had. */
void* BitmapToPackedDib(const FacepasteBitmap* bitmap, const FacepastePalette* palette);

/* The number of colour-table entries a DIB header (40-byte BITMAPINFOHEADER or
 * 12-byte BITMAPCOREHEADER) calls for; 0 for NULL. */
unsigned int CountDibColors(const void* header);

#ifdef __cplusplus
}
#endif

#endif
