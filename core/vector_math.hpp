// glibc's vector math library (libmvec), looked up when first needed rather
// than linked: a module built on a newer glibc then still loads where
// libmvec, or one of the functions used here (asin and atan2 came with glibc
// 2.35), is missing, and the great-circle kernels fall back to scalar libm.
#pragma once

#include <cstddef>

namespace orvik::core {

// The entry points for one vector width, as untyped addresses: each kernel's
// translation unit casts them to the vector types of its instruction set.
struct VectorMath {
    void* sin;
    void* cos;
    void* asin;
    void* atan2;
};

// libmvec's functions for `lanes` doubles per vector (2: SSE, 4: AVX2, 8:
// AVX-512), or null when libmvec or any of them is missing.  Looked up once.
const VectorMath* vector_math(std::size_t lanes) noexcept;

}  // namespace orvik::core
