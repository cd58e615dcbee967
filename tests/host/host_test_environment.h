#pragma once

#include <filesystem>

#include "host/molv_application.h"

// What every host test runs in: SDL's offscreen video, a private data folder and an application
// whose video system is up.
class host_test_application : virtual public molv::application
{
};

// The private folder that stands for the user's data folder in these tests.
std::filesystem::path test_data_folder();

// Handles the queued events until none is left.
void process_events();
