// Bytes from the fuzzer as a replay script: the reader never crashes and either says where the script is
// wrong or gives ticks in order at finite times; a small script that reads is run through the tick, and
// the configuration it leaves is written and read back as the tracker would.
#include "FuzzRequire.h"

#include "tools/replay/HXReplayRunner.h"
#include "tools/replay/HXReplayScript.h"

#include "foundation/HXLog.h"
#include "foundation/HXPropertyList.h"

#include <cmath>
#include <cstdint>

namespace {

// Bigger scripts are only read: running them teaches the reader nothing and slows the search.
constexpr std::size_t kMostTicksRun = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static HXLogging::Capture* const quiet = new HXLogging::Capture;
    quiet->clear();
    QString error;
    const std::optional<HXReplayScript> script = HXParseReplayScript(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), &error);
    if (!script) {
        require(!error.isEmpty());
        return 0;
    }
    require(script->defaults != nullptr);
    for (std::size_t i = 0; i < script->ticks.size(); ++i) {
        require(std::isfinite(script->ticks[i].at));
        require(i == 0 || script->ticks[i].at >= script->ticks[i - 1].at);
    }
    if (script->ticks.size() > kMostTicksRun)
        return 0;
    const HXDictionaryRef configuration = HXRunReplay(*script, nullptr);
    require(configuration != nullptr);
    const std::optional<QByteArray> binary = HXPropertyList::writeBinary(HXValue(configuration));
    require(binary.has_value());
    require(HXPropertyList::readBinary(*binary).ok());
    return 0;
}
