# The headless validation program (filled in by the validation work).
