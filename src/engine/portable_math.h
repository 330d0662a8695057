// Transcendental functions built from IEEE basic operations only (+ - * /,
// exact scaling by powers of two), so that every build — Linux, 32-bit and
// 64-bit Windows — computes the same bits. The platform maths libraries differ
// in their last bit, and the pitch table and filter coefficients must not.
// Accuracy is a few double ulps, far below the float32 the results are
// stored in.
#pragma once

namespace tramvek {

double portableExp(double x);
double portableSinh(double x);
double portableSin(double x);
double portableCos(double x);
// 2^(semitones / 12): the speed ratio of a pitch shift.
double portableSemitoneRatio(int semitones);

}  // namespace tramvek
