// A stand-in for the host program in batch file tests: writes the launch request's
// three variables, as it received them, to the file named by QV_RECORDED_VALUES.
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

int main() {
    const char* output = std::getenv("QV_RECORDED_VALUES");
    if (output == nullptr) {
        return 2;
    }
    std::FILE* file = std::fopen(output, "wb");
    if (file == nullptr) {
        return 1;
    }
    bool written = true;
    for (const char* name : {"QUORVELLASEQU", "QUORVELLAFINAL", "QUORVELLADEST"}) {
        const char* value = std::getenv(name);
        written = std::fprintf(file, "%s=%s\n", name, value != nullptr ? value : "(unset)") > 0 &&
                  written;
    }
    return std::fclose(file) == 0 && written ? 0 : 1;
}
