#pragma once

#include <map>
#include <typeindex>

#include "orvo/exception.h"
#include "orvo/pointer.h"

namespace factory
{

// Makes objects of one implementation class for an interface.
class factory_item_base : virtual public particle
{
public:
   virtual pointer<particle> create_particle() = 0;
};

template <typename IMPLEMENTATION>
class factory_item : public factory_item_base
{
public:
   pointer<particle> create_particle() override { return pointer<particle>(new IMPLEMENTATION()); }
};

// The registry from interface to implementation: a module registers its classes here, and the
// host constructs them by interface without knowing the module's types.
class factory : virtual public particle
{
public:
   template <typename IMPLEMENTATION, typename INTERFACE>
   pointer<factory_item_base> add_factory_item()
   {
      pointer<factory_item_base> item(new factory_item<IMPLEMENTATION>());
      m_items[std::type_index(typeid(INTERFACE))] = item;
      return item;
   }

   template <typename INTERFACE>
   bool has() const
   {
      return m_items.contains(std::type_index(typeid(INTERFACE)));
   }

   // A new object of the implementation registered for INTERFACE; throws when there is none.
   template <typename INTERFACE>
   pointer<INTERFACE> create()
   {
      auto it = m_items.find(std::type_index(typeid(INTERFACE)));
      if (it == m_items.end())
      {
         throw exception(error_not_found, string_base("no implementation registered for ") + typeid(INTERFACE).name());
      }
      return it->second->create_particle().template cast<INTERFACE>();
   }

private:
   std::map<std::type_index, pointer<factory_item_base>> m_items;
};

} // namespace factory
