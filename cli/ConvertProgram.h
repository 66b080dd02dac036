// The command line of tarvane-convert: options, projection, the run.
#pragma once

namespace ConvertProgram {

// The whole program: exit status 0 when every line converted, 1 when a line
// (or reading or writing) failed, 2 for bad options or a projection that
// cannot be set up.
int Main(int argc, char** argv);

}  // namespace ConvertProgram
