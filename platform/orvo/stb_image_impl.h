#pragma once

/* The few calls of the BMP and TGA decoders that the codecs use; the decoders are compiled, with
   the rest of stb_image left out, in stb_image_impl.c. */
#ifdef __cplusplus
extern "C" {
#endif

/* Straight RGBA bytes, 4 per pixel, or null; free with brisvane_stbi_free. */
unsigned char * brisvane_stbi_load(const unsigned char * pdata, int iSize, int * piWidth, int * piHeight);
/* Whether the bytes are a BMP or TGA file, and its declared size. */
int brisvane_stbi_info(const unsigned char * pdata, int iSize, int * piWidth, int * piHeight);
const char * brisvane_stbi_failure_reason(void);
void brisvane_stbi_free(void * p);

#ifdef __cplusplus
}
#endif
