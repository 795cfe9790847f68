#pragma once
// The sound is never left muted by the program: while a LastResort lives,
// a crash (an unhandled exception, or std::terminate) gives the sound back
// before the process dies, and so does leaving its scope by any path that
// skipped the curtain's own restore.
namespace curtain {
class Form1;
}

namespace win32 {

class LastResort {
public:
    explicit LastResort(curtain::Form1& curtain);
    ~LastResort();
    LastResort(const LastResort&) = delete;
    LastResort& operator=(const LastResort&) = delete;
};

}  // namespace win32
