// Numeric conventions and window geometry shared by every folder of the program.
#pragma once

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstdint>

// The program's pi: six decimals, not full precision. Palette colours and the
// direction of the rolled up vector depend on this exact value.
constexpr double PI = 3.141593;

constexpr int WINDOW_WIDTH = 640;
constexpr int WINDOW_HEIGHT = 480;
constexpr int WINDOW_CENTRE_X = WINDOW_WIDTH / 2;
constexpr int WINDOW_CENTRE_Y = WINDOW_HEIGHT / 2;

// Real arithmetic is carried in double and rounded to float only where a float
// is stored; the code widens its operands to double explicitly. That gives the
// same floats everywhere only where float and double expressions are evaluated
// in exactly their own type. 32-bit x86's x87 registers are wider and keep
// values unrounded across stores, so the build uses SSE2 arithmetic there.
static_assert(FLT_EVAL_METHOD == 0, "float and double arithmetic must not carry excess precision");

// Makes every real-to-integer conversion round to nearest, ties to even.
inline void setNumericConventions() { std::fesetround(FE_TONEAREST); }

// Real to integer under the program's rounding: nearest, ties to even.
inline int32_t roundToInt(double value) { return static_cast<int32_t>(std::nearbyint(value)); }
