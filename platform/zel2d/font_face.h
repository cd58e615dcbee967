#pragma once

#include <string>

typedef struct _cairo_font_face cairo_font_face_t;

namespace zel2d
{

// One loaded face of the font sink: the name it was asked for and the library's face object,
// which it owns.
class font_face
{
public:
   font_face(std::string name, cairo_font_face_t * pface) : m_name(std::move(name)), m_pface(pface) {}
   ~font_face();
   font_face(const font_face &) = delete;
   font_face & operator=(const font_face &) = delete;

   const std::string & name() const noexcept { return m_name; }
   cairo_font_face_t * cairo_face() const noexcept { return m_pface; }

private:
   std::string m_name;
   cairo_font_face_t * m_pface;
};

} // namespace zel2d
