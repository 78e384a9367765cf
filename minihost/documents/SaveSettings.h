// What commands ask of a document's next save: fast web view (linearisation) and
// security. Commands set them; the save applies them.
#pragma once

#include <optional>
#include <string>

namespace minihost {

// Passwords and permissions that the next save encrypts the document with.
struct CEncryptionSettings {
    std::string userPassword;  // may be empty: anybody can open the document
    std::string ownerPassword; // may be empty
    enum class CMethod { Aes256, Aes128, Rc4128 } method = CMethod::Aes256;
    bool allowPrint = true;
    bool allowModify = true;
    bool allowCopy = true;
    bool allowAnnotate = true;
};

struct CSaveSettings {
    bool linearize = false;
    // Set: encrypt on save. Empty and removeEncryption false: keep what the file had.
    std::optional<CEncryptionSettings> encryption;
    bool removeEncryption = false;
};

} // namespace minihost
