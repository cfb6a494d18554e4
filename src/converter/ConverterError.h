#pragma once

#include <stdexcept>
#include <string>

namespace ks3::conv {

// Exit statuses of the converter. Anything but Ok means no target was written.
enum ExitStatus : int {
    ExitOk = 0,
    ExitFailed = 1,       // the conversion itself failed (input, encoder, output)
    ExitBadArguments = 2, // the command line asks for something the converter cannot do
    ExitSourceBusy = 3,   // the source is still being written
};

// A failure that ends the conversion; its text goes to the error file.
class ConverterError : public std::runtime_error {
public:
    ConverterError(const std::string& message, int status = ExitFailed)
        : std::runtime_error(message), status_(status) {}
    int status() const { return status_; }

private:
    int status_;
};

} // namespace ks3::conv
