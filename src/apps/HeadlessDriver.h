#pragma once

namespace almanouk {

// almanouk-headless: runs the real program on the headless backend as the
// command line says (see --help) and returns the exit status to report.
int runHeadlessDriver(int argc, char** argv);

}  // namespace almanouk
