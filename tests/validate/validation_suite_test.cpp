// The validation suite as a library, on a small effect with one deliberate
// fault per case: the suite must catch each fault in the right check, and
// must not fail the same effect without a fault.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>

#include "validation/validate_command.h"

namespace {

struct FaultCase {
    const char* fault;
    const char* failLine;
};

class ValidationSuite : public ::testing::TestWithParam<FaultCase> {
  protected:
    // Runs the suite on the faulty effect; the effect reads its fault when it is made.
    static bool validate(const std::string& fault, int strictness, std::string& report) {
        setenv("TRAMVEK_FAULT", fault.c_str(), 1);
        tramvek::ValidateOptions options;
        options.plugin = TRAMVEK_FAULTY_PLUGIN_PATH;
        options.strictness = strictness;
        options.watchdogSeconds = 20.0;
        std::ostringstream out;
        bool passed = tramvek::runValidate(options, out);
        unsetenv("TRAMVEK_FAULT");
        report = out.str();
        return passed;
    }
};

TEST_P(ValidationSuite, CatchesTheFaultInItsCheck) {
    std::string report;
    EXPECT_FALSE(validate(GetParam().fault, 1, report));
    EXPECT_TRUE(std::regex_search(report, std::regex(GetParam().failLine))) << report;
    EXPECT_TRUE(std::regex_search(report, std::regex("\n[0-9]+ passed, [1-9][0-9]* failed\n"))) << report;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ValidationSuite,
    ::testing::Values(
        FaultCase{"long-text",
                  "FAIL info/text-limits: parameter 0 name: wrote 101 bytes into a 64-byte buffer"},
        FaultCase{"unterminated-text", "FAIL info/text-limits: parameter 0 label: not terminated"},
        FaultCase{"write-past-block",
                  "FAIL open-close/cold: output 0: wrote sample [0-9]+ of a [0-9]+-frame block"},
        FaultCase{"subnormal-tail", "FAIL [a-z/-]+: output 0 sample [0-9]+ is subnormal"},
        FaultCase{"nan-on-bad-value", "FAIL params/fuzz-values: output 0 sample [0-9]+ is NaN"},
        FaultCase{"unstable-chunk",
                  "FAIL state/bank-same-instance: the bank saved again differs at byte [0-9]+ of"},
        FaultCase{"sticky-program",
                  "FAIL programs/select-all: effSetProgram 1, then effGetProgram answers 0"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) {
        std::string name = info.param.fault;
        for (char& c : name) {
            if (c == '-') {
                c = '_';
            }
        }
        return name;
    });

TEST_F(ValidationSuite, PassesTheEffectWithoutAFault) {
    std::string report;
    EXPECT_TRUE(validate("", 3, report)) << report;
    EXPECT_TRUE(std::regex_search(report, std::regex("\n[0-9]+ passed, 0 failed\n"))) << report;
}

}  // namespace
