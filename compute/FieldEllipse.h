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
// object that stores the square root of its first argument in its second.
// SemiMajorAxisInto takes X² + Y², den and num. Vectors go in and out by
// reference only, and the functions are always inlined: a kernel's vectors
// never cross a call by value, which code built for different processors
// passes differently (and which a kernel built for AVX2 may not do with
// helpers built for the baseline).
template <class T, class TSquareRoot>
[[gnu::always_inline]] inline void SemiMajorAxisInto(const T& sumOfSquares, const T& den,
                                                     const T& num, TSquareRoot squareRoot,
                                                     T& axis) {
    T root;
    squareRoot(den * den + num * num, root);
    squareRoot(0.5 * (sumOfSquares + root), axis);
}

template <class T, class TSquareRoot>
[[gnu::always_inline]] inline void SemiMajorAxisOfPhasorsInto(const T& exRe, const T& exIm,
                                                              const T& eyRe, const T& eyIm,
                                                              TSquareRoot squareRoot, T& axis) {
    // Ex² = (exRe² − exIm²) + i 2 exRe exIm, likewise Ey².
    const T den = (exRe * exRe - exIm * exIm) + (eyRe * eyRe - eyIm * eyIm);
    const T num = 2 * exRe * exIm + 2 * eyRe * eyIm;
    const T sumOfSquares = exRe * exRe + exIm * exIm + eyRe * eyRe + eyIm * eyIm;
    SemiMajorAxisInto(sumOfSquares, den, num, squareRoot, axis);
}

// The same for doubles by value, squareRoot returning the root.
template <class TSquareRoot>
inline double SemiMajorAxis(double sumOfSquares, double den, double num, TSquareRoot squareRoot) {
    double axis;
    SemiMajorAxisInto(sumOfSquares, den, num,
                      [&](double v, double& root) { root = squareRoot(v); }, axis);
    return axis;
}

template <class TSquareRoot>
inline double SemiMajorAxisOfPhasors(double exRe, double exIm, double eyRe, double eyIm,
                                     TSquareRoot squareRoot) {
    double axis;
    SemiMajorAxisOfPhasorsInto(exRe, exIm, eyRe, eyIm,
                               [&](double v, double& root) { root = squareRoot(v); }, axis);
    return axis;
}

} // namespace corvalt
