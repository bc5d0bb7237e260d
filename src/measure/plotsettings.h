#pragma once

// One window of the trend plot: X in seconds since 1970-01-01 UTC, Y in the variable's unit,
// each axis divided into a number of tick steps. A plain value type.
class PlotSettings
{
public:
    // An axis never carries fewer or more ticks than these, whatever the targets ask.
    static constexpr int kMinXTicks = 6;
    static constexpr int kMinYTicks = 5;
    static constexpr int kMaxTicks = 100;
    // A step below this share of the bounds' size is lost in their rounding.
    static constexpr double kResolution = 1e-12;

    PlotSettings() = default;

    double spanX() const { return maxX - minX; }
    double spanY() const { return maxY - minY; }
    double stepX() const { return numXTicks > 0 ? spanX() / numXTicks : spanX(); }
    double stepY() const { return numYTicks > 0 ? spanY() / numYTicks : spanY(); }

    // Shifts the window by whole tick steps.
    void scroll(int dx, int dy);
    // adjustX, then adjustY.
    void adjust();
    // Rounds the X range outward to a time step (1, 2, 5, 10, 15, 30 s, the same in minutes,
    // 1, 2, 3, 6, 12 h, then days) chosen from the span and targetXTicks.
    void adjustX();
    // Rounds the Y range outward to a step of 1, 2 or 5 x 10^n chosen from the span and
    // targetYTicks.
    void adjustY();

    // Same window (bounds only, tick counts aside).
    bool sameBounds(const PlotSettings &other) const
    {
        return minX == other.minX && maxX == other.maxX && minY == other.minY && maxY == other.maxY;
    }

    double minX = 0.0;
    double maxX = 10.0;
    int numXTicks = 5;
    double minY = 0.0;
    double maxY = 10.0;
    int numYTicks = 5;
    int targetYTicks = 5;
    int targetXTicks = 6;
};
