// minihost --check-sequence FILE for an action in the XML form of hosts XI and later:
// every mistake and what a launched run would not do as a person at the screen would see
// it, each with its line and column, then the steps the run takes.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace minihost {

// As CheckSequenceFile, for `bytes`, the content of `file`, which holds an XML action.
int CheckXmlActionFile(const std::string& file, std::string_view bytes, bool strict,
                       std::ostream& out, std::ostream& err);

} // namespace minihost
