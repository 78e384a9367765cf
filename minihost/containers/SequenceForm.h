// The sequence-file form: minihost's text serialisation of a container, readable and
// writable by hand (the grammar is in minihost/SEQUENCE_FILES.md). A pure library with
// no host behind it, so that it can be fuzzed and round-tripped alone.
#pragma once

#include "minihost/containers/Container.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

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

// A place in a file: line and column count from 1, the column in bytes; 0 for none.
struct CSourcePosition {
    int line = 0;
    int column = 0;
};

// Where each key, value and container of a file was written, for messages about what
// they mean. Filled by ParseSequenceForm; found by the containers it read, which must
// still live.
class CSequencePositions {
public:
    [[nodiscard]] CSourcePosition FindKey(const CContainer& container, std::string_view key) const;
    [[nodiscard]] CSourcePosition FindValue(const CContainer& container,
                                            std::string_view key) const;
    // Where the container's "{" stands.
    [[nodiscard]] CSourcePosition FindOpening(const CContainer& container) const;

    // For the parser: the text the offsets are in, and what stands where.
    void SetText(std::string_view bytes);
    void NoteOpening(const CContainer* container, std::size_t offset);
    void NoteEntry(const CContainer* container, const std::string& key, std::size_t keyOffset,
                   std::size_t valueOffset);

private:
    [[nodiscard]] CSourcePosition Locate(std::size_t offset) const;
    [[nodiscard]] const std::pair<std::size_t, std::size_t>* FindEntry(const CContainer& container,
                                                                       std::string_view key) const;

    std::vector<std::size_t> m_lineStarts; // the offset at which each line begins
    std::unordered_map<const CContainer*, std::size_t> m_openings;
    // Key and value offsets, by container and key.
    std::unordered_map<const CContainer*,
                       std::unordered_map<std::string, std::pair<std::size_t, std::size_t>>>
        m_entries;
};

// Reads `bytes`, whose texts are in `codePage` (the system code page: in a double-byte
// code page, a lead byte and the byte after it are one character). When `positions` is
// given, it is filled with where each part of the container was written.
CSequenceFormResult ParseSequenceForm(std::string_view bytes, unsigned codePage,
                                      CSequencePositions* positions = nullptr);

// The normalised form of `container`, ending with a line break. ParseSequenceForm with
// the same code page gives back an equal container, unless it holds what no file can
// (a pointer, double or null value, a text made from Unicode, a zero byte in a text): a
// text made from Unicode is printed as its form in the code page, or as `unicode "..."`
// when it has none; the other three as `pointer "Type"`, `double 1.5` and `null`.
std::string PrintSequenceForm(const CContainer& container, unsigned codePage);

// "<fileName>:<line>:<column>: <message>"
std::string FormatSequenceFormError(std::string_view fileName, const CSequenceFormError& error);

} // namespace minihost
