// What the plug-in's runner does with commands, documents and conversion handlers, each
// group of host calls in one error frame, with what it acquired released after the
// frame: so that the host's side is tested against the calls it will really get.
#pragma once

#include "host/HostTypes.h"
#include "host/ViewTable.h"

#include <string>

namespace testing_support {

// The container read from the sequence file `file` (ContainerDestroy it); null when
// the host raised an error or the file holds none.
HostContainer ReadSequenceAsThePlugInDoes(const std::string& file);

// Opens the PDF at `file`; null when the host raised an error.
HostDoc OpenAsThePlugInDoes(const std::string& file);
// A full save (0x21) to `file` with the standard progress monitor; false when the host
// raised an error.
bool SaveAsThePlugInDoes(HostDoc doc, const std::string& file);
void CloseAsThePlugInDoes(HostDoc doc);

// How a step ended beside the command statuses.
inline constexpr HostCommandStatus kStepRaised = -1;    // the host raised an error
inline constexpr HostCommandStatus kStepNoCommand = -2; // no entry, Config, Params or command

// Runs item `index` of the "Commands" list of `sequence` on `doc` as one step of a run:
// the command made from "HandlerName", given "Config", "Params" and fresh inputs that
// are destroyed as soon as the command has them, executed and destroyed.
HostCommandStatus RunStepAsThePlugInDoes(HostContainer sequence, int index, HostDoc doc);

// Asks the host to convert `doc` with the handler `uniqueId` to `pathWithoutExtension`
// followed by a full stop and the handler's extension. True unless the host raised an
// error (whatever the conversion answered).
bool ConvertAsThePlugInDoes(HostDoc doc, const std::string& uniqueId,
                            const std::string& pathWithoutExtension);

} // namespace testing_support
