#pragma once

#include <QString>

namespace ks3 {

// This computer's IPv4 address: the first one its host name resolves to, or,
// when that is a loopback address, the first non-loopback IPv4 address of an
// interface that is up; "127.0.0.1" when there is none.
QString AdresseIPPoste();

} // namespace ks3
