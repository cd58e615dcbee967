#pragma once

// Forward declarations of the base library's chief types.

class particle;
template <typename T> class pointer;
template <typename T> class pointer_array;
class exception;

namespace factory
{
class factory;
}

namespace image
{
class image;
}
