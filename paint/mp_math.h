#pragma once
// exp, log, pow, atan2 and hypot in plain double arithmetic (fdlibm's reductions and
// polynomials): exp and log within an ulp of the exact result, pow (exp of
// y log x) within a few dozen, small whole powers exact. The Windows build
// links them in place of the MinGW runtime's x87 versions, which libmypaint
// calls several times for every dab (see mp_math_win.cpp).
double mp_exp(double x);
double mp_log(double x);
double mp_pow(double x, double y);
double mp_atan2(double y, double x);  // within an ulp
double mp_hypot(double x, double y);  // within an ulp
