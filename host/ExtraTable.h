// The "ASExtra" table: key/value containers and text objects.
#pragma once

#include "host/HostTable.h"
#include "host/HostTypes.h"
#include "host/PlugInState.h"

#include <cstdint>

// Type of the value under a key, as ContainerGetType reports it.
using HostValueType = std::int32_t;
inline constexpr HostValueType kValueNone = 0; // the key is absent
inline constexpr HostValueType kValueInteger = 1;
inline constexpr HostValueType kValueBoolean = 2;
inline constexpr HostValueType kValueAtom = 3;
inline constexpr HostValueType kValueString = 4;
inline constexpr HostValueType kValueText = 5;
inline constexpr HostValueType kValueContainer = 6;
inline constexpr HostValueType kValuePointer = 7;

// Called by the host when a container lets go of a pointer value.
using HostPointerDestroyProc = void(QV_HOSTCALL*)(void* value);

// The script whose host encoding texts are read in.
inline constexpr std::int32_t kScriptRoman = 0;

// clang-format off
// NOLINTBEGIN(cppcoreguidelines-macro-usage)
#define QV_EXTRA_TABLE(X, P)                                                                        \
    /* A new, empty container; destroyed with ContainerDestroy.                      */            \
    X(P, ContainerNew, HostContainer, (), ())                                                      \
    /* Destroys a container that the plug-in owns, with everything inside it.        */            \
    X(P, ContainerDestroy, void, (HostContainer container), (container))                           \
    /* The container serialised in `stream`, or null when nothing could be read;     */            \
    /* destroyed with ContainerDestroy.                                              */            \
    X(P, ContainerReadFromStream, HostContainer, (HostStream stream), (stream))                    \
    X(P, ContainerCount, std::int32_t, (HostContainer container), (container))                     \
    X(P, ContainerGetType, HostValueType, (HostContainer container, const char* key),              \
      (container, key))                                                                            \
    /* Typed reads: the value under `key`, or `defaultValue` when the key is absent.  */           \
    X(P, ContainerGetInt, std::int32_t,                                                            \
      (HostContainer container, const char* key, std::int32_t defaultValue),                       \
      (container, key, defaultValue))                                                              \
    X(P, ContainerGetBool, HostBool,                                                               \
      (HostContainer container, const char* key, HostBool defaultValue),                           \
      (container, key, defaultValue))                                                              \
    X(P, ContainerGetAtom, HostAtom,                                                               \
      (HostContainer container, const char* key, HostAtom defaultValue),                           \
      (container, key, defaultValue))                                                              \
    /* A string value; it belongs to the container. Null when there is none.        */            \
    X(P, ContainerGetString, const char*, (HostContainer container, const char* key),              \
      (container, key))                                                                            \
    /* A text object; it belongs to the container. Null when there is none.         */             \
    X(P, ContainerGetText, HostText, (HostContainer container, const char* key), (container, key)) \
    /* A sub-container; it belongs to its parent and is never destroyed on its own.  */            \
    X(P, ContainerGetContainer, HostContainer, (HostContainer container, const char* key),         \
      (container, key))                                                                            \
    /* Puts a string; `value` is a block from MemAlloc that the container takes over. */           \
    X(P, ContainerPutString, void, (HostContainer container, const char* key, char* value),        \
      (container, key, value))                                                                     \
    /* Puts a pointer with a type name; `destroy` (may be null) runs when the        */            \
    /* container lets go of it.                                                      */            \
    X(P, ContainerPutPointer, void,                                                                \
      (HostContainer container, const char* key, const char* typeName, void* value,                \
       HostPointerDestroyProc destroy),                                                            \
      (container, key, typeName, value, destroy))                                                  \
    /* The content of a text object in `encoding`; it belongs to the text object.    */            \
    X(P, TextGetEncoded, const char*, (HostText text, HostEncoding encoding), (text, encoding))     \
    X(P, ScriptToHostEncoding, HostEncoding, (std::int32_t script), (script))
// NOLINTEND(cppcoreguidelines-macro-usage)
// clang-format on

QV_DECLARE_HOST_TABLE(Extra, QV_EXTRA_TABLE)
static_assert(static_cast<std::size_t>(ExtraEntry::Count) == 15,
              "ASExtra entries are only appended");

inline HostTable GetExtraTableEntries() {
    return g_plugInState.GetImportedTable(HostTableId::ASExtra).table;
}
QV_DEFINE_TABLE_WRAPPERS(Extra, QV_EXTRA_TABLE)
