# Runs fwpack as a shell would and checks the exit status it hands back:
# 255 for a refused command line (the program returns -1), 0 for a packed
# image.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(COPY ${SAMPLE} DESTINATION ${WORK_DIR})

execute_process(COMMAND ${EMULATOR} ${FWPACK} 9
  WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE refused OUTPUT_QUIET)
if(NOT refused EQUAL 255)
  message(FATAL_ERROR "a refused command line exited with ${refused}, not 255")
endif()

execute_process(COMMAND ${EMULATOR} ${FWPACK} 4 0 sample_firmware.bin CHIP
  V1 H1 BOARD 0x08004000 1 AB 1 out.bin
  WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE packed OUTPUT_QUIET)
if(NOT packed EQUAL 0)
  message(FATAL_ERROR "a packing run exited with ${packed}, not 0")
endif()
if(NOT EXISTS ${WORK_DIR}/out.bin)
  message(FATAL_ERROR "the packing run wrote no image")
endif()
