// fwpack-inspect: reads a firmware update image back, checks it and
// unpacks the raw firmware it carries.
#include "driver/inspect_run.h"
#include "fileutil/platform.h"

int main(int argc, char** argv) {
  // The same bytes on every platform, so that scripts see one format.
  fwpack::set_stdout_binary();
  return fwpack::run_inspect(argc, argv);
}
