// The plug-in's application object. Its start-up runs when the module is loaded, before
// the host's handshake, and sets the help-file path that the Create Batch File dialog's
// Help button opens.
#pragma once

#include "framework/Application.h"

#include <string>

// The settings key is named after the plug-in's maker, which is Quorvella itself.
inline constexpr const char* kRegistryKeyName = "Quorvella";

class CPlugInApp : public framework::CApplication {
public:
    CPlugInApp() = default;

    // Gives the settings key name and sets the help-file path from the module's path.
    bool InitInstance() override;
};

// The help file of the module at `modulePath`: the path upper-cased (a double-byte
// character of `codePage` is left as it is) with every ".API" replaced by ".CHM".
std::string FormHelpFilePath(const std::string& modulePath, unsigned codePage);

// The one application object.
CPlugInApp& GetPlugInApp();
