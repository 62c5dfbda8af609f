#include "core/vector_math.hpp"

#include <dlfcn.h>

namespace orvik::core {
namespace {

struct Names {
    const char* sin;
    const char* cos;
    const char* asin;
    const char* atan2;
};

// The x86-64 vector function ABI's names: b = SSE, d = AVX2, e = AVX-512.
constexpr Names names_2{"_ZGVbN2v_sin", "_ZGVbN2v_cos", "_ZGVbN2v_asin", "_ZGVbN2vv_atan2"};
constexpr Names names_4{"_ZGVdN4v_sin", "_ZGVdN4v_cos", "_ZGVdN4v_asin", "_ZGVdN4vv_atan2"};
constexpr Names names_8{"_ZGVeN8v_sin", "_ZGVeN8v_cos", "_ZGVeN8v_asin", "_ZGVeN8vv_atan2"};

struct Loaded {
    VectorMath table[3];
    bool present[3];
};

Loaded load() noexcept {
    Loaded loaded{};
    // Never closed: the kernels call into it for the life of the process.
    void* library = dlopen("libmvec.so.1", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return loaded;
    const Names* all[3] = {&names_2, &names_4, &names_8};
    for (int w = 0; w < 3; ++w) {
        VectorMath& t = loaded.table[w];
        t.sin = dlsym(library, all[w]->sin);
        t.cos = dlsym(library, all[w]->cos);
        t.asin = dlsym(library, all[w]->asin);
        t.atan2 = dlsym(library, all[w]->atan2);
        loaded.present[w] = t.sin && t.cos && t.asin && t.atan2;
    }
    return loaded;
}

}  // namespace

const VectorMath* vector_math(std::size_t lanes) noexcept {
    static const Loaded loaded = load();
    const int w = lanes == 2 ? 0 : lanes == 4 ? 1 : lanes == 8 ? 2 : -1;
    if (w < 0 || !loaded.present[w]) return nullptr;
    return &loaded.table[w];
}

}  // namespace orvik::core
