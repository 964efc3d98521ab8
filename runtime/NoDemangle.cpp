#include <cstddef>
// The default terminate handler prints the demangled type of an uncaught exception, which drags
// the whole C++ demangler (about 46 KB) into a static build. Tollan never lets an exception go
// uncaught (the dialog procedures catch them), so the names stay mangled in that last message.
namespace __cxxabiv1 {
extern "C" char* __cxa_demangle(const char*, char*, std::size_t*, int* status)
{
    if (status)
        *status = -1;
    return nullptr;
}
}  // namespace __cxxabiv1
