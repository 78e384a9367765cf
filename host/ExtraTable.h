// The "ASExtra" table: key/value containers and text objects.
#pragma once

#include "host/HostTable.h"
#include "host/HostTypes.h"
#include "host/PlugInState.h"

#include <cstdint>

// Type of the value under a key, as ContainerGetType reports it: a 16-bit code, read as
// signed so that an absent key is -1. A sequence file of hosts 5.0 to X holds none of
// double and null, an XML action may; binary 6 and the 64-bit types of later hosts come
// from neither.
using HostValueType = std::int16_t;
inline constexpr HostValueType kValueNone = -1; // the key is absent
inline constexpr HostValueType kValueBoolean = 0;
inline constexpr HostValueType kValueInteger = 1;
inline constexpr HostValueType kValueAtom = 2;
inline constexpr HostValueType kValueDouble = 3;
inline constexpr HostValueType kValueString = 4;
inline constexpr HostValueType kValueText = 5;
inline constexpr HostValueType kValuePointer = 7;
inline constexpr HostValueType kValueContainer = 8;
inline constexpr HostValueType kValueNull = 9;

// The form of the Unicode given to TextFromUnicode: UTF-8 (the others are UTF-16 and
// UTF-32 forms, which the plug-in never hands over).
using HostUnicodeFormat = std::int32_t;
inline constexpr HostUnicodeFormat kUnicodeUtf8 = 2;

// Called by the host when a container lets go of a pointer value.
using HostPointerDestroyProc = void(QV_HOSTCALL*)(void* value);

// The script whose host encoding texts are read in.
inline constexpr std::int32_t kScriptRoman = 0;

// clang-format off
// NOLINTBEGIN(cppcoreguidelines-macro-usage)
#define QV_EXTRA_TABLE(X, P)                                                                        \
    /* A new, empty container; destroyed with ContainerDestroy.                      */             \
    X(P, ContainerNew, 41, ASCabNew, HostContainer, (), ())                                         \
    /* Destroys a container that the plug-in owns, with everything inside it.        */             \
    X(P, ContainerDestroy, 43, ASCabDestroy, void, (HostContainer container), (container))          \
    /* The container serialised in `stream`, or null when nothing could be read;     */             \
    /* destroyed with ContainerDestroy.                                              */             \
    X(P, ContainerReadFromStream, 88, ASCabReadFromStream, HostContainer,                           \
      (HostStream stream), (stream))                                                                \
    X(P, ContainerCount, 44, ASCabNumEntries, std::int32_t, (HostContainer container), (container)) \
    X(P, ContainerGetType, 46, ASCabGetType, HostValueType,                                         \
      (HostContainer container, const char* key),                                                   \
      (container, key))                                                                             \
    /* Typed reads: the value under `key`, or `defaultValue` when the key is absent.  */            \
    X(P, ContainerGetInt, 51, ASCabGetInt, std::int32_t,                                            \
      (HostContainer container, const char* key, std::int32_t defaultValue),                        \
      (container, key, defaultValue))                                                               \
    X(P, ContainerGetBool, 49, ASCabGetBool, HostBool,                                              \
      (HostContainer container, const char* key, HostBool defaultValue),                            \
      (container, key, defaultValue))                                                               \
    X(P, ContainerGetAtom, 53, ASCabGetAtom, HostAtom,                                              \
      (HostContainer container, const char* key, HostAtom defaultValue),                            \
      (container, key, defaultValue))                                                               \
    /* A string value; it belongs to the container. Null when there is none.        */              \
    X(P, ContainerGetString, 65, ASCabGetString, const char*,                                       \
      (HostContainer container, const char* key),                                                   \
      (container, key))                                                                             \
    /* A text object; it belongs to the container. Null when there is none.         */              \
    X(P, ContainerGetText, 69, ASCabGetText, HostText,                                              \
      (HostContainer container, const char* key), (container, key))                                 \
    /* A sub-container; it belongs to its parent and is never destroyed on its own.  */             \
    X(P, ContainerGetContainer, 63, ASCabGetCab, HostContainer,                                     \
      (HostContainer container, const char* key),                                                   \
      (container, key))                                                                             \
    /* Puts a string; `value` is a block from MemAlloc that the container takes over. */            \
    X(P, ContainerPutString, 68, ASCabPutString, void,                                              \
      (HostContainer container, const char* key, char* value),                                      \
      (container, key, value))                                                                      \
    /* Puts a pointer with a type name; `destroy` (may be null) runs when the        */             \
    /* container lets go of it.                                                      */             \
    X(P, ContainerPutPointer, 59, ASCabPutPointerRaw, void,                                         \
      (HostContainer container, const char* key, const char* typeName, void* value,                 \
       HostPointerDestroyProc destroy),                                                             \
      (container, key, typeName, value, destroy))                                                   \
    /* Typed puts: what was under `key` goes (a sub-container with everything in it). */            \
    X(P, ContainerPutBool, 50, ASCabPutBool, void,                                                  \
      (HostContainer container, const char* key, HostBool value), (container, key, value))          \
    X(P, ContainerPutInt, 52, ASCabPutInt, void,                                                    \
      (HostContainer container, const char* key, std::int32_t value), (container, key, value))      \
    X(P, ContainerPutAtom, 54, ASCabPutAtom, void,                                                  \
      (HostContainer container, const char* key, HostAtom value), (container, key, value))          \
    X(P, ContainerPutDouble, 56, ASCabPutDouble, void,                                              \
      (HostContainer container, const char* key, double value), (container, key, value))            \
    X(P, ContainerPutNull, 76, ASCabPutNull, void,                                                  \
      (HostContainer container, const char* key), (container, key))                                \
    /* Puts a container of the plug-in's own, which the parent then owns: it is never */            \
    /* destroyed on its own again, and a sub-container of another is refused.         */            \
    X(P, ContainerPutContainer, 62, ASCabPutCab, void,                                              \
      (HostContainer container, const char* key, HostContainer value), (container, key, value))     \
    /* Puts a text object, which the container then owns.                             */            \
    X(P, ContainerPutText, 71, ASCabPutText, void,                                                  \
      (HostContainer container, const char* key, HostText value), (container, key, value))          \
    /* A new text object of `unicode` in `format` (null-terminated); the plug-in's     */            \
    /* until a container takes it or TextDestroy.                                     */            \
    X(P, TextFromUnicode, 4, ASTextFromUnicode, HostText,                                           \
      (const std::uint16_t* unicode, HostUnicodeFormat format), (unicode, format))                  \
    X(P, TextDestroy, 12, ASTextDestroy, void, (HostText text), (text))                             \
    /* The content of a text object in `encoding`; it belongs to the text object.    */             \
    X(P, TextGetEncoded, 23, ASTextGetEncoded, const char*,                                         \
      (HostText text, HostEncoding encoding), (text, encoding))                                     \
    X(P, ScriptToHostEncoding, 1, ASScriptToHostEncoding, HostEncoding,                             \
      (std::int32_t script), (script))
// NOLINTEND(cppcoreguidelines-macro-usage)
// clang-format on

QV_DECLARE_HOST_TABLE(Extra, QV_EXTRA_TABLE, 148)

inline HostTable GetExtraTableEntries() {
    return g_plugInState.GetImportedTable(HostTableId::ASExtra).table;
}
QV_DEFINE_TABLE_WRAPPERS(Extra, QV_EXTRA_TABLE)
