#include "engine/portable_math.h"

#include <cmath>
#include <limits>

namespace tramvek {
namespace {

constexpr double kLn2 = 0.69314718055994530942;
constexpr double kInvLn2 = 1.44269504088896340736;
// ln 2 split so that n * kLn2High is exact for |n| < 2^11.
constexpr double kLn2High = 6.93147180369123816490e-01;
constexpr double kLn2Low = 1.90821492927058770002e-10;
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
// pi / 2 split in three so that n * part is exact for moderate n.
constexpr double kHalfPi1 = 1.57079632673412561417e+00;
constexpr double kHalfPi2 = 6.07710050630396597660e-11;
constexpr double kHalfPi3 = 2.02226624879595063154e-21;

// Both are Taylor series, exact to well below a double ulp for |r| <= pi / 4.
double sinKernel(double r) {
    const double r2 = r * r;
    double sum = 1.0 / 355687428096000.0;  // 1/17!
    sum = sum * r2 - 1.0 / 1307674368000.0;
    sum = sum * r2 + 1.0 / 6227020800.0;
    sum = sum * r2 - 1.0 / 39916800.0;
    sum = sum * r2 + 1.0 / 362880.0;
    sum = sum * r2 - 1.0 / 5040.0;
    sum = sum * r2 + 1.0 / 120.0;
    sum = sum * r2 - 1.0 / 6.0;
    return r + r * r2 * sum;
}

double cosKernel(double r) {
    const double r2 = r * r;
    double sum = -1.0 / 6402373705728000.0;  // -1/18!
    sum = sum * r2 + 1.0 / 20922789888000.0;
    sum = sum * r2 - 1.0 / 87178291200.0;
    sum = sum * r2 + 1.0 / 479001600.0;
    sum = sum * r2 - 1.0 / 3628800.0;
    sum = sum * r2 + 1.0 / 40320.0;
    sum = sum * r2 - 1.0 / 720.0;
    sum = sum * r2 + 1.0 / 24.0;
    return 1.0 - 0.5 * r2 + r2 * r2 * sum;
}

// x = quadrant * pi/2 + remainder, |remainder| <= pi/4 (arguments here are
// at most a few thousand radians).
double reduceQuarterTurns(double x, long long& quadrant) {
    const double n = std::floor(x * kTwoOverPi + 0.5);
    quadrant = static_cast<long long>(n);
    return ((x - n * kHalfPi1) - n * kHalfPi2) - n * kHalfPi3;
}

double sinOfQuadrant(long long quadrant, double r) {
    switch (quadrant & 3) {
        case 0:
            return sinKernel(r);
        case 1:
            return cosKernel(r);
        case 2:
            return -sinKernel(r);
        default:
            return -cosKernel(r);
    }
}

}  // namespace

double portableExp(double x) {
    if (std::isnan(x)) {
        return x;
    }
    if (x > 709.78) {
        return std::numeric_limits<double>::infinity();
    }
    if (x < -745.2) {
        return 0.0;
    }
    const double n = std::floor(x * kInvLn2 + 0.5);
    const double r = (x - n * kLn2High) - n * kLn2Low;  // |r| <= ln2 / 2
    double sum = 1.0 / 6227020800.0;                    // 1/13!
    const double inverseFactorials[] = {1.0 / 479001600.0,
                                        1.0 / 39916800.0,
                                        1.0 / 3628800.0,
                                        1.0 / 362880.0,
                                        1.0 / 40320.0,
                                        1.0 / 5040.0,
                                        1.0 / 720.0,
                                        1.0 / 120.0,
                                        1.0 / 24.0,
                                        1.0 / 6.0,
                                        0.5,
                                        1.0,
                                        1.0};
    for (const double coefficient : inverseFactorials) {
        sum = sum * r + coefficient;
    }
    return std::ldexp(sum, static_cast<int>(n));
}

double portableSinh(double x) {
    const double magnitude = std::fabs(x);
    if (magnitude < 1.0) {
        // Series: the exponential form would cancel.
        const double x2 = x * x;
        double sum = 1.0 / 51090942171709440000.0;  // 1/21!
        const double inverseOddFactorials[] = {1.0 / 121645100408832000.0,
                                               1.0 / 355687428096000.0,
                                               1.0 / 1307674368000.0,
                                               1.0 / 6227020800.0,
                                               1.0 / 39916800.0,
                                               1.0 / 362880.0,
                                               1.0 / 5040.0,
                                               1.0 / 120.0,
                                               1.0 / 6.0};
        for (const double coefficient : inverseOddFactorials) {
            sum = sum * x2 + coefficient;
        }
        return x + x * x2 * sum;
    }
    const double e = portableExp(magnitude);
    const double result = 0.5 * (e - 1.0 / e);
    return x < 0.0 ? -result : result;
}

double portableSin(double x) {
    long long quadrant = 0;
    const double r = reduceQuarterTurns(x, quadrant);
    return sinOfQuadrant(quadrant, r);
}

double portableCos(double x) {
    long long quadrant = 0;
    const double r = reduceQuarterTurns(x, quadrant);
    return sinOfQuadrant(quadrant + 1, r);
}

double portableSemitoneRatio(int semitones) {
    const int octaves = semitones >= 0 ? semitones / 12 : -((11 - semitones) / 12);
    const int remainder = semitones - 12 * octaves;  // 0..11
    return std::ldexp(portableExp(remainder * kLn2 / 12.0), octaves);
}

}  // namespace tramvek
