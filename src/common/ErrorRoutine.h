#pragma once

#include <QString>
#include <exception>
#include <new>
#include <stdexcept>
#include <utility>

namespace ks3 {

// What the error routine knows of the last unexpected failure.
struct ErrorRecord {
    int errNumero = 0;
    int errLigne = 0;
    QString errDescription;
    QString errSource;
};
ErrorRecord& errorRecord();
// True while the error routine is reporting; errors raised meanwhile are ignored.
bool& ErreurEnCours();

// Writes the error record to the trace log with the procedure's origin
// ("Module:Procedure").
void TraceErreur(const QString& origin);

// An unexpected failure with the numbering of the suite's error codes.
class Error : public std::runtime_error {
public:
    Error(int number, const QString& description, const QString& source = QString())
        : std::runtime_error(description.toStdString()), number_(number), description_(description),
          source_(source) {}
    int number() const { return number_; }
    const QString& description() const { return description_; }
    const QString& source() const { return source_; }

private:
    int number_;
    QString description_;
    QString source_;
};

[[noreturn]] inline void raiseError(int number, const QString& description,
                                    const QString& source = QString()) {
    throw Error(number, description, source);
}

// The error handler of a procedure. Each numbered step runs under it: a failure
// inside a step fills the error record, is written to the trace log with the
// procedure's origin and the step number, and the procedure goes on with its
// next step.
//
//     Procedure p("FrmMain", "InitGeneral");
//     p.step(10, [&] { ... });
//     p.step(20, [&] { ... });
class Procedure {
public:
    // The names are kept as given (string literals): the origin text is only
    // built when something asks for it, so a procedure that does not fail costs
    // no allocation.
    Procedure(const char* module, const char* name) : module_(module), name_(name) {}
    explicit Procedure(QString origin) : origin_(std::move(origin)), built_(true) {}

    // "Module:Procedure": the origin of its reports, and the caller label it
    // passes to the file utilities and the record layer.
    const QString& origin() const {
        if (!built_) {
            origin_ = QString::fromLatin1(module_) + QLatin1Char(':') + QString::fromLatin1(name_);
            built_ = true;
        }
        return origin_;
    }
    // True when the last step failed.
    bool failed() const { return failed_; }

    // Runs one step; returns false when it failed (and was reported).
    template <class F> bool step(int line, F&& f) noexcept {
        try {
            std::forward<F>(f)();
            failed_ = false;
            return true;
        } catch (const Error& e) {
            report(line, e.number(), e.description(), e.source());
        } catch (const std::bad_alloc&) {
            report(line, 7, QStringLiteral("Out of memory"), QString());
        } catch (const std::exception& e) {
            report(line, 5, QString::fromLocal8Bit(e.what()), QString());
        } catch (...) {
            report(line, 51, QStringLiteral("Internal error"), QString());
        }
        failed_ = true;
        return false;
    }

private:
    void report(int line, int number, const QString& description, const QString& source) noexcept;

    const char* module_ = "";
    const char* name_ = "";
    mutable QString origin_;
    mutable bool built_ = false;
    bool failed_ = false;
};

} // namespace ks3
