#pragma once

#include <cmath>
#include <compare>

// A position or size in twips, 15 to a pixel. The value stays floating point
// so that a half twip survives a read-back; only a widget on screen is placed
// at whole pixels. Twips and pixels are different types: adding a pixel count
// to twips, or passing one where the other is asked for, does not compile;
// crossing over is always spelt out (fromPixels, pixels, pixelsF).
class Twips {
public:
    static constexpr double PerPixel = 15.0;

    constexpr Twips() = default;
    constexpr explicit Twips(double twips) : value_(twips) {}
    static constexpr Twips fromPixels(double pixels) { return Twips(pixels * PerPixel); }

    constexpr double value() const { return value_; }
    // The nearest whole pixel.
    int pixels() const { return static_cast<int>(std::lround(value_ / PerPixel)); }
    // Pixels, with their fraction.
    constexpr double pixelsF() const { return value_ / PerPixel; }

    constexpr Twips operator-() const { return Twips(-value_); }
    constexpr Twips& operator+=(Twips other)
    {
        value_ += other.value_;
        return *this;
    }
    constexpr Twips& operator-=(Twips other)
    {
        value_ -= other.value_;
        return *this;
    }
    friend constexpr Twips operator+(Twips a, Twips b) { return Twips(a.value_ + b.value_); }
    friend constexpr Twips operator-(Twips a, Twips b) { return Twips(a.value_ - b.value_); }
    friend constexpr Twips operator*(Twips a, double k) { return Twips(a.value_ * k); }
    friend constexpr Twips operator*(double k, Twips a) { return Twips(k * a.value_); }
    friend constexpr Twips operator/(Twips a, double k) { return Twips(a.value_ / k); }
    friend constexpr double operator/(Twips a, Twips b) { return a.value_ / b.value_; }
    friend constexpr auto operator<=>(Twips, Twips) = default;

private:
    double value_ = 0;
};

constexpr Twips operator""_tw(unsigned long long twips)
{
    return Twips(static_cast<double>(twips));
}
constexpr Twips operator""_tw(long double twips)
{
    return Twips(static_cast<double>(twips));
}
