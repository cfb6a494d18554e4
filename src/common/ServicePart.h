#pragma once

namespace ks3 {

// The part of the program's services (runtime/Services.h) that one layer
// reads: the part of the services installed last, else the layer's own (a
// part made with its defaults, every member empty).
template <class Part> class ServicePart {
public:
    static const Part& get() {
        static const Part own;
        return bound_ ? *bound_ : own;
    }
    // installServices only.
    static void bind(const Part* part) { bound_ = part; }

private:
    inline static const Part* bound_ = nullptr;
};

} // namespace ks3
