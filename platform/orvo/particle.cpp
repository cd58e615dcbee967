#include "orvo/particle.h"

particle::~particle() = default;

void particle::increment_reference_count() noexcept
{
   m_countReference.fetch_add(1, std::memory_order_relaxed);
}

void particle::release() noexcept
{
   if (m_countReference.fetch_sub(1, std::memory_order_acq_rel) == 1)
   {
      delete this;
   }
}

void particle::initialize(particle * pparticleContext)
{
   m_pparticleContext = pparticleContext;
   if (m_bInitialized)
   {
      return;
   }
   m_bInitialized = true;
   on_initialize_particle();
}

void particle::on_initialize_particle()
{
}
