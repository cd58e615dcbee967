#pragma once

#include <filesystem>

#include "orvo/string.h"

namespace zel2d
{

// The folder of the resource pictures for the libraries in the given folder: `resources/` beside
// them (the build tree), else, when they are installed in PREFIX/lib/NAME, PREFIX/share/NAME/resources
// (pictures are the same on every machine, so they go under share/).
std::filesystem::path resources_folder(const std::filesystem::path & pathLibraryFolder);

// The file that an image path names. "matter://res/NAME" names NAME in the resources folder of this
// library (the module's folder); a NAME that climbs out of that folder ("..") names nothing and
// gives an empty path. Any other text is a file path as it stands.
std::filesystem::path resolve_image_path(scoped_string_base path);

} // namespace zel2d
