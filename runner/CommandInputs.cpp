// The inputs container that every command of a run receives.
#include "host/ExtraTable.h"
#include "host/HostErrorFrame.h"
#include "host/SupportTable.h"
#include "host/ViewTable.h"
#include "runner/RunDriver.h"

#include <cstring>

namespace {

constexpr std::uint32_t kBaseNameBlockSize = 16;
constexpr const char* kBaseFileName = "OutputImg";

} // namespace

void SetCommandInputs(HostCommand command, HostDoc document) {
    auto* baseName = static_cast<char*>(SupportMemAlloc(kBaseNameBlockSize));
    if (baseName == nullptr) {
        return; // the host gives no memory: the command gets no inputs
    }
    std::memcpy(baseName, kBaseFileName, std::strlen(kBaseFileName) + 1);

    HostContainer inputs = nullptr;
    bool blockGiven = false;
    CallInErrorFrame([&] {
        inputs = ExtraContainerNew();
        ExtraContainerPutString(inputs, "BaseFileName", baseName);
        blockGiven = true; // the container owns the block from here on
        ExtraContainerPutPointer(inputs, "PDDoc", "PDDoc", document, nullptr);
        ViewCommandSetInputs(command, inputs);
    });
    if (!blockGiven) {
        SupportMemFree(baseName);
    }
    if (inputs != nullptr) {
        ExtraContainerDestroy(inputs);
    }
}
