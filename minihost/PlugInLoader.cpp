#include "minihost/PlugInLoader.h"

#include "host/ViewTable.h"
#include "minihost/PlugInMainCall.h"
#include "minihost/tables/OfferedTables.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>

namespace minihost {
namespace {

// 0x00020000
std::string FormatHex(HostVersion version) {
    std::array<char, 8> digits{};
    const auto [end, error] = std::to_chars(digits.begin(), digits.end(), version, 16);
    std::string text(digits.begin(), end);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return "0x" + std::string(8 - text.size(), '0') + text;
}

bool IsModuleFile(const std::filesystem::directory_entry& entry) {
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::error_code error;
    return extension == ".api" && !entry.is_directory(error);
}

// Why a module whose PlugInMain moved the host's stack pointer is refused.
std::string DescribeStackShift(std::int32_t shift) {
    const std::string what =
        shift < 0 ? "PlugInMain left its arguments on the stack (" + std::to_string(-shift) +
                        " bytes): the module was built for another calling convention, with "
                        "a __cdecl PlugInMain (an older build?)"
                  : "PlugInMain took " + std::to_string(shift) +
                        " bytes more than its arguments off the stack: the module was built "
                        "for another calling convention or another PlugInMain";
    return what + "; the host calls PlugInMain as __stdcall, as the PDF host does: rebuild the "
                  "module with PlugInMain declared __stdcall";
}

template <class Proc>
Proc CastExport(void* address) {
    return reinterpret_cast<Proc>(address);
}

} // namespace

CPlugInLoader::CPlugInLoader(CHost& host, HostWindow mainWindow)
    : m_host(host)
    , m_platformData{mainWindow} {}

CPlugInLoader::~CPlugInLoader() = default;

template <class Call>
bool CPlugInLoader::CallPlugIn(std::string_view what, Call&& call) {
    return ReportPlugInCall(m_host, CallIntoPlugIn(m_host.GetFrames(), call), std::string(what));
}

void CPlugInLoader::LoadFolder(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (IsModuleFile(*entry)) {
            files.push_back(entry->path());
        }
    }
    if (error) {
        m_host.GetLog().Write("host", "cannot read the plug-ins folder " + folder.string() + ": " +
                                          error.message());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        LoadModule(file);
    }
}

void CPlugInLoader::LoadModule(const std::filesystem::path& file) {
    auto plugIn = std::make_unique<CPlugIn>();
    plugIn->file = file;
    m_host.GetLog().Write("module", file.string());
    std::string error;
    plugIn->library = CModuleLibrary::Load(file, error);
    if (!plugIn->library) {
        Refuse(*plugIn, "cannot load the module: " + error);
        return;
    }
    plugIn->extensionId = m_nextExtensionId++;
    if (!MakeHandshake(*plugIn)) {
        return; // the module is unloaded with plugIn
    }
    plugIn->running = true;
    m_host.GetLog().Write("loaded", plugIn->name + " (" + file.string() + ")");
    m_plugIns.push_back(std::move(plugIn));
}

bool CPlugInLoader::Refuse(const CPlugIn& plugIn, std::string_view reason) {
    m_host.GetLog().Write("refused", plugIn.file.string() + ": " + std::string(reason));
    return false;
}

bool CPlugInLoader::MakeHandshake(CPlugIn& plugIn) {
    const auto main = CastExport<HostMainProc>(plugIn.library->FindExport(kPlugInMainName));
    if (main == nullptr) {
        return Refuse(plugIn, "it exports no PlugInMain");
    }

    const HostVersion offered = m_host.GetOptions().offeredHandshakeVersion;
    HostVersion agreed = 0;
    HostSetupProc setup = nullptr;
    CPlugInMainOutcome mainOutcome;
    if (!CallPlugIn("PlugInMain", [&] {
            mainOutcome = CallPlugInMain(main, {offered, &agreed, &setup, &m_platformData});
        })) {
        return Refuse(plugIn, "PlugInMain raised an error");
    }
    if (mainOutcome.stackShift != 0) {
        return Refuse(plugIn, DescribeStackShift(mainOutcome.stackShift));
    }
    HostBool accepted = mainOutcome.result;
    m_host.GetLog().Write("handshake", "PlugInMain offered " + FormatHex(offered) + ", answered " +
                                           FormatHex(agreed));
    if (accepted == kHostFalse || setup == nullptr) {
        return Refuse(plugIn, "PlugInMain gave no set-up routine");
    }
    if (agreed > offered) {
        return Refuse(plugIn, "it asked for handshake version " + FormatHex(agreed) +
                                  ", newer than the host's");
    }

    HostSetupRecord setupRecord{};
    setupRecord.handshakeVersion = m_host.GetOptions().setupRecordVersion.value_or(agreed);
    setupRecord.extensionId = plugIn.extensionId;
    setupRecord.coreTable = GetCoreTable();
    if (!CallPlugIn("the set-up routine", [&] { accepted = setup(agreed, &setupRecord); })) {
        return Refuse(plugIn, "the set-up routine raised an error");
    }
    if (accepted == kHostFalse) {
        return Refuse(plugIn, "the set-up routine refused this host");
    }
    m_host.GetLog().Write("handshake", "set-up accepted");

    const auto handshake =
        m_host.GetCallbacks().FindAs<HostHandshakeProc>(setupRecord.handshakeCallback);
    if (handshake == nullptr ||
        m_host.GetCallbacks().FindOwner(setupRecord.handshakeCallback) != plugIn.extensionId) {
        return Refuse(plugIn, "the set-up routine gave no handshake callback of its own");
    }
    plugIn.record.hostHandshakeVersion = agreed;
    plugIn.record.hostName = m_host.GetAtoms().Intern("minihost");
    const HostVersion callVersion = m_host.GetOptions().handshakeCallVersion.value_or(agreed);
    if (!CallPlugIn("the handshake callback",
                    [&] { accepted = handshake(callVersion, &plugIn.record); })) {
        return Refuse(plugIn, "the handshake callback raised an error");
    }
    if (accepted == kHostFalse) {
        const auto& product = m_host.GetOptions().product;
        return Refuse(plugIn, "the handshake callback refused version " + FormatHex(callVersion) +
                                  " as product " + product.value_or("(undefined)"));
    }
    const std::string* name = m_host.GetAtoms().Find(plugIn.record.plugInName);
    plugIn.name = name != nullptr ? *name : "(no name)";
    m_host.GetLog().Write("handshake", "name " + plugIn.name);
    return true;
}

void CPlugInLoader::CallLifeCycle(CPlugIn& plugIn, HostCallback callback, std::string_view what) {
    if (!plugIn.running) {
        return;
    }
    const std::string call = plugIn.name + " " + std::string(what);
    const auto proc = m_host.GetCallbacks().FindAs<HostLifeCycleProc>(callback);
    if (proc == nullptr || m_host.GetCallbacks().FindOwner(callback) != plugIn.extensionId) {
        m_host.ReportMisuse(call + ": the handshake gave no callback of the plug-in's own");
        plugIn.running = false;
        return;
    }
    HostBool result = kHostFalse;
    if (!CallPlugIn(call, [&] { result = proc(); })) {
        plugIn.running = false;
        return;
    }
    m_host.GetLog().Write("callback", call + " -> " + (result != kHostFalse ? "true" : "false"));
    plugIn.running = result != kHostFalse;
}

void CPlugInLoader::Start() {
    for (auto& plugIn : m_plugIns) {
        CallLifeCycle(*plugIn, plugIn->record.exportTables, "export tables");
    }
    for (auto& plugIn : m_plugIns) {
        CallLifeCycle(*plugIn, plugIn->record.importReplaceAndRegister,
                      "import, replace and register");
    }
    for (auto& plugIn : m_plugIns) {
        CallLifeCycle(*plugIn, plugIn->record.init, "init");
    }
    SendAppDidInitialize();
}

void CPlugInLoader::SendAppDidInitialize() {
    for (const auto& registration : m_host.GetNotifications().ListFor(kNotifyAppDidInitialize)) {
        const auto owner =
            std::find_if(m_plugIns.begin(), m_plugIns.end(), [&](const auto& plugIn) {
                return plugIn->extensionId == registration.owner;
            });
        if (owner == m_plugIns.end() || !(*owner)->running) {
            continue; // a plug-in that failed a callback hears nothing more
        }
        const auto proc =
            m_host.GetCallbacks().FindAs<HostAppDidInitializeProc>(registration.callback);
        const std::string what = (*owner)->name + " app-did-initialise";
        m_host.GetLog().Write("notification", "sending app-did-initialise to " + (*owner)->name);
        if (CallPlugIn(what, [&] { proc(registration.clientData); })) {
            m_host.GetLog().Write("notification", what + " returned");
        }
    }
}

void CPlugInLoader::Unload() {
    for (auto& plugIn : m_plugIns) {
        CallLifeCycle(*plugIn, plugIn->record.unload, "unload");
        plugIn->running = false;
    }
    m_plugIns.clear();
}

std::size_t CPlugInLoader::CountRunning() const {
    return static_cast<std::size_t>(std::count_if(
        m_plugIns.begin(), m_plugIns.end(), [](const auto& plugIn) { return plugIn->running; }));
}

} // namespace minihost
