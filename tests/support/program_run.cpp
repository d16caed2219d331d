// A run started as the dialog starts one.
#include "program_run.h"

#include "app/dialog.h"
#include "core/state.h"

void start_program_run(double eps, double force, double z, double y0, double v0)
{
    epsilon = eps;
    force_amp = force;
    freq_ratio = z;
    y_init = y0;
    v_init = v0;
    compute_response_curves();
    restart_run();
}
