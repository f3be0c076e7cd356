#pragma once
// The largest magnitude of a field whose horizontal and vertical components are
// sinusoids of one frequency: the semi-major axis of the field ellipse. Used by
// the electric and the magnetic field.

namespace corvalt {

// Components given as magnitudes and phases (radians): the instantaneous field
// is (X cos(ωt + φx), Y cos(ωt + φy)). Its squared magnitude is
//   ½ (X² + Y²) + ½ Re(e^{2iωt} (den + i num)),
// with den = X² cos 2φx + Y² cos 2φy and num = X² sin 2φx + Y² sin 2φy, so it is
// largest at t0 = ½ atan(−num ÷ den) or at t0 + π/2, where it is
//   ½ (X² + Y² + √(num² + den²)).
// Returns the square root of that, in the unit of X and Y.
double FieldEllipse(double x, double phaseX, double y, double phaseY);

// The same from the component phasors Ex = exRe + i exIm and Ey = eyRe + i eyIm,
// where den + i num = Ex² + Ey²: no trigonometry. Turning a component's phase by
// π (a phase of +90° taken for −90°) only mirrors the ellipse and leaves its
// semi-major axis unchanged.
double FieldEllipseOfPhasors(double exRe, double exIm, double eyRe, double eyIm);

// The two steps above written once for a double and for the lanes of the
// profile kernels: T is double or a vector of doubles, squareRoot a function
// object taking its square root. SemiMajorAxis takes X² + Y², den and num.
// Always inlined: the kernels' vectors must never cross a call, where code
// built for different processors passes them differently.
template <class T, class TSquareRoot>
[[gnu::always_inline]] inline T SemiMajorAxis(T sumOfSquares, T den, T num,
                                              TSquareRoot squareRoot) {
    return squareRoot(0.5 * (sumOfSquares + squareRoot(den * den + num * num)));
}

template <class T, class TSquareRoot>
[[gnu::always_inline]] inline T SemiMajorAxisOfPhasors(T exRe, T exIm, T eyRe, T eyIm,
                                                       TSquareRoot squareRoot) {
    // Ex² = (exRe² − exIm²) + i 2 exRe exIm, likewise Ey².
    const T den = (exRe * exRe - exIm * exIm) + (eyRe * eyRe - eyIm * eyIm);
    const T num = 2 * exRe * exIm + 2 * eyRe * eyIm;
    const T sumOfSquares = exRe * exRe + exIm * exIm + eyRe * eyRe + eyIm * eyIm;
    return SemiMajorAxis(sumOfSquares, den, num, squareRoot);
}

} // namespace corvalt
