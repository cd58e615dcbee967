#pragma once

#include <atomic>

// The base of every counted object: an intrusive reference count, the object's context (the
// object that created it or that it serves; never owned) and the initialisation hook.
//
// A new object starts with a count of 0; the first `pointer` that takes it raises the count to 1,
// and the last `pointer` that lets go of it deletes it. Model classes derive virtually from
// `particle` so that one object has exactly one count.
class particle
{
public:
   particle() = default;
   particle(const particle &) = delete;
   particle & operator=(const particle &) = delete;
   virtual ~particle();

   void increment_reference_count() noexcept;
   // Drops one reference; the object deletes itself when the count reaches zero.
   void release() noexcept;
   long long reference_count() const noexcept { return m_countReference.load(std::memory_order_relaxed); }

   // Records the context and runs `on_initialize_particle` exactly once per object.
   void initialize(particle * pparticleContext);
   particle * context() const noexcept { return m_pparticleContext; }
   bool is_initialized() const noexcept { return m_bInitialized; }

   // Subclasses set themselves up here, once their context is known.
   virtual void on_initialize_particle();

private:
   std::atomic<long long> m_countReference{0};
   particle * m_pparticleContext = nullptr;
   bool m_bInitialized = false;
};
