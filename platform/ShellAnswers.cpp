#include "platform/FileActions.h"

namespace platform {

// The answers that ShellExecuteA documents; any answer above 32 means the program started.
std::string DescribeShellAnswer(long answer) {
    constexpr long kLastError = 32;
    if (answer > kLastError) {
        return "started";
    }
    switch (answer) {
    case 0:
    case 8: // SE_ERR_OOM
        return "the system is out of memory or resources";
    case 2: // SE_ERR_FNF
        return "the file was not found";
    case 3: // SE_ERR_PNF
        return "the path was not found";
    case 5: // SE_ERR_ACCESSDENIED
        return "access was denied";
    case 11: // ERROR_BAD_FORMAT
        return "the program is not a valid program";
    case 26: // SE_ERR_SHARE
        return "a sharing violation occurred";
    case 27: // SE_ERR_ASSOCINCOMPLETE
        return "the file name association is incomplete";
    case 28: // SE_ERR_DDETIMEOUT
    case 29: // SE_ERR_DDEFAIL
    case 30: // SE_ERR_DDEBUSY
        return "the program did not answer";
    case 31: // SE_ERR_NOASSOC
        return "no program is associated with the file";
    case 32: // SE_ERR_DLLNOTFOUND
        return "a library the program needs was not found";
    default:
        return "the program could not be started";
    }
}

} // namespace platform
