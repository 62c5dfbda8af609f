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
template <class Key>
struct Slot {
    const Key* key = nullptr;
    PyObject* value = nullptr;
};

// An open-addressed table from static addresses to objects kept for the
// life of the process.
template <class Key, std::size_t Size>
class AddressTable {
public:
    template <class Make>
    PyObject* find(const Key* key, const Make& make) {
        // Mixed, so that neighbouring literals do not queue in one run.
        std::uintptr_t hash = reinterpret_cast<std::uintptr_t>(key) * 0x9E3779B97F4A7C15u;
        std::size_t at = static_cast<std::size_t>(hash >> 40) % Size;
        for (std::size_t probes = 0; probes < Size; ++probes, at = (at + 1) % Size) {
            Slot<Key>& slot = slots_[at];
            if (slot.key == key) return slot.value;
            if (slot.key == nullptr) {
                PyObject* value = make();
                slot = {key, value};
                return value;
            }
        }
        fail("more keys than the table of result keys holds");
    }

private:
    std::array<Slot<Key>, Size> slots_{};
};

AddressTable<char, 256> names;
AddressTable<Field, 128> field_lists;

}  // namespace

PyObject* result_key(const char* name) {
    return names.find(name, [name] {
        PyObject* key = PyUnicode_InternFromString(name);
        if (key == nullptr) interop::throw_python_error();
        return key;
    });
}

PyObject* result_keys(std::span<const Field> fields) {
    return field_lists.find(fields.data(), [fields] {
        PyObject* keys = PyTuple_New(static_cast<Py_ssize_t>(fields.size()));
        if (keys == nullptr) interop::throw_python_error();
        for (std::size_t k = 0; k < fields.size(); ++k) {
            PyObject* key = result_key(fields[k].name);
            PyTuple_SET_ITEM(keys, static_cast<Py_ssize_t>(k), Py_NewRef(key));
        }
        return keys;
    });
}

}  // namespace orvik::engine
