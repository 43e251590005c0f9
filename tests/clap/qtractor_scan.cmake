# Debian's Qtractor scanner lists the CLAP module with two inputs, two
# outputs, seven parameters and its editor. It reads "CLAP:path" lines and
# exits 0 even when a module fails, so its output is what counts.
cmake_minimum_required(VERSION 3.20)
set(scanner /usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan)
file(WRITE ${WORK}/qtractor_scan.in "CLAP:${MODULE}\n")
execute_process(COMMAND ${scanner} INPUT_FILE ${WORK}/qtractor_scan.in
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 60)
message(STATUS "qtractor_plugin_scan: ${out}${err}")
# name | audio in:out | midi in:out | params in:out | hints | path
if(NOT out MATCHES "CLAP\\|TK42-R Limiter\\|2:2\\|0:0\\|7:0\\|GUI[^|]*\\|[^|\n]*TK42R\\.clap\\|")
  message(FATAL_ERROR "the scanner does not list the module as a stereo effect with seven "
    "parameters and an editor")
endif()
