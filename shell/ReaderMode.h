#pragma once

// True when the host runs as the free reader: one 64-bit program serves both products,
// and in reader mode it quits at start-up ("invalid plug-in") when a plug-in that is not
// enabled for the reader accepts the handshake. Such a host answers the configuration
// key "Product" with "Reader".
bool IsHostInReaderMode();
