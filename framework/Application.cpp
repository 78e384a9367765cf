#include "framework/Application.h"

#include "platform/ModuleFiles.h"
#include "util/PathParts.h"

#include <array>

namespace framework {
namespace {

CApplication*& GetInstanceSlot() {
    static CApplication* instance = nullptr;
    return instance;
}

} // namespace

CApplication::CApplication() {
    GetInstanceSlot() = this;
}

CApplication::~CApplication() {
    if (GetInstanceSlot() == this) {
        GetInstanceSlot() = nullptr;
    }
}

CApplication* CApplication::GetInstance() {
    return GetInstanceSlot();
}

bool CApplication::InitInstance() {
    return true;
}

bool CApplication::Start() {
    std::array<char, 260> modulePath{};
    platform::GetOwnModuleFileName(modulePath.data(), modulePath.size());
    m_appName = CPathParts(modulePath.data()).GetBaseName();
    return InitInstance();
}

} // namespace framework
