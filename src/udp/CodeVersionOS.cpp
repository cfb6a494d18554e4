#include "udp/CodeVersionOS.h"

#include "common/LeadingNumber.h"
#include "common/ProgramRegistry.h"

namespace ks3 {

int& CodeVersionOS() {
    static int code = 0;
    return code;
}

void LireCodeVersionOS() {
    const QString v = LireRegistre(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Kestrel"),
                                   QStringLiteral("CodeVersionOS"), QStringLiteral("0"));
    CodeVersionOS() = LeadingInteger(v).value_or(0);
}

} // namespace ks3
