#include "engine/result_keys.hpp"

#include <array>
#include <cstdint>
#include <string_view>

#include <string>

#include "interop/errors.hpp"
#include "runtime/failure.hpp"

namespace orvik::engine {
namespace {

// Keyed by the literal's address (two literals of one text may have two
// slots, which costs nothing).  The interpreter lock guards the table.
struct Slot {
    const char* name = nullptr;
    PyObject* key = nullptr;
};
std::array<Slot, 128> slots;

}  // namespace

PyObject* result_key(const char* name) {
    std::size_t at = (reinterpret_cast<std::uintptr_t>(name) >> 3) % slots.size();
    for (std::size_t probes = 0; probes < slots.size(); ++probes, at = (at + 1) % slots.size()) {
        Slot& slot = slots[at];
        if (slot.name == name) return slot.key;
        if (slot.name == nullptr) {
            PyObject* key = PyUnicode_InternFromString(name);
            if (key == nullptr) interop::throw_python_error();
            slot = {name, key};
            return key;
        }
    }
    fail("more result keys than the table holds: " + std::string(name));
}

}  // namespace orvik::engine
