#include "tests/minihost/commands/PlugInSteps.h"

#include "host/CoreTable.h"
#include "host/ExtraTable.h"
#include "host/HostCallback.h"
#include "host/HostErrorFrame.h"
#include "host/ModelTable.h"
#include "host/SupportTable.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace testing_support {
namespace {

HostPath MakePlatformPath(HostFileSys fileSys, const char* text) {
    return SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), text, nullptr);
}

void SetCommandInputs(HostCommand command, HostDoc doc) {
    auto* block = static_cast<char*>(SupportMemAlloc(16));
    if (block == nullptr) {
        return;
    }
    HostContainer inputs = nullptr;
    bool handedOver = false;
    CallInErrorFrame([&] {
        inputs = ExtraContainerNew();
        std::memcpy(block, "OutputImg", 10);
        ExtraContainerPutString(inputs, "BaseFileName", block);
        handedOver = true;
        ExtraContainerPutPointer(inputs, "PDDoc", "PDDoc", doc, nullptr);
        ViewCommandSetInputs(command, inputs);
    });
    if (!handedOver) {
        SupportMemFree(block);
    }
    if (inputs != nullptr) {
        ExtraContainerDestroy(inputs);
    }
}

// The request that the enumeration callback answers, as the plug-in's output step
// builds it. It lives outside every frame, so the callback may change it.
struct CConversionRequest {
    HostDoc doc = nullptr;
    std::string uniqueId;
    std::string path;
    bool raised = false;
};

HostBool QV_HOSTCALL MatchConversionHandler(HostConversionHandler* handler, void* clientData) {
    auto* request = static_cast<CConversionRequest*>(clientData);
    if (request == nullptr || request->uniqueId != ReadFixedText(handler->uniqueId)) {
        return kHostTrue;
    }
    request->path += "." + std::string(ReadFixedText(handler->filter.descriptions->extension));
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    request->raised = !CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        path = MakePlatformPath(fileSys, request->path.c_str());
        ViewConvertFromPdf(handler, nullptr, 0, request->doc, path, fileSys, nullptr);
    });
    if (path != nullptr) {
        SupportPathRelease(fileSys, path);
    }
    return kHostTrue;
}

} // namespace

HostContainer ReadSequenceAsThePlugInDoes(const std::string& file) {
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    HostFile opened = nullptr;
    HostStream stream = nullptr;
    HostContainer container = nullptr;
    CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        path = MakePlatformPath(fileSys, file.c_str());
        if (SupportFileOpen(fileSys, path, kFileModeRead, &opened) != 0) {
            return;
        }
        stream = SupportStreamOpenFileRead(opened, 0);
        if (stream != nullptr) {
            container = ExtraContainerReadFromStream(stream);
        }
    });
    if (stream != nullptr) {
        SupportStreamClose(stream);
    }
    if (opened != nullptr) {
        SupportFileClose(opened);
    }
    if (path != nullptr) {
        SupportPathRelease(fileSys, path);
    }
    return container;
}

HostDoc OpenAsThePlugInDoes(const std::string& file) {
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    HostDoc doc = nullptr;
    CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        path = MakePlatformPath(fileSys, file.c_str());
        doc = ModelDocOpen(path, fileSys, nullptr, kHostTrue);
    });
    if (path != nullptr) {
        SupportPathRelease(fileSys, path);
    }
    return doc;
}

bool SaveAsThePlugInDoes(HostDoc doc, const std::string& file) {
    HostFileSys fileSys = nullptr;
    HostPath path = nullptr;
    const bool completed = CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        path = MakePlatformPath(fileSys, file.c_str());
        void* monitorData = nullptr;
        HostProgressMonitor monitor = ViewGetDocProgressMonitor(&monitorData);
        ModelDocSave(doc, kSaveFull | kSaveCollectGarbage, path, fileSys, monitor, monitorData);
    });
    if (path != nullptr) {
        SupportPathRelease(fileSys, path);
    }
    return completed;
}

void CloseAsThePlugInDoes(HostDoc doc) {
    CallInErrorFrame([&] { ModelDocClose(doc); });
}

HostCommandStatus RunStepAsThePlugInDoes(HostContainer sequence, int index, HostDoc doc) {
    std::array<char, 16> key{};
    if (std::snprintf(key.data(), key.size(), "%d", index) <= 0) {
        return kStepNoCommand;
    }
    HostContainer entry = nullptr;
    HostContainer config = nullptr;
    HostContainer params = nullptr;
    HostAtom handlerName = 0;
    HostCommand command = nullptr;
    CallInErrorFrame([&] {
        HostContainer commands = ExtraContainerGetContainer(sequence, "Commands");
        entry = commands != nullptr ? ExtraContainerGetContainer(commands, key.data()) : nullptr;
        if (entry == nullptr) {
            return;
        }
        config = ExtraContainerGetContainer(entry, "Config");
        params = ExtraContainerGetContainer(entry, "Params");
        handlerName = ExtraContainerGetAtom(entry, "HandlerName", CoreAtomFromString(""));
        if (config != nullptr && params != nullptr) {
            command = ViewCommandNew(handlerName);
        }
    });
    if (command == nullptr) {
        return kStepNoCommand;
    }
    HostCommandStatus status = kStepRaised;
    CallInErrorFrame([&] {
        ViewCommandSetConfig(command, config);
        ViewCommandSetParams(command, params);
        SetCommandInputs(command, doc);
        status = ViewCommandExecute(command);
    });
    ViewCommandDestroy(command);
    return status;
}

bool ConvertAsThePlugInDoes(HostDoc doc, const std::string& uniqueId,
                            const std::string& pathWithoutExtension) {
    CConversionRequest request{doc, uniqueId, pathWithoutExtension};
    const bool enumerated = CallInErrorFrame([&] {
        ViewEnumConversionFromPdfHandlers(MakeCallback(&MatchConversionHandler), &request);
    });
    return enumerated && !request.raised;
}

} // namespace testing_support
