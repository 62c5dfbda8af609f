// The tables of the package's functions of numbers, by package module.
#pragma once

#include <span>

#include "interop/function_object.hpp"

namespace orvik::engine {

struct ScalarModule {
    const char* module_name;  // the package module that offers them
    std::span<const interop::FunctionRecord> records;
};

extern const ScalarModule scalar_modules[3];

}  // namespace orvik::engine
