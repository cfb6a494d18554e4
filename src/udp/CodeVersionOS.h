#pragma once

namespace ks3 {

// The operating-system generation code that chooses the socket back-end of the
// UDP rows for the whole run: 10 selects the connection-style back-end
// (SocketWrenchUDP), any other value the datagram one (SocketUDP). 0 until
// read, and 0 on Linux unless the registry file says otherwise.
int& CodeVersionOS();

// Reads it once at start-up: value "CodeVersionOS" of
// "HKEY_LOCAL_MACHINE\Software\Kestrel" in the registry file, 0 without one.
void LireCodeVersionOS();

// True when the connection-style back-end is in use.
inline bool backEndConnecte() {
    return CodeVersionOS() == 10;
}

} // namespace ks3
