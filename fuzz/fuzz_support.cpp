#include "fuzz_support.h"

#include <unistd.h>

#include <filesystem>
#include <string>

void enter_scratch_folder() {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("velstra-fuzz-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
}
