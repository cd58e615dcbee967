#pragma once

// Forward declarations of the base library's chief types.

class particle;
template <typename T> class pointer;
template <typename T> class pointer_array;
class exception;
template <typename E> class enumeration;
class string_array_base;
class payload;
class property_set;
class memory_base;

namespace factory
{
class factory;
}

namespace image
{
class image;
}

namespace file
{
class path;
}

namespace color
{
struct color;
struct hls;
}
