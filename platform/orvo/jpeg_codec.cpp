#include "orvo/jpeg_codec.h"

#include <algorithm>
#include <cstdio>
#include <csetjmp>
#include <cstdlib>

#include <jpeglib.h>
#include <jerror.h>

#include "orvo/image32.h"
#include "orvo/image_codec.h"

namespace image::jpeg_codec
{

namespace
{

constexpr const char * jpeg_name = "JPG";

// In a sequential Huffman-coded file every 8 x 8 block of the densest component takes at least
// two bits (DC difference and end of block), so a byte holds at most 256 pixels.
constexpr std::int64_t max_pixels_per_byte_sequential = 256;

// A progressive file keeps every coefficient of the picture in memory while it is read (2 bytes a
// sample), and the picture itself follows (4 bytes a pixel). One whose coefficients and picture
// together need more than this is refused rather than left to exhaust the memory: a file of a few
// hundred bytes can declare the largest picture. It still admits a 134-megapixel full-colour picture.
constexpr long max_decode_memory = 1280L << 20;

// libjpeg reports errors through this record; an error leaves the current call through longjmp.
struct error_state
{
   jpeg_error_mgr manager;
   std::jmp_buf jump;
   char szError[JMSG_LENGTH_MAX];
};

[[noreturn]] void on_error_exit(j_common_ptr pinfo)
{
   auto pstate = reinterpret_cast<error_state *>(pinfo->err);
   if (pinfo->err->msg_code == JERR_NO_BACKING_STORE)
   {
      std::snprintf(pstate->szError, sizeof(pstate->szError),
                    "a progressive file this large would take more than %ld MiB to read, the picture included", max_decode_memory >> 20);
   }
   else
   {
      (*pinfo->err->format_message)(pinfo, pstate->szError);
   }
   std::longjmp(pstate->jump, 1);
}

// Warnings are dropped, except the end of the data before the end of the picture.
void on_emit_message(j_common_ptr pinfo, int iLevel)
{
   if (iLevel < 0 && pinfo->err->msg_code == JWRN_JPEG_EOF)
   {
      on_error_exit(pinfo);
   }
}

void on_output_message(j_common_ptr)
{
}

jpeg_error_mgr * install_errors(error_state & state)
{
   jpeg_std_error(&state.manager);
   state.manager.error_exit = on_error_exit;
   state.manager.emit_message = on_emit_message;
   state.manager.output_message = on_output_message;
   state.szError[0] = '\0';
   return &state.manager;
}

struct decoder
{
   jpeg_decompress_struct info;
   error_state error;
};

bool is_cmyk(const jpeg_decompress_struct & info) noexcept
{
   return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

// CMYK samples to RGBA in place. Files with an Adobe marker (nearly all CMYK files) store the
// inks inverted.
void cmyk_to_rgba(std::uint8_t * p, std::size_t count, bool bInverted) noexcept
{
   for (std::size_t i = 0; i < count; ++i, p += 4)
   {
      std::uint32_t ink[4];
      for (int c = 0; c < 4; ++c)
      {
         ink[c] = bInverted ? p[c] : 255u - p[c];
      }
      for (int c = 0; c < 3; ++c)
      {
         p[c] = static_cast<std::uint8_t>((ink[c] * ink[3] + 127) / 255);
      }
      p[3] = 255;
   }
}

// The libjpeg parts of a read. They hold no object with a destructor, since an error leaves them
// through longjmp; the caller destroys the decoder.
bool read_header(decoder & decoder, const std::uint8_t * pdata, std::size_t size)
{
   if (setjmp(decoder.error.jump))
   {
      return false;
   }
   jpeg_create_decompress(&decoder.info);
   jpeg_mem_src(&decoder.info, pdata, static_cast<unsigned long>(size));
   jpeg_read_header(&decoder.info, TRUE);
   decoder.info.out_color_space = is_cmyk(decoder.info) ? JCS_CMYK : JCS_EXT_RGBA;
   jpeg_calc_output_dimensions(&decoder.info);
   return true;
}

// A progressive file is read whole here, before the picture is allocated: a file cut short fails
// without its declared size ever being allocated.
bool start_decompress(decoder & decoder)
{
   if (setjmp(decoder.error.jump))
   {
      return false;
   }
   jpeg_start_decompress(&decoder.info);
   return true;
}

bool read_pixels(decoder & decoder, std::uint8_t * prgba)
{
   if (setjmp(decoder.error.jump))
   {
      return false;
   }
   const std::size_t scan = static_cast<std::size_t>(decoder.info.output_width) * 4;
   while (decoder.info.output_scanline < decoder.info.output_height)
   {
      JSAMPROW prow = prgba + scan * decoder.info.output_scanline;
      jpeg_read_scanlines(&decoder.info, &prow, 1);
   }
   jpeg_finish_decompress(&decoder.info);
   return true;
}

struct encoder
{
   jpeg_compress_struct info;
   error_state error;
   unsigned char * poutput = nullptr;
   unsigned long sizeOutput = 0;
};

bool write_jpeg(encoder & encoder, const image & image, int iQuality, std::uint8_t * prow)
{
   if (setjmp(encoder.error.jump))
   {
      return false;
   }
   jpeg_create_compress(&encoder.info);
   jpeg_mem_dest(&encoder.info, &encoder.poutput, &encoder.sizeOutput);
   encoder.info.image_width = static_cast<JDIMENSION>(image.width());
   encoder.info.image_height = static_cast<JDIMENSION>(image.height());
   encoder.info.input_components = 4;
   encoder.info.in_color_space = JCS_EXT_RGBA;
   jpeg_set_defaults(&encoder.info);
   jpeg_set_quality(&encoder.info, iQuality, TRUE);
   // Full-resolution colour: pixel maps have sharp 1-pixel edges between colours, which halved
   // chroma would smear.
   for (int i = 0; i < encoder.info.num_components; ++i)
   {
      encoder.info.comp_info[i].h_samp_factor = 1;
      encoder.info.comp_info[i].v_samp_factor = 1;
   }
   jpeg_start_compress(&encoder.info, TRUE);
   while (encoder.info.next_scanline < encoder.info.image_height)
   {
      image32_t::to_straight_rgba(image.row(static_cast<int>(encoder.info.next_scanline)), image.width(), prow);
      JSAMPROW prowSample = prow;
      jpeg_write_scanlines(&encoder.info, &prowSample, 1);
   }
   jpeg_finish_compress(&encoder.info);
   return true;
}

bool is_sequential_huffman(const jpeg_decompress_struct & info) noexcept
{
   return !info.progressive_mode && !info.arith_code;
}

// The steps of a read, each checked before the next; the caller destroys the decoder.
outcome<pointer<image>> read_picture(decoder & decoder, const std::uint8_t * pdata, std::size_t size)
{
   if (!read_header(decoder, pdata, size))
   {
      return codec::load_failure(jpeg_name, decoder.error.szError);
   }
   const std::int64_t iPixelsPerByte = is_sequential_huffman(decoder.info) ? max_pixels_per_byte_sequential : image::max_pixels;
   if (const outcome<> sized =
          codec::check_declared_size(jpeg_name, decoder.info.output_width, decoder.info.output_height, size, iPixelsPerByte);
       !sized)
   {
      return failure(sized.error());
   }
   // libjpeg's own arrays are made first; what the picture will take is kept back from them.
   decoder.info.mem->max_memory_to_use =
      max_decode_memory - static_cast<long>(image::bytes_for(decoder.info.output_width, decoder.info.output_height));
   if (!start_decompress(decoder))
   {
      return codec::load_failure(jpeg_name, decoder.error.szError);
   }
   pointer<image> pimage = codec::new_picture(static_cast<int>(decoder.info.output_width), static_cast<int>(decoder.info.output_height));
   if (!read_pixels(decoder, reinterpret_cast<std::uint8_t *>(pimage->data())))
   {
      return codec::load_failure(jpeg_name, decoder.error.szError);
   }
   if (is_cmyk(decoder.info))
   {
      cmyk_to_rgba(reinterpret_cast<std::uint8_t *>(pimage->data()),
                   static_cast<std::size_t>(pimage->width()) * static_cast<std::size_t>(pimage->height()),
                   decoder.info.saw_Adobe_marker);
   }
   codec::finish_straight_rgba(*pimage);
   return pimage;
}

} // namespace

bool has_signature(const std::uint8_t * pdata, std::size_t size) noexcept
{
   return size >= 3 && pdata[0] == 0xFF && pdata[1] == 0xD8 && pdata[2] == 0xFF;
}

outcome<pointer<image>> decode(const std::uint8_t * pdata, std::size_t size)
{
   decoder decoder{};
   decoder.info.err = install_errors(decoder.error);
   outcome<pointer<image>> result = read_picture(decoder, pdata, size);
   jpeg_destroy_decompress(&decoder.info);
   return result;
}

std::optional<size_type<int>> declared_size(const std::uint8_t * pdata, std::size_t size)
{
   decoder decoder{};
   decoder.info.err = install_errors(decoder.error);
   std::optional<size_type<int>> declared;
   if (read_header(decoder, pdata, size))
   {
      declared = size_type<int>{static_cast<int>(std::min<JDIMENSION>(decoder.info.output_width, INT_MAX)),
                                static_cast<int>(std::min<JDIMENSION>(decoder.info.output_height, INT_MAX))};
   }
   jpeg_destroy_decompress(&decoder.info);
   return declared;
}

outcome<std::vector<std::uint8_t>> encode(const image & image, int iQuality)
{
   if (!image._is_ok())
   {
      return failure("JPG: the picture is empty");
   }
   iQuality = iQuality < 1 ? default_quality : std::min(iQuality, 100);
   std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width()) * 4);
   encoder encoder{};
   encoder.info.err = install_errors(encoder.error);
   outcome<std::vector<std::uint8_t>> result = write_jpeg(encoder, image, iQuality, row.data())
                             ? outcome<std::vector<std::uint8_t>>(std::vector<std::uint8_t>(encoder.poutput, encoder.poutput + encoder.sizeOutput))
                             : failure(format("JPG: %s", encoder.error.szError));
   jpeg_destroy_compress(&encoder.info);
   std::free(encoder.poutput);
   return result;
}

} // namespace image::jpeg_codec
