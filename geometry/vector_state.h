#pragma once
// The state of the processor's wide vector registers ahead of long runs of curve and angle arithmetic.

namespace varnholt {

// Marks the upper halves of the 256- and 512-bit vector registers unused (x86 processors with AVX; elsewhere it
// does nothing). Code built for the wide registers, parts of the Qt libraries among them, may return with those
// halves still marked in use; until something clears them, the math library's sine, cosine, tangent and arc tangent
// take about ten times as long on the Xeon of our benchmark machine (146 ns instead of 14 ns a sincos). Call it
// where long numeric work begins: no value changes.
void ReleaseUpperVectorHalves();

}  // namespace varnholt
