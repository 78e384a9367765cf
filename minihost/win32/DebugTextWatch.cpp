#include "minihost/DebugTextWatch.h"

#include "minihost/HostLog.h"

#include <string>
#include <windows.h>

namespace minihost {
namespace {

// OutputDebugStringA raises this with the text's length and address; a handler that
// continues takes it, as a debugger would.
constexpr DWORD kDebugPrint = 0x40010006; // DBG_PRINTEXCEPTION_C

CHostLog* g_log = nullptr;

LONG CALLBACK TakeDebugText(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (g_log == nullptr || record->ExceptionCode != kDebugPrint || record->NumberParameters < 2) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    const auto length = static_cast<std::size_t>(record->ExceptionInformation[0]);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the exception's parameters are integers
    const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    std::string line(text, text != nullptr ? strnlen(text, length) : 0);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    g_log->Write("debug", line);
    return EXCEPTION_CONTINUE_EXECUTION;
}

void* Watch(CHostLog& log) {
    g_log = &log;
    return AddVectoredExceptionHandler(1, &TakeDebugText);
}

} // namespace

CDebugTextWatch::CDebugTextWatch(CHostLog& log)
    : m_handler(Watch(log)) {}

CDebugTextWatch::~CDebugTextWatch() {
    if (m_handler != nullptr) {
        RemoveVectoredExceptionHandler(m_handler);
    }
    g_log = nullptr;
}

} // namespace minihost
