#pragma once

#include <QString>
#include <utility>

namespace dmc {

// The converter's settings in the registry file of the current user: the
// section "HKEY_CURRENT_USER\Software\Illustrate\dBpowerAmp", numbers in
// decimal.
class DmcRegistry {
public:
    explicit DmcRegistry(QString file) : file_(std::move(file)) {}
    const QString& file() const { return file_; }

    // The value, or fallback when it is missing or not a number.
    int number(const char* name, int fallback) const;
    QString text(const char* name) const;
    bool write(const char* name, int value) const;

private:
    QString file_;
};

// Automation error numbers the component reports (ErrorNumber of its objects).
inline constexpr int kErrModuleNotFound = -2147024770; // a module of the component cannot be found
inline constexpr int kErrDisconnected = -2147417848;   // the object's server went away during a call
inline constexpr int kErrPathAccess = 75;              // path or file access error

} // namespace dmc
