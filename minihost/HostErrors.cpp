#include "minihost/HostErrors.h"

namespace minihost {

std::string GetBuiltInErrorText(HostErrorCode code) {
    switch (code) {
    case kErrInjected:
        return "An error was raised on purpose (minihost fault injection).";
    case kErrNoMemory:
        return "Out of memory.";
    case kErrNotProvided:
        return "This host does not provide the operation that was called.";
    case kErrBadArgument:
        return "A host operation was given an argument it cannot use.";
    case kErrInternal:
        return "An internal error occurred in the host.";
    case kErrTooManyAtoms:
        return "The host has no room for another atom.";
    case kErrSequenceForm:
        return "The sequence file is malformed.";
    case kErrEncodingNotServed:
        return "This host gives texts only in the system code page, the encoding of script 0 "
               "(Roman).";
    case kErrTextNotInCodePage:
        return "The text holds a character that the system code page cannot write.";
    case kErrFileNotFound:
        return "The file does not exist.";
    case kErrFileUnreadable:
        return "The file cannot be read.";
    case kErrBadPath:
        return "The path cannot be used.";
    case kErrFolderNotCreated:
        return "The folder cannot be created.";
    case kErrNotPdf:
        return "The file is not a PDF file.";
    case kErrPdfDamaged:
        return "The PDF file is damaged and cannot be repaired.";
    case kErrPdfPassword:
        return "The PDF file is protected by a password.";
    case kErrSaveFailed:
        return "The document cannot be saved.";
    case kErrContentUnreadable:
        return "The document's content cannot be read from its file.";
    default:
        return {};
    }
}

} // namespace minihost
