// The sequence-file form: minihost's text serialisation of a container, readable and
// writable by hand (the grammar is in minihost/SEQUENCE_FILES.md). A pure library with
// no host behind it, so that it can be fuzzed and round-tripped alone.
#pragma once

#include "minihost/containers/Container.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace minihost {

// Why a text is no sequence file, and where: line and column count from 1, the column
// in bytes.
struct CSequenceFormError {
    int line = 0;
    int column = 0;
    std::string message; // what was expected, e.g. expected "=" after the key "Input"
};

// What a text holds: a container, nothing at all (only white space and comments), or
// an error.
struct CSequenceFormResult {
    std::unique_ptr<CContainer> container;
    std::optional<CSequenceFormError> error;
};

// Reads `bytes`, whose texts are in `codePage` (the system code page: in a double-byte
// code page, a lead byte and the byte after it are one character).
CSequenceFormResult ParseSequenceForm(std::string_view bytes, unsigned codePage);

// The normalised form of `container`, ending with a line break. ParseSequenceForm with
// the same code page gives back an equal container, unless it holds what no file can
// (a pointer value, a zero byte in a text).
std::string PrintSequenceForm(const CContainer& container, unsigned codePage);

// "<fileName>:<line>:<column>: <message>"
std::string FormatSequenceFormError(std::string_view fileName, const CSequenceFormError& error);

} // namespace minihost
