#include "runner/WorkDocument.h"

#include "host/CoreTable.h"
#include "host/HostErrorFrame.h"
#include "host/ModelTable.h"
#include "host/SupportTable.h"

CWorkDocument::~CWorkDocument() {
    Close();
}

bool CWorkDocument::Open(const char* path) {
    Close();

    HostFileSys fileSys = nullptr;
    HostPath pathObject = nullptr;
    HostDoc document = nullptr;
    const bool completed = CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        pathObject = SupportPathCreate(fileSys, CoreAtomFromString("Cstring"), path, nullptr);
        document = ModelDocOpen(pathObject, SupportGetDefaultFileSys(), nullptr, kHostTrue);
    });
    m_openError = completed ? 0 : CoreGetErrorCode();
    if (pathObject != nullptr) {
        SupportPathRelease(fileSys, pathObject);
    }
    m_document = document;
    m_opened = completed && document != nullptr;
    return completed;
}

void CWorkDocument::Close() {
    if (m_opened && m_document != nullptr) {
        ModelDocClose(m_document);
    }
    m_document = nullptr;
    m_opened = false;
}

bool CWorkDocument::GetPathText(std::string& text) const {
    text.clear();
    HostFileSys fileSys = nullptr;
    HostPath pathObject = nullptr;
    char* display = nullptr;
    const bool completed = CallInErrorFrame([&] {
        fileSys = SupportGetDefaultFileSys();
        pathObject = SupportFileAcquirePath(ModelDocGetFile(m_document));
        display = SupportPathGetDisplayText(fileSys, pathObject);
    });
    if (display != nullptr) {
        text = display;
        SupportMemFree(display);
    }
    if (pathObject != nullptr) {
        SupportPathRelease(fileSys, pathObject);
    }
    return completed;
}
