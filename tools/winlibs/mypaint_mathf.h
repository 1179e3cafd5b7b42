/* Put in front of every libmypaint source of the Windows build: the brush
 * dynamics' float maths go to the inline versions of paint/mp_mathf.h instead
 * of MinGW's, which widen to double x87 routines (see that header). */
#include <math.h>
#include "paint/mp_mathf.h"
#define expf mp_expf
#define logf mp_logf
#define hypotf mp_hypotf
#define atan2f mp_atan2f
#define fmodf mp_fmodf
