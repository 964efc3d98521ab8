// Arbitrary edit texts through the dialogs' checks, and arbitrary sequences of user actions on
// the map list editor's model: nothing crashes, accepted numbers stay in range, and the map list
// only ever holds levels of the catalogue.
#include "config/ConfigExchange.h"
#include "maps/MapListModel.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" const char* const* TollanFuzzSeeds()
{
    static const char* const seeds[] = {" -17 ", "45.5", "1e38", "0x10", "inf", "\x01\x02\x03\x04\x05\x06", nullptr};
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (std::optional<int> n = ParseIntegerText(text)) {
        if (ParseIntegerText(std::to_string(*n)) != n)
            std::abort();
    }
    if (std::optional<double> d = ParseDecimalText(text)) {
        if (!std::isfinite(*d) || std::fabs(*d) > FLT_MAX || !ParseDecimalText(FormatDecimalText(*d)))
            std::abort();
    }

    // The bytes as a script of actions on a catalogue of up to 15 levels.
    const int levels = size ? data[0] % 16 : 0;
    CMapListModel model(levels);
    for (size_t i = 1; i + 1 < size; i += 2) {
        const int a = data[i], b = data[i + 1];
        const int rows = static_cast<int>(model.MapRows().size());
        switch (a % 9) {
        case 0: model.Execute(static_cast<EMapListCommand>(b % 6)); break;
        case 1: model.OnUserCheck(b % (levels + 2) - 1, b & 1); break;
        case 2: model.SetAvailableSelection({b % (levels + 1), b / 16}); break;
        case 3: model.SetMapSelection({b % (rows + 1), b / 16}); break;
        case 4: model.BeginReorder(b % (rows + 1)); break;
        case 5: model.ReorderStep(b % (rows + 3) - 1); break;
        case 6: model.Randomize([b](int n) { return b % n; }); break;
        case 7: model.Load({b % 20 - 2, b % 7, b % 3}); break;
        case 8:
            model.DropSelectedAvailable();
            model.AvailableMenu(b % (levels + 1) - 1);
            model.MapMenu(b % (rows + 1) - 1);
            break;
        }
        for (int slot : model.MapRows())
            if (slot < 0 || slot >= levels)
                std::abort();
    }
    return 0;
}
