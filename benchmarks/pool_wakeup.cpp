// Cost of handing a small map to the worker pool: the time a caller spends in
// parallel_for for n = 1..64 with a trivial body, when the workers are still
// awake from the previous call (back to back) and when they are asleep.
// Pool size from RAYON_NUM_THREADS as usual.  Prints medians in microseconds.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "runtime/parallel_for.hpp"
#include "runtime/process_pool.hpp"

using orvik::runtime::PieceBody;

namespace {

orvik::runtime::WorkerPool& pool() {
    static const orvik::runtime::PoolSettings settings{"RAYON_NUM_THREADS", "RAYON_RS_NUM_CPUS", false};
    return orvik::runtime::process_pool(settings);
}

class Fill final : public PieceBody {
public:
    explicit Fill(std::vector<double>& out) : out_(out) {}
    void run(std::size_t begin, std::size_t end) const override {
        for (std::size_t i = begin; i < end; ++i) out_[i] = static_cast<double>(i) * 0.5;
    }

private:
    std::vector<double>& out_;
};

double now_us() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) * 1e-3;
}

double median_us(std::size_t n, int calls, unsigned gap_us) {
    std::vector<double> out(n), times;
    const Fill body(out);
    for (int i = 0; i < calls; ++i) {
        if (gap_us) usleep(gap_us);
        const double start = now_us();
        orvik::runtime::parallel_for(&pool(), n, body);
        times.push_back(now_us() - start);
    }
    std::nth_element(times.begin(), times.begin() + calls / 2, times.end());
    return times[static_cast<std::size_t>(calls / 2)];
}

}  // namespace

int main() {
    std::printf("pool threads: %zu\n", pool().thread_count());
    std::printf("%6s %18s %18s\n", "n", "back-to-back us", "workers asleep us");
    for (const std::size_t n : {1, 2, 8, 64}) {
        std::printf("%6zu %18.2f %18.2f\n", n, median_us(n, 20000, 0), median_us(n, 300, 5000));
    }
}
