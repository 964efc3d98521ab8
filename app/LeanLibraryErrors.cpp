// The library reports misuse (std::string::at out of range, a length beyond max_size() and the
// like) through these helpers. Its own versions throw std::logic_error and its relatives, whose
// messages live in the old copy-on-write strings: about 45 KB of a static build for errors that
// never happen in a sound run. Tollan catches exceptions only at the dialog procedure, as
// std::exception, and logs what(); a small type of ours carries the same message there.
#include <bits/functexcept.h>

#include <exception>
#include <new>
#include <typeinfo>

namespace {
class CLibraryError : public std::exception {
public:
    explicit CLibraryError(const char* what) : m_pszWhat(what) {}
    const char* what() const noexcept override { return m_pszWhat; }

private:
    const char* m_pszWhat;
};
}  // namespace

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* s) { throw CLibraryError(s); }
void __throw_domain_error(const char* s) { throw CLibraryError(s); }
void __throw_invalid_argument(const char* s) { throw CLibraryError(s); }
void __throw_length_error(const char* s) { throw CLibraryError(s); }
void __throw_out_of_range(const char* s) { throw CLibraryError(s); }
// The format's arguments are left out: the text says which check failed.
void __throw_out_of_range_fmt(const char* s, ...) { throw CLibraryError(s); }
void __throw_runtime_error(const char* s) { throw CLibraryError(s); }
void __throw_range_error(const char* s) { throw CLibraryError(s); }
void __throw_overflow_error(const char* s) { throw CLibraryError(s); }
void __throw_underflow_error(const char* s) { throw CLibraryError(s); }
// std::thread and std::mutex report a failed system call here.
void __throw_system_error(int) { throw CLibraryError("system error"); }
}  // namespace std
