// Dialog template 107, the Create Batch File dialog: the one definition from which both
// builds make the dialog, and its control ids.
#pragma once

#include "platform/DialogTemplate.h"

namespace batchfile {

inline constexpr int kCreateBatchFileTemplateId = 107;

inline constexpr int kIdClose = 1; // IDOK: the default button
inline constexpr int kIdCreateBatchFile = 1016;
inline constexpr int kIdHelp = 1020;
inline constexpr int kIdSequenceList = 1021;
inline constexpr int kIdActionCombo = 1023;
inline constexpr int kIdDestination = 1024;
inline constexpr int kIdDestinationBrowse = 1025;
inline constexpr int kIdSequenceBrowse = 1026;

// The template; it lives as long as the module.
const platform::CDialogTemplate& GetCreateBatchFileTemplate();

} // namespace batchfile
