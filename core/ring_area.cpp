#include "core/ring_area.hpp"

#include <GeographicLib/Math.hpp>

#include <cmath>
#include <limits>

namespace orvik::core {
namespace {

using GeographicLib::Math;
using Mask = GeographicLib::Geodesic::mask;

// What PolygonArea asks of each edge.  The area does not depend on the
// distance: the inverse problem solves for the same azimuths either way.
constexpr unsigned edge_mask = Mask::LATITUDE | Mask::LONGITUDE | Mask::DISTANCE | Mask::AREA | Mask::LONG_UNROLL;
constexpr unsigned area_mask = edge_mask & ~unsigned{Mask::DISTANCE};

// remainder(x, 360), which is x itself when |x| <= 180: the quotient then
// rounds to 0 (half to even at +-180), so the result is exact, signed zeros
// included.  Only other angles pay for the library call.
double remainder360(double x) noexcept { return std::fabs(x) <= 180 ? x : std::remainder(x, 360.0); }

// Math::AngNormalize and Math::AngDiff, step for step, on remainder360.
double normalized(double x) noexcept {
    const double y = remainder360(x);
    return std::fabs(y) == 180 ? std::copysign(180.0, x) : y;
}

double difference(double x, double y) noexcept {
    double e = 0;
    double d = Math::sum(remainder360(-x), remainder360(y), e);
    d = Math::sum(remainder360(d), e, e);
    if (d == 0 || std::fabs(d) == 180) d = std::copysign(d, e == 0 ? y - x : -e);
    return d;
}

}  // namespace

RingArea::RingArea(const GeographicLib::Geodesic& g, bool perimeter) noexcept
    : g_(g), mask_(perimeter ? edge_mask : area_mask) {}

int RingArea::transit(double lon1, double lon2) noexcept {
    // PolygonAreaT::transit: +-0 counts as positive.
    const double lon12 = difference(lon1, lon2);
    lon1 = normalized(lon1);
    lon2 = normalized(lon2);
    return lon12 > 0 && ((lon1 < 0 && lon2 >= 0) || (lon1 > 0 && lon2 == 0)) ? 1
           : (lon12 < 0 && lon1 >= 0 && lon2 < 0 ? -1 : 0);
}

void RingArea::add(double lat, double lon) noexcept {
    if (count_ == 0) {
        lat0_ = lat1_ = lat;
        lon0_ = lon1_ = lon;
    } else {
        double s12 = 0, S12 = 0, unused = 0;
        g_.GenInverse(lat1_, lon1_, lat, lon, mask_, s12, unused, unused, unused, unused, unused, S12);
        perimeter_ += s12;
        area_ += S12;
        crossings_ += transit(lon1_, lon);
        lat1_ = lat;
        lon1_ = lon;
    }
    ++count_;
}

void RingArea::compute(double& perimeter, double& area) const noexcept {
    const bool lengths = (mask_ & Mask::DISTANCE) != 0;
    if (count_ < 2) {
        // No edge.  PolygonArea gives 0 even for a vertex that is not a
        // point; that ring is no ring, so it measures NaN, as a track of one
        // such vertex does.
        const bool point = count_ == 0 || (std::fabs(lat0_) <= 90 && std::isfinite(lon0_));
        const double zero = point ? 0.0 : std::numeric_limits<double>::quiet_NaN();
        perimeter = lengths ? zero : std::numeric_limits<double>::quiet_NaN();
        area = zero;
        return;
    }
    double s12 = 0, S12 = 0, unused = 0;
    g_.GenInverse(lat1_, lon1_, lat0_, lon0_, mask_, s12, unused, unused, unused, unused, unused, S12);
    perimeter = lengths ? perimeter_(s12) : std::numeric_limits<double>::quiet_NaN();
    GeographicLib::Accumulator<double> sum(area_);
    sum += S12;
    const int crossings = crossings_ + transit(lon1_, lon0_);
    // PolygonAreaT::AreaReduce with reverse = false, sign = true.
    const double total = g_.EllipsoidArea();
    sum.remainder(total);
    if (crossings & 1) sum += (sum < 0 ? 1 : -1) * total / 2;
    sum *= -1;  // clockwise positive until here
    if (sum > total / 2) {
        sum -= total;
    } else if (sum <= -total / 2) {
        sum += total;
    }
    area = 0.0 + sum();
}

}  // namespace orvik::core
