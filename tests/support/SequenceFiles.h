// Writing sequence files for tests: containers built in C++, printed in minihost's
// sequence form, with device-independent paths for real files.
#pragma once

#include "minihost/containers/Container.h"

#include <filesystem>
#include <memory>
#include <string>

namespace testing_support {

// The device-independent path text of `path`, as minihost reads it back.
std::string ToDIPath(const std::filesystem::path& path);

// A container holding "DI" = the device-independent path of `path`.
std::unique_ptr<minihost::CContainer> MakeDIContainer(const std::filesystem::path& path);

// Writes `container` to `file` in the sequence form.
void WriteSequenceFile(const std::filesystem::path& file, const minihost::CContainer& container);

} // namespace testing_support
