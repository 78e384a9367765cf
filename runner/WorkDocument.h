// The one document open during a run: opened through the host, saved by the output
// step with the settings it carries, closed when the run is done with it.
#pragma once

#include "host/HostTypes.h"

#include <cstdint>
#include <string>

class CWorkDocument {
public:
    CWorkDocument() = default;
    CWorkDocument(const CWorkDocument&) = delete;
    CWorkDocument& operator=(const CWorkDocument&) = delete;
    CWorkDocument(CWorkDocument&&) = delete;
    CWorkDocument& operator=(CWorkDocument&&) = delete;
    // Closes the document. Never alive inside a host error frame of its own making.
    virtual ~CWorkDocument();

    // Closes what this object holds, then opens the PDF at `path` (a platform path
    // text), repairing it if need be. False, with nothing acquired and no message, when
    // the host raised an error; GetOpenError then gives its code.
    bool Open(const char* path);
    [[nodiscard]] HostErrorCode GetOpenError() const { return m_openError; }

    // Closes the document this object opened; does nothing when there is none.
    void Close();

    // The platform path text of the document's file, as the host reports it now (after
    // a full save to another path, the saved file); empty when the host gives no text.
    // False, with `text` empty and nothing acquired, when the host raised an error: its
    // code stays the host's current error.
    bool GetPathText(std::string& text) const;

    [[nodiscard]] HostDoc GetDocument() const { return m_document; }
    [[nodiscard]] bool IsOpen() const { return m_opened; }
    [[nodiscard]] std::uint16_t GetSaveFlags() const { return m_saveFlags; }
    [[nodiscard]] HostProgressMonitor GetProgressMonitor() const { return m_progressMonitor; }
    // Where the host writes the client data of the monitor it lends for a save.
    void** GetProgressClientDataField() { return &m_progressClientData; }

private:
    HostDoc m_document = nullptr;
    bool m_opened = false;
    HostErrorCode m_openError = 0;
    // A full save that also drops the objects that nothing refers to.
    std::uint16_t m_saveFlags = 0x21;
    HostProgressMonitor m_progressMonitor = nullptr; // none: the host's standard monitor
    void* m_progressClientData = nullptr;
};
