#include <gtest/gtest.h>

#include "orvo/factory.h"
#include "orvo/pointer_array.h"

namespace
{

// Counts live instances, so a test sees exactly when an object is deleted.
struct tracked : virtual public particle
{
   static inline int s_iLive = 0;
   int m_iValue;
   explicit tracked(int iValue = 0) : m_iValue(iValue) { ++s_iLive; }
   ~tracked() override { --s_iLive; }
};

struct tracked_child : public tracked
{
   tracked * m_pparent = nullptr; // a back reference: never owns
   pointer<tracked> m_pchild;
};

struct initialized_once : virtual public particle
{
   int m_iCalls = 0;
   void on_initialize_particle() override { ++m_iCalls; }
};

} // namespace

TEST(Pointer, LastReferenceDeletesTheObject)
{
   tracked::s_iLive = 0;
   {
      pointer<tracked> a = make_pointer<tracked>(7);
      EXPECT_EQ(a->reference_count(), 1);
      pointer<tracked> b = a;
      EXPECT_EQ(a->reference_count(), 2);
      a.reset();
      EXPECT_EQ(tracked::s_iLive, 1);
      EXPECT_EQ(b->m_iValue, 7);
   }
   EXPECT_EQ(tracked::s_iLive, 0);
}

TEST(Pointer, MoveAndSelfAssignmentKeepTheCount)
{
   tracked::s_iLive = 0;
   pointer<tracked> a = make_pointer<tracked>();
   a = a;
   EXPECT_EQ(a->reference_count(), 1);
   pointer<tracked> b = std::move(a);
   EXPECT_TRUE(a.is_null());
   EXPECT_EQ(b->reference_count(), 1);
   b = nullptr;
   EXPECT_EQ(tracked::s_iLive, 0);
}

TEST(Pointer, BackReferencesDoNotKeepAParentAlive)
{
   tracked::s_iLive = 0;
   {
      pointer<tracked_child> parent = make_pointer<tracked_child>();
      auto child = make_pointer<tracked_child>();
      child->m_pparent = parent.get();
      parent->m_pchild = child;
   }
   EXPECT_EQ(tracked::s_iLive, 0);
}

TEST(Pointer, CastGivesEmptyForAnotherClass)
{
   pointer<tracked> base = make_pointer<tracked_child>();
   EXPECT_TRUE(base.cast<tracked_child>().is_set());
   pointer<tracked> plain = make_pointer<tracked>();
   EXPECT_TRUE(plain.cast<tracked_child>().is_null());
}

TEST(Particle, InitializeRunsTheHookOnce)
{
   auto p = make_pointer<initialized_once>();
   auto context = make_pointer<tracked>();
   p->initialize(context.get());
   p->initialize(context.get());
   EXPECT_EQ(p->m_iCalls, 1);
   EXPECT_EQ(p->context(), context.get());
}

TEST(PointerArray, InsertEraseSwapAndFind)
{
   pointer_array<tracked> array;
   auto a = make_pointer<tracked>(1);
   auto b = make_pointer<tracked>(2);
   auto c = make_pointer<tracked>(3);
   array.add(a);
   array.insert_at(0, b);   // b a
   array.insert_at(99, c);  // b a c
   ASSERT_EQ(array.count(), 3);
   EXPECT_EQ(array[0]->m_iValue, 2);
   EXPECT_EQ(array[2]->m_iValue, 3);
   EXPECT_TRUE(array.swap(0, 2)); // c a b
   EXPECT_EQ(array.find_first(b.get()), 2);
   EXPECT_FALSE(array.swap(0, 3));
   EXPECT_TRUE(array.erase_at(1));
   EXPECT_FALSE(array.erase_at(5));
   EXPECT_EQ(array.find_first(a.get()), -1);
   EXPECT_THROW(array.element_at(-1), std::out_of_range);
   EXPECT_THROW(array.element_at(2), std::out_of_range);
}

namespace
{
struct service : virtual public particle
{
   virtual int answer() = 0;
};
struct service_impl : public service
{
   int answer() override { return 42; }
};
} // namespace

TEST(Factory, ConstructsTheRegisteredImplementation)
{
   auto f = make_pointer<factory::factory>();
   EXPECT_FALSE(f->has<service>());
   EXPECT_THROW(f->create<service>(), exception);
   f->add_factory_item<service_impl, service>();
   pointer<service> s = f->create<service>();
   ASSERT_TRUE(s.is_set());
   EXPECT_EQ(s->answer(), 42);
}
