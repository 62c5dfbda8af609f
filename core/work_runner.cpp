#include "core/work_runner.hpp"

namespace orvik::core {
namespace {

class InlineRunner final : public WorkRunner {
public:
    void check() override {}
    void for_each(std::size_t n, double, const RangeWork& work) override {
        if (n > 0) work.run(0, n);
    }
};

}  // namespace

WorkRunner& inline_runner() noexcept {
    static InlineRunner runner;
    return runner;
}

}  // namespace orvik::core
