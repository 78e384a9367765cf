#include "minihost/PlugInMainCall.h"

namespace minihost {

// One calling convention here: the caller pops the arguments, whatever the module says.
CPlugInMainOutcome CallPlugInMain(HostMainProc main, const CPlugInMainArguments& arguments) {
    CPlugInMainOutcome outcome;
    outcome.result = main(arguments.hostHandshakeVersion, arguments.plugInHandshakeVersion,
                          arguments.setupProc, arguments.platformData);
    return outcome;
}

} // namespace minihost
