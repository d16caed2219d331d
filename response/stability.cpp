// Stability of the harmonic-balance responses. Averaging y'' + y = eps (1 - y^2) y' + F sin(z t)
// with y = a cos(z t) + b sin(z t), y' = z (b cos(z t) - a sin(z t)) gives
//   2 z a' = (1 - z^2) b + eps z (1 - R^2/4) a - F
//   2 z b' = -(1 - z^2) a + eps z (1 - R^2/4) b
// whose rest points satisfy the balance relation of amplitude_curve.h. See docs/guide.md.
#include "response/stability.h"

double response_trace(double eps, double r)
{
    return eps * (1.0 - r * r / 2.0);
}

double response_delta(double eps, double z, double r)
{
    const double q = r * r;
    const double k = 1.0 - z * z;
    const double e = eps * z;
    return k * k + e * e * (1.0 - q / 4.0) * (1.0 - 3.0 * q / 4.0);
}

ResponseClass classify_response(double eps, double z, double r)
{
    if (!(response_delta(eps, z, r) > 0.0))
        return ResponseClass::saddle;
    const double t = response_trace(eps, r);
    if (t == 0.0)
        return ResponseClass::neutral;
    return t < 0.0 ? ResponseClass::stable : ResponseClass::unstable;
}

const char* response_class_name(ResponseClass c)
{
    switch (c) {
    case ResponseClass::stable: return "stable";
    case ResponseClass::saddle: return "saddle";
    case ResponseClass::unstable: return "unstable";
    case ResponseClass::neutral: return "neutral";
    }
    return "";
}
