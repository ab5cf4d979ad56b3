// Time bounds that tests may shorten, so that a wait of minutes can be seen
// to end in a test of seconds.
#pragma once

/// `boundMs`, or the shorter number of milliseconds that the environment
/// variable UPDATE_TEST_BOUND_<name>_MS holds, when it holds one below
/// `boundMs`. Only tests set these variables; a bound is never made longer.
unsigned BoundForTests(const char* name, unsigned boundMs);
