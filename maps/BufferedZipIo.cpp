#include "maps/BufferedZipIo.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

const size_t kFirstChunk = 4096;
const size_t kLargestChunk = 256 * 1024;

int SeekTo(std::FILE* f, uint64_t pos)
{
#if defined(_WIN32)
    return fseeko64(f, static_cast<off64_t>(pos), SEEK_SET);
#else
    return fseeko(f, static_cast<off_t>(pos), SEEK_SET);
#endif
}

bool SizeOf(std::FILE* f, uint64_t& size)
{
#if defined(_WIN32)
    if (fseeko64(f, 0, SEEK_END) != 0)
        return false;
    off64_t end = ftello64(f);
#else
    if (fseeko(f, 0, SEEK_END) != 0)
        return false;
    off_t end = ftello(f);
#endif
    if (end < 0)
        return false;
    size = static_cast<uint64_t>(end);
    return true;
}

class CReadAheadFile {
public:
    bool Open(const char* path)
    {
        m_file = std::fopen(path, "rb");
        if (!m_file)
            return false;
        // We buffer ourselves; a second buffer below would only copy twice.
        std::setvbuf(m_file, nullptr, _IONBF, 0);
        if (!SizeOf(m_file, m_size))
            return false;
        m_filePos = m_size;
        return true;
    }
    ~CReadAheadFile()
    {
        if (m_file)
            std::fclose(m_file);
    }

    unsigned long Read(void* out, unsigned long size)
    {
        char* dest = static_cast<char*>(out);
        // minizip reads the headers a byte at a time: serve those without any loop.
        uint64_t at = m_pos - m_bufStart;
        if (m_pos >= m_bufStart && at + size <= m_buffer.size()) {
            if (size == 1)
                *dest = m_buffer[static_cast<size_t>(at)];
            else
                std::memcpy(dest, m_buffer.data() + at, size);
            m_pos += size;
            return size;
        }
        unsigned long done = 0;
        while (done < size) {
            if (m_pos >= m_bufStart && m_pos < m_bufStart + m_buffer.size()) {
                size_t at = static_cast<size_t>(m_pos - m_bufStart);
                size_t n = std::min<size_t>(m_buffer.size() - at, size - done);
                std::memcpy(dest + done, m_buffer.data() + at, n);
                done += static_cast<unsigned long>(n);
                m_pos += n;
                continue;
            }
            if (m_pos >= m_size || !Fill())
                break;
        }
        return done;
    }

    // minizip's seek: 0 on success.
    long Seek(uint64_t offset, int origin)
    {
        switch (origin) {
        case ZLIB_FILEFUNC_SEEK_SET: m_pos = offset; return 0;
        case ZLIB_FILEFUNC_SEEK_CUR: m_pos += offset; return 0;
        case ZLIB_FILEFUNC_SEEK_END: m_pos = m_size + offset; return 0;
        default: return -1;
        }
    }
    uint64_t Tell() const { return m_pos; }
    int Error() const { return m_bError ? 1 : 0; }
    void SetError() { m_bError = true; }

private:
    // Reads the next chunk at m_pos: twice the last one when reading on where it ended, the
    // smallest one after a jump elsewhere.
    bool Fill()
    {
        bool sequential = !m_buffer.empty() && m_pos == m_bufStart + m_buffer.size();
        m_chunk = sequential ? std::min(m_chunk * 2, kLargestChunk) : kFirstChunk;
        uint64_t left = m_size - m_pos;
        size_t want = left < m_chunk ? static_cast<size_t>(left) : m_chunk;
        if (m_filePos != m_pos && SeekTo(m_file, m_pos) != 0) {
            m_bError = true;
            return false;
        }
        m_buffer.resize(want);
        size_t got = std::fread(m_buffer.data(), 1, want, m_file);
        m_buffer.resize(got);
        m_bufStart = m_pos;
        m_filePos = m_pos + got;
        if (got == 0) {
            m_bError = std::ferror(m_file) != 0;
            return false;
        }
        return true;
    }

    std::FILE* m_file = nullptr;
    uint64_t m_size = 0;
    uint64_t m_pos = 0;
    uint64_t m_filePos = 0;
    uint64_t m_bufStart = 0;
    std::vector<char> m_buffer;
    size_t m_chunk = kFirstChunk;
    bool m_bError = false;
};

// minizip is C: nothing may unwind through it. A buffer that cannot grow is a failed open or a
// read error, which the scan logs for its archive.
voidpf ZCALLBACK OpenFunc(voidpf, const void* filename, int mode)
{
    if (!filename || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    CReadAheadFile* file = new (std::nothrow) CReadAheadFile;
    if (file && !file->Open(static_cast<const char*>(filename))) {
        delete file;
        return nullptr;
    }
    return file;
}

uLong ZCALLBACK ReadFunc(voidpf, voidpf stream, void* buf, uLong size)
{
    try {
        return static_cast<CReadAheadFile*>(stream)->Read(buf, size);
    } catch (...) {
        static_cast<CReadAheadFile*>(stream)->SetError();
        return 0;
    }
}

uLong ZCALLBACK WriteFunc(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK TellFunc(voidpf, voidpf stream)
{
    return static_cast<CReadAheadFile*>(stream)->Tell();
}

long ZCALLBACK SeekFunc(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    return static_cast<CReadAheadFile*>(stream)->Seek(offset, origin);
}

int ZCALLBACK CloseFunc(voidpf, voidpf stream)
{
    delete static_cast<CReadAheadFile*>(stream);
    return 0;
}

int ZCALLBACK ErrorFunc(voidpf, voidpf stream)
{
    return static_cast<CReadAheadFile*>(stream)->Error();
}

}  // namespace

unzFile OpenArchive(const std::string& path)
{
    zlib_filefunc64_def io;
    io.zopen64_file = OpenFunc;
    io.zread_file = ReadFunc;
    io.zwrite_file = WriteFunc;
    io.ztell64_file = TellFunc;
    io.zseek64_file = SeekFunc;
    io.zclose_file = CloseFunc;
    io.zerror_file = ErrorFunc;
    io.opaque = nullptr;
    return unzOpen2_64(path.c_str(), &io);
}
