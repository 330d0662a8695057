// The LV2 control ports against the VST 2 display: every whole port value
// gives the engine a value that shows as that number, and every default port
// value gives the engine's default back exactly.
#include <gtest/gtest.h>

#include "params/parameter_table.h"
#include "plugin/lv2/port_values.h"

namespace tramvek::lv2 {
namespace {

TEST(Lv2PortValues, WholePortValuesShowAsThemselvesAndDefaultsComeBackExactly) {
    for (std::int32_t index = 0; index < kParameterCount; ++index) {
        const ParameterFacts& facts = kParameterFacts[index];
        for (std::int32_t units = facts.displayMinimum; units <= facts.displayMaximum; ++units) {
            const float value = engineValueFor(index, static_cast<float>(units));
            EXPECT_EQ(displayUnits(index, value), units) << facts.symbol << " at " << units;
        }
        const float defaultPort = portValueFor(index, kDefaultParams[index]);
        EXPECT_EQ(displayUnits(index, engineValueFor(index, defaultPort)),
                  displayUnits(index, kDefaultParams[index]));
        if (!portIsInteger(index)) {
            EXPECT_EQ(engineValueFor(index, defaultPort), kDefaultParams[index]) << facts.symbol;
            // What a VST 2 host sends as a tenth comes back as that value.
            for (int tenths = 0; tenths <= 10; ++tenths) {
                const float sent = static_cast<float>(tenths / 10.0);
                EXPECT_EQ(engineValueFor(index, portValueFor(index, sent)), sent) << facts.symbol;
            }
        }
    }
}

}  // namespace
}  // namespace tramvek::lv2
