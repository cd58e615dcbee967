#pragma once

#include <filesystem>

#include "orvo/string.h"

namespace zel2d
{

// The file that an image path names. "matter://res/NAME" names `resources/NAME` in the folder that
// holds this library (the module's folder); a NAME that climbs out of that folder ("..") names
// nothing and gives an empty path. Any other text is a file path as it stands.
std::filesystem::path resolve_image_path(scoped_string_base path);

} // namespace zel2d
