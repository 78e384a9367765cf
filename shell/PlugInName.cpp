#include "shell/PlugInName.h"

#include "host/CoreTable.h"

HostAtom GetPlugInName() {
    return CoreAtomFromString(kPlugInName);
}
