/* The BMP and TGA decoders of stb_image, and nothing else of it. */
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 65535
#include <stb/stb_image.h>

#include "orvo/stb_image_impl.h"

unsigned char * brisvane_stbi_load(const unsigned char * pdata, int iSize, int * piWidth, int * piHeight)
{
   int iChannels = 0;
   return stbi_load_from_memory(pdata, iSize, piWidth, piHeight, &iChannels, 4);
}

int brisvane_stbi_info(const unsigned char * pdata, int iSize, int * piWidth, int * piHeight)
{
   int iChannels = 0;
   return stbi_info_from_memory(pdata, iSize, piWidth, piHeight, &iChannels);
}

const char * brisvane_stbi_failure_reason(void)
{
   return stbi_failure_reason();
}

void brisvane_stbi_free(void * p)
{
   stbi_image_free(p);
}
