// Arbitrary batches through the console model, with the control's length simulated: the fragment
// stays within 200 characters, every insert is one whole line, the cap is applied exactly, and
// plain text comes out as it went in.
#include "controls/ConsoleModel.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool InPalette(uint32_t c)
{
    return c == kConsoleGreen || c == kConsoleRed || c == kConsoleYellow || c == kConsoleBlue ||
           c == kConsoleBlack;
}

// Whether all of the input must come out again: no zero byte, no hidden lines, no fragment cut.
bool Conserved(const std::string& input)
{
    if (input.find('\0') != std::string::npos || input.find("Error closing") != std::string::npos)
        return false;
    size_t run = 0;
    for (char c : input) {
        run = c == '\n' ? 0 : run + 1;
        if (run > CConsoleModel::kMaxPendingChars)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    unsigned step = 1 + data[0] % 61;
    std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    bool conserved = Conserved(input);
    // Start near the cap now and then, so trimming is exercised.
    size_t length = (data[0] & 1) ? 19990 : 0;
    CConsoleModel model;
    std::string out;
    size_t pos = 0;
    unsigned n = 0;
    while (pos < input.size()) {
        std::string batch = input.substr(pos, 1 + (step * ++n * 17) % 255);
        pos += batch.size();
        CConsoleBatch b = model.AppendConsoleText(batch, length);
        if (b.m_nTrimChars != (length > 20000 ? length - 20000 : 0))
            std::abort();
        length -= b.m_nTrimChars;
        for (const CConsoleInsert& ins : b.m_inserts) {
            const std::string& t = ins.m_strText;
            if (t.size() < 2 || t[0] != ' ' || t.back() != '\n' || t.find('\n') != t.size() - 1 ||
                t.find('\0') != std::string::npos || !InPalette(ins.m_crColour) ||
                ins.m_crColour != CConsoleModel::ClassifyLine(t))
                std::abort();
            length += t.size();
            out += t.substr(1);
        }
        if (model.PendingFragment().size() > CConsoleModel::kMaxPendingChars)
            std::abort();
    }
    if (conserved && out + model.PendingFragment() != input)
        std::abort();
    return 0;
}

extern "C" const char* const* TollanFuzzSeeds()
{
    static const char* const seeds[] = {
        "\x03INF: a\nERR: Error closing x\nINF: b\nTRC:   Changing over to L.wld  \n",
        "\x04-------- START OF LOG --------\nWRN: w\nTRC: t\nplain text without end",
        nullptr,
    };
    return seeds;
}
