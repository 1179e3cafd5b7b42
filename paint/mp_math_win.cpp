// The Windows build's exp, log, pow, atan2 and hypot. MinGW-w64's runtime
// implements the first four with x87 transcendental instructions (f2xm1,
// fyl2x, fscale, fpatan) and status-word checks, and takes hypot from
// msvcrt.dll; 10 to 20 times slower than a native libm; libmypaint calls them
// several times per dab. Defining them here (pulled into every program that
// links the brush engine, see paint/CMakeLists.txt) makes the linker resolve
// libmypaint's references to these instead.
#include "paint/mp_math.h"

extern "C" {
int mp_math_linked = 1;
double exp(double x) { return mp_exp(x); }
double log(double x) { return mp_log(x); }
double pow(double x, double y) { return mp_pow(x, y); }
double atan2(double y, double x) { return mp_atan2(y, x); }
float atan2f(float y, float x) { return float(mp_atan2(y, x)); }
double hypot(double x, double y) { return mp_hypot(x, y); }
}
