#pragma once

// Every duration the program waits for is a named constant passed through
// Waits::Scaled. Tests set VOGM_WAIT_DIVISOR (for example 10) to shorten all
// of them at once; order and outcome stay the same.
namespace Waits {

// The duration to actually wait for a named wait of `ms` milliseconds.
int Scaled(int ms);

// Overrides the divisor (tests only); 0 re-reads the environment.
void SetDivisor(int divisor);

}  // namespace Waits
