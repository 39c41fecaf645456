// What the fuzz targets share: they run in a scratch folder, since the
// programs write "error.log" into the current directory.
#pragma once

void enter_scratch_folder();
// Keeps the error log of a long fuzzing run small.
void trim_error_log();
const char* null_device();
