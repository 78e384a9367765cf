// "Security": the passwords, method and permissions that the document's next save
// encrypts it with. Nothing changes in the document until it is saved.
#include "minihost/commands/Handlers.h"
#include "minihost/commands/ParamReader.h"

#include <array>

namespace minihost {
namespace {

struct CMethodName {
    std::string_view name;
    CEncryptionSettings::CMethod method;
};

constexpr std::array<CMethodName, 3> kMethods = {{
    {"AES-256", CEncryptionSettings::CMethod::Aes256},
    {"AES-128", CEncryptionSettings::CMethod::Aes128},
    {"RC4-128", CEncryptionSettings::CMethod::Rc4128},
}};

CEncryptionSettings::CMethod FindMethod(const std::string& name) {
    for (const auto& known : kMethods) {
        if (known.name == name) {
            return known.method;
        }
    }
    throw CCommandFailure("Encryption " + QuoteForLog(name) +
                          " is none of AES-256, AES-128, RC4-128");
}

} // namespace

CCommandOutcome RunSecurity(const CCommandRequest& request) {
    const CParamReader params(request.params,
                              {"UserPassword", "OwnerPassword", "Encryption", "AllowPrint",
                               "AllowModify", "AllowCopy", "AllowAnnotate"});
    CEncryptionSettings settings;
    settings.userPassword = params.GetText("UserPassword").value_or("");
    settings.ownerPassword = params.GetText("OwnerPassword").value_or("");
    settings.method = FindMethod(params.GetText("Encryption").value_or("AES-256"));
    settings.allowPrint = params.GetBool("AllowPrint").value_or(true);
    settings.allowModify = params.GetBool("AllowModify").value_or(true);
    settings.allowCopy = params.GetBool("AllowCopy").value_or(true);
    settings.allowAnnotate = params.GetBool("AllowAnnotate").value_or(true);
    // Without an owner password of its own, whoever knows the user password holds the
    // owner's rights too; with none at all, anybody does. The owner password then is the
    // user password, and restrictions, which nobody would be held to, are refused rather
    // than written into a file that only seems protected.
    if (settings.ownerPassword.empty()) {
        settings.ownerPassword = settings.userPassword;
    }
    const bool restricted = !(settings.allowPrint && settings.allowModify && settings.allowCopy &&
                              settings.allowAnnotate);
    if (restricted && settings.ownerPassword == settings.userPassword) {
        throw CCommandFailure("the Allow restrictions need an OwnerPassword that differs from the "
                              "UserPassword: no password would enforce them");
    }
    CCommandDocument& document = RequireDocument(request);

    document.saveSettings.encryption = std::move(settings);
    document.saveSettings.removeEncryption = false;
    request.note("the next save encrypts the document");
    return CCommandOutcome::Done;
}

} // namespace minihost
