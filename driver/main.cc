// fwpack: packs a raw firmware file into a firmware update image.
#include "driver/pack_run.h"
#include "fileutil/platform.h"

int main(int argc, char** argv) {
  fwpack::set_stdout_binary();
  return fwpack::run_fwpack(argc, argv);
}
