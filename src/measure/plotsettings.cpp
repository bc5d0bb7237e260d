#include "measure/plotsettings.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Bounds beyond these are clamped: a window must stay finite and its steps must stay larger
// than the rounding error of its bounds. X is 300 000 years either side of 1970.
constexpr double kLimitX = 1e13;
constexpr double kLimitY = 1e300;
// Slack for bounds that lie on a step but missed it by the rounding of the division.
constexpr double kEpsilon = 1e-9;

void sanitize(double &min, double &max, double limit)
{
    if (!std::isfinite(min))
        min = 0.0;
    if (!std::isfinite(max))
        max = 0.0;
    min = std::clamp(min, -limit, limit);
    max = std::clamp(max, -limit, limit);
    if (min > max)
        std::swap(min, max);
}

// The next time step of the ladder 1, 2, 5, 10, 15, 30 s; 1, 2, 5, 10, 15, 30 min;
// 1, 2, 3, 6, 12 h; then 1, 2, 5 x 10^n days.
double nextTimeStep(double step)
{
    static const double kSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800,
                                    3600, 7200, 10800, 21600, 43200, 86400};
    for (double candidate : kSteps) {
        if (candidate > step)
            return candidate;
    }
    const double days = step / 86400.0;
    const double decade = std::pow(10.0, std::floor(std::log10(days) + kEpsilon));
    const double mantissa = days / decade;
    const double next = mantissa < 1.5 ? 2.0 : (mantissa < 3.5 ? 5.0 : 10.0);
    return next * decade * 86400.0;
}

// The next step of the series 1, 2, 5 x 10^n.
double nextDecimalStep(double step)
{
    const double decade = std::pow(10.0, std::floor(std::log10(step) + kEpsilon));
    const double mantissa = step / decade;
    const double next = mantissa < 1.5 ? 2.0 : (mantissa < 3.5 ? 5.0 : 10.0);
    return next * decade;
}

// The largest step of the series 1, 2, 5 x 10^n that is not above gross.
double decimalStepBelow(double gross)
{
    double step = std::pow(10.0, std::floor(std::log10(gross)));
    if (5.0 * step <= gross)
        step *= 5.0;
    else if (2.0 * step <= gross)
        step *= 2.0;
    return step;
}

double timeStepBelow(double gross)
{
    double step = 1.0;
    for (double next = nextTimeStep(step); next <= gross; next = nextTimeStep(step))
        step = next;
    return step;
}

// Rounds [min, max] outward to multiples of step, widening the step until the axis has at most
// kMaxTicks ticks, and extends the axis to at least minTicks ticks.
template<typename NextStep>
void roundOutward(double &min, double &max, int &ticks, double step, int minTicks, NextStep nextStep)
{
    double low = min;
    double high = max;
    double count = 0;
    for (;;) {
        low = std::floor(min / step + kEpsilon) * step;
        high = std::ceil(max / step - kEpsilon) * step;
        count = std::round((high - low) / step);
        if (count <= PlotSettings::kMaxTicks)
            break;
        step = nextStep(step);
    }
    if (count < minTicks) {
        count = minTicks;
        high = low + count * step;
    }
    min = low;
    max = high;
    ticks = int(count);
}

int clampedTarget(int target)
{
    return std::clamp(target, 1, int(PlotSettings::kMaxTicks));
}

} // namespace

void PlotSettings::scroll(int dx, int dy)
{
    const double dX = dx * stepX();
    const double dY = dy * stepY();
    minX += dX;
    maxX += dX;
    minY += dY;
    maxY += dY;
}

void PlotSettings::adjust()
{
    adjustX();
    adjustY();
}

void PlotSettings::adjustX()
{
    sanitize(minX, maxX, kLimitX);
    const double gross = spanX() / clampedTarget(targetXTicks);
    roundOutward(minX, maxX, numXTicks, timeStepBelow(gross), kMinXTicks, nextTimeStep);
}

void PlotSettings::adjustY()
{
    sanitize(minY, maxY, kLimitY);
    const double magnitude = std::max(std::abs(minY), std::abs(maxY));
    const double tiny = 1e-200;
    if (spanY() < std::max(magnitude * kResolution, tiny)) {
        // A window of no height gets one around its value, so a step can be chosen at all.
        const double middle = (minY + maxY) / 2.0;
        const double half = magnitude > tiny ? magnitude * 0.1 : 1.0;
        minY = middle - half;
        maxY = middle + half;
    }
    const double gross = maxY / clampedTarget(targetYTicks) - minY / clampedTarget(targetYTicks);
    roundOutward(minY, maxY, numYTicks, decimalStepBelow(gross), kMinYTicks, nextDecimalStep);
}
