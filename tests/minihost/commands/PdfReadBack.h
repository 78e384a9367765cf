// Reading back, with qpdf, what a command or a conversion did to a real PDF file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class QPDF;

namespace testing_support {

// The number that each page shows ("Page N" in its content), in page order; 0 for a
// page without one.
std::vector<int> ReadPageNumbers(QPDF& pdf);

// Each page's /Rotate (inherited ones included), in page order.
std::vector<int> ReadPageRotations(QPDF& pdf);

// The document information entry `key` ("/Title") as UTF-8; empty when absent.
std::string ReadInfoEntry(QPDF& pdf, const std::string& key);

} // namespace testing_support
