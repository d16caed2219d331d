#pragma once
// The responses harmonic balance predicts at one forcing ratio: the roots R of the balance
// relation (1 - z^2)^2 + eps^2 z^2 (1 - R^2/4)^2 = F^2 / R^2, a cubic in R^2, found directly
// rather than read off a sampled curve, so that none is lost above the curve's last sample or
// between two of its samples.

constexpr int RESPONSE_ROOT_CAPACITY = 3;   // a cubic in R^2 has at most three roots

// Writes the roots R >= 0 at ratio z to amplitudes[0 ... count - 1], ascending, and returns
// count (at most RESPONSE_ROOT_CAPACITY). Only squares enter: the signs of eps, F and z do not
// matter. F = 0 has the rest R = 0 among its roots. A double root (at a fold) counts once.
// Where every amplitude balances (eps = 0, F = 0, z = +-1) there is no isolated root: 0. A
// non-finite eps, F or z gives 0; a root too large for a double is left out.
int response_amplitudes(double eps, double force, double z,
                        double amplitudes[RESPONSE_ROOT_CAPACITY]);

// The phase phi of the response of amplitude r > 0 at ratio z, as harmonic balance writes it:
// y = r cos(z t - phi), v = -z r sin(z t - phi). The first harmonic of the equation balances
// when
//   (1 - z^2) r = F sin(phi),   eps z r (1 - r^2/4) = F cos(phi),
// so at the instants of the forcing's whole turns (z t = 2 pi k) the response stands at
// (r cos(phi), z r sin(phi)). NaN where F = 0 (the free cycle has no phase of its own) or r is
// not positive.
double response_phase(double eps, double force, double z, double r);
