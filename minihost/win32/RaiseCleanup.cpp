#include "minihost/RaiseCleanup.h"

#include "host/HostErrorFrame.h"
#include "minihost/Host.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <windows.h>

namespace minihost {
namespace {

#if defined(__x86_64__)

// The file name of the module that holds a code address, or "?".
std::string GetModuleName(DWORD64 address, HMODULE& module) {
    module = nullptr;
    std::string path(MAX_PATH, '\0');
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the system takes the address as a name
    const auto* code = reinterpret_cast<LPCSTR>(address);
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           code, &module) == FALSE) {
        return "?";
    }
    path.resize(GetModuleFileNameA(module, path.data(), MAX_PATH));
    return path.substr(path.find_last_of("\\/") + 1);
}

// The module and offset of a code address, for the log: "Quorvella.api+0x1a2b".
std::string DescribeCode(DWORD64 address) {
    HMODULE module = nullptr;
    const std::string name = GetModuleName(address, module);
    std::array<char, 32> offset{};
    static_cast<void>(std::snprintf(offset.data(), offset.size(), "+0x%llx",
                                    address - reinterpret_cast<DWORD64>(module)));
    return name + offset.data();
}

// Whether code at `address` belongs to a plug-in: a module whose name ends in ".api",
// as the host loads them.
bool IsInPlugIn(DWORD64 address) {
    HMODULE module = nullptr;
    const std::string name = GetModuleName(address, module);
    return name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".api") == 0;
}

// Whether the system's unwinder reads the code at `pc` as an epilogue: an add or lea
// that sets rsp, pops, then a return or a jump out of the function. A return address
// there makes it emulate the rest of the function instead of its unwind data and skip
// the frame's handler.
bool ReadsAsEpilogue(const unsigned char* pc, DWORD64 base, const RUNTIME_FUNCTION& function) {
    if (pc[0] == 0x48 && (pc[1] == 0x83 || pc[1] == 0x81) && pc[2] == 0xC4) {
        pc += pc[1] == 0x83 ? 4 : 7; // add rsp, imm
    } else if ((pc[0] & 0xFE) == 0x48 && pc[1] == 0x8D && (pc[2] & 0x38) == 0x20 &&
               (pc[2] & 7) != 4 && (pc[2] >> 6) != 0 && (pc[2] >> 6) != 3) {
        pc += (pc[2] >> 6) == 1 ? 4 : 7; // lea rsp, disp[frame register]
    }
    for (;;) {
        if ((pc[0] & 0xF8) == 0x58) {
            pc += 1; // pop
        } else if ((pc[0] & 0xF0) == 0x40 && (pc[1] & 0xF8) == 0x58) {
            pc += 2; // pop r8..r15
        } else {
            break;
        }
    }
    if (pc[0] == 0xC3 || pc[0] == 0xC2 || (pc[0] == 0xF3 && pc[1] == 0xC3)) {
        return true;
    }
    if (pc[0] == 0xE9 || pc[0] == 0xEB) {
        std::int32_t distance = pc[1] < 0x80 ? pc[1] : pc[1] - 0x100;
        std::int64_t length = 2;
        if (pc[0] == 0xE9) {
            std::memcpy(&distance, pc + 1, sizeof distance);
            length = 5;
        }
        const auto target = reinterpret_cast<std::int64_t>(pc) + length + distance -
                            static_cast<std::int64_t>(base);
        return target <= function.BeginAddress || target >= function.EndAddress;
    }
    return (pc[0] == 0xFF && pc[1] == 0x25) ||
           ((pc[0] & 0xF0) == 0x40 && pc[1] == 0xFF && (pc[2] & 0x38) == 0x20);
}

// What is wrong with the frame at `pc` for an unwind, or nothing. Every frame below the
// first was left by a call, so it needs unwind data; and in a plug-in's frame the return
// address must lie inside its function and before no epilogue.
std::string FindFrameFault(DWORD64 pc, const RUNTIME_FUNCTION* function, DWORD64 base) {
    if (function == nullptr) {
        return "has no unwind data";
    }
    if (!IsInPlugIn(pc)) {
        return {};
    }
    DWORD64 callBase = 0;
    if (RtlLookupFunctionEntry(pc - 1, &callBase, nullptr) != function) {
        return "follows a call that ends its function";
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the code at the return address
    if (ReadsAsEpilogue(reinterpret_cast<const unsigned char*>(pc), base, *function)) {
        return "follows a call right before an epilogue";
    }
    return {};
}

// Where a walk of the unwind stopped: at the frame of the jump buffer, or at a fault.
struct CUnwindWalk {
    std::string fault; // empty when it reached that frame
    DWORD64 pc = 0;    // where it stopped
    int frames = 0;
    int plugInFrames = 0;
};

// Walks the frames of the unwind now running with the system's own unwinder, as
// RtlUnwindEx walks them, from here down to the frame recorded in `jump`.
CUnwindWalk WalkToFrameOf(const _JUMP_BUFFER& jump) {
    CUnwindWalk walk;
    CONTEXT context{};
    RtlCaptureContext(&context);
    constexpr int kMostFrames = 256;
    while (walk.frames < kMostFrames && context.Rip != 0) {
        walk.pc = context.Rip;
        ++walk.frames;
        walk.plugInFrames += IsInPlugIn(walk.pc) ? 1 : 0;
        DWORD64 base = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(walk.pc, &base, nullptr);
        walk.fault = FindFrameFault(walk.pc, function, base);
        if (!walk.fault.empty()) {
            return walk;
        }
        void* handlerData = nullptr;
        DWORD64 establisher = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, walk.pc, function, &context, &handlerData,
                         &establisher, nullptr);
        if (establisher == jump.Frame) {
            DWORD64 jumpBase = 0;
            if (RtlLookupFunctionEntry(jump.Rip, &jumpBase, nullptr) != function) {
                walk.fault = "is the jump buffer's frame but did not save it";
            }
            return walk;
        }
        if (establisher > jump.Frame) {
            walk.fault = "lies past the jump buffer's frame";
            return walk;
        }
    }
    walk.fault = "ends a walk that never reached the jump buffer's frame";
    return walk;
}

// --check-unwind: walks the unwind of the raise now running down to the frame of the jump
// buffer in the environment that it went to (a HostErrorFrame: minihost's own frames and
// this project's plug-in's), logs it, and reports a frame that it would misread as misuse.
void CheckUnwindToErrorFrame(CHost& host) {
    const auto* environment =
        static_cast<const HostErrorFrame*>(host.GetFrames().GetRaisedEnvironment());
    _JUMP_BUFFER jump{};
    std::memcpy(&jump, &environment->context, sizeof jump);
    const CUnwindWalk walk = WalkToFrameOf(jump);
    const std::string raise = "host error " + std::to_string(host.GetFrames().GetLastErrorCode());
    if (!walk.fault.empty()) {
        host.ReportMisuse("the unwind of " + raise + ": the frame at " + DescribeCode(walk.pc) +
                          " " + walk.fault);
        return;
    }
    host.GetLog().Write("unwind", raise + " reached the frame of its jump buffer at " +
                                      DescribeCode(walk.pc) + ", " + std::to_string(walk.frames) +
                                      " frames down (" + std::to_string(walk.plugInFrames) +
                                      " of plug-ins), each with sound unwind data");
}

#endif

// The cleanup itself: it counts, and the unwind that runs it is checked when asked.
void RunRaiseCleanup() noexcept {
    try {
        CHost& host = CHost::GetCurrent();
        host.GetFrames().RunCleanup();
#if defined(__x86_64__)
        if (host.GetOptions().checkUnwind) {
            CheckUnwindToErrorFrame(host);
        }
#endif
    } catch (...) {
        // A check that fails to log is lost; the unwind goes on.
    }
}

} // namespace
} // namespace minihost

#if defined(__x86_64__)

extern "C" {

void MinihostRaiseUnderFinally(HostErrorCode code, void (*raise)(HostErrorCode));

// The __finally of MinihostRaiseUnderFinally, which __C_specific_handler calls while an
// unwind leaves its scope.
void MinihostFinallyOfRaise(BOOLEAN /*abnormalTermination*/, void* /*establisherFrame*/) {
    minihost::RunRaiseCleanup();
}
}

// A frame as MSVC builds one for __try { raise(code); } __finally { ... }: its unwind
// data names __C_specific_handler, and the scope table's one entry covers the call and
// names the __finally (a termination handler: no jump target). The nop keeps the return
// address inside the scope and off the epilogue.
asm(R"(
    .text
    .globl  MinihostRaiseUnderFinally
    .def    MinihostRaiseUnderFinally; .scl 2; .type 32; .endef
    .seh_proc MinihostRaiseUnderFinally
MinihostRaiseUnderFinally:
    subq    $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
.LMinihostScopeBegin:
    callq   *%rdx
    nop
.LMinihostScopeEnd:
    addq    $40, %rsp
    ret
    .seh_handler __C_specific_handler, @except, @unwind
    .seh_handlerdata
    .long   1
    .rva    .LMinihostScopeBegin, .LMinihostScopeEnd, MinihostFinallyOfRaise
    .long   0
    .text
    .seh_endproc
)");

namespace minihost {

void RaiseUnderCleanup(HostErrorCode code, void (*raise)(HostErrorCode)) {
    CHost::GetCurrent().GetFrames().ExpectCleanup();
    MinihostRaiseUnderFinally(code, raise);
}

} // namespace minihost

#elif defined(__i386__)

namespace minihost {
namespace {

// The handler of the registration below, as the system calls it: with the unwinding
// flag when a longjmp unwinds the chain past it.
EXCEPTION_DISPOSITION NTAPI RunCleanupWhenUnwound(EXCEPTION_RECORD* record, void* /*frame*/,
                                                  CONTEXT* /*context*/, void* /*dispatcher*/) {
    if ((record->ExceptionFlags & EXCEPTION_UNWINDING) != 0) {
        RunRaiseCleanup();
    }
    return ExceptionContinueSearch;
}

} // namespace

// A frame as MSVC builds one for __try/__finally on x86: an exception registration on
// the stack at the head of the thread's chain, whose handler runs the cleanup.
void RaiseUnderCleanup(HostErrorCode code, void (*raise)(HostErrorCode)) {
    CHost::GetCurrent().GetFrames().ExpectCleanup();
    auto* block = reinterpret_cast<NT_TIB*>(NtCurrentTeb());
    EXCEPTION_REGISTRATION_RECORD* const previous = block->ExceptionList;
    EXCEPTION_REGISTRATION_RECORD registration{{previous}, {&RunCleanupWhenUnwound}};
    block->ExceptionList = &registration;
    raise(code);
    block->ExceptionList = previous; // not reached: the raise does not return
}

} // namespace minihost

#endif
