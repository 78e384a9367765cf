// The "PDModel" table: open, save and close a document, and the file of a document.
#pragma once

#include "host/HostTable.h"
#include "host/HostTypes.h"
#include "host/PlugInState.h"

#include <cstdint>

// Flags of ModelDocSave.
inline constexpr std::uint16_t kSaveFull = 0x01;
inline constexpr std::uint16_t kSaveCopy = 0x02;
inline constexpr std::uint16_t kSaveCollectGarbage = 0x20;

// Asked for a password when a document is protected; null means no asking.
using HostAuthProc = HostBool(QV_HOSTCALL*)(HostDoc doc);

// clang-format off
// NOLINTBEGIN(cppcoreguidelines-macro-usage)
#define QV_MODEL_TABLE(X, P)                                                                        \
    /* Opens the PDF at `path`, repairing it when `repair` is true; closed with      */             \
    /* DocClose. Raises an error when the file cannot be opened.                     */             \
    X(P, DocOpen, 66, PDDocOpen, HostDoc,                                                           \
      (HostPath path, HostFileSys fileSys, HostAuthProc auth, HostBool repair),                     \
      (path, fileSys, auth, repair))                                                                \
    X(P, DocSave, 70, PDDocSave, void,                                                              \
      (HostDoc doc, std::uint16_t flags, HostPath path, HostFileSys fileSys,                        \
       HostProgressMonitor monitor, void* monitorData),                                             \
      (doc, flags, path, fileSys, monitor, monitorData))                                            \
    X(P, DocClose, 71, PDDocClose, void, (HostDoc doc), (doc))                                      \
    /* The file of a document; it belongs to the document.                           */             \
    X(P, DocGetFile, 79, PDDocGetFile, HostFile, (HostDoc doc), (doc))
// NOLINTEND(cppcoreguidelines-macro-usage)
// clang-format on

QV_DECLARE_HOST_TABLE(Model, QV_MODEL_TABLE, 650)

inline HostTable GetModelTableEntries() {
    return g_plugInState.GetImportedTable(HostTableId::PDModel).table;
}
QV_DEFINE_TABLE_WRAPPERS(Model, QV_MODEL_TABLE)
