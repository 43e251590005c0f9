// exp and log10 correctly rounded to double (subnormals included), by MPFR.
#pragma once

#include <gmp.h>
#include <mpfr.h>

// The correctly rounded double, subnormals included.
class CorrectlyRounded {
  public:
    CorrectlyRounded() {
        mpfr_set_emin(-1073);
        mpfr_set_emax(1024);
        mpfr_init2(arg, 53);
        mpfr_init2(val, 53);
    }
    ~CorrectlyRounded() {
        mpfr_clear(arg);
        mpfr_clear(val);
    }
    double exp(double x) {
        mpfr_set_d(arg, x, MPFR_RNDN);
        return round(mpfr_exp(val, arg, MPFR_RNDN));
    }
    double log10(double x) {
        mpfr_set_d(arg, x, MPFR_RNDN);
        return round(mpfr_log10(val, arg, MPFR_RNDN));
    }

  private:
    double round(int ternary) {
        mpfr_subnormalize(val, mpfr_check_range(val, ternary, MPFR_RNDN), MPFR_RNDN);
        return mpfr_get_d(val, MPFR_RNDN);
    }
    mpfr_t arg, val;
};
