#include "minihost/documents/DocumentSaving.h"

#include "minihost/HostErrors.h"
#include "minihost/documents/Document.h"
#include "minihost/files/FileAccess.h"
#include "minihost/files/FilePipeline.h"
#include "minihost/files/NamedErrors.h"
#include "minihost/files/TemporaryFile.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>
#include <string>

namespace minihost {
namespace {

void ApplyEncryption(QPDFWriter& writer, const CEncryptionSettings& encryption) {
    const char* user = encryption.userPassword.c_str();
    const char* owner = encryption.ownerPassword.c_str();
    const bool extract = encryption.allowCopy;
    const bool assemble = encryption.allowModify;
    const bool annotate = encryption.allowAnnotate;
    const bool fillForms = encryption.allowAnnotate;
    const bool modifyOther = encryption.allowModify;
    const qpdf_r3_print_e print = encryption.allowPrint ? qpdf_r3p_full : qpdf_r3p_none;
    // Accessibility (text for screen readers) is always allowed, as PDF 2.0 asks.
    switch (encryption.method) {
    case CEncryptionSettings::CMethod::Aes256:
        writer.setR6EncryptionParameters(user, owner, true, extract, assemble, annotate, fillForms,
                                         modifyOther, print, true);
        break;
    case CEncryptionSettings::CMethod::Aes128:
        writer.setR4EncryptionParametersInsecure(user, owner, true, extract, assemble, annotate,
                                                 fillForms, modifyOther, print, true, true);
        break;
    case CEncryptionSettings::CMethod::Rc4128:
        writer.setR3EncryptionParametersInsecure(user, owner, true, extract, assemble, annotate,
                                                 fillForms, modifyOther, print);
        break;
    }
}

void ApplySaveSettings(QPDFWriter& writer, const CSaveSettings& settings) {
    writer.setLinearization(settings.linearize);
    if (settings.encryption) {
        ApplyEncryption(writer, *settings.encryption);
    } else if (settings.removeEncryption) {
        writer.setPreserveEncryption(false);
    }
}

// Writes the document into `file`, at `path`, and leaves it open for the caller to commit.
void WriteDocument(CDocument& document, CNewFile& file, const std::string& path,
                   const CSaveHooks& hooks, const std::string& cannot) {
    const std::uint64_t halfWay = hooks.strikeHalfWay
                                      ? std::max<std::uint64_t>(document.GetOpenedSize() / 2, 1)
                                      : std::numeric_limits<std::uint64_t>::max();
    CFilePipeline output(file, halfWay);
    QPDFWriter writer(document.GetPdf());
    writer.setOutputPipeline(&output);
    ApplySaveSettings(writer, document.GetSaveSettings());
    if (hooks.reportProgress) {
        writer.registerProgressReporter(
            std::make_shared<QPDFWriter::FunctionProgressReporter>(hooks.reportProgress));
    }
    writer.write();
    output.Complete();
    // qpdf writes what it could not read as empty or null, and only warns: such a result
    // must not count as the document saved (its input may be deleted next).
    const CRepairs repairs = document.TakeReadWarnings();
    if (!document.GetLostContent().empty()) {
        ThrowNamedError(kErrContentUnreadable,
                        cannot + "the content of " + document.GetReadPathText() +
                            " could not be read (" + document.GetLostContent() + ").");
    }
    if (repairs.warnings > 0 && hooks.reportRepairs) {
        hooks.reportRepairs(repairs);
    }
    if (hooks.strikeHalfWay) {
        hooks.strikeHalfWay(path, file.GetSize());
    }
}

} // namespace

std::uint64_t SaveDocument(CDocument& document, const CPathName& target, CDurability durability,
                           const CSaveHooks& hooks) {
    const std::string targetText = FormatPlatformPath(target);
    const std::string cannot = "Cannot save the document to " + targetText + ": ";
    try {
        if (target.names.empty()) {
            throw CFileAccessError(CFileAccessError::CKind::IsFolder, "it is a folder");
        }
        // Into an empty file itself: one file made and no rename, where there is nothing
        // to keep whole.
        if (const std::unique_ptr<CNewFile> empty = CNewFile::OpenEmpty(targetText)) {
            try {
                WriteDocument(document, *empty, targetText, hooks, cannot);
                const std::uint64_t size = empty->GetSize();
                empty->Commit(durability);
                return size;
            } catch (...) {
                empty->CutBack();
                throw;
            }
        }
        CTemporaryFile temporary(target);
        WriteDocument(document, temporary.GetFile(), temporary.GetPath(), hooks, cannot);
        temporary.ReplaceTarget(targetText, durability);
        return temporary.GetFile().GetSize();
    } catch (const CHostError&) {
        throw; // from a hook, or content lost
    } catch (const CFileAccessError& error) {
        const bool missingFolder = error.GetKind() == CFileAccessError::CKind::Missing;
        ThrowNamedError(
            kErrSaveFailed,
            cannot + (missingFolder ? "its folder does not exist" : std::string(error.what())) +
                ".");
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& error) {
        ThrowNamedError(kErrSaveFailed, cannot + error.what() + ".");
    }
}

} // namespace minihost
