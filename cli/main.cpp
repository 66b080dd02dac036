#include "cli/ConvertProgram.h"

int main(int argc, char** argv) { return ConvertProgram::Main(argc, argv); }
