#pragma once

#include "host/application.h"
#include "host/context.h"
#include "orvo/particle.h"

// An object that serves the application: it reaches the application of type APPLICATION through
// the chain of its contexts, or else the running application.
template <typename APPLICATION, typename BASE = particle>
class app_consumer_base : virtual public BASE
{
public:
   // Null when neither its contexts nor the running application are an APPLICATION.
   APPLICATION * get_app() const
   {
      for (particle * p = particle::context(); p; p = p->context())
      {
         if (auto * papplication = dynamic_cast<APPLICATION *>(p))
         {
            return papplication;
         }
      }
      return dynamic_cast<APPLICATION *>(platform::context::application());
   }
};
