#pragma once

#include "orvo/particle.h"
#include "orvo/string.h"

// What the host asks of the application: start, a new document, open a file.
enum enum_command
{
   e_command_none = 0,
   e_command_application_started = 3,
   e_command_file_new = 4,
   e_command_file_open = 5,
};

// One request to the application: a command and its payload (the file path of a file-open).
class request : virtual public particle
{
public:
   explicit request(enum_command ecommand, scoped_string_base strPayload = {}) :
      m_ecommand(ecommand), m_strPayload(strPayload) {}

   enum_command command() const noexcept { return m_ecommand; }
   const string_base & payload() const noexcept { return m_strPayload; }

private:
   enum_command m_ecommand;
   string_base m_strPayload;
};
