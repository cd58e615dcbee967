#include "document/project.h"

#include <algorithm>
#include <utility>

#include "document/OffscreenDraw.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "orvo/file_system.h"
#include "orvo/image.h"
#include "orvo/trace.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// The raster label lines drawn at most, before the raster size.
constexpr long long raster_label_lines_drawn = 4;

} // namespace

project::project(document_controller * pcontroller) :
   m_pcontroller(pcontroller), m_pbudget(std::make_shared<picture_budget>(picture_budget::limit_for_this_process()))
{
   initialize(dynamic_cast<particle *>(pcontroller));
}

// Layers that outlive the document (a clone, a preset held elsewhere) must not keep a dangling
// back reference to it.
// The list may hold empty slots (it is open to its users); they are no layers and are passed over.
project::~project()
{
   for (const pointer<app_layer> & player : m_layera)
   {
      if (player && player->get_document() == this)
      {
         player->set_document(nullptr);
      }
   }
}

void project::get_raster_label_lines(string_array_base & straOut)
{
   const long long iCount = std::min(m_straRasterLabel.count(), raster_label_lines_drawn);
   for (long long i = 0; i < iCount; ++i)
   {
      const scoped_string_base strLine = trimmed(m_straRasterLabel[i]);
      if (!strLine.empty())
      {
         straOut.add(strLine);
      }
   }
   straOut.add(format("%dx%d", get_paper_width(), get_paper_height()));
}

pointer<image::image> project::create_image(const size_type<int> & size)
{
   return OffscreenDraw::make_target(size.width, size.height);
}

pointer<app_layer> project::create_layer(enum_layer elayer)
{
   pointer<app_layer> player;
   if (elayer == e_layer_boxes)
   {
      player = make_pointer<boxes_layer>();
   }
   else if (elayer == e_layer_image)
   {
      player = make_pointer<image_layer>();
   }
   else
   {
      return {};
   }
   player->initialize(this);
   player->set_controller(m_pcontroller);
   player->set_document(this);
   return player;
}

pointer<app_layer> project::create_layer_from_parameters(enum_layer elayer, scoped_string_base strText)
{
   pointer<app_layer> player = create_layer(elayer);
   if (!player)
   {
      information("create_layer_from_parameters: layer is nullptr");
      return {};
   }
   player->apply_layer_info(strText);
   return player;
}

pointer<boxes_layer> project::new_boxes_layer()
{
   pointer<boxes_layer> player = create_layer(e_layer_boxes).cast<boxes_layer>();
   player->default_colors();
   player->apply_defaults();
   insert_layer_at(player, 0);
   return player;
}

pointer<image_layer> project::new_image_layer()
{
   pointer<image_layer> player = create_layer(e_layer_image).cast<image_layer>();
   insert_layer_at(player, 0);
   return player;
}

void project::insert_layer_at(const pointer<app_layer> & player, long long index)
{
   if (!player)
   {
      return;
   }
   if (index < 0)
   {
      m_layera.add(player);
   }
   else
   {
      m_layera.insert_at(index, player);
   }
}

pointer<app_layer> project::get_layer(long long index) const
{
   return m_layera.has_index(index) ? m_layera[index] : pointer<app_layer>();
}

pointer<app_layer> project::current_layer() const
{
   return get_layer(m_iCurrentLayer.load());
}

pointer<boxes_layer> project::current_boxes_layer() const
{
   return current_layer().cast<boxes_layer>();
}

pointer<image_layer> project::current_image_layer() const
{
   return current_layer().cast<image_layer>();
}

bool project::set_current_layer_index(long long index)
{
   if (index < 0)
   {
      index = -1;
   }
   if (index >= m_layera.count())
   {
      return false;
   }
   m_iCurrentLayer.exchange(index);
   return true;
}

pointer<image_layer> project::get_logo_layer()
{
   const long long index = get_logo_layer_index();
   if (index >= 0)
   {
      return m_layera[index].cast<image_layer>();
   }
   pointer<image_layer> player = create_layer(e_layer_image).cast<image_layer>();
   player->set_logo(true);
   m_layera.add(player);
   return player;
}

long long project::get_logo_layer_index() const
{
   for (long long i = 0; i < m_layera.count(); ++i)
   {
      if (m_layera[i] && m_layera[i]->is_logo())
      {
         return i;
      }
   }
   return -1;
}

long long project::calculate_base_path_index(const boxes_layer * player, bool bData) const
{
   if (m_pbaserunnumbersHeld != nullptr)
   {
      if (auto it = m_pbaserunnumbersHeld->find(player); it != m_pbaserunnumbersHeld->end())
      {
         return bData ? it->second.m_iData : it->second.m_iPower;
      }
   }
   long long base = 1;
   for (long long i = m_layera.count() - 1; i >= 0; --i)
   {
      const app_layer * playerAbove = m_layera[i].get();
      if (playerAbove == player)
      {
         break;
      }
      if (const auto * pboxes = dynamic_cast<const boxes_layer *>(playerAbove))
      {
         base += pboxes->calculate_path_count(bData);
      }
   }
   return base;
}

base_run_numbers_map project::calculate_base_run_numbers() const
{
   base_run_numbers_map numbers;
   base_run_numbers next;
   for (long long i = m_layera.count() - 1; i >= 0; --i)
   {
      if (const auto * pboxes = dynamic_cast<const boxes_layer *>(m_layera[i].get()))
      {
         numbers.try_emplace(pboxes, next);
         next.m_iData += pboxes->calculate_path_count(true);
         next.m_iPower += pboxes->calculate_path_count(false);
      }
   }
   return numbers;
}

project::base_run_numbers_hold::base_run_numbers_hold(const project & document, const base_run_numbers_map & numbers) noexcept :
   m_document(document), m_pnumbersBefore(std::exchange(document.m_pbaserunnumbersHeld, &numbers))
{
}

project::base_run_numbers_hold::~base_run_numbers_hold()
{
   m_document.m_pbaserunnumbersHeld = m_pnumbersBefore;
}

bool project::is_raster_label_flush_right() const noexcept
{
   return m_iRasterLabelX == get_paper_width() || static_cast<long long>(m_iRasterLabelX) + m_iRasterLabelBoxWidth == get_paper_width();
}

bool project::is_raster_label_flush_bottom() const noexcept
{
   return m_iRasterLabelY == get_paper_height() || static_cast<long long>(m_iRasterLabelY) + m_iRasterLabelBoxHeight == get_paper_height();
}

int project::get_paper_width() const noexcept
{
   return m_iPaperWidth < 2 ? 1 : m_iPaperWidth;
}

int project::get_paper_height() const noexcept
{
   return m_iPaperHeight < 2 ? 1 : m_iPaperHeight;
}

void project::set_paper_width(int iWidth)
{
   m_iPaperWidth = iWidth;
   mark_changed();
}

void project::set_paper_height(int iHeight)
{
   m_iPaperHeight = iHeight;
   mark_changed();
}

void project::set_paper_size(const size_type<int> & size)
{
   set_paper_size(size.width, size.height);
}

void project::set_paper_size(int iWidth, int iHeight)
{
   m_iPaperWidth = iWidth;
   m_iPaperHeight = iHeight;
   mark_changed();
}

void project::load_default_layers()
{
   set_paper_size(1920, 1080);
   // The label box touches the right and bottom edges; the frame building keeps it there.
   m_iRasterLabelX = 1920;
   m_iRasterLabelY = 1080;
   m_iRasterLabelBoxWidth = 0;
   m_iRasterLabelBoxHeight = 0;
   new_boxes_layer();
   // Without a data folder there is no logo file (and no folder to read it from).
   const file::path pathLogo = m_pcontroller != nullptr ? m_pcontroller->data_file("logo.data") : file::path();
   if (pathLogo.is_empty())
   {
      return;
   }
   const outcome<string_base> read = read_container_file(pathLogo);
   size_type<int> sizeIgnored;
   outcome<layers_read> logo = create_layers_from_string(sizeIgnored, read ? scoped_string_base(read.value()) : scoped_string_base(), project_magic_v2);
   if (!logo || logo->m_layers.is_empty())
   {
      return;
   }
   pointer<app_layer> & playerLogo = logo->m_layers[0];
   if (playerLogo->get_layer_type() != e_layer_image)
   {
      information("load_default_layers: the first layer of logo.data is not an image layer; no logo layer");
      return;
   }
   playerLogo->set_logo(true);
   m_layera.add(playerLogo);
}

outcome<container_read> project::load_project_from_string(scoped_string_base strText)
{
   size_type<int> sizeRead;
   outcome<layers_read> read = create_layers_from_string(sizeRead, strText, project_magic_v2);
   if (read && read->m_bRasterSizeRead)
   {
      take_raster_size(sizeRead, read->m_straBlockFaults);
   }
   // Every project the program writes ends with its raster-label block.
   if (read && !read->is_partial() && !read->m_bRasterLabelRead)
   {
      read->m_strFault = "the file ends before its raster label block";
   }
   m_layera = read ? std::move(read->m_layers) : pointer_array<app_layer>();
   m_iCurrentLayer.exchange(m_layera.count() - 1);
   return read;
}

void project::take_raster_size(const size_type<int> & size, string_array_base & straFaults)
{
   const auto kept_side = [&straFaults](int iRead, int iOwn, const char * pszSide) {
      if (iRead >= 1)
      {
         return iRead;
      }
      straFaults.add(format("The raster %s %d is no size: the %s %d was kept", pszSide, iRead, pszSide, iOwn));
      return iOwn;
   };
   const int iWidth = kept_side(size.width, m_iPaperWidth, "width");
   const int iHeight = kept_side(size.height, m_iPaperHeight, "height");
   set_paper_size(iWidth, iHeight);
}

void project::mark_changed()
{
   if (m_pcontroller != nullptr)
   {
      m_pcontroller->set_changed();
   }
}

} // namespace Tarvossa_BrisvanePro
