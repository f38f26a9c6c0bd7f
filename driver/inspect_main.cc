// fwpack-inspect: reads a firmware update image back, checks it and
// unpacks the raw firmware it carries.
#include "driver/inspect_run.h"

int main(int argc, char** argv) { return fwpack::run_inspect(argc, argv); }
