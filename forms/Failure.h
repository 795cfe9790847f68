#pragma once
// A run-time error: it ends the procedure that raised it and goes to the
// caller, which either recovers (start-up, shutdown, the picker) or lets it
// end the event that started it.
#include <stdexcept>
#include <string>

namespace forms {

class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace forms
