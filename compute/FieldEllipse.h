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

} // namespace corvalt
