// Key/value containers and text objects of the "ASExtra" table. Each entry checks the
// handles it is given (HandedOutContainers.h) and works on minihost's CContainer.
#include "minihost/containers/HandedOutContainers.h"
#include "minihost/containers/SequenceForm.h"
#include "minihost/files/NamedErrors.h"
#include "minihost/tables/ExtraEntries.h"
#include "platform/CodePage.h"

#include <cstdlib>
#include <string>

namespace minihost::extra {
namespace {

std::string_view RequireKey(const char* key, std::string_view operation) {
    if (key == nullptr) {
        CHost::GetCurrent().ReportMisuse(std::string(operation) + " was given no key");
        throw CHostError(kErrBadArgument);
    }
    return key;
}

// The value under `key` if it is of type `Held`, or null.
template <class Held>
const Held* FindValue(HostContainer container, const char* key, std::string_view operation) {
    const CContainer& held = RequireContainer(container, operation);
    const CValue* value = held.Find(RequireKey(key, operation));
    return value != nullptr ? std::get_if<Held>(value) : nullptr;
}

// Puts `value` under `key`. What was there goes; the destroy callbacks it owed are
// returned, for the caller to run (RunPointerReleases) once the change is complete. When
// it throws (out of memory), `value` is still the caller's.
std::vector<CPointerRelease> ReplaceValue(CContainer& container, std::string_view key,
                                          CValue&& value) {
    std::vector<CPointerRelease> releases;
    if (CValue* old = container.Find(key)) {
        releases = ListPointerReleases(*old);
        ForgetPointerReleases(*old);
    }
    container.Put(key, std::move(value));
    return releases;
}

// A typed put: the value that `makeValue` gives, once the container and key are checked.
template <class MakeValue>
void PutValue(const char* operation, HostContainer container, const char* key,
              MakeValue&& makeValue) {
    ServeVoid(operation, [&] {
        CContainer& target = RequireContainer(container, operation);
        const std::string_view keyText = RequireKey(key, operation);
        RunPointerReleases(ReplaceValue(target, keyText, CValue(makeValue())));
    });
}

// Host memory is C memory (SupportMemory.cpp).
void FreeHostBlock(void* block) {
    std::free(block); // NOLINT(cppcoreguidelines-no-malloc)
}

void LogNotServed(const std::string& text) {
    CHost::GetCurrent().GetLog().Write("unavailable", text);
}

HostEncoding GetServedEncoding() {
    return static_cast<HostEncoding>(platform::GetAnsiCodePage());
}

} // namespace

HostContainer QV_HOSTCALL ContainerNew() {
    return Serve<HostContainer>("ASExtra.ContainerNew", [] {
        return HandOutContainer(std::make_unique<CContainer>(), "ASExtra.ContainerNew");
    });
}

void QV_HOSTCALL ContainerDestroy(HostContainer container) {
    // A release never fails.
    CaptureErrors([&] { DestroyHandedOutContainer(container); });
}

HostContainer QV_HOSTCALL ContainerReadFromStream(HostStream stream) {
    return Serve<HostContainer>("ASExtra.ContainerReadFromStream", [&]() -> HostContainer {
        CHost& host = CHost::GetCurrent();
        // A stream that is not open is reported as misuse and refused.
        const CReadStream& source =
            host.GetFiles().GetStream(stream, "ASExtra.ContainerReadFromStream");
        CSequenceFormResult read =
            ParseSequenceForm(source.GetBytes(), platform::GetAnsiCodePage());
        if (read.error) {
            // The plug-in shows the text of the error it caught: name the place.
            host.SetErrorText(kErrSequenceForm,
                              FormatSequenceFormError(source.GetDisplayName(), *read.error));
            throw CHostError(kErrSequenceForm);
        }
        if (read.container == nullptr) {
            host.GetLog().Write("sequence", source.GetDisplayName() + ": no container");
            return nullptr;
        }
        host.GetLog().Write("sequence", source.GetDisplayName() + ": read, " +
                                            std::to_string(read.container->GetCount()) + " key(s)");
        return HandOutContainer(std::move(read.container),
                                "ASExtra.ContainerReadFromStream " + source.GetDisplayName());
    });
}

std::int32_t QV_HOSTCALL ContainerCount(HostContainer container) {
    return Serve<std::int32_t>("ASExtra.ContainerCount", [&] {
        return static_cast<std::int32_t>(
            RequireContainer(container, "ASExtra.ContainerCount").GetCount());
    });
}

HostValueType QV_HOSTCALL ContainerGetType(HostContainer container, const char* key) {
    constexpr std::string_view kOperation = "ASExtra.ContainerGetType";
    return Serve<HostValueType>("ASExtra.ContainerGetType", [&] {
        const CValue* value =
            RequireContainer(container, kOperation).Find(RequireKey(key, kOperation));
        return value != nullptr ? GetValueType(*value) : kValueNone;
    });
}

std::int32_t QV_HOSTCALL ContainerGetInt(HostContainer container, const char* key,
                                         std::int32_t defaultValue) {
    return Serve<std::int32_t>("ASExtra.ContainerGetInt", [&] {
        const auto* value = FindValue<std::int32_t>(container, key, "ASExtra.ContainerGetInt");
        return value != nullptr ? *value : defaultValue;
    });
}

HostBool QV_HOSTCALL ContainerGetBool(HostContainer container, const char* key,
                                      HostBool defaultValue) {
    return Serve<HostBool>("ASExtra.ContainerGetBool", [&] {
        const auto* value = FindValue<bool>(container, key, "ASExtra.ContainerGetBool");
        if (value == nullptr) {
            return defaultValue;
        }
        return *value ? kHostTrue : kHostFalse;
    });
}

HostAtom QV_HOSTCALL ContainerGetAtom(HostContainer container, const char* key,
                                      HostAtom defaultValue) {
    return Serve<HostAtom>("ASExtra.ContainerGetAtom", [&] {
        const auto* value = FindValue<CAtomValue>(container, key, "ASExtra.ContainerGetAtom");
        return value != nullptr ? CHost::GetCurrent().GetAtoms().Intern(value->name) : defaultValue;
    });
}

const char* QV_HOSTCALL ContainerGetString(HostContainer container, const char* key) {
    return Serve<const char*>("ASExtra.ContainerGetString", [&]() -> const char* {
        const auto* value = FindValue<std::string>(container, key, "ASExtra.ContainerGetString");
        return value != nullptr ? value->c_str() : nullptr;
    });
}

HostText QV_HOSTCALL ContainerGetText(HostContainer container, const char* key) {
    return Serve<HostText>("ASExtra.ContainerGetText", [&]() -> HostText {
        const auto* value = FindValue<CTextValue>(container, key, "ASExtra.ContainerGetText");
        return value != nullptr ? ToHandle(value) : nullptr;
    });
}

HostContainer QV_HOSTCALL ContainerGetContainer(HostContainer container, const char* key) {
    return Serve<HostContainer>("ASExtra.ContainerGetContainer", [&]() -> HostContainer {
        const auto* value =
            FindValue<std::unique_ptr<CContainer>>(container, key, "ASExtra.ContainerGetContainer");
        return value != nullptr ? ToHandle(value->get()) : nullptr;
    });
}

void QV_HOSTCALL ContainerPutString(HostContainer container, const char* key, char* value) {
    constexpr std::string_view kOperation = "ASExtra.ContainerPutString";
    ServeVoid("ASExtra.ContainerPutString", [&] {
        CHost& host = CHost::GetCurrent();
        CContainer& target = RequireContainer(container, kOperation);
        const std::string_view keyText = RequireKey(key, kOperation);
        // Taken out of the ledger before it is read: a block freed already is never touched.
        if (value == nullptr || !host.GetLedger().Release(value, "memory")) {
            host.ReportMisuse("ASExtra.ContainerPutString was given a value that is no block "
                              "from AcroSupport.MemAlloc (or one freed or given away already)");
            throw CHostError(kErrBadArgument);
        }
        std::vector<CPointerRelease> releases;
        try {
            releases = ReplaceValue(target, keyText, std::string(value));
        } catch (...) {
            // A call that raises takes nothing over: the block is the plug-in's again.
            host.GetLedger().Acquire(value, "memory", "AcroSupport.MemAlloc", &FreeHostBlock);
            throw;
        }
        // The container keeps a copy; the block is its to free, so the plug-in never can.
        FreeHostBlock(value);
        RunPointerReleases(releases);
    });
}

void QV_HOSTCALL ContainerPutPointer(HostContainer container, const char* key, const char* typeName,
                                     void* value, HostPointerDestroyProc destroy) {
    constexpr std::string_view kOperation = "ASExtra.ContainerPutPointer";
    ServeVoid("ASExtra.ContainerPutPointer", [&] {
        CContainer& target = RequireContainer(container, kOperation);
        const std::string_view keyText = RequireKey(key, kOperation);
        if (typeName == nullptr) {
            CHost::GetCurrent().ReportMisuse("ASExtra.ContainerPutPointer was given no type name");
            throw CHostError(kErrBadArgument);
        }
        RunPointerReleases(ReplaceValue(target, keyText, CPointerValue{value, typeName, destroy}));
    });
}

void QV_HOSTCALL ContainerPutBool(HostContainer container, const char* key, HostBool value) {
    PutValue("ASExtra.ContainerPutBool", container, key, [&] { return value != kHostFalse; });
}

void QV_HOSTCALL ContainerPutInt(HostContainer container, const char* key, std::int32_t value) {
    PutValue("ASExtra.ContainerPutInt", container, key, [&] { return value; });
}

void QV_HOSTCALL ContainerPutAtom(HostContainer container, const char* key, HostAtom value) {
    PutValue("ASExtra.ContainerPutAtom", container, key, [&] {
        const std::string* name = CHost::GetCurrent().GetAtoms().Find(value);
        if (name == nullptr) {
            ThrowMisuse("ASExtra.ContainerPutAtom", "an atom that the host never made");
        }
        return CAtomValue{*name};
    });
}

void QV_HOSTCALL ContainerPutDouble(HostContainer container, const char* key, double value) {
    PutValue("ASExtra.ContainerPutDouble", container, key, [&] { return value; });
}

void QV_HOSTCALL ContainerPutNull(HostContainer container, const char* key) {
    PutValue("ASExtra.ContainerPutNull", container, key, [] { return CNullValue{}; });
}

void QV_HOSTCALL ContainerPutContainer(HostContainer container, const char* key,
                                       HostContainer value) {
    constexpr std::string_view kOperation = "ASExtra.ContainerPutContainer";
    ServeVoid("ASExtra.ContainerPutContainer", [&] {
        CContainer& target = RequireContainer(container, kOperation);
        const std::string_view keyText = RequireKey(key, kOperation);
        RequireOwnedContainer(value, target, kOperation);
        CContainerStore& store = GetHandedOutContainers();
        // Moved, never copied: the plug-in's handle stays the sub-container's, which it
        // may go on filling.
        CValue child = store.TakeRoot(value);
        std::vector<CPointerRelease> releases;
        try {
            releases = ReplaceValue(target, keyText, std::move(child));
        } catch (...) {
            store.AddRoot(std::move(std::get<std::unique_ptr<CContainer>>(child)));
            throw;
        }
        // The parent's now, and destroyed with it.
        CHost::GetCurrent().GetLedger().Release(value, kContainerLedgerKind);
        RunPointerReleases(releases);
    });
}

void QV_HOSTCALL ContainerPutText(HostContainer container, const char* key, HostText value) {
    constexpr std::string_view kOperation = "ASExtra.ContainerPutText";
    ServeVoid("ASExtra.ContainerPutText", [&] {
        CContainer& target = RequireContainer(container, kOperation);
        const std::string_view keyText = RequireKey(key, kOperation);
        // A copy goes in, so that a put that fails leaves the plug-in's text as it was.
        std::vector<CPointerRelease> releases =
            ReplaceValue(target, keyText, CTextValue(RequireOwnedText(value, kOperation)));
        CHost::GetCurrent().GetLedger().Release(value, kTextLedgerKind);
        GetHandedOutContainers().TakeFreeText(value);
        RunPointerReleases(releases);
    });
}

HostText QV_HOSTCALL TextFromUnicode(const std::uint16_t* unicode, HostUnicodeFormat format) {
    constexpr std::string_view kOperation = "ASExtra.TextFromUnicode";
    return Serve<HostText>("ASExtra.TextFromUnicode", [&] {
        CHost& host = CHost::GetCurrent();
        if (format != kUnicodeUtf8) {
            LogNotServed("ASExtra.TextFromUnicode: format " + std::to_string(format) +
                         " is not served; only 2 (UTF-8) is");
            throw CHostError(kErrEncodingNotServed);
        }
        if (unicode == nullptr) {
            ThrowMisuse(kOperation, "no text");
        }
        // UTF-8 comes as bytes behind the 16-bit pointer.
        std::string utf8(reinterpret_cast<const char*>(unicode));
        if (!platform::ConvertFromUtf8(utf8, platform::kUtf8CodePage)) {
            host.GetLog().Write("error", "ASExtra.TextFromUnicode was given " +
                                             std::to_string(utf8.size()) +
                                             " byte(s) that are no UTF-8");
            throw CHostError(kErrBadArgument);
        }
        std::optional<std::string> content =
            platform::ConvertFromUtf8(utf8, platform::GetAnsiCodePage());
        return HandOutText(
            std::make_unique<CTextValue>(CTextValue{std::move(content), std::move(utf8)}),
            kOperation);
    });
}

void QV_HOSTCALL TextDestroy(HostText text) {
    // A release never fails.
    CaptureErrors([&] { DestroyHandedOutText(text); });
}

const char* QV_HOSTCALL TextGetEncoded(HostText text, HostEncoding encoding) {
    return Serve<const char*>("ASExtra.TextGetEncoded", [&] {
        const CTextValue& value = RequireText(text, "ASExtra.TextGetEncoded");
        if (encoding != GetServedEncoding()) {
            LogNotServed("ASExtra.TextGetEncoded: encoding " + std::to_string(encoding) +
                         " is not served; texts are given in " +
                         std::to_string(GetServedEncoding()) + ", the system code page");
            throw CHostError(kErrEncodingNotServed);
        }
        if (!value.content) {
            ThrowNamedError(kErrTextNotInCodePage,
                            "The text holds a character that the system code page (" +
                                std::to_string(GetServedEncoding()) + ") cannot write.");
        }
        return value.content->c_str();
    });
}

HostEncoding QV_HOSTCALL ScriptToHostEncoding(std::int32_t script) {
    return Serve<HostEncoding>("ASExtra.ScriptToHostEncoding", [&] {
        if (script != kScriptRoman) {
            LogNotServed("ASExtra.ScriptToHostEncoding: script " + std::to_string(script) +
                         " is not served; only script 0 (Roman) is");
            throw CHostError(kErrEncodingNotServed);
        }
        return GetServedEncoding();
    });
}

} // namespace minihost::extra
