#pragma once

#include <optional>

#include "document/app_layer.h"

namespace Tarvossa_BrisvanePro
{

// A picture on the raster, drawn stretched to the layer's own width and height. In layer texts the
// picture travels as the hexadecimal form of an encoded image file, so a project is self-contained.
class image_layer : public app_layer
{
public:
   image_layer() = default;
   ~image_layer() override;

   // Drops the picture and zeroes the drawn and the real size; the aspect and its flag stay.
   void freeIfNeeded();
   // Decodes an image file. When it cannot be read the layer is left empty and an `exception`
   // "image failed to load" is thrown.
   void load_from_file(scoped_string_base strPath);
   // Takes the picture (null drops it) and takes its size as the real size. The drawn size is
   // not touched: callers that show a new picture at its own size set it themselves.
   void set_image(const pointer<image::image> & pimage);
   // Takes the real size and the aspect from the picture and marks the layer changed.
   void on_image_loaded();
   // An empty text changes nothing. A text that does not decode to a picture is kept as it came
   // and written back unchanged; the layer draws nothing and `unreadable_picture_reason` says why.
   // A picture whose decoding would take the pictures beyond the memory budget of the layer's
   // document is kept as it came too: the layer has its size but draws nothing until a frame
   // build finds room to decode it.
   void load_from_hex_data(scoped_string_base strHex);
   // The picture encoded by the image service's default encoding, as hexadecimal text; a picture
   // kept undecoded is given as it came; empty without picture.
   string_base getImageAsHex() const;
   // Why the picture text kept does not read as a picture; empty when there is none such.
   const string_base & unreadable_picture_reason() const noexcept { return m_strPictureFault; }

   const pointer<image::image> & get_image() const noexcept { return m_pimage; }
   int get_real_width() const noexcept { return m_iRealWidth; }
   int get_real_height() const noexcept { return m_iRealHeight; }
   // Real width / real height; 1 when either is 0.
   float get_aspect() const noexcept { return m_fAspect; }
   bool getMaintainAspectRatio() const noexcept { return m_bMaintainAspectRatio; }
   void setMaintainAspectRatio(bool bMaintain);
   // With the aspect kept, the other side follows, truncated.
   void set_width(int iWidth);
   void set_height(int iHeight);

   int get_width() const override;
   int get_height() const override;
   int get_full_width() const override;
   int get_full_height() const override;
   int get_layer_type() const override;
   // Keys the picture layer does not read are kept (`keys_kept`).
   void apply_parameter_by_name(scoped_string_base strKey, scoped_string_base strValue) override;
   // The keys that only a picture layer reads: "Data" and "AspectRatio".
   static bool is_picture_key(scoped_string_base strKey);
   void set_data_custom_path_string(scoped_string_base str) override;
   void set_power_custom_path_string(scoped_string_base str) override;
   property_set get_all_parameters() const override;
   // Draws the picture stretched over the whole offscreen image. A layer without picture, or with
   // a drawn or real size of 0 or below, draws nothing and keeps its offscreen image as it was.
   void build_frame(zel2d::context * pcontext, const error_callback & on_error) override;
   // A new layer that received this layer's whole text: picture, size, place, name and flag.
   pointer<app_layer> clone() const override;
   std::int64_t offscreen_bytes_needed() const override;
   std::int64_t picture_bytes() const override;

private:
   void draw_picture(zel2d::context * pcontext, image::image * pimageOffscreen);
   // Takes `pimage` (which may be null) as the decoded picture, counting it in the budget, and
   // forgets a picture kept encoded.
   void hold_picture(const pointer<image::image> & pimage);
   // Keeps the text undecoded, with the picture's size when its header gives one.
   void keep_picture_text(scoped_string_base strHex, const std::optional<size_type<int>> & osizeDeclared);
   void keep_unreadable_picture(scoped_string_base strHex, const std::optional<size_type<int>> & osizeDeclared, string_base strReason);
   bool is_beyond_budget_to_decode(const size_type<int> & size) const;
   // A picture kept for want of memory that a frame build may now decode.
   bool has_picture_to_decode() const noexcept;
   void decode_kept_picture();

   pointer<image::image> m_pimage;
   // The picture text as it came, while it is kept undecoded for want of memory or because it
   // does not read as a picture (`m_strPictureFault` says why); written back unchanged.
   string_base m_strPictureKept;
   string_base m_strPictureFault;
   int m_iWidth = 0;
   int m_iHeight = 0;
   int m_iRealWidth = 0;
   int m_iRealHeight = 0;
   float m_fAspect = 1.f;
   bool m_bMaintainAspectRatio = true;
};

} // namespace Tarvossa_BrisvanePro
